// The program itself, started as a user starts it, in surroundings that make its writes fail: a limit
// on the size of the files it may write, and its output going into a pipe whose reader has gone. It
// must go on running (the writers report the failure), and leave no file cut.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "design_file.h"

namespace {

enum class Surroundings { file_size_limit, closed_pipe };

// Starts the program in a folder of its own under the given surroundings, lets it start up for a few
// seconds and ends it; true when it was still running then. `folder` is where it ran.
bool runs_on(Surroundings s, std::string& folder) {
  char folder_template[] = "/tmp/morvell_run_XXXXXX";
  if (!::mkdtemp(folder_template)) return false;
  folder = folder_template;
  // The default design, as the program is shipped: without it the start stops at its message.
  std::filesystem::copy_file(MORVELL_SOURCE_DIR "/data/default_input_file.mvl",
                             std::filesystem::path(folder) / "default_input_file.mvl");
  int pipe_ends[2] = {-1, -1};
  if (s == Surroundings::closed_pipe && ::pipe(pipe_ends) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(120);
    // The signals as a shell hands them on: their default actions.
    std::signal(SIGXFSZ, SIG_DFL);
    std::signal(SIGPIPE, SIG_DFL);
    if (s == Surroundings::file_size_limit) {
      const rlimit limit{1024, 1024};  // "ulimit -f 1": far less than one history record
      ::setrlimit(RLIMIT_FSIZE, &limit);
    } else {
      ::close(pipe_ends[0]);  // the reader has gone before the program writes anything
      ::dup2(pipe_ends[1], STDOUT_FILENO);
      ::dup2(pipe_ends[1], STDERR_FILENO);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (s == Surroundings::closed_pipe) ::setenv("QT_DEBUG_PLUGINS", "1", 1);  // plenty of output at start
    ::execl(MORVELL_PROGRAM, MORVELL_PROGRAM, static_cast<char*>(nullptr));
    ::_exit(121);
  }
  if (s == Surroundings::closed_pipe) {
    ::close(pipe_ends[0]);
    ::close(pipe_ends[1]);
  }
  int status = 0;
  pid_t done = 0;
  for (int i = 0; i < 60 && done == 0; ++i) {  // six seconds: it waits on its splash window by then
    ::usleep(100000);
    done = ::waitpid(child, &status, WNOHANG);
  }
  if (done == 0) {
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return true;
  }
  if (WIFSIGNALED(status)) ADD_FAILURE() << "ended by signal " << WTERMSIG(status);
  else ADD_FAILURE() << "ended with " << WEXITSTATUS(status);
  return false;
}

}  // namespace

// Under "ulimit -f 1" the first history record does not fit: the program goes on, and the history file
// holds no cut record (the start empties it and the record that did not fit is taken back).
TEST(ProgramSurroundings, AFileSizeLimitEndsNeitherTheProgramNorAnyRecord) {
  std::string folder;
  EXPECT_TRUE(runs_on(Surroundings::file_size_limit, folder));
  const std::filesystem::path history = std::filesystem::path(folder) / morvell::kHistoryFileName;
  ASSERT_TRUE(std::filesystem::exists(history));
  EXPECT_EQ(std::filesystem::file_size(history), 0u);
  std::filesystem::remove_all(folder);
}

// With its output going into a pipe nobody reads any more, the program's first message there does not
// end it.
TEST(ProgramSurroundings, OutputIntoAClosedPipeDoesNotEndTheProgram) {
  std::string folder;
  EXPECT_TRUE(runs_on(Surroundings::closed_pipe, folder));
  std::filesystem::remove_all(folder);
}
