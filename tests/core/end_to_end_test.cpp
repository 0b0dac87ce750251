// The calculation core end to end on the start-up design: start-up values, the shipped default design
// file, the geometry passes of a refresh, the rating and the lives, with the key results pinned.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "geometry_pass.h"
#include "life_and_damage.h"
#include "material_table.h"
#include "rating.h"
#include "rating_input.h"
#include "startup_values.h"

namespace morvell {
namespace {

const std::string kDefaultDesign = std::string(MORVELL_SOURCE_DIR) + "/data/default_input_file.mvl";

// The design as the program entry reads it: start-up values, then the default design file.
std::unique_ptr<DesignData> read_default_design() {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->unit_system = 1;
  set_unit_factors(*d);
  copy_text(d->design_file_name, kDefaultDesign);
  const DesignFileResult read = read_design_file(*d);
  EXPECT_TRUE(read.ok()) << read.message;
  return d;
}

// The start-up of the program: the default design and one geometry pass.
std::unique_ptr<DesignData> start_up() {
  auto d = read_default_design();
  calc_gear_geometry(*d);
  return d;
}

// The calculation of a refresh with the rating enabled (the checks and displays of the main window left
// out): two geometry passes, then, with a transverse contact ratio of at least 1, the rating of the load
// case and its lives.
void refresh_core(DesignData& d) {
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);
  ASSERT_GE(d.transverse_contact_ratio, 1.0f);
  rate_design(d);
  life_and_damage(d);
}

// Relative closeness: the pinned values come from this build and were checked by hand against the
// formulas of the rating; a real change of any step moves them far beyond these bounds.
::testing::AssertionResult near_rel(const char* expr, const char*, const char*, float value, double expected, double rel) {
  if (std::fabs(value - expected) <= std::fabs(expected) * rel) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << expr << " is " << value << ", expected " << expected << " within "
                                       << rel * 100 << " %";
}
#define EXPECT_REL(value, expected, rel) EXPECT_PRED_FORMAT3(near_rel, value, expected, rel)

TEST(EndToEnd, StartUpDesignRatesWithItsKnownResults) {
  auto d = start_up();
  d->rating_enabled = 1;
  refresh_core(*d);

  // Geometry.
  EXPECT_EQ(d->centre_distance, 70.0f);
  EXPECT_REL(d->reference_diameter[0], 58.54544, 1e-6);
  EXPECT_REL(d->reference_diameter[1], 81.45453, 1e-6);
  EXPECT_REL(d->base_diameter[0], 54.1357, 1e-6);
  EXPECT_REL(d->base_diameter[1], 75.31924, 1e-6);
  EXPECT_REL(d->eap_diameter[0], 64.17001, 1e-6);
  EXPECT_REL(d->eap_diameter[1], 84.83002, 1e-6);
  EXPECT_REL(d->transverse_contact_ratio, 1.364339, 1e-5);
  EXPECT_REL(d->axial_contact_ratio, 1.15771, 1e-5);

  // Load factors and pitting.
  EXPECT_REL(d->zone_factor, 2.258955, 1e-5);
  EXPECT_REL(d->elasticity_factor, 190.2719, 1e-5);
  EXPECT_REL(d->contact_ratio_factor, 0.8561282, 1e-5);  // epsilon_beta >= 1: sqrt(1 / epsilon_alpha)
  EXPECT_REL(d->nominal_tangential_load, 6832.299, 1e-5);
  EXPECT_REL(d->pitch_line_velocity, 7.663581, 1e-5);
  EXPECT_REL(d->nominal_contact_stress, 1171.261, 1e-5);
  EXPECT_REL(d->dynamic_factor, 1.14003, 1e-5);
  EXPECT_REL(d->face_load_factor_contact, 1.138945, 1e-5);
  EXPECT_REL(d->transverse_load_factor_contact, 1.09836, 1e-5);
  for (int g = 0; g < 2; ++g) EXPECT_REL(d->contact_stress[g], 1398.736, 1e-5);
  EXPECT_REL(d->permissible_contact_stress[0], 1633.249, 1e-5);
  EXPECT_REL(d->permissible_contact_stress[1], 1674.554, 1e-5);
  EXPECT_REL(d->contact_safety_factor[0], 1.16766, 1e-5);
  EXPECT_REL(d->contact_safety_factor[1], 1.197191, 1e-5);

  // Tooth-root bending.
  EXPECT_REL(d->form_factor_pinion, 1.255703, 1e-5);
  EXPECT_REL(d->form_factor_wheel, 1.598382, 1e-5);
  EXPECT_REL(d->tooth_root_stress_pinion, 508.4556, 1e-5);
  EXPECT_REL(d->tooth_root_stress_wheel, 533.874, 1e-5);
  EXPECT_REL(d->bending_safety_factor_pinion, 1.927743, 1e-5);
  EXPECT_REL(d->bending_safety_factor_wheel, 1.835489, 1e-5);

  // Permissible-stress tables: the contact knee carries the factors Z_L Z_v Z_R Z_W Z_X of 0.964, the
  // pit point lies on the knee (no limited pitting), the infinite-life point at 0.85 of the knee.
  const double contact_table[4] = {2313.716, 1446.072, 1446.072, 1229.161};
  const double bending_pinion[3] = {2510.256, 1004.103, 853.4872};
  const double bending_wheel[3] = {2493.062, 997.2249, 847.6411};
  for (int k = 0; k < 4; ++k) {
    EXPECT_REL(d->sn_permissible_contact_pinion[k], contact_table[k], 1e-5) << k;
    EXPECT_REL(d->sn_permissible_contact_wheel[k], contact_table[k], 1e-5) << k;
  }
  for (int k = 0; k < 3; ++k) {
    EXPECT_REL(d->sn_permissible_bending_pinion[k], bending_pinion[k], 1e-5) << k;
    EXPECT_REL(d->sn_permissible_bending_wheel[k], bending_wheel[k], 1e-5) << k;
  }

  // Lives and damage at 1e7 pinion cycles: pitting on the tail beyond the knee, bending far below the
  // infinite-life point.
  EXPECT_EQ(d->load_cycles_pinion, 1e7f);
  EXPECT_EQ(d->load_cycles_wheel, 7187500.0f);
  EXPECT_REL(d->contact_life_pinion, 1.479782e8, 1e-3);
  EXPECT_REL(d->contact_life_wheel, 1.479782e8, 1e-3);
  EXPECT_REL(d->contact_damage[0], 6.757753, 1e-3);
  EXPECT_REL(d->contact_damage[1], 4.857135, 1e-3);
  EXPECT_NEAR(std::log10(d->bending_life_pinion), std::log10(1.688581e21), 0.01);
  EXPECT_NEAR(std::log10(d->bending_life_wheel), std::log10(1.049772e20), 0.01);
  EXPECT_LT(d->bending_damage[0], 1e-9f);
  EXPECT_LT(d->bending_damage[1], 1e-9f);
}

TEST(EndToEnd, LifeAndDamageLeavesTheRatingOfTheLoadCase) {
  auto d = start_up();
  d->rating_enabled = 1;
  refresh_core(*d);
  auto once = std::make_unique<DesignData>();
  std::memcpy(static_cast<void*>(once.get()), d.get(), sizeof(DesignData));
  rate_design(*once);
  const RatingResults& after_life = *d;
  const RatingResults& single = *once;
  EXPECT_EQ(std::memcmp(&after_life, &single, sizeof(RatingResults)), 0);
}

TEST(EndToEnd, RatedAtItsOwnLifeAGearHasSafetyOne) {
  // 200 N m: pitting beyond the knee, bending far beyond the infinite-life point; 500 N m: both between
  // the static point and the knee.
  for (float torque : {200.0f, 500.0f}) {
    auto d = start_up();
    d->rating_enabled = 1;
    d->torque = torque;
    refresh_core(*d);
    const float contact_life[2] = {d->contact_life_pinion, d->contact_life_wheel};
    const float bending_life[2] = {d->bending_life_pinion, d->bending_life_wheel};
    for (int g = 0; g < 2; ++g) {
      ASSERT_GT(contact_life[g], 0.0f) << torque;
      ASSERT_LT(bending_life[g], 1e30f) << torque;
      if (torque == 500.0f) {
        EXPECT_LT(contact_life[g], 5e7f);
        EXPECT_LT(bending_life[g], 3e6f);
      }
    }
    d->load_cycles_pinion = contact_life[0];
    d->load_cycles_wheel = contact_life[1];
    rate_design(*d);
    EXPECT_NEAR(d->contact_safety_factor[0], 1.0, 1e-4) << torque;
    EXPECT_NEAR(d->contact_safety_factor[1], 1.0, 1e-4) << torque;
    d->load_cycles_pinion = bending_life[0];
    d->load_cycles_wheel = bending_life[1];
    rate_design(*d);
    EXPECT_NEAR(d->bending_safety_factor_pinion, 1.0, 1e-4) << torque;
    EXPECT_NEAR(d->bending_safety_factor_wheel, 1.0, 1e-4) << torque;
  }
}

TEST(EndToEnd, AnOverloadedPairFailsAtOnceOnTheTablesOfItsOwnDesign) {
  auto d = start_up();
  d->rating_enabled = 1;
  refresh_core(*d);
  LifeResults normal = *d;

  // Tables left by an earlier design, then thirty times the torque: every stress lies above its
  // static point.
  for (float& v : d->sn_permissible_contact_pinion) v = 1e6f;
  for (float& v : d->sn_permissible_bending_wheel) v = 1e6f;
  d->torque *= 30.0f;
  refresh_core(*d);
  EXPECT_LT(d->contact_safety_factor[0], 1.0f);
  EXPECT_LT(d->bending_safety_factor_wheel, 1.0f);
  // The permissible stresses do not depend on the load: the tables are those of the normal load.
  EXPECT_EQ(std::memcmp(d->sn_permissible_contact_pinion, normal.sn_permissible_contact_pinion,
                        sizeof normal.sn_permissible_contact_pinion), 0);
  EXPECT_EQ(std::memcmp(d->sn_permissible_bending_wheel, normal.sn_permissible_bending_wheel,
                        sizeof normal.sn_permissible_bending_wheel), 0);
  for (float life : {d->contact_life_pinion, d->contact_life_wheel, d->bending_life_pinion, d->bending_life_wheel})
    EXPECT_EQ(life, 0.0f);
  for (float damage : {d->contact_damage[0], d->contact_damage[1], d->bending_damage[0], d->bending_damage[1]})
    EXPECT_EQ(damage, std::numeric_limits<float>::infinity());
}

// The shipped default design is our writer's output of the start-up pair with the material table's
// values and the estimated S-N points of its materials.
TEST(EndToEnd, DefaultDesignFileCarriesTheMaterialTableAndEstimatedSnPoints) {
  auto d = read_default_design();
  auto estimated = std::make_unique<DesignData>();
  std::memcpy(static_cast<void*>(estimated.get()), d.get(), sizeof(DesignData));
  material_properties(*estimated, 0);
  material_properties(*estimated, 1);
  updateSNcurves(*estimated);

  std::FILE* file = std::fopen(kDefaultDesign.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::string bytes;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
  std::fclose(file);
  EXPECT_EQ(design_file_text(*estimated), bytes);
}

}  // namespace
}  // namespace morvell
