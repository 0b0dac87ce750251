// Users other than the one running the tests, for tests of files in folders that users share. Only the
// administrator can act as another user: such tests skip when the suite runs as an ordinary user.
#pragma once

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace morvell {

// The users of every Debian system: "nobody" (group "nogroup") stands for the user running the program,
// "daemon" for another user.
inline constexpr uid_t kUser = 65534;
inline constexpr gid_t kUserGroup = 65534;
inline constexpr uid_t kOtherUser = 1;
inline constexpr gid_t kOtherGroup = 1;

inline bool can_act_as_other_users() { return ::geteuid() == 0; }

// The child process of `body` run as the user "nobody" (started, not waited for); in the child, the
// body's result is its exit status, 120 when it could not become that user.
inline pid_t start_as_user(const std::function<int()>& body, const std::string& folder = "") {
  const pid_t child = ::fork();
  if (child != 0) return child;
  if (::setgroups(0, nullptr) != 0 || ::setgid(kUserGroup) != 0 || ::setuid(kUser) != 0) ::_exit(120);
  if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(121);
  ::_exit(body());
}

// Runs `body` as the user "nobody" in `folder` (when given) and returns its exit status; -1 when it
// ended by a signal.
inline int run_as_user(const std::function<int()>& body, const std::string& folder = "") {
  const pid_t child = start_as_user(body, folder);
  if (child < 0) return -1;
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A new folder with the given owner and mode (such as 01777, sticky and open to all), in memory where the
// system offers it (/dev/shm) and `on_disk` is not asked for, so that the many writes of a test do not
// wait for a disk.
inline std::string shared_folder(mode_t mode, uid_t owner = 0, gid_t group = 0, bool on_disk = false) {
  char in_memory[] = "/dev/shm/morvell_shared_XXXXXX", disk[] = "/tmp/morvell_shared_XXXXXX";
  char* name = !on_disk && ::access("/dev/shm", W_OK) == 0 ? in_memory : disk;
  if (!::mkdtemp(name)) return {};
  if (::chown(name, owner, group) != 0 || ::chmod(name, mode) != 0) return {};
  return name;
}

}  // namespace morvell
