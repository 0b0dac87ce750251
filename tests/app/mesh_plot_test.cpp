// The 2D mesh plot drawn into an image: the teeth it must show where they must be.
#include "mesh_plot.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "geometry_pass.h"
#include "mesh_plot_math.h"
#include "numeric.h"
#include "picture_check.h"
#include "startup_values.h"

using namespace morvell;

namespace {

constexpr int kW = 450, kH = 600;
const QRgb kWhite = 0xFFFFFF, kGrey = 0x808080, kBlack = 0x000000, kRed = 0xFF0000;

class MeshPlot : public ::testing::Test {
 protected:
  void SetUp() override {
    set_startup_values(d);
    d.second_geometry_pass = 1;
    calc_gear_geometry(d);
    d.plot_zoom = 1.0f;
  }

  void draw() {
    image = QImage(kW, kH, QImage::Format_RGB32);
    image.fill(Qt::red);  // anything the plot leaves unpainted shows
    draw_mesh_plot(d, image);
    window = compute_mesh_plot_window(d, kW, kH);
  }

  // Zoom and pan that put the gear axis in the middle of the picture.
  void centre_on_axis(float zoom) {
    d.plot_zoom = 1.0f, d.plot_pan_x = 0, d.plot_pan_y = 0;
    const MeshPlotWindow w = compute_mesh_plot_window(d, kW, kH);
    d.plot_zoom = zoom;
    d.plot_pan_x = float(w.left - w.left / zoom);
    d.plot_pan_y = float(w.bottom + (w.top - w.bottom) / zoom / 2);
  }

  // The colour at the point (x, y) in mm.
  QRgb at(ld x, ld y) const {
    const PlotPixel p = *mesh_plot_pixel(window, x, y);
    return image.pixel(p.x, p.y) & 0xFFFFFF;
  }
  // True when a pixel of the colour lies within `reach` pixels of the point (x, y) in mm.
  bool near(ld x, ld y, QRgb colour, int reach = 1) const {
    const PlotPixel p = *mesh_plot_pixel(window, x, y);
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx)
        if (image.valid(p.x + dx, p.y + dy) && (image.pixel(p.x + dx, p.y + dy) & 0xFFFFFF) == (colour & 0xFFFFFF))
          return true;
    return false;
  }
  int count(QRgb colour) const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
  }

  DesignData d;
  QImage image;
  MeshPlotWindow window;
};

}  // namespace

TEST_F(MeshPlot, PinionViewShowsTheFinishedTeethRoundTheAxisAndClearsTheRest) {
  d.view_selection = kViewPinion;
  d.show_nominal_profile = 0;
  const ld ra = ld(d.tip_diameter[0]) / 2, rf = ld(d.root_diameter[0]) / 2, z = d.teeth[0];
  // At zoom 1 the picture shows tooth 0 about the top of the axis.
  draw();
  EXPECT_EQ(count(kRed), 0);  // the whole image is cleared
  EXPECT_EQ(count(kBlack), 0);           // no nominal outline
  EXPECT_TRUE(near(0, ra, kGrey));
  EXPECT_EQ(at(0, ra + ld(d.normal_module) / 2), kWhite);

  // Zoomed out round the axis: every tooth, tips on the tip circle, spaces bottomed on the root circle.
  centre_on_axis(1.0f / 16);
  draw();
  EXPECT_EQ(count(kBlack), 0);
  EXPECT_GT(count(kGrey), 500);
  for (int i = 0; i < z; ++i) {
    SCOPED_TRACE(i);
    const ld tooth = 2 * kPi * i / z, space = tooth + kPi / z;
    EXPECT_TRUE(near(ra * std::sin(tooth), ra * std::cos(tooth), kGrey));
    EXPECT_TRUE(near(rf * std::sin(space), rf * std::cos(space), kGrey));
    // Nothing above the tip of a tooth, nothing where the tooth space is open at the tip circle.
    EXPECT_EQ(at(1.1L * ra * std::sin(tooth), 1.1L * ra * std::cos(tooth)), kWhite);
    EXPECT_EQ(at(ra * std::sin(space), ra * std::cos(space)), kWhite);
  }
  EXPECT_EQ(at(0, 0), kWhite);  // outlines only: the gear body is not filled
}

TEST_F(MeshPlot, MeshViewShowsAWheelToothSpaceFacingPinionTooth0) {
  d.view_selection = kViewMesh;
  draw();
  const ld ra1 = ld(d.tip_diameter[0]) / 2, rf2 = ld(d.root_diameter[1]) / 2, ra2 = ld(d.tip_diameter[1]) / 2;
  const ld a = d.centre_distance, z2 = d.teeth[1];
  EXPECT_TRUE(near(0, ra1, kGrey));       // pinion tooth 0 points at the wheel
  EXPECT_TRUE(near(0, a - rf2, kGrey));   // into the bottom of a wheel tooth space
  EXPECT_EQ(at(0, a - ra2), kWhite);      // which is open at the wheel's tip circle
  // The wheel's teeth half a pitch either side of the line of centres.
  for (ld side : {-1.0L, 1.0L})
    EXPECT_TRUE(near(side * ra2 * std::sin(kPi / z2), a - ra2 * std::cos(kPi / z2), kGrey)) << side;
  // Both reference circles are drawn (dotted): the pinion's about the axis, the wheel's about (0, a).
  const ld r1 = ld(d.reference_diameter[0]) / 2, r2 = ld(d.reference_diameter[1]) / 2;
  const ld off = 0.1L;  // off the line of centres, where no outline crosses the circles
  EXPECT_TRUE(near(r1 * std::sin(off), r1 * std::cos(off), kGrey, 2));
  EXPECT_TRUE(near(r2 * std::sin(off), a - r2 * std::cos(off), kGrey, 2));
}

TEST_F(MeshPlot, NominalOutlinesShowBlackUnderTheFinishedOnesWhenAskedFor) {
  d.view_selection = kViewWheel;
  d.show_nominal_profile = 1;
  // Without backlash both outlines lie on top of each other and the finished one, drawn last, hides
  // the nominal one.
  ASSERT_EQ(d.thickness_finished_transverse[1], d.thickness_nominal_transverse[1]);
  draw();
  EXPECT_EQ(count(kBlack), 0);
  EXPECT_GT(count(kGrey), 200);

  // Thinned for backlash, the nominal flanks stand clear of the finished ones.
  d.thickness_finished_transverse[1] = d.thickness_nominal_transverse[1] - 0.2f;
  draw();
  EXPECT_GT(count(kBlack), 200);
  const ld ra = ld(d.tip_diameter[1]) / 2;
  EXPECT_TRUE(near(0, ra, kGrey));  // same tip corner: the finished tip arc lies over the nominal one

  d.show_nominal_profile = 0;
  draw();
  EXPECT_EQ(count(kBlack), 0);
}

TEST_F(MeshPlot, ImpossibleValuesAndExtremeZoomDrawWithoutFault) {
  d.view_selection = kViewMesh;
  d.plot_zoom = 1.0e6f;
  d.plot_pan_x = -3.0e7f;
  draw();  // every point far off the canvas: the canvas clips them
  EXPECT_EQ(count(kRed), 0);

  d.plot_zoom = 1.0f;
  d.plot_pan_x = 0;
  d.centre_distance = std::numeric_limits<float>::quiet_NaN();
  d.tip_diameter[0] = std::numeric_limits<float>::infinity();
  draw();
  EXPECT_EQ(count(kRed), 0);
  EXPECT_GT(count(kGrey), 0);  // the pinion's teeth below the tip still show

  d.normal_module = std::numeric_limits<float>::quiet_NaN();  // no window at all
  draw();
  EXPECT_EQ(count(kWhite), kW * kH);
}

// On a screen that shows each pixel of the window with two of its own, the plot is the same drawing in the
// same window, at the screen's pixels rather than magnified.
TEST_F(MeshPlot, AtPixelRatio2TheSameDrawingHasTwiceThePixels) {
  d.show_nominal_profile = 1;
  d.thickness_finished_transverse[1] = d.thickness_nominal_transverse[1] - 0.2f;  // nominal outlines show
  for (const int32_t view : {kViewPinion, kViewWheel, kViewMesh}) {
    SCOPED_TRACE(view);
    d.view_selection = view;
    draw();
    const QImage once = image;
    const float scale = d.plot_scale_x, left = d.mesh_plot_x_min;
    QImage twice(2 * kW, 2 * kH, QImage::Format_RGB32);
    twice.setDevicePixelRatio(2);
    twice.fill(Qt::red);  // anything the plot leaves unpainted shows
    draw_mesh_plot(d, twice);
    EXPECT_EQ(d.plot_scale_x, scale);
    EXPECT_EQ(d.mesh_plot_x_min, left);
    EXPECT_TRUE(morvell::testing::drawn_at_twice_the_pixels(once, twice));
    if (std::getenv("MORVELL_SCREENSHOTS")) {
      once.save(QString("%1/mesh_once_%2.png").arg(std::getenv("MORVELL_SCREENSHOTS")).arg(view));
      twice.save(QString("%1/mesh_twice_%2.png").arg(std::getenv("MORVELL_SCREENSHOTS")).arg(view));
    }
  }
}
