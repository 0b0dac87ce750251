// The registry stand-in: a key store kept in files under a root folder. A key is a folder (one per
// path component below its hive), a value a file in it holding the value's type and data. Values are
// UTF-16 text as the add-in reads and writes them; 8-bit writes are UTF-8, decoded.
//
// The root is the environment's TANDREL_REGISTRY_ROOT, else $HOME/.config/tandrel/registry;
// SetRegistryRoot overrides both.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "utf16.h"

namespace tandrel::registry {

enum class Hive { ClassesRoot, LocalMachine };

using Status = int32_t;
constexpr Status kSuccess = 0;
constexpr Status kFileNotFound = 2;
constexpr Status kAccessDenied = 5;
constexpr Status kInvalidParameter = 87;
constexpr Status kMoreData = 234;

constexpr uint32_t REG_SZ = 1;

void SetRegistryRoot(const std::filesystem::path& root);  // empty: back to the environment's
std::filesystem::path RegistryRoot();

struct Key {
  std::filesystem::path folder;
  bool open = false;
};

// Creates the key (and the keys above it) or opens it when it exists.
Status CreateKey(Hive hive, std::u16string_view subkey, Key& key);
Status OpenKey(Hive hive, std::u16string_view subkey, Key& key);
void CloseKey(Key& key);
// A key that has subkeys is not deleted.
Status DeleteKey(Hive hive, std::u16string_view subkey);

// Removes one value of the key; kFileNotFound when it is not there.
Status DeleteValue(const Key& key, std::u16string_view name);

// The empty name is the key's default value. `size` is in bytes.
Status SetValue(const Key& key, std::u16string_view name, uint32_t type, const void* data, uint32_t size);
// 8-bit text in UTF-8 (as this system's paths are), stored as UTF-16; `size` counts the 8-bit bytes as
// given (a terminating zero among them stays one).
Status SetValueNarrow(const Key& key, std::u16string_view name, uint32_t type, const char* data, uint32_t size);
// Reads at most *size bytes into data; kMoreData (and the needed size) when the buffer is too small.
Status QueryValue(const Key& key, std::u16string_view name, uint32_t* type, void* data, uint32_t* size);

using tandrel::FromUtf8;
using tandrel::ToUtf8;

}  // namespace tandrel::registry
