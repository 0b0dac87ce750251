// The gear the dialog draws, checked by plane geometry on what the host receives: flank points on the
// involute of the base circle, the tooth thickness on the reference circle, every arc's ends on its
// circle with the sweep the tooth form gives it, fillets tangent where they join, and a closed
// outline that never crosses itself. Gears that cannot be drawn are refused with their reason.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "addin_app.h"
#include "gear_dialog.h"
#include "gear_profile.h"
#include "recording_host.h"
#include "sketch_checks.h"
#include "test_support.h"

namespace tandrel {
namespace {

using host::SketchEntity;
using K = SketchEntity::Kind;

struct Xy {
  double x, y;
};
Xy Mm(const Point& p) { return {p.x * 1000.0, p.y * 1000.0}; }  // host metres to millimetres
double Dist(Xy a, Xy b) { return std::hypot(a.x - b.x, a.y - b.y); }
double Cross(Xy a, Xy b) { return a.x * b.y - a.y * b.x; }
Xy Sub(Xy a, Xy b) { return {a.x - b.x, a.y - b.y}; }

double Wrap(double a, double period) {  // into [-period/2, period/2)
  return a - period * std::floor(a / period + 0.5);
}

// The sweep of an arc from its start to its end about its centre in its direction, radians in (0, 2 pi].
double Sweep(const SketchEntity& e) {
  const Xy c = Mm(e.a), s = Mm(e.b), t = Mm(e.c);
  double a = std::atan2(t.y - c.y, t.x - c.x) - std::atan2(s.y - c.y, s.x - c.x);
  if (e.count < 0) a = -a;
  while (a <= 0.0) a += 2.0 * M_PI;
  return a;
}

// The outline as straight pieces: arcs cut into pieces of at most two degrees.
std::vector<std::pair<Xy, Xy>> Pieces(const std::vector<SketchEntity>& sketch) {
  std::vector<std::pair<Xy, Xy>> out;
  for (const SketchEntity& e : sketch) {
    if (e.kind == K::Line) out.push_back({Mm(e.a), Mm(e.b)});
    if (e.kind != K::Arc) continue;
    const Xy c = Mm(e.a), s = Mm(e.b);
    const double r = Dist(s, c), a0 = std::atan2(s.y - c.y, s.x - c.x), sweep = Sweep(e);
    const int steps = std::max(1, int(std::ceil(sweep / (2.0 * M_PI / 180.0))));
    Xy prev = s;
    for (int i = 1; i <= steps; ++i) {
      const double a = a0 + (e.count < 0 ? -1.0 : 1.0) * sweep * i / steps;
      const Xy next = i == steps ? Mm(e.c) : Xy{c.x + r * std::cos(a), c.y + r * std::sin(a)};
      out.push_back({prev, next});
      prev = next;
    }
  }
  return out;
}

// Pairs of pieces that cross, not counting pieces that meet at an end.
int Crossings(const std::vector<std::pair<Xy, Xy>>& pieces) {
  std::vector<size_t> order(pieces.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto lo = [&](size_t i) { return std::min(pieces[i].first.x, pieces[i].second.x); };
  auto hi = [&](size_t i) { return std::max(pieces[i].first.x, pieces[i].second.x); };
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return lo(a) < lo(b); });
  const double touch = 1e-9;
  int crossings = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    const auto& [p1, p2] = pieces[order[i]];
    for (size_t j = i + 1; j < order.size() && lo(order[j]) <= hi(order[i]); ++j) {
      const auto& [q1, q2] = pieces[order[j]];
      if (Dist(p1, q1) < touch || Dist(p1, q2) < touch || Dist(p2, q1) < touch || Dist(p2, q2) < touch) continue;
      const double d1 = Cross(Sub(p2, p1), Sub(q1, p1)), d2 = Cross(Sub(p2, p1), Sub(q2, p1));
      const double d3 = Cross(Sub(q2, q1), Sub(p1, q1)), d4 = Cross(Sub(q2, q1), Sub(p2, q1));
      if (((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0)) && d1 != 0 && d2 != 0 && d3 != 0 && d4 != 0)
        ++crossings;
    }
  }
  return crossings;
}

TEST(OutlineChecks, CrossingsAreFound) {
  // A figure eight: the second and fourth sides cross.
  const std::vector<std::pair<Xy, Xy>> eight = {
      {{0, 0}, {1, 0}}, {{1, 0}, {0, 1}}, {{0, 1}, {1, 1}}, {{1, 1}, {0, 0}}};
  EXPECT_EQ(Crossings(eight), 1);
}

struct Gear {
  int z;
  double m, alpha, x, bl, crk, crt;
};

std::string Describe(const Gear& g, int LT) {
  char text[160];
  std::snprintf(text, sizeof text, "z %d m %g alpha %g x %g bl %g crk %g crt %g LT %d", g.z, g.m, g.alpha, g.x, g.bl,
                g.crk, g.crt, LT);
  return text;
}

constexpr double kTol = 0.001;

class GearOutlineTest : public test::AddinDocumentTest {
 protected:
  // Draws the gear through the dialog; the sketch it sent (empty when it refused).
  std::vector<SketchEntity> Draw(const Gear& g, int LT, double tol = kTol) {
    doc->sketch.clear();
    services.messages.clear();
    GearDialog dialog(GearDialog::Language::Chinese);
    dialog.LT = LT;
    dialog.UpdateData(false);
    auto set = [&](int id, double v) {
      qobject_cast<QLineEdit*>(dialog.control(id))->setText(QString::number(v, 'g', 17));
    };
    set(1003, g.z), set(1006, g.m), set(1007, g.alpha), set(1008, g.x), set(1032, g.bl), set(1010, g.crk);
    set(1011, g.crt), set(1009, tol);
    qobject_cast<QPushButton*>(dialog.control(1001))->click();
    return doc->sketch;
  }
};

TEST_F(GearOutlineTest, EveryAcceptedGearIsATrueClosedOutline) {
  const Gear gears[] = {
      {16, 0.5, 20, 0, 0, 0, 0},         {8, 2, 20, 0.5, 0, 0, 0},          {6, 1, 20, 0.65, 0, 0, 0},
      {50, 1, 30, 0.2, 0, 0, 0},         {100, 5, 20, 0, 0.2, 0.5, 1.5},    {20, 1, 20, 0, 0.1, 0.02, 0},
      {20, 1, 20, 0, 0.1, 0.02, 0.02},   {60, 1, 20, 0, 0, 0.1, 0.3},       {40, 3, 25, -0.3, 0.05, 0.3, 0.6},
      {3, 2, 20, 0, 0, 0, 0},            {12, 1, 14.5, 0.4, 0.05, 0.1, 0.2}, {24, 2, 20, 0.3, 0, 0.2, 0.5},
  };
  for (const Gear& g : gears) {
    const double alpha = g.alpha * M_PI / 180.0;
    const double r_ref = g.z * g.m / 2.0, r_b = r_ref * std::cos(alpha);
    const double pitch = 2.0 * M_PI / g.z;
    // Tooth thickness on the reference circle; half of it at the base circle as an angle.
    const double s_ref = g.m * (M_PI / 2.0 + 2.0 * g.x * std::tan(alpha));
    const double psi_b = s_ref / (2.0 * r_ref) + (std::tan(alpha) - alpha);
    auto inv_at = [&](double r) {
      const double a = std::acos(std::min(1.0, r_b / r));
      return std::tan(a) - a;
    };

    for (int LT : {1, 0}) {
      const std::string what = Describe(g, LT);
      const auto sketch = Draw(g, LT);
      ASSERT_FALSE(sketch.empty()) << what;
      EXPECT_TRUE(services.messages.empty()) << what;
      const auto summary = test::Summarise(sketch);
      EXPECT_EQ(summary.open_ends, 0) << what;
      EXPECT_EQ(summary.crowded_ends, 0) << what;
      EXPECT_EQ(Crossings(Pieces(sketch)), 0) << what;

      // Every end of every arc at the arc's radius, swept the short way round.
      std::map<std::pair<long long, long long>, std::vector<const SketchEntity*>> at;
      auto key = [](Xy p) { return std::make_pair(std::llround(p.x * 1e7), std::llround(p.y * 1e7)); };
      for (const SketchEntity& e : sketch) {
        if (e.kind == K::Line || e.kind == K::Arc) {
          at[key(Mm(e.kind == K::Line ? e.a : e.b))].push_back(&e);
          at[key(Mm(e.kind == K::Line ? e.b : e.c))].push_back(&e);
        }
        if (e.kind != K::Arc) continue;
        const Xy c = Mm(e.a), s = Mm(e.b), t = Mm(e.c);
        EXPECT_NEAR(Dist(s, c), Dist(t, c), 1e-9) << what << ": arc ends off its circle";
        const double sweep = Sweep(e) * 180.0 / M_PI;
        if (std::hypot(c.x, c.y) < 1e-9) {
          EXPECT_LT(sweep, 360.0 / g.z) << what << ": tip or root arc";
        } else {
          EXPECT_LT(sweep, 120.0) << what << ": fillet or flank arc";
        }
      }
      if (LT != 1) continue;

      // Fillets (the arcs off the gear centre among lines) are tangent to what they join.
      for (const SketchEntity& e : sketch) {
        if (e.kind != K::Arc || std::hypot(Mm(e.a).x, Mm(e.a).y) < 1e-9) continue;
        for (const Point* end : {&e.b, &e.c}) {
          const Xy p = Mm(*end), radius = Sub(p, Mm(e.a));
          for (const SketchEntity* other : at[key(p)]) {
            if (other == &e) continue;
            Xy along;
            if (other->kind == K::Line) {
              along = Sub(Mm(other->b), Mm(other->a));
            } else {  // tangent to a circle about the other arc's centre: the radii are in line
              const Xy r2 = Sub(p, Mm(other->a));
              along = {-r2.y, r2.x};
            }
            const double dot = (radius.x * along.x + radius.y * along.y) / (std::hypot(radius.x, radius.y) *
                                                                             std::hypot(along.x, along.y));
            EXPECT_LT(std::fabs(dot), 1e-6) << what << ": fillet not tangent at (" << p.x << ", " << p.y << ")";
          }
        }
      }

      // Flank points: a point shared by two flank lines lies on the involute of the base circle, any
      // other line end outside the base circle within the chord tolerance of it. The first tooth is
      // centred on +y; its flanks unwind from psi_b either side of its centre line.
      if (g.bl == 0.0) {
        for (const auto& [k, entities] : at) {
          const SketchEntity* e = entities.front();
          if (e->kind != K::Line) continue;
          const Xy p = Mm(Dist(Mm(e->a), Xy{k.first * 1e-7, k.second * 1e-7}) < 1e-6 ? e->a : e->b);
          const double r = std::hypot(p.x, p.y);
          if (r < r_b * (1.0 - 1e-12)) continue;
          const double theta = std::atan2(p.y, p.x);
          const double off = std::min(std::fabs(Wrap(theta + inv_at(r) - psi_b - M_PI / 2.0, pitch)),
                                      std::fabs(Wrap(theta - inv_at(r) + psi_b - M_PI / 2.0, pitch)));
          const bool inner = entities.size() == 2 && entities[1]->kind == K::Line && r > r_b * (1.0 + 1e-9);
          EXPECT_LT(off * r, inner ? 1e-9 : 2.0 * kTol) << what << ": flank point at r " << r;
        }
      }

      // Tooth thickness on the reference circle, between the flanks of the tooth on +y.
      std::vector<double> crossings;
      for (const SketchEntity& e : sketch) {
        if (e.kind != K::Line) continue;
        const Xy a = Mm(e.a), b = Mm(e.b);
        const double ra = std::hypot(a.x, a.y), rb = std::hypot(b.x, b.y);
        if ((ra - r_ref) * (rb - r_ref) > 0.0 || ra == rb) continue;
        const double f = (r_ref - ra) / (rb - ra);  // close enough on a piece this short
        const Xy q{a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)};
        const double angle = std::atan2(q.y, q.x) - M_PI / 2.0;
        if (std::fabs(angle) < pitch / 2.0) crossings.push_back(angle);
      }
      ASSERT_EQ(crossings.size(), 2u) << what;
      const double thickness = r_ref * std::fabs(crossings[0] - crossings[1]);
      EXPECT_NEAR(thickness, s_ref - std::fabs(g.bl), 3.0 * kTol) << what;
    }
  }
}

TEST_F(GearOutlineTest, TeethOverlappingAtTheRootAreRefused) {
  const Gear gears[] = {
      {8, 2, 20, 0.8, 0, 0, 0},    // the root end lies past the middle of the space
      {6, 1, 20, 0.75, 0, 0, 0},
      {50, 1, 30, 0.25, 0, 0, 0},  // the base circle inside the root circle
      {8, 2, 20, 0.8, 0, 0, 0.2},  // with a root fillet the reason stays the overlap
  };
  for (const Gear& g : gears) {
    EXPECT_TRUE(Draw(g, 0).empty()) << Describe(g, 0);
    ASSERT_EQ(services.messages.size(), 1u) << Describe(g, 0);
    EXPECT_EQ(services.messages[0], TeethOverlapAtRootMessage()) << Describe(g, 0);
  }
}

TEST_F(GearOutlineTest, DegenerateGearsAreRefusedWithTheirReason) {
  struct Case {
    const char* what;
    Gear gear;
    std::u16string message;
  } cases[] = {
      {"a module of 1e-300", {16, 1e-300, 20, 0, 0, 0, 0}, GearTooSmallMessage()},
      {"a module of 1e-12", {16, 1e-12, 20, 0, 0, 0, 0}, GearTooSmallMessage()},
      {"a tooth that comes to a point", {30, 1, 20, -1.2, 0, 0, 0}, PointedToothMessage()},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Draw(c.gear, 0).empty()) << c.what;
    ASSERT_EQ(services.messages.size(), 1u) << c.what;
    EXPECT_EQ(services.messages[0], c.message) << c.what;
  }
}

TEST_F(GearOutlineTest, AFineToleranceOnALargeGearIsDrawnOrRefusedAtOnce) {
  // A tolerance of 1e-8 mm over a module-50 flank needs more points than the store holds: the
  // 6000-point message comes without stepping through billions of trial points.
  EXPECT_TRUE(Draw({200, 50, 20, 0, 0, 0, 0}, 0, 1e-8).empty());
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0], FlankStoreFullMessage());
  // On a small gear the same tolerance fits the store and draws.
  EXPECT_FALSE(Draw({16, 0.5, 20, 0, 0, 0, 0}, 0, 1e-6).empty());
  EXPECT_TRUE(services.messages.empty());
}

}  // namespace
}  // namespace tandrel
