// The set-up of the tooth profile generator: where each part of the outline stands, how many steps
// each search takes, and the generating rack and the gear in the quantities every step of one
// generation reads. The generator takes it as its first step; the tests that compare the generator's
// shortcuts with plain step-by-step evaluations start from the same set-up.
#pragma once

#include <cmath>
#include <type_traits>

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

// The plain evaluations of one step of the generator, which its shortcuts must reproduce to the bit.

// Working precision of a step: the meeting search holds every quantity of a step in single precision,
// so double is ample for computing it; the stored outline is computed in extended precision.
template <typename T>
using Work = std::conditional_t<std::is_same_v<T, float>, double, long double>;

// Generated gear point of the rack rounding at generating angle phi (degrees). `T` is the type every
// quantity of the step is held in: float in the meeting search (whose steps search_points evaluates to
// the same values), long double for the stored outline.
template <typename T>
void fillet_point(const ProfileGenerator& g, T phi, T& x_out, T& y_out) {
  using W = Work<T>;
  const W r = static_cast<W>(g.r), cos_beta = static_cast<W>(g.cos_beta), rho = static_cast<W>(g.rho);
  const W phi_rad = deg_to_rad_in<W>(phi);
  const T u = static_cast<T>(static_cast<W>(g.u_c) - rho * std::cos(phi_rad));
  const T v = static_cast<T>(static_cast<W>(g.v_c) - rho * std::sin(phi_rad));
  const T u_t = static_cast<T>(u / cos_beta);
  const T phi_t = static_cast<T>(rad_to_deg_in<W>(std::atan(std::tan(phi_rad) / cos_beta)));
  const W phi_t_rad = deg_to_rad_in<W>(phi_t);
  const T ell = static_cast<T>(v / std::sin(phi_t_rad));
  const T theta = static_cast<T>((u_t - ell * std::cos(phi_t_rad)) / r);
  const W angle = phi_t_rad - theta;
  x_out = static_cast<T>(r * std::sin(static_cast<W>(theta)) + ell * std::cos(angle));
  y_out = static_cast<T>(r * std::cos(static_cast<W>(theta)) + ell * std::sin(angle));
}

// Transverse thickness of the flank at radius R: the protuberance thins it below its top, and it is
// never thicker than the flank to draw.
template <typename T>
T flank_thickness_at(const ProfileGenerator& g, T radius) {
  ld s = g.s_t;
  if (g.protuberance && radius < g.protuberance_top) {
    s = g.s_t - g.protuberance_slope * (g.protuberance_top - radius);
  }
  if (g.s_ft < s) s = g.s_ft;
  return static_cast<T>(s);
}

// Half-angle of the involute flank of transverse thickness `thickness` at radius R (R >= r_b).
template <typename T>
T involute_half_angle(const ProfileGenerator& g, T radius, T thickness) {
  using W = Work<T>;
  const W ratio = static_cast<W>(g.r_b) / radius;
  const W alpha_r = ratio > 1 ? static_cast<W>(checked_acos(ratio)) : std::acos(ratio);
  return static_cast<T>(thickness / (2 * static_cast<W>(g.r)) + static_cast<W>(g.inv_alpha_t) -
                        (std::tan(alpha_r) - alpha_r));
}

// Radius at which the flank ends and the tip chamfer starts: chamfer_depth below the tip circle, never
// below the form radius where the flank begins.
inline ld flank_top(ld r_a, ld r_form, ld chamfer_depth) {
  const ld top = r_a - chamfer_depth;
  return top < r_form ? r_form : top;
}

}  // namespace morvell
