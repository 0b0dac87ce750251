#include "tolerances.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "design_data.h"
#include "numeric.h"

namespace morvell {

namespace {

// Range limits (mm). The first range of a list holds both its limits, every later one only its upper
// limit, so a value on a limit belongs to the lower range.
constexpr ld kDiameterLimits[] = {5, 20, 50, 125, 280, 560, 1000, 1600, 2500, 4000, 6000, 8000, 10000};
constexpr ld kModuleLimits[] = {0.5L, 2, 3.5L, 6, 10, 16, 25, 40, 70};
constexpr ld kFaceWidthLimits[] = {4, 10, 20, 40, 80, 160, 250, 400, 650, 1000};
constexpr ld kRadialModuleLimits[] = {0.2L, 0.5L, 0.8L, 1.0L, 1.5L, 2.5L, 4, 6, 10};

// Module and face-width ranges (first and last index, both included) that the standard tabulates for
// each diameter range.
struct TabulatedRanges {
  int module_first, module_last, width_first, width_last;
};
constexpr TabulatedRanges kTabulated[] = {
    {0, 1, 0, 3},  // 5 <= d <= 20
    {0, 3, 0, 4},  // 20 < d <= 50
    {0, 5, 0, 6},  // 50 < d <= 125
    {0, 6, 0, 7},  // 125 < d <= 280
    {0, 7, 1, 8},  // 280 < d <= 560
    {0, 7, 1, 8},  // 560 < d <= 1000
    {1, 7, 2, 8},  // 1000 < d <= 1600
    {2, 7, 2, 8},  // 1600 < d <= 2500
    {3, 7, 3, 8},  // 2500 < d <= 4000
    {3, 7, 4, 8},  // 4000 < d <= 6000
    {4, 7, 4, 8},  // 6000 < d <= 8000
    {4, 7, 4, 8},  // 8000 < d <= 10000
};
static_assert(std::size(kTabulated) == std::size(kDiameterLimits) - 1);

// Index of the range holding v, clamped to the ranges first..last: a value outside them takes the
// nearest one. A NaN value counts as below every range. The limits are compared as 32-bit values like
// the sizes themselves, so a module entered as 0.8 (held as 0.80000001) stays on the limit.
template <size_t N>
int range_index(const ld (&limits)[N], float v, int first = 0, int last = static_cast<int>(N) - 2) {
  int i = 0;
  for (size_t k = 1; k + 1 < N; ++k)
    if (v > static_cast<float>(limits[k])) i = static_cast<int>(k);
  if (i < first) i = first;
  if (i > last) i = last;
  return i;
}

// Representative value of a range: the geometric mean of its limits.
template <size_t N>
ld representative(const ld (&limits)[N], int i) {
  return std::sqrt(limits[i] * limits[i + 1]);
}

// The twelve values of a gear's block, in the order the grade-5 values are computed.
constexpr float GearDeviations::*kMembers[] = {
    &GearDeviations::f_pt,     &GearDeviations::F_p,      &GearDeviations::F_alpha, &GearDeviations::f_f_alpha,
    &GearDeviations::f_H_alpha, &GearDeviations::F_i2,    &GearDeviations::f_i2,    &GearDeviations::F_beta,
    &GearDeviations::f_f_beta, &GearDeviations::f_H_beta, &GearDeviations::f_i1,    &GearDeviations::F_i1};
constexpr size_t kValues = std::size(kMembers);

// Grade-5 values at the representative values of the ranges holding d, m_n and b.
std::array<ld, kValues> grade5_values(float d, float m_n, float eps_beta, float eps_alpha, float b) {
  const int di = range_index(kDiameterLimits, d);
  const TabulatedRanges& tab = kTabulated[di];
  const ld sqrt_d = std::sqrt(representative(kDiameterLimits, di));
  const ld m = representative(kModuleLimits, range_index(kModuleLimits, m_n, tab.module_first, tab.module_last));
  const ld sqrt_m = std::sqrt(m);
  const ld sqrt_b = std::sqrt(
      representative(kFaceWidthLimits, range_index(kFaceWidthLimits, b, tab.width_first, tab.width_last)));
  const ld m_r = representative(kRadialModuleLimits, range_index(kRadialModuleLimits, m_n));

  // Tangential composite factor from the total contact ratio, which must stay above zero.
  ld eps_gamma = static_cast<ld>(eps_beta) + static_cast<ld>(eps_alpha);
  if (eps_gamma < 1e-4L) eps_gamma = 1e-4L;
  const ld k = eps_gamma < 4 ? 0.2L * (eps_gamma + 4) / eps_gamma : 0.4L;

  const ld f_pt = 0.3L * (m + 0.4L * sqrt_d) + 4;
  const ld F_p = 0.3L * m + 1.25L * sqrt_d + 7;
  const ld F_alpha = 3.2L * sqrt_m + 0.22L * sqrt_d + 0.7L;
  const ld f_f_alpha = 2.5L * sqrt_m + 0.17L * sqrt_d + 0.5L;
  const ld f_H_alpha = 2 * sqrt_m + 0.14L * sqrt_d + 0.5L;
  const ld F_i2 = 3.2L * m_r + 1.01L * sqrt_d + 6.4L;
  const ld f_i2 = 2.96L * m_r + 0.01L * sqrt_d + 0.8L;
  const ld F_beta = 0.1L * sqrt_d + 0.63L * sqrt_b + 4.2L;
  const ld f_f_beta = 0.07L * sqrt_d + 0.45L * sqrt_b + 3;
  const ld f_i1 = k * (4.3L + f_pt + F_alpha);
  const ld F_i1 = F_p + f_i1;
  return {f_pt, F_p, F_alpha, f_f_alpha, f_H_alpha, F_i2, f_i2, F_beta, f_f_beta, f_f_beta, f_i1, F_i1};
}

}  // namespace

float round_tolerance(float v) {
  // Every step compares the fraction of the current 32-bit value; the fraction of a float is exact.
  if (v >= 10.0f) {
    const ld fr = static_cast<ld>(v) - std::floor(static_cast<ld>(v));
    v = static_cast<float>(fr >= 0.5L ? std::ceil(static_cast<ld>(v)) : std::floor(static_cast<ld>(v)));
  }
  if (v >= 5.0f && v < 10.0f) {
    const ld w = v;
    const ld fr = w - std::floor(w);
    v = static_cast<float>(fr >= 0.75L ? std::ceil(w) : fr >= 0.25L ? std::ceil(w) - 0.5L : std::floor(w));
  }
  if (v < 5.0f) {
    const ld w = v;
    const ld fr = w - std::floor(w);
    // Fraction thresholds, first reached counts, and the tenths taken off the ceiling for each.
    static constexpr struct { ld threshold, off; } kSteps[] = {
        {0.95L, 0.0L}, {0.85L, 0.1L}, {0.75L, 0.2L}, {0.65L, 0.3L}, {0.55L, 0.4L},
        {0.45L, 0.5L}, {0.35L, 0.6L}, {0.25L, 0.7L}, {0.15L, 0.8L}, {0.05L, 0.9L}};
    ld r = std::floor(w);
    for (const auto& step : kSteps) {
      if (fr >= step.threshold) {
        r = std::ceil(w) - step.off;
        break;
      }
    }
    v = static_cast<float>(r);
  }
  return v;
}

float accuracy_grade_tolerances(DesignData& design, float d, int32_t q, float m_n, float eps_beta,
                                float eps_alpha, float b, int32_t gear) {
  const std::array<ld, kValues> grade5 = grade5_values(d, m_n, eps_beta, eps_alpha, b);
  // One grade step is a factor sqrt(2), applied to the unrounded grade-5 value.
  const ld factor = std::pow(2.0L, 0.5L * (static_cast<ld>(q) - 5));

  float f_pt = static_cast<float>(grade5[0]);
  if (gear == 1 || gear == 2) {
    GearDeviations& block = design.iso1328_deviations[gear - 1];
    for (size_t i = 0; i < kValues; ++i) block.*kMembers[i] = static_cast<float>(grade5[i] * factor);
    f_pt = block.f_pt;
  }
  // Both blocks are rounded again; the other gear's, already rounded, stays as it is.
  for (GearDeviations& block : design.iso1328_deviations)
    for (auto member : kMembers) block.*member = round_tolerance(block.*member);
  return round_tolerance(f_pt);
}

}  // namespace morvell
