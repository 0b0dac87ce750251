#include "registration.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "gear_dialog.h"
#include "registry.h"

namespace tandrel {

namespace {

using registry::Hive;

struct Entry {
  Hive hive;
  std::u16string key;
  std::string value;  // empty: the library's path
};

std::vector<Entry> Entries() {
  const std::u16string clsid = registry::FromUtf8(kClassId);
  return {
      {Hive::LocalMachine, u"SOFTWARE\\SolidWorks\\Applications\\Tandrel", kClassId},
      {Hive::LocalMachine, u"SOFTWARE\\SolidWorks\\Applications\\Tandrel\\CLSID", kClassId},
      {Hive::ClassesRoot, u"CLSID\\" + clsid, "Tandrel"},
      {Hive::ClassesRoot, u"CLSID\\" + clsid + u"\\InprocServer32", ""},
  };
}

}  // namespace

std::string LibraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&LibraryPath), &info) == 0 || !info.dli_fname) return {};
  // The whole path: a name cut short would register a library that is not there.
  if (char* full = realpath(info.dli_fname, nullptr)) {
    std::string path(full);
    std::free(full);
    return path;
  }
  return info.dli_fname;
}

static bool WriteInstallFolder(const std::string& library_path) {
  // A setting's text, without a terminating zero.
  const std::string folder = std::filesystem::path(library_path).parent_path().string();
  registry::Key key;
  bool ok = registry::CreateKey(registry::Hive::LocalMachine, kSettingsKey, key) == registry::kSuccess;
  if (ok)
    ok = registry::SetValueNarrow(key, u"Install", registry::REG_SZ, folder.data(), uint32_t(folder.size())) ==
         registry::kSuccess;
  registry::CloseKey(key);
  return ok;
}

HRESULT RegisterServer(const std::string& library_path) {
  for (const Entry& e : Entries()) {
    const std::string text = e.value.empty() ? library_path : e.value;
    registry::Key key;
    bool ok = registry::CreateKey(e.hive, e.key, key) == registry::kSuccess;
    if (ok)
      ok = registry::SetValueNarrow(key, u"", registry::REG_SZ, text.c_str(), uint32_t(text.size() + 1)) ==
           registry::kSuccess;
    registry::CloseKey(key);
    if (!ok) {
      UnregisterServer();
      return SELFREG_E_CLASS;
    }
  }
  // Where the plug-in is installed, beside the gear settings: its help text lies below that folder.
  if (!WriteInstallFolder(library_path)) {
    UnregisterServer();
    return SELFREG_E_CLASS;
  }
  return S_OK;
}

// Removes the installation folder that registration recorded; the gear settings beside it stay. A
// value that is not there is no failure: the settings may never have held one.
static bool RemoveInstallFolder() {
  registry::Key key;
  if (registry::OpenKey(registry::Hive::LocalMachine, kSettingsKey, key) != registry::kSuccess) return true;
  const registry::Status status = registry::DeleteValue(key, u"Install");
  registry::CloseKey(key);
  return status == registry::kSuccess || status == registry::kFileNotFound;
}

HRESULT UnregisterServer() {
  const std::vector<Entry> entries = Entries();
  bool failed = !RemoveInstallFolder();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (registry::DeleteKey(it->hive, it->key) != registry::kSuccess) failed = true;
  return failed ? 1 : 0;
}

}  // namespace tandrel
