// Flash temperature along the path of contact: the start-up design against values worked out by hand,
// the load-sharing shapes of the four profile-modification cases, entered inputs, and the pairs whose
// formulas have no value.
#include "flash_temperature.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "geometry_pass.h"
#include "life_and_damage.h"
#include "numeric.h"
#include "startup_values.h"

namespace morvell {
namespace {

const std::string kDefaultDesign = std::string(MORVELL_SOURCE_DIR) + "/data/default_input_file.mvl";

// The start-up design after a refresh with the rating: geometry, K_v and K_Hbeta of its load case.
std::unique_ptr<DesignData> rated_startup_design() {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->unit_system = 1;
  set_unit_factors(*d);
  copy_text(d->design_file_name, kDefaultDesign);
  EXPECT_TRUE(read_design_file(*d).ok());
  d->second_geometry_pass = 0;
  calc_gear_geometry(*d);
  d->second_geometry_pass = 1;
  calc_gear_geometry(*d);
  d->rating_enabled = 1;
  rate_design(*d);
  life_and_damage(*d);
  d->flash_point_count = kFlashPointCount;
  return d;
}

// Records domain errors for the lifetime of a test.
struct DomainErrors {
  std::vector<std::string> texts;
  DomainErrorReporter previous;
  DomainErrors() { previous = set_domain_error_reporter([this](const std::string& t) { texts.push_back(t); }); }
  ~DomainErrors() { set_domain_error_reporter(previous); }
};

// The start-up design (23 / 32 teeth, m_n 2.25, alpha_n 20, beta 27.88, a 70, b 17.5, 2500 rpm,
// 52.36 kW, flank roughness 0.8 um), worked through the formulas by hand in double precision from the
// design's inputs:
//   u 1.391304, alpha_wt 0.3906070 rad, beta_b 26.06690 deg, rho_A 7.138741 (the SAP roll length),
//   rho_E 17.22728 mm, Gamma_A -0.3595005, Gamma_B -0.1177824, Gamma_D 0.3039415, Gamma_E 0.5456596,
//   epsilon_alpha 1.364339, epsilon_beta 1.157710, l_min = (epsilon_alpha b - n_a n_r p_x) / cos beta_b
//   = 25.61264 mm (p_x 15.11605 mm), v_t 7.663582 m/s, F_t 6832.298 N, w_n 416.9925 N/mm (K_Hbeta
//   1.138945, K_v 1.140030), E_r 227472.5 MPa, mean roughness 0.8 um held to 0.7533333 -> mu_m 0.18.
struct PositionCase {
  int i;
  double vr1, vr2, g1, load_sharing, bh, theta;
};
constexpr PositionCase kStartupPositions[] = {
    {0, 1.8689181, 3.6718679, -0.9647024, 1.0 / 3, 0.0951514, 82.8508},
    {31, 3.1685429, 2.7377626, 0.1359553, 1.0, 0.1852955, 40.6810},
    // Position 63 is the EAP, though rounding puts it a hair beyond Gamma_E: the EAP's load share 1/3.
    {63, 4.5100911, 1.7735249, 0.6067652, 1.0 / 3, 0.1027278, 114.9979},
};

TEST(FlashTemperature, StartUpDesignMatchesTheValuesWorkedByHand) {
  auto d = rated_startup_design();
  calc_flash_temperature(*d, FlashEstimates{});

  EXPECT_FLOAT_EQ(d->flash_k_factor, 0.8f);
  EXPECT_FLOAT_EQ(d->flash_thermal_coefficient, 13.6f);
  EXPECT_NEAR(d->flash_mean_friction, 0.18, 1e-6);
  EXPECT_NEAR(d->flash_unit_load, 416.9925, 5e-3);
  for (const PositionCase& c : kStartupPositions) {
    SCOPED_TRACE(c.i);
    EXPECT_NEAR(d->flash_rolling_velocity_pinion[c.i], c.vr1, 1e-6);
    EXPECT_NEAR(d->flash_rolling_velocity_wheel[c.i], c.vr2, 1e-6);
    EXPECT_NEAR(d->flash_sliding_velocity[c.i], std::fabs(c.vr1 - c.vr2), 1e-6);
    EXPECT_NEAR(d->flash_specific_sliding_pinion[c.i], c.g1, 1e-6);
    EXPECT_NEAR(d->flash_specific_sliding_wheel[c.i], (c.vr2 - c.vr1) / c.vr2, 1e-6);
    EXPECT_NEAR(d->flash_load_sharing[c.i], c.load_sharing, 1e-6);
    EXPECT_NEAR(d->flash_hertz_half_width[c.i], c.bh, 1e-6);
    EXPECT_NEAR(d->flash_temperature[c.i], c.theta, 2e-3);
  }
  // The hottest point is the last one of single contact, just before the HPSTC, where the whole load
  // meets fast sliding: position 46 at 141.660 degC.
  EXPECT_NEAR(d->flash_temperature_max, 141.6602, 2e-3);
  EXPECT_EQ(d->flash_temperature_max, d->flash_temperature[46]);
  for (int i = 0; i < kFlashPointCount; ++i) EXPECT_LE(d->flash_temperature[i], d->flash_temperature_max) << i;
  // After an estimated run the load-sharing input holds the value of the last position.
  EXPECT_EQ(d->flash_load_sharing_input, d->flash_load_sharing[63]);
}

TEST(FlashTemperature, SlidingAndFlashTemperatureVanishAtThePitchPoint) {
  auto d = rated_startup_design();
  calc_flash_temperature(*d, FlashEstimates{});
  // The pitch point lies between two positions: there the sliding velocity changes sign, so the
  // specific sliding of the pinion and the flash temperature pass through a minimum near 0.
  int sign_changes = 0;
  for (int i = 1; i < kFlashPointCount; ++i) {
    const bool before = d->flash_specific_sliding_pinion[i - 1] < 0, after = d->flash_specific_sliding_pinion[i] < 0;
    if (before != after) {
      ++sign_changes;
      EXPECT_LT(d->flash_sliding_velocity[i - 1] + d->flash_sliding_velocity[i], 0.08f);
      EXPECT_LT(std::fmin(d->flash_temperature[i - 1], d->flash_temperature[i]), 1.0f);
    }
  }
  EXPECT_EQ(sign_changes, 1);

  // A pair rolled exactly at the pitch point: one position on a path that starts and ends there (a path
  // without lines of contact, so with an entered unit load).
  d->flash_point_count = 2;
  d->eap_diameter[0] = d->working_pitch_diameter[0];
  d->eap_diameter[1] = d->working_pitch_diameter[1];
  FlashEstimates entered_load;
  entered_load.unit_load = false;
  calc_flash_temperature(*d, entered_load);
  EXPECT_NEAR(d->flash_rolling_velocity_pinion[0], d->flash_rolling_velocity_wheel[0], 1e-5);
  EXPECT_NEAR(d->flash_sliding_velocity[0], 0.0f, 1e-5);
  EXPECT_NEAR(d->flash_specific_sliding_pinion[0], 0.0f, 1e-5);
  EXPECT_NEAR(d->flash_temperature[0], 0.0f, 0.05);
}

// The load-sharing factor over the path for each case, with the breakpoints of the start-up design.
TEST(FlashTemperature, LoadSharingShapesOfTheFourCases) {
  // Start at the SAP, end at the EAP, value just before the EAP (position 62 lies 0.0144 short of
  // Gamma_E, 0.06 of the recess range), and 1 over single contact from the LPSTC (position 17) to the
  // HPSTC (position 46).
  struct Shape {
    int load_case;
    double at_sap, at_eap;
  };
  const Shape shapes[] = {{0, 1.0 / 3, 1.0 / 3}, {1, 0.0, 1.0 / 7}, {2, 1.0 / 7, 0.0}, {3, 0.0, 0.0}};
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.load_case);
    auto d = rated_startup_design();
    d->flash_load_sharing_case = s.load_case;
    calc_flash_temperature(*d, FlashEstimates{});
    EXPECT_NEAR(d->flash_load_sharing[0], s.at_sap, 1e-6);
    EXPECT_GE(d->flash_load_sharing[0], 0.0f);  // never a small negative value
    EXPECT_NEAR(d->flash_load_sharing[62], s.at_eap, 0.06);
    EXPECT_NEAR(d->flash_load_sharing[63], s.at_eap, 1e-5);
    for (int i = 0; i < kFlashPointCount; ++i) {
      EXPECT_GE(d->flash_load_sharing[i], 0.0f) << i;
      EXPECT_LE(d->flash_load_sharing[i], 1.0f) << i;
      if (i >= 17 && i <= 46) EXPECT_EQ(d->flash_load_sharing[i], 1.0f) << i;
      else EXPECT_LT(d->flash_load_sharing[i], 1.0f) << i;
    }
  }
}

TEST(FlashTemperature, LoadSharingFactorRanges) {
  // Breakpoints SAP -1, LPSTC -0.25, HPSTC 0.25, EAP 1 (no single-contact overlap: LPSTC < HPSTC).
  const float ga = -1.0f, gb = -0.25f, gd = 0.25f, ge = 1.0f;
  struct Case {
    const char* what;
    int load_case;
    double gamma;
    float previous;
    int position;  // of positions 0 .. 9
    double expected;
  };
  const Case cases[] = {
      {"case 0 at the SAP", 0, -1.0, 9, 0, 1.0 / 3},
      {"case 0 half way up the approach", 0, -0.625, 9, 5, 0.5},
      {"case 0 at the LPSTC: single contact", 0, -0.25, 9, 5, 1.0},
      {"case 0 just below the HPSTC", 0, 0.2499, 9, 5, 1.0},
      {"case 0 exactly at the HPSTC keeps the previous value", 0, 0.25, 0.4f, 5, 0.4},
      {"case 0 at the EAP", 0, 1.0, 9, 5, 1.0 / 3},
      {"case 0 beyond the EAP keeps the previous value", 0, 1.0001, 0.4f, 5, 0.4},
      {"case 0 at the last position a hair beyond the EAP: the EAP's share", 0, 1.0000001, 0.4f, 9, 1.0 / 3},
      {"case 1 at the last position a hair beyond the EAP: the EAP's share", 1, 1.0000001, 0.4f, 9, 1.0 / 7},
      {"case 1 position 0 below the SAP by rounding: 0, not negative", 1, -1.0001, 9, 0, 0.0},
      {"case 1 at the EAP", 1, 1.0, 9, 5, 1.0 / 7},
      {"case 2 at the SAP", 2, -1.0, 9, 0, 1.0 / 7},
      {"case 2 at the EAP", 2, 1.0, 9, 5, 0.0},
      {"case 3 mid recess", 3, 0.625, 9, 5, 0.5},
      {"a case outside 0..3 is unmodified", 7, -1.0, 9, 0, 1.0 / 3},
  };
  for (const Case& c : cases) {
    float x = c.previous;
    load_sharing_factor(c.gamma, x, ga, gb, gd, ge, c.load_case, c.position, 9);
    EXPECT_NEAR(x, c.expected, 1e-6) << c.what;
  }
}

TEST(FlashTemperature, EnteredInputsAreUsedUnchanged) {
  auto d = rated_startup_design();
  d->flash_k_factor = 1.2f;
  d->flash_mean_friction = 0.05f;
  d->flash_thermal_coefficient = 10.0f;
  d->flash_load_sharing_input = 0.75f;
  d->flash_unit_load = 500.0f;
  calc_flash_temperature(*d, FlashEstimates{false, false, false, false, false});
  EXPECT_EQ(d->flash_k_factor, 1.2f);
  EXPECT_EQ(d->flash_mean_friction, 0.05f);
  EXPECT_EQ(d->flash_thermal_coefficient, 10.0f);
  EXPECT_EQ(d->flash_unit_load, 500.0f);
  EXPECT_EQ(d->flash_load_sharing_input, 0.75f);
  for (int i = 0; i < kFlashPointCount; ++i) EXPECT_EQ(d->flash_load_sharing[i], 0.75f) << i;
  // Position 0 worked by hand with these inputs: b_H = sqrt(8 X w_n rho_n / (pi E_r)).
  const double rho_n = 5.8185132;  // normal relative radius of curvature at the SAP, mm
  const double bh = std::sqrt(8 * 0.75 * 500 * rho_n / (3.141592653589793 * 227472.529));
  EXPECT_NEAR(d->flash_hertz_half_width[0], bh, 2e-6);
  const double slip = std::fabs(std::sqrt(1868.9181) - std::sqrt(3671.8679));
  EXPECT_NEAR(d->flash_temperature[0], 1.2 * 0.05 * 0.75 * 500 * slip / (10 * std::sqrt(bh)), 2e-3);
}

TEST(FlashTemperature, RoughnessEstimateOfTheMeanFriction) {
  struct Case {
    float ra1, ra2;
    double mu;
  };
  const Case cases[] = {{0.0f, 0.0f, 0.06}, {1.0f, 1.0f, 0.06 * 1.13 / (1.13 - 0.7533333)}, {0.4f, 0.5f, 0.06 * 1.13 / 0.68}};
  for (const Case& c : cases) {
    auto d = rated_startup_design();
    d->flank_roughness[0] = c.ra1;
    d->flank_roughness[1] = c.ra2;
    calc_flash_temperature(*d, FlashEstimates{});
    EXPECT_NEAR(d->flash_mean_friction, c.mu, 1e-6) << c.ra1;
  }
  EXPECT_NEAR(0.06 * 1.13 / (1.13 - 0.7533333), 0.18, 0.001);  // a mean roughness of 1 um gives about 0.18
}

namespace {

// The least total length of the lines of contact, found from the field of contact itself: a rectangle of
// the path of contact g (transverse) by the face width b, crossed by lines inclined at the base helix
// angle and one transverse base pitch p apart. The total length is piecewise linear in the phase of the
// lines, so its least value lies where a line's end passes a corner of the field.
double least_contact_line_length(double g, double b, double p, double beta_b) {
  const double t = std::tan(beta_b);
  const auto total = [&](double c) {
    double length = 0;
    const int first = int(std::floor((-b * t - c) / p)) - 1, last = int(std::ceil((g - c) / p)) + 1;
    for (int k = first; k <= last; ++k) {
      const double x0 = c + k * p;  // the line x = x0 + y tan(beta_b)
      const double from = std::fmax(0.0, -x0 / t), to = std::fmin(b, (g - x0) / t);
      if (to > from) length += (to - from) / std::cos(beta_b);
    }
    return length;
  };
  double least = INFINITY;
  for (const double corner : {0.0, g, -b * t, g - b * t})
    for (const double nudge : {0.0, 1e-9}) least = std::fmin(least, total(std::fmod(std::fmod(corner, p) + p, p) + nudge));
  return least;
}

}  // namespace

// The estimated unit load of helical pairs spreads the force over the least length of the lines of
// contact; pairs that used to get no value or thousands of degrees get a sound flash temperature.
TEST(FlashTemperature, UnitLoadOfHelicalPairsUsesTheLeastLengthOfContactLines) {
  const struct {
    float beta, face_width;
  } cases[] = {{27.88f, 17.5f}, {10.0f, 17.0f}, {20.0f, 11.0f}, {27.88f, 3.0f}, {15.0f, 40.0f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.beta << " deg, " << c.face_width << " mm");
    auto d = rated_startup_design();
    d->helix_angle = c.beta;
    d->face_width[0] = d->face_width[1] = c.face_width;
    d->second_geometry_pass = 1;
    calc_gear_geometry(*d);
    rate_design(*d);
    calc_flash_temperature(*d, FlashEstimates{});

    const double pi = 3.141592653589793, deg = pi / 180;
    const double z1 = d->teeth[0], z2 = d->teeth[1], m = d->normal_module, a = d->centre_distance;
    const double beta = c.beta * deg, alpha_n = d->normal_pressure_angle * deg;
    const double alpha_t = std::atan(std::tan(alpha_n) / std::cos(beta));
    const double rb1 = z1 * m / (2 * std::cos(beta)) * std::cos(alpha_t), rb2 = rb1 * z2 / z1;
    const double alpha_wt = std::acos((rb1 + rb2) / a);
    const double beta_b = std::asin(std::sin(beta) * std::cos(alpha_n));
    const double ra1 = d->eap_diameter[0] / 2.0, ra2 = d->eap_diameter[1] / 2.0;
    const double path = std::sqrt(ra1 * ra1 - rb1 * rb1) + std::sqrt(ra2 * ra2 - rb2 * rb2) - a * std::sin(alpha_wt);
    const double l_min = least_contact_line_length(path, d->active_face_width, 2 * pi * rb1 / z1, beta_b);

    const double vt = 2 * pi * d->speed * a / (60 * (z2 / z1 + 1)) * 0.001;
    const double beta_w = std::atan(std::tan(beta_b) / std::cos(alpha_wt));
    const double alpha_wn = std::asin(std::sin(alpha_wt) * std::cos(beta_b));
    const double wn = d->power / vt * d->face_load_factor_contact * d->dynamic_factor /
                      (std::cos(alpha_wn) * std::cos(beta_w)) / l_min;
    EXPECT_NEAR(d->flash_unit_load, wn, wn * 2e-5);
    EXPECT_GT(d->flash_temperature_max, 20.0f);
    EXPECT_LT(d->flash_temperature_max, 1000.0f);
  }
}

TEST(FlashTemperature, SpurPairTakesTheFaceWidthAsLengthOfContact) {
  auto d = rated_startup_design();
  d->helix_angle = 0;
  d->second_geometry_pass = 1;
  calc_gear_geometry(*d);
  calc_flash_temperature(*d, FlashEstimates{});
  // w_n = F_t K_Hbeta K_v / (cos alpha_wt) / b for a spur pair (beta_w = 0, alpha_wn = alpha_wt).
  const double alpha_t = d->normal_pressure_angle * 3.14159265358979 / 180;
  const double rb1 = 23 * double(d->normal_module) / 2 * std::cos(alpha_t), rb2 = rb1 * 32 / 23;
  const double alpha_wt = std::acos((rb1 + rb2) / d->centre_distance);
  const double vt = 2 * 3.14159265358979 * d->speed * d->centre_distance / (60 * (32.0 / 23 + 1)) * 0.001;
  const double wn = d->power / vt * d->face_load_factor_contact * d->dynamic_factor / std::cos(alpha_wt) /
                    d->active_face_width;
  EXPECT_NEAR(d->flash_unit_load, wn, wn * 1e-5);
  EXPECT_GT(d->flash_temperature_max, 0.0f);
}

TEST(FlashTemperature, CaseOutsideItsRangeIsResetAndStays) {
  auto d = rated_startup_design();
  d->flash_load_sharing_case = 7;
  calc_flash_temperature(*d, FlashEstimates{});
  EXPECT_EQ(d->flash_load_sharing_case, 0);
  EXPECT_NEAR(d->flash_load_sharing[0], 1.0 / 3, 1e-6);
  calc_flash_temperature(*d, FlashEstimates{});
  EXPECT_EQ(d->flash_load_sharing_case, 0);
}

TEST(FlashTemperature, PairsWithoutAValueStillComputeEveryPosition) {
  DomainErrors errors;
  // No load sharing entered: no flash temperature anywhere, maximum 0.
  {
    auto d = rated_startup_design();
    d->flash_load_sharing_input = 0;
    FlashEstimates e;
    e.load_sharing = false;
    calc_flash_temperature(*d, e);
    for (int i = 0; i < kFlashPointCount; ++i) EXPECT_EQ(d->flash_temperature[i], 0.0f) << i;
    EXPECT_EQ(d->flash_temperature_max, 0.0f);
  }
  // Standing still: no speed, no power. No force, no velocities, no flash temperature.
  {
    auto d = rated_startup_design();
    d->speed = 0;
    d->power = 0;
    calc_flash_temperature(*d, FlashEstimates{});
    EXPECT_EQ(d->flash_unit_load, 0.0f);
    for (int i = 0; i < kFlashPointCount; ++i) {
      EXPECT_EQ(d->flash_temperature[i], 0.0f) << i;
      EXPECT_EQ(d->flash_rolling_velocity_pinion[i], 0.0f) << i;
    }
    EXPECT_EQ(d->flash_temperature_max, 0.0f);
  }
  // Turning without load: no flash temperature, the velocities as before.
  {
    auto d = rated_startup_design();
    d->power = 0;
    calc_flash_temperature(*d, FlashEstimates{});
    EXPECT_EQ(d->flash_temperature_max, 0.0f);
    EXPECT_NEAR(d->flash_rolling_velocity_pinion[0], 1.8689181, 1e-6);
  }
  // A helical pair of small overlap and short path of contact (total contact ratio about 0.8) has moments
  // without any line of contact: the estimated unit load has no value, the velocities are still computed,
  // the maximum stays 0.
  {
    auto d = rated_startup_design();
    d->active_face_width = 3.0f;  // epsilon_beta about 0.2
    for (int i = 0; i < 2; ++i)  // epsilon_alpha about 0.6
      d->eap_diameter[i] = d->working_pitch_diameter[i] + 0.45f * (d->eap_diameter[i] - d->working_pitch_diameter[i]);
    calc_flash_temperature(*d, FlashEstimates{});
    EXPECT_TRUE(std::isnan(d->flash_unit_load));
    EXPECT_GT(d->flash_rolling_velocity_pinion[63], 0.0f);
    EXPECT_EQ(d->flash_temperature_max, 0.0f);
  }
  EXPECT_TRUE(errors.texts.empty());
  // A point count beyond the arrays is held to them.
  {
    auto d = rated_startup_design();
    d->flash_point_count = 1000;
    calc_flash_temperature(*d, FlashEstimates{});
    EXPECT_NEAR(d->flash_rolling_velocity_pinion[63], 4.5100911, 1e-6);
    EXPECT_EQ(d->flash_point_count, 1000);
  }
}

// Where the wheel's tip reaches past the pinion's interference point (z 12/100, standard rack, no
// shift), the positions run from where contact can start, the pinion's form circle, to its EAP: no
// position lies at a roll length the tooth does not have.
TEST(FlashTemperature, PositionsRunFromWhereContactStarts) {
  auto d = rated_startup_design();
  DesignData& g = *d;
  g.geometry_manager_mode = 0;
  g.helix_angle = 0;
  g.normal_module = 2;
  g.teeth[0] = 12;
  g.teeth[1] = 100;
  g.actual_ratio = g.desired_ratio = 100.0f / 12;
  g.profile_shift[0] = g.profile_shift[1] = 0;
  g.tooth_proportion_mode = 1;
  g.allow_tip_diameter_reduction = 0;
  for (int i = 0; i < 2; ++i) {
    g.basic_rack.addendum_coeff[i] = 1.0f;
    g.basic_rack.dedendum_coeff[i] = 1.25f;
    g.basic_rack.fillet_radius_coeff[i] = 0.38f;
    g.tip_chamfer[i] = 0;
  }
  g.basic_rack.pressure_angle = 20;
  g.second_geometry_pass = 0;
  calc_gear_geometry(g);
  ASSERT_NEAR(g.sap_diameter[0], g.rack_form_diameter[0], 1e-4) << "contact starts at the pinion's form circle";
  calc_flash_temperature(g, FlashEstimates{});
  const double omega1 = M_PI * g.speed / 30;
  const double db1 = g.base_diameter[0], dna1 = g.eap_diameter[0];
  const double start = std::sqrt(double(g.sap_diameter[0]) * g.sap_diameter[0] / 4 - db1 * db1 / 4);
  const double end = std::sqrt(dna1 * dna1 / 4 - db1 * db1 / 4);
  // The pinion's rolling velocity is omega_1 times its radius of curvature at the point of contact.
  EXPECT_NEAR(g.flash_rolling_velocity_pinion[0] / (omega1 * 1e-3), start, 2e-3);
  EXPECT_NEAR(g.flash_rolling_velocity_pinion[kFlashPointCount - 1] / (omega1 * 1e-3), end, 2e-3);
  for (int i = 0; i < kFlashPointCount; ++i) EXPECT_GT(g.flash_rolling_velocity_pinion[i], 0.0f) << i;
}

}  // namespace
}  // namespace morvell
