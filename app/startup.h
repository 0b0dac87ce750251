// The program's start before any window exists: the design data's start-up values, the start
// directory, the preferences and the default design with its one geometry pass.
#pragma once

#include <string>
#include <vector>

#include "design_data.h"
#include "design_file.h"

namespace morvell {

inline constexpr const char* kDefaultDesignFileName = "default_input_file.mvl";

// The directory that was current when the program started, as the bytes of its path (a name need not be
// UTF-8); every refresh makes it current again. start_directory in the design data holds as much of it
// as fits.
const std::string& start_directory_path();
void set_start_directory_path(const std::string& path);
// The start directory of d: the full path when start_directory holds it (or its first 255
// characters), else what start_directory holds.
std::string start_directory_of(const DesignData& d);

// Lets a write that passes the file-size limit, or goes into a pipe whose reader has gone, fail with an
// error that the file writers report (as they report a full disk) instead of ending the program with
// SIGXFSZ or SIGPIPE. The program entry calls it before anything is written.
void ignore_write_signals();

// Start-up values, start directory, preferences and unit factors, the default design file and the
// geometry pass, in that order; afterwards the first character of design_file_name is a line feed
// (no file chosen yet). Returns the result of reading the default design: when it failed the design
// keeps its start-up values and the caller reports the message once the windows can show it.
DesignFileResult prepare_design_data(DesignData& d);

// Tells the user, once the application object exists, that the default design could not be read and
// the program goes on with the start-up values, or, when it was read with a remark (it ends early and
// the later fields keep their start-up values, say), that remark. Nothing when it was read whole.
void report_default_design_problem(const DesignFileResult& result);

// The design file named on the command line, from what is left of the arguments once the application
// object has taken its own options (program name first): the path to open in place of the start-up
// window's choice (empty when none is named or it is refused), and a message for the user when a name
// is refused (too long to be kept) or arguments beyond the first name are left unused.
struct CommandLineDesign {
  std::string path;
  std::string message;
};
CommandLineDesign design_file_from_command_line(const std::vector<std::string>& arguments);

}  // namespace morvell
