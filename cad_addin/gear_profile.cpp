#include "gear_profile.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

namespace {

std::u16string Padded(int before, std::u16string_view text, int after) {
  return std::u16string(size_t(before), u' ') + std::u16string(text) + std::u16string(size_t(after), u' ');
}

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

double Radius(const Point& p) { return std::hypot(p.x, p.y); }

Point Plus(const Point& a, const Point& b) { return Point{a.x + b.x, a.y + b.y, 0.0}; }
Point Minus(const Point& a, const Point& b) { return Point{a.x - b.x, a.y - b.y, 0.0}; }
Point Middle(const Point& a, const Point& b) { return Point{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, 0.0}; }
Point Scaled(const Point& p, double f) { return Point{p.x * f, p.y * f, 0.0}; }

// The point of the circle about the origin of radius r on the ray through p.
Point OnRay(const Point& p, double r) {
  const double len = Radius(p);
  return len > 0.0 ? Scaled(p, r / len) : Point{0.0, r, 0.0};
}

// Mirror across the tooth centre line, which leaves the origin psi_b clockwise from +y.
Point Mirror(const Point& p, double psi_b_degrees) {
  const double t = 2.0 * psi_b_degrees * kDegreesToRadians;
  const double c = std::cos(t), s = std::sin(t);
  return Point{-(p.x * c - p.y * s), p.x * s + p.y * c, 0.0};
}

// The meeting of the line through p1 and p2 with the circle about the origin that lies in the first
// quadrant, else the other meeting.
Point FirstQuadrantMeeting(const Point& p1, const Point& p2, const Point& centre, double radius) {
  Point q1, q2;
  IntersectLineCircle(p1, p2, centre, radius, q1, q2);
  return (q1.x > 0.0 && q1.y > 0.0) ? q1 : q2;
}

// Where the flank from `inner` (inside the circle about the origin) to `outer` (outside it or on it)
// crosses that circle: of the line's two meetings the one reached going from `inner` towards `outer`,
// never the far meeting behind `inner` across the gear.
Point FlankCrossing(const Point& inner, const Point& outer, double radius) {
  Point q1, q2;
  IntersectLineCircle(inner, outer, Point{}, radius, q1, q2);
  const double dx = outer.x - inner.x, dy = outer.y - inner.y;
  auto along = [&](const Point& q) { return (q.x - inner.x) * dx + (q.y - inner.y) * dy; };
  return along(q1) >= along(q2) ? q1 : q2;
}

// Meeting of two lines; `parallel` is set when they have no single meeting.
Point LineMeeting(const Point& a1, const Point& a2, const Point& b1, const Point& b2, bool& parallel) {
  const double dax = a2.x - a1.x, day = a2.y - a1.y;
  const double dbx = b2.x - b1.x, dby = b2.y - b1.y;
  const double den = dax * dby - day * dbx;
  const double scale = std::hypot(dax, day) * std::hypot(dbx, dby);
  parallel = !(std::fabs(den) > 1e-14 * scale);
  if (parallel) return Point{};
  const double t = ((b1.x - a1.x) * dby - (b1.y - a1.y) * dbx) / den;
  return Point{a1.x + t * dax, a1.y + t * day, 0.0};
}

bool InBox(const Point& q, const Point& a, const Point& b) {
  return q.x >= std::min(a.x, b.x) && q.x <= std::max(a.x, b.x) && q.y >= std::min(a.y, b.y) &&
         q.y <= std::max(a.y, b.y);
}

int ProgressOf(const Point& p, double r_b, double r_a) {
  const double v = std::hypot(p.x, p.y - r_b) / (r_a - r_b) * 90.0;
  if (!(v > 0.0)) return 0;
  return v >= 100.0 ? 100 : static_cast<int>(std::floor(v));
}

void Report(const ProfileHooks& hooks, const std::u16string& text) {
  if (hooks.message) hooks.message(text);
}
void Progress(const ProfileHooks& hooks, int value) {
  if (hooks.progress) hooks.progress(value);
}
bool EscapeHeld(const ProfileHooks& hooks) { return hooks.escape_held && hooks.escape_held(); }

// Whether the base, tip and root circles give a flank of at least two points: the involute never gets
// farther than r_b * sqrt(1 + (pi/2)^2) from the centre, so a tip circle at or beyond that is never
// reached.
bool CirclesGiveFlank(double r_b, double r_a, double r_f) {
  if (!(std::isfinite(r_b) && std::isfinite(r_a) && std::isfinite(r_f))) return false;
  if (!(r_b > 0.0 && r_f > 0.0 && r_a > r_b)) return false;
  if (r_b <= r_f && r_f >= r_a) return false;
  const double q = r_a / r_b;
  return std::sqrt(q * q - 1.0) < 1.5707963267948966;
}

// The smallest step of the walk along the involute parameter, millimetres.
constexpr double kSmallestStep = 1e-8;

// A flank lower than the walk's smallest step cannot be resolved into points: such a gear (a module of
// 1e-300, say) is refused instead of being drawn at a scale where squares of lengths underflow.
bool FlankResolvable(double r_b, double r_a, double r_f) { return r_a - std::max(r_b, r_f) >= kSmallestStep; }

// The walk along the involute parameter.
struct Walk {
  double r_b, r_a, r_f, tol, step;
  bool root_reached = false;
};

enum class Trial { Goes, TooFar, Reached };

// The trial point at parameter ut after the point `prev` at parameter u: its chord deviates more than
// the tolerance, or it reaches the tip circle (or the root circle, first), or neither.
Trial TryParameter(const Walk& w, double u, const Point& prev, double ut) {
  const Point q = InvolutePoint(w.r_b, ut);
  const Point m = InvolutePoint(w.r_b, (u + ut) / 2.0);
  if (std::hypot(m.x - (prev.x + q.x) / 2.0, m.y - (prev.y + q.y) / 2.0) > w.tol) return Trial::TooFar;
  const double rq = Radius(q);
  if (rq >= w.r_a) return Trial::Reached;
  if (w.r_b <= w.r_f && !w.root_reached && rq >= w.r_f) return Trial::Reached;
  return Trial::Goes;
}

// The parameter of the next flank point after the point `prev` at parameter u. The trial parameters
// are u + k * step for k = 1, 2, ...; the first trial that deviates too far gives its parameter less
// one tolerance, the first that reaches the tip (or root) circle its own. Both conditions only grow
// with k, so the first such k is found by doubling k and then halving the interval, in a few dozen
// trials where stepping through them one by one took up to millions. False when no trial within
// reach ends the step.
bool Advance(const Walk& w, double u, const Point& prev, double& next) {
  double below = 0.0, k = 1.0;  // the trial at `below` goes on (k = 0 is the point itself)
  Trial t = TryParameter(w, u, prev, u + k * w.step);
  for (int doubling = 0; t == Trial::Goes; ++doubling) {
    if (doubling >= 1100 || !std::isfinite(u + 2.0 * k * w.step)) return false;
    below = k;
    k *= 2.0;
    t = TryParameter(w, u, prev, u + k * w.step);
  }
  while (k - below > 1.0) {
    const double middle = std::floor((below + k) / 2.0);
    // Far out (a flank of a module of 1e38) k and below can be neighbouring doubles more than one
    // apart: no trial lies between them, and k is the first that ends the step.
    if (!(middle > below && middle < k)) break;
    const Trial m = TryParameter(w, u, prev, u + middle * w.step);
    if (m == Trial::Goes) {
      below = middle;
    } else {
      k = middle;
      t = m;
    }
  }
  const double ut = u + k * w.step;
  next = t == Trial::TooFar ? ut - w.tol : ut;
  return true;
}

// How a walk along the flank ended.
enum class WalkEnd { TipReached, Escaped, StoreFull };

// The flank points of a walk from the base circle to the tip circle. With the base circle on or inside
// the root circle the flank starts at the root circle: `from_root` holds the point before the crossing
// (or the first point, when that already lies on the root circle) and every point after it.
struct FlankWalk {
  WalkEnd end = WalkEnd::TipReached;
  std::vector<Point> points;
  bool root_reached = false;
  size_t root_first = 0;  // the first point of the flank from the root circle
  size_t from_root = 0;   // its number of points
};

// Walks the involute from the base circle, a point per Advance, to the first point on or beyond the tip
// circle. Esc is polled before each point and the progress given after it; the walk stops when the
// store would overflow or no trial within reach ends a step.
FlankWalk WalkFlank(Walk w, const ProfileHooks& hooks) {
  FlankWalk walk;
  walk.points.reserve(kFlankStoreSize);
  std::vector<Point>& P = walk.points;
  double u = w.r_b;
  for (size_t k = 0;; ++k) {
    if (EscapeHeld(hooks)) {
      walk.end = WalkEnd::Escaped;
      return walk;
    }
    if (k >= size_t(kFlankStoreSize) || (k > 0 && !Advance(w, u, P[k - 1], u))) {
      walk.end = WalkEnd::StoreFull;
      return walk;
    }
    P.push_back(InvolutePoint(w.r_b, u));
    const Point& pk = P.back();
    Progress(hooks, ProgressOf(pk, w.r_b, w.r_a));
    const double rp = Radius(pk);
    if (w.r_b <= w.r_f) {
      if (!w.root_reached) {
        if (rp >= w.r_f) {
          w.root_reached = true;
          walk.root_first = k > 0 ? k - 1 : 0;  // a base circle on the root circle crosses at the first point
          walk.from_root = k - walk.root_first + 1;
        }
      } else {
        ++walk.from_root;
      }
    }
    if (rp >= w.r_a) break;
  }
  walk.root_reached = w.root_reached;
  return walk;
}

// Points closer together than this fraction of the tolerance make entities too short to draw.
constexpr double kShortestSegment = 0.01;
// Nor is anything shorter than this fraction of its distance from the gear centre drawn: far below it
// a length is the rounding of the points, and the sweep of an arc about the centre, which the host
// derives from the arc's ends, could run the other way round, all the way round the circle.
constexpr double kShortestRelative = 1e-10;

// The shortest entity drawn at the distance `radius` from the gear centre.
double ShortestEntity(double tol, double radius) {
  return std::max(kShortestSegment * tol, kShortestRelative * radius);
}

// Drops the inner points that lie closer than `shortest` to the point kept before them, and the last
// inner point when it lies that close to the end; both ends stay.
void DropShortSegments(std::vector<Point>& p, double shortest) {
  if (p.size() <= 2) return;
  std::vector<Point> kept{p.front()};
  for (size_t i = 1; i + 1 < p.size(); ++i)
    if (std::hypot(p[i].x - kept.back().x, p[i].y - kept.back().y) >= shortest) kept.push_back(p[i]);
  while (kept.size() > 1 && std::hypot(p.back().x - kept.back().x, p.back().y - kept.back().y) < shortest)
    kept.pop_back();
  kept.push_back(p.back());
  p = std::move(kept);
}

// The angle of p about the origin from the direction `from`, counter-clockwise positive, in (-pi, pi].
double AngleFrom(const Point& from, const Point& p) {
  return std::atan2(from.x * p.y - from.y * p.x, from.x * p.x + from.y * p.y);
}

// The angle (radians) by which the generated flank is turned clockwise about the gear centre for the
// backlash: half of it along the reference circle. The backlash is a clearance, so its sign is not
// read: a negative value thins the tooth as its absolute value does. NaN when there is no reference
// circle to measure it on or the backlash is no number; 0 without backlash.
double BacklashTurn(const ProfileInput& in) {
  if (in.bl == 0.0) return 0.0;
  if (!(in.r_ref > 0.0)) return std::nan("");
  return std::fabs(in.bl) / 2.0 / in.r_ref;
}

}  // namespace

std::u16string ToleranceTooSmallMessage() { return Padded(0, u"公差太小. 请输入一个大于 0 的值.", 43); }
std::u16string TooFewTeethMessage() { return Padded(0, u"齿数太小. 请输入一个大于等于 3 的值.", 55); }
std::u16string FlankStoreFullMessage() { return Padded(0, u"精度太高或基圆, 齿顶圆和齿根圆的关系不正确.", 78); }
std::u16string TipFilletOutOfRangeMessage() { return Padded(7, u"齿顶圆角超出范围.", 16); }
std::u16string TipFilletTooLargeMessage() { return Padded(4, u"齿顶圆角太大.", 13); }
std::u16string RootFilletTooLargeMessage() { return Padded(4, u"齿根圆角太大.", 14); }
std::u16string BacklashTooLargeMessage() { return Padded(4, u"齿轮侧隙太大.", 11); }
std::u16string TeethOverlapAtRootMessage() { return Padded(4, u"轮齿在齿根处重叠. 请减小变位系数或增大齿根圆直径.", 11); }
std::u16string PointedToothMessage() { return Padded(4, u"齿顶变尖. 请减小变位系数或齿顶圆直径.", 11); }
std::u16string GearTooSmallMessage() { return Padded(4, u"齿轮尺寸太小. 请输入更大的模数或直径.", 11); }
std::u16string TooManyEntitiesMessage() {
  return Padded(4, u"所有齿的图元太多 (超过 " + Widen(std::to_string(kMostGearEntities)) + u" 个). 请只绘制一个齿或增大公差.", 11);
}

Point InvolutePoint(double r_b, double u) {
  // In the ratio to the base radius, so that no square of a small or large length under- or overflows.
  // A parameter a rounding step below the base circle is the base point.
  const double q = u / r_b;
  const double t = std::atan(std::sqrt(std::max(q * q - 1.0, 0.0)));
  return Point{r_b * (std::sin(t) - t * std::cos(t)), r_b * (t * std::sin(t) + std::cos(t)), 0.0};
}

int CountFlankPoints(double tol, double r_b, double r_a, double r_f, const ProfileHooks& hooks) {
  Progress(hooks, 0);
  if (!(tol > 0.0)) {  // a step of zero or less would never move
    Report(hooks, ToleranceTooSmallMessage());
    return 0;
  }
  if (!CirclesGiveFlank(r_b, r_a, r_f)) {
    Report(hooks, FlankStoreFullMessage());
    return kFlankStoreSize;
  }
  if (!FlankResolvable(r_b, r_a, r_f)) {
    Report(hooks, GearTooSmallMessage());
    return 0;
  }
  const FlankWalk walk = WalkFlank(Walk{r_b, r_a, r_f, tol, tol}, hooks);
  if (walk.end == WalkEnd::Escaped) return -1;
  if (walk.end == WalkEnd::StoreFull) {
    Report(hooks, FlankStoreFullMessage());
    Progress(hooks, 100);
    return kFlankStoreSize;
  }
  Progress(hooks, 100);
  return int(walk.root_reached ? walk.from_root : walk.points.size());
}

int BuildToothOutline(const ProfileInput& in, const ProfileHooks& hooks, ToothOutline& out) {
  out = ToothOutline{};
  Progress(hooks, 0);
  if (!(in.tol > 0.0)) {
    Report(hooks, ToleranceTooSmallMessage());
    return 1;
  }
  if (in.z <= 2) {
    Report(hooks, TooFewTeethMessage());
    return 1;
  }
  const double r_b = in.r_b, r_a = in.r_a, r_f = in.r_f;
  double step = 0.01 * in.tol;
  if (!(step > kSmallestStep)) step = kSmallestStep;
  if (!CirclesGiveFlank(r_b, r_a, r_f)) {
    Report(hooks, FlankStoreFullMessage());
    return 1;
  }
  if (!FlankResolvable(r_b, r_a, r_f)) {
    Report(hooks, GearTooSmallMessage());
    return 1;
  }

  // Flank points from the base circle (or the root circle) to the tip circle.
  FlankWalk walk = WalkFlank(Walk{r_b, r_a, r_f, in.tol, step}, hooks);
  if (walk.end == WalkEnd::Escaped) return 1;
  if (walk.end == WalkEnd::StoreFull) {
    Report(hooks, FlankStoreFullMessage());
    return 1;
  }
  Progress(hooks, 100);
  std::vector<Point> P = std::move(walk.points);

  const Point origin{};
  if (r_b <= r_f) {
    P.erase(P.begin(), P.begin() + long(walk.root_first));
    P.resize(walk.from_root);
  }
  if (P.size() < 2) {
    Report(hooks, FlankStoreFullMessage());
    return 1;
  }
  // The flank from the root circle to the tip circle: its ends are where it crosses them. A first point
  // already on the root circle (the base point of a base circle on the root circle) stays.
  if (r_b <= r_f && Radius(P[0]) != r_f) P[0] = FlankCrossing(P[0], P[1], r_f);
  size_t n = P.size();
  if (Radius(P[n - 1]) != r_a) P[n - 1] = FlankCrossing(P[n - 2], P[n - 1], r_a);

  // Angles about the gear centre from the tooth centre line, toward the generated flank.
  const double psi = in.psi_b * kDegreesToRadians;
  const Point centre_dir{std::sin(psi), std::cos(psi), 0.0};
  const double half_space = 180.0 / in.z * kDegreesToRadians;  // the middle of the space beside the tooth

  // Backlash, half on each flank: the flank is turned about the gear centre by the angle that moves it
  // by half the backlash along the reference circle, so that it stays an involute of the base circle;
  // the base point and the radial line turn with it. Whether the tooth has a tip is decided on the
  // turned flank: when only the backlash takes the tip away, the backlash is too large.
  const double turn = BacklashTurn(in);
  if (!std::isfinite(turn)) {
    Report(hooks, BacklashTooLargeMessage());
    return 1;
  }

  // The tooth's half angles at the tip circle and at the foot of its involute, counted without turning
  // round: the angles below are taken between points and so only within a half turn, where a profile
  // shift of a whole number of turns of the tooth (x near k pi z / tan a) would draw another gear.
  {
    auto involute_at = [r_b](double r) {
      const double c = std::clamp(r_b / r, -1.0, 1.0);
      return std::tan(std::acos(c)) - std::acos(c);
    };
    const double half_at_tip = psi - involute_at(r_a);
    const double half_at_foot = psi - involute_at(std::max(r_b, r_f));
    if (!(half_at_tip > 0.0)) {
      Report(hooks, PointedToothMessage());
      return 1;
    }
    if (!(half_at_foot - turn < half_space)) {
      Report(hooks, TeethOverlapAtRootMessage());
      return 1;
    }
  }

  // A tooth whose flank crosses the tooth centre line below the tip circle has no tip to draw. Nor is
  // a tip or root arc drawn that is shorter than the shortest entity, whose sweep would rest on the
  // rounding of its ends: tip_least and root_least are the half angles of the shortest ones.
  const double tip_least = ShortestEntity(in.tol, r_a) / 2.0 / r_a;
  const double root_least = ShortestEntity(in.tol, r_f) / 2.0 / r_f;
  const double tip_angle = AngleFrom(centre_dir, P[n - 1]);
  if (!(tip_angle - turn >= tip_least)) {
    Report(hooks, tip_angle >= tip_least ? BacklashTooLargeMessage() : PointedToothMessage());
    return 1;
  }

  // Root side: a line parallel to the tooth centre line from the base point to the root circle when the
  // base circle lies outside it. When that line misses the root circle, the teeth are wider than the
  // root circle and overlap at it.
  ToothOutline::Side& s = out.side;
  s.base_point = Point{0.0, r_b, 0.0};
  out.radial_line = r_b > r_f;
  if (out.radial_line) {
    if (!(r_b * std::fabs(centre_dir.x) < r_f)) {
      Report(hooks, TeethOverlapAtRootMessage());
      return 1;
    }
    Point q1, q2;
    IntersectLineCircle(s.base_point, Minus(s.base_point, centre_dir), origin, r_f, q1, q2);
    if (q1.x < 0.0 && q1.y > 0.0)
      s.radial_root = q1;
    else if (q2.x < 0.0 && q2.y > 0.0)
      s.radial_root = q2;
    else
      s.radial_root = q1;
  }
  out.space_centre = Scaled(centre_dir, r_f);
  TurnAboutOrigin(out.space_centre, half_space);

  // The root end at or past the middle of the space: the tooth overlaps its neighbour there, and the
  // root arc between them would run all the way round.
  const double root_angle = AngleFrom(centre_dir, out.radial_line ? s.radial_root : P[0]);
  // The thinning turns the root end away from the middle, so a gear that overlaps only without its
  // backlash is still drawn.
  if (!(root_angle - turn <= half_space - root_least)) {
    Report(hooks, TeethOverlapAtRootMessage());
    return 1;
  }

  // The tooth is thinned before its fillets are fitted, so that every fillet touches the flank it is
  // drawn against and both its ends lie on its circle.
  if (turn != 0.0) {
    for (Point& p : P) TurnAboutOrigin(p, -turn);
    TurnAboutOrigin(s.base_point, -turn);
    if (out.radial_line) TurnAboutOrigin(s.radial_root, -turn);
  }
  s.root_end = out.radial_line ? s.radial_root : P[0];

  // Tip: the flank's end, or a fillet between flank and tip circle. A fillet radius below the shortest
  // entity draws a sharp corner: its arc would be a rounding step long, with centre and ends in one
  // point and a sweep that rounding decides.
  if (!(in.crk >= ShortestEntity(in.tol, r_a))) {
    s.tip_end = P[n - 1];
  } else {
    if (r_a <= in.crk) {
      Report(hooks, TipFilletOutOfRangeMessage());
      return 1;
    }
    bool found = false;
    for (size_t i = 0; i + 1 < n && !found; ++i) {
      Point a = P[i], b = P[i + 1];
      OffsetSegment(a, b, in.crk);
      Point q1, q2;
      IntersectLineCircle(a, b, origin, r_a - in.crk, q1, q2);
      const double lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
      Point centre;
      if (q1.y > lo && q1.y < hi) {
        centre = q1;
      } else if (q2.y > lo && q2.y < hi) {
        centre = q2;
      } else {
        continue;
      }
      found = true;
      Fillet& f = s.tip_fillet;
      f.centre = centre;
      f.end = OnRay(centre, r_a);
      f.flank = FirstQuadrantMeeting(P[i], P[i + 1], centre, in.crk);
      P.resize(i + 2);
      P[i + 1] = f.flank;
      n = P.size();
      s.tip_end = f.end;
    }
    if (!found || !(AngleFrom(centre_dir, s.tip_end) >= tip_least)) {
      Report(hooks, TipFilletTooLargeMessage());
      return 1;
    }
    out.tip_fillet = true;
  }

  if (in.crt >= ShortestEntity(in.tol, r_f)) {  // a smaller root fillet draws a sharp corner, as at the tip
    const double rc = r_f + in.crt;
    const size_t segs = n - 1;
    std::vector<Point> lo(segs), hi(segs), shift(segs), corner(segs);
    for (size_t j = 0; j < segs; ++j) {
      shift[j] = SegmentNormalShift(P[j + 1], P[j], in.crt);  // toward the tooth space
      hi[j] = Plus(P[j + 1], shift[j]);
      lo[j] = Plus(P[j], shift[j]);
    }
    Point radial_shift, radial_hi, radial_lo;
    if (out.radial_line) {
      radial_shift = SegmentNormalShift(s.base_point, s.radial_root, in.crt);
      radial_hi = Plus(s.base_point, radial_shift);
      radial_lo = Plus(s.radial_root, radial_shift);
    }
    for (size_t j = 0; j < segs; ++j) {
      bool parallel = false;
      if (j > 0) {
        corner[j] = LineMeeting(lo[j], hi[j], lo[j - 1], hi[j - 1], parallel);
        if (parallel) corner[j] = Middle(lo[j], hi[j - 1]);
      } else if (out.radial_line) {
        corner[0] = LineMeeting(lo[0], hi[0], radial_lo, radial_hi, parallel);
        if (parallel) corner[0] = Middle(lo[0], radial_hi);
      } else {
        corner[0] = lo[0];
      }
    }
    bool found = false, on_flank = false;
    Point centre, tangency;
    for (size_t jj = segs; jj-- > 0 && !found;) {
      const Point from = jj + 1 == segs ? hi[jj] : corner[jj + 1];
      const Point to = corner[jj];
      Point q1, q2;
      IntersectLineCircle(from, to, origin, rc, q1, q2);
      if (InBox(q1, from, to)) {
        found = on_flank = true;
        centre = q1;
        tangency = Minus(q1, shift[jj]);
      }
    }
    if (!found && out.radial_line) {
      Point q1, q2;
      IntersectLineCircle(corner[0], radial_lo, origin, rc, q1, q2);
      if (InBox(q1, corner[0], radial_lo)) {
        found = true;
        centre = q1;
        tangency = Minus(q1, radial_shift);
      }
    }
    if (!found) {
      Report(hooks, RootFilletTooLargeMessage());
      return 1;
    }
    const Point root_tangency = OnRay(centre, r_f);
    if (!(AngleFrom(centre_dir, root_tangency) <= half_space - root_least)) {
      Report(hooks, RootFilletTooLargeMessage());
      return 1;
    }
    if (on_flank) {
      // The flank starts at the tangency: it replaces the point below it, the points before go.
      size_t first_above = 0;
      while (first_above < n && !(P[first_above].y > tangency.y)) ++first_above;
      if (first_above >= n) {
        Report(hooks, RootFilletTooLargeMessage());
        return 1;
      }
      if (first_above == 0) {
        P.insert(P.begin(), tangency);
      } else {
        P.erase(P.begin(), P.begin() + long(first_above - 1));
        P[0] = tangency;
      }
      out.radial_line = false;
    } else {
      s.radial_root = tangency;
    }
    s.root_end = root_tangency;
    s.root_fillet = Fillet{centre, tangency, root_tangency};
    out.root_fillet = true;
  }

  // Entities far shorter than the tolerance (a flank point a rounding step beyond the root circle, a
  // fillet touching the flank next to a flank point) are left out; the ends stay where they are. So is a
  // radial line to a root circle a rounding step inside the base circle: the flank starts at its lower
  // end instead, on the root circle (or the root fillet).
  if (out.radial_line && std::hypot(s.base_point.x - s.radial_root.x, s.base_point.y - s.radial_root.y) <
                             ShortestEntity(in.tol, r_b)) {
    P[0] = s.radial_root;
    out.radial_line = false;
  }
  DropShortSegments(P, ShortestEntity(in.tol, r_a));
  n = P.size();
  s.flank = std::move(P);

  s.arc_centres.resize(n - 1);
  for (size_t i = 0; i + 1 < n; ++i) s.arc_centres[i] = FlankArcCentre(s.flank[i], s.flank[i + 1], r_b);

  // The other flank of the same tooth.
  ToothOutline::Side& t = out.mirror;
  auto mirror = [&](const Point& p) { return Mirror(p, in.psi_b); };
  for (const Point& p : s.flank) t.flank.push_back(mirror(p));
  for (const Point& p : s.arc_centres) t.arc_centres.push_back(mirror(p));
  t.root_end = mirror(s.root_end);
  t.base_point = mirror(s.base_point);
  t.radial_root = mirror(s.radial_root);
  t.tip_end = mirror(s.tip_end);
  t.tip_fillet = Fillet{mirror(s.tip_fillet.centre), mirror(s.tip_fillet.flank), mirror(s.tip_fillet.end)};
  t.root_fillet = Fillet{mirror(s.root_fillet.centre), mirror(s.root_fillet.flank), mirror(s.root_fillet.end)};
  return 0;
}

int64_t GearEntityCount(const ProfileInput& in, const ToothOutline& tooth) {
  const int64_t n = int64_t(tooth.side.flank.size());
  const int64_t flank = in.LT == 2 ? n : n - 1;
  const int64_t per_tooth = 2 + 2 * flank + 2 * (int(tooth.root_fillet) + int(tooth.radial_line) + int(tooth.tip_fillet));
  const int64_t teeth = in.all == 1 ? in.z : 1;
  const int64_t extrusions = in.high > 0.0 ? 1 + int(in.all_cir == 1) : 0;
  return teeth * per_tooth + int(in.all_cir == 1) + extrusions;
}

void DrawGearOutline(HostApplication* host, const ProfileInput& in, const ToothOutline& tooth) {
  if (!host) return;
  HostDocument* doc = nullptr;
  host->ActiveDocument(&doc);
  if (!doc) return;
  doc->SetDirectMode(1);
  doc->SetSketchOption(0);
  doc->StartEntityGroup();
  int32_t ignored = 0;
  doc->PrepareSketch(&ignored);

  // Millimetres to the host's metres.
  auto at = [](Point p, double angle) {
    p.x *= 0.1;
    p.y *= 0.1;
    RotateToHost(p, angle);
    return p;
  };
  auto arc = [&](const Point& c, const Point& a, const Point& b, int32_t direction) {
    doc->CreateArc(c.x, c.y, c.z, a.x, a.y, a.z, b.x, b.y, b.z, direction);
  };
  auto line = [&](const Point& a, const Point& b) { doc->CreateLine(a.x, a.y, a.z, b.x, b.y, b.z); };
  auto extrude = [&](double depth) {
    doc->ExtrudeSketch(1, 0, 0, 0, 0, depth, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  };
  auto flank = [&](const ToothOutline::Side& side, int32_t direction, double angle) {
    const size_t n = side.flank.size();
    if (in.LT == 2) {
      for (size_t i = 0; i < n; ++i) {
        const Point p = at(side.flank[i], angle);
        doc->AddSplinePoint(int32_t(n - 1 - i), p.x, p.y, p.z);
      }
    } else if (in.LT == 1) {
      for (size_t i = 0; i + 1 < n; ++i) line(at(side.flank[i], angle), at(side.flank[i + 1], angle));
    } else {
      for (size_t i = 0; i + 1 < n; ++i)
        arc(at(side.arc_centres[i], angle), at(side.flank[i], angle), at(side.flank[i + 1], angle), direction);
    }
  };

  const double start = in.top == 1 ? in.psi_b : 180.0 / in.z + in.psi_b;
  const double pitch = 360.0 / in.z;
  int32_t type = 0;
  doc->DocumentType(&type);
  if (in.all_cir == 1) {
    doc->StartEntityGroup();
    doc->CreateCircle(0.0, 0.0, 0.0, in.r_f * 0.001);
    if (in.high > 0.0) extrude(in.high * 0.001);
  }
  const ToothOutline::Side& s = tooth.side;
  const ToothOutline::Side& m = tooth.mirror;
  const Point origin{};
  const int teeth = in.all == 1 ? in.z : 1;
  for (int k = 0; k < teeth; ++k) {
    const double angle = start + k * pitch;
    if (in.all == 1)
      arc(origin, at(s.root_end, angle - pitch), at(m.root_end, angle), 1);
    else
      arc(origin, at(m.root_end, angle), at(s.root_end, angle), 1);
    if (tooth.root_fillet)
      arc(at(s.root_fillet.centre, angle), at(s.root_fillet.flank, angle), at(s.root_fillet.end, angle), -1);
    if (tooth.radial_line) line(at(s.base_point, angle), at(s.radial_root, angle));
    flank(s, -1, angle);
    if (tooth.tip_fillet)
      arc(at(s.tip_fillet.centre, angle), at(s.tip_fillet.flank, angle), at(s.tip_fillet.end, angle), -1);
    arc(origin, at(s.tip_end, angle), at(m.tip_end, angle), -1);
    if (tooth.tip_fillet)
      arc(at(m.tip_fillet.centre, angle), at(m.tip_fillet.flank, angle), at(m.tip_fillet.end, angle), 1);
    flank(m, 1, angle);
    if (tooth.radial_line) line(at(m.base_point, angle), at(m.radial_root, angle));
    if (tooth.root_fillet)
      arc(at(m.root_fillet.centre, angle), at(m.root_fillet.flank, angle), at(m.root_fillet.end, angle), 1);
  }
  if (in.high > 0.0) extrude(in.high * 0.001);
  doc->SetDirectMode(0);
  doc->FinishDrawing();
  doc->Release();
}

int GenerateGearProfile(const ProfileInput& in, HostApplication* host, const ProfileHooks& hooks) {
  ToothOutline tooth;
  if (BuildToothOutline(in, hooks, tooth) != 0) return 1;
  if (GearEntityCount(in, tooth) > kMostGearEntities) {
    Report(hooks, TooManyEntitiesMessage());
    return 1;
  }
  DrawGearOutline(host, in, tooth);
  return 0;
}

}  // namespace tandrel
