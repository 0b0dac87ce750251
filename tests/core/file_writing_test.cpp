#include "file_writing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <sys/file.h>
#include <sys/stat.h>
#include <grp.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "file_bytes.h"
#include "full_disk.h"

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

}  // namespace
}  // namespace morvell
