// The window "ISO 6336 SN Fatigue Curves": four charts of the permissible stresses of the rated pair over
// the number of load cycles on logarithmic axes (pinion and wheel contact, pinion and wheel bending),
// each with the operating point of the current load case. The curves are the permissible stresses that
// life and damage left at the cycles of each gear's S-N points, so they carry every rating factor.
// The window draws when it is shown and changes no data.
#pragma once

#include <QDialog>
#include <QImage>

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

// The scales of a chart `width` x `height` pixels: plot area left 60, right width - 30, top 40,
// bottom height - 40; cycles from 1e2 to 1e11; stresses from s_min to s_max, widened outwards to
// multiples of 50 MPa round the static and infinite-life points and the operating point.
struct SnChartScale {
  long double left = 0, right = 0, top = 0, bottom = 0;
  long double s_min = 0, s_max = 0;
  // False when no stress of the chart is a positive number: then the chart has no stress scale.
  bool has_stress_axis = false;
  long double x(long double cycles) const;
  long double y(long double stress) const;
};
SnChartScale sn_chart_scale(const SnChart& chart, int width, int height);

// Draws the chart over the whole image, in the order title, cycles axis, stress axis, curve, operating
// point, stress-axis label. Stress tick labels in the display unit of d.
void draw_sn_chart(QImage& image, const SnChart& chart, const DesignData& d);

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

  // The bitmap of image 0..3 as last drawn (null before the first showing).
  const QImage& bitmap(int image) const { return bitmaps_[image]; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DesignData& d_;
  QImage bitmaps_[4];
};

// The program's instance, created at start-up.
extern TSNCurvesform* SNCurvesform;

}  // namespace morvell
