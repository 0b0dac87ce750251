#include "tolerances.h"

#include <gtest/gtest.h>

#include <cmath>

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
