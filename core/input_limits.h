// The ranges the windows take for the inputs of a design, in stored units (mm, degrees, MPa, N m, rpm,
// h, um, mm^2/s): the one home of each range. The windows refuse an entry outside them, the design-file
// reader refuses a file value outside them and the messages of both name the bounds from here, so that
// an opened design holds only what a user could have entered.
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

// A range of a value: from `lowest` (excluded when `above` is set) up to and including `highest`. The
// checks below and every message naming a bound read it from here.
struct ValueRange {
  float lowest;
  float highest;
  bool above;  // the value must lie above `lowest`, not on it
};
inline constexpr bool within(const ValueRange& r, float v) {
  return (r.above ? v > r.lowest : v >= r.lowest) && v <= r.highest;
}

// --- Rating input window ---
inline constexpr ValueRange kPoissonRange{0.2f, 0.35f, true};
inline constexpr ValueRange kModulusRange{50000.0f, 250000.0f, true};  // MPa
inline constexpr ValueRange kYieldRange{100.0f, 1500.0f, true};        // MPa
inline constexpr ValueRange kTensileRange{100.0f, 3000.0f, true};      // MPa
inline constexpr ValueRange kViscosityRange{30.0f, 500.0f, false};     // mm^2/s
inline constexpr ValueRange kMisalignmentRange{0.0f, 1000.0f, false};  // um
inline constexpr ValueRange kApplicationFactorRange{1.0f, 10.0f, false};
inline constexpr ValueRange kPitchErrorRange{0.0f, 400.0f, false};  // um
inline constexpr ValueRange kRoughnessRange{0.1f, 50.0f, false};    // um, an Ra or Rz entry
inline constexpr ValueRange kContactStressNumberRange{0.0f, 2000.0f, true};  // sigma_Hlim, MPa
inline constexpr ValueRange kBendingStressNumberRange{0.0f, 800.0f, true};   // sigma_Flim, MPa
inline constexpr bool poisson_ok(float v) { return within(kPoissonRange, v); }
inline constexpr bool modulus_ok(float v) { return within(kModulusRange, v); }
inline constexpr bool yield_ok(float v) { return within(kYieldRange, v); }
inline constexpr bool tensile_ok(float v) { return within(kTensileRange, v); }
inline constexpr bool viscosity_ok(float v) { return within(kViscosityRange, v); }
inline constexpr bool misalignment_ok(float v) { return within(kMisalignmentRange, v); }
inline constexpr bool application_factor_ok(float v) { return within(kApplicationFactorRange, v); }
inline constexpr float kLargestPitchError = kPitchErrorRange.highest;
inline constexpr bool pitch_error_ok(float v) { return within(kPitchErrorRange, v); }
// A roughness entry (Ra or Rz, um); an Rz entry is held as Ra = Rz / 6.
inline constexpr bool roughness_ok(float v) { return within(kRoughnessRange, v); }
inline constexpr float kLargestContactStressNumber = kContactStressNumberRange.highest;
inline constexpr float kLargestBendingStressNumber = kBendingStressNumberRange.highest;
inline constexpr bool contact_stress_number_ok(float v) { return within(kContactStressNumberRange, v); }
inline constexpr bool bending_stress_number_ok(float v) { return within(kBendingStressNumberRange, v); }

// The material table gives cast irons no yield stress (0); a strength is otherwise entered.
inline constexpr bool stored_yield_ok(float v) { return v == 0.0f || yield_ok(v); }
inline constexpr bool stored_tensile_ok(float v) { return v == 0.0f || tensile_ok(v); }
// A roughness as held (Ra): an Ra entry, or an Rz entry divided by 6 as the window divides it.
inline constexpr float kSmallestHeldRoughness = float(static_cast<long double>(kRoughnessRange.lowest) / 6.0L);
inline constexpr ValueRange kHeldRoughnessRange{kSmallestHeldRoughness, kRoughnessRange.highest, false};
inline constexpr bool stored_roughness_ok(float v) { return within(kHeldRoughnessRange, v); }

// --- Load block (rating input and load-case windows) ---
inline constexpr ValueRange kSpeedRange{0.0f, 25000.0f, true};        // rpm
inline constexpr ValueRange kTorqueRange{0.0f, 50000.0f, true};       // N m
inline constexpr ValueRange kPowerRange{0.0f, 25000000.0f, true};     // W
inline constexpr ValueRange kRunningTimeRange{0.0f, 100000.0f, true};  // h
inline constexpr bool speed_ok(float v) { return within(kSpeedRange, v); }
inline constexpr bool torque_ok(float v) { return within(kTorqueRange, v); }
inline constexpr bool power_ok(float v) { return within(kPowerRange, v); }
inline constexpr float kLongestRunningTime = kRunningTimeRange.highest;
inline constexpr bool time_ok(float v) { return within(kRunningTimeRange, v); }
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
// The normal module (mm), entered or derived from a fixed centre distance.
inline constexpr float kSmallestModule = 0.5f;
inline constexpr float kLargestModule = 25.4f;
inline constexpr bool module_ok(float m) { return m >= kSmallestModule && m <= kLargestModule; }
// With the module and the centre distance fixed (the numbers of teeth follow), a centre distance is
// taken only while the module it would need for the current numbers of teeth stays at most this.
inline constexpr float kLargestModuleOfFixedCentre = 20.0f;
// The normal pressure angle (degrees).
inline constexpr float kSmallestPressureAngle = 10.0f;
inline constexpr float kLargestPressureAngle = 30.0f;
inline constexpr bool pressure_angle_ok(float a) { return a >= kSmallestPressureAngle && a <= kLargestPressureAngle; }
// The helix angle (degrees): 0 up to below 45; an entry of 45 or more is held at kLargestHelixAngle.
inline constexpr float kHelixAngleBound = 45.0f;
inline constexpr float kLargestHelixAngle = 44.99f;
inline constexpr bool helix_angle_ok(float b) { return b >= 0.0f && b < kHelixAngleBound; }
// The centre distance (mm): greater than zero and at most this.
inline constexpr float kLargestCentreDistance = 5000.0f;
inline constexpr bool centre_distance_ok(float a) { return a > 0.0f && a <= kLargestCentreDistance; }
// The face width of each gear (mm): greater than zero and at most this; an entry of zero or less is
// held at kSmallestFaceWidth.
inline constexpr float kSmallestFaceWidth = 0.1f;
inline constexpr float kLargestFaceWidth = 1000.0f;
inline constexpr bool face_width_ok(float b) { return b > 0.0f && b <= kLargestFaceWidth; }
// The desired ratio z2 / z1, and the pinion's aspect ratio of the sizing (reference diameter / face
// width).
inline constexpr float kSmallestRatio = 1.0f;
inline constexpr float kLargestRatio = 20.0f;
inline constexpr bool ratio_ok(float u) { return u >= kSmallestRatio && u <= kLargestRatio; }
inline constexpr float kSmallestAspectRatio = 1.0f;
inline constexpr float kLargestAspectRatio = 20.0f;
// Each profile shift coefficient entered, and their sum, lie in -1 to 1.5; a gear's shift taking the rest
// of an entered sum therefore lies in -2.5 to 2.5.
inline constexpr float kSmallestShift = -1.0f;
inline constexpr float kLargestShift = 1.5f;
inline constexpr bool shift_in_range(float x) { return x <= kLargestShift && x >= kSmallestShift; }
inline constexpr bool gear_shift_ok(float x) {
  return x <= kLargestShift - kSmallestShift && x >= kSmallestShift - kLargestShift;
}
inline constexpr float kLargestChamferAngle = 89.0f;  // degrees, edge and tip chamfers
inline constexpr bool edge_chamfer_angle_ok(float v) { return v >= 0.0f && v <= kLargestChamferAngle; }
// A tip chamfer angle also lies above the pressure angle at the outside diameter, which is above zero.
inline constexpr bool tip_chamfer_angle_ok(float v) { return v > 0.0f && v <= kLargestChamferAngle; }
inline constexpr bool backlash_distribution_ok(float v) { return v >= 0.0f && v <= 1.0f; }
inline constexpr bool on_off_ok(int32_t v) { return v == 0 || v == 1; }

// Lengths bounded by the module (mm): each is 0 up to its share of the normal module m_n, the share
// taken in long double and the bound rounded to the stored float, so that the bound the window names
// is itself taken.
inline constexpr long double kChamferPerModule = 0.25L;      // edge and tip chamfers
inline constexpr long double kFilletPerModule = 1.0L;        // root fillet radius
inline constexpr long double kProtuberancePerModule = 0.1L;  // protuberance
inline constexpr long double kBacklashPerModule = 0.15L;     // normal backlash
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
// With the geometry manager active the backlash entered is worked out again from the teeth thinned for
// it, which gives back an entry at a bound within float rounding: a backlash held so may pass the bounds
// by this share of the largest.
inline constexpr long double kHeldBacklashRounding = 1e-4L;
inline constexpr bool held_backlash_ok(float v, float module) {
  return v >= -module_share(kBacklashPerModule * kHeldBacklashRounding, module) &&
         v <= module_share(kBacklashPerModule * (1.0L + kHeldBacklashRounding), module);
}
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

// The axial offset of the wheel's face (mm) lies within this share of the common face width either way.
inline constexpr long double kFaceOffsetShare = 0.99L;
inline constexpr float largest_face_offset(float common_face_width) {
  return float(kFaceOffsetShare * (common_face_width < 0.0f ? -common_face_width : common_face_width));
}
inline constexpr bool face_offset_ok(float offset, float common_face_width) {
  return offset <= largest_face_offset(common_face_width) && offset >= -largest_face_offset(common_face_width);
}

// The surface hardness each scale takes (hardness_scale 0 HRC, 1 Brinell, 2 Vickers).
struct HardnessRange {
  float lowest;
  float highest;
};
inline constexpr HardnessRange kHardnessRanges[3] = {{20.0f, 70.9f}, {187.0f, 500.0f}, {238.0f, 1050.0f}};
inline constexpr bool hardness_ok(float h, int32_t scale) {
  return scale >= 0 && scale < 3 && h >= kHardnessRanges[scale].lowest && h <= kHardnessRanges[scale].highest;
}
// A hardness as held: an entry, the material table's (whose softest steels lie below 20 HRC), or either
// converted to another scale, whose table reaches from 8 HRC, 179 BHN and 188 HV up to the entries'
// highest values.
inline constexpr HardnessRange kHeldHardnessRanges[3] = {{8.0f, 70.9f}, {179.0f, 500.0f}, {188.0f, 1050.0f}};
inline constexpr bool stored_hardness_ok(float h, int32_t scale) {
  return scale >= 0 && scale < 3 && h >= kHeldHardnessRanges[scale].lowest &&
         h <= kHeldHardnessRanges[scale].highest;
}

// The geometry constraints: each from 0 up to `upper` + `per_module` x m_n, compared in double as
// entered (the diameters are bounded only by what a number can hold).
struct ConstraintRange {
  double upper;
  double per_module;
};
inline constexpr ConstraintRange kThicknessConstraint{0.75, 0.0};          // tip and EAP thickness / m_n
inline constexpr ConstraintRange kClearanceConstraint{1.0, 0.0};           // bottom clearance / m_n
inline constexpr ConstraintRange kRootFilletConstraint{0.0, double(kRootFilletConstraintPerModule)};  // / m_n
inline constexpr ConstraintRange kRadialDistanceConstraint{0.0, double(kFormToSapPerModule)};  // form to SAP, mm
static_assert(kFormToSapPerModule == kBaseToFormPerModule, "one range for both radial distances");
inline constexpr ConstraintRange kDiameterConstraint{1e99, 0.0};           // tip and root diameters, mm
inline constexpr double constraint_bound(const ConstraintRange& r, float module) {
  return r.upper + r.per_module * double(module);
}
inline constexpr bool constraint_ok(float v, const ConstraintRange& r, float module) {
  return double(v) >= 0 && double(v) <= constraint_bound(r, module);
}

// Load cases: the table holds kLoadCaseTableSize, the windows, the list and the design file at most
// kLoadCasesUsable (design_data.h).

// --- Constraints window ---
// A maximum tip diameter must leave the gear a tooth: above its root circle and its form circle. A
// minimum root diameter must lie below the gear's tip.
inline constexpr bool max_tip_diameter_ok(float v, float root_diameter, float form_diameter) {
  return v > root_diameter && v > form_diameter;
}
inline constexpr bool min_root_diameter_ok(float v, float tip_diameter) { return v < tip_diameter; }

}  // namespace morvell
