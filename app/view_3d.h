// The 3D view: the pinion, the wheel or the pair in mesh as lit grey solids, each gear's finished tooth
// outline (reduced to 40 points) swept along its face width in slices that turn with the helix, for
// every tooth, closed by end faces. Drawn anew on every paint from the current design, in OpenGL 1.1
// immediate mode; the drawing panel makes its context current around both calls.
#pragma once

#include "design_data.h"

namespace morvell {

// Once per creation of the panel's context: resets the 3D pan and rotation, and sets the shading, the
// depth test, the two lights (each paint places them above and below the pair shown) and the grey
// material.
void init_3d_view(DesignData& d);

// Draws the whole picture of the view chosen in the design data into a square `viewport` pixels of the
// screen wide at the panel's lower left corner (view_3d_viewport). `profile_points` is left as it was
// before the paint.
void paint_3d_view(DesignData& d, int viewport);

// The face's unit normal a x b / |a x b| into `face_normal`, then handed to OpenGL as the normal of the
// face being drawn.
void set_face_normal(DesignData& d, const float a[3], const float b[3]);

}  // namespace morvell
