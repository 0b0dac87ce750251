// The entry points the host calls by name.
#pragma once

#include <cstdint>

#include "com_basics.h"
#include "host_interfaces.h"

#define TANDREL_EXPORT __attribute__((visibility("default")))

extern "C" {
TANDREL_EXPORT int32_t InitUserDLL3(tandrel::HostApplication* host);
TANDREL_EXPORT void ToolbarCB0();
TANDREL_EXPORT void ToolbarCB1();
TANDREL_EXPORT void ToolbarCB2();
TANDREL_EXPORT int32_t updateButton();
TANDREL_EXPORT void MenuItemCB();
TANDREL_EXPORT void SaveAsCB();
TANDREL_EXPORT tandrel::HRESULT DllRegisterServer();
TANDREL_EXPORT tandrel::HRESULT DllUnregisterServer();
}
