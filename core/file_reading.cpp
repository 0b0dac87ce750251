#include "file_reading.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_locks.h"

namespace morvell {

namespace {

FileReadResult failed(FileReadStatus status, std::string reason) {
  FileReadResult r;
  r.status = status;
  r.reason = std::move(reason);
  return r;
}

}  // namespace

std::FILE* open_regular_file(const std::string& path, FileReadResult& result) {
  result = {};
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    result = failed(error == ENOENT ? FileReadStatus::missing : FileReadStatus::cannot_open, std::strerror(error));
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    result = failed(FileReadStatus::not_regular, S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file");
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  // A copy of the program rewriting the file in place holds its lock until the file is whole again; one
  // held longer (by another program) is not waited for beyond the bound: the file is read as it is.
  lock_open_file(fd, false);
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) {
    result = failed(FileReadStatus::cannot_open, std::strerror(errno));
    ::close(fd);
  }
  return file;
}

FileReadResult read_regular_file(const std::string& path, std::size_t max_bytes, std::string& bytes) {
  bytes.clear();
  FileReadResult result;
  std::FILE* file = open_regular_file(path, result);
  if (!file) return result;
  // The file may grow while it is read: the limit holds for what is read, not for its size at the start.
  char buffer[65536];
  for (;;) {
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
    if (n > max_bytes - bytes.size()) {
      result = failed(FileReadStatus::too_long, "it is too long");
      bytes.clear();
      break;
    }
    bytes.append(buffer, n);
    if (n < sizeof buffer) {
      if (std::ferror(file)) {
        result = failed(FileReadStatus::read_error, "it could not be read to its end");
        bytes.clear();
      }
      break;
    }
  }
  std::fclose(file);
  return result;
}

}  // namespace morvell
