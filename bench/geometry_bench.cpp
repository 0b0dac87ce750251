#include <benchmark/benchmark.h>

#include "design_data.h"
#include "geometry_pass.h"
#include "startup_values.h"

using namespace morvell;

namespace {

// The start-up design after its first pass, with the given geometry-manager mode.
DesignData startup_design(int32_t geometry_manager_mode) {
  DesignData d;
  set_startup_values(d);
  calc_gear_geometry(d);
  d.geometry_manager_mode = geometry_manager_mode;
  return d;
}

// The two geometry passes of the main-window refresh after an edit, as the refresh runs them.
void refresh_passes(DesignData& d) {
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);
}

}  // namespace

// One pass over the start-up design, as a search runs it once per candidate; the argument is the
// geometry-manager mode (0 module fixed, 1 centre distance fixed, 2 numbers of teeth follow).
static void BM_GeometryPass(benchmark::State& state) {
  DesignData d = startup_design(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    calc_gear_geometry(d);
    benchmark::DoNotOptimize(d.transverse_contact_ratio);
  }
}
BENCHMARK(BM_GeometryPass)->Arg(0)->Arg(1)->Arg(2);

// The refresh's two passes with each tooth-proportion mode: 0 Input, 1 Standard Rack (the rack copy and
// the tip limits), 2 Calculate (the limit searches of the tooth proportions).
static void BM_GeometryRefreshPasses(benchmark::State& state) {
  DesignData base = startup_design(1);
  const int32_t mode = static_cast<int32_t>(state.range(0));
  if (mode == 1) {
    for (int i = 0; i < 2; ++i) {
      base.basic_rack.addendum_coeff[i] = 1.0f;
      base.basic_rack.dedendum_coeff[i] = 1.25f;
      base.basic_rack.fillet_radius_coeff[i] = 0.3f;
    }
    base.basic_rack.pressure_angle = 20.0f;
  }
  base.tooth_proportion_mode = mode;
  DesignData d = base;
  for (auto _ : state) {
    refresh_passes(d);
    benchmark::DoNotOptimize(d.tip_diameter[0]);
  }
}
BENCHMARK(BM_GeometryRefreshPasses)->Arg(0)->Arg(1)->Arg(2);
