#include "preferences.h"

#include <cstdio>
#include <string>

#include "file_reading.h"
#include "file_writing.h"
#include "startup_values.h"

namespace morvell {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

enum class Scan { ok, end, junk };

// One "%d" conversion: white space, an optional sign, at least one digit. Values beyond the 32-bit
// range are clamped.
Scan scan_int(std::string_view text, std::size_t& pos, int32_t& value) {
  while (pos < text.size() && is_space(text[pos])) ++pos;
  if (pos >= text.size()) return Scan::end;
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') negative = text[pos++] == '-';
  int64_t v = 0;
  std::size_t digits = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    if (v <= int64_t(INT32_MAX) + 1) v = v * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  if (digits == 0) return Scan::junk;
  if (negative) v = -v;
  value = int32_t(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  return Scan::ok;
}

}  // namespace

Preferences parse_preferences(std::string_view text) {
  Preferences p;
  std::size_t pos = 0;
  int32_t step = 0;
  if (scan_int(text, pos, step) == Scan::ok) p.window_size_step = step;
  int32_t units = 1;
  if (scan_int(text, pos, units) == Scan::ok) p.unit_system = units;
  if (p.window_size_step > 0 || p.window_size_step < -3) p.window_size_step = 0;
  if (p.unit_system != 1 && p.unit_system != 2) p.unit_system = 1;
  return p;
}

void read_preferences(DesignData& d) {
  // The file holds two small numbers: anything but a regular file of at most 64 KiB (a folder, a pipe,
  // a device, a long foreign file) is taken as no preference file, so that the start cannot wait or
  // read without end.
  Preferences p;
  std::string text;
  if (read_regular_file(kPreferenceFileName, std::size_t(64) << 10, text).ok()) p = parse_preferences(text);
  d.window_size_step = p.window_size_step;
  d.unit_system = p.unit_system;
  set_unit_factors(d);
}

bool write_preferences(const DesignData& d, std::string* reason) {
  const std::string text = std::to_string(int(d.window_size_step)) + "\r\n" + std::to_string(int(d.unit_system));
  const FileWriteResult written = replace_file(kPreferenceFileName, text, WriteTarget::fixed);
  if (!written.ok() && reason) *reason = written.reason;
  return written.ok();
}

}  // namespace morvell
