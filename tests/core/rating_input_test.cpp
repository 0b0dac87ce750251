#include "rating_input.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

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

// Every slot of the record against the design field it comes from, in record order: each field holds
// its own value, so a slot filled from a neighbour, the other gear or a swapped field shows up.
TEST(RatingInput, EverySlotComesFromItsDesignField) {
  auto d = std::make_unique<DesignData>();
  float next = 100.0f;
  std::vector<std::pair<int, float>> expected;  // slot number, value
  auto from = [&](int slot, float& field) {
    field = next;
    next += 1.0f;
    expected.emplace_back(slot, field);
  };
  d->normal_module = 2.0f;
  d->profile_shift[0] = 0.25f;
  d->profile_shift[1] = -0.5f;
  from(1, d->base_helix_angle);
  from(2, d->working_transverse_pressure_angle);
  from(3, d->transverse_pressure_angle);
  from(4, d->poisson_ratio[0]);
  from(5, d->poisson_ratio[1]);
  from(6, d->elastic_modulus[0]);
  from(7, d->elastic_modulus[1]);
  from(8, d->helix_angle);
  from(9, d->transverse_contact_ratio);
  from(10, d->axial_contact_ratio);
  d->teeth[1] = 41;
  d->teeth[0] = 17;
  expected.emplace_back(11, 41.0f);
  expected.emplace_back(12, 17.0f);
  from(13, d->speed);
  from(14, d->reference_diameter[0]);
  from(15, d->reference_diameter[1]);
  from(16, d->eap_diameter[0]);
  from(17, d->eap_diameter[1]);
  from(18, d->base_diameter[0]);
  from(19, d->base_diameter[1]);
  from(20, d->torque);
  from(21, d->active_face_width);
  from(24, d->application_factor);
  from(27, d->f_beta_x);
  from(28, d->sigma_hlim[0]);
  from(29, d->sigma_hlim[1]);
  from(30, d->rim_thickness[0]);
  from(31, d->rim_thickness[1]);
  from(32, d->face_width[0]);
  from(33, d->face_width[1]);
  expected.emplace_back(74, d->face_width[0]);
  expected.emplace_back(75, d->face_width[1]);
  from(34, d->normal_pressure_angle);
  from(35, d->base_pitch_error[0]);
  from(36, d->base_pitch_error[1]);
  from(37, d->lubricant_viscosity);
  expected.emplace_back(38, 0.25f);
  expected.emplace_back(39, -0.5f);
  expected.emplace_back(40, 2.0f);
  d->dedendum[0] = 2.0f;
  d->dedendum[1] = 3.5f;
  d->addendum[0] = 2.5f;
  d->addendum[1] = 1.0f;
  expected.emplace_back(41, 2.5f);  // x m_n + h_f
  expected.emplace_back(42, 2.5f);
  expected.emplace_back(72, 2.0f);  // h_a - x m_n
  expected.emplace_back(73, 2.0f);
  from(43, d->flank_roughness[0]);
  from(44, d->flank_roughness[1]);
  from(45, d->fillet_roughness[0]);
  from(46, d->fillet_roughness[1]);
  from(47, d->surface_hardness[0]);
  from(48, d->surface_hardness[1]);
  from(49, d->sigma_h_static_pinion);
  from(50, d->sigma_h_inf_pinion);
  from(51, d->sigma_h_pit_pinion);
  from(52, d->nl_static_contact_pinion);
  from(53, d->nl_lim_contact_pinion);
  from(54, d->nl_inf_contact_pinion);
  from(55, d->nl_pit_contact_pinion);
  from(56, d->load_cycles_pinion);
  from(57, d->sigma_h_static_wheel);
  from(58, d->sigma_h_inf_wheel);
  from(59, d->sigma_h_pit_wheel);
  from(60, d->nl_static_contact_wheel);
  from(61, d->nl_lim_contact_wheel);
  from(62, d->nl_inf_contact_wheel);
  from(63, d->nl_pit_contact_wheel);
  from(64, d->load_cycles_wheel);
  expected.emplace_back(65, 1.0f);
  expected.emplace_back(66, 0.0f);
  expected.emplace_back(67, 0.0f);
  from(68, d->protuberance[0]);
  from(69, d->protuberance[1]);
  from(70, d->root_fillet_radius[0]);
  from(71, d->root_fillet_radius[1]);
  from(76, d->sigma_f_inf_pinion);
  from(77, d->nl_static_bending_pinion);
  from(78, d->nl_lim_bending_pinion);
  from(79, d->nl_inf_bending_pinion);
  from(80, d->sigma_f_inf_wheel);
  from(81, d->nl_static_bending_wheel);
  from(82, d->nl_lim_bending_wheel);
  from(83, d->nl_inf_bending_wheel);
  from(84, d->sigma_flim[0]);
  from(85, d->sigma_flim[1]);
  expected.emplace_back(86, 1.0f);
  from(87, d->thickness_nominal_normal[0]);
  from(88, d->thickness_finished_normal[0]);
  from(89, d->thickness_nominal_normal[1]);
  from(90, d->thickness_finished_normal[1]);
  from(91, d->yield_stress_pinion);
  from(92, d->tensile_stress_pinion);
  from(93, d->yield_stress_wheel);
  from(94, d->tensile_stress_wheel);
  from(95, d->sigma_f_static[0]);
  from(96, d->sigma_f_static[1]);
  from(97, d->bending_face_width[0]);
  from(98, d->bending_face_width[1]);
  // The integer slots.
  d->iso_grade[0] = 5;
  d->iso_grade[1] = 9;
  d->material_type[0] = 3;
  d->material_type[1] = 11;
  d->hardness_scale = 2;
  const std::pair<int, int32_t> integers[] = {{22, 5}, {23, 9}, {25, 3}, {26, 11}, {99, 2}};

  const RatingInput in = make_rating_input(*d);
  unsigned char bytes[sizeof in];
  std::memcpy(bytes, &in, sizeof in);
  ASSERT_EQ(expected.size() + std::size(integers), 99u);
  for (const auto& [slot, value] : expected) {
    float got;
    std::memcpy(&got, bytes + (slot - 1) * 4, 4);
    EXPECT_EQ(got, value) << "slot " << slot;
  }
  for (const auto& [slot, value] : integers) {
    int32_t got;
    std::memcpy(&got, bytes + (slot - 1) * 4, 4);
    EXPECT_EQ(got, value) << "slot " << slot;
  }
}
