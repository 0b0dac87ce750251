#include "tolerances.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <memory>

#include "design_data.h"

using namespace morvell;

TEST(RoundTolerance, StepsOfTenthsHalvesAndWholes) {
  const struct {
    float in, out;
  } cases[] = {
      {0.04f, 0},    {0.05f, 0.1f}, {0.149f, 0.1f}, {0.15f, 0.2f}, {0.96f, 1},     {4.349f, 4.3f},
      {4.94f, 4.9f}, {4.951f, 5},   {4.99f, 5},     {5.24f, 5},    {5.25f, 5.5f},  {7.74f, 7.5f},
      {7.75f, 8},    {9.74f, 9.5f}, {9.75f, 10},    {9.99f, 10},   {10.49f, 10},   {10.5f, 11},
      {123.5f, 124}, {0, 0},
      // Decimal ties that 32 bits hold slightly below round down, those held above round up.
      {4.35f, 4.3f}, {0.35f, 0.3f}, {0.45f, 0.4f}, {1.15f, 1.1f}, {4.95f, 4.9f},
      {2.45f, 2.5f}, {0.55f, 0.6f},
  };
  for (auto c : cases) EXPECT_EQ(round_tolerance(c.in), c.out) << c.in;
}

TEST(RoundTolerance, RoundedValuesRoundToThemselves) {
  for (int i = 0; i < 50; ++i) {
    const float v = static_cast<float>(i / 10.0L);
    EXPECT_EQ(round_tolerance(v), v) << v;
  }
  for (int i = 10; i < 20; ++i) EXPECT_EQ(round_tolerance(i * 0.5f), i * 0.5f);
  for (int i = 10; i < 2000; ++i) EXPECT_EQ(round_tolerance(static_cast<float>(i)), static_cast<float>(i));
}

namespace {
using Block = std::array<float, 12>;

Block block_of(const GearDeviations& g) {
  return {g.f_pt, g.F_p, g.F_alpha, g.f_f_alpha, g.f_H_alpha, g.F_i2,
          g.f_i2, g.F_beta, g.f_f_beta, g.f_H_beta, g.f_i1, g.F_i1};
}

// Gear pair inputs of the reference case: d = 50 (20 < d <= 50), m_n = 2 (0.5 <= m <= 2, radial
// 1.5 < m <= 2.5), b = 20 (10 < b <= 20), eps_alpha 1.5 + eps_beta 1.0.
struct Inputs {
  float d = 50, m_n = 2, eps_beta = 1.0f, eps_alpha = 1.5f, b = 20;
  int32_t q = 5;
};

class AccuracyGradeTolerances : public ::testing::Test {
 protected:
  std::unique_ptr<DesignData> design = std::make_unique<DesignData>();

  float run(const Inputs& in, int32_t gear = 1) {
    return accuracy_grade_tolerances(*design, in.d, in.q, in.m_n, in.eps_beta, in.eps_alpha, in.b, gear);
  }
  Block pinion(const Inputs& in) {
    run(in);
    return block_of(design->iso1328_deviations[0]);
  }
};
}  // namespace

TEST_F(AccuracyGradeTolerances, GradesScaleTheGrade5ValuesAndRound) {
  const struct {
    int32_t q;
    Block stored;
    float returned;
  } cases[] = {
      {5, {5, 14, 5, 4, 3.3f, 18, 6.5f, 7, 5, 5, 7.5f, 22}, 5},
      {8, {14, 41, 15, 11, 9.5f, 52, 19, 20, 14, 14, 21, 62}, 14},
      {0, {0.9f, 2.5f, 0.9f, 0.7f, 0.6f, 3.2f, 1.2f, 1.3f, 0.9f, 0.9f, 1.3f, 3.9f}, 0.9f},
      {12, {56, 162, 58, 45, 37, 207, 75, 81, 58, 58, 85, 247}, 56},
      // One grade step is sqrt(2) on the unrounded value: scaling the rounded grade-5 values
      // would give f_Ha 4.7 and f_i'' 9.
      {6, {7, 20, 7.5f, 5.5f, 4.6f, 26, 9.5f, 10, 7, 7, 11, 31}, 7},
  };
  for (const auto& c : cases) {
    Inputs in;
    in.q = c.q;
    EXPECT_EQ(run(in), c.returned) << "Q " << c.q;
    EXPECT_EQ(block_of(design->iso1328_deviations[0]), c.stored) << "Q " << c.q;
  }
}

TEST_F(AccuracyGradeTolerances, RangesAndContactRatio) {
  const struct {
    const char* what;
    Inputs in;
    Block stored;
  } cases[] = {
      {"m_n 2.5: 2 < m <= 3.5 and radial 1.5 < m <= 2.5", {50, 2.5f, 1.0f, 1.5f, 20, 5},
       {5.5f, 15, 7, 5.5f, 4.5f, 18, 6.5f, 7, 5, 5, 9, 24}},
      {"m_n 1.0: radial 0.8 < m <= 1.0", {50, 1.0f, 1.0f, 1.5f, 20, 5},
       {5, 14, 5, 4, 3.3f, 15, 3.5f, 7, 5, 5, 7.5f, 22}},
      {"5 <= d <= 20 with 40 < b <= 80", {10, 2, 1.0f, 1.5f, 60, 5},
       {4.7f, 11, 4.6f, 3.5f, 2.9f, 16, 6.5f, 9.5f, 6.5f, 6.5f, 7, 18}},
      {"1600 < d <= 2500 with 16 < m <= 25 (radial m above 10)", {2000, 20, 1.0f, 1.5f, 500, 5},
       {15, 69, 25, 19, 16, 76, 24, 23, 16, 16, 23, 92}},
      {"eps_gamma 4: K = 0.4", {50, 2, 1.5f, 2.5f, 20, 5}, {5, 14, 5, 4, 3.3f, 18, 6.5f, 7, 5, 5, 6, 20}},
      {"eps_gamma 1.2: K = 0.8667", {50, 2, 0.2f, 1.0f, 20, 5}, {5, 14, 5, 4, 3.3f, 18, 6.5f, 7, 5, 5, 12, 27}},
  };
  for (const auto& c : cases) EXPECT_EQ(pinion(c.in), c.stored) << c.what;
}

TEST_F(AccuracyGradeTolerances, ValueOnALimitBelongsToTheLowerRange) {
  // Grade 12 magnifies the step between neighbouring ranges beyond the rounding.
  const auto at = [](float d, float m_n, float b) { return Inputs{d, m_n, 1.0f, 1.5f, b, 12}; };
  const auto above = [](float v) { return std::nextafter(v, 1e9f); };
  const struct {
    const char* what;
    Inputs on_limit, lower_range, upper_range;
  } cases[] = {
      {"d 20", at(20, 1, 8), at(12, 1, 8), at(above(20), 1, 8)},
      {"d 50", at(50, 1, 8), at(30, 1, 8), at(above(50), 1, 8)},
      {"d 1000", at(1000, 20, 100), at(800, 20, 100), at(above(1000), 20, 100)},
      {"m 2", at(100, 2, 30), at(100, 1.6f, 30), at(100, above(2), 30)},
      {"m 3.5 (pitch) and 2.5 < m_r <= 4", at(100, 3.5f, 30), at(100, 3, 30), at(100, above(3.5f), 30)},
      {"m_r 0.8 within 0.5 <= m <= 2", at(100, 0.8f, 30), at(100, 0.7f, 30), at(100, above(0.8f), 30)},
      {"m_r 1.5 within 0.5 <= m <= 2", at(100, 1.5f, 30), at(100, 1.2f, 30), at(100, above(1.5f), 30)},
      {"b 10", at(100, 1, 10), at(100, 1, 5), at(100, 1, above(10))},
      {"b 160", at(100, 1, 160), at(100, 1, 100), at(100, 1, above(160))},
  };
  for (const auto& c : cases) {
    const Block on_limit = pinion(c.on_limit);
    EXPECT_EQ(on_limit, pinion(c.lower_range)) << c.what;
    EXPECT_NE(on_limit, pinion(c.upper_range)) << c.what;
  }
}

TEST_F(AccuracyGradeTolerances, UntabulatedSizesTakeTheNearestTabulatedRange) {
  const auto at = [](float d, float m_n, float b) { return Inputs{d, m_n, 1.0f, 1.5f, b, 8}; };
  const struct {
    const char* what;
    Inputs outside, nearest;
  } cases[] = {
      {"d below 5", at(2, 1, 8), at(10, 1, 8)},
      {"d above 10000", at(20000, 20, 200), at(9000, 20, 200)},
      {"m_n 0.4 (and radial 0.2 < m <= 0.5)", at(100, 0.4f, 30), at(100, 0.45f, 30)},
      {"m_n below every radial range", at(100, 0.1f, 30), at(100, 0.3f, 30)},
      {"m_n above the modules of 20 < d <= 50", at(40, 12, 30), at(40, 8, 30)},
      {"m_n 80 (and radial m above 10)", at(300, 80, 30), at(300, 50, 30)},
      {"m_n 2 with 1000 < d <= 1600", at(1200, 2, 100), at(1200, 2.4f, 100)},
      {"b below 4", at(100, 1, 1), at(100, 1, 5)},
      {"b below the widths of 280 < d <= 560", at(300, 1, 5), at(300, 1, 15)},
      {"b above 1000", at(300, 1, 2000), at(300, 1, 800)},
      {"b above the widths of 5 <= d <= 20", at(10, 1, 200), at(10, 1, 60)},
  };
  for (const auto& c : cases) {
    // A call with other sizes first: nothing is left over from it.
    run(at(5000, 30, 900));
    const Block outside = pinion(c.outside);
    EXPECT_EQ(outside, pinion(c.nearest)) << c.what;
    for (float v : outside) EXPECT_TRUE(std::isfinite(v) && v > 0) << c.what;
  }
}

TEST_F(AccuracyGradeTolerances, ContactRatioAtOrBelowZeroIsFloored) {
  const Block floor = pinion({50, 2, 1e-4f, 0, 20, 5});
  EXPECT_EQ(floor[10], 115299);  // f_i' with K = 0.2 (4 + 1e-4) / 1e-4
  EXPECT_EQ(pinion({50, 2, 0, 0, 20, 5}), floor);
  EXPECT_EQ(pinion({50, 2, 0.5f, -1, 20, 5}), floor);
}

TEST_F(AccuracyGradeTolerances, StoresTheChosenGearAndRoundsBothBlocks) {
  Inputs in;
  in.q = 8;
  // Unrounded values in the pinion's block are rounded by a call for the wheel.
  design->iso1328_deviations[0].F_p = 14.329f;
  design->iso1328_deviations[0].f_H_alpha = 3.287f;
  EXPECT_EQ(run(in, 2), 14);
  EXPECT_EQ(block_of(design->iso1328_deviations[1]),
            (Block{14, 41, 15, 11, 9.5f, 52, 19, 20, 14, 14, 21, 62}));
  EXPECT_EQ(design->iso1328_deviations[0].F_p, 14);
  EXPECT_EQ(design->iso1328_deviations[0].f_H_alpha, 3.3f);
  EXPECT_EQ(design->iso1328_deviations[0].f_pt, 0);

  // Any other gear number stores nothing and returns the rounded grade-5 f_pt.
  const DesignData before = *design;
  EXPECT_EQ(run(in, 3), 5);
  EXPECT_EQ(run(in, 0), 5);
  EXPECT_EQ(block_of(design->iso1328_deviations[0]), block_of(before.iso1328_deviations[0]));
  EXPECT_EQ(block_of(design->iso1328_deviations[1]), block_of(before.iso1328_deviations[1]));
}

TEST_F(AccuracyGradeTolerances, ExtremeGradesStayDefined) {
  Inputs in;
  in.q = INT32_MIN;
  EXPECT_EQ(run(in), 0);
  in.q = INT32_MAX;
  EXPECT_TRUE(std::isinf(run(in)));
}
