// The search report: every line of a rated design (the rating rows in the report's own wording
// included) and of an unrated one, in metric and English units, against golden texts (golden.h). The
// design's figures are set by hand, each distinct from the others, so that a value on the wrong line or
// in the wrong column, a wrong conversion or a changed precision shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "design_data.h"
#include "golden.h"
#include "search_report.h"
#include "startup_values.h"

using namespace morvell;
using morvell::testing::expect_golden;

namespace {

// A helical pair with a figure of its own in every field the report reads; rated (a transverse contact
// ratio above 1) or not (below).
std::unique_ptr<DesignData> report_design(int unit_system, bool rated) {
  auto d = std::make_unique<DesignData>();
  d->unit_system = unit_system;
  set_unit_factors(*d);

  // The head.
  d->teeth[0] = 23;
  d->teeth[1] = 32;
  d->normal_module = 2.25f;
  d->normal_pressure_angle = 20.5f;
  d->helix_angle = 27.88f;
  d->contact_safety_factor[0] = 1.1684f;
  d->contact_safety_factor[1] = 1.1972f;
  d->nominal_contact_stress = 1171.2613f;
  d->contact_stress[0] = 1398.7364f;
  d->contact_stress[1] = 1391.0127f;
  d->bending_safety_factor_pinion = 2.0345f;
  d->bending_safety_factor_wheel = 2.1876f;
  d->nominal_bending_stress_pinion = 245.6789f;
  d->nominal_bending_stress_wheel = 231.2345f;
  d->tooth_root_stress_pinion = 389.1234f;
  d->tooth_root_stress_wheel = 366.5432f;
  d->transverse_contact_ratio = rated ? 1.3891f : 0.9876f;
  d->axial_contact_ratio = 1.1653f;

  // The full details.
  d->helix_hand = rated ? 1 : -1;
  const std::pair<float (DesignData::*)[2], std::pair<float, float>> pairs[] = {
      {&DesignData::reference_diameter, {58.4937f, 81.3826f}},
      {&DesignData::profile_shift, {0.2534f, -0.1872f}},
      {&DesignData::tip_diameter, {63.6248f, 84.2617f}},
      {&DesignData::tip_chamfer, {0.1123f, 0.2246f}},
      {&DesignData::root_diameter, {53.2381f, 75.0219f}},
      {&DesignData::root_fillet_radius, {0.6834f, 0.6721f}},
      {&DesignData::face_width, {17.5123f, 17.2456f}},
      {&DesignData::edge_chamfer, {0.5012f, 0.7534f}},
      {&DesignData::form_diameter, {55.1029f, 77.3046f}},
      {&DesignData::base_diameter, {54.1187f, 75.8934f}},
      {&DesignData::thickness_nominal_transverse, {4.3217f, 3.4561f}},
      {&DesignData::thickness_nominal_normal, {3.8224f, 3.0573f}},
      {&DesignData::thickness_finished_transverse, {4.2009f, 3.3012f}},
      {&DesignData::thickness_finished_normal, {3.7108f, 2.9207f}},
      {&DesignData::ball_measurement_finished, {66.5432f, 88.7651f}},
      {&DesignData::ball_diameter, {4.0512f, 3.9691f}},
      {&DesignData::chordal_span_finished, {20.1113f, 27.2224f}},
      {&DesignData::sap_diameter, {55.8123f, 78.1234f}},
      {&DesignData::eap_diameter, {63.4012f, 83.8134f}},
      {&DesignData::working_pitch_diameter, {58.5512f, 81.4523f}},
      {&DesignData::eap_thickness_normal, {1.4523f, 1.6234f}},
      {&DesignData::tip_thickness_normal, {1.3012f, 1.5123f}},
  };
  for (const auto& [field, values] : pairs) {
    ((*d).*field)[0] = values.first;
    ((*d).*field)[1] = values.second;
  }
  d->centre_distance = 70.1234f;
  d->span_teeth[0] = 3;
  d->span_teeth[1] = 4;
  d->desired_ratio = 1.3975f;
  d->actual_ratio = 1.3913f;
  d->backlash_transverse = 0.1012f;
  d->backlash_normal = 0.0883f;
  d->backlash_radial = 0.1374f;
  d->backlash_transverse_circular = 0.1065f;
  d->backlash_normal_circular = 0.0941f;
  d->lowest_single_contact_roll_pinion = 6.5123f;
  d->highest_single_contact_roll_pinion = 9.5234f;
  d->lowest_single_contact_roll_wheel = 11.5345f;
  d->highest_single_contact_roll_wheel = 14.5456f;
  d->transverse_pressure_angle = 22.3846f;
  d->working_normal_pressure_angle = 20.1234f;
  d->working_transverse_pressure_angle = 22.5123f;
  d->working_helix_angle = 27.9012f;
  d->face_width_offset = 0.2512f;
  d->active_face_width = 17.0134f;
  d->base_helix_angle = 26.1023f;
  d->normal_base_pitch = 6.6423f;
  d->transverse_base_pitch = 7.3951f;
  d->iso_grade[0] = 6;
  d->iso_grade[1] = 7;
  // Deviations in micrometres, in the order f_pt, F_p, F_alpha, f_f_alpha, f_H_alpha, F_i'', f_i'',
  // F_beta, f_f_beta, f_H_beta, f_i', F_i'.
  const float deviations[2][12] = {{8, 27, 11, 9, 7, 39, 12, 15, 10, 6, 19, 46},
                                   {13, 41, 17, 14, 11, 59, 18, 23, 16, 5, 29, 69}};
  for (int i = 0; i < 2; ++i) {
    GearDeviations& g = d->iso1328_deviations[i];
    float* fields[12] = {&g.f_pt,  &g.F_p,    &g.F_alpha,  &g.f_f_alpha, &g.f_H_alpha, &g.F_i2,
                         &g.f_i2, &g.F_beta, &g.f_f_beta, &g.f_H_beta,  &g.f_i1,      &g.F_i1};
    for (int k = 0; k < 12; ++k) *fields[k] = deviations[i][k];
  }
  d->tangential_force = 6838.5123f;
  d->radial_force = 2813.2567f;
  d->axial_force = 3620.7543f;

  // The rating rows (the stresses and safety factors of the head appear there again).
  d->zone_factor = 2.2591f;
  d->elasticity_factor = 190.2723f;
  d->contact_ratio_factor = 0.8563f;
  d->helix_angle_factor_contact = 0.9402f;
  d->single_pair_contact_factor[0] = 1.0123f;
  d->single_pair_contact_factor[1] = 1.0456f;
  d->dynamic_factor = 1.1401f;
  d->running_in_allowance_helix = 1.5234f;
  d->effective_misalignment = 8.5123f;
  d->single_pair_stiffness = 11.4281f;
  d->mesh_stiffness = 14.5512f;
  d->face_load_factor_contact = 1.1391f;
  d->running_in_allowance_profile = 1.2753f;
  d->transverse_load_factor_contact = 1.0982f;
  d->lubricant_factor = 1.0201f;
  d->velocity_factor = 0.9934f;
  d->roughness_factor = 0.9523f;
  d->work_hardening_factor = 1.0012f;
  d->size_factor_contact = 0.9989f;
  d->life_factor_contact[0] = 1.1291f;
  d->life_factor_contact[1] = 1.1582f;
  d->permissible_contact_stress[0] = 1633.2491f;
  d->permissible_contact_stress[1] = 1674.5543f;
  d->sigma_hlim[0] = 1500;
  d->sigma_hlim[1] = 1450;
  d->bending_face_width[0] = 17.5012f;
  d->bending_face_width[1] = 17.2513f;
  d->root_chord_thickness_pinion = 4.9781f;
  d->root_chord_thickness_wheel = 4.7312f;
  d->critical_fillet_radius_pinion = 0.9971f;
  d->critical_fillet_radius_wheel = 1.3034f;
  d->bending_lever_arm_pinion = 2.3124f;
  d->bending_lever_arm_wheel = 2.6193f;
  d->load_direction_angle_pinion = 0.3571f;
  d->load_direction_angle_wheel = 0.3152f;
  d->load_centre_angle_pinion = 0.1234f;
  d->load_centre_angle_wheel = 0.0987f;
  d->form_factor_pinion = 1.4521f;
  d->form_factor_wheel = 1.3854f;
  d->stress_correction_factor_pinion = 1.9234f;
  d->stress_correction_factor_wheel = 2.0145f;
  d->helix_angle_factor_bending = 0.8123f;
  d->face_load_factor_bending = 1.1123f;
  d->transverse_load_factor_bending = 1.0876f;
  d->test_gear_stress_correction_factor_pinion = 2.0f;
  d->test_gear_stress_correction_factor_wheel = 2.1f;
  d->relative_notch_sensitivity_factor_pinion = 0.9912f;
  d->relative_notch_sensitivity_factor_wheel = 1.0034f;
  d->relative_surface_factor_pinion = 1.0213f;
  d->relative_surface_factor_wheel = 1.0345f;
  d->size_factor_bending_pinion = 0.9987f;
  d->size_factor_bending_wheel = 0.9876f;
  d->life_factor_bending[0] = 0.9123f;
  d->life_factor_bending[1] = 0.9456f;
  d->permissible_bending_stress_pinion = 812.3456f;
  d->permissible_bending_stress_wheel = 798.7654f;
  d->sigma_flim[0] = 430;
  d->sigma_flim[1] = 425;
  return d;
}

// Report lines as text, one per line: the three-digit index, a bar, the text with tabs shown as \t.
std::string as_text(const ReportLines& lines) {
  std::string s;
  for (const ReportLine& l : lines) {
    char index[8];
    std::snprintf(index, sizeof index, "%03d|", l.index);
    s += index;
    for (char c : l.text) s += c == '\t' ? std::string("\\t") : std::string(1, c);
    s += '\n';
  }
  return s;
}

}  // namespace

TEST(SearchReport, EveryLineMatchesTheReviewedReport) {
  struct Case {
    const char* file;
    int unit_system;
    bool rated;
  } cases[] = {{"search_report_rated_metric.txt", 1, true},
               {"search_report_rated_english.txt", 2, true},
               {"search_report_unrated_metric.txt", 1, false},
               {"search_report_unrated_english.txt", 2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    expect_golden(as_text(search_report_lines(*report_design(c.unit_system, c.rated))), c.file);
  }
}
