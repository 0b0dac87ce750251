// The 3D view painted on a drawing panel with a real OpenGL context (Mesa on an X display).
#include "view_3d.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "geometry_pass.h"
#include "mesh_plot_math.h"
#include "opengl_panel.h"
#include "startup_values.h"
#include "view_3d_math.h"

using namespace morvell;

namespace {

constexpr int kW = 450, kH = 600;
constexpr int kViewport = 446;  // the drawing of a panel of the layout's size

class GlView3d : public ::testing::Test {
 protected:
  void SetUp() override {
    set_panel_error_reporter([this](const QString& t) { errors.push_back(t); });
    set_startup_values(d);
    d.second_geometry_pass = 1;
    calc_gear_geometry(d);
    zoom_3d(d) = 1.0f;
    host.resize(kW, kH);
    panel = new TOpenGLPanel(&host);
    panel->setGeometry(0, 0, kW, kH);
    panel->OnInit = [this](TOpenGLPanel*) { init_3d_view(d); };
    panel->OnPaint = [this](TOpenGLPanel*) {
      paint_3d_view(d, kViewport);
      gl_error = glGetError();
      ++paints;
    };
    host.show();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) QCoreApplication::processEvents();
  }
  void TearDown() override { set_panel_error_reporter(nullptr); }

  QImage paint() {
    picture = panel->CapturePicture().convertToFormat(QImage::Format_RGB32);
    if (const char* dir = std::getenv("MORVELL_VIEW_PICTURES"))
      picture.save(QString("%1/view3d_%2.png").arg(dir).arg(++saved));
    return picture;
  }
  // Pixel of the point (x, y) in mm of the transverse plane through the gear's centre, as the
  // orthographic window of the last paint shows it in the 446 x 446 viewport at the lower left.
  bool drawn_at(float x, float y) const {
    const float* b = d.view_bounds_3d;
    const int col = int((x - b[0]) / (b[1] - b[0]) * kViewport);
    const int row = kH - 1 - int((y - b[2]) / (b[3] - b[2]) * kViewport);
    return (picture.pixel(col, row) & 0xFFFFFF) != 0xFFFFFF;
  }
  int drawn_pixels(int top_row, int bottom_row) const {
    int n = 0;
    for (int y = top_row; y < bottom_row; ++y)
      for (int x = 0; x < picture.width(); ++x) n += (picture.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return n;
  }

  DesignData d;
  QWidget host;
  TOpenGLPanel* panel = nullptr;
  QImage picture;
  std::vector<QString> errors;
  GLenum gl_error = GL_NO_ERROR;
  int paints = 0;
  int saved = 0;
};

}  // namespace

TEST_F(GlView3d, InitialisationResetsTheViewAndEveryViewDrawsItsGears) {
  ASSERT_TRUE(panel->HasGLContext());
  EXPECT_EQ(d.view_rotation_3d, 45.0f);
  EXPECT_EQ(d.pan_x_3d, 0.0f);
  const float a = d.centre_distance;
  const float rf1 = d.root_diameter[0] / 2, rf2 = d.root_diameter[1] / 2;
  struct Case {
    int32_t view;
    bool pinion, wheel;
  } cases[] = {{kViewPinion, true, false}, {kViewWheel, false, true}, {kViewMesh, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    d.view_selection = c.view;
    paint();
    EXPECT_EQ(gl_error, GLenum(GL_NO_ERROR));
    // The gears stand at the pinion centre and at the centre distance; their bodies (inside the root
    // circle) are solid at the axis, however the view is turned.
    if (c.pinion) {
      EXPECT_TRUE(drawn_at(0, 0));
      EXPECT_TRUE(drawn_at(0, 0.8f * rf1));
    }
    if (c.wheel) {
      EXPECT_TRUE(drawn_at(0, a));
      EXPECT_TRUE(drawn_at(0, a - 0.8f * rf2));
    }
    if (c.view == kViewPinion) {
      EXPECT_FALSE(drawn_at(0, a - 0.8f * rf2));
    }
    // Nothing above the viewport.
    EXPECT_EQ(drawn_pixels(0, kH - kViewport), 0);
    EXPECT_GT(drawn_pixels(kH - kViewport, kH), 1000);
    EXPECT_EQ(d.wheel_rotation_3d, c.wheel ? float(360.0 / (2 * d.teeth[1]) + 180) : 0.0f);
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(GlView3d, PaintLeavesTheToothOutlineOfOtherCallersAsItWas) {
  for (int i = 0; i < kProfilePointCount; ++i) d.profile_points[i] = ProfilePoint{float(i), -float(i)};
  const DesignData before = d;
  d.view_selection = kViewMesh;
  paint();
  EXPECT_EQ(std::memcmp(&before.profile_points, &d.profile_points, sizeof(ToothProfile)), 0);
  EXPECT_GT(paints, 0);
}

TEST_F(GlView3d, SpurGearWithItsInfiniteLeadDrawsWithoutError) {
  d.helix_angle = 0;
  calc_gear_geometry(d);
  ASSERT_TRUE(std::isinf(d.helix_lead[0]));
  d.view_selection = kViewMesh;
  paint();
  EXPECT_EQ(gl_error, GLenum(GL_NO_ERROR));
  EXPECT_TRUE(drawn_at(0, 0));
  EXPECT_TRUE(drawn_at(0, d.centre_distance));
  EXPECT_TRUE(errors.empty());
}

// Seen along the axis, a helical gear shows beside each tooth of its front face the flanks of the same
// tooth further back, turned by the twist: on one side of the tooth only, by the hand. The wheel has
// the opposite hand, so the two gears show it on opposite sides, and both change sides with the hand.
TEST_F(GlView3d, AlongTheAxisTheTwistShowsTheHandAndTheWheelHasTheOpposite) {
  // Whether gear `gear` is drawn just beyond the flank of its tooth 0 on the reference circle, a quarter
  // of the gap on from the front face's flank, on side +1 or -1 (angles clockwise from +y about the
  // gear's centre; the wheel's tooth 0 is turned counter-clockwise by wheel_rotation_3d).
  const auto beside_tooth = [&](int gear, int side) {
    const double r = d.reference_diameter[gear] / 2.0;
    const double half_tooth = d.thickness_finished_transverse[gear] / (2.0 * r);
    const double gap = 2.0 * M_PI / d.teeth[gear] - 2.0 * half_tooth;
    const double tooth = gear == 0 ? 0.0 : -d.wheel_rotation_3d * M_PI / 180.0;
    const double phi = tooth + side * (half_tooth + gap / 4.0);
    return drawn_at(float(r * std::sin(phi)), float((gear == 0 ? 0.0 : d.centre_distance) + r * std::cos(phi)));
  };
  // The side of tooth 0 on which the gear shows its twisted flanks (0 when on neither or both).
  const auto twisted_side = [&](int gear) {
    d.view_selection = gear == 0 ? kViewPinion : kViewWheel;
    d.view_rotation_3d = 0;
    paint();
    EXPECT_EQ(gl_error, GLenum(GL_NO_ERROR));
    const bool plus = beside_tooth(gear, +1), minus = beside_tooth(gear, -1);
    return plus == minus ? 0 : plus ? +1 : -1;
  };
  // Leads that turn each gear by half its gap at the reference circle over the face width: the flanks
  // then reach a quarter of the gap beyond the tooth on one side and stop short of the next tooth.
  for (int g = 0; g < 2; ++g) {
    const double r = d.reference_diameter[g] / 2.0;
    const double gap = 2.0 * M_PI / d.teeth[g] - d.thickness_finished_transverse[g] / r;
    d.helix_lead[g] = float(2.0 * M_PI * d.face_width[g] / (gap / 2.0));
  }
  const std::array<float, 2> leads{d.helix_lead[0], d.helix_lead[1]};

  // Only the hand changes.
  d.helix_hand = 1;
  const int pinion_right = twisted_side(0), wheel_right = twisted_side(1);
  d.helix_hand = -1;
  const int pinion_left = twisted_side(0), wheel_left = twisted_side(1);
  EXPECT_NE(pinion_right, 0);
  EXPECT_EQ(wheel_right, -pinion_right);
  EXPECT_EQ(pinion_left, -pinion_right);
  EXPECT_EQ(wheel_left, -pinion_left);

  // Only the twist changes: without it (an infinite lead) the teeth show on neither side.
  d.helix_lead[0] = d.helix_lead[1] = std::numeric_limits<float>::infinity();
  EXPECT_EQ(twisted_side(0), 0);
  EXPECT_EQ(twisted_side(1), 0);
  d.helix_lead[0] = leads[0];
  d.helix_lead[1] = leads[1];
  EXPECT_EQ(twisted_side(0), pinion_left);
  EXPECT_TRUE(errors.empty());
}

// The lights follow the design shown: a panel set up while another design was shown paints the present
// one as a panel set up with it does (lights placed once from the first design left a pair of another
// size with dark end faces).
TEST_F(GlView3d, LightsArePlacedFromTheDesignShown) {
  d.view_selection = kViewPinion;
  d.centre_distance = 600;  // only the lights change for the pinion's view
  const QImage after_another = paint();

  QWidget other_host;
  other_host.resize(kW, kH);
  auto* other = new TOpenGLPanel(&other_host);
  other->setGeometry(0, 0, kW, kH);
  other->OnInit = [this](TOpenGLPanel*) { init_3d_view(d); };
  other->OnPaint = [this](TOpenGLPanel*) { paint_3d_view(d, kViewport); };
  other_host.show();
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 300) QCoreApplication::processEvents();
  const QImage set_up_with_it = other->CapturePicture().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(after_another.size(), set_up_with_it.size());
  int differing = 0;
  for (int y = 0; y < after_another.height(); ++y)
    for (int x = 0; x < after_another.width(); ++x) differing += after_another.pixel(x, y) != set_up_with_it.pixel(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_TRUE(errors.empty());
}

// However wide the face, no part of a gear leaves the depth range: the ends of a pinion with a face of
// 400 mm, turned 45 degrees out of the picture's plane, are drawn.
TEST_F(GlView3d, NoViewCutsAGearAtTheDepthRange) {
  d.view_selection = kViewPinion;
  d.face_width[0] = 400;
  zoom_3d(d) = 4.0f;  // a window wide enough for the whole face
  paint();
  EXPECT_EQ(gl_error, GLenum(GL_NO_ERROR));
  const float end = 200 * std::sin(float(M_PI) / 4);
  for (const float x : {-0.95f * end, -0.5f * end, 0.0f, 0.5f * end, 0.95f * end})
    EXPECT_TRUE(drawn_at(x, 0)) << x;
  EXPECT_TRUE(errors.empty());
}
