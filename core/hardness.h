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

// The same conversion read between the rows: within the table's range of the mode's keys the result
// runs on a straight line from one row's target to the next, so that it never steps between two keys;
// outside that range it is what convert_hardness gives. Both directions of a pair of scales use the same
// rows, so a value taken to another scale and back comes back within the rounding of a float. This is
// the conversion of a hardness to another scale by the rating and by a change of the scale.
float interpolate_hardness(float value, int32_t mode);

}  // namespace morvell
