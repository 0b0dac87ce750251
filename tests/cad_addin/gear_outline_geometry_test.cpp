// The gear the dialog draws, checked by plane geometry on what the host receives: flank points on the
// involute of the base circle, the tooth thickness on the reference circle, every arc's ends on its
// circle with the sweep the tooth form gives it, fillets tangent where they join, and a closed
// outline that never crosses itself. Gears that cannot be drawn are refused with their reason.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
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

// The outline as straight pieces: arcs cut into pieces of at most two degrees.
std::vector<std::pair<Xy, Xy>> Pieces(const std::vector<SketchEntity>& sketch) {
  std::vector<std::pair<Xy, Xy>> out;
  for (const SketchEntity& e : sketch) {
    if (e.kind == K::Line) out.push_back({Mm(e.a), Mm(e.b)});
    if (e.kind != K::Arc) continue;
    const Xy c = Mm(e.a), s = Mm(e.b);
    const double r = Dist(s, c), a0 = std::atan2(s.y - c.y, s.x - c.x), sweep = test::ArcSweep(e);
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

std::string Describe(const Gear& g, int LT, double tol) {
  char text[200];
  std::snprintf(text, sizeof text, "z %d m %g alpha %g x %g bl %g crk %g crt %g LT %d tol %g", g.z, g.m, g.alpha, g.x,
                g.bl, g.crk, g.crt, LT, tol);
  return text;
}

constexpr double kTol = 0.001;

// The tooth form of a standard gear drawn with a tooth on +y, from the involute itself: every flank
// is an involute of the base circle, turned so that the tooth is thinned by the backlash along the
// reference circle.
struct ToothForm {
  explicit ToothForm(const Gear& g) : g(g) {
    const double alpha = g.alpha * M_PI / 180.0;
    r_ref = g.z * g.m / 2.0;
    r_b = r_ref * std::cos(alpha);
    r_a = r_ref + g.m;
    r_f = g.z <= 6 ? r_ref - g.m * (1.0 - 0.2 * (6 - g.z)) : r_ref - 1.25 * g.m;
    pitch = 2.0 * M_PI / g.z;
    s_ref = g.m * (M_PI / 2.0 + 2.0 * g.x * std::tan(alpha));
    // Half the tooth as an angle at the base circle, before and after the backlash.
    psi_b = s_ref / (2.0 * r_ref) + (std::tan(alpha) - alpha);
    half_b = psi_b - std::fabs(g.bl) / (2.0 * r_ref);
  }
  double Inv(double r) const {  // the involute function of the pressure angle at radius r
    const double a = std::acos(std::min(1.0, r_b / r));
    return std::tan(a) - a;
  }
  double Roll(double r) const { return std::sqrt(std::max(r * r - r_b * r_b, 0.0)) / r_b; }
  // Half the drawn tooth as an angle at radius r (on or outside the base circle).
  double Half(double r) const { return half_b - Inv(r); }
  // The distance of p from the nearest flank of a drawn tooth: two involutes of one base circle turned
  // by an angle lie that angle times r_b apart along their common normals.
  double OffFlank(Xy p) const {
    const double r = std::hypot(p.x, p.y), theta = std::atan2(p.y, p.x) - M_PI / 2.0;
    return r_b * std::min(std::fabs(Wrap(theta - Half(r), pitch)), std::fabs(Wrap(theta + Half(r), pitch)));
  }
  Gear g;
  double r_ref, r_b, r_a, r_f, pitch, s_ref, psi_b, half_b;
};

class GearOutlineTest : public test::AddinDocumentTest {
 protected:
  // Draws the gear through the dialog, with the base and root diameters typed in their override boxes
  // when they are given; the sketch it sent (empty when it refused).
  std::vector<SketchEntity> Draw(const Gear& g, int LT, double tol = kTol, double base = 0.0, double root = 0.0) {
    doc->sketch.clear();
    services.messages.clear();
    GearDialog dialog(GearDialog::Language::Chinese);
    dialog.LT = LT;
    dialog.UpdateData(false);
    auto set = [&](int id, double v) {
      qobject_cast<QLineEdit*>(dialog.control(id))->setText(QString::number(v, 'g', 17));
    };
    set(1003, g.z), set(1006, g.m), set(1007, g.alpha), set(1008, g.x), set(1032, g.bl), set(1010, g.crk);
    set(1011, g.crt), set(1009, tol), set(1018, base), set(1020, root);
    qobject_cast<QPushButton*>(dialog.control(1001))->click();
    return doc->sketch;
  }

  // Draws the gear and checks the sketch against its tooth form: a closed outline that never crosses
  // itself; every arc's ends on its circle, each arc sweeping what the tooth form gives it; every flank
  // point on the turned involute within the tolerance (to rounding where two flank entities meet); the
  // tooth thickness on the reference circle thinned by the backlash; fillets tangent where they join.
  void DrawsTrue(const Gear& g, int LT, double tol, double base = 0.0, double root = 0.0) {
    char overrides[80];
    std::snprintf(overrides, sizeof overrides, " base %.17g root %.17g", base, root);
    const std::string what = Describe(g, LT, tol) + overrides;
    const ToothForm form(g);
    const auto sketch = Draw(g, LT, tol, base, root);
    ASSERT_FALSE(sketch.empty()) << what;
    EXPECT_TRUE(services.messages.empty()) << what;
    const auto summary = test::Summarise(sketch, 1e-12);
    EXPECT_EQ(summary.open_ends, 0) << what;
    EXPECT_EQ(summary.crowded_ends, 0) << what;
    EXPECT_EQ(Crossings(Pieces(sketch)), 0) << what;

    std::map<std::pair<long long, long long>, std::vector<const SketchEntity*>> at;
    auto key = [](Xy p) { return std::make_pair(std::llround(p.x * 1e9), std::llround(p.y * 1e9)); };
    auto on_origin = [](const SketchEntity& e) { return std::hypot(Mm(e.a).x, Mm(e.a).y) < 1e-9; };
    auto fillet = [&](const SketchEntity& e) {
      const double r = Dist(Mm(e.b), Mm(e.a));
      return std::fabs(r - g.crk) < 1e-9 || std::fabs(r - g.crt) < 1e-9;
    };
    auto flank = [&](const SketchEntity& e) {  // lines outside the base circle, arcs of the flank
      if (e.kind == K::Line) return std::hypot(Mm(e.a).x, Mm(e.a).y) >= form.r_b * (1.0 - 1e-12) &&
                                    std::hypot(Mm(e.b).x, Mm(e.b).y) >= form.r_b * (1.0 - 1e-12);
      return e.kind == K::Arc && !on_origin(e) && !fillet(e);
    };
    for (const SketchEntity& e : sketch) {
      if (e.kind != K::Line && e.kind != K::Arc) continue;
      at[key(Mm(e.kind == K::Line ? e.a : e.b))].push_back(&e);
      at[key(Mm(e.kind == K::Line ? e.b : e.c))].push_back(&e);
    }
    int flank_entities = 0;
    for (const SketchEntity& e : sketch) {
      if (e.kind != K::Line && e.kind != K::Arc) continue;
      const Xy s = Mm(e.kind == K::Line ? e.a : e.b), t = Mm(e.kind == K::Line ? e.b : e.c);
      Xy middle{(s.x + t.x) / 2.0, (s.y + t.y) / 2.0};
      if (e.kind == K::Arc) {
        const Xy c = Mm(e.a);
        const double r = Dist(s, c);
        EXPECT_NEAR(r, Dist(t, c), 1e-9) << what << ": arc ends off its circle";
        const double sweep = test::ArcSweep(e);
        const double a = std::atan2(s.y - c.y, s.x - c.x) + (e.count < 0 ? -0.5 : 0.5) * sweep;
        middle = {c.x + r * std::cos(a), c.y + r * std::sin(a)};
        if (on_origin(e)) {
          EXPECT_LT(sweep, form.pitch) << what << ": tip or root arc";
          if (std::fabs(r - form.r_a) < 1e-9 && g.crk == 0.0) {  // its ends on the flanks, within the tolerance
            EXPECT_NEAR(sweep, 2.0 * form.Half(form.r_a), 2.0 * tol / form.r_b) << what << ": tip arc";
          }
        } else if (fillet(e)) {
          EXPECT_LT(sweep, M_PI / 2.0 + 0.2) << what << ": fillet arc";
        } else {  // a flank arc turns about as the involute's tangent does between its ends (by 3/4 of
                  // that on the first arc from the base circle, where the involute starts as a cusp)
          const double roll = std::fabs(form.Roll(std::hypot(t.x, t.y)) - form.Roll(std::hypot(s.x, s.y)));
          EXPECT_GT(sweep, 0.7 * roll - 1e-9) << what << ": flank arc at r " << std::hypot(s.x, s.y);
          EXPECT_LT(sweep, 1.1 * roll + 1e-9) << what << ": flank arc at r " << std::hypot(s.x, s.y);
        }
      }
      if (!flank(e)) continue;
      ++flank_entities;
      EXPECT_LE(form.OffFlank(middle), tol)
          << what << ": flank between its points at r " << std::hypot(middle.x, middle.y);
      for (Xy p : {s, t}) {
        const auto& meeting = at[key(p)];
        const bool inner = meeting.size() == 2 && flank(*meeting[0]) && flank(*meeting[1]);
        EXPECT_LE(form.OffFlank(p), inner ? 1e-9 : tol) << what << ": flank point at r " << std::hypot(p.x, p.y);
      }
    }
    EXPECT_GT(flank_entities, 0) << what;
    if (LT != 1) return;

    // Fillets (the arcs off the gear centre among lines) are tangent to what they join.
    for (const SketchEntity& e : sketch) {
      if (e.kind != K::Arc || on_origin(e)) continue;
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

    // Tooth thickness on the reference circle, between the flanks of the tooth on +y.
    std::vector<double> crossings;
    for (const SketchEntity& e : sketch) {
      if (e.kind != K::Line) continue;
      const Xy a = Mm(e.a), b = Mm(e.b);
      const double ra = std::hypot(a.x, a.y), rb = std::hypot(b.x, b.y);
      if ((ra - form.r_ref) * (rb - form.r_ref) > 0.0 || ra == rb) continue;
      const double f = (form.r_ref - ra) / (rb - ra);  // close enough on a piece this short
      const Xy q{a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)};
      const double angle = std::atan2(q.y, q.x) - M_PI / 2.0;
      if (std::fabs(angle) < form.pitch / 2.0) crossings.push_back(angle);
    }
    ASSERT_EQ(crossings.size(), 2u) << what;
    const double thickness = form.r_ref * std::fabs(crossings[0] - crossings[1]);
    EXPECT_NEAR(thickness, form.s_ref - std::fabs(g.bl), 2.0 * tol + 1e-9) << what;
  }
};

TEST_F(GearOutlineTest, EveryAcceptedGearIsATrueClosedOutline) {
  const struct {
    Gear gear;
    double tol;
  } drawings[] = {
      {{16, 0.5, 20, 0, 0, 0, 0}, kTol},          {{8, 2, 20, 0.5, 0, 0, 0}, kTol},
      {{6, 1, 20, 0.65, 0, 0, 0}, kTol},          {{50, 1, 30, 0.2, 0, 0, 0}, kTol},
      {{100, 5, 20, 0, 0.2, 0.5, 1.5}, kTol},     {{20, 1, 20, 0, 0.1, 0.02, 0}, kTol},
      {{20, 1, 20, 0, 0.1, 0.02, 0.02}, kTol},    {{60, 1, 20, 0, 0, 0.1, 0.3}, kTol},
      {{40, 3, 25, -0.3, 0.05, 0.3, 0.6}, kTol},  {{3, 2, 20, 0, 0, 0, 0}, kTol},
      {{12, 1, 14.5, 0.4, 0.05, 0.1, 0.2}, kTol}, {{24, 2, 20, 0.3, 0, 0.2, 0.5}, kTol},
      // With backlash, every flank an involute of the base circle at every tolerance. Thinned by the
      // old chord along each point's circle, these flanks left the involute by up to 14 um and 0.2 mm,
      // and the first gear's arcs at the base circle ran almost all the way round.
      {{6, 1, 30, 0.461, 0.1, 0, 0}, 1e-6},       {{6, 1, 30, 0.461, 0.1, 0, 0}, 1e-5},
      {{14, 3, 14.5, 0, 0.3, 0, 0}, kTol},        {{20, 50, 20, 0, 5, 0, 0}, kTol},
      {{12, 1, 20, 0.2, 0.05, 0.1, 0.2}, 1e-6},   {{30, 2, 20, 0, 0.2, 0, 0.4}, 1e-5},
      {{16, 0.5, 20, 0, 0.02, 0, 0}, 1e-4},       {{9, 1, 25, 0.3, 0.08, 0.05, 0}, 1e-6},
      // A negative backlash thins the tooth as its absolute value does.
      {{16, 0.5, 20, 0, -0.05, 0, 0}, 1e-4},      {{24, 2, 20, 0.3, -0.1, 0.2, 0.5}, 1e-5},
      {{50, 1, 30, 0, -0.02, 0, 0.1}, 1e-6},
  };
  for (const auto& d : drawings)
    for (int LT : {1, 0}) DrawsTrue(d.gear, LT, d.tol);
}

// The largest backlash a tooth takes leaves it no thickness at its tip circle, whatever its sign. Within
// it the gear is drawn true; beyond it, far beyond, and read back from the settings, it is refused with
// the backlash message and nothing is sent.
TEST_F(GearOutlineTest, BacklashBeyondWhatTheToothTakesIsRefused) {
  const double tol = 1e-5;
  const Gear gears[] = {
      {16, 0.5, 20, 0, 0, 0, 0},  // the dialog's first gear: a radial line below the base circle
      {50, 1, 30, 0, 0, 0, 0},    // the base circle inside the root circle
  };
  for (const Gear& g : gears) {
    const ToothForm form(g);
    const double thinnest = 2.0 * form.r_ref * form.Half(form.r_a);
    ASSERT_GT(thinnest, 0.0);
    for (double bl : {thinnest * 0.999, -thinnest * 0.999}) {
      Gear drawn = g;
      drawn.bl = bl;
      for (int LT : {1, 0}) DrawsTrue(drawn, LT, tol);
    }
    for (double bl : {thinnest * 1.001, -thinnest * 1.001, 20.0, 100.0, -100.0, 1e30, -1e30, 3e38}) {
      Gear refused = g;
      refused.bl = bl;
      const std::string what = Describe(refused, 0, tol);
      EXPECT_TRUE(Draw(refused, 0, tol).empty()) << what;
      ASSERT_EQ(services.messages.size(), 1u) << what;
      EXPECT_EQ(services.messages[0], BacklashTooLargeMessage()) << what;
    }
  }

  // Read back from the settings: a backlash beyond the tooth is refused, one that is no number leaves
  // the dialog's 0 and the gear is drawn.
  const struct {
    const char16_t* text;
    bool refused;
  } stored[] = {{u"1e30", true}, {u"-1e30", true}, {u"nan", false}, {u"inf", false}};
  for (const auto& s : stored) {
    WriteGearSetting(u"bl", s.text);
    doc->sketch.clear();
    services.messages.clear();
    GearDialog dialog(GearDialog::Language::Chinese);
    qobject_cast<QPushButton*>(dialog.control(1001))->click();
    EXPECT_EQ(doc->sketch.empty(), s.refused) << registry::ToUtf8(s.text);
    EXPECT_EQ(services.messages, s.refused ? std::vector<std::u16string>{BacklashTooLargeMessage()}
                                           : std::vector<std::u16string>{})
        << registry::ToUtf8(s.text);
  }
}

// A root circle on the base circle, typed as the base diameter the dialog shows or as the same diameter
// in both override boxes, or a rounding step either side of it: the flank starts on the root circle
// and the gear is drawn true, never with its first flank entity running across the gear, never refused.
// A root circle a rounding step inside the base circle sends no radial line of that length.
TEST_F(GearOutlineTest, ARootCircleOnTheBaseCircleIsDrawnTrue) {
  const struct {
    Gear gear;
    double base, root;  // typed into the override boxes (0: none)
    int radial_lines;   // per tooth and tolerance 0.001
  } cases[] = {
      {{40, 2, 20, 0, 0, 0, 0}, 0, 75.1754096628727, 0},
      {{40, 2, 20, 0, 0, 0, 0}, 75.1754096628727, 75.1754096628727, 0},
      {{40, 2, 20, 0, 0.1, 0, 0}, 0, 75.1754096628727, 0},
      {{40, 2, 20, 0, 0.1, 0.2, 0}, 0, 75.1754096628727, 0},
      {{20, 1, 20, 0, 0, 0, 0}, 0, 18.793852, 0},  // the shown base diameter, 2e-7 mm inside it
      {{20, 1, 20, 0, 0, 0, 0}, 0, 18.79, 2},
  };
  for (const auto& c : cases) {
    for (int LT : {0, 1}) DrawsTrue(c.gear, LT, kTol, c.base, c.root);
    int lines = 0;
    for (const SketchEntity& e : Draw(c.gear, 0, kTol, c.base, c.root)) lines += e.kind == K::Line;
    EXPECT_EQ(lines, c.radial_lines * c.gear.z) << c.root;
  }
  // The base diameter as the dialog derives it, and the doubles next to it.
  for (const Gear& g : {Gear{20, 1, 20, 0, 0, 0, 0}, Gear{40, 2, 20, 0, 0, 0, 0}, Gear{12, 1, 14.5, 0.4, 0.05, 0, 0}}) {
    const double base = g.z * g.m * std::cos(g.alpha * kDegreesToRadians);
    double below = base, above = base;
    for (int ulps = 0; ulps < 3; ++ulps) {
      for (double root : {below, above}) {
        for (int LT : {0, 1}) DrawsTrue(g, LT, kTol, 0.0, root);
        std::vector<SketchEntity> sketch = Draw(g, 0, kTol, 0.0, root);
        for (const SketchEntity& e : sketch) {
          const Point& a = e.kind == K::Line ? e.a : e.b;
          const Point& b = e.kind == K::Line ? e.b : e.c;
          if (e.kind == K::Line || e.kind == K::Arc) {
            EXPECT_GE(Dist(Mm(a), Mm(b)), 0.01 * kTol) << "an entity far shorter than the tolerance, root " << root;
          }
        }
      }
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, 1e9);
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
    EXPECT_TRUE(Draw(g, 0).empty()) << Describe(g, 0, kTol);
    ASSERT_EQ(services.messages.size(), 1u) << Describe(g, 0, kTol);
    EXPECT_EQ(services.messages[0], TeethOverlapAtRootMessage()) << Describe(g, 0, kTol);
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

// Seeded random gears over the entries the dialog accepts, with the edges that once drew wrong: fillet
// radii far below the tolerance, and profile shifts near a whole turn of the tooth (x near pi z / tan a).
// Each is refused with one message and nothing sent, or drawn as a true tooth form: finite, closed,
// never crossing itself, every point between the root and the tip circles, no arc whose centre meets
// its ends, every flank point on the involute of the shift entered. MORVELL_TANDREL_PROPERTY_CASES sets the
// number of gears (the fuzzing script runs more).
TEST_F(GearOutlineTest, RandomAcceptedEntriesAreDrawnTrueOrRefused) {
  int cases = 80;
  if (const char* n = std::getenv("MORVELL_TANDREL_PROPERTY_CASES")) cases = std::max(1, std::atoi(n));
  std::mt19937 rng(4611);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto chance = [&](double p) { return uniform(0.0, 1.0) < p; };
  auto fillet = [&](double m, double most) {
    if (chance(0.35)) return 0.0;
    if (chance(0.25)) return std::pow(10.0, uniform(-17.0, -12.0));  // far below any tolerance
    return uniform(0.0, most * m);
  };
  int drawn = 0, refused = 0;
  for (int k = 0; k < cases; ++k) {
    Gear g;
    g.z = std::uniform_int_distribution<int>(3, 80)(rng);
    g.m = std::pow(10.0, uniform(-0.7, 1.0));
    g.alpha = uniform(12.0, 32.0);
    const double turn_shift = M_PI * g.z / std::tan(g.alpha * M_PI / 180.0);
    g.x = chance(0.15) ? turn_shift * (chance(0.5) ? 1 : -1) + uniform(-0.3, 0.3) : uniform(-1.0, 1.2);
    g.bl = chance(0.5) ? 0.0 : uniform(-0.1, 0.1) * g.m;
    g.crk = fillet(g.m, 0.4);
    g.crt = fillet(g.m, 0.5);
    const int LT = chance(0.5) ? 1 : 0;
    const double tol = chance(0.5) ? kTol : 1e-4;
    const std::string what = Describe(g, LT, tol);
    const auto sketch = Draw(g, LT, tol);
    if (sketch.empty()) {
      ++refused;
      EXPECT_EQ(services.messages.size(), 1u) << what << ": refused without saying why";
      continue;
    }
    ++drawn;
    const ToothForm form(g);
    const auto summary = test::Summarise(sketch, 1e-12);
    EXPECT_GE(summary.min_radius * 1000.0, form.r_f * (1 - 1e-9)) << what;
    EXPECT_LE(summary.max_radius * 1000.0, form.r_a * (1 + 1e-9)) << what;
    EXPECT_EQ(summary.open_ends, 0) << what;
    EXPECT_EQ(summary.crowded_ends, 0) << what;
    EXPECT_EQ(Crossings(Pieces(sketch)), 0) << what;
    for (const SketchEntity& e : sketch) {
      for (const Point* p : {&e.a, &e.b, &e.c}) EXPECT_TRUE(std::isfinite(p->x) && std::isfinite(p->y)) << what;
      if (e.kind != K::Line && e.kind != K::Arc) continue;
      const Xy s = Mm(e.kind == K::Line ? e.a : e.b), t = Mm(e.kind == K::Line ? e.b : e.c);
      if (e.kind == K::Arc) {
        EXPECT_GT(Dist(s, Mm(e.a)), 1e-6 * form.r_a) << what << ": an arc whose centre meets its ends";
        EXPECT_NEAR(Dist(s, Mm(e.a)), Dist(t, Mm(e.a)), 1e-9) << what << ": arc ends off its circle";
      }
      // Every end between the circles and outside the base circle lies on a flank of the shift entered
      // (a fillet's flank end within the tolerance of it): a tooth turned by a whole turn would not.
      for (Xy p : {s, t}) {
        const double r = std::hypot(p.x, p.y);
        if (r > form.r_b * (1 + 1e-9) && r > form.r_f * (1 + 1e-9) && r < form.r_a * (1 - 1e-9))
          EXPECT_LE(form.OffFlank(p), 2 * tol) << what << ": point at r " << r;
      }
    }
  }
  // Both outcomes occur among the cases, so that neither side of the property goes untested.
  EXPECT_GT(drawn, cases / 4);
  EXPECT_GT(refused, 0);
}

// A profile shift of one whole turn of the tooth (z 12, alpha 20: x = 12 pi / tan 20 = 103.58) once drew
// the unshifted gear as success; fillets of 1e-17 to 3e-15 mm drew arcs whose centre and ends coincide.
TEST_F(GearOutlineTest, EdgesOfTheEntriesDrawTrueOrAreRefused) {
  const double turn_shift = 12 * M_PI / std::tan(20 * M_PI / 180);
  for (double x : {turn_shift, turn_shift - 0.05, -turn_shift}) {
    const Gear g{12, 2, 20, x, 0, 0, 0};
    EXPECT_TRUE(Draw(g, 0).empty()) << Describe(g, 0, kTol);
    EXPECT_EQ(services.messages.size(), 1u) << Describe(g, 0, kTol);
  }
  for (double radius : {6e-16, 1e-17, 3e-15, 1e-9}) {
    const Gear g{12, 2, 25, 0, 0, radius, radius};
    for (int LT : {0, 1}) {
      const auto sketch = Draw(g, LT);
      ASSERT_FALSE(sketch.empty()) << Describe(g, LT, kTol);
      for (const SketchEntity& e : sketch)
        if (e.kind == K::Arc) EXPECT_GT(Dist(Mm(e.b), Mm(e.a)), 1e-3) << Describe(g, LT, kTol);
      DrawsTrue(g, LT, kTol);
    }
  }
}

}  // namespace
}  // namespace tandrel
