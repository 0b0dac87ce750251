#include "startup.h"

#include <QGuiApplication>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <string_view>
#include <unistd.h>

#include "file_commands.h"
#include "file_names.h"
#include "geometry_pass.h"
#include "modal_services.h"
#include "preferences.h"
#include "startup_values.h"

namespace morvell {

namespace {
std::string& start_directory_storage() {
  static std::string path;
  return path;
}
}  // namespace

const std::string& start_directory_path() { return start_directory_storage(); }

void set_start_directory_path(const std::string& path) { start_directory_storage() = path; }

std::string start_directory_of(const DesignData& d) {
  const std::string_view kept = text_of(d.start_directory);
  const std::string& full = start_directory_path();
  const bool cut = kept.size() == kFileNameSize - 1 && full.size() > kept.size();
  if (!kept.empty() && full.compare(0, kept.size(), kept) == 0 && (full.size() == kept.size() || cut)) return full;
  return std::string(kept);
}

void ignore_write_signals() {
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
}

DesignFileResult prepare_design_data(DesignData& d) {
  set_startup_values(d);  // also the neutral window scale 100 / 100
  // The folder's name as the system gives it, byte for byte: a name that is no UTF-8 text would not
  // survive the way through Qt's text.
  set_start_directory_path(current_folder());
  copy_text(d.start_directory, start_directory_path());
  read_preferences(d);
  copy_text(d.design_file_name, kDefaultDesignFileName);
  const DesignFileResult result = read_design_file(d);
  calc_gear_geometry(d);
  d.design_file_name[0] = '\n';  // the rest of the name stays: no file chosen yet
  return result;
}

namespace {

// The reader's note says what the fields a file does not give keep of the design shown before; at
// start-up no design has been shown, and they keep the program's start-up values.
std::string note_at_start_up(std::string note) {
  const auto replace = [&note](std::string_view from, std::string_view to) {
    if (const std::size_t at = note.find(from); at != std::string::npos) note.replace(at, from.size(), to);
  };
  replace(kFieldsKeptNote,
          "take the program's start-up values, which give no rating input, S-N curve point or load "
          "(0 until they are entered)");
  replace(kLoadCasesKeptNote, "the load it holds is taken as load case 1");
  return note;
}

}  // namespace

void report_default_design_problem(const DesignFileResult& result) {
  if (result.ok()) {
    if (!result.note.empty())
      forms::services().message(nullptr, QGuiApplication::applicationDisplayName(),
                                QString::fromStdString(note_at_start_up(result.note)),
                                forms::MessageIcon::Information);
    return;
  }
  forms::services().message(nullptr, QGuiApplication::applicationDisplayName(),
                            QString::fromStdString(result.message) +
                                "\nThe program starts with its start-up values.",
                            forms::MessageIcon::Warning);
}

CommandLineDesign design_file_from_command_line(const std::vector<std::string>& arguments) {
  CommandLineDesign named;
  if (arguments.size() < 2) return named;
  const std::string& name = arguments[1];
  if (name.empty() || name[0] == '-') {
    named.message = "The program takes the name of one design file, not the option " + name + ".";
    return named;
  }
  if (!design_file_name_fits(name)) named.message = design_file_name_too_long(name) + ".";
  else named.path = name;
  if (arguments.size() > 2) {
    std::string unused;
    for (std::size_t i = 2; i < arguments.size(); ++i) unused += (i > 2 ? " " : "") + arguments[i];
    if (!named.message.empty()) named.message += "\n";
    named.message += "Only one design file is opened: " + unused + " left unused.";
  }
  return named;
}

}  // namespace morvell
