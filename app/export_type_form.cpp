#include "export_type_form.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "field_events.h"
#include "window_scale.h"

namespace morvell {

TGraphicsexportform* Graphicsexportform = nullptr;

TGraphicsexportform::TGraphicsexportform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("Graphicsexportform");
  setWindowTitle("Graphics Export");
  // Laid out in the application's font, as every window: as the main window's child the dialog would
  // take the main window's font, already scaled, and be scaled again.
  setFont(QApplication::font());
  QFont bold = font();
  bold.setBold(true);

  Label1 = new QLabel("Export  type", this);
  Label1->setObjectName("Label1");
  Label1->setFont(bold);
  Label1->setGeometry(16, 16, 110, 21);
  exptype = new QComboBox(this);
  exptype->setObjectName("exptype");
  exptype->setEditable(false);
  exptype->addItems({"(x, y) co-ordinates of pinion (single tooth)", "(x, y) co-ordinates of wheel (single tooth)",
                     "dxf of pinion (single tooth)", "dxf of wheel (single tooth)", "dxf of pinion (all teeth)",
                     "dxf of wheel (all teeth)", "dxf of mesh"});
  exptype->setMaxVisibleItems(7);
  exptype->setGeometry(132, 16, 290, 21);

  Label2 = new QLabel("Profile", this);
  Label2->setObjectName("Label2");
  Label2->setFont(bold);
  Label2->setGeometry(16, 48, 110, 21);
  profiletype = new QComboBox(this);
  profiletype->setObjectName("profiletype");
  profiletype->setEditable(false);
  profiletype->addItems({"Finished profile", "Nominal profile", "Nominal and finished profile"});
  profiletype->setGeometry(132, 48, 290, 21);

  Exportbutton = new QPushButton("Export", this);
  Exportbutton->setObjectName("Exportbutton");
  Exportbutton->setGeometry(184, 84, 75, 25);
  Exportbutton->setDefault(true);
  resize(438, 122);  // sized to its contents

  forms::on_choice(exptype, [this] { exptypeChange(); });
  forms::on_click(Exportbutton, [this] { ExportbuttonClick(); });
  scale_window(this, d_);
}

void TGraphicsexportform::showEvent(QShowEvent* event) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect s = screen->geometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
  }
  FormShow();
  QDialog::showEvent(event);
}

void TGraphicsexportform::FormShow() {
  exptype->setCurrentIndex(0);
  profiletype->setCurrentIndex(0);
  profiletype->setEnabled(true);  // entry 0 of the export types allows every outline
  Exportbutton->setFocus(Qt::OtherFocusReason);
}

void TGraphicsexportform::exptypeChange() {
  if (exptype->currentIndex() <= 3) {
    profiletype->setEnabled(true);
  } else {  // all teeth and the mesh are drawn with the finished outline only
    profiletype->setCurrentIndex(0);
    profiletype->setEnabled(false);
  }
}

void TGraphicsexportform::ExportbuttonClick() { accept(); }

void TGraphicsexportform::FormClose() {
  d_.export_type = exptype->currentIndex();
  d_.export_profile_type = profiletype->currentIndex();
}

void TGraphicsexportform::done(int result) {
  FormClose();
  QDialog::done(result);
}

}  // namespace morvell
