// Small calculations shared by the geometry input handlers of the main window: the rack coefficients of
// a gear, the rebuild of its tip and root from them, its nominal thickness from its profile shift, and
// the values that follow a new number of teeth. Each works on the current values of the design data.
#pragma once

#include <cmath>

#include "design_data.h"
#include "input_limits.h"
#include "measurement.h"
#include "numeric.h"

namespace morvell::geometry_inputs {

inline ld cos_beta(const DesignData& d) { return std::cos(deg_to_rad(d.helix_angle)); }

// Reference diameter z m_n / cos(beta) of gear i.
inline ld reference_diameter(const DesignData& d, int i) {
  return static_cast<ld>(d.teeth[i]) * d.normal_module / cos_beta(d);
}

// The rack coefficients of a gear: addendum h_a / m_n - x and dedendum h_f / m_n + x. A handler takes
// them before it changes the module, the profile shift or the helix angle and rebuilds tip and root
// from them afterwards, so the gear keeps its rack.
struct RackCoefficients {
  ld addendum = 0;
  ld dedendum = 0;
};

inline RackCoefficients rack_coefficients(const DesignData& d, int i) {
  const ld m = d.normal_module;
  return {d.addendum[i] / m - d.profile_shift[i], d.dedendum[i] / m + d.profile_shift[i]};
}

// Addendum, dedendum, tip and root diameter of gear i from its rack coefficients and the current module,
// helix angle and profile shift.
inline void rebuild_tip_and_root(DesignData& d, int i, const RackCoefficients& rack) {
  const ld m = d.normal_module;
  const ld x = d.profile_shift[i];
  const ld ha = (rack.addendum + x) * m;
  const ld hf = (rack.dedendum - x) * m;
  const ld di = reference_diameter(d, i);
  d.addendum[i] = to_float(ha);
  d.dedendum[i] = to_float(hf);
  d.tip_diameter[i] = to_float(di + 2.0L * ha);
  d.root_diameter[i] = to_float(di - 2.0L * hf);
}

// Transverse thickness at the reference circle of a gear with profile shift x.
inline ld thickness_from_shift(const DesignData& d, ld x) {
  return d.normal_module / cos_beta(d) * (kPi / 2.0L + 2.0L * x * std::tan(deg_to_rad(d.normal_pressure_angle)));
}

// Profile shift that gives the transverse thickness s_t at the reference circle.
inline ld shift_from_thickness(const DesignData& d, ld st) {
  return (st * cos_beta(d) / d.normal_module - kPi / 2.0L) / (2.0L * std::tan(deg_to_rad(d.normal_pressure_angle)));
}

// Nominal transverse thickness of gear i from its profile shift; the finished thickness starts equal to it
// (the geometry pass thins it again by the backlash unless the geometry manager is overridden).
inline void update_nominal_thickness(DesignData& d, int i) {
  const float st = to_float(thickness_from_shift(d, d.profile_shift[i]));
  d.thickness_nominal_transverse[i] = st;
  d.thickness_finished_transverse[i] = st;
}

// After a new number of teeth of gear i: virtual teeth, span teeth, actual ratio, and tip and root
// diameters with the addendum and dedendum lengths kept.
inline void update_after_teeth(DesignData& d, int i) {
  const ld cb = cos_beta(d);
  const ld z = d.teeth[i];
  const ld m = d.normal_module;
  const ld zn = z / (cb * cb * cb);
  d.virtual_teeth[i] = to_float(zn);
  d.span_teeth[i] = default_span_teeth_count(d.profile_shift[i], d.virtual_teeth[i]);
  d.actual_ratio = to_float(static_cast<ld>(d.teeth[1]) / d.teeth[0]);
  d.tip_diameter[i] = to_float((z / cb + 2.0L * d.addendum[i] / m) * m);
  d.root_diameter[i] = to_float((z / cb - 2.0L * d.dedendum[i] / m) * m);
}

// A profile shift coefficient or shift sum the program handles (-1.0 to 1.5).

// The whole number nearest to v, halves going up, as a count.
inline int32_t nearest_count(ld v) { return to_int32_clamped(round_half_up(v)); }

}  // namespace morvell::geometry_inputs
