#include "plane_geometry.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

void IntersectLineCircle(const Point& p1, const Point& p2, const Point& centre, double radius, Point& q1,
                         Point& q2) {
  q1 = Point{};
  q2 = Point{};
  if (p1.x == p2.x) {
    // A vertical line has no slope: x is fixed, the meetings lie above and below the centre.
    const double dx = p1.x - centre.x;
    const double h2 = radius * radius - dx * dx;
    if (h2 >= 0.0) {
      const double h = std::sqrt(h2);
      q1.x = p1.x;
      q1.y = centre.y + h;
      q2.x = p1.x;
      q2.y = centre.y - h;
    } else {
      q1.x = q2.x = p1.x;
      q1.y = q2.y = centre.y;
    }
    return;
  }
  const double k = (p1.y - p2.y) / (p1.x - p2.x);
  const double c = (p1.y - centre.y) - k * (p1.x - centre.x);
  const double D = 4.0 * k * k * c * c - 4.0 * (c * c - radius * radius) * (k * k + 1.0);
  if (D >= 0.0) {
    const double root = std::sqrt(D);
    const double u1 = (root - 2.0 * k * c) / (2.0 * (k * k + 1.0));
    const double u2 = (-2.0 * k * c - root) / (2.0 * (k * k + 1.0));
    q1.x = centre.x + u1;
    q1.y = centre.y + c + k * u1;
    q2.x = centre.x + u2;
    q2.y = centre.y + c + k * u2;
  } else {
    const double u = -2.0 * k * c / (2.0 * (k * k + 1.0));
    q1.x = q2.x = centre.x + u;
    q1.y = q2.y = centre.y + c + k * u;
  }
}

Point SegmentNormalShift(const Point& p1, const Point& p2, double distance) {
  const double dx = p1.x - p2.x;
  const double dy = p1.y - p2.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0.0) return Point{};  // no direction: the points stay where they are
  return Point{distance * -dy / length, distance * dx / length, 0.0};
}

void OffsetSegment(Point& p1, Point& p2, double distance) {
  const Point s = SegmentNormalShift(p1, p2, distance);
  p1.x += s.x;
  p1.y += s.y;
  p2.x += s.x;
  p2.y += s.y;
}

Point FlankArcCentre(const Point& a, const Point& b, double r_b) {
  // The bisector: the segment's middle and that point moved along the segment's normal.
  const Point mid{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, 0.0};
  Point from = a, along = mid;
  OffsetSegment(from, along, 1.0);
  Point q1, q2;
  IntersectLineCircle(mid, along, Point{}, r_b, q1, q2);
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double side = dx * (q1.y - a.y) - dy * (q1.x - a.x);  // below 0: right of a -> b
  const double length2 = dx * dx + dy * dy;
  if (side < 0.0 || !(length2 > 0.0)) return q1;
  const double f = 2.0 * side / length2;  // mirrored across the segment's line
  return Point{q1.x + f * dy, q1.y - f * dx, 0.0};
}

void RotateToHost(Point& p, double angle_degrees) {
  const double t = angle_degrees * 0.017453292519943278;
  const double x = (p.x * std::cos(t) - p.y * std::sin(t)) * 0.01;
  const double y = (p.x * std::sin(t) + p.y * std::cos(t)) * 0.01;
  p.x = x;
  p.y = y;
  p.z = 0.0;
}

void TurnAboutOrigin(Point& p, double t) {
  const double c = std::cos(t), s = std::sin(t);
  const double x = p.x * c - p.y * s;
  p.y = p.x * s + p.y * c;
  p.x = x;
}

}  // namespace tandrel
