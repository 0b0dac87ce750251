// Every candidate of the design-space search is rated on its own, from the user's design: seeded random
// designs (spur and helical, backlash, load, material) and search ranges drawn within the search
// window's own bounds. Each listed record must equal a fresh rating of its candidate, the search must
// evaluate no more candidates than its grid holds, and one thread must give what all cores give.
//
// MORVELL_SEARCH_PROPERTY_CASES raises the number of seeded cases (the fuzzing script runs more).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "design_search.h"
#include "file_bytes.h"
#include "geometry_pass.h"
#include "input_limits.h"
#include "material_table.h"
#include "numeric.h"
#include "rating.h"
#include "rating_input.h"
#include "search_result_file.h"
#include "shipped_design.h"

using namespace morvell;

namespace {

int case_count(int in_suite) {
  if (const char* v = std::getenv("MORVELL_SEARCH_PROPERTY_CASES")) return std::max(1, std::atoi(v));
  return in_suite;
}

// A user's design and search ranges drawn within what the main window and the search window accept; with
// `wide_teeth` the teeth range of autoscaled extents, beyond the window's ten counts.
std::unique_ptr<DesignData> random_search(std::mt19937& rng, bool wide_teeth = false) {
  auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto whole = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto d = shipped_design();
  // The user's own values, which every candidate must take.
  d->backlash_normal = float(uniform(0, 0.4));
  d->backlash_distribution = float(uniform(0, 1));
  estimate_material(*d, whole(0, kMaterialTypeCount - 1));
  d->torque = float(uniform(20, 600));
  d->speed = float(uniform(100, 6000));
  d->f_beta_x = float(uniform(0, 60));
  d->load_cycles_pinion = float(std::pow(10.0, uniform(4, 10)));
  d->application_factor = float(uniform(1, 2));
  d->helix_angle = whole(0, 2) == 0 ? 0.0f : float(uniform(5, 35));
  d->desired_ratio = float(uniform(1.05, 6));
  calc_gear_geometry(*d);
  // What the main window's search command sets.
  d->tooth_proportion_mode = 2;
  d->keep_pinion_wheel_same = 0;
  d->protuberance[0] = d->protuberance[1] = 0;
  // The window's ranges: teeth 13 to 200, at most ten counts; modules from 0.5 mm to the one at which 13
  // pinion teeth fill the centre distance; pressure angles 10 to 30; helix angles 0 to below 45.
  d->search_teeth_min = whole(13, 60);
  d->search_teeth_max = d->search_teeth_min + (wide_teeth ? whole(10, 140) : 1);
  const double twice_a_cos = 2.0 * d->centre_distance * std::cos(double(d->normal_pressure_angle) * kPi / 180);
  const double m13 = twice_a_cos / (13.0 * d->desired_ratio + 13);
  d->search_module_min = float(uniform(0.5, std::max(0.6, 0.8 * m13)));
  d->search_module_max = float(uniform(d->search_module_min, std::max(double(d->search_module_min) + 0.1, m13)));
  d->search_pressure_angle_min = float(uniform(10, 28));
  d->search_pressure_angle_max = float(uniform(d->search_pressure_angle_min + 0.5, 30));
  if (whole(0, 3) == 0) {
    d->search_helix_angle_min = d->search_helix_angle_max = 0;
  } else {
    d->search_helix_angle_min = float(uniform(0, 40));
    d->search_helix_angle_max = float(uniform(d->search_helix_angle_min + 0.5, 44.9));
  }
  d->search_fillet_coeff_min = 0.3f;
  d->search_fillet_coeff_max = 0.4f;
  return d;
}

// --- The reference: the grid walked candidate by candidate, each rated afresh from the user's design ---

float step_value(float min, float max, int step, int divisions) {
  return float(ld(min) + ld(step) * (ld(max) - ld(min)) / ld(divisions));
}

struct Fresh {
  std::unique_ptr<DesignData> design;
  bool rated = false;
  bool errors = false;
};

// Candidate (pass, grid point g) of the user's design rated afresh: the user's design with the grid's
// values, after a candidate that left `before` (a shift variant 1 or 2 moves its pinion shift by its
// bending safety factors).
Fresh rate_afresh(const DesignData& user, int pass, const SearchGridPoint& g, const DesignData& before) {
  Fresh f;
  f.design = std::make_unique<DesignData>(user);
  DesignData& d = *f.design;
  d.geometry_manager_mode = pass;
  d.profile_shift_sum = 0;
  if (pass == 1) {
    const int64_t span = int64_t(d.search_teeth_max) - d.search_teeth_min;
    const int64_t counts = std::min<int64_t>(span + 1, 10);
    d.teeth[0] = int32_t(d.search_teeth_min + g.teeth_step * (counts > 1 ? span / (counts - 1) : 0));
  } else {
    d.normal_module = step_value(d.search_module_min, d.search_module_max, g.module_step, 19);
  }
  d.normal_pressure_angle = step_value(d.search_pressure_angle_min, d.search_pressure_angle_max, g.pressure_angle_step, 4);
  d.helix_angle = step_value(d.search_helix_angle_min, d.search_helix_angle_max, g.helix_step, 4);
  // The module at which 13 pinion teeth and their wheel fill the centre distance without shift: the
  // reference diameters sum to twice the centre distance.
  const ld z2_at_13 = whole_part_of_float_product(13.0L * d.desired_ratio);
  d.normal_module = std::min(d.normal_module, float(2.0L * d.centre_distance * std::cos(ld(d.helix_angle) * kPi / 180.0L) /
                                                    (13.0L + z2_at_13)));
  d.min_root_fillet_coeff[0] = d.min_root_fillet_coeff[1] =
      step_value(d.search_fillet_coeff_min, d.search_fillet_coeff_max, g.fillet_step, 2);
  d.shift_distribution_auto = g.shift_variant == 0 ? 1 : 0;
  if (g.shift_variant != 0) {
    const bool pinion_weaker = before.bending_safety_factor_pinion <= before.bending_safety_factor_wheel;
    d.profile_shift[0] = float(ld(before.profile_shift[0]) + (pinion_weaker ? 0.2L : -0.15L));
  }
  std::vector<std::string> reports;
  {
    DomainErrorCollector collect(reports);
    if (pass == 1) {
      const ld z1_u = ld(d.teeth[0]) * d.desired_ratio;
      d.teeth[1] = int32_t(g.rounding_variant == 0 ? std::ceil(z1_u) : std::floor(z1_u));
      const float u = d.desired_ratio;
      d.desired_ratio = d.actual_ratio = float(ld(d.teeth[1]) / d.teeth[0]);
      calc_gear_geometry(d);
      d.desired_ratio = u;
    } else {
      calc_gear_geometry(d);
    }
    f.rated = reports.empty() && d.transverse_contact_ratio > 1.0f;
    if (f.rated) rate_gear_pair(make_rating_input(d), d);
  }
  f.errors = !reports.empty();
  return f;
}

// Every record the grid lists for the user's design, each candidate rated afresh (an unrated one with
// every rating field "nan"), formatted as the result file holds it; `evaluated` counts the candidates.
std::string reference_listing(const DesignData& user, int& evaluated) {
  std::string text;
  evaluated = 0;
  auto before = std::make_unique<DesignData>(user);
  before->profile_shift_sum = 0;
  const int64_t span = int64_t(user.search_teeth_max) - user.search_teeth_min;
  const int teeth_counts = int(std::clamp<int64_t>(span + 1, 0, 10));
  for (int pass = 1; pass <= 2; ++pass) {
    SearchGridPoint g;
    for (g.module_step = 0; g.module_step < (pass == 1 ? 1 : 20); ++g.module_step)
      for (g.teeth_step = 0; g.teeth_step < (pass == 1 ? teeth_counts : 1); ++g.teeth_step)
        for (g.pressure_angle_step = 0; g.pressure_angle_step < 5; ++g.pressure_angle_step)
          for (g.helix_step = 0; g.helix_step < 5; ++g.helix_step)
            for (g.fillet_step = 0; g.fillet_step < 3; ++g.fillet_step)
              for (g.rounding_variant = 0; g.rounding_variant < (pass == 1 ? 2 : 1); ++g.rounding_variant)
                for (g.shift_variant = 0; g.shift_variant < 3; ++g.shift_variant) {
                  Fresh f = rate_afresh(user, pass, g, *before);
                  ++evaluated;
                  DesignData& d = *f.design;
                  if (!f.rated) {
                    for (float* v : {&d.nominal_bending_stress_pinion, &d.tooth_root_stress_pinion,
                                     &d.permissible_bending_stress_pinion, &d.bending_safety_factor_pinion,
                                     &d.nominal_bending_stress_wheel, &d.tooth_root_stress_wheel,
                                     &d.permissible_bending_stress_wheel, &d.bending_safety_factor_wheel,
                                     &d.nominal_contact_stress, &d.contact_stress[0], &d.permissible_contact_stress[0],
                                     &d.contact_safety_factor[0], &d.contact_stress[1], &d.permissible_contact_stress[1],
                                     &d.contact_safety_factor[1]})
                      *v = nan_f();
                  }
                  const DesignPointRecord r = design_point_of(d, g);
                  // The main window takes it as listed: teeth it accepts, a design a file holds, and
                  // shifts that fill the centre distance (to the rounding of the geometry's floats).
                  const bool deliverable =
                      r.teeth[0] >= 6 && r.teeth[0] <= 999 && r.teeth[1] >= 6 && r.teeth[1] <= 999 &&
                      design_point_usable(r) &&
                      std::fabs(double(d.centre_distance_from_shifts) - d.centre_distance) <= 1e-5 * d.centre_distance;
                  if (deliverable) text += format_design_point(r);
                  before = std::move(f.design);
                }
  }
  return text;
}

}  // namespace

// The listing of a search equals, record for record and byte for byte, the reference's fresh ratings
// of its candidates from the user's design; one thread and four give the same file.
TEST(SearchCandidatesProperty, EveryListedRecordIsAFreshRatingOfItsCandidate) {
  const int cases = case_count(2);
  for (int k = 0; k < cases; ++k) {
    const unsigned seed = 4901u + unsigned(k) * 7919u;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    // Every other case over a teeth range wider than the window's ten counts, as Auto Scale leaves it.
    const auto user = random_search(rng, k % 2 == 1);

    auto one = std::make_unique<DesignData>(*user);
    const SearchRun run = search_design_space(*one, {}, {}, "search_property_one.dat", 1);
    ASSERT_TRUE(run.ok()) << run.message;
    const std::string listed = file_bytes("search_property_one.dat");

    int evaluated = 0;
    const std::string expected = reference_listing(*user, evaluated);
    EXPECT_EQ(run.evaluations, evaluated);
    EXPECT_LE(run.evaluations, 9000);
    EXPECT_EQ(run.records + run.unlisted, run.evaluations);
    EXPECT_EQ(run.records, int(run.listed.size()));
    if (listed != expected) {
      std::istringstream a(listed), b(expected);
      std::string la, lb;
      for (int line = 0; std::getline(a, la) && std::getline(b, lb); ++line)
        if (la != lb) {
          ADD_FAILURE() << "line " << line << "\n search:    " << la << "\n reference: " << lb;
          break;
        }
      ADD_FAILURE() << "listings differ: " << listed.size() << " and " << expected.size() << " bytes";
    }

    auto many = std::make_unique<DesignData>(*user);
    const SearchRun on_four = search_design_space(*many, {}, {}, "search_property_four.dat", 4);
    EXPECT_TRUE(file_bytes("search_property_four.dat") == listed);
    EXPECT_EQ(on_four.evaluations, run.evaluations);
    std::remove("search_property_one.dat");
    std::remove("search_property_four.dat");
  }
}
