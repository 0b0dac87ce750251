// The design data of the current gear pair: every input, every derived value, the modes that steer
// the computations, the shared text buffers of the windows and the state that survives between user
// events. The program owns exactly one DesignData for its whole run; tests and batch searches use
// their own instances. Core routines take it by reference.
//
// Types: float for values, int32_t for counts, modes, codes and steering flags, uint8_t for the
// single-byte state flags. Per-gear values are two-element arrays, [0] pinion and [1] wheel.
// Units inside the record: mm, degrees, MPa, N, N m, W, rpm, m/s, micrometres (deviations, roughness,
// misalignment). Every field starts at zero (DesignData d; is all zeros); set_startup_values() gives
// the values the program starts with.
//
// The record is trivially copyable: a reader validates into a copy and assigns it whole.
//
// Layout: the geometry side first (inputs and derived geometry, basic rack, targets, teeth, modes,
// text buffers, tooth profile, constraints, deviations, inspection dimensions), then the rating and
// state side (rating inputs and S-N data, unit factors, results, tolerance limits, window scale, state
// flags, load cases, edit and view state, window sections). Add new fields to the section they belong to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace morvell {

// ---------------------------------------------------------------------------------------------
// Records used inside the design data
// ---------------------------------------------------------------------------------------------

// Basic rack proportions of both gears; also the record of the basic rack database.
struct BasicRack {
  float addendum_coeff[2]{};       // x m_n: h_a / m_n - x of the gear
  float dedendum_coeff[2]{};       // x m_n: h_f / m_n + x
  float fillet_radius_coeff[2]{};  // x m_n: rack tip radius rho_f / m_n
  float pressure_angle{};          // deg, both gears
  float protuberance[2]{};         // mm
};

// The twelve ISO 1328 deviation tolerances of one gear, micrometres, in this order.
struct GearDeviations {
  float f_pt{};
  float F_p{};
  float F_alpha{};
  float f_f_alpha{};
  float f_H_alpha{};
  float F_i2{};  // F_i''
  float f_i2{};  // f_i''
  float F_beta{};
  float f_f_beta{};
  float f_H_beta{};
  float f_i1{};  // f_i'
  float F_i1{};  // F_i'
};

// One point of a transverse tooth outline, mm, origin at the gear centre, +y on the tooth centre line.
struct ProfilePoint {
  float x{};
  float y{};
};

inline constexpr int kProfilePointCount = 500;

// One tooth outline: 0-24 root arc, 25-124 trochoid fillet, 125-223 involute flank, 224 tip corner,
// 225-249 tip arc, 250-499 the first half mirrored (x -> -x) in reverse order.
struct ToothProfile {
  ProfilePoint points[kProfilePointCount]{};

  ProfilePoint& operator[](std::size_t i) { return points[i]; }
  const ProfilePoint& operator[](std::size_t i) const { return points[i]; }
};

// One load case, in this order.
struct LoadCase {
  float speed{};       // rpm, pinion
  float torque{};      // N m, pinion
  float life_hours{};  // h
  float f_beta_x{};    // um, initial equivalent misalignment
};

inline constexpr int kLoadCaseTableSize = 10;  // room in the table
inline constexpr int kLoadCasesUsable = 9;     // the windows keep at most nine

// Geometry constraints: eight pinion/wheel pairs in this memory order (the constraints dialog copies
// the sixteen values in this order for its Cancel).
struct GeometryConstraints {
  float min_eap_thickness_coeff[2]{};     // x m_n, least normal thickness at the end of active profile
  float min_bottom_clearance_coeff[2]{};  // x m_n
  float min_root_fillet_coeff[2]{};       // x m_n
  float min_form_to_sap[2]{};             // mm
  float min_base_to_form[2]{};            // mm
  float max_tip_diameter[2]{};            // mm
  float min_root_diameter[2]{};           // mm
  float min_tip_thickness_coeff[2]{};     // x m_n, least normal thickness at the tip, under the chamfer
};

// Inspection dimensions, written by the geometry pass and the measurement window.
struct InspectionDimensions {
  float ball_measurement_nominal[2]{};   // mm, measurement over balls (pins), nominal thickness
  float ball_measurement_finished[2]{};  // mm, finished thickness; also an input of the measurement window
  float ball_diameter[2]{};              // mm
  float chordal_span_nominal[2]{};       // mm, base tangent length over span_teeth teeth
  float chordal_span_finished[2]{};      // mm
  float ball_contact_diameter_nominal[2]{};
  float ball_centre_diameter_nominal[2]{};
  float ball_contact_diameter_finished[2]{};
  float ball_centre_diameter_finished[2]{};
  float span_contact_diameter_nominal[2]{};
  float span_contact_diameter_finished[2]{};
  int32_t span_teeth[2]{};  // number of teeth spanned k
};

// Display unit factors: a value is shown as internal value / factor.
struct UnitFactors {
  float length_unit_factor{};    // 1 or 25.4 (mm per inch; um per thousandth of an inch)
  float stress_unit_factor{};    // 1 or 0.006895 (MPa per psi)
  float torque_unit_factor{};    // 1 or 1.356 (N m per lbf ft)
  float power_unit_factor{};     // 1 or 745.7 (W per hp)
  float velocity_unit_factor{};  // 1 or 0.3048 (m/s per ft/s)
  float force_unit_factor{};     // 1 or 4.448 (N per lbf)
  int32_t unit_system{};         // 1 metric, 2 English
};

// Results of the ISO 6336 rating, in the order the rating writes them.
struct RatingResults {
  // Pitting.
  float zone_factor{};                 // Z_H
  float elasticity_factor{};           // Z_E, sqrt(MPa)
  float contact_ratio_factor{};        // Z_epsilon
  float helix_angle_factor_contact{};  // Z_beta
  float rating_gear_ratio{};           // working value: u
  float nominal_tangential_load{};     // working value: F_t, N
  float pitch_line_velocity{};         // working value: v, m/s
  float nominal_contact_stress{};      // sigma_H0, MPa
  float contact_factor_m1{};           // working value
  float contact_factor_m2{};           // working value
  float single_pair_contact_factor[2]{};  // Z_B, Z_D
  float dynamic_k1{};                     // working value
  float dynamic_k2{};                     // working value
  float dynamic_factor{};                 // K_v
  float dynamic_speed_term{};             // z1 v / 100 (u^2 / (1 + u^2))^0.5, m/s: K_v's method holds below 10
  float running_in_allowance_helix{};     // y_beta, um
  float effective_misalignment{};         // F_beta_y, um
  float rating_virtual_teeth[2]{};        // working value
  float single_pair_stiffness{};          // c', N/(mm um)
  float mesh_stiffness{};                 // c_gamma, N/(mm um)
  float mean_tangential_load{};           // working value
  float face_load_factor_contact{};       // K_Hbeta
  float determinant_tangential_load{};    // working value
  float running_in_allowance_profile{};   // y_alpha, um
  float transverse_load_factor_contact{};  // K_Halpha
  float contact_stress[2]{};               // sigma_H, MPa
  float lubricant_factor{};                // Z_L
  float velocity_factor{};                 // Z_v
  float roughness_factor{};                // Z_R
  float work_hardening_factor{};           // Z_W of the wheel; the pinion's is always 1
  float size_factor_contact{};             // Z_X
  float life_factor_contact[2]{};          // Z_NT
  float permissible_contact_stress[2]{};   // sigma_HP, MPa
  float pitting_stress_limit_pinion{};     // working value
  float pitting_stress_limit_wheel{};      // working value
  float contact_safety_factor[2]{};        // S_H

  // Tooth-root bending, pinion then wheel.
  float form_factor_pinion{};               // Y_F
  float root_chord_thickness_pinion{};      // s_Fn, mm
  float bending_lever_arm_pinion{};         // h_Fe, mm
  float load_direction_angle_pinion{};      // alpha_Fen
  float stress_correction_factor_pinion{};  // Y_S
  float helix_angle_factor_bending{};       // Y_beta, one value
  float nominal_bending_stress_pinion{};    // sigma_F0, MPa
  float critical_fillet_radius_pinion{};    // rho_F, mm
  float load_centre_angle_pinion{};         // gamma_e
  float form_factor_wheel{};
  float root_chord_thickness_wheel{};
  float bending_lever_arm_wheel{};
  float load_direction_angle_wheel{};
  float stress_correction_factor_wheel{};
  float nominal_bending_stress_wheel{};
  float critical_fillet_radius_wheel{};
  float load_centre_angle_wheel{};
  float face_load_factor_bending{};                  // K_Fbeta
  float transverse_load_factor_bending{};            // K_Falpha
  float tooth_root_stress_pinion{};                  // sigma_F, MPa
  float test_gear_stress_correction_factor_pinion{};  // Y_ST
  float relative_notch_sensitivity_factor_pinion{};   // Y_deltarelT
  float relative_surface_factor_pinion{};             // Y_RrelT
  float size_factor_bending_pinion{};                 // Y_X
  float life_factor_bending[2]{};                     // Y_NT
  float root_stress_limit_pinion{};                   // working value
  float permissible_bending_stress_pinion{};          // sigma_FP, MPa
  float bending_safety_factor_pinion{};               // S_F
  float tooth_root_stress_wheel{};
  float test_gear_stress_correction_factor_wheel{};
  float relative_notch_sensitivity_factor_wheel{};
  float relative_surface_factor_wheel{};
  float size_factor_bending_wheel{};
  float root_stress_limit_wheel{};  // working value
  float permissible_bending_stress_wheel{};
  float bending_safety_factor_wheel{};
};

// Lives and damage of the selected load case.
struct LifeResults {
  float bending_damage[2]{};  // percent; +infinity when the load never reaches the curve's range
  float contact_damage[2]{};  // percent
  float bending_life_pinion{};  // cycles
  float contact_life_pinion{};
  float bending_life_wheel{};
  float contact_life_wheel{};
  float sn_permissible_contact_pinion[4]{};  // MPa at the static, pitting, endurance, infinite-life counts
  float sn_permissible_contact_wheel[4]{};
  float sn_permissible_bending_pinion[3]{};  // MPa at the static, endurance, infinite-life counts
  float sn_permissible_bending_wheel[3]{};
};

// Mesh forces, N.
struct ForceResults {
  float axial_force{};
  float tangential_force{};
  float radial_force{};
};

// Upper and lower limits used by the tolerance window, mm, in this order.
struct ToleranceLimits {
  float tol_tip_diameter_max[2]{};
  float tol_tip_diameter_min[2]{};
  float tol_tip_chamfer_max[2]{};
  float tol_tip_chamfer_min[2]{};
  float tol_face_width_max_pinion{};
  float tol_face_width_min_pinion{};
  float tol_face_width_max_wheel{};
  float tol_face_width_min_wheel{};
  float tol_edge_chamfer_max[2]{};
  float tol_edge_chamfer_min[2]{};
  float tol_centre_distance_max{};
  float tol_centre_distance_min{};
  float tol_normal_thickness_max[2]{};
  float tol_transverse_thickness_max[2]{};
  float tol_normal_thickness_min[2]{};
  float tol_transverse_thickness_min[2]{};
};

// Ranges of the design-space search (grid bounds and result filters).
struct SearchRanges {
  float search_module_min{};
  float search_module_max{};
  int32_t search_teeth_min{};
  int32_t search_teeth_max{};
  float search_pressure_angle_min{};
  float search_pressure_angle_max{};
  float search_helix_angle_min{};
  float search_helix_angle_max{};
  float search_fillet_coeff_min{};
  float search_fillet_coeff_max{};
  float filter_shift_sum_min{};
  float filter_shift_sum_max{};
  float filter_transverse_contact_ratio_min{};
  float filter_transverse_contact_ratio_max{};
  float filter_axial_contact_ratio_min{};
  float filter_axial_contact_ratio_max{};
  float filter_ratio_min{};
  float filter_ratio_max{};
  float filter_contact_safety_min[2]{};
  float filter_contact_safety_max[2]{};
  float filter_bending_safety_min[2]{};
  float filter_bending_safety_max[2]{};
  float filter_contact_stress_min[2]{};
  float filter_contact_stress_max[2]{};
  float filter_nominal_contact_stress_min{};
  float filter_nominal_contact_stress_max{};
  float filter_root_stress_min[2]{};
  float filter_root_stress_max[2]{};
  float filter_nominal_root_stress_min[2]{};
  float filter_nominal_root_stress_max[2]{};
  float search_old_value{};
  int32_t search_eval_count_shown{};
};

// State of the search-results plot (the flash-temperature plot reuses the area, scale and range fields).
struct ChartState {
  int32_t chart_autoscale{};
  int32_t chart_zoom_mode{};
  int32_t chart_rubber_band[4]{};  // current corner x, y, then anchor x, y (pixels)
  int32_t chart_left{};
  int32_t chart_top{};
  int32_t chart_right{};
  int32_t chart_bottom{};
  int32_t chart_centre_x{};
  int32_t chart_plus_x_origin{};
  int32_t chart_minus_x_origin{};
  float chart_plus_x_scale{};
  float chart_minus_x_scale{};
  float chart_y_scale{};
  float chart_plus_x_min{};
  float chart_plus_x_max{};
  float chart_minus_x_min{};
  float chart_minus_x_max{};
  float chart_y_min{};
  float chart_y_max{};
  uint8_t chart_dragging{};
  uint8_t chart_pick_x_match{};
  uint8_t chart_pick_y_match{};
};

inline constexpr int kFlashPointCount = 64;

// Inputs, results and per-position arrays of the flash-temperature calculation (none of it is saved).
struct FlashTemperatureData {
  int32_t flash_load_sharing_case{};  // profile-modification case 0..3
  int32_t flash_position{};           // index 0..63 shown by the dialog
  int32_t flash_point_count{};        // number of positions
  float flash_k_factor{};
  float flash_mean_friction{};
  float flash_thermal_coefficient{};  // B_M, N/(mm s^0.5 K)
  float flash_load_sharing_input{};
  float flash_unit_load{};        // w_n, N/mm
  float flash_temperature_max{};  // degC
  float flash_temperature[kFlashPointCount]{};
  float flash_sliding_velocity[kFlashPointCount]{};
  float flash_rolling_velocity_pinion[kFlashPointCount]{};
  float flash_rolling_velocity_wheel[kFlashPointCount]{};
  float flash_specific_sliding_pinion[kFlashPointCount]{};
  float flash_specific_sliding_wheel[kFlashPointCount]{};
  float flash_load_sharing[kFlashPointCount]{};
  float flash_hertz_half_width[kFlashPointCount]{};  // b_H, mm
};

// ---------------------------------------------------------------------------------------------
// Text buffers: fixed NUL-terminated buffers, written only through the bounded helpers below.
// ---------------------------------------------------------------------------------------------

inline constexpr std::size_t kFileNameSize = 256;
inline constexpr std::size_t kWarningLineSize = 128;
inline constexpr std::size_t kShortTextSize = 16;
inline constexpr std::size_t kLineTextSize = 64;
inline constexpr std::size_t kFileLineSize = 512;

// Copies text into a fixed buffer, truncating so that the terminating NUL always fits.
template <std::size_t N>
void copy_text(char (&buffer)[N], std::string_view text) {
  static_assert(N > 0);
  const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  if (n) std::memmove(buffer, text.data(), n);
  buffer[n] = '\0';
}

// Appends text to a fixed buffer, truncating at its end.
template <std::size_t N>
void append_text(char (&buffer)[N], std::string_view text) {
  const std::size_t used = strnlen(buffer, N - 1);
  const std::size_t room = N - 1 - used;
  const std::size_t n = text.size() < room ? text.size() : room;
  if (n) std::memmove(buffer + used, text.data(), n);
  buffer[used + n] = '\0';
}

// The text of a buffer, up to its NUL or its end.
template <std::size_t N>
std::string_view text_of(const char (&buffer)[N]) {
  return std::string_view(buffer, strnlen(buffer, N));
}

// ---------------------------------------------------------------------------------------------
// The design data
// ---------------------------------------------------------------------------------------------

// The grouped sections (constraints, inspection dimensions, unit factors, results, tolerance limits,
// search and chart state, flash temperature) are base records, so their fields are reached directly
// (d.ball_diameter) and a section can still be copied whole (GeometryConstraints copy = d;).
struct DesignData : GeometryConstraints,
                    InspectionDimensions,
                    UnitFactors,
                    RatingResults,
                    LifeResults,
                    ForceResults,
                    ToleranceLimits,
                    SearchRanges,
                    ChartState,
                    FlashTemperatureData {
  // ===== Geometry side =====

  // --- Geometry inputs and derived geometry ---
  float normal_module{};          // mm, m_n
  float normal_pressure_angle{};  // deg, alpha_n
  float tip_diameter[2]{};        // mm, d_a
  float root_diameter[2]{};       // mm, d_f
  float centre_distance{};        // mm, working centre distance a
  float path_of_contact{};        // mm, g_alpha
  float sap_roll_length[2]{};     // mm, roll length at the start of active profile
  float transverse_base_pitch{};  // mm
  float normal_base_pitch{};      // mm
  float transverse_contact_ratio{};
  float lowest_single_contact_roll_pinion{};   // mm
  float highest_single_contact_roll_pinion{};  // mm
  float highest_single_contact_roll_wheel{};   // mm
  float lowest_single_contact_roll_wheel{};    // mm
  float active_face_width{};                   // mm, common face width b
  float face_width[2]{};                       // mm
  float bending_face_width[2]{};               // mm
  float reference_diameter[2]{};               // mm, z m_n / cos(beta)
  float base_diameter[2]{};                    // mm
  float working_pitch_diameter[2]{};           // mm
  float working_transverse_pressure_angle{};   // deg
  float transverse_pressure_angle{};           // deg
  float base_helix_angle{};                    // deg
  float helix_angle{};                         // deg, reference helix angle beta
  float axial_contact_ratio{};                 // overlap ratio
  float pitch_point_roll_length[2]{};          // mm
  float sap_diameter[2]{};                     // mm
  float centre_distance_from_shifts{};         // mm, zero-backlash centre distance of profile_shift_sum
  float profile_shift[2]{};                    // profile shift coefficient x
  float working_helix_angle{};                 // deg
  float working_normal_pressure_angle{};       // deg
  float thickness_nominal_transverse[2]{};     // mm, s_t at the reference circle
  float thickness_nominal_normal[2]{};         // mm, s_n
  float backlash_radial{};                     // mm
  float backlash_normal{};                     // mm
  float backlash_transverse{};                 // mm
  float backlash_transverse_circular{};        // mm
  float backlash_normal_circular{};            // mm
  float eap_thickness_normal[2]{};             // mm, -1 where undefined
  float tip_thickness_normal[2]{};             // mm, after the tip chamfer
  float tip_thickness_transverse[2]{};         // mm
  float thickness_finished_normal[2]{};        // mm
  float thickness_finished_transverse[2]{};    // mm, s_ft, never above s_t
  float dedendum[2]{};                         // mm, h_f
  float addendum[2]{};                         // mm, h_a
  float root_fillet_radius[2]{};               // mm, rho_f
  float rack_form_diameter[2]{};               // mm
  float form_diameter[2]{};                    // mm, out-value of the profile generator
  float backlash_distribution{};               // 0..1, share of the backlash taken by the pinion
  float virtual_teeth[2]{};                    // z / cos^3(beta)
  BasicRack basic_rack{};
  float edge_chamfer[2]{};        // mm
  float edge_chamfer_angle[2]{};  // deg
  float profile_shift_sum{};      // x1 + x2
  float desired_ratio{};          // u asked for
  float actual_ratio{};           // z2 / z1
  float tip_chamfer[2]{};         // mm, radial
  float tip_chamfer_depth[2]{};   // mm
  float tip_chamfer_angle[2]{};   // deg
  float protuberance[2]{};        // mm
  float eap_diameter[2]{};        // mm, d_a - 2 tip_chamfer
  float face_width_offset{};      // mm, axial offset of the wheel face
  float helix_lead[2]{};          // mm, pi z m_n / sin(beta)

  // --- Sizing and minimum targets ---
  float pinion_aspect_ratio{};  // pinion reference diameter / face width
  float min_contact_safety_factor{};
  float min_bending_safety_factor{};

  // --- Numbers of teeth ---
  int32_t teeth[2]{};

  // --- Modes and flags ---
  int32_t geometry_manager_mode{};  // 0 module fixed, 1 centre distance fixed, 2 teeth follow
  int32_t ratio_fixed{};
  int32_t shift_distribution_auto{};
  int32_t tooth_proportion_mode{};  // 0 Input, 1 Standard Rack, 2 Calculate
  int32_t allow_tip_diameter_reduction{};
  int32_t decimals{};
  int32_t default_ball_diameter{};
  int32_t default_span_teeth{};
  int32_t helix_hand{};  // 1 pinion left-hand, -1 pinion right-hand
  int32_t start_mode{};  // 0 none, 1 open, 2 size, 3 enter geometry
  int32_t view_selection{};  // 1 pinion, 2 wheel, 3 mesh
  int32_t show_nominal_profile{};
  int32_t keep_pinion_wheel_same{};
  int32_t report_selection{};  // 0 geometry, 2 rating details, 3 rating summary
  int32_t splash_mode{};
  int32_t window_size_step{};  // -3..0

  // --- Text buffers ---
  char design_file_name[kFileNameSize]{};
  char warning_lines[3][kWarningLineSize]{};
  char start_directory[kFileNameSize]{};
  char edit_text_at_entry[kShortTextSize]{};
  char number_text[kShortTextSize]{};
  char line_text[kLineTextSize]{};

  // --- Tooth profile (overwritten by every profile generation) ---
  ToothProfile profile_points{};

  // --- ISO 1328 deviations (GeometryConstraints and InspectionDimensions are base sections) ---
  GearDeviations iso1328_deviations[2]{};

  // ===== Rating and state side =====

  // --- Rating inputs ---
  float torque{};      // N m, pinion torque of the selected load case
  float power{};       // W
  float speed{};       // rpm, pinion
  float life_hours{};  // h
  float poisson_ratio[2]{};
  float elastic_modulus[2]{};  // MPa
  float application_factor{};  // K_A
  float f_beta_x{};            // um
  float sigma_hlim[2]{};       // MPa
  float rim_thickness[2]{};    // mm
  float pitch_deviation_from_grade[2]{};  // um
  float base_pitch_error[2]{};             // um
  float lubricant_viscosity{};            // mm^2/s
  float flank_roughness[2]{};             // um Ra
  float fillet_roughness[2]{};            // um
  float surface_hardness[2]{};            // in hardness_scale
  int32_t iso_grade[2]{};
  int32_t load_data_fixed_for{};  // 1 pinion, 2 wheel
  int32_t limited_pitting[2]{};
  int32_t sn_estimate[2]{};
  int32_t material_type[2]{};  // 0..11
  int32_t pitch_error_from_grade{};
  int32_t hardness_scale{};  // 0 HRC, 1 BHN, 2 HV
  int32_t application_factor_enabled{};

  // --- S-N curve points (stresses MPa, cycle counts as plain numbers) ---
  float sigma_h_static_pinion{};
  float nl_static_contact_pinion{};
  float nl_lim_contact_pinion{};
  float sigma_h_pit_pinion{};
  float nl_pit_contact_pinion{};
  float sigma_h_inf_pinion{};
  float nl_inf_contact_pinion{};
  float sigma_h_static_wheel{};
  float nl_static_contact_wheel{};
  float nl_lim_contact_wheel{};
  float sigma_h_pit_wheel{};
  float nl_pit_contact_wheel{};
  float sigma_h_inf_wheel{};
  float nl_inf_contact_wheel{};
  float sigma_flim[2]{};      // MPa
  float sigma_f_static[2]{};  // MPa
  float nl_static_bending_pinion{};
  float nl_lim_bending_pinion{};
  float sigma_f_inf_pinion{};
  float nl_inf_bending_pinion{};
  float nl_static_bending_wheel{};
  float nl_lim_bending_wheel{};
  float sigma_f_inf_wheel{};
  float nl_inf_bending_wheel{};
  float yield_stress_pinion{};
  float tensile_stress_pinion{};
  float yield_stress_wheel{};
  float tensile_stress_wheel{};
  float load_cycles_pinion{};  // 60 n_1 life_hours
  float load_cycles_wheel{};   // load_cycles_pinion z1 / z2

  // (UnitFactors, RatingResults, LifeResults, ForceResults and ToleranceLimits are base sections.)

  // --- Window scale ---
  float form_scale_divisor{};
  float form_scale_multiplier{};

  // --- State flags ---
  uint8_t rating_valid{};
  uint8_t geometry_manager_override{};
  uint8_t second_geometry_pass{};
  uint8_t rating_enabled{};
  uint8_t constraints_use_defaults{};
  uint8_t use_optimized_design{};
  uint8_t history_mode{};
  // Per gear, 1 when the last tooth-proportion calculation or tip reduction of the geometry pass cut no
  // sound tooth from the constraints and kept the gear's previous proportions; the geometry warnings
  // say so.
  uint8_t tooth_proportions_kept[2]{};
  int32_t history_record_number{};
  int32_t search_results_ready{};
  int32_t search_eval_count{};
  int32_t search_single_design{};

  // --- Load cases ---
  LoadCase load_case_table[kLoadCaseTableSize]{};
  int32_t load_case_fixed_for[kLoadCaseTableSize]{};  // 1 pinion, 2 wheel
  int32_t load_case_count{};                          // 0..10
  int32_t current_load_case{};                        // 0-based

  // The current load seen from the wheel, and the pinion's speed and torque and the teeth it was last
  // worked out with (the geometry pass keeps it; a design file holds the pinion's load with its teeth).
  // While the load is fixed for the wheel, new teeth move the pinion's speed and torque and leave the
  // wheel's as entered.
  struct WheelLoad {
    float speed{};          // rpm, wheel
    float torque{};         // N m, wheel
    float pinion_speed{};   // rpm, d.speed when it was worked out
    float pinion_torque{};  // N m, d.torque when it was worked out
    int32_t teeth[2]{};     // z1, z2 then; 0: none worked out yet
  } wheel_load{};

  // --- Edit and view state ---
  int32_t edit_changed{};
  float edit_old_value{};
  float scratch_values[8]{};
  int32_t scratch_int{};
  float form_diameter_scratch{};
  float shift_trackbar_min{};
  float shift_trackbar_max{};
  float plot_zoom{};
  float plot_pan_x{};
  float plot_pan_y{};
  float plot_scale_x{};
  float plot_scale_y{};
  int32_t mouse_tool{};  // 0 pan, 1 zoom in, 2 zoom out, 4 rotate
  float profile_point_xy[2]{};
  int32_t export_type{};          // 0..6
  int32_t export_profile_type{};  // 0 finished, 1 nominal, 2 both
  float view_tilt_3d{};
  float view_rotation_3d{};
  float wheel_rotation_3d{};
  float view_bounds_3d[4]{};
  float pan_x_3d{};
  float pan_y_3d{};
  float mouse_down_x_3d{};
  float face_normal[3]{};
  float mesh_plot_x_min{};
  float mesh_plot_x_max{};
  float mesh_plot_y_range{};

  // --- Sections that belong to one window or group of windows ---
  float constraints_backup[16]{};  // constraints dialog Cancel copy, in GeometryConstraints order
  // Basic rack database: the dialog keeps its two streams local to the handler that opens them.
  char file_line[kFileLineSize]{};
  int32_t list_counter{};
  int32_t rack_selected{};
  int32_t rack_option_choice{};
  float metrology_backup[10]{};  // measurement window Cancel copy
  int32_t metrology_plot_plane{};
  float tolerances_backup[18]{};  // values saved while the tolerance window is shown
  // (SearchRanges, ChartState and FlashTemperatureData are base sections.)
};

static_assert(std::is_trivially_copyable_v<DesignData>, "DesignData is copied whole");
static_assert(std::is_standard_layout_v<GeometryConstraints>);
static_assert(sizeof(GeometryConstraints) == 16 * sizeof(float));
static_assert(sizeof(GearDeviations) == 12 * sizeof(float));
static_assert(sizeof(LoadCase) == 4 * sizeof(float));

}  // namespace morvell
