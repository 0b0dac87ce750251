// An own model of the finished teeth of a design, for tests of the backlash: the backlash they have at
// the design's centre distance and the centre distance at which they mesh tight, worked out from their
// transverse thicknesses on the reference circles.
#pragma once

#include <cmath>

#include "design_data.h"

namespace morvell {

// The backlash of the finished teeth at the design's centre distance, worked out from their thicknesses
// on the base circles: along the transverse line of action (the base pitch less both base thicknesses,
// opened up by the working pressure angle), in the normal plane, on the working pitch circle (its pitch
// less both tooth thicknesses there) and in the normal section of the working pitch cylinder.
struct TeethBacklash {
  double along_line, normal, circular, normal_circular;
};
inline TeethBacklash backlash_of_the_teeth(const DesignData& d) {
  const double pi = 3.14159265358979323846;
  auto inv = [](double a) { return std::tan(a) - a; };
  const double beta = d.helix_angle * pi / 180, alpha_n = d.normal_pressure_angle * pi / 180;
  const double alpha_t = std::atan(std::tan(alpha_n) / std::cos(beta));
  const double beta_b = std::asin(std::sin(beta) * std::cos(alpha_n));
  const int* z = d.teeth;
  double ref[2], base[2], s_base[2];
  for (int i = 0; i < 2; ++i) {
    ref[i] = z[i] * d.normal_module / std::cos(beta);
    base[i] = ref[i] * std::cos(alpha_t);
    s_base[i] = base[i] * (d.thickness_finished_transverse[i] / ref[i] + inv(alpha_t));
  }
  const double a = d.centre_distance, alpha_w = std::acos((base[0] + base[1]) / (2 * a));
  const double along = pi * base[0] / z[0] - s_base[0] - s_base[1] + (base[0] + base[1]) * inv(alpha_w);
  double circular = pi * base[0] / std::cos(alpha_w) / z[0];
  for (int i = 0; i < 2; ++i) circular -= base[i] / std::cos(alpha_w) * (s_base[i] / base[i] - inv(alpha_w));
  const double beta_w = std::atan(std::tan(beta) * (2 * a / (z[0] + z[1])) / (ref[0] / z[0]));
  return {along, along * std::cos(beta_b), circular, circular * std::cos(beta_w)};
}

// Two teeth of transverse thicknesses s1, s2 on reference circles d1, d2 (transverse pitch p_t = pi d1 /
// z1) touch on both flanks at the working pressure angle alpha with inv alpha = inv alpha_t + (s1 + s2 -
// p_t) / (d1 + d2); the centre distance is then (d_b1 + d_b2) / (2 cos alpha). The angle is found by
// halving its interval. NaN where no angle has that involute.
inline double tight_mesh_centre_distance(const DesignData& d) {
  const double pi = 3.14159265358979323846;
  const double beta = d.helix_angle * pi / 180, alpha_n = d.normal_pressure_angle * pi / 180;
  const double alpha_t = std::atan(std::tan(alpha_n) / std::cos(beta));
  double ref[2], base[2];
  for (int i = 0; i < 2; ++i) {
    ref[i] = d.teeth[i] * double(d.normal_module) / std::cos(beta);
    base[i] = ref[i] * std::cos(alpha_t);
  }
  const double pitch = pi * ref[0] / d.teeth[0];
  const double target = std::tan(alpha_t) - alpha_t +
                        (double(d.thickness_finished_transverse[0]) + d.thickness_finished_transverse[1] - pitch) /
                            (ref[0] + ref[1]);
  if (!(target >= 0)) return NAN;
  double lo = 0, hi = pi / 2;
  for (int k = 0; k < 200; ++k) {
    const double mid = (lo + hi) / 2;
    (std::tan(mid) - mid < target ? lo : hi) = mid;
  }
  return (base[0] + base[1]) / (2 * std::cos((lo + hi) / 2));
}

}  // namespace morvell
