#include "rack_database.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "design_file.h"
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
};

// No database comes near this length (a record takes about 100 bytes): a longer file, like an endless
// device, is refused rather than read into memory.
constexpr std::size_t kMaxRackFileBytes = std::size_t(4) << 20;

// The whole file with every line end (CR LF, LF or a CR alone) turned into LF.
FileReadResult load_text(const std::string& path, std::string& text) {
  std::string raw;
  const FileReadResult read = read_regular_file(path, kMaxRackFileBytes, raw);
  text.clear();
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\r') text += raw[i];
    else if (i + 1 >= raw.size() || raw[i + 1] != '\n') text += '\n';
  }
  return read;
}

// The values a record may hold: the pressure angle becomes the design's normal pressure angle, which
// lies between 0 and 90 degrees; the coefficients are multiples of the module and the protuberance is
// in mm, far below this bound in any rack, so that every length derived from them stays a number.
constexpr float kMaxRackValue = 100.0f;

bool rack_values_usable(int row, const float (&pair)[2]) {
  for (const float v : pair) {
    if (!std::isfinite(v)) return false;
    if (row == 3 ? !file_pressure_angle_ok(v) : std::fabs(v) > kMaxRackValue) return false;
  }
  return true;
}

// Reads the text as the file is read line by line and scanned with "%f %f\n": a line read takes
// everything up to and including the next line end; a scan skips white space (line ends included)
// around and after the two numbers.
class RackReader {
 public:
  explicit RackReader(const std::string& text) : text_(text) {}

  bool at_end() const { return pos_ >= text_.size(); }
  bool only_blanks_left() const {
    for (std::size_t i = pos_; i < text_.size(); ++i)
      if (!std::isspace(static_cast<unsigned char>(text_[i]))) return false;
    return true;
  }
  int line() const { return line_at(pos_); }
  // The line on which the last pair scanned begins.
  int pair_line() const { return line_at(pair_start_); }

  bool read_line(std::string& line) {
    if (at_end()) return false;
    const std::size_t end = text_.find('\n', pos_);
    const std::size_t next = end == std::string::npos ? text_.size() : end + 1;
    line.assign(text_, pos_, next - pos_);
    pos_ = next;
    return true;
  }

  // Two finite numbers; false (and the position at the failing number) otherwise.
  bool scan_pair(float (&pair)[2]) {
    skip_blanks();
    pair_start_ = pos_;
    for (float& v : pair) {
      skip_blanks();
      const char* start = text_.c_str() + pos_;
      char* stop = nullptr;
      v = std::strtof(start, &stop);
      if (stop == start || !std::isfinite(v)) return false;
      pos_ += std::size_t(stop - start);
    }
    skip_blanks();
    return true;
  }

 private:
  void skip_blanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }

  int line_at(std::size_t pos) const {
    int n = 1;
    for (std::size_t i = 0; i < pos && i < text_.size(); ++i)
      if (text_[i] == '\n') ++n;
    return n;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
  std::size_t pair_start_ = 0;
};

// Reads the records in file order, at most `limit` of them (negative: all).
RackFileContents parse_rack_file(const std::string& path, int limit = -1) {
  RackFileContents contents;
  std::string text;
  contents.read = load_text(path, text);
  if (!contents.read.ok()) return contents;
  contents.exists = true;
  RackReader reader(text);
  if (!reader.read_line(contents.first_line)) return contents;
  while (limit < 0 || int(contents.records.size()) < limit) {
    if (reader.only_blanks_left()) break;  // the records end (blank lines at the end are no record)
    RackRecord r;
    reader.read_line(r.start_line);
    // A name has at most 510 characters: a longer line is no name line of this database.
    const int name_line = reader.line();
    if (!reader.read_line(r.name_line) || r.name_line.size() > kFileLineSize - 1) {
      contents.damaged_line = r.name_line.empty() ? reader.line() : name_line;
      break;
    }
    int bad_line = 0;
    for (int row = 0; row < 5 && !bad_line; ++row) {
      if (!reader.scan_pair(r.values[row])) bad_line = reader.line();
      else if (!rack_values_usable(row, r.values[row])) bad_line = reader.pair_line();  // numbers, but not of a rack
    }
    if (bad_line) {
      contents.damaged_line = bad_line;
      break;
    }
    reader.read_line(r.end_line);  // a record cut off after its numbers still holds all its values
    contents.records.push_back(std::move(r));
  }
  return contents;
}

void store_record(DesignData& d, const RackRecord& r) {
  BasicRack& rack = d.basic_rack;
  for (int i = 0; i < 2; ++i) {
    rack.addendum_coeff[i] = r.values[0][i];
    rack.dedendum_coeff[i] = r.values[1][i];
    rack.fillet_radius_coeff[i] = r.values[2][i];
    rack.protuberance[i] = r.values[4][i];
  }
  rack.pressure_angle = r.values[3][1];  // both numbers of the line go to the one angle: the second stays
  copy_text(d.file_line, r.name_line);
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
bool write_file(const std::string& path, const std::string& text) { return replace_file(path, text_mode(text)).ok(); }

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

RackFileResult cannot_write(const std::string& path, const std::string& consequence = "") {
  RackFileResult result;
  result.problem = "Basic rack database " + path + " cannot be written" + consequence;
  return result;
}

// A new rack's name on one line of at most 510 characters, cut at a character boundary.
std::string name_for_file(std::string_view name) {
  std::string s(name);
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  constexpr std::size_t kMaxName = kFileLineSize - 2;
  if (s.size() > kMaxName) {
    std::size_t n = kMaxName;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    s.resize(n);
  }
  return s;
}

}  // namespace

RackFileResult read_rack_database(DesignData& d, std::vector<std::string>& names, const RackFiles& files) {
  names.clear();
  const RackFileContents contents = parse_rack_file(files.data);
  d.list_counter = 0;
  if (unreadable(contents)) return cannot_read(files.data, contents.read);
  for (const RackRecord& r : contents.records) {
    std::string entry = r.name_line;
    if (!entry.empty()) entry.back() = ' ';  // the line end shows as one blank
    names.push_back(std::move(entry));
    store_record(d, r);
    d.list_counter += 1;
  }
  if (contents.damaged_line) return damaged(files, contents.damaged_line);
  return {};
}

RackFileResult read_rack_database_up_to(DesignData& d, const RackFiles& files) {
  if (d.rack_selected < 0) return {};
  const RackFileContents contents = parse_rack_file(files.data, d.rack_selected + 1);
  d.list_counter = 0;
  if (unreadable(contents)) return cannot_read(files.data, contents.read);
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
  // The reader takes only finite numbers: a rack it would refuse is not stored.
  for (int row = 0; row < 5; ++row)
    if (!rack_values_usable(row, values[row])) {
      RackFileResult result;
      result.problem = "The basic rack was not stored in " + files.data + ": a value is out of range";
      return result;
    }
  // The record goes after the last one on a line of its own, whatever the file ends with: blank lines
  // or blanks after the last record are dropped, since the reader would take a blank line for the
  // start of the record. The file is rewritten whole, so a failed write leaves it as it was.
  std::string bytes;
  const FileReadResult read = read_regular_file(files.data, kMaxRackFileBytes, bytes);
  if (!read.ok() && read.status != FileReadStatus::missing)
    return cannot_read(files.data, read, ": the basic rack was not stored");
  while (!bytes.empty() && std::string_view(" \t\r\n").find(bytes.back()) != std::string_view::npos) bytes.pop_back();
  bytes += text_mode("\n<r\n" + name_for_file(text_of(d.file_line)) + "\n" +
                     number_lines(values, "%10.6f %10.6f\n") + "r>");
  if (!replace_file(files.data, bytes).ok()) return cannot_write(files.data);
  return {};
}

RackFileResult delete_rack(DesignData& d, const RackFiles& files) {
  // Copy: the whole database into the scratch file, numbers in "%f %f" form.
  const RackFileContents original = parse_rack_file(files.data);
  if (unreadable(original)) return cannot_read(files.data, original.read, ": nothing was deleted");
  if (original.damaged_line) return damaged(files, original.damaged_line, ": nothing was deleted");
  std::string copy;
  if (!original.first_line.empty()) {
    copy = original.first_line;
    for (const RackRecord& r : original.records)
      copy += r.start_line + r.name_line + number_lines(r.values, "%f %f\n") + r.end_line;
  }
  if (!write_file(files.scratch, copy)) return cannot_write(files.scratch, ": nothing was deleted");

  // Rewrite: the data file from the scratch copy without the selected record. The copy is read back
  // before the data file is emptied, so a copy that did not reach the disk loses nothing.
  const RackFileContents scratch = parse_rack_file(files.scratch);
  if (!scratch.exists || scratch.damaged_line || scratch.records.size() != original.records.size())
    return cannot_write(files.scratch, ": nothing was deleted");
  std::string rewritten;
  d.list_counter = 0;
  for (const RackRecord& r : scratch.records) {
    store_record(d, r);
    if (d.list_counter != d.rack_selected)
      rewritten += "\n<r\n" + r.name_line + number_lines(r.values, "%f %f\n") + "r>";
    d.list_counter += 1;
  }
  if (!write_file(files.data, rewritten))
    return cannot_write(files.data, "; " + files.scratch + " holds the database as it was");
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
