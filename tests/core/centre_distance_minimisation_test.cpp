#include "centre_distance_minimisation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "geometry_pass.h"
#include "load_relations.h"
#include "numeric.h"
#include "rating.h"
#include "rating_input.h"
#include "shipped_design.h"
#include "sizing_search.h"
#include "startup_values.h"

using namespace morvell;

namespace {

// --- Stand-ins for the geometry pass and the rating: a test chooses each trial's centre distance and
// safety factor as functions of its teeth, module, shift sum and chamfers. ---

struct Trial {
  int32_t z1, z2;
  float module, sum;
  float actual_ratio;  // as the geometry pass found it
};

struct StandIn {
  float (*centre_distance)(const DesignData&) = nullptr;
  float (*safety)(const DesignData&) = nullptr;  // all four safety factors
  float contact_ratio = 1.5f;
  std::vector<Trial> rated;
};
StandIn* stand_in = nullptr;

void fake_geometry(DesignData& d) {
  d.reference_diameter[0] = static_cast<float>(d.teeth[0]) * d.normal_module;
  d.reference_diameter[1] = static_cast<float>(d.teeth[1]) * d.normal_module;
  d.transverse_contact_ratio = stand_in->contact_ratio;
  d.centre_distance = stand_in->centre_distance(d);
  derive_wheel_cycles(d);  // as the geometry pass does
}

void fake_rate(DesignData& d) {
  stand_in->rated.push_back({d.teeth[0], d.teeth[1], d.normal_module, d.profile_shift_sum, d.actual_ratio});
  const float s = stand_in->safety(d);
  d.contact_safety_factor[0] = d.contact_safety_factor[1] = s;
  d.bending_safety_factor_pinion = d.bending_safety_factor_wheel = s;
}

float plain_centre_distance(const DesignData& d) {
  return static_cast<float>(d.teeth[0] + d.teeth[1]) * d.normal_module / 2 + d.profile_shift_sum;
}
float never_safe(const DesignData&) { return 1.1f; }  // meets the contact minimum 1.0, not the bending 1.2

struct Search {
  StandIn s;
  std::unique_ptr<DesignData> d = std::make_unique<DesignData>();
  std::vector<int> progress;
  MinimisationResult r;

  explicit Search(float u, float (*safety)(const DesignData&), float (*cd)(const DesignData&) = plain_centre_distance) {
    s.safety = safety;
    s.centre_distance = cd;
    d->desired_ratio = u;
    d->min_contact_safety_factor = 1.0f;
    d->min_bending_safety_factor = 1.2f;
    d->reference_diameter[0] = 40;  // pinion diameter / face width 2
    d->face_width[0] = 20;
    d->reference_diameter[1] = 60;  // wheel 4
    d->face_width[1] = 15;
    d->load_cycles_pinion = 1e7f;
    d->geometry_manager_mode = 2;
    d->shift_distribution_auto = 0;
    d->teeth[0] = 23;  // the design as it came, with its own ratio
    d->teeth[1] = 32;
    d->actual_ratio = 1.391f;
    d->normal_module = 2.5f;
    d->profile_shift_sum = 0.3f;
  }
  void go(std::array<float, 2> chamfers = {0, 0}) {
    stand_in = &s;
    r = run_centre_distance_minimisation(*d, chamfers, [this](int p) { progress.push_back(p); },
                                         {fake_geometry, fake_rate});
    stand_in = nullptr;
  }
};

}  // namespace

TEST(CentreDistanceMinimisation, MinimaAreMetOnlyByAllFourFactors) {
  DesignData d;
  d.min_contact_safety_factor = 1.0f;
  d.min_bending_safety_factor = 1.2f;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float sh1, sh2, sf1, sf2;
    bool met;
  } cases[] = {
      {1.0f, 1.0f, 1.2f, 1.2f, true},   {0.99f, 1.0f, 1.2f, 1.2f, false}, {1.0f, 0.99f, 1.2f, 1.2f, false},
      {1.0f, 1.0f, 1.19f, 1.2f, false}, {1.0f, 1.0f, 1.2f, 1.19f, false}, {nan, 2.0f, 2.0f, 2.0f, false},
      {2.0f, 2.0f, 2.0f, nan, false},   {1.1f, 1.1f, 1.1f, 1.1f, false},
  };
  for (const Case& c : cases) {
    d.contact_safety_factor[0] = c.sh1;
    d.contact_safety_factor[1] = c.sh2;
    d.bending_safety_factor_pinion = c.sf1;
    d.bending_safety_factor_wheel = c.sf2;
    EXPECT_EQ(minimum_safety_factors_met(d), c.met) << c.sh1 << " " << c.sh2 << " " << c.sf1 << " " << c.sf2;
  }
}

// With no pair meeting the minima every shift sum, pinion tooth count and module below 10 is tried, and
// the design is left as it came, with its tip chamfers put back.
TEST(CentreDistanceMinimisation, LoopBoundsAndTheDesignLeftAsItCameWhenNothingMeetsTheMinima) {
  struct Case {
    float u;
    int first_pinion_teeth;
    int pinion_teeth_tried;  // first .. min(100, 200 / u)
  } cases[] = {{1.0f, 11, 90}, {4.0f, 11, 40}, {1.5f, 11, 90}, {10.0f, 11, 10},
               {18.2f, 10, 1}, {20.0f, 10, 1}, {20.5f, 0, 0}};
  for (const Case& c : cases) {
    Search run(c.u, never_safe);
    run.go({0.1f, 0.2f});
    SCOPED_TRACE(c.u);
    EXPECT_EQ(run.r.evaluations, 6 * c.pinion_teeth_tried * 67);
    EXPECT_EQ(run.r.ratings, run.r.evaluations);
    EXPECT_FALSE(run.r.found);
    EXPECT_EQ(run.progress, (std::vector<int>{20, 40, 60, 80, 100, 120}));
    if (c.pinion_teeth_tried > 0) {
      EXPECT_EQ(run.s.rated.front().z1, c.first_pinion_teeth);
      EXPECT_EQ(run.s.rated.back().z1, c.first_pinion_teeth + c.pinion_teeth_tried - 1);
      EXPECT_LT(run.s.rated.back().module, 10.0f);
      EXPECT_FLOAT_EQ(run.s.rated.back().sum, 1.0f);
    }
    const DesignData& d = *run.d;
    EXPECT_EQ(d.teeth[0], 23);
    EXPECT_EQ(d.teeth[1], 32);
    EXPECT_EQ(d.normal_module, 2.5f);
    EXPECT_EQ(d.profile_shift_sum, 0.3f);
    EXPECT_EQ(d.geometry_manager_mode, 2);
    EXPECT_EQ(d.shift_distribution_auto, 0);
    EXPECT_EQ(d.tip_chamfer[0], 0.1f);
    EXPECT_EQ(d.tip_chamfer[1], 0.2f);
    EXPECT_EQ(run.r.fitting_evaluations, 0);
  }
  EXPECT_EQ(sizing_wheel_teeth(13, 1.5f), 20);
  EXPECT_EQ(sizing_wheel_teeth(11, 1.391f), 15);
}

// Each trial splits its shift sum by its own ratio z2 / z1, not by that of the design it started from.
TEST(CentreDistanceMinimisation, EveryTrialCarriesItsOwnRatio) {
  Search run(6.0f, [](const DesignData& d) { return d.teeth[0] >= 15 ? 2.0f : 0.5f; });
  run.go();
  ASSERT_TRUE(run.r.found);
  for (const Trial& t : run.s.rated) ASSERT_EQ(t.actual_ratio, static_cast<float>(double(t.z2) / t.z1)) << t.z1;
  EXPECT_EQ(run.d->teeth[0], 15);
  EXPECT_EQ(run.d->teeth[1], 90);
  EXPECT_EQ(run.d->actual_ratio, 6.0f);
}

// Equal centre distances keep the pair found first in loop order (shift sum, then pinion teeth); a
// strictly smaller one found later wins.
TEST(CentreDistanceMinimisation, TiesKeepThePairFoundFirst) {
  Search run(
      1.0f,
      [](const DesignData& d) {
        const int32_t z1 = d.teeth[0];
        return z1 >= 20 && (z1 < 30 || d.profile_shift_sum > 0.39f) ? 2.0f : 0.5f;
      },
      [](const DesignData& d) { return d.teeth[0] >= 30 ? 39.0f : 40.0f; });
  run.go();
  EXPECT_TRUE(run.r.found);
  EXPECT_EQ(run.r.pinion_teeth, 30);
  EXPECT_FLOAT_EQ(run.r.profile_shift_sum, 0.4f);
  EXPECT_EQ(run.r.centre_distance, 39.0f);
  EXPECT_EQ(run.r.normal_module, 0.5f);
  EXPECT_EQ(run.d->teeth[0], 30);
  EXPECT_EQ(run.d->profile_shift_sum, run.r.profile_shift_sum);

  // Everything ties: the very first pair that meets the minima (sum 0, z1 = 20) stays.
  Search flat(1.0f, [](const DesignData& d) { return d.teeth[0] >= 20 ? 2.0f : 0.5f; },
           [](const DesignData&) { return 40.0f; });
  flat.go();
  EXPECT_EQ(flat.r.pinion_teeth, 20);
  EXPECT_EQ(flat.r.profile_shift_sum, 0.0f);
}

// The module is raised only until the minima are met, and the pair is kept with the module it was rated
// with, also in the steps above 5; the face widths follow the diameter ratios of both gears and the
// wheel's load cycles the chosen teeth.
TEST(CentreDistanceMinimisation, BestPairKeepsItsRatedModuleFaceWidthsAndCycles) {
  Search run(1.5f, [](const DesignData& d) { return d.normal_module >= 6.0f ? 2.0f : 0.5f; });
  run.go();
  float expected = 0.5f;
  while (expected < 6.0f) expected = sizing_next_module(expected);
  ASSERT_TRUE(run.r.found);
  EXPECT_EQ(run.r.pinion_teeth, 11);
  EXPECT_EQ(run.r.profile_shift_sum, 0.0f);
  EXPECT_EQ(run.r.normal_module, expected);
  const DesignData& d = *run.d;
  EXPECT_EQ(d.normal_module, expected);
  EXPECT_EQ(d.teeth[1], 17);  // 16.5 rounds up
  EXPECT_FLOAT_EQ(d.centre_distance, run.r.centre_distance);
  EXPECT_FLOAT_EQ(d.centre_distance, 28 * expected / 2);
  // Every pair stops at the first module that meets the minima.
  for (const Trial& t : run.s.rated) EXPECT_LE(t.module, expected);
  EXPECT_EQ(d.pinion_aspect_ratio, 2.0f);
  EXPECT_FLOAT_EQ(d.face_width[0], d.reference_diameter[0] / 2);
  EXPECT_FLOAT_EQ(d.face_width[1], d.reference_diameter[1] / 4);
  EXPECT_FLOAT_EQ(d.load_cycles_wheel, 1e7f * 11 / 17);
}

// A pair whose transverse contact ratio is below 1.0 is not rated and fails the minima; 1.0 is rated.
TEST(CentreDistanceMinimisation, ContactRatioBelowOneIsNotRated) {
  Search low(10.0f, [](const DesignData&) { return 3.0f; });
  low.s.contact_ratio = 0.999f;
  low.go();
  EXPECT_EQ(low.r.ratings, 0);
  EXPECT_EQ(low.r.evaluations, 6 * 10 * 67);
  EXPECT_FALSE(low.r.found);
  EXPECT_EQ(low.d->contact_safety_factor[0], 0.0f);

  Search one(10.0f, [](const DesignData&) { return 3.0f; });
  one.s.contact_ratio = 1.0f;
  one.go();
  EXPECT_EQ(one.r.evaluations, 6 * 10);  // the first module of every pair meets the minima
  EXPECT_EQ(one.r.ratings, one.r.evaluations);
  EXPECT_TRUE(one.r.found);
}

TEST(CentreDistanceMinimisation, ChamferSteps) {
  EXPECT_FLOAT_EQ(chamfer_fitting_next_module(3.0f), 3.001f);
  EXPECT_FLOAT_EQ(chamfer_fitting_next_module(5.0f), 5.001f);
  EXPECT_FLOAT_EQ(chamfer_fitting_next_module(5.01f), 5.06f);
  EXPECT_FLOAT_EQ(chamfer_fitting_next_module(7.5f), 7.55f);
  EXPECT_FLOAT_EQ(chamfer_fitting_next_module(7.6f), 7.7f);
  EXPECT_FLOAT_EQ(fitted_tip_chamfer(0.1f, 3.0f), 0.1f);
  EXPECT_FLOAT_EQ(fitted_tip_chamfer(0.02f, 3.0f), 0.03f);
  EXPECT_FLOAT_EQ(fitted_tip_chamfer(1.0f, 3.0f), 0.75f);
  EXPECT_EQ(fitted_tip_chamfer(0.0f, 3.0f), 0.0f);
}

// The saved chamfers are put back within 0.01 and 0.25 times the module and the module raised in steps of
// 0.001 until the chamfered pair meets the minima. The pair left is the one rated last: its module, its
// chamfers and the geometry and face widths of that module.
TEST(CentreDistanceMinimisation, ChamferFittingRaisesTheModuleUntilTheMinimaAreMetAgain) {
  const auto safety = [](const DesignData& d) {
    const bool chamfered = d.tip_chamfer[0] != 0 || d.tip_chamfer[1] != 0;
    return d.normal_module >= (chamfered ? 3.04f : 2.95f) ? 2.0f : 0.5f;
  };
  float best = 0.5f;
  while (best < 2.95f) best = sizing_next_module(best);  // about 3.0

  struct Case {
    std::array<float, 2> saved;
    bool wheel_scaled;  // the wheel's chamfer is below 0.01 x module
  } cases[] = {{{0.1f, 0.02f}, true}, {{0.1f, 0.0f}, false}};
  for (const Case& c : cases) {
    Search run(1.0f, safety);
    run.go(c.saved);
    const DesignData& d = *run.d;
    ASSERT_EQ(run.r.normal_module, best);
    ASSERT_GT(run.r.fitting_evaluations, 40);
    const Trial last = run.s.rated.back();
    EXPECT_FALSE(run.r.chamfers_dropped);
    EXPECT_GE(last.module, 3.04f);
    EXPECT_LT(last.module, 3.041f);
    EXPECT_EQ(d.normal_module, last.module);
    EXPECT_FLOAT_EQ(d.centre_distance, 2 * 11 * last.module / 2);
    EXPECT_EQ(d.tip_chamfer[0], 0.1f);
    if (c.wheel_scaled)
      EXPECT_FLOAT_EQ(d.tip_chamfer[1], 0.01f * last.module);
    else
      EXPECT_EQ(d.tip_chamfer[1], 0.0f);
    EXPECT_FLOAT_EQ(d.face_width[0], 11 * last.module / 2);
    EXPECT_FLOAT_EQ(d.face_width[1], 11 * last.module / 4);
  }

  // Without chamfers nothing is fitted: the module is exactly the best one.
  Search plain(1.0f, safety);
  plain.go();
  EXPECT_EQ(plain.r.fitting_evaluations, 0);
  EXPECT_EQ(plain.d->normal_module, best);

  // Fitting that never meets the minima stops below a module of 10 and leaves the best pair as it was
  // found, without chamfers.
  Search never(1.0f, [](const DesignData& d) { return d.tip_chamfer[0] != 0 ? 0.5f : 2.0f; });
  never.go({0.2f, 0.2f});
  EXPECT_TRUE(never.r.chamfers_dropped);
  EXPECT_GT(never.s.rated.back().module, 9.9f);
  EXPECT_LT(never.s.rated.back().module, 10.0f);
  EXPECT_EQ(never.d->normal_module, 0.5f);
  EXPECT_EQ(never.d->teeth[0], 11);
  EXPECT_EQ(never.d->tip_chamfer[0], 0.0f);
  EXPECT_EQ(never.d->tip_chamfer[1], 0.0f);
  EXPECT_FLOAT_EQ(never.d->centre_distance, never.r.centre_distance);
  EXPECT_FLOAT_EQ(never.d->face_width[0], never.d->reference_diameter[0] / 2);
  EXPECT_FALSE(plain.r.chamfers_dropped);
}

namespace {
// Chamfered pairs meet the minima only between two modules (as a pair whose chamfers grow into the
// contact above them); the pair without chamfers from the first module on.
template <int From, int Below>  // in thousandths of a millimetre
float chamfered_meets_between(const DesignData& d) {
  if (d.tip_chamfer[0] == 0 && d.tip_chamfer[1] == 0) return 2.0f;
  return d.normal_module >= From / 1000.0f && d.normal_module < Below / 1000.0f ? 2.0f : 0.5f;
}
}  // namespace

// The pair left by the chamfer fitting meets the minima when it is rated again, as the main window's
// refresh rates it, and its module lies below the search's bound of 10, in each band of module steps.
TEST(CentreDistanceMinimisation, ChamferedPairLeftIsThePairRated) {
  const struct {
    float (*safety)(const DesignData&);
    float module;  // the module rated last
  } cases[] = {
      {chamfered_meets_between<3000, 3001>, 3.0f},  // steps of 0.001
      {chamfered_meets_between<6000, 6050>, 6.0f},  // steps of 0.05
      {chamfered_meets_between<9900, 10000>, 9.9f},   // steps of 0.1, near the bound
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.module);
    Search run(1.0f, c.safety);
    run.go({0.3f, 0.3f});
    ASSERT_TRUE(run.r.found);
    ASSERT_FALSE(run.r.chamfers_dropped);
    DesignData& d = *run.d;
    EXPECT_NEAR(d.normal_module, c.module, 0.02f);
    EXPECT_LT(d.normal_module, 10.0f);
    EXPECT_EQ(d.normal_module, run.s.rated.back().module);
    stand_in = &run.s;
    fake_geometry(d);
    fake_rate(d);
    stand_in = nullptr;
    EXPECT_TRUE(minimum_safety_factors_met(d));
  }
}

// --- The real search on the shipped default design. ---

// The pair left meets both minima when the refresh rates it again, with its chamfers fitted; minima that
// no pair meets leave the design as it came.
TEST(CentreDistanceMinimisation, DefaultDesignMeetsTheMinimaAtTheLeastCentreDistance) {
  const struct {
    std::array<float, 2> chamfers;
    float minimum;  // both minimum safety factors
    float torque;   // N m, 0: the file's
    bool found;
  } cases[] = {{{0, 0}, 1.2f, 0, true}, {{0.5f, 0.5f}, 1.2f, 0, true}, {{0.1f, 0}, 5.0f, 50000, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chamfers[0]);
    auto d = shipped_design();
    d->tooth_proportion_mode = 2;
    d->protuberance[0] = d->protuberance[1] = 0;
    d->tip_chamfer[0] = d->tip_chamfer[1] = 0;
    d->min_contact_safety_factor = d->min_bending_safety_factor = c.minimum;
    if (c.torque > 0) d->torque = c.torque;
    d->desired_ratio = 8.0f;  // 11 to 25 pinion teeth keep the run short
    calc_gear_geometry(*d);
    const DesignData entry = *d;
    const float pinion_ratio = d->reference_diameter[0] / d->face_width[0];
    const MinimisationResult r = run_centre_distance_minimisation(*d, c.chamfers);
    ASSERT_EQ(r.found, c.found);
    EXPECT_GT(r.ratings, 0);
    EXPECT_FALSE(r.chamfers_dropped);
    if (!c.found) {
      EXPECT_EQ(d->teeth[0], entry.teeth[0]);
      EXPECT_EQ(d->teeth[1], entry.teeth[1]);
      EXPECT_EQ(d->normal_module, entry.normal_module);
      EXPECT_EQ(d->profile_shift[0], entry.profile_shift[0]);
      EXPECT_EQ(d->face_width[0], entry.face_width[0]);
      EXPECT_EQ(d->tip_chamfer[0], 0.1f);
      continue;
    }
    EXPECT_EQ(d->teeth[0], r.pinion_teeth);
    EXPECT_EQ(d->teeth[1], sizing_wheel_teeth(r.pinion_teeth, 8.0f));
    EXPECT_FLOAT_EQ(d->pinion_aspect_ratio, pinion_ratio);
    if (c.chamfers[0] == 0) {
      EXPECT_EQ(d->normal_module, r.normal_module);
      EXPECT_FLOAT_EQ(d->centre_distance, r.centre_distance);
    } else {
      EXPECT_GT(d->normal_module, r.normal_module);
      EXPECT_GT(d->tip_chamfer[0], 0.0f);
    }

    // Rated again as the refresh rates it (ratio from the teeth), the pair left meets both minima.
    d->actual_ratio = static_cast<float>(double(d->teeth[1]) / d->teeth[0]);
    calc_gear_geometry(*d);
    ASSERT_GE(d->transverse_contact_ratio, 1.0f);
    rate_gear_pair(make_rating_input(*d), *d);
    EXPECT_TRUE(minimum_safety_factors_met(*d));
  }
}
