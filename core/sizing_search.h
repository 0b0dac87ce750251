// The automatic sizing of a new gear pair from the targets of the sizing wizard (ratio, pinion aspect
// ratio, helix angle, torque, speed, load cycles, materials): for each sum of profile shift
// coefficients and each number of pinion teeth the module is raised until both gears meet a safety
// factor of 1.0 in contact and bending, and the trial pair of least centre distance is taken.
#pragma once

#include <cstdint>
#include <functional>

#include "design_data.h"

namespace morvell {

// Pinion reference diameter over face width for the ratio u: the face width is the fraction
// psi = 0.24 + 0.03 (u - 1) (from u = 1 to 3, 0.3 above, 0.24 below 1) of the centre distance of the
// pair without profile shift, d1 (1 + u) / 2.
float sizing_aspect_ratio(long double u);

// Wheel teeth for z1 pinion teeth at the ratio u: z1 u rounded to the nearest integer, halves up.
int32_t sizing_wheel_teeth(int32_t z1, float u);

// The first number of pinion teeth the searches try at the ratio u: 11, or 10 where 11 pinion teeth would
// take the wheel beyond 200 teeth (ratios above 200 / 11 up to 20); 0 when even 10 would (ratios above
// 20, or no ratio at all): no pair can be sized then.
int32_t first_pinion_teeth(float u);

// Sets the numbers of teeth of a trial pair and its actual ratio z2 / z1, from which the geometry pass
// splits the shift sum between the gears.
void set_trial_teeth(DesignData& d, int32_t z1, int32_t z2);

// The module after `module` in the sizing's module steps: +0.1 up to 5.0, +0.2 up to 7.5, +0.3 above
// (the module is held as a 32-bit float, as the design holds it).
float sizing_next_module(float module);

// The calculations one trial runs: the geometry pass and the rating. Tests put stand-ins here.
struct SizingCalculations {
  void (*geometry)(DesignData&) = nullptr;  // nullptr: calc_gear_geometry
  void (*rate)(DesignData&) = nullptr;      // nullptr: rate_gear_pair(make_rating_input(d), d)
};

// Why a sizing left the design as it was.
enum class SizingRefusal {
  None,              // a pair was sized
  RatioOutOfReach,   // the ratio admits no pair of at most 200 wheel teeth
  TargetsNotMet,     // no pair met the safety factors below the module bounds
};

struct SizingResult {
  float centre_distance = 99999.0f;  // mm, of the chosen design when it was rated
  int32_t pinion_teeth = 11;
  float normal_module = 0.5f;        // mm, the module the chosen design was rated with
  float profile_shift_sum = 0.0f;
  int32_t evaluations = 0;  // trial designs evaluated
  int32_t ratings = 0;      // of them rated (transverse contact ratio above 1.0)
  bool sized = false;       // false: no pair was sized and the design was left as it was (see refusal)
  SizingRefusal refusal = SizingRefusal::None;
};

// Receives the progress bar position after each pass over a shift sum: trunc(100 x the next sum),
// 20, 40, ... 120.
using SizingProgress = std::function<void(int)>;

// Runs the sizing search on d. A ratio that admits no pair (first_pinion_teeth 0) leaves d untouched.
// Otherwise sets the modes of a sized design (shift distribution automatic,
// calculated tooth proportions, the same basic rack for both gears, no tip diameter reduction) and
// geometry-manager mode 0 (module fixed, the centre distance follows). Every trial writes its
// teeth, module, shift sum, face widths and wheel load cycles into d, is run through the geometry pass
// twice (with its own actual ratio z2 / z1) and, when its transverse contact ratio is above 1.0, rated.
// Only a tooth pair whose module loop ended on a rated trial that met all four safety factors competes;
// of those the one of least centre distance is taken (equal centre distances keep the earlier design):
// its teeth, the module it was rated with and its shift sum are put back, the geometry pass runs once
// more and its face widths and wheel load cycles are set from it. When no pair met the safety factors, d
// is left as it came. The loops are bounded: at most 6 x 91 x 67 trials.
//
// The trials run on `threads` threads (0: one per core; stand-in calculations always run on the
// caller's thread); the result, the progress and the design left in d are the same whatever the number.
SizingResult run_sizing_search(DesignData& d, const SizingProgress& progress = {},
                               const SizingCalculations& calc = {}, int threads = 0);

}  // namespace morvell
