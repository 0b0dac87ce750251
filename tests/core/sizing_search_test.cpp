#include "shipped_design.h"
#include "sizing_search.h"

#include <gtest/gtest.h>

#include <cmath>
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
#include "startup_values.h"

using namespace morvell;

namespace {

// --- Stand-ins for the geometry pass and the rating: each trial's centre distance and safety factors
// come from functions of its teeth, module and shift sum that a test chooses. ---

struct Trial {
  int32_t z1, z2;
  float module, sum;
  float actual_ratio;  // as the geometry pass found it
};

struct StandIn {
  float (*centre_distance)(const DesignData&) = nullptr;
  float (*safety)(const DesignData&) = nullptr;  // all four safety factors
  float contact_ratio = 1.5f;
  float (*contact_ratio_of)(const DesignData&) = nullptr;  // when set, in place of contact_ratio
  std::vector<Trial> rated;
  int geometry_runs = 0;
};
StandIn* stand_in = nullptr;

void fake_geometry(DesignData& d) {
  ++stand_in->geometry_runs;
  d.reference_diameter[0] = d.teeth[0] * d.normal_module;
  d.reference_diameter[1] = d.teeth[1] * d.normal_module;
  d.transverse_contact_ratio = stand_in->contact_ratio_of ? stand_in->contact_ratio_of(d) : stand_in->contact_ratio;
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
  return (d.teeth[0] + d.teeth[1]) * d.normal_module / 2 + d.profile_shift_sum;
}
float never_safe(const DesignData&) { return 0.5f; }
float safe(const DesignData&) { return 2.0f; }
// The smallest pinion tooth count gives the least centre distance, so the last pair tried (z1 = 100) is not
// the chosen one.
float grows_with_z1(const DesignData& d) { return static_cast<float>(d.teeth[0]); }
float grows_with_z1_or_sum(const DesignData& d) { return static_cast<float>(d.teeth[0]) + d.profile_shift_sum; }
float safe_above_module_one(const DesignData& d) { return d.normal_module >= 0.9999f ? 2.0f : 0.5f; }

struct SizingRun {
  StandIn s;
  std::unique_ptr<DesignData> d = std::make_unique<DesignData>();
  std::vector<int> progress;
  SizingResult result;

  SizingRun(float u, float (*cd)(const DesignData&), float (*safety)(const DesignData&), float contact_ratio = 1.5f,
            float (*contact_ratio_of)(const DesignData&) = nullptr) {
    s.centre_distance = cd;
    s.safety = safety;
    s.contact_ratio = contact_ratio;
    s.contact_ratio_of = contact_ratio_of;
    d->desired_ratio = u;
    d->teeth[0] = 23;  // a design loaded before, with its own ratio
    d->teeth[1] = 32;
    d->actual_ratio = 1.391f;
    d->normal_module = 2.5f;
    d->pinion_aspect_ratio = 2.0f;
    d->load_cycles_pinion = 1e7f;
    stand_in = &s;
    result = run_sizing_search(*d, [this](int p) { progress.push_back(p); }, {fake_geometry, fake_rate});
    stand_in = nullptr;
  }

  // Number of modules tried for one pinion tooth count in the first pass.
  int modules_tried(int32_t z1) const {
    int n = 0;
    for (const Trial& t : s.rated) n += (t.z1 == z1 && t.sum == 0.0f);
    return n;
  }
};

}  // namespace

TEST(SizingSearch, ModuleStepsGiveSixtySevenModulesBelowTen) {
  std::vector<float> modules;
  for (float m = 0.5f; m < 10.0f && modules.size() < 200; m = sizing_next_module(m)) modules.push_back(m);
  ASSERT_EQ(modules.size(), 67u);
  EXPECT_NEAR(modules[45], 5.0f, 1e-4);  // 0.5 .. 5.0 by 0.1
  EXPECT_NEAR(modules[46], 5.1f, 1e-4);  // then by 0.2
  EXPECT_NEAR(modules[58], 7.5f, 1e-4);
  EXPECT_NEAR(modules[59], 7.7f, 1e-4);  // then by 0.3
  EXPECT_NEAR(modules[66], 9.8f, 1e-4);
}

TEST(SizingSearch, AspectRatioRuleAcrossItsBands) {
  const struct {
    float u, aspect;
  } cases[] = {{1.5f, 3.137255f}, {2.0f, 2.469136f}, {3.0f, 1.666667f}, {10.0f, 0.606061f},
               {20.0f, 0.317460f}, {1.0f, 4.166667f}, {0.5f, 5.555556f}};
  for (const auto& c : cases) EXPECT_NEAR(sizing_aspect_ratio(c.u), c.aspect, 1e-6) << "u = " << c.u;
  // The two rules meet at u = 3: just below it the lower band gives nearly the same value.
  EXPECT_NEAR(sizing_aspect_ratio(2.9999f), sizing_aspect_ratio(3.0f), 1e-4);
}

TEST(SizingSearch, WheelTeethRoundHalfUp) {
  EXPECT_EQ(sizing_wheel_teeth(11, 1.5f), 17);  // 16.5
  EXPECT_EQ(sizing_wheel_teeth(12, 1.5f), 18);  // integral
  EXPECT_EQ(sizing_wheel_teeth(13, 2.5f), 33);  // 32.5
  EXPECT_EQ(sizing_wheel_teeth(11, 1.4f), 15);  // 15.4
  EXPECT_EQ(sizing_wheel_teeth(11, 1.6f), 18);  // 17.6
}

TEST(SizingSearch, LoopsOverSixShiftSumsAndEveryPinionToothCount) {
  // No trial ever meets the safety factors: every z1 tries all 67 modules.
  SizingRun run(1.0f, plain_centre_distance, never_safe);
  EXPECT_EQ(run.result.evaluations, 6 * 90 * 67);
  EXPECT_EQ(run.result.ratings, run.result.evaluations);
  EXPECT_EQ(run.progress, (std::vector<int>{20, 40, 60, 80, 100, 120}));
  EXPECT_EQ(run.modules_tried(11), 67);
  EXPECT_EQ(run.modules_tried(100), 67);
  EXPECT_EQ(run.modules_tried(101), 0);
  std::vector<float> sums;
  for (const Trial& t : run.s.rated)
    if (sums.empty() || sums.back() != t.sum) sums.push_back(t.sum);
  ASSERT_EQ(sums.size(), 6u);
  EXPECT_FLOAT_EQ(sums[5], 1.0f);
  // Two geometry passes per trial and none for a chosen design: no pair met the targets, so none is
  // chosen and the design is left as it came (not the 11 / 11 pair of module 9.8 of least centre
  // distance, which never met them).
  EXPECT_EQ(run.s.geometry_runs, 2 * run.result.evaluations);
  EXPECT_FALSE(run.result.sized);
  EXPECT_EQ(run.result.refusal, SizingRefusal::TargetsNotMet);
  EXPECT_EQ(run.d->teeth[0], 23);
  EXPECT_EQ(run.d->teeth[1], 32);
  EXPECT_EQ(run.d->normal_module, 2.5f);
  EXPECT_EQ(run.d->actual_ratio, 1.391f);
  EXPECT_EQ(run.d->face_width[0], 0.0f);
  EXPECT_EQ(run.d->tooth_proportion_mode, 0);
  EXPECT_EQ(run.d->shift_distribution_auto, 0);
}

namespace {
// Pairs of fewer than 40 pinion teeth never meet the targets, whether rated or not; from 40 teeth on a
// pair meets them from a module of 3 on. The pairs that fail run to the module bound, where the small
// tooth counts give centre distances (11 x 9.8 = 107.8 mm at u = 1) below the least of those that meet
// the targets (40 x 3 = 120 mm).
float safe_from_forty_teeth(const DesignData& d) {
  return d.teeth[0] >= 40 && d.normal_module >= 2.9999f ? 1.5f : 0.5f;
}
// Pairs below 40 teeth are not rated at all from a module of 2 on (as pairs whose transverse contact
// ratio falls to 1 or below).
float contact_ratio_from_forty_teeth(const DesignData& d) {
  return d.teeth[0] >= 40 || d.normal_module < 2.0f ? 1.5f : 0.9f;
}
}  // namespace

// Only a pair whose module loop ended on a trial that met all four safety factors competes for the
// least centre distance: a pair that ran out of modules, its last trials failing or not rated, does not,
// however small its centre distance. The pair delivered meets the targets when rated again.
TEST(SizingSearch, OnlyPairsThatMetTheTargetsCompete) {
  const struct {
    const char* name;
    float (*contact_ratio)(const DesignData&);  // nullptr: 1.5 for every trial
  } cases[] = {
      {"last trials of the failing pairs rated", nullptr},
      {"last trials of the failing pairs not rated", contact_ratio_from_forty_teeth},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SizingRun run(1.0f, plain_centre_distance, safe_from_forty_teeth, 1.5f, c.contact_ratio);
    ASSERT_TRUE(run.result.sized);
    EXPECT_EQ(run.result.refusal, SizingRefusal::None);
    EXPECT_EQ(run.result.pinion_teeth, 40);
    EXPECT_NEAR(run.result.normal_module, 3.0f, 1e-4);
    EXPECT_NEAR(run.result.centre_distance, 120.0f, 4e-3);
    EXPECT_EQ(run.result.profile_shift_sum, 0.0f);
    EXPECT_EQ(run.d->teeth[0], run.result.pinion_teeth);
    EXPECT_EQ(run.d->normal_module, run.result.normal_module);
    // Rated again as the main window's refresh rates it, the delivered pair meets the targets.
    stand_in = &run.s;
    fake_geometry(*run.d);
    ASSERT_GT(run.d->transverse_contact_ratio, 1.0f);
    fake_rate(*run.d);
    stand_in = nullptr;
    EXPECT_GE(run.d->contact_safety_factor[0], 1.0f);
    EXPECT_GE(run.d->bending_safety_factor_wheel, 1.0f);
    EXPECT_FLOAT_EQ(run.d->centre_distance, run.result.centre_distance);
  }
}

TEST(SizingSearch, PinionTeethBoundedByTwoHundredOverTheRatio) {
  SizingRun run(4.0f, plain_centre_distance, never_safe);
  EXPECT_EQ(run.result.evaluations, 6 * (50 - 10) * 67);  // z1 = 11 .. 50
  EXPECT_EQ(run.modules_tried(50), 67);
  EXPECT_EQ(run.modules_tried(51), 0);
}

TEST(SizingSearch, FirstPinionTeethKeepTheWheelWithinTwoHundredTeeth) {
  const struct {
    float u;
    int32_t first;
  } cases[] = {{1.0f, 11}, {18.18f, 11}, {18.2f, 10}, {20.0f, 10}, {20.01f, 0}, {0.0f / 0.0f, 0}, {-2.0f, 0}};
  for (const auto& c : cases) EXPECT_EQ(first_pinion_teeth(c.u), c.first) << "u = " << c.u;
}

// Above 200 / 11 eleven pinion teeth would take the wheel beyond 200: the pinion starts at 10 up to the
// wizard's limit of 20; above it no pair is sized and the design is left as it was.
TEST(SizingSearch, RatiosAboveTwoHundredOverElevenSizeATenToothPinion) {
  const struct {
    float u;
    int32_t z2;  // 10 u rounded, 0: nothing sized
  } cases[] = {{18.5f, 185}, {20.0f, 200}, {20.5f, 0}};
  for (const auto& c : cases) {
    SizingRun run(c.u, plain_centre_distance, safe_above_module_one);
    SCOPED_TRACE(c.u);
    EXPECT_EQ(run.result.sized, c.z2 != 0);
    if (c.z2 == 0) {
      EXPECT_EQ(run.result.refusal, SizingRefusal::RatioOutOfReach);
      EXPECT_EQ(run.result.evaluations, 0);
      EXPECT_TRUE(run.progress.empty());
      EXPECT_EQ(run.s.geometry_runs, 0);
      EXPECT_EQ(run.d->teeth[0], 23);
      EXPECT_EQ(run.d->teeth[1], 32);
      EXPECT_EQ(run.d->normal_module, 2.5f);
      EXPECT_EQ(run.d->tooth_proportion_mode, 0);
      continue;
    }
    EXPECT_EQ(run.result.evaluations, 6 * 6);  // 0.5 .. 1.0 in each shift sum
    EXPECT_EQ(run.modules_tried(10), 6);
    EXPECT_EQ(run.progress.size(), 6u);
    EXPECT_EQ(run.d->teeth[0], 10);
    EXPECT_EQ(run.d->teeth[1], c.z2);
    EXPECT_NEAR(run.d->normal_module, 1.0f, 1e-4);
    EXPECT_FLOAT_EQ(run.d->load_cycles_wheel, 1e7f * 10 / c.z2);
  }
}

// Every trial and the chosen design split the shift sum by their own ratio z2 / z1, not by that of the
// design loaded before.
TEST(SizingSearch, EveryTrialCarriesItsOwnRatio) {
  SizingRun run(6.0f, grows_with_z1_or_sum, safe);
  ASSERT_FALSE(run.s.rated.empty());
  for (const Trial& t : run.s.rated) ASSERT_EQ(t.actual_ratio, static_cast<float>(double(t.z2) / t.z1)) << t.z1;
  EXPECT_EQ(run.d->teeth[0], 11);
  EXPECT_EQ(run.d->teeth[1], 66);
  EXPECT_EQ(run.d->actual_ratio, 6.0f);
}

namespace {
// Safe from the module 30 / z1 on: each z1 stops at its own module.
float safe_above_thirty_over_z1(const DesignData& d) { return d.normal_module * d.teeth[0] / 30.0f; }
}  // namespace

TEST(SizingSearch, ModuleRaisedUntilEverySafetyFactorReachesOne) {
  SizingRun run(1.0f, plain_centre_distance, safe_above_thirty_over_z1);
  // z1 = 30: 0.5 .. 1.0 is six modules; z1 = 60: 0.5 alone; z1 = 11: up to 2.8 (24 modules, 2.7 * 11 < 30).
  EXPECT_EQ(run.modules_tried(30), 6);
  EXPECT_EQ(run.modules_tried(60), 1);
  EXPECT_EQ(run.modules_tried(11), 24);
  // Centre distance z1 m (u = 1) at the stopping module is least near z1 = 30 at sum 0.
  EXPECT_EQ(run.result.profile_shift_sum, 0.0f);
  const float cd = run.result.centre_distance;
  EXPECT_NEAR(cd, run.result.pinion_teeth * run.result.normal_module, 1e-4);
  EXPECT_GE(run.result.normal_module * run.result.pinion_teeth, 30.0f - 1e-3f);
  EXPECT_LE(cd, 30.0f + 0.1f * 30);
}

namespace {
float same_centre_distance(const DesignData&) { return 50.0f; }
float shrinking_with_sum(const DesignData& d) { return 50.0f - d.profile_shift_sum; }
}  // namespace

TEST(SizingSearch, EqualCentreDistancesKeepTheDesignFoundFirst) {
  SizingRun tie(1.5f, same_centre_distance, safe);
  EXPECT_EQ(tie.result.pinion_teeth, 11);
  EXPECT_EQ(tie.result.profile_shift_sum, 0.0f);
  EXPECT_EQ(tie.result.normal_module, 0.5f);
  EXPECT_EQ(tie.result.evaluations, 6 * 90);  // safe at the first module

  SizingRun later(1.5f, shrinking_with_sum, safe);
  EXPECT_EQ(later.result.pinion_teeth, 11);
  EXPECT_FLOAT_EQ(later.result.profile_shift_sum, 1.0f);
  EXPECT_FLOAT_EQ(later.d->profile_shift_sum, 1.0f);
}

TEST(SizingSearch, ContactRatioOfOneIsNotRatedAndCountsAsUnsafe) {
  SizingRun run(1.0f, plain_centre_distance, safe, 1.0f);
  EXPECT_EQ(run.result.ratings, 0);
  EXPECT_EQ(run.result.evaluations, 6 * 90 * 67);
  // No pair could be rated: none is sized.
  EXPECT_FALSE(run.result.sized);
  EXPECT_EQ(run.result.refusal, SizingRefusal::TargetsNotMet);
  EXPECT_EQ(run.d->teeth[0], 23);
}

namespace {
float not_a_number(const DesignData&) { return std::nanf(""); }
}  // namespace

TEST(SizingSearch, SafetyFactorsThatAreNotNumbersDoNotStopTheModuleSearch) {
  SizingRun run(1.0f, plain_centre_distance, not_a_number);
  EXPECT_EQ(run.modules_tried(11), 67);
}

TEST(SizingSearch, ChosenDesignKeepsItsOwnWheelLoadCyclesAndFaceWidths) {
  SizingRun run(1.5f, grows_with_z1, safe);
  EXPECT_EQ(run.d->teeth[0], 11);
  EXPECT_EQ(run.d->teeth[1], 17);
  EXPECT_FLOAT_EQ(run.d->load_cycles_wheel, 1e7f * 11 / 17);
  EXPECT_FLOAT_EQ(run.d->face_width[0], 11 * 0.5f / 2.0f);
  EXPECT_EQ(run.d->face_width[1], run.d->face_width[0]);
  // The modes of a sized design.
  EXPECT_EQ(run.d->shift_distribution_auto, 1);
  EXPECT_EQ(run.d->tooth_proportion_mode, 2);
  EXPECT_EQ(run.d->keep_pinion_wheel_same, 1);
  EXPECT_EQ(run.d->allow_tip_diameter_reduction, 0);
  EXPECT_EQ(run.d->geometry_manager_mode, 0);
}

// --- The real search on the shipped default design with the sizing wizard's presets. ---

namespace {
std::unique_ptr<DesignData> wizard_preset_design(float u = 1.5f) {
  auto d = shipped_design();
  d->desired_ratio = u;
  d->torque = 200;
  d->helix_angle = 27;
  d->load_cycles_pinion = 1e7f;
  d->speed = 2500;
  d->pinion_aspect_ratio = sizing_aspect_ratio(u);
  d->material_type[0] = d->material_type[1] = 7;
  d->geometry_manager_mode = 0;
  d->ratio_fixed = 0;
  d->shift_distribution_auto = 0;
  d->rating_enabled = 1;
  return d;
}
}  // namespace

TEST(SizingSearch, WizardPresetsGiveTheLeastCentreDistanceOfTheTrials) {
  auto d = wizard_preset_design();
  const SizingResult r = run_sizing_search(*d);
  EXPECT_GT(r.evaluations, 0);
  EXPECT_GT(r.ratings, 0);
  EXPECT_EQ(d->teeth[0], r.pinion_teeth);
  EXPECT_EQ(d->teeth[1], sizing_wheel_teeth(r.pinion_teeth, 1.5f));
  EXPECT_EQ(d->normal_module, r.normal_module);
  EXPECT_EQ(d->profile_shift_sum, r.profile_shift_sum);
  EXPECT_GT(r.centre_distance, 20.0f);
  EXPECT_LT(r.centre_distance, 500.0f);
  EXPECT_FLOAT_EQ(d->centre_distance, r.centre_distance);
  EXPECT_FLOAT_EQ(d->face_width[0], d->reference_diameter[0] / d->pinion_aspect_ratio);
  EXPECT_FLOAT_EQ(d->load_cycles_wheel, 1e7f * d->teeth[0] / d->teeth[1]);

  // Rated again as the first refresh rates it: the chosen design meets the safety factors.
  calc_gear_geometry(*d);
  ASSERT_GT(d->transverse_contact_ratio, 1.0f);
  rate_gear_pair(make_rating_input(*d), *d);
  EXPECT_GE(d->contact_safety_factor[0], 1.0f);
  EXPECT_GE(d->contact_safety_factor[1], 1.0f);
  EXPECT_GE(d->bending_safety_factor_pinion, 1.0f);
  EXPECT_GE(d->bending_safety_factor_wheel, 1.0f);
}

// At a ratio far from that of the design loaded before (1.391), the delivered pair is the pair that was
// rated: taken up again as a refresh after an edit takes it (ratio from its teeth), it keeps its shifts,
// tips and centre distance and meets the safety factors it was sized for.
TEST(SizingSearch, PairSizedAtRatioSixMeetsItsTargetsWhenRefreshed) {
  auto d = wizard_preset_design(6.0f);
  ASSERT_NE(d->actual_ratio, 6.0f);
  const SizingResult r = run_sizing_search(*d);
  ASSERT_TRUE(r.sized);
  const DesignData sized = *d;

  for (int refresh = 0; refresh < 2; ++refresh) {
    d->actual_ratio = static_cast<float>(double(d->teeth[1]) / d->teeth[0]);
    calc_gear_geometry(*d);
    SCOPED_TRACE(refresh);
    EXPECT_EQ(d->profile_shift[0], sized.profile_shift[0]);
    EXPECT_EQ(d->tip_diameter[0], sized.tip_diameter[0]);
    EXPECT_EQ(d->tip_diameter[1], sized.tip_diameter[1]);
    EXPECT_EQ(d->centre_distance, sized.centre_distance);
    ASSERT_GT(d->transverse_contact_ratio, 1.0f);
    rate_gear_pair(make_rating_input(*d), *d);
    EXPECT_GE(d->contact_safety_factor[0], 1.0f);
    EXPECT_GE(d->contact_safety_factor[1], 1.0f);
    EXPECT_GE(d->bending_safety_factor_pinion, 1.0f);
    EXPECT_GE(d->bending_safety_factor_wheel, 1.0f);
  }
}

// The wizard's highest ratios are sized with a ten-tooth pinion into a pair that meets its targets.
TEST(SizingSearch, WizardsHighestRatiosGiveARatedPair) {
  for (const float u : {19.0f, 20.0f}) {
    auto d = wizard_preset_design(u);
    SCOPED_TRACE(u);
    const SizingResult r = run_sizing_search(*d);
    ASSERT_TRUE(r.sized);
    EXPECT_EQ(d->teeth[0], 10);
    EXPECT_EQ(d->teeth[1], static_cast<int32_t>(10 * u));
    calc_gear_geometry(*d);
    EXPECT_GT(d->transverse_contact_ratio, 1.0f);
    EXPECT_GT(d->tip_diameter[0], d->reference_diameter[0]);
    rate_gear_pair(make_rating_input(*d), *d);
    EXPECT_GE(d->contact_safety_factor[0], 1.0f);
    EXPECT_GE(d->contact_safety_factor[1], 1.0f);
    EXPECT_GE(d->bending_safety_factor_pinion, 1.0f);
    EXPECT_GE(d->bending_safety_factor_wheel, 1.0f);
  }
}
