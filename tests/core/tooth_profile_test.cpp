#include "tooth_profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "numeric.h"

using namespace morvell;

namespace {

// Arguments of one generation; defaults are a standard spur gear z = 20, m_n = 2 with rho = 0.38 m_n.
struct Gear {
  int32_t z = 20;
  float m_n = 2.0f;
  float s_t = static_cast<float>(M_PI);
  float s_ft = static_cast<float>(M_PI);
  float alpha_n = 20.0f;
  float beta = 0.0f;
  float d_f = 35.0f;
  float d_a = 44.0f;
  float x = 0.0f;
  float rho = 0.76f;
  float p_r = 0.0f;
  float alpha_pr = 0.01f;
  float s_at = 0.0f;
  float c = 0.0f;

  ToothProfileInput input() const {
    return ToothProfileInput{z, m_n, s_t, s_ft, alpha_n, beta, d_f, d_a, x, rho, p_r, alpha_pr, s_at, c};
  }
  float generate(ToothProfile& p) const {
    float form = -1.0f;
    generate_tooth_profile(input(), &form, p);
    return form;
  }
  double reference_radius() const { return z * m_n / (2.0 * std::cos(beta * M_PI / 180.0)); }
  double transverse_pressure_angle() const {
    return std::atan(std::tan(alpha_n * M_PI / 180.0) / std::cos(beta * M_PI / 180.0));
  }
  double base_radius() const { return reference_radius() * std::cos(transverse_pressure_angle()); }
  // Transverse tip thickness of the unchamfered involute at the tip circle.
  float involute_tip_thickness() const {
    const double r = reference_radius(), r_a = d_a / 2.0, at = transverse_pressure_angle();
    const double aa = std::acos(base_radius() / r_a);
    const double inv = [](double a) { return std::tan(a) - a; }(at) - (std::tan(aa) - aa);
    return static_cast<float>(2.0 * r_a * (s_ft / (2.0 * r) + inv));
  }
};

double radius(ProfilePoint p) { return std::hypot(static_cast<double>(p.x), static_cast<double>(p.y)); }
double polar_angle(ProfilePoint p) { return std::atan2(static_cast<double>(p.x), static_cast<double>(p.y)); }
double distance(ProfilePoint a, ProfilePoint b) { return std::hypot(double(a.x) - b.x, double(a.y) - b.y); }

ToothProfile filled_with_nan() {
  ToothProfile p;
  for (auto& q : p.points) q = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN()};
  return p;
}

}  // namespace

// Form diameters of the standard rack on a tangent, an undercut and a high-root gear; the fillet ends
// where the flank starts.
TEST(ToothProfile, FormDiameterOfTangentUndercutAndHighRootGears) {
  const struct { int32_t z; float d_f, d_a; double form, tol; } cases[] = {
      {20, 35.0f, 44.0f, 37.64, 0.01},    // fillet tangent to the flank just above the base circle
      {8, 11.0f, 20.0f, 15.23, 0.01},     // undercut: fillet crosses the involute
      {60, 115.0f, 124.0f, 116.5, 0.05},  // root circle above the base circle
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.z);
    Gear g;
    g.z = c.z;
    g.d_f = c.d_f;
    g.d_a = c.d_a;
    ToothProfile p;
    const float form = g.generate(p);
    EXPECT_NEAR(form, c.form, c.tol);
    EXPECT_GT(form, 2.0 * g.base_radius());
    // The stored fillet ends at the form radius and the flank starts there at the same point.
    EXPECT_NEAR(radius(p[124]), form / 2.0, 1e-4);
    EXPECT_NEAR(radius(p[125]), form / 2.0, 1e-4);
    EXPECT_LT(distance(p[124], p[125]), 1e-3);
  }
}

// Coincident joints, arcs on their circles, equal steps and the mirror half, for spur, helical, thinned,
// chamfered and protuberance outlines.
TEST(ToothProfile, OutlineLayoutAndMirror) {
  std::vector<Gear> gears(5);
  gears[1].beta = 15.0f, gears[1].z = 23, gears[1].d_f = 43.0f, gears[1].d_a = 53.0f, gears[1].x = 0.2f,
  gears[1].s_t = 3.553864f, gears[1].s_ft = 3.45f;
  gears[2].s_ft = 3.0f;
  gears[3].c = 0.3f;
  gears[4].p_r = 0.08f, gears[4].s_ft = 3.1f, gears[4].rho = 0.5f;
  for (size_t n = 0; n < gears.size(); ++n) {
    SCOPED_TRACE(n);
    Gear& g = gears[n];
    g.s_at = g.involute_tip_thickness() * 0.98f;
    ToothProfile p = filled_with_nan();
    const float form = g.generate(p);
    const double r_f = g.d_f / 2.0, r_a = g.d_a / 2.0;
    for (int i = 0; i < 500; ++i) ASSERT_TRUE(std::isfinite(p[i].x) && std::isfinite(p[i].y)) << i;
    // Root arc from the middle of the tooth space, fillet from the root circle.
    EXPECT_NEAR(polar_angle(p[0]), M_PI / g.z, 1e-6);
    for (int i = 0; i <= 25; ++i) EXPECT_NEAR(radius(p[i]), r_f, 2e-5) << i;
    EXPECT_LT(distance(p[24], p[25]), 1e-5);
    EXPECT_NEAR(polar_angle(p[0]) - polar_angle(p[1]), polar_angle(p[23]) - polar_angle(p[24]), 1e-6);
    // Flank in equal radius steps from the form radius to the start of the chamfer.
    EXPECT_NEAR(radius(p[125]), form / 2.0, 1e-4);
    EXPECT_NEAR(radius(p[223]), r_a - g.c, 2e-5);
    EXPECT_NEAR(radius(p[126]) - radius(p[125]), radius(p[223]) - radius(p[222]), 1e-4);
    // Tip corner at the given tip thickness, tip arc to the centre line.
    EXPECT_NEAR(radius(p[224]), r_a, 2e-5);
    EXPECT_NEAR(polar_angle(p[224]), g.s_at / (2.0 * r_a), 1e-6);
    EXPECT_LT(distance(p[224], p[225]), 1e-5);
    for (int k = 225; k < 250; ++k) EXPECT_NEAR(radius(p[k]), r_a, 2e-5) << k;
    EXPECT_EQ(p[249].x, 0.0f);
    // Mirror half.
    for (int k = 0; k < 250; ++k) {
      EXPECT_EQ(p[250 + k].x, -p[249 - k].x) << k;
      EXPECT_EQ(p[250 + k].y, p[249 - k].y) << k;
    }
  }
}

// Without a chamfer and with the involute's own tip thickness the flank ends in the tip corner.
TEST(ToothProfile, UnchamferedFlankEndsInTipCorner) {
  Gear g;
  g.s_at = g.involute_tip_thickness();
  ToothProfile p;
  g.generate(p);
  EXPECT_LT(distance(p[223], p[224]), 1e-5);
}

// The outline climbs from the root to the tip corner, whatever the chamfer: one that starts below the
// form circle leaves the flank at the form radius, and the chamfer runs from there to the corner.
TEST(ToothProfile, OutlineNeverTurnsBackUnderADeepChamfer) {
  for (float c : {0.3f, 2.0f, 4.5f}) {
    SCOPED_TRACE(c);
    Gear g;
    g.c = c;
    g.s_at = g.involute_tip_thickness() * 0.5f;
    ToothProfile p;
    const float form = g.generate(p);
    const double top = std::max(g.d_a / 2.0 - c, form / 2.0);
    EXPECT_NEAR(radius(p[223]), top, 2e-5);
    for (int i = 26; i <= 224; ++i) EXPECT_GE(radius(p[i]), radius(p[i - 1]) - 2e-5) << i;
  }
}

// A rack tip radius so large that the roundings of both sides overlap becomes a full radius on the
// rack tooth's centre line: the fillet starts in the middle of the tooth space, thinned or not.
TEST(ToothProfile, FullRadiusRootStartsInMiddleOfToothSpace) {
  for (float s_ft : {static_cast<float>(M_PI), 2.9f}) {
    for (float beta : {0.0f, 20.0f}) {
      Gear g;
      g.rho = 1.2f;
      g.s_ft = s_ft;
      g.beta = beta;
      g.d_f = static_cast<float>(2.0 * g.reference_radius() - 5.0);
      g.d_a = static_cast<float>(2.0 * g.reference_radius() + 4.0);
      ToothProfile p;
      g.generate(p);
      EXPECT_NEAR(polar_angle(p[25]), M_PI / g.z, 1e-6) << s_ft << " " << beta;
      EXPECT_NEAR(radius(p[25]), g.d_f / 2.0, 2e-5);
    }
  }
}

// A thinned flank without protuberance is cut by a thickened rack (the fillet moves with the flank);
// with a protuberance the fillet is cut by the unthinned tool and only the flank is finished.
TEST(ToothProfile, RackThickenedOnlyWithoutProtuberance) {
  Gear nominal, thinned;
  thinned.s_ft = 3.0f;
  ToothProfile a, b;
  nominal.generate(a);
  thinned.generate(b);
  // The rack is thickened by the normal thinning, so the fillet start turns towards the tooth by half the
  // transverse thinning, taken as an arc of the reference circle.
  EXPECT_NEAR(polar_angle(a[25]) - polar_angle(b[25]), (nominal.s_t - thinned.s_ft) / (2.0 * nominal.reference_radius()),
              1e-6);

  Gear prot_nominal = nominal, prot_thinned = thinned;
  prot_nominal.p_r = prot_thinned.p_r = 0.1f;
  prot_nominal.rho = prot_thinned.rho = 0.5f;
  prot_nominal.generate(a);
  prot_thinned.generate(b);
  EXPECT_EQ(a[25].x, b[25].x);
  EXPECT_EQ(a[25].y, b[25].y);
  // The finished flank is thinner above the protuberance zone.
  EXPECT_GT(polar_angle(a[200]), polar_angle(b[200]));
}

// Form diameter with a protuberance: while the finishing leaves some of the protuberance, the form
// circle is where the protuberance flank leaves the finished flank; once the thinning removes more than the protuberance left, the fillet's
// meeting point sets it again.
TEST(ToothProfile, FormDiameterWithProtuberance) {
  Gear g;
  g.z = 200, g.d_f = 395.0f, g.d_a = 404.0f, g.rho = 1.0f, g.p_r = 0.05f;
  const double alpha_n = g.alpha_n * M_PI / 180.0, alpha_pr = g.alpha_pr * M_PI / 180.0;
  const double top = g.d_f / 2.0 + g.p_r * std::cos(alpha_pr) / std::tan(alpha_n - alpha_pr) +
                     g.rho * (1.0 - std::sin(alpha_pr));
  const double slope = 2.0 * (std::tan(alpha_n) - std::tan(alpha_pr));
  const struct { float thinning; bool protuberance_sets_it; } cases[] = {{0.003f, true}, {0.005f, true}, {0.2f, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.thinning);
    g.s_ft = g.s_t - c.thinning;
    ToothProfile p;
    const float form = g.generate(p);
    const double r_form = radius(p[125]);
    if (c.protuberance_sets_it) {
      const double r_cross = top - c.thinning / slope;  // protuberance thickness equals the finished one
      ASSERT_GT(r_cross, r_form + 2e-4);
      EXPECT_NEAR(form / 2.0, r_cross, (top - r_form) / 999.0 + 3e-5);
    } else {
      EXPECT_NEAR(form / 2.0, r_form, 3e-5);
    }
  }
}

// A protuberance is zero or positive; a negative one is no protuberance at all.
TEST(ToothProfile, NegativeProtuberanceIsNone) {
  Gear g;
  g.s_ft = 3.0f;
  ToothProfile a, b;
  const float form_a = g.generate(a);
  g.p_r = -0.1f;
  const float form_b = g.generate(b);
  EXPECT_EQ(form_a, form_b);
  for (int i = 0; i < 500; ++i) {
    EXPECT_EQ(a[i].x, b[i].x) << i;
    EXPECT_EQ(a[i].y, b[i].y) << i;
  }
}

// Every call writes the whole outline: the wheel after the pinion leaves only the wheel's outline.
TEST(ToothProfile, EachCallWritesWholeOutline) {
  Gear pinion, wheel;
  wheel.z = 60, wheel.d_f = 115.0f, wheel.d_a = 124.0f;
  pinion.z = 8, pinion.d_f = 11.0f, pinion.d_a = 20.0f;
  ToothProfile alone = filled_with_nan(), after = filled_with_nan();
  wheel.generate(alone);
  pinion.generate(after);
  wheel.generate(after);
  for (int i = 0; i < 500; ++i) {
    EXPECT_EQ(alone[i].x, after[i].x) << i;
    EXPECT_EQ(alone[i].y, after[i].y) << i;
  }
}

// Inputs that make no gear end in a finite number of steps and still write every point and the form
// diameter (each starts as a marker value the generator never writes).
TEST(ToothProfile, NonFiniteInputsTerminate) {
  constexpr float kMarker = -12345.0f;
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 0.0f}) {
    SCOPED_TRACE(bad);
    Gear g;
    g.m_n = bad;
    ToothProfile p;
    for (auto& q : p.points) q = {kMarker, kMarker};
    float form = kMarker;
    generate_tooth_profile(g.input(), &form, p);
    EXPECT_NE(form, kMarker);
    int unwritten = 0;
    for (const auto& q : p.points) unwritten += q.x == kMarker || q.y == kMarker;
    EXPECT_EQ(unwritten, 0);
  }
}

TEST(ToothProfile, SampleTakesListedPointsAndMirrors) {
  Gear g;
  g.c = 0.2f;
  g.s_at = g.involute_tip_thickness() * 0.9f;
  ToothProfile p;
  g.generate(p);
  ProfilePoint s[kProfileSamplePoints];
  sample_profile_points(p, s);
  const int idx[20] = {0, 12, 24, 40, 55, 70, 85, 100, 115, 130, 145, 160, 175, 190, 205, 220, 223, 224, 236, 249};
  for (int k = 0; k < 20; ++k) {
    EXPECT_EQ(s[k].x, p[idx[k]].x) << k;
    EXPECT_EQ(s[k].y, p[idx[k]].y) << k;
    EXPECT_EQ(s[20 + k].x, -s[19 - k].x) << k;
    EXPECT_EQ(s[20 + k].y, s[19 - k].y) << k;
  }
}
