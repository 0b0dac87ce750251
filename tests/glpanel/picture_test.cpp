#include "opengl_panel.h"

#include <QDir>
#include <QFile>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <stdexcept>

#include "file_reading.h"

using namespace morvell;

TEST(PrintRectangle, FollowsTheScaleMode) {
  struct Case {
    TOpenGLPrintScale scale;
    int ppi, dpi, page_w, page_h, w, h;
    PrintRect expected;
  } cases[] = {
      // 96 ppi picture on a 600 dpi page: 0.18 inch margin, 600/96 printer pixels per picture pixel.
      {pglProportional, 96, 600, 4800, 6600, 448, 399, {108, 108, 108 + 2800, 108 + 2493}},
      {pglProportional, 0, 600, 4800, 6600, 448, 399, {108, 108, 108 + 2800, 108 + 2493}},
      {pglProportional, 300, 300, 2400, 3300, 600, 300, {54, 54, 54 + 600, 54 + 300}},
      {pglNone, 96, 600, 4800, 6600, 448, 399, {108, 108, 108 + 448, 108 + 399}},
      // Portrait: the width fills the page, the height is a whole multiple of the picture's.
      {pglPrintToFit, 96, 600, 4800, 6600, 448, 399, {108, 108, 108 + 4584, 108 + 10 * 399}},
      // Landscape: the height fills the page, the width is a whole multiple of the picture's.
      {pglPrintToFit, 96, 600, 6600, 4800, 448, 399, {108, 108, 108 + 11 * 448, 108 + 4584}},
      // A picture larger than the page is still printed, once.
      {pglPrintToFit, 96, 600, 4800, 6600, 5000, 7000, {108, 108, 108 + 4584, 108 + 7000}},
      {pglPrintToFit, 96, 600, 6600, 4800, 7000, 5000, {108, 108, 108 + 7000, 108 + 4584}},
  };
  for (const Case& c : cases) {
    int ppi = c.ppi;
    const PrintRect r = print_rectangle(c.scale, ppi, c.dpi, c.dpi, c.page_w, c.page_h, c.w, c.h);
    EXPECT_EQ(r.left, c.expected.left) << c.scale << " " << c.w;
    EXPECT_EQ(r.top, c.expected.top) << c.scale << " " << c.w;
    EXPECT_EQ(r.right, c.expected.right) << c.scale << " " << c.w;
    EXPECT_EQ(r.bottom, c.expected.bottom) << c.scale << " " << c.w;
    if (c.scale == pglProportional && c.ppi <= 0) {
      EXPECT_EQ(ppi, 96);  // and it stays so
    }
  }
}

namespace {
struct Rgb {
  std::uint8_t r, g, b;
};

// A 24-bit Windows bitmap of 2 x 3 pixels written by hand; top_down stores the rows top first.
void write_bmp(const char* name, const Rgb (&rows)[3][2], bool top_down) {
  const int w = 2, h = 3, stride = 8;  // 6 bytes of pixels padded to 4
  QByteArray b;
  auto u16 = [&](int v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
  auto u32 = [&](qint64 v) { for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF)); };
  b.append("BM");
  u32(54 + stride * h), u16(0), u16(0), u32(54);
  u32(40), u32(w), u32(top_down ? -h : h), u16(1), u16(24), u32(0), u32(stride * h), u32(2835), u32(2835), u32(0), u32(0);
  for (int k = 0; k < h; ++k) {
    const int image_row = top_down ? k : h - 1 - k;
    for (int c = 0; c < w; ++c) {
      const Rgb& p = rows[image_row][c];
      b.append(char(p.b)).append(char(p.g)).append(char(p.r));
    }
    b.append(2, '\0');
  }
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(b);
}
}  // namespace

TEST(BmpTexture, RowsRunFromTheBottomImageRowUp) {
  const Rgb image[3][2] = {{{255, 0, 0}, {0, 255, 0}},     // top
                           {{0, 0, 255}, {255, 255, 255}},  // middle
                           {{0, 0, 0}, {10, 20, 30}}};      // bottom
  for (bool top_down : {false, true}) {
    write_bmp("texture.bmp", image, top_down);
    const auto rgb = TOpenGLPanel::LoadBMPTexture("texture.bmp", false);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->components, 3);
    EXPECT_EQ(rgb->width, 2);
    EXPECT_EQ(rgb->height, 3);
    EXPECT_EQ(rgb->format, GL_RGB);
    EXPECT_EQ(rgb->type, GL_UNSIGNED_BYTE);
    const std::vector<std::uint8_t> expected_rgb = {0, 0, 0, 10, 20, 30, 0, 0, 255, 255, 255, 255,
                                                    255, 0, 0, 0, 255, 0};
    EXPECT_EQ(rgb->pixels, expected_rgb) << "top_down " << top_down;

    const auto rgba = TOpenGLPanel::LoadBMPTexture("texture.bmp", true);
    ASSERT_TRUE(rgba);
    EXPECT_EQ(rgba->components, 4);
    EXPECT_EQ(rgba->format, GL_RGBA);
    ASSERT_EQ(rgba->pixels.size(), 24u);
    EXPECT_EQ(std::vector<std::uint8_t>(rgba->pixels.begin(), rgba->pixels.begin() + 8),
              (std::vector<std::uint8_t>{0, 0, 0, 255, 10, 20, 30, 255}));
    EXPECT_EQ(std::vector<std::uint8_t>(rgba->pixels.end() - 4, rgba->pixels.end()),
              (std::vector<std::uint8_t>{0, 255, 0, 255}));
  }
}

TEST(BmpTexture, UnreadableFilesThrow) {
  EXPECT_THROW(TOpenGLPanel::LoadBMPTexture("no_such_file.bmp", false), std::runtime_error);
  QFile f("not_a_bitmap.bmp");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("BM this is no bitmap");
  f.close();
  EXPECT_THROW(TOpenGLPanel::LoadBMPTexture("not_a_bitmap.bmp", true), std::runtime_error);

  // Nothing in place of a texture holds the program or is read without end: a folder, a pipe without a
  // writer, an endless device, and a file longer than any bitmap.
  const char* const path = "foreign.bmp";
  const std::function<void()> makers[] = {
      [&] { ASSERT_TRUE(QDir().mkdir(path)); },
      [&] { ASSERT_EQ(::mkfifo(path, 0600), 0); },
      [&] { ASSERT_TRUE(QFile::link("/dev/zero", path)); },
      [&] {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(qint64(kMaxBitmapFileBytes) + 1));
      },
  };
  for (const auto& make : makers) {
    QFile::remove(path);
    QDir().rmdir(path);
    make();
    EXPECT_THROW(TOpenGLPanel::LoadBMPTexture(path, false), std::runtime_error);
  }
  QFile::remove(path);
  QDir().rmdir(path);
}

TEST(ExtensionList, FindsWholeNamesOnly) {
  const char* list = "GL_ARB_multitexture GL_EXT_texture GL_EXT_texture3D GL_NV_fog";
  struct Case {
    const char* name;
    bool found;
  } cases[] = {
      {"GL_ARB_multitexture", true}, {"GL_EXT_texture", true},  {"GL_EXT_texture3D", true},
      {"GL_NV_fog", true},           {"GL_ARB_multi", false},   {"GL_EXT_texture3", false},
      {"GL_NV_fo", false},           {"texture", false},        {"", false},
      {"GL_NV_fog ", false},
  };
  for (const Case& c : cases) EXPECT_EQ(extension_in_list(list, c.name), c.found) << c.name;
  EXPECT_FALSE(extension_in_list(nullptr, "GL_NV_fog"));
  EXPECT_FALSE(extension_in_list("", "GL_NV_fog"));
}
