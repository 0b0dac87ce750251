// The dialog "Flash Temperature": the five inputs of the flash-temperature formula with an estimate box
// each, the results at one chosen position of the path of contact, and a plot of one chosen quantity
// over all positions. Every entry, box and choice recomputes everything and redraws.
#pragma once

#include <QDialog>
#include <QImage>

#include "chart_painting.h"
#include "design_data.h"
#include "flash_temperature.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

// The items of the plot choice (item index = plotted quantity).
inline constexpr int kFlashPlotItems = 5;
extern const char* const kFlashPlotItemNames[kFlashPlotItems];

// Draws the chosen quantity (0 flash temperature, 1 sliding velocity, 2 rolling velocities, 3 specific
// slidings, 4 load-sharing factor) over the positions of the path of contact, over the whole image (at
// its pixel ratio), with the point of flash_position marked red. Leaves the plot frame, ranges and scales
// in the chart fields. The plot area lies within margins of 60 (left and top), 20 (right) and 40 (bottom)
// at the size the window was laid out at (448 x 399), in proportion at any other size, and as much wider
// as the texts beside it need in their fonts, which follow the plot's size too. Returns the texts drawn
// with their boxes.
ChartTexts draw_flash_plot(QImage& image, DesignData& d, int item);

class Tflashtempform : public QDialog {
  Q_OBJECT

 public:
  explicit Tflashtempform(DesignData& d, QWidget* parent = nullptr);

  QLineEdit* Kedit;
  QLineEdit* mumedit;
  QLineEdit* BMedit;
  QLineEdit* XGAMMAedit;
  QLineEdit* wnedit;
  QLineEdit* BHedit;
  QLineEdit* Vr1edit;
  QLineEdit* Vr2edit;
  QLineEdit* thetafledit;
  QLineEdit* thetaflmaxedit;
  QLineEdit* gamma1edit;
  QLineEdit* gamma2edit;
  QLineEdit* Vgedit;
  QCheckBox* CheckBoxK;
  QCheckBox* CheckBoxmum;
  QCheckBox* CheckBoxBM;
  QCheckBox* CheckBoxXGAMMA;
  QCheckBox* CheckBoxwn;
  QLabel* unitsBM;
  QLabel* unitswn;
  QLabel* unitsBH;
  QLabel* unitsvr1;
  QLabel* unitsvr2;
  QLabel* unitsvg;
  QLabel* unitsthetafl;
  QLabel* unitsthetaflmax;
  QPushButton* Button1;  // Close
  QPushButton* Button2;  // >>: the load-sharing case
  QComboBox* plotcombo;
  QComboBox* positioncombo;
  QLabel* Image1;  // the plot
  QLabel* Image2;  // the formula
  QLabel* ratingnotrun;  // shown instead of the results while the pair is not rated
  // Shown, where ratingnotrun stands, while the unit load rests on a dynamic factor outside the range of
  // its method.
  QLabel* dynamicfactorrange;

  void FormShow();
  // Recomputes and shows everything; while the pair is not rated (rating_valid not 1) the calculation
  // does not run, since it needs the dynamic and face load factors of this pair's rating: every field is
  // empty, the inputs and choices are disabled, the plot is blank and the two "Rating not run" lines
  // of the rating reports stand below the fields.
  void Setflash_textboxes();
  void plotflash();
  // Runs the flash-temperature calculation with the estimates the five boxes ask for.
  void flashtempcalcs();

  void Button1Click();
  void Button2Click();
  void positioncomboChange();
  void plotcomboChange();
  void KeditExit();
  void mumeditExit();
  void BMeditExit();
  void XGAMMAeditExit();
  void wneditExit();
  void CheckBoxKClick();
  void CheckBoxmumClick();
  void CheckBoxBMClick();
  void CheckBoxXGAMMAClick();
  void CheckBoxwnClick();

  // The estimates the five boxes ask for.
  FlashEstimates estimates() const;
  // The plot as last drawn, and its texts.
  const QImage& plot_bitmap() const { return plot_; }
  const ChartTexts& plot_texts() const { return plot_texts_; }

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  enum Input { kK, kMu, kBM, kX, kWn };
  void input_exit(Input input);
  int position() const;
  bool rated() const { return d_.rating_valid == 1; }
  void show_not_rated();

  DesignData& d_;
  QImage plot_;
  ChartTexts plot_texts_;
};

// The formula picture: theta_fl = K mu_m X_Gamma w_n |sqrt(v_r1) - sqrt(v_r2)| / (B_M sqrt(B_H)).
void draw_flash_formula(QImage& image);

// The program's instance, created at start-up.
extern Tflashtempform* flashtempform;

}  // namespace morvell
