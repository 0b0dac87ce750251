#include "sizing_search.h"

#include <cmath>
#include <memory>

#include "geometry_pass.h"
#include "life_and_damage.h"
#include "numeric.h"
#include "rating.h"
#include "rating_input.h"
#include "trial_loops.h"
#include "tooth_proportions.h"

namespace morvell {

namespace {

// A safety factor that is not a number counts as not met: an unrated trial must not stop the module
// search nor pass for a sound design.
bool below_one(float safety_factor) { return !(safety_factor >= 1.0f); }

bool any_safety_factor_below_one(const DesignData& d) {
  return below_one(d.contact_safety_factor[0]) || below_one(d.contact_safety_factor[1]) ||
         below_one(d.bending_safety_factor_pinion) || below_one(d.bending_safety_factor_wheel);
}

// Face widths of both gears from the pinion reference diameter and the aspect ratio.
void set_face_widths(DesignData& d) {
  const float b1 =
      static_cast<float>(static_cast<ld>(d.reference_diameter[0]) / static_cast<ld>(d.pinion_aspect_ratio));
  d.face_width[0] = b1;
  d.face_width[1] = b1;
}

}  // namespace

float sizing_aspect_ratio(ld r) {
  if (r >= 3.0L) return static_cast<float>(2.0L / ((1.0L + r) * 0.3L));
  if (r >= 1.0L) return static_cast<float>(2.0L / (((r - 1.0L) * 0.06L * 0.5L + 0.24L) * (1.0L + r)));
  return static_cast<float>(2.0L / ((1.0L + r) * 0.24L));
}

int32_t sizing_wheel_teeth(int32_t z1, float u) {
  return to_int32_clamped(round_half_up(static_cast<ld>(z1) * static_cast<ld>(u)));
}

int32_t first_pinion_teeth(float u) {
  const ld most = 200.0L / static_cast<ld>(u);
  if (most >= 11.0L) return 11;
  if (most >= 10.0L) return 10;
  return 0;  // also for a ratio that is not a number or not positive
}

void set_trial_teeth(DesignData& d, int32_t z1, int32_t z2) {
  d.teeth[0] = z1;
  d.teeth[1] = z2;
  d.actual_ratio = static_cast<float>(static_cast<ld>(z2) / static_cast<ld>(z1));
}

float sizing_next_module(float module) {
  const ld m = module;
  if (m <= 5.0L) return static_cast<float>(m + 0.1L);
  if (m <= 7.5L) return static_cast<float>(m + 0.2L);
  return static_cast<float>(m + 0.3L);
}

SizingResult run_sizing_search(DesignData& d, const SizingProgress& progress, const SizingCalculations& calc,
                               int threads) {
  void (*const geometry)(DesignData&) = calc.geometry ? calc.geometry : calc_gear_geometry;
  void (*const rate)(DesignData&) = calc.rate ? calc.rate : rate_design;

  SizingResult best;
  const float u = d.desired_ratio;
  const int32_t least_pinion_teeth = first_pinion_teeth(u);
  if (least_pinion_teeth == 0) {
    best.refusal = SizingRefusal::RatioOutOfReach;
    return best;
  }
  best.pinion_teeth = least_pinion_teeth;
  // A search that sizes no pair puts the design back as it came.
  const auto entry = std::make_unique<DesignData>(d);

  // A sized design: the geometry pass splits the shift sum, calculates the tooth proportions from the
  // constraints with one basic rack for both gears, and the centre distance follows from module, teeth
  // and shift sum.
  d.shift_distribution_auto = 1;
  d.tooth_proportion_mode = 2;
  d.keep_pinion_wheel_same = 1;
  d.allow_tip_diameter_reduction = 0;
  d.geometry_manager_mode = 0;

  const ld most_pinion_teeth = 200.0L / static_cast<ld>(u);

  // One trial: geometry, face widths of its diameters, geometry again (with the wheel's load cycles of
  // its teeth), and the rating when the transverse contact ratio is above 1.0 (else the safety factors
  // are 0). True when it was rated.
  auto one_trial = [rate](DesignData& t, GeometryPass pass) {
    pass(t);
    set_face_widths(t);
    pass(t);
    if (t.transverse_contact_ratio > 1.0f && !tooth_proportions_kept(t)) {
      rate(t);
      return true;
    }
    t.contact_safety_factor[0] = 0.0f;
    t.contact_safety_factor[1] = 0.0f;
    t.bending_safety_factor_pinion = 0.0f;
    t.bending_safety_factor_wheel = 0.0f;
    return false;
  };

  TrialLoops loops;
  loops.first_sum = 0.0f;
  loops.more_sums = [](const DesignData&, float sum) { return sum <= 1.0f; };
  loops.begin_sum = [](DesignData& t, float sum) { t.profile_shift_sum = sum; };
  loops.next_sum = [](DesignData&, float sum) { return static_cast<float>(static_cast<ld>(sum) + 0.2L); };
  loops.progress = [&progress](const DesignData&, float next) {
    if (progress) progress(to_int32_clamped(std::trunc(static_cast<ld>(next) * 100.0L)));
  };
  loops.first_pinion_teeth = least_pinion_teeth;
  loops.more_teeth = [most_pinion_teeth](int32_t z1) { return z1 <= 100 && static_cast<ld>(z1) <= most_pinion_teeth; };
  loops.start_row = [u](DesignData& t, int32_t z1) {
    set_trial_teeth(t, z1, sizing_wheel_teeth(z1, u));
    t.normal_module = 0.5f;
    t.contact_safety_factor[0] = 0.0f;  // the first module is always evaluated
  };
  loops.module_loop = [&one_trial](DesignData& t, GeometryPass pass) {
    const ld module_limit = 5000.0L / (static_cast<ld>(t.teeth[0]) + static_cast<ld>(t.teeth[1]));
    ModuleLoop m;
    m.tried_module = t.normal_module;
    while (t.normal_module < 10.0f && static_cast<ld>(t.normal_module) < module_limit &&
           any_safety_factor_below_one(t)) {
      m.tried_module = t.normal_module;
      ++m.evaluations;
      if (one_trial(t, pass)) ++m.ratings;
      t.normal_module = sizing_next_module(t.normal_module);
    }
    return m;
  };
  loops.trial = [&one_trial](DesignData& t, float module, GeometryPass pass) {
    t.normal_module = module;
    one_trial(t, pass);
    t.normal_module = sizing_next_module(t.normal_module);
  };
  // Of the pairs whose last trial met the safety factors, least centre distance wins; a tie keeps the
  // design found first. A pair whose module loop ran out at the module bounds does not compete: its
  // last trial failed the targets or was not rated at all.
  loops.after_row = [&best](const DesignData& t, float sum, int32_t z1, const ModuleLoop& m) {
    best.evaluations += m.evaluations;
    best.ratings += m.ratings;
    if (m.evaluations > 0 && !any_safety_factor_below_one(t) && t.centre_distance < best.centre_distance) {
      best.centre_distance = t.centre_distance;
      best.pinion_teeth = z1;
      best.normal_module = m.tried_module;
      best.profile_shift_sum = sum;
      best.sized = true;
    }
  };
  run_trial_loops(d, loops, geometry, calc.geometry || calc.rate ? 1 : threads);

  if (!best.sized) {
    d = *entry;
    best.refusal = SizingRefusal::TargetsNotMet;
    return best;
  }

  // The chosen design, with the face widths and (through its geometry pass) the wheel load cycles of its
  // own teeth.
  set_trial_teeth(d, best.pinion_teeth, sizing_wheel_teeth(best.pinion_teeth, u));
  d.normal_module = best.normal_module;
  d.profile_shift_sum = best.profile_shift_sum;
  geometry(d);
  set_face_widths(d);
  return best;
}

}  // namespace morvell
