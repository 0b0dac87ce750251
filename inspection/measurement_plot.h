// The two plots of the tooth-thickness measurement window: the measuring ball of one gear seated in a
// tooth space, in the transverse plane (tooth outlines, ball, its centre, the tangents from the ball
// centre to the base circle and three reference circles) or in the base plane (the face width with the
// ball, the flank traces inclined by the base helix angle and the contact normal).
#pragma once

#include <optional>

#include "design_data.h"
#include "mesh_plot_math.h"

class QImage;

namespace morvell {

// Planes of `metrology_plot_plane`: 1 transverse, any other value the base plane.
inline constexpr int32_t kMetrologyTransversePlane = 1;
inline constexpr int32_t kMetrologyBasePlane = 0;

// The plot window of one gear's drawing in mm, after the zoom and the vertical pan: the mesh plot's
// window, its pixels placed alike (mesh_plot_pixel, mesh_plot_point): column trunc((x - left) scale_x + 5),
// row trunc((y - bottom) scale_y + H - 5), the bottom being the root radius less 0.05 m_n, less the pan.
using MetrologyPlotWindow = MeshPlotWindow;

// Works out the window of gear `gear` (0 pinion, 1 wheel) for an image of width x height pixels: both
// gears' plots share the window height (the larger of the two), each starts just below its own root
// circle, and the zoom keeps the vertical centre. Stores `plot_pan_y`, `plot_scale_x`, `plot_scale_y`.
MetrologyPlotWindow compute_metrology_plot_window(DesignData& d, int gear, int width, int height);

// Draws the plot of gear `gear` over `image` (cleared to white first) in the plane of
// `metrology_plot_plane`, for the image's size in its own units and at its pixel ratio. The transverse
// plane generates the gear's finished outline into `profile_points`.
void draw_metrology_plot(DesignData& d, int gear, QImage& image);

// The three legend samples beside the rows of the window: a dotted line across the middle of each,
// black (ball contact diameter), silver (reference diameter) and grey (base diameter).
void draw_metrology_legends(QImage& contact, QImage& reference, QImage& base);

}  // namespace morvell
