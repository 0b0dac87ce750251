#include "measurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "design_data.h"
#include "numeric.h"

using namespace morvell;

namespace {

struct RecordingReporter {
  std::vector<std::string> seen;
  DomainErrorReporter previous;
  RecordingReporter() { previous = set_domain_error_reporter([this](const std::string& s) { seen.push_back(s); }); }
  ~RecordingReporter() { set_domain_error_reporter(previous); }
};

constexpr double kDeg = M_PI / 180.0;
double inv(double a) { return std::tan(a) - a; }

// Exact measurement over balls from the textbook relation
// inv alpha_M = inv alpha_t + s_t / d + D / (d_b cos beta_b) - pi / z, solved by bisection in double.
double exact_ball_measurement(int z, double ball, double s_t, double m_n, double beta_deg, double alpha_n_deg) {
  const double beta = beta_deg * kDeg, alpha_n = alpha_n_deg * kDeg;
  const double d = z * m_n / std::cos(beta);
  const double alpha_t = std::atan(std::tan(alpha_n) / std::cos(beta));
  const double d_b = d * std::cos(alpha_t);
  const double beta_b = std::asin(std::sin(beta) * std::cos(alpha_n));
  const double target = inv(alpha_t) + s_t / d + ball / (d_b * std::cos(beta_b)) - M_PI / z;
  double lo = 0.0, hi = M_PI / 2 - 1e-9;
  for (int i = 0; i < 200; ++i) {
    const double mid = (lo + hi) / 2;
    (inv(mid) < target ? lo : hi) = mid;
  }
  const double c_z = (z % 2) ? std::cos(M_PI / (2.0 * z)) : 1.0;
  return d_b * c_z / std::cos(lo) + ball;
}

struct BallCase {
  const char* name;
  int32_t z;
  float ball, s_t, m_n, beta, alpha_n, d_a;
};

const BallCase kBallCases[] = {
    {"spur even", 20, 3.6f, static_cast<float>(M_PI), 2.0f, 0.0f, 20.0f, 44.0f},
    {"spur odd", 21, 3.6f, static_cast<float>(M_PI), 2.0f, 0.0f, 20.0f, 46.0f},
    {"helical shifted", 20, 3.6f, 3.553864f, 2.0f, 15.0f, 20.0f, 46.2f},
    {"helical odd thinned", 37, 5.4f, 4.6f, 3.0f, 27.88f, 20.0f, 135.0f},
    {"fine pitch many teeth", 151, 0.9f, 0.75f, 0.5f, 10.0f, 25.0f, 77.6f},
};

}  // namespace

// The worked gears: measurement, contact and ball-centre diameters, ball left alone.
TEST(Measurement, OverBallsOfWorkedGears) {
  DesignData d{};
  float ball = 3.6f, contact = 0, centre = 0;
  const float m = measurement_over_balls(d, 20, &ball, static_cast<float>(M_PI), 2.0f, 0.0f, 20.0f, 44.0f, &contact,
                                         &centre);
  EXPECT_NEAR(m, 45.26403, 1e-4);
  EXPECT_NEAR(contact, 40.242, 1e-3);
  EXPECT_NEAR(centre, 41.664, 1e-3);
  EXPECT_EQ(ball, 3.6f);
  EXPECT_EQ(d.default_ball_diameter, 0);
  EXPECT_NEAR(thickness_from_ball_measurement(20, m, ball, 2.0f, 0.0f, 20.0f), M_PI, 5e-5);

  const float m21 =
      measurement_over_balls(d, 21, &ball, static_cast<float>(M_PI), 2.0f, 0.0f, 20.0f, 46.0f, &contact, &centre);
  EXPECT_NEAR(m21, 47.150, 1e-3);
  EXPECT_NEAR(centre, (m21 - 3.6) / std::cos(M_PI / 42.0), 1e-4);
}

// A ball whose centre would fall inside the base circle is enlarged by 5 % steps until it sits on the
// flanks; the routine marks nothing of the design (whether the balls are default ones stays as it was).
// A very small ball takes many steps at each size and still gets its measurement.
TEST(Measurement, TooSmallBallIsEnlarged) {
  // z 20, m 2, x 0: a ball sits on the flanks (its centre on or outside the base circle) from
  // D = d_b cos(beta_b) (pi / z - inv alpha_t - s_t / d) on, about 2.392 mm.
  const double d_b = 40 * std::cos(20 * kDeg);
  const double least = d_b * (M_PI / 20 - inv(20 * kDeg) - M_PI / 40);
  for (const float entered : {2.0f, 0.2f, 0.01f}) {
    SCOPED_TRACE(entered);
    const int enlargements = int(std::ceil(std::log(least / entered) / std::log(1.05)));
    DesignData d{};
    float ball = entered, contact = 0, centre = 0;
    const float m = measurement_over_balls(d, 20, &ball, static_cast<float>(M_PI), 2.0f, 0.0f, 20.0f, 44.0f,
                                           &contact, &centre);
    EXPECT_NEAR(ball, entered * std::pow(1.05, enlargements), 2e-5 * ball);
    EXPECT_EQ(d.default_ball_diameter, 0);
    EXPECT_NEAR(m, exact_ball_measurement(20, ball, M_PI, 2.0, 0.0, 20.0), 5e-5 * 2.0 + 1e-5);
  }
  float ball = 2.0f;
  DesignData d{};
  EXPECT_NEAR(measurement_over_balls(d, 20, &ball, static_cast<float>(M_PI), 2.0f, 0.0f, 20.0f, 44.0f, nullptr,
                                     nullptr),
              40.421, 1e-3);
  EXPECT_NEAR(ball, 2.0 * std::pow(1.05, 4), 1e-5);
}

// Within 5e-5 m_n of the exact solution, with the base helix angle written and the thickness recovered
// by the inverse.
TEST(Measurement, OverBallsMatchesExactSolutionAndInverse) {
  for (const auto& c : kBallCases) {
    SCOPED_TRACE(c.name);
    DesignData d{};
    float ball = c.ball, contact = 0, centre = 0;
    const float m = measurement_over_balls(d, c.z, &ball, c.s_t, c.m_n, c.beta, c.alpha_n, c.d_a, &contact, &centre);
    EXPECT_EQ(ball, c.ball);
    const double exact = exact_ball_measurement(c.z, c.ball, c.s_t, c.m_n, c.beta, c.alpha_n);
    EXPECT_NEAR(m, exact, 5e-5 * c.m_n + 2e-7 * exact);  // plus the rounding to single precision
    EXPECT_NEAR(d.base_helix_angle, std::asin(std::sin(c.beta * kDeg) * std::cos(c.alpha_n * kDeg)) / kDeg, 1e-5);
    EXPECT_NEAR(thickness_from_ball_measurement(c.z, m, ball, c.m_n, c.beta, c.alpha_n), c.s_t, 1e-4 * c.m_n);
    // The ball touches the flank between the base circle and the ball-centre circle.
    const double d_b = c.z * c.m_n / std::cos(c.beta * kDeg) *
                       std::cos(std::atan(std::tan(c.alpha_n * kDeg) / std::cos(c.beta * kDeg)));
    EXPECT_GT(contact, d_b);
    EXPECT_LT(contact, centre);
  }
}

// A large ball on a thin, short tooth sits higher than the search's start (tip diameter plus two balls):
// its measurement is found up there, not returned as about that start, and the thickness worked back
// from it is the tooth's. The first case is the wheel of 165 teeth, module 11.28, that measured
// 1 938.558 mm over 36.97 mm balls instead of 1 946.76.
TEST(Measurement, LargeBallAboveTheSearchStart) {
  const struct {
    int32_t z;
    float m_n, x, tip_addendum, ball_coeff, beta;
  } cases[] = {{165, 11.28f, -0.28f, 0.15f, 36.97f / 11.28f, 0},
               {40, 2, -0.3f, 0.2f, 3.5f, 0},
               {21, 4, -0.4f, -0.1f, 3.5f, 0},
               {33, 2.5f, -0.5f, 0.0f, 3.5f, 20}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.z);
    const double beta = c.beta * kDeg;
    const float s_t = float(c.m_n * (M_PI / 2 + 2 * c.x * std::tan(20 * kDeg)) / std::cos(beta));
    const float d_a = float(c.m_n * (c.z / std::cos(beta) + 2 * c.tip_addendum));
    const float entered = c.ball_coeff * c.m_n;
    const double exact = exact_ball_measurement(c.z, entered, s_t, c.m_n, c.beta, 20);
    ASSERT_GT(exact, d_a + 2.0 * entered);
    DesignData d{};
    float ball = entered, contact = 0, centre = 0;
    const float m = measurement_over_balls(d, c.z, &ball, s_t, c.m_n, c.beta, 20, d_a, &contact, &centre);
    EXPECT_EQ(ball, entered);
    EXPECT_NEAR(m, exact, 5e-5 * c.m_n + 2e-7 * exact);
    EXPECT_NEAR(thickness_from_ball_measurement(c.z, m, ball, c.m_n, c.beta, 20), s_t, 1e-4 * c.m_n);
    EXPECT_GT(contact, d_a) << "the ball touches the involute beyond the tip";
  }
}

// Inputs the search cannot place a ball for end at once (or at the search's bound) with NaN and leave
// the ball and its flag as they were.
TEST(Measurement, BallSearchGuardsTerminate) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const struct { const char* name; float ball, s_t, m_n, d_a; } cases[] = {
      {"zero ball", 0.0f, 3.14f, 2.0f, 44.0f},          {"negative ball", -3.6f, 3.14f, 2.0f, 44.0f},
      {"NaN ball", nan, 3.14f, 2.0f, 44.0f},            {"infinite ball", inf, 3.14f, 2.0f, 44.0f},
      {"NaN thickness", 3.6f, nan, 2.0f, 44.0f},        {"infinite thickness", 3.6f, -inf, 2.0f, 44.0f},
      {"NaN module", 3.6f, 3.14f, nan, 44.0f},          {"NaN tip", 3.6f, 3.14f, 2.0f, nan},
      {"ball too fine to step", 1e-30f, 3.14f, 2.0f, 44.0f},
      {"thickness past any sensible ball", 3.6f, -1e6f, 2.0f, 44.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DesignData d{};
    float ball = c.ball, contact = 0, centre = 0;
    const float m = measurement_over_balls(d, 20, &ball, c.s_t, c.m_n, 0.0f, 20.0f, c.d_a, &contact, &centre);
    EXPECT_TRUE(std::isnan(m));
    EXPECT_TRUE(std::isnan(contact));
    EXPECT_TRUE(std::isnan(centre));
    if (std::isnan(c.ball)) {
      EXPECT_TRUE(std::isnan(ball));
    } else {
      EXPECT_EQ(ball, c.ball);
    }
    EXPECT_EQ(d.default_ball_diameter, 0);
  }
}

// A measurement that puts the ball centres inside the base circle implies no thickness: NaN, and no
// domain error is reported for it.
TEST(Measurement, ThicknessFromBallsBelowBaseCircleIsNaN) {
  RecordingReporter rec;
  EXPECT_TRUE(std::isnan(thickness_from_ball_measurement(20, 40.0f, 3.6f, 2.0f, 0.0f, 20.0f)));
  EXPECT_TRUE(std::isnan(thickness_from_ball_measurement(20, 1.0f, 3.6f, 2.0f, 0.0f, 20.0f)));
  EXPECT_TRUE(std::isnan(thickness_from_ball_measurement(21, 41.0f, 3.6f, 2.0f, 0.0f, 20.0f)));
  EXPECT_TRUE(rec.seen.empty());
  // Just on the base circle there is a (thin) tooth.
  const double d_b = 40.0 * std::cos(20.0 * kDeg);
  EXPECT_TRUE(std::isfinite(thickness_from_ball_measurement(20, static_cast<float>(d_b + 3.6 + 1e-4), 3.6f, 2.0f,
                                                            0.0f, 20.0f)));
}

// Default teeth spanned: trunc(1.75 x + z_n / 9 + 0.5), and never fewer than one.
TEST(Measurement, DefaultSpanTeeth) {
  const struct { float x, z_n; int32_t k; } cases[] = {
      {0, 27, 3}, {0.5f, 27, 4}, {0, 20, 2}, {1.0f, 100, 13},
      {-0.2f, 7, 1},   // the pinion of 7/40 with x1 -0.2: 0.928 truncates to 0
      {-1.0f, 6, 1},   // -0.58 truncates to 0
      {-1.0f, 2, 1}};  // -1.03 truncates to -1
  for (const auto& c : cases) EXPECT_EQ(default_span_teeth_count(c.x, c.z_n), c.k) << c.x << " " << c.z_n;
}

TEST(Measurement, SpanOfWorkedGearsAndInverse) {
  const struct { int32_t k; float s_t, beta; double w, contact; } cases[] = {
      {2, static_cast<float>(M_PI), 0.0f, 9.4166, -1},
      {3, static_cast<float>(M_PI), 0.0f, 15.3209, 40.590},
      {3, 3.553864f, 15.0f, 15.6527, 41.619},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.k);
    float contact = 0;
    const float w = span_measurement(c.k, 20, c.s_t, 2.0f, c.beta, 20.0f, &contact);
    EXPECT_NEAR(w, c.w, 1e-4);
    if (c.contact > 0) {
      EXPECT_NEAR(contact, c.contact, 1e-3);
    }
    EXPECT_NEAR(thickness_from_span(c.k, 20, 2.0f, c.beta, 20.0f, w), c.s_t, 4e-6);
  }
  // Span from profile shift: m_n cos a_n ((k - 0.5) pi + z inv a_t) + 2 x m_n sin a_n for a spur gear.
  const double x = 0.3, a = 20.0 * kDeg;
  const float s_t = static_cast<float>(M_PI + 2.0 * x * 2.0 * std::tan(a));
  EXPECT_NEAR(span_measurement(4, 20, s_t, 2.0f, 0.0f, 20.0f, nullptr),
              2.0 * std::cos(a) * (3.5 * M_PI + 20.0 * inv(a)) + 2.0 * x * 2.0 * std::sin(a), 2e-5);
}
