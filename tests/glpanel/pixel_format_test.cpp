#include "opengl_panel.h"
#include "pixel_format.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cfenv>
#include <set>

using namespace morvell;

namespace {
const PFDFlagSet W_O_DB{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_DOUBLEBUFFER};
const PFDFlagSet W_O_GDI{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_SUPPORT_GDI};
const PFDFlagSet W_O{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL};
const PFDFlagSet W_O_BOTH{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_DOUBLEBUFFER, f_PFD_SUPPORT_GDI};
}  // namespace

TEST(PixelFormatFlags, InvariantKeepsExactlyOneOfGdiAndDoubleBuffer) {
  struct Case {
    PFDFlagSet current, requested, expected;
  } cases[] = {
      {W_O_DB, W_O_BOTH, W_O_GDI},  // both, GDI not set before: GDI support kept
      {W_O_GDI, W_O_BOTH, W_O_DB},  // both, GDI set before: double buffering wins
      {W_O_DB, W_O, W_O_GDI},       // neither, GDI not set before: GDI support added
      {W_O_GDI, W_O, W_O_DB},       // neither, GDI set before: double buffering added
      {W_O_DB, W_O_GDI, W_O_GDI},   // exactly one: taken as it is
      {W_O_GDI, PFDFlagSet{f_PFD_DOUBLEBUFFER, f_PFD_STEREO}, PFDFlagSet{f_PFD_DOUBLEBUFFER, f_PFD_STEREO}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(apply_pfd_flag_invariant(c.current, c.requested).bits(), c.expected.bits())
        << "current " << c.current.bits() << " requested " << c.requested.bits();
  }
}

TEST(PixelFormatFlags, PanelSetterSwitchesBetweenGdiAndDoubleBuffer) {
  TOpenGLPanel panel;
  EXPECT_EQ(panel.PFDFlags(), W_O_DB);
  panel.SetPFDFlags(W_O);
  EXPECT_EQ(panel.PFDFlags(), W_O_GDI);
  panel.SetPFDFlags(W_O);
  EXPECT_EQ(panel.PFDFlags(), W_O_DB);
  panel.SetPFDFlags(W_O_BOTH);
  EXPECT_EQ(panel.PFDFlags(), W_O_GDI);
}

TEST(PixelFormatFlags, EveryElementMapsToItsDescriptorFlag) {
  struct Case {
    TPFDFlags element;
    std::uint32_t flag;
  } cases[] = {
      {f_PFD_DRAW_TO_WINDOW, 0x4},        {f_PFD_DRAW_TO_BITMAP, 0x8},     {f_PFD_SUPPORT_OPENGL, 0x20},
      {f_PFD_GENERIC_ACCELERATED, 0x1000}, {f_PFD_GENERIC_FORMAT, 0x40},    {f_PFD_NEED_PALETTE, 0x80},
      {f_PFD_NEED_SYSTEM_PALETTE, 0x100},  {f_PFD_STEREO, 0x2},             {f_PFD_SWAP_LAYER_BUFFERS, 0x800},
  };
  for (const Case& c : cases) {
    // With GDI support the element's flag stands alone beside PFD_SUPPORT_GDI.
    EXPECT_EQ(pfd_descriptor_flags(PFDFlagSet{c.element, f_PFD_SUPPORT_GDI}), c.flag | 0x10u) << c.element;
  }
  // Double buffering is requested exactly when GDI support is absent, whatever the set says about it.
  EXPECT_EQ(pfd_descriptor_flags(PFDFlagSet{f_PFD_DOUBLEBUFFER}), 0x1u);
  EXPECT_EQ(pfd_descriptor_flags(PFDFlagSet{}), 0x1u);
  EXPECT_EQ(pfd_descriptor_flags(PFDFlagSet{f_PFD_SUPPORT_GDI}), 0x10u);
  EXPECT_EQ(pfd_descriptor_flags(W_O_DB), 0x25u);
}

TEST(PixelFormatDescriptorTest, RequestHoldsOnlyTypeBitsAndFlags) {
  const PixelFormatDescriptor d = make_pixel_format_descriptor(PFD_TYPE_COLORINDEX, W_O_GDI, 8, 16);
  EXPECT_EQ(d.nSize, 40);
  EXPECT_EQ(d.nVersion, 1);
  EXPECT_EQ(d.dwFlags, 0x34u);
  EXPECT_EQ(d.iPixelType, 1);
  EXPECT_EQ(d.cColorBits, 8);
  EXPECT_EQ(d.cDepthBits, 16);
  EXPECT_EQ(d.iLayerType, 0);
  EXPECT_EQ(d.cRedBits + d.cGreenBits + d.cBlueBits + d.cAlphaBits + d.cAccumBits + d.cStencilBits, 0);

  TOpenGLPanel panel;
  EXPECT_EQ(panel.PixelType(), f_PFD_TYPE_RGBA);
  panel.SetPFDPixelType(f_PFD_TYPE_COLORINDEX);
  EXPECT_EQ(panel.PixelType(), f_PFD_TYPE_COLORINDEX);
}

TEST(PixelFormatDescriptorTest, SurfaceFormatAsksForTheClosestCompatibilityContext) {
  const QSurfaceFormat dbl = surface_format_for(make_pixel_format_descriptor(0, W_O_DB, 32, 32));
  EXPECT_EQ(dbl.profile(), QSurfaceFormat::CompatibilityProfile);
  EXPECT_EQ(dbl.renderableType(), QSurfaceFormat::OpenGL);
  EXPECT_EQ(dbl.swapBehavior(), QSurfaceFormat::DoubleBuffer);
  EXPECT_EQ(dbl.redBufferSize(), 8);
  EXPECT_EQ(dbl.greenBufferSize(), 8);
  EXPECT_EQ(dbl.blueBufferSize(), 8);
  EXPECT_EQ(dbl.depthBufferSize(), 32);
  EXPECT_FALSE(dbl.stereo());

  const QSurfaceFormat single =
      surface_format_for(make_pixel_format_descriptor(0, W_O_GDI.with(f_PFD_STEREO), 16, 0));
  EXPECT_EQ(single.swapBehavior(), QSurfaceFormat::SingleBuffer);
  EXPECT_TRUE(single.stereo());
  EXPECT_EQ(single.redBufferSize(), 5);
  EXPECT_EQ(single.greenBufferSize(), 6);
  EXPECT_EQ(single.depthBufferSize(), 0);

  QSurfaceFormat obtained = dbl;
  obtained.setDepthBufferSize(24);
  const PixelFormatDescriptor described =
      describe_surface_format(make_pixel_format_descriptor(0, W_O_DB, 32, 32), obtained);
  EXPECT_EQ(described.dwFlags, 0x25u);
  EXPECT_EQ(described.cColorBits, 24);
  EXPECT_EQ(described.cRedShift, 16);
  EXPECT_EQ(described.cGreenShift, 8);
  EXPECT_EQ(described.cBlueShift, 0);
  EXPECT_EQ(described.cDepthBits, 24);
}

TEST(Palette, EightBitFormatHas256EntriesScaledPerComponent) {
  PixelFormatDescriptor f;
  f.cColorBits = 8;
  f.cRedBits = 3, f.cRedShift = 0;
  f.cGreenBits = 3, f.cGreenShift = 3;
  f.cBlueBits = 2, f.cBlueShift = 6;
  const auto p = palette_entries_for(f);
  ASSERT_EQ(p.size(), 256u);
  std::set<int> reds;
  for (const PaletteEntry& e : p) reds.insert(e.peRed);
  EXPECT_EQ(reds, (std::set<int>{0, 36, 72, 109, 145, 182, 218, 255}));
  // 157 = blue 2, green 3, red 5.
  EXPECT_EQ(p[157].peRed, 182);
  EXPECT_EQ(p[157].peGreen, 109);
  EXPECT_EQ(p[157].peBlue, 170);
  EXPECT_EQ(p[157].peFlags, 0);
  EXPECT_EQ(p[255].peRed + p[255].peGreen + p[255].peBlue, 3 * 255);
}

TEST(Palette, ThreeBitFormatAndEmptyComponents) {
  PixelFormatDescriptor f;
  f.cColorBits = 3;
  f.cRedBits = 1, f.cRedShift = 0;
  f.cGreenBits = 1, f.cGreenShift = 1;
  f.cBlueBits = 1, f.cBlueShift = 2;
  const auto p = palette_entries_for(f);
  ASSERT_EQ(p.size(), 8u);
  for (unsigned i = 0; i < 8; ++i) {
    EXPECT_EQ(p[i].peRed, (i & 1) ? 255 : 0);
    EXPECT_EQ(p[i].peGreen, (i & 2) ? 255 : 0);
    EXPECT_EQ(p[i].peBlue, (i & 4) ? 255 : 0);
  }
  // A component without bits is 0 rather than a division by zero.
  f.cBlueBits = 0;
  const auto no_blue = palette_entries_for(f);
  ASSERT_EQ(no_blue.size(), 8u);
  for (const PaletteEntry& e : no_blue) EXPECT_EQ(e.peBlue, 0);
  // Direct-colour formats get no palette at all.
  f.cColorBits = 24;
  EXPECT_TRUE(palette_entries_for(f).empty());
  f.cColorBits = 32;
  EXPECT_TRUE(palette_entries_for(f).empty());
}

TEST(PanelProperties, DefaultsAndFloatingPointMasking) {
  feenableexcept(FE_DIVBYZERO | FE_INVALID);
  TOpenGLPanel panel;
  EXPECT_EQ(fegetexcept(), 0);
  EXPECT_EQ(panel.cColorBits(), 32);
  EXPECT_EQ(panel.cDepthBits(), 32);
  EXPECT_EQ(panel.GLSwapBuffers(), Auto);
  EXPECT_EQ(panel.PixelsPerInch(), 96);
  EXPECT_EQ(panel.PrintScale(), pglProportional);
  EXPECT_FALSE(panel.Font3D_Enabled());
  EXPECT_FALSE(panel.Font2D_Enabled());
  EXPECT_EQ(panel.Font3D_FirstGylph(), 32);
  EXPECT_EQ(panel.Font3D_NumGylph(), 96);
  EXPECT_EQ(panel.Font3D_MaxDeviation(), 0.0f);
  EXPECT_EQ(panel.Font3D_Extrustion(), 0.1f);
  EXPECT_EQ(panel.Font3D_Format(), f_WGL_FONT_POLYGONS);
  EXPECT_EQ(panel.Font2D_FirstGylph(), 32);
  EXPECT_EQ(panel.Font2D_NumGylph(), 96);
  for (const QFont* f : {&panel.Font3D_Type(), &panel.Font2D_Type()}) {
    EXPECT_EQ(f->family(), "Arial");
    EXPECT_TRUE(f->bold());
    EXPECT_EQ(f->pixelSize(), 9);
  }
  // The setters copy a font's attributes.
  QFont other("DejaVu Sans");
  other.setPixelSize(20);
  panel.SetFont(other);
  other.setPixelSize(30);
  EXPECT_EQ(panel.Font2D_Type().pixelSize(), 20);
  EXPECT_FALSE(panel.SetDisplayBPP(16));
}

TEST(PanelMouse, EventsCarryButtonShiftAndPosition) {
  TOpenGLPanel panel;
  panel.resize(100, 100);
  std::vector<std::string> calls;
  auto record = [&](const char* what) {
    return [&calls, what](TOpenGLPanel*, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
      calls.push_back(std::string(what) + " " + std::to_string(int(b)) + " " + std::to_string(int(m)) + " " +
                      std::to_string(x) + " " + std::to_string(y));
    };
  };
  panel.OnMouseDown = record("down");
  panel.OnMouseMove = record("move");
  panel.OnMouseUp = record("up");
  panel.OnClick = [&](TOpenGLPanel*) { calls.push_back("click"); };
  auto send = [&](QEvent::Type t, QPointF at, Qt::MouseButton b, Qt::MouseButtons held) {
    QMouseEvent e(t, at, panel.mapToGlobal(at), b, held, Qt::ShiftModifier);
    QCoreApplication::sendEvent(&panel, &e);
  };
  send(QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, {30, 40}, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {50, 60}, Qt::LeftButton, Qt::NoButton);
  // Released outside the panel: no click.
  send(QEvent::MouseButtonPress, {10, 20}, Qt::RightButton, Qt::RightButton);
  send(QEvent::MouseButtonRelease, {150, 60}, Qt::RightButton, Qt::NoButton);
  const std::string shift = std::to_string(int(Qt::ShiftModifier));
  EXPECT_EQ(calls, (std::vector<std::string>{"down 1 " + shift + " 10 20", "move 0 " + shift + " 30 40", "click",
                                             "up 1 " + shift + " 50 60", "down 2 " + shift + " 10 20",
                                             "up 2 " + shift + " 150 60"}));
}
