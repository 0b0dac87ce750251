#include "scaling.h"

#include <QFont>
#include <QLayout>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <vector>

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

constexpr const char* kLayoutGeometry = "layout_geometry";
constexpr const char* kLayoutFont = "layout_font";
constexpr const char* kLayoutSize = "layout_size";

// A control's font as the layout gave it: its own font, or none (an empty font: it takes its parent's).
QFont own_font(const QWidget* w) { return w->testAttribute(Qt::WA_SetFont) ? w->font() : QFont(); }

void record_children(QWidget* parent) {
  for (QObject* child : parent->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w || w->isWindow()) continue;
    w->setProperty(kLayoutGeometry, w->geometry());
    w->setProperty(kLayoutFont, QVariant::fromValue(own_font(w)));
    record_children(w);
  }
}

// Back to the layout as built, for the controls whose layout was kept (the others are left as they
// are and come in `later`).
void restore_children(QWidget* parent, std::vector<QWidget*>& later) {
  for (QObject* child : parent->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w || w->isWindow()) continue;
    if (!w->property(kLayoutGeometry).isValid()) {
      later.push_back(w);
      continue;
    }
    if (!placed_by_layout(w)) w->setGeometry(w->property(kLayoutGeometry).toRect());
    const QFont font = w->property(kLayoutFont).value<QFont>();
    // An empty font: the control takes its parent's again.
    w->setFont(font);
    if (font.resolveMask() == 0) w->setAttribute(Qt::WA_SetFont, false);
    restore_children(w, later);
  }
}

}  // namespace

void record_layout(QWidget* window) {
  window->setProperty(kLayoutSize, window->size());
  window->setProperty(kLayoutFont, QVariant::fromValue(own_font(window)));
  record_children(window);
}

void scale_from_layout(QWidget* window, int multiplier, int divisor, int old_multiplier, int old_divisor) {
  if (!window || divisor == 0 || !window->property(kLayoutSize).isValid()) return;
  std::vector<QWidget*> later;
  const QFont window_font = window->property(kLayoutFont).value<QFont>();
  window->setFont(window_font);
  if (window_font.resolveMask() == 0) window->setAttribute(Qt::WA_SetFont, false);
  restore_children(window, later);
  // Controls made since are brought back from the old scale to the layout's, as far as rounding allows.
  if (old_multiplier != 0 && old_divisor != 0) {
    for (QWidget* w : later) {
      if (placed_by_layout(w)) continue;
      const QRect g = w->geometry();
      const auto back = [&](int v) { return mul_div(v, old_divisor, old_multiplier); };
      w->setGeometry(back(g.x()), back(g.y()), back(g.width()), back(g.height()));
    }
  }
  // The window's size as a window made at this scale has it (scale_by scales from the size it finds).
  const QSize layout_size = window->property(kLayoutSize).toSize();
  scale_by(window, multiplier, divisor);
  const QSize size(mul_div(layout_size.width(), multiplier, divisor),
                   mul_div(layout_size.height(), multiplier, divisor));
  if (window->minimumSize() == window->maximumSize()) window->setFixedSize(size);
  else window->resize(size);
}

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
