#include "design_search.h"

#include <algorithm>
#include <cmath>

#include "geometry_pass.h"
#include "life_and_damage.h"
#include "numeric.h"
#include "rating.h"
#include "rating_input.h"

namespace morvell {

namespace {

// The tooth counts of pass 1: n_z counts from the range's minimum, `step` apart.
struct ToothSteps {
  int64_t count = 0;
  int64_t step = 0;
};

ToothSteps tooth_steps(const DesignData& d) {
  const int64_t span = int64_t(d.search_teeth_max) - int64_t(d.search_teeth_min);
  ToothSteps t;
  t.count = std::clamp<int64_t>(span + 1, 0, kSearchMaxToothCounts);
  // A single count has no step (the range's minimum alone).
  t.step = t.count > 1 ? span / (t.count - 1) : 0;
  return t;
}

// min + step (max - min) / divisions, in extended precision.
float grid_value(float min, float max, int step, int divisions) {
  return float(ld(min) + ld(step) * (ld(max) - ld(min)) / ld(divisions));
}

class Grid {
 public:
  Grid(DesignData& d, const SearchProgress& progress, const SearchCalculations& calc, SearchResultWriter& file)
      : d_(d), progress_(progress), file_(file) {
    geometry_ = calc.geometry ? calc.geometry : calc_gear_geometry;
    rate_ = calc.rate ? calc.rate : rate_design;
  }

  // Runs both passes; false when the file failed and the grid stopped.
  bool run(SearchRun& result) {
    for (int32_t mode = 1; mode <= 2; ++mode) {
      d_.geometry_manager_mode = mode;
      int64_t module_steps = 1, teeth_count = 1, roundings = 1;
      if (mode == 1) {
        teeth_count = tooth_steps(d_).count;
        roundings = 2;
        d_.profile_shift_sum = 0;
      } else {
        module_steps = kSearchModuleSteps;
      }
      d_.shift_distribution_auto = 1;
      SearchGridPoint g;
      for (g.module_step = 0; g.module_step < module_steps; ++g.module_step)
        for (g.teeth_step = 0; g.teeth_step < teeth_count; ++g.teeth_step)
          for (g.pressure_angle_step = 0; g.pressure_angle_step < kSearchPressureAngleSteps; ++g.pressure_angle_step)
            for (g.helix_step = 0; g.helix_step < kSearchHelixSteps; ++g.helix_step)
              for (g.fillet_step = 0; g.fillet_step < kSearchFilletSteps; ++g.fillet_step)
                for (g.rounding_variant = 0; g.rounding_variant < roundings; ++g.rounding_variant)
                  for (g.shift_variant = 0; g.shift_variant < kSearchShiftVariants; ++g.shift_variant) {
                    evaluate(mode, g);
                    ++result.evaluations;
                    if (!file_.write(design_point_of(d_, g))) return false;
                    ++result.records;
                  }
    }
    d_.geometry_manager_mode = 3;  // one past the last pass, until a caller sets it
    return true;
  }

 private:
  void evaluate(int32_t pass, const SearchGridPoint& g) {
    ++d_.search_eval_count;
    const int position = int(std::clamp<int32_t>(d_.search_eval_count / kSearchEvaluationsPerProgressStep, 0, 100));
    if (progress_ && position != last_position_) progress_(position);
    last_position_ = position;

    if (pass == 1) {
      const ToothSteps t = tooth_steps(d_);
      d_.teeth[0] = int32_t(std::clamp<int64_t>(int64_t(d_.search_teeth_min) + g.teeth_step * t.step, INT32_MIN,
                                                INT32_MAX));
    } else {
      d_.normal_module = grid_value(d_.search_module_min, d_.search_module_max, g.module_step, kSearchModuleSteps - 1);
    }
    d_.normal_pressure_angle = grid_value(d_.search_pressure_angle_min, d_.search_pressure_angle_max,
                                          g.pressure_angle_step, kSearchPressureAngleSteps - 1);
    d_.helix_angle =
        grid_value(d_.search_helix_angle_min, d_.search_helix_angle_max, g.helix_step, kSearchHelixSteps - 1);

    // No module above the one at which 13 pinion teeth fill the centre distance (in pass 1 the
    // geometry pass derives the module from the centre distance anyway).
    const int32_t z2_at_13 = to_int32_clamped(std::trunc(13.0L * d_.desired_ratio));
    const float m13 = module_from_centre_distance(d_.profile_shift_sum, d_.normal_pressure_angle,
                                                  d_.transverse_pressure_angle, d_.helix_angle, d_.centre_distance,
                                                  13, z2_at_13);
    if (m13 < d_.normal_module) d_.normal_module = m13;

    const float fillet =
        grid_value(d_.search_fillet_coeff_min, d_.search_fillet_coeff_max, g.fillet_step, kSearchFilletSteps - 1);
    d_.min_root_fillet_coeff[0] = fillet;
    d_.min_root_fillet_coeff[1] = fillet;

    // Variant 0 lets the geometry pass split the shift sum; variants 1 and 2 move the pinion's shift
    // from the previous evaluation towards the gear that was weaker in bending there.
    if (g.shift_variant == 0) {
      d_.shift_distribution_auto = 1;
    } else {
      d_.shift_distribution_auto = 0;
      if (d_.bending_safety_factor_pinion <= d_.bending_safety_factor_wheel)
        d_.profile_shift[0] = float(ld(d_.profile_shift[0]) + 0.2L);
      else
        d_.profile_shift[0] = float(ld(d_.profile_shift[0]) - 0.15L);
    }

    if (pass == 1) {
      const float u = d_.desired_ratio;
      const ld z1_u = ld(d_.teeth[0]) * ld(u);
      d_.teeth[1] = to_int32_clamped(g.rounding_variant == 0 ? std::ceil(z1_u) : std::floor(z1_u));
      d_.desired_ratio = float(ld(d_.teeth[1]) / ld(d_.teeth[0]));
      geometry_(d_);
      d_.desired_ratio = u;
    } else {
      geometry_(d_);
    }

    // An unrated candidate keeps the rating results of the one rated before it.
    if (d_.transverse_contact_ratio > 1.0f) rate_(d_);
  }

  DesignData& d_;
  const SearchProgress& progress_;
  SearchResultWriter& file_;
  void (*geometry_)(DesignData&);
  void (*rate_)(DesignData&);
  int last_position_ = -1;
};

}  // namespace

int32_t search_record_count(const DesignData& d) {
  const int64_t per_point = int64_t(kSearchPressureAngleSteps) * kSearchHelixSteps * kSearchFilletSteps *
                            kSearchShiftVariants;
  return int32_t(tooth_steps(d).count * 2 * per_point + kSearchModuleSteps * per_point);
}

SearchRun search_design_space(DesignData& d, const SearchProgress& progress, const SearchCalculations& calc,
                              const char* path) {
  SearchRun result;
  if (d.search_single_design == 1) {
    (calc.geometry ? calc.geometry : calc_gear_geometry)(d);
    if (d.transverse_contact_ratio >= 1.0f) (calc.rate ? calc.rate : rate_design)(d);
    return result;
  }

  d.search_eval_count = 0;
  SearchResultWriter file(path);
  if (file.ok()) {
    Grid grid(d, progress, calc, file);
    grid.run(result);
  }
  file.close();
  result.message = file.message();
  return result;
}

}  // namespace morvell
