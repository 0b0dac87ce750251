#include "backlash.h"

#include <algorithm>
#include <cmath>

#include "design_data.h"

namespace morvell {

namespace {

// Involute of the working transverse pressure angle at centre distance c: cos alpha_w = (d_b1 + d_b2) / (2 c).
// NaN, without a domain-error report, when the base circles do not fit c (the pass reports that already).
ld working_involute(ld base_diameter_sum, ld c) {
  const ld cos_alpha = base_diameter_sum / (2.0L * c);
  if (!(cos_alpha >= -1.0L && cos_alpha <= 1.0L)) return nan_ld();
  return involute(std::acos(cos_alpha));
}

// The angle phi in [0, pi/2) whose involute is t: Newton steps on tan phi - phi - t, held within the
// bracket that every step narrows (a step that would leave it halves it instead). NaN for a negative t,
// which no angle has, and for one that is not a number.
ld inverse_involute(ld t) {
  if (!(t >= 0.0L)) return nan_ld();
  if (t == 0.0L) return 0.0L;
  ld lo = 0.0L, hi = kPi / 2.0L;
  ld phi = std::cbrt(3.0L * t);  // inv phi is phi^3 / 3 for a small angle
  if (!(phi < hi)) phi = hi / 2.0L;
  for (int step = 0; step < 200; ++step) {
    const ld f = involute(phi) - t;
    if (f == 0.0L) break;
    if (f < 0.0L) lo = phi;
    else hi = phi;
    const ld tan_phi = std::tan(phi);
    ld next = phi - f / (tan_phi * tan_phi);
    if (!(next > lo && next < hi)) next = (lo + hi) / 2.0L;
    if (next == phi) break;
    phi = next;
  }
  return phi;
}

// Normal backlash between flanks of the given teeth at centre distance c, from the involute of the
// working pressure angle of their tight mesh: (d_b1 + d_b2)(inv alpha_w(c) - inv alpha_tight) cos beta_b.
// The tight mesh of teeth with normal backlash j_n at c has inv alpha_tight = inv alpha_w(c) - j_n /
// ((d_b1 + d_b2) cos beta_b), and its centre distance (d_b1 + d_b2) / (2 cos alpha_tight).
ld backlash_per_involute(const BacklashGeometry& g) { return g.base_diameter_sum * std::cos(g.base_helix_angle); }

}  // namespace

BacklashGeometry backlash_geometry(const DesignData& d) {
  BacklashGeometry g;
  g.centre_distance = d.centre_distance;
  g.centre_distance_from_shifts = d.centre_distance_from_shifts;
  g.base_diameter_sum = static_cast<ld>(d.base_diameter[0]) + d.base_diameter[1];
  g.transverse_pressure_angle = deg_to_rad(d.transverse_pressure_angle);
  g.working_transverse_pressure_angle = deg_to_rad(d.working_transverse_pressure_angle);
  g.working_normal_pressure_angle = deg_to_rad(d.working_normal_pressure_angle);
  g.base_helix_angle = deg_to_rad(d.base_helix_angle);
  const ld sum = g.base_diameter_sum;
  g.centre_distance_backlash =
      sum * (working_involute(sum, g.centre_distance) - working_involute(sum, g.centre_distance_from_shifts)) *
      std::cos(g.base_helix_angle);
  return g;
}

ld thinning_to_normal_backlash(const BacklashGeometry& g) {
  return std::cos(g.transverse_pressure_angle) * std::cos(g.base_helix_angle);
}

BacklashValues backlash_values(const BacklashGeometry& g, ld jn) {
  const ld cos_bb = std::cos(g.base_helix_angle);
  BacklashValues v;
  v.normal = to_float(jn);
  v.transverse = to_float(jn / cos_bb);
  const ld tight = inverse_involute(working_involute(g.base_diameter_sum, g.centre_distance) -
                                    jn / backlash_per_involute(g));
  v.radial = to_float(g.centre_distance - g.base_diameter_sum / (2.0L * std::cos(tight)));
  v.transverse_circular = to_float(jn / (std::cos(g.working_transverse_pressure_angle) * cos_bb));
  v.normal_circular = to_float(jn / std::cos(g.working_normal_pressure_angle));
  return v;
}

ld normal_backlash_of(const BacklashGeometry& g, BacklashKind kind, ld value) {
  switch (kind) {
    case BacklashKind::transverse:
      return value * std::cos(g.base_helix_angle);
    case BacklashKind::radial:
      return backlash_per_involute(g) * (working_involute(g.base_diameter_sum, g.centre_distance) -
                                         working_involute(g.base_diameter_sum, g.centre_distance - value));
    case BacklashKind::normal:
    default:
      return value;
  }
}

void store_backlash(DesignData& d, const BacklashValues& v) {
  d.backlash_normal = v.normal;
  d.backlash_transverse = v.transverse;
  d.backlash_radial = v.radial;
  d.backlash_transverse_circular = v.transverse_circular;
  d.backlash_normal_circular = v.normal_circular;
}

ld backlash_of_thicknesses(const DesignData& d, const BacklashGeometry& g) {
  const ld thinning = (static_cast<ld>(d.thickness_nominal_transverse[0]) - d.thickness_finished_transverse[0]) +
                      (static_cast<ld>(d.thickness_nominal_transverse[1]) - d.thickness_finished_transverse[1]);
  return thinning * thinning_to_normal_backlash(g) + g.centre_distance_backlash;
}

void thin_teeth_for_backlash(DesignData& d, const BacklashGeometry& g) {
  const ld per_gear_excess = g.centre_distance_backlash / 2.0L;
  const ld per_thinning = thinning_to_normal_backlash(g);
  const ld jn = d.backlash_normal;
  const ld share[2] = {d.backlash_distribution, 1.0L - d.backlash_distribution};
  // Normal backlash each gear's thinning has to give. A tooth is never thickened beyond its nominal
  // thickness: a gear whose share is less than its half of the centre distance's own backlash stays
  // nominal, and the other gear gives up what that gear could not, so that the pair still has the
  // entered backlash (a backlash that the centre distance alone exceeds leaves both teeth nominal).
  ld by_thinning[2] = {jn * share[0] - per_gear_excess, jn * share[1] - per_gear_excess};
  for (int i = 0; i < 2; ++i) {
    if (by_thinning[i] < 0.0L) {
      by_thinning[1 - i] += by_thinning[i];
      by_thinning[i] = 0.0L;
    }
  }
  for (int i = 0; i < 2; ++i) {
    const float st = d.thickness_nominal_transverse[i];
    d.thickness_finished_transverse[i] = to_float(st - std::max(by_thinning[i], 0.0L) / per_thinning);
    if (d.thickness_finished_transverse[i] > st) d.thickness_finished_transverse[i] = st;
  }
}

void backlash_from_finished_thicknesses(DesignData& d, int gear) {
  const BacklashGeometry g = backlash_geometry(d);
  store_backlash(d, backlash_values(g, backlash_of_thicknesses(d, g)));
  const ld thinning[2] = {static_cast<ld>(d.thickness_nominal_transverse[0]) - d.thickness_finished_transverse[0],
                          static_cast<ld>(d.thickness_nominal_transverse[1]) - d.thickness_finished_transverse[1]};
  const ld total = thinning[0] + thinning[1];
  if (total > 0.0001L)
    d.backlash_distribution = to_float(gear == 0 ? thinning[0] / total : 1.0L - thinning[1] / total);
  else
    d.backlash_distribution = 0.5f;
}

}  // namespace morvell
