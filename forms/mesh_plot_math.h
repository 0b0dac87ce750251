// Arithmetic of the 2D mesh plot: the plot window in millimetres and its pixel scales, the placing of
// tooth outline points around the gears, the conversion of millimetres to pixels, and what the mouse
// tools and the zoom do to the plot's zoom and pan. No drawing here: this part runs without Qt.
#pragma once

#include <cstdint>
#include <optional>

#include "design_data.h"

namespace morvell {

// Views of the pictures (`view_selection`).
inline constexpr int32_t kViewPinion = 1;
inline constexpr int32_t kViewWheel = 2;
inline constexpr int32_t kViewMesh = 3;

// Mouse tools of the pictures (`mouse_tool`).
inline constexpr int32_t kToolPan = 0;
inline constexpr int32_t kToolZoomIn = 1;
inline constexpr int32_t kToolZoomOut = 2;
inline constexpr int32_t kToolRotate = 4;

// Blank border of the plot on every side, pixels.
inline constexpr int kMeshPlotMargin = 5;

// The smallest zoom that zooming out reaches: halving stops here, so the picture never shrinks to a
// point (from which doubling could not bring it back).
inline constexpr float kMinPlotZoom = 1.0f / 128.0f;

// Pixel co-ordinates further out than this are pulled back to it: the canvas clips them anyway, and
// the integer conversion stays defined however far the zoom and pan carry a point.
inline constexpr int kPixelLimit = 1000000;

// The plot window of one drawing, after the pan: left end, bottom and top in mm; pixel scales. Pixels
// are those of the image control (its own units, as the mouse gives them); a picture painted for a
// screen that shows each of them with several of its own has `ratio` of those per pixel.
struct MeshPlotWindow {
  long double left = 0;
  long double bottom = 0;
  long double top = 0;
  long double scale_x = 0;  // pixels per mm, = -scale_y
  long double scale_y = 0;  // negative: screen rows grow downwards
  int height = 0;           // image height in pixels
  double ratio = 1;         // pixels of the screen per pixel
};

// Works out the plot window for an image of width x height pixels from the view, the module, the
// reference diameters, the pan and the zoom, and stores it in the design data: `plot_scale_x`,
// `plot_scale_y`, `mesh_plot_x_min` (left end), `mesh_plot_x_max` (right end at zoom 1) and
// `mesh_plot_y_range` (height of the window before the zoom, top - bottom).
MeshPlotWindow compute_mesh_plot_window(DesignData& d, int width, int height);

struct PlotPixel {
  int x = 0;
  int y = 0;
};

// A position in pixels where a picture painted at `ratio` pixels of the screen per pixel draws it:
// in pixels, but whole pixels of the screen.
struct PlotPoint {
  double x = 0;
  double y = 0;
};

// A length in pixels as a whole pixel, truncated towards zero and held within +-kPixelLimit; nothing
// for a value that is not a number or infinite.
std::optional<int> to_pixel(long double value);
// The same truncated to a whole pixel of a screen that shows `ratio` of its pixels per pixel, in
// pixels (to_pixel at ratio 1).
std::optional<double> to_screen_pixel(long double value, double ratio);

// The pixel of the point (x, y) in mm: column trunc((x - left) scale_x + 5), row
// trunc((y - bottom) scale_y + height - 5). Nothing when either is not finite.
std::optional<PlotPixel> mesh_plot_pixel(const MeshPlotWindow& w, long double x, long double y);
// Where a picture at the window's ratio draws the point: the same column and row truncated to whole
// pixels of the screen (the pixel itself at ratio 1).
std::optional<PlotPoint> mesh_plot_point(const MeshPlotWindow& w, long double x, long double y);

// Places point (x, y) of a tooth outline (tooth upright about +y) on tooth `tooth` of gear `gear`
// (0 pinion, 1 wheel) as the view shows it and stores it in `profile_point_xy`. In the mesh view the
// wheel stands upside down at the centre distance, turned by half a pitch so that it meshes.
void place_profile_point(DesignData& d, int gear, int32_t tooth, float x, float y);

// The zoom after one zoom-in click: above 1 it grows by 1, at 1 or below it doubles.
float zoom_in_step(float zoom);
// The zoom after one zoom-out click: above 1 it shrinks by 1, at 1 or below it halves, but not below
// kMinPlotZoom.
float zoom_out_step(float zoom);

// Mouse button pressed and released on the plot image at pixel (x, y), with the tool of the design
// data; the image is `image_height` pixels high. The pan tool moves the plot by the drag; the zoom-in
// tool zooms about the clicked point, which stays where it is on the picture (from the window of the
// last plot, kept in the design data).
void mesh_plot_mouse_down(DesignData& d, int x, int y);
void mesh_plot_mouse_up(DesignData& d, int x, int y, int image_height);

}  // namespace morvell
