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
  // The viewport stays 446 pixels square at the lower left, though the window is scaled.
  EXPECT_GT(m.OpenGLPanel1->width(), kView3dViewport);
  int outside = 0;
  for (int y = 0; y < mesh.height() - kView3dViewport; ++y)
    for (int x = 0; x < mesh.width(); ++x) outside += (mesh.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
  EXPECT_EQ(outside, 0);

  // The view menus repaint through the refresh.
  m.ViewPinion1->trigger();
  const QImage pinion = picture();
  EXPECT_NE(pinion, mesh);
  EXPECT_GT(drawn(pinion), 10000);

  // Rotate: a drag of 223 pixels turns the view by 90 degrees.
  m.rotatebutton->click();
  QTest::mousePress(m.OpenGLPanel1, Qt::LeftButton, {}, QPoint(100, 300));
  QTest::mouseRelease(m.OpenGLPanel1, Qt::LeftButton, {}, QPoint(323, 300));
  EXPECT_FLOAT_EQ(d->view_rotation_3d, 135.0f);
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
  EXPECT_FLOAT_EQ(d->pan_x_3d, 50 * width / kView3dViewport);

  m.resetButton->click();
  EXPECT_EQ(d->view_rotation_3d, 45.0f);
  EXPECT_EQ(zoom_3d(*d), 1.0f);
  EXPECT_EQ(picture(), pinion);

  m.plot2Dbutton->click();
  EXPECT_FALSE(m.OpenGLPanel1->isVisible());
  EXPECT_TRUE(m.Image1->isVisible());
  EXPECT_TRUE(scripted.records.empty());
}
