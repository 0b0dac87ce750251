#include "chart_painting.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
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

void draw_in_layout_units(QPainter& p, const QImage& image, QSizeF designed) {
  const QSizeF size = image.deviceIndependentSize();
  p.scale(size.width() / designed.width(), size.height() / designed.height());
}

double chart_scale(QSizeF size, QSizeF designed) {
  return std::min(size.width() / designed.width(), size.height() / designed.height());
}

namespace {

// The charts' face, "Arial" or the closest the system has, `pixels` high.
QFont arial(int pixels) {
  QFont font("Arial");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, pixels));
  return font;
}

int least_pixel_size(double device_pixel_ratio) {
  return int(std::ceil(8.0 / (device_pixel_ratio > 0 ? device_pixel_ratio : 1.0)));
}

}  // namespace

QFont chart_font_of_size(double pixel_size, double device_pixel_ratio) {
  return arial(std::max(least_pixel_size(device_pixel_ratio), int(std::lround(pixel_size))));
}

QFont font_to_fit(QFont font, const QString& text, double width, double device_pixel_ratio) {
  const int least = least_pixel_size(device_pixel_ratio);
  while (font.pixelSize() > least && QFontMetricsF(font).horizontalAdvance(text) > width)
    font.setPixelSize(font.pixelSize() - 1);
  return font;
}

QString text_to_fit(const QFont& font, const QString& text, double width) {
  const QFontMetricsF metrics(font);
  return metrics.horizontalAdvance(text) <= width ? text : metrics.elidedText(text, Qt::ElideRight, width);
}

void place_text(QPainter& p, ChartTexts& texts, double x, double y, const QString& text, bool opaque) {
  const QFontMetricsF metrics(p.font());
  const QRectF box(x, y, metrics.horizontalAdvance(text), metrics.height());
  if (opaque) p.fillRect(box, p.background());
  p.drawText(QPointF(x, y + metrics.ascent()), text);
  texts.push_back({text, box});
}

void place_text_upwards(QPainter& p, ChartTexts& texts, double centre_x, double centre_y, const QString& text) {
  const QFontMetricsF metrics(p.font());
  const double length = metrics.horizontalAdvance(text), height = metrics.height();
  p.save();
  p.translate(centre_x - height / 2, centre_y + length / 2);  // the start of the text, its top to the left
  p.rotate(-90);
  p.drawText(QPointF(0, metrics.ascent()), text);
  p.restore();
  texts.push_back({text, QRectF(centre_x - height / 2, centre_y - length / 2, height, length)});
}

void place_title(QPainter& p, ChartTexts& texts, const QFont& font, const QString& title, double left, double right,
                 double width, double gap) {
  p.setFont(font);
  const QString text = text_to_fit(font, title, width - 2 * gap);
  const double advance = QFontMetricsF(font).horizontalAdvance(text);
  place_text(p, texts, std::clamp((left + right) / 2 - advance / 2, gap, width - gap - advance), gap, text, true);
}

void place_axis_title_upwards(QPainter& p, ChartTexts& texts, const QFont& font, const QString& title, double top,
                              double bottom, double gap) {
  p.setFont(font);
  place_text_upwards(p, texts, gap + QFontMetricsF(font).height() / 2, (top + bottom) / 2,
                     text_to_fit(font, title, bottom - top));
}

QFont chart_font(int point_size) { return arial((point_size * 96 + 36) / 72); }  // as MulDiv(size, 96, 72)

// Arial's character cell is about 1.15 times its em height.
QFont chart_font_by_cell_height(int cell_height) { return arial(int(std::lround(cell_height / 1.15))); }

void text_out(QPainter& p, int x, int y, const QString& text, bool opaque) {
  const QFontMetrics metrics(p.font());
  if (opaque) p.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), p.background());
  p.drawText(QPoint(x, y + metrics.ascent()), text);
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
