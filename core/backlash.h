// The backlash of a pair and the ways it is stated: normal backlash j_n (the shortest distance between
// the flanks), along the transverse line of action (j_n / cos beta_b), radial (the change of centre
// distance that closes the mesh), transverse circular on the working pitch circle and normal circular on
// the working pitch cylinder; and the link between the backlash and the thinning of the teeth. The
// geometry pass, the main window's backlash and thickness entries and the measurement window all convert
// through these routines, so that every window states the same backlash alike.
#pragma once

#include <cstdint>

#include "numeric.h"

namespace morvell {

struct DesignData;

// What the backlash of a pair depends on, angles in radians.
struct BacklashGeometry {
  ld centre_distance = 0;              // a, mm
  ld centre_distance_from_shifts = 0;  // a_0, the zero-backlash centre distance of the nominal teeth, mm
  ld base_diameter_sum = 0;            // d_b1 + d_b2, mm
  ld transverse_pressure_angle = 0;    // alpha_t
  ld working_transverse_pressure_angle = 0;  // alpha_wt
  ld working_normal_pressure_angle = 0;      // alpha_wn
  ld base_helix_angle = 0;                   // beta_b
  // The normal backlash that the centre distance's excess over the zero-backlash one opens between the
  // nominal teeth (both flanks together): (d_b1 + d_b2)(inv alpha_w(a) - inv alpha_w(a_0)) cos beta_b,
  // with cos alpha_w(c) = (d_b1 + d_b2) / (2 c). Exactly 0 at a = a_0; NaN when the base circles do not
  // fit a centre distance.
  ld centre_distance_backlash = 0;
};

// The design's backlash geometry as the last geometry pass left it.
BacklashGeometry backlash_geometry(const DesignData& d);

// Normal backlash per unit of thinning of the reference-circle transverse tooth thickness,
// cos(alpha_t) cos(beta_b): the thinning carried to the base circle, where it is backlash along the line of
// action, and into the normal plane.
ld thinning_to_normal_backlash(const BacklashGeometry& g);

// The five ways of stating one backlash, in mm.
struct BacklashValues {
  float normal = 0;               // j_n
  float transverse = 0;           // along the transverse line of action, j_n / cos beta_b
  float radial = 0;               // change of centre distance to a tight mesh
  float transverse_circular = 0;  // on the working pitch circle, j_n / (cos alpha_wt cos beta_b)
  float normal_circular = 0;      // on the working pitch cylinder, normal section, j_n / cos alpha_wn
};

// The kinds of backlash an entry may state, in the order of the main window's backlash list.
enum class BacklashKind : int32_t { normal = 0, transverse = 1, radial = 2 };

// All five values of the normal backlash j_n. The radial backlash is the exact change of centre distance
// to a tight mesh: a - (d_b1 + d_b2) / (2 cos alpha), with inv alpha = inv alpha_w(a) - j_n / ((d_b1 +
// d_b2) cos beta_b). NaN where no centre distance closes the mesh (a backlash the involutes cannot take
// up even with the base circles touching).
BacklashValues backlash_values(const BacklashGeometry& g, ld normal_backlash);

// The normal backlash that a value of the given kind states (the inverse of backlash_values). A radial
// backlash that would put the tight mesh below half the sum of the base diameters states none (NaN).
ld normal_backlash_of(const BacklashGeometry& g, BacklashKind kind, ld value);

// Writes the five values into the design's backlash fields.
void store_backlash(DesignData& d, const BacklashValues& v);

// The normal backlash of the finished teeth at the working centre distance: their thinning from the
// nominal thicknesses plus the centre distance's own backlash. `g` is the design's backlash geometry.
ld backlash_of_thicknesses(const DesignData& d, const BacklashGeometry& g);

// Thins the teeth for the design's normal backlash: each gear takes its share (the pinion
// `backlash_distribution`, the wheel the rest) less the half the centre-distance excess already gives it.
// A finished thickness is never above its nominal one: what a gear cannot take so (a share below its half
// of the excess) the other gear gives up, so that the pair's backlash stays the entered one wherever the
// excess alone does not exceed it. `g` is the design's backlash geometry.
void thin_teeth_for_backlash(DesignData& d, const BacklashGeometry& g);

// After an entered finished thickness of gear `gear` (0 pinion, 1 wheel): the five backlash values of the
// finished teeth and the share of the thinning the pinion takes (0.5 when the teeth are not thinned).
void backlash_from_finished_thicknesses(DesignData& d, int gear);

}  // namespace morvell
