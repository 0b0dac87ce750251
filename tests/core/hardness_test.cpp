#include "hardness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace morvell;

namespace {
struct Case {
  float in;
  int32_t mode;
  float out;
};

void expect_cases(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c)
    EXPECT_EQ(convert_hardness(c->in, c->mode), c->out) << "value " << c->in << " mode " << c->mode;
}
}  // namespace

TEST(ConvertHardness, KeysAndValuesBetweenKeysTakeTheLowerRow) {
  const Case cases[] = {
      // Exact keys, including the first and last key of each mode.
      {20, kHrcToHv, 238},   {70.9f, kHrcToHv, 1050}, {10, kHrcToHb, 187},   {52, kHrcToHb, 500},
      {238, kHvToHrc, 20},   {1050, kHvToHrc, 70.9f}, {950, kHvToHrc, 68.7f}, {187, kHbToHrc, 10},
      {500, kHbToHrc, 52},   {196, kHvToHb, 187},     {544, kHvToHb, 500},    {187, kHbToHv, 196},
      {500, kHbToHv, 544},   {45, kHrcToHv, 446},     {45, kHrcToHb, 421},    {421, kHbToHv, 446},
      // Between keys: no interpolation.
      {36.5f, kHrcToHb, 336}, {36.99f, kHrcToHv, 354}, {19.9f, kHrcToHb, 219}, {999.9f, kHvToHrc, 69.7f},
      {320.5f, kHbToHrc, 34}, {300, kHvToHb, 279},     {300, kHbToHv, 310},    {68.9f, kHrcToHv, 950},
  };
  expect_cases(std::begin(cases), std::end(cases));
}

TEST(ConvertHardness, BelowAndAboveTheTable) {
  const Case cases[] = {
      // Below the first key each mode gives its own fixed value.
      {19.99f, kHrcToHv, 230}, {0, kHrcToHv, 230},  {9.99f, kHrcToHb, 179}, {237.9f, kHvToHrc, 18},
      {186.9f, kHbToHrc, 8},   {195, kHvToHb, 179}, {186, kHbToHv, 188},    {-5, kHbToHv, 188},
      // The modes to HRC and HV start at HRC 20 / HV 238, not at the first row of the table.
      {18, kHrcToHv, 230},     {230, kHvToHrc, 18},
      // Above the last key the last row holds, with no upper limit.
      {53, kHrcToHb, 500},     {80, kHrcToHb, 500}, {600, kHvToHb, 500},    {2000, kHvToHb, 500},
      {75, kHrcToHv, 1050},    {5000, kHvToHrc, 70.9f}, {800, kHbToHrc, 52}, {800, kHbToHv, 544},
  };
  expect_cases(std::begin(cases), std::end(cases));
}

TEST(ConvertHardness, FractionalHrcKeysCompareAgainstTheir64BitValues) {
  // A 32-bit 68.7 is held just below the 64-bit key 68.7 and stays on the row below; 69.5 and 70.5
  // are exact, and 69.9, 70.3 and 70.9 are held just above their keys.
  const Case cases[] = {
      {68.7f, kHrcToHv, 940},  {69.2f, kHrcToHv, 960},  {69.7f, kHrcToHv, 980},  {70.1f, kHrcToHv, 1000},
      {70.7f, kHrcToHv, 1030}, {69.5f, kHrcToHv, 980},  {69.9f, kHrcToHv, 1000}, {70.3f, kHrcToHv, 1020},
      {70.5f, kHrcToHv, 1030}, {70.9f, kHrcToHv, 1050}, {69.0f, kHrcToHv, 960},
      {std::nextafter(70.7f, 100.0f), kHrcToHv, 1040}, {std::nextafter(68.7f, 100.0f), kHrcToHv, 950},
  };
  expect_cases(std::begin(cases), std::end(cases));
}

TEST(ConvertHardness, InverseModesReturnTheStartingKey) {
  const float hrc_keys[] = {10, 12, 14, 16, 18, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36,
                            37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58,
                            59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 68.7f, 69, 69.2f, 69.5f, 69.7f, 69.9f, 70.1f,
                            70.3f, 70.5f, 70.7f, 70.9f};
  // These HRC values are held below their 64-bit keys: HRC -> HV lands one row lower.
  const float held_below[] = {68.7f, 69.2f, 69.7f, 70.1f, 70.7f};
  for (float hrc : hrc_keys) {
    const bool below = std::find(std::begin(held_below), std::end(held_below), hrc) != std::end(held_below);
    if (hrc >= 20) {
      const float hv = convert_hardness(hrc, kHrcToHv);
      if (!below) EXPECT_EQ(convert_hardness(hv, kHvToHrc), hrc) << hrc;
      else EXPECT_LT(convert_hardness(hv, kHvToHrc), hrc) << hrc;
    }
    if (hrc <= 52) {
      const float hb = convert_hardness(hrc, kHrcToHb);
      EXPECT_EQ(convert_hardness(hb, kHbToHrc), hrc) << hrc;
      // HB keys back and forth to HV through the same rows.
      const float hv = convert_hardness(hb, kHbToHv);
      EXPECT_EQ(convert_hardness(hv, kHvToHb), hb) << hrc;
      EXPECT_EQ(convert_hardness(convert_hardness(hb, kHbToHrc), kHrcToHb), hb) << hrc;
    }
  }
}

TEST(ConvertHardness, ResultsAscendWithTheArgument) {
  for (int32_t mode = 1; mode <= 6; ++mode) {
    float previous = convert_hardness(0, mode);
    for (float v = 0; v <= 1200; v += 0.05f) {
      const float r = convert_hardness(v, mode);
      ASSERT_GE(r, previous) << "mode " << mode << " at " << v;
      previous = r;
    }
  }
}

TEST(ConvertHardness, UnknownModeAndNaNPassTheArgumentThrough) {
  EXPECT_EQ(convert_hardness(45, 0), 45);
  EXPECT_EQ(convert_hardness(45, 7), 45);
  EXPECT_EQ(convert_hardness(300, -1), 300);
  EXPECT_TRUE(std::isnan(convert_hardness(std::nanf(""), kHrcToHb)));
}
