#include "file_writing.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <vector>

#include "file_locks.h"

namespace morvell {

namespace {

// How long a device or pipe may take nothing before a write to it gives up.
constexpr int kDeviceWaitMs = 5000;

// Writes every byte at the current position (or at `offset` when it is not negative); 0 or the error.
// A file opened without waiting (a device, a pipe) is waited for while it takes something, at most
// kDeviceWaitMs at a time: then EAGAIN.
int write_all(int fd, const char* data, std::size_t size, off_t offset = -1) {
  while (size > 0) {
    const ssize_t n = offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        pollfd ready{fd, POLLOUT, 0};
        int got;
        while ((got = ::poll(&ready, 1, kDeviceWaitMs)) < 0 && errno == EINTR) {}
        if (got > 0 && !(ready.revents & (POLLERR | POLLHUP | POLLNVAL))) continue;
        return got == 0 ? EAGAIN : EPIPE;
      }
      return errno;
    }
    if (n == 0) return ENOSPC;  // nothing more goes in
    data += n;
    size -= std::size_t(n);
    if (offset >= 0) offset += n;
  }
  return 0;
}

// The whole content of an open regular file, read from its start.
bool read_all(int fd, std::string& out) {
  out.clear();
  char buffer[65536];
  for (off_t at = 0;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    out.append(buffer, std::size_t(n));
    at += n;
  }
}

std::string error_text(int error) {
  if (error == EAGAIN) return "it took nothing for several seconds (is anything reading it?)";
  return std::strerror(error);
}

std::string cannot_write(const std::string& path, const std::string& reason) {
  return "Cannot write " + path + ": " + reason;
}

constexpr const char* kReadOnly = "the file is read-only";
constexpr const char* kPipe = "it is a pipe, not a regular file";
constexpr const char* kSocket = "it is a socket, not a regular file";
constexpr const char* kPipeNotRead = "it is a pipe that nothing reads";
constexpr const char* kLocked = "another program kept it locked for writing";

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

// Creates a temporary file in `folder` (with its final slash, or empty) and locks it; its descriptor, or
// -1 with errno set when the folder takes none. The lock keeps other writers from taking it for a stale
// one.
int create_temporary(const std::string& folder, std::string& name) {
  remove_stale_temporaries(folder);
  int error = EEXIST;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + temporary_name();
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      error = errno;
      if (error == EEXIST) continue;
      break;
    }
    // Locked, and still the file of that name: a writer clearing the folder at the same moment may
    // have locked it first and removed it. A file system without locks is written all the same.
    struct stat mine {}, named {};
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR);
    if (locked && ::fstat(fd, &mine) == 0 && ::lstat(name.c_str(), &named) == 0 && same_file(mine, named))
      return fd;
    ::close(fd);
    error = EEXIST;
  }
  name.clear();
  errno = error;
  return -1;
}

// Whether the system's protection of shared folders lets a program follow the link `link` (lstat) that
// stands in `folder`: in a folder that is sticky and writable by everyone, only a link of the user's
// own or of the folder's owner is followed.
bool may_follow(const std::string& folder, const struct stat& link) {
  if (link.st_uid == ::geteuid()) return true;
  struct stat dir {};
  if (::stat(folder.c_str(), &dir) != 0) return false;
  if ((dir.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH)) return true;
  return dir.st_uid == link.st_uid;
}

// `done` (a path without links) followed by one part.
std::string joined(const std::string& done, const std::string& part) {
  if (done.empty()) return part;
  return done.back() == '/' ? done + part : done + "/" + part;
}

// The folder above `done` (a path without links).
std::string parent_of(const std::string& done) {
  if (done == "/") return done;
  const std::size_t slash = done.rfind('/');
  const std::string last = slash == std::string::npos ? done : done.substr(slash + 1);
  if (done.empty() || last == "..") return joined(done, "..");
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : done.substr(0, slash);
}

// Gives the new file `fd` the owner, group, permissions and extended attributes (access lists
// included) of the file it replaces; false when one of them cannot be given, as when another user's
// file is saved, whose owner only an administrator could give.
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

// Opens the resolved `target` of a name the program writes, never through a link that appeared since it
// was resolved; -1 with errno set.
int open_target(const std::string& target, int flags, mode_t mode = 0666) {
  return ::open(target.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
}

// Writes the copy kept beside a file rewritten in place: `bytes` into a new file that takes the name
// `backup` only once it is whole. Only the user (and, where the group could be given, the file's group)
// may read it, and no more than the file's own permissions allow. 0 or the error.
int write_backup(const std::string& backup, std::string_view bytes, const struct stat& original) {
  std::string temp;
  const int fd = create_temporary(folder_prefix(backup), temp);
  if (fd < 0) return errno;
  mode_t mode = original.st_mode & 0666;
  if (::fchown(fd, uid_t(-1), original.st_gid) != 0) mode &= 0606;  // not the file's group: not to ours
  int error = write_all(fd, bytes.data(), bytes.size());
  if (!error && ::fchmod(fd, mode) != 0) error = errno;
  if (!error && ::fsync(fd) != 0 && errno != EINVAL) error = errno;
  if (!error && ::rename(temp.c_str(), backup.c_str()) != 0) error = errno;
  if (error) ::unlink(temp.c_str());
  ::close(fd);
  return error;
}

// Whether a file at the backup's name is a copy that a write cut off left behind: a regular file of the
// user's or of the file's owner, which only such a write makes there.
bool left_backup(const std::string& backup, const struct stat& original) {
  struct stat st {};
  return ::lstat(backup.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 &&
         (st.st_uid == ::geteuid() || st.st_uid == original.st_uid);
}

}  // namespace

bool path_for_writing(const std::string& path, std::string& target, std::string& reason) {
  // Walks the path part by part as the system resolves it, following each link it meets (its content
  // read in its own folder) under the rule of shared folders.
  std::vector<std::string> todo;  // the parts still to walk, the next one last
  const auto push_parts = [&todo](const std::string& p) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (begin <= p.size()) {
      std::size_t end = p.find('/', begin);
      if (end == std::string::npos) end = p.size();
      parts.push_back(p.substr(begin, end - begin));
      begin = end + 1;
    }
    todo.insert(todo.end(), parts.rbegin(), parts.rend());
  };
  push_parts(path);
  std::string done = !path.empty() && path[0] == '/' ? "/" : "";
  for (int links = 0; !todo.empty();) {
    const std::string part = todo.back();
    todo.pop_back();
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      done = parent_of(done);
      continue;
    }
    const std::string next = joined(done, part);
    struct stat st {};
    if (::lstat(next.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      done = next;
      continue;
    }
    if (++links > 40) {
      reason = std::strerror(ELOOP);
      return false;
    }
    if (!may_follow(done.empty() ? "." : done, st)) {
      reason = "it goes through the symbolic link " + next +
               ", which another user put in a folder open to everyone; such a link is not followed";
      return false;
    }
    std::string named(PATH_MAX, '\0');
    const ssize_t n = ::readlink(next.c_str(), named.data(), named.size());
    if (n <= 0 || std::size_t(n) >= named.size()) {
      reason = std::strerror(n < 0 ? errno : ENAMETOOLONG);
      return false;
    }
    named.resize(std::size_t(n));
    if (named[0] == '/') done = "/";
    push_parts(named);
  }
  target = done.empty() ? "." : done;
  return true;
}

std::string backup_file_name(const std::string& path) {
  constexpr std::string_view kSuffix = ".mvbak";
  const std::string folder = folder_prefix(path);
  std::string name = path.substr(folder.size());
  constexpr std::size_t kMaxName = NAME_MAX - kSuffix.size();
  if (name.size() > kMaxName) {
    std::size_t n = kMaxName;
    while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;  // not inside a character
    name.resize(n);
  }
  return folder + name + std::string(kSuffix);
}

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

ReplacingFileWriter::ReplacingFileWriter(std::string path, WriteTarget target_kind)
    : path_(std::move(path)), target_(path_) {
  if (path_.empty()) {
    fail_to_open(ENOENT);
    return;
  }
  if (std::string refusal; !path_for_writing(path_, target_, refusal)) {
    fail_to_open(refusal);
    return;
  }
  struct stat st {};
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    fail_to_open(EISDIR);
    return;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    // A device or pipe cannot be replaced: it takes the bytes as they come, without waiting for good
    // (a pipe without a reader is refused). A name of the program's own is no pipe.
    if (S_ISSOCK(st.st_mode) || (S_ISFIFO(st.st_mode) && target_kind == WriteTarget::fixed)) {
      fail_to_open(S_ISSOCK(st.st_mode) ? kSocket : kPipe);
      return;
    }
    direct_ = true;
    fd_ = open_target(target_, O_WRONLY | O_NONBLOCK);
    if (fd_ < 0) fail_to_open(errno == ENXIO && S_ISFIFO(st.st_mode) ? std::string(kPipeNotRead) : error_text(errno));
    return;
  }
  if (exists) {
    if (const std::string refusal = permission_refusal(target_, st); !refusal.empty()) {
      fail_to_open(refusal);
      return;
    }
  }
  if (!open_temporary()) {
    if (!exists) {
      fail_to_open(errno);
    } else {
      // Rewriting the file in place would need a whole copy of it beside it first.
      fail_to_open("the folder takes no new file, so no copy of it could be kept beside it while it is "
                   "rewritten (" + error_text(errno) + ")");
    }
    return;
  }
  // The new file is the old one's in all but its content: owner, group, permissions and extended
  // attributes. Where they cannot all be given, the file is rewritten in place at commit, once the whole
  // content is known, so that it stays the owner's.
  if (!exists || take_over_attributes(fd_, target_, st)) return;
  discard();
  direct_ = true;
  in_place_ = true;
  fd_ = open_target(target_, O_WRONLY);
  struct stat opened {};
  if (fd_ >= 0 && (::fstat(fd_, &opened) != 0 || !same_file(opened, st))) {
    ::close(fd_);
    fd_ = -1;
    errno = EAGAIN;
  }
  if (fd_ < 0) fail_to_open(errno == EAGAIN ? std::string("it was replaced while being written") : error_text(errno));
}

bool ReplacingFileWriter::open_temporary() {
  fd_ = create_temporary(folder_prefix(target_), temp_);
  return fd_ >= 0;
}

ReplacingFileWriter::~ReplacingFileWriter() {
  if (!committed_) discard();
}

void ReplacingFileWriter::fail(int error) { fail(error_text(error)); }

void ReplacingFileWriter::fail(const std::string& reason) {
  if (!message_.empty()) return;
  reason_ = reason;
  message_ = cannot_write(path_, reason);
}

void ReplacingFileWriter::fail_to_open(int error) { fail_to_open(error_text(error)); }

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

// The file keeps its place on the disk (its owner, links and marks stay), and at every moment it holds
// its old content whole, its new content whole, or the copy beside it holds the old content whole.
void ReplacingFileWriter::rewrite_in_place() {
  if (!lock_open_file(fd_, true)) {
    fail(kLocked);
    return;
  }
  struct stat st {};
  std::string old;
  const int reading = open_target(target_, O_RDONLY | O_NONBLOCK);
  struct stat read_st {};
  const bool readable = reading >= 0 && ::fstat(fd_, &st) == 0 && ::fstat(reading, &read_st) == 0 &&
                        same_file(st, read_st) && read_all(reading, old);
  if (reading >= 0) ::close(reading);
  if (!readable) {
    fail("it cannot be read, so no copy of it could be kept beside it while it is rewritten");
    return;
  }
  // A copy a cut-off write left beside the file stays: the file itself may be torn.
  const std::string backup = backup_file_name(target_);
  const bool left = left_backup(backup, st);
  if (!left) {
    if (const int error = write_backup(backup, old, st)) {
      fail("no copy of it could be kept beside it as " + backup + " while it is rewritten (" + error_text(error) +
           ")");
      return;
    }
  }
  // Space for the whole content first: when the disk cannot hold it, nothing of the file is
  // overwritten. A file system without reservation is written all the same.
  const off_t size = off_t(pending_.size());
  int error = 0;
  if (size > 0 && ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
    error = errno;
  bool touched = false;
  if (!error) {
    touched = true;
    error = write_all(fd_, pending_.data(), pending_.size(), 0);
    if (!error && ::ftruncate(fd_, size) != 0) error = errno;
    if (!error && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) error = errno;
  }
  if (!error) {
    ::unlink(backup.c_str());  // the new content is whole
    return;
  }
  // Put the old content back; the copy beside it stays where that fails.
  bool restored = !touched;
  if (touched) {
    restored = write_all(fd_, old.data(), old.size(), 0) == 0 && ::ftruncate(fd_, off_t(old.size())) == 0 &&
               (::fsync(fd_) == 0 || errno == EINVAL || errno == EROFS);
  }
  if (restored) {
    if (!left) ::unlink(backup.c_str());
    fail(error_text(error) + "; the file was left as it was");
  } else {
    fail(error_text(error) + "; the file may be cut short: its former content is in " + backup);
  }
}

FileWriteResult ReplacingFileWriter::commit() {
  if (committed_) return {message_, opened_, reason_};
  committed_ = true;
  if (ok() && in_place_) rewrite_in_place();
  if (ok() && !in_place_ && fd_ >= 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) fail(errno);
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

FileWriteResult replace_file(const std::string& path, std::string_view bytes, WriteTarget target) {
  ReplacingFileWriter writer(path, target);
  writer.write(bytes);
  return writer.commit();
}

FileUsedForTheRun::FileUsedForTheRun(const std::string& path) {
  std::string target, refusal;
  if (!path_for_writing(path, target, refusal)) return;  // a link that is not followed: left alone
  fd_ = open_target(target, O_RDONLY | O_CREAT | O_NONBLOCK);
  if (fd_ < 0) return;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return;  // a pipe or device: nothing to empty
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    shared_ = errno == EWOULDBLOCK;
  } else if (permission_refusal(target, st).empty()) {
    // Alone: emptied in place, under the appenders' lock.
    const int writing = open_target(target, O_WRONLY | O_NONBLOCK);
    struct stat now {};
    if (writing >= 0 && ::fstat(writing, &now) == 0 && same_file(now, st) && lock_open_file(writing, true)) {
      if (::ftruncate(writing, 0) != 0) {}  // a history that cannot be emptied is left as it is
    }
    if (writing >= 0) ::close(writing);
  }
  ::flock(fd_, LOCK_SH);
}

FileUsedForTheRun::~FileUsedForTheRun() {
  if (fd_ >= 0) ::close(fd_);
}

FileWriteResult append_file(const std::string& path, std::string_view bytes, const AppendBound& bound) {
  const auto refused = [&path](const std::string& reason, bool opened = false) {
    return FileWriteResult{cannot_write(path, reason), opened, reason};
  };
  std::string target, refusal;
  if (!path_for_writing(path, target, refusal)) return refused(refusal);
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    if (S_ISFIFO(existing.st_mode) || S_ISSOCK(existing.st_mode))
      return refused(S_ISFIFO(existing.st_mode) ? kPipe : kSocket);
    if (const std::string reason = permission_refusal(target, existing); !reason.empty()) return refused(reason);
  }
  // Opened without waiting: a pipe put in its place meanwhile is refused rather than waited for.
  const int fd = open_target(target, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK);
  if (fd < 0) return refused(errno == ENXIO ? std::string(kPipe) : error_text(errno));  // a pipe put there meanwhile
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISFIFO(st.st_mode)) {
    ::close(fd);
    return refused(kPipe);
  }
  const bool regular = S_ISREG(st.st_mode);
  int error = 0;
  std::string why;
  // Another copy of the program may append to the same file: the append and its taking back happen
  // under a lock, so that cutting back to the former length never cuts a record another copy added.
  if (regular && !lock_open_file(fd, true)) {
    why = kLocked;
  } else if (regular && ::fstat(fd, &st) != 0) {
    error = errno;
  } else if (regular && bound.max_bytes > 0 && st.st_size > 0 &&
             std::size_t(st.st_size) + bytes.size() > bound.max_bytes) {
    // Full: its records go whole to the older file, then it starts again (a kill in between leaves
    // them in both).
    std::string records;
    const int reading = open_target(target, O_RDONLY | O_NONBLOCK);
    struct stat read_st {};
    const bool read = reading >= 0 && ::fstat(reading, &read_st) == 0 && same_file(st, read_st) &&
                      read_all(reading, records);
    if (reading >= 0) ::close(reading);
    const FileWriteResult moved = read ? replace_file(bound.older, records, WriteTarget::fixed) : FileWriteResult{};
    if (!read) {
      why = "it is full and cannot be read to pass its records on to " + bound.older;
    } else if (!moved.ok()) {
      why = "it is full and its records could not be passed on to " + bound.older + " (" + moved.reason + ")";
    } else if (::ftruncate(fd, 0) != 0) {
      error = errno;
    } else {
      st.st_size = 0;
    }
  }
  if (!error && why.empty()) {
    error = write_all(fd, bytes.data(), bytes.size());
    if (error && regular) {
      if (::ftruncate(fd, st.st_size) != 0) {}  // best effort: the former length is all that is kept
    }
  }
  if (::close(fd) != 0 && !error && why.empty()) error = errno;
  if (error) why = error_text(error);
  if (!why.empty()) return refused(why, true);
  return {};
}

}  // namespace morvell
