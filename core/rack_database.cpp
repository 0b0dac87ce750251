#include "rack_database.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "design_file.h"
#include "file_locks.h"
#include "file_reading.h"
#include "file_writing.h"
#include "numeric.h"

namespace morvell {

namespace {

// One record as it stands in the file.
struct RackRecord {
  std::string start_line;  // with its line end
  std::string name_line;   // with its line end
  float values[5][2]{};    // addendum, dedendum, fillet radius, pressure angle (twice), protuberance
  std::string end_line;    // with its line end, if the file has one there
};

struct RackFileContents {
  bool exists = false;
  FileReadResult read;     // how the reading of the file went (missing counts as no records)
  std::string first_line;  // with its line end; empty when the file has no line at all
  std::vector<RackRecord> records;
  int damaged_line = 0;  // line at which reading stopped on a damaged record, 0 when it did not
  std::size_t taken = 0;  // the length of the text up to the end of the last line the reading took
};

// No database comes near this length (a record takes about 100 bytes): a longer file, like an endless
// device, is refused rather than read into memory.
constexpr std::size_t kMaxRackFileBytes = std::size_t(4) << 20;

// The text with every line end (CR LF, LF or a CR alone) turned into LF.
std::string lines_of(const std::string& raw) {
  std::string text;
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\r') text += raw[i];
    else if (i + 1 >= raw.size() || raw[i + 1] != '\n') text += '\n';
  }
  return text;
}

// The position in `raw` of the position `at` of lines_of(raw) (which dropped the CR of each CR LF).
std::size_t raw_position(const std::string& raw, std::size_t at) {
  std::size_t i = 0;
  for (std::size_t n = 0; n < at && i < raw.size(); ++n, ++i)
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
  return i;
}

// Reads the text line by line, as the file is read: a line takes everything up to and including the
// next line end.
class RackLines {
 public:
  explicit RackLines(const std::string& text) : text_(text) {}

  bool only_blanks_left() const {
    for (std::size_t i = pos_; i < text_.size(); ++i)
      if (!std::isspace(static_cast<unsigned char>(text_[i]))) return false;
    return true;
  }
  // The number of the line read last; at the end of the text, the number of the line where a further
  // line would begin (the last line when the text ends without a line end).
  int line() const { return line_; }
  std::size_t position() const { return pos_; }
  int missing_line() const {
    int n = 1;
    for (const char c : text_)
      if (c == '\n') ++n;
    return n;
  }

  bool read_line(std::string& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', pos_);
    const std::size_t next = end == std::string::npos ? text_.size() : end + 1;
    line.assign(text_, pos_, next - pos_);
    pos_ = next;
    ++line_;
    return true;
  }

 private:
  const std::string& text_;
  std::size_t pos_ = 0;
  int line_ = 0;
};

// A number line of a record: exactly two finite numbers, with nothing but blanks around them.
bool parse_pair(const std::string& line, float (&pair)[2]) {
  const char* p = line.c_str();
  const char* const end = p + line.size();
  for (float& v : pair) {
    char* stop = nullptr;
    v = std::strtof(p, &stop);
    if (stop == p || !std::isfinite(v)) return false;
    p = stop;
  }
  for (; p < end; ++p)
    if (!std::isspace(static_cast<unsigned char>(*p))) return false;
  return true;
}

// Reads the records in file order, at most `limit` of them (negative: all). A record is eight lines
// whatever they hold: a start line, the name, five number lines and an end line (the markers are not
// checked). Each number line is read on its own, so that a damaged line is reported at its own number
// and no value of one line or record slides into another.
RackFileContents parse_rack_text(const std::string& text, int limit = -1) {
  RackFileContents contents;
  contents.exists = true;
  RackLines lines(text);
  if (!lines.read_line(contents.first_line)) return contents;
  contents.taken = lines.position();
  while (limit < 0 || int(contents.records.size()) < limit) {
    if (lines.only_blanks_left()) break;  // the records end (blank lines at the end are no record)
    RackRecord r;
    lines.read_line(r.start_line);
    // A name has at most 510 characters: a longer line is no name line of this database.
    if (!lines.read_line(r.name_line)) {
      contents.damaged_line = lines.missing_line();
      break;
    }
    if (r.name_line.size() > kFileLineSize - 1) {
      contents.damaged_line = lines.line();
      break;
    }
    std::string number_line;
    for (int row = 0; row < 5 && !contents.damaged_line; ++row) {
      if (!lines.read_line(number_line)) contents.damaged_line = lines.missing_line();
      else if (!parse_pair(number_line, r.values[row]) || !rack_value_usable(row, r.values[row][0]) ||
               !rack_value_usable(row, r.values[row][1]))
        contents.damaged_line = lines.line();
      else if (row == 1 && !(rack_height_ok(r.values[0][0], r.values[1][0]) &&
                             rack_height_ok(r.values[0][1], r.values[1][1])))
        contents.damaged_line = lines.line();  // a rack tooth without height
    }
    if (contents.damaged_line) break;
    lines.read_line(r.end_line);  // a record cut off after its numbers still holds all its values
    contents.records.push_back(std::move(r));
    contents.taken = lines.position();
  }
  return contents;
}

RackFileContents parse_rack_file(const std::string& path, int limit = -1) {
  std::string raw;
  const FileReadResult read = read_regular_file(path, kMaxRackFileBytes, raw);
  if (!read.ok()) {
    RackFileContents contents;
    contents.read = read;
    return contents;
  }
  return parse_rack_text(lines_of(raw), limit);
}

BasicRack rack_of(const RackRecord& r) {
  BasicRack rack{};
  for (int i = 0; i < 2; ++i) {
    rack.addendum_coeff[i] = r.values[0][i];
    rack.dedendum_coeff[i] = r.values[1][i];
    rack.fillet_radius_coeff[i] = r.values[2][i];
    rack.protuberance[i] = r.values[4][i];
  }
  rack.pressure_angle = r.values[3][1];  // both numbers of the line go to the one angle: the second stays
  return rack;
}

void store_record(DesignData& d, const RackRecord& r) {
  d.basic_rack = rack_of(r);
  copy_text(d.file_line, r.name_line);
}

std::string shown_number(float v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
  return text;
}

std::string print(const char* format, double a, double b) {
  const int n = std::snprintf(nullptr, 0, format, a, b);
  std::string s(std::size_t(n > 0 ? n : 0), '\0');
  std::snprintf(s.data(), s.size() + 1, format, a, b);
  return s;
}

// Text written in text mode: every line feed becomes CR LF.
std::string text_mode(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The file gets the text whole or stays as it was.
FileWriteResult write_file(const std::string& path, const std::string& text) {
  return replace_file(path, text_mode(text), WriteTarget::fixed);
}

std::string number_lines(const float (&values)[5][2], const char* format) {
  std::string s;
  for (const auto& pair : values) s += print(format, pair[0], pair[1]);
  return s;
}

RackFileResult damaged(const RackFiles& files, int line, const std::string& consequence = "") {
  RackFileResult result;
  result.damaged_line = line;
  result.problem = "Basic rack database " + files.data + " is damaged at line " + std::to_string(line) + consequence;
  return result;
}

// A database that exists but cannot be read (a folder, a pipe, a device, too long, a read error).
bool unreadable(const RackFileContents& contents) {
  return !contents.read.ok() && contents.read.status != FileReadStatus::missing;
}

RackFileResult cannot_read(const std::string& path, const FileReadResult& read, const std::string& consequence = "") {
  RackFileResult result;
  result.problem = "Basic rack database " + path + " cannot be read: " + read.reason + consequence;
  return result;
}

RackFileResult cannot_write(const std::string& path, const FileWriteResult& written,
                            const std::string& consequence = "") {
  RackFileResult result;
  result.problem = "Basic rack database " + path + " cannot be written";
  if (!written.reason.empty()) result.problem += " (" + written.reason + ")";
  result.problem += consequence;
  return result;
}

// A new rack's name on one line: its line ends become blanks.
std::string name_for_file(std::string_view name) {
  std::string s(name);
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

// The characters of a UTF-8 text (a byte that starts none counts as one).
std::size_t characters(std::string_view text) {
  std::size_t n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string list_entry(const RackRecord& r) {
  std::string entry = r.name_line;
  if (!entry.empty()) entry.back() = ' ';  // the line end shows as one blank
  return entry;
}

ListedRack listed_rack(const RackRecord& r) { return {list_entry(r), rack_of(r)}; }

bool same_rack(const BasicRack& a, const BasicRack& b) {
  for (int i = 0; i < 2; ++i)
    if (a.addendum_coeff[i] != b.addendum_coeff[i] || a.dedendum_coeff[i] != b.dedendum_coeff[i] ||
        a.fillet_radius_coeff[i] != b.fillet_radius_coeff[i] || a.protuberance[i] != b.protuberance[i])
      return false;
  return a.pressure_angle == b.pressure_angle;
}

// Whether the record at `position` of the file read is the rack the list showed there.
bool holds_listed(const RackFileContents& contents, int position, const ListedRack& listed) {
  if (position < 0 || std::size_t(position) >= contents.records.size()) return false;
  const ListedRack now = listed_rack(contents.records[std::size_t(position)]);
  return now.entry == listed.entry && same_rack(now.rack, listed.rack);
}

RackFileResult changed_since_listed(const RackFiles& files, const char* consequence) {
  RackFileResult result;
  result.changed = true;
  result.problem = "Basic rack database " + files.data + " was changed since its list was read (by another copy "
                   "of the program?): " + consequence + "; the list is read again";
  return result;
}

// A lock on the data file from the reading of the database to the replacing of it. The lock is taken
// on the file that bears the name once it is held: a writer that replaced the file meanwhile left its
// lock on the file before. The file is reached as the writers reach it (a link another user put in a
// shared folder is not followed). Where no lock can be had (a folder the user may not create the file
// in, a file system without locks, such a link), the reading and the writing go on and report what
// fails; a lock another program keeps for more than a few seconds is not waited for (kept_by_another).
class DatabaseLock {
 public:
  explicit DatabaseLock(const std::string& path) {
    std::string target, refusal;
    if (!path_for_writing(path, target, refusal)) return;
    for (int attempt = 0; attempt < 100; ++attempt) {
      fd_ = ::open(target.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd_ < 0) return;
      struct stat held {}, named {};
      if (::fstat(fd_, &held) != 0 || !S_ISREG(held.st_mode)) break;
      if (!lock_within(kFileLockWaitMs)) {
        kept_by_another_ = true;
        break;
      }
      if (::lstat(target.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino) return;
      ::close(fd_);
      fd_ = -1;
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  ~DatabaseLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  DatabaseLock(const DatabaseLock&) = delete;
  DatabaseLock& operator=(const DatabaseLock&) = delete;
  bool kept_by_another() const { return kept_by_another_; }

 private:
  bool lock_within(int wait_ms) {
    for (int waited = 0;; waited += 5) {
      if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
      if (errno != EWOULDBLOCK && errno != EINTR) return true;  // no locks here: go on without
      if (waited >= wait_ms) return false;
      ::usleep(5000);
    }
  }

  int fd_ = -1;
  bool kept_by_another_ = false;
};

RackFileResult kept_locked(const RackFiles& files, const char* consequence) {
  RackFileResult result;
  result.problem = "Basic rack database " + files.data + " is kept locked by another program: " + consequence;
  return result;
}

}  // namespace

namespace {

bool in_rack_range(int row, float v) {
  switch (row) {
    case 0: return rack_addendum_ok(v);
    case 1: return rack_dedendum_ok(v);
    case 2: return rack_fillet_ok(v);
    case 3: return pressure_angle_ok(v);
    case 4: return rack_protuberance_ok(v);
    default: return false;
  }
}

float rack_value(const BasicRack& rack, int row, int gear) {
  switch (row) {
    case 0: return rack.addendum_coeff[gear];
    case 1: return rack.dedendum_coeff[gear];
    case 2: return rack.fillet_radius_coeff[gear];
    case 3: return rack.pressure_angle;
    default: return rack.protuberance[gear];
  }
}

}  // namespace

bool rack_value_usable(int row, float v) {
  if (!std::isfinite(v)) return false;
  char text[64];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(v));
  const float written = std::strtof(text, nullptr);  // what a reader of the database will find
  // A value and the value the database gives back: both in range, so that what is stored reads back.
  return in_rack_range(row, v) && in_rack_range(row, written);
}

std::string rack_value_name(int row, int gear) {
  static const char* const kNames[5] = {"addendum coefficient", "dedendum coefficient", "fillet radius coefficient",
                                        "pressure angle", "protuberance"};
  if (row < 0 || row > 4) return {};
  return row == 3 ? kNames[3] : std::string(kNames[row]) + (gear == 0 ? " (pinion)" : " (wheel)");
}

std::string rack_value_range(int row) {
  switch (row) {
    case 0: return shown_number(-kMaxRackValue) + " to " + shown_number(kMaxRackValue);
    case 1: return shown_number(-kMaxRackValue) + " to " + shown_number(kLargestRackDedendum);
    case 2: return "0 to " + shown_number(float(kFilletPerModule));
    case 3: return shown_number(kSmallestPressureAngle) + " to " + shown_number(kLargestPressureAngle) + " degrees";
    case 4: return "0 to " + shown_number(kMaxRackValue) + " mm";
    default: return {};
  }
}

std::string rack_value_problem(const BasicRack& rack, int row, int gear) {
  if (row < 0 || row > 4 || gear < 0 || gear > 1) return {};
  const float v = rack_value(rack, row, gear);
  if (!rack_value_usable(row, v))
    return rack_value_name(row, gear) + " " + shown_number(v) + " is out of range (" + rack_value_range(row) + ")";
  if ((row == 0 || row == 1) && !rack_height_ok(rack.addendum_coeff[gear], rack.dedendum_coeff[gear]))
    return std::string("addendum and dedendum coefficients (") + (gear == 0 ? "pinion" : "wheel") + ") " +
           shown_number(rack.addendum_coeff[gear]) + " and " + shown_number(rack.dedendum_coeff[gear]) +
           ": together they must be greater than 0";
  return {};
}

std::string rack_problem(const BasicRack& rack) {
  // Each value in its range first, then the height of each rack tooth.
  for (int row = 0; row < 5; ++row)
    for (int gear = 0; gear < 2; ++gear)
      if (!rack_value_usable(row, rack_value(rack, row, gear))) return rack_value_problem(rack, row, gear);
  for (int gear = 0; gear < 2; ++gear)
    if (std::string problem = rack_value_problem(rack, 1, gear); !problem.empty()) return problem;
  return {};
}

RackFileResult read_rack_database(DesignData& d, std::vector<std::string>& names, const RackFiles& files,
                                  std::vector<ListedRack>* listed) {
  names.clear();
  if (listed) listed->clear();
  const RackFileContents contents = parse_rack_file(files.data);
  d.list_counter = 0;
  if (unreadable(contents)) return cannot_read(files.data, contents.read);
  for (const RackRecord& r : contents.records) {
    names.push_back(list_entry(r));
    if (listed) listed->push_back(listed_rack(r));
    store_record(d, r);
    d.list_counter += 1;
  }
  if (contents.damaged_line) return damaged(files, contents.damaged_line);
  return {};
}

RackFileResult read_rack_database_up_to(DesignData& d, const RackFiles& files, const ListedRack* listed) {
  if (d.rack_selected < 0) return {};
  const RackFileContents contents = parse_rack_file(files.data, d.rack_selected + 1);
  if (unreadable(contents)) return cannot_read(files.data, contents.read);
  if (listed && !holds_listed(contents, d.rack_selected, *listed)) return changed_since_listed(files, "no rack was loaded");
  d.list_counter = 0;
  for (const RackRecord& r : contents.records) {
    store_record(d, r);
    d.list_counter += 1;
  }
  if (contents.damaged_line) return damaged(files, contents.damaged_line);
  return {};
}

RackFileResult append_rack(DesignData& d, const RackFiles& files) {
  const BasicRack& rack = d.basic_rack;
  const float values[5][2] = {{rack.addendum_coeff[0], rack.addendum_coeff[1]},
                              {rack.dedendum_coeff[0], rack.dedendum_coeff[1]},
                              {rack.fillet_radius_coeff[0], rack.fillet_radius_coeff[1]},
                              {rack.pressure_angle, rack.pressure_angle},
                              {rack.protuberance[0], rack.protuberance[1]}};
  // A rack the reader would refuse is not stored; the message names the value.
  if (const std::string problem = rack_problem(rack); !problem.empty()) {
    RackFileResult result;
    result.problem = "The basic rack was not stored in " + files.data + ": " + problem;
    return result;
  }
  const std::string name = name_for_file(text_of(d.file_line));
  if (const std::string problem = rack_name_problem(name, files); !problem.empty()) {
    RackFileResult result;
    result.problem = problem;
    return result;
  }
  // The record goes right after the last one the reader takes, so that it is listed as the last rack:
  // what follows that record (blank lines, blanks) is dropped, since the reader would take a blank line
  // for the start of a record, and a last record without its end line gets one. A database that is
  // damaged is not stored into: the new record would stand behind the damage, where no list shows it.
  // The file is rewritten whole, so a failed write leaves it as it was.
  const DatabaseLock lock(files.data);
  if (lock.kept_by_another()) return kept_locked(files, "the basic rack was not stored");
  std::string bytes;
  const FileReadResult read = read_regular_file(files.data, kMaxRackFileBytes, bytes);
  if (!read.ok() && read.status != FileReadStatus::missing)
    return cannot_read(files.data, read, ": the basic rack was not stored");
  const RackFileContents before = parse_rack_text(lines_of(bytes));
  if (before.damaged_line) return damaged(files, before.damaged_line, ": the basic rack was not stored");
  bytes.resize(raw_position(bytes, before.taken));
  if (bytes.empty() || (bytes.back() != '\n' && bytes.back() != '\r')) bytes += "\r\n";
  if (!before.records.empty() && before.records.back().end_line.empty()) bytes += "r>\r\n";
  bytes += text_mode("<r\n" + name + "\n" + number_lines(values, "%10.6f %10.6f\n") + "r>");
  // The database as the list will read it: every rack it held, then the new one.
  const RackFileContents after = parse_rack_text(lines_of(bytes));
  if (after.damaged_line || after.records.size() != before.records.size() + 1 ||
      list_entry(after.records.back()) != name + " ") {
    RackFileResult result;
    result.problem = "The basic rack could not be placed after the last rack of " + files.data + ": it was not stored";
    return result;
  }
  if (const FileWriteResult written = replace_file(files.data, bytes, WriteTarget::fixed); !written.ok())
    return cannot_write(files.data, written);
  return {};
}

std::string rack_name_problem(std::string_view name, const RackFiles& files) {
  if (name.size() <= kMaxRackNameBytes) return {};
  return "The basic rack was not stored in " + files.data + ": its name takes " + std::to_string(name.size()) +
         " bytes (" + std::to_string(characters(name)) + " characters), more than the " +
         std::to_string(kMaxRackNameBytes) + " a name may take (a character beyond ASCII takes two to four)";
}

RackFileResult delete_rack(DesignData& d, const RackFiles& files, const ListedRack* listed) {
  const DatabaseLock lock(files.data);
  if (lock.kept_by_another()) return kept_locked(files, "nothing was deleted");
  // Copy: the whole database into the scratch file, numbers in "%f %f" form.
  const RackFileContents original = parse_rack_file(files.data);
  if (unreadable(original)) return cannot_read(files.data, original.read, ": nothing was deleted");
  if (original.damaged_line) return damaged(files, original.damaged_line, ": nothing was deleted");
  if (listed && !holds_listed(original, d.rack_selected, *listed)) return changed_since_listed(files, "nothing was deleted");
  std::string copy;
  if (!original.first_line.empty()) {
    copy = original.first_line;
    for (const RackRecord& r : original.records)
      copy += r.start_line + r.name_line + number_lines(r.values, "%f %f\n") + r.end_line;
  }
  if (const FileWriteResult written = write_file(files.scratch, copy); !written.ok())
    return cannot_write(files.scratch, written, ": nothing was deleted");

  // Rewrite: the data file from the scratch copy without the selected record. The copy is read back
  // before the data file is emptied, so a copy that did not reach the disk loses nothing.
  const RackFileContents scratch = parse_rack_file(files.scratch);
  if (!scratch.exists || scratch.damaged_line || scratch.records.size() != original.records.size())
    return cannot_write(files.scratch, {}, ": nothing was deleted");
  std::string rewritten;
  d.list_counter = 0;
  for (const RackRecord& r : scratch.records) {
    store_record(d, r);
    if (d.list_counter != d.rack_selected)
      rewritten += "\n<r\n" + r.name_line + number_lines(r.values, "%f %f\n") + "r>";
    d.list_counter += 1;
  }
  if (const FileWriteResult written = write_file(files.data, rewritten); !written.ok())
    return cannot_write(files.data, written, "; " + files.scratch + " holds the database as it was");
  return {};
}

float max_rack_fillet_coeff(float normal_pressure_angle, float dedendum_coeff) {
  const ld a = deg_to_rad(normal_pressure_angle);
  const ld s = std::sin(a);
  return float((kPi / 4 * std::cos(a) - s * ld(dedendum_coeff)) / (1 - s));
}

int RackNameSequence::next() {
  state_ = state_ * 22695477u + 1u;
  return int((state_ >> 16) & 0x7fffu);
}

std::string RackNameSequence::next_name() {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "New rack %5d", next());
  return buffer;
}

}  // namespace morvell
