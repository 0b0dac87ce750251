#include "use_optimized_form.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "field_events.h"
#include "window_scale.h"

namespace morvell {

Tuseoptimizedform* useoptimizedform = nullptr;

// Layout at 96 pixels per inch, border width 5.
Tuseoptimizedform::Tuseoptimizedform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("useoptimizedform");
  setWindowTitle("Update geometry details");
  warningmemo = new QPlainTextEdit(this);
  warningmemo->setObjectName("warningmemo");
  warningmemo->setReadOnly(true);
  warningmemo->setGeometry(5, 5, 276, 65);
  QPalette palette = warningmemo->palette();
  palette.setColor(QPalette::Text, Qt::black);
  palette.setColor(QPalette::Base, QColor(233, 233, 233));  // colour value 15329769
  warningmemo->setPalette(palette);
  OKbutton = new QPushButton("Restore original", this);
  OKbutton->setObjectName("OKbutton");
  OKbutton->setGeometry(5, 78, 124, 21);
  OKbutton->setDefault(true);
  Button1 = new QPushButton("Use new", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(167, 78, 114, 21);
  setFixedSize(286, 104);
  forms::on_click(OKbutton, [this] { OKbuttonClick(); });
  forms::on_click(Button1, [this] { Button1Click(); });
  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Tuseoptimizedform::showEvent(QShowEvent* event) {
  centre_on_screen(this);
  FormShow();
  QDialog::showEvent(event);
}

void Tuseoptimizedform::FormShow() {
  // Until a button answers, the original design is restored: closing the question otherwise must not
  // take the answer of an earlier search.
  d_.use_optimized_design = 0;
  warningmemo->clear();
  copy_text(d_.warning_lines[0], "Original geometry can be restored or ");
  copy_text(d_.warning_lines[1], "geometry from design search used ");
  for (int i = 0; i < 2; ++i) {
    const std::string_view line = text_of(d_.warning_lines[i]);
    warningmemo->appendPlainText(QString::fromLatin1(line.data(), qsizetype(line.size())));
  }
  OKbutton->setFocus(Qt::OtherFocusReason);  // Enter restores
}

void Tuseoptimizedform::OKbuttonClick() {
  d_.use_optimized_design = 0;
  accept();
}

void Tuseoptimizedform::Button1Click() {
  d_.use_optimized_design = 1;
  accept();
}

}  // namespace morvell
