// The set-up of the tooth profile generator: where each part of the outline stands, how many steps
// each search takes, and the generating rack and the gear in the quantities every step of one
// generation reads. The generator takes it as its first step; the tests that compare the generator's
// shortcuts with plain step-by-step evaluations start from the same set-up.
#pragma once

#include "numeric.h"

namespace morvell {

struct ToothProfileInput;  // tooth_profile.h

// The parts of the outline (see tooth_profile.h) and their numbers of points.
inline constexpr int kRootArcFirst = 0;
inline constexpr int kFilletFirst = 25;
inline constexpr int kFilletPoints = 100;
inline constexpr int kFlankFirst = 125;
inline constexpr int kFlankPoints = 99;
inline constexpr int kTipCorner = 224;
inline constexpr int kTipArcFirst = 225;
inline constexpr int kHalfPoints = 250;
inline constexpr int kArcSteps = 24;  // steps of the root arc and of the tip arc

// Steps of the meeting search of fillet and flank, and of the search through the protuberance zone.
inline constexpr int kMeetingSearchSteps = 10000;
inline constexpr int kProtuberanceSteps = 1000;

// Everything that stays fixed during one generation (lengths in mm).
struct ProfileGenerator {
  ld r;             // reference radius
  ld r_b;           // base radius
  ld r_f;           // root radius
  ld r_a;           // tip radius
  ld alpha_n;       // normal pressure angle, radians
  ld inv_alpha_t;   // involute of the transverse pressure angle
  ld cos_beta;
  ld u_c, v_c;      // centre of the rack's tip rounding
  ld rho;           // tip radius of the rack
  ld s_t;           // nominal transverse thickness
  ld s_ft;          // transverse thickness of the flank to draw
  bool protuberance;
  ld p_r;                  // protuberance, 0 without one
  ld protuberance_top;     // radius r_f + h_pr up to which the protuberance thins the flank
  ld protuberance_slope;   // 2 (tan alpha_n - tan alpha_pr) / cos beta
  ld phi_min;              // smallest generating angle of the meeting search, degrees
};

ProfileGenerator set_up_profile_generator(const ToothProfileInput& in);

}  // namespace morvell
