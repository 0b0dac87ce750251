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
inline constexpr float kLargestPitchError = 400.0f;  // um
inline constexpr bool pitch_error_ok(float v) { return v >= 0.0f && v <= kLargestPitchError; }
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
// The normal pressure angle (degrees).
inline constexpr float kSmallestPressureAngle = 10.0f;
inline constexpr float kLargestPressureAngle = 30.0f;
inline constexpr bool pressure_angle_ok(float a) { return a >= kSmallestPressureAngle && a <= kLargestPressureAngle; }
inline constexpr bool backlash_distribution_ok(float v) { return v >= 0.0f && v <= 1.0f; }
inline constexpr bool on_off_ok(int32_t v) { return v == 0 || v == 1; }

// Lengths bounded by the module (mm): each is 0 up to its share of the normal module m_n, the share
// taken in long double and the bound rounded to the stored float, so that the bound the window names
// is itself taken.
inline constexpr long double kChamferPerModule = 0.25L;      // edge and tip chamfers
inline constexpr long double kFilletPerModule = 1.0L;        // root fillet radius
inline constexpr long double kProtuberancePerModule = 0.1L;  // protuberance
inline constexpr float module_share(long double share, float module) { return float(share * module); }
inline constexpr bool per_module_ok(float v, long double share, float module) {
  return v >= 0.0f && v <= module_share(share, module);
}

// Ranges that depend on another value of the design. The windows judge an entry by them, and the
// geometry warnings judge the values again whenever what bounds them changes (a smaller module, a
// narrower face), bring them back to their bound and say so.
// An edge chamfer also takes at most this share of its gear's face width, so that half the face is left
// between the chamfers at its two ends.
inline constexpr long double kEdgeChamferPerFaceWidth = 0.25L;
inline constexpr float largest_edge_chamfer(float module, float face_width) {
  const float by_module = module_share(kChamferPerModule, module);
  const float by_face = float(kEdgeChamferPerFaceWidth * (face_width > 0.0f ? face_width : 0.0f));
  return by_module < by_face ? by_module : by_face;
}
inline constexpr float largest_tip_chamfer(float module) { return module_share(kChamferPerModule, module); }
// The geometry constraints bounded by the module: the least radial distances from the form circle to
// the start of active profile and from the base circle to the form circle (mm), each at most half the
// module, and the least root fillet radius factor, at most the module's number of mm.
inline constexpr long double kFormToSapPerModule = 0.5L;
inline constexpr long double kBaseToFormPerModule = 0.5L;
inline constexpr long double kRootFilletConstraintPerModule = 1.0L;
// The rack dedendum coefficient (h_f / m_n + x) the main window takes at most.
inline constexpr float kLargestRackDedendum = 3.0f;

// --- Basic rack (standard rack window and the rack database data.dat) ---
// A basic rack sets the tooth proportions of both gears in Standard Rack mode, so each of its values is
// judged by the range of the value it sets: the pressure angle by the normal pressure angle's, the
// fillet radius coefficient by the root fillet's (0 to kFilletPerModule), the dedendum coefficient by
// the main window's rack dedendum (at most kLargestRackDedendum). The addendum coefficient and the
// lower side of the dedendum are bounded by the height of the rack tooth: addendum and dedendum together
// above zero, or the root lies at or above the tip; where the tip stands against the form circle
// depends on the design and is judged when the rack is taken into it. The protuberance (mm), kept with
// a rack but not applied to the design, is never negative. Coefficients and protuberance stay within
// kMaxRackValue, far beyond any rack, so that every length derived from them stays a number.
inline constexpr float kMaxRackValue = 100.0f;
inline constexpr bool rack_addendum_ok(float v) { return v >= -kMaxRackValue && v <= kMaxRackValue; }
inline constexpr bool rack_dedendum_ok(float v) { return v >= -kMaxRackValue && v <= kLargestRackDedendum; }
inline constexpr bool rack_fillet_ok(float v) { return v >= 0.0f && v <= float(kFilletPerModule); }
inline constexpr bool rack_protuberance_ok(float v) { return v >= 0.0f && v <= kMaxRackValue; }
inline constexpr bool rack_height_ok(float addendum, float dedendum) {
  return static_cast<long double>(addendum) + dedendum > 0.0L;
}

}  // namespace morvell
