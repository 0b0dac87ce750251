// The stand-in host loads the built plug-in, presses its button, drives the dialog and writes the
// sketch it received; the sketch must be the gear that was asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "file_bytes.h"
#include "recording_host.h"
#include "sketch_export.h"
#include "sketch_checks.h"
#include "utf16.h"

namespace tandrel {
namespace {

namespace fs = std::filesystem;

struct HostRun {
  int status = -1;
  std::vector<std::string> log;
  fs::path folder;
};

struct HostOptions {
  bool sketch_files = true;  // --svg gear.svg --dxf gear.dxf
  std::string environment;   // put before the command (variables, limits)
  bool fresh = true;         // the run's folder emptied first
  std::string library = TANDREL_LIBRARY;
};

HostOptions WithoutSketchFiles(std::string environment = "") {
  HostOptions options;
  options.sketch_files = false;
  options.environment = std::move(environment);
  return options;
}

HostRun RunHost(const std::string& name, const std::string& commands, const HostOptions& options = {}) {
  HostRun run;
  run.folder = fs::current_path() / ("host_" + name);
  if (options.fresh) fs::remove_all(run.folder);
  fs::create_directories(run.folder);
  const fs::path log = run.folder / "calls.log";
  const std::string command = options.environment + std::string(TANDREL_HOST_PROGRAM) + " --registry '" +
                              (run.folder / "registry").string() + "' --log '" + log.string() + "' " +
                              (options.sketch_files ? "--svg '" + (run.folder / "gear.svg").string() + "' --dxf '" +
                                                          (run.folder / "gear.dxf").string() + "' "
                                                    : std::string()) +
                              "'" + options.library + "' " + commands + " > '" + (run.folder / "out.txt").string() +
                              "' 2>&1";
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream in(log);
  for (std::string line; std::getline(in, line);) run.log.push_back(line);
  return run;
}

// The sketch entities of the log, as the host recorded them.
std::vector<host::SketchEntity> SketchFromLog(const std::vector<std::string>& log) {
  std::vector<host::SketchEntity> sketch;
  for (const std::string& line : log) {
    std::istringstream in(line);
    std::string doc, name;
    int slot = 0;
    in >> doc >> slot >> name;
    host::SketchEntity e;
    if (name == "CreateArc") {
      e.kind = host::SketchEntity::Kind::Arc;
      in >> e.a.x >> e.a.y >> e.a.z >> e.b.x >> e.b.y >> e.b.z >> e.c.x >> e.c.y >> e.c.z >> e.count;
    } else if (name == "CreateLine") {
      e.kind = host::SketchEntity::Kind::Line;
      in >> e.a.x >> e.a.y >> e.a.z >> e.b.x >> e.b.y >> e.b.z;
    } else if (name == "CreateCircle") {
      e.kind = host::SketchEntity::Kind::Circle;
      in >> e.a.x >> e.a.y >> e.a.z >> e.value;
    } else {
      continue;
    }
    sketch.push_back(e);
  }
  return sketch;
}

int Count(const std::vector<std::string>& log, const std::string& prefix) {
  int n = 0;
  for (const std::string& line : log) n += line.rfind(prefix, 0) == 0;
  return n;
}

fs::path SettingsKey(const HostRun& run) {
  return run.folder / "registry" / "HKEY_LOCAL_MACHINE" / "SOFTWARE" / "SolidWorks" / "Applications" /
         "RI Redezere Viva";
}

// The lines of the log that begin with the prefix.
std::vector<std::string> Lines(const std::vector<std::string>& log, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& line : log)
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  return out;
}

TEST(HostEndToEnd, TheButtonDrawsTheGearOfTheDialog) {
  // 20 teeth of module 2 with the root circle: tip radius 22, root radius 17.5 millimetres.
  const HostRun run = RunHost("draw", "open:part init press set:1003=20 set:1006=2 check:1026=1 click:1001");
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(Count(run.log, "message box"), 0);
  const auto s = test::Summarise(SketchFromLog(run.log));
  EXPECT_EQ(s.circles, 1);
  EXPECT_EQ(test::CountNear(s.centre_arc_radii, 0.022, 1e-9), 20) << "tip arcs";
  EXPECT_EQ(test::CountNear(s.centre_arc_radii, 0.0175, 1e-9), 20) << "root arcs";
  EXPECT_EQ(s.open_ends, 0);
  EXPECT_EQ(s.crowded_ends, 0);
  EXPECT_NEAR(s.max_radius, 0.022, 1e-9);
  EXPECT_NEAR(s.min_radius, 0.0175, 1e-9);
  EXPECT_EQ(Count(run.log, "doc1 36 CreateCircle 0 0 0 0.0175"), 1);
  // Unloading took the toolbar and the Save-As type out again and let go of the host.
  EXPECT_EQ(Count(run.log, "app 73 RemoveToolbar"), 1);
  EXPECT_EQ(Count(run.log, "app 64 RemoveFileSaveAsItem"), 1);
  EXPECT_EQ(run.log.back(), "references held on the host after unload: 0");

  // The files for a person to look at.
  std::ifstream svg(run.folder / "gear.svg");
  std::string svg_text((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
  EXPECT_NE(svg_text.find("<svg"), std::string::npos);
  EXPECT_NE(svg_text.find("<circle"), std::string::npos);
  std::ifstream dxf(run.folder / "gear.dxf");
  int arcs = 0, circles = 0;
  for (std::string line; std::getline(dxf, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    arcs += line == "ARC";
    circles += line == "CIRCLE";
  }
  EXPECT_EQ(circles, 1);
  EXPECT_EQ(arcs, int(s.arcs));
}

TEST(HostEndToEnd, SettingsPersistBetweenDialogsAndFailuresKeepTheDialogOpen) {
  // A failed draw shows its message and leaves the dialog open; Close ends it; the next dialog opens
  // with the values entered before.
  const HostRun run =
      RunHost("settings", "open:part init press set:1003=2 click:1001 click:1004 press click:1004",
              WithoutSketchFiles());
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(Count(run.log, "message box"), 1);
  EXPECT_NE(run.log[size_t(std::find_if(run.log.begin(), run.log.end(),
                                        [](const std::string& l) { return l.rfind("message box", 0) == 0; }) -
                           run.log.begin())]
                .find("齿数太小"),
            std::string::npos);
  EXPECT_EQ(Count(run.log, "doc1 34 CreateArc"), 0);
  std::ifstream z(SettingsKey(run) / "z.value");
  EXPECT_TRUE(z.good());
}

// A user types a whole gear, then a text that is not a number into one box after the other and presses
// Calculate and Draw: each stops on that box after its prompt, nothing is drawn or stored, the dialog
// stays open with every typed text. Closed, it opens again on the defaults.
TEST(HostEndToEnd, ATextThatIsNotANumberStopsCalculateAndDrawOnItsBox) {
  // 30 teeth of module 3 with every override typed (tip diameter 96.5 mm), fillets, backlash, extrusion.
  const std::vector<std::pair<std::string, std::string>> typed = {
      {"1003", "30"},   {"1006", "3"},  {"1007", "22.5"}, {"1008", "0.1"},  {"1009", "0.01"},
      {"1010", "0.2"},  {"1011", "0.6"}, {"1016", "0.0"}, {"1017", "90"},   {"1018", "83"},
      {"1019", "96.5"}, {"1020", "82"}, {"1021", "4"},    {"1027", "5"},    {"1032", "0.05"}};
  std::string commands = "open:part init press";
  for (const auto& [id, text] : typed) commands += " set:" + id + "=" + text;
  for (const auto& [id, text] : typed)
    commands += " set:" + id + "=2O click:1029 read click:1001 read set:" + id + "=" + text;
  commands += " click:1004 press read click:1004";
  const HostRun run = RunHost("not_a_number", commands, WithoutSketchFiles());
  ASSERT_EQ(run.status, 0);

  const std::vector<std::string> prompts = Lines(run.log, "message box");
  const std::vector<std::string> boxes = Lines(run.log, "dialog boxes");
  ASSERT_EQ(prompts.size(), 2 * typed.size());
  ASSERT_EQ(boxes.size(), 2 * typed.size() + 1);
  for (size_t k = 0; k < 2 * typed.size(); ++k) {
    const std::string& bad = typed[k / 2].first;
    SCOPED_TRACE(bad + (k % 2 ? " Draw" : " Calculate"));
    EXPECT_EQ(prompts[k], bad == "1003" ? "message box \"Please enter an integer.\""
                                        : "message box \"Please enter a number.\"");
    std::string expected = "dialog boxes";
    for (const auto& [id, text] : typed) expected += " " + id + "=\"" + (id == bad ? "2O" : text) + "\"";
    EXPECT_EQ(boxes[k], expected + " focus=" + bad);
  }
  EXPECT_EQ(Count(run.log, "doc1 34 CreateArc") + Count(run.log, "doc1 30 CreateLine"), 0);
  EXPECT_FALSE(fs::exists(SettingsKey(run))) << "nothing stored";
  EXPECT_EQ(boxes.back(),
            "dialog boxes 1003=\"16\" 1006=\"0.5\" 1007=\"20\" 1008=\"0\" 1009=\"0.001\" 1010=\"0\" 1011=\"0\" "
            "1016=\"0\" 1017=\"0\" 1018=\"0\" 1019=\"0\" 1020=\"0\" 1021=\"0\" 1027=\"0\" 1032=\"0\" focus=1003");
  EXPECT_EQ(Count(run.log, "dialog left open"), 0);
}

// Values stored by Calculate come back as they were: a tolerance of 1e-7 mm and a shift of 6e-7 are
// drawn at the next opening without a message; a backlash of 1/3 mm is stored as that value.
TEST(HostEndToEnd, StoredValuesComeBackAsTyped) {
  const HostRun calculated = RunHost("round_trip",
                                     "open:part init press set:1003=20 set:1006=2 set:1009=1e-7 set:1008=6e-7 check:1025=0 "
                                     "set:1032=0.33333333333333331 click:1029 click:1004",
                                     WithoutSketchFiles());
  ASSERT_EQ(calculated.status, 0);
  const std::string bl = morvell::file_bytes(SettingsKey(calculated) / "bl.value");
  std::string text;
  for (size_t i = 4; i < bl.size(); i += 2) text += bl[i];
  EXPECT_EQ(std::stod(text), 1.0 / 3.0) << text;

  HostOptions again = WithoutSketchFiles();
  again.fresh = false;
  const HostRun run = RunHost("round_trip", "open:part init press read click:1001", again);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(Count(run.log, "message box"), 0);
  EXPECT_EQ(Count(run.log, "dialog boxes 1003=\"20\" 1006=\"2\" 1007=\"20\" 1008=\"6e-07\" 1009=\"1e-07\" "), 1);
  EXPECT_GT(Count(run.log, "doc1 34 CreateArc"), 0);
}

// Gears the dialog refuses leave it open for the next entry: pressure angles of -20, 0 and 90 degrees,
// and 1e9 teeth of module 1e30, whose diameters no box can hold; then 20 teeth of module 2 are drawn.
TEST(HostEndToEnd, RefusedGearsLeaveTheDialogOpenForTheNext) {
  const HostRun run = RunHost("refused",
                              "open:part init press set:1007=-20 click:1001 set:1007=0 click:1029 set:1007=90 "
                              "click:1001 set:1007=20 set:1003=1000000000 set:1006=1e30 click:1029 click:1001 "
                              "set:1003=20 set:1006=2 click:1001");
  ASSERT_EQ(run.status, 0);
  const std::string angle = "message box \"压力角超出范围. 请输入一个大于 0 且小于 90 的值.";
  const std::string size = "message box \"    齿轮尺寸超出范围.";
  const std::vector<std::string> messages = Lines(run.log, "message box");
  ASSERT_EQ(messages.size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(messages[i].rfind(i < 3 ? angle : size, 0), 0u) << messages[i];
  const auto s = test::Summarise(SketchFromLog(run.log));
  EXPECT_EQ(test::CountNear(s.centre_arc_radii, 0.022, 1e-9), 20) << "tip arcs";
  EXPECT_EQ(Count(run.log, "dialog left open"), 0) << "closed by the drawing";
}

// Registered from a folder of 200 characters, Help opens the help text below it; without the help
// text there, Help says so.
TEST(HostEndToEnd, HelpFindsItsTextBelowALongInstallFolder) {
  fs::path folder = fs::current_path() / "long_install_folder";
  fs::remove_all(folder);
  ASSERT_LT(folder.string().size(), 150u);
  while (folder.string().size() + 41 < 200) folder /= std::string(40, 'f');
  folder /= std::string(200 - folder.string().size() - 1, 'f');
  ASSERT_EQ(folder.string().size(), 200u);
  fs::create_directories(folder / "kzsamples");
  fs::copy_file(TANDREL_LIBRARY, folder / "libTandrel.so");
  fs::copy_file(fs::path(TANDREL_LIBRARY).parent_path() / "kzsamples" / "inv_help.txt",
                folder / "kzsamples" / "inv_help.txt");
  HostOptions options = WithoutSketchFiles();
  options.library = (folder / "libTandrel.so").string();
  const std::string help = (folder / "kzsamples" / "inv_help.txt").string();
  const HostRun run = RunHost("long_install", "register open:part init press click:1030 click:1004", options);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(Lines(run.log, "desktop opens"), std::vector<std::string>{"desktop opens \"" + help + "\""});
  EXPECT_EQ(Count(run.log, "message box"), 0);

  fs::remove(help);
  options.fresh = false;
  const HostRun missing = RunHost("long_install", "open:part init press click:1030 click:1004", options);
  EXPECT_EQ(Count(missing.log, "desktop opens"), 0);
  EXPECT_EQ(Lines(missing.log, "message box"), std::vector<std::string>{"message box \"帮助文件无法打开:\\n" + help + "\""});
  fs::remove_all(fs::current_path() / "long_install_folder");
}

// Unregistering takes the Install value away with the class entries; the user's settings stay.
TEST(HostEndToEnd, UnregisterRemovesTheInstallFolderAndKeepsTheSettings) {
  const HostRun run =
      RunHost("unregister", "register open:part init press set:1003=24 click:1029 click:1004 unregister",
              WithoutSketchFiles());
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(Count(run.log, "call DllUnregisterServer -> 0x00000000"), 1);
  EXPECT_FALSE(fs::exists(SettingsKey(run) / "Install.value"));
  EXPECT_EQ(morvell::file_bytes(SettingsKey(run) / "z.value"), std::string("\x01\0\0\0" "2\0" "4\0", 8));
  EXPECT_FALSE(fs::exists(run.folder / "registry" / "HKEY_CLASSES_ROOT" / "CLSID" /
                          "{418e427b-5934-492d-90ab-0a654b6e82fa}"));
}

TEST(HostEndToEnd, RegistrationRunsWithoutADisplayAndMakesNoHostCalls) {
  const HostRun run = RunHost("register", "register unregister register",
                              WithoutSketchFiles("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "));
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(Count(run.log, "call DllRegisterServer -> 0x00000000"), 2);
  EXPECT_EQ(Count(run.log, "call DllUnregisterServer -> 0x00000000"), 1);
  EXPECT_EQ(Count(run.log, "app "), 0);
  EXPECT_EQ(Count(run.log, "doc"), 0);

  // Registration recorded the plug-in's folder as the settings' Install value; the help text that
  // Help opens ships there.
  std::ifstream value(SettingsKey(run) / "Install.value", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(value)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 4u);
  std::string folder;
  for (size_t i = 4; i + 1 < bytes.size(); i += 2) folder += bytes[i];  // UTF-16 of an ASCII path
  EXPECT_EQ(fs::path(folder), fs::canonical(fs::path(TANDREL_LIBRARY)).parent_path());
  EXPECT_GT(fs::file_size(fs::path(folder) / "kzsamples" / "inv_help.txt"), 0u);
}

// The plug-in in a folder whose name is not ASCII registers the path it is loaded from: its class
// entry names a file that is there.
TEST(HostEndToEnd, APlugInInAFolderOutsideAsciiRegistersItsOwnPath) {
  const fs::path folder = fs::current_path() / "host_unicode" / "\xC3\xA9 \xE4\xB8\xAD";  // "é 中"
  fs::remove_all(folder.parent_path());
  fs::create_directories(folder);
  fs::copy_file(TANDREL_LIBRARY, folder / "libTandrel.so");
  HostOptions options = WithoutSketchFiles();
  options.library = (folder / "libTandrel.so").string();
  const HostRun run = RunHost("unicode_register", "register", options);
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(Count(run.log, "call DllRegisterServer -> 0x00000000"), 1);
  const std::string bytes = morvell::file_bytes(run.folder / "registry" / "HKEY_CLASSES_ROOT" / "CLSID" /
                                                "{418e427b-5934-492d-90ab-0a654b6e82fa}" / "InprocServer32" / "@default");
  ASSERT_GT(bytes.size(), 4u);
  std::u16string path;
  for (size_t i = 4; i + 1 < bytes.size(); i += 2) path += char16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
  ASSERT_EQ(path.back(), u'\0');
  path.pop_back();
  EXPECT_EQ(ToUtf8(path), (folder / "libTandrel.so").string());
  EXPECT_TRUE(fs::is_regular_file(ToUtf8(path)));
}

// A disk too full for the sketch and the log: the host says so and leaves the files of the run before
// whole, with nothing of the new ones beside them.
TEST(HostEndToEnd, FilesThatCannotBeWrittenLeaveTheOldOnesWhole) {
  const HostRun first = RunHost("full_disk", "open:part init press set:1003=20 set:1006=2 click:1001");
  ASSERT_EQ(first.status, 0);
  const std::string svg = morvell::file_bytes(first.folder / "gear.svg");
  const std::string dxf = morvell::file_bytes(first.folder / "gear.dxf");
  const std::string log = morvell::file_bytes(first.folder / "calls.log");
  ASSERT_GT(svg.size(), 512u);
  ASSERT_GT(dxf.size(), 512u);
  ASSERT_GT(log.size(), 512u);
  // Files may grow to 512 bytes only; a write beyond fails as on a full disk instead of ending the host,
  // which starts with the signals of that limit and of a pipe without reader at their default actions,
  // as a shell hands them on.
  HostOptions full;
  full.environment = "ulimit -f 1 && ";
  full.fresh = false;
  const auto file_size_signal = std::signal(SIGXFSZ, SIG_DFL);
  const auto pipe_signal = std::signal(SIGPIPE, SIG_DFL);
  const HostRun second = RunHost("full_disk", "open:part init press set:1003=21 set:1006=2 click:1001", full);
  std::signal(SIGXFSZ, file_size_signal);
  std::signal(SIGPIPE, pipe_signal);
  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(morvell::file_bytes(SettingsKey(second) / "z.value"),
            std::string("\x01\0\0\0" "2\0" "1\0", 8))
      << "the second gear was drawn";
  const std::string said = morvell::file_bytes(second.folder / "out.txt");
  EXPECT_NE(said.find("no sketch written to " + (second.folder / "gear.svg").string()), std::string::npos) << said;
  EXPECT_NE(said.find("no sketch written to " + (second.folder / "gear.dxf").string()), std::string::npos) << said;
  EXPECT_NE(said.find("no log written to " + (second.folder / "calls.log").string()), std::string::npos) << said;
  EXPECT_EQ(morvell::file_bytes(second.folder / "gear.svg"), svg);
  EXPECT_EQ(morvell::file_bytes(second.folder / "gear.dxf"), dxf);
  EXPECT_EQ(morvell::file_bytes(second.folder / "calls.log"), log);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(second.folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"calls.log", "gear.dxf", "gear.svg", "out.txt", "registry"}));
}

TEST(SketchExport, AnArcWhoseEndIsOffItsCircleLeavesAGap) {
  // An arc about the origin from radius 10 mm at 0 degrees to a point at radius 11 mm at 90 degrees:
  // drawn with the start's radius, it ends 1 mm short of where the next entity begins.
  host::SketchEntity arc;
  arc.kind = host::SketchEntity::Kind::Arc;
  arc.b = Point{0.010, 0.0, 0.0};
  arc.c = Point{0.0, 0.011, 0.0};
  arc.count = 1;
  const fs::path folder = fs::current_path() / "sketch_export";
  fs::create_directories(folder);
  ASSERT_TRUE(host::WriteSketchDxf({arc}, (folder / "arc.dxf").string()));
  ASSERT_TRUE(host::WriteSketchSvg({arc}, (folder / "arc.svg").string()));
  std::ifstream dxf(folder / "arc.dxf");
  std::vector<std::string> lines;
  for (std::string line; std::getline(dxf, line);) lines.push_back(line.substr(0, line.find('\r')));
  const auto radius = std::find(lines.begin(), lines.end(), "40");
  ASSERT_NE(radius, lines.end());
  EXPECT_DOUBLE_EQ(std::stod(*(radius + 1)), 10.0);
  std::ifstream svg(folder / "arc.svg");
  const std::string text((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
  const size_t points = text.find("points=\"");
  ASSERT_NE(points, std::string::npos);
  const std::string list = text.substr(points + 8, text.find('"', points + 8) - points - 8);
  const std::string last = list.substr(list.find_last_of(' ', list.size() - 2) + 1);
  const double x = std::stod(last), y = std::stod(last.substr(last.find(',') + 1));
  EXPECT_NEAR(std::hypot(x, y), 10.0, 1e-9);
  EXPECT_NEAR(std::hypot(x - 0.0, y - 11.0), 1.0, 1e-9);
}

TEST(HostEndToEnd, WithoutADocumentTheButtonOnlyShowsTheMessage) {
  const HostRun run = RunHost("nodoc", "init press", WithoutSketchFiles());
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(Count(run.log, "app 85 SendMessageToUser \"    请打开文档!           \" 2 2"), 1);
  EXPECT_EQ(Count(run.log, "dialog step"), 0);
}

}  // namespace
}  // namespace tandrel
