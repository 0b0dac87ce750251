#include "warning_dialog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

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
  forms::on_click(OKbutton, [this] { OKbuttonClick(); });
}

void Tgeomwarningform::showEvent(QShowEvent* event) {
  // The dialog exists before the main window has computed the window scale, so it takes the scale
  // the first time it is shown.
  if (!scaled_) {
    scaled_ = true;
    scale_window(this, d_);
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->geometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
  }
  FormShow();
  QDialog::showEvent(event);
}

void Tgeomwarningform::FormShow() {
  warningmemo->clear();
  for (const auto& line : d_.warning_lines) {
    const std::string_view text = text_of(line);
    warningmemo->appendPlainText(QString::fromLatin1(text.data(), qsizetype(text.size())));
  }
  OKbutton->setFocus(Qt::OtherFocusReason);
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
