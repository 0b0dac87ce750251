#include "caption_fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace morvell::forms {

namespace {

constexpr const char* kNarrowList = "narrow_list";

// A size hint less the blanks that end its text.
int without_trailing_blanks(int hint, const QFontMetrics& metrics, const QString& text) {
  return hint - metrics.horizontalAdvance(text) + metrics.horizontalAdvance(text.trimmed());
}

// The font one step smaller than `font`, or false when it would be below half of `original`.
bool smaller(QFont& font, const QFont& original) {
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
    // A list that shows its choice: the longest choice in the field, with the arrow and frame.
    if (combo->isEditable() || combo->count() == 0 || combo->property(kNarrowList).toBool()) return 0;
    int text = 0;
    for (int i = 0; i < combo->count(); ++i)
      text = std::max(text, combo->fontMetrics().horizontalAdvance(combo->itemText(i).trimmed()));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    return combo->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, combo->fontMetrics().height()), combo)
        .width();
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

void mark_narrow_list(QWidget* list) { list->setProperty(kNarrowList, true); }

void fit_captions(QWidget* window) {
  for (QWidget* c : window->findChildren<QWidget*>()) {
    if (c->isWindow() || caption_width(c) <= c->width()) continue;
    const QFont original = c->font();
    QFont font = original;
    // A first guess in proportion, then quarter points until the caption fits.
    if (font.pointSizeF() > 0) {
      const double guess = std::floor(font.pointSizeF() * c->width() / caption_width(c) * 4.0 + 1.0) / 4.0;
      if (guess < font.pointSizeF() && guess >= original.pointSizeF() / 2.0) font.setPointSizeF(guess);
    }
    c->setFont(font);
    while (caption_width(c) > c->width() && smaller(font, original)) c->setFont(font);
    if (caption_width(c) > c->width()) c->setFont(original);  // no font fits: leave it as laid out
  }
}

}  // namespace morvell::forms
