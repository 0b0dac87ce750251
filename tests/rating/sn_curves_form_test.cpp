// The S-N fatigue curve charts drawn into images: the knees of the curves where the logarithmic axes
// put them, the operating point, the stress range, English units, stresses without a logarithmic
// scale, and the window showing its four charts.
#include "sn_curves_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "chart_pixels.h"
#include "design_data.h"
#include "numeric.h"
#include "rated_design.h"
#include "scripted_modal_services.h"

using namespace morvell;
using morvell::testing::near;
using morvell::testing::rated_start_up_design;
using morvell::testing::rgb;

namespace {

constexpr int kW = 485, kH = 320;

QImage draw(const SnChart& chart, const DesignData& d) {
  QImage image(kW, kH, QImage::Format_RGB32);
  image.fill(Qt::green);  // anything left unpainted shows
  draw_sn_chart(image, chart, d);
  return image;
}

int count(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += rgb(image, x, y) == (colour & 0xFFFFFF);
  return n;
}

constexpr QRgb kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00;

}  // namespace

TEST(SnCurves, ChartsShowTheTablesOfLifeAndDamageWithTheLoadCase) {
  auto d = rated_start_up_design(1);
  const SnChart pinion = sn_chart_of(*d, 0);
  EXPECT_STREQ(pinion.title, "Allowable Pinion Contact Stress");
  EXPECT_EQ(pinion.points, 4);
  EXPECT_EQ(pinion.cycles[1], d->nl_pit_contact_pinion);
  EXPECT_EQ(pinion.permissible[3], d->sn_permissible_contact_pinion[3]);
  EXPECT_EQ(pinion.load_cycles, d->load_cycles_pinion);
  EXPECT_EQ(pinion.operating_stress, d->contact_stress[0]);
  const SnChart wheel_bending = sn_chart_of(*d, 3);
  EXPECT_STREQ(wheel_bending.title, "Allowable Wheel Bending Stress");
  EXPECT_EQ(wheel_bending.points, 3);
  EXPECT_EQ(wheel_bending.cycles[2], d->nl_inf_bending_wheel);
  EXPECT_EQ(wheel_bending.load_cycles, d->load_cycles_wheel);
  EXPECT_EQ(wheel_bending.operating_stress, d->tooth_root_stress_wheel);
  EXPECT_STREQ(sn_chart_of(*d, 1).title, "Allowable Wheel Contact Stress");
  EXPECT_STREQ(sn_chart_of(*d, 2).title, "Allowable Pinion Bending Stress");
}

TEST(SnCurves, KneesSitWhereTheLogarithmicAxesPutThem) {
  auto d = rated_start_up_design(1);
  // Pinion contact of the start-up design: 2313.7 MPa up to 1e5 cycles, 1446.1 at 5e7 (no limited
  // pitting: the pit point is the knee), 1229.2 at 1e10; operating point 1398.7 MPa at 1e7 cycles.
  const SnChart chart = sn_chart_of(*d, 0);
  const SnChartScale s = sn_chart_scale(chart, *d, QSizeF(kW, kH));
  EXPECT_EQ(s.s_min, 1200);
  EXPECT_EQ(s.s_max, 2350);
  // One decade of cycles is (455 - 60) / 9 pixels; 1e2 at the left edge, 1e11 at the right.
  EXPECT_NEAR(double(s.x(1e2L)), 60, 1e-9);
  EXPECT_NEAR(double(s.x(1e5L)), 60 + 3 * 395.0 / 9, 1e-9);
  EXPECT_NEAR(double(s.x(1e11L)), 455, 1e-9);
  EXPECT_NEAR(double(s.y(1200)), 280, 1e-9);
  EXPECT_NEAR(double(s.y(2350)), 40, 1e-9);
  const double per_log = (40.0 - 280.0) / std::log10(2350.0 / 1200.0);
  EXPECT_NEAR(double(s.y(1446.072)), 280 + std::log10(1446.072 / 1200) * per_log, 1e-3);

  const QImage image = draw(chart, *d);
  EXPECT_EQ(count(image, kGreen), 0);
  EXPECT_EQ(rgb(image, 2, kH - 2), kWhite);
  // Static run from the left edge, the static knee, the endurance knee, the infinite-life point.
  for (double n : {1e3, 1e4}) EXPECT_TRUE(near(image, s.x(n), s.y(chart.permissible[0]), kBlack)) << n;
  EXPECT_TRUE(near(image, s.x(1e5), s.y(chart.permissible[0]), kBlack));
  EXPECT_TRUE(near(image, s.x(5e7), s.y(chart.permissible[2]), kBlack));
  EXPECT_TRUE(near(image, s.x(1e10), s.y(chart.permissible[3]), kBlack));
  // On the sloped run half way between the knees on log-log axes (1e5 .. 5e7): the geometric means.
  const long double mid_n = std::sqrt(1e5L * 5e7L), mid_s = std::sqrt(ld(chart.permissible[0]) * chart.permissible[2]);
  EXPECT_TRUE(near(image, s.x(mid_n), s.y(mid_s), kBlack));
  // Nothing beyond the infinite-life point, and the axes do not run above the static level there.
  EXPECT_FALSE(near(image, s.x(1e10) + 12, s.y(chart.permissible[3]), kBlack, 2));
  EXPECT_FALSE(near(image, s.x(1e6), s.y(chart.permissible[0]), kBlack, 3));
  // Cycles axis along the bottom with a tick per decade; stress axis up the left edge.
  for (int i = 0; i <= 9; ++i) EXPECT_EQ(rgb(image, int(s.x(std::pow(10.0L, 2 + i))), 283), kBlack) << i;
  EXPECT_EQ(rgb(image, 300, 280), kBlack);
  EXPECT_EQ(rgb(image, 60, 100), kBlack);
  // The operating point, red in a black outline, and nothing else red.
  const long double ox = s.x(chart.load_cycles), oy = s.y(chart.operating_stress);
  EXPECT_EQ(rgb(image, int(ox), int(oy)), kRed);
  EXPECT_GT(count(image, kRed), 0);
  EXPECT_LE(count(image, kRed), 16);
}

TEST(SnCurves, StressRangeTakesInTheOperatingPoint) {
  auto d = rated_start_up_design(1);
  SnChart chart = sn_chart_of(*d, 2);  // pinion bending: 2510.3 .. 853.5 MPa, operating 508.5
  SnChartScale s = sn_chart_scale(chart, *d, QSizeF(kW, kH));
  EXPECT_EQ(s.s_min, 500);
  EXPECT_EQ(s.s_max, 2550);
  chart.operating_stress = 2600.5f;  // above the static point: the top goes up to the next 50
  s = sn_chart_scale(chart, *d, QSizeF(kW, kH));
  EXPECT_EQ(s.s_min, 850);
  EXPECT_EQ(s.s_max, 2650);
  const QImage image = draw(chart, *d);
  EXPECT_EQ(rgb(image, int(s.x(chart.load_cycles)), int(s.y(chart.operating_stress))), kRed);
}

// Load cycles beyond either end of the cycles axis (1e2 .. 1e11) put the operating point at that end,
// drawn open in red, inside the plot; within the axis it stands at its cycles, filled.
TEST(SnCurves, OperatingPointStaysInsideThePlotForAnyLoadCycles) {
  auto d = rated_start_up_design(1);
  SnChart chart = sn_chart_of(*d, 0);
  struct Case {
    float cycles;
    long double shown_at;  // cycles where the point stands
    bool open;
  } cases[] = {{1e7f, 1e7L, false}, {150.0f, 150.0L, false}, {9e10f, 9e10L, false}, {2e11f, 1e11L, true},
               {5e11f, 1e11L, true}, {1e30f, 1e11L, true}, {50.0f, 1e2L, true}, {1.0f, 1e2L, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cycles);
    chart.load_cycles = c.cycles;
    const SnChartScale s = sn_chart_scale(chart, *d, QSizeF(kW, kH));
    const QImage image = draw(chart, *d);
    const int x = int(s.x(c.shown_at)), y = int(s.y(chart.operating_stress));
    EXPECT_GE(x, int(s.left));
    EXPECT_LE(x, int(s.right));
    // Red about the point, and within the plot only there.
    EXPECT_TRUE(near(image, x, y, kRed, 3));
    EXPECT_GT(count(image, kRed), 0);
    EXPECT_LE(count(image, kRed), 25);
    EXPECT_EQ(rgb(image, x, y) == kRed, !c.open);
  }
}

TEST(SnCurves, EnglishUnitsChangeOnlyTheStressLabels) {
  auto metric = rated_start_up_design(1);
  auto english = rated_start_up_design(2);
  for (int k = 0; k < 4; ++k) {
    const QImage a = draw(sn_chart_of(*metric, k), *metric);
    const QImage b = draw(sn_chart_of(*english, k), *english);
    int differing = 0, outside_labels = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) {
          ++differing;
          outside_labels += x >= 55;  // tick labels and the axis label stand left of the ticks
        }
    EXPECT_GT(differing, 0) << k;
    EXPECT_EQ(outside_labels, 0) << k;
  }
}

TEST(SnCurves, WithoutLimitedPittingTheContactCurveHasThreeRuns) {
  auto d = rated_start_up_design(1);
  SnChart chart = sn_chart_of(*d, 1);
  ASSERT_EQ(chart.cycles[1], chart.cycles[2]);  // the start-up design has no limited pitting
  ASSERT_EQ(chart.permissible[1], chart.permissible[2]);
  const QImage with_knee = draw(chart, *d);
  // The same curve as a bending-like curve of three points draws the same picture.
  SnChart three = chart;
  three.points = 3;
  three.cycles[1] = chart.cycles[2], three.cycles[2] = chart.cycles[3];
  three.permissible[1] = chart.permissible[2], three.permissible[2] = chart.permissible[3];
  EXPECT_EQ(with_knee, draw(three, *d));
}

TEST(SnCurves, StressesWithoutALogarithmicScaleStillDraw) {
  auto d = rated_start_up_design(1);
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* what;
    float permissible[4];
    float cycles[4];
    float load_cycles, operating;
    bool stress_axis;
    double s_min, s_max;
  };
  const Case cases[] = {
      {"life and damage never ran", {0, 0, 0, 0}, {0, 0, 0, 0}, 0, 0, false, 0, 0},
      {"a light load below 50 MPa", {300, 200, 200, 150}, {1e5f, 5e7f, 5e7f, 1e10f}, 1e7f, 30, true, 10, 300},
      {"every value on one multiple of 50", {100, 100, 100, 100}, {1e5f, 5e7f, 5e7f, 1e10f}, 1e7f, 100, true, 100, 150},
      {"a negative operating stress", {300, 200, 200, 150}, {1e5f, 5e7f, 5e7f, 1e10f}, 1e7f, -20, true, 100, 300},
      {"values that are not numbers", {nan, 200, inf, 150}, {1e5f, nan, 0, -1}, inf, nan, true, 150, 200},
      {"cycles beyond the axis", {300, 200, 200, 150}, {1e5f, 5e7f, 5e7f, 1e30f}, 1e25f, 120, true, 100, 300},
  };
  for (const Case& c : cases) {
    SnChart chart = sn_chart_of(*d, 0);
    for (int k = 0; k < 4; ++k) chart.permissible[k] = c.permissible[k], chart.cycles[k] = c.cycles[k];
    chart.load_cycles = c.load_cycles;
    chart.operating_stress = c.operating;
    const SnChartScale s = sn_chart_scale(chart, *d, QSizeF(kW, kH));
    EXPECT_EQ(s.has_stress_axis, c.stress_axis) << c.what;
    if (c.stress_axis) {
      EXPECT_EQ(s.s_min, c.s_min) << c.what;
      EXPECT_EQ(s.s_max, c.s_max) << c.what;
    }
    const QImage image = draw(chart, *d);
    EXPECT_EQ(count(image, kGreen), 0) << c.what;
    EXPECT_EQ(rgb(image, 300, 280), kBlack) << c.what;  // the cycles axis is always there
  }
}

TEST(SnCurves, WindowShowsFourChartsAndTheSameAgain) {
  auto d = rated_start_up_design(1);
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use(scripted);
  TSNCurvesform form(*d);
  EXPECT_EQ(form.windowTitle(), "ISO 6336 SN Fatigue Curves");
  EXPECT_EQ(form.Image1->size(), QSize(kW, kH));
  EXPECT_EQ(form.Image4->geometry(), QRect(8 + kW + 8, 8 + kH + 8, kW, kH));
  EXPECT_EQ(form.size(), QSize(2 * kW + 24, 2 * kH + 24));
  QImage first[4];
  for (int round = 0; round < 2; ++round) {
    forms::services().show_modal(form);
    for (int k = 0; k < 4; ++k) {
      const QImage& b = form.bitmap(k);
      ASSERT_EQ(b.size(), QSize(kW, kH)) << k;
      EXPECT_EQ(b, draw(sn_chart_of(*d, k), *d)) << k;
      if (round == 0) first[k] = b.copy();
      else EXPECT_EQ(b, first[k]) << k;
    }
  }
  ASSERT_EQ(scripted.of(forms::ScriptedModalServices::Kind::Modal).size(), 2u);
  // The design data is left as it was drawn from.
  EXPECT_EQ(form.bitmap(0), draw(sn_chart_of(*rated_start_up_design(1), 0), *d));
}
