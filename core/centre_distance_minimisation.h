// The search for the pair of least centre distance that still meets the minimum safety factors in
// contact and bending on both gears. The desired ratio, pressure and helix angles, rating inputs and the
// reference-diameter-to-face-width ratios of both gears stay; the sum of profile shift coefficients
// (0 to 1.0 in steps of 0.2), the pinion teeth (11, or 10 where the wheel would exceed 200 teeth, up to 100 and 200 / u) and the normal module (raised
// from 0.5 until the minima are met) are searched. Tip chamfers that the design had are then put back and
// fitted by raising the module in small steps until the minima are met again.
#pragma once

#include <array>
#include <cstdint>

#include "design_data.h"
#include "sizing_search.h"

namespace morvell {

// All four safety factors (contact of pinion and wheel, bending of pinion and wheel) reach the design's
// minimum contact and bending safety factors. A factor that is not a number does not.
bool minimum_safety_factors_met(const DesignData& d);

// The module after `module` in the chamfer fitting's steps: +0.001 up to 5.0, +0.05 up to 7.5, +0.1 above.
float chamfer_fitting_next_module(float module);

// A tip chamfer fitted to the module: a chamfer of 0 stays 0, any other is kept within 0.01 and 0.25
// times the module.
float fitted_tip_chamfer(float chamfer, float module);

struct MinimisationResult {
  float centre_distance = 99999.0f;  // mm, of the best pair when it was rated
  float normal_module = 0.5f;        // mm, the module of that pair
  int32_t pinion_teeth = 11;
  float profile_shift_sum = 0.0f;
  bool found = false;               // a pair met the minima; otherwise the design is left as it came
  bool chamfers_dropped = false;    // no chamfered pair below module 10 met them: the best pair is left
                                    // without tip chamfers
  int32_t evaluations = 0;          // trial pairs of the search
  int32_t ratings = 0;              // of them rated (transverse contact ratio at least 1.0)
  int32_t fitting_evaluations = 0;  // trial pairs of the chamfer fitting
};

// Runs the search on d (the design without its tip chamfers; `saved_tip_chamfers` are the chamfers to
// put back). Each trial pair splits its shift sum by its own ratio z2 / z1. Leaves the design with the
// module fixed (geometry-manager mode 0) and the shift sum split automatically, the best pair's teeth,
// module and shift sum, the fitted chamfers with the module the fitting rated them with (none, and the
// best pair's module, when no chamfered pair meets the minima), the face widths of both gears from their
// diameter ratios and the wheel load cycles of the chosen teeth: the pair left is a pair that was rated. When no
// pair meets the minima, d is left as it came in, with the saved chamfers put back. `progress` receives trunc(100 x the next shift
// sum) after each shift sum (20 ... 120). The loops are bounded: at most 6 x 91 x 67 trial pairs in the
// search and one per module step below 10 in the fitting. The search's trials run on `threads` threads (0:
// one per core; stand-in calculations always run on the caller's thread) with the same result, progress
// and design left in d whatever the number; the chamfer fitting runs on the caller's thread.
MinimisationResult run_centre_distance_minimisation(DesignData& d, const std::array<float, 2>& saved_tip_chamfers,
                                                    const SizingProgress& progress = {},
                                                    const SizingCalculations& calc = {}, int threads = 0);

}  // namespace morvell
