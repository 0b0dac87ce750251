// Load-capacity rating of the gear pair by the methods of ISO 6336: the load factors (ISO 6336-1), the
// pitting rating (ISO 6336-2) and the tooth-root bending rating by method B (ISO 6336-3), with the life factors
// read from the S-N points of the design data.
#pragma once

#include "rating_input.h"

namespace morvell {

struct DesignData;
struct RatingResults;

// Rates the pair described by `in` for one load and writes every rating result field of `d` (the
// pitting half first, then the bending half, which reuses its load factors). Reads nothing else of the
// design data, checks no input and reports nothing but domain errors of sqrt and acos; degenerate inputs
// run on as infinities or NaN. Every result is set by every run, so a rating never depends on an earlier
// one. Allocates nothing.
void rate_gear_pair(RatingInput in, DesignData& d);

// The dynamic factor's method holds while its speed term z1 v / 100 (u^2 / (1 + u^2))^0.5 stays below
// this (m/s). Beyond it the rating keeps the factor the formula gives, and whatever shows the rating says
// that the pair lies outside the method's range.
inline constexpr float kDynamicFactorSpeedTermLimit = 10.0f;
bool dynamic_factor_outside_its_range(const RatingResults& r);

// Bound on the fixed-point iteration for the angle of the 30-degree tangent at the tooth root; it
// converges in a few steps, and a gear whose iteration is still moving after this many steps gets NaN
// bending results.
inline constexpr int kRootAngleMaxSteps = 200;

}  // namespace morvell
