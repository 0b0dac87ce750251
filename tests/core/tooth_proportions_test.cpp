#include "tooth_proportions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "design_data.h"
#include "geometry_pass.h"
#include "numeric.h"
#include "startup_values.h"
#include "tooth_profile.h"

using namespace morvell;

namespace {

struct RecordingReporter {
  std::vector<std::string> seen;
  DomainErrorReporter previous;
  RecordingReporter() {
    previous = set_domain_error_reporter([this](const std::string& s) { seen.push_back(s); });
  }
  ~RecordingReporter() { set_domain_error_reporter(previous); }
};

// Working transverse pressure angle (rad) of a shift sum, by bisection of the involute equation.
ld working_angle(ld alpha_t, ld alpha_n, ld shift_sum, int z1, int z2) {
  const ld target = involute(alpha_t) + 2 * shift_sum * std::tan(alpha_n) / (z1 + z2);
  return bisect<ld>(0, 1.2L, 1e-15L, [&](ld a) { return involute(a) < target; });
}

// A pair with the derived geometry that the geometry pass gives before the tooth-proportion stage:
// zero backlash, the constraints at their start-up values, tips and roots of a 1 / 1.25 rack.
std::unique_ptr<DesignData> make_pair(int z1, int z2, float m, float alpha_n_deg, float beta_deg, float x1,
                                      float x2) {
  auto d = std::make_unique<DesignData>();
  d->teeth[0] = z1;
  d->teeth[1] = z2;
  d->normal_module = m;
  d->normal_pressure_angle = alpha_n_deg;
  d->helix_angle = beta_deg;
  d->profile_shift[0] = x1;
  d->profile_shift[1] = x2;
  const ld alpha_n = deg_to_rad(alpha_n_deg);
  const ld beta = deg_to_rad(beta_deg);
  const ld alpha_t = std::atan(std::tan(alpha_n) / std::cos(beta));
  d->transverse_pressure_angle = static_cast<float>(rad_to_deg(alpha_t));
  const ld alpha_w = working_angle(alpha_t, alpha_n, static_cast<ld>(x1) + x2, z1, z2);
  d->working_transverse_pressure_angle = static_cast<float>(rad_to_deg(alpha_w));
  d->centre_distance =
      static_cast<float>((z1 + z2) * m / (2 * std::cos(beta)) * std::cos(alpha_t) / std::cos(alpha_w));
  const float xs[2] = {x1, x2};
  for (int i = 0; i < 2; ++i) {
    const ld ref = d->teeth[i] * m / std::cos(beta);
    d->reference_diameter[i] = static_cast<float>(ref);
    d->base_diameter[i] = static_cast<float>(ref * std::cos(alpha_t));
    d->thickness_nominal_transverse[i] =
        static_cast<float>((kPi / 2 + 2 * xs[i] * std::tan(alpha_n)) * m / std::cos(beta));
    d->thickness_finished_transverse[i] = d->thickness_nominal_transverse[i];
    d->tip_diameter[i] = static_cast<float>(ref + 2 * m * (1 + xs[i]));
    d->root_diameter[i] = static_cast<float>(ref - 2 * m * (1.25L - xs[i]));
    d->root_fillet_radius[i] = 0.3f * m;
    d->eap_diameter[i] = d->tip_diameter[i];
    d->tip_chamfer_angle[i] = 45;
    d->min_eap_thickness_coeff[i] = 0.3f;
    d->min_tip_thickness_coeff[i] = 0.3f;
    d->min_bottom_clearance_coeff[i] = 0.25f;
    d->min_root_fillet_coeff[i] = 0.3f;
    d->min_form_to_sap[i] = 0.25f;
    d->min_base_to_form[i] = 0.25f;
    d->max_tip_diameter[i] = 1e9f;
    d->min_root_diameter[i] = 0;
  }
  d->allow_tip_diameter_reduction = 1;
  return d;
}

// Independent evaluations of the quantities that the constraints bound.
struct Check {
  const DesignData& d;
  ld rad(float deg) const { return deg_to_rad(static_cast<ld>(deg)); }
  ld roll(int i, ld D) const {
    const ld rb = d.base_diameter[i] / 2.0L;
    return std::sqrt(D * D / 4 - rb * rb);
  }
  // Finished normal thickness of gear i at diameter D.
  ld thickness(int i, ld D) const {
    const ld ref = d.reference_diameter[i];
    const ld half = d.thickness_finished_transverse[i] / ref + involute(rad(d.transverse_pressure_angle)) -
                    involute(std::acos(d.base_diameter[i] / D));
    return std::cos(std::atan(D / ref * std::tan(rad(d.helix_angle)))) * half * D;
  }
  // Diameter on gear i at which the straight rack flank stops generating involute.
  ld rack_form(int i) const {
    const ld at = rad(d.transverse_pressure_angle);
    const ld r = d.base_diameter[i] / 2.0L * std::tan(at) -
                 ((d.reference_diameter[i] - static_cast<ld>(d.root_diameter[i])) / 2 -
                  (1 - std::sin(rad(d.normal_pressure_angle))) * d.root_fillet_radius[i]) /
                     std::sin(at);
    return 2 * std::sqrt(r * r + d.base_diameter[i] * d.base_diameter[i] / 4.0L);
  }
  // Start of active profile of gear g when the mate's EAP starts the contact.
  ld sap(int g) const {
    const int n = 1 - g;
    const ld line = d.centre_distance * std::sin(rad(d.working_transverse_pressure_angle));
    const ld r = line - roll(n, d.eap_diameter[n]);
    return 2 * std::sqrt(r * r + d.base_diameter[g] * d.base_diameter[g] / 4.0L);
  }
  ld clearance(int g) const {  // radial gap between the mate's tip and the root of g
    return d.centre_distance - d.root_diameter[g] / 2.0L - d.tip_diameter[1 - g] / 2.0L;
  }
  ld tip_thickness(int n) const {
    float depth = 0;
    return tip_thickness_with_chamfer(d.tip_diameter[n], d.tip_chamfer[n], static_cast<float>(thickness(n, d.eap_diameter[n])),
                                      d.tip_chamfer_angle[n], d.base_diameter[n], d.reference_diameter[n],
                                      d.helix_angle, d.thickness_nominal_transverse[n], d.transverse_pressure_angle,
                                      &depth);
  }
};

// Half-angle of the unthinned flank point at diameter D of a spur gear.
ld spur_flank_half_angle(ld D, ld d_b, ld d, ld s_t, ld alpha_t) {
  return s_t / d + involute(alpha_t) - involute(std::acos(d_b / D));
}

}  // namespace

TEST(ToothProportions, Det2) {
  EXPECT_EQ(det2(1, 2, 3, 4), -2.0f);
  EXPECT_EQ(det2(2, 0, 0, 3), 6.0f);
}

// The tip thickness is where the chamfer line, inclined at gamma to the centre line and starting on the
// EAP circle, reaches the tip circle; its depth is where the same line meets the unthinned flank.
TEST(ToothProportions, ChamferThicknessAndDepthFollowTheChamferLine) {
  struct Case { float d_a, c_t, s_e, gamma, d, s_t; };
  const Case cases[] = {
      {54.0f, 0.5f, 1.6f, 45.0f, 50.0f, 3.5343f},
      {54.0f, 0.3f, 1.9f, 45.0f, 50.0f, 3.8f},
      {2004.5f, 0.5f, 1.8f, 45.0f, 2000.0f, 3.5343f},  // large gear: the depth search needs extended precision
      // A small chamfer on a tooth thinned by a large backlash: the line meets the unthinned flank far
      // below the chamfer start (0.27 mm below the tip, more than 13 times the chamfer).
      {44.0f, 0.02f, 1.1789f, 45.0f, 40.0f, 3.14159f},
      {44.0f, 0.05f, 0.4f, 60.0f, 40.0f, 3.14159f},
  };
  const ld alpha_t = deg_to_rad(20.0L);
  for (const Case& c : cases) {
    RecordingReporter rec;
    const ld d_b = c.d * std::cos(alpha_t);
    float depth = -7;
    const ld s_a = tip_thickness_with_chamfer(c.d_a, c.c_t, c.s_e, c.gamma, static_cast<float>(d_b), c.d, 0,
                                              c.s_t, 20.0f, &depth);
    // Analytic intersection of the chamfer line with the tip circle.
    const ld gamma = deg_to_rad(static_cast<ld>(c.gamma));
    const ld d_e = c.d_a - 2.0L * c.c_t;
    const ld ex = d_e / 2 * std::sin(c.s_e / d_e), ey = d_e / 2 * std::cos(c.s_e / d_e);
    const ld ux = -std::sin(gamma), uy = std::cos(gamma);
    const ld bq = ex * ux + ey * uy, cq = ex * ex + ey * ey - c.d_a * c.d_a / 4.0L;
    const ld s = -bq + std::sqrt(bq * bq - cq);
    const ld tx = ex + s * ux, ty = ey + s * uy;
    EXPECT_NEAR(static_cast<double>(s_a), static_cast<double>(c.d_a * std::atan2(tx, ty)), c.d_a * 2e-5) << c.d;
    // The flank point at the depth lies on the extended chamfer line.
    const ld D = c.d_a - 2.0L * depth;
    const ld psi = spur_flank_half_angle(D, static_cast<float>(d_b), c.d, c.s_t, alpha_t);
    const ld px = D / 2 * std::sin(psi), py = D / 2 * std::cos(psi);
    const ld off_line = (px - ex) * uy - (py - ey) * ux;
    EXPECT_NEAR(static_cast<double>(off_line), 0.0, 2e-5) << c.d;
    EXPECT_GT(depth, c.c_t);
    EXPECT_TRUE(rec.seen.empty());
  }
  // Without a chamfer the depth is 0.
  float depth = -7;
  tip_thickness_with_chamfer(54, 0, 1.6f, 45, 46.98f, 50, 0, 3.5f, 20, &depth);
  EXPECT_EQ(depth, 0.0f);
}

// The depth search keeps above the base circle; a chamfer from below the base circle, a huge chamfer and
// NaN inputs end with a defined result.
TEST(ToothProportions, ChamferSearchesAreBoundedAndStayAboveTheBaseCircle) {
  RecordingReporter rec;
  float depth = -7;
  // d_E - 6 c_t = 50.4 - 9.6 lies far below the base circle (46.98).
  tip_thickness_with_chamfer(53.6f, 1.6f, 1.0f, 45, 46.98f, 50, 0, 3.5343f, 20, &depth);
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_GE(depth, 1.6f);
  EXPECT_LE(depth, (53.6f - 46.98f) / 2 + 1e-4f);

  // A chamfer line that meets the unthinned flank nowhere above the base circle (its angle below the
  // flank's inclination, a tooth thinned far): the depth is the chamfer itself, so that the unthinned
  // outline keeps its involute up to the chamfer start instead of a bevel down to the base circle.
  tip_thickness_with_chamfer(44, 0.3f, 0.3f, 25, 37.5877f, 40, 0, 3.14159f, 20, &depth);
  EXPECT_EQ(depth, 0.3f);
  EXPECT_TRUE(rec.seen.empty());

  // Chamfer starting below the base circle: its depth is the chamfer itself.
  tip_thickness_with_chamfer(50, 2, 1.0f, 45, 46.98f, 50, 0, 3.5343f, 20, &depth);
  EXPECT_EQ(depth, 2.0f);
  EXPECT_TRUE(rec.seen.empty());

  // A chamfer larger than the tooth and NaN inputs only have to terminate.
  tip_thickness_with_chamfer(54, 40, 1.6f, 45, 46.98f, 50, 0, 3.5f, 20, &depth);
  const float nan = std::nanf("");
  const float s = tip_thickness_with_chamfer(nan, 0.5f, 1.6f, 45, 46.98f, 50, 0, 3.5f, 20, &depth);
  EXPECT_TRUE(std::isnan(s));
  tip_thickness_with_chamfer(54, 0.5f, nan, 45, 46.98f, 50, 0, 3.5f, 20, &depth);
  tip_thickness_with_chamfer(54, 0.5f, 1.6f, nan, nan, nan, nan, nan, nan, &depth);
}

// A chamfer line inclined less than the flank at the tip leaves the flank before the tip circle: the tip
// keeps the flank's own thickness there, never the wider one of the line. A tooth whose flanks meet
// between the chamfer start and the tip circle has no tip: its thickness there is negative.
TEST(ToothProportions, TipUnderAChamferIsNeverWiderThanTheFlank) {
  struct Case { float d_a, c_t, s_e, gamma, beta; bool flank_holds; };
  const Case cases[] = {
      {30.55f, 0.078f, 0.467f, 45.0f, 0, true},   // near-pointed tip, angle below its pressure angle (46 deg)
      {30.55f, 0.078f, 0.467f, 60.0f, 0, false},  // the same tip under a steeper chamfer: the line holds
      {30.55f, 0.3f, 0.05f, 45.0f, 0, true},      // flanks meeting below the tip circle
      {33.0f, 0.1f, 0.6f, 45.0f, 20, true},       // helical
  };
  const ld d = 22.6L, alpha_t = deg_to_rad(20.0L), d_b = d * std::cos(alpha_t);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.s_e);
    RecordingReporter rec;
    float depth = 0;
    const ld s_a = tip_thickness_with_chamfer(c.d_a, c.c_t, c.s_e, c.gamma, static_cast<float>(d_b), static_cast<float>(d),
                                              c.beta, 3.9f, 20, &depth);
    // The flank through the chamfer start, carried up to the tip circle in the normal section.
    const ld tan_beta = std::tan(deg_to_rad(static_cast<ld>(c.beta)));
    auto normal = [&](ld D) { return std::cos(std::atan(D / d * tan_beta)); };
    const ld d_e = c.d_a - 2.0L * c.c_t;
    const ld h = c.s_e / d_e / normal(d_e) + involute(std::acos(d_b / d_e));
    const ld flank = c.d_a * normal(c.d_a) * (h - involute(std::acos(d_b / c.d_a)));
    if (c.flank_holds) {
      EXPECT_NEAR(static_cast<double>(s_a), static_cast<double>(flank), 1e-5);
    } else {
      EXPECT_LT(static_cast<double>(s_a), static_cast<double>(flank) - 1e-3);
    }
    if (c.s_e < 0.1f) {
      EXPECT_LT(s_a, 0);
    }
    EXPECT_TRUE(rec.seen.empty());
  }
}

namespace {

// Checks every constraint between the root of g and the tip of its mate n, and that the tip of n is as
// high as they allow: at least one of them is met with no margin left.
void expect_constraints_met(const DesignData& d, const std::string& label) {
  const Check c{d};
  const ld m = d.normal_module;
  for (int g = 0; g < 2; ++g) {
    const int n = 1 - g;
    SCOPED_TRACE(label + (g == 0 ? ": pinion root, wheel tip" : ": wheel root, pinion tip"));
    const ld k = 1 - std::sin(c.rad(d.normal_pressure_angle));
    const ld slack[] = {
        c.clearance(g) - d.min_bottom_clearance_coeff[g] * m,
        (d.centre_distance - d.root_diameter[g] / 2.0L - k * d.root_fillet_radius[g]) - d.eap_diameter[n] / 2.0L,
        c.sap(g) - c.rack_form(g) - 2.0L * d.min_form_to_sap[g],
        c.thickness(n, d.eap_diameter[n]) - d.min_eap_thickness_coeff[n] * m,
        d.tip_chamfer[n] != 0 ? c.tip_thickness(n) - d.min_tip_thickness_coeff[n] * m : 1e9L,
        d.max_tip_diameter[n] - static_cast<ld>(d.tip_diameter[n]),
    };
    const char* names[] = {"bottom clearance", "fillet clearance", "form to SAP", "EAP thickness",
                           "tip thickness", "maximum tip"};
    ld least = 1e9L;
    for (int i = 0; i < 6; ++i) {
      EXPECT_GE(static_cast<double>(slack[i]), -1e-3) << names[i];
      least = std::fmin(least, slack[i]);
    }
    EXPECT_LT(static_cast<double>(least), 1e-3) << "no constraint holds the tip";
    EXPECT_GE(d.root_diameter[g], d.min_root_diameter[g] - 1e-4f);
    EXPECT_NEAR(d.eap_diameter[n], d.tip_diameter[n] - 2 * d.tip_chamfer[n], 1e-4);
    EXPECT_NEAR(d.addendum[n], (d.tip_diameter[n] - d.reference_diameter[n]) / 2, 1e-4);
  }
}

}  // namespace

TEST(ToothProportions, CalculateMeetsEveryConstraintWithTheTipAsHighAsAllowed) {
  struct Case { const char* name; int z1, z2; float m, alpha_n, beta, x1, x2, chamfer, min_root0, max_tip1; };
  const Case cases[] = {
      {"helical", 23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f, 0, 0, 1e9f},
      {"helical with chamfers", 23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f, 0.4f, 0, 1e9f},
      {"spur", 20, 40, 2, 20, 0, 0, 0, 0, 0, 1e9f},
      {"spur with chamfers", 20, 40, 2, 20, 0, 0, 0, 0.3f, 0, 1e9f},
      {"spur, minimum root", 20, 40, 2, 20, 0, 0, 0, 0, 37, 1e9f},
      {"spur, maximum tip", 20, 40, 2, 20, 0, 0, 0, 0, 0, 80},
      {"25 degrees, shifted", 17, 55, 3, 25, 15, 0.5f, 0.1f, 0.2f, 0, 1e9f},
      {"large gear", 890, 900, 2.25f, 20, 10, 0.25f, -0.25f, 0.4f, 0, 1e9f},
  };
  for (const Case& k : cases) {
    auto d = make_pair(k.z1, k.z2, k.m, k.alpha_n, k.beta, k.x1, k.x2);
    d->tip_chamfer[0] = d->tip_chamfer[1] = k.chamfer;
    d->min_root_diameter[0] = k.min_root0;
    d->max_tip_diameter[1] = k.max_tip1;
    RecordingReporter rec;
    calc_tooth_proportions(*d);
    EXPECT_TRUE(rec.seen.empty()) << k.name;
    expect_constraints_met(*d, k.name);
    for (int i = 0; i < 2; ++i)
      EXPECT_NEAR(d->dedendum[i], (d->reference_diameter[i] - d->root_diameter[i]) / 2, 1e-4) << k.name;
  }
}

// Limits are tested in a fixed order and the later of equal limits wins; the winner steers the passes
// that follow. Here the wheel tip is held by the bottom clearance to a pinion root at its minimum
// (kind 1, 2 (60 - 18 - 1 x 2) = 80 mm) or by the maximum tip diameter (kind 5), which sends the pinion
// root through the second pass: it rises to the bottom clearance below the wheel tip (kind 3).
TEST(ToothProportions, EqualLimitsSelectTheLaterOne) {
  struct Case { float max_tip; int tip_kind, second_root_kind; float tip, root; };
  const Case cases[] = {
      {80.5f, 1, 0, 80.0f, 36.0f},
      {80.0f, 5, 3, 80.0f, 36.0f},  // tie: the maximum wins
      {79.5f, 5, 3, 79.5f, 36.5f},
  };
  for (const Case& c : cases) {
    auto d = make_pair(20, 40, 2, 20, 0, 0, 0);
    d->centre_distance = 60;
    d->min_root_diameter[0] = 36;
    d->min_bottom_clearance_coeff[0] = 1;
    d->max_tip_diameter[1] = c.max_tip;
    const ToothProportionKinds kinds = calc_tooth_proportions(*d);
    SCOPED_TRACE(c.max_tip);
    EXPECT_EQ(kinds.root[0], 3);
    EXPECT_EQ(kinds.tip[1], c.tip_kind);
    EXPECT_EQ(kinds.second_root[0], c.second_root_kind);
    EXPECT_EQ(d->tip_diameter[1], c.tip);
    EXPECT_EQ(d->root_diameter[0], c.root);
    // Either way the root ends at the bottom clearance, and the fillet grows from its minimum.
    EXPECT_NE(kinds.fillet[0], 0);
    EXPECT_GT(d->root_fillet_radius[0], 0.6f);
  }
}

TEST(ToothProportions, KeepAlikeGivesBothGearsTheSmallerRackCoefficients) {
  const ld m = 2;
  for (int allow : {0, 1}) {
    SCOPED_TRACE(allow);
    auto d = make_pair(20, 40, 2, 20, 0, 0.1f, -0.1f);
    auto separate = make_pair(20, 40, 2, 20, 0, 0.1f, -0.1f);
    d->keep_pinion_wheel_same = 1;
    d->allow_tip_diameter_reduction = separate->allow_tip_diameter_reduction = allow;
    calc_tooth_proportions(*d);
    calc_tooth_proportions(*separate);
    const ld kf[2] = {d->dedendum[0] / m + d->profile_shift[0], d->dedendum[1] / m + d->profile_shift[1]};
    const ld kf_separate = std::fmin(separate->dedendum[0] / m + separate->profile_shift[0],
                                     separate->dedendum[1] / m + separate->profile_shift[1]);
    EXPECT_NEAR(static_cast<double>(kf[0]), static_cast<double>(kf[1]), 1e-6);
    EXPECT_NEAR(static_cast<double>(kf[0]), static_cast<double>(kf_separate), 1e-6);
    EXPECT_EQ(d->root_fillet_radius[0], d->root_fillet_radius[1]);
    EXPECT_EQ(d->root_fillet_radius[0], std::fmin(separate->root_fillet_radius[0], separate->root_fillet_radius[1]));
    EXPECT_NEAR(d->dedendum[1], (d->reference_diameter[1] - d->root_diameter[1]) / 2, 1e-5);
    const ld ka[2] = {d->addendum[0] / m - d->profile_shift[0], d->addendum[1] / m - d->profile_shift[1]};
    const Check c{*d};
    if (allow == 0) {
      EXPECT_NEAR(static_cast<double>(ka[0]), static_cast<double>(ka[1]), 1e-6);
    } else {
      // The tips are where the tip reduction leaves them: below every clearance to the new roots.
      for (int g = 0; g < 2; ++g)
        EXPECT_GE(static_cast<double>(c.clearance(g)), d->min_bottom_clearance_coeff[g] * m - 1e-4);
      auto again = std::make_unique<DesignData>(*d);
      limit_tip_diameters(*again);
      EXPECT_EQ(again->tip_diameter[0], d->tip_diameter[0]);
      EXPECT_EQ(again->tip_diameter[1], d->tip_diameter[1]);
    }
  }
  // Alike gears (same teeth, no shift) keep the roots and fillets they were given.
  auto d = make_pair(30, 30, 2, 20, 0, 0, 0);
  auto separate = make_pair(30, 30, 2, 20, 0, 0, 0);
  d->keep_pinion_wheel_same = 1;
  calc_tooth_proportions(*d);
  calc_tooth_proportions(*separate);
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(d->root_diameter[i], separate->root_diameter[i], 1e-5);
    EXPECT_EQ(d->root_fillet_radius[i], separate->root_fillet_radius[i]);
  }
}

TEST(ToothProportions, TipReductionOnlyLowersTips) {
  // Tips already below every limit stay as they are; roots and fillets are never touched.
  auto d = make_pair(23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f);
  for (int i = 0; i < 2; ++i) d->tip_diameter[i] = d->reference_diameter[i] + 2 * 2.25f * (0.8f + d->profile_shift[i]);
  d->tip_chamfer[0] = 0.2f;
  auto before = std::make_unique<DesignData>(*d);
  limit_tip_diameters(*d);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(d->tip_diameter[i], before->tip_diameter[i]);
    EXPECT_EQ(d->root_diameter[i], before->root_diameter[i]);
    EXPECT_EQ(d->root_fillet_radius[i], before->root_fillet_radius[i]);
    EXPECT_NEAR(d->eap_diameter[i], d->tip_diameter[i] - 2 * d->tip_chamfer[i], 1e-5);
    EXPECT_NEAR(d->addendum[i], (d->tip_diameter[i] - d->reference_diameter[i]) / 2, 1e-5);
  }

  // Tips far too large come down to the binding limit, and a second run leaves them there.
  for (float chamfer : {0.0f, 0.4f}) {
    SCOPED_TRACE(chamfer);
    auto high = make_pair(23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f);
    for (int i = 0; i < 2; ++i) {
      high->tip_diameter[i] = high->reference_diameter[i] + 2 * 2.25f * (1.6f + high->profile_shift[i]);
      high->tip_chamfer[i] = chamfer;
    }
    limit_tip_diameters(*high);
    expect_constraints_met(*high, "reduced");
    auto again = std::make_unique<DesignData>(*high);
    limit_tip_diameters(*again);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(again->tip_diameter[i], high->tip_diameter[i]);
  }
}

// The chamfer searches run whatever the tip stands at when they start, below the reference diameter
// too: "Calculate" gives the same proportions from a low tip as from a high one, and the tip reduction
// stores the tip thickness as scratch value.
TEST(ToothProportions, ChamferSearchOfALowTip) {
  auto d = make_pair(20, 40, 2, 20, 0, 0, 0);
  d->tip_chamfer[1] = 0.3f;
  auto high = std::make_unique<DesignData>(*d);
  d->tip_diameter[1] = d->reference_diameter[1] - 1;
  d->tip_thickness_normal[1] = 123;
  auto reduced = std::make_unique<DesignData>(*d);
  calc_tooth_proportions(*d);
  calc_tooth_proportions(*high);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(d->tip_diameter[i], high->tip_diameter[i]);
    EXPECT_EQ(d->root_diameter[i], high->root_diameter[i]);
    EXPECT_EQ(d->root_fillet_radius[i], high->root_fillet_radius[i]);
  }
  limit_tip_diameters(*reduced);
  EXPECT_NE(reduced->tip_thickness_normal[1], 123.0f);
}

// A small pinion under a large chamfer: the tip that keeps the least tip thickness lies below the
// reference diameter, and "Calculate" finds it there (it searched only up from the reference diameter
// and ended far below the least thickness). The thickness under the chamfer is worked out here from
// the involute and the chamfer line.
TEST(ToothProportions, CalculateFindsAChamferedTipBelowTheReferenceDiameter) {
  auto d = make_pair(14, 40, 1, 20, 0, 0, 0);
  for (int i = 0; i < 2; ++i) {
    d->tip_chamfer[i] = 0.25f;
    d->tip_chamfer_angle[i] = 60;
    d->min_tip_thickness_coeff[i] = 0.6f;
    d->min_form_to_sap[i] = 0;
    d->min_base_to_form[i] = 0;
  }
  RecordingReporter rec;
  calc_tooth_proportions(*d);
  ASSERT_EQ(d->tooth_proportions_kept[0], 0);
  const ld d_a = d->tip_diameter[0], c = d->tip_chamfer[0];
  const ld d_e = d_a - 2 * c;
  // Own model (spur): half-angle of the finished involute at the chamfer start, the chamfer line from
  // there at 60 degrees to the centre line, its crossing with the tip circle.
  const ld alpha_t = deg_to_rad(20.0L);
  const ld psi = spur_flank_half_angle(d_e, d->base_diameter[0], d->reference_diameter[0],
                                       d->thickness_finished_transverse[0], alpha_t);
  const ld ex = d_e / 2 * std::sin(psi), ey = d_e / 2 * std::cos(psi);
  const ld g = deg_to_rad(60.0L), ux = -std::sin(g), uy = std::cos(g);
  const ld b = ex * ux + ey * uy;
  const ld t = -b + std::sqrt(b * b - (ex * ex + ey * ey) + d_a * d_a / 4);
  const ld tip_thickness = d_a * std::atan2(ex + t * ux, ey + t * uy);
  EXPECT_LT(d_e, d->reference_diameter[0]);
  EXPECT_NEAR(double(tip_thickness), 0.6, 2e-3);
}

TEST(ToothProportions, UnreachableTargetsAndNaNInputsEndWithDefinedResults) {
  // Thickness targets above the tooth thickness everywhere on the involute: the searches run down to
  // the base circle and stop there, which leaves no active flank; both routines keep the proportions
  // they had and say so.
  auto d = make_pair(23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f);
  d->min_eap_thickness_coeff[0] = d->min_eap_thickness_coeff[1] = 5;
  d->tip_chamfer[1] = 0.4f;
  d->min_tip_thickness_coeff[1] = 7;
  const auto before = std::make_unique<DesignData>(*d);
  auto reduced = std::make_unique<DesignData>(*d);
  calc_tooth_proportions(*d);
  limit_tip_diameters(*reduced);
  EXPECT_EQ(d->tooth_proportions_kept[0] + d->tooth_proportions_kept[1], 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(d->tip_diameter[i], before->tip_diameter[i]);
    EXPECT_EQ(d->root_diameter[i], before->root_diameter[i]);
    EXPECT_EQ(d->root_fillet_radius[i], before->root_fillet_radius[i]);
    // The tip reduction ends too, and never raises a tip.
    EXPECT_TRUE(std::isfinite(reduced->tip_diameter[i]));
    EXPECT_LE(reduced->tip_diameter[i], before->tip_diameter[i]);
  }

  // A thickness that is not a number takes no part: the other limits still hold the tip. A minimum root
  // that is not a number takes no part in the root.
  auto nan_input = make_pair(23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f);
  nan_input->thickness_finished_transverse[1] = std::nanf("");
  nan_input->tip_chamfer[1] = 0.4f;
  nan_input->min_root_diameter[0] = std::nanf("");
  auto nan_reduced = std::make_unique<DesignData>(*nan_input);
  const ToothProportionKinds nan_kinds = calc_tooth_proportions(*nan_input);
  EXPECT_NE(nan_kinds.root[0], 3);
  EXPECT_NE(nan_kinds.tip[1], 0);
  EXPECT_NE(nan_kinds.tip[1], 4);
  EXPECT_TRUE(std::isfinite(nan_input->tip_diameter[1]));
  EXPECT_TRUE(std::isfinite(nan_input->root_diameter[0]));
  limit_tip_diameters(*nan_reduced);
  EXPECT_TRUE(std::isfinite(nan_reduced->tip_diameter[1]));
}

TEST(ToothProportions, NoProtuberanceLeavesTheProfileAlone) {
  auto d = make_pair(23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f);
  d->profile_points[7].x = 3.5f;
  d->form_diameter[0] = d->form_diameter[1] = -2;
  calc_tooth_proportions(*d);
  limit_tip_diameters(*d);
  EXPECT_EQ(d->profile_points[7].x, 3.5f);
  EXPECT_EQ(d->profile_points[0].x, 0.0f);
  EXPECT_EQ(d->form_diameter[0], -2.0f);
  EXPECT_EQ(d->form_diameter[1], -2.0f);
}

// The protuberance cut raises the form circle of the gear to the form diameter of its generated
// profile; the mate's EAP (and its tip with it) comes down until contact starts the least distance above
// that form circle.
TEST(ToothProportions, ProtuberanceLowersTheMatesTip) {
  for (float protuberance : {0.05f, 0.2f}) {
    SCOPED_TRACE(protuberance);
    auto plain = make_pair(23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f);
    plain->tip_chamfer[1] = 0.3f;
    auto d = std::make_unique<DesignData>(*plain);
    d->protuberance[0] = protuberance;
    calc_tooth_proportions(*plain);
    calc_tooth_proportions(*d);
    const Check c{*d};
    EXPECT_GT(d->form_diameter[0], d->rack_form_diameter[0]);
    EXPECT_NEAR(static_cast<double>(c.sap(0)), d->form_diameter[0] + 2 * d->min_form_to_sap[0], 1e-3);
    EXPECT_LT(d->tip_diameter[1], plain->tip_diameter[1]);
    EXPECT_NEAR(d->eap_diameter[1], d->tip_diameter[1] - 2 * d->tip_chamfer[1], 1e-4);
    EXPECT_NEAR(d->addendum[1], (d->tip_diameter[1] - d->reference_diameter[1]) / 2, 1e-4);
    EXPECT_NE(d->profile_points[100].y, 0.0f);  // the pinion's outline was generated
    // The same limit in the tip reduction.
    auto reduced = make_pair(23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f);
    reduced->protuberance[0] = protuberance;
    limit_tip_diameters(*reduced);
    const Check r{*reduced};
    EXPECT_GE(static_cast<double>(r.sap(0)), reduced->form_diameter[0] + 2 * reduced->min_form_to_sap[0] - 1e-3);
  }
}

// "Calculate" inside the geometry pass: after a refresh's two passes every constraint holds on the
// values the pass leaves (thicknesses and SAP recomputed by the later stages) and one of them binds.
TEST(ToothProportions, InvariantsAfterCalculateInTheGeometryPass) {
  struct Case { const char* name; int mode, z1, z2; float helix, chamfer, backlash, protuberance; };
  const Case cases[] = {
      {"start-up pair", 1, 23, 32, 27.88f, 0, 0, 0},
      {"chamfers and backlash", 1, 23, 32, 27.88f, 0.4f, 0.1f, 0},
      {"spur, module fixed", 0, 19, 61, 0, 0.25f, 0.05f, 0},
      {"large gear, module fixed", 0, 890, 900, 10, 0.4f, 0.1f, 0},
  };
  for (const Case& k : cases) {
    auto d = std::make_unique<DesignData>();
    set_startup_values(*d);
    d->tooth_proportion_mode = 2;
    d->geometry_manager_mode = k.mode;
    d->teeth[0] = k.z1;
    d->teeth[1] = k.z2;
    d->actual_ratio = static_cast<float>(k.z2) / k.z1;
    d->helix_angle = k.helix;
    d->backlash_normal = k.backlash;
    for (int i = 0; i < 2; ++i) d->tip_chamfer[i] = k.chamfer;
    RecordingReporter rec;
    d->second_geometry_pass = 0;
    calc_gear_geometry(*d);
    d->second_geometry_pass = 1;
    calc_gear_geometry(*d);
    EXPECT_TRUE(rec.seen.empty()) << k.name;
    expect_constraints_met(*d, k.name);
    const Check c{*d};
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(std::string(k.name) + (i == 0 ? " pinion" : " wheel"));
      EXPECT_NEAR(d->eap_thickness_normal[i], static_cast<double>(c.thickness(i, d->eap_diameter[i])), 1e-4);
      EXPECT_GE(d->eap_thickness_normal[i], d->min_eap_thickness_coeff[i] * d->normal_module - 1e-3);
      if (k.chamfer != 0) {
        EXPECT_GE(d->tip_thickness_normal[i], d->min_tip_thickness_coeff[i] * d->normal_module - 1e-3);
        EXPECT_NEAR(d->tip_thickness_normal[i], static_cast<double>(c.tip_thickness(i)), 1e-4);
        EXPECT_GT(d->tip_chamfer_depth[i], d->tip_chamfer[i]);
      }
      EXPECT_NEAR(d->sap_diameter[i], static_cast<double>(c.sap(i)), 1e-3 + 3e-6 * d->sap_diameter[i]);
      EXPECT_GE(d->transverse_contact_ratio, 1.0f);
    }
  }
}

// "Standard Rack" with outside-diameter reduction allowed: the pass lowers tips that a long rack
// addendum puts beyond the limits; without the permission, or with the geometry manager overridden, the
// tips stay where the rack puts them.
TEST(ToothProportions, StandardRackTipsReducedOnlyWhenAllowed) {
  struct Case { int allow; uint8_t override_; bool reduced; };
  const Case cases[] = {{1, 0, true}, {0, 0, false}, {1, 1, false}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.allow * 10 + k.override_);
    auto d = std::make_unique<DesignData>();
    set_startup_values(*d);
    d->tooth_proportion_mode = 1;
    d->allow_tip_diameter_reduction = k.override_ ? 0 : k.allow;
    for (int i = 0; i < 2; ++i) {
      d->basic_rack.addendum_coeff[i] = 1.6f;
      d->basic_rack.dedendum_coeff[i] = 1.25f;
      d->basic_rack.fillet_radius_coeff[i] = 0.3f;
    }
    d->basic_rack.pressure_angle = 20;
    d->second_geometry_pass = 0;
    calc_gear_geometry(*d);
    d->second_geometry_pass = 1;
    calc_gear_geometry(*d);
    if (k.override_) {  // the rack's tips are in place; now overridden, a pass must not reduce them
      d->allow_tip_diameter_reduction = k.allow;
      d->geometry_manager_override = k.override_;
      calc_gear_geometry(*d);
    }
    for (int i = 0; i < 2; ++i) {
      const double addendum_coeff = (d->tip_diameter[i] - d->reference_diameter[i]) / 2 / d->normal_module -
                                    d->profile_shift[i];
      if (k.reduced) EXPECT_LT(addendum_coeff, 1.5);
      else EXPECT_NEAR(addendum_coeff, 1.6, 1e-5);
    }
    if (k.reduced) expect_constraints_met(*d, "standard rack");
  }
}

// Chamfers whose lines meet on the tooth centre line below the tip circle: the tooth ends where they
// meet, so its thickness at the tip circle is no longer 0 but negative, the half-angle at which the
// extended line, past the centre line, reaches the tip circle (worked out here as the crossing of a
// line and a circle); it falls through zero exactly where the meeting point passes the tip circle.
TEST(ToothProportions, ChamfersMeetingBelowTheTipCircleGiveANegativeThickness) {
  struct Case { float d_a, c_t, s_e, gamma; };
  const Case cases[] = {
      {64.17f, 0.5f, 1.2f, 70},   // the start-up pinion's size under a steep 0.5 mm chamfer
      {64.17f, 0.5f, 0.8f, 50},
      {44.0f, 0.25f, 2.0f, 89},   // a nearly flat chamfer cuts the tooth off at its start
      {2004.5f, 0.5f, 1.0f, 75},  // large gear
  };
  const ld alpha_t = deg_to_rad(20.0L);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gamma);
    RecordingReporter rec;
    const ld d = c.d_a - 4, d_b = d * std::cos(alpha_t);
    float depth = 0;
    const ld s_a = tip_thickness_with_chamfer(c.d_a, c.c_t, c.s_e, c.gamma, float(d_b), float(d), 0, 3.2f, 20, &depth);
    const ld g = deg_to_rad(ld(c.gamma));
    const ld d_e = c.d_a - 2.0L * c.c_t;
    const ld ex = d_e / 2 * std::sin(c.s_e / d_e), ey = d_e / 2 * std::cos(c.s_e / d_e);
    const ld meeting = ey + ex * std::cos(g) / std::sin(g);
    ASSERT_LT(meeting, c.d_a / 2.0L);
    const ld ux = -std::sin(g), uy = std::cos(g);
    const ld b = ex * ux + ey * uy;
    const ld t = -b + std::sqrt(b * b - (ex * ex + ey * ey) + ld(c.d_a) * c.d_a / 4);
    const ld expected = c.d_a * std::atan2(ex + t * ux, ey + t * uy);
    EXPECT_LT(s_a, 0);
    EXPECT_NEAR(double(s_a), double(expected), 1e-5 * c.d_a);
    EXPECT_TRUE(rec.seen.empty());
  }
  // Continuity: the same chamfer on tips just below and above the meeting point.
  const float d_e = 63.17f, s_e = 1.2f, gamma = 70;
  const ld ex = d_e / 2.0L * std::sin(ld(s_e) / d_e), ey = d_e / 2.0L * std::cos(ld(s_e) / d_e);
  const ld meeting = 2 * (ey + ex / std::tan(deg_to_rad(ld(gamma))));
  for (const ld offset : {-1e-4L, 1e-4L}) {
    const float d_a = float(meeting + offset);
    const float s = tip_thickness_with_chamfer(d_a, float((ld(d_a) - d_e) / 2), s_e, gamma, 55, 60, 0, 3.2f, 20,
                                               nullptr);
    EXPECT_NEAR(s, 0.0, 1e-3);
    EXPECT_EQ(s < 0, offset > 0);
  }
}

// A chamfer angle below the flank's slope cuts nothing: the nominal outline then keeps its involute up to
// the chamfer start, and with no backlash it is the finished outline, point for point.
TEST(ToothProportions, AChamferThatCutsNothingLeavesTheNominalOutlineAlone) {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->tooth_proportion_mode = 0;
  d->backlash_normal = 0;
  d->tip_chamfer[0] = 0.4f;
  d->tip_chamfer_angle[0] = 5;  // far below the pressure angle at the tip
  d->second_geometry_pass = 0;
  calc_gear_geometry(*d);
  ASSERT_EQ(d->thickness_finished_transverse[0], d->thickness_nominal_transverse[0]);
  EXPECT_EQ(d->tip_chamfer_depth[0], d->tip_chamfer[0]);
  ToothProfile finished{}, nominal{};
  generate_tooth_profile(finished_outline_input(*d, 0), nullptr, finished);
  generate_tooth_profile(nominal_outline_input(*d, 0), nullptr, nominal);
  for (int k = 0; k < 500; ++k) {
    EXPECT_EQ(finished[k].x, nominal[k].x) << k;
    EXPECT_EQ(finished[k].y, nominal[k].y) << k;
  }
}

namespace {

// Root < form <= SAP < EAP <= tip for gear i, worked out from the design's own fields.
bool sound(const DesignData& d, int i) {
  const Check c{d};
  const ld sap = c.sap(i), form = c.rack_form(i);
  return d.root_diameter[i] < form && form <= sap + 1e-3 && sap < d.eap_diameter[i] &&
         d.eap_diameter[i] <= d.tip_diameter[i] + 1e-4;
}

}  // namespace

// Constraints that the dialog's ranges take but that leave no tooth: "Calculate" keeps the proportions
// it started from (the last sound tooth) and marks the gear, instead of cutting a tip of 0, a negative
// tip or a form circle above the tip.
TEST(ToothProportions, ConstraintsThatLeaveNoToothKeepTheLastSoundOne) {
  struct Case { const char* name; float max_tip0, min_root1, fillet_coeff; };
  const Case cases[] = {
      {"pinion maximum tip 0", 0, 0, 0.3f},
      {"wheel minimum root 200", 1e9f, 200, 0.3f},
      {"minimum root fillet 0.9 m", 1e9f, 0, 0.9f},
      {"minimum root fillet 1.0 m", 1e9f, 0, 1.0f},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    auto d = make_pair(23, 32, 2.25f, 20, 27.88f, 0.25f, -0.25f);
    calc_tooth_proportions(*d);  // a sound start
    ASSERT_TRUE(sound(*d, 0) && sound(*d, 1));
    const auto before = std::make_unique<DesignData>(*d);
    d->max_tip_diameter[0] = k.max_tip0;
    d->min_root_diameter[1] = k.min_root1;
    d->min_root_fillet_coeff[0] = d->min_root_fillet_coeff[1] = k.fillet_coeff;
    RecordingReporter rec;
    calc_tooth_proportions(*d);
    const bool kept = d->tooth_proportions_kept[0] || d->tooth_proportions_kept[1];
    for (int i = 0; i < 2; ++i) {
      if (kept) {
        EXPECT_EQ(d->tip_diameter[i], before->tip_diameter[i]);
        EXPECT_EQ(d->root_diameter[i], before->root_diameter[i]);
        EXPECT_EQ(d->root_fillet_radius[i], before->root_fillet_radius[i]);
      }
      EXPECT_TRUE(sound(*d, i)) << i;
    }
    if (k.max_tip0 == 0 || k.min_root1 == 200) {
      EXPECT_TRUE(kept);
    }
    // Once the constraints leave a tooth again, the calculation takes them.
    d->max_tip_diameter[0] = 1e9f;
    d->min_root_diameter[1] = 0;
    d->min_root_fillet_coeff[0] = d->min_root_fillet_coeff[1] = 0.3f;
    calc_tooth_proportions(*d);
    EXPECT_EQ(d->tooth_proportions_kept[0] + d->tooth_proportions_kept[1], 0);
  }
}
