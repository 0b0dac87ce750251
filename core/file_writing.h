// Checked writing of the program's files. Every file the program writes goes through these routines so
// that a full disk, a file-size limit or an input/output error is detected and reported before the old
// file is replaced, and the old file stays whole.
//
// A file is replaced by writing the new content into a temporary file beside it, flushing it to the
// disk and renaming it over the old one. Where the folder does not allow a new file, the content is
// written into the existing file directly: space for it is reserved first, so that a full disk leaves
// the old content as it was, and the file is cut to the new length only once everything is written.
// The new file gets the owner, group, permissions and extended attributes of the file it replaces;
// where it cannot (another user's file, whose owner only an administrator could give the new file, or
// a folder that lets only a file's owner replace it), the file is written in place as above, so that it
// stays the owner's. A device or pipe (such as /dev/null) is written directly. A symbolic link is
// followed to the file it names, which is created when it does not exist yet; a loop of links is
// refused. An append to a regular file holds a lock on it, which other copies of the program appending
// to the same file wait for.
//
// An existing file that its own permissions keep from being written is never replaced or appended to,
// although the rename would only need the folder's rights: a file the user may not write (access() for
// the effective user), and a file no one may write (no write permission bit at all), which only a
// privileged user could otherwise write. The message then says "the file is read-only".
//
// The temporary file has a short name of its own in the target's folder (".mvtmp-" and ten letters or
// digits), so that a target whose name takes the whole length a folder entry allows can still be
// written. The writer holds a lock on it while it lives; a temporary left by a writer that was killed
// holds no lock and is removed by the next writer into that folder.
#pragma once

#include <string>
#include <string_view>

namespace morvell {

struct FileWriteResult {
  std::string message;  // empty when all was written; otherwise "Cannot write <path>: <reason>"
  bool opened = true;   // false when the file (or its temporary file) could not be created at all
  std::string reason;   // the <reason> of the message ("the file is read-only", "No space left on device")
  bool ok() const { return message.empty(); }
};

// Writes `bytes` as the whole new content of the file at `path`.
FileWriteResult replace_file(const std::string& path, std::string_view bytes);

// Appends `bytes` to the file at `path`, creating it when missing. When not everything can be written,
// the file is cut back to its former length. A pipe without a reader is refused, not waited for.
FileWriteResult append_file(const std::string& path, std::string_view bytes);

// Writes a file piece by piece and puts it in place only when every piece was written: until commit()
// the old file is untouched; destroying an uncommitted writer discards what was written.
class ReplacingFileWriter {
 public:
  explicit ReplacingFileWriter(std::string path);
  ~ReplacingFileWriter();
  ReplacingFileWriter(const ReplacingFileWriter&) = delete;
  ReplacingFileWriter& operator=(const ReplacingFileWriter&) = delete;

  // False once anything failed (then message() says what); later pieces are ignored.
  bool write(std::string_view bytes);
  // Flushes and puts the new content in place; the result of the whole writing.
  FileWriteResult commit();
  bool ok() const { return message_.empty(); }
  const std::string& message() const { return message_; }
  const std::string& reason() const { return reason_; }

 private:
  void fail(int error);
  void fail(const std::string& reason);
  void fail_to_open(int error);
  void fail_to_open(const std::string& reason);
  bool open_temporary();
  void discard();

  std::string path_;    // the name the caller gave (for messages)
  std::string target_;  // the file that is replaced (a symbolic link followed)
  std::string temp_;    // the temporary file, empty when writing directly
  std::string pending_;  // direct writing: the content, written at commit
  int fd_ = -1;
  bool direct_ = false;    // no temporary file: the bytes go into the file itself
  bool in_place_ = false;  // direct into an existing regular file: kept in pending_ until commit
  bool committed_ = false;
  bool opened_ = true;
  std::string message_;
  std::string reason_;
};

// A file that each copy of the program started in a folder uses for its whole run, such as the history
// file: the object marks it as used (a shared lock while it lives). When no other copy has it marked,
// the file is emptied (created when missing) in place, so that copies started later see the mark; when
// another copy uses it, it is left as it is and the records of both follow each other. A file that
// cannot be emptied (read-only, no regular file) is left as it is.
class FileUsedForTheRun {
 public:
  explicit FileUsedForTheRun(const std::string& path);
  ~FileUsedForTheRun();
  FileUsedForTheRun(const FileUsedForTheRun&) = delete;
  FileUsedForTheRun& operator=(const FileUsedForTheRun&) = delete;
  bool shared() const { return shared_; }  // another copy was using it: not emptied

 private:
  int fd_ = -1;
  bool shared_ = false;
};

// The temporary files of the program's writers (see above) in `folder` that no running writer holds,
// removed; the number removed. Every writer does this for its own folder; tests call it directly.
int remove_stale_temporaries(const std::string& folder);

}  // namespace morvell
