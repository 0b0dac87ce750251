#include "life_and_damage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "design_data.h"

namespace morvell {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// ---------------------------------------------------------------------------------------------
// Lives on one S-N curve
// ---------------------------------------------------------------------------------------------

// A contact curve with a limited-pitting point, and a bending curve, each with a kink at every point so
// that a wrong segment gives a visibly wrong life.
constexpr float kContactCycles[4] = {1e5f, 1e6f, 5e7f, 1e10f};
constexpr float kContactStress[4] = {2500.0f, 1800.0f, 1500.0f, 1100.0f};
constexpr float kBendingCycles[3] = {1e3f, 3e6f, 1e10f};
constexpr float kBendingStress[3] = {1000.0f, 500.0f, 400.0f};

// The straight line through two points on log-log scales, evaluated independently of the routine.
double line_life(double s, double na, double pa, double nb, double pb) {
  return na * std::pow(nb / na, std::log(pa / s) / std::log(pa / pb));
}

struct LifeCase {
  const char* what;
  int count;
  float stress;
  double expected;  // cycles; 0 and infinity exactly
};

TEST(SnCurveLife, PicksTheSegmentThatBeginsAtTheStressAboveIt) {
  const LifeCase cases[] = {
      {"contact above the static point", 4, 2500.5f, 0.0},
      {"contact at the static point", 4, 2500.0f, 1e5},
      {"contact between static and pit", 4, 2000.0f, line_life(2000, 1e5, 2500, 1e6, 1800)},
      {"contact at the pit point", 4, 1800.0f, 1e6},
      {"contact between pit and knee", 4, 1600.0f, line_life(1600, 1e6, 1800, 5e7, 1500)},
      {"contact at the knee", 4, 1500.0f, 5e7},
      {"contact between knee and infinite-life point", 4, 1300.0f, line_life(1300, 5e7, 1500, 1e10, 1100)},
      {"contact at the infinite-life point", 4, 1100.0f, 1e10},
      {"contact below the infinite-life point", 4, 1000.0f, line_life(1000, 5e7, 1500, 1e10, 1100)},
      {"bending above the static point", 3, 1000.1f, 0.0},
      {"bending at the static point", 3, 1000.0f, 1e3},
      {"bending between static point and knee", 3, 700.0f, line_life(700, 1e3, 1000, 3e6, 500)},
      {"bending at the knee", 3, 500.0f, 3e6},
      {"bending below the infinite-life point", 3, 380.0f, line_life(380, 3e6, 500, 1e10, 400)},
  };
  for (const LifeCase& c : cases) {
    const float* n = c.count == 4 ? kContactCycles : kBendingCycles;
    const float* p = c.count == 4 ? kContactStress : kBendingStress;
    const float life = sn_curve_life(c.stress, n, p, c.count);
    if (c.expected == 0.0) {
      EXPECT_EQ(life, 0.0f) << c.what;
    } else {
      EXPECT_NEAR(life, c.expected, c.expected * 2e-6) << c.what;
    }
  }
}

TEST(SnCurveLife, WithoutLimitedPittingThePitSegmentIsNeverUsed) {
  // The pit point on the knee: P1 = P2 and N_pit = N_lim.
  const float n[4] = {1e5f, 5e7f, 5e7f, 1e10f};
  const float p[4] = {2500.0f, 1500.0f, 1500.0f, 1100.0f};
  EXPECT_NEAR(sn_curve_life(2000.0f, n, p, 4), line_life(2000, 1e5, 2500, 5e7, 1500), 1.0);
  EXPECT_FLOAT_EQ(sn_curve_life(1500.0f, n, p, 4), 5e7f);
  EXPECT_NEAR(sn_curve_life(1200.0f, n, p, 4), line_life(1200, 5e7, 1500, 1e10, 1100), 1e4);
}

TEST(SnCurveLife, FlatTailAndHugeLivesAreInfinite) {
  const float n[3] = {1e3f, 3e6f, 1e10f};
  const float flat[3] = {1000.0f, 500.0f, 500.0f};
  EXPECT_EQ(sn_curve_life(500.0f, n, flat, 3), kInf);
  EXPECT_EQ(sn_curve_life(100.0f, n, flat, 3), kInf);
  EXPECT_NEAR(sn_curve_life(700.0f, n, flat, 3), line_life(700, 1e3, 1000, 3e6, 500), 0.1);
  // A nearly flat tail puts a light load far beyond the float range.
  const float shallow[3] = {1000.0f, 500.0f, 499.0f};
  EXPECT_EQ(sn_curve_life(100.0f, n, shallow, 3), kInf);
  // No load at all never wears the gear.
  EXPECT_EQ(sn_curve_life(0.0f, n, kBendingStress, 3), kInf);
  // A stress that is not a number stays so.
  EXPECT_TRUE(std::isnan(sn_curve_life(std::nanf(""), n, kBendingStress, 3)));
}

TEST(DamagePercent, IsTheShareOfTheLifeAndInfiniteForLifeZero) {
  EXPECT_FLOAT_EQ(damage_percent(1e7f, 4e7f), 25.0f);
  EXPECT_EQ(damage_percent(1e7f, 0.0f), kInf);
  EXPECT_EQ(damage_percent(0.0f, 0.0f), kInf);
  EXPECT_EQ(damage_percent(1e7f, kInf), 0.0f);
  EXPECT_EQ(damage_percent(1e30f, 1e-20f), kInf);  // beyond the float range
}

// ---------------------------------------------------------------------------------------------
// The routine over a stand-in rating
// ---------------------------------------------------------------------------------------------

// The stand-in rating: each gear's permissible stresses fall as a power of its own load cycles
// (sigma_P = A N^-k, a straight line in log-log), the actual stresses are fixed. It records the cycles
// of every run.
struct StandIn {
  float contact_stress[2] = {1300.0f, 1200.0f};
  float root_stress[2] = {450.0f, 420.0f};
  std::vector<float> n1, n2;
};
StandIn* g_stand_in = nullptr;

constexpr double kContactA[2] = {4000.0, 3800.0};
constexpr double kContactK[2] = {0.06, 0.055};
constexpr double kBendingA[2] = {1500.0, 1400.0};
constexpr double kBendingK[2] = {0.07, 0.065};

float on_line(double a, double k, double n) { return static_cast<float>(a * std::pow(n, -k)); }
double life_on_line(double a, double k, double stress) { return std::pow(a / stress, 1.0 / k); }

void stand_in_rating(DesignData& d) {
  StandIn& s = *g_stand_in;
  s.n1.push_back(d.load_cycles_pinion);
  s.n2.push_back(d.load_cycles_wheel);
  const double n[2] = {d.load_cycles_pinion, d.load_cycles_wheel};
  for (int g = 0; g < 2; ++g) {
    d.permissible_contact_stress[g] = on_line(kContactA[g], kContactK[g], n[g]);
    d.contact_stress[g] = s.contact_stress[g];
    d.contact_safety_factor[g] = d.permissible_contact_stress[g] / d.contact_stress[g];
  }
  d.permissible_bending_stress_pinion = on_line(kBendingA[0], kBendingK[0], n[0]);
  d.permissible_bending_stress_wheel = on_line(kBendingA[1], kBendingK[1], n[1]);
  d.tooth_root_stress_pinion = s.root_stress[0];
  d.tooth_root_stress_wheel = s.root_stress[1];
  d.bending_safety_factor_pinion = d.permissible_bending_stress_pinion / d.tooth_root_stress_pinion;
  d.bending_safety_factor_wheel = d.permissible_bending_stress_wheel / d.tooth_root_stress_wheel;
}

class LifeAndDamage : public ::testing::Test {
 protected:
  void SetUp() override {
    g_stand_in = &stand_in;
    d = std::make_unique<DesignData>();
    d->rating_enabled = 1;
    d->nl_static_contact_pinion = 1e5f;
    d->nl_pit_contact_pinion = 1e6f;
    d->nl_lim_contact_pinion = 5e7f;
    d->nl_inf_contact_pinion = 1e10f;
    d->nl_static_contact_wheel = 2e5f;
    d->nl_pit_contact_wheel = 5e7f;
    d->nl_lim_contact_wheel = 5e7f;
    d->nl_inf_contact_wheel = 1e10f;
    d->nl_static_bending_pinion = 1e3f;
    d->nl_lim_bending_pinion = 3e6f;
    d->nl_inf_bending_pinion = 1e10f;
    d->nl_static_bending_wheel = 2e3f;
    d->nl_lim_bending_wheel = 3e6f;
    d->nl_inf_bending_wheel = 1e10f;
    d->load_cycles_pinion = 1.5e8f;
    d->load_cycles_wheel = 1e8f;
  }
  void TearDown() override { g_stand_in = nullptr; }

  StandIn stand_in;
  std::unique_ptr<DesignData> d;
};

TEST_F(LifeAndDamage, FillsTheTablesAtEachGearsOwnPointsAndEndsAtTheLoadCase) {
  life_and_damage(*d, stand_in_rating);

  // Pinion contact, wheel contact, pinion bending, wheel bending, then the load case.
  const std::vector<float> n1 = {1e5f,   1e6f,   5e7f,   1e10f,  1e10f,  1e10f,  1e10f, 1e10f,
                                 1e3f,   3e6f,   1e10f,  1e10f,  1e10f,  1e10f,  1.5e8f};
  const std::vector<float> n2 = {1e8f, 1e8f, 1e8f, 1e8f, 2e5f, 5e7f, 5e7f, 1e10f,
                                 1e10f, 1e10f, 1e10f, 2e3f, 3e6f, 1e10f, 1e8f};
  EXPECT_EQ(stand_in.n1, n1);
  EXPECT_EQ(stand_in.n2, n2);
  EXPECT_EQ(d->load_cycles_pinion, 1.5e8f);
  EXPECT_EQ(d->load_cycles_wheel, 1e8f);
  // The rating results are those of the load case.
  EXPECT_EQ(d->permissible_contact_stress[0], on_line(kContactA[0], kContactK[0], 1.5e8));
  EXPECT_EQ(d->permissible_bending_stress_wheel, on_line(kBendingA[1], kBendingK[1], 1e8));

  const float pc[4] = {1e5f, 1e6f, 5e7f, 1e10f};
  const float wc[4] = {2e5f, 5e7f, 5e7f, 1e10f};
  const float pb[3] = {1e3f, 3e6f, 1e10f};
  const float wb[3] = {2e3f, 3e6f, 1e10f};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(d->sn_permissible_contact_pinion[k], on_line(kContactA[0], kContactK[0], pc[k])) << k;
    EXPECT_EQ(d->sn_permissible_contact_wheel[k], on_line(kContactA[1], kContactK[1], wc[k])) << k;
  }
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(d->sn_permissible_bending_pinion[k], on_line(kBendingA[0], kBendingK[0], pb[k])) << k;
    EXPECT_EQ(d->sn_permissible_bending_wheel[k], on_line(kBendingA[1], kBendingK[1], wb[k])) << k;
  }
}

TEST_F(LifeAndDamage, LivesLieOnTheCurvesAndDamageIsTheirShare) {
  // Pinion contact on a finite-life segment, wheel contact beyond its infinite-life point, pinion
  // bending between static point and knee, wheel bending on the extended tail.
  stand_in.contact_stress[0] = 1400.0f;
  stand_in.contact_stress[1] = 1000.0f;
  stand_in.root_stress[0] = 800.0f;
  stand_in.root_stress[1] = 300.0f;
  life_and_damage(*d, stand_in_rating);

  const double contact_life[2] = {life_on_line(kContactA[0], kContactK[0], 1400.0),
                                  life_on_line(kContactA[1], kContactK[1], 1000.0)};
  const double bending_life[2] = {life_on_line(kBendingA[0], kBendingK[0], 800.0),
                                  life_on_line(kBendingA[1], kBendingK[1], 300.0)};
  ASSERT_GT(contact_life[1], 1e10);
  ASSERT_LT(bending_life[0], 3e6);
  EXPECT_NEAR(d->contact_life_pinion, contact_life[0], contact_life[0] * 1e-5);
  EXPECT_NEAR(d->contact_life_wheel, contact_life[1], contact_life[1] * 1e-5);
  EXPECT_NEAR(d->bending_life_pinion, bending_life[0], bending_life[0] * 1e-5);
  EXPECT_NEAR(d->bending_life_wheel, bending_life[1], bending_life[1] * 1e-5);

  EXPECT_NEAR(d->contact_damage[0], 1.5e10 / contact_life[0], 1.5e10 / contact_life[0] * 1e-5);
  EXPECT_NEAR(d->contact_damage[1], 1e10 / contact_life[1], 1e10 / contact_life[1] * 1e-5);
  EXPECT_LT(d->contact_damage[1], 1e8 / 1e10 * 100);
  EXPECT_NEAR(d->bending_damage[0], 1.5e10 / bending_life[0], 1.5e10 / bending_life[0] * 1e-5);
  EXPECT_NEAR(d->bending_damage[1], 1e10 / bending_life[1], 1e10 / bending_life[1] * 1e-5);
}

TEST_F(LifeAndDamage, AGearThatFailsAtItsStaticPointGetsItsOwnTableAndLifeZero) {
  // Tables left by an earlier, stronger design.
  for (float& v : d->sn_permissible_contact_wheel) v = 9000.0f;
  for (float& v : d->sn_permissible_bending_pinion) v = 9000.0f;
  stand_in.contact_stress[1] = 3000.0f;  // above the wheel's 3800 x (2e5)^-0.055 = 1948 MPa
  stand_in.root_stress[0] = 1200.0f;     // above the pinion's 1500 x 1000^-0.07 = 923 MPa
  life_and_damage(*d, stand_in_rating);

  EXPECT_EQ(d->sn_permissible_contact_wheel[0], on_line(kContactA[1], kContactK[1], 2e5));
  EXPECT_EQ(d->sn_permissible_bending_pinion[0], on_line(kBendingA[0], kBendingK[0], 1e3));
  EXPECT_EQ(d->contact_life_wheel, 0.0f);
  EXPECT_EQ(d->contact_damage[1], kInf);
  EXPECT_EQ(d->bending_life_pinion, 0.0f);
  EXPECT_EQ(d->bending_damage[0], kInf);
  // The other gear and kind are rated as usual.
  EXPECT_GT(d->contact_life_pinion, 0.0f);
  EXPECT_LT(d->contact_damage[0], kInf);
}

TEST_F(LifeAndDamage, ChangesNothingWhileTheRatingIsDisabled) {
  d->rating_enabled = 0;
  d->contact_life_pinion = 123.0f;
  const auto before = std::make_unique<DesignData>();
  std::memcpy(static_cast<void*>(before.get()), d.get(), sizeof(DesignData));
  life_and_damage(*d, stand_in_rating);
  EXPECT_TRUE(stand_in.n1.empty());
  EXPECT_EQ(std::memcmp(before.get(), d.get(), sizeof(DesignData)), 0);
}

}  // namespace
}  // namespace morvell
