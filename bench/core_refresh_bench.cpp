// The calculation of one main-window refresh after an edit, and life and damage, on two designs: the start-up
// design (the start-up values with the shipped default design file) and a helical design with tip and
// edge chamfers and a protuberance.
//
// "core refresh" is the calculation of the main window's refresh with the rating enabled: two geometry
// passes with the checks between them, the rating of the load case, life and damage, and the tooth
// outlines of both gears.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "design_refresh.h"
#include "geometry_pass.h"
#include "life_and_damage.h"
#include "shipped_design.h"
#include "startup_values.h"
#include "tooth_profile.h"

namespace {

using morvell::DesignData;

enum DesignChoice : int { kStartUp = 0, kHelicalChamferedProtuberance = 1 };

// The start-up design: start-up values, the default design file, the geometry pass of the start-up,
// with the rating enabled as after the first show.
std::unique_ptr<DesignData> start_up_design() {
  auto d = shipped_default_design();
  morvell::calc_gear_geometry(*d);
  d->rating_enabled = 1;
  return d;
}

std::unique_ptr<DesignData> design(int choice) {
  auto d = start_up_design();
  if (choice == kHelicalChamferedProtuberance) {
    d->helix_angle = 15.0f;
    for (int g = 0; g < 2; ++g) {
      d->tip_chamfer[g] = 0.2f;
      d->edge_chamfer[g] = 0.5f;
      d->protuberance[g] = 0.06f;
    }
  }
  d->second_geometry_pass = 1;
  morvell::calc_gear_geometry(*d);
  return d;
}

const char* design_label(int choice) {
  return choice == kStartUp ? "start-up design" : "helical, chamfers, protuberance";
}

void BM_CoreRefresh(benchmark::State& state) {
  auto d = design(static_cast<int>(state.range(0)));
  state.SetLabel(design_label(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    morvell::refresh_design(*d);
    benchmark::DoNotOptimize(d->contact_damage[0]);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CoreRefresh)->Arg(kStartUp)->Arg(kHelicalChamferedProtuberance)->Unit(benchmark::kMicrosecond);

void BM_LifeAndDamage(benchmark::State& state) {
  auto d = design(static_cast<int>(state.range(0)));
  state.SetLabel(design_label(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    morvell::life_and_damage(*d);
    benchmark::DoNotOptimize(d->contact_damage[0]);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LifeAndDamage)->Arg(kStartUp)->Arg(kHelicalChamferedProtuberance)->Unit(benchmark::kMicrosecond);

}  // namespace
