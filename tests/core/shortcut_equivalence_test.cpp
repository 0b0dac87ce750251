// The profile generator and the ball measurement take shortcuts: the meeting search passes blocks of
// steps inside the base circle and evaluates several steps at a time with functions taken from
// quantities at hand, the stored outline comes from double evaluations whose error bound settles the
// single-precision rounding, and the ball descent passes blocks of steps that can neither stop nor
// enlarge. None of them may change a single bit of the results. These tests compare the routines with
// the plain step-by-step evaluations over a wide set of gears.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "design_data.h"
#include "measurement.h"
#include "numeric.h"
#include "tooth_profile.h"
#include "tooth_profile_setup.h"

using namespace morvell;

namespace {

// The plain generator: from the generator's own set-up and its plain step evaluations, every step of
// the meeting search evaluated directly in double with its quantities rounded to single precision, the
// stored outline in extended precision.
namespace plain {

void plain_tooth_profile(const ToothProfileInput& in, float* form_diameter, ToothProfile& profile) {
  const ProfileGenerator g = set_up_profile_generator(in);
  const ld r_b = g.r_b, r_f = g.r_f, r_a = g.r_a, s_t = g.s_t, s_ft = g.s_ft;

  // Meeting search: walk the generating angle down from the bottom of the fillet in geometric steps
  // and keep the last point where the fillet still approaches or undercuts the involute flank. The
  // quantities of a step are held in single precision.
  ld r_form = r_b;
  ld phi_meet = in.pressure_angle;
  {
    const float r_b_f = static_cast<float>(r_b);
    float x_inv_prev = 0.0f;
    float x_prev = 0.0f;
    // Generating angles 90 * (phi_min / 90)^(i / 9999), a geometric progression from 90 degrees.
    const double log_ratio = std::log(static_cast<double>(g.phi_min / 90.0L));
    for (int i = 0; i < kMeetingSearchSteps; ++i) {
      const float phi = static_cast<float>(90.0 * std::exp(log_ratio * i / (kMeetingSearchSteps - 1)));
      float x = 0.0f, y = 0.0f;
      fillet_point<float>(g, phi, x, y);
      const float radius = static_cast<float>(std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y));
      if (radius < r_b_f) {
        phi_meet = phi;  // the fillet reaches at least this far; no involute exists here
      } else if (radius > r_b_f) {
        const float s = flank_thickness_at<float>(g, radius);
        const float psi = involute_half_angle<float>(g, radius, s);
        const float x_inv = static_cast<float>(radius * std::sin(static_cast<double>(psi)));
        const float d = x_inv - x;
        const float d_prev = x_inv_prev - x_prev;
        if (d >= d_prev || d >= 0.0f) {
          r_form = radius;
          phi_meet = phi;
        } else if (x_inv_prev > 0.0f) {
          break;  // the fillet moves away from the flank again
        }
        if (i >= 1) {
          x_inv_prev = x_inv;
          x_prev = x;
        }
      }
    }
  }

  // Stored fillet: from the root circle (generating angle 90 degrees) up to the meeting point.
  for (int j = 0; j < kFilletPoints; ++j) {
    const ld phi = 90.0L * std::pow(phi_meet / 90.0L, static_cast<ld>(j) / (kFilletPoints - 1));
    ld x = 0, y = 0;
    fillet_point<ld>(g, phi, x, y);
    profile[kFilletFirst + j] = {static_cast<float>(x), static_cast<float>(y)};
  }

  // Highest radius of the protuberance zone where the protuberance flank still lies inside the
  // finished flank.
  ld r_alt = r_b;
  if (g.protuberance && r_form < g.protuberance_top) {
    for (int i = 0; i < kProtuberanceSteps; ++i) {
      const ld radius = r_form + i * (g.protuberance_top - r_form) / (kProtuberanceSteps - 1);
      const ld s = s_t - g.protuberance_slope * (g.protuberance_top - radius);
      if (s_ft > s) r_alt = radius;
    }
  }

  // Involute flank in equal radius steps from the form radius to the start of the tip chamfer.
  const ld top = flank_top(r_a, r_form, in.chamfer_depth);
  for (int i = 0; i < kFlankPoints; ++i) {
    const ld radius = r_form + i * (top - r_form) / (kFlankPoints - 1);
    const ld psi = involute_half_angle<ld>(g, radius, flank_thickness_at<ld>(g, radius));
    profile[kFlankFirst + i] = {static_cast<float>(radius * std::sin(psi)), static_cast<float>(radius * std::cos(psi))};
  }
  const ld gamma_a = in.tip_thickness / (2.0L * r_a);
  profile[kTipCorner] = {static_cast<float>(r_a * std::sin(gamma_a)), static_cast<float>(r_a * std::cos(gamma_a))};

  // Form diameter. With a protuberance whose flank is not removed by the finishing, the protuberance
  // undercut sets it.
  ld form = r_form;
  if (g.protuberance) {
    const ld thinning = s_t - s_ft;
    if (!(thinning > 2.0L * g.p_r / (std::cos(g.alpha_n) * g.cos_beta))) form = std::fmax(r_form, r_alt);
  }
  if (form_diameter) *form_diameter = static_cast<float>(2.0L * form);

  // Root arc from the middle of the tooth space to the start of the fillet.
  const ld half_space = kPi / in.teeth;
  const ld gamma_0 = std::atan(static_cast<ld>(profile[kFilletFirst].x) / profile[kFilletFirst].y);
  for (int i = 0; i <= kArcSteps; ++i) {
    const ld gamma = half_space - i * (half_space - gamma_0) / kArcSteps;
    profile[kRootArcFirst + i] = {static_cast<float>(r_f * std::sin(gamma)), static_cast<float>(r_f * std::cos(gamma))};
  }

  // Tip arc from the tip corner to the tooth centre line.
  const ld gamma_l = std::atan(static_cast<ld>(profile[kTipCorner].x) / profile[kTipCorner].y);
  for (int k = 0; k <= kArcSteps; ++k) {
    const ld gamma = static_cast<ld>(kArcSteps - k) / kArcSteps * gamma_l;
    profile[kTipArcFirst + k] = {static_cast<float>(r_a * std::sin(gamma)), static_cast<float>(r_a * std::cos(gamma))};
  }

  // The other flank: the mirror image, running on from the tip to the middle of the other tooth space.
  for (int k = 0; k < kHalfPoints; ++k) {
    const ProfilePoint p = profile[kHalfPoints - 1 - k];
    profile[kHalfPoints + k] = {-p.x, p.y};
  }
}

// The plain ball measurement: the descent step by step.
constexpr long kMaxDescentSteps = 1000000;
constexpr int kMaxEnlargements = 200;

// Gear quantities shared by the routines.
struct GearBasics {
  ld d;            // reference diameter
  ld alpha_t;      // transverse pressure angle (rad)
  ld d_b;          // base diameter
  ld beta_b;       // base helix angle (rad)
  ld cos_alpha_n;
};

GearBasics gear_basics(int32_t z, float normal_module, float helix_angle, float pressure_angle) {
  GearBasics g{};
  const ld beta = deg_to_rad(helix_angle);
  const ld alpha_n = deg_to_rad(pressure_angle);
  g.d = z * static_cast<ld>(normal_module) / std::cos(beta);
  g.alpha_t = std::atan(std::tan(alpha_n) / std::cos(beta));
  g.d_b = g.d * std::cos(g.alpha_t);
  g.beta_b = checked_asin(std::sin(beta) * std::cos(alpha_n));
  g.cos_alpha_n = std::cos(alpha_n);
  return g;
}

// Ball factor: for an odd number of teeth the two balls are not diametrically opposite.
ld ball_factor(int32_t z) { return (z % 2 != 0) ? std::cos(deg_to_rad(90.0L / z)) : 1.0L; }

// Normal tooth thickness that puts balls of diameter D with measurement M at their place on the flanks,
// from the pressure angle alpha_M at the ball centres:
// inv alpha_M = inv alpha_t + s_t / d + D / (d_b cos beta_b) - pi / z, written in the normal section.
ld normal_thickness_of_alpha(int32_t z, ld m_n, ld inv_alpha_t, ld cos_alpha_n, ld alpha_m, ld ball) {
  return z * m_n * (kPi / z + involute(alpha_m) - inv_alpha_t) - ball / cos_alpha_n;
}

float plain_measurement_over_balls(DesignData& d, int32_t z, float* ball_diameter, float thickness, float normal_module,
                             float helix_angle, float pressure_angle, float tip_diameter, float* contact_diameter,
                             float* centre_diameter) {
  const GearBasics g = gear_basics(z, normal_module, helix_angle, pressure_angle);
  d.base_helix_angle = static_cast<float>(rad_to_deg(g.beta_b));
  const ld beta_b = deg_to_rad(d.base_helix_angle);

  const float ball_at_entry = *ball_diameter;
  // A failed search leaves the ball as it was and no measurement.
  auto fail = [&]() {
    *ball_diameter = ball_at_entry;
    if (contact_diameter) *contact_diameter = nan_f();
    if (centre_diameter) *centre_diameter = nan_f();
    return nan_f();
  };
  if (!(std::isfinite(ball_at_entry) && ball_at_entry > 0.0f) || !std::isfinite(thickness)) return fail();

  const ld m_n = normal_module;
  const ld c_z = ball_factor(z);
  const ld inv_alpha_t = involute(g.alpha_t);
  const ld target = thickness * std::cos(deg_to_rad(helix_angle));  // normal thickness s_n

  auto thickness_at = [&](ld m, ld ball) {
    const ld alpha_m = checked_acos(g.d_b * c_z / (m - ball));
    return normal_thickness_of_alpha(z, m_n, inv_alpha_t, g.cos_alpha_n, alpha_m, ball);
  };

  // Coarse search downwards in steps of 0.01 ball diameters; a ball whose centre drops inside the base
  // circle is too small and is enlarged by 5 %, and the search starts again above the tip.
  long steps = 0;
  int enlargements = 0;
  long ball_steps = 0;  // steps with the present ball
  bool stopped_at_start = false;
  ld ball = *ball_diameter;
  ld m = tip_diameter + 2.0L * ball;
  for (;;) {
    if (++steps > kMaxDescentSteps) {
      return fail();
    }
    ++ball_steps;
    m -= 0.01L * ball;
    if (g.d_b * c_z / (m - ball) > 1.0L || m - ball <= 0.0L) {
      if (++enlargements > kMaxEnlargements) {
        return fail();
      }
      *ball_diameter = static_cast<float>(1.05L * *ball_diameter);
      ball = *ball_diameter;
      m = tip_diameter + 2.0L * ball;
      ball_steps = 0;
      continue;
    }
    const ld s_n = thickness_at(m, ball);
    if (s_n <= target) {
      stopped_at_start = ball_steps == 1;
      break;
    }
    if (std::isnan(s_n)) {  // nothing of the gear is defined: no step can place the ball
      return fail();
    }
  }

  // Bisection between that measurement and the step above it, or, when the first step stops, between
  // two points above the start found in widening steps.
  ld lo = m, hi = m + 0.01L * ball;
  ld widening = 0.01L * ball;
  int up = 0;
  for (ld s_n = stopped_at_start ? thickness_at(hi, ball) : target; !(s_n >= target); s_n = thickness_at(hi, ball)) {
    if (std::isnan(s_n) || ++up > 200) return fail();
    lo = hi;
    widening *= 2.0L;
    hi = lo + widening;
  }
  m = bisect<ld>(lo, hi, 5e-5L * m_n, [&](ld mid) { return thickness_at(mid, ball) < target; });

  const ld alpha_m = checked_acos(g.d_b * c_z / (m - ball));
  // The ball touches the flank half a ball diameter along the surface normal, whose transverse part is
  // D cos(beta_b) / 2.
  const ld alpha_c = std::atan(std::tan(alpha_m) - ball * std::cos(beta_b) / g.d_b);
  if (contact_diameter) *contact_diameter = static_cast<float>(g.d_b / std::cos(alpha_c));
  if (centre_diameter) *centre_diameter = static_cast<float>((m - ball) / c_z);
  return static_cast<float>(m);
}

}  // namespace plain

// One gear of the comparison, with its tooth data derived from the rack proportions.
struct Case {
  int32_t z;
  float m_n, alpha_n, beta, x, rho_coeff, thinning, protuberance, chamfer;
};

struct Derived {
  float s_t, s_ft, d_f, d_a, rho, p_r, s_at, c;
};

Derived derive(const Case& g) {
  const double cos_beta = std::cos(g.beta * M_PI / 180.0);
  const double d = g.z * g.m_n / cos_beta;
  Derived r{};
  r.s_t = static_cast<float>(g.m_n / cos_beta * (M_PI / 2 + 2 * g.x * std::tan(g.alpha_n * M_PI / 180.0)));
  r.s_ft = r.s_t - g.thinning * g.m_n;
  r.d_f = static_cast<float>(d - 2.5 * g.m_n + 2 * g.x * g.m_n);
  r.d_a = static_cast<float>(d + 2 * g.m_n + 2 * g.x * g.m_n);
  r.rho = g.rho_coeff * g.m_n;
  r.p_r = g.protuberance * g.m_n;
  r.s_at = 0.3f * g.m_n;
  r.c = g.chamfer * g.m_n;
  return r;
}

// A fixed table of awkward gears (undercut, full-radius root, root above the base circle, thinning that
// removes the protuberance, steep helix) and a seeded spread over the usual ranges.
std::vector<Case> cases() {
  std::vector<Case> list = {
      {20, 2, 20, 0, 0, 0.38f, 0, 0, 0},          {8, 2, 20, 0, 0, 0.38f, 0, 0, 0},
      {60, 2, 20, 0, 0, 0.38f, 0, 0, 0},          {6, 3, 20, 0, -0.5f, 0.38f, 0.04f, 0, 0},
      {23, 2.25f, 20, 27.88f, 0.25f, 0.3f, 0, 0, 0}, {32, 2.25f, 20, 27.88f, -0.25f, 0.3f, 0.02f, 0, 0},
      {23, 2.25f, 20, 15, 0.25f, 0.3f, 0.02f, 0.027f, 0.09f}, {17, 3, 14.5f, 0, 0, 0.6f, 0.1f, 0, 0},
      {41, 3, 25, 30, 0.5f, 0.45f, 0, 0.02f, 0},  {19, 3, 20, 20, 0.3f, 0.38f, 0.2f, 0.04f, 0},
      {300, 7, 20, 45, 1.0f, 0.25f, 0.01f, 0.05f, 0}, {12, 0.5f, 20, 35, 0.75f, 0.38f, 0.04f, 0, 0.1f},
      {150, 1, 22.5f, 8, -0.3f, 0.2f, 0, 0, 0},   {9, 4, 20, 10, 0.1f, 0.05f, 0, 0.06f, 0.05f},
  };
  uint64_t seed = 0x9e3779b97f4a7c15ULL;
  auto next = [&seed]() {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<float>(static_cast<double>(seed >> 40) / 16777216.0);
  };
  for (int n = 0; n < 120; ++n) {
    Case c{};
    c.z = 6 + static_cast<int32_t>(next() * 295);
    c.m_n = 0.3f + next() * 12;
    c.alpha_n = 12 + next() * 18;
    c.beta = next() * 45;
    c.x = -0.5f + next() * 1.5f;
    c.rho_coeff = 0.05f + next() * 0.5f;
    c.thinning = next() < 0.5f ? 0.0f : next() * 0.1f;
    c.protuberance = next() < 0.6f ? 0.0f : next() * 0.06f;
    c.chamfer = next() < 0.6f ? 0.0f : next() * 0.15f;
    list.push_back(c);
  }
  return list;
}

std::string describe(const Case& c) {
  return "z " + std::to_string(c.z) + ", m_n " + std::to_string(c.m_n) + ", alpha_n " + std::to_string(c.alpha_n) +
         ", beta " + std::to_string(c.beta) + ", x " + std::to_string(c.x) + ", rho/m " + std::to_string(c.rho_coeff) +
         ", thinning/m " + std::to_string(c.thinning) + ", p_r/m " + std::to_string(c.protuberance) + ", c/m " +
         std::to_string(c.chamfer);
}

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(ShortcutEquivalence, ToothOutlineAndFormDiameterMatchThePlainGeneration) {
  for (const Case& c : cases()) {
    const Derived d = derive(c);
    for (const bool finished : {true, false}) {
      const float s_ft = finished ? d.s_ft : d.s_t;
      ToothProfile fast{}, slow{};
      float form_fast = -1.0f, form_slow = -1.0f;
      const ToothProfileInput in{c.z, c.m_n, d.s_t, s_ft, c.alpha_n, c.beta, d.d_f, d.d_a, c.x, d.rho, d.p_r, 0.01f,
                                 d.s_at, d.c};
      generate_tooth_profile(in, &form_fast, fast);
      plain::plain_tooth_profile(in, &form_slow, slow);
      ASSERT_TRUE(same_bits(form_fast, form_slow)) << describe(c) << ": " << form_fast << " against " << form_slow;
      for (int i = 0; i < kProfilePointCount; ++i) {
        ASSERT_TRUE(same_bits(fast[i].x, slow[i].x) && same_bits(fast[i].y, slow[i].y))
            << describe(c) << ", point " << i << ": (" << fast[i].x << ", " << fast[i].y << ") against ("
            << slow[i].x << ", " << slow[i].y << ")";
      }
    }
  }
}

TEST(ShortcutEquivalence, BallMeasurementMatchesThePlainDescent) {
  // Ball sizes from far too small (many enlargements) to large, nominal and thinned thickness.
  for (const Case& c : cases()) {
    const Derived d = derive(c);
    for (const float ball_coeff : {0.3f, 1.0f, 1.8f, 3.5f}) {
      for (const float thickness : {d.s_t, d.s_ft}) {
        DesignData fast_data, slow_data;
        fast_data.default_ball_diameter = slow_data.default_ball_diameter = 0;
        float ball_fast = ball_coeff * c.m_n, ball_slow = ball_fast;
        float contact_fast = 0, centre_fast = 0, contact_slow = 0, centre_slow = 0;
        const float m_fast = measurement_over_balls(fast_data, c.z, &ball_fast, thickness, c.m_n, c.beta, c.alpha_n,
                                                    d.d_a, &contact_fast, &centre_fast);
        const float m_slow = plain::plain_measurement_over_balls(slow_data, c.z, &ball_slow, thickness, c.m_n, c.beta,
                                                                 c.alpha_n, d.d_a, &contact_slow, &centre_slow);
        EXPECT_TRUE(same_bits(m_fast, m_slow) && same_bits(ball_fast, ball_slow) &&
                    same_bits(contact_fast, contact_slow) && same_bits(centre_fast, centre_slow) &&
                    fast_data.default_ball_diameter == slow_data.default_ball_diameter &&
                    same_bits(fast_data.base_helix_angle, slow_data.base_helix_angle))
            << describe(c) << ", ball " << ball_coeff << " m_n, thickness " << thickness << ": M " << m_fast
            << " against " << m_slow << ", ball " << ball_fast << " against " << ball_slow;
      }
    }
  }
}

// Inputs that the windows never let through still take the same road: the shortcuts decline NaN,
// infinite, zero and negative quantities, a helix beyond 90 degrees, a protuberance zone without end
// and balls too small to move, and leave them to the plain evaluation, domain-error reports included.
bool same_value(float a, float b) { return (std::isnan(a) && std::isnan(b)) || same_bits(a, b); }

struct Reports {
  int count = 0;
  DomainErrorReporter previous;
  Reports() { previous = set_domain_error_reporter([this](const std::string&) { ++count; }); }
  ~Reports() { set_domain_error_reporter(previous); }
};

TEST(ShortcutEquivalence, OddInputsMatchThePlainRoutines) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  // z, m_n, s_t, s_ft, alpha_n, beta, d_f, d_a, x, rho, p_r, alpha_pr, s_at, c
  const ToothProfileInput outlines[] = {
      {20, 2, 3.1416f, 3.1416f, 20, 0, 35, 44, 0, 0.76f, 0, 0.01f, 0.6f, 0},        // the worked spur gear
      {20, 2, nan, 3.1416f, 20, 0, 35, 44, 0, 0.76f, 0, 0.01f, 0.6f, 0},            // thickness not a number
      {20, 2, 3.1416f, 3.1416f, 20, 0, 35, inf, 0, 0.76f, 0, 0.01f, 0.6f, 0},       // infinite tip
      {20, 2, 3.1416f, 3.1416f, 20, 0, -35, 44, 0, 0.76f, 0, 0.01f, 0.6f, 0},       // negative root
      {20, 2, 3.1416f, 3.1416f, 20, 0, -0.0f, 44, 0, 0.76f, 0, 0.01f, 0.6f, 0},     // root at the centre, -0
      {0, 2, 3.1416f, 3.1416f, 20, 0, 35, 44, 0, 0.76f, 0, 0.01f, 0.6f, 0},         // no teeth
      {-20, 2, 3.1416f, 3.1416f, 20, 0, 35, 44, 0, 0.76f, 0, 0.01f, 0.6f, 0},       // negative teeth
      {3, 2, 3.1416f, 3.0f, 20, 0, 1, 10, 0, 0.76f, 0, 0.01f, 0.6f, 0},             // three teeth, deep undercut
      {20, 2, 3.1416f, 3.1416f, 20, 89.5f, 4000, 4600, 0, 0.76f, 0, 0.01f, 0.6f, 0},  // steep helix
      {20, 2, 3.1416f, 3.1416f, 20, 120, -35, -44, 0, 0.76f, 0, 0.01f, 0.6f, 0},    // helix beyond 90 degrees
      {20, 2, 3.1416f, 3.1416f, 20, 0, 35, 44, 0, 0, 0, 0.01f, 0.6f, 0},            // sharp rack tip
      {20, 2, 3.1416f, 3.1416f, 20, 0, 35, 44, 0, -0.76f, 0, 0.01f, 0.6f, 0},       // negative rack tip radius
      {20, 2, 3.1416f, 3.0f, 20, 0, 35, 44, 0, 10, 0, 0.01f, 0.6f, 0},              // full radius far past the clamp
      {20, 2, 3.1416f, 3.1f, 20, 0, 35, 44, 0, 0.76f, 0.1f, 20, 0.6f, 0},           // protuberance zone without end
      {20, 2, 3.1416f, 3.1f, 20, 0, 35, 44, 0, 0.76f, 0.1f, -5, 0.6f, 0},           // negative protuberance angle
      {20, 2, 3.1416f, 3.5f, 1, 0, 35, 44, 0, 0.76f, 0.05f, 0.01f, 0.6f, 0},        // thicker flank, 1 degree
      {20, 2, 3.1416f, 0.5f, 20, 0, 35, 44, 0, 0.76f, 0.05f, 0.01f, 0.6f, 30},      // chamfer below the root
      {20, 2, 3.1416f, 3.1416f, 20, 0, 44, 35, 0, 0.76f, 0, 0.01f, 0.6f, 0},        // root above the tip
      {200000, 1, 1.5708f, 1.5708f, 20, 10, 203080, 203095, 0, 0.38f, 0, 0.01f, 0.3f, 0},  // huge gear
  };
  for (const ToothProfileInput& a : outlines) {
    ToothProfile fast{}, slow{};
    float form_fast = -1.0f, form_slow = -1.0f;
    int reports_fast = 0, reports_slow = 0;
    {
      Reports r;
      generate_tooth_profile(a, &form_fast, fast);
      reports_fast = r.count;
    }
    {
      Reports r;
      plain::plain_tooth_profile(a, &form_slow, slow);
      reports_slow = r.count;
    }
    const std::string what = "z " + std::to_string(a.teeth) + ", beta " + std::to_string(a.helix_angle) + ", rho " +
                             std::to_string(a.fillet_radius) + ", p_r " + std::to_string(a.protuberance) + ", s_t " +
                             std::to_string(a.thickness);
    EXPECT_EQ(reports_fast, reports_slow) << what;
    ASSERT_TRUE(same_value(form_fast, form_slow)) << what << ": " << form_fast << " against " << form_slow;
    for (int i = 0; i < kProfilePointCount; ++i) {
      ASSERT_TRUE(same_value(fast[i].x, slow[i].x) && same_value(fast[i].y, slow[i].y)) << what << ", point " << i;
    }
  }

  struct Ball {
    int32_t z;
    float ball, s_t, m_n, beta, alpha_n, d_a;
  };
  const Ball balls[] = {
      {20, 1e-6f, 3.1416f, 2, 0, 20, 44},  // too small to move the measurement: ends at the step cap
      {20, nan, 3.1416f, 2, 0, 20, 44},    {20, -3.6f, 3.1416f, 2, 0, 20, 44},  {20, 3.6f, inf, 2, 0, 20, 44},
      {0, 3.6f, 3.1416f, 2, 0, 20, 44},    {-21, 3.6f, 3.1416f, 2, 0, 20, 44},  {-1, 8.7f, 9.5f, 5.2f, 44, 12, 77},  {20, 3.6f, 3.1416f, nan, 0, 20, 44},
      {20, 3.6f, 3.1416f, 2, 89.5f, 20, 4600}, {20, 3.6f, 3.1416f, 2, 0, 20, inf}, {20, 3.6f, -20, 2, 0, 20, 44},
  };
  for (const Ball& b : balls) {
    DesignData fast_data, slow_data;
    fast_data.default_ball_diameter = slow_data.default_ball_diameter = 0;
    float ball_fast = b.ball, ball_slow = b.ball;
    float contact_fast = 0, centre_fast = 0, contact_slow = 0, centre_slow = 0, m_fast = 0, m_slow = 0;
    int reports_fast = 0, reports_slow = 0;
    {
      Reports r;
      m_fast = measurement_over_balls(fast_data, b.z, &ball_fast, b.s_t, b.m_n, b.beta, b.alpha_n, b.d_a, &contact_fast,
                                      &centre_fast);
      reports_fast = r.count;
    }
    {
      Reports r;
      m_slow = plain::plain_measurement_over_balls(slow_data, b.z, &ball_slow, b.s_t, b.m_n, b.beta, b.alpha_n, b.d_a,
                                                   &contact_slow, &centre_slow);
      reports_slow = r.count;
    }
    EXPECT_TRUE(same_value(m_fast, m_slow) && same_value(ball_fast, ball_slow) &&
                same_value(contact_fast, contact_slow) && same_value(centre_fast, centre_slow) &&
                fast_data.default_ball_diameter == slow_data.default_ball_diameter && reports_fast == reports_slow)
        << "z " << b.z << ", ball " << b.ball << ", s_t " << b.s_t << ": M " << m_fast << " against " << m_slow;
  }
}

}  // namespace
