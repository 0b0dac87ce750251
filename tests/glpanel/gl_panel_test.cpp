// Tests that need a real OpenGL context (Mesa's software renderer on an X display).
#include "opengl_panel.h"

#include "full_disk.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QOpenGLContext>
#include <QPrinter>
#include <QWidget>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace morvell;

namespace {

// A panel that counts its buffer swaps.
class CountingPanel : public TOpenGLPanel {
 public:
  using TOpenGLPanel::TOpenGLPanel;
  void SwapBuffers() override {
    ++swaps;
    TOpenGLPanel::SwapBuffers();
  }
  int swaps = 0;
};

class GlPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    set_panel_error_reporter([this](const QString& t) { errors.push_back(t); });
    host.resize(200, 150);
    panel = new CountingPanel(&host);
    panel->setGeometry(0, 0, 200, 150);
  }
  void TearDown() override {
    set_panel_error_reporter(nullptr);
  }

  // Shows the panel and lets it paint.
  void show() {
    host.show();
    pump();
  }
  void pump() {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) QCoreApplication::processEvents();
  }

  // Counts the pixels of the picture that have the colour.
  static int count(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
    return n;
  }

  // Paints a blue background with a red left half.
  static void paint_halves(TOpenGLPanel*) {
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glColor3f(1, 0, 0);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1), glVertex2f(0, -1), glVertex2f(0, 1), glVertex2f(-1, 1);
    glEnd();
  }

  // Orthographic projection in pixels, origin at the lower left, black background.
  static void pixel_projection(TOpenGLPanel* p) {
    glViewport(0, 0, p->width(), p->height());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, p->width(), 0, p->height(), -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  QWidget host;
  CountingPanel* panel = nullptr;
  std::vector<QString> errors;
};

}  // namespace

TEST_F(GlPanel, EventsRunWithTheContextCurrentAndInitRunsOnce) {
  std::vector<std::string> order;
  bool current_in_init = false, current_in_paint = true, current_in_resize = true;
  panel->OnPreInit = [&](TOpenGLPanel* p) {
    order.push_back("preinit");
    EXPECT_FALSE(p->isValid());
    p->SetPFDNumDepthBits(16);  // still taken into the request
  };
  panel->OnInit = [&](TOpenGLPanel* p) {
    order.push_back("init");
    current_in_init = QOpenGLContext::currentContext() == p->context() && p->context() != nullptr;
  };
  panel->OnPaint = [&](TOpenGLPanel* p) {
    order.push_back("paint");
    current_in_paint = current_in_paint && QOpenGLContext::currentContext() == p->context();
  };
  panel->OnResize = [&](TOpenGLPanel* p) {
    order.push_back("resize");
    current_in_resize = current_in_resize && QOpenGLContext::currentContext() == p->context();
  };
  show();
  ASSERT_TRUE(panel->HasGLContext()) << (errors.empty() ? "" : errors[0].toStdString());
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0], "preinit");
  EXPECT_EQ(order[1], "init");
  EXPECT_TRUE(current_in_init);
  EXPECT_EQ(panel->RequestedFormat().cDepthBits, 16);

  panel->resize(180, 120);
  pump();
  panel->update();
  pump();
  EXPECT_EQ(std::count(order.begin(), order.end(), "init"), 1);
  EXPECT_EQ(std::count(order.begin(), order.end(), "preinit"), 1);
  EXPECT_GE(std::count(order.begin(), order.end(), "paint"), 2);
  EXPECT_GE(std::count(order.begin(), order.end(), "resize"), 2);
  EXPECT_TRUE(current_in_paint);
  EXPECT_TRUE(current_in_resize);
  // Between events the panel's context is not current.
  EXPECT_NE(QOpenGLContext::currentContext(), panel->context());
  EXPECT_TRUE(errors.empty());

  // Properties changed now wait for the next creation of the context.
  panel->SetPFDNumDepthBits(24);
  panel->SetPFDPixelType(f_PFD_TYPE_COLORINDEX);
  panel->update();
  pump();
  EXPECT_EQ(panel->RequestedFormat().cDepthBits, 16);
  EXPECT_EQ(panel->RequestedFormat().iPixelType, PFD_TYPE_RGBA);
  EXPECT_TRUE(panel->HasGLContext());

  // The obtained format: double buffered as requested, direct colour, so no palette.
  EXPECT_TRUE(panel->DoubleBuffered());
  EXPECT_EQ(panel->DescribedFormat().dwFlags & PFD_DOUBLEBUFFER, PFD_DOUBLEBUFFER);
  EXPECT_GE(panel->DescribedFormat().cColorBits, 24);
  EXPECT_TRUE(panel->Palette().empty());
}

TEST_F(GlPanel, PaintDrawsThePictureThatIsReadBack) {
  panel->OnPaint = paint_halves;
  show();
  const QImage picture = panel->CapturePicture();
  ASSERT_EQ(picture.size(), QSize(200, 150));
  EXPECT_EQ(picture.pixel(20, 75) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(picture.pixel(180, 75) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(count(picture, qRgb(255, 0, 0)), 100 * 150);
  EXPECT_NE(QOpenGLContext::currentContext(), panel->context());

  // The same picture written as a Windows bitmap file and read back.
  panel->SaveOpenGLPanelToFile("picture.bmp");
  QFile f("picture.bmp");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.read(2), QByteArray("BM"));
  f.close();
  const auto texture = TOpenGLPanel::LoadBMPTexture("picture.bmp", false);
  ASSERT_TRUE(texture);
  EXPECT_EQ(texture->width, 200);
  EXPECT_EQ(texture->height, 150);
  EXPECT_EQ(texture->pixels[0], 255);  // bottom left: red
  EXPECT_EQ(texture->pixels[2], 0);
  const size_t right = (149 * 200 + 199) * 3;  // top right: blue
  EXPECT_EQ(texture->pixels[right], 0);
  EXPECT_EQ(texture->pixels[right + 2], 255);

  EXPECT_THROW(panel->SaveOpenGLPanelToFile("no_such_folder/picture.bmp"), std::runtime_error);

  // A disk that fills up part-way through the picture: the save fails and the old picture stays whole.
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray before = f.readAll();
  f.close();
  {
    FullDisk full(4096);
    EXPECT_THROW(panel->SaveOpenGLPanelToFile("picture.bmp"), std::runtime_error);
  }
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);
  f.close();
  EXPECT_EQ(QDir().entryList(QDir::Files).filter("picture.bmp").size(), 1);  // no temporary file left
  EXPECT_TRUE(QDir().entryList(QDir::Files | QDir::Hidden).filter(".mvtmp-").isEmpty());

  // A picture file made read-only is not replaced.
  QFile::setPermissions("picture.bmp", QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
  EXPECT_THROW(panel->SaveOpenGLPanelToFile("picture.bmp"), std::runtime_error);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);
  f.close();
  QFile::setPermissions("picture.bmp", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(GlPanel, PrintsThePictureIntoAPdfDocument) {
  panel->OnPaint = paint_halves;
  show();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName("picture.pdf");
  printer.setResolution(600);
  panel->SetOpenGLPixelsPerInch(0);
  EXPECT_TRUE(panel->PrintOpenGLPanel(&printer));
  EXPECT_EQ(panel->PixelsPerInch(), 96);
  QFile f("picture.pdf");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.read(4), QByteArray("%PDF"));
  EXPECT_GT(f.size(), 1000);
  EXPECT_TRUE(errors.empty());

  // A document that cannot be started is reported, not passed over.
  printer.setOutputFileName("no_such_folder/picture.pdf");
  EXPECT_FALSE(panel->PrintOpenGLPanel(&printer));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Print: the printer could not be started");
}

TEST_F(GlPanel, PanelsOfDifferentWindowsDoNotShareTheirDisplayLists) {
  show();
  QWidget other_window;
  other_window.resize(60, 60);
  TOpenGLPanel other(&other_window);
  other.setGeometry(0, 0, 60, 60);
  other_window.show();
  pump();
  ASSERT_TRUE(panel->HasGLContext());
  ASSERT_TRUE(other.HasGLContext());
  EXPECT_FALSE(panel->PanelShareLists(&other));  // as the README says
  EXPECT_TRUE(errors.empty());
}

TEST_F(GlPanel, BufferSwapFollowsSwapModeAndDoubleBuffering) {
  int paints = 0;
  panel->OnPaint = [&](TOpenGLPanel* p) {
    ++paints;
    paint_halves(p);
  };
  show();
  ASSERT_GT(paints, 0);
  EXPECT_EQ(panel->swaps, paints);

  panel->SetGLSwapBuffers(Manual);
  panel->swaps = 0;
  panel->update();
  pump();
  EXPECT_EQ(panel->swaps, 0);

  // A single-buffered (GDI) panel never swaps.
  CountingPanel single(&host);
  single.SetPFDFlags(PFDFlagSet{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_SUPPORT_GDI});
  single.setGeometry(0, 0, 50, 50);
  single.OnPaint = paint_halves;
  single.show();
  pump();
  ASSERT_TRUE(single.HasGLContext());
  EXPECT_FALSE(single.DoubleBuffered());
  EXPECT_EQ(single.swaps, 0);
  // Panels of one window share their display lists.
  EXPECT_TRUE(panel->PanelShareLists(&single));
  EXPECT_FALSE(panel->PanelShareLists(nullptr));
}

TEST_F(GlPanel, ColourIndexFormatIsReportedAndLeavesThePanelWithoutContext) {
  int events = 0;
  panel->SetPFDPixelType(f_PFD_TYPE_COLORINDEX);
  panel->OnInit = [&](TOpenGLPanel*) { ++events; };
  panel->OnPaint = [&](TOpenGLPanel*) { ++events; };
  panel->OnResize = [&](TOpenGLPanel*) { ++events; };
  show();
  EXPECT_EQ(events, 0);
  EXPECT_FALSE(panel->HasGLContext());
  EXPECT_EQ(panel->RequestedFormat().iPixelType, 1);
  EXPECT_EQ(errors, (std::vector<QString>{"ChoosePixelFormat:2000", "Open GL Context Create Failed"}));
}

TEST_F(GlPanel, FontsAreBuiltOnlyWithAnInitHandler) {
  panel->SetFont2D_Enabled(true);
  panel->SetFont3D_Enabled(true);
  show();
  ASSERT_TRUE(panel->HasGLContext());
  EXPECT_EQ(panel->Font2D(), nullptr);
  EXPECT_EQ(panel->Font3D(), nullptr);

  CountingPanel with_init(&host);
  with_init.SetFont2D_Enabled(true);
  with_init.SetFont3D_Enabled(true);
  with_init.OnInit = [](TOpenGLPanel*) {};
  with_init.setGeometry(0, 0, 50, 50);
  with_init.show();
  pump();
  ASSERT_NE(with_init.Font2D(), nullptr);
  ASSERT_NE(with_init.Font3D(), nullptr);
  EXPECT_EQ(with_init.Font3D()->first, 32);
  EXPECT_EQ(with_init.Font3D()->count, 96);
  EXPECT_FLOAT_EQ(with_init.Font3D()->extrusion, 0.1f);
  EXPECT_EQ(with_init.Font2D()->count, 96);
}

TEST_F(GlPanel, ContextCreatedAgainRunsInitAgainAndRebuildsFonts) {
  int inits = 0;
  panel->SetFont2D_Enabled(true);
  panel->OnInit = [&](TOpenGLPanel*) { ++inits; };
  panel->OnPaint = paint_halves;
  show();
  ASSERT_EQ(inits, 1);
  ASSERT_NE(panel->Font2D(), nullptr);
  // Moved to another window: the old context goes with its fonts, a new one is created.
  QWidget other;
  other.resize(200, 150);
  panel->setParent(&other);
  panel->show();
  other.show();
  pump();
  EXPECT_EQ(inits, 2);
  EXPECT_TRUE(panel->HasGLContext());
  ASSERT_NE(panel->Font2D(), nullptr);
  EXPECT_EQ(panel->CapturePicture().pixel(20, 75) & 0xFFFFFF, 0xFF0000u);
  EXPECT_TRUE(errors.empty());
  panel->setParent(&host);  // the fixture's window owns it again
}

TEST_F(GlPanel, TwoDimensionalTextSetsPixelsOnlyForCharactersInRange) {
  QFont font("DejaVu Sans");
  font.setPixelSize(24);
  panel->SetFont(font);
  panel->SetFont2D_Enabled(true);
  panel->OnInit = [](TOpenGLPanel*) {};
  std::string text = "Hello";
  panel->OnPaint = [&](TOpenGLPanel* p) {
    pixel_projection(p);
    glColor3f(1, 1, 1);
    glRasterPos2i(10, 60);
    p->Draw2DText(text);
  };
  show();
  ASSERT_NE(panel->Font2D(), nullptr);
  const QImage hello = panel->CapturePicture();
  const int lit = count(hello, qRgb(255, 255, 255));
  EXPECT_GT(lit, 100);
  // The glyphs stand on the baseline (y 60 from the bottom, row 89 from the top), to the right of x 10.
  int top = hello.height(), bottom = -1, left = hello.width();
  for (int y = 0; y < hello.height(); ++y)
    for (int x = 0; x < hello.width(); ++x)
      if ((hello.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x);
  EXPECT_NEAR(bottom, 89, 1);
  EXPECT_LT(top, 89 - 12);
  EXPECT_GE(left, 10);
  EXPECT_LT(left, 16);

  for (std::string outside : {std::string("Hell\xC4"), std::string("A\x1F"), std::string("\x7F\x80")}) {
    text = outside;
    EXPECT_EQ(count(panel->CapturePicture(), qRgb(255, 255, 255)), 0) << "a byte outside 32..127 draws nothing";
  }
}

TEST_F(GlPanel, ThreeDimensionalTextSizeComesFromTheGlyphMetrics) {
  QFont font("DejaVu Sans");
  font.setPixelSize(24);
  panel->SetFont3DType(font);
  panel->SetFont3D_Extrustion(0.25f);
  panel->SetFont3D_Enabled(true);
  panel->OnInit = [](TOpenGLPanel*) {};
  show();
  const OpenGLFont3D* f = panel->Font3D();
  ASSERT_NE(f, nullptr);
  const GlyphMetricsFloat& a = f->metrics['A' - 32];
  const GlyphMetricsFloat& b = f->metrics['B' - 32];
  const GlyphMetricsFloat& i = f->metrics['i' - 32];
  const GlyphMetricsFloat& w = f->metrics['W' - 32];
  // Font units: the em height is 1.
  EXPECT_GT(a.gmfBlackBoxY, 0.5f);
  EXPECT_LT(a.gmfBlackBoxY, 1.0f);
  EXPECT_GT(a.gmfCellIncX, a.gmfBlackBoxX * 0.9f);
  EXPECT_GT(w.gmfBlackBoxX, 2 * i.gmfBlackBoxX);
  EXPECT_NEAR(a.gmfptGlyphOriginY, a.gmfBlackBoxY, 0.01f);  // capitals stand on the baseline
  EXPECT_EQ(f->metrics[0].gmfBlackBoxX, 0.0f);            // space: no black box, but an advance
  EXPECT_GT(f->metrics[0].gmfCellIncX, 0.0f);

  std::array<double, 3> size{};
  panel->Get3DTextSize("A", &size);
  EXPECT_FLOAT_EQ(size[0], a.gmfBlackBoxX);
  EXPECT_FLOAT_EQ(size[1], a.gmfBlackBoxY);
  EXPECT_FLOAT_EQ(size[2], 0.25);
  panel->Get3DTextSize("AB", &size);
  EXPECT_FLOAT_EQ(size[0], double(a.gmfCellIncX) + b.gmfBlackBoxX);
  EXPECT_FLOAT_EQ(size[1], double(a.gmfCellIncY) + b.gmfBlackBoxY);
  panel->Get3DTextSize("A\x80", &size);
  EXPECT_EQ(size, (std::array<double, 3>{0, 0, 0}));
  panel->Get3DTextSize("\x1F" "A", &size);
  EXPECT_EQ(size, (std::array<double, 3>{0, 0, 0}));
  size = {7, 8, 9};
  panel->Get3DTextSize("", &size);
  EXPECT_EQ(size, (std::array<double, 3>{7, 8, 9}));
  panel->Get3DTextSize("A", nullptr);  // nothing to fill
}

TEST_F(GlPanel, ThreeDimensionalTextDrawsFilledAndOutlinedGlyphs) {
  QFont font("DejaVu Sans");
  font.setPixelSize(24);
  panel->SetFont3DType(font);
  panel->SetFont3D_Enabled(true);
  panel->OnInit = [](TOpenGLPanel*) {};
  std::unique_ptr<OpenGLFont3D> lines;
  std::string text = "AB";
  panel->OnPaint = [&](TOpenGLPanel* p) {
    glViewport(0, 0, p->width(), p->height());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.1, 2.5, -0.5, 1.5, -5, 5);  // glyphs face +z: viewed from the front
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(0, 1, 0);
    p->Draw3DText(text);
    if (!lines) lines = p->Create3DFont(&font, 32, 96, 0.01f, 0.0f, 0);
    glLoadIdentity();
    glTranslatef(0, -0.45f, 0);
    glColor3f(1, 0, 1);
    TOpenGLPanel::Draw3DText(lines.get(), text);
  };
  show();
  ASSERT_NE(panel->Font3D(), nullptr);
  const QImage picture = panel->CapturePicture();
  ASSERT_NE(lines, nullptr);
  const int filled = count(picture, qRgb(0, 255, 0));
  const int outlined = count(picture, qRgb(255, 0, 255));
  EXPECT_GT(filled, 1000);  // two filled capitals about 75 pixels high
  EXPECT_GT(outlined, 100);
  EXPECT_LT(outlined, filled);  // outlines only
  text = "A\x90";
  EXPECT_EQ(count(panel->CapturePicture(), qRgb(0, 255, 0)), 0);
  lines.reset();
}

TEST_F(GlPanel, FontListsAreDeletedWithTheirContextCurrent) {
  show();
  ASSERT_TRUE(panel->HasGLContext());
  panel->MakeOpenGLPanelCurrent();
  ASSERT_EQ(QOpenGLContext::currentContext(), panel->context());
  EXPECT_TRUE(panel->QueryOpenGLExtention("GL_ARB_multitexture"));
  EXPECT_FALSE(panel->QueryOpenGLExtention("GL_ARB_multi"));
  const QFont font("DejaVu Sans");
  EXPECT_EQ(panel->Create2DFont(nullptr, 32, 96), nullptr);
  EXPECT_EQ(panel->Create3DFont(nullptr, 32, 96, 0, 0.1f, 1), nullptr);
  EXPECT_EQ(panel->Create2DFont(&font, 32, 0), nullptr);
  auto font2d = panel->Create2DFont(&font, 32, 96);
  auto font3d = panel->Create3DFont(&font, 32, 96, 0, 0.1f, 1);
  ASSERT_NE(font2d, nullptr);
  ASSERT_NE(font3d, nullptr);
  const GLuint base2d = font2d->list_base, base3d = font3d->list_base;
  EXPECT_TRUE(glIsList(base2d));
  EXPECT_TRUE(glIsList(base3d + 95));
  panel->MakeOpenGLPanelNotCurrent();
  ASSERT_EQ(QOpenGLContext::currentContext(), nullptr);

  // Deleted while no context is current: the panel's context is made current for it and released.
  font2d.reset();
  font3d.reset();
  EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
  panel->MakeOpenGLPanelCurrent();
  EXPECT_FALSE(glIsList(base2d));
  EXPECT_FALSE(glIsList(base3d));
  EXPECT_FALSE(glIsList(base3d + 95));
  panel->MakeOpenGLPanelNotCurrent();
  EXPECT_TRUE(errors.empty());
}
