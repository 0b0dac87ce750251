// The calculation of one main-window refresh after an edit, and life and damage, on two designs: the start-up
// design (the start-up values with the shipped default design file) and a helical design with tip and
// edge chamfers and a protuberance.
//
// "core refresh" is what the refresh computes with the rating enabled: two geometry passes, the rating
// of the load case, life and damage, and the tooth profiles of both gears.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
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

// The tooth profile of one gear with the arguments the refresh passes.
void generate_profile(DesignData& d, int g) {
  morvell::generate_tooth_profile(morvell::finished_outline_input(d, g), &d.form_diameter[g], d.profile_points);
}

void core_refresh(DesignData& d) {
  d.second_geometry_pass = 0;
  morvell::calc_gear_geometry(d);
  d.second_geometry_pass = 1;
  morvell::calc_gear_geometry(d);
  if (d.rating_enabled == 1) morvell::rate_if_ratable(d);
  generate_profile(d, 0);
  generate_profile(d, 1);
}

void BM_CoreRefresh(benchmark::State& state) {
  auto d = design(static_cast<int>(state.range(0)));
  state.SetLabel(design_label(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    core_refresh(*d);
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
