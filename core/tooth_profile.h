// Tooth profile generator: the transverse outline of one tooth of an external involute gear as a
// generating rack with a rounded tip (and an optional protuberance) cuts it, and the 40-point sample
// of that outline used by the 3D view and the DXF export.
#pragma once

#include <cstdint>

#include "design_data.h"

namespace morvell {

// The outline is written into a ToothProfile (the design data's `profile_points` or a caller's own):
//   0-24    root arc from the middle of the tooth space (polar angle pi/z) to the start of the fillet
//   25-124  trochoidal fillet, from the root circle up to where it meets the flank
//   125-223 involute flank from the form radius up to the start of the tip chamfer
//   224     tip corner on the tip circle (end of the tip chamfer)
//   225-249 tip arc to the tooth centre line
//   250-499 the mirror image: point 250 + k is point 249 - k with x negated

inline constexpr int kProfileSamplePoints = 40;

// The flank angle of the protuberance the program's outlines are cut with, in degrees.
inline constexpr float kProtuberanceFlankAngle = 0.01f;

// What one tooth outline is generated from. Lengths in mm, angles in degrees.
struct ToothProfileInput {
  int32_t teeth = 0;         // z
  float normal_module = 0;   // m_n
  float thickness = 0;       // nominal transverse tooth thickness s_t at the reference circle
  float flank_thickness = 0; // transverse thickness of the flank to draw (the finished thickness, or s_t
                             // again for the nominal outline)
  float pressure_angle = 0;  // normal pressure angle alpha_n
  float helix_angle = 0;     // beta
  float root_diameter = 0;   // d_f
  float tip_diameter = 0;    // d_a
  float profile_shift = 0;   // x
  float fillet_radius = 0;   // tip radius of the generating rack
  float protuberance = 0;    // protuberance of the rack normal to its flank, 0 = none
  float protuberance_angle = kProtuberanceFlankAngle;  // flank angle of the protuberance (read only with one)
  float tip_thickness = 0;   // transverse tooth thickness at the tip circle after the tip chamfer
  float chamfer_depth = 0;   // radial depth of the tip chamfer, 0 = none
};

// The outline of gear `gear` (0 pinion, 1 wheel) as the design data holds it: the finished one, its
// flank thinned for the backlash and its tip chamfered by tip_chamfer; or the nominal one, its flank of
// the nominal thickness and its chamfer tip_chamfer_depth deep, ending at the same tip corner.
ToothProfileInput finished_outline_input(const DesignData& d, int gear);
ToothProfileInput nominal_outline_input(const DesignData& d, int gear);

// Generates the finished or the nominal outline of gear `gear` into d.profile_points (its form
// diameter into d.form_diameter_scratch).
void generate_gear_outline(DesignData& d, int gear, bool nominal = false);

// Writes the whole outline of one tooth into `profile` and, unless form_diameter is null, the form
// diameter (where the generated fillet meets the involute flank) into *form_diameter.
// Reads nothing but its input, validates nothing and allocates nothing; every step is bounded.
void generate_tooth_profile(const ToothProfileInput& in, float* form_diameter, ToothProfile& profile);

// Reduces an outline to 40 points: elements 0-19 are the outline points 0, 12, 24, 40, 55, 70, 85, 100,
// 115, 130, 145, 160, 175, 190, 205, 220, 223, 224, 236, 249; element 20 + k is element 19 - k with x
// negated.
void sample_profile_points(const ToothProfile& profile, ProfilePoint (&sample)[kProfileSamplePoints]);

}  // namespace morvell
