#include "file_writing.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace morvell {

namespace {

// Writes every byte at the current position (or at `offset` when it is not negative); 0 or the error.
int write_all(int fd, const char* data, std::size_t size, off_t offset = -1) {
  while (size > 0) {
    const ssize_t n = offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;  // nothing more goes in
    data += n;
    size -= std::size_t(n);
    if (offset >= 0) offset += n;
  }
  return 0;
}

std::string cannot_write(const std::string& path, const std::string& reason) {
  return "Cannot write " + path + ": " + reason;
}

constexpr const char* kReadOnly = "the file is read-only";

// Why the permissions of the existing regular file keep it from being written; empty when they do not.
std::string permission_refusal(const std::string& path, const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return {};
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
    if (errno == EROFS) return std::strerror(EROFS);
    if (errno == EACCES || errno == EPERM) return kReadOnly;
  }
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return kReadOnly;  // no one may write it
  return {};
}

// Temporary files: ".mvtmp-" and ten letters or digits.
constexpr std::string_view kTempPrefix = ".mvtmp-";
constexpr std::size_t kTempLetters = 10;

bool is_temporary_name(std::string_view name) {
  if (name.size() != kTempPrefix.size() + kTempLetters || name.substr(0, kTempPrefix.size()) != kTempPrefix)
    return false;
  for (const char c : name.substr(kTempPrefix.size()))
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

std::string temporary_name() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random{std::random_device{}() ^ (std::uint64_t(::getpid()) << 32)};
  std::string name(kTempPrefix);
  for (std::size_t i = 0; i < kTempLetters; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
}

// The folder part of a path, with its final slash; empty for a name in the current folder.
std::string folder_prefix(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The file a path names once every symbolic link is followed, also where the last link names a file
// that does not exist yet (a dangling link is written through, as the shell writes through it); a
// path that is no link is itself. False for a loop of links.
bool followed_path(const std::string& path, std::string& out) {
  out = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(out.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    char link[PATH_MAX];
    const ssize_t n = ::readlink(out.c_str(), link, sizeof link - 1);
    if (n <= 0) return true;
    const std::string named(link, std::size_t(n));
    out = named[0] == '/' ? named : folder_prefix(out) + named;
  }
  return false;
}

// Waits for the lock of the writers that append to a file or empty it (a record lock of the open file,
// apart from the run's marks, which are whole-file locks).
void lock_for_writing(int fd) {
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  while (::fcntl(fd, F_OFD_SETLKW, &whole) != 0 && errno == EINTR) {}
}

// The names of the extended attributes of a file (by path) or of an open file (by descriptor).
bool attribute_names(const std::string* path, int fd, std::vector<std::string>& names) {
  names.clear();
  const ssize_t size = path ? ::listxattr(path->c_str(), nullptr, 0) : ::flistxattr(fd, nullptr, 0);
  if (size < 0) return errno == ENOTSUP;  // a file system without them: none
  std::string list(std::size_t(size), '\0');
  const ssize_t got = path ? ::listxattr(path->c_str(), list.data(), list.size())
                           : ::flistxattr(fd, list.data(), list.size());
  if (got < 0) return false;
  for (std::size_t at = 0; at < std::size_t(got);) {
    const std::size_t end = list.find('\0', at);
    names.push_back(list.substr(at, end - at));
    at = end == std::string::npos ? std::size_t(got) : end + 1;
  }
  return true;
}

// Gives the new file `fd` the owner, group, permissions and extended attributes (access lists
// included) of the file it replaces; false when one of them cannot be given, as when another user's
// file is saved, whose owner only an administrator could give.
bool take_over_attributes(int fd, const std::string& target, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
    return false;
  if (::fchmod(fd, old.st_mode & 07777) != 0) return false;
  std::vector<std::string> wanted, present;
  if (!attribute_names(&target, -1, wanted) || !attribute_names(nullptr, fd, present)) return false;
  for (const std::string& name : present) {  // such as an access list the folder hands every new file
    bool keep = false;
    for (const std::string& w : wanted) keep = keep || w == name;
    if (!keep && ::fremovexattr(fd, name.c_str()) != 0) return false;
  }
  for (const std::string& name : wanted) {
    const ssize_t size = ::getxattr(target.c_str(), name.c_str(), nullptr, 0);
    if (size < 0) return false;
    std::string value(std::size_t(size), '\0');
    const ssize_t got = ::getxattr(target.c_str(), name.c_str(), value.data(), value.size());
    if (got < 0 || ::fsetxattr(fd, name.c_str(), value.data(), std::size_t(got), 0) != 0) return false;
  }
  return true;
}

}  // namespace

int remove_stale_temporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return 0;
  const int dir_fd = ::dirfd(dir);
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (!is_temporary_name(entry->d_name)) continue;
    // Only the user's own temporaries, and only those no writer holds locked.
    int fd = ::openat(dir_fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) fd = ::openat(dir_fd, entry->d_name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstatat(dir_fd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        same_file(held, named) && ::unlinkat(dir_fd, entry->d_name, 0) == 0)
      ++removed;
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}

ReplacingFileWriter::ReplacingFileWriter(std::string path) : path_(std::move(path)), target_(path_) {
  if (path_.empty()) {
    fail_to_open(ENOENT);
    return;
  }
  if (!followed_path(path_, target_)) {
    fail_to_open(ELOOP);
    return;
  }
  struct stat st {};
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    fail_to_open(EISDIR);
    return;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    // A device or pipe cannot be replaced: it takes the bytes as they come (a pipe without a reader
    // is refused rather than waited for).
    direct_ = true;
    fd_ = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
      fail_to_open(errno);
      return;
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    return;
  }
  if (exists) {
    if (const std::string refusal = permission_refusal(target_, st); !refusal.empty()) {
      fail_to_open(refusal);
      return;
    }
  }
  if (open_temporary()) {
    // The new file is the old one's in all but its content: owner, group, permissions and extended
    // attributes. Where they cannot all be given, the file is written in place instead.
    if (!exists || take_over_attributes(fd_, target_, st)) return;
    discard();
  } else if (!exists) {
    fail_to_open(errno);
    return;
  }
  // The folder takes no new file, or the new file could not be made the old one's, but the file itself
  // may be writable: it is rewritten in place at commit, once the whole content is known.
  direct_ = true;
  in_place_ = true;
  fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd_ < 0) fail_to_open(errno);
}

// Creates the temporary file beside the target and locks it; false (errno set) when the folder takes
// none. The lock keeps other writers from taking it for a stale one.
bool ReplacingFileWriter::open_temporary() {
  const std::string folder = folder_prefix(target_);
  remove_stale_temporaries(folder);
  int error = EEXIST;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = folder + temporary_name();
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0) {
      error = errno;
      if (error == EEXIST) continue;
      break;
    }
    // Locked, and still the file of that name: a writer clearing the folder at the same moment may
    // have locked it first and removed it. A file system without locks is written all the same.
    struct stat mine {}, named {};
    const bool locked = ::flock(fd_, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR);
    if (locked && ::fstat(fd_, &mine) == 0 && ::lstat(temp_.c_str(), &named) == 0 && same_file(mine, named))
      return true;
    ::close(fd_);
    fd_ = -1;
    error = EEXIST;
  }
  temp_.clear();
  errno = error;
  return false;
}

ReplacingFileWriter::~ReplacingFileWriter() {
  if (!committed_) discard();
}

void ReplacingFileWriter::fail(int error) { fail(std::string(std::strerror(error))); }

void ReplacingFileWriter::fail(const std::string& reason) {
  if (!message_.empty()) return;
  reason_ = reason;
  message_ = cannot_write(path_, reason);
}

void ReplacingFileWriter::fail_to_open(int error) { fail_to_open(std::string(std::strerror(error))); }

void ReplacingFileWriter::fail_to_open(const std::string& reason) {
  opened_ = false;
  fail(reason);
}

void ReplacingFileWriter::discard() {
  if (!temp_.empty()) ::unlink(temp_.c_str());  // removed while still locked
  temp_.clear();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool ReplacingFileWriter::write(std::string_view bytes) {
  if (!ok() || committed_) return false;
  if (in_place_) {
    pending_.append(bytes);
    return true;
  }
  if (const int error = write_all(fd_, bytes.data(), bytes.size())) fail(error);
  return ok();
}

FileWriteResult ReplacingFileWriter::commit() {
  if (committed_) return {message_, opened_, reason_};
  committed_ = true;
  if (ok() && in_place_) {
    // Space for the whole content first: when the disk cannot hold it, nothing of the old file is
    // overwritten. A file system without reservation is written all the same.
    const off_t size = off_t(pending_.size());
    if (size > 0 && ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
      fail(errno);
    if (ok()) {
      if (const int error = write_all(fd_, pending_.data(), pending_.size(), 0)) fail(error);
    }
    if (ok() && ::ftruncate(fd_, size) != 0) fail(errno);
  }
  if (ok() && fd_ >= 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) fail(errno);
  if (!temp_.empty()) {
    // Renamed while it is still locked (everything is on the disk by now), so that no other writer
    // takes it for a stale temporary in between.
    if (ok() && ::rename(temp_.c_str(), target_.c_str()) != 0) fail(errno);
    if (!ok()) ::unlink(temp_.c_str());
    temp_.clear();
  }
  if (fd_ >= 0) {
    if (::close(fd_) != 0) fail(errno);
    fd_ = -1;
  }
  return {message_, opened_, reason_};
}

FileWriteResult replace_file(const std::string& path, std::string_view bytes) {
  ReplacingFileWriter writer(path);
  writer.write(bytes);
  return writer.commit();
}

FileUsedForTheRun::FileUsedForTheRun(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd_ < 0) return;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return;  // a pipe or device: nothing to empty
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    shared_ = errno == EWOULDBLOCK;
  } else if (permission_refusal(path, st).empty()) {
    // Alone: emptied in place, under the appenders' lock.
    const int writing = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat now {};
    if (writing >= 0 && ::fstat(writing, &now) == 0 && same_file(now, st)) {
      lock_for_writing(writing);
      if (::ftruncate(writing, 0) != 0) {}  // a history that cannot be emptied is left as it is
    }
    if (writing >= 0) ::close(writing);
  }
  ::flock(fd_, LOCK_SH);
}

FileUsedForTheRun::~FileUsedForTheRun() {
  if (fd_ >= 0) ::close(fd_);
}

FileWriteResult append_file(const std::string& path, std::string_view bytes) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) {
    if (const std::string refusal = permission_refusal(path, existing); !refusal.empty())
      return {cannot_write(path, refusal), false, refusal};
  }
  // Opened without waiting: a pipe that nobody reads is refused rather than waited for.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    const std::string reason = std::strerror(errno);
    return {cannot_write(path, reason), false, reason};
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  struct stat st {};
  bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  // Another copy of the program may append to the same file: the append and its taking back happen
  // under a lock, so that cutting back to the former length never cuts a record another copy added.
  if (regular) {
    lock_for_writing(fd);
    regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  }
  int error = write_all(fd, bytes.data(), bytes.size());
  if (error && regular) {
    if (::ftruncate(fd, st.st_size) != 0) {}  // best effort: the former length is all that is kept
  }
  if (::close(fd) != 0 && !error) error = errno;
  if (error) return {cannot_write(path, std::strerror(error)), true, std::strerror(error)};
  return {};
}

}  // namespace morvell
