#include "numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace morvell;

namespace {
struct RecordingReporter {
  std::vector<std::string> seen;
  DomainErrorReporter previous;
  RecordingReporter() { previous = set_domain_error_reporter([this](const std::string& s) { seen.push_back(s); }); }
  ~RecordingReporter() { set_domain_error_reporter(previous); }
};
}  // namespace

TEST(Numeric, CheckedFunctionsReportDomainErrorsAndGiveNaN) {
  RecordingReporter rec;
  EXPECT_TRUE(std::isnan(checked_sqrt(-1.0L)));
  EXPECT_TRUE(std::isnan(checked_acos(1.5L)));
  EXPECT_TRUE(std::isnan(checked_asin(-1.0000001L)));
  EXPECT_EQ(rec.seen, (std::vector<std::string>{"sqrt: DOMAIN error", "acos: DOMAIN error", "asin: DOMAIN error"}));
  // In-domain and NaN arguments are silent.
  EXPECT_EQ(checked_sqrt(4.0L), 2.0L);
  EXPECT_TRUE(std::isnan(checked_sqrt(nan_ld())));
  EXPECT_EQ(rec.seen.size(), 3u);
}

TEST(Numeric, RoundHalfUp) {
  const struct { ld in, out; } cases[] = {{20.5L, 21}, {20.49L, 20}, {-0.5L, 0}, {-1.5L, -1}, {3.0L, 3}};
  for (auto c : cases) EXPECT_EQ(round_half_up(c.in), c.out) << static_cast<double>(c.in);
}

TEST(Numeric, InvoluteAndAngles) {
  EXPECT_NEAR(static_cast<double>(involute(deg_to_rad(20.0L))), 0.014904383867336446, 1e-15);
  EXPECT_NEAR(static_cast<double>(rad_to_deg(kPi / 2)), 90.0, 1e-15);
  // pi as a double is the double nearest pi; the conversions with it stay within its rounding of the
  // extended ones, in both directions.
  EXPECT_EQ(kPiDouble, static_cast<ld>(3.141592653589793));
  EXPECT_LT(std::fabs(kPiDouble - kPi), 0x1p-51L);
  for (ld deg : {0.0L, 1e-6L, 20.0L, 45.0L, 90.0L, 180.0L, -27.5L, 1e6L}) {
    EXPECT_NEAR(deg_to_rad_double_pi(deg), deg_to_rad(deg), std::fabs(deg_to_rad(deg)) * 0x1p-51L) << deg;
    EXPECT_NEAR(rad_to_deg_double_pi(deg_to_rad(deg)), deg, std::fabs(deg) * 0x1p-51L) << deg;
  }
  // In float and double arithmetic: pi rounded to the type, then one rounding per operation.
  EXPECT_EQ(deg_to_rad_in<float>(180.0f), static_cast<float>(kPi));
  EXPECT_EQ(deg_to_rad_in<double>(90.0), static_cast<double>(kPi) / 2);
  EXPECT_EQ(rad_to_deg_in<double>(static_cast<double>(kPi)), 180.0);
}

// Rounding to the stored float: to nearest, with every value that would round past the largest float
// infinite (from half a unit in its last place above it on), and NaN kept.
TEST(Numeric, ToFloatRoundsToNearestAndOverflowsToInfinity) {
  constexpr float kLargest = std::numeric_limits<float>::max();
  const struct { ld in; float out; } cases[] = {
      {0.0L, 0.0f},
      {1.0L / 3.0L, 0x1.555556p-2f},
      {-2.5L, -2.5f},
      {0x1.000001p0L, 1.0f},                         // half way: to the even neighbour
      {0x1.000003p0L, 0x1.000004p0f},                // half way: to the even neighbour
      {0x1p-150L, 0.0f},                             // half the smallest subnormal: to even, zero
      {0x1.8p-150L, 0x1p-149f},                      // beyond half: the smallest subnormal
      {static_cast<ld>(kLargest), kLargest},
      {0x1.fffffefffp127L, kLargest},                // less than half a unit above the largest
      {0x1.ffffffp127L, INFINITY},                   // half a unit above: rounds past it
      {-0x1.ffffffp127L, -INFINITY},
      {1e4000L, INFINITY},
      {-1e4000L, -INFINITY},
  };
  for (const auto& c : cases) EXPECT_EQ(to_float(c.in), c.out) << static_cast<double>(c.in);
  EXPECT_TRUE(std::signbit(to_float(-0.0L)));
  EXPECT_TRUE(std::isnan(to_float(nan_ld())));
}

TEST(Numeric, BisectionStopsOnToleranceOrCap) {
  // sqrt(2) to 1e-6
  const ld r = bisect<ld>(0, 2, 1e-6L, [](ld m) { return m * m < 2; });
  EXPECT_NEAR(static_cast<double>(r), 1.41421356, 1e-6);
  // A float interval that can no longer narrow stops instead of spinning.
  int calls = 0;
  const float f = bisect<float>(1e8f, 1e8f + 16.0f, 1e-9f, [&](float) { ++calls; return true; }, 1000);
  EXPECT_LT(calls, 1000);
  EXPECT_GE(f, 1e8f);
  // NaN bounds return at once.
  EXPECT_TRUE(std::isnan(bisect<ld>(nan_ld(), 1, 1e-6L, [](ld) { return true; })));
}

TEST(Numeric, LeastAndLargestTieGoesToLaterCandidate) {
  float v = -1;
  const float a[] = {3, 1, 2, 1};
  EXPECT_EQ(least_of(a, v), 4);
  EXPECT_EQ(v, 1);
  const float b[] = {5, nan_f(), 5, 4};
  EXPECT_EQ(largest_of(b, v), 3);
  EXPECT_EQ(v, 5);
  const float none[] = {nan_f(), nan_f()};
  v = 7;
  EXPECT_EQ(least_of(none, v), 0);
  EXPECT_EQ(v, 7);
}

// A ratio stored as float(z2 / z1) gives back z2 for every pair a design can have, where a plain cut
// would lose a tooth for many of them; a product with a true fraction is still cut.
TEST(Numeric, WholePartOfAFloatProductKeepsWhatRoundingTookOff) {
  int lost_by_a_plain_cut = 0;
  for (int z1 = 6; z1 <= 150; ++z1)
    for (int z2 = z1; z2 <= 999; ++z2) {
      const long double product = static_cast<long double>(z1) * static_cast<float>(double(z2) / z1);
      ASSERT_EQ(whole_part_of_float_product(product), z2) << z1 << "/" << z2;
      lost_by_a_plain_cut += std::trunc(product) < z2;
    }
  EXPECT_GT(lost_by_a_plain_cut, 10000);
  const struct {
    long double product, whole;
  } fractions[] = {{23 * 1.5L, 34}, {17 * 2.99L, 50}, {10 * 1.0999L, 10}, {11.9999L, 11}, {0.5L, 0}, {7.0L, 7}};
  for (const auto& f : fractions) EXPECT_EQ(whole_part_of_float_product(f.product), f.whole) << double(f.product);
}

TEST(Numeric, Int32ConversionIsClamped) {
  EXPECT_EQ(to_int32_clamped(1e30L), INT32_MAX);
  EXPECT_EQ(to_int32_clamped(-1e30L), INT32_MIN);
  EXPECT_EQ(to_int32_clamped(nan_ld()), 0);
  EXPECT_EQ(to_int32_clamped(21.0L), 21);
}
