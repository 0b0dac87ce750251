// Font records of the drawing panel: a range of characters with one display list per character,
// built from a system font. Deleting a record deletes its display lists (with the panel's context
// current) and frees its metrics.
#pragma once

#include <QPointer>

#include <cstdint>
#include <vector>

class QOpenGLContext;

namespace morvell {

class TOpenGLPanel;

// Metrics of one outline glyph in font units (1.0 = the font's em height).
struct GlyphMetricsFloat {
  float gmfBlackBoxX = 0;
  float gmfBlackBoxY = 0;
  float gmfptGlyphOriginX = 0;  // upper-left corner of the black box, from the glyph origin
  float gmfptGlyphOriginY = 0;
  float gmfCellIncX = 0;        // step to the next glyph's origin
  float gmfCellIncY = 0;
};
static_assert(sizeof(GlyphMetricsFloat) == 24, "glyph metrics are 24 bytes");

// Owner of a block of display lists in one panel's context.
class FontDisplayLists {
 public:
  FontDisplayLists() = default;
  ~FontDisplayLists();
  // Takes over `count` lists from `base` on, created in `context`, the context of `panel`.
  void adopt(TOpenGLPanel* panel, QOpenGLContext* context, std::uint32_t base, std::int32_t count);
  FontDisplayLists(const FontDisplayLists&) = delete;
  FontDisplayLists& operator=(const FontDisplayLists&) = delete;

 private:
  QPointer<TOpenGLPanel> panel_;
  QPointer<QOpenGLContext> context_;
  std::uint32_t base_ = 0;
  std::int32_t count_ = 0;
};

struct OpenGLFont3D {
  std::int32_t first = 0;       // first character code of the range
  std::int32_t count = 0;       // number of characters
  std::uint32_t list_base = 0;  // first display list of the range
  float extrusion = 0;          // depth the glyphs were built with
  std::vector<GlyphMetricsFloat> metrics;  // one per character
  FontDisplayLists lists;
};

struct OpenGLFont2D {
  std::int32_t first = 0;
  std::int32_t count = 0;
  std::uint32_t list_base = 0;
  FontDisplayLists lists;
};

}  // namespace morvell
