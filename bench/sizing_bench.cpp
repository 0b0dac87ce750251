// The automatic sizing search of a new pair, as the main window's first show runs it after the sizing
// wizard: the shipped default design with the wizard's presets (ratio 1.5, 200 N m, 27 degrees, 1e7 cycles at
// 2500 rpm, case-hardening steel, aspect ratio from the ratio).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "geometry_pass.h"
#include "ordered_workers.h"
#include "process_cpu.h"
#include "shipped_design.h"
#include "sizing_search.h"
#include "startup_values.h"

namespace {

using morvell::DesignData;

std::unique_ptr<DesignData> wizard_preset_design() {
  auto d = shipped_default_design();
  morvell::calc_gear_geometry(*d);
  // What the sizing wizard leaves and the first show sets before the search.
  d->desired_ratio = 1.5f;
  d->torque = 200;
  d->helix_angle = 27;
  d->load_cycles_pinion = 1e7f;
  d->speed = 2500;
  d->pinion_aspect_ratio = morvell::sizing_aspect_ratio(d->desired_ratio);
  d->material_type[0] = d->material_type[1] = 7;
  d->geometry_manager_mode = 0;
  d->ratio_fixed = 0;
  d->rating_enabled = 1;
  return d;
}

}  // namespace

// The whole search: six shift sums, z1 from 11 to 100, the module raised until the pair is safe. The
// argument is the number of threads: 1, and one per core of the machine (0).
static void BM_SizingSearchWizardPresets(benchmark::State& state) {
  const auto start = wizard_preset_design();
  auto d = std::make_unique<DesignData>();
  morvell::SizingResult r;
  const ProcessCpu cpu;
  for (auto _ : state) {
    *d = *start;
    r = morvell::run_sizing_search(*d, {}, {}, int(state.range(0)));
    benchmark::DoNotOptimize(d->centre_distance);
  }
  cpu.report(state);
  state.counters["threads"] = morvell::search_thread_count(int(state.range(0)));
  state.counters["trials"] = r.evaluations;
  state.counters["ratings"] = r.ratings;
  state.counters["centre_distance_mm"] = r.centre_distance;
  state.counters["z1"] = r.pinion_teeth;
  state.counters["module_mm"] = r.normal_module;
  state.counters["shift_sum"] = r.profile_shift_sum;
  state.SetLabel("default design, wizard presets");
}
BENCHMARK(BM_SizingSearchWizardPresets)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
