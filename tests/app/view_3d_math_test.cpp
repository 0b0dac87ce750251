// Viewing window, swept vertices, normals and mouse tools of the 3D view.
#include "view_3d_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry_pass.h"
#include "mesh_plot_math.h"
#include "numeric.h"
#include "startup_values.h"

using namespace morvell;

namespace {

DesignData startup_design() {
  DesignData d;
  set_startup_values(d);
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);
  zoom_3d(d) = 1.0f;
  return d;
}

}  // namespace

TEST(View3dBounds, EachViewHasItsSquareWindowAndZoomsAboutThePinionCentre) {
  DesignData d = startup_design();
  const ld da1 = d.tip_diameter[0], da2 = d.tip_diameter[1], a = d.centre_distance;
  struct Case {
    int32_t view;
    ld half, bottom, top;
  } cases[] = {
      {kViewPinion, (da1 / 1.5L + da1 / 1.8L) / 2, -da1 / 1.8L, da1 / 1.5L},
      {kViewWheel, (da2 / 1.5L + da2 / 1.8L) / 2, a - da2 / 1.8L, a + da2 / 1.5L},
      {kViewMesh, (da1 / 1.8L + da2 / 1.3L + a) / 2, -da1 / 1.8L, a + da2 / 1.3L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    d.view_selection = c.view;
    d.pan_x_3d = 0, d.pan_y_3d = 0, zoom_3d(d) = 1.0f;
    ViewBounds3d b = compute_view_bounds_3d(d);
    EXPECT_FLOAT_EQ(b.left, float(-c.half));
    EXPECT_FLOAT_EQ(b.right, float(c.half));
    EXPECT_FLOAT_EQ(b.bottom, float(c.bottom));
    EXPECT_FLOAT_EQ(b.top, float(c.top));
    EXPECT_NEAR(b.right - b.left, b.top - b.bottom, 1e-3);  // square
    EXPECT_EQ(d.view_bounds_3d[0], b.left);
    EXPECT_EQ(d.view_bounds_3d[3], b.top);

    d.pan_x_3d = 3, d.pan_y_3d = -4, zoom_3d(d) = 0.5f;
    b = compute_view_bounds_3d(d);
    EXPECT_FLOAT_EQ(b.left, float(-c.half / 2 - 3));
    EXPECT_FLOAT_EQ(b.right, float(c.half / 2 - 3));
    EXPECT_FLOAT_EQ(b.bottom, float(c.bottom / 2 - 4));
    EXPECT_FLOAT_EQ(b.top, float(c.top / 2 - 4));
  }
  // Zooming the wheel view in pulls the window towards the pinion centre: at zoom 0.5 the wheel's
  // centre (0, a) is no longer in it.
  d.view_selection = kViewWheel;
  d.pan_x_3d = 0, d.pan_y_3d = 0, zoom_3d(d) = 0.5f;
  const ViewBounds3d zoomed = compute_view_bounds_3d(d);
  EXPECT_LT(zoomed.top, a);
  EXPECT_FLOAT_EQ(zoomed.bottom, float((a - da2 / 1.8L) / 2));
}

TEST(View3dVertices, PolarAngleCoversTheFullTurnFromTheYAxis) {
  const struct {
    ld x, y, angle;
  } cases[] = {{0, 1, 0},           {1, 1, kPi / 4},      {1, 0, kPi / 2},      {1, -1, 3 * kPi / 4},
               {0, -1, kPi},        {-1, -1, 5 * kPi / 4}, {-1, 1, 7 * kPi / 4}, {-1e-9L, 1, 2 * kPi - 1e-9L}};
  for (const auto& c : cases) {
    const ld angle = polar_angle_from_y(c.x, c.y);
    EXPECT_NEAR(double(angle), double(c.angle), 1e-12) << c.x << ", " << c.y;
    EXPECT_NEAR(double(std::hypot(c.x, c.y) * std::sin(angle)), double(c.x), 1e-12);
    EXPECT_NEAR(double(std::hypot(c.x, c.y) * std::cos(angle)), double(c.y), 1e-12);
  }
}

TEST(View3dVertices, SlicesRunAlongTheFaceWidthAndTurnWithTheHelix) {
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(slice_twist(1, 30, inf), 0.0L);  // a spur gear has no twist
  EXPECT_EQ(slice_twist(-1, 30, inf), 0.0L);
  const ld t = slice_twist(1, 30, 600);
  EXPECT_NEAR(double(t), double(30.0L / 600 * 2 * kPi / 19), 1e-15);
  EXPECT_EQ(slice_twist(-1, 30, 600), -t);  // the other hand twists the other way

  // Slice 0 is the front face at +b/2, slice 19 the back face at -b/2.
  Vertex3d v = tooth_vertex(0, 20, 0, 0, 10, 30, t);
  EXPECT_FLOAT_EQ(v.x, 0);
  EXPECT_FLOAT_EQ(v.y, 20);
  EXPECT_FLOAT_EQ(v.z, 15);
  v = tooth_vertex(0, 20, 19, 0, 10, 30, t);
  EXPECT_FLOAT_EQ(v.z, -15);
  // Over the face width the outline turns by hand x b / L of a full turn, back against +x.
  EXPECT_NEAR(v.x, double(20 * std::sin(-30.0L / 600 * 2 * kPi)), 1e-5);
  EXPECT_NEAR(v.y, double(20 * std::cos(-30.0L / 600 * 2 * kPi)), 1e-5);
  // Tooth 1 of 10 stands one pitch further round.
  v = tooth_vertex(0, 20, 0, 1, 10, 30, t);
  EXPECT_NEAR(v.x, double(20 * std::sin(-kPi / 5)), 1e-5);
  EXPECT_NEAR(v.y, double(20 * std::cos(-kPi / 5)), 1e-5);
}

TEST(View3dNormals, UnitCrossProductAndAnUndefinedNormalForDegenerateFaces) {
  const float x[3] = {2, 0, 0}, y[3] = {0, 3, 0}, zero[3] = {0, 0, 0};
  float n[3];
  unit_normal(x, y, n);
  EXPECT_FLOAT_EQ(n[0], 0);
  EXPECT_FLOAT_EQ(n[1], 0);
  EXPECT_FLOAT_EQ(n[2], 1);
  unit_normal(y, x, n);
  EXPECT_FLOAT_EQ(n[2], -1);
  const float a[3] = {1, 2, 3}, b[3] = {-2, 0.5f, 4};
  unit_normal(a, b, n);
  EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0, 1e-6);
  EXPECT_NEAR(n[0] * a[0] + n[1] * a[1] + n[2] * a[2], 0.0, 1e-6);
  unit_normal(x, zero, n);
  EXPECT_TRUE(std::isnan(n[0]));
}

// The drawing of the layout's panel (450 pixels wide) is 446 pixels square; a panel scaled with its window
// draws in a square scaled alike.
TEST(View3dMouse, TheDrawingScalesWithThePanel) {
  EXPECT_DOUBLE_EQ(view_3d_viewport(450), 446);
  EXPECT_DOUBLE_EQ(view_3d_viewport(360), 356.8);  // step -3 on a screen 1024 pixels wide: 450 x 0.8
  EXPECT_DOUBLE_EQ(view_3d_viewport(900), 892);    // twice the layout's size
}

TEST(View3dMouse, RotationDragsAccumulateAndWrapBeyondAFullTurn) {
  // A drag across the drawing turns the view by 180 degrees.
  EXPECT_FLOAT_EQ(rotated_view(45, 446, 446), 225);
  EXPECT_FLOAT_EQ(rotated_view(190, 446, 446), 10);     // 370 becomes 10
  EXPECT_FLOAT_EQ(rotated_view(-190, -446, 446), -10);  // -370 becomes -10
  EXPECT_EQ(rotated_view(180, 446, 446), 360);          // -360 to 360 stay
  EXPECT_EQ(rotated_view(-180, -446, 446), -360);
  EXPECT_FLOAT_EQ(rotated_view(45, 111.5f, 223), 135);  // a drawing of half the size: half the drag

  for (const double viewport : {446.0, 223.0, 356.8}) {
    SCOPED_TRACE(viewport);
    DesignData d = startup_design();
    d.view_rotation_3d = 45;
    d.mouse_tool = kToolRotate;
    // Half the drawing's width (to the nearest pixel) is a quarter turn, and back again.
    const int half = int(std::lround(viewport / 2));
    view_3d_mouse_down(d, 100, 50);
    view_3d_mouse_up(d, 100 + half, 80, viewport);
    EXPECT_NEAR(d.view_rotation_3d, 135, 180 / viewport);
    view_3d_mouse_down(d, 300, 0);
    view_3d_mouse_up(d, 300 - half, 0, viewport);
    EXPECT_NEAR(d.view_rotation_3d, 45, 1e-4);
  }
}

TEST(View3dMouse, PanFollowsTheDragAndZoomScalesTheWindowWithinBounds) {
  DesignData d = startup_design();
  d.view_selection = kViewMesh;
  const ViewBounds3d b = compute_view_bounds_3d(d);
  d.mouse_tool = kToolPan;
  view_3d_mouse_down(d, 100, 200);
  EXPECT_EQ(d.plot_pan_x, 100);
  EXPECT_EQ(d.plot_pan_y, 200);
  view_3d_mouse_up(d, 150, 180, 446);
  EXPECT_FLOAT_EQ(d.pan_x_3d, 50 * (b.right - b.left) / 446);
  EXPECT_FLOAT_EQ(d.pan_y_3d, -20 * (b.top - b.bottom) / 446);
  // The picture follows: dragging right moves the window left.
  EXPECT_LT(compute_view_bounds_3d(d).left, b.left);
  // On a drawing of half the size the same drag moves the window twice as far.
  d.pan_x_3d = d.pan_y_3d = 0;
  view_3d_mouse_down(d, 100, 200);
  view_3d_mouse_up(d, 150, 180, 223);
  EXPECT_FLOAT_EQ(d.pan_x_3d, 100 * (b.right - b.left) / 446);
  EXPECT_FLOAT_EQ(d.pan_y_3d, -40 * (b.top - b.bottom) / 446);

  d.mouse_tool = kToolZoomIn;
  view_3d_mouse_up(d, 0, 0, 446);
  EXPECT_FLOAT_EQ(zoom_3d(d), 0.8f);
  d.mouse_tool = kToolZoomOut;
  view_3d_mouse_up(d, 0, 0, 446);
  view_3d_mouse_up(d, 0, 0, 446);
  EXPECT_FLOAT_EQ(zoom_3d(d), 1.25f);

  // However many clicks, the window keeps a size.
  for (int i = 0; i < 5000; ++i) view_3d_mouse_up(d, 0, 0, 446);
  EXPECT_EQ(zoom_3d(d), kMaxZoom3d);
  EXPECT_TRUE(std::isfinite(compute_view_bounds_3d(d).right));
  d.mouse_tool = kToolZoomIn;
  for (int i = 0; i < 5000; ++i) view_3d_mouse_up(d, 0, 0, 446);
  EXPECT_EQ(zoom_3d(d), kMinZoom3d);
  const ViewBounds3d tiny = compute_view_bounds_3d(d);
  EXPECT_GT(tiny.right - tiny.left, 0.0f);
}
