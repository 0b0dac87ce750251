// Conversion of a surface hardness between Rockwell C (HRC), Vickers (HV) and Brinell (HB).
#pragma once

#include <cstdint>

namespace morvell {

// The hardness scales of a design's `hardness_scale`: 0 HRC, 1 Brinell, 2 Vickers.
inline constexpr int32_t kHardnessScaleCount = 3;

// Conversion modes of `convert_hardness`.
enum HardnessConversion : int32_t {
  kHrcToHv = 1,
  kHrcToHb = 2,
  kHvToHrc = 3,
  kHbToHrc = 4,
  kHvToHb = 5,
  kHbToHv = 6,
};

// Converts `value` by the fixed conversion table: the result is the target of the largest table key
// not above the argument (no interpolation, no upper limit); an argument below the first key gives the
// mode's fixed value below the table. A mode outside 1 to 6 returns the argument unchanged; a NaN
// argument returns NaN.
float convert_hardness(float value, int32_t mode);

}  // namespace morvell
