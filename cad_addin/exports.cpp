#include "exports.h"

#include <QApplication>

#include "addin_app.h"
#include "gear_dialog.h"
#include "registration.h"

namespace {

void MessageThroughHost(const char16_t* text) {
  if (tandrel::HostApplication* host = tandrel::AddinHost()) {
    int32_t result = 0;
    host->SendMessageToUser(text, 2, 2, &result);
  }
}

}  // namespace

extern "C" {

int32_t InitUserDLL3(tandrel::HostApplication* host) { return tandrel::StartAddin(host); }

void ToolbarCB0() {
  tandrel::HostApplication* host = tandrel::AddinHost();
  if (!host) return;
  tandrel::HostDocument* doc = nullptr;
  host->ActiveDocument(&doc);
  if (!doc) {
    MessageThroughHost(u"    请打开文档!           ");
    return;
  }
  doc->Release();
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;  // no desktop to show it on
  tandrel::GearDialog dialog;
  dialog.exec();
}

void ToolbarCB1() { MessageThroughHost(u"Button 1 Pressed"); }

void ToolbarCB2() { MessageThroughHost(u"Button 2 Pressed"); }

int32_t updateButton() { return 1; }

void MenuItemCB() {}

void SaveAsCB() {}

tandrel::HRESULT DllRegisterServer() { return tandrel::RegisterServer(tandrel::LibraryPath()); }

tandrel::HRESULT DllUnregisterServer() { return tandrel::UnregisterServer(); }

}  // extern "C"
