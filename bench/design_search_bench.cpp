// The design-space search as the search window runs it on the shipped default design with the ranges its
// show sets: ten pinion tooth counts around the design's, modules 0.75 to 1.25 times its module, pressure
// angles 17.5 to 22.5 degrees, helix angles up to 3 degrees below its own: 9000 candidates, each through
// the geometry pass and (when its transverse contact ratio is above 1.0) the rating, written to the
// result file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "design_search.h"
#include "geometry_pass.h"
#include "ordered_workers.h"
#include "process_cpu.h"
#include "shipped_design.h"
#include "startup_values.h"

namespace {

using morvell::DesignData;

std::unique_ptr<DesignData> search_window_design() {
  auto d = shipped_default_design();
  morvell::calc_gear_geometry(*d);
  // What the main window's search command and the window's show set before the search.
  d->tooth_proportion_mode = 2;
  d->keep_pinion_wheel_same = 0;
  d->protuberance[0] = d->protuberance[1] = 0;
  d->search_teeth_min = std::max(13, d->teeth[0] - 5);
  d->search_teeth_max = d->search_teeth_min + 9;
  d->search_module_min = 0.75f * d->normal_module;
  d->search_module_max = 1.25f * d->normal_module;
  d->search_pressure_angle_min = 17.5f;
  d->search_pressure_angle_max = 22.5f;
  d->search_helix_angle_min = std::max(0.0f, d->helix_angle - 3);
  d->search_helix_angle_max = d->helix_angle;
  d->search_fillet_coeff_min = 0.3f;
  d->search_fillet_coeff_max = 0.4f;
  return d;
}

// One search from the window's design, with `widen` applied to its ranges; the argument is the number of
// threads: 1, and one per core of the machine (0).
void run_search(benchmark::State& state, void (*widen)(DesignData&), const char* label) {
  auto start = search_window_design();
  widen(*start);
  auto d = std::make_unique<DesignData>();
  const std::string path = "design_search_bench_optimizer.dat";
  morvell::SearchRun run;
  const ProcessCpu cpu;
  for (auto _ : state) {
    *d = *start;
    run = morvell::search_design_space(*d, {}, {}, path.c_str(), int(state.range(0)));
    benchmark::DoNotOptimize(d->contact_safety_factor[0]);
  }
  cpu.report(state);
  if (!run.ok()) state.SkipWithError(run.message.c_str());
  std::remove(path.c_str());
  state.counters["threads"] = morvell::search_thread_count(int(state.range(0)));
  state.counters["evaluations"] = run.evaluations;
  state.counters["records"] = run.records;
  state.SetLabel(label);
}

}  // namespace

static void BM_DesignSpaceSearchDefaultDesign(benchmark::State& state) {
  run_search(state, [](DesignData&) {}, "default design, window's default ranges");
}
BENCHMARK(BM_DesignSpaceSearchDefaultDesign)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The widest angles the window takes, where many candidates leave the domain of a formula or stay below
// a transverse contact ratio of 1.
static void BM_DesignSpaceSearchWideRanges(benchmark::State& state) {
  run_search(
      state,
      [](DesignData& d) {
        d.search_pressure_angle_min = 10;
        d.search_pressure_angle_max = 30;
        d.search_helix_angle_min = 0;
        d.search_helix_angle_max = 20;
      },
      "default design, pressure angles 10 to 30, helix angles 0 to 20");
}
BENCHMARK(BM_DesignSpaceSearchWideRanges)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
