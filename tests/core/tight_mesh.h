// An own model of the finished teeth in tight mesh, for tests of the backlash: the centre distance at
// which the finished teeth of a design mesh without backlash, worked out from their transverse
// thicknesses on the reference circles.
#pragma once

#include <cmath>

#include "design_data.h"

namespace morvell {

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
