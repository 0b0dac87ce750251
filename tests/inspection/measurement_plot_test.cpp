// The measurement plots: the window both gears share, the zoom about its centre, the transverse and
// base planes drawn into an image, the legend samples, and the plot buttons of the window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include <cmath>
#include <cstdlib>

#include "dialog_test_support.h"
#include "measurement_plot.h"
#include "metrology_form.h"
#include "picture_check.h"

using namespace morvell;
using namespace morvell::testing;

namespace {

// Whether a pixel within `reach` of (x, y) is not white.
bool drawn_near(const QImage& image, int x, int y, int reach = 1) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx) {
      const QPoint p(x + dx, y + dy);
      if (image.rect().contains(p) && image.pixel(p) != qRgb(255, 255, 255)) return true;
    }
  return false;
}

int drawn_in_column(const QImage& image, int x, int top, int bottom) {
  int n = 0;
  for (int y = top; y <= bottom; ++y) n += drawn_near(image, x, y, 0) ? 1 : 0;
  return n;
}

PlotPixel pixel(const MetrologyPlotWindow& w, long double x, long double y) {
  const auto p = mesh_plot_pixel(w, x, y);
  EXPECT_TRUE(p.has_value());
  return p.value_or(PlotPixel{});
}

}  // namespace

TEST(MeasurementPlot, BothGearsShareTheWindowHeightAndZoomKeepsItsCentre) {
  DialogDesign p;
  DesignData& d = *p.d;
  d.plot_zoom = 1;
  d.plot_pan_x = 0;
  const long double mn = d.normal_module;
  const long double rp = (d.ball_centre_diameter_finished[0] / 2.0L + d.ball_diameter[0] / 2.0L + mn / 15) -
                         (d.root_diameter[0] / 2.0L - 0.05L * mn);
  const long double rw = (d.ball_centre_diameter_finished[1] / 2.0L + d.ball_diameter[1] / 2.0L + 0.05L * mn) -
                         (d.root_diameter[1] / 2.0L - 0.05L * mn);
  const long double R = std::max(rp, rw);
  for (int gear = 0; gear < 2; ++gear) {
    SCOPED_TRACE(gear);
    d.plot_zoom = 1;
    const long double bottom = d.root_diameter[gear] / 2.0L - 0.05L * mn;
    const MetrologyPlotWindow w = compute_metrology_plot_window(d, gear, 344, 256);
    EXPECT_EQ(d.plot_pan_y, 0);
    EXPECT_FLOAT_EQ(d.plot_scale_x, float(246 / R));
    EXPECT_EQ(pixel(w, 0, bottom).y, 251);         // the window's bottom on row H - 5
    EXPECT_NEAR(pixel(w, 0, bottom + R).y, 5, 1);  // its top on row 5
    EXPECT_EQ(pixel(w, 0, bottom).x, 172);          // the gear's axis in the middle
    const int centre_row = pixel(w, 0, bottom + R / 2).y;
    d.plot_zoom = 0.9f;
    const MetrologyPlotWindow zoomed = compute_metrology_plot_window(d, gear, 344, 256);
    EXPECT_NEAR(pixel(zoomed, 0, bottom + R / 2).y, centre_row, 1);
    EXPECT_NEAR(pixel(zoomed, 0, bottom + R).y - pixel(zoomed, 0, bottom).y, -246 * 0.9, 1);
  }
}

TEST(MeasurementPlot, TransverseAndBasePlanesDrawnIntoAnImage) {
  DialogDesign p;
  DesignData& d = *p.d;
  d.plot_zoom = 1;
  d.helix_angle = 0;  // a spur gear: flank traces vertical in the base plane
  calc_gear_geometry(d);
  for (int gear = 0; gear < 2; ++gear) {
    SCOPED_TRACE(gear);
    const long double D = d.ball_diameter[gear], rc = d.ball_centre_diameter_finished[gear] / 2.0L;
    QImage image(344, 256, QImage::Format_RGB32);
    d.metrology_plot_plane = kMetrologyTransversePlane;
    draw_metrology_plot(d, gear, image);
    const MetrologyPlotWindow w = compute_metrology_plot_window(d, gear, 344, 256);
    EXPECT_TRUE(drawn_near(image, pixel(w, 0, rc + D / 2).x, pixel(w, 0, rc + D / 2).y));  // top of the ball
    EXPECT_TRUE(drawn_near(image, pixel(w, D / 2, rc).x, pixel(w, D / 2, rc).y));          // its right side
    EXPECT_FALSE(drawn_near(image, pixel(w, 0, rc + D / 4).x, pixel(w, 0, rc + D / 4).y, 0));  // inside it
    // The two flanks of the tooth space at the contact diameter, one each side of the ball.
    const long double rk = d.ball_contact_diameter_finished[gear] / 2.0L;
    int flank_pixels = 0;
    for (int x = 0; x < 344; ++x) flank_pixels += drawn_near(image, x, pixel(w, 0, rk).y, 0) ? 1 : 0;
    EXPECT_GE(flank_pixels, 2);
    if (std::getenv("MORVELL_SCREENSHOTS")) image.save(QString("%1/metrology_transverse_%2.png").arg(std::getenv("MORVELL_SCREENSHOTS")).arg(gear));

    d.metrology_plot_plane = kMetrologyBasePlane;
    draw_metrology_plot(d, gear, image);
    const long double half_face = d.face_width[gear] / 2.0L;
    const int top = pixel(w, 0, rc + half_face).y, bottom = pixel(w, 0, rc - half_face).y;
    const int inside_top = std::max(top, 20) + 2, inside_bottom = std::min(bottom, 250) - 2;
    ASSERT_LT(inside_top, inside_bottom);
    const int span = inside_bottom - inside_top + 1;
    EXPECT_EQ(drawn_in_column(image, pixel(w, D / 2, rc).x, inside_top, inside_bottom), span);
    EXPECT_EQ(drawn_in_column(image, pixel(w, -D / 2, rc).x, inside_top, inside_bottom), span);
    EXPECT_EQ(drawn_in_column(image, pixel(w, 0, rc).x, inside_top, inside_bottom), span);  // the line x = 0
    if (std::getenv("MORVELL_SCREENSHOTS")) image.save(QString("%1/metrology_base_%2.png").arg(std::getenv("MORVELL_SCREENSHOTS")).arg(gear));
  }
  QImage contact(40, 13, QImage::Format_RGB32), reference(40, 13, QImage::Format_RGB32),
      base(40, 13, QImage::Format_RGB32);
  draw_metrology_legends(contact, reference, base);
  EXPECT_EQ(contact.pixel(0, 6), qRgb(0, 0, 0));
  EXPECT_EQ(reference.pixel(0, 6), qRgb(0xC0, 0xC0, 0xC0));
  EXPECT_EQ(base.pixel(0, 6), qRgb(0x80, 0x80, 0x80));
  EXPECT_EQ(base.pixel(0, 5), qRgb(255, 255, 255));
}

// On a screen that shows each pixel of the window with two of its own, both planes and the legends are the
// same drawing in the same window, at the screen's pixels rather than magnified.
TEST(MeasurementPlot, AtPixelRatio2TheSameDrawingHasTwiceThePixels) {
  DialogDesign p;
  DesignData& d = *p.d;
  d.plot_zoom = 0.9f;
  const auto at_ratio = [](int w, int h, double ratio) {
    QImage image(int(w * ratio), int(h * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::red);  // anything the plot leaves unpainted shows
    return image;
  };
  for (const int32_t plane : {kMetrologyTransversePlane, kMetrologyBasePlane})
    for (int gear = 0; gear < 2; ++gear) {
      SCOPED_TRACE(::testing::Message() << "plane " << plane << ", gear " << gear);
      d.metrology_plot_plane = plane;
      QImage once = at_ratio(344, 256, 1), twice = at_ratio(344, 256, 2);
      draw_metrology_plot(d, gear, once);
      const float scale = d.plot_scale_x;
      draw_metrology_plot(d, gear, twice);
      EXPECT_EQ(d.plot_scale_x, scale);
      EXPECT_TRUE(drawn_at_twice_the_pixels(once, twice));
    }
  QImage once[3], twice[3];
  for (int k = 0; k < 3; ++k) once[k] = at_ratio(40, 13, 1), twice[k] = at_ratio(40, 13, 2);
  draw_metrology_legends(once[0], once[1], once[2]);
  draw_metrology_legends(twice[0], twice[1], twice[2]);
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(drawn_at_twice_the_pixels(once[k], twice[k])) << k;
}

TEST(MeasurementPlot, PlaneZoomAndResetButtons) {
  DialogDesign p;
  DesignData& d = *p.d;
  d.plot_zoom = 1;  // as the menu command leaves it
  Tmetrologyform form(d);
  p.when_shown("metrologyform", [&](QDialog&) {
    EXPECT_EQ(d.metrology_plot_plane, kMetrologyTransversePlane);
    EXPECT_TRUE(form.Image3->isVisible());
    EXPECT_FALSE(form.Image1->pixmap().isNull());
    const QImage transverse = form.Image1->pixmap().toImage();
    form.basetransbutton->click();
    EXPECT_EQ(d.metrology_plot_plane, kMetrologyBasePlane);
    EXPECT_FALSE(form.Image3->isVisible());
    EXPECT_NE(form.Image1->pixmap().toImage(), transverse);
    form.basetransbutton->click();
    EXPECT_TRUE(form.Image5->isVisible());
    form.Zoomoutbutton->click();
    form.Zoomoutbutton->click();
    EXPECT_FLOAT_EQ(d.plot_zoom, 0.81f);
    EXPECT_GT(d.plot_pan_y, 0);
    // Reset redraws the first view and leaves the boxes as they are.
    form.measball1edit->setText("x");
    form.resetButton->click();
    EXPECT_EQ(d.plot_zoom, 1);
    EXPECT_EQ(d.plot_pan_y, 0);
    EXPECT_EQ(form.Image1->pixmap().toImage(), transverse);
    EXPECT_EQ(form.measball1edit->text(), "x");
    if (std::getenv("MORVELL_SCREENSHOTS")) form.grab().save(QString("%1/metrology_form.png").arg(std::getenv("MORVELL_SCREENSHOTS")));
  });
  p.scripted.show_modal(form);
}

// The plots' labels (the gear's name and the letters of the points) are sized with the window scale, as
// the windows' own text: at half the scale they take about a quarter of the ink, in both planes.
TEST(MeasurementPlot, LabelsFollowTheWindowScale) {
  DialogDesign p;
  DesignData& d = *p.d;
  d.plot_zoom = 1;
  for (int case_number = 0; case_number < 4; ++case_number) {
    const int gear = case_number % 2;
    const int plane = case_number < 2 ? kMetrologyTransversePlane : kMetrologyBasePlane;
    SCOPED_TRACE(::testing::Message() << "gear " << gear << ", plane " << plane);
    d.metrology_plot_plane = plane;
    const auto draw = [&](float multiplier) {
      d.form_scale_multiplier = multiplier;
      d.form_scale_divisor = 1000;
      QImage image(344, 256, QImage::Format_RGB32);
      draw_metrology_plot(d, gear, image);
      return image;
    };
    const QImage full = draw(1000), half = draw(500);
    const QRgb white = qRgb(255, 255, 255);
    int full_ink = 0, half_ink = 0;
    for (int y = 0; y < full.height(); ++y)
      for (int x = 0; x < full.width(); ++x) {
        if (full.pixel(x, y) == half.pixel(x, y)) continue;
        full_ink += full.pixel(x, y) != white;
        half_ink += half.pixel(x, y) != white;
      }
    EXPECT_GT(full_ink, 20);  // the labels are drawn, and differently at the two scales
    EXPECT_LT(half_ink, full_ink * 0.6);
  }
}
