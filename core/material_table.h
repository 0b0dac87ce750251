// Typical material values of the twelve material types of the rating, and the estimate of the S-N
// (fatigue) curves for contact and bending of each gear from its material type and stress numbers.
#pragma once

#include <cstdint>

namespace morvell {

struct DesignData;

// The material types 0..11 (type 0 "Input").
inline constexpr int32_t kMaterialTypeCount = 12;

// Whether the material type allows limited flank pitting. The types that allow none: "Input", grey cast
// iron, ferritic nodular cast iron and the nitrided and nitrocarburized steels.
bool allows_limited_pitting(int32_t material_type);

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

}  // namespace morvell
