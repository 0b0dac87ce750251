// The design-space search window "Design Space Search": the plot of the search results with its three
// axis choices, zoom and pick modes, the eight range pairs (four bound the search, all filter the plot),
// the eight result filters, the search button and the window's own results pane with the report of the
// design held in the design data.
#pragma once

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "design_data.h"
#include "search_result_file.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QTextEdit;

namespace morvell {

// The plot picture: an image that keeps what is drawn on it (markers, the rubber band) until it is
// drawn again, with the mouse events of the window. The plot is laid out for a picture `designed` pixels
// large; scaled with its window, the picture keeps that layout, drawn larger or smaller as a whole (by the
// smaller of the width and height ratios) at the pixels of the screen: the plot is painted and the mouse
// positions are reported in the pixels of the layout.
class SearchPlotImage : public QWidget {
  Q_OBJECT

 public:
  explicit SearchPlotImage(QSize designed, QWidget* parent = nullptr);

  // The picture at the widget's present size and at its screen's pixel ratio (made anew, white, when
  // either changed).
  QImage& picture();
  // The widget's pixels per pixel of the layout, and the widget's size in pixels of the layout: the
  // designed size, one side of it larger where the widget's sides were scaled apart.
  double layout_scale() const;
  QSizeF layout_size() const;
  // Makes a painter on the picture draw in pixels of the layout.
  void paint_in_layout(QPainter& p) const;
  // The screen's pixels per pixel of the layout.
  double screen_pixels_per_layout_pixel() const;

  std::function<void(int x, int y)> on_mouse_down, on_mouse_move, on_mouse_up;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // The mouse position of an event in the pixels of the layout.
  QPoint in_layout(const QMouseEvent* event) const;

  QSize designed_;
  QImage picture_;
  QSize picture_size_;          // the widget's size the picture was made for
  double picture_ratio_ = 0;    // and its screen's pixel ratio
};

// What the window does with the progress window while it searches and reads the results. The program
// connects the progress window; without it nothing is shown.
struct SearchProgressWindow {
  std::function<void(const char* caption)> set_caption;
  std::function<bool()> is_visible;
  std::function<void(bool visible)> set_visible;
  std::function<void(int position)> set_position;
};

class Toptimizationform : public QDialog {
  Q_OBJECT

 public:
  explicit Toptimizationform(DesignData& d, QWidget* parent = nullptr);

  SearchProgressWindow progress;
  // The result file the window's search writes (optimizer.dat in the current directory). The plot and
  // the pick take the records of the window's own search, as the file listed them, from memory: another
  // copy of the program in the same folder may replace or remove the file while the window is open.
  std::string result_file;

  SearchPlotImage* Image1;
  QLabel* XnegLabel;
  QLabel* YaxisLabel;
  QLabel* XplusLabel;
  QComboBox* XnegComboBox;
  QComboBox* YaxisComboBox;
  QComboBox* XplusComboBox;
  QPushButton* Zoominbutton;
  QPushButton* selectButton;
  QPushButton* resetButton;
  QCheckBox* autoscaleCheckBox;
  QLabel* autoscaleLabel;
  QGroupBox* rangeBox;
  QLabel* modulelabel;
  QLineEdit *minMnedit, *maxMnedit, *minz1edit, *maxz1edit, *minalphaedit, *maxalphaedit, *minbetaedit,
      *maxbetaedit, *minacredit, *maxacredit, *mincredit, *maxcredit, *minsigmaXedit, *maxsigmaXedit, *minuedit,
      *maxuedit;
  QGroupBox* filterBox;
  QLabel* safetyfactorlabel;
  QLabel* nominalstresslabel;
  QLabel* actualstresslabel;
  QCheckBox* safetyfactorCheckBox;
  QCheckBox* nomstressCheckBox;
  QCheckBox* actualstressCheckBox;
  QLineEdit *minpincontedit, *maxpincontedit, *minpinbendedit, *maxpinbendedit, *minwheelcontedit,
      *maxwheelcontedit, *minwheelbendedit, *maxwheelbendedit;
  QPushButton* Button2;
  QTextEdit* mainresults;

  // Handlers.
  void FormShow();
  void FormClose();
  void Button2Click();
  void XnegComboBoxChange();
  void XplusComboBoxChange();
  void YaxisComboBoxChange();
  void autoscaleCheckBoxClick();
  void ZoominbuttonClick();
  void selectButtonClick();
  void resetButtonClick();
  void Image1MouseDown(int x, int y);
  void Image1MouseMove(int x, int y);
  void Image1MouseUp(int x, int y);
  void safetyfactorCheckBoxClick();
  void nomstressCheckBoxClick();
  void actualstressCheckBoxClick();

  // Redraws the plot and shows every range and filter.
  void Set_optimizer_textboxes();
  // Draws the plot of the result file into Image1.
  void optimizer_plot_report();
  // The +X, Y and -X values of the design held in the design data into scratch_values [0], [1], [2].
  void select_opti_plot_variable();
  // scratch_values [5] := 1.0 when the design held lies outside any range, else 0.
  void check_opti_in_limits();
  // The report of the design held into the window's results pane.
  void form_report();

  // Takes `records` as the results of a search of this showing (the search button does so with its own):
  // the plot draws them and the pick chooses among them.
  void set_search_results(std::vector<DesignPointRecord> records);

  // The design last picked from the plot since the window's last search, as its pick evaluated it;
  // nullptr when none was. A redraw reads every record into the design data, so this, not the design
  // data, is the design the user chose.
  const DesignData* picked_design() const { return picked_.get(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct FilterRow;
  void range_exit(QLineEdit* edit);
  void module_exit(bool max);
  void teeth_exit(bool max);
  void filter_exit(QLineEdit* edit, bool max, int row);
  void set_range_texts();
  void set_filter_texts();
  void set_edits_enabled(bool enabled);
  void filter_kind_click(QCheckBox* box, QCheckBox* partner);
  // Circles the place of `design` on both halves of the plot drawn last, in `colour`.
  void draw_markers(const DesignData& design, QColor colour);
  // The report of `design` into the window's results pane.
  void report_design(const DesignData& design);
  void pick(bool plus_half, int x, int y);
  void zoom();
  void xor_rubber_band();
  void show_progress_position(int position);
  // Puts the design the window was shown with back into the design data, keeping what the window holds
  // there itself (its ranges, filters, chart and edit state).
  void take_user_design();

  DesignData& d_;
  // The design the window was shown with: every search of this showing evaluates its candidates from it.
  std::unique_ptr<DesignData> user_design_;
  std::unique_ptr<DesignData> picked_;
  // The record picked as the result file lists it (the fields it holds), where the pick's marks go.
  std::unique_ptr<DesignData> picked_listed_;
  bool pick_marked_ = false;  // the picture shows the red marks of the pick
  std::vector<DesignPointRecord> results_;  // the records of the last search, as its file listed them
  // A redraw runs (redrawing_) and another was asked for meanwhile (redraw_again_).
  bool redrawing_ = false;
  bool redraw_again_ = false;
};

extern Toptimizationform* optimizationform;

class TProgressform;
// Lets the window drive the program's progress window.
void use_progress_window(Toptimizationform& window, TProgressform& progress_window);

}  // namespace morvell
