// Geometry warnings and automatic corrections: each check on a small design built for it, the tip-width
// searches on the start-up design and on very large gears, and the warnings shown by the refresh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "geometry_warnings.h"
#include "design_data.h"
#include "design_file.h"
#include "geometry_pass.h"
#include "numeric.h"
#include "results_pane.h"
#include "startup_values.h"
#include "tooth_profile.h"
#include "tooth_proportions.h"

using namespace morvell;

namespace {

struct Finding {
  GeometryWarning kind;
  int gear;
  std::string lines[3];
};

std::vector<Finding> run_checks(DesignData& d) {
  std::vector<Finding> found;
  check_geometry_warnings(d, [&](GeometryWarning kind, int gear) {
    found.push_back({kind, gear, {d.warning_lines[0], d.warning_lines[1], d.warning_lines[2]}});
  });
  return found;
}

std::vector<Finding> except_contact(std::vector<Finding> found) {
  found.erase(std::remove_if(found.begin(), found.end(),
                             [](const Finding& f) { return f.kind == GeometryWarning::contact_below_form; }),
              found.end());
  return found;
}

// A pair that passes every check: module 2, pressure angle 0 (so that the thinning of a flank is
// exactly half the thickness reduction), teeth 20 and 30, no thinning, tips well clear of the roots.
DesignData clean_pair() {
  DesignData d;
  d.normal_module = 2;
  d.normal_pressure_angle = 0;
  d.helix_angle = 0;
  d.teeth[0] = 20;
  d.teeth[1] = 30;
  d.centre_distance = 50;
  for (int i = 0; i < 2; ++i) {
    const float ref = 2.0f * float(d.teeth[i]);
    d.reference_diameter[i] = ref;
    d.base_diameter[i] = ref;
    d.tip_diameter[i] = ref + 4;
    d.root_diameter[i] = ref - 5;
    d.addendum[i] = 2;
    d.dedendum[i] = 2.5f;
    d.root_fillet_radius[i] = 0.5f;
    d.thickness_nominal_normal[i] = 3.1f;
    d.thickness_finished_normal[i] = 3.1f;
    d.eap_thickness_normal[i] = 1.2f;
    d.tip_thickness_normal[i] = 1.2f;
  }
  return d;
}

// Normal thickness of the finished tooth of gear i at diameter D, as the warnings compute it.
ld finished_thickness(const DesignData& d, int i, ld D) {
  const ld ref = d.reference_diameter[i];
  const ld at = deg_to_rad(d.transverse_pressure_angle);
  const ld aD = std::acos(ld(d.base_diameter[i]) / D);
  const ld bD = std::atan(D / ref * std::tan(deg_to_rad(d.helix_angle)));
  return D * std::cos(bD) * (ld(d.thickness_finished_transverse[i]) / ref + involute(at) - involute(aD));
}

// The start-up design after its first geometry pass.
DesignData startup_design() {
  DesignData d;
  set_startup_values(d);
  d.unit_system = 1;
  set_unit_factors(d);
  copy_text(d.design_file_name, MORVELL_SOURCE_DIR "/data/default_input_file.mvl");
  EXPECT_TRUE(read_design_file(d).ok());
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  return d;
}

ld addendum_of(const DesignData& d, int i) {
  return (ld(d.tip_diameter[i]) - d.teeth[i] * ld(d.normal_module) / std::cos(deg_to_rad(d.helix_angle))) / 2;
}

}  // namespace

TEST(GeometryWarnings, ACleanPairIsLeftAlone) {
  DesignData d = clean_pair();
  EXPECT_TRUE(run_checks(d).empty());
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(d.tip_diameter[i], 2.0f * float(d.teeth[i]) + 4);
    EXPECT_EQ(d.addendum[i], 2.0f);
    EXPECT_EQ(d.protuberance[i], 0.0f);
    EXPECT_EQ(d.eap_thickness_normal[i], 1.2f);
  }
  EXPECT_STREQ(d.warning_lines[0], "");
}

TEST(GeometryWarnings, ProtuberanceTooSmallForTheThinning) {
  struct Case { float protuberance; float finished; float expected; bool warned; };
  // Thinning of one flank: (3.1 - 2.6) / 2 = 0.25 (pressure angle 0).
  for (const Case& c : {Case{0.2f, 2.6f, float(ld(3.1f - 2.6f) / 2 + 0.0001L), true},
                        Case{0.25f, 2.6f, 0.25f, false},  // exactly the thinning: left alone
                        Case{0.0f, 2.6f, 0.0f, false},    // no protuberance is never raised
                        Case{0.01f, 3.1f, 0.01f, false}}) {  // no thinning
    SCOPED_TRACE(c.protuberance);
    DesignData d = clean_pair();
    d.thickness_finished_normal[1] = c.finished;
    d.protuberance[1] = c.protuberance;
    const auto found = run_checks(d);
    EXPECT_EQ(d.protuberance[1], c.expected);
    ASSERT_EQ(found.size(), c.warned ? 1u : 0u);
    if (!c.warned) continue;
    EXPECT_EQ(found[0].kind, GeometryWarning::protuberance_too_small);
    EXPECT_EQ(found[0].gear, 1);
    EXPECT_EQ(found[0].lines[0], "Protuberance of wheel is too small for tooth thickness reduction");
    EXPECT_EQ(found[0].lines[1], "Protuberance has been adjusted");
    EXPECT_EQ(found[0].lines[2], " ");
  }
}

TEST(GeometryWarnings, InterferenceAtTheBottomClearance) {
  // 2a - d_f2 = 100 - 55 = 45 for the pinion, 2a - d_f1 = 100 - 35 = 65 for the wheel.
  DesignData d = clean_pair();
  d.tip_diameter[0] = 45.0f;  // touching the mating root circle is no interference
  EXPECT_TRUE(run_checks(d).empty());
  d.tip_diameter[0] = 45.5f;
  d.tip_diameter[1] = 66.0f;
  const auto found = run_checks(d);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(d.tip_diameter[0], float(45 - 0.001L * 2));
  EXPECT_EQ(d.tip_diameter[1], float(65 - 0.001L * 2));
  EXPECT_EQ(d.addendum[0], float(addendum_of(d, 0)));
  EXPECT_EQ(d.addendum[1], float(addendum_of(d, 1)));
  EXPECT_EQ(found[0].gear, 0);  // pinion first
  EXPECT_EQ(found[0].lines[0], "Interference exists at bottom clearance of wheel");
  EXPECT_EQ(found[0].lines[1], "Tip diameter of pinion has been adjusted ");
  EXPECT_EQ(found[1].gear, 1);
  EXPECT_EQ(found[1].lines[0], "Interference exists at bottom clearance of pinion");
  EXPECT_EQ(found[1].lines[1], "Tip diameter of wheel has been adjusted ");
  EXPECT_EQ(found[1].lines[2], " ");
}

TEST(GeometryWarnings, FilletTooLargeForTheRack) {
  // Pressure angle 0: W = rho - p + pi m / 4, so the rack tip fits while rho - p <= pi m / 4 + 0.001. A
  // protuberance up to what the main window accepts (0.1 m_n = 0.2) makes it fit; a fillet that would
  // need more is lowered to pi m / 4 + p instead, the protuberance kept.
  const ld quarter_pitch = kPi * 2 / 4;
  {
    DesignData d = clean_pair();
    d.root_fillet_radius[0] = float(quarter_pitch - 0.01L);
    EXPECT_TRUE(run_checks(d).empty());
  }
  {
    DesignData d = clean_pair();
    d.root_fillet_radius[0] = float(quarter_pitch + 0.1L);  // raised from no protuberance
    d.root_fillet_radius[1] = float(quarter_pitch + 0.19L);
    d.protuberance[1] = 0.15f;
    const auto found = run_checks(d);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NEAR(d.protuberance[0], 0.1, 1e-5);
    EXPECT_NEAR(d.protuberance[1], 0.19, 1e-5) << "within the window's limit";
    EXPECT_EQ(found[0].kind, GeometryWarning::fillet_too_large);
    EXPECT_EQ(found[0].lines[0],
              "The fillet radius of the pinion is too large for the rack without increasing the protuberance");
    EXPECT_EQ(found[0].lines[1], "The protuberance has been changed from  0.000 to  0.100 ");
    EXPECT_EQ(found[1].lines[0],
              "The fillet radius of the wheel is too large for the rack without increasing the protuberance");
    EXPECT_EQ(found[1].lines[1], "The wheel protuberance has been changed from  0.150 to  0.190 ");
  }
  {
    DesignData d = clean_pair();
    d.root_fillet_radius[0] = float(quarter_pitch + 0.3L);
    d.root_fillet_radius[1] = float(quarter_pitch + 0.5L);
    d.protuberance[1] = 0.05f;
    const auto found = run_checks(d);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(d.protuberance[0], 0.0f);
    EXPECT_EQ(d.protuberance[1], 0.05f);
    EXPECT_NEAR(d.root_fillet_radius[0], double(quarter_pitch), 1e-5);
    EXPECT_NEAR(d.root_fillet_radius[1], double(quarter_pitch) + 0.05, 1e-5);
    EXPECT_EQ(found[0].kind, GeometryWarning::fillet_lowered);
    EXPECT_EQ(found[0].lines[0], "The fillet radius of the pinion is too large for the rack");
    EXPECT_EQ(found[0].lines[1], "The fillet radius has been changed from  1.871 to  1.571 ");
    EXPECT_EQ(found[1].gear, 1);
    EXPECT_TRUE(run_checks(d).empty()) << "corrected: no second finding";
  }
}

TEST(GeometryWarnings, FilletCorrectionPutsTheRackTipAtHalfThePitch) {
  // With a real pressure angle the correction makes W exactly half the normal pitch, by the protuberance
  // when 0.1 m_n suffices, else by the radius.
  for (const float radius : {1.2f, 1.4f}) {
    SCOPED_TRACE(radius);
    DesignData d = clean_pair();
    d.normal_pressure_angle = 20;
    d.root_fillet_radius[0] = radius;
    ASSERT_EQ(run_checks(d).size(), 1u);
    EXPECT_LE(d.protuberance[0], 0.2f);
    const ld a = deg_to_rad(20.0L), m = 2, rho = d.root_fillet_radius[0], H = 2.5f;
    const ld W = (rho - d.protuberance[0]) / std::cos(a) + kPi * m / 4 + (H - rho) * std::tan(a);
    EXPECT_NEAR(double(W), double(kPi * m / 2), 1e-5);
    EXPECT_TRUE(run_checks(d).empty());  // corrected: no second finding
  }
}

// A pinion shifted far out (z 12/60, m 2, x 1.0) with a fillet of 0.74 m: a protuberance large enough
// for it would cut the whole flank away. The fillet is lowered, and the outline stays between the root
// and the tip circles.
TEST(GeometryWarnings, OversizedFilletOnAShiftedPinionLeavesASoundOutline) {
  DesignData d = startup_design();
  d.geometry_manager_mode = 0;
  d.tooth_proportion_mode = 0;
  d.helix_angle = 0;
  d.normal_module = 2;
  d.teeth[0] = 12;
  d.teeth[1] = 60;
  d.actual_ratio = d.desired_ratio = 5;
  d.profile_shift[0] = 1;
  d.profile_shift[1] = 0;
  for (int i = 0; i < 2; ++i) {
    d.addendum[i] = (1 + d.profile_shift[i]) * 2;
    d.dedendum[i] = (1.25f - d.profile_shift[i]) * 2;
    d.root_fillet_radius[i] = 0.74f * 2;
    d.protuberance[i] = 0;
    d.tip_chamfer[i] = 0;
  }
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  run_checks(d);
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_LE(d.protuberance[i], 0.2f);
    ToothProfile outline;
    float form = 0;
    generate_tooth_profile(finished_outline_input(d, i), &form, outline);
    EXPECT_LT(form, d.tip_diameter[i]);
    for (const ProfilePoint& p : outline.points) {
      const double r = std::hypot(double(p.x), double(p.y));
      EXPECT_GE(r, d.root_diameter[i] / 2 - 1e-3);
      EXPECT_LE(r, d.tip_diameter[i] / 2 + 1e-3);
    }
  }
}

TEST(GeometryWarnings, PointedToothWithoutChamferGetsItsTipJustBelowThePoint) {
  DesignData d = startup_design();
  ASSERT_EQ(d.tip_chamfer[0], 0.0f);
  d.eap_thickness_normal[0] = -0.05f;  // as the first pass finds a tip beyond the point
  d.root_diameter[1] = 0;              // keeps the interference check out of it
  // The tip raised to its point reaches below the mate's form circle: that warning is another check's.
  const auto found = except_contact(run_checks(d));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].kind, GeometryWarning::zero_tip_width);
  EXPECT_EQ(found[0].lines[0], "Tip width of pinion tooth is zero");
  EXPECT_EQ(found[0].lines[1], " ");
  // The search ends on a thickness of 0 to 0.0001 mm; the tip goes 0.001 mm below that diameter.
  const ld point = ld(d.tip_diameter[0]) + 0.001L;
  EXPECT_GE(d.eap_thickness_normal[0], 0.0f);
  EXPECT_LE(d.eap_thickness_normal[0], 0.0001f);
  EXPECT_NEAR(double(finished_thickness(d, 0, point)), d.eap_thickness_normal[0], 1e-5);
  EXPECT_GT(point, d.reference_diameter[0]);
  EXPECT_EQ(d.addendum[0], float(addendum_of(d, 0)));
}

TEST(GeometryWarnings, ChamferedToothGetsTheChamferStartWhereItsTipComesToAPoint) {
  DesignData d = startup_design();
  d.tip_chamfer[1] = 0.3f;
  d.tip_chamfer_angle[1] = 45;
  d.tip_thickness_normal[1] = -0.02f;
  d.root_diameter[0] = 0;  // keeps the interference check out of it
  // The tip raised to its point reaches below the mate's form circle: that warning is another check's.
  const auto found = except_contact(run_checks(d));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].gear, 1);
  EXPECT_EQ(found[0].lines[0], "Tip width of wheel tooth is zero");
  // The chamfer now starts where the thickness under it is 0 (to the search's resolution).
  const float D = float(ld(d.tip_diameter[1]) + 0.001L - 2 * ld(0.3f));
  float depth = 0;
  const float under = tip_thickness_with_chamfer(float(ld(D) + 2 * ld(0.3f)), 0.3f,
                                                 float(finished_thickness(d, 1, D)), 45, d.base_diameter[1],
                                                 d.reference_diameter[1], d.helix_angle,
                                                 d.thickness_nominal_transverse[1], d.transverse_pressure_angle,
                                                 &depth);
  EXPECT_NEAR(under, 0.0, 5e-4);
  EXPECT_EQ(d.addendum[1], float(addendum_of(d, 1)));

  // An outside diameter below the reference diameter is not searched.
  DesignData low = startup_design();
  low.tip_chamfer[1] = 0.3f;
  low.tip_thickness_normal[1] = -0.02f;
  low.tip_diameter[1] = low.reference_diameter[1] - 1;
  low.root_diameter[0] = 0;  // keep the interference check out of it
  const float tip = low.tip_diameter[1];
  EXPECT_TRUE(run_checks(low).empty());
  EXPECT_EQ(low.tip_diameter[1], tip);
}

TEST(GeometryWarnings, TipWidthSearchesEndForVeryLargeGears) {
  // Diameters around 20 m: single-precision steps are far coarser than the 0.0001 mm stop rules.
  DesignData d = clean_pair();
  d.normal_module = 20;
  d.normal_pressure_angle = 20;
  d.transverse_pressure_angle = 20;
  d.teeth[0] = d.teeth[1] = 1000;
  d.centre_distance = 20000;
  for (int i = 0; i < 2; ++i) {
    d.reference_diameter[i] = 20000;
    d.base_diameter[i] = float(20000 * std::cos(deg_to_rad(20.0L)));
    d.thickness_finished_transverse[i] = float(kPi * 20 / 2);
    d.thickness_nominal_transverse[i] = d.thickness_finished_transverse[i];
    d.tip_diameter[i] = 20040;
    d.root_diameter[i] = 19000;
    d.root_fillet_radius[i] = 7;
  }
  d.eap_thickness_normal[0] = -1;  // pinion: no chamfer
  d.tip_chamfer[1] = 2;            // wheel: chamfered
  d.tip_chamfer_angle[1] = 45;
  d.tip_thickness_normal[1] = -1;
  const auto found = run_checks(d);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].kind, GeometryWarning::zero_tip_width);
  EXPECT_EQ(found[1].kind, GeometryWarning::zero_tip_width);
  // Both searches found the neighbourhood of the point, to the resolution of the diameters.
  EXPECT_NEAR(double(finished_thickness(d, 0, ld(d.tip_diameter[0]) + 0.001L)), 0.0, 0.01);
  EXPECT_GT(d.tip_diameter[0], 20000.0f);
  EXPECT_GT(d.tip_diameter[1], 20000.0f);
}

// A typed ball that no longer reaches its flanks is enlarged, by 5 % steps from the typed one up to the
// least ball d_b cos(beta_b) (pi / z - inv alpha_t - s_t / d) of the thinner, finished tooth (worked out
// here), and said so; the other gear's ball and the balls' kind stay. Default balls are the geometry
// pass's own and never warned about.
TEST(GeometryWarnings, TypedBallTooSmallForTheFlanksIsEnlargedAlone) {
  for (int gear = 0; gear < 2; ++gear) {
    SCOPED_TRACE(gear);
    DesignData d = startup_design();
    d.default_ball_diameter = 0;
    d.ball_diameter[0] = d.ball_diameter[1] = 4.3f;
    d.ball_diameter[gear] = 1.0f;
    calc_gear_geometry(d);
    ASSERT_TRUE(std::isnan(d.ball_measurement_finished[gear]));
    const double beta = deg_to_rad(double(d.helix_angle)), alpha_n = deg_to_rad(double(d.normal_pressure_angle));
    const double alpha_t = std::atan(std::tan(alpha_n) / std::cos(beta));
    const double beta_b = std::asin(std::sin(beta) * std::cos(alpha_n));
    const double ref = d.teeth[gear] * double(d.normal_module) / std::cos(beta), d_b = ref * std::cos(alpha_t);
    const double least = d_b * std::cos(beta_b) *
                         (M_PI / d.teeth[gear] - (std::tan(alpha_t) - alpha_t) -
                          double(d.thickness_finished_transverse[gear]) / ref);
    ASSERT_GT(least, 1.0);
    const double expected = std::pow(1.05, std::ceil(std::log(least) / std::log(1.05)));
    const auto found = run_checks(d);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].kind, GeometryWarning::ball_too_small);
    EXPECT_EQ(found[0].gear, gear);
    EXPECT_NEAR(d.ball_diameter[gear], expected, 2e-5 * expected);
    EXPECT_EQ(d.ball_diameter[1 - gear], 4.3f);
    EXPECT_EQ(d.default_ball_diameter, 0);
    EXPECT_EQ(found[0].lines[0], std::string("Ball of ") + (gear == 0 ? "pinion" : "wheel") +
                                     " is too small to reach the tooth flanks");
    EXPECT_EQ(found[0].lines[1], format_line("Ball diameter has been changed from %6.3f to %6.3f ", 1.0,
                                             double(d.ball_diameter[gear])));
    calc_gear_geometry(d);
    EXPECT_TRUE(std::isfinite(d.ball_measurement_finished[gear]));
    EXPECT_TRUE(run_checks(d).empty());
  }
  // Default balls too small in the design data are the pass's to set: no warning.
  DesignData d = startup_design();
  d.default_ball_diameter = 1;
  d.ball_diameter[0] = 0.5f;
  EXPECT_TRUE(run_checks(d).empty());
}
