#include "file_writing.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::string cannot_write(const std::string& path, int error) {
  return "Cannot write " + path + ": " + std::strerror(error);
}

std::atomic<unsigned> temp_counter{0};

}  // namespace

ReplacingFileWriter::ReplacingFileWriter(std::string path) : path_(std::move(path)), target_(path_) {
  if (path_.empty()) {
    fail_to_open(ENOENT);
    return;
  }
  struct stat st {};
  if (::lstat(target_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(target_.c_str(), nullptr)) {
      target_ = real;
      std::free(real);
    }
  }
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
  int temp_error = 0;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = target_ + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(temp_counter++);
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    temp_error = errno;
    if (fd_ < 0 && temp_error != EEXIST) break;
  }
  if (fd_ >= 0) {
    if (exists) ::fchmod(fd_, st.st_mode & 07777);  // the new file keeps the old one's permissions
    return;
  }
  temp_.clear();
  if (!exists) {
    fail_to_open(temp_error);
    return;
  }
  // The folder takes no new file, but the file itself may be writable: it is rewritten in place at
  // commit, once the whole content is known.
  direct_ = true;
  in_place_ = true;
  fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd_ < 0) fail_to_open(errno);
}

ReplacingFileWriter::~ReplacingFileWriter() {
  if (!committed_) discard();
}

void ReplacingFileWriter::fail(int error) {
  if (message_.empty()) message_ = cannot_write(path_, error);
}

void ReplacingFileWriter::fail_to_open(int error) {
  opened_ = false;
  fail(error);
}

void ReplacingFileWriter::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
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
  if (committed_) return {message_, opened_};
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
  if (fd_ >= 0) {
    if (::close(fd_) != 0) fail(errno);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    if (ok() && ::rename(temp_.c_str(), target_.c_str()) != 0) fail(errno);
    if (!ok()) ::unlink(temp_.c_str());
    temp_.clear();
  }
  return {message_, opened_};
}

FileWriteResult replace_file(const std::string& path, std::string_view bytes) {
  ReplacingFileWriter writer(path);
  writer.write(bytes);
  return writer.commit();
}

FileWriteResult append_file(const std::string& path, std::string_view bytes) {
  // Opened without waiting: a pipe that nobody reads is refused rather than waited for.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return {cannot_write(path, errno), false};
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  int error = write_all(fd, bytes.data(), bytes.size());
  if (error && regular) {
    if (::ftruncate(fd, st.st_size) != 0) {}  // best effort: the former length is all that is kept
  }
  if (::close(fd) != 0 && !error) error = errno;
  if (error) return {cannot_write(path, error)};
  return {};
}

}  // namespace morvell
