// The 2D mesh plot: the transverse tooth outlines of the pinion, the wheel or both in mesh around the
// pitch point, with their reference circles and, on request, the nominal outlines under the finished
// ones.
#pragma once

#include "design_data.h"

class QImage;

namespace morvell {

// Draws the whole plot over `image` (cleared to white first) for the view of the design data, and
// leaves the plot window and scales of this drawing in the design data (mesh_plot_math.h). The window
// is that of the image's size in its own units (an image at a pixel ratio above 1 has more pixels, and
// the plot is drawn to those). Generates the outlines it draws into `profile_points`, so the wheel's or
// pinion's last one stays there.
void draw_mesh_plot(DesignData& d, QImage& image);

}  // namespace morvell
