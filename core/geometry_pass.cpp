#include "geometry_pass.h"

#include <algorithm>
#include <cmath>

#include "backlash.h"
#include "design_data.h"
#include "load_relations.h"
#include "measurement.h"
#include "measurement_fit.h"
#include "numeric.h"
#include "tolerances.h"
#include "tooth_profile.h"
#include "tooth_proportions.h"

namespace morvell {

namespace {

inline ld rad(float deg) { return deg_to_rad(static_cast<ld>(deg)); }

// Solves inv(alpha_w) = inv(alpha_t) + shift_sum tan(alpha_n) / ((z1 + z2) / 2) for the working transverse
// pressure angle by bisection over [0, hi] radian. The bisection runs in 32-bit floats and stops when the
// interval is no wider than 1e-6 rad; the result is the last midpoint. About 20 halvings; the step cap
// only guards against an interval that cannot narrow.
float working_pressure_angle(float shift_sum, float normal_pressure_angle, float transverse_pressure_angle,
                             int32_t z1, int32_t z2, float hi) {
  const ld alpha_t = rad(transverse_pressure_angle);
  const ld alpha_n = rad(normal_pressure_angle);
  const ld half_teeth = (static_cast<ld>(z1) + static_cast<ld>(z2)) * 0.5L;
  const float target = to_float(std::tan(alpha_t) - alpha_t + (shift_sum / half_teeth) * std::tan(alpha_n));
  float lo = 0.0f;
  float mid = (lo + hi) * 0.5f;
  for (int step = 0; step < 100 && hi - lo > 1e-6; ++step) {
    mid = (lo + hi) * 0.5f;
    const float f = to_float(std::tan(static_cast<ld>(mid)) - mid);
    if (f < target) lo = mid; else hi = mid;
  }
  return mid;
}

// Roll length (radius of curvature of the involute) of a gear with base diameter db at diameter D.
inline ld roll_length(ld D, ld db) { return checked_sqrt(D * D / 4.0L - db * db / 4.0L); }

// The rack coefficients h_a / m - x and h_f / m + x of both gears, captured before a geometry-manager
// branch changes module or shifts, so that the branch can rebuild tips and roots around them.
struct RackCoefficients {
  ld addendum[2];
  ld dedendum[2];
};

// A rack just copied gives its coefficients as they stand, not as recovered from the addenda it gave at
// the module on entry: the teeth of a refresh then do not depend on the module before it.
RackCoefficients capture_rack_coefficients(const DesignData& d, bool rack_copied) {
  RackCoefficients k{};
  const ld m = d.normal_module;
  for (int i = 0; i < 2; ++i) {
    k.addendum[i] = rack_copied ? ld(d.basic_rack.addendum_coeff[i]) : d.addendum[i] / m - d.profile_shift[i];
    k.dedendum[i] = rack_copied ? ld(d.basic_rack.dedendum_coeff[i]) : d.dedendum[i] / m + d.profile_shift[i];
  }
  return k;
}

// Splits the shift sum between the gears: the pinion's share by the ratio rule when the split is
// automatic, the wheel always takes the rest.
void split_profile_shift(DesignData& d) {
  if (d.shift_distribution_auto == 1) {
    const ld u = d.actual_ratio;
    d.profile_shift[0] = to_float(d.profile_shift_sum / (u + 1.0L) + 0.3L * (1.0L - 1.0L / u));
  }
  d.profile_shift[1] = to_float(static_cast<ld>(d.profile_shift_sum) - d.profile_shift[0]);
}

// Rebuilds tip and root diameters, addenda, dedenda and the nominal transverse thickness from the captured
// rack coefficients, the current shifts and module.
void rebuild_tooth(DesignData& d, const RackCoefficients& k) {
  const ld m = d.normal_module;
  const ld cos_beta = std::cos(rad(d.helix_angle));
  const ld tan_alpha_n = std::tan(rad(d.normal_pressure_angle));
  for (int i = 0; i < 2; ++i) {
    const ld x = d.profile_shift[i];
    const ld z = d.teeth[i];
    d.tip_diameter[i] = to_float((2.0L * (k.addendum[i] + x) + z / cos_beta) * m);
    d.addendum[i] = to_float((k.addendum[i] + x) * m);
    d.root_diameter[i] = to_float((2.0L * (x - k.dedendum[i]) + z / cos_beta) * m);
    d.dedendum[i] = to_float((k.dedendum[i] - x) * m);
    d.thickness_nominal_transverse[i] = to_float((kPi / 2.0L + 2.0L * x * tan_alpha_n) * m / cos_beta);
  }
}

ld transverse_pressure_angle_of(const DesignData& d) {
  return std::atan(std::tan(rad(d.normal_pressure_angle)) / std::cos(rad(d.helix_angle)));
}

// Stage 3, mode 2: numbers of teeth and shift sum from module, centre distance and desired ratio.
// A centre distance too small for a pinion of at least one tooth, or below half the sum of the base
// diameters, gives no design: the numbers of teeth and the shift sum then stay as they were.
void teeth_from_centre_distance(DesignData& d) {
  const ld m = d.normal_module;
  const ld a = d.centre_distance;
  const ld beta = rad(d.helix_angle);
  const ld ratio = d.desired_ratio;

  d.transverse_pressure_angle = to_float(rad_to_deg(transverse_pressure_angle_of(d)));
  const ld alpha_t = rad(d.transverse_pressure_angle);
  const ld tan_alpha_n = std::tan(rad(d.normal_pressure_angle));

  const ld w = (2.0L * a * std::cos(beta) / m) / (1.0L + ratio);
  const int32_t z1 = to_int32_clamped(round_half_up(w));
  int32_t z2 = to_int32_clamped(round_half_up(static_cast<ld>(z1) * ratio));

  // Shift sum that fills the centre distance with these teeth; false when the centre distance lies below
  // half the sum of the base diameters (no working pressure angle exists).
  float shift_sum = 0.0f;
  auto shift_sum_for_teeth = [&]() {
    const ld db1 = z1 * m * std::cos(alpha_t) / std::cos(beta);
    const ld db2 = z2 * m * std::cos(alpha_t) / std::cos(beta);
    const ld c = (db1 + db2) / (2.0L * a);
    if (!(c <= 1.0L)) return false;
    const ld alpha_w = std::acos(c);
    shift_sum = to_float(((static_cast<ld>(z1) + z2) / 2.0L) * (involute(alpha_w) - involute(alpha_t)) / tan_alpha_n);
    return true;
  };

  bool valid = z1 >= 1 && z2 >= 1 && shift_sum_for_teeth();
  if (valid) {
    // Each correction tests the shift sum left by the one before and lowers the wheel by one tooth.
    if (shift_sum < -0.5f) { --z2; valid = z2 >= 1 && shift_sum_for_teeth(); }
    if (valid && shift_sum < -0.25f && z1 < 18) { --z2; valid = z2 >= 1 && shift_sum_for_teeth(); }
    if (valid && shift_sum < 0.0f && z1 < 14) { --z2; valid = z2 >= 1 && shift_sum_for_teeth(); }
  }
  if (valid && std::isfinite(shift_sum)) {
    d.teeth[0] = z1;
    d.teeth[1] = z2;
    d.profile_shift_sum = shift_sum;
  }
}

// Stage 5: the common face width and the face widths used for root bending.
void face_widths(DesignData& d) {
  const ld m = d.normal_module;
  const ld b1 = d.face_width[0], b2 = d.face_width[1];
  const ld c1 = d.edge_chamfer[0], c2 = d.edge_chamfer[1];
  const ld o = d.face_width_offset;
  auto cap = [m](ld v) { return std::min(v, m); };
  // Usable ends of the pinion face (0..b1) and of the wheel face (o..o + b2) inside the edge chamfers.
  const ld ps = c1, pe = b1 - c1, ws = o + c2, we = o + b2 - c2;
  ld common, bend1, bend2;
  if (ps <= ws && ws < pe && pe <= we) {  // the pinion's end lies inside the wheel
    common = pe - ws;
    bend1 = cap(ws) + common + cap(c1);
    bend2 = cap(c2) + common + cap(o + b2 - pe);
  } else if (ps <= ws && we <= pe) {  // the wheel lies inside the pinion
    common = we - ws;
    bend1 = cap(ws) + common + cap(b1 - we);
    bend2 = cap(c2) + common + cap(c2);
  } else if (ws <= ps && ps < we && we <= pe) {  // the pinion's start lies inside the wheel
    common = we - ps;
    bend1 = cap(c1) + common + cap(b1 - we);
    bend2 = cap(c1 - o) + common + cap(c2);
  } else if (ws <= ps && pe < we) {  // the pinion lies inside the wheel
    common = pe - ps;
    bend1 = cap(c1) + common + cap(c1);
    bend2 = cap(c1 - o) + common + cap(o + b2 - pe);
  } else {
    // No overlap: the faces do not mesh (the geometry warnings say so). Every width is this design's, never
    // one left by an earlier one: a token common width, and the same token for bending.
    d.active_face_width = kNoCommonFaceWidth;
    d.bending_face_width[0] = kNoCommonFaceWidth;
    d.bending_face_width[1] = kNoCommonFaceWidth;
    return;
  }
  d.active_face_width = to_float(common);
  d.bending_face_width[0] = to_float(bend1);
  d.bending_face_width[1] = to_float(bend2);
}

// Inspection dimensions of both gears. Default balls are 1.8 m_n, enlarged as far as the teeth need, and
// default spans follow the default rule. A ball or number of teeth spanned that the user chose is
// measured as it stands, never changed here, and judged by the measurement window's rule on the tooth
// these inputs give: where it does not fit, its gear has no such measurement (the geometry warnings
// change it so that it fits, or say why it has none).
void inspection_dimensions(DesignData& d) {
  for (int i = 0; i < 2; ++i) {
    const bool default_ball = d.default_ball_diameter == 1, default_span = d.default_span_teeth == 1;
    const float form = default_ball && default_span ? nan_f() : flank_form_diameter(d, i);
    if (default_ball) {
      const GearBallMeasurements g = measure_gear_over_balls(d, i, to_float(1.8L * d.normal_module));
      d.ball_diameter[i] = g.ball;
      store_ball_measurements(d, i, g);
    } else {
      measure_over_ball_as_chosen(d, i, form);
    }
    if (default_span) {
      d.span_teeth[i] = default_span_teeth_count(d.profile_shift[i], d.virtual_teeth[i]);
      measure_spans(d, i);
    } else {
      measure_span_as_chosen(d, i, form);
    }
  }
}

// Form circle of an undercut gear: where the fillet that the rack cuts crosses the involute flank.
float undercut_form_diameter(const DesignData& d, int i) {
  ToothProfile scratch;
  float form = nan_f();
  generate_tooth_profile(finished_outline_input(d, i), &form, scratch);
  return form;
}

}  // namespace

float rack_form_circle(const DesignData& d, int i) {
  const ld alpha_t = rad(d.transverse_pressure_angle), alpha_n = rad(d.normal_pressure_angle);
  const ld db = d.base_diameter[i];
  const ld r = (db / 2.0L) * std::tan(alpha_t) -
               (d.dedendum[i] - (1.0L - std::sin(alpha_n)) * d.root_fillet_radius[i]) / std::sin(alpha_t);
  // A rack flank that would end below the base circle (a negative roll length) means that the rack tip
  // undercuts the tooth: the form circle is then where the generated fillet crosses the involute.
  if (r < 0.0L) return undercut_form_diameter(d, i);
  return to_float(2.0L * checked_sqrt(r * r + db * db / 4.0L));
}

float mate_tip_sap_roll_length(const DesignData& d, int gear) {
  const int mate = 1 - gear;
  const ld mate_eap = static_cast<ld>(d.tip_diameter[mate]) - 2.0L * d.tip_chamfer[mate];
  // Quiet square roots: a diameter below its base circle gives NaN here without a report.
  auto roll = [](ld D, ld db) { return std::sqrt(D * D / 4.0L - db * db / 4.0L); };
  return to_float(roll(d.working_pitch_diameter[gear], d.base_diameter[gear]) -
                  (roll(mate_eap, d.base_diameter[mate]) - roll(d.working_pitch_diameter[mate], d.base_diameter[mate])));
}

void start_contact_at_form_circles(DesignData& d, const float (&form_diameter)[2]) {
  ld gw[2], rho_na[2], start[2];
  for (int i = 0; i < 2; ++i) {
    gw[i] = roll_length(d.working_pitch_diameter[i], d.base_diameter[i]);
    rho_na[i] = roll_length(d.eap_diameter[i], d.base_diameter[i]);
    d.pitch_point_roll_length[i] = to_float(gw[i]);
  }
  const ld pbt = d.transverse_base_pitch;
  bool limited = false;
  for (int i = 0; i < 2; ++i) {
    const int mate = 1 - i;
    // The mate's tip sets where contact would start; below the form circle (and all the more below the
    // base circle, a negative roll length) there is no involute to meet, so contact starts at the form
    // circle. A form circle at or below the base circle bounds nothing more than the base circle does.
    const ld by_tip = gw[i] - (rho_na[mate] - gw[mate]);
    const ld form = form_diameter[i], db = d.base_diameter[i];
    const ld at_form = form > db ? std::sqrt(form * form / 4.0L - db * db / 4.0L) : 0.0L;
    start[i] = by_tip;
    if (by_tip < at_form) {
      start[i] = at_form;
      limited = true;
    }
  }
  // Contact ends where the mate's contact starts, or at the gear's own EAP, whichever comes first.
  const ld end0 = std::min(rho_na[0], gw[0] + gw[1] - start[1]);
  const ld end1 = std::min(rho_na[1], gw[0] + gw[1] - start[0]);
  d.path_of_contact = to_float(limited ? end0 - start[0] : (rho_na[0] - gw[0]) + (rho_na[1] - gw[1]));
  ld eps_alpha = static_cast<ld>(d.path_of_contact) / pbt;
  if (!(eps_alpha > 0.0L)) eps_alpha = 0.0001L;
  d.transverse_contact_ratio = to_float(eps_alpha);
  const ld m = d.normal_module, beta = rad(d.helix_angle);
  d.axial_contact_ratio = d.helix_angle <= 0.0f ? 0.0f : to_float(d.active_face_width / (kPi * m / std::sin(beta)));
  for (int i = 0; i < 2; ++i) {
    d.sap_roll_length[i] = to_float(start[i]);
    const ld db = d.base_diameter[i];
    d.sap_diameter[i] = to_float(2.0L * std::sqrt(start[i] * start[i] + db * db / 4.0L));
  }
  d.lowest_single_contact_roll_pinion = to_float(end0 - pbt);
  d.highest_single_contact_roll_pinion = to_float(start[0] + pbt);
  d.highest_single_contact_roll_wheel = to_float(start[1] + pbt);
  d.lowest_single_contact_roll_wheel = to_float(end1 - pbt);
}

float module_from_centre_distance(float shift_sum, float normal_pressure_angle, float transverse_pressure_angle,
                                  float helix_angle, float centre_distance, int32_t z1, int32_t z2) {
  const ld alpha_w =
      working_pressure_angle(shift_sum, normal_pressure_angle, transverse_pressure_angle, z1, z2, 0.7853982f);
  return to_float(2.0L * centre_distance * std::cos(alpha_w) * std::cos(rad(helix_angle)) /
             ((static_cast<ld>(z1) + z2) * std::cos(rad(transverse_pressure_angle))));
}

float centre_distance_from_profile_shift(float shift_sum, float normal_pressure_angle,
                                         float transverse_pressure_angle, float helix_angle, float normal_module,
                                         int32_t z1, int32_t z2, float, float, float, float) {
  const float hi = to_float(std::acos(0.5L));
  const ld alpha_w = working_pressure_angle(shift_sum, normal_pressure_angle, transverse_pressure_angle, z1, z2, hi);
  return to_float(((static_cast<ld>(z1) + z2) / 2.0L) * (normal_module / std::cos(rad(helix_angle))) *
             std::cos(rad(transverse_pressure_angle)) / std::cos(alpha_w));
}

void mesh_forces(float torque, float working_pitch_diameter_1, float working_helix_angle,
                 float working_normal_pressure_angle, float* axial_force, float* tangential_force,
                 float* radial_force) {
  const ld ft = (2.0L * torque / working_pitch_diameter_1) * 1000.0L;
  const ld beta_w = rad(working_helix_angle);
  *tangential_force = to_float(ft);
  *axial_force = to_float(ft * std::tan(beta_w));
  *radial_force = to_float(ft * std::tan(rad(working_normal_pressure_angle)) / std::cos(beta_w));
}

float default_min_form_to_sap(float normal_module) {
  const ld m = normal_module;
  return m <= 1.0L ? 0.125f : m <= 1.5L ? 0.18f : m <= 3.0L ? 0.25f : m <= 5.0L ? 0.375f : 0.5f;
}

GeometryConstraints default_constraints(float normal_module) {
  GeometryConstraints c;
  const float form_to_sap = default_min_form_to_sap(normal_module);
  for (int g = 0; g < 2; ++g) {
    c.min_tip_thickness_coeff[g] = 0.3f;
    c.min_eap_thickness_coeff[g] = 0.3f;
    c.min_form_to_sap[g] = form_to_sap;
    c.min_base_to_form[g] = 0.125f;
    c.min_bottom_clearance_coeff[g] = 0.25f;
    c.max_tip_diameter[g] = 1e9f;
    c.min_root_diameter[g] = 0.0f;
    c.min_root_fillet_coeff[g] = 0.3f;
  }
  return c;
}

void finish_thicknesses_and_backlash(DesignData& d) {
  // The entered normal backlash is the total, centre-distance excess included; with the geometry manager
  // overridden the finished thicknesses are the inputs.
  const BacklashGeometry g = backlash_geometry(d);
  if (d.geometry_manager_override != 1) thin_teeth_for_backlash(d, g);
  const ld cos_beta = std::cos(rad(d.helix_angle));
  for (int i = 0; i < 2; ++i) {
    if (d.thickness_finished_transverse[i] > d.thickness_nominal_transverse[i])
      d.thickness_finished_transverse[i] = d.thickness_nominal_transverse[i];
    d.thickness_nominal_normal[i] = to_float(d.thickness_nominal_transverse[i] * cos_beta);
    d.thickness_finished_normal[i] = to_float(d.thickness_finished_transverse[i] * cos_beta);
  }
  // The backlash follows from the thicknesses and the centre distance. A centre distance that the base
  // circles do not fit leaves no working pressure angle and so no backlash: the entered normal backlash
  // is kept then, so that the passes after a corrected centre distance thin the teeth by it again instead
  // of carrying the undefined value on.
  const float entered = d.backlash_normal;
  store_backlash(d, backlash_values(g, backlash_of_thicknesses(d, g)));
  if (!std::isfinite(d.backlash_normal)) d.backlash_normal = entered;
}

void eap_and_tip_thicknesses(DesignData& d, int i) {
  const ld dr = d.reference_diameter[i];
  const ld dna = d.eap_diameter[i];
  // No involute exists below the base circle: an EAP there (a tip chamfer reaching below it) has no
  // thickness, and the geometry warnings say so and take the chamfer back to the base circle.
  d.eap_thickness_normal[i] = dna < d.base_diameter[i] ? nan_f() : to_float(finished_normal_thickness(d, i, dna));
  // A chamfer cuts the tip wherever the tip circle lies, below the reference circle too: the tip
  // thickness is where the chamfer line reaches the tip circle, never the thicker tooth at the chamfer's
  // start.
  if (d.tip_chamfer[i] == 0.0f) {
    d.tip_chamfer_depth[i] = 0.0f;
    d.tip_thickness_normal[i] = d.eap_thickness_normal[i];
  } else {
    // The chamfer depth is measured to the unthinned flank: the nominal thickness goes in.
    d.tip_thickness_normal[i] = tip_thickness_with_chamfer(
        d.tip_diameter[i], d.tip_chamfer[i], d.eap_thickness_normal[i], d.tip_chamfer_angle[i], d.base_diameter[i],
        d.reference_diameter[i], d.helix_angle, d.thickness_nominal_transverse[i], d.transverse_pressure_angle,
        &d.tip_chamfer_depth[i]);
  }
  d.tip_thickness_transverse[i] = to_float(
      d.tip_thickness_normal[i] /
      std::cos(std::atan((static_cast<ld>(d.tip_diameter[i]) / dr) * std::tan(rad(d.helix_angle)))));
}

static void run_geometry_pass(DesignData& d, bool inspection) {
  const bool overridden = d.geometry_manager_override == 1;

  // 1. Standard-rack proportions, first pass of a refresh only.
  const bool rack_copied = d.tooth_proportion_mode == 1 && d.second_geometry_pass == 0 && !overridden;
  if (rack_copied) {
    const ld m = d.normal_module;
    for (int i = 0; i < 2; ++i) {
      const ld x = d.profile_shift[i];
      d.addendum[i] = to_float((d.basic_rack.addendum_coeff[i] + x) * m);
      d.dedendum[i] = to_float((d.basic_rack.dedendum_coeff[i] - x) * m);
      d.root_fillet_radius[i] = to_float(d.basic_rack.fillet_radius_coeff[i] * m);
    }
    d.normal_pressure_angle = d.basic_rack.pressure_angle;
  }

  // 2. Transverse pressure angle from the normal pressure angle, the rack's where it was just taken: every
  // later stage, and the checks after the pass, judge the teeth of that angle.
  d.transverse_pressure_angle = to_float(rad_to_deg(transverse_pressure_angle_of(d)));

  // 3. Geometry manager: which of centre distance, module or numbers of teeth follows.
  switch (d.geometry_manager_mode) {
    case 0: {
      const RackCoefficients k = capture_rack_coefficients(d, rack_copied);
      split_profile_shift(d);
      rebuild_tooth(d, k);
      break;
    }
    case 1: {
      const ld m_old = d.normal_module;
      const RackCoefficients k = capture_rack_coefficients(d, rack_copied);
      d.normal_module = module_from_centre_distance(d.profile_shift_sum, d.normal_pressure_angle,
                                                    d.transverse_pressure_angle, d.helix_angle, d.centre_distance,
                                                    d.teeth[0], d.teeth[1]);
      split_profile_shift(d);
      rebuild_tooth(d, k);
      for (int i = 0; i < 2; ++i) d.root_fillet_radius[i] = to_float(d.root_fillet_radius[i] / m_old * d.normal_module);
      d.actual_ratio = to_float(static_cast<ld>(d.teeth[1]) / d.teeth[0]);
      break;
    }
    case 2: {
      teeth_from_centre_distance(d);
      d.actual_ratio = to_float(static_cast<ld>(d.teeth[1]) / d.teeth[0]);
      const RackCoefficients k = capture_rack_coefficients(d, rack_copied);
      split_profile_shift(d);
      rebuild_tooth(d, k);
      break;
    }
    default:
      break;
  }

  const ld m = d.normal_module;
  const ld beta = rad(d.helix_angle);
  const ld alpha_n = rad(d.normal_pressure_angle);
  const ld alpha_t = rad(d.transverse_pressure_angle);
  const ld z1 = d.teeth[0], z2 = d.teeth[1];

  // 4. The default constraints, the form-to-SAP distance from the module band, while they are in force.
  if (d.constraints_use_defaults == 1) static_cast<GeometryConstraints&>(d) = default_constraints(d.normal_module);

  // 5. Common and bending face widths.
  face_widths(d);

  // 6. Diameters, centre distance, pitches and working angles.
  for (int i = 0; i < 2; ++i) {
    const ld z = d.teeth[i];
    d.helix_lead[i] = to_float(kPi * z * m / std::sin(beta));  // +infinity for a spur gear
    d.reference_diameter[i] = to_float(z * m / std::cos(beta));
    d.base_diameter[i] = to_float(z * m * std::cos(alpha_t) / std::cos(beta));
  }
  d.centre_distance_from_shifts = centre_distance_from_profile_shift(
      d.profile_shift_sum, d.normal_pressure_angle, d.transverse_pressure_angle, d.helix_angle, d.normal_module,
      d.teeth[0], d.teeth[1], d.tip_diameter[0], d.tip_diameter[1], d.base_diameter[0], d.base_diameter[1]);
  if (d.geometry_manager_mode == 0 && !overridden) d.centre_distance = d.centre_distance_from_shifts;
  const ld a = d.centre_distance;
  for (int i = 0; i < 2; ++i) d.working_pitch_diameter[i] = to_float(d.teeth[i] * 2.0L * a / (z1 + z2));
  d.normal_base_pitch = to_float(kPi * m * std::cos(alpha_n));
  d.transverse_base_pitch = to_float((kPi * m / std::cos(beta)) * std::cos(alpha_t));
  d.working_transverse_pressure_angle =
      to_float(rad_to_deg(checked_acos(static_cast<ld>(d.base_diameter[0]) / d.working_pitch_diameter[0] + 1e-6L)));
  d.base_helix_angle = to_float(rad_to_deg(checked_asin(std::sin(beta) * std::cos(alpha_n))));
  d.working_helix_angle =
      to_float(rad_to_deg(std::atan((static_cast<ld>(d.working_pitch_diameter[0]) / d.reference_diameter[0]) *
                               std::tan(beta))));
  d.working_normal_pressure_angle = to_float(rad_to_deg(
      std::atan(std::tan(rad(d.working_transverse_pressure_angle)) * std::cos(rad(d.working_helix_angle)))));

  const ld cos_beta = std::cos(beta);

  // 7. Finished thicknesses and backlash.
  finish_thicknesses_and_backlash(d);

  // 8. Form circle of the rack's straight flank, EAP diameters and the shift sum.
  for (int i = 0; i < 2; ++i) {
    d.rack_form_diameter[i] = rack_form_circle(d, i);
    d.eap_diameter[i] = to_float(static_cast<ld>(d.tip_diameter[i]) - 2.0L * d.tip_chamfer[i]);
  }
  // The shift sum as the shifts give it. A sum that already gives the wheel's shift stays as it is: the
  // sum of two rounded shifts can differ from it in the last bit, and a split of the sum taken afresh
  // from that would move the shifts at every pass of an unchanged design.
  if (to_float(static_cast<ld>(d.profile_shift_sum) - d.profile_shift[0]) != d.profile_shift[1])
    d.profile_shift_sum = to_float(static_cast<ld>(d.profile_shift[0]) + d.profile_shift[1]);

  // 9. Tooth-proportion limits: "Calculate" designs roots, fillets and tips from the constraints;
  // "Standard Rack" may lower the tips to the same limits.
  d.tooth_proportions_kept[0] = d.tooth_proportions_kept[1] = 0;
  if (d.tooth_proportion_mode == 2 && !overridden) calc_tooth_proportions(d);
  if (d.tooth_proportion_mode == 1 && d.allow_tip_diameter_reduction == 1 && !overridden) limit_tip_diameters(d);

  // 10. Thickness at the EAP and at the outside diameter, virtual numbers of teeth.
  for (int i = 0; i < 2; ++i) {
    eap_and_tip_thicknesses(d, i);
    d.virtual_teeth[i] = to_float(d.teeth[i] / (cos_beta * cos_beta * cos_beta));
  }

  // 11. Inspection dimensions.
  if (inspection) inspection_dimensions(d);

  // 12. Path of contact, contact ratios and start of active profile, contact starting no lower than the
  // form circles.
  start_contact_at_form_circles(d, d.rack_form_diameter);
  d.rating_valid = d.transverse_contact_ratio >= 1.0f ? 1 : 0;

  // 13. Accuracy-grade tolerances of both gears; the single pitch tolerance becomes the rating's base
  // pitch error while that error follows the grade.
  for (int i = 0; i < 2; ++i) {
    d.pitch_deviation_from_grade[i] =
        accuracy_grade_tolerances(d, d.reference_diameter[i], d.iso_grade[i], d.normal_module, d.axial_contact_ratio,
                                  d.transverse_contact_ratio, d.face_width[i], i + 1);
  }
  if (d.pitch_error_from_grade == 1) {
    d.base_pitch_error[0] = d.pitch_deviation_from_grade[0];
    d.base_pitch_error[1] = d.pitch_deviation_from_grade[1];
  }

  // 14. The load of the gear it was entered for, mesh forces, and the wheel's load cycles of these teeth.
  keep_entered_load(d);
  mesh_forces(d.torque, d.working_pitch_diameter[0], d.working_helix_angle, d.working_normal_pressure_angle,
              &d.axial_force, &d.tangential_force, &d.radial_force);
  derive_wheel_cycles(d);
}

void calc_gear_geometry(DesignData& d) { run_geometry_pass(d, true); }

void calc_gear_geometry_without_inspection(DesignData& d) { run_geometry_pass(d, false); }

void measure_inspection_dimensions(DesignData& d) { inspection_dimensions(d); }

bool faces_overlap(const DesignData& d) {
  const ld b1 = d.face_width[0], b2 = d.face_width[1];
  const ld c1 = d.edge_chamfer[0], c2 = d.edge_chamfer[1];
  const ld o = d.face_width_offset;
  const ld ps = c1, pe = b1 - c1, ws = o + c2, we = o + b2 - c2;
  // The four arrangements the face widths of the geometry pass know.
  return (ps <= ws && ws < pe && pe <= we) || (ps <= ws && we <= pe) || (ws <= ps && ps < we && we <= pe) ||
         (ws <= ps && pe < we);
}

float ball_reaching_the_flanks(DesignData& d, int gear, float ball) {
  return measure_gear_over_balls(d, gear, ball).ball;
}

}  // namespace morvell
