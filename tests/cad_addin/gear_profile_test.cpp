// The gear outline sent to a host document: closed, within the tip and root circles, one tip and one
// root arc per tooth, fillets, backlash and the failures of the generator.
#include <gtest/gtest.h>

#include <cmath>

#include "gear_profile.h"
#include "recording_host.h"
#include "sketch_checks.h"

namespace tandrel {
namespace {

using test::CountNear;
using test::Summarise;

// A standard gear: reference, base, tip and root circles as the dialog derives them.
ProfileInput StandardGear(int z, double m, double x = 0.0) {
  const double alpha = 20.0 * kDegreesToRadians;
  const double d = z * m;
  ProfileInput in;
  in.z = z;
  in.r_b = d * std::cos(alpha) / 2.0;
  in.r_a = (d + 2.0 * m) / 2.0;
  in.r_f = (z <= 6 ? d - 2.0 * m * (1.0 - 0.2 * (6 - z)) : d - 2.5 * m) / 2.0;
  in.psi_b = 0.5 * ((4.0 * x * std::tan(alpha) + M_PI) / z * 180.0 / M_PI + (std::tan(alpha) - alpha) * 360.0 / M_PI);
  in.r_ref = d / 2.0;
  return in;
}

struct Drawn {
  int status = -1;
  std::vector<std::u16string> messages;
  std::vector<host::SketchEntity> sketch;
  std::vector<std::string> log;
};

Drawn Draw(const ProfileInput& in) {
  host::RecordingHost app;
  host::RecordingDocument* doc = app.OpenDocument(1, "gear");
  Drawn out;
  ProfileHooks hooks;
  hooks.message = [&](const std::u16string& m) { out.messages.push_back(m); };
  out.status = GenerateGearProfile(in, &app, hooks);
  out.sketch = doc->sketch;
  out.log = app.log.lines;
  EXPECT_EQ(doc->refs(), 0u) << "the document is released after drawing";
  return out;
}

TEST(GearProfile, OutlinesAreClosedAndLieBetweenRootAndTipCircles) {
  struct Case {
    const char* what;
    int z;
    double m;
    int LT;
    double crk, crt, bl;
  } cases[] = {
      {"arcs, base circle outside the root circle", 16, 0.5, 0, 0, 0, 0},
      {"lines", 16, 0.5, 1, 0, 0, 0},
      {"spline", 16, 0.5, 2, 0, 0, 0},
      {"fillets and backlash", 16, 0.5, 0, 0.05, 0.1, 0.02},
      {"base circle inside the root circle", 60, 1.0, 0, 0, 0, 0},
      {"inside, with fillets and backlash", 60, 1.0, 1, 0.1, 0.3, 0.05},
      {"three teeth", 3, 2.0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    ProfileInput in = StandardGear(c.z, c.m);
    in.LT = c.LT;
    in.crk = c.crk;
    in.crt = c.crt;
    in.bl = c.bl;
    const Drawn d = Draw(in);
    ASSERT_EQ(d.status, 0) << c.what;
    EXPECT_TRUE(d.messages.empty()) << c.what;
    const auto s = Summarise(d.sketch);
    EXPECT_EQ(s.open_ends, 0) << c.what;
    EXPECT_EQ(s.crowded_ends, 0) << c.what;
    EXPECT_NEAR(s.max_radius, in.r_a * 0.001, 1e-9) << c.what;
    EXPECT_NEAR(s.min_radius, in.r_f * 0.001, 1e-9) << c.what;
    EXPECT_EQ(CountNear(s.centre_arc_radii, in.r_a * 0.001, 1e-9), c.z) << c.what << ": tip arcs";
    EXPECT_EQ(CountNear(s.centre_arc_radii, in.r_f * 0.001, 1e-9), c.z) << c.what << ": root arcs";
  }
}

TEST(GearProfile, RadialLineOnlyWhenTheBaseCircleLiesOutsideTheRootCircle) {
  const Drawn small = Draw(StandardGear(16, 0.5));  // r_b > r_f
  EXPECT_EQ(Summarise(small.sketch).lines, 2 * 16);
  const Drawn large = Draw(StandardGear(60, 1.0));  // r_b < r_f
  EXPECT_EQ(Summarise(large.sketch).lines, 0);
}

TEST(GearProfile, DrawingCallsFollowTheHostsOrder) {
  ProfileInput in = StandardGear(16, 0.5);
  in.all_cir = 1;
  in.high = 5.0;
  const Drawn d = Draw(in);
  ASSERT_EQ(d.status, 0);
  // Before the first entity: direct mode on, sketch option, group, prepare; type; the root circle.
  const std::vector<std::string> head(d.log.begin() + 1, d.log.begin() + 9);
  const std::vector<std::string> expected = {
      "app 8 ActiveDocument -> doc1",  "doc1 237 SetDirectMode 1", "doc1 235 SetSketchOption 0",
      "doc1 162 StartEntityGroup",     "doc1 13 PrepareSketch",     "doc1 92 DocumentType -> 1",
      "doc1 162 StartEntityGroup",     "doc1 36 CreateCircle 0 0 0 0.003375"};
  EXPECT_EQ(head, expected);
  EXPECT_EQ(d.log[9], "doc1 44 ExtrudeSketch 1 0.005 zeros");
  const size_t n = d.log.size();
  EXPECT_EQ(d.log[n - 3], "doc1 44 ExtrudeSketch 1 0.005 zeros");
  EXPECT_EQ(d.log[n - 2], "doc1 237 SetDirectMode 0");
  EXPECT_EQ(d.log[n - 1], "doc1 100 FinishDrawing");
}

TEST(GearProfile, TopPutsAToothOnThePositiveYAxisOtherwiseASpace) {
  for (int top : {1, 0}) {
    ProfileInput in = StandardGear(16, 0.5);
    in.top = top;
    in.all = 0;
    const Drawn d = Draw(in);
    ASSERT_EQ(d.status, 0);
    // One tooth: the root arc under it first, the tip arc after the generated flank.
    const host::SketchEntity* tip = nullptr;
    for (const auto& e : d.sketch)
      if (e.kind == host::SketchEntity::Kind::Arc && e.count == -1 && std::hypot(e.a.x, e.a.y) < 1e-15) tip = &e;
    ASSERT_NE(tip, nullptr);
    const double mid_angle = std::atan2(tip->b.y + tip->c.y, tip->b.x + tip->c.x) * 180.0 / M_PI;
    EXPECT_NEAR(mid_angle, top == 1 ? 90.0 : 90.0 + 180.0 / 16, 1e-9) << top;
    EXPECT_EQ(Summarise(d.sketch).open_ends, 0) << "one tooth closes over its root arc";
  }
}

TEST(GearProfile, BacklashTurnsBothFlanksByItsAngleOnTheReferenceCircle) {
  const ProfileInput g = StandardGear(16, 0.5);
  auto tip_angle = [&](double bl) {  // the angle the tip arc spans
    ProfileInput in = g;
    in.bl = bl;
    in.all = 0;
    const Drawn d = Draw(in);
    for (const auto& e : d.sketch)
      if (e.kind == host::SketchEntity::Kind::Arc && e.count == -1 && std::hypot(e.a.x, e.a.y) < 1e-15)
        return std::atan2(e.b.y, e.b.x) - std::atan2(e.c.y, e.c.x);
    return -1.0;
  };
  const double none = tip_angle(0.0), plus = tip_angle(0.04), minus = tip_angle(-0.04);
  // Each flank turns by the angle of half the backlash along the reference circle (radius 4 mm): a
  // backlash thins the tooth, and a negative one thins it alike.
  EXPECT_NEAR(none - plus, 2.0 * 0.02 / 4.0, 1e-12);
  EXPECT_NEAR(none - minus, 2.0 * 0.02 / 4.0, 1e-12);
}

// At the very edge of what can be drawn, as the backlash, the profile shift, the root circle or a fillet
// grows to where the tip or the root arc vanishes: the last gear drawn has every arc about the gear
// centre short of a pitch, never one whose ends swapped and which runs the full circle; the first one
// beyond is refused with its reason. The edge is found to the neighbouring doubles.
TEST(GearProfile, AtTheEdgeOfWhatIsDrawableNoArcRunsRound) {
  struct Case {
    const char* what;
    ProfileInput (*gear)(double);
    double drawn, refused;  // a value drawn and one refused
    std::u16string message;
  };
  const Case cases[] = {
      {"backlash", [](double v) { ProfileInput g = StandardGear(100, 2.0); g.bl = v; return g; }, 0.0, 3.0,
       BacklashTooLargeMessage()},
      {"profile shift thinning the tip", [](double v) { return StandardGear(20, 1.0, v); }, 0.0, -2.0,
       PointedToothMessage()},
      {"profile shift widening the root", [](double v) { return StandardGear(20, 1.0, v); }, 0.0, 4.0,
       TeethOverlapAtRootMessage()},
      {"root circle", [](double v) { ProfileInput g = StandardGear(20, 1.0); g.r_f = v; return g; }, 8.75, 1.0,
       TeethOverlapAtRootMessage()},
      {"tip fillet", [](double v) { ProfileInput g = StandardGear(20, 1.0); g.crk = v; return g; }, 0.01, 1.0,
       TipFilletTooLargeMessage()},
      {"root fillet", [](double v) { ProfileInput g = StandardGear(20, 1.0); g.crt = v; return g; }, 0.01, 1.0,
       RootFilletTooLargeMessage()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    double drawn = c.drawn, refused = c.refused;
    auto builds = [&](double v) {
      ToothOutline tooth;
      return BuildToothOutline(c.gear(v), ProfileHooks{}, tooth) == 0;
    };
    ASSERT_TRUE(builds(drawn));
    ASSERT_FALSE(builds(refused));
    for (int step = 0; step < 200; ++step) {
      const double middle = drawn + (refused - drawn) / 2.0;
      if (middle == drawn || middle == refused) break;
      (builds(middle) ? drawn : refused) = middle;
    }
    ASSERT_EQ(std::nextafter(drawn, refused), refused);

    const ProfileInput edge = c.gear(drawn);
    const Drawn d = Draw(edge);
    ASSERT_EQ(d.status, 0);
    const double pitch = 2.0 * M_PI / edge.z;
    int centre_arcs = 0;
    for (const auto& e : d.sketch) {
      if (e.kind != host::SketchEntity::Kind::Arc || std::hypot(e.a.x, e.a.y) > 1e-15) continue;
      ++centre_arcs;
      EXPECT_LT(test::ArcSweep(e), pitch) << "arc of radius " << std::hypot(e.b.x, e.b.y) * 1000.0 << " mm";
    }
    EXPECT_EQ(centre_arcs, 2 * edge.z);
    EXPECT_EQ(Summarise(d.sketch).open_ends, 0);

    const Drawn beyond = Draw(c.gear(refused));
    EXPECT_EQ(beyond.messages, std::vector<std::u16string>{c.message});
  }
}

TEST(GearProfile, SplineSendsEachFlankPointWithTheCountStillToCome) {
  ProfileInput in = StandardGear(16, 0.5);
  in.LT = 2;
  in.all = 0;
  const Drawn d = Draw(in);
  std::vector<int> counts;
  for (const auto& e : d.sketch)
    if (e.kind == host::SketchEntity::Kind::SplinePoint) counts.push_back(e.count);
  ASSERT_GE(counts.size(), 4u);
  const int n = counts.front() + 1;
  ASSERT_EQ(counts.size(), size_t(2 * n)) << "both flanks";
  for (int i = 0; i < 2 * n; ++i) EXPECT_EQ(counts[size_t(i)], n - 1 - i % n);
}

TEST(GearProfile, FailuresShowTheirMessageAndDrawNothing) {
  struct Case {
    const char* what;
    ProfileInput in;
    std::u16string message;
  };
  auto with = [](ProfileInput in, auto change) {
    change(in);
    return in;
  };
  const ProfileInput g = StandardGear(16, 0.5);
  const Case cases[] = {
      {"tolerance 0", with(g, [](ProfileInput& i) { i.tol = 0; }), ToleranceTooSmallMessage()},
      {"two teeth", with(StandardGear(2, 0.5), [](ProfileInput&) {}), TooFewTeethMessage()},
      {"tip fillet beyond the tip radius", with(g, [](ProfileInput& i) { i.crk = 5.0; }), TipFilletOutOfRangeMessage()},
      {"tip fillet wider than the tooth", with(g, [](ProfileInput& i) { i.crk = 1.0; }), TipFilletTooLargeMessage()},
      {"root fillet wider than the space", with(g, [](ProfileInput& i) { i.crt = 1.0; }), RootFilletTooLargeMessage()},
      {"backlash beyond the tooth", with(g, [](ProfileInput& i) { i.bl = 1.0; }), BacklashTooLargeMessage()},
      {"negative backlash beyond the tooth", with(g, [](ProfileInput& i) { i.bl = -1.0; }), BacklashTooLargeMessage()},
      {"backlash no number", with(g, [](ProfileInput& i) { i.bl = std::nan(""); }), BacklashTooLargeMessage()},
      {"backlash infinite", with(g, [](ProfileInput& i) { i.bl = INFINITY; }), BacklashTooLargeMessage()},
      {"backlash infinite, negative", with(g, [](ProfileInput& i) { i.bl = -INFINITY; }), BacklashTooLargeMessage()},
      {"backlash without a reference circle", with(g, [](ProfileInput& i) { i.bl = 0.01, i.r_ref = 0.0; }),
       BacklashTooLargeMessage()},
      {"tip circle the involute never reaches", with(g, [](ProfileInput& i) { i.r_a = 2.0 * i.r_b; }),
       FlankStoreFullMessage()},
      {"tip circle inside the base circle", with(g, [](ProfileInput& i) { i.r_a = i.r_b; }), FlankStoreFullMessage()},
      {"root circle beyond the tip circle", with(StandardGear(60, 1.0), [](ProfileInput& i) { i.r_f = i.r_a; }),
       FlankStoreFullMessage()},
  };
  for (const Case& c : cases) {
    const Drawn d = Draw(c.in);
    EXPECT_EQ(d.status, 1) << c.what;
    ASSERT_EQ(d.messages.size(), 1u) << c.what;
    EXPECT_EQ(d.messages[0], c.message) << c.what;
    EXPECT_TRUE(d.sketch.empty()) << c.what;
  }
  EXPECT_EQ(ToleranceTooSmallMessage(), u"公差太小. 请输入一个大于 0 的值." + std::u16string(43, u' '));
  EXPECT_EQ(TipFilletOutOfRangeMessage(), std::u16string(7, u' ') + u"齿顶圆角超出范围." + std::u16string(16, u' '));
}

// The entities a gear would take are counted before anything is sent: the count agrees with what the
// host receives, a gear of realistic size with thousands of teeth is drawn, and one whose teeth would
// take more than the bound is refused at once with a message.
TEST(GearProfile, GearsBeyondTheEntityBoundAreRefusedBeforeDrawing) {
  struct Case {
    const char* what;
    int z;
    double m;
    int LT;
    double crk, crt, high;
    int all_cir;
  } counted[] = {
      {"arcs and radial lines", 16, 0.5, 0, 0, 0, 0, 0},
      {"lines, fillets, root circle, extrusion", 20, 1.0, 1, 0.1, 0.2, 5.0, 1},
      {"spline, extrusion", 60, 1.0, 2, 0, 0, 3.0, 0},
  };
  for (const Case& c : counted) {
    ProfileInput in = StandardGear(c.z, c.m);
    in.LT = c.LT;
    in.crk = c.crk;
    in.crt = c.crt;
    in.high = c.high;
    in.all_cir = c.all_cir;
    ToothOutline tooth;
    ASSERT_EQ(BuildToothOutline(in, ProfileHooks{}, tooth), 0) << c.what;
    const Drawn d = Draw(in);
    EXPECT_EQ(GearEntityCount(in, tooth), int64_t(d.sketch.size())) << c.what;
  }

  // A large gear of five thousand teeth: every tooth drawn, each with its tip and its root arc.
  const ProfileInput large = StandardGear(5000, 1.0);
  const Drawn drawn = Draw(large);
  ASSERT_EQ(drawn.status, 0);
  EXPECT_TRUE(drawn.messages.empty());
  std::vector<double> radii;
  for (const auto& e : drawn.sketch)
    if (e.kind == host::SketchEntity::Kind::Arc && std::hypot(e.a.x, e.a.y) < 1e-12)
      radii.push_back(std::hypot(e.b.x, e.b.y));
  EXPECT_EQ(CountNear(radii, large.r_a * 0.001, 1e-9), 5000);
  EXPECT_EQ(CountNear(radii, large.r_f * 0.001, 1e-9), 5000);

  // Just beyond the bound (four entities a tooth): refused. Checked first, so that a generator without
  // the bound fails here within seconds instead of drawing for hours below.
  ProfileInput beyond = StandardGear(300'000, 1.0);
  ToothOutline tooth;
  ASSERT_EQ(BuildToothOutline(beyond, ProfileHooks{}, tooth), 0);
  ASSERT_EQ(GearEntityCount(beyond, tooth), 4 * 300'000);
  const Drawn beyond_drawn = Draw(beyond);
  ASSERT_EQ(beyond_drawn.status, 1);
  ASSERT_EQ(beyond_drawn.messages, std::vector<std::u16string>{TooManyEntitiesMessage()});
  EXPECT_TRUE(beyond_drawn.sketch.empty());

  // Two thousand million teeth (a reference circle of 2 km): one tooth is drawn, all of them are refused.
  ProfileInput huge = StandardGear(2'000'000'000, 0.001);
  huge.all = 0;
  const Drawn one = Draw(huge);
  EXPECT_EQ(one.status, 0);
  EXPECT_FALSE(one.sketch.empty());
  huge.all = 1;
  const Drawn refused = Draw(huge);
  EXPECT_EQ(refused.status, 1);
  ASSERT_EQ(refused.messages.size(), 1u);
  EXPECT_EQ(refused.messages[0], TooManyEntitiesMessage());
  EXPECT_TRUE(refused.sketch.empty());
  EXPECT_EQ(refused.log.size(), 1u) << "after the document's opening the host was asked for nothing";
}

TEST(GearProfile, EscapeStopsWithoutMessage) {
  host::RecordingHost app;
  host::RecordingDocument* doc = app.OpenDocument(1, "gear");
  int polls = 0, messages = 0;
  ProfileHooks hooks;
  hooks.escape_held = [&] { return ++polls > 3; };
  hooks.message = [&](const std::u16string&) { ++messages; };
  EXPECT_EQ(GenerateGearProfile(StandardGear(16, 0.5), &app, hooks), 1);
  EXPECT_EQ(messages, 0);
  EXPECT_TRUE(doc->sketch.empty());
}

TEST(GearProfile, NoActiveDocumentDrawsNothing) {
  host::RecordingHost app;
  ProfileHooks hooks;
  EXPECT_EQ(GenerateGearProfile(StandardGear(16, 0.5), &app, hooks), 0);
  EXPECT_EQ(app.log.lines, std::vector<std::string>{"app 8 ActiveDocument -> none"});
}

TEST(FlankCount, CountsPointsAtAStepOfOneTolerance) {
  const ProfileInput g = StandardGear(16, 0.5);
  ProfileHooks hooks;
  std::vector<int> progress;
  hooks.progress = [&](int v) { progress.push_back(v); };
  const int coarse = CountFlankPoints(0.01, g.r_b, g.r_a, g.r_f, hooks);
  const int fine = CountFlankPoints(0.0001, g.r_b, g.r_a, g.r_f, hooks);
  EXPECT_GE(coarse, 2);
  EXPECT_GT(fine, coarse);
  EXPECT_LT(fine, kFlankStoreSize);
  EXPECT_EQ(progress.back(), 100);
  for (int v : progress) EXPECT_TRUE(v >= 0 && v <= 100);

  // With the base circle inside the root circle only the points from the root circle on count.
  const ProfileInput big = StandardGear(60, 1.0);
  const int from_root = CountFlankPoints(0.001, big.r_b, big.r_a, big.r_f, hooks);
  const int from_base = CountFlankPoints(0.001, big.r_b, big.r_a, big.r_b * 0.99, hooks);
  EXPECT_LT(from_root, from_base);
}

TEST(FlankCount, FailuresAndEscape) {
  const ProfileInput g = StandardGear(16, 0.5);
  std::vector<std::u16string> messages;
  ProfileHooks hooks;
  hooks.message = [&](const std::u16string& m) { messages.push_back(m); };
  EXPECT_EQ(CountFlankPoints(0.0, g.r_b, g.r_a, g.r_f, hooks), 0) << "a zero step would never end";
  EXPECT_EQ(CountFlankPoints(-0.001, g.r_b, g.r_a, g.r_f, hooks), 0);
  EXPECT_EQ(CountFlankPoints(0.001, g.r_b, 2.0 * g.r_b, g.r_f, hooks), kFlankStoreSize);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0], ToleranceTooSmallMessage());
  EXPECT_EQ(messages[2], FlankStoreFullMessage());
  int polls = 0;
  hooks.escape_held = [&] { return ++polls > 2; };
  EXPECT_EQ(CountFlankPoints(0.001, g.r_b, g.r_a, g.r_f, hooks), -1);
}

}  // namespace
}  // namespace tandrel
