#include "report_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "file_writing.h"

namespace morvell {

namespace {

// Decodes one UTF-8 character at text[i]; returns its code point and advances i, or returns -1 for a
// byte that does not start a valid sequence (advancing by one).
long decode_utf8(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b0 = byte(i);
  int extra = 0;
  long cp = 0;
  if (b0 < 0x80) {
    ++i;
    return b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    cp = b0 & 0x07;
  } else {
    ++i;
    return -1;
  }
  if (i + std::size_t(extra) >= text.size()) {
    ++i;
    return -1;
  }
  for (int k = 1; k <= extra; ++k) {
    const unsigned char b = byte(i + std::size_t(k));
    if ((b & 0xC0) != 0x80) {
      ++i;
      return -1;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  i += std::size_t(extra) + 1;
  return cp;
}

void unicode_escape(std::string& out, long unit) {
  // RTF's \u takes a signed 16-bit number; '?' is what a reader without Unicode shows.
  if (unit > 32767) unit -= 65536;
  out += "\\u" + std::to_string(unit) + "?";
}

}  // namespace

std::string rich_text_report(std::string_view text, std::string_view font_family, int point_size,
                             const std::vector<std::vector<int>>& tab_stops) {
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern ";
  for (char c : font_family)
    if (c != '\\' && c != '{' && c != '}' && c != ';' && static_cast<unsigned char>(c) >= 0x20) out += c;
  out += ";}}\r\n\\f0\\fs" + std::to_string(point_size * 2) + " ";
  std::size_t line = 0;
  // Each line a paragraph with its own tab stops (none: those of the document).
  auto begin_paragraph = [&] {
    if (tab_stops.empty()) return;
    out += "\\pard";
    if (line < tab_stops.size())
      for (const int twips : tab_stops[line]) out += "\\tx" + std::to_string(twips);
    out += ' ';
  };
  std::size_t i = 0;
  if (!text.empty()) begin_paragraph();
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') {
      out += "\\par\r\n";
      ++i;
      ++line;
      if (i < text.size()) begin_paragraph();
    } else if (c == '\r') {
      ++i;
    } else if (c == '\t') {
      out += "\\tab ";
      ++i;
    } else if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
      ++i;
    } else {
      const long cp = decode_utf8(text, i);
      if (cp < 0) {
        out += '?';
      } else if (cp < 0x80) {
        out += char(cp);
      } else if (cp < 0x10000) {
        unicode_escape(out, cp);
      } else {  // a surrogate pair
        const long v = cp - 0x10000;
        unicode_escape(out, 0xD800 + (v >> 10));
        unicode_escape(out, 0xDC00 + (v & 0x3FF));
      }
    }
  }
  out += "}\r\n";
  return out;
}

bool write_text_file(const std::string& path, const std::string& bytes, std::string* error) {
  const FileWriteResult r = replace_file(path, bytes);
  if (!r.ok() && error) *error = r.message;
  return r.ok();
}

}  // namespace morvell
