// Plane geometry of the gear outline: meeting of a line with a circle, offsetting a segment, turning a
// point about the gear centre, and turning a point into the host's frame.
#pragma once

namespace tandrel {

// A point of the outline; the plane routines use x and y, z is 0 in the host.
struct Point {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// The two meetings of the line through p1 and p2 with the circle (centre, radius): q1 is the one with
// the larger x (the upper one on a vertical line). When the line misses the circle both are the foot of
// the perpendicular from the centre.
void IntersectLineCircle(const Point& p1, const Point& p2, const Point& centre, double radius, Point& q1,
                         Point& q2);

// The shift that OffsetSegment applies: distance along p1 - p2 turned 90 degrees counter-clockwise.
Point SegmentNormalShift(const Point& p1, const Point& p2, double distance);

// Moves both points by the distance along the segment's normal (p1 - p2 turned counter-clockwise).
void OffsetSegment(Point& p1, Point& p2, double distance);

// Turns the point about the origin by the angle in degrees (counter-clockwise for positive angles),
// multiplies x and y by 0.01 and sets z to 0.
void RotateToHost(Point& p, double angle_degrees);

// The centre of the arc drawn clockwise from a to b in place of a segment of an involute flank that
// unwinds clockwise from the base circle of radius r_b about the origin: where the segment's
// perpendicular bisector meets the base circle (q1; the foot of the perpendicular from the origin when
// it misses), near the involute's centre of curvature. The convex flank has that centre on the tooth's
// side of the segment (to the right of a -> b), so that the arc is the short one; a centre that
// rounding put on the other side is mirrored across the segment, which keeps it as far from both ends.
Point FlankArcCentre(const Point& a, const Point& b, double r_b);

// Turns the point about the origin by the angle in radians, counter-clockwise for positive angles.
void TurnAboutOrigin(Point& p, double angle_radians);

}  // namespace tandrel
