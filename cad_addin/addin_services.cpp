#include "addin_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace tandrel {

namespace {
AddinServices*& Installed() {
  static AddinServices* services = nullptr;
  return services;
}
}  // namespace

void AddinServices::ShowMessage(const std::u16string& text) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tandrel"), QString::fromStdU16String(text), QMessageBox::Ok,
                  QApplication::activeModalWidget());
  box.exec();
}

bool AddinServices::EscapeHeld() { return false; }

void AddinServices::OpenWithShell(const std::u16string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdU16String(path)));
}

AddinServices& Services() {
  static AddinServices desktop;
  return Installed() ? *Installed() : desktop;
}

void SetServices(AddinServices* services) { Installed() = services; }

}  // namespace tandrel
