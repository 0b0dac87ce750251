// The input record of the ISO 6336 rating: 99 values in a fixed order, filled from the design data by
// one builder that every caller (the refresh, life and damage, the sizing, the search, the centre-distance
// minimisation) uses, so that all of them rate the same pair in the same way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvell {

struct DesignData;

// One 32-bit value per slot, in slot order (the comment gives the slot number). Pairs are pinion then
// wheel. Lengths in mm, angles in degrees, stresses and moduli in MPa, deviations, misalignment and
// roughness (Ra) in µm, viscosity in mm²/s, speed in rpm, torque in N m, load cycles as plain counts.
struct RatingInput {
  float base_helix_angle;                   // 1
  float working_transverse_pressure_angle;  // 2
  float transverse_pressure_angle;          // 3
  float poisson_ratio[2];                   // 4, 5
  float elastic_modulus[2];                 // 6, 7
  float helix_angle;                        // 8
  float transverse_contact_ratio;           // 9
  float axial_contact_ratio;                // 10
  float wheel_teeth;                        // 11 (the wheel comes before the pinion here)
  float pinion_teeth;                       // 12
  float speed;                              // 13, pinion
  float reference_diameter[2];              // 14, 15
  float eap_diameter[2];                    // 16, 17 (end of active profile)
  float base_diameter[2];                   // 18, 19
  float torque;                             // 20, pinion
  float active_face_width;                  // 21
  int32_t iso_grade[2];                     // 22, 23
  float application_factor;                 // 24
  int32_t material_type[2];                 // 25, 26
  float f_beta_x;                           // 27
  float sigma_hlim[2];                      // 28, 29
  float rim_thickness[2];                   // 30, 31
  float web_thickness[2];                   // 32, 33 (the face width: gear blank factor 1)
  float normal_pressure_angle;              // 34
  float base_pitch_error[2];                // 35, 36
  float lubricant_viscosity;                // 37
  float profile_shift[2];                   // 38, 39
  float normal_module;                      // 40
  float rack_dedendum[2];                   // 41, 42: h_fP = x m_n + h_f
  float flank_roughness[2];                 // 43, 44
  float fillet_roughness[2];                // 45, 46
  float surface_hardness[2];                // 47, 48, in the scale of slot 99
  float sigma_h_static_pinion;              // 49
  float sigma_h_inf_pinion;                 // 50
  float sigma_h_pit_pinion;                 // 51
  float nl_static_contact_pinion;           // 52
  float nl_lim_contact_pinion;              // 53
  float nl_inf_contact_pinion;              // 54
  float nl_pit_contact_pinion;              // 55
  float load_cycles_pinion;                 // 56
  float sigma_h_static_wheel;               // 57
  float sigma_h_inf_wheel;                  // 58
  float sigma_h_pit_wheel;                  // 59
  float nl_static_contact_wheel;            // 60
  float nl_lim_contact_wheel;               // 61
  float nl_inf_contact_wheel;               // 62
  float nl_pit_contact_wheel;               // 63
  float load_cycles_wheel;                  // 64
  float min_safety_factor_contact;          // 65, S_Hmin
  float spare[2];                           // 66, 67, not read
  float protuberance[2];                    // 68, 69
  float root_fillet_radius[2];              // 70, 71 (tip radius of the generating rack)
  float rack_addendum[2];                   // 72, 73: h_aP = h_a - x m_n
  float face_width[2];                      // 74, 75
  float sigma_f_inf_pinion;                 // 76
  float nl_static_bending_pinion;           // 77
  float nl_lim_bending_pinion;              // 78
  float nl_inf_bending_pinion;              // 79
  float sigma_f_inf_wheel;                  // 80
  float nl_static_bending_wheel;            // 81
  float nl_lim_bending_wheel;               // 82
  float nl_inf_bending_wheel;               // 83
  float sigma_flim[2];                      // 84, 85
  float min_safety_factor_bending;          // 86, S_Fmin
  float thickness_nominal_normal_pinion;    // 87
  float thickness_finished_normal_pinion;   // 88
  float thickness_nominal_normal_wheel;     // 89
  float thickness_finished_normal_wheel;    // 90
  float yield_stress_pinion;                // 91
  float tensile_stress_pinion;              // 92
  float yield_stress_wheel;                 // 93
  float tensile_stress_wheel;               // 94
  float sigma_f_static[2];                  // 95, 96
  float bending_face_width[2];              // 97, 98
  int32_t hardness_scale;                   // 99: 0 HRC, 1 Brinell, 2 Vickers
};

static_assert(sizeof(RatingInput) == 99 * 4, "the rating input holds 99 four-byte values");

// Fills the record from the design data (the geometry pass must have run on the same inputs). The
// minimum safety factors are passed as 1.0, the spare slots as 0.
RatingInput make_rating_input(const DesignData& d);

// The rating inputs a rating needs that the design does not give, named as the rating input window
// names them: the material of both gears (Poisson's ratio, elastic modulus, the contact and bending
// stress numbers and their S-N curves), the load (pinion torque and speed), the application factor, the
// lubricant viscosity and the flank and fillet roughness. A program started without its default design
// file holds none of them (0, not given) until they are entered. Empty when every one is given.
std::vector<std::string> missing_rating_inputs(const DesignData& d);
// The same as one text, "application factor, lubricant viscosity and flank roughness"; empty when every
// one is given.
std::string missing_rating_inputs_text(const DesignData& d);

// Whether the design holds what a rating needs (missing_rating_inputs is empty). A design without it
// has nothing to rate: its rating counts as not run rather than as results that are not numbers.
bool rating_inputs_present(const DesignData& d);

}  // namespace morvell
