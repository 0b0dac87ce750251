#include "sketch_export.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "file_writing.h"

namespace tandrel::host {

namespace {

constexpr double kMillimetresPerMetre = 1000.0;

struct Xy {
  double x, y;
};

// The points of an arc from its start toward its end about its centre, in the direction given. The
// radius is the start's distance from the centre, as a CAD host takes it: an end that lies off that
// circle is not reached, and the gap it leaves in the outline shows.
std::vector<Xy> ArcPoints(const SketchEntity& e) {
  const double cx = e.a.x, cy = e.a.y;
  const double r = std::hypot(e.b.x - cx, e.b.y - cy);
  const double a0 = std::atan2(e.b.y - cy, e.b.x - cx);
  const double a1 = std::atan2(e.c.y - cy, e.c.x - cx);
  double sweep = e.count >= 0 ? a1 - a0 : a0 - a1;
  while (sweep <= 0.0) sweep += 2.0 * M_PI;
  if (sweep > 2.0 * M_PI) sweep -= 2.0 * M_PI;
  const int steps = std::clamp(int(sweep / (M_PI / 180.0)) + 1, 2, 720);
  std::vector<Xy> pts;
  for (int i = 0; i <= steps; ++i) {
    const double f = double(i) / steps;
    const double angle = a0 + (e.count >= 0 ? 1.0 : -1.0) * sweep * f;
    pts.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
  }
  return pts;
}

std::vector<std::vector<Xy>> Paths(const std::vector<SketchEntity>& sketch, std::vector<std::pair<Xy, double>>& circles) {
  std::vector<std::vector<Xy>> paths;
  std::vector<Xy> spline;
  for (const SketchEntity& e : sketch) {
    switch (e.kind) {
      case SketchEntity::Kind::Line:
        paths.push_back({{e.a.x, e.a.y}, {e.b.x, e.b.y}});
        break;
      case SketchEntity::Kind::Arc:
        paths.push_back(ArcPoints(e));
        break;
      case SketchEntity::Kind::Circle:
        circles.push_back({{e.a.x, e.a.y}, e.value});
        break;
      case SketchEntity::Kind::SplinePoint:
        spline.push_back({e.a.x, e.a.y});
        if (e.count <= 0) {
          paths.push_back(spline);
          spline.clear();
        }
        break;
      case SketchEntity::Kind::Extrusion:
        break;
    }
  }
  if (!spline.empty()) paths.push_back(spline);
  return paths;
}

}  // namespace

bool WriteSketchSvg(const std::vector<SketchEntity>& sketch, const std::string& path) {
  std::vector<std::pair<Xy, double>> circles;
  const auto paths = Paths(sketch, circles);
  double x0 = std::numeric_limits<double>::max(), y0 = x0, x1 = -x0, y1 = -x0;
  auto grow = [&](double x, double y) {
    x0 = std::min(x0, x);
    x1 = std::max(x1, x);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
  };
  for (const auto& p : paths)
    for (const Xy& q : p) grow(q.x * kMillimetresPerMetre, q.y * kMillimetresPerMetre);
  for (const auto& [c, r] : circles) {
    grow((c.x - r) * kMillimetresPerMetre, (c.y - r) * kMillimetresPerMetre);
    grow((c.x + r) * kMillimetresPerMetre, (c.y + r) * kMillimetresPerMetre);
  }
  if (x0 > x1) x0 = y0 = -1.0, x1 = y1 = 1.0;
  const double margin = std::max(x1 - x0, y1 - y0) * 0.05 + 1e-6;
  x0 -= margin, y0 -= margin, x1 += margin, y1 += margin;
  const double stroke = std::max(x1 - x0, y1 - y0) / 800.0;
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.precision(10);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"" << int(800.0 * (y1 - y0) / (x1 - x0))
      << "\" viewBox=\"" << x0 << ' ' << -y1 << ' ' << (x1 - x0) << ' ' << (y1 - y0) << "\">\n";
  out << "<rect x=\"" << x0 << "\" y=\"" << -y1 << "\" width=\"" << (x1 - x0) << "\" height=\"" << (y1 - y0)
      << "\" fill=\"white\"/>\n";
  out << "<g transform=\"scale(1,-1)\" fill=\"none\" stroke-width=\"" << stroke << "\">\n";
  for (const auto& [c, r] : circles)
    out << "<circle cx=\"" << c.x * kMillimetresPerMetre << "\" cy=\"" << c.y * kMillimetresPerMetre << "\" r=\""
        << r * kMillimetresPerMetre << "\" stroke=\"#1f77b4\"/>\n";
  for (const auto& p : paths) {
    out << "<polyline stroke=\"black\" points=\"";
    for (const Xy& q : p) out << q.x * kMillimetresPerMetre << ',' << q.y * kMillimetresPerMetre << ' ';
    out << "\"/>\n";
  }
  out << "</g>\n</svg>\n";
  return morvell::replace_file(path, out.str()).ok();
}

bool WriteSketchDxf(const std::vector<SketchEntity>& sketch, const std::string& path) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.precision(12);
  auto pair = [&](int code, const auto& value) { out << code << "\r\n" << value << "\r\n"; };
  pair(0, "SECTION");
  pair(2, "ENTITIES");
  std::vector<Xy> spline;
  for (const SketchEntity& e : sketch) {
    const double k = kMillimetresPerMetre;
    switch (e.kind) {
      case SketchEntity::Kind::Line:
        pair(0, "LINE");
        pair(8, "GEAR");
        pair(10, e.a.x * k), pair(20, e.a.y * k), pair(30, 0.0);
        pair(11, e.b.x * k), pair(21, e.b.y * k), pair(31, 0.0);
        break;
      case SketchEntity::Kind::Arc: {
        // DXF arcs run counter-clockwise from the start angle to the end angle. The radius is the
        // start's distance from the centre, as the plug-in sent it: an end off that circle leaves a
        // visible gap instead of being pulled onto it.
        const Point& from = e.count >= 0 ? e.b : e.c;
        const Point& to = e.count >= 0 ? e.c : e.b;
        double a0 = std::atan2(from.y - e.a.y, from.x - e.a.x) * 180.0 / M_PI;
        double a1 = std::atan2(to.y - e.a.y, to.x - e.a.x) * 180.0 / M_PI;
        if (a0 < 0) a0 += 360.0;
        if (a1 < 0) a1 += 360.0;
        pair(0, "ARC");
        pair(8, "GEAR");
        pair(10, e.a.x * k), pair(20, e.a.y * k), pair(30, 0.0);
        pair(40, std::hypot(e.b.x - e.a.x, e.b.y - e.a.y) * k);
        pair(50, a0), pair(51, a1);
        break;
      }
      case SketchEntity::Kind::Circle:
        pair(0, "CIRCLE");
        pair(8, "GEAR");
        pair(10, e.a.x * k), pair(20, e.a.y * k), pair(30, 0.0);
        pair(40, e.value * k);
        break;
      case SketchEntity::Kind::SplinePoint:
        spline.push_back({e.a.x * k, e.a.y * k});
        if (e.count <= 0) {
          pair(0, "POLYLINE");
          pair(8, "GEAR");
          pair(66, 1);
          pair(70, 0);
          for (const Xy& q : spline) {
            pair(0, "VERTEX");
            pair(8, "GEAR");
            pair(10, q.x), pair(20, q.y), pair(30, 0.0);
          }
          pair(0, "SEQEND");
          spline.clear();
        }
        break;
      case SketchEntity::Kind::Extrusion:
        break;
    }
  }
  pair(0, "ENDSEC");
  pair(0, "EOF");
  return morvell::replace_file(path, out.str()).ok();
}

}  // namespace tandrel::host
