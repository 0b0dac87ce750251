#include "warning_dialog.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "field_events.h"
#include "modal_services.h"
#include "window_scale.h"

namespace morvell {

Tgeomwarningform* geomwarningform = nullptr;

// Layout designed at 96 pixels per inch.
Tgeomwarningform::Tgeomwarningform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("geomwarningform");
  setWindowTitle("Warning!");
  warningmemo = new QPlainTextEdit(this);
  warningmemo->setObjectName("warningmemo");
  warningmemo->setReadOnly(true);
  // The memo is sized to its lines (a line wider than the screen wraps): it never needs a scroll bar.
  warningmemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  warningmemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  warningmemo->setGeometry(8, 8, 276, 65);
  QPalette palette = warningmemo->palette();
  palette.setColor(QPalette::Text, Qt::red);
  palette.setColor(QPalette::Base, QColor(233, 233, 233));  // colour value 15329769
  warningmemo->setPalette(palette);
  OKbutton = new QPushButton("OK", this);
  OKbutton->setObjectName("OKbutton");
  OKbutton->setGeometry(109, 81, 75, 25);
  OKbutton->setDefault(true);
  setFixedSize(292, 114);
  remember_layout();
  forms::on_click(OKbutton, [this] { OKbuttonClick(); });
}

void Tgeomwarningform::showEvent(QShowEvent* event) {
  // The dialog exists before the main window has computed the window scale, so it takes the scale
  // the first time it is shown; the scaled layout is the smallest the dialog takes.
  if (!scaled_) {
    scaled_ = true;
    restore_layout();
    scale_window(this, d_);
    remember_layout();
  }
  FormShow();
  centre_on_screen(this);
  QDialog::showEvent(event);
}

void Tgeomwarningform::FormShow() {
  warningmemo->clear();
  QStringList lines;
  for (const auto& line : d_.warning_lines) {
    const std::string_view text = text_of(line);
    lines << QString::fromLatin1(text.data(), qsizetype(text.size()));
    warningmemo->appendPlainText(lines.back());
  }
  fit_to_lines(lines);
  // Adding the lines scrolled the memo to its end: the first line says what is wrong.
  warningmemo->moveCursor(QTextCursor::Start);
  warningmemo->verticalScrollBar()->setValue(0);
  warningmemo->horizontalScrollBar()->setValue(0);
  OKbutton->setFocus(Qt::OtherFocusReason);
}

void Tgeomwarningform::restore_layout() {
  warningmemo->setGeometry(memo_rect_);
  OKbutton->setGeometry(button_rect_);
  setFixedSize(window_size_);
}

void Tgeomwarningform::remember_layout() {
  memo_rect_ = warningmemo->geometry();
  button_rect_ = OKbutton->geometry();
  window_size_ = size();
}

void Tgeomwarningform::fit_to_lines(const QStringList& lines) {
  const int margin = memo_rect_.x();
  const int gap = button_rect_.y() - memo_rect_.bottom() - 1;
  const QFontMetricsF metrics(warningmemo->font());
  // The memo's frame and its document's margin around the text, with room for the caret and to spare:
  // the lines are counted for a width a little less than the memo gives them.
  const int border = 2 * warningmemo->frameWidth() + 2 * int(std::ceil(warningmemo->document()->documentMargin()));
  const int slack = 8;
  double widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  // No wider than the screen leaves room for: a longer line wraps.
  int widest_allowed = 1 << 20;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    widest_allowed = screen->availableGeometry().width() - 2 * margin - 32;
  const int width = std::max(memo_rect_.width(), std::min(int(std::ceil(widest)) + border + slack, widest_allowed));
  // The lines as the memo breaks them at that width.
  int rows = 0;
  for (const QString& line : lines) {
    QTextLayout layout(line, warningmemo->font());
    QTextOption wrapping;
    wrapping.setWrapMode(warningmemo->wordWrapMode());
    layout.setTextOption(wrapping);
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
      row.setLineWidth(width - border - slack);
      ++rows;
    }
    layout.endLayout();
  }
  const int height = std::max(memo_rect_.height(), rows * int(std::ceil(metrics.lineSpacing())) + border + 2);
  warningmemo->setGeometry(memo_rect_.x(), memo_rect_.y(), width, height);
  const int button_top = memo_rect_.y() + height + gap;
  OKbutton->move(margin + (width - OKbutton->width()) / 2, button_top);
  setFixedSize(width + 2 * margin, button_top + OKbutton->height() + (window_size_.height() - button_rect_.bottom() - 1));
}

void Tgeomwarningform::OKbuttonClick() { accept(); }

void show_warning_dialog(DesignData& d) {
  if (geomwarningform) {
    forms::services().show_modal(*geomwarningform);
    return;
  }
  Tgeomwarningform dialog(d, QApplication::activeWindow());
  forms::services().show_modal(dialog);
}

}  // namespace morvell
