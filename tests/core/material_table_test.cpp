#include "material_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "design_data.h"

using namespace morvell;

namespace {

struct Contact { float h_static, n_static, n_lim, h_inf, n_inf, h_pit, n_pit; };
struct Bending { float f_static, n_static, n_lim, f_inf, n_inf; };

Contact contact_of(const DesignData& d, int g) {
  if (g == 0)
    return {d.sigma_h_static_pinion, d.nl_static_contact_pinion, d.nl_lim_contact_pinion, d.sigma_h_inf_pinion,
            d.nl_inf_contact_pinion, d.sigma_h_pit_pinion, d.nl_pit_contact_pinion};
  return {d.sigma_h_static_wheel, d.nl_static_contact_wheel, d.nl_lim_contact_wheel, d.sigma_h_inf_wheel,
          d.nl_inf_contact_wheel, d.sigma_h_pit_wheel, d.nl_pit_contact_wheel};
}

Bending bending_of(const DesignData& d, int g) {
  if (g == 0)
    return {d.sigma_f_static[0], d.nl_static_bending_pinion, d.nl_lim_bending_pinion, d.sigma_f_inf_pinion,
            d.nl_inf_bending_pinion};
  return {d.sigma_f_static[1], d.nl_static_bending_wheel, d.nl_lim_bending_wheel, d.sigma_f_inf_wheel,
          d.nl_inf_bending_wheel};
}

// Entered curves that an estimate must leave alone.
void fill_entered(DesignData& d) {
  d.sigma_h_static_pinion = d.sigma_h_static_wheel = 1;
  d.nl_static_contact_pinion = d.nl_static_contact_wheel = 2;
  d.nl_lim_contact_pinion = d.nl_lim_contact_wheel = 3;
  d.sigma_h_inf_pinion = d.sigma_h_inf_wheel = 4;
  d.nl_inf_contact_pinion = d.nl_inf_contact_wheel = 5;
  d.sigma_h_pit_pinion = d.sigma_h_pit_wheel = 6;
  d.nl_pit_contact_pinion = d.nl_pit_contact_wheel = 7;
  d.sigma_f_static[0] = d.sigma_f_static[1] = 8;
  d.nl_static_bending_pinion = d.nl_static_bending_wheel = 9;
  d.nl_lim_bending_pinion = d.nl_lim_bending_wheel = 10;
  d.sigma_f_inf_pinion = d.sigma_f_inf_wheel = 11;
  d.nl_inf_bending_pinion = d.nl_inf_bending_wheel = 12;
}

}  // namespace

TEST(MaterialTable, EstimatedCurvesByTypeLimitedPittingAndGear) {
  const float H = 1000, F = 400;
  struct Case { int type, pitting; Contact c; Bending b; };
  const Case cases[] = {
      {7, 0, {1600, 1e5f, 5e7f, 850, 1e10f, H, 5e7f}, {1000, 1e3f, 3e6f, 340, 1e10f}},
      {7, 1, {1600, 6e5f, 1e9f, 850, 1e10f, 1300, 1e7f}, {1000, 1e3f, 3e6f, 340, 1e10f}},
      {1, 0, {1600, 1e5f, 5e7f, 850, 1e10f, H, 5e7f}, {640, 1e3f, 3e6f, 340, 1e10f}},
      // "Input" holds the stress numbers of "Steel" until they are entered; its curves belong to its
      // stress numbers as those of "Steel" do, and it has no limited pitting.
      {0, 0, {1600, 1e5f, 5e7f, 850, 1e10f, H, 5e7f}, {640, 1e3f, 3e6f, 340, 1e10f}},
      {0, 1, {1600, 1e5f, 5e7f, 850, 1e10f, H, 5e7f}, {640, 1e3f, 3e6f, 340, 1e10f}},
      {2, 1, {1600, 6e5f, 1e9f, 850, 1e10f, 1300, 1e7f}, {1000, 1e4f, 3e6f, 340, 1e10f}},
      {4, 0, {1600, 1e5f, 5e7f, 850, 1e10f, H, 5e7f}, {1000, 1e4f, 3e6f, 340, 1e10f}},
      {6, 1, {1600, 6e5f, 1e9f, 850, 1e10f, 1300, 1e7f}, {1000, 1e4f, 3e6f, 340, 1e10f}},
      {8, 1, {1600, 6e5f, 1e9f, 850, 1e10f, 1300, 1e7f}, {1000, 1e3f, 3e6f, 340, 1e10f}},
      {3, 0, {1300, 1e5f, 2e6f, 850, 1e10f, H, 2e6f}, {640, 1e3f, 3e6f, 340, 1e10f}},
      {3, 1, {1300, 1e5f, 2e6f, 850, 1e10f, H, 2e6f}, {640, 1e3f, 3e6f, 340, 1e10f}},
      {5, 1, {1300, 1e5f, 2e6f, 850, 1e10f, H, 2e6f}, {640, 1e3f, 3e6f, 340, 1e10f}},
      {9, 1, {1300, 1e5f, 2e6f, 850, 1e10f, H, 2e6f}, {640, 1e3f, 3e6f, 340, 1e10f}},
      {10, 0, {1300, 1e5f, 2e6f, 850, 1e10f, H, 2e6f}, {640, 1e3f, 3e6f, 340, 1e10f}},
      {11, 1, {1100, 1e5f, 2e6f, 850, 1e10f, H, 2e6f}, {440, 1e3f, 3e6f, 340, 1e10f}},
  };
  for (const Case& k : cases) {
    for (int g = 0; g < 2; ++g) {
      auto d = std::make_unique<DesignData>();
      fill_entered(*d);
      d->material_type[g] = k.type;
      d->limited_pitting[g] = k.pitting;
      d->limited_pitting[1 - g] = 1;  // the other gear keeps its entered curve
      d->sn_estimate[g] = 1;
      d->sigma_hlim[g] = H;
      d->sigma_flim[g] = F;
      updateSNcurves(*d);
      const Contact c = contact_of(*d, g);
      const Bending b = bending_of(*d, g);
      SCOPED_TRACE(testing::Message() << "type " << k.type << " pitting " << k.pitting << " gear " << g);
      EXPECT_FLOAT_EQ(c.h_static, k.c.h_static);
      EXPECT_EQ(c.n_static, k.c.n_static);
      EXPECT_EQ(c.n_lim, k.c.n_lim);
      EXPECT_FLOAT_EQ(c.h_inf, k.c.h_inf);
      EXPECT_EQ(c.n_inf, k.c.n_inf);
      EXPECT_FLOAT_EQ(c.h_pit, k.c.h_pit);
      EXPECT_EQ(c.n_pit, k.c.n_pit);
      EXPECT_FLOAT_EQ(b.f_static, k.b.f_static);
      EXPECT_EQ(b.n_static, k.b.n_static);
      EXPECT_EQ(b.n_lim, k.b.n_lim);
      EXPECT_FLOAT_EQ(b.f_inf, k.b.f_inf);
      EXPECT_EQ(b.n_inf, k.b.n_inf);
      const Contact other = contact_of(*d, 1 - g);
      EXPECT_EQ(other.h_static, 1.0f);
      EXPECT_EQ(other.n_pit, 7.0f);
      EXPECT_EQ(bending_of(*d, 1 - g).f_static, 8.0f);
    }
  }
}

// A case-hardened pair at sigma_Hlim 1500 MPa, the pinion without and the wheel with limited pitting.
TEST(MaterialTable, CaseHardenedPairAt1500MPaWithLimitedPittingOnTheWheel) {
  auto d = std::make_unique<DesignData>();
  d->material_type[0] = d->material_type[1] = 7;
  d->sn_estimate[0] = d->sn_estimate[1] = 1;
  d->sigma_hlim[0] = d->sigma_hlim[1] = 1500;
  d->limited_pitting[1] = 1;
  updateSNcurves(*d);
  EXPECT_EQ(d->sigma_h_static_pinion, 2400.0f);
  EXPECT_EQ(d->sigma_h_inf_pinion, 1275.0f);
  EXPECT_EQ(d->sigma_h_pit_pinion, 1500.0f);
  EXPECT_EQ(d->nl_pit_contact_pinion, 5e7f);
  EXPECT_EQ(d->sigma_h_pit_wheel, 1950.0f);
  EXPECT_EQ(d->nl_pit_contact_wheel, 1e7f);
  EXPECT_EQ(d->nl_lim_contact_wheel, 1e9f);
}

TEST(MaterialTable, EnteredCurvesKeepTheirPointsButFollowTheKnee) {
  for (int type : {0, 7}) {
    auto d = std::make_unique<DesignData>();
    fill_entered(*d);
    d->material_type[0] = type;  // estimation off: whatever the type
    d->material_type[1] = 7;
    d->sn_estimate[0] = 0;
    d->sn_estimate[1] = 0;
    d->limited_pitting[0] = 0;
    d->limited_pitting[1] = 1;
    d->sigma_hlim[0] = d->sigma_hlim[1] = 900;
    updateSNcurves(*d);
    SCOPED_TRACE(type);
    EXPECT_EQ(d->sigma_h_static_pinion, 1.0f);
    EXPECT_EQ(d->nl_lim_contact_pinion, 3.0f);
    EXPECT_EQ(d->sigma_f_static[0], 8.0f);
    EXPECT_EQ(d->nl_lim_bending_pinion, 10.0f);
    // Without limited pitting the intermediate point moves onto the knee (sigma_Hlim at the knee cycles).
    EXPECT_EQ(d->sigma_h_pit_pinion, 900.0f);
    EXPECT_EQ(d->nl_pit_contact_pinion, 3.0f);
    // With limited pitting the entered intermediate point stays.
    EXPECT_EQ(d->sigma_h_pit_wheel, 6.0f);
    EXPECT_EQ(d->nl_pit_contact_wheel, 7.0f);
  }
}

TEST(MaterialTable, PropertiesByTypeWithTheHardnessInTheChosenScale) {
  struct Case { int type, scale; float h, f, hardness, e, yield, tensile, nu; };
  const Case cases[] = {
      {0, 0, 400, 130, 12, 207000, 245, 492, 0.3f},   // "Input" writes the steel values
      {1, 0, 400, 130, 12, 207000, 245, 492, 0.3f},
      {2, 1, 850, 320, 294, 207000, 680, 925, 0.3f},   // HRC 31 = 294 HB
      {3, 2, 350, 60, 230, 120000, 0, 220, 0.28f},     // HRC 12 is below the HV table: 230 HV
      {4, 0, 575, 200, 24, 120000, 0, 220, 0.28f},
      {5, 0, 575, 200, 24, 120000, 0, 220, 0.28f},
      {6, 0, 450, 150, 12, 120000, 0, 220, 0.28f},
      {7, 1, 1500, 500, 500, 207000, 850, 2250, 0.3f},  // HRC 62 = 500 HB (end of the HB column)
      {7, 2, 1500, 500, 746, 207000, 850, 2250, 0.3f},
      {8, 0, 1200, 370, 55, 207000, 680, 925, 0.3f},
      {9, 2, 1250, 420, 772, 207000, 850, 1250, 0.3f},
      {10, 0, 1000, 360, 55, 207000, 680, 925, 0.3f},
      {11, 0, 950, 380, 55, 207000, 680, 925, 0.3f},
  };
  for (const Case& c : cases) {
    float v[7] = {-1, -1, -1, -1, -1, -1, -1};
    material_properties(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], c.type, c.scale);
    SCOPED_TRACE(testing::Message() << "type " << c.type << " scale " << c.scale);
    EXPECT_EQ(v[0], c.h);
    EXPECT_EQ(v[1], c.f);
    EXPECT_EQ(v[2], c.hardness);
    EXPECT_EQ(v[3], c.e);
    EXPECT_EQ(v[4], c.yield);
    EXPECT_EQ(v[5], c.tensile);
    EXPECT_EQ(v[6], c.nu);
  }
  for (int type : {-1, 12}) {
    float v[7] = {-1, -1, -1, -1, -1, -1, -1};
    material_properties(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], type, 0);
    for (float x : v) EXPECT_EQ(x, -1.0f) << type;
  }
}

TEST(MaterialTable, NamesOfTheTypesInTheListsAndTheReports) {
  const char* const names[kMaterialTypeCount] = {"Input",
                                                 "Steel",
                                                 "Through Hardening Steel, Through Hardened",
                                                 "Grey Cast Iron",
                                                 "Nodular Cast Iron (pearlitic,bainitic)",
                                                 "Nodular Cast Iron (ferritic)",
                                                 "Black Malleable Cast Iron",
                                                 "Case Hardening Steel",
                                                 "Flame or Induction Hardened Steel",
                                                 "Nitriding Steel, Nitrided",
                                                 "Through and Case Hardening Steel, Nitrided",
                                                 "Through and Case Hardening Steel, Nitrocarburized"};
  for (int32_t type = 0; type < kMaterialTypeCount; ++type) {
    EXPECT_STREQ(material_type_name(type), names[type]);
    EXPECT_STREQ(material_report_name(type), type == 0 ? "Material Input" : names[type]);
  }
  for (int32_t type : {-1, 12}) {
    EXPECT_STREQ(material_type_name(type), "");
    EXPECT_STREQ(material_report_name(type), "");
  }
}

// Each named type is the list's item of its name, and limited flank pitting is allowed for the steels
// and cast irons the S-N window offers it for, never for "Input".
TEST(MaterialTable, NamedTypesAreTheListItemsOfTheirNames) {
  using M = MaterialType;
  struct Case {
    M type;
    const char* name;
    bool limited_pitting;
  };
  const Case cases[] = {
      {M::Input, "Input", false},
      {M::Steel, "Steel", true},
      {M::ThroughHardenedSteel, "Through Hardening Steel, Through Hardened", true},
      {M::GreyCastIron, "Grey Cast Iron", false},
      {M::PearliticNodularCastIron, "Nodular Cast Iron (pearlitic,bainitic)", true},
      {M::FerriticNodularCastIron, "Nodular Cast Iron (ferritic)", false},
      {M::BlackMalleableCastIron, "Black Malleable Cast Iron", true},
      {M::CaseHardenedSteel, "Case Hardening Steel", true},
      {M::FlameOrInductionHardenedSteel, "Flame or Induction Hardened Steel", true},
      {M::NitridedNitridingSteel, "Nitriding Steel, Nitrided", false},
      {M::NitridedThroughOrCaseHardeningSteel, "Through and Case Hardening Steel, Nitrided", false},
      {M::NitrocarburizedSteel, "Through and Case Hardening Steel, Nitrocarburized", false},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(material_type_name(int32_t(c.type)), c.name);
    EXPECT_EQ(allows_limited_pitting(int32_t(c.type)), c.limited_pitting) << c.name;
  }
  EXPECT_EQ(rated_material(int32_t(M::Input)), M::Steel);
  EXPECT_EQ(rated_material(kMaterialTypeCount), M::Steel);
  EXPECT_FALSE(allows_limited_pitting(kMaterialTypeCount));
}

TEST(MaterialTable, PropertiesOfOneGearOfTheDesign) {
  auto d = std::make_unique<DesignData>();
  d->material_type[0] = 3;
  d->material_type[1] = 7;
  d->hardness_scale = 1;
  material_properties(*d, 1);
  EXPECT_EQ(d->sigma_hlim[1], 1500.0f);
  EXPECT_EQ(d->surface_hardness[1], 500.0f);
  EXPECT_EQ(d->yield_stress_wheel, 850.0f);
  EXPECT_EQ(d->tensile_stress_wheel, 2250.0f);
  EXPECT_EQ(d->sigma_hlim[0], 0.0f);  // the pinion is untouched
  material_properties(*d, 0);
  EXPECT_EQ(d->elastic_modulus[0], 120000.0f);
  EXPECT_EQ(d->yield_stress_pinion, 0.0f);
  EXPECT_EQ(d->tensile_stress_pinion, 220.0f);
  EXPECT_EQ(d->poisson_ratio[0], 0.28f);
}
