#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "design_data.h"
#include "rating.h"
#include "rating_input.h"

using namespace morvell;

namespace {

// A helical pair of case-hardened steel (23/32 teeth, module 2.25, 27.88 degrees), filled as the
// geometry pass and the rating-input windows leave it.
std::unique_ptr<DesignData> rated_design() {
  auto d = std::make_unique<DesignData>();
  const double m = 2.25, beta = 27.88 * M_PI / 180, an = 20 * M_PI / 180;
  const double at = std::atan(std::tan(an) / std::cos(beta));
  d->teeth[0] = 23;
  d->teeth[1] = 32;
  d->normal_module = static_cast<float>(m);
  d->normal_pressure_angle = 20;
  d->helix_angle = 27.88f;
  d->transverse_pressure_angle = d->working_transverse_pressure_angle = static_cast<float>(at * 180 / M_PI);
  d->base_helix_angle = static_cast<float>(std::atan(std::tan(beta) * std::cos(at)) * 180 / M_PI);
  d->transverse_contact_ratio = 1.42f;
  d->axial_contact_ratio = 1.16f;
  d->active_face_width = 17.5f;
  for (int g = 0; g < 2; ++g) {
    const double dg = d->teeth[g] * m / std::cos(beta);
    d->reference_diameter[g] = static_cast<float>(dg);
    d->base_diameter[g] = static_cast<float>(dg * std::cos(at));
    d->eap_diameter[g] = static_cast<float>(dg + 2 * m);
    d->addendum[g] = static_cast<float>(m);
    d->dedendum[g] = static_cast<float>(1.25 * m);
    d->root_fillet_radius[g] = 0.675f;
    d->face_width[g] = d->bending_face_width[g] = 17.5f;
    d->thickness_nominal_normal[g] = static_cast<float>(M_PI * m / 2);
    d->thickness_finished_normal[g] = static_cast<float>(M_PI * m / 2 - 0.05);
    d->poisson_ratio[g] = 0.3f;
    d->elastic_modulus[g] = 207000;
    d->iso_grade[g] = 8;
    d->material_type[g] = 7;
    d->sigma_hlim[g] = 1500;
    d->sigma_flim[g] = 500;
    d->sigma_f_static[g] = 1250;
    d->base_pitch_error[g] = 12;
    d->flank_roughness[g] = 0.8f;
    d->fillet_roughness[g] = 1.6f;
    d->surface_hardness[g] = 60;
  }
  d->speed = 2500;
  d->torque = 200;
  d->application_factor = 1.25f;
  d->f_beta_x = 12;
  d->lubricant_viscosity = 150;
  d->sigma_h_static_pinion = d->sigma_h_static_wheel = 2400;
  d->sigma_h_pit_pinion = d->sigma_h_pit_wheel = 1500;
  d->sigma_h_inf_pinion = d->sigma_h_inf_wheel = 1275;
  d->nl_static_contact_pinion = d->nl_static_contact_wheel = 1e5f;
  d->nl_lim_contact_pinion = d->nl_lim_contact_wheel = 5e7f;
  d->nl_pit_contact_pinion = d->nl_pit_contact_wheel = 5e7f;
  d->nl_inf_contact_pinion = d->nl_inf_contact_wheel = 1e10f;
  d->sigma_f_inf_pinion = d->sigma_f_inf_wheel = 425;
  d->nl_static_bending_pinion = d->nl_static_bending_wheel = 1e3f;
  d->nl_lim_bending_pinion = d->nl_lim_bending_wheel = 3e6f;
  d->nl_inf_bending_pinion = d->nl_inf_bending_wheel = 1e10f;
  d->yield_stress_pinion = d->yield_stress_wheel = 850;
  d->tensile_stress_pinion = d->tensile_stress_wheel = 2250;
  d->load_cycles_pinion = 1.5e8f;
  d->load_cycles_wheel = 1.5e8f * 23 / 32;
  return d;
}

}  // namespace

// One rating: what the search and the centre-distance minimisation pay per candidate.
static void BM_RateGearPair(benchmark::State& state) {
  auto d = rated_design();
  for (auto _ : state) {
    rate_gear_pair(make_rating_input(*d), *d);
    benchmark::DoNotOptimize(d->contact_safety_factor[0]);
  }
}
BENCHMARK(BM_RateGearPair);

// The ratings of one refresh: the current load and the S-N knees of both gears (20 runs).
static void BM_RatingsOfOneRefresh(benchmark::State& state) {
  auto d = rated_design();
  for (auto _ : state) {
    for (int run = 0; run < 20; ++run) {
      RatingInput in = make_rating_input(*d);
      in.load_cycles_pinion = in.load_cycles_wheel = static_cast<float>(1e3 * (run + 1));
      rate_gear_pair(in, *d);
    }
    benchmark::DoNotOptimize(d->bending_safety_factor_wheel);
  }
}
BENCHMARK(BM_RatingsOfOneRefresh);
