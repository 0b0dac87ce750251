#include "caption_fit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace morvell::forms {

namespace {

constexpr const char* kNarrowList = "narrow_list";
// The font a fitted control was laid out with, the font the fit gave it, and whether a list is fitted
// again when its choice changes.
constexpr const char* kLaidOutFont = "caption_laid_out_font";
constexpr const char* kFittedFont = "caption_fitted_font";
constexpr const char* kRefits = "caption_refits";

// A size hint less the blanks that end its text.
int without_trailing_blanks(int hint, const QFontMetrics& metrics, const QString& text) {
  return hint - metrics.horizontalAdvance(text) + metrics.horizontalAdvance(text.trimmed());
}

// A check box or radio button lower than the square the style draws its indicator in, or narrower
// without a caption, would show only part of the square: it draws a square that fits instead. The size
// the style draws is the application style's, whatever square a fit has given the control before.
void fit_indicator(QAbstractButton* b) {
  const bool radio = qobject_cast<QRadioButton*>(b) != nullptr;
  if (!radio && !qobject_cast<QCheckBox*>(b)) return;
  const QStyle* style = QApplication::style();
  const int width =
      style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, b);
  const int height =
      style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight, nullptr, b);
  const int room_width = b->text().isEmpty() ? b->width() : width;
  QString sheet;
  if (height > b->height() || width > room_width) {
    const int side = std::max(1, std::min(b->height(), room_width));
    sheet = QStringLiteral("%1::indicator { width: %2px; height: %2px; }")
                .arg(radio ? QStringLiteral("QRadioButton") : QStringLiteral("QCheckBox"))
                .arg(side);
  }
  if (b->styleSheet() != sheet) b->setStyleSheet(sheet);
}

void fit_caption(QWidget* c) {
  if (c->isWindow()) return;
  // Start from the font the control was laid out with: the one it had when it was last fitted, unless
  // the window has set it another since (a new window size).
  QFont original = c->font();
  if (c->property(kFittedFont).value<QFont>() == original && c->property(kLaidOutFont).isValid())
    original = c->property(kLaidOutFont).value<QFont>();
  c->setFont(original);
  if (caption_width(c) > c->width()) {
    QFont font = original;
    // A first guess in proportion, then quarter points until the caption fits.
    if (font.pointSizeF() > 0) {
      const double guess = std::floor(font.pointSizeF() * c->width() / caption_width(c) * 4.0 + 1.0) / 4.0;
      if (guess < font.pointSizeF() && guess >= original.pointSizeF() / 2.0) font.setPointSizeF(guess);
    }
    c->setFont(font);
    while (caption_width(c) > c->width() && smaller_font(font, original)) c->setFont(font);
    if (caption_width(c) > c->width()) c->setFont(original);  // no font fits: leave it as laid out
  }
  c->setProperty(kLaidOutFont, QVariant::fromValue(original));
  c->setProperty(kFittedFont, QVariant::fromValue(c->font()));
}

}  // namespace

int caption_width(const QWidget* c) {
  if (const auto* label = qobject_cast<const QLabel*>(c)) {
    const QString text = label->text();
    if (text.isEmpty() || label->wordWrap() || text.contains('\n') || Qt::mightBeRichText(text)) return 0;
    return without_trailing_blanks(label->sizeHint().width(), label->fontMetrics(), text);
  }
  if (qobject_cast<const QCheckBox*>(c) || qobject_cast<const QRadioButton*>(c)) {
    const QString text = static_cast<const QAbstractButton*>(c)->text();
    return text.isEmpty() ? 0 : without_trailing_blanks(c->sizeHint().width(), c->fontMetrics(), text);
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(c)) {
    // A list that shows its choice: the shown choice in the field beside the arrow, with what the
    // frame and the arrow take of the list's width at its own size (the arrow does not grow with the
    // text) and the field's text margin.
    if (combo->isEditable() || combo->currentText().trimmed().isEmpty() || combo->property(kNarrowList).toBool())
      return 0;
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    const QStyle* style = combo->style();
    const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    return combo->fontMetrics().horizontalAdvance(combo->currentText().trimmed()) + combo->width() -
           field.width() + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, combo);
  }
  if (const auto* button = qobject_cast<const QPushButton*>(c)) {
    // Not the size hint: the style widens every captioned button to a minimum width of its own.
    QString text = button->text();
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    text = text.trimmed();
    if (text.isEmpty()) return 0;
    const QStyle* style = button->style();
    int w = button->fontMetrics().horizontalAdvance(text) +
            2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                 style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
    if (!button->icon().isNull()) w += button->iconSize().width() + 4;
    return w;
  }
  return 0;
}

bool smaller_font(QFont& font, const QFont& original) {
  if (font.pointSizeF() > 0) {
    const double size = std::floor(font.pointSizeF() * 4.0 - 1e-9) / 4.0;
    if (size < original.pointSizeF() / 2.0) return false;
    font.setPointSizeF(size);
    return true;
  }
  if (font.pixelSize() > 1) {
    if (font.pixelSize() - 1 < original.pixelSize() / 2) return false;
    font.setPixelSize(font.pixelSize() - 1);
    return true;
  }
  return false;
}

void mark_narrow_list(QWidget* list) { list->setProperty(kNarrowList, true); }

void fit_captions(QWidget* window) {
  for (QWidget* c : window->findChildren<QWidget*>()) {
    if (c->isWindow()) continue;
    // A list is fitted again to each choice it comes to show.
    if (auto* combo = qobject_cast<QComboBox*>(c); combo && !combo->property(kRefits).toBool()) {
      combo->setProperty(kRefits, true);
      QObject::connect(combo, &QComboBox::currentTextChanged, combo, [combo] { fit_caption(combo); });
    }
    if (auto* button = qobject_cast<QAbstractButton*>(c)) fit_indicator(button);
    // A control never fitted and whose caption fits keeps its font untouched.
    if (!c->property(kLaidOutFont).isValid() && caption_width(c) <= c->width()) continue;
    fit_caption(c);
  }
}

namespace {
constexpr const char* kLaidOutTickInterval = "laid_out_tick_interval";

// The groove's length: the slider's length less the handle's, which the handle's centre cannot reach.
double groove_length(const QSlider* s) {
  QStyleOptionSlider option;
  option.initFrom(s);
  option.orientation = s->orientation();
  option.minimum = s->minimum();
  option.maximum = s->maximum();
  const QRect handle = s->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, s);
  return s->orientation() == Qt::Horizontal ? s->width() - handle.width() : s->height() - handle.height();
}
}  // namespace

double tick_spacing(const QWidget* w) {
  const auto* s = qobject_cast<const QSlider*>(w);
  if (!s || s->tickPosition() == QSlider::NoTicks) return 0;
  const int range = s->maximum() - s->minimum();
  const int interval = s->tickInterval() > 0 ? s->tickInterval() : s->pageStep();
  if (range <= 0 || interval <= 0) return 0;
  return groove_length(s) * interval / range;
}

void fit_slider_ticks(QWidget* window) {
  for (QSlider* s : window->findChildren<QSlider*>()) {
    if (s->tickPosition() == QSlider::NoTicks) continue;
    if (!s->property(kLaidOutTickInterval).isValid()) s->setProperty(kLaidOutTickInterval, s->tickInterval());
    const int laid_out = std::max(1, s->property(kLaidOutTickInterval).toInt());
    const int range = s->maximum() - s->minimum();
    if (range <= 0) continue;
    const double per_step = groove_length(s) / range;
    int interval = laid_out;
    for (int k = laid_out; k <= range; k += laid_out) {
      interval = k;
      if (range % k == 0 && per_step * k >= kLeastTickSpacing) break;
    }
    if (s->tickInterval() != interval) s->setTickInterval(interval);
  }
}

void forget_caption_fits(QWidget* window) {
  for (QWidget* c : window->findChildren<QWidget*>()) {
    c->setProperty(kLaidOutFont, QVariant());
    c->setProperty(kFittedFont, QVariant());
    // The smaller indicator square goes too: a control with a style sheet keeps a font of its own
    // that would not follow the window's new font.
    if (qobject_cast<QCheckBox*>(c) || qobject_cast<QRadioButton*>(c)) {
      if (!c->styleSheet().isEmpty()) c->setStyleSheet(QString());
    }
  }
}

}  // namespace morvell::forms
