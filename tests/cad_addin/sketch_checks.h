// Checks on a received sketch: closed outlines, radii, arcs about the gear centre.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "recording_host.h"

namespace tandrel::test {

struct SketchSummary {
  int open_ends = 0;          // entity ends that meet no other end
  int crowded_ends = 0;       // entity ends that meet more than one other end
  double min_radius = 1e300;  // of every point of the outline, metres
  double max_radius = 0.0;
  int lines = 0, arcs = 0, circles = 0, spline_points = 0, extrusions = 0;
  std::vector<double> centre_arc_radii;  // arcs about the gear centre
};

// Entity ends closer than `meet` (metres) are taken as one point.
inline SketchSummary Summarise(const std::vector<host::SketchEntity>& sketch, double meet = 1e-9) {
  using K = host::SketchEntity::Kind;
  SketchSummary s;
  std::vector<Point> ends;
  std::vector<Point> spline;
  auto radius = [&](const Point& p) {
    const double r = std::hypot(p.x, p.y);
    s.min_radius = std::min(s.min_radius, r);
    s.max_radius = std::max(s.max_radius, r);
  };
  for (const auto& e : sketch) {
    switch (e.kind) {
      case K::Line:
        ++s.lines;
        ends.push_back(e.a), ends.push_back(e.b);
        radius(e.a), radius(e.b);
        break;
      case K::Arc:
        ++s.arcs;
        ends.push_back(e.b), ends.push_back(e.c);
        radius(e.b), radius(e.c);
        if (std::hypot(e.a.x, e.a.y) < 1e-15) s.centre_arc_radii.push_back(std::hypot(e.b.x, e.b.y));
        break;
      case K::Circle:
        ++s.circles;
        break;
      case K::SplinePoint:
        ++s.spline_points;
        spline.push_back(e.a);
        radius(e.a);
        if (e.count == 0) {
          ends.push_back(spline.front()), ends.push_back(spline.back());
          spline.clear();
        }
        break;
      case K::Extrusion:
        ++s.extrusions;
        break;
    }
  }
  // Ends in the order of x: the ends that meet one lie next to it in that order.
  std::sort(ends.begin(), ends.end(), [](const Point& a, const Point& b) { return a.x < b.x; });
  std::vector<int> meets(ends.size(), 0);
  for (size_t i = 0; i < ends.size(); ++i)
    for (size_t j = i + 1; j < ends.size() && ends[j].x - ends[i].x < meet; ++j)
      if (std::hypot(ends[i].x - ends[j].x, ends[i].y - ends[j].y) < meet) ++meets[i], ++meets[j];
  for (int m : meets) {
    if (m == 0) ++s.open_ends;
    if (m > 1) ++s.crowded_ends;
  }
  return s;
}

// The sweep of an arc from its start to its end about its centre, in its direction: radians in (0, 2 pi].
inline double ArcSweep(const host::SketchEntity& e) {
  double a = std::atan2(e.c.y - e.a.y, e.c.x - e.a.x) - std::atan2(e.b.y - e.a.y, e.b.x - e.a.x);
  if (e.count < 0) a = -a;
  while (a <= 0.0) a += 2.0 * M_PI;
  return a;
}

inline int CountNear(const std::vector<double>& values, double target, double tolerance) {
  int n = 0;
  for (double v : values)
    if (std::fabs(v - target) < tolerance) ++n;
  return n;
}

}  // namespace tandrel::test
