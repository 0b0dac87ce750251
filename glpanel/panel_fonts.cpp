// Fonts and text of the drawing panel: bitmap glyphs for 2D text at the raster position, and outline
// glyphs (tessellated, extruded) for 3D text in model units, one display list per character.
#include "opengl_panel.h"

#include <QFontMetrics>
#include <QImage>
#include <QOpenGLContext>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <deque>

namespace morvell {

// ---- display lists ----

void FontDisplayLists::adopt(TOpenGLPanel* panel, QOpenGLContext* context, std::uint32_t base,
                             std::int32_t count) {
  panel_ = panel;
  context_ = context;
  base_ = base;
  count_ = count;
}

FontDisplayLists::~FontDisplayLists() {
  // Lists of a context that no longer exists went with it.
  if (!panel_ || !context_ || panel_->context() != context_ || base_ == 0 || count_ <= 0) return;
  QOpenGLContext* before = QOpenGLContext::currentContext();
  QSurface* before_surface = before ? before->surface() : nullptr;
  if (before != context_) panel_->makeCurrent();
  if (QOpenGLContext::currentContext() == context_) glDeleteLists(base_, count_);
  if (before != context_) {
    if (before && before_surface)
      before->makeCurrent(before_surface);
    else
      panel_->doneCurrent();
  }
}

namespace {

// Character of a code of the font's range: codes below 256 are Latin-1 (ANSI), others Unicode.
QString character_text(int code) { return QString(QChar(static_cast<char32_t>(code))); }

bool codes_in_range(std::string_view text, std::int32_t first, std::int32_t count) {
  for (unsigned char c : text)
    if (c < first || static_cast<std::int64_t>(c) > static_cast<std::int64_t>(first) + count - 1) return false;
  return true;
}

// ---- outline flattening and tessellation ----

using Contour = std::vector<QPointF>;

void flatten_cubic(Contour& out, QPointF p0, QPointF p1, QPointF p2, QPointF p3, double deviation, int depth) {
  // Flat enough when both control points lie within the deviation of the chord.
  const QPointF d = p3 - p0;
  const double len = std::hypot(d.x(), d.y());
  auto dist = [&](QPointF p) {
    if (len < 1e-12) return std::hypot(p.x() - p0.x(), p.y() - p0.y());
    return std::fabs((p.x() - p0.x()) * d.y() - (p.y() - p0.y()) * d.x()) / len;
  };
  if (depth >= 10 || (dist(p1) <= deviation && dist(p2) <= deviation)) {
    out.push_back(p3);
    return;
  }
  const QPointF p01 = (p0 + p1) / 2, p12 = (p1 + p2) / 2, p23 = (p2 + p3) / 2;
  const QPointF p012 = (p01 + p12) / 2, p123 = (p12 + p23) / 2;
  const QPointF mid = (p012 + p123) / 2;
  flatten_cubic(out, p0, p01, p012, mid, deviation, depth + 1);
  flatten_cubic(out, mid, p123, p23, p3, deviation, depth + 1);
}

// The closed contours of a glyph path, scaled by `scale` with y pointing up.
std::vector<Contour> flatten_path(const QPainterPath& path, double scale, double deviation) {
  std::vector<Contour> contours;
  auto close = [&]() {
    if (contours.empty()) return;
    Contour& c = contours.back();
    if (c.size() > 1 && c.front() == c.back()) c.pop_back();
    if (c.size() < 3) contours.pop_back();
  };
  auto pt = [&](const QPainterPath::Element& e) { return QPointF(e.x * scale, -e.y * scale); };
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    if (e.isMoveTo()) {
      close();
      contours.push_back(Contour{pt(e)});
    } else if (contours.empty()) {
      continue;
    } else if (e.isLineTo()) {
      if (contours.back().back() != pt(e)) contours.back().push_back(pt(e));
    } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
      const QPointF p0 = contours.back().back();
      flatten_cubic(contours.back(), p0, pt(e), pt(path.elementAt(i + 1)), pt(path.elementAt(i + 2)),
                    deviation, 0);
      i += 2;
    }
  }
  close();
  return contours;
}

double signed_area(const Contour& c) {
  double a = 0;
  for (size_t i = 0; i < c.size(); ++i) {
    const QPointF& p = c[i];
    const QPointF& q = c[(i + 1) % c.size()];
    a += p.x() * q.y() - q.x() * p.y();
  }
  return a / 2;
}

struct Tessellation {
  std::deque<std::array<GLdouble, 3>> vertices;  // stable addresses for the tessellator
  bool failed = false;
};

void GLAPIENTRY tess_begin(GLenum type) { glBegin(type); }
void GLAPIENTRY tess_vertex(void* v) { glVertex3dv(static_cast<const GLdouble*>(v)); }
void GLAPIENTRY tess_end() { glEnd(); }
void GLAPIENTRY tess_combine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* data) {
  auto* t = static_cast<Tessellation*>(data);
  t->vertices.push_back({coords[0], coords[1], coords[2]});
  *out = t->vertices.back().data();
}
void GLAPIENTRY tess_error(GLenum, void* data) { static_cast<Tessellation*>(data)->failed = true; }

// Fills the glyph's face at depth z, facing +z (normal_z 1) or -z (normal_z -1).
bool tessellate_face(GLUtesselator* tess, const std::vector<Contour>& contours, double z, double normal_z) {
  Tessellation t;
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessNormal(tess, 0, 0, normal_z);
  glNormal3d(0, 0, normal_z);
  gluTessBeginPolygon(tess, &t);
  for (const Contour& c : contours) {
    gluTessBeginContour(tess);
    for (const QPointF& p : c) {
      t.vertices.push_back({p.x(), p.y(), z});
      gluTessVertex(tess, t.vertices.back().data(), t.vertices.back().data());
    }
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  return !t.failed;
}

// The side walls between the front face (z = 0) and the back face (z = -depth).
void extrude_sides(const std::vector<Contour>& contours, double depth, double orientation) {
  for (const Contour& c : contours) {
    glBegin(GL_QUADS);
    for (size_t i = 0; i < c.size(); ++i) {
      const QPointF& p = c[i];
      const QPointF& q = c[(i + 1) % c.size()];
      const double dx = q.x() - p.x(), dy = q.y() - p.y();
      const double len = std::hypot(dx, dy);
      if (len <= 0) continue;
      glNormal3d(orientation * dy / len, -orientation * dx / len, 0);
      glVertex3d(p.x(), p.y(), 0);
      glVertex3d(p.x(), p.y(), -depth);
      glVertex3d(q.x(), q.y(), -depth);
      glVertex3d(q.x(), q.y(), 0);
    }
    glEnd();
  }
}

void outline_loops(const std::vector<Contour>& contours, double z) {
  for (const Contour& c : contours) {
    glBegin(GL_LINE_LOOP);
    for (const QPointF& p : c) glVertex3d(p.x(), p.y(), z);
    glEnd();
  }
}

}  // namespace

// ---- builders ----

std::unique_ptr<OpenGLFont3D> TOpenGLPanel::Create3DFont(const QFont* font, int first, int count,
                                                         float deviation, float extrusion, int format) {
  if (!font || count <= 0 || QOpenGLContext::currentContext() != context()) return nullptr;
  const GLuint base = glGenLists(count);
  if (base == 0) return nullptr;
  auto record = std::make_unique<OpenGLFont3D>();
  record->first = first;
  record->count = count;
  record->list_base = base;
  record->extrusion = extrusion;
  record->metrics.assign(static_cast<size_t>(count), GlyphMetricsFloat{});
  record->lists.adopt(this, context(), base, count);

  QRawFont raw = QRawFont::fromFont(*font);
  GLUtesselator* tess = raw.isValid() ? gluNewTess() : nullptr;
  if (!tess) return nullptr;  // the record deletes its lists
  // Glyph outlines in font design units, scaled so that the em height is 1.0.
  const double em = raw.unitsPerEm() > 0 ? raw.unitsPerEm() : 2048.0;
  raw.setPixelSize(em);
  const double scale = 1.0 / em;
  const double chord = deviation > 0 ? static_cast<double>(deviation) : scale;
  gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(&tess_begin));
  gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(&tess_vertex));
  gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(&tess_end));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&tess_combine));
  gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&tess_error));

  bool ok = true;
  while (glGetError() != GL_NO_ERROR) {
  }
  for (int i = 0; i < count && ok; ++i) {
    const QList<quint32> glyphs = raw.glyphIndexesForString(character_text(first + i));
    const quint32 glyph = glyphs.isEmpty() ? 0 : glyphs.front();
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(QList<quint32>{glyph});
    const std::vector<Contour> contours = flatten_path(raw.pathForGlyph(glyph), scale, chord);

    GlyphMetricsFloat& m = record->metrics[static_cast<size_t>(i)];
    if (!contours.empty()) {
      double minx = contours[0][0].x(), maxx = minx, miny = contours[0][0].y(), maxy = miny;
      for (const Contour& c : contours)
        for (const QPointF& p : c) {
          minx = std::min(minx, p.x()), maxx = std::max(maxx, p.x());
          miny = std::min(miny, p.y()), maxy = std::max(maxy, p.y());
        }
      m.gmfBlackBoxX = static_cast<float>(maxx - minx);
      m.gmfBlackBoxY = static_cast<float>(maxy - miny);
      m.gmfptGlyphOriginX = static_cast<float>(minx);
      m.gmfptGlyphOriginY = static_cast<float>(maxy);
    }
    m.gmfCellIncX = advances.isEmpty() ? 0.0f : static_cast<float>(advances.front().x() * scale);
    m.gmfCellIncY = 0;

    // Outer contours of one font all turn the same way; side normals point out of the solid.
    double orientation = 1;
    double largest = 0;
    for (const Contour& c : contours) {
      const double a = signed_area(c);
      if (std::fabs(a) > largest) largest = std::fabs(a), orientation = a >= 0 ? 1 : -1;
    }
    glNewList(base + static_cast<GLuint>(i), GL_COMPILE);
    if (format == 0) {
      outline_loops(contours, 0);
      if (extrusion != 0) outline_loops(contours, -extrusion);
    } else if (!contours.empty()) {
      ok = tessellate_face(tess, contours, 0, 1);
      if (ok && extrusion != 0) {
        ok = tessellate_face(tess, contours, -extrusion, -1);
        extrude_sides(contours, extrusion, orientation);
      }
    }
    glTranslated(m.gmfCellIncX, m.gmfCellIncY, 0);
    glEndList();
  }
  gluDeleteTess(tess);
  if (glGetError() != GL_NO_ERROR) ok = false;
  if (!ok) return nullptr;
  return record;
}

std::unique_ptr<OpenGLFont2D> TOpenGLPanel::Create2DFont(const QFont* font, int first, int count) {
  if (!font || count <= 0 || QOpenGLContext::currentContext() != context()) return nullptr;
  const GLuint base = glGenLists(count);
  if (base == 0) return nullptr;
  auto record = std::make_unique<OpenGLFont2D>();
  record->first = first;
  record->count = count;
  record->list_base = base;
  record->lists.adopt(this, context(), base, count);

  QFont f(*font);
  f.setStyleStrategy(QFont::NoAntialias);
  const QFontMetrics fm(f);
  while (glGetError() != GL_NO_ERROR) {
  }
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
  for (int i = 0; i < count; ++i) {
    const QString ch = character_text(first + i);
    const QRect box = fm.boundingRect(ch);
    const int margin = 4;
    const int ox = margin - std::min(0, box.left());
    const int oy = margin - std::min(0, box.top());
    const int iw = std::max(1, std::max(0, box.right()) + ox + margin + 1);
    const int ih = std::max(1, std::max(0, box.bottom()) + oy + margin + 1);
    QImage img(iw, ih, QImage::Format_Grayscale8);
    img.fill(0);
    {
      QPainter p(&img);
      p.setFont(f);
      p.setPen(Qt::white);
      p.drawText(QPoint(ox, oy), ch);
    }
    // The set pixels' box, with the pen position at (ox, oy) on the baseline.
    int c0 = iw, c1 = -1, r0 = ih, r1 = -1;
    for (int r = 0; r < ih; ++r) {
      const uchar* line = img.constScanLine(r);
      for (int c = 0; c < iw; ++c)
        if (line[c] > 127) c0 = std::min(c0, c), c1 = std::max(c1, c), r0 = std::min(r0, r), r1 = std::max(r1, r);
    }
    const GLfloat advance = static_cast<GLfloat>(fm.horizontalAdvance(ch));
    glNewList(base + static_cast<GLuint>(i), GL_COMPILE);
    if (c1 < 0) {
      // An empty glyph only moves the raster position (Mesa refuses a null image even of size 0).
      static const GLubyte none = 0;
      glBitmap(0, 0, 0, 0, advance, 0, &none);
    } else {
      const int w = c1 - c0 + 1, h = r1 - r0 + 1;
      const int row_bytes = (w + 7) / 8;
      std::vector<GLubyte> bits(static_cast<size_t>(row_bytes) * h, 0);
      for (int gr = 0; gr < h; ++gr) {  // bitmap rows run bottom to top
        const uchar* line = img.constScanLine(r1 - gr);
        for (int c = 0; c < w; ++c)
          if (line[c0 + c] > 127) bits[static_cast<size_t>(gr) * row_bytes + c / 8] |= static_cast<GLubyte>(0x80 >> (c % 8));
      }
      glBitmap(w, h, static_cast<GLfloat>(ox - c0), static_cast<GLfloat>(r1 + 1 - oy), advance, 0, bits.data());
    }
    glEndList();
  }
  glPopClientAttrib();
  if (glGetError() != GL_NO_ERROR) return nullptr;
  return record;
}

void TOpenGLPanel::Create3DFont() {
  font3d_.reset();
  font3d_ = Create3DFont(&font3d_type_, font3d_first_, font3d_count_, font3d_deviation_, font3d_extrusion_,
                         font3d_format_code_);
}

void TOpenGLPanel::Create2DFont() {
  font2d_.reset();
  font2d_ = Create2DFont(&font2d_type_, font2d_first_, font2d_count_);
}

// ---- text ----

void TOpenGLPanel::Get3DTextSize(const OpenGLFont3D* font, std::string_view text, std::array<double, 3>* size) {
  if (!font || !size || text.empty()) return;
  std::array<double, 3>& s = *size;
  s = {0, 0, font->extrusion};
  const auto index_of = [&](unsigned char c) -> long {
    if (c < font->first || static_cast<std::int64_t>(c) > static_cast<std::int64_t>(font->first) + font->count - 1)
      return -1;
    const long i = static_cast<long>(c) - font->first;
    return i < static_cast<long>(font->metrics.size()) ? i : -1;
  };
  for (size_t k = 0; k + 1 < text.size(); ++k) {
    const long i = index_of(static_cast<unsigned char>(text[k]));
    if (i < 0) {
      s = {0, 0, 0};
      return;
    }
    s[0] += font->metrics[static_cast<size_t>(i)].gmfCellIncX;
    s[1] += font->metrics[static_cast<size_t>(i)].gmfCellIncY;
  }
  const long last = index_of(static_cast<unsigned char>(text.back()));
  if (last < 0) {
    s = {0, 0, 0};
    return;
  }
  s[0] += font->metrics[static_cast<size_t>(last)].gmfBlackBoxX;
  s[1] += font->metrics[static_cast<size_t>(last)].gmfBlackBoxY;
}

void TOpenGLPanel::Get3DTextSize(std::string_view text, std::array<double, 3>* size) const {
  Get3DTextSize(font3d_.get(), text, size);
}

void TOpenGLPanel::Draw3DText(const OpenGLFont3D* font, std::string_view text) {
  if (!font || text.empty() || !codes_in_range(text, font->first, font->count)) return;
  GLint front_face = GL_CCW;
  glPushAttrib(GL_LIST_BIT);
  glGetIntegerv(GL_FRONT_FACE, &front_face);
  glListBase(font->list_base - static_cast<GLuint>(font->first));
  glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
  glFrontFace(static_cast<GLenum>(front_face));
  glPopAttrib();
}

void TOpenGLPanel::Draw3DText(std::string_view text) const { Draw3DText(font3d_.get(), text); }

void TOpenGLPanel::Draw2DText(const OpenGLFont2D* font, std::string_view text) {
  if (!font || text.empty() || !codes_in_range(text, font->first, font->count)) return;
  glPushAttrib(GL_LIST_BIT);
  glListBase(font->list_base - static_cast<GLuint>(font->first));
  glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
  glPopAttrib();
}

void TOpenGLPanel::Draw2DText(std::string_view text) const { Draw2DText(font2d_.get(), text); }

}  // namespace morvell
