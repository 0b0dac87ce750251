#include "rating_input.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>

#include "design_data.h"

using namespace morvell;

TEST(RatingInput, SlotsFollowTheRecordOrder) {
  EXPECT_EQ(offsetof(RatingInput, wheel_teeth), 10 * 4u);
  EXPECT_EQ(offsetof(RatingInput, iso_grade), 21 * 4u);
  EXPECT_EQ(offsetof(RatingInput, sigma_h_static_pinion), 48 * 4u);
  EXPECT_EQ(offsetof(RatingInput, min_safety_factor_contact), 64 * 4u);
  EXPECT_EQ(offsetof(RatingInput, sigma_f_inf_pinion), 75 * 4u);
  EXPECT_EQ(offsetof(RatingInput, min_safety_factor_bending), 85 * 4u);
  EXPECT_EQ(offsetof(RatingInput, hardness_scale), 98 * 4u);
}

TEST(RatingInput, BuilderFillsTheQuirkySlotsFromTheDesign) {
  auto d = std::make_unique<DesignData>();
  d->teeth[0] = 23;
  d->teeth[1] = 32;
  d->normal_module = 2.0f;
  d->profile_shift[0] = 0.25f;
  d->profile_shift[1] = -0.5f;
  d->addendum[0] = 2.5f;
  d->addendum[1] = 1.0f;
  d->dedendum[0] = 2.0f;
  d->dedendum[1] = 3.5f;
  d->face_width[0] = 17.5f;
  d->face_width[1] = 19.0f;
  d->rim_thickness[0] = 0;
  d->thickness_nominal_normal[0] = 3.1f;
  d->thickness_finished_normal[0] = 3.0f;
  d->thickness_nominal_normal[1] = 3.3f;
  d->thickness_finished_normal[1] = 3.2f;
  d->load_cycles_pinion = 1e8f;
  d->load_cycles_wheel = 7e7f;
  d->nl_pit_contact_wheel = 2e6f;
  d->sigma_f_inf_wheel = 340;
  d->yield_stress_wheel = 680;
  d->tensile_stress_wheel = 925;
  d->hardness_scale = 2;
  d->min_contact_safety_factor = 1.3f;  // the rating is always run with S_min 1
  d->min_bending_safety_factor = 1.5f;

  const RatingInput in = make_rating_input(*d);
  EXPECT_EQ(in.wheel_teeth, 32.0f);
  EXPECT_EQ(in.pinion_teeth, 23.0f);
  EXPECT_EQ(in.web_thickness[0], 17.5f);
  EXPECT_EQ(in.web_thickness[1], 19.0f);
  EXPECT_EQ(in.face_width[1], 19.0f);
  EXPECT_FLOAT_EQ(in.rack_dedendum[0], 2.5f);   // x m + h_f
  EXPECT_FLOAT_EQ(in.rack_dedendum[1], 2.5f);
  EXPECT_FLOAT_EQ(in.rack_addendum[0], 2.0f);   // h_a - x m
  EXPECT_FLOAT_EQ(in.rack_addendum[1], 2.0f);
  EXPECT_EQ(in.min_safety_factor_contact, 1.0f);
  EXPECT_EQ(in.min_safety_factor_bending, 1.0f);
  EXPECT_EQ(in.spare[0], 0.0f);
  EXPECT_EQ(in.spare[1], 0.0f);
  EXPECT_EQ(in.thickness_nominal_normal_pinion, 3.1f);
  EXPECT_EQ(in.thickness_finished_normal_pinion, 3.0f);
  EXPECT_EQ(in.thickness_nominal_normal_wheel, 3.3f);
  EXPECT_EQ(in.thickness_finished_normal_wheel, 3.2f);
  EXPECT_EQ(in.load_cycles_pinion, 1e8f);
  EXPECT_EQ(in.load_cycles_wheel, 7e7f);
  EXPECT_EQ(in.nl_pit_contact_wheel, 2e6f);
  EXPECT_EQ(in.sigma_f_inf_wheel, 340.0f);
  EXPECT_EQ(in.yield_stress_wheel, 680.0f);
  EXPECT_EQ(in.tensile_stress_wheel, 925.0f);
  EXPECT_EQ(in.hardness_scale, 2);
}
