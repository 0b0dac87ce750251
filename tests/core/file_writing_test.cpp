#include "file_writing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <grp.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "file_bytes.h"
#include "file_reading.h"
#include "full_disk.h"
#include "other_user.h"

namespace morvell {
namespace {

// Files in the folder whose name starts with `stem` (the file itself and any temporary left beside it).
int files_starting_with(const std::string& stem, const std::string& folder = ".") {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.path().filename().string().rfind(stem, 0) == 0) ++n;
  return n;
}

constexpr const char* kTemporaryStem = ".mvtmp-";

TEST(FileWriting, ReplacesWholeAndKeepsPermissionsAndLinks) {
  const std::string path = "fw_replace.txt";
  ASSERT_TRUE(replace_file(path, "old content\r\n").ok());
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(replace_file(path, "new").ok());
  EXPECT_EQ(file_bytes(path), "new");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(files_starting_with(path), 1);

  // Through a symbolic link the file it names is replaced; the link stays a link.
  std::filesystem::remove("fw_link.txt");
  std::filesystem::create_symlink(path, "fw_link.txt");
  ASSERT_TRUE(replace_file("fw_link.txt", "via link").ok());
  EXPECT_TRUE(std::filesystem::is_symlink("fw_link.txt"));
  EXPECT_EQ(file_bytes(path), "via link");

  // A folder is no file; a missing folder cannot take one.
  std::filesystem::create_directory("fw_folder");
  EXPECT_FALSE(replace_file("fw_folder", "x").ok());
  const FileWriteResult missing = replace_file("no_such_folder/x.txt", "x");
  EXPECT_FALSE(missing.ok());
  EXPECT_FALSE(missing.opened);
}

TEST(FileWriting, FullDiskLeavesTheOldFileWholeAndIsReported) {
  const std::string old_text(3000, 'o');
  const std::string path = "fw_full.txt";
  ASSERT_TRUE(replace_file(path, old_text).ok());
  ASSERT_TRUE(replace_file("fw_append.txt", "first\r\n").ok());
  {
    const FullDisk full(1024);
    const FileWriteResult r = replace_file(path, std::string(2000, 'n'));
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.message.find(path), std::string::npos) << r.message;
    ReplacingFileWriter pieces(path);
    for (int i = 0; i < 10; ++i) pieces.write(std::string(300, 'p'));
    EXPECT_FALSE(pieces.commit().ok());

    // An append that does not fit is taken back whole.
    EXPECT_FALSE(append_file("fw_append.txt", std::string(2000, 'a')).ok());
  }
  EXPECT_EQ(file_bytes(path), old_text);
  EXPECT_EQ(files_starting_with(path), 1);
  EXPECT_EQ(files_starting_with(kTemporaryStem), 0);  // no temporary file left behind
  EXPECT_EQ(file_bytes("fw_append.txt"), "first\r\n");
  EXPECT_TRUE(append_file("fw_append.txt", "second").ok());
  EXPECT_EQ(file_bytes("fw_append.txt"), "first\r\nsecond");
}

TEST(FileWriting, DevicesAreWrittenDirectlyAndNeverReplaced) {
  EXPECT_TRUE(replace_file("/dev/null", "anything").ok());
  if (::access("/dev/full", W_OK) == 0) {
    EXPECT_FALSE(replace_file("/dev/full", "anything").ok());
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
  }
}

TEST(FileWriting, APipeWithoutAReaderIsRefusedNotWaitedFor) {
  const std::string path = "fw_pipe";
  std::filesystem::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_FALSE(append_file(path, "record").ok());
  EXPECT_FALSE(replace_file(path, "").ok());
  std::filesystem::remove(path);
}

TEST(FileWriting, UncommittedWriterLeavesNothing) {
  const std::string path = "fw_uncommitted.txt";
  std::filesystem::remove(path);
  {
    ReplacingFileWriter w(path);
    EXPECT_TRUE(w.write("half"));
    EXPECT_EQ(files_starting_with(kTemporaryStem), 1);
  }
  EXPECT_EQ(files_starting_with(path), 0);
  EXPECT_EQ(files_starting_with(kTemporaryStem), 0);
}

// A file whose own permissions let no one write it is neither replaced nor appended to, whoever runs the
// program (the rename of a temporary over it needs only the folder's rights, and an administrator
// passes every permission check): the message names it, and it stays as it was.
TEST(FileWriting, AFileMadeReadOnlyIsNeverReplacedOrAppendedTo) {
  const std::string path = "fw_read_only.txt";
  std::filesystem::remove("fw_read_only_link.txt");
  ::chmod(path.c_str(), 0644);
  write_bytes(path, "the user's own file");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  std::filesystem::create_symlink(path, "fw_read_only_link.txt");
  for (const std::string& name : {path, std::string("fw_read_only_link.txt")}) {
    SCOPED_TRACE(name);
    const FileWriteResult replaced = replace_file(name, "new");
    EXPECT_EQ(replaced.message, "Cannot write " + name + ": the file is read-only");
    EXPECT_FALSE(replaced.opened);
    ReplacingFileWriter pieces(name);
    EXPECT_FALSE(pieces.write("new"));
    EXPECT_EQ(pieces.commit().reason, "the file is read-only");
    EXPECT_EQ(append_file(name, "more").message, "Cannot write " + name + ": the file is read-only");
  }
  EXPECT_EQ(file_bytes(path), "the user's own file");
  EXPECT_EQ(files_starting_with(kTemporaryStem), 0);
  // Made writable again, it is written.
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_TRUE(replace_file(path, "new").ok());
  EXPECT_EQ(file_bytes(path), "new");
}

// An ordinary user may not replace a file the user has no right to write, even in a folder that lets
// the user create and rename files. Checked as such a user: run by an administrator, the test drops to
// the user "nobody" in a child process.
TEST(FileWriting, AnOrdinaryUserDoesNotReplaceAFileOnlyTheFolderLetsHimWrite) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs to start as the administrator to act as another user";
  char folder_template[] = "/tmp/fw_user_XXXXXX";
  ASSERT_NE(::mkdtemp(folder_template), nullptr);
  const std::string folder = folder_template;
  ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
  const std::string theirs = folder + "/theirs.txt", open_to_all = folder + "/open.txt";
  write_bytes(theirs, "not yours");
  write_bytes(open_to_all, "anyone's");
  ASSERT_EQ(::chmod(theirs.c_str(), 0644), 0);
  ASSERT_EQ(::chmod(open_to_all.c_str(), 0666), 0);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
    int faults = 0;
    if (replace_file(theirs, "replaced").message != "Cannot write " + theirs + ": the file is read-only") faults |= 1;
    if (append_file(theirs, "appended").ok()) faults |= 2;
    if (!replace_file(open_to_all, "replaced").ok()) faults |= 4;
    ::_exit(faults);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: replaced, 2: appended to, 4: a writable file refused, 10: no user";
  EXPECT_EQ(file_bytes(theirs), "not yours");
  EXPECT_EQ(file_bytes(open_to_all), "replaced");
  struct stat st {};
  ASSERT_EQ(::stat(open_to_all.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 0u);  // still the administrator's file, not taken over by the user who saved it
  EXPECT_EQ(files_starting_with(kTemporaryStem, folder), 0);
  std::filesystem::remove_all(folder);
}

// A team's file, owned by one user and writable by its group, saved by another member of the group: it
// keeps its owner, group and permissions, in a plain shared folder and in a sticky one (where only a
// file's owner may replace it); saved by the administrator, it keeps them too. Checked as such users:
// the test drops to "nobody" (group "nogroup") in a child process, the file belonging to "daemon".
TEST(FileWriting, SavingAnotherUsersFileKeepsItsOwnerGroupAndPermissions) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs to start as the administrator to act as other users";
  constexpr uid_t kOwner = 1;         // daemon
  constexpr uid_t kSaver = 65534;     // nobody
  constexpr gid_t kTeamGroup = 65534;  // nogroup, the saver's group
  for (const mode_t folder_mode : {mode_t(0777), mode_t(01777)}) {
    SCOPED_TRACE(folder_mode);
    char folder_template[] = "/tmp/fw_team_XXXXXX";
    ASSERT_NE(::mkdtemp(folder_template), nullptr);
    const std::string folder = folder_template;
    ASSERT_EQ(::chmod(folder.c_str(), folder_mode), 0);
    const std::string team = folder + "/team.mvl", by_admin = folder + "/admin.mvl";
    for (const std::string& f : {team, by_admin}) {
      write_bytes(f, "the team's design");
      ASSERT_EQ(::chown(f.c_str(), kOwner, kTeamGroup), 0);
      ASSERT_EQ(::chmod(f.c_str(), 0664), 0);
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(kTeamGroup) != 0 || ::setuid(kSaver) != 0) ::_exit(10);
      ::_exit(replace_file(team, "saved by a member").ok() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not saved, 10: no user";
    EXPECT_TRUE(replace_file(by_admin, "saved by the administrator").ok());
    for (const auto& [f, text] : {std::pair{team, "saved by a member"}, std::pair{by_admin, "saved by the administrator"}}) {
      SCOPED_TRACE(f);
      EXPECT_EQ(file_bytes(f), text);
      struct stat st {};
      ASSERT_EQ(::stat(f.c_str(), &st), 0);
      EXPECT_EQ(st.st_uid, kOwner);
      EXPECT_EQ(st.st_gid, kTeamGroup);
      EXPECT_EQ(st.st_mode & 07777, 0664u);
    }
    EXPECT_EQ(files_starting_with(kTemporaryStem, folder), 0);
    std::filesystem::remove_all(folder);
  }
}

// A file's extended attributes (notes of the user's, access lists) stay with it when it is replaced.
TEST(FileWriting, ExtendedAttributesStayWithTheFile) {
  const std::string path = "fw_attributes.txt";
  write_bytes(path, "old");
  const std::string note = "checked by the team";
  if (::setxattr(path.c_str(), "user.morvell_note", note.data(), note.size(), 0) != 0)
    GTEST_SKIP() << "the file system takes no user attributes here";
  ASSERT_TRUE(replace_file(path, "new").ok());
  EXPECT_EQ(file_bytes(path), "new");
  char value[64] = {};
  const ssize_t n = ::getxattr(path.c_str(), "user.morvell_note", value, sizeof value);
  EXPECT_EQ(std::string(value, n > 0 ? std::size_t(n) : 0), note);
  EXPECT_EQ(files_starting_with(kTemporaryStem), 0);
}

// A symbolic link is written through to the file it names, also when that file does not exist yet (a
// dangling link, relative to the link's own folder); the link stays a link. A loop of links is refused.
TEST(FileWriting, ALinkIsWrittenThroughEvenWhenItsFileIsMissing) {
  std::filesystem::remove_all("fw_links");
  std::filesystem::create_directories("fw_links/designs");
  std::filesystem::create_symlink("designs/gear.mvl", "fw_links/gear_link.mvl");  // dangling
  std::filesystem::create_symlink("gear_link.mvl", "fw_links/second_link.mvl");   // a link to it
  for (const char* link : {"fw_links/second_link.mvl", "fw_links/gear_link.mvl"}) {
    SCOPED_TRACE(link);
    std::filesystem::remove("fw_links/designs/gear.mvl");
    ASSERT_TRUE(replace_file(link, "through the link").ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(file_bytes("fw_links/designs/gear.mvl"), "through the link");
  }
  std::filesystem::create_symlink("loop_b", "fw_links/loop_a");
  std::filesystem::create_symlink("loop_a", "fw_links/loop_b");
  const FileWriteResult loop = replace_file("fw_links/loop_a", "x");
  EXPECT_FALSE(loop.ok());
  EXPECT_TRUE(std::filesystem::is_symlink("fw_links/loop_a"));
  EXPECT_TRUE(std::filesystem::is_symlink("fw_links/loop_b"));
  EXPECT_EQ(files_starting_with(kTemporaryStem, "fw_links"), 0);
  std::filesystem::remove_all("fw_links");
}

// The temporary file has a short name of its own: a target whose name takes the whole length a folder
// entry allows (255 bytes) is written and replaced, which a temporary named after the target could not be.
TEST(FileWriting, ATargetWithTheLongestNameAFolderTakesIsWritten) {
  for (const std::size_t length : {246u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".mvl";
    std::filesystem::remove(name);
    EXPECT_TRUE(replace_file(name, "first").ok()) << length;
    EXPECT_TRUE(replace_file(name, "second").ok()) << length;
    EXPECT_EQ(file_bytes(name), "second");
    std::filesystem::remove(name);
  }
  EXPECT_EQ(files_starting_with(kTemporaryStem), 0);
}

// A temporary left by a writer that was killed holds no lock: the next writer into that folder removes
// it. A temporary a live writer holds stays, and so does every other file.
TEST(FileWriting, StaleTemporariesOfKilledWritersAreRemovedAndLiveOnesKept) {
  const std::filesystem::path folder = "fw_temporaries";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(folder);
  write_bytes((folder / ".mvtmp-k1lled0000").string(), std::string(100000, 's'));  // stale
  write_bytes((folder / ".mvtmp-notours.txt").string(), "a file of the user's");    // not a temporary's name
  write_bytes((folder / "design.mvl").string(), "a design");
  {
    ReplacingFileWriter live((folder / "live.txt").string());
    ASSERT_TRUE(live.write("being written"));
    EXPECT_TRUE(replace_file((folder / "other.txt").string(), "other").ok());
    EXPECT_FALSE(std::filesystem::exists(folder / ".mvtmp-k1lled0000"));
    EXPECT_EQ(files_starting_with(kTemporaryStem, folder.string()), 2);  // the live one and the user's file
    EXPECT_EQ(remove_stale_temporaries(folder.string()), 0);
    EXPECT_TRUE(live.commit().ok());
  }
  EXPECT_EQ(file_bytes((folder / "live.txt").string()), "being written");
  EXPECT_EQ(file_bytes((folder / ".mvtmp-notours.txt").string()), "a file of the user's");
  EXPECT_EQ(file_bytes((folder / "design.mvl").string()), "a design");
  EXPECT_EQ(files_starting_with(kTemporaryStem, folder.string()), 1);
  std::filesystem::remove_all(folder);
}

// A link in a folder that is sticky and open to everyone (such as /tmp) is followed only as the system
// follows it under its protection of such folders: when it belongs to the user or to the folder's owner.
// A link another user put there is refused by every writer, with a message naming the file, wherever it
// stands on the way (the name itself, a folder on the path, a link a followed link names); the file it
// names is neither written nor created. In a folder that is not sticky, links are followed.
TEST(FileWriting, LinksInAFolderOpenToAllAreFollowedOnlyAsTheSystemWouldFollowThem) {
  if (!can_act_as_other_users()) GTEST_SKIP() << "needs to start as the administrator to act as other users";
  const std::string victims = shared_folder(0700, kUser, kUserGroup);  // the user's own files elsewhere
  const std::string victim = victims + "/own.txt";
  struct Writer {
    const char* what;
    std::function<FileWriteResult(const std::string&)> write;
  };
  const Writer writers[] = {
      {"replace", [](const std::string& p) { return replace_file(p, "written", WriteTarget::fixed); }},
      {"pieces",
       [](const std::string& p) {
         ReplacingFileWriter w(p);
         w.write("writ");
         w.write("ten");
         return w.commit();
       }},
      {"append", [](const std::string& p) { return append_file(p, "written"); }},
      {"emptied for the run",
       [](const std::string& p) {
         const FileUsedForTheRun used(p);
         return FileWriteResult{};
       }},
  };
  struct Case {
    mode_t folder_mode;
    uid_t link_owner;
    const char* layout;  // "name": the name is the link; "folder": a folder on the path; "chain": own link to theirs
    bool dangling;
  };
  const Case cases[] = {
      {01777, kOtherUser, "name", false}, {01777, kOtherUser, "name", true},  {01777, kOtherUser, "folder", false},
      {01777, kOtherUser, "chain", false}, {01777, kUser, "name", false},     {01777, 0, "name", true},
      {0777, kOtherUser, "name", false},  {01770, kOtherUser, "name", false},
  };
  for (const Case& c : cases) {
    for (const Writer& w : writers) {
      SCOPED_TRACE(std::string(w.what) + ", folder " + std::to_string(c.folder_mode) + ", link of " +
                   std::to_string(c.link_owner) + ", " + c.layout + (c.dangling ? ", dangling" : ""));
      const std::string folder = shared_folder(c.folder_mode, 0, c.folder_mode == 01770 ? kUserGroup : 0);
      std::filesystem::remove(victim);
      if (!c.dangling) {
        write_bytes(victim, "the user's own file");
        ASSERT_EQ(::chown(victim.c_str(), kUser, kUserGroup), 0);
      }
      std::string name = folder + "/report.rtf";
      const auto plant = [](const std::string& to, const std::string& link, uid_t owner) {
        ASSERT_EQ(::symlink(to.c_str(), link.c_str()), 0);
        ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
      };
      if (std::string(c.layout) == "folder") {
        plant(victims, folder + "/designs", c.link_owner);
        name = folder + "/designs/own.txt";
      } else if (std::string(c.layout) == "chain") {
        plant(victim, folder + "/theirs", c.link_owner);
        plant("theirs", name, kUser);
      } else {
        plant(victim, name, c.link_owner);
      }
      // The system's rule, stated once more: followed unless the folder is sticky and writable by all
      // and the link is neither the user's nor the folder owner's.
      const bool shared = (c.folder_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
      const bool followed = !shared || c.link_owner == kUser || c.link_owner == 0;
      const int status = run_as_user([&] {
        const FileWriteResult r = w.write(name);
        if (std::string(w.what) == "emptied for the run") return 0;
        if (followed) return r.ok() ? 0 : 1;
        return !r.ok() && r.message.rfind("Cannot write " + name + ": ", 0) == 0 ? 0 : 2;
      });
      EXPECT_EQ(status, 0) << "1: a link the system follows refused, 2: no message naming the file";
      const bool changed = !std::filesystem::exists(victim) ? false : file_bytes(victim) != "the user's own file";
      const bool created = c.dangling && std::filesystem::exists(victim);
      if (!followed) {
        EXPECT_FALSE(changed || created) << "written through another user's link";
      } else if (std::string(w.what) == "append") {
        EXPECT_EQ(file_bytes(victim), (c.dangling ? "" : "the user's own file") + std::string("written"));
      } else if (std::string(w.what) != "emptied for the run") {
        EXPECT_EQ(file_bytes(victim), "written");
      }
      std::filesystem::remove_all(folder);
    }
  }
  std::filesystem::remove_all(victims);
}

namespace {

// The files of a kill: the old content and two new ones of other lengths, a few MB each so that a kill
// often falls inside a write, each line numbered so that no mix of two can pass for one.
std::string numbered(char letter, int lines) {
  std::string s;
  for (int i = 0; i < lines; ++i) s += std::string(1, letter) + std::to_string(i) + std::string(60, letter) + "\r\n";
  return s;
}

}  // namespace

// A write killed at any moment leaves the file with its old content whole or its new content whole; or,
// where the file is rewritten in place, a torn file with a whole copy of a former content beside it,
// under the name the program gives it. Checked as an ordinary user for each way a file is written: the
// user's own file replaced by a rename, the user's own file of a group not the user's (rewritten in
// place, since the new file could not be given that group), another user's file in a folder open to all
// and in a sticky one (rewritten in place). The kills fall at random moments of writers that write one
// content after the other. For a rename and for a rewriting in place, one kill also falls exactly inside
// the write of the content (the file-size limit ends the writer there; on a disk, since a file system in
// memory refuses to reserve the space beyond the limit before anything is written); with that signal
// ignored, as the program ignores it, the write fails instead, the old content is put back and the copy
// removed. MORVELL_KILL_ROUNDS sets
// the number of random kills per way (default 5).
TEST(FileWriting, AWriteKilledAtAnyMomentLeavesTheOldTheNewOrAWholeCopyBesideIt) {
  if (!can_act_as_other_users()) GTEST_SKIP() << "needs to start as the administrator to act as other users";
  const char* rounds_text = std::getenv("MORVELL_KILL_ROUNDS");
  const int rounds = rounds_text ? std::atoi(rounds_text) : 5;
  const std::string old_text = numbered('o', 8000), a = numbered('a', 12000), b = numbered('b', 10000);
  const auto whole = [&](const std::string& t) { return t == old_text || t == a || t == b; };
  struct Way {
    const char* what;
    mode_t folder_mode;
    uid_t folder_owner, owner;
    gid_t group;
    bool in_place;
    bool on_disk_too;  // also killed inside the write, on a disk (once per way of writing is enough)
  };
  const Way ways[] = {
      {"own file, by rename", 0755, kUser, kUser, kUserGroup, false, true},
      {"own file of another group, in place", 0755, kUser, kUser, kOtherGroup, true, false},
      {"another user's file, folder open to all", 0777, 0, kOtherUser, kOtherGroup, true, false},
      {"another user's file, sticky folder", 01777, 0, kOtherUser, kOtherGroup, true, true},
  };
  std::mt19937 random(4711);
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    for (const bool on_disk : {true, false}) {
      if (on_disk && !way.on_disk_too) continue;
      const std::string folder = shared_folder(way.folder_mode, way.folder_owner, way.folder_owner, on_disk);
      const std::string path = folder + "/design.mvl", backup = backup_file_name(path);
      write_bytes(path, old_text);
      ASSERT_EQ(::chown(path.c_str(), way.owner, way.group), 0);
      ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
      // Whether the file is torn; a torn file needs a whole copy beside it.
      const auto torn = [&](const char* when) -> bool {
        SCOPED_TRACE(when);
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        if (way.in_place) {
          EXPECT_EQ(st.st_uid, way.owner);  // still the owner's file
        }
        if (whole(file_bytes(path))) return false;
        EXPECT_TRUE(way.in_place) << "a file replaced by a rename is never torn";
        EXPECT_TRUE(whole(file_bytes(backup))) << "torn, and no whole copy beside it";
        return true;
      };
      int status = 0;
      if (on_disk) {
        // Killed inside the write of the new content: the file may grow to a little more than its old length.
        const pid_t limited = start_as_user([&] {
          std::signal(SIGXFSZ, SIG_DFL);
          const rlimit limit{old_text.size() + 4096, old_text.size() + 4096};
          ::setrlimit(RLIMIT_FSIZE, &limit);
          return replace_file(path, a).ok() ? 0 : 1;
        });
        ASSERT_EQ(::waitpid(limited, &status, 0), limited);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "not ended by the limit";
        EXPECT_EQ(torn("killed inside the write"), way.in_place);
        // With the signal ignored the write fails inside the content: the old content is put back whole.
        write_bytes(path, old_text);
        std::filesystem::remove(backup);
        EXPECT_EQ(run_as_user([&] {
                    const FullDisk full(old_text.size() + 4096);
                    const FileWriteResult r = replace_file(path, a);
                    if (r.ok()) return 1;
                    return way.in_place && r.message.find("the file was left as it was") == std::string::npos ? 2 : 0;
                  }),
                  0);
        EXPECT_EQ(file_bytes(path), old_text);
        EXPECT_FALSE(std::filesystem::exists(backup));
      } else {
        // Writers that signal once they run and then write one content after the other, killed within the
        // time of a few writes (measured first).
        const auto began = std::chrono::steady_clock::now();
        EXPECT_EQ(run_as_user([&] {
                    for (int i = 0; i < 10; ++i) replace_file(path, i % 2 ? a : b);
                    return 0;
                  }),
                  0);
        const auto ten = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - began);
        int torn_files = 0;
        for (int round = 0; round < rounds; ++round) {
          int ready[2];
          ASSERT_EQ(::pipe(ready), 0);
          const pid_t writer = start_as_user([&] {
            ::close(ready[0]);
            if (::write(ready[1], "r", 1) != 1) return 1;
            for (int i = 0;; ++i) replace_file(path, i % 2 ? a : b);
          });
          ::close(ready[1]);
          char r;
          EXPECT_EQ(::read(ready[0], &r, 1), 1);
          ::close(ready[0]);
          ::usleep(useconds_t(std::uniform_int_distribution<long>(0, long(ten.count()) * 3 / 10)(random)));
          ::kill(writer, SIGKILL);
          ::waitpid(writer, &status, 0);
          torn_files += torn("killed at a random moment");
        }
        std::printf("%s: %d of %d random kills left the file torn\n", way.what, torn_files, rounds);
      }
      // A write without limit goes through, and neither a copy nor a temporary stays behind.
      EXPECT_EQ(run_as_user([&] { return replace_file(path, b).ok() ? 0 : 1; }), 0);
      EXPECT_EQ(file_bytes(path), b);
      EXPECT_FALSE(std::filesystem::exists(backup));
      EXPECT_EQ(files_starting_with(kTemporaryStem, folder), 0);
      std::filesystem::remove_all(folder);
    }
  }
}

// Two copies of the program rewriting one file in place at the same moment (another user's file, each
// saving its own design) take turns: the file ends whole, and every reading of it meanwhile by the
// program's reader finds one whole content, never a mix of two.
TEST(FileWriting, WritersOfOneFileTakeTurnsAndNoReadingFindsAMix) {
  if (!can_act_as_other_users()) GTEST_SKIP() << "needs to start as the administrator to act as other users";
  const std::string folder = shared_folder(0777);
  const std::string path = folder + "/team.mvl";
  const std::string old_text = numbered('o', 1500), a = numbered('a', 2500), b = numbered('b', 2000);
  write_bytes(path, old_text);
  ASSERT_EQ(::chown(path.c_str(), kOtherUser, kOtherGroup), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  const auto writer = [&](const std::string& mine) {
    return start_as_user([&] {
      int failures = 0;
      for (int i = 0; i < 20; ++i) failures += !replace_file(path, mine).ok();
      return failures;
    });
  };
  const pid_t children[2] = {writer(a), writer(b)};
  int status[2] = {-1, -1};
  bool done[2] = {false, false};
  int readings = 0, mixed = 0;
  while (!done[0] || !done[1]) {
    ::usleep(500);  // a reading now and then, as the program reads
    std::string bytes;
    if (read_regular_file(path, std::size_t(1) << 24, bytes).ok()) {
      ++readings;
      mixed += bytes != old_text && bytes != a && bytes != b;
    }
    for (int k = 0; k < 2; ++k)
      if (!done[k]) done[k] = ::waitpid(children[k], &status[k], WNOHANG) == children[k];
  }
  for (const int s : status) EXPECT_TRUE(WIFEXITED(s) && WEXITSTATUS(s) == 0) << "failed saves: " << WEXITSTATUS(s);
  EXPECT_GT(readings, 0);
  EXPECT_EQ(mixed, 0) << "of " << readings << " readings";
  const std::string last = file_bytes(path);
  EXPECT_TRUE(last == a || last == b);
  EXPECT_FALSE(std::filesystem::exists(backup_file_name(path)));
  std::filesystem::remove_all(folder);
}

// A file that can only be rewritten in place needs a copy of it beside it first: in a folder that takes
// no new file, it is not written, and the message says why. The user's own file in a folder of the
// user's that the user made read-only, checked as an ordinary user (the administrator passes the
// folder's permissions).
TEST(FileWriting, AFileWithNoRoomForACopyBesideItIsNotRewritten) {
  if (!can_act_as_other_users()) GTEST_SKIP() << "needs to start as the administrator to act as another user";
  const std::string folder = shared_folder(0755, kUser, kUserGroup);
  const std::string path = folder + "/design.mvl";
  write_bytes(path, "old");
  ASSERT_EQ(::chown(path.c_str(), kUser, kUserGroup), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  EXPECT_EQ(run_as_user([&] {
              const FileWriteResult r = replace_file(path, "new");
              return !r.ok() && r.message.find("no copy of it could be kept beside it") != std::string::npos ? 0 : 1;
            }),
            0);
  EXPECT_EQ(file_bytes(path), "old");
  std::filesystem::remove_all(folder);
}

// A name the program gives itself is written only as a regular file or a device: a pipe in its place is
// refused with the reason. A pipe the user chose is written while it takes the bytes; one whose reader
// stops reading ends the write after a few seconds with a message, instead of holding the program.
TEST(FileWriting, APipeNeverHoldsAWriter) {
  const std::string path = "fw_pipe_read";
  std::filesystem::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);  // a reader that never reads
  ASSERT_GE(reader, 0);
  for (const FileWriteResult& r : {replace_file(path, "record", WriteTarget::fixed), append_file(path, "record")})
    EXPECT_EQ(r.message, "Cannot write " + path + ": it is a pipe, not a regular file");
  EXPECT_TRUE(replace_file(path, "small").ok());  // the pipe takes it
  const FileWriteResult stalled = replace_file(path, std::string(1 << 20, 'x'));
  EXPECT_FALSE(stalled.ok());
  EXPECT_NE(stalled.reason.find("took nothing"), std::string::npos) << stalled.message;
  ::close(reader);
  std::filesystem::remove(path);
}

// The history is bounded: an append that would take it beyond its bound passes every record it holds on,
// whole, to the older file and starts it again. Each file holds whole records only, the newest record is
// always in the history, and the two files together hold the newest records in order.
TEST(FileWriting, AFullHistoryPassesItsRecordsOnAndStartsAgain) {
  const std::string path = "fw_history.dat", older = "fw_history_old.dat";
  std::filesystem::remove(path);
  std::filesystem::remove(older);
  const AppendBound bound{1000, older};
  std::vector<std::string> records;
  std::mt19937 random(7);
  for (int i = 0; i < 300; ++i) {
    records.push_back("-" + std::to_string(i + 1) + " " + std::string(std::uniform_int_distribution<int>(10, 300)(random), 'x') + "\r\n");
    ASSERT_TRUE(append_file(path, records.back(), bound).ok());
    const std::string now = file_bytes(path), before = file_bytes(older);
    ASSERT_LE(now.size(), bound.max_bytes);
    ASSERT_LE(before.size(), bound.max_bytes);
    // The records, newest last, as the two files hold them: a run of the newest records, whole.
    const std::string both = before + now;
    std::string expected;
    for (std::size_t k = records.size(); k-- > 0 && expected.size() < both.size();) expected = records[k] + expected;
    ASSERT_EQ(both, expected) << "after record " << i + 1;
    ASSERT_TRUE(now.size() >= records.back().size() && now.compare(now.size() - records.back().size(), std::string::npos, records.back()) == 0);
  }
  // An older file that cannot be written: the history does not grow beyond its bound; the append says why.
  std::filesystem::remove(older);
  std::filesystem::create_directory(older);
  std::string refused;
  for (int i = 0; i < 20 && refused.empty(); ++i) refused = append_file(path, std::string(200, 'y') + "\r\n", bound).message;
  EXPECT_NE(refused.find("could not be passed on to " + older), std::string::npos) << refused;
  EXPECT_LE(file_bytes(path).size(), bound.max_bytes);
  std::filesystem::remove_all(older);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace morvell
