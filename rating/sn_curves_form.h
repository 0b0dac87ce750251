// The window "ISO 6336 SN Fatigue Curves": four charts of the permissible stresses of the rated pair over
// the number of load cycles on logarithmic axes (pinion and wheel contact, pinion and wheel bending),
// each with the operating point of the current load case. The curves are the permissible stresses that
// life and damage left at the cycles of each gear's S-N points, so they carry every rating factor.
// The window draws when it is shown and changes no data.
#pragma once

#include <QDialog>
#include <QImage>

#include "chart_painting.h"
#include "design_data.h"

class QLabel;

namespace morvell {

// What one chart shows: its title and label, the permissible stresses (MPa) at the cycles of the S-N
// points (static point first; 4 points for contact, 3 for bending) and the operating point.
struct SnChart {
  const char* title = "";
  bool contact = true;
  int points = 0;
  float cycles[4]{};
  float permissible[4]{};
  float load_cycles = 0;
  float operating_stress = 0;  // MPa
};

// The chart of image 0..3 (pinion contact, wheel contact, pinion bending, wheel bending).
SnChart sn_chart_of(const DesignData& d, int image);

// The scales of a chart of `size` (in its picture's own units, drawn at `device_pixel_ratio` pixels of
// the screen each): cycles from 1e2 to 1e11; stresses from s_min to s_max, widened outwards to multiples of
// 50 MPa round the static and infinite-life points and the operating point. The plot area lies within
// margins of 60 (left), 30 (right) and 40 (top and bottom) at the size the window was laid out at
// (485 x 320), in proportion at any other size, and as much wider as the texts beside it need in their
// fonts, which follow the chart's size too.
struct SnChartScale {
  long double left = 0, right = 0, top = 0, bottom = 0;
  long double s_min = 0, s_max = 0;
  // False when no stress of the chart is a positive number: then the chart has no stress scale.
  bool has_stress_axis = false;
  // The fonts of the title, the tick labels, the cycles axis' title and the stress axis' title; the
  // room between a text and what it stands beside; the length of a tick; the width of the widest cycles
  // label.
  QFont title_font, label_font, cycles_title_font, stress_title_font;
  double gap = 4, tick = 5, cycles_label_width = 0;
  long double x(long double cycles) const;
  long double y(long double stress) const;
};
SnChartScale sn_chart_scale(const SnChart& chart, const DesignData& d, QSizeF size, double device_pixel_ratio = 1);

// Draws the chart over the whole image (at the image's pixel ratio), in the order title, cycles axis,
// stress axis, curve, operating point, stress-axis label. Stress tick labels in the display unit of d.
// Returns the texts drawn with their boxes.
ChartTexts draw_sn_chart(QImage& image, const SnChart& chart, const DesignData& d);

class TSNCurvesform : public QDialog {
  Q_OBJECT

 public:
  explicit TSNCurvesform(DesignData& d, QWidget* parent = nullptr);

  // The four charts: top left, top right, bottom left, bottom right.
  QLabel* Image1;
  QLabel* Image2;
  QLabel* Image3;
  QLabel* Image4;

  // Draws the four charts in the order Image1 .. Image4 from the design data.
  void FormShow();

  // The bitmap of image 0..3 as last drawn (null before the first showing), and its texts.
  const QImage& bitmap(int image) const { return bitmaps_[image]; }
  const ChartTexts& texts(int image) const { return texts_[image]; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DesignData& d_;
  QImage bitmaps_[4];
  ChartTexts texts_[4];
};

// The program's instance, created at start-up.
extern TSNCurvesform* SNCurvesform;

}  // namespace morvell
