#include "file_writing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "file_bytes.h"
#include "full_disk.h"

namespace morvell {
namespace {

// Files in the folder whose name starts with `stem` (the file itself and any temporary left beside it).
int files_starting_with(const std::string& stem) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator("."))
    if (e.path().filename().string().rfind(stem, 0) == 0) ++n;
  return n;
}

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
  EXPECT_EQ(files_starting_with(path), 1);  // no temporary file left behind
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
  }
  EXPECT_EQ(files_starting_with(path), 0);
}

}  // namespace
}  // namespace morvell
