#include "file_locks.h"

#include <cerrno>
#include <fcntl.h>
#include <time.h>

namespace morvell {

bool lock_open_file(int fd, bool exclusive, int wait_ms) {
  struct flock whole {};
  whole.l_type = exclusive ? F_WRLCK : F_RDLCK;
  whole.l_whence = SEEK_SET;
  long waited_us = 0, step_us = 1000;
  for (;;) {
    if (::fcntl(fd, F_OFD_SETLK, &whole) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EACCES) return true;  // no such locks here: go on without
    if (waited_us >= long(wait_ms) * 1000) return false;
    const timespec pause{0, step_us * 1000};
    ::nanosleep(&pause, nullptr);
    waited_us += step_us;
    if (step_us < 4000) step_us *= 2;
  }
}

}  // namespace morvell
