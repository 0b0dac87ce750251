#include "hardness.h"

#include <cstddef>

namespace morvell {

namespace {

// One row of the conversion table. The HRC keys are held in double: the whole-number and half keys
// are exact either way, while the fractional ones (68.7, 69.2, ...) compare as their 64-bit values,
// so a 32-bit 70.7, which is held just below, stays on the row below. hrc_f is the same HRC as a
// 32-bit value, the result of the conversions to HRC. hb is 0 where the table has no Brinell value.
struct HardnessRow {
  double hrc;
  float hrc_f;
  float hv;
  float hb;
};

#define ROW(hrc, hv, hb) {hrc, static_cast<float>(hrc), hv, hb}
constexpr HardnessRow kTable[] = {
    ROW(10, 196, 187),  ROW(12, 204, 194),  ROW(14, 213, 203),  ROW(16, 222, 212),  ROW(18, 230, 219),
    ROW(20, 238, 226),  ROW(21, 243, 231),  ROW(22, 248, 237),  ROW(23, 254, 243),  ROW(24, 260, 247),
    ROW(25, 266, 253),  ROW(26, 272, 258),  ROW(27, 279, 264),  ROW(28, 286, 271),  ROW(29, 294, 279),
    ROW(30, 302, 286),  ROW(31, 310, 294),  ROW(32, 318, 301),  ROW(33, 327, 311),  ROW(34, 336, 319),
    ROW(35, 345, 327),  ROW(36, 354, 336),  ROW(37, 363, 344),  ROW(38, 372, 353),  ROW(39, 382, 362),
    ROW(40, 392, 371),  ROW(41, 402, 381),  ROW(42, 412, 390),  ROW(43, 423, 400),  ROW(44, 434, 409),
    ROW(45, 446, 421),  ROW(46, 458, 432),  ROW(47, 471, 442),  ROW(48, 484, 451),  ROW(49, 498, 464),
    ROW(50, 513, 475),  ROW(51, 528, 487),  ROW(52, 544, 500),  ROW(53, 560, 0),    ROW(54, 577, 0),
    ROW(55, 595, 0),    ROW(56, 613, 0),    ROW(57, 633, 0),    ROW(58, 653, 0),    ROW(59, 674, 0),
    ROW(60, 697, 0),    ROW(61, 720, 0),    ROW(62, 746, 0),    ROW(63, 772, 0),    ROW(64, 800, 0),
    ROW(65, 832, 0),    ROW(66, 865, 0),    ROW(67, 900, 0),    ROW(68, 940, 0),    ROW(68.7, 950, 0),
    ROW(69, 960, 0),    ROW(69.2, 970, 0),  ROW(69.5, 980, 0),  ROW(69.7, 990, 0),  ROW(69.9, 1000, 0),
    ROW(70.1, 1010, 0), ROW(70.3, 1020, 0), ROW(70.5, 1030, 0), ROW(70.7, 1040, 0), ROW(70.9, 1050, 0),
};
#undef ROW
constexpr size_t kRows = sizeof(kTable) / sizeof(kTable[0]);
static_assert(kRows == 65);

constexpr size_t kFirstHvRow = 5;   // HRC 20: the conversions between HRC and HV start here
constexpr size_t kBrinellRows = 38; // HRC 10 to 52 carry a Brinell value

enum Column { kHrc, kHv, kHb };

long double key_of(const HardnessRow& row, Column c) {
  switch (c) {
    case kHrc: return row.hrc;
    case kHv: return row.hv;
    case kHb: return row.hb;
  }
  return 0;
}

float target_of(const HardnessRow& row, Column c) {
  switch (c) {
    case kHrc: return row.hrc_f;
    case kHv: return row.hv;
    case kHb: return row.hb;
  }
  return 0;
}

// Steps through the rows [first, last) in ascending order: every key not above the argument takes
// its row's target, so the last such key wins.
float step_lookup(float value, Column from, Column to, size_t first, size_t last, float below) {
  const long double v = value;
  float result = value;  // only a NaN argument passes every test below untouched
  if (v < key_of(kTable[first], from)) result = below;
  for (size_t i = first; i < last; ++i)
    if (key_of(kTable[i], from) <= v) result = target_of(kTable[i], to);
  return result;
}

// Between the first and the last key of the rows [first, last): the straight line between the two
// rows the argument lies between (keys of a column rise from row to row); elsewhere the stepped
// lookup.
float interpolated_lookup(float value, Column from, Column to, size_t first, size_t last, float below) {
  const long double v = value;
  if (!(v > key_of(kTable[first], from) && v < key_of(kTable[last - 1], from)))
    return step_lookup(value, from, to, first, last, below);
  size_t i = first;
  while (i + 2 < last && key_of(kTable[i + 1], from) <= v) ++i;
  const long double k0 = key_of(kTable[i], from), k1 = key_of(kTable[i + 1], from);
  const long double t0 = target_of(kTable[i], to), t1 = target_of(kTable[i + 1], to);
  return static_cast<float>(t0 + (t1 - t0) * (v - k0) / (k1 - k0));
}

struct ConversionRows {
  Column from, to;
  size_t first, last;
  float below;
};

// The rows and the value below the table of each conversion mode; mode 0 marks no conversion.
bool conversion_rows(int32_t mode, ConversionRows& r) {
  switch (mode) {
    case kHrcToHv: r = {kHrc, kHv, kFirstHvRow, kRows, 230.0f}; return true;
    case kHrcToHb: r = {kHrc, kHb, 0, kBrinellRows, 179.0f}; return true;
    case kHvToHrc: r = {kHv, kHrc, kFirstHvRow, kRows, 18.0f}; return true;
    case kHbToHrc: r = {kHb, kHrc, 0, kBrinellRows, 8.0f}; return true;
    case kHvToHb: r = {kHv, kHb, 0, kBrinellRows, 179.0f}; return true;
    case kHbToHv: r = {kHb, kHv, 0, kBrinellRows, 188.0f}; return true;
    default: return false;
  }
}

}  // namespace

float interpolate_hardness(float value, int32_t mode) {
  ConversionRows r;
  if (!conversion_rows(mode, r)) return value;
  return interpolated_lookup(value, r.from, r.to, r.first, r.last, r.below);
}

float convert_hardness(float value, int32_t mode) {
  ConversionRows r;
  if (!conversion_rows(mode, r)) return value;
  return step_lookup(value, r.from, r.to, r.first, r.last, r.below);
}

}  // namespace morvell
