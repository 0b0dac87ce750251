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
#include "measured_teeth.h"
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

// Normal thickness of the finished tooth of gear i at diameter D, of a helical tooth: the transverse
// thickness of the involute carried to the normal section at D.
ld finished_thickness(const DesignData& d, int i, ld D) {
  const ld ref = d.reference_diameter[i];
  const ld at = deg_to_rad(d.transverse_pressure_angle);
  const ld aD = std::acos(ld(d.base_diameter[i]) / D);
  const ld bD = std::atan(D / ref * std::tan(deg_to_rad(d.helix_angle)));
  return D * std::cos(bD) * (ld(d.thickness_finished_transverse[i]) / ref + involute(at) - involute(aD));
}

// Own model of a spur tooth under a tip chamfer, in the transverse plane: the involute of the base
// circle by its roll angle, the chamfer line from the finished flank at the chamfer start at gamma to
// the centre line. Gives the height at which the chamfer line crosses the centre line and the half-angle
// at which it reaches the tip circle (negative past the centre line).
struct SpurChamfer {
  ld meeting_radius;
  ld tip_half_angle;
};

SpurChamfer spur_chamfer(const DesignData& d, int i) {
  const ld r = ld(d.reference_diameter[i]) / 2, r_b = ld(d.base_diameter[i]) / 2;
  const ld r_a = ld(d.tip_diameter[i]) / 2, r_e = r_a - d.tip_chamfer[i];
  auto unwound = [&](ld R) {
    const ld e = std::sqrt(R * R / (r_b * r_b) - 1);
    return e - std::atan(e);
  };
  const ld psi = ld(d.thickness_finished_transverse[i]) / (2 * r) + unwound(r) - unwound(r_e);
  const ld ex = r_e * std::sin(psi), ey = r_e * std::cos(psi);
  const ld g = deg_to_rad(ld(d.tip_chamfer_angle[i]));
  const ld ux = -std::sin(g), uy = std::cos(g);
  const ld b = ex * ux + ey * uy;
  const ld t = -b + std::sqrt(b * b - (ex * ex + ey * ey) + r_a * r_a);
  return {ey + ex * std::cos(g) / std::sin(g), std::atan2(ex + t * ux, ey + t * uy)};
}

// One refresh of the main window: geometry, the warnings' corrections, geometry again.
std::vector<Finding> refresh(DesignData& d) {
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  const auto found = run_checks(d);
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);
  return found;
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
  d.tip_diameter[1] = d.reference_diameter[1] + 4.5f * d.normal_module;  // beyond the point
  d.addendum[1] = 2.25f * d.normal_module;
  d.second_geometry_pass = 1;
  calc_gear_geometry(d);
  ASSERT_LT(d.tip_thickness_normal[1], 0.0f);
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

  // An outside diameter below the reference diameter is searched too (down to the base circle): the
  // tip goes down, never up.
  DesignData low = startup_design();
  low.tip_chamfer[1] = 0.3f;
  low.tip_chamfer_angle[1] = 45;
  low.tip_diameter[1] = low.reference_diameter[1] - 1;
  low.tip_thickness_normal[1] = -0.02f;
  low.root_diameter[0] = 0;  // keep the interference check out of it
  const float tip = low.tip_diameter[1];
  const auto low_found = run_checks(low);
  ASSERT_EQ(low_found.size(), 1u);
  EXPECT_EQ(low_found[0].kind, GeometryWarning::zero_tip_width);
  EXPECT_LE(low.tip_diameter[1], tip);
  EXPECT_GE(low.tip_thickness_normal[1], 0.0f);
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

// A typed ball that no longer reaches its flanks is enlarged, by 5 % steps from the typed one, up to the
// first ball that fits the tooth by the measurement window's rule (an own model of the measurement,
// measured_teeth.h: touching the finished flank between form diameter and end of active profile, clear of
// the root), and said so; the other gear's ball and the balls' kind stay. Default balls are the geometry
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
    const auto found = run_checks(d);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].kind, GeometryWarning::ball_too_small);
    EXPECT_EQ(found[0].gear, gear);
    const double ball = d.ball_diameter[gear], form = form_diameter_of(d, gear), tol = 2e-4 * d.normal_module;
    const double steps = std::log(ball) / std::log(1.05);
    EXPECT_NEAR(steps, std::round(steps), 1e-4);
    EXPECT_TRUE(ball_fits_by_model(d, gear, ball, form, tol));
    EXPECT_FALSE(ball_fits_by_model(d, gear, ball / 1.05, form, tol));
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

namespace {

// The start-up design made spur (so that a chamfer is one straight line in the transverse plane), its
// proportions as entered.
DesignData spur_startup_design() {
  DesignData d = startup_design();
  d.helix_angle = 0;
  d.tooth_proportion_mode = 0;
  d.second_geometry_pass = 0;
  calc_gear_geometry(d);
  return d;
}

}  // namespace

// Chamfers whose lines meet on the centre line below the tip circle (the start-up pinion with a 0.5 mm
// chamfer at 70 degrees, which the chamfer window accepts): the tooth ends where they meet, a pointed
// tip that the warning lowers. After the refresh the chamfer lines meet at or above the tip circle (own
// model), the tip thickness is not negative and the outline's tip corner stays on its side of the centre
// line: no spike above the cut.
TEST(GeometryWarnings, ChamfersMeetingBelowTheTipAreAPointedTip) {
  struct Case { float chamfer, angle; float backlash; };
  const Case cases[] = {{0.5f, 70, 0}, {0.5f, 70, 0.3f}, {0.55f, 75, 0.1f}, {0.55f, 89, 0}, {0.3f, 80, 0.2f}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.angle);
    DesignData d = spur_startup_design();
    d.backlash_normal = k.backlash;
    d.tip_chamfer[0] = k.chamfer;
    d.tip_chamfer_angle[0] = k.angle;
    d.second_geometry_pass = 0;
    calc_gear_geometry(d);
    ASSERT_LT(spur_chamfer(d, 0).meeting_radius, ld(d.tip_diameter[0]) / 2);  // the fault's state
    EXPECT_LT(d.tip_thickness_normal[0], 0.0f);
    const float tip_before = d.tip_diameter[0];
    const auto found = refresh(d);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].kind, GeometryWarning::zero_tip_width);
    EXPECT_EQ(found[0].gear, 0);
    EXPECT_LT(d.tip_diameter[0], tip_before);
    EXPECT_GE(d.tip_thickness_normal[0], 0.0f);
    if (d.tip_chamfer[0] > 0) {
      const SpurChamfer own = spur_chamfer(d, 0);
      EXPECT_GE(own.meeting_radius, ld(d.tip_diameter[0]) / 2 - 1e-6L);
      EXPECT_GE(own.tip_half_angle, -1e-7L);
      EXPECT_NEAR(d.tip_thickness_normal[0], double(ld(d.tip_diameter[0]) * own.tip_half_angle), 2e-4);
    } else {
      // A chamfer so flat that even from the base circle its lines meet below the tip: the tip goes
      // down to where they meet, at or below the chamfer start, and nothing of the chamfer remains.
      EXPECT_EQ(found[0].lines[1], "Tip chamfer has been changed from  0.550 to  0.000 ");
    }
    generate_gear_outline(d, 0);
    EXPECT_GE(d.profile_points[224].x, 0.0f);
    // A second refresh finds nothing left to correct.
    EXPECT_TRUE(refresh(d).empty());
  }
}

// The correction searches the finished tooth, the one thinned for the backlash: with 0.3 mm of backlash
// a search of the nominal tooth would leave the finished one pointed. Worked out by the own model.
TEST(GeometryWarnings, TipWidthCorrectionOfAThinnedTooth) {
  for (const float backlash : {0.0f, 0.3f}) {
    SCOPED_TRACE(backlash);
    DesignData d = spur_startup_design();
    d.backlash_normal = backlash;
    d.tip_chamfer[1] = 0.3f;
    d.tip_chamfer_angle[1] = 45;
    // A wheel tip far beyond the point of its tooth, and a pinion root deep enough to clear it.
    d.tip_diameter[1] = d.reference_diameter[1] + 4.5f * d.normal_module;
    d.addendum[1] = 2.25f * d.normal_module;
    d.dedendum[0] += 2 * d.normal_module;
    d.second_geometry_pass = 0;
    calc_gear_geometry(d);
    ASSERT_LT(d.tip_thickness_normal[1], 0.0f);
    if (backlash > 0) {
      ASSERT_LT(d.thickness_finished_transverse[1], d.thickness_nominal_transverse[1] - 0.1f);
    }
    const auto found = refresh(d);
    ASSERT_FALSE(found.empty());
    const SpurChamfer own = spur_chamfer(d, 1);
    const ld s = ld(d.tip_diameter[1]) * own.tip_half_angle;
    EXPECT_GE(s, -1e-6L);
    EXPECT_LT(s, 0.01L);  // lowered to just below the point, not further
  }
}

// A chamfer starting below the base circle (a low tip typed on a small pinion): no thickness and no
// outline point is NaN; the chamfer goes back to the base circle and the warning says so.
TEST(GeometryWarnings, ChamferReachingBelowTheBaseCircle) {
  DesignData d = spur_startup_design();
  d.tip_diameter[0] = d.base_diameter[0] + 0.4f;
  d.addendum[0] = (d.tip_diameter[0] - d.reference_diameter[0]) / 2;
  d.tip_chamfer[0] = 0.5f;
  d.tip_chamfer_angle[0] = 45;
  const auto found = refresh(d);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found[0].kind, GeometryWarning::chamfer_below_base_circle);
  EXPECT_EQ(found[0].lines[0], "Tip chamfer of pinion reaches below the base circle");
  EXPECT_EQ(found[0].lines[1], "Tip chamfer has been changed from  0.500 to  0.200 ");
  EXPECT_GE(ld(d.tip_diameter[0]) - 2 * ld(d.tip_chamfer[0]), ld(d.base_diameter[0]));
  EXPECT_TRUE(std::isfinite(d.eap_thickness_normal[0]));
  EXPECT_TRUE(std::isfinite(d.tip_thickness_normal[0]));
  for (const bool nominal : {false, true}) {
    generate_gear_outline(d, 0, nominal);
    for (int k = 0; k < 500; ++k) {
      ASSERT_TRUE(std::isfinite(d.profile_points[k].x) && std::isfinite(d.profile_points[k].y)) << k;
    }
  }
}

// "Calculate" with a maximum tip diameter of 0 (what a box that holds no number gave): the pass keeps the
// last sound tooth and the warning says so.
TEST(GeometryWarnings, ConstraintsLeavingNoToothAreTold) {
  DesignData d = startup_design();
  d.tooth_proportion_mode = 2;
  refresh(d);
  const float tip = d.tip_diameter[0];
  d.constraints_use_defaults = 0;
  d.max_tip_diameter[0] = 0;
  const auto found = refresh(d);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found[0].kind, GeometryWarning::proportions_kept);
  EXPECT_EQ(found[0].lines[0], "The constraints give the pinion no sound tooth");
  EXPECT_EQ(d.tip_diameter[0], tip);
  EXPECT_GT(d.tip_diameter[0], d.root_diameter[0]);
}
