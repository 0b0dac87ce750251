// Checked writing of the program's files. Every file the program writes goes through these routines so
// that a full disk, a file-size limit or an input/output error is detected and reported before the old
// file is replaced, and the old file stays whole.
//
// A file is replaced by writing the new content into a temporary file beside it, flushing it to the
// disk and renaming it over the old one. The new file gets the owner, group, permissions and extended
// attributes of the file it replaces; where it cannot (another user's file, whose owner only an
// administrator could give the new file, or a folder that lets only a file's owner replace it), the
// file is rewritten in place, so that it stays the owner's. Before that, a whole copy of its content is
// put beside it under its name followed by ".mvbak" (backup_file_name), so that a write cut off by a
// crash or a kill leaves either the old content, the new content, or a torn file with that whole copy
// beside it; the copy is removed once the new content is whole. A copy already there (left by a write
// that was cut off) is kept instead of being replaced by a copy of a file that may be torn. Where no
// copy can be kept beside the file (a folder that takes no new file), the file is not rewritten and the
// message says why. Writers rewriting one file in place take a lock on it in turn, and the program's
// readers wait for it, so that neither two writes nor a read and a write mix.
//
// A device is written directly, without waiting for good: a device or pipe that takes nothing for
// several seconds ends the write with a message. A name the program gives itself (WriteTarget::fixed:
// preferences, history, report, search results, temp.mvl, the rack database) is written only as a
// regular file or a device: a pipe in its place is refused.
//
// A symbolic link is followed as the system follows it for a program that opens the file, and never
// further: in a folder that is sticky and writable by everyone (such as /tmp), a link is followed only
// when it belongs to the user or to the folder's owner, as the system's protection of such folders has
// it; a link another user put there is refused with a message naming the file. A link that names a file
// not there yet creates it. A loop of links is refused. An append to a regular file holds a lock on it,
// which other copies of the program appending to the same file wait for.
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

#include <cstddef>
#include <string>
#include <string_view>

namespace morvell {

struct FileWriteResult {
  std::string message;  // empty when all was written; otherwise "Cannot write <path>: <reason>"
  bool opened = true;   // false when the file (or its temporary file) could not be created at all
  std::string reason;   // the <reason> of the message ("the file is read-only", "No space left on device")
  bool ok() const { return message.empty(); }
};

// Who named the file: the user (a name chosen in a file dialog) or the program itself, whose fixed
// names are written only as regular files or devices.
enum class WriteTarget { chosen, fixed };

// Writes `bytes` as the whole new content of the file at `path`.
FileWriteResult replace_file(const std::string& path, std::string_view bytes,
                             WriteTarget target = WriteTarget::chosen);

// A bound on a file that only grows by appends: when an append would take it beyond `max_bytes`, its
// content goes whole to the file `older` (which it replaces) and the file starts again empty, in place.
struct AppendBound {
  std::size_t max_bytes = 0;  // 0: no bound
  std::string older;
};

// Appends `bytes` to the file at `path` (a name the program gives itself), creating it when missing.
// When not everything can be written, the file is cut back to its former length. A pipe is refused.
FileWriteResult append_file(const std::string& path, std::string_view bytes, const AppendBound& bound = {});

// Writes a file piece by piece and puts it in place only when every piece was written: until commit()
// the old file is untouched; destroying an uncommitted writer discards what was written.
class ReplacingFileWriter {
 public:
  explicit ReplacingFileWriter(std::string path, WriteTarget target = WriteTarget::chosen);
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
  void rewrite_in_place();

  std::string path_;    // the name the caller gave (for messages)
  std::string target_;  // the file that is replaced (symbolic links followed)
  std::string temp_;    // the temporary file, empty when writing directly
  std::string pending_;  // rewriting in place: the content, written at commit
  int fd_ = -1;
  bool direct_ = false;    // no temporary file: the bytes go into the file itself
  bool in_place_ = false;  // direct into an existing regular file: kept in pending_ until commit
  bool committed_ = false;
  bool opened_ = true;
  std::string message_;
  std::string reason_;
};

// The name of the copy kept beside `path` while it is rewritten in place: the file's name followed by
// ".mvbak" (a name too long for that is cut to make room).
std::string backup_file_name(const std::string& path);

// The file `path` names for writing, with its symbolic links followed as the writers follow them
// (see above); false, with the reason, for a link that is not followed or a loop of links.
bool path_for_writing(const std::string& path, std::string& target, std::string& reason);

// A file that each copy of the program started in a folder uses for its whole run, such as the history
// file: the object marks it as used (a shared lock while it lives). When no other copy has it marked,
// the file is emptied (created when missing) in place, so that copies started later see the mark; when
// another copy uses it, it is left as it is and the records of both follow each other. A file that
// cannot be emptied (read-only, no regular file, a link that is not followed) is left as it is.
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
