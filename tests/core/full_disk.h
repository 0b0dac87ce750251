// A disk that is full for this process: while the object lives, no file can grow beyond `bytes`
// (the file-size limit of the process), so a write fails part-way as on a full file system.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace morvell {

class FullDisk {
 public:
  explicit FullDisk(rlim_t bytes) {
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FullDisk() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previous_handler_);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

 private:
  rlimit previous_{};
  void (*previous_handler_)(int) = SIG_DFL;
};

}  // namespace morvell
