#include "life_and_damage.h"

#include <cmath>
#include <limits>

#include "design_data.h"
#include "numeric.h"
#include "rating.h"
#include "rating_input.h"

namespace morvell {

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Cycles at `stress` on the straight line (log10 N, log10 sigma) through (n_a, p_a) and (n_b, p_b).
// A flat line never reaches a lower stress: the life is infinite.
ld interpolate_life(ld stress, ld n_a, ld p_a, ld n_b, ld p_b) {
  const ld log_pa = std::log10(p_a);
  const ld log_pb = std::log10(p_b);
  if (log_pa == log_pb) return std::numeric_limits<ld>::infinity();
  const ld log_na = std::log10(n_a);
  const ld log_n = log_na + (log_pa - std::log10(stress)) * (std::log10(n_b) - log_na) / (log_pa - log_pb);
  return std::pow(10.0L, log_n);
}

// Rates at each point of one S-N curve with the gear's load cycles set to the point's cycles and
// stores the gear's permissible stress of that run. The other gear's cycles stay as they are: a
// gear's permissible stresses depend on its own cycles only.
template <int N, typename Permissible>
void fill_table(DesignData& d, RateDesign rate, float& load_cycles, const float (&cycles)[N], float (&table)[N],
                Permissible permissible) {
  for (int k = 0; k < N; ++k) {
    load_cycles = cycles[k];
    rate(d);
    table[k] = permissible(d);
  }
}

}  // namespace

void rate_design(DesignData& d) { rate_gear_pair(make_rating_input(d), d); }

float sn_curve_life(float stress, const float* cycles, const float* stresses, int count) {
  if (count < 2) return nan_f();
  const ld sigma = stress;
  if (sigma > stresses[0]) return 0.0f;  // above the static end of the curve
  // The first point whose stress lies below sigma ends the segment; the last segment takes the rest.
  int b = 1;
  while (b < count - 1 && !(sigma > stresses[b])) ++b;
  return to_float(interpolate_life(sigma, cycles[b - 1], stresses[b - 1], cycles[b], stresses[b]));
}

float damage_percent(float load_cycles, float life) {
  if (life == 0.0f) return kInfinity;
  return to_float(static_cast<ld>(load_cycles) / static_cast<ld>(life) * 100.0L);
}

void life_and_damage(DesignData& d) { life_and_damage(d, rate_design); }

void life_and_damage(DesignData& d, RateDesign rate) {
  if (d.rating_enabled != 1) return;

  const float load_cycles_pinion = d.load_cycles_pinion;
  const float load_cycles_wheel = d.load_cycles_wheel;

  // S-N points in the order of the tables.
  const float contact_cycles_pinion[4] = {d.nl_static_contact_pinion, d.nl_pit_contact_pinion,
                                          d.nl_lim_contact_pinion, d.nl_inf_contact_pinion};
  const float contact_cycles_wheel[4] = {d.nl_static_contact_wheel, d.nl_pit_contact_wheel, d.nl_lim_contact_wheel,
                                         d.nl_inf_contact_wheel};
  const float bending_cycles_pinion[3] = {d.nl_static_bending_pinion, d.nl_lim_bending_pinion,
                                          d.nl_inf_bending_pinion};
  const float bending_cycles_wheel[3] = {d.nl_static_bending_wheel, d.nl_lim_bending_wheel, d.nl_inf_bending_wheel};

  // Every table is filled on every run, whatever the safety factor at its static point (the first run
  // of each table): a table kept from an earlier design would give this design a life it does not have.
  // A gear that fails at its static point then gets life 0 from its own table.
  fill_table(d, rate, d.load_cycles_pinion, contact_cycles_pinion, d.sn_permissible_contact_pinion,
             [](const DesignData& r) { return r.permissible_contact_stress[0]; });
  fill_table(d, rate, d.load_cycles_wheel, contact_cycles_wheel, d.sn_permissible_contact_wheel,
             [](const DesignData& r) { return r.permissible_contact_stress[1]; });
  fill_table(d, rate, d.load_cycles_pinion, bending_cycles_pinion, d.sn_permissible_bending_pinion,
             [](const DesignData& r) { return r.permissible_bending_stress_pinion; });
  fill_table(d, rate, d.load_cycles_wheel, bending_cycles_wheel, d.sn_permissible_bending_wheel,
             [](const DesignData& r) { return r.permissible_bending_stress_wheel; });

  // The rating results left in the design are those of the load case.
  d.load_cycles_pinion = load_cycles_pinion;
  d.load_cycles_wheel = load_cycles_wheel;
  rate(d);

  d.contact_life_pinion = sn_curve_life(d.contact_stress[0], contact_cycles_pinion, d.sn_permissible_contact_pinion, 4);
  d.contact_life_wheel = sn_curve_life(d.contact_stress[1], contact_cycles_wheel, d.sn_permissible_contact_wheel, 4);
  d.bending_life_pinion =
      sn_curve_life(d.tooth_root_stress_pinion, bending_cycles_pinion, d.sn_permissible_bending_pinion, 3);
  d.bending_life_wheel =
      sn_curve_life(d.tooth_root_stress_wheel, bending_cycles_wheel, d.sn_permissible_bending_wheel, 3);

  d.contact_damage[0] = damage_percent(load_cycles_pinion, d.contact_life_pinion);
  d.contact_damage[1] = damage_percent(load_cycles_wheel, d.contact_life_wheel);
  d.bending_damage[0] = damage_percent(load_cycles_pinion, d.bending_life_pinion);
  d.bending_damage[1] = damage_percent(load_cycles_wheel, d.bending_life_wheel);
}

bool rate_if_ratable(DesignData& d) {
  if (!(d.transverse_contact_ratio >= 1.0f) || !rating_inputs_present(d)) return false;
  rate_gear_pair(make_rating_input(d), d);
  life_and_damage(d);
  return true;
}

}  // namespace morvell
