// Checked reading of the program's files. A file the program reads may have been replaced by anything:
// a folder, a pipe that nobody writes to, a device that never ends (/dev/zero) or a file far longer than
// any the program writes. These routines open only regular files, never wait on a pipe, read at most a
// given number of bytes and report a read error instead of taking it for the end of the file. A file that
// a copy of the program is rewriting in place is read once that copy has finished (see file_writing.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace morvell {

enum class FileReadStatus {
  ok,
  missing,      // no such file
  cannot_open,  // it exists but cannot be opened (no permission, ...)
  not_regular,  // a folder, a pipe, a device
  too_long,     // longer than the reader accepts
  read_error,   // reading failed part-way
};

struct FileReadResult {
  FileReadStatus status = FileReadStatus::ok;
  std::string reason;  // why, for the user ("it is a folder", "No such file or directory", ...); empty when ok
  bool ok() const { return status == FileReadStatus::ok; }
};

// The longest picture file the program reads (splash and background pictures, textures): a 4000 by 4000
// pixel bitmap of 32 bits fits; a longer file is refused rather than read into memory.
inline constexpr std::size_t kMaxBitmapFileBytes = std::size_t(64) << 20;

// Opens a regular file for reading in binary mode without waiting (a pipe without a writer cannot hold
// the program); nullptr, with the status and reason in `result`, for anything else.
std::FILE* open_regular_file(const std::string& path, FileReadResult& result);

// The whole content of a regular file of at most `max_bytes` bytes into `bytes` (emptied first).
FileReadResult read_regular_file(const std::string& path, std::size_t max_bytes, std::string& bytes);

}  // namespace morvell
