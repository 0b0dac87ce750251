#include "addin_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <chrono>

#include "x11_keyboard.h"

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

bool AddinServices::EscapeHeld() {
  // Asked once per flank point; the display is asked at most every 20 ms, since each question is a
  // round trip to the X server.
  using Clock = std::chrono::steady_clock;
  static Clock::time_point asked{};
  static bool held = false;
  const Clock::time_point now = Clock::now();
  if (now - asked >= std::chrono::milliseconds(20)) {
    held = EscapeDownOnDisplay(DesktopX11Connection());
    asked = now;
  }
  return held;
}

bool AddinServices::OpenWithShell(const std::u16string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdU16String(path)));
}

AddinServices& Services() {
  static AddinServices desktop;
  return Installed() ? *Installed() : desktop;
}

void SetServices(AddinServices* services) { Installed() = services; }

}  // namespace tandrel
