#include "registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
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

// A value being written: ".new-" and ten letters or digits in the key's folder. Its leading dot keeps it
// apart from every value and subkey (whose names never start with one, see Encode). Its writer holds a
// lock on it; one left by a writer that was killed holds none and is removed by the next writer.
constexpr std::string_view kTemporaryPrefix = ".new-";
constexpr size_t kTemporaryLetters = 10;

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kTemporaryPrefix.size() + kTemporaryLetters || name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix)
    return false;
  for (const char c : name.substr(kTemporaryPrefix.size()))
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

// Creates and locks a temporary file in the folder; its descriptor and name, or -1.
int CreateTemporary(const fs::path& folder, std::string& name) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random{std::random_device{}() ^ (uint64_t(::getpid()) << 32)};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string file(kTemporaryPrefix);
    for (size_t i = 0; i < kTemporaryLetters; ++i) file += kLetters[random() % (sizeof kLetters - 1)];
    name = (folder / file).string();
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return -1;
    // Locked, and still the file of that name: a writer clearing the folder at the same moment may have
    // taken it for a stale one first.
    struct stat mine {}, named {};
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR);
    if (locked && ::fstat(fd, &mine) == 0 && ::lstat(name.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
        mine.st_ino == named.st_ino)
      return fd;
    ::close(fd);
  }
  return -1;
}

void RemoveStaleTemporaries(const fs::path& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const int dir_fd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryName(entry->d_name)) continue;
    const int fd = ::openat(dir_fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(dir_fd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
      ::unlinkat(dir_fd, entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

bool WriteAll(int fd, const void* data, size_t size) {
  auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= size_t(n);
  }
  return true;
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
  // The value is written to a file of its own beside the old one, under a name no other writer uses, and
  // takes its place in one rename once every byte is written: a full disk or a failed write leaves the old
  // value whole, a reader finds the old value or the new one, and two copies of the plug-in saving the
  // same value at once each put a whole value in place, the later one staying.
  const fs::path target = ValueFile(key, name);
  RemoveStaleTemporaries(key.folder);
  std::string temporary;
  const int fd = CreateTemporary(key.folder, temporary);
  if (fd < 0) return kAccessDenied;
  const unsigned char header[4] = {uint8_t(type), uint8_t(type >> 8), uint8_t(type >> 16), uint8_t(type >> 24)};
  bool written = WriteAll(fd, header, 4) && (size == 0 || WriteAll(fd, data, size));
  if (written && ::rename(temporary.c_str(), target.c_str()) != 0) written = false;
  if (!written) ::unlink(temporary.c_str());
  ::close(fd);  // the lock goes with it, after the rename
  return written ? kSuccess : kAccessDenied;
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
