// The program started in a folder it shares with other users: sticky and open to everyone, such as /tmp,
// where another user may put a symbolic link under the name of a file the program writes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "design_file.h"
#include "file_bytes.h"
#include "file_commands.h"
#include "file_writing.h"
#include "other_user.h"
#include "preferences.h"
#include "profile_export.h"
#include "program_design.h"
#include "rack_database.h"
#include "report_file.h"
#include "search_result_file.h"

using namespace morvell;

namespace {

struct Written {
  bool ok = false;
  std::string message;
};

Written of(const FileWriteResult& r) { return {r.ok(), r.message}; }
Written of(const DesignFileResult& r) { return {r.ok(), r.message}; }
Written of(const RackFileResult& r) { return {r.ok(), r.problem}; }

}  // namespace

// Every file the program writes under a name of its own, and a design and an export under the names the
// user gives them: where another user put a link under that name in a folder open to everyone, the
// program writes nothing through it, as the system would refuse a program that opened the file (its
// protection of such folders), and says which file it did not write. Checked as an ordinary user, for
// each name; the file the link names, one of the user's own elsewhere, stays as it was.
TEST(SharedFolder, NoFileIsWrittenThroughAnotherUsersLink) {
  if (!can_act_as_other_users()) GTEST_SKIP() << "needs to start as the administrator to act as other users";
  const std::unique_ptr<DesignData> design = morvell::testing::program_design();
  DesignData& d = *design;
  d.basic_rack = BasicRack{{1, 1}, {1.25f, 1.25f}, {0.38f, 0.38f}, 20, {0, 0}};
  copy_text(d.file_line, "new rack");
  const std::string rack_record = "\r\n<r\r\nA\r\n1 1\r\n1.25 1.25\r\n0.38 0.38\r\n20 20\r\n0 0\r\nr>";
  struct Name {
    std::string name;              // the name the link takes
    std::string own_file;          // a file of the user's the writer needs beside it (empty: none)
    std::string own_content;
    std::function<Written()> write;  // run in the folder, as the user
  };
  const Name names[] = {
      {"gear.mvl", "", "", [&] {
         std::string error;
         return Written{save_design_file(d, "gear.mvl", &error), error};
       }},
      {"temp.mvl", "", "", [&] {
         copy_text(d.design_file_name, "temp.mvl");
         return of(write_design_file(d, WriteTarget::fixed));
       }},
      {kHistoryFileName, "", "", [&] {
         d.history_mode = 1;
         return of(write_design_file(d));
       }},
      {kHistoryFileName, "", "", [&] {  // emptied at the start of a run: nothing to say, nothing emptied
         const FileUsedForTheRun used(kHistoryFileName);
         return Written{false, std::string("Cannot write ") + kHistoryFileName};
       }},
      {kOlderHistoryFileName, kHistoryFileName, std::string(3000, 'h'), [&] {
         return of(append_file(kHistoryFileName, "record", {3000, kOlderHistoryFileName}));
       }},
      {kPreferenceFileName, "", "", [&] {
         std::string reason;
         return Written{write_preferences(d, &reason), "Cannot write " + reason};
       }},
      {kReportFileName, "", "", [&] {
         std::string error;
         return Written{write_text_file(kReportFileName, "{\\rtf1 report}", &error, WriteTarget::fixed), error};
       }},
      {kSearchResultFileName, "", "", [&] {
         SearchResultWriter results;
         results.write_text("1 2 3\r\n");
         results.close();
         return Written{results.ok(), results.message()};
       }},
      {"data.dat", "", "", [&] { return of(append_rack(d)); }},
      {"temp.dat", "data.dat", rack_record, [&] {
         d.rack_selected = 0;
         return of(delete_rack(d));
       }},
      {"profile.dxf", "", "", [&] {
         std::string error;
         d.export_type = kExportWheelDxf;
         return Written{write_profile_export(d, "profile.dxf", &error), error};
       }},
  };
  const std::string victims = shared_folder(0700, kUser, kUserGroup);
  const std::string victim = victims + "/important.txt";
  for (const Name& n : names) {
    SCOPED_TRACE(n.name);
    const std::string folder = shared_folder(01777);
    write_bytes(victim, "the user's own file");
    ASSERT_EQ(::chown(victim.c_str(), kUser, kUserGroup), 0);
    const std::string link = folder + "/" + n.name;
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    ASSERT_EQ(::lchown(link.c_str(), kOtherUser, kOtherGroup), 0);
    if (!n.own_file.empty()) {
      const std::string own = folder + "/" + n.own_file;
      write_bytes(own, n.own_content);
      ASSERT_EQ(::chown(own.c_str(), kUser, kUserGroup), 0);
    }
    const int status = run_as_user(
        [&] {
          const Written w = n.write();
          if (w.ok) return 1;
          return w.message.find(n.name) != std::string::npos ? 0 : 2;
        },
        folder);
    EXPECT_EQ(status, 0) << "1: written, 2: no message naming the file";
    EXPECT_EQ(file_bytes(victim), "the user's own file");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    std::filesystem::remove_all(folder);
  }
  std::filesystem::remove_all(victims);
}
