// Arithmetic of the 3D view: the orthographic window of each view, the vertices of the swept teeth,
// the face normals, and what the mouse tools do to the view's zoom, pan and rotation. No OpenGL here.
#pragma once

#include <cstdint>

#include "design_data.h"

namespace morvell {

// The layout's drawing panel is 450 pixels wide and draws in a square of 446 pixels at its lower left
// corner. A panel scaled with its window draws in a square scaled alike.
inline constexpr int kView3dLayoutPanelWidth = 450;
inline constexpr int kView3dLayoutViewport = 446;

// The side of the square drawing of a panel `panel_width` pixels wide: 446 / 450 of its width, in the
// same pixels (the panel's own, as the mouse gives them, or the screen's, as OpenGL draws in them).
double view_3d_viewport(double panel_width);

// Each gear is swept in this many transverse slices along its face width.
inline constexpr int kView3dSlices = 20;

// The 3D view's zoom (`zoom_3d`, the scale of the viewing window, 1.0 at the start) is kept in the
// design data's 3D view state in the place of the view tilt, which the view does not have.
inline float& zoom_3d(DesignData& d) { return d.view_tilt_3d; }
inline float zoom_3d(const DesignData& d) { return d.view_tilt_3d; }

// The zoom is held within these bounds so that repeated clicks can neither shrink the viewing window
// to nothing nor blow it up to infinity (either leaves an empty picture that no click brings back).
inline constexpr float kMinZoom3d = 1.0e-3f;
inline constexpr float kMaxZoom3d = 1.0e3f;

struct ViewBounds3d {
  float left = 0, right = 0, bottom = 0, top = 0;
};

// The orthographic window of the current view, zoom and pan; stored in `view_bounds_3d`.
ViewBounds3d compute_view_bounds_3d(DesignData& d);

// How far in front of the eye the gears' axes stand, mm: the radius of the sphere about a gear's centre
// that holds the gear (tip circle and face width) however the view is turned, for the larger of the
// gears shown, with a margin, and at least the wheel's tip diameter. The depth range runs from the eye
// to twice this distance, so no view cuts a gear.
long double view_3d_depth(const DesignData& d);

// The angle of (x, y) measured from the +y axis towards +x, in [0, 2 pi).
long double polar_angle_from_y(long double x, long double y);

// Twist between neighbouring slices, radians: hand x face width / lead x 2 pi / (slices - 1); 0 for an
// infinite lead (a spur gear).
long double slice_twist(int32_t hand, float face_width, float lead);

// The vertex of outline point (x, y) on slice `slice` of tooth `tooth` of a gear with z teeth, face
// width b and twist per slice `twist`: turned back by the twist of the slice and the tooth's pitch,
// at axial position b/2 - slice x b / (slices - 1).
struct Vertex3d {
  float x = 0, y = 0, z = 0;
};
Vertex3d tooth_vertex(float x, float y, int slice, int32_t tooth, int32_t z, float face_width, long double twist);

// The unit normal a x b / |a x b| (not a number for parallel or zero-length edges).
void unit_normal(const float a[3], const float b[3], float normal[3]);

// The rotation after a drag of dx pixels across a drawing `viewport` pixels square: + dx / viewport x 180
// degrees, then above 360 reduced by 360 and below -360 increased by 360.
float rotated_view(float rotation, float dx, double viewport);

// Mouse button pressed and released on the 3D view at pixel (x, y), with the tool of the design data; the
// drawing is `viewport` of those pixels square (view_3d_viewport of the panel's width): a drag across it
// pans by the width of the viewing window or turns the view by half a turn.
void view_3d_mouse_down(DesignData& d, int x, int y);
void view_3d_mouse_up(DesignData& d, int x, int y, double viewport);

}  // namespace morvell
