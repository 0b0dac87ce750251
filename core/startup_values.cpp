#include "startup_values.h"

#include <cmath>

#include "measurement.h"
#include "numeric.h"

namespace morvell {

void set_startup_values(DesignData& d) {
  // Neutral scale; the main window replaces both before any window scales itself.
  d.form_scale_divisor = 100.0f;
  d.form_scale_multiplier = 100.0f;

  // Geometry inputs of the start-up pair.
  d.normal_module = 2.25f;
  d.normal_pressure_angle = 20.0f;
  d.helix_angle = 27.88f;
  d.helix_hand = 1;
  d.centre_distance = 70.0f;
  d.face_width[0] = 17.5f;
  d.face_width[1] = 17.5f;
  d.edge_chamfer[0] = 0.0f;
  d.edge_chamfer[1] = 0.0f;
  d.edge_chamfer_angle[0] = 45.0f;
  d.edge_chamfer_angle[1] = 45.0f;
  d.desired_ratio = 1.391f;
  d.teeth[0] = 23;
  d.teeth[1] = 32;
  d.actual_ratio = static_cast<float>(static_cast<ld>(d.teeth[1]) / static_cast<ld>(d.teeth[0]));
  d.profile_shift[0] = 0.25f;
  d.profile_shift[1] = -0.25f;
  d.profile_shift_sum = 0.0f;
  d.backlash_distribution = 0.5f;
  d.tip_diameter[0] = 64.17f;
  d.tip_diameter[1] = 84.83f;
  d.root_diameter[0] = 53.595f;
  d.root_diameter[1] = 74.255f;
  d.root_fillet_radius[0] = 0.675f;
  d.root_fillet_radius[1] = 0.675f;
  d.tip_chamfer[0] = 0.0f;
  d.tip_chamfer[1] = 0.0f;
  d.tip_chamfer_angle[0] = 45.0f;
  d.tip_chamfer_angle[1] = 45.0f;
  d.protuberance[0] = 0.0f;
  d.protuberance[1] = 0.0f;

  // Values that follow from them, per gear.
  const ld beta = deg_to_rad(static_cast<ld>(d.helix_angle));
  const ld cos_beta = std::cos(beta);
  for (int g = 0; g < 2; ++g) {
    const ld reference = static_cast<ld>(d.teeth[g]) * static_cast<ld>(d.normal_module) / cos_beta;
    d.addendum[g] = static_cast<float>((static_cast<ld>(d.tip_diameter[g]) - reference) / 2.0L);
    d.dedendum[g] = static_cast<float>((reference - static_cast<ld>(d.root_diameter[g])) / 2.0L);
  }
  d.ball_diameter[0] = static_cast<float>(1.8L * static_cast<ld>(d.normal_module));
  d.ball_diameter[1] = d.ball_diameter[0];
  for (int g = 0; g < 2; ++g) {
    d.virtual_teeth[g] = static_cast<float>(static_cast<ld>(d.teeth[g]) / (cos_beta * cos_beta * cos_beta));
    d.span_teeth[g] = default_span_teeth_count(d.profile_shift[g], d.virtual_teeth[g]);
  }

  // Geometry constraints.
  for (int g = 0; g < 2; ++g) {
    d.min_eap_thickness_coeff[g] = 0.3f;
    d.min_bottom_clearance_coeff[g] = 0.25f;
    d.min_root_fillet_coeff[g] = 0.3f;
    d.min_form_to_sap[g] = 0.25f;
    d.min_base_to_form[g] = 0.25f;
    d.max_tip_diameter[g] = 1e9f;
    d.min_root_diameter[g] = 0.0f;
    d.min_tip_thickness_coeff[g] = 0.3f;
  }

  d.iso_grade[0] = 8;
  d.iso_grade[1] = 8;
  d.min_contact_safety_factor = 1.0f;
  d.min_bending_safety_factor = 1.2f;
  d.decimals = 3;

  // Modes and flags.
  d.tooth_proportion_mode = 0;
  d.allow_tip_diameter_reduction = 1;
  d.ratio_fixed = 1;
  d.shift_distribution_auto = 0;
  d.geometry_manager_mode = 1;
  d.splash_mode = 0;
  d.default_ball_diameter = 1;
  d.default_span_teeth = 1;
  d.pitch_error_from_grade = 1;
  d.hardness_scale = 0;
  d.application_factor_enabled = 1;
  d.keep_pinion_wheel_same = 0;
  d.view_selection = 3;
  d.show_nominal_profile = 0;
  d.report_selection = 0;
  d.constraints_use_defaults = 1;
  d.rating_valid = 0;
  d.rating_enabled = 0;
  d.geometry_manager_override = 0;
  d.second_geometry_pass = 0;
}

void set_unit_factors(DesignData& d) {
  if (d.unit_system == 1) {
    d.length_unit_factor = 1.0f;
    d.stress_unit_factor = 1.0f;
    d.torque_unit_factor = 1.0f;
    d.power_unit_factor = 1.0f;
    d.velocity_unit_factor = 1.0f;
    d.force_unit_factor = 1.0f;
  } else if (d.unit_system == 2) {
    d.length_unit_factor = 25.4f;
    d.stress_unit_factor = 0.006895f;
    d.torque_unit_factor = 1.356f;
    d.power_unit_factor = 745.7f;
    d.velocity_unit_factor = 0.3048f;
    d.force_unit_factor = 4.448f;
  }
}

}  // namespace morvell
