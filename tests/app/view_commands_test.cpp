// The main window's pictures and their commands, offscreen: the report/plot toggle, the view menus,
// the zoom, pan and reset commands, the mouse on the 2D image and the 2D/3D switches.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <memory>
#include <string>

#include "design_data.h"
#include "main_window.h"
#include "mesh_plot_math.h"
#include "opengl_panel.h"
#include "program.h"
#include "view_3d_math.h"

using namespace morvell;

namespace {

class ViewCommands : public ::testing::Test, protected morvell::testing::Program<> {
 protected:
  void SetUp() override {
    main->show();
    QTest::qWait(1);
  }

  QImage plot() const { return main->Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32); }
  static int grey_pixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == 0x808080;
    return n;
  }
  bool view_menus_enabled() const {
    return main->ViewPinion1->isEnabled() && main->ViewWheel1->isEnabled() && main->ViewMesh1->isEnabled() &&
           main->ShowNominalProfile1->isEnabled();
  }
  bool view_menus_disabled() const {
    return !main->ViewPinion1->isEnabled() && !main->ViewWheel1->isEnabled() && !main->ViewMesh1->isEnabled() &&
           !main->ShowNominalProfile1->isEnabled();
  }
};

}  // namespace

TEST_F(ViewCommands, ReportPlotToggleSwapsThePaneForThePlotAndBack) {
  TMainForm& m = *main;
  EXPECT_TRUE(m.mainresults->isVisible());
  EXPECT_FALSE(m.Image1->isVisible());
  EXPECT_TRUE(view_menus_disabled());
  d->plot_pan_x = 3, d->plot_pan_y = 4, d->pan_x_3d = 5, d->pan_y_3d = 6;

  m.Showplotbutton->click();
  EXPECT_FALSE(m.mainresults->isVisible());
  EXPECT_TRUE(m.Image1->isVisible());
  for (QPushButton* b : {m.Zoominbutton, m.Zoomoutbutton, m.PanButton, m.resetButton, m.plot3Dbutton})
    EXPECT_TRUE(b->isVisible()) << b->objectName().toStdString();
  EXPECT_FALSE(m.plot2Dbutton->isVisible());
  EXPECT_FALSE(m.rotatebutton->isVisible());
  EXPECT_TRUE(view_menus_enabled());
  EXPECT_FALSE(m.Geometry1->isEnabled());
  EXPECT_FALSE(m.RatingDetails1->isEnabled());
  EXPECT_FALSE(m.RatingResults1->isEnabled());
  EXPECT_FALSE(m.RateGears1->isEnabled());
  EXPECT_EQ(d->plot_pan_x, 0.0f);
  EXPECT_EQ(d->plot_pan_y, 0.0f);
  EXPECT_EQ(d->pan_x_3d, 0.0f);
  EXPECT_EQ(d->pan_y_3d, 0.0f);
  // The refresh drew the mesh on the image, over its whole size.
  const QImage drawn = plot();
  EXPECT_EQ(drawn.size(), m.Image1->size());
  EXPECT_GT(grey_pixels(drawn), 200);

  d->report_selection = 3;
  m.Showplotbutton->click();
  EXPECT_TRUE(m.mainresults->isVisible());
  EXPECT_FALSE(m.Image1->isVisible());
  for (QPushButton* b : {m.Zoominbutton, m.Zoomoutbutton, m.PanButton, m.resetButton, m.plot3Dbutton,
                         m.plot2Dbutton, m.rotatebutton})
    EXPECT_FALSE(b->isVisible()) << b->objectName().toStdString();
  EXPECT_TRUE(view_menus_disabled());
  EXPECT_TRUE(m.Geometry1->isEnabled());
  EXPECT_TRUE(m.RatingDetails1->isEnabled());
  EXPECT_TRUE(m.RatingResults1->isEnabled());
  EXPECT_TRUE(m.ListBox1->isVisible());  // the rating summary's load cases
  EXPECT_TRUE(m.RateGears1->isEnabled());
}

TEST_F(ViewCommands, ViewMenusChooseTheGearsAndRedraw) {
  TMainForm& m = *main;
  m.Showplotbutton->click();
  const QImage mesh = plot();
  m.ViewPinion1->trigger();
  EXPECT_EQ(d->view_selection, kViewPinion);
  const QImage pinion = plot();
  EXPECT_NE(pinion, mesh);
  m.ViewWheel1->trigger();
  EXPECT_EQ(d->view_selection, kViewWheel);
  EXPECT_NE(plot(), pinion);
  m.ViewMesh1->trigger();
  EXPECT_EQ(d->view_selection, kViewMesh);
  EXPECT_EQ(plot(), mesh);

  m.ShowNominalProfile1->trigger();
  EXPECT_EQ(d->show_nominal_profile, 1);
  m.ShowNominalProfile1->trigger();
  EXPECT_EQ(d->show_nominal_profile, 0);
}

TEST_F(ViewCommands, MouseOnTheImageZoomsAndPansAndResetReturns) {
  TMainForm& m = *main;
  m.Showplotbutton->click();
  const QImage start = plot();

  m.Zoominbutton->click();
  EXPECT_EQ(d->mouse_tool, kToolZoomIn);
  EXPECT_EQ(m.Image1->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(m.Image1, Qt::LeftButton, {}, QPoint(200, 300));
  EXPECT_EQ(d->plot_zoom, 2.0f);
  EXPECT_NE(plot(), start);

  m.Zoomoutbutton->click();
  EXPECT_EQ(d->mouse_tool, kToolZoomOut);
  for (float expected : {1.0f, 0.5f}) {
    QTest::mouseClick(m.Image1, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(d->plot_zoom, expected);
  }

  m.PanButton->click();
  EXPECT_EQ(d->mouse_tool, kToolPan);
  EXPECT_EQ(m.Image1->cursor().shape(), Qt::SizeAllCursor);
  const float pan_x = d->plot_pan_x, pan_y = d->plot_pan_y;
  QTest::mousePress(m.Image1, Qt::LeftButton, {}, QPoint(100, 100));
  QTest::mouseRelease(m.Image1, Qt::LeftButton, {}, QPoint(140, 70));
  EXPECT_FLOAT_EQ(d->plot_pan_x, pan_x + 40 / d->plot_scale_x);
  EXPECT_FLOAT_EQ(d->plot_pan_y, pan_y - 30 / d->plot_scale_y);

  d->pan_x_3d = 2, d->pan_y_3d = 3, zoom_3d(*d) = 0.64f, d->view_rotation_3d = 100;
  m.resetButton->click();
  EXPECT_EQ(d->plot_zoom, 1.0f);
  EXPECT_EQ(d->plot_pan_x, 0.0f);
  EXPECT_EQ(d->plot_pan_y, 0.0f);
  EXPECT_EQ(d->pan_x_3d, 0.0f);
  EXPECT_EQ(d->pan_y_3d, 0.0f);
  EXPECT_EQ(zoom_3d(*d), 1.0f);
  EXPECT_EQ(d->view_rotation_3d, 45.0f);
  EXPECT_EQ(plot(), start);
}

// The zoom-in tool keeps the clicked point of the gear under the pointer and a double click with the
// pan tool leaves the plot where it is, at the window's own size and after the Window Sizes steps have
// made the image smaller and larger again.
TEST_F(ViewCommands, ZoomAndPanFollowThePointerAtEveryWindowSize) {
  TMainForm& m = *main;
  m.Showplotbutton->click();
  const auto click_zooms_about = [&](QPoint at) {
    DesignData copy = *d;
    const MeshPlotWindow w = compute_mesh_plot_window(copy, m.Image1->width(), m.Image1->height());
    const long double x_mm = w.left + (at.x() - kMeshPlotMargin) / w.scale_x;
    const long double y_mm = w.bottom + (at.y() - w.height + kMeshPlotMargin) / w.scale_y;
    m.Zoominbutton->click();
    QTest::mouseClick(m.Image1, Qt::LeftButton, {}, at);
    copy = *d;
    const PlotPixel p = *mesh_plot_pixel(compute_mesh_plot_window(copy, m.Image1->width(), m.Image1->height()),
                                         x_mm, y_mm);
    EXPECT_NEAR(p.x, at.x(), 1);
    EXPECT_NEAR(p.y, at.y(), 1);
  };
  const auto double_click_keeps_the_plot = [&](QPoint at) {
    m.PanButton->click();
    const float pan_x = d->plot_pan_x, pan_y = d->plot_pan_y;
    const QImage before = plot();
    // As the window system delivers a double click to a control: press, release, then the second
    // press as a double click, and its release.
    QTest::mousePress(m.Image1, Qt::LeftButton, {}, at);
    QTest::mouseRelease(m.Image1, Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(at), m.Image1->mapToGlobal(QPointF(at)), Qt::LeftButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m.Image1, &second);
    QTest::mouseRelease(m.Image1, Qt::LeftButton, {}, at);
    EXPECT_NEAR(d->plot_pan_x, pan_x, 1e-4);
    EXPECT_NEAR(d->plot_pan_y, pan_y, 1e-4);
    EXPECT_EQ(plot(), before);
  };
  for (const char* size : {"as created", "one step smaller", "two steps smaller", "one step larger again"}) {
    SCOPED_TRACE(::testing::Message() << size << ", image " << m.Image1->width() << "x" << m.Image1->height());
    m.resetButton->click();
    const QPoint corner(m.Image1->width() * 4 / 5, m.Image1->height() / 5);
    click_zooms_about(corner);
    click_zooms_about(QPoint(m.Image1->width() / 3, m.Image1->height() * 3 / 4));
    double_click_keeps_the_plot(corner);
    if (std::string(size) == "two steps smaller") m.Increase1Click();
    else m.Decrease1Click();
    QApplication::processEvents();
  }
}

TEST_F(ViewCommands, ThreeDAndTwoDPlotButtonsSwapThePictures) {
  TMainForm& m = *main;
  m.Showplotbutton->click();
  // Offscreen there is no OpenGL and so no 3D panel (its pictures are tested on an X display); the
  // buttons and the view state switch all the same.
  EXPECT_EQ(m.OpenGLPanel1, nullptr);
  d->pan_x_3d = 2, zoom_3d(*d) = 0.5f, d->plot_pan_x = 1;
  m.plot3Dbutton->click();
  EXPECT_FALSE(m.plot3Dbutton->isVisible());
  EXPECT_TRUE(m.plot2Dbutton->isVisible());
  EXPECT_TRUE(m.rotatebutton->isVisible());
  EXPECT_TRUE(m.Image1->isVisible());
  EXPECT_TRUE(view_menus_enabled());
  EXPECT_EQ(zoom_3d(*d), 1.0f);
  EXPECT_EQ(d->plot_pan_x, 0.0f);
  EXPECT_EQ(d->pan_x_3d, 2.0f);  // the 3D pan keeps its value

  m.rotatebutton->click();
  EXPECT_EQ(d->mouse_tool, kToolRotate);

  m.plot2Dbutton->click();
  EXPECT_TRUE(m.plot3Dbutton->isVisible());
  EXPECT_FALSE(m.plot2Dbutton->isVisible());
  EXPECT_FALSE(m.rotatebutton->isVisible());
  EXPECT_EQ(d->pan_x_3d, 0.0f);
  EXPECT_EQ(zoom_3d(*d), 1.0f);
  EXPECT_TRUE(m.Image1->isVisible());
}
