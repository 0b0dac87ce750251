// Plane routines of the outline generator.
#include <gtest/gtest.h>

#include <cmath>

#include "plane_geometry.h"

namespace tandrel {
namespace {

TEST(PlaneGeometry, LineMeetsCircle) {
  struct Case {
    const char* what;
    Point p1, p2, centre;
    double radius;
    Point q1, q2;
  } cases[] = {
      {"horizontal through the centre", {-2, 0}, {2, 0}, {0, 0}, 1, {1, 0}, {-1, 0}},
      {"slanted, circle off the origin", {0, 1}, {1, 2}, {1, 1}, 1, {1, 2}, {0, 1}},
      {"vertical line: upper meeting first", {0.6, -5}, {0.6, 5}, {0, 0}, 1, {0.6, 0.8}, {0.6, -0.8}},
      {"horizontal line missing: the foot", {-1, 2}, {1, 2}, {0, 0}, 1, {0, 2}, {0, 2}},
      {"vertical line missing: the foot", {3, 0}, {3, 1}, {0, 0}, 1, {3, 0}, {3, 0}},
  };
  for (const Case& c : cases) {
    Point q1, q2;
    IntersectLineCircle(c.p1, c.p2, c.centre, c.radius, q1, q2);
    EXPECT_NEAR(q1.x, c.q1.x, 1e-12) << c.what;
    EXPECT_NEAR(q1.y, c.q1.y, 1e-12) << c.what;
    EXPECT_NEAR(q2.x, c.q2.x, 1e-12) << c.what;
    EXPECT_NEAR(q2.y, c.q2.y, 1e-12) << c.what;
  }
}

TEST(PlaneGeometry, OffsetMovesAlongTheCounterClockwiseNormal) {
  Point a{0, 1}, b{0, 0};
  OffsetSegment(a, b, 2.0);  // direction (0, 1) turned counter-clockwise is (-1, 0)
  EXPECT_DOUBLE_EQ(a.x, -2.0);
  EXPECT_DOUBLE_EQ(a.y, 1.0);
  EXPECT_DOUBLE_EQ(b.x, -2.0);
  EXPECT_DOUBLE_EQ(b.y, 0.0);
  Point c{1, 1}, d{1, 1};
  OffsetSegment(c, d, 1.0);  // no direction: nothing moves
  EXPECT_DOUBLE_EQ(c.x, 1.0);
  EXPECT_DOUBLE_EQ(d.y, 1.0);
}

TEST(PlaneGeometry, RotateToHostTurnsAndScales) {
  Point p{100.0, 0.0, 7.0};
  RotateToHost(p, 90.0);
  EXPECT_NEAR(p.x, 0.0, 1e-14);
  EXPECT_NEAR(p.y, 1.0, 1e-15);
  EXPECT_EQ(p.z, 0.0);
  Point q{0.0, 50.0};
  RotateToHost(q, -30.0);  // clockwise
  EXPECT_NEAR(q.x, 0.25, 1e-15);
  EXPECT_NEAR(q.y, 0.5 * std::cos(M_PI / 6), 1e-15);
}

TEST(PlaneGeometry, TurnAboutOriginIsCounterClockwiseForPositiveAngles) {
  Point p{0.0, 2.0, 0.0};
  TurnAboutOrigin(p, -M_PI / 2.0);  // a quarter turn clockwise
  EXPECT_NEAR(p.x, 2.0, 1e-15);
  EXPECT_NEAR(p.y, 0.0, 1e-15);
  Point q{3.0, 4.0, 0.0};
  TurnAboutOrigin(q, M_PI / 6.0);
  EXPECT_NEAR(std::atan2(q.y, q.x), std::atan2(4.0, 3.0) + M_PI / 6.0, 1e-15);
  EXPECT_NEAR(std::hypot(q.x, q.y), 5.0, 1e-14);
}

// The arc about the centre, drawn clockwise from a to b, sweeps the short way round: its centre lies
// to the right of a -> b, as far from both ends.
TEST(PlaneGeometry, FlankArcCentreGivesTheShortClockwiseArc) {
  struct Case {
    const char* what;
    Point a, b;
  } cases[] = {
      {"a flank segment: the bisector meets the base circle near the centre of curvature", {0.0, 1.0}, {0.01, 1.1}},
      {"a segment whose line passes the centre on its left: the meeting is mirrored", {0.1, 1.0}, {-0.1, 1.05}},
  };
  for (const Case& c : cases) {
    const Point centre = FlankArcCentre(c.a, c.b, 1.0);
    const double ra = std::hypot(c.a.x - centre.x, c.a.y - centre.y);
    EXPECT_NEAR(std::hypot(c.b.x - centre.x, c.b.y - centre.y), ra, 1e-12) << c.what;
    double sweep = std::atan2(c.a.y - centre.y, c.a.x - centre.x) - std::atan2(c.b.y - centre.y, c.b.x - centre.x);
    while (sweep <= 0.0) sweep += 2.0 * M_PI;
    EXPECT_LT(sweep, M_PI) << c.what;
  }
}

}  // namespace
}  // namespace tandrel
