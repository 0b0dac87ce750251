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

TEST(PlaneGeometry, ShiftAlongCircleKeepsRadiusAndMovesByTheChord) {
  for (double chord : {0.5, -0.5, 3.0}) {
    Point p{-2.0, 9.0};
    const Point before = p;
    ShiftAlongCircle(p, chord);
    EXPECT_NEAR(std::hypot(p.x, p.y), std::hypot(before.x, before.y), 1e-12) << chord;
    EXPECT_NEAR(std::hypot(p.x - before.x, p.y - before.y), std::fabs(chord), 1e-12) << chord;
    EXPECT_GT(p.x, before.x) << "toward +x whatever the sign";
  }
  Point still{1.0, 2.0};
  ShiftAlongCircle(still, 0.0);
  EXPECT_EQ(still.x, 1.0);
  EXPECT_EQ(still.y, 2.0);
}

}  // namespace
}  // namespace tandrel
