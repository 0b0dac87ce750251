// Self-registration: the host's add-in key and the class registration, written as 8-bit text.
#pragma once

#include <string>

#include "com_basics.h"

namespace tandrel {

inline constexpr char kClassId[] = "{418e427b-5934-492d-90ab-0a654b6e82fa}";

// Writes the four entries in order, then the installation folder (the library's) as the gear settings'
// `Install` value; the first failure undoes the entries and gives SELFREG_E_CLASS.
HRESULT RegisterServer(const std::string& library_path);
// Deletes the `Install` value, then the four entries in reverse order; 1 when any deletion failed,
// otherwise 0. The gear settings stay.
HRESULT UnregisterServer();
// The full path of the library holding this code.
std::string LibraryPath();

}  // namespace tandrel
