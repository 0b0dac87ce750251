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

// Writes the whole outline of one tooth into `profile` and the form diameter (where the generated
// fillet meets the involute flank) into *form_diameter. Lengths in mm, angles in degrees.
//   z                  number of teeth
//   normal_module      m_n
//   thickness          nominal transverse tooth thickness s_t at the reference circle
//   flank_thickness    transverse thickness of the flank to draw (the finished thickness, or s_t again
//                      for the nominal outline)
//   pressure_angle     normal pressure angle alpha_n
//   helix_angle        beta
//   root_diameter      d_f
//   tip_diameter       d_a
//   profile_shift      x
//   fillet_radius      tip radius of the generating rack
//   protuberance       protuberance of the rack normal to its flank, 0 = none
//   protuberance_angle flank angle of the protuberance (used only with a protuberance)
//   tip_thickness      transverse tooth thickness at the tip circle after the tip chamfer
//   chamfer_depth      radial depth of the tip chamfer, 0 = none
// Reads nothing but its arguments, validates nothing and allocates nothing; every step is bounded.
void generate_tooth_profile(int32_t z, float normal_module, float thickness, float flank_thickness,
                            float pressure_angle, float helix_angle, float root_diameter, float tip_diameter,
                            float profile_shift, float fillet_radius, float protuberance,
                            float protuberance_angle, float tip_thickness, float chamfer_depth,
                            float* form_diameter, ToothProfile& profile);

// Reduces an outline to 40 points: elements 0-19 are the outline points 0, 12, 24, 40, 55, 70, 85, 100,
// 115, 130, 145, 160, 175, 190, 205, 220, 223, 224, 236, 249; element 20 + k is element 19 - k with x
// negated.
void sample_profile_points(const ToothProfile& profile, ProfilePoint (&sample)[kProfileSamplePoints]);

}  // namespace morvell
