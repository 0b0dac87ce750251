// The loops the sizing search and the centre-distance minimisation share: for each sum of profile shift
// coefficients and each pinion tooth count, a module loop that raises the module from 0.5 until the
// pair passes. Each search supplies the pieces of its loops; the loops run on the caller's thread or on
// worker threads with the same result.
//
// On worker threads each module loop (a row) runs on its own copy of the design data. A row starts from
// the design the row before it left: its worker rebuilds that design by running the last trial of the
// row before once more, with the backlash that every geometry pass carries on (see backlash_chain.h)
// followed from the first trial. A first run of all rows finds what each row does (its trials and the
// module it ends at) and what each pass's backlash step reads; the second run keeps the rows. The
// caller's thread takes the rows in loop order, compares the design each row began from with the one
// the row before it left, byte for byte, and runs a row that began from another design again from the
// right one; it also runs the searches' candidate tests and progress in loop order.
#pragma once

#include <cstdint>
#include <functional>

#include "design_data.h"

namespace morvell {

using GeometryPass = void (*)(DesignData&);

struct ModuleLoop {
  float tried_module = 0;  // the module of the last trial
  int32_t evaluations = 0;
  int32_t ratings = 0;
};

struct TrialLoops {
  float first_sum = 0;
  // Whether the shift loop goes on at `sum` (the loop variable the search keeps).
  std::function<bool(const DesignData&, float sum)> more_sums;
  // Runs before the rows of a shift sum.
  std::function<void(DesignData&, float sum)> begin_sum;
  // Runs after the rows of a shift sum and gives the next sum.
  std::function<float(DesignData&, float sum)> next_sum;
  // The progress after the rows of a shift sum, given the next sum.
  std::function<void(const DesignData&, float next)> progress;
  int32_t first_pinion_teeth = 0;
  // Whether the teeth loop goes on at z1.
  std::function<bool(int32_t z1)> more_teeth;
  // Sets what the module loop of a row starts from.
  std::function<void(DesignData&, int32_t z1)> start_row;
  // The module loop of a row, with `geometry` for the geometry pass.
  std::function<ModuleLoop(DesignData&, GeometryPass geometry)> module_loop;
  // One trial at `module` as the module loop runs it, the module step included; two geometry passes.
  std::function<void(DesignData&, float module, GeometryPass geometry)> trial;
  // The search's test of the design a row left, in loop order on the caller's thread.
  std::function<void(const DesignData&, float sum, int32_t z1, const ModuleLoop&)> after_row;
};

// Runs the loops on d with `geometry` on `threads` threads (0: one per core); `geometry` other than
// calc_gear_geometry (a stand-in) runs on the caller's thread alone, as it may keep state of its own.
void run_trial_loops(DesignData& d, const TrialLoops& loops, GeometryPass geometry, int threads);

}  // namespace morvell
