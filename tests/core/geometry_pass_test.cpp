#include "geometry_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cstring>
#include <random>
#include <cmath>
#include <string>
#include <vector>

#include "design_data.h"
#include "finished_teeth.h"
#include "geometry_warnings.h"
#include "measurement.h"
#include "numeric.h"
#include "startup_values.h"
#include "tooth_profile.h"
#include "tooth_proportions.h"

using namespace morvell;

namespace {

struct RecordingReporter {
  std::vector<std::string> seen;
  DomainErrorReporter previous;
  RecordingReporter() { previous = set_domain_error_reporter([this](const std::string& s) { seen.push_back(s); }); }
  ~RecordingReporter() { set_domain_error_reporter(previous); }
};

double rad(double deg) { return deg * M_PI / 180.0; }

// The pair the program starts with (23/32 teeth, helical, centre distance fixed, module follows).
DesignData startup_design() {
  DesignData d;
  set_startup_values(d);
  return d;
}

// A spur pair with the module fixed (the centre distance follows) for checks that need an exact module.
DesignData spur_design(int z1, int z2, float m) {
  DesignData d = startup_design();
  d.geometry_manager_mode = 0;
  d.helix_angle = 0.0f;
  d.normal_module = m;
  d.teeth[0] = z1;
  d.teeth[1] = z2;
  d.actual_ratio = static_cast<float>(z2) / z1;
  d.desired_ratio = d.actual_ratio;
  d.profile_shift[0] = d.profile_shift[1] = 0.0f;
  for (int i = 0; i < 2; ++i) {
    d.addendum[i] = 1.0f * m;
    d.dedendum[i] = 1.25f * m;
    d.root_fillet_radius[i] = 0.3f * m;
  }
  return d;
}

// "Standard Rack" tooth proportions from a 1 / 1.25 / 0.3 rack of the given pressure angle.
void use_standard_rack(DesignData& d, float pressure_angle) {
  d.tooth_proportion_mode = 1;
  for (int i = 0; i < 2; ++i) {
    d.basic_rack.addendum_coeff[i] = 1.0f;
    d.basic_rack.dedendum_coeff[i] = 1.25f;
    d.basic_rack.fillet_radius_coeff[i] = 0.3f;
  }
  d.basic_rack.pressure_angle = pressure_angle;
}

double rack_addendum_coeff(const DesignData& d, int i) { return d.addendum[i] / d.normal_module - d.profile_shift[i]; }
double rack_dedendum_coeff(const DesignData& d, int i) { return d.dedendum[i] / d.normal_module + d.profile_shift[i]; }

}  // namespace

// ----- Involute solvers and mesh forces -----

TEST(InvoluteSolvers, ZeroShiftGivesStandardCentreDistanceAndBack) {
  const struct { float beta; int z1, z2; float m; } cases[] = {{0, 20, 40, 2}, {27.88f, 23, 32, 2.25f}, {15, 17, 71, 4}};
  for (auto c : cases) {
    const float at = static_cast<float>(std::atan(std::tan(rad(20)) / std::cos(rad(c.beta))) * 180 / M_PI);
    const double standard = (c.z1 + c.z2) * c.m / (2 * std::cos(rad(c.beta)));
    const float a0 = centre_distance_from_profile_shift(0, 20, at, c.beta, c.m, c.z1, c.z2, 0, 0, 0, 0);
    EXPECT_NEAR(a0, standard, standard * 5e-6) << c.z1;
    EXPECT_NEAR(module_from_centre_distance(0, 20, at, c.beta, a0, c.z1, c.z2), c.m, c.m * 5e-6) << c.z1;
  }
}

TEST(InvoluteSolvers, ShiftedPairRoundTripsAndSpreadsTheCentreDistance) {
  const float at = static_cast<float>(std::atan(std::tan(rad(20)) / std::cos(rad(15))) * 180 / M_PI);
  double previous = 0;
  for (float sum_x : {-0.8f, -0.2f, 0.0f, 0.4f, 1.2f}) {
    const float a0 = centre_distance_from_profile_shift(sum_x, 20, at, 15, 3, 19, 47, 0, 0, 0, 0);
    EXPECT_GT(a0, previous) << "more shift, larger centre distance";
    previous = a0;
    EXPECT_NEAR(module_from_centre_distance(sum_x, 20, at, 15, a0, 19, 47), 3.0, 3e-5) << sum_x;
    // The working pressure angle behind a0 satisfies the involute relation within the solver's tolerance.
    const double alpha_t = rad(at), alpha_w = std::acos((19 + 47) * 3 / std::cos(rad(15)) * std::cos(alpha_t) / (2 * a0));
    const double lhs = std::tan(alpha_w) - alpha_w;
    const double rhs = std::tan(alpha_t) - alpha_t + sum_x * std::tan(rad(20)) / 33.0;
    EXPECT_NEAR(lhs, rhs, 2e-6) << sum_x;
  }
  // The tip and base diameters do not enter the result.
  EXPECT_EQ(centre_distance_from_profile_shift(0.3f, 20, at, 15, 3, 19, 47, 1, 2, 3, 4),
            centre_distance_from_profile_shift(0.3f, 20, at, 15, 3, 19, 47, 70, 160, 55, 140));
}

TEST(MeshForces, TangentialAxialAndRadialForces) {
  float fa = -1, ft = -1, fr = -1;
  mesh_forces(100, 50, 0, 20, &fa, &ft, &fr);
  EXPECT_FLOAT_EQ(ft, 4000.0f);
  EXPECT_FLOAT_EQ(fa, 0.0f);
  EXPECT_NEAR(fr, 4000 * std::tan(rad(20)), 1e-3);
  mesh_forces(250, 80, 30, 18, &fa, &ft, &fr);
  EXPECT_FLOAT_EQ(ft, 6250.0f);
  EXPECT_NEAR(fa, 6250 * std::tan(rad(30)), 1e-3);
  EXPECT_NEAR(fr, 6250 * std::tan(rad(18)) / std::cos(rad(30)), 1e-3);
}

// ----- The start-up design -----

TEST(GeometryPass, StartupDesignDerivedValues) {
  RecordingReporter rec;
  DesignData d = startup_design();
  const double ka[2] = {rack_addendum_coeff(d, 0), rack_addendum_coeff(d, 1)};
  const double kf[2] = {rack_dedendum_coeff(d, 0), rack_dedendum_coeff(d, 1)};
  calc_gear_geometry(d);
  EXPECT_TRUE(rec.seen.empty());

  const double beta = rad(27.88), cb = std::cos(beta);
  const double at = std::atan(std::tan(rad(20)) / cb);
  EXPECT_NEAR(d.transverse_pressure_angle, at * 180 / M_PI, 1e-5);
  // Centre distance fixed, no shift sum: the module is the one of the standard centre distance.
  EXPECT_NEAR(d.normal_module, 2 * 70 * cb / 55, 2e-6);
  EXPECT_NEAR(d.centre_distance_from_shifts, 70.0, 1e-4);
  EXPECT_FLOAT_EQ(d.centre_distance, 70.0f);
  EXPECT_FLOAT_EQ(d.actual_ratio, 32.0f / 23.0f);
  const double m = d.normal_module;
  for (int i = 0; i < 2; ++i) {
    const double ref = d.teeth[i] * m / cb;
    EXPECT_NEAR(d.reference_diameter[i], ref, 1e-4);
    EXPECT_NEAR(d.base_diameter[i], ref * std::cos(at), 1e-4);
    EXPECT_NEAR(d.working_pitch_diameter[i], ref, 1e-3);
    // Rack coefficients survive the module change; tips and roots are rebuilt around them.
    EXPECT_NEAR(rack_addendum_coeff(d, i), ka[i], 1e-5);
    EXPECT_NEAR(rack_dedendum_coeff(d, i), kf[i], 1e-5);
    EXPECT_NEAR(d.tip_diameter[i], ref + 2 * d.addendum[i], 1e-4);
    EXPECT_NEAR(d.root_diameter[i], ref - 2 * d.dedendum[i], 1e-4);
    EXPECT_NEAR(d.thickness_nominal_transverse[i], (M_PI / 2 + 2 * d.profile_shift[i] * std::tan(rad(20))) * m / cb, 1e-5);
    // Zero backlash at the zero-backlash centre distance: no thinning.
    EXPECT_NEAR(d.thickness_finished_transverse[i], d.thickness_nominal_transverse[i], 1e-4);
    EXPECT_LE(d.thickness_finished_transverse[i], d.thickness_nominal_transverse[i]);
    EXPECT_NEAR(d.helix_lead[i], M_PI * d.teeth[i] * m / std::sin(beta), 1e-2);
    EXPECT_NEAR(d.virtual_teeth[i], d.teeth[i] / (cb * cb * cb), 1e-4);
    EXPECT_EQ(d.span_teeth[i], static_cast<int>(std::trunc(1.75 * d.profile_shift[i] + d.virtual_teeth[i] / 9 + 0.5)));
    EXPECT_FLOAT_EQ(d.ball_diameter[i], static_cast<float>(1.8 * m));
    EXPECT_FLOAT_EQ(d.eap_diameter[i], d.tip_diameter[i]);
    EXPECT_FLOAT_EQ(d.tip_thickness_normal[i], d.eap_thickness_normal[i]);
    EXPECT_GT(d.eap_thickness_normal[i], 0.3 * m);
    EXPECT_GT(d.sap_diameter[i], d.base_diameter[i]);
    EXPECT_LT(d.sap_diameter[i], d.working_pitch_diameter[i]);
  }
  EXPECT_NEAR(d.working_transverse_pressure_angle, d.transverse_pressure_angle, 1e-3);
  EXPECT_NEAR(d.base_helix_angle, std::asin(std::sin(beta) * std::cos(rad(20))) * 180 / M_PI, 1e-5);
  EXPECT_NEAR(d.working_helix_angle, 27.88, 1e-3);
  for (float v : {d.backlash_normal, d.backlash_radial, d.backlash_transverse, d.backlash_transverse_circular,
                  d.backlash_normal_circular})
    EXPECT_NEAR(v, 0.0, 1e-4);
  EXPECT_FLOAT_EQ(d.min_form_to_sap[0], 0.25f);
  EXPECT_FLOAT_EQ(d.active_face_width, 17.5f);
  EXPECT_NEAR(d.axial_contact_ratio, 17.5 * std::sin(beta) / (M_PI * m), 1e-5);
  EXPECT_NEAR(d.transverse_base_pitch, M_PI * m / cb * std::cos(at), 1e-5);
  EXPECT_NEAR(d.normal_base_pitch, M_PI * m * std::cos(rad(20)), 1e-5);
  // Path of contact from the two tips; both SAPs above their rack form circles, so no correction.
  EXPECT_GT(d.sap_diameter[0], d.rack_form_diameter[0]);
  EXPECT_GT(d.sap_diameter[1], d.rack_form_diameter[1]);
  EXPECT_NEAR(d.transverse_contact_ratio, d.path_of_contact / d.transverse_base_pitch, 1e-5);
  EXPECT_GT(d.transverse_contact_ratio, 1.2f);
  EXPECT_LT(d.transverse_contact_ratio, 1.8f);
  EXPECT_EQ(d.rating_valid, 1);
  // Single-contact points lie inside the path of contact, one base pitch from its ends.
  EXPECT_NEAR(d.highest_single_contact_roll_pinion - d.sap_roll_length[0], d.transverse_base_pitch, 1e-4);
  EXPECT_NEAR(d.sap_roll_length[0] + d.path_of_contact - d.lowest_single_contact_roll_pinion, d.transverse_base_pitch,
              1e-4);
  // No torque in the start-up values: no forces.
  EXPECT_EQ(d.tangential_force, 0.0f);

  // A second pass over its own results changes nothing.
  DesignData again = d;
  calc_gear_geometry(again);
  EXPECT_EQ(std::memcmp(&again, &d, sizeof d), 0);
}

TEST(GeometryPass, SpurPairWithExceptionsMasked) {
  // A spur gear divides by zero in the helix lead: it must give +infinity, never trap.
  DesignData d = spur_design(20, 40, 2);
  d.torque = 100;
  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.transverse_pressure_angle, 20.0f);
  EXPECT_FLOAT_EQ(d.reference_diameter[0], 40.0f);
  EXPECT_FLOAT_EQ(d.reference_diameter[1], 80.0f);
  EXPECT_EQ(d.base_helix_angle, 0.0f);
  EXPECT_EQ(d.working_helix_angle, 0.0f);
  EXPECT_TRUE(std::isinf(d.helix_lead[0]) && d.helix_lead[0] > 0);
  EXPECT_EQ(fegetexcept(), 0) << "no floating-point trap is enabled";
  EXPECT_EQ(d.axial_contact_ratio, 0.0f);
  EXPECT_NEAR(d.centre_distance, 60.0, 1e-4);
  for (int i = 0; i < 2; ++i) EXPECT_FLOAT_EQ(d.tip_thickness_transverse[i], d.tip_thickness_normal[i]);
  EXPECT_NEAR(d.tangential_force, 2 * 100 / 40.0 * 1000, 0.1);
  EXPECT_EQ(d.axial_force, 0.0f);
  EXPECT_NEAR(d.radial_force, d.tangential_force * std::tan(rad(20)), 0.1);
}

// ----- Geometry manager -----

TEST(GeometryPass, ModeOneKeepsRackCoefficientsAndFilletRatio) {
  DesignData d = startup_design();
  d.profile_shift_sum = 0.3f;
  d.profile_shift[1] = 0.05f;
  d.centre_distance = 74.0f;
  const double ka[2] = {rack_addendum_coeff(d, 0), rack_addendum_coeff(d, 1)};
  const double kf[2] = {rack_dedendum_coeff(d, 0), rack_dedendum_coeff(d, 1)};
  const double fillet_ratio = d.root_fillet_radius[0] / d.normal_module;
  calc_gear_geometry(d);
  EXPECT_GT(d.normal_module, 2.3f);
  EXPECT_NEAR(d.centre_distance_from_shifts, 74.0, 2e-4);
  EXPECT_FLOAT_EQ(d.profile_shift[1], 0.05f);  // x2 = shift sum - x1
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(rack_addendum_coeff(d, i), ka[i], 1e-5);
    EXPECT_NEAR(rack_dedendum_coeff(d, i), kf[i], 1e-5);
    EXPECT_NEAR(d.root_fillet_radius[i] / d.normal_module, fillet_ratio, 1e-6);
  }
}

TEST(GeometryPass, AutomaticShiftSplit) {
  DesignData d = startup_design();
  d.geometry_manager_mode = 0;
  d.shift_distribution_auto = 1;
  d.profile_shift_sum = 0.4f;
  calc_gear_geometry(d);
  const double u = 32.0 / 23.0;
  EXPECT_NEAR(d.profile_shift[0], 0.4 / (u + 1) + 0.3 * (1 - 1 / u), 1e-6);
  EXPECT_NEAR(d.profile_shift[0] + d.profile_shift[1], 0.4, 1e-6);
  EXPECT_NEAR(d.profile_shift_sum, 0.4, 1e-6);
}

TEST(GeometryPass, ModeTwoRoundsTeethAndCorrectsTheWheel) {
  // Spur, module 2: w = a / (1 + u) with the rounding half up; each correction lowers the wheel by one.
  // The wheel's load cycles follow the teeth the pass derives.
  const struct { float a, ratio; int z1, z2; } cases[] = {
      {41.0f, 1.0f, 21, 21},    // w = 20.5 rounds up, shift sum -0.45 is left alone (z1 >= 18)
      {40.98f, 1.0f, 20, 20},   // w = 20.49 rounds down
      {51.2f, 1.5f, 20, 30},    // positive shift sum: no correction
      {49.4f, 1.5f, 20, 30},    // -0.29 with z1 >= 18: no correction
      {48.8f, 1.5f, 20, 29},    // -0.54: one tooth off the wheel, then -0.10 stays
      {42.4f, 1.5f, 17, 25},    // -0.28 with z1 < 18: one tooth off
      {32.8f, 1.5f, 13, 19},    // -0.10 with z1 < 14: one tooth off
      {62.7f, 4.0f, 13, 49},    // -0.97, -0.60, -0.15: three teeth off
  };
  for (auto c : cases) {
    DesignData d = spur_design(5, 7, 2);
    d.geometry_manager_mode = 2;
    d.centre_distance = c.a;
    d.desired_ratio = c.ratio;
    d.load_cycles_pinion = 3e6f;
    d.load_cycles_wheel = 3e6f * 5 / 7;
    calc_gear_geometry(d);
    EXPECT_EQ(d.teeth[0], c.z1) << c.a;
    EXPECT_EQ(d.teeth[1], c.z2) << c.a;
    EXPECT_FLOAT_EQ(d.actual_ratio, static_cast<float>(c.z2) / c.z1) << c.a;
    EXPECT_FLOAT_EQ(d.load_cycles_wheel, float(3e6 * c.z1 / c.z2)) << c.a;
    EXPECT_FLOAT_EQ(d.centre_distance, c.a) << "the centre distance stays";
    EXPECT_NEAR(d.centre_distance_from_shifts, c.a, 2e-4) << "the shift sum fills the centre distance";
    EXPECT_FLOAT_EQ(d.normal_module, 2.0f);
    EXPECT_NEAR(d.profile_shift[0] + d.profile_shift[1], d.profile_shift_sum, 1e-6);
  }
}

TEST(GeometryPass, ModeTwoKeepsTheTeethWhenTheCentreDistanceGivesNoPair) {
  RecordingReporter rec;  // the impossible centre distance itself is reported by the working angles
  // 3 mm: the pinion would get 2 teeth whose base circles do not fit; 1 mm: the pinion rounds to 0 teeth.
  for (float a : {3.0f, 1.0f, 0.0f}) {
    DesignData d = spur_design(20, 30, 2);
    d.geometry_manager_mode = 2;
    d.profile_shift_sum = 0.2f;
    d.profile_shift[0] = 0.2f;
    d.desired_ratio = 1.0f;
    d.centre_distance = a;
    calc_gear_geometry(d);
    EXPECT_EQ(d.teeth[0], 20) << a;
    EXPECT_EQ(d.teeth[1], 30) << a;
    EXPECT_FLOAT_EQ(d.profile_shift_sum, 0.2f) << a;
  }
}

TEST(GeometryPass, EnteredBacklashSurvivesACentreDistanceTheBaseCirclesDoNotFit) {
  // 13.08 mm at module 2 and ratio 1 rounds to 7 + 7 teeth whose base circles need 13.16 mm: no pair, and
  // the teeth kept from before fit it even less, so this pass has no working pressure angle and no backlash.
  RecordingReporter rec;
  DesignData d = spur_design(20, 30, 2);
  d.geometry_manager_mode = 2;
  d.desired_ratio = 1.0f;
  d.backlash_normal = 0.1f;
  d.centre_distance = 13.08f;
  calc_gear_geometry(d);
  ASSERT_FALSE(rec.seen.empty());
  EXPECT_TRUE(std::isnan(d.backlash_radial));
  EXPECT_FLOAT_EQ(d.backlash_normal, 0.1f) << "the entered backlash is kept";
  // A sound centre distance again: the teeth are thinned by the entered backlash, not by an undefined one.
  d.centre_distance = 40.0f;
  calc_gear_geometry(d);
  calc_gear_geometry(d);
  EXPECT_NEAR(d.backlash_normal, 0.1, 1e-6);
  for (int i = 0; i < 2; ++i) {
    EXPECT_LT(d.thickness_finished_transverse[i], d.thickness_nominal_transverse[i]) << i;
    EXPECT_FALSE(std::isnan(d.ball_measurement_finished[i])) << i;
  }
}

TEST(GeometryPass, OverrideFreezesCentreDistanceThicknessesAndRack) {
  DesignData d = spur_design(20, 40, 2);
  d.geometry_manager_override = 1;
  d.centre_distance = 60.3f;  // entered, differs from the zero-backlash 60
  d.thickness_finished_transverse[0] = 2.9f;
  d.thickness_finished_transverse[1] = 3.5f;  // above nominal: clamped even when frozen
  d.tooth_proportion_mode = 1;
  d.basic_rack.addendum_coeff[0] = d.basic_rack.addendum_coeff[1] = 1.5f;
  d.basic_rack.pressure_angle = 25.0f;
  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.centre_distance, 60.3f);
  EXPECT_NEAR(d.centre_distance_from_shifts, 60.0, 1e-4);
  EXPECT_FLOAT_EQ(d.thickness_finished_transverse[0], 2.9f);
  EXPECT_FLOAT_EQ(d.thickness_finished_transverse[1], d.thickness_nominal_transverse[1]);
  EXPECT_FLOAT_EQ(d.normal_pressure_angle, 20.0f);
  EXPECT_FLOAT_EQ(d.addendum[0], 2.0f);
  // The backlash is the one the finished teeth have at the entered centre distance.
  EXPECT_NEAR(d.backlash_normal, backlash_of_the_teeth(d).normal, 2e-5);
  // Radially: the centre distance less the one at which the finished teeth mesh tight.
  EXPECT_NEAR(d.backlash_radial, 60.3 - tight_mesh_centre_distance(d), 2e-5);

  // Without the override the module-fixed mode puts the centre distance back on the shift sum.
  d.geometry_manager_override = 0;
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.centre_distance, d.centre_distance_from_shifts);
}

TEST(GeometryPass, StandardRackCopiedOnlyInTheFirstPassOfARefresh) {
  DesignData d = spur_design(20, 40, 2);
  d.tooth_proportion_mode = 1;
  d.profile_shift[0] = 0.2f;
  d.basic_rack.addendum_coeff[0] = 1.1f;
  d.basic_rack.addendum_coeff[1] = 1.0f;
  d.basic_rack.dedendum_coeff[0] = d.basic_rack.dedendum_coeff[1] = 1.4f;
  d.basic_rack.fillet_radius_coeff[0] = d.basic_rack.fillet_radius_coeff[1] = 0.38f;
  d.basic_rack.pressure_angle = 22.5f;

  DesignData second = d;
  second.second_geometry_pass = 1;
  calc_gear_geometry(second);
  EXPECT_FLOAT_EQ(second.normal_pressure_angle, 20.0f);
  EXPECT_FLOAT_EQ(second.addendum[0], 2.0f);  // entered addendum kept

  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.normal_pressure_angle, 22.5f);
  EXPECT_NEAR(rack_addendum_coeff(d, 0), 1.1, 1e-6);
  EXPECT_NEAR(rack_dedendum_coeff(d, 1), 1.4, 1e-6);
  EXPECT_FLOAT_EQ(d.root_fillet_radius[0], 0.76f);
  // The pass that copies the rack works with its angle throughout: the next pass, on the same inputs,
  // finds the same teeth.
  EXPECT_FLOAT_EQ(d.transverse_pressure_angle, 22.5f);
  const float base = d.base_diameter[0], tip_thickness = d.tip_thickness_normal[0];
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.transverse_pressure_angle, 22.5f);
  EXPECT_EQ(d.base_diameter[0], base);
  EXPECT_EQ(d.tip_thickness_normal[0], tip_thickness);
}

// ----- Default form-to-SAP constraint and face widths -----

TEST(GeometryPass, DefaultFormToSapByModuleBand) {
  const struct { float m, v; } cases[] = {{0.8f, 0.125f}, {1.0f, 0.125f}, {1.2f, 0.18f}, {1.5f, 0.18f}, {3.0f, 0.25f},
                                          {4.0f, 0.375f}, {5.0f, 0.375f}, {5.01f, 0.5f}, {12.0f, 0.5f}};
  for (auto c : cases) {
    DesignData d = spur_design(20, 40, c.m);
    calc_gear_geometry(d);
    EXPECT_FLOAT_EQ(d.min_form_to_sap[0], c.v) << c.m;
    EXPECT_FLOAT_EQ(d.min_form_to_sap[1], c.v) << c.m;
  }
  DesignData d = spur_design(20, 40, 4);
  d.constraints_use_defaults = 0;
  d.min_form_to_sap[0] = 0.7f;
  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.min_form_to_sap[0], 0.7f);
}

// While the defaults are on, the pass works with the whole default table, whatever constraints the
// design held before (the start-up's, a file's, a window's): the result is that of the same design
// with the table typed in by hand, in every tooth-proportion mode; with the defaults off the design's
// own constraints stay.
TEST(GeometryPass, WithTheDefaultsOnThePassUsesTheWholeDefaultTable) {
  std::mt19937 random(4801);
  const auto uniform = [&](double lo, double hi) { return float(std::uniform_real_distribution<double>(lo, hi)(random)); };
  for (int trial = 0; trial < 200; ++trial) {
    DesignData d = startup_design();
    d.geometry_manager_mode = 0;
    d.normal_module = uniform(0.5, 8);
    d.helix_angle = trial % 3 == 0 ? 0.0f : uniform(0, 30);
    d.teeth[0] = 12 + int(random() % 30);
    d.teeth[1] = d.teeth[0] + int(random() % 60);
    d.tooth_proportion_mode = int32_t(random() % 3);
    d.profile_shift[0] = uniform(-0.3, 0.6);
    d.profile_shift[1] = uniform(-0.3, 0.3);
    const float m = d.normal_module;
    for (int g = 0; g < 2; ++g) {
      d.addendum[g] = m;
      d.dedendum[g] = 1.25f * m;
      d.root_fillet_radius[g] = 0.3f * m;
      d.min_tip_thickness_coeff[g] = uniform(0, 0.75);
      d.min_eap_thickness_coeff[g] = uniform(0, 0.75);
      d.min_form_to_sap[g] = uniform(0, 0.5 * m);
      d.min_base_to_form[g] = uniform(0, 0.5 * m);
      d.min_bottom_clearance_coeff[g] = uniform(0, 1);
      d.max_tip_diameter[g] = uniform(0, 2) < 1 ? 1e9f : uniform(10, 500);
      d.min_root_diameter[g] = uniform(0, 100);
      d.min_root_fillet_coeff[g] = uniform(0, m);
    }
    SCOPED_TRACE("trial " + std::to_string(trial) + ", m " + std::to_string(m) + ", mode " +
                 std::to_string(d.tooth_proportion_mode));
    DesignData own = d;
    own.constraints_use_defaults = 0;
    DesignData by_hand = d;  // the table as the constraints window lists it
    const float form_to_sap = m <= 1 ? 0.125f : m <= 1.5f ? 0.18f : m <= 3 ? 0.25f : m <= 5 ? 0.375f : 0.5f;
    for (int g = 0; g < 2; ++g) {
      by_hand.min_tip_thickness_coeff[g] = 0.3f;
      by_hand.min_eap_thickness_coeff[g] = 0.3f;
      by_hand.min_form_to_sap[g] = form_to_sap;
      by_hand.min_base_to_form[g] = 0.125f;
      by_hand.min_bottom_clearance_coeff[g] = 0.25f;
      by_hand.max_tip_diameter[g] = 1e9f;
      by_hand.min_root_diameter[g] = 0;
      by_hand.min_root_fillet_coeff[g] = 0.3f;
    }
    d.constraints_use_defaults = 1;
    by_hand.constraints_use_defaults = 1;
    calc_gear_geometry(d);
    calc_gear_geometry(by_hand);
    EXPECT_EQ(std::memcmp(&d, &by_hand, sizeof d), 0);
    const GeometryConstraints before = own;
    calc_gear_geometry(own);
    EXPECT_EQ(std::memcmp(static_cast<const GeometryConstraints*>(&own), &before, sizeof before), 0);
  }
}

TEST(GeometryPass, FaceWidthOverlapCases) {
  // Module 2.25 caps each end's own face beyond the common zone.
  const struct { const char* name; float b1, b2, c1, c2, o, common, bend1, bend2; } cases[] = {
      {"equal faces", 17.5f, 17.5f, 0, 0, 0, 17.5f, 17.5f, 17.5f},
      {"A pinion end inside the wheel", 20, 20, 0, 0, 5, 15, 17.25f, 17.25f},
      {"A with chamfers", 20, 20, 1, 0.5f, 3, 15.5f, 18.75f, 18.25f},
      {"B wheel inside the pinion", 30, 10, 0, 1, 10, 8, 12.5f, 10},
      {"C pinion start inside the wheel", 20, 20, 0, 0, -5, 15, 17.25f, 17.25f},
      {"D pinion inside the wheel", 10, 30, 1, 0, -10, 8, 10, 12.5f},
  };
  for (auto c : cases) {
    DesignData d = startup_design();
    d.geometry_manager_mode = 0;
    d.face_width[0] = c.b1;
    d.face_width[1] = c.b2;
    d.edge_chamfer[0] = c.c1;
    d.edge_chamfer[1] = c.c2;
    d.face_width_offset = c.o;
    calc_gear_geometry(d);
    EXPECT_FLOAT_EQ(d.active_face_width, c.common) << c.name;
    EXPECT_FLOAT_EQ(d.bending_face_width[0], c.bend1) << c.name;
    EXPECT_FLOAT_EQ(d.bending_face_width[1], c.bend2) << c.name;
  }
  // Faces that do not overlap: a token common width, bending widths of the previous pass.
  DesignData d = startup_design();
  d.bending_face_width[0] = 11;
  d.bending_face_width[1] = 12;
  d.face_width_offset = 30;
  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.active_face_width, 1e-5f);
  EXPECT_FLOAT_EQ(d.bending_face_width[0], 11.0f);
  EXPECT_FLOAT_EQ(d.bending_face_width[1], 12.0f);
}

// ----- Thicknesses and backlash -----

TEST(GeometryPass, BacklashIsDistributedAsThinningAndReproduced) {
  const struct { float backlash, share; } cases[] = {{0.1f, 0.5f}, {0.2f, 1.0f}, {0.15f, 0.0f}, {0.0f, 0.5f}};
  for (auto c : cases) {
    DesignData d = spur_design(20, 40, 2);
    d.backlash_normal = c.backlash;
    d.backlash_distribution = c.share;
    calc_gear_geometry(d);
    const double awt = rad(d.working_transverse_pressure_angle);
    EXPECT_NEAR(d.backlash_normal, c.backlash, 1e-6) << "the entered normal backlash comes back";
    EXPECT_NEAR(d.thickness_nominal_transverse[0] - d.thickness_finished_transverse[0],
                c.backlash * c.share / std::cos(awt), 1e-5);
    EXPECT_NEAR(d.thickness_nominal_transverse[1] - d.thickness_finished_transverse[1],
                c.backlash * (1 - c.share) / std::cos(awt), 1e-5);
    EXPECT_NEAR(d.backlash_radial, d.centre_distance - tight_mesh_centre_distance(d), 1e-5);
    EXPECT_NEAR(d.backlash_transverse, c.backlash, 1e-6);  // spur
    EXPECT_NEAR(d.backlash_transverse_circular, c.backlash / std::cos(awt), 1e-5);
    EXPECT_NEAR(d.backlash_normal_circular, c.backlash / std::cos(awt), 1e-5);
    for (int i = 0; i < 2; ++i) EXPECT_FLOAT_EQ(d.thickness_finished_normal[i], d.thickness_finished_transverse[i]);
  }
}

// The backlash that the finished teeth have at the working centre distance, worked out from their
// base-circle thicknesses, is the backlash entered, for shifted and helical pairs alike.
TEST(GeometryPass, FinishedTeethHaveTheEnteredBacklashAtTheWorkingCentreDistance) {
  const struct {
    int z1, z2;
    float m, beta, x1, x2;
  } cases[] = {{17, 55, 2, 0, 0.5f, 0.3f},   {12, 30, 3, 0, 0.6f, 0.5f},      {31, 89, 1.5f, 0, -0.3f, -0.4f},
               {23, 32, 2.25f, 27.88f, 0.25f, 0.05f}, {19, 47, 3, 15, -0.1f, -0.3f}, {20, 40, 2, 0, 0, 0}};
  for (auto c : cases) {
    for (const float share : {0.5f, 0.8f}) {
      DesignData d = spur_design(c.z1, c.z2, c.m);
      d.helix_angle = c.beta;
      d.shift_distribution_auto = 0;
      d.profile_shift[0] = c.x1;
      d.profile_shift_sum = c.x1 + c.x2;
      d.backlash_normal = 0.12f;
      d.backlash_distribution = share;
      calc_gear_geometry(d);
      SCOPED_TRACE(testing::Message() << c.z1 << "/" << c.z2 << " shift sum " << c.x1 + c.x2 << " share " << share);
      ASSERT_NEAR(d.profile_shift[1], c.x2, 1e-6);

      const TeethBacklash t = backlash_of_the_teeth(d);
      // (Within what the single-precision centre distance leaves: some 1e-5 mm.)
      EXPECT_NEAR(t.normal, 0.12, 5e-5);
      EXPECT_NEAR(d.backlash_normal, 0.12, 2e-6);
      EXPECT_NEAR(d.backlash_transverse_circular, t.circular, 5e-5);
      EXPECT_NEAR(d.backlash_transverse, t.along_line, 5e-5);
      EXPECT_NEAR(d.backlash_normal_circular, t.normal_circular, 5e-5);
      EXPECT_NEAR(d.backlash_radial, d.centre_distance - tight_mesh_centre_distance(d), 5e-5);
      // The share of the thinning each gear takes.
      const double thinning[2] = {d.thickness_nominal_transverse[0] - d.thickness_finished_transverse[0],
                                  d.thickness_nominal_transverse[1] - d.thickness_finished_transverse[1]};
      EXPECT_NEAR(thinning[0] / (thinning[0] + thinning[1]), share, 1e-4);
    }
  }
}

// With the geometry manager overridden the finished thicknesses and the centre distance are the inputs:
// the backlash shown is the one the finished teeth have at that centre distance, however far it lies from
// the zero-backlash one (the excess opens the backlash by the involute relation, not by 2 (a - a_0) sin
// alpha_wt cos beta_b, which reads 1.6 % high on the helical pair below and 8.7 % on 25/25 with a shift sum
// of -0.8), and every way of stating it agrees with that distance between the flanks.
TEST(GeometryPass, CentreDistanceExcessOpensTheBacklashOfTheFinishedTeeth) {
  const struct {
    int z1, z2;
    float m, beta, x1, x2, excess, thinning;
  } cases[] = {{23, 32, 2.25f, 27.88f, 0.25f, -0.25f, 0.5f, 0},     {25, 25, 3, 0, -0.4f, -0.4f, 1.0f, 0},
               {19, 47, 3, 15, -0.1f, -0.3f, 0.4f, 0.05f},          {17, 55, 2, 0, 0.5f, 0.3f, -0.05f, 0.12f},
               {31, 89, 1.5f, 33, 0.2f, 0.35f, 0.8f, 0.02f}};
  for (auto c : cases) {
    SCOPED_TRACE(testing::Message() << c.z1 << "/" << c.z2 << " helix " << c.beta << " excess " << c.excess);
    DesignData d = spur_design(c.z1, c.z2, c.m);
    d.helix_angle = c.beta;
    d.shift_distribution_auto = 0;
    d.profile_shift[0] = c.x1;
    d.profile_shift_sum = c.x1 + c.x2;
    calc_gear_geometry(d);
    const float a0 = d.centre_distance_from_shifts;
    d.geometry_manager_override = 1;
    d.centre_distance = a0 + c.excess;
    d.thickness_finished_transverse[0] = d.thickness_nominal_transverse[0] - c.thinning;
    d.thickness_finished_transverse[1] = d.thickness_nominal_transverse[1];
    calc_gear_geometry(d);
    ASSERT_EQ(d.centre_distance, a0 + c.excess);
    ASSERT_EQ(d.centre_distance_from_shifts, a0);

    const TeethBacklash t = backlash_of_the_teeth(d);
    EXPECT_NEAR(d.backlash_normal, t.normal, 3e-5);
    EXPECT_NEAR(d.backlash_transverse, t.along_line, 3e-5);
    EXPECT_NEAR(d.backlash_transverse_circular, t.circular, 3e-5);
    EXPECT_NEAR(d.backlash_normal_circular, t.normal_circular, 3e-5);
    // The radial backlash closes the mesh of the finished teeth; for teeth as cut it is the excess itself.
    EXPECT_NEAR(d.backlash_radial, d.centre_distance - tight_mesh_centre_distance(d), 3e-5);
    if (c.thinning == 0) {
      EXPECT_NEAR(d.backlash_radial, c.excess, 2e-5);
    }
  }
}

// The radial backlash is the exact change of centre distance to a tight mesh of the finished teeth (an
// own model of them, finished_teeth.h), also where the linear j_n / (2 sin alpha_wt cos beta_b) reads far
// low: at a pressure angle of 14.5 degrees and at a working pressure angle near 11 degrees.
TEST(GeometryPass, RadialBacklashClosesTheMeshOfTheFinishedTeeth) {
  const struct {
    int z1, z2;
    float m, alpha, beta, x1, x2, backlash;
    double linear_low_by;  // least share by which the linear reading lies below
  } cases[] = {{23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f, 0.3f, 0.004},
               {20, 40, 2, 14.5f, 0, 0, 0, 0.3f, 0.05},
               {20, 40, 2, 14.5f, 0, -0.19f, -0.19f, 0.1f, 0.05},
               {19, 47, 3, 17.5f, 15, 0.4f, 0.2f, 0.2f, 0}};
  for (auto c : cases) {
    SCOPED_TRACE(testing::Message() << c.z1 << "/" << c.z2 << " pressure angle " << c.alpha);
    DesignData d = spur_design(c.z1, c.z2, c.m);
    d.normal_pressure_angle = c.alpha;
    d.helix_angle = c.beta;
    d.shift_distribution_auto = 0;
    d.profile_shift[0] = c.x1;
    d.profile_shift_sum = c.x1 + c.x2;
    d.backlash_normal = c.backlash;
    calc_gear_geometry(d);
    calc_gear_geometry(d);  // the pressure angle as entered in both
    ASSERT_NEAR(d.backlash_normal, c.backlash, 1e-5);
    const double radial = d.centre_distance - tight_mesh_centre_distance(d);
    EXPECT_NEAR(d.backlash_radial, radial, 3e-5);
    const double linear =
        c.backlash / (2 * std::sin(rad(d.working_transverse_pressure_angle)) * std::cos(rad(d.base_helix_angle)));
    EXPECT_GT((radial - linear) / radial, c.linear_low_by);
  }
}

// ----- Contact ratio -----

TEST(GeometryPass, ContactRatioFloorWhenTheEapFallsBelowTheBaseCircle) {
  RecordingReporter rec;
  DesignData d = spur_design(20, 40, 2);
  d.tip_chamfer[0] = 3.5f;  // EAP diameter 44 - 7 = 37 below the base diameter 37.59
  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.transverse_contact_ratio, 0.0001f);
  EXPECT_EQ(d.rating_valid, 0);
  EXPECT_TRUE(std::isnan(d.path_of_contact));
  EXPECT_FALSE(rec.seen.empty());
}

// Contact can start no lower than the form circle: where the mate's tip reaches below it, or even past
// the interference point on the base circle (a negative roll length), the SAP is the form circle, the
// path of contact, the contact ratio and the single-contact points count from there, and a geometry
// warning says so. The form circle of the test's own model: the rack flank's tangent point, or for an
// undercut tooth (whose rack flank would end below the base circle) where the generated fillet crosses
// the involute.
TEST(GeometryPass, ContactStartsNoLowerThanTheFormCircle) {
  struct Case {
    const char* name;
    int z1, z2;
    float m;
    bool pinion_undercut, negative_roll;
    float wheel_addendum;  // 0 = rack proportions
  };
  const Case cases[] = {
      {"wheel tip just clear of the pinion root", 20, 40, 2.0f, false, false, 2.49f},
      {"z 12/100: wheel tip past the pinion's interference point", 12, 100, 2.0f, true, true, 0},
      {"z 14/40: undercut pinion", 14, 40, 2.5f, true, true, 0},
  };
  auto roll = [](double D, double db) { return D > db ? std::sqrt(D * D / 4 - db * db / 4) : 0.0; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignData d = spur_design(c.z1, c.z2, c.m);
    d.allow_tip_diameter_reduction = 0;
    if (c.wheel_addendum > 0) {
      d.addendum[1] = c.wheel_addendum;
      d.root_fillet_radius[0] = 0.7f;  // raises the pinion's form circle
    } else {
      use_standard_rack(d, 20);
      for (int i = 0; i < 2; ++i) d.basic_rack.fillet_radius_coeff[i] = 0.38f;
      d.second_geometry_pass = 0;
    }
    calc_gear_geometry(d);
    const double alpha_t = rad(d.transverse_pressure_angle), alpha_n = rad(d.normal_pressure_angle);
    double form[2], tip_roll[2], start[2];
    for (int i = 0; i < 2; ++i) {
      const double db = d.base_diameter[i];
      const double r = db / 2 * std::tan(alpha_t) -
                       (d.dedendum[i] - (1 - std::sin(alpha_n)) * d.root_fillet_radius[i]) / std::sin(alpha_t);
      EXPECT_EQ(r < 0, i == 0 && c.pinion_undercut);
      if (r < 0) {
        ToothProfile outline;
        float generated = 0;
        generate_tooth_profile(finished_outline_input(d, i), &generated, outline);
        form[i] = generated;
      } else {
        form[i] = 2 * std::sqrt(r * r + db * db / 4);
      }
      EXPECT_NEAR(d.rack_form_diameter[i], form[i], 1e-4) << i;
    }
    for (int i = 0; i < 2; ++i) {
      const int n = 1 - i;
      tip_roll[i] = roll(d.working_pitch_diameter[i], d.base_diameter[i]) -
                    (roll(d.tip_diameter[n], d.base_diameter[n]) - roll(d.working_pitch_diameter[n], d.base_diameter[n]));
      start[i] = std::max(tip_roll[i], roll(form[i], d.base_diameter[i]));
      EXPECT_NEAR(d.sap_roll_length[i], start[i], 1e-4) << i;
      EXPECT_GE(d.sap_roll_length[i], 0.0f) << i;
      EXPECT_GE(d.sap_diameter[i], d.rack_form_diameter[i] - 1e-4f) << i;
    }
    EXPECT_EQ(tip_roll[0] < 0, c.negative_roll);
    EXPECT_LT(tip_roll[0], roll(form[0], d.base_diameter[0])) << "the wheel's tip reaches below the form circle";
    EXPECT_NEAR(d.sap_diameter[0], form[0], 1e-4);
    const double pbt = d.transverse_base_pitch;
    const double gw = roll(d.working_pitch_diameter[0], d.base_diameter[0]) +
                      roll(d.working_pitch_diameter[1], d.base_diameter[1]);
    EXPECT_NEAR(d.transverse_contact_ratio, (gw - start[0] - start[1]) / pbt, 1e-5);
    EXPECT_NEAR(d.path_of_contact / pbt, d.transverse_contact_ratio, 1e-5) << "the path itself starts there";
    EXPECT_NEAR(d.highest_single_contact_roll_pinion - d.sap_roll_length[0], pbt, 1e-4);
    EXPECT_NEAR(d.sap_roll_length[0] + d.path_of_contact - d.lowest_single_contact_roll_pinion, pbt, 1e-4);
    EXPECT_EQ(d.rating_valid, d.transverse_contact_ratio >= 1.0f ? 1 : 0);

    std::vector<std::pair<GeometryWarning, int>> warnings;
    check_geometry_warnings(d, [&](GeometryWarning kind, int gear) { warnings.emplace_back(kind, gear); });
    EXPECT_NE(std::find(warnings.begin(), warnings.end(), std::make_pair(GeometryWarning::contact_below_form, 0)),
              warnings.end());
    EXPECT_EQ(std::find(warnings.begin(), warnings.end(), std::make_pair(GeometryWarning::contact_below_form, 1)),
              warnings.end());
  }
  // The pairs of the report, their contact ratios from the form circle: 1.276 and 1.460.
  DesignData d = spur_design(12, 100, 2);
  d.allow_tip_diameter_reduction = 0;
  use_standard_rack(d, 20);
  for (int i = 0; i < 2; ++i) d.basic_rack.fillet_radius_coeff[i] = 0.38f;
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  EXPECT_NEAR(d.transverse_contact_ratio, 1.276, 5e-4);
}

TEST(GeometryPass, HealthyContactIsNotWarnedAbout) {
  DesignData d = startup_design();
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  int below = 0;
  check_geometry_warnings(d, [&](GeometryWarning kind, int) { below += kind == GeometryWarning::contact_below_form; });
  EXPECT_EQ(below, 0);
  for (int i = 0; i < 2; ++i) EXPECT_NEAR(d.sap_roll_length[i], mate_tip_sap_roll_length(d, i), 1e-5) << i;
}

// ----- Thickness at the tip -----

TEST(GeometryPass, TipThicknessUnderTheChamferAndWithout) {
  // Helical 20/40, module 2, all backlash thinning the pinion: its finished flank lies inside the nominal one.
  const struct { const char* name; float chamfer, addendum; bool chamfered; } cases[] = {
      {"chamfered tip", 0.3f, 2.0f, true},
      {"no chamfer", 0.0f, 2.0f, false},
      {"chamfered tip below the reference circle", 0.3f, -0.4f, true},
  };
  for (auto c : cases) {
    DesignData d = spur_design(20, 40, 2);
    d.helix_angle = 15.0f;
    d.backlash_normal = 0.2f;
    d.backlash_distribution = 1.0f;
    d.tip_chamfer[0] = c.chamfer;
    d.addendum[0] = c.addendum;
    d.tip_chamfer_depth[0] = 5.0f;
    calc_gear_geometry(d);
    ASSERT_LT(d.thickness_finished_transverse[0], d.thickness_nominal_transverse[0]) << c.name;
    ASSERT_EQ(d.tip_diameter[0] < d.reference_diameter[0], c.addendum < 0) << c.name;
    if (c.chamfered) {
      // The chamfer depth is taken to the unthinned flank: the nominal thickness goes in, not the finished one.
      float depth = -1, depth_finished = -1;
      const float tip = tip_thickness_with_chamfer(d.tip_diameter[0], d.tip_chamfer[0], d.eap_thickness_normal[0],
                                                   d.tip_chamfer_angle[0], d.base_diameter[0], d.reference_diameter[0],
                                                   d.helix_angle, d.thickness_nominal_transverse[0],
                                                   d.transverse_pressure_angle, &depth);
      tip_thickness_with_chamfer(d.tip_diameter[0], d.tip_chamfer[0], d.eap_thickness_normal[0], d.tip_chamfer_angle[0],
                                 d.base_diameter[0], d.reference_diameter[0], d.helix_angle,
                                 d.thickness_finished_transverse[0], d.transverse_pressure_angle, &depth_finished);
      EXPECT_EQ(d.tip_thickness_normal[0], tip) << c.name;
      EXPECT_EQ(d.tip_chamfer_depth[0], depth) << c.name;
      EXPECT_GT(std::fabs(depth - depth_finished), 1e-3) << c.name;
      EXPECT_LT(d.tip_thickness_normal[0], d.eap_thickness_normal[0]) << c.name;
    } else {
      EXPECT_EQ(d.tip_chamfer_depth[0], 0.0f) << c.name;
      EXPECT_EQ(d.tip_thickness_normal[0], d.eap_thickness_normal[0]) << c.name;
    }
    const double tip_helix = std::atan(d.tip_diameter[0] / d.reference_diameter[0] * std::tan(rad(15)));
    EXPECT_NEAR(d.tip_thickness_transverse[0], d.tip_thickness_normal[0] / std::cos(tip_helix), 1e-5) << c.name;
  }
}

// The outlines a chamfered gear is drawn with, judged against its own involutes and its chamfer line:
// the finished flank runs up to the chamfer start with the flank's thickness there; the tip corner lies
// on the chamfer line from that start, which is inclined at the chamfer angle to the tooth centre line,
// or on the flank itself where the line leaves the flank before the tip circle, and never outside the
// flank; the shown tip thickness is the corner's; the nominal flank ends on the same line. The chamfer
// is laid out in the normal section of the tooth: a point at radius R and transverse half-angle psi
// lies there at the half-angle psi cos(beta_R), the normal thickness over the diameter.
TEST(GeometryPass, ChamferedTipCornersLieOnTheChamferLineInsideTheFlank) {
  struct Case {
    const char* name;
    int z1, z2;
    float m, beta, x1, x2;
    int gear;              // the chamfered gear
    float chamfer, angle;  // its tip chamfer and chamfer angle
    float addendum;        // x m_n; NaN: from the standard rack with tip reduction
    float backlash, pinion_share;
    int tip_side;          // the tip circle below (-1), on (0) or above (1) the reference circle
    bool flank_at_tip;     // the chamfer line leaves the flank before the tip circle
  };
  const float rack = std::nanf("");
  const Case cases[] = {
      {"spur, tip above the reference circle", 20, 40, 2, 0, 0, 0, 0, 0.3f, 45, 1.0f, 0.1f, 0.5f, 1, false},
      {"spur, tip on the reference circle", 20, 40, 2, 0, 0, 0, 0, 0.3f, 45, 0.0f, 0.1f, 0.5f, 0, false},
      {"spur, tip typed below the reference circle", 20, 40, 2, 0, 0, 0, 0, 0.3f, 45, -0.4f, 0.1f, 0.5f, -1, false},
      {"helical, tip below the reference circle, thinned", 20, 40, 2, 15, 0, 0, 0, 0.3f, 45, -0.4f, 0.2f, 1, -1,
       false},
      {"helical, tip above the reference circle, thinned", 23, 32, 2.25f, 27.88f, 0.25f, -0.25f, 1, 0.4f, 50, 1.0f,
       0.2f, 0, 1, false},
      {"tip reduction takes the wheel's tip below the reference circle", 10, 118, 10, 0, -0.13f, 0.05f, 1, 0.75f, 45,
       rack, 0, 0.5f, -1, false},
      {"small chamfer, large thinning", 20, 40, 2, 0, 0, 0, 0, 0.02f, 45, 1.0f, 0.4f, 0.5f, 1, false},
      {"chamfer angle below the flank's inclination at the tip", 8, 40, 2.825f, 0, 0.407f, 0, 0, 0.078f, 45, 1.407f,
       0.3f, 0.5f, 1, true},
  };
  auto inv = [](double a) { return std::tan(a) - a; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingReporter rec;
    DesignData d = spur_design(c.z1, c.z2, c.m);
    d.helix_angle = c.beta;
    d.shift_distribution_auto = 0;
    d.profile_shift[0] = c.x1;
    d.profile_shift[1] = c.x2;
    d.profile_shift_sum = c.x1 + c.x2;
    d.backlash_normal = c.backlash;
    d.backlash_distribution = c.pinion_share;
    for (int i = 0; i < 2; ++i) d.dedendum[i] = (1.25f - d.profile_shift[i]) * c.m;
    const int i = c.gear;
    d.tip_chamfer[i] = c.chamfer;
    d.tip_chamfer_angle[i] = c.angle;
    if (std::isnan(c.addendum)) {
      use_standard_rack(d, 20.0f);
      d.allow_tip_diameter_reduction = 1;
      d.second_geometry_pass = 0;
    } else {
      d.addendum[i] = c.addendum * c.m;
    }
    calc_gear_geometry(d);
    ASSERT_TRUE(rec.seen.empty());

    // The gear's own involutes.
    const double cos_beta = std::cos(rad(c.beta)), m = c.m;
    const double r = d.teeth[i] * m / (2 * cos_beta);
    const double alpha_t = std::atan(std::tan(rad(20)) / cos_beta);
    const double r_b = r * std::cos(alpha_t), r_a = d.tip_diameter[i] / 2.0, r_e = r_a - c.chamfer;
    const double s_t = (M_PI / 2 + 2 * d.profile_shift[i] * std::tan(rad(20))) * m / cos_beta;
    const double s_ft = d.thickness_finished_transverse[i];
    auto half = [&](double s, double R) { return s / (2 * r) + inv(alpha_t) - inv(std::acos(r_b / R)); };
    auto normal_section = [&](double R) { return std::cos(std::atan(R / r * std::tan(rad(c.beta)))); };
    ASSERT_EQ((r_a > r) - (r_a < r), c.tip_side);

    // The chamfer line in the normal section, from its start E on the finished flank to the tip circle.
    const double e = half(s_ft, r_e) * normal_section(r_e);
    const double gamma = rad(c.angle);
    const double ex = r_e * std::sin(e), ey = r_e * std::cos(e), ux = -std::sin(gamma), uy = std::cos(gamma);
    const double b = ex * ux + ey * uy, along = -b + std::sqrt(b * b - (r_e * r_e - r_a * r_a));
    const double on_line = std::atan2(ex + along * ux, ey + along * uy);
    const double on_flank = half(s_ft, r_a) * normal_section(r_a);
    const double corner = std::min(on_line, on_flank) / normal_section(r_a);  // transverse half-angle
    ASSERT_EQ(on_flank < on_line, c.flank_at_tip);

    generate_gear_outline(d, i);
    const ToothProfile finished = d.profile_points;
    generate_gear_outline(d, i, true);
    const ToothProfile nominal = d.profile_points;
    auto radius = [](ProfilePoint p) { return std::hypot(double(p.x), double(p.y)); };
    auto angle = [](ProfilePoint p) { return std::atan2(double(p.x), double(p.y)); };
    const double eps = 1e-6;  // rad: the outline's single-precision points

    // The finished flank up to the chamfer start, with the flank's thickness there.
    EXPECT_NEAR(radius(finished[223]), r_e, 2e-7 * r_a);
    EXPECT_NEAR(angle(finished[223]), half(s_ft, radius(finished[223])), eps);
    EXPECT_NEAR(d.eap_thickness_normal[i], 2 * r_e * e, 1e-6 * r_a);
    // The tip corner on the chamfer line (or the flank), never outside the flank.
    for (const ToothProfile* p : {&finished, &nominal}) {
      EXPECT_NEAR(radius((*p)[224]), r_a, 2e-7 * r_a);
      EXPECT_NEAR(angle((*p)[224]), corner, eps);
      EXPECT_LE(angle((*p)[224]), half(s_ft, r_a) + eps);
    }
    EXPECT_NEAR(d.tip_thickness_transverse[i], 2 * r_a * corner, 2 * eps * r_a);
    // The nominal flank ends where the extended chamfer line meets it.
    const ProfilePoint start = nominal[223];
    const double r_n = radius(start);
    EXPECT_NEAR(r_n, r_a - d.tip_chamfer_depth[i], 2e-7 * r_a);
    EXPECT_NEAR(angle(start), half(s_t, r_n), eps);
    const double n = half(s_t, r_n) * normal_section(r_n);
    EXPECT_NEAR((r_n * std::sin(n) - ex) * uy - (r_n * std::cos(n) - ey) * ux, 0.0, 2e-5);
    EXPECT_GE(d.tip_chamfer_depth[i], c.chamfer);
  }
}

TEST(GeometryPass, EveryModeTakesTheTransversePressureAngleOfTheCopiedRack) {
  // Whichever value follows, the pass that copies the rack works out the teeth of the rack's angle: the
  // base circles, and everything after them, are those of 25 degrees.
  for (int32_t mode : {0, 1, 2}) {
    DesignData d = spur_design(20, 30, 2);
    d.geometry_manager_mode = mode;
    d.centre_distance = 51.0f;
    d.desired_ratio = 1.5f;
    use_standard_rack(d, 25.0f);
    calc_gear_geometry(d);
    EXPECT_FLOAT_EQ(d.normal_pressure_angle, 25.0f) << mode;
    EXPECT_FLOAT_EQ(d.transverse_pressure_angle, 25.0f) << mode;
    EXPECT_NEAR(d.base_diameter[0], d.teeth[0] * d.normal_module * std::cos(rad(25)), 1e-4) << mode;
    if (mode == 2) {
      EXPECT_NEAR(d.centre_distance_from_shifts, 51.0, 2e-4);
    }
  }
}

// ----- Inspection defaults -----

TEST(GeometryPass, DefaultSpanTeethAtLeastOne) {
  const struct { int z; float x; int k; } cases[] = {{27, 0.0f, 3}, {27, 0.5f, 4}, {9, -0.5f, 1}, {6, -1.5f, 1}};
  for (auto c : cases) {
    DesignData d = spur_design(c.z, 40, 2);
    d.profile_shift[0] = c.x;
    d.profile_shift_sum = c.x;
    calc_gear_geometry(d);
    EXPECT_EQ(d.span_teeth[0], c.k) << c.z << " " << c.x;
  }
  DesignData d = spur_design(27, 40, 2);
  d.default_span_teeth = 0;
  d.span_teeth[0] = 7;
  d.default_ball_diameter = 0;
  d.ball_diameter[0] = 4.2f;
  calc_gear_geometry(d);
  EXPECT_EQ(d.span_teeth[0], 7);
  EXPECT_FLOAT_EQ(d.ball_diameter[0], 4.2f);
}

// ----- Accuracy-grade tolerances -----

TEST(GeometryPass, GradeTolerancesAndBasePitchError) {
  DesignData d = startup_design();
  d.base_pitch_error[0] = d.base_pitch_error[1] = 99.0f;
  d.pitch_error_from_grade = 0;
  calc_gear_geometry(d);
  // Pinion: d = 58.5 mm, m = 2.25 mm, grade 8: f_pt = 0.3 (2.65 + 0.4 sqrt(79.06)) + 4 = 5.86 at grade 5, x 2.83 -> 17.
  EXPECT_FLOAT_EQ(d.pitch_deviation_from_grade[0], 17.0f);
  EXPECT_FLOAT_EQ(d.iso1328_deviations[0].f_pt, 17.0f);
  EXPECT_FLOAT_EQ(d.iso1328_deviations[1].f_pt, d.pitch_deviation_from_grade[1]);
  EXPECT_GT(d.iso1328_deviations[1].F_p, 0.0f);
  EXPECT_FLOAT_EQ(d.base_pitch_error[0], 99.0f);
  d.pitch_error_from_grade = 1;
  d.iso_grade[1] = 5;
  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.base_pitch_error[0], 17.0f);
  EXPECT_FLOAT_EQ(d.base_pitch_error[1], d.pitch_deviation_from_grade[1]);
  EXPECT_LT(d.pitch_deviation_from_grade[1], 17.0f);
}

// ----- Inspection dimensions -----

TEST(GeometryPass, BallAndSpanMeasurementsOfBothThicknesses) {
  DesignData d = startup_design();
  d.backlash_normal = 0.12f;
  calc_gear_geometry(d);
  for (int i = 0; i < 2; ++i) {
    EXPECT_GT(d.ball_measurement_nominal[i], d.ball_measurement_finished[i]) << i;
    EXPECT_GT(d.chordal_span_nominal[i], d.chordal_span_finished[i]) << i;
    EXPECT_GT(d.ball_measurement_finished[i], d.tip_diameter[i]) << i;
    for (float contact : {d.ball_contact_diameter_nominal[i], d.ball_contact_diameter_finished[i],
                          d.span_contact_diameter_nominal[i], d.span_contact_diameter_finished[i]}) {
      EXPECT_GT(contact, d.base_diameter[i]) << i;
      EXPECT_LT(contact, d.tip_diameter[i]) << i;
    }
    // The same measurement the inspection window would compute for these thicknesses.
    float ball = d.ball_diameter[i], contact = 0, centre = 0;
    DesignData scratch = d;
    EXPECT_EQ(d.ball_measurement_finished[i],
              measurement_over_balls(scratch, d.teeth[i], &ball, d.thickness_finished_transverse[i], d.normal_module,
                                     d.helix_angle, d.normal_pressure_angle, d.tip_diameter[i], &contact, &centre));
    EXPECT_EQ(d.chordal_span_nominal[i],
              span_measurement(d.span_teeth[i], d.teeth[i], d.thickness_nominal_transverse[i], d.normal_module,
                               d.helix_angle, d.normal_pressure_angle, &contact));
  }
}

// A ball the user typed is measured as it stands and never changed by the pass, nor is the other gear's
// ball or the balls' kind: a ball too small for the flanks gives its gear no measurement. 20 teeth,
// module 2: a 2.45 mm ball sits on the nominal flanks of the pinion but drops inside the base circle of
// the pinion thinned by 0.2 mm of backlash. The ball that reaches both flanks is the typed one enlarged
// by 5 % steps up to the least ball, d_b (pi / z - inv alpha_t - s_t / d), worked out here; with it both
// measurements need no further enlargement. Default balls are 1.8 m_n, enlarged as far as needed.
TEST(GeometryPass, TypedBallsAreMeasuredAsTheyStand) {
  DesignData d = spur_design(20, 40, 2);
  d.default_ball_diameter = 0;
  d.ball_diameter[0] = 2.45f;
  d.ball_diameter[1] = 3.6f;
  d.backlash_normal = 0.2f;
  d.backlash_distribution = 1.0f;
  calc_gear_geometry(d);
  EXPECT_EQ(d.ball_diameter[0], 2.45f);
  EXPECT_EQ(d.ball_diameter[1], 3.6f);
  EXPECT_EQ(d.default_ball_diameter, 0);
  for (float v : {d.ball_measurement_nominal[0], d.ball_measurement_finished[0], d.ball_contact_diameter_finished[0],
                  d.ball_centre_diameter_finished[0]})
    EXPECT_TRUE(std::isnan(v));
  EXPECT_TRUE(std::isfinite(d.ball_measurement_finished[1]));

  const double alpha_t = rad(20), d_b = 40 * std::cos(alpha_t);
  const double least = d_b * (M_PI / 20 - (std::tan(alpha_t) - alpha_t) - d.thickness_finished_transverse[0] / 40.0);
  const int steps = int(std::ceil(std::log(least / 2.45) / std::log(1.05)));
  ASSERT_GE(steps, 1);
  const float ball = ball_reaching_the_flanks(d, 0, 2.45f);
  EXPECT_NEAR(ball, 2.45 * std::pow(1.05, steps), 2e-5 * ball);
  EXPECT_EQ(ball_reaching_the_flanks(d, 1, 3.6f), 3.6f);
  for (bool finished : {false, true}) {
    float used = ball, contact = 0, centre = 0;
    DesignData scratch = d;
    const float thickness = finished ? d.thickness_finished_transverse[0] : d.thickness_nominal_transverse[0];
    measurement_over_balls(scratch, 20, &used, thickness, 2, 0, 20, d.tip_diameter[0], &contact, &centre);
    EXPECT_EQ(used, ball) << "the ball reaches both flanks: " << finished;
  }
  // That ball typed in is measured.
  d.ball_diameter[0] = ball;
  calc_gear_geometry(d);
  EXPECT_EQ(d.ball_diameter[0], ball);
  EXPECT_TRUE(std::isfinite(d.ball_measurement_nominal[0]));
  EXPECT_TRUE(std::isfinite(d.ball_measurement_finished[0]));

  d.default_ball_diameter = 1;
  calc_gear_geometry(d);
  EXPECT_FLOAT_EQ(d.ball_diameter[0], 3.6f);
  EXPECT_FLOAT_EQ(d.ball_diameter[1], 3.6f);
}

TEST(GeometryPass, OverrideFreezesCalculatedToothProportions) {
  for (int32_t mode : {1, 2}) {
    DesignData d = startup_design();
    d.tooth_proportion_mode = mode;
    d.second_geometry_pass = 1;  // no rack copy: only the limits differ
    d.constraints_use_defaults = 0;  // the user's own limit
    d.max_tip_diameter[0] = 63.0f;  // below the entered 64.17: the limits lower the pinion tip
    DesignData frozen = d;
    frozen.geometry_manager_override = 1;
    calc_gear_geometry(frozen);
    calc_gear_geometry(d);
    EXPECT_NEAR(frozen.tip_diameter[0], 64.17, 1e-3) << mode;
    EXPECT_LE(d.tip_diameter[0], 63.0f) << mode;
    EXPECT_FLOAT_EQ(d.eap_diameter[0], d.tip_diameter[0]) << mode;
  }
}
