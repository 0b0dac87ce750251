#include "centre_distance_minimisation.h"

#include <cmath>

#include "geometry_pass.h"
#include "life_and_damage.h"
#include "numeric.h"
#include "rating.h"
#include "rating_input.h"
#include "tooth_proportions.h"
#include "trial_loops.h"

namespace morvell {

namespace {

bool meets(float safety_factor, float minimum) { return safety_factor >= minimum; }

float ratio_of(float diameter, float width) {
  return static_cast<float>(static_cast<ld>(diameter) / static_cast<ld>(width));
}

struct Trial {
  void (*geometry)(DesignData&);
  void (*rate)(DesignData&);
  float wheel_aspect_ratio;

  void set_face_widths(DesignData& d) const {
    d.face_width[0] = ratio_of(d.reference_diameter[0], d.pinion_aspect_ratio);
    d.face_width[1] = ratio_of(d.reference_diameter[1], wheel_aspect_ratio);
  }

  // One trial pair: geometry, face widths of its diameters, geometry again (with the wheel's load cycles
  // of its teeth), and the rating; a pair whose transverse contact ratio is below 1.0 is not rated and
  // fails. Returns whether it was rated.
  bool run(DesignData& d) const {
    geometry(d);
    set_face_widths(d);
    geometry(d);
    if (d.transverse_contact_ratio < 1.0f || tooth_proportions_kept(d)) {
      d.contact_safety_factor[0] = 0.0f;
      d.contact_safety_factor[1] = 0.0f;
      d.bending_safety_factor_pinion = 0.0f;
      d.bending_safety_factor_wheel = 0.0f;
      return false;
    }
    rate(d);
    return true;
  }
};

}  // namespace

bool minimum_safety_factors_met(const DesignData& d) {
  return meets(d.contact_safety_factor[0], d.min_contact_safety_factor) &&
         meets(d.contact_safety_factor[1], d.min_contact_safety_factor) &&
         meets(d.bending_safety_factor_pinion, d.min_bending_safety_factor) &&
         meets(d.bending_safety_factor_wheel, d.min_bending_safety_factor);
}

float chamfer_fitting_next_module(float module) {
  const ld m = module;
  if (m <= 5.0L) return static_cast<float>(m + 0.001L);
  if (m <= 7.5L) return static_cast<float>(m + 0.05L);
  return static_cast<float>(m + 0.1L);
}

float fitted_tip_chamfer(float chamfer, float module) {
  if (chamfer == 0.0f) return chamfer;
  const float least = static_cast<float>(0.01L * static_cast<ld>(module));
  const float most = static_cast<float>(0.25L * static_cast<ld>(module));
  if (chamfer < least) return least;
  if (chamfer > most) return most;
  return chamfer;
}

MinimisationResult run_centre_distance_minimisation(DesignData& d, const std::array<float, 2>& saved_tip_chamfers,
                                                    const SizingProgress& progress, const SizingCalculations& calc,
                                                    int threads) {
  // A search that finds no pair puts the design back as it came, with its chamfers.
  const DesignData entry = d;

  // The module is the free size of the pair; the centre distance follows from module, teeth and shift sum,
  // and the geometry pass splits the shift sum between the gears.
  d.geometry_manager_mode = 0;
  d.shift_distribution_auto = 1;

  d.pinion_aspect_ratio = ratio_of(d.reference_diameter[0], d.face_width[0]);
  const Trial trial{calc.geometry ? calc.geometry : calc_gear_geometry, calc.rate ? calc.rate : rate_design,
                    ratio_of(d.reference_diameter[1], d.face_width[1])};

  MinimisationResult best;
  const float u = d.desired_ratio;
  const int32_t least_pinion_teeth = first_pinion_teeth(u);
  const ld most_pinion_teeth = 200.0L / static_cast<ld>(u);

  d.profile_shift_sum = 0.0f;
  // The shift loop's variable is the design's own shift sum, which each sum's rows leave as the geometry
  // passes give it back.
  TrialLoops loops;
  loops.first_sum = 0.0f;
  loops.more_sums = [](const DesignData& t, float) { return t.profile_shift_sum <= 1.0f; };
  loops.begin_sum = [](DesignData&, float) {};
  loops.next_sum = [](DesignData& t, float) {
    t.profile_shift_sum = static_cast<float>(static_cast<ld>(t.profile_shift_sum) + 0.2L);
    return t.profile_shift_sum;
  };
  loops.progress = [&progress](const DesignData& t, float) {
    if (progress) progress(to_int32_clamped(std::trunc(static_cast<ld>(t.profile_shift_sum) * 100.0L)));
  };
  loops.first_pinion_teeth = least_pinion_teeth;
  loops.more_teeth = [most_pinion_teeth](int32_t z1) {
    return z1 > 0 && z1 <= 100 && static_cast<ld>(z1) <= most_pinion_teeth;
  };
  loops.start_row = [u](DesignData& t, int32_t z1) {
    t.normal_module = 0.5f;
    set_trial_teeth(t, z1, sizing_wheel_teeth(z1, u));
    t.contact_safety_factor[0] = 0.0f;  // the first module is always tried
  };
  loops.module_loop = [&trial](DesignData& t, GeometryPass pass) {
    const Trial row_trial{pass, trial.rate, trial.wheel_aspect_ratio};
    const ld module_limit = 5000.0L / (static_cast<ld>(t.teeth[0]) + static_cast<ld>(t.teeth[1]));
    ModuleLoop m;
    m.tried_module = t.normal_module;
    while (t.normal_module < 10.0f && static_cast<ld>(t.normal_module) < module_limit &&
           !minimum_safety_factors_met(t)) {
      m.tried_module = t.normal_module;
      ++m.evaluations;
      if (row_trial.run(t)) ++m.ratings;
      t.normal_module = sizing_next_module(t.normal_module);
    }
    return m;
  };
  loops.trial = [&trial](DesignData& t, float module, GeometryPass pass) {
    const Trial row_trial{pass, trial.rate, trial.wheel_aspect_ratio};
    t.normal_module = module;
    row_trial.run(t);
    t.normal_module = sizing_next_module(t.normal_module);
  };
  // Strictly less: among pairs of equal centre distance the first found (smaller shift sum, then fewer
  // pinion teeth) stays. The module kept is the one the pair was rated with.
  loops.after_row = [&best](const DesignData& t, float, int32_t z1, const ModuleLoop& m) {
    best.evaluations += m.evaluations;
    best.ratings += m.ratings;
    if (t.centre_distance < best.centre_distance && minimum_safety_factors_met(t)) {
      best.centre_distance = t.centre_distance;
      best.normal_module = m.tried_module;
      best.pinion_teeth = z1;
      best.profile_shift_sum = t.profile_shift_sum;
      best.found = true;
    }
  };
  run_trial_loops(d, loops, trial.geometry, calc.geometry || calc.rate ? 1 : threads);

  if (!best.found) {
    d = entry;
    d.tip_chamfer[0] = saved_tip_chamfers[0];
    d.tip_chamfer[1] = saved_tip_chamfers[1];
    return best;
  }

  // The best pair.
  d.normal_module = best.normal_module;
  d.profile_shift_sum = best.profile_shift_sum;
  set_trial_teeth(d, best.pinion_teeth, sizing_wheel_teeth(best.pinion_teeth, u));
  trial.geometry(d);

  // The chamfers go back on, held between 0.01 and 0.25 times the module, and the module is raised in
  // small steps until the chamfered pair meets the minima again. The pair left is the one rated last,
  // with the module it was rated with and the geometry of that module. When no module below 10 meets
  // the minima, the best pair stays as it was found, without tip chamfers.
  if (saved_tip_chamfers[0] != 0.0f || saved_tip_chamfers[1] != 0.0f) {
    bool met = false;
    for (float module = d.normal_module; module < 10.0f && !met; module = chamfer_fitting_next_module(module)) {
      d.normal_module = module;
      d.tip_chamfer[0] = fitted_tip_chamfer(saved_tip_chamfers[0], module);
      d.tip_chamfer[1] = fitted_tip_chamfer(saved_tip_chamfers[1], module);
      ++best.fitting_evaluations;
      met = trial.run(d) && minimum_safety_factors_met(d);
    }
    if (!met) {
      best.chamfers_dropped = true;
      d.tip_chamfer[0] = 0.0f;
      d.tip_chamfer[1] = 0.0f;
      d.normal_module = best.normal_module;
      trial.geometry(d);
    }
  }

  // Face widths of the design that is left (not of the last pair tried); its geometry pass gave it the
  // wheel's load cycles of its own teeth.
  trial.set_face_widths(d);
  return best;
}

}  // namespace morvell
