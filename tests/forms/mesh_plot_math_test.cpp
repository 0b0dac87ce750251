// Plot window, placing, pixel conversion and mouse tools of the 2D mesh plot.
#include "mesh_plot_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "geometry_pass.h"
#include "numeric.h"
#include "startup_values.h"

using namespace morvell;

namespace {

constexpr int kW = 450, kH = 600;

struct QSizeLike {
  int w, h;
};

DesignData startup_design() {
  DesignData d;
  set_startup_values(d);
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);
  d.plot_zoom = 1.0f;
  return d;
}

}  // namespace

TEST(MeshPlotWindow, AtZoomOneTheGearAxisIsCentredAndTheWindowSpansThePitchRegion) {
  DesignData d = startup_design();
  const ld m = d.normal_module;
  struct Case {
    int32_t view;
    ld centre;  // reference radius the window is centred on
    ld half;    // modules above and below it
  } cases[] = {{kViewPinion, ld(d.reference_diameter[0]) / 2, 2},
               {kViewWheel, ld(d.reference_diameter[1]) / 2, 2},
               {kViewMesh, d.teeth[0] * m / (2 * std::cos(deg_to_rad(ld(d.helix_angle)))), 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    d.view_selection = c.view;
    const MeshPlotWindow w = compute_mesh_plot_window(d, kW, kH);
    EXPECT_NEAR(double(w.bottom), double(c.centre - c.half * m), 1e-4);
    EXPECT_NEAR(double(w.top), double(c.centre + c.half * m), 1e-4);
    EXPECT_FLOAT_EQ(d.plot_scale_y, float(-(kH - 10) / (2 * c.half * m)));
    EXPECT_EQ(d.plot_scale_x, -d.plot_scale_y);
    EXPECT_FLOAT_EQ(d.mesh_plot_y_range, float(2 * c.half * m));
    // Axis at the horizontal centre, bottom of the window on the bottom margin, top on the top margin.
    const PlotPixel axis_bottom = *mesh_plot_pixel(w, 0, w.bottom);
    EXPECT_NEAR(axis_bottom.x, kW / 2, 1);
    EXPECT_EQ(axis_bottom.y, kH - 5);
    EXPECT_NEAR(mesh_plot_pixel(w, 0, w.top)->y, 5, 1);
    EXPECT_NEAR(mesh_plot_pixel(w, d.mesh_plot_x_min, w.bottom)->x, 5, 1);
    EXPECT_NEAR(mesh_plot_pixel(w, d.mesh_plot_x_max, w.bottom)->x, kW - 5, 1);
  }
}

TEST(MeshPlotWindow, PanShiftsTheWindowAndZoomMagnifiesAboutItsLowerLeftCorner) {
  DesignData d = startup_design();
  d.view_selection = kViewPinion;
  const MeshPlotWindow plain = compute_mesh_plot_window(d, kW, kH);
  d.plot_pan_x = 1.5f;
  d.plot_pan_y = -2.0f;
  const MeshPlotWindow panned = compute_mesh_plot_window(d, kW, kH);
  EXPECT_NEAR(double(panned.left), double(plain.left - 1.5L), 1e-5);
  EXPECT_NEAR(double(panned.bottom), double(plain.bottom + 2.0L), 1e-5);
  EXPECT_NEAR(double(panned.top), double(plain.top + 2.0L), 1e-5);

  d.plot_zoom = 2.0f;
  const MeshPlotWindow zoomed = compute_mesh_plot_window(d, kW, kH);
  EXPECT_FLOAT_EQ(float(zoomed.scale_y), float(2 * panned.scale_y));
  const PlotPixel corner = *mesh_plot_pixel(zoomed, zoomed.left, zoomed.bottom);
  EXPECT_EQ(corner.x, 5);
  EXPECT_EQ(corner.y, kH - 5);
  // The middle of the window now lies on the image's upper right corner.
  const ld right = -zoomed.left - 2 * 1.5L;
  const PlotPixel middle = *mesh_plot_pixel(zoomed, (zoomed.left + right) / 2, (zoomed.bottom + zoomed.top) / 2);
  EXPECT_NEAR(middle.x, kW - 5, 1);
  EXPECT_NEAR(middle.y, 5, 1);
}

TEST(MeshPlotPixel, TruncatesTowardsZeroClampsFarPointsAndRefusesNonFiniteOnes) {
  EXPECT_EQ(*to_pixel(2.9L), 2);
  EXPECT_EQ(*to_pixel(-2.9L), -2);
  EXPECT_EQ(*to_pixel(1e30L), kPixelLimit);
  EXPECT_EQ(*to_pixel(-1e30L), -kPixelLimit);
  EXPECT_FALSE(to_pixel(std::numeric_limits<ld>::quiet_NaN()));
  EXPECT_FALSE(to_pixel(std::numeric_limits<ld>::infinity()));
  EXPECT_FALSE(to_pixel(-std::numeric_limits<ld>::infinity()));

  MeshPlotWindow w;
  w.scale_x = 10, w.scale_y = -10, w.height = kH;
  EXPECT_FALSE(mesh_plot_pixel(w, std::nan(""), 0));
  EXPECT_FALSE(mesh_plot_pixel(w, 0, std::numeric_limits<ld>::infinity()));
  w.scale_x = std::numeric_limits<ld>::infinity();  // a window of zero height
  EXPECT_FALSE(mesh_plot_pixel(w, 0, 1));
}

TEST(MeshPlacing, TeethGoRoundThePinionAndTheWheelMeshesWithATeethSpaceOnTheLineOfCentres) {
  DesignData d = startup_design();
  d.view_selection = kViewMesh;
  const int32_t z1 = d.teeth[0];
  const ld a = d.centre_distance;

  // A point on the tooth's centre line, 10 mm out: tooth i of the pinion turns clockwise by i pitches.
  for (int32_t i : {0, 1, z1 - 1}) {
    place_profile_point(d, 0, i, 0.0f, 10.0f);
    const ld phi = -2 * kPi * i / z1;
    EXPECT_NEAR(d.profile_point_xy[0], double(10 * std::sin(phi)), 1e-5) << i;
    EXPECT_NEAR(d.profile_point_xy[1], double(10 * std::cos(phi)), 1e-5) << i;
  }
  // The wheel's teeth 0 and z2-1 stand half a pitch either side of the line of centres, upside down at
  // the centre distance, so a tooth space faces the pinion's tooth 0, for odd and even tooth counts.
  for (int32_t z2 : {d.teeth[1], 17, 40}) {
    SCOPED_TRACE(z2);
    d.teeth[1] = z2;
    place_profile_point(d, 1, 0, 0.0f, 30.0f);
    const float x0 = d.profile_point_xy[0], y0 = d.profile_point_xy[1];
    place_profile_point(d, 1, z2 - 1, 0.0f, 30.0f);
    EXPECT_NEAR(x0, -d.profile_point_xy[0], 1e-5);
    EXPECT_NEAR(y0, d.profile_point_xy[1], 1e-5);
    EXPECT_NEAR(x0, double(-30 * std::sin(kPi / z2)), 1e-5);
    EXPECT_NEAR(y0, double(a - 30 * std::cos(kPi / z2)), 1e-4);
  }

  // In the wheel view the wheel stands upright about the origin like the pinion.
  d.view_selection = kViewWheel;
  place_profile_point(d, 1, 0, 0.0f, 30.0f);
  EXPECT_NEAR(d.profile_point_xy[0], 0.0, 1e-6);
  EXPECT_NEAR(d.profile_point_xy[1], 30.0, 1e-5);
}

TEST(MeshPlotZoom, StepsUpAndDownAndZoomOutStopsAtItsFloor) {
  float zoom = 1.0f;
  for (float expected : {2.0f, 3.0f, 4.0f}) EXPECT_EQ(zoom = zoom_in_step(zoom), expected);
  for (float expected : {3.0f, 2.0f, 1.0f, 0.5f, 0.25f}) EXPECT_EQ(zoom = zoom_out_step(zoom), expected);
  EXPECT_EQ(zoom_in_step(0.25f), 0.5f);
  for (int i = 0; i < 200; ++i) zoom = zoom_out_step(zoom);
  EXPECT_EQ(zoom, kMinPlotZoom);
  EXPECT_GT(zoom, 0.0f);
  for (int i = 0; i < 7; ++i) zoom = zoom_in_step(zoom);
  EXPECT_EQ(zoom, 1.0f);  // the way back is as long as the way down
}

TEST(MeshPlotMouse, PanDragMovesThePictureWithTheMouse) {
  DesignData d = startup_design();
  d.view_selection = kViewMesh;
  d.mouse_tool = kToolPan;
  MeshPlotWindow w = compute_mesh_plot_window(d, kW, kH);
  // The point under the mouse where the drag starts...
  const ld x_mm = w.left + (100 - 5) / w.scale_x, y_mm = w.bottom + (200 - kH + 5) / w.scale_y;
  mesh_plot_mouse_down(d, 100, 200);
  mesh_plot_mouse_up(d, 160, 260, kH);
  EXPECT_NEAR(d.plot_pan_x, double(60 / w.scale_x), 1e-4);
  EXPECT_NEAR(d.plot_pan_y, double(60 / w.scale_y), 1e-4);
  // ...lies under the mouse where it ends.
  w = compute_mesh_plot_window(d, kW, kH);
  const PlotPixel p = *mesh_plot_pixel(w, x_mm, y_mm);
  EXPECT_NEAR(p.x, 160, 1);
  EXPECT_NEAR(p.y, 260, 1);
  EXPECT_EQ(d.plot_zoom, 1.0f);
}

TEST(MeshPlotMouse, ZoomToolsChangeTheZoomOnMouseUpOnly) {
  DesignData d = startup_design();
  d.view_selection = kViewPinion;
  compute_mesh_plot_window(d, kW, kH);

  d.mouse_tool = kToolZoomIn;
  mesh_plot_mouse_down(d, 300, 100);
  EXPECT_EQ(d.plot_zoom, 1.0f);
  EXPECT_EQ(d.plot_pan_x, 0.0f);
  mesh_plot_mouse_up(d, 300, 100, kH);
  EXPECT_EQ(d.plot_zoom, 2.0f);

  d.mouse_tool = kToolZoomOut;
  const float pan_x = d.plot_pan_x, pan_y = d.plot_pan_y;
  mesh_plot_mouse_up(d, 10, 10, kH);
  EXPECT_EQ(d.plot_zoom, 1.0f);
  mesh_plot_mouse_up(d, 10, 10, kH);
  EXPECT_EQ(d.plot_zoom, 0.5f);
  EXPECT_EQ(d.plot_pan_x, pan_x);
  EXPECT_EQ(d.plot_pan_y, pan_y);

  d.mouse_tool = kToolRotate;  // nothing for the 2D plot
  mesh_plot_mouse_down(d, 10, 10);
  mesh_plot_mouse_up(d, 300, 300, kH);
  EXPECT_EQ(d.plot_zoom, 0.5f);
  EXPECT_EQ(d.plot_pan_x, pan_x);
}

// Zooming in keeps the clicked point of the gear under the pointer, on images of the layout's size and
// of the sizes the window-size steps and desktop scales give, from any zoom and pan, in every view: the
// click is mapped with the image's own size.
TEST(MeshPlotMouse, ZoomInKeepsTheClickedPointUnderThePointer) {
  DesignData d = startup_design();
  d.mouse_tool = kToolZoomIn;
  std::mt19937 random(48);
  const QSizeLike sizes[] = {{450, 600}, {225, 300}, {360, 480}, {703, 937}, {194, 258}, {900, 1200}};
  for (const QSizeLike size : sizes) {
    for (int trial = 0; trial < 40; ++trial) {
      d.view_selection = std::uniform_int_distribution<int32_t>(1, 3)(random);
      d.plot_zoom = std::uniform_int_distribution<int>(0, 1)(random) ? 1.0f
                                                                     : float(1 << std::uniform_int_distribution<int>(0, 4)(random)) / 4.0f;
      d.plot_pan_x = std::uniform_real_distribution<float>(-5, 5)(random);
      d.plot_pan_y = std::uniform_real_distribution<float>(-5, 5)(random);
      const MeshPlotWindow before = compute_mesh_plot_window(d, size.w, size.h);
      const int x = std::uniform_int_distribution<int>(0, size.w - 1)(random);
      const int y = std::uniform_int_distribution<int>(0, size.h - 1)(random);
      // The point under the pointer, in mm, from the picture as drawn.
      const ld x_mm = before.left + (x - kMeshPlotMargin) / before.scale_x;
      const ld y_mm = before.bottom + (y - size.h + kMeshPlotMargin) / before.scale_y;
      const float zoom = d.plot_zoom;
      mesh_plot_mouse_up(d, x, y, size.h);
      EXPECT_EQ(d.plot_zoom, zoom_in_step(zoom));
      const MeshPlotWindow after = compute_mesh_plot_window(d, size.w, size.h);
      const PlotPixel p = *mesh_plot_pixel(after, x_mm, y_mm);
      SCOPED_TRACE(::testing::Message() << size.w << "x" << size.h << " view " << d.view_selection << " zoom " << zoom
                                        << " click " << x << "," << y);
      EXPECT_NEAR(p.x, x, 1);
      EXPECT_NEAR(p.y, y, 1);
    }
  }
}
