// The ranges the windows take for the rating and load inputs of a design, in stored units (MPa, N m,
// rpm, h, um, mm^2/s). The windows refuse an entry outside them, and the design-file reader refuses a
// file value outside them, so that an opened design holds only what a user could have entered.
//
// Where the program itself derives a value beyond a window's entry range (a torque from a power and a
// speed, a running time from a number of cycles, a yield stress of 0 from the material table for cast
// irons), the range here is the one the derivations keep: only what no window and no derivation can
// give is refused.
#pragma once

#include <cstdint>

namespace morvell {

// The start-up holds 0 for every rating input and load value that the default design file provides; a
// design begun without that file keeps them at 0 until they are entered, and is stored and opened so.
// A file value of 0 in those fields is therefore taken as "not given" by the reader.
inline constexpr bool not_given(float v) { return v == 0.0f; }

// --- Rating input window ---
inline constexpr bool poisson_ok(float v) { return v > 0.2f && v <= 0.35f; }
inline constexpr bool modulus_ok(float v) { return v > 50000.0f && v <= 250000.0f; }  // MPa
inline constexpr bool yield_ok(float v) { return v > 100.0f && v <= 1500.0f; }         // MPa
inline constexpr bool tensile_ok(float v) { return v > 100.0f && v <= 3000.0f; }       // MPa
inline constexpr bool viscosity_ok(float v) { return v >= 30.0f && v <= 500.0f; }      // mm^2/s
inline constexpr bool misalignment_ok(float v) { return v >= 0.0f && v <= 1000.0f; }   // um
inline constexpr bool application_factor_ok(float v) { return v >= 1.0f && v <= 10.0f; }
inline constexpr bool pitch_error_ok(float v) { return v >= 0.0f && v <= 400.0f; }  // um
// A roughness entry (Ra or Rz, um); an Rz entry is held as Ra = Rz / 6.
inline constexpr bool roughness_ok(float v) { return v >= 0.1f && v <= 50.0f; }
inline constexpr float kLargestContactStressNumber = 2000.0f;  // sigma_Hlim, MPa
inline constexpr float kLargestBendingStressNumber = 800.0f;   // sigma_Flim, MPa
inline constexpr bool contact_stress_number_ok(float v) { return v > 0.0f && v <= kLargestContactStressNumber; }
inline constexpr bool bending_stress_number_ok(float v) { return v > 0.0f && v <= kLargestBendingStressNumber; }

// The material table gives cast irons no yield stress (0); a strength is otherwise entered.
inline constexpr bool stored_yield_ok(float v) { return v == 0.0f || yield_ok(v); }
inline constexpr bool stored_tensile_ok(float v) { return v == 0.0f || tensile_ok(v); }
// A roughness as held (Ra): an Ra entry, or an Rz entry divided by 6 as the window divides it.
inline constexpr float kSmallestHeldRoughness = float(static_cast<long double>(0.1f) / 6.0L);
inline constexpr bool stored_roughness_ok(float v) { return v >= kSmallestHeldRoughness && v <= 50.0f; }

// --- Load block (rating input and load-case windows) ---
inline constexpr bool speed_ok(float v) { return v > 0.0f && v <= 25000.0f; }       // rpm
inline constexpr bool torque_ok(float v) { return v > 0.0f && v <= 50000.0f; }      // N m
inline constexpr bool power_ok(float v) { return v > 0.0f && v <= 25000000.0f; }    // W
inline constexpr bool time_ok(float v) { return v > 0.0f && v <= 100000.0f; }       // h
inline constexpr bool cycles_ok(float v) { return v >= 0.0f && double(v) <= 1e99; }
inline constexpr bool load_fixed_for_ok(int32_t v) { return v == 1 || v == 2; }  // 1 pinion, 2 wheel
// Speed, torque and running time as a load case holds them: an entry or a value derived from entries
// (the pinion speed of a wheel speed, a torque of a power, the hours of a number of cycles), always
// greater than zero.
inline constexpr bool derived_load_ok(float v) { return v > 0.0f; }

// --- Main window and chamfer window ---
// A gear has 6 to 999 teeth: what the main window takes, and so what a search may offer it.
inline constexpr int32_t kFewestTeeth = 6;
inline constexpr int32_t kMostTeeth = 999;
inline constexpr bool teeth_ok(int32_t z) { return z >= kFewestTeeth && z <= kMostTeeth; }
// Each profile shift coefficient entered, and their sum, lie in -1 to 1.5; a gear's shift taking the rest
// of an entered sum therefore lies in -2.5 to 2.5.
inline constexpr bool shift_in_range(float x) { return x <= 1.5f && x >= -1.0f; }
inline constexpr bool gear_shift_ok(float x) { return x <= 2.5f && x >= -2.5f; }
inline constexpr float kLargestChamferAngle = 89.0f;  // degrees, edge and tip chamfers
inline constexpr bool edge_chamfer_angle_ok(float v) { return v >= 0.0f && v <= kLargestChamferAngle; }
// A tip chamfer angle also lies above the pressure angle at the outside diameter, which is above zero.
inline constexpr bool tip_chamfer_angle_ok(float v) { return v > 0.0f && v <= kLargestChamferAngle; }
inline constexpr bool backlash_distribution_ok(float v) { return v >= 0.0f && v <= 1.0f; }
inline constexpr bool on_off_ok(int32_t v) { return v == 0 || v == 1; }

// --- Constraints window ---
// A maximum tip diameter must leave the gear a tooth: above its root circle and its form circle. A
// minimum root diameter must lie below the gear's tip.
inline constexpr bool max_tip_diameter_ok(float v, float root_diameter, float form_diameter) {
  return v > root_diameter && v > form_diameter;
}
inline constexpr bool min_root_diameter_ok(float v, float tip_diameter) { return v < tip_diameter; }

}  // namespace morvell
