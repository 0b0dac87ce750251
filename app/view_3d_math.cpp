#include "view_3d_math.h"

#include <algorithm>
#include <cmath>

#include "mesh_plot_math.h"
#include "numeric.h"

namespace morvell {

ViewBounds3d compute_view_bounds_3d(DesignData& d) {
  const ld zoom = zoom_3d(d), px = d.pan_x_3d, py = d.pan_y_3d;
  const ld da1 = d.tip_diameter[0], da2 = d.tip_diameter[1], a = d.centre_distance;
  ld half = 0, bottom = 0, top = 0;
  if (d.view_selection == kViewPinion) {
    half = (da1 / 1.5L + da1 / 1.8L) / 2;
    bottom = -da1 / 1.8L * zoom + py;
    top = da1 / 1.5L * zoom + py;
  } else if (d.view_selection == kViewWheel) {
    half = (da2 / 1.5L + da2 / 1.8L) / 2;
    bottom = (a - da2 / 1.8L) * zoom + py;
    top = (a + da2 / 1.5L) * zoom + py;
  } else {
    half = (da1 / 1.8L + da2 / 1.3L + a) / 2;
    bottom = -da1 / 1.8L * zoom + py;
    top = (a + da2 / 1.3L) * zoom + py;
  }
  ViewBounds3d b;
  b.left = float(-half * zoom - px);
  b.right = float(half * zoom - px);
  b.bottom = float(bottom);
  b.top = float(top);
  d.view_bounds_3d[0] = b.left;
  d.view_bounds_3d[1] = b.right;
  d.view_bounds_3d[2] = b.bottom;
  d.view_bounds_3d[3] = b.top;
  return b;
}

long double view_3d_depth(const DesignData& d) {
  long double reach = 0;
  for (int gear = 0; gear < 2; ++gear) {
    const bool shown = gear == 0 ? d.view_selection != kViewWheel : d.view_selection != kViewPinion;
    const long double r = ld(d.tip_diameter[gear]) / 2, half_face = ld(d.face_width[gear]) / 2;
    const long double sphere = std::sqrt(r * r + half_face * half_face);
    if (shown && std::isfinite(sphere)) reach = std::max(reach, sphere);
  }
  // At least the wheel's tip diameter, the depth at which the view has always stood; a design without
  // a finite size still gets a depth range.
  const long double wheel_tip = ld(d.tip_diameter[1]);
  reach *= 1.05L;
  if (std::isfinite(wheel_tip) && wheel_tip > reach) reach = wheel_tip;
  return reach > 0 ? reach : 1.0L;
}

long double polar_angle_from_y(long double x, long double y) {
  if (x >= 0 && y >= 0) return std::atan(x / y);
  if (x >= 0) return kPi - std::atan(-x / y);
  if (y < 0) return kPi + std::atan(x / y);
  return 2 * kPi - std::atan(-x / y);
}

long double slice_twist(int32_t hand, float face_width, float lead) {
  return ld(hand) * ld(face_width) / ld(lead) * 2 * kPi / (kView3dSlices - 1);
}

Vertex3d tooth_vertex(float x, float y, int slice, int32_t tooth, int32_t z, float face_width, long double twist) {
  const ld r = std::sqrt(ld(x) * x + ld(y) * y);
  const ld phi = polar_angle_from_y(x, y) - ld(slice) * twist - 2 * kPi * ld(tooth) / ld(z);
  const ld spacing = ld(face_width) / (kView3dSlices - 1);
  return Vertex3d{float(r * std::sin(phi)), float(r * std::cos(phi)), float(ld(face_width) / 2 - slice * spacing)};
}

void unit_normal(const float a[3], const float b[3], float normal[3]) {
  const ld nx = ld(a[1]) * b[2] - ld(b[1]) * a[2];
  const ld ny = -(ld(a[0]) * b[2] - ld(b[0]) * a[2]);
  const ld nz = ld(a[0]) * b[1] - ld(b[0]) * a[1];
  const ld length = std::sqrt(nx * nx + ny * ny + nz * nz);
  normal[0] = float(nx / length);
  normal[1] = float(ny / length);
  normal[2] = float(nz / length);
}

double view_3d_viewport(double panel_width) {
  return panel_width * kView3dLayoutViewport / kView3dLayoutPanelWidth;
}

float rotated_view(float rotation, float dx, double viewport) {
  ld r = ld(rotation) + ld(dx) / ld(viewport) * 180;
  if (r > 360) r -= 360;
  if (r < -360) r += 360;
  return float(r);
}

void view_3d_mouse_down(DesignData& d, int x, int y) {
  if (d.mouse_tool == kToolPan) {
    // The pan drag starts here; the 2D plot's pan fields hold its start point.
    d.plot_pan_x = float(x);
    d.plot_pan_y = float(y);
  } else if (d.mouse_tool == kToolRotate) {
    d.mouse_down_x_3d = float(x);
  }
}

void view_3d_mouse_up(DesignData& d, int x, int y, double viewport) {
  if (d.mouse_tool == kToolZoomIn) {
    zoom_3d(d) = std::max(float(ld(zoom_3d(d)) * 0.8L), kMinZoom3d);
  } else if (d.mouse_tool == kToolZoomOut) {
    zoom_3d(d) = std::min(float(ld(zoom_3d(d)) * 1.25L), kMaxZoom3d);
  } else if (d.mouse_tool == kToolPan) {
    const ld dx = (ld(x) - d.plot_pan_x) * (ld(d.view_bounds_3d[1]) - d.view_bounds_3d[0]) / ld(viewport);
    const ld dy = (ld(y) - d.plot_pan_y) * (ld(d.view_bounds_3d[3]) - d.view_bounds_3d[2]) / ld(viewport);
    d.pan_x_3d = float(d.pan_x_3d + dx);
    d.pan_y_3d = float(d.pan_y_3d + dy);
  } else if (d.mouse_tool == kToolRotate) {
    d.view_rotation_3d = rotated_view(d.view_rotation_3d, float(ld(x) - d.mouse_down_x_3d), viewport);
  }
}

}  // namespace morvell
