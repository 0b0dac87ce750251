#include "file_names.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "startup.h"

namespace morvell {

namespace {

bool text_holds(const std::string& bytes) { return QFile::encodeName(QFile::decodeName(QByteArray::fromStdString(bytes))).toStdString() == bytes; }

// The stand-in name of the start folder: /proc/self/fd/N for a descriptor held open on it for the run
// (opened again when the start folder changes); empty when it cannot be had.
std::string stand_in_folder() {
  static std::string opened_for;
  static int fd = -1;
  const std::string& start = start_directory_path();
  if (fd < 0 || opened_for != start) {
    if (fd >= 0) ::close(fd);
    fd = ::open(start.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    opened_for = start;
  }
  return fd < 0 ? std::string() : "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace

QString dialog_folder() {
  const std::string& start = start_directory_path();
  if (start.empty() || text_holds(start)) return QFile::decodeName(QByteArray::fromStdString(start));
  return QString::fromStdString(stand_in_folder());
}

std::string local_path(const QString& name) {
  const std::string bytes = QFile::encodeName(name).toStdString();
  const std::string& start = start_directory_path();
  if (start.empty() || text_holds(start)) return bytes;
  const std::string stand_in = stand_in_folder();
  if (stand_in.empty() || bytes.compare(0, stand_in.size(), stand_in) != 0) return bytes;
  if (bytes.size() == stand_in.size()) return start;
  if (bytes[stand_in.size()] != '/') return bytes;
  return start + bytes.substr(stand_in.size());
}

QString dialog_path(const std::string& bytes) {
  const std::string& start = start_directory_path();
  if (!text_holds(bytes) && !start.empty() && bytes.size() > start.size() && bytes[start.size()] == '/' &&
      bytes.compare(0, start.size(), start) == 0) {
    if (const std::string stand_in = stand_in_folder(); !stand_in.empty())
      return QFile::decodeName(QByteArray::fromStdString(stand_in + bytes.substr(start.size())));
  }
  return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QString shown_text(const std::string& bytes) {
  QString shown;
  static const char* const kHex = "0123456789ABCDEF";
  for (std::size_t i = 0; i < bytes.size();) {
    // The length of a well-formed UTF-8 character at i, 0 for none.
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char c = b(i);
    std::size_t n = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (n > 1 && i + n > bytes.size()) n = 0;
    for (std::size_t k = 1; k < n; ++k)
      if ((b(i + k) & 0xC0) != 0x80) n = 0;
    if (n == 3 && ((c == 0xE0 && b(i + 1) < 0xA0) || (c == 0xED && b(i + 1) >= 0xA0))) n = 0;  // overlong, surrogate
    if (n == 4 && ((c == 0xF0 && b(i + 1) < 0x90) || (c == 0xF4 && b(i + 1) >= 0x90))) n = 0;  // overlong, beyond U+10FFFF
    if (n == 0) {
      shown += QString("\\x") + QChar(kHex[c >> 4]) + QChar(kHex[c & 15]);
      ++i;
    } else {
      shown += QString::fromUtf8(bytes.data() + i, qsizetype(n));
      i += n;
    }
  }
  return shown;
}

std::string current_folder() {
  std::string current(PATH_MAX, '\0');
  while (!::getcwd(current.data(), current.size()) && errno == ERANGE) current.resize(current.size() * 2);
  current.resize(std::strlen(current.c_str()));
  return current;
}

}  // namespace morvell
