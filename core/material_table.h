// Typical material values of the twelve material types of the rating, and the estimate of the S-N
// (fatigue) curves for contact and bending of each gear from its material type and stress numbers.
#pragma once

#include <cstdint>
#include <string>

namespace morvell {

struct DesignData;

// The material types, as the design data holds them (material_type) and the material lists number their
// items. "Input" is a material whose values the user enters: the rules that depend on the material
// rate it as Steel unless they say otherwise.
enum class MaterialType : int32_t {
  Input = 0,
  Steel = 1,
  ThroughHardenedSteel = 2,
  GreyCastIron = 3,
  PearliticNodularCastIron = 4,  // pearlitic, bainitic
  FerriticNodularCastIron = 5,
  BlackMalleableCastIron = 6,
  CaseHardenedSteel = 7,
  FlameOrInductionHardenedSteel = 8,
  NitridedNitridingSteel = 9,
  NitridedThroughOrCaseHardeningSteel = 10,
  NitrocarburizedSteel = 11,
};
inline constexpr int32_t kMaterialTypeCount = 12;
inline constexpr bool material_type_ok(int32_t type) { return type >= 0 && type < kMaterialTypeCount; }

// The material a rule of the rating takes for a type: "Input" (and a type outside the list) as Steel.
inline constexpr MaterialType rated_material(int32_t type) {
  return type >= 1 && type < kMaterialTypeCount ? MaterialType(type) : MaterialType::Steel;
}

// Whether a gear of the type may be rated with limited flank pitting: the steels without a surface
// treatment that ends its pitting resistance, and the cast irons that stand some pitting. "Input" does
// not (its curves are estimated as Steel's without it).
inline constexpr bool allows_limited_pitting(int32_t type) {
  switch (type) {
    case int32_t(MaterialType::Steel):
    case int32_t(MaterialType::ThroughHardenedSteel):
    case int32_t(MaterialType::PearliticNodularCastIron):
    case int32_t(MaterialType::BlackMalleableCastIron):
    case int32_t(MaterialType::CaseHardenedSteel):
    case int32_t(MaterialType::FlameOrInductionHardenedSteel):
      return true;
    default:
      return false;
  }
}

// The surface-hardened types: case, flame or induction hardened, nitrided and nitrocarburized steels.
inline constexpr bool surface_hardened(MaterialType type) {
  switch (type) {
    case MaterialType::CaseHardenedSteel:
    case MaterialType::FlameOrInductionHardenedSteel:
    case MaterialType::NitridedNitridingSteel:
    case MaterialType::NitridedThroughOrCaseHardeningSteel:
    case MaterialType::NitrocarburizedSteel:
      return true;
    default:
      return false;
  }
}

// The name of a material type as the material lists show it, the item index being the type ("Input",
// "Steel", ..., "Through and Case Hardening Steel, Nitrocarburized"); "" for a type outside 0..11.
const char* material_type_name(int32_t material_type);
// The name the rating reports print: the list's name, but "Material Input" for type 0.
const char* material_report_name(int32_t material_type);

// Writes the typical allowable contact and bending stress numbers (MPa), surface hardness, modulus of
// elasticity (MPa), yield stress and tensile strength (MPa) and Poisson's ratio of the material type
// (0..11; type 0 "Input" takes the values of type 1 "Steel"). The table holds the hardness in HRC; it is
// written converted into `hardness_scale` (0 HRC, 1 Brinell, 2 Vickers). A type outside 0..11 writes
// nothing.
void material_properties(float* sigma_hlim, float* sigma_flim, float* hardness, float* elastic_modulus,
                         float* yield_stress, float* tensile_strength, float* poisson_ratio, int32_t material_type,
                         int32_t hardness_scale);

// The same for one gear of the design (0 pinion, 1 wheel), from its `material_type` into its own fields,
// with the hardness in the design's `hardness_scale`.
void material_properties(DesignData& d, int gear);

// For each gear whose `sn_estimate` is 1, estimates its contact and bending S-N points from its material
// type, `sigma_hlim` and `sigma_flim` (type 0 "Input" as type 1 "Steel", without limited pitting: the
// curves a rating uses belong to the stress numbers it uses); then, for each gear without limited
// pitting (`limited_pitting` 0), puts the limited-pitting point on the endurance knee.
void updateSNcurves(DesignData& d);

// One material for both gears, as the sizing takes it: the type's material values for each gear and its
// S-N curves estimated from them (`sn_estimate` 1).
void estimate_material(DesignData& d, int32_t material_type);

// What keeps a gear's S-N curves from being a curve, or an empty problem. The points of a curve lie at
// rising load cycles (contact: static, limited pitting, endurance knee, infinite life, the limited
// pitting point at most at the knee, on it while limited pitting is off; bending: static, knee, infinite
// life), and each of its stresses and cycle counts is greater than zero. The stress numbers sigma_Hlim
// and sigma_Flim have their own ranges (input_limits.h) and are not judged here.
//   whole: as the design file holds the curves, each of the two either complete or wholly 0 (not given,
//          as a design begun without the default design file holds them);
//   not whole: as the S-N window takes an entry, the values not given yet (0) passed over: the values
//          given are greater than zero and their cycles rise.
// `value`, when the curve has a problem, is the field the message names.
struct SnCurveProblem {
  std::string text;  // e.g. "contact static cycles (pinion) 1e+08 must be less than ... 5e+07"
  const float* value = nullptr;
  bool ok() const { return text.empty(); }
};
SnCurveProblem sn_curve_problem(const DesignData& d, int gear, bool whole);

}  // namespace morvell
