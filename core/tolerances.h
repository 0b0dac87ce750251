// ISO 1328 accuracy-grade tolerances of one gear: single pitch, total cumulative pitch, the three
// profile values, the two radial composite values, the three helix values and the two tangential
// composite values, in micrometres.
#pragma once

#include <cstdint>

namespace morvell {

struct DesignData;

// The ISO 1328 accuracy grades a gear may have: 0 (finest) to 12.
inline constexpr int32_t kCoarsestAccuracyGrade = 12;
inline constexpr bool accuracy_grade_ok(double q) { return q >= 0 && q <= kCoarsestAccuracyGrade; }

// Rounds a tolerance by the standard's rule, in three steps applied one after the other to the
// stored 32-bit value: from 10 up to a whole number, from 5 to below 10 to a multiple of 0.5, below 5
// to a multiple of 0.1, a fraction of at least half a step rounding up. A decimal tie held slightly
// below in 32 bits (4.35 is 4.3499999) rounds down.
float round_tolerance(float v);

// Evaluates the grade-5 formulas at the representative value of the size ranges holding d, m_n and b
// (m_n also chooses the radial composite module range), scales them by 2^(0.5 (q - 5)), rounds them
// with `round_tolerance` and stores them in `iso1328_deviations`[gear - 1]; both gears' blocks are then
// rounded again. Returns the gear's rounded single pitch tolerance f_pt (µm).
//
// A size outside the ranges the standard tabulates (for the diameter range, in the case of module and
// face width) takes the nearest tabulated range. The total contact ratio eps_beta + eps_alpha is
// floored at 1e-4. A gear number other than 1 or 2 stores nothing (both blocks are still re-rounded)
// and returns the rounded grade-5 f_pt.
float accuracy_grade_tolerances(DesignData& design, float d, int32_t q, float m_n, float eps_beta,
                                float eps_alpha, float b, int32_t gear);

}  // namespace morvell
