// The main window's 3D view on an X display: "3D Plot" shows the drawing panel over the 2D image, the
// refresh and the mouse repaint it.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <memory>

#include "design_data.h"
#include "main_window.h"
#include "mesh_plot_math.h"
#include "opengl_panel.h"
#include "program.h"
#include "view_3d_math.h"

using namespace morvell;

namespace {

class GlMainWindow3d : public ::testing::Test, protected morvell::testing::Program<> {
 protected:
  explicit GlMainWindow3d(int window_size_step = 0)
      : Program(morvell::testing::program_design_at_step(window_size_step)) {}
  void SetUp() override {
    main->show();
    pump();
  }
  static void pump() {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 200) QCoreApplication::processEvents();
  }
  QImage picture() { return main->OpenGLPanel1->CapturePicture().convertToFormat(QImage::Format_RGB32); }
  static int drawn(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return n;
  }
};

}  // namespace

TEST_F(GlMainWindow3d, ThreeDPlotShowsTheLitGearsAndTheMouseTurnsZoomsAndPansThem) {
  TMainForm& m = *main;
  ASSERT_NE(m.OpenGLPanel1, nullptr);
  m.Showplotbutton->click();
  m.plot3Dbutton->click();
  pump();
  ASSERT_TRUE(m.OpenGLPanel1->isVisible());
  EXPECT_EQ(m.OpenGLPanel1->geometry(), m.Image1->geometry());
  EXPECT_EQ(d->view_rotation_3d, 45.0f);  // set when the panel's context was made
  const QImage mesh = picture();
  const int mesh_pixels = drawn(mesh);
  EXPECT_GT(mesh_pixels, 10000);
  // The drawing in pixels of the panel: 446 of the 450 of the layout's panel.
  const double viewport = m.OpenGLPanel1->width() * 446.0 / 450.0;

  // The view menus repaint through the refresh.
  m.ViewPinion1->trigger();
  const QImage pinion = picture();
  EXPECT_NE(pinion, mesh);
  EXPECT_GT(drawn(pinion), 10000);

  // Rotate: a drag across half the drawing turns the view by 90 degrees.
  m.rotatebutton->click();
  const int half = int(std::lround(viewport / 2));
  QTest::mousePress(m.OpenGLPanel1, Qt::LeftButton, {}, QPoint(20, 300));
  QTest::mouseRelease(m.OpenGLPanel1, Qt::LeftButton, {}, QPoint(20 + half, 300));
  EXPECT_NEAR(d->view_rotation_3d, 135.0f, 180 / viewport);
  EXPECT_NE(picture(), pinion);

  // Zoom in: the window shrinks, the gear grows.
  m.Zoominbutton->click();
  const int before = drawn(picture());
  QTest::mouseClick(m.OpenGLPanel1, Qt::LeftButton, {}, QPoint(200, 300));
  EXPECT_FLOAT_EQ(zoom_3d(*d), 0.8f);
  EXPECT_GT(drawn(picture()), before);

  // Pan: the picture follows the drag.
  m.PanButton->click();
  const float width = d->view_bounds_3d[1] - d->view_bounds_3d[0];
  QTest::mousePress(m.OpenGLPanel1, Qt::LeftButton, {}, QPoint(200, 300));
  QTest::mouseRelease(m.OpenGLPanel1, Qt::LeftButton, {}, QPoint(250, 300));
  EXPECT_FLOAT_EQ(d->pan_x_3d, float(50 * width / viewport));

  m.resetButton->click();
  EXPECT_EQ(d->view_rotation_3d, 45.0f);
  EXPECT_EQ(zoom_3d(*d), 1.0f);
  EXPECT_EQ(picture(), pinion);

  m.plot2Dbutton->click();
  EXPECT_FALSE(m.OpenGLPanel1->isVisible());
  EXPECT_TRUE(m.Image1->isVisible());
  EXPECT_TRUE(scripted.records.empty());
}

namespace {

// At window-size steps 0 and -3.
class GlMainWindow3dAtStep : public GlMainWindow3d, public ::testing::WithParamInterface<int> {
 protected:
  GlMainWindow3dAtStep() : GlMainWindow3d(GetParam()) {}
};

// The 3D view scales with the window and is drawn at the screen's pixels: the mesh view's drawing is a
// square of 446 / 450 of the panel's width at its lower left, where the orthographic window puts the
// top of the wheel and the bottom of the pinion at their rows and the gears' axes at its middle.
void expect_drawing_fills_its_panel(TMainForm& m, const DesignData& d, const QImage& picture) {
  SCOPED_TRACE(::testing::Message() << "panel " << m.OpenGLPanel1->width() << " at pixel ratio "
                                    << m.OpenGLPanel1->devicePixelRatioF());
  const double ratio = m.OpenGLPanel1->devicePixelRatioF();
  EXPECT_NEAR(picture.width(), m.OpenGLPanel1->width() * ratio, 1);
  EXPECT_NEAR(picture.height(), m.OpenGLPanel1->height() * ratio, 1);
  const double side = m.OpenGLPanel1->width() * ratio * 446.0 / 450.0;  // in the screen's pixels
  int top = picture.height(), bottom = -1, left = picture.width(), right = -1;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if ((picture.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
        top = std::min(top, y), bottom = std::max(bottom, y);
        left = std::min(left, x), right = std::max(right, x);
      }
  ASSERT_GE(bottom, 0) << "nothing drawn";
  // Rows from the bottom of the panel by the window's height in mm (view bounds of the last paint).
  const double window_bottom = d.view_bounds_3d[2], window_top = d.view_bounds_3d[3];
  const auto row_of = [&](double y_mm) {
    return picture.height() - side * (y_mm - window_bottom) / (window_top - window_bottom);
  };
  EXPECT_NEAR(top, row_of(d.centre_distance + d.tip_diameter[1] / 2.0), 3);  // the wheel's tips
  EXPECT_NEAR(bottom, row_of(-d.tip_diameter[0] / 2.0), 3);                   // the pinion's
  EXPECT_NEAR((left + right) / 2.0, side / 2, 3);                            // the axes, at x = 0
  EXPECT_LT(right, side);
}

}  // namespace

TEST_P(GlMainWindow3dAtStep, TheDrawingFillsItsPanel) {
  TMainForm& m = *main;
  m.Showplotbutton->click();
  m.plot3Dbutton->click();
  pump();
  expect_drawing_fills_its_panel(m, *d, picture());
  // A window made one step smaller (or larger) draws in its panel's new size at once.
  GetParam() == 0 ? m.Decrease1Click() : m.Increase1Click();
  pump();
  expect_drawing_fills_its_panel(m, *d, picture());
}

INSTANTIATE_TEST_SUITE_P(Steps, GlMainWindow3dAtStep, ::testing::Values(0, -3));
