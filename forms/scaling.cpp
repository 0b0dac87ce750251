#include "scaling.h"

#include <QLayout>
#include <QWidget>

#include <cstdint>

namespace morvell::forms {

int mul_div(int value, int multiplier, int divisor) {
  if (divisor == 0) return value;
  const int64_t product = int64_t(value) * multiplier;
  const int64_t half = (divisor > 0 ? divisor : -divisor) / 2;
  const bool negative = (product < 0) != (divisor < 0);
  const int64_t magnitude = ((product < 0 ? -product : product) + half) / (divisor > 0 ? divisor : -divisor);
  return int(negative ? -magnitude : magnitude);
}

namespace {

void scale_font(QWidget* w, int m, int d) {
  QFont font = w->font();
  if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * m / d);
  else if (font.pixelSize() > 0) font.setPixelSize(mul_div(font.pixelSize(), m, d));
  w->setFont(font);
}

bool placed_by_layout(QWidget* w) {
  QWidget* parent = w->parentWidget();
  return parent && parent->layout() && parent->layout()->indexOf(w) >= 0;
}

void scale_children(QWidget* parent, int m, int d) {
  for (QObject* child : parent->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w || w->isWindow()) continue;
    if (!placed_by_layout(w)) {
      const QRect g = w->geometry();
      w->setGeometry(mul_div(g.x(), m, d), mul_div(g.y(), m, d), mul_div(g.width(), m, d),
                     mul_div(g.height(), m, d));
    }
    // A control with a font size of its own scales it; the others take the window's scaled font.
    if (w->testAttribute(Qt::WA_SetFont) && (w->font().resolveMask() & QFont::SizeResolved)) scale_font(w, m, d);
    scale_children(w, m, d);
  }
}

}  // namespace

void scale_by(QWidget* window, int multiplier, int divisor) {
  if (!window || divisor == 0 || multiplier == divisor) return;
  const QSize size = window->size();
  scale_font(window, multiplier, divisor);
  scale_children(window, multiplier, divisor);
  const QSize scaled(mul_div(size.width(), multiplier, divisor), mul_div(size.height(), multiplier, divisor));
  if (window->minimumSize() == window->maximumSize()) window->setFixedSize(scaled);
  else window->resize(scaled);
}

}  // namespace morvell::forms
