// The centre-distance minimisation on the shipped default design with calculated tooth proportions and
// the start-up minima (contact 1.0, bending 1.2): the whole search over six shift sums, the pinion teeth
// and the modules, once without and once with tip chamfers to fit.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "centre_distance_minimisation.h"
#include "design_data.h"
#include "design_file.h"
#include "geometry_pass.h"
#include "ordered_workers.h"
#include "process_cpu.h"
#include "shipped_design.h"
#include "startup_values.h"

namespace {

using morvell::DesignData;

std::unique_ptr<DesignData> default_design() {
  auto d = shipped_default_design();
  // What the command leaves before the search: calculated proportions, no protuberance, no chamfers.
  d->tooth_proportion_mode = 2;
  d->geometry_manager_override = 0;
  d->protuberance[0] = d->protuberance[1] = 0;
  d->tip_chamfer[0] = d->tip_chamfer[1] = 0;
  d->rating_enabled = 1;
  morvell::calc_gear_geometry(*d);
  return d;
}

void minimise(benchmark::State& state, std::array<float, 2> chamfers) {
  const auto start = default_design();
  auto d = std::make_unique<DesignData>();
  morvell::MinimisationResult r;
  const ProcessCpu cpu;
  for (auto _ : state) {
    *d = *start;
    r = morvell::run_centre_distance_minimisation(*d, chamfers, {}, {}, int(state.range(0)));
    benchmark::DoNotOptimize(d->centre_distance);
  }
  cpu.report(state);
  state.counters["threads"] = morvell::search_thread_count(int(state.range(0)));
  state.counters["trials"] = r.evaluations;
  state.counters["ratings"] = r.ratings;
  state.counters["fitting_trials"] = r.fitting_evaluations;
  state.counters["centre_distance_mm"] = r.centre_distance;
  state.counters["z1"] = r.pinion_teeth;
  state.counters["module_mm"] = r.normal_module;
  state.counters["shift_sum"] = r.profile_shift_sum;
  state.counters["ratio_u"] = start->desired_ratio;
}

}  // namespace

static void BM_CentreMinimisationDefaultDesign(benchmark::State& state) {
  minimise(state, {0, 0});
  state.SetLabel("default design, minima 1.0 / 1.2");
}
// The argument is the number of threads: 1, and one per core of the machine (0).
BENCHMARK(BM_CentreMinimisationDefaultDesign)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

static void BM_CentreMinimisationWithChamfers(benchmark::State& state) {
  minimise(state, {0.1f, 0.1f});
  state.SetLabel("default design, tip chamfers 0.1 mm fitted");
}
BENCHMARK(BM_CentreMinimisationWithChamfers)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
