#include "chart_painting.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace morvell {

namespace {

using ld = long double;

// Positions beyond this distance from the picture are cut: far beyond any window, and well inside the
// range a painter can rasterise.
constexpr ld kFar = 100000.0L;

}  // namespace

QFont chart_font(int point_size) {
  QFont font("Arial");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize((point_size * 96 + 36) / 72);  // as MulDiv(size, 96, 72)
  return font;
}

QFont chart_font_by_cell_height(int cell_height) {
  QFont font("Arial");
  font.setStyleHint(QFont::SansSerif);
  // Arial's character cell is about 1.15 times its em height.
  font.setPixelSize(std::max(1, int(std::lround(cell_height / 1.15))));
  return font;
}

void text_out(QPainter& p, int x, int y, const QString& text, bool opaque) {
  const QFontMetrics metrics(p.font());
  if (opaque) p.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), p.background());
  p.drawText(QPoint(x, y + metrics.ascent()), text);
}

void text_out_upwards(QPainter& p, int x, int y, const QString& text) {
  const QFontMetrics metrics(p.font());
  p.save();
  p.translate(x, y);
  p.rotate(-90);
  p.drawText(QPoint(0, metrics.ascent()), text);
  p.restore();
}

bool pixel_of(ld v, int& pixel) {
  if (!std::isfinite(v) || std::fabs(v) > kFar) return false;
  pixel = int(std::trunc(v));
  return true;
}

void draw_line(QPainter& p, ld x0, ld y0, ld x1, ld y1) {
  if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
  x0 = std::trunc(x0), y0 = std::trunc(y0), x1 = std::trunc(x1), y1 = std::trunc(y1);
  if (x0 == x1 && y0 == y1) return;
  // Liang-Barsky: the part of the line inside the square of half-width kFar.
  ld t0 = 0, t1 = 1;
  const ld dx = x1 - x0, dy = y1 - y0;
  const ld pq[4][2] = {{-dx, x0 + kFar}, {dx, kFar - x0}, {-dy, y0 + kFar}, {dy, kFar - y0}};
  for (const auto& [pk, qk] : pq) {
    if (pk == 0) {
      if (qk < 0) return;
      continue;
    }
    const ld t = qk / pk;
    if (pk < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return;
  }
  p.drawLine(QPoint(int(std::trunc(x0 + t0 * dx)), int(std::trunc(y0 + t0 * dy))),
             QPoint(int(std::trunc(x0 + t1 * dx)), int(std::trunc(y0 + t1 * dy))));
}

void draw_ellipse(QPainter& p, int left, int top, int right, int bottom) {
  p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

}  // namespace morvell
