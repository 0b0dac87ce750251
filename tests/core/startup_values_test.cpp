#include "startup_values.h"

#include <gtest/gtest.h>

#include <cmath>

namespace morvell {
namespace {

TEST(StartupValues, StartUpPairAndTheValuesDerivedFromIt) {
  DesignData d;
  set_startup_values(d);
  EXPECT_EQ(d.form_scale_divisor, 100.0f);
  EXPECT_EQ(d.form_scale_multiplier, 100.0f);
  EXPECT_EQ(d.normal_module, 2.25f);
  EXPECT_EQ(d.helix_angle, 27.88f);
  EXPECT_EQ(d.teeth[0], 23);
  EXPECT_EQ(d.teeth[1], 32);
  EXPECT_EQ(d.actual_ratio, 32.0f / 23.0f);
  EXPECT_EQ(d.desired_ratio, 1.391f);
  EXPECT_EQ(d.profile_shift_sum, 0.0f);  // not x1 + x2 until a design file is read

  // h_a = (d_a - z m_n / cos(beta)) / 2 and h_f = (z m_n / cos(beta) - d_f) / 2.
  const double cos_beta = std::cos(27.88f * M_PI / 180.0);
  EXPECT_NEAR(d.addendum[0], (64.17 - 23 * 2.25 / cos_beta) / 2, 2e-6);
  EXPECT_NEAR(d.addendum[1], (84.83 - 32 * 2.25 / cos_beta) / 2, 2e-6);
  EXPECT_NEAR(d.dedendum[0], (23 * 2.25 / cos_beta - 53.595) / 2, 2e-6);
  EXPECT_NEAR(d.dedendum[1], (32 * 2.25 / cos_beta - 74.255) / 2, 2e-6);
  EXPECT_FLOAT_EQ(d.ball_diameter[1], 4.05f);
  EXPECT_NEAR(d.virtual_teeth[0], 23 / std::pow(cos_beta, 3), 1e-4);
  EXPECT_EQ(d.span_teeth[0], 4);  // trunc(1.75 x 0.25 + 33.30 / 9 + 0.5)
  EXPECT_EQ(d.span_teeth[1], 5);  // trunc(-1.75 x 0.25 + 46.33 / 9 + 0.5)

  EXPECT_EQ(d.min_eap_thickness_coeff[1], 0.3f);
  EXPECT_EQ(d.min_bottom_clearance_coeff[1], 0.25f);
  EXPECT_EQ(d.max_tip_diameter[0], 1e9f);
  EXPECT_EQ(d.min_root_diameter[1], 0.0f);
  EXPECT_EQ(d.min_tip_thickness_coeff[0], 0.3f);
  EXPECT_EQ(d.iso_grade[1], 8);
  EXPECT_EQ(d.min_bending_safety_factor, 1.2f);
  EXPECT_EQ(d.decimals, 3);
  EXPECT_EQ(d.geometry_manager_mode, 1);
  EXPECT_EQ(d.view_selection, 3);
  EXPECT_EQ(d.constraints_use_defaults, 1);
  EXPECT_EQ(d.application_factor_enabled, 1);
  EXPECT_EQ(d.helix_hand, 1);

  // The rating inputs and load cases come only from the default design file.
  EXPECT_EQ(d.sigma_hlim[0], 0.0f);
  EXPECT_EQ(d.load_case_count, 0);
  EXPECT_EQ(d.torque, 0.0f);
}

TEST(StartupValues, UnitFactorsFollowTheUnitSystem) {
  DesignData d;
  d.unit_system = 2;
  set_unit_factors(d);
  EXPECT_EQ(d.length_unit_factor, 25.4f);
  EXPECT_EQ(d.stress_unit_factor, 0.006895f);
  EXPECT_EQ(d.force_unit_factor, 4.448f);
  d.unit_system = 1;
  set_unit_factors(d);
  const float metric[] = {d.length_unit_factor, d.stress_unit_factor, d.torque_unit_factor,
                          d.power_unit_factor, d.velocity_unit_factor, d.force_unit_factor};
  for (float f : metric) EXPECT_EQ(f, 1.0f);
  d.unit_system = 3;  // unknown: factors stay
  set_unit_factors(d);
  EXPECT_EQ(d.length_unit_factor, 1.0f);
}

}  // namespace
}  // namespace morvell
