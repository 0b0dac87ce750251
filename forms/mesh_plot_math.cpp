#include "mesh_plot_math.h"

#include <algorithm>
#include <cmath>

#include "numeric.h"

namespace morvell {

MeshPlotWindow compute_mesh_plot_window(DesignData& d, int width, int height) {
  const ld m = d.normal_module;
  ld bottom = 0, top = 0;
  if (d.view_selection == kViewPinion) {
    const ld r = ld(d.reference_diameter[0]) / 2;
    bottom = r - 2 * m, top = r + 2 * m;
  } else if (d.view_selection == kViewWheel) {
    const ld r = ld(d.reference_diameter[1]) / 2;
    bottom = r - 2 * m, top = r + 2 * m;
  } else {
    // The pitch region of the mesh, about the pinion's reference radius.
    const ld r1 = ld(d.teeth[0]) * m / (2 * std::cos(deg_to_rad(ld(d.helix_angle))));
    bottom = r1 - 3 * m, top = r1 + 3 * m;
  }
  const ld inner_w = ld(width) - 2 * kMeshPlotMargin, inner_h = ld(height) - 2 * kMeshPlotMargin;
  // Centred on the gear axis with the image's aspect.
  ld left = -(top - bottom) / 2 * inner_w / inner_h;
  const ld right = -left;

  bottom -= d.plot_pan_y;
  top -= d.plot_pan_y;
  left -= d.plot_pan_x;

  d.plot_scale_y = float((2 * kMeshPlotMargin - ld(height)) / (top - bottom) * ld(d.plot_zoom));
  d.plot_scale_x = -d.plot_scale_y;
  d.mesh_plot_x_min = float(left);
  d.mesh_plot_x_max = float(right - ld(d.plot_pan_x));
  d.mesh_plot_y_range = float(top - bottom);

  MeshPlotWindow w;
  w.left = d.mesh_plot_x_min;
  w.bottom = bottom;
  w.top = top;
  w.scale_x = d.plot_scale_x;
  w.scale_y = d.plot_scale_y;
  w.height = height;
  return w;
}

std::optional<double> to_screen_pixel(long double value, double ratio) {
  if (!std::isfinite(value)) return std::nullopt;
  value = std::clamp(value, -ld(kPixelLimit), ld(kPixelLimit));
  return double(std::trunc(value * ratio) / ratio);
}

std::optional<int> to_pixel(long double value) {
  const std::optional<double> pixel = to_screen_pixel(value, 1);
  if (!pixel) return std::nullopt;
  return static_cast<int>(*pixel);
}

std::optional<PlotPoint> mesh_plot_point(const MeshPlotWindow& w, long double x, long double y) {
  const std::optional<double> column = to_screen_pixel((x - w.left) * w.scale_x + kMeshPlotMargin, w.ratio);
  const std::optional<double> row = to_screen_pixel((y - w.bottom) * w.scale_y + w.height - kMeshPlotMargin, w.ratio);
  if (!column || !row) return std::nullopt;
  return PlotPoint{*column, *row};
}

std::optional<PlotPixel> mesh_plot_pixel(const MeshPlotWindow& w, long double x, long double y) {
  MeshPlotWindow pixels = w;
  pixels.ratio = 1;
  const std::optional<PlotPoint> p = mesh_plot_point(pixels, x, y);
  if (!p) return std::nullopt;
  return PlotPixel{int(p->x), int(p->y)};
}

void place_profile_point(DesignData& d, int gear, int32_t tooth, float x, float y) {
  const ld r = std::sqrt(ld(x) * x + ld(y) * y);
  const ld theta = std::atan(ld(x) / ld(y));
  const ld z = d.teeth[gear];
  ld phi = theta - 2 * kPi * ld(tooth) / z;
  if (gear == 1 && d.view_selection == kViewMesh) {
    phi -= kPi / ld(d.teeth[1]);
    d.profile_point_xy[0] = float(r * std::sin(phi));
    d.profile_point_xy[1] = float(ld(d.centre_distance) - r * std::cos(phi));
  } else {
    d.profile_point_xy[0] = float(r * std::sin(phi));
    d.profile_point_xy[1] = float(r * std::cos(phi));
  }
}

float zoom_in_step(float zoom) { return zoom > 1.0f ? zoom + 1.0f : zoom * 2.0f; }

float zoom_out_step(float zoom) {
  if (zoom > 1.0f) return zoom - 1.0f;
  const float half = zoom / 2.0f;
  return half < kMinPlotZoom ? std::fmax(zoom, kMinPlotZoom) : half;
}

void mesh_plot_mouse_down(DesignData& d, int x, int y) {
  if (d.mouse_tool != kToolPan) return;
  d.plot_pan_x = float(ld(d.plot_pan_x) - ld(x) / ld(d.plot_scale_x));
  d.plot_pan_y = float(ld(d.plot_pan_y) - ld(y) / ld(d.plot_scale_y));
}

void mesh_plot_mouse_up(DesignData& d, int x, int y, int image_height) {
  if (d.mouse_tool == kToolPan) {
    d.plot_pan_x = float(ld(d.plot_pan_x) + ld(x) / ld(d.plot_scale_x));
    d.plot_pan_y = float(ld(d.plot_pan_y) + ld(y) / ld(d.plot_scale_y));
  } else if (d.mouse_tool == kToolZoomIn) {
    // About the clicked point: the point under the pointer in the last plot stays under it. A column
    // stands for left + (x - margin) / scale_x, a row for bottom + (y - height + margin) / scale_y; the
    // zoom changes the scales only, and the pan (subtracted from left and bottom) takes up the
    // difference.
    const float zoom = zoom_in_step(d.plot_zoom);
    const ld grows = ld(zoom) / ld(d.plot_zoom);
    const ld scale_x = d.plot_scale_x, scale_y = d.plot_scale_y;
    const ld column = ld(x) - kMeshPlotMargin, row = ld(y) - ld(image_height) + kMeshPlotMargin;
    const ld pan_x = ld(d.plot_pan_x) - column * (1 / scale_x - 1 / (scale_x * grows));
    const ld pan_y = ld(d.plot_pan_y) - row * (1 / scale_y - 1 / (scale_y * grows));
    // A plot never drawn (no scale yet) keeps its pan.
    if (std::isfinite(pan_x) && std::isfinite(pan_y)) {
      d.plot_pan_x = float(pan_x);
      d.plot_pan_y = float(pan_y);
    }
    d.plot_zoom = zoom;
  } else if (d.mouse_tool == kToolZoomOut) {
    d.plot_zoom = zoom_out_step(d.plot_zoom);
  }
}

}  // namespace morvell
