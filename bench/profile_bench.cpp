#include <benchmark/benchmark.h>

#include <cmath>

#include "design_data.h"
#include "measurement.h"
#include "tooth_profile.h"

namespace {

// One tooth outline of a finished (thinned) spur pinion, as the refresh generates it twice per edit and
// the searches once per candidate. Argument 0 is the number of teeth: 8 is undercut, 20 is tangent.
void BM_GenerateToothProfile(benchmark::State& state) {
  const int32_t z = static_cast<int32_t>(state.range(0));
  const float m_n = 2.0f;
  const float d = z * m_n;
  const float s_t = static_cast<float>(M_PI);
  morvell::ToothProfileInput in;
  in.teeth = z;
  in.normal_module = m_n;
  in.thickness = s_t;
  in.flank_thickness = s_t - 0.1f;
  in.pressure_angle = 20.0f;
  in.root_diameter = d - 5.0f;
  in.tip_diameter = d + 4.0f;
  in.fillet_radius = 0.76f;
  in.tip_thickness = 1.2f;
  morvell::ToothProfile profile;
  float form_diameter = 0.0f;
  for (auto _ : state) {
    morvell::generate_tooth_profile(in, &form_diameter, profile);
    benchmark::DoNotOptimize(profile);
    benchmark::DoNotOptimize(form_diameter);
  }
}
BENCHMARK(BM_GenerateToothProfile)->Arg(8)->Arg(20)->Arg(60);

// Measurement over balls of one gear, as the geometry pass runs it four times per pass (nominal and
// finished thickness of both gears).
void BM_MeasurementOverBalls(benchmark::State& state) {
  morvell::DesignData d{};
  const float s_t = static_cast<float>(M_PI);
  float contact = 0.0f, centre = 0.0f;
  for (auto _ : state) {
    float ball = 3.6f;
    benchmark::DoNotOptimize(
        morvell::measurement_over_balls(d, 20, &ball, s_t, 2.0f, 0.0f, 20.0f, 44.0f, &contact, &centre));
  }
}
BENCHMARK(BM_MeasurementOverBalls);

}  // namespace
