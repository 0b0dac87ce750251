#include "registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tandrel::registry {

namespace fs = std::filesystem;

namespace {

fs::path& OverrideRoot() {
  static fs::path root;
  return root;
}

const char* HiveName(Hive hive) { return hive == Hive::ClassesRoot ? "HKEY_CLASSES_ROOT" : "HKEY_LOCAL_MACHINE"; }

// Key path components may hold any character but the separator; file names must not start with a
// dot nor hold a slash, so those characters are written as %XX.
std::string Encode(std::string_view component) {
  std::string out;
  for (size_t i = 0; i < component.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(component[i]);
    if (c == '/' || c == '%' || c == '@' || c < 0x20 || (i == 0 && c == '.')) {
      static const char hex[] = "0123456789ABCDEF";
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool KeyFolder(Hive hive, std::u16string_view subkey, fs::path& folder) {
  folder = RegistryRoot() / HiveName(hive);
  std::string path = ToUtf8(subkey);
  size_t begin = 0;
  while (begin <= path.size()) {
    size_t end = path.find('\\', begin);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(begin, end - begin);
    if (component.empty()) {
      if (end != path.size()) return false;  // "a\\\\b": an empty key name
    } else {
      folder /= Encode(component);
    }
    begin = end + 1;
  }
  return true;
}

fs::path ValueFile(const Key& key, std::u16string_view name) {
  return key.folder / (name.empty() ? std::string("@default") : Encode(ToUtf8(name)) + ".value");
}

}  // namespace

void SetRegistryRoot(const fs::path& root) { OverrideRoot() = root; }

fs::path RegistryRoot() {
  if (!OverrideRoot().empty()) return OverrideRoot();
  if (const char* env = std::getenv("TANDREL_REGISTRY_ROOT"); env && *env) return fs::path(env);
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : ".") / ".config" / "tandrel" / "registry";
}

Status CreateKey(Hive hive, std::u16string_view subkey, Key& key) {
  key = Key{};
  fs::path folder;
  if (!KeyFolder(hive, subkey, folder)) return kInvalidParameter;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return kAccessDenied;
  key.folder = folder;
  key.open = true;
  return kSuccess;
}

Status OpenKey(Hive hive, std::u16string_view subkey, Key& key) {
  key = Key{};
  fs::path folder;
  if (!KeyFolder(hive, subkey, folder)) return kInvalidParameter;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return kFileNotFound;
  key.folder = folder;
  key.open = true;
  return kSuccess;
}

void CloseKey(Key& key) { key = Key{}; }

Status DeleteKey(Hive hive, std::u16string_view subkey) {
  fs::path folder;
  if (!KeyFolder(hive, subkey, folder) || subkey.empty()) return kInvalidParameter;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return kFileNotFound;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (entry.is_directory()) return kAccessDenied;  // subkeys stay, and so does the key
  fs::remove_all(folder, ec);
  return ec ? kAccessDenied : kSuccess;
}

Status DeleteValue(const Key& key, std::u16string_view name) {
  if (!key.open) return kInvalidParameter;
  std::error_code ec;
  const fs::path file = ValueFile(key, name);
  if (!fs::exists(fs::symlink_status(file, ec))) return kFileNotFound;
  return fs::remove(file, ec) && !ec ? kSuccess : kAccessDenied;
}

Status SetValue(const Key& key, std::u16string_view name, uint32_t type, const void* data, uint32_t size) {
  if (!key.open) return kInvalidParameter;
  // The value is written to a file of its own beside the old one and takes its place only when every
  // byte reached the disk: a full disk or a failed write leaves the old value whole.
  const fs::path target = ValueFile(key, name);
  fs::path temporary = target;
  temporary += ".new";
  const unsigned char header[4] = {uint8_t(type), uint8_t(type >> 8), uint8_t(type >> 16), uint8_t(type >> 24)};
  bool written = false;
  if (std::FILE* out = std::fopen(temporary.c_str(), "wb")) {
    written = std::fwrite(header, 1, 4, out) == 4;
    if (written && size > 0) written = std::fwrite(data, 1, size, out) == size;
    if (std::fflush(out) != 0) written = false;
    if (std::fclose(out) != 0) written = false;
  }
  std::error_code ec;
  if (written) fs::rename(temporary, target, ec);
  if (!written || ec) {
    fs::remove(temporary, ec);
    return kAccessDenied;
  }
  return kSuccess;
}

Status SetValueNarrow(const Key& key, std::u16string_view name, uint32_t type, const char* data, uint32_t size) {
  const std::u16string wide = FromUtf8(std::string_view(data, size));
  return SetValue(key, name, type, wide.data(), uint32_t(wide.size() * sizeof(char16_t)));
}

Status QueryValue(const Key& key, std::u16string_view name, uint32_t* type, void* data, uint32_t* size) {
  if (!key.open || !size) return kInvalidParameter;
  // Only a regular file is a value: a folder, a pipe (opened without waiting) or a device in its place is
  // none. Its length is known before reading, and no more than the caller's buffer is ever read.
  const int fd = ::open(ValueFile(key, name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return kFileNotFound;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  // A value file holds the type and at most 4 GiB of data, as SetValue writes it.
  if (!regular || st.st_size < 4 || uint64_t(st.st_size) - 4 > UINT32_MAX) {
    ::close(fd);
    return kFileNotFound;
  }
  auto read_all = [fd](void* into, std::size_t count, off_t offset) {
    auto* p = static_cast<char*>(into);
    while (count > 0) {
      const ssize_t n = ::pread(fd, p, count, offset);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      count -= std::size_t(n);
      offset += n;
    }
    return true;
  };
  unsigned char h[4];
  const uint32_t need = uint32_t(uint64_t(st.st_size) - 4);
  const uint32_t room = *size;
  Status status = kSuccess;
  if (!read_all(h, 4, 0)) {
    status = kFileNotFound;
  } else {
    if (type) *type = uint32_t(h[0]) | uint32_t(h[1]) << 8 | uint32_t(h[2]) << 16 | uint32_t(h[3]) << 24;
    *size = need;
    if (data && need > room) status = kMoreData;
    else if (data && need > 0 && !read_all(data, need, 4)) status = kFileNotFound;  // cut short while read
  }
  ::close(fd);
  return status;
}

}  // namespace tandrel::registry
