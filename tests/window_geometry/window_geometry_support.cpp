#include "window_geometry_support.h"

#include "caption_fit.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QGuiApplication>
#include <QImage>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QSlider>
#include <QToolButton>
#include <QWidget>

namespace morvell::testing {

namespace {

QString name_of(const QWidget* w) {
  return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

QString rect_text(const QRect& r) {
  return QStringLiteral("%1x%2 at (%3,%4)").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}

// Controls whose children are their own parts (the text field of a combo box, the scrolled content
// and scroll bars of a text pane) are checked as one piece.
bool composite(const QWidget* w) {
  return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QMenuBar*>(w);
}

QString caption_of(const QWidget* c) {
  if (const auto* label = qobject_cast<const QLabel*>(c)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(c)) return button->text();
  return {};
}

// The square a check box or radio button draws its indicator in, in the control's pixels.
QRect indicator_of(const QAbstractButton* b) {
  QStyleOptionButton option;
  option.initFrom(b);
  option.text = b->text();
  const bool radio = qobject_cast<const QRadioButton*>(b) != nullptr;
  return b->style()->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, b);
}

void check_children(const QWidget* window, const QWidget* parent, QStringList& faults) {
  for (const QObject* o : parent->children()) {
    const auto* c = qobject_cast<const QWidget*>(o);
    if (!c || c->isWindow() || !c->isVisibleTo(window) || c->objectName().startsWith("qt_")) continue;
    const QRect in_parent = c->geometry();
    if (!parent->rect().contains(in_parent))
      faults << QStringLiteral("%1: %2 outside %3 (%4)")
                    .arg(name_of(c), rect_text(in_parent), name_of(parent), rect_text(parent->rect()));
    const QRect in_window(c->mapTo(window, QPoint(0, 0)), c->size());
    if (parent != window && !window->rect().contains(in_window))
      faults << QStringLiteral("%1: %2 outside the window (%3)")
                    .arg(name_of(c), rect_text(in_window), rect_text(window->rect()));
    if (qobject_cast<const QCheckBox*>(c) || qobject_cast<const QRadioButton*>(c)) {
      const QRect square = indicator_of(static_cast<const QAbstractButton*>(c));
      if (!c->rect().contains(square))
        faults << QStringLiteral("%1: its square %2 cut by its size %3x%4")
                      .arg(name_of(c), rect_text(square))
                      .arg(c->width())
                      .arg(c->height());
    }
    if (!composite(c)) check_children(window, c, faults);
  }
}

}  // namespace

QStringList geometry_faults(QWidget* window) {
  QStringList faults;
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  const QRect available = screen->availableGeometry();
  if (!available.contains(window->frameGeometry()))
    faults << QStringLiteral("window %1 not within the screen %2")
                  .arg(rect_text(window->frameGeometry()), rect_text(available));
  check_children(window, window, faults);
  for (const QSlider* slider : window->findChildren<QSlider*>()) {
    const double spacing = forms::tick_spacing(slider);
    if (slider->isVisibleTo(window) && spacing > 0 && spacing < forms::kLeastTickSpacing)
      faults << QStringLiteral("slider %1: ticks %2 px apart").arg(slider->objectName()).arg(spacing);
  }
  for (const QMenuBar* bar : window->findChildren<QMenuBar*>()) {
    if (!bar->isVisibleTo(window)) continue;
    const auto* overflow = bar->findChild<QToolButton*>("qt_menubar_ext_button");
    if (overflow && overflow->isVisibleTo(window)) faults << QStringLiteral("menu bar items in its overflow button");
    for (QAction* a : bar->actions()) {
      if (!a->isVisible()) continue;
      const QRect r = bar->actionGeometry(a);
      if (r.isEmpty() || !bar->rect().contains(r))
        faults << QStringLiteral("menu %1: %2 outside the menu bar (%3)")
                      .arg(a->text(), rect_text(r), rect_text(bar->rect()));
    }
  }
  return faults;
}

QStringList chart_text_faults(const QImage& picture, const ChartTexts& texts, const QRectF& plot_area) {
  QStringList faults;
  const QRectF whole(QPointF(0, 0), picture.deviceIndependentSize());
  const double ratio = picture.devicePixelRatio();
  const auto box_text = [](const ChartText& t) {
    return QStringLiteral("\"%1\" (%2x%3 at %4,%5)")
        .arg(t.text)
        .arg(t.box.width())
        .arg(t.box.height())
        .arg(t.box.x())
        .arg(t.box.y());
  };
  const auto white = [&](int x, int y) { return (picture.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; };
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const ChartText& t = texts[i];
    if (!whole.contains(t.box)) faults << box_text(t) + " leaves the picture";
    if (t.box.intersects(plot_area)) faults << box_text(t) + " reaches into the plot area";
    for (std::size_t k = i + 1; k < texts.size(); ++k)
      if (t.box.intersects(texts[k].box)) faults << box_text(t) + " runs into " + box_text(texts[k]);
    // The text is drawn within its box: some pixel of the box is not white.
    const QRect pixels = QRectF(t.box.topLeft() * ratio, t.box.size() * ratio).toAlignedRect() &
                         QRect(QPoint(0, 0), picture.size());
    bool marked = false;
    for (int y = pixels.top(); y <= pixels.bottom() && !marked; ++y)
      for (int x = pixels.left(); x <= pixels.right() && !marked; ++x) marked = !white(x, y);
    if (!marked) faults << box_text(t) + " shows nothing";
  }
  for (int x = 0; x < picture.width(); ++x)
    if (!white(x, 0) || !white(x, picture.height() - 1)) {
      faults << QStringLiteral("a mark on the top or bottom edge at x %1").arg(x);
      break;
    }
  for (int y = 0; y < picture.height(); ++y)
    if (!white(0, y) || !white(picture.width() - 1, y)) {
      faults << QStringLiteral("a mark on the left or right edge at y %1").arg(y);
      break;
    }
  return faults;
}

QStringList caption_faults(QWidget* window) {
  QStringList faults;
  for (const QWidget* c : window->findChildren<QWidget*>()) {
    if (c->isWindow() || !c->isVisibleTo(window)) continue;
    if (const int needed = forms::caption_width(c); needed > c->width())
      faults << QStringLiteral("%1 \"%2\": caption needs %3 px, control is %4 px wide")
                    .arg(name_of(c), caption_of(c))
                    .arg(needed)
                    .arg(c->width());
  }
  return faults;
}

}  // namespace morvell::testing
