#include "report_file.h"

#include <algorithm>
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

// A character beyond ASCII as Unicode escapes (two for one beyond the 16-bit range).
void escape_beyond_ascii(std::string& out, long cp) {
  if (cp < 0x10000) {
    unicode_escape(out, cp);
  } else {  // a surrogate pair
    const long v = cp - 0x10000;
    unicode_escape(out, 0xD800 + (v >> 10));
    unicode_escape(out, 0xDC00 + (v & 0x3FF));
  }
}

// The byte of code page 1252 for a character beyond ASCII, or -1 where the code page has none.
int cp1252_byte(long cp) {
  if (cp >= 0xA0 && cp <= 0xFF) return int(cp);
  static const long high[32] = {0x20AC, -1,     0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, -1,     0x017D, -1,
                                -1,     0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, -1,     0x017E, 0x0178};
  for (int i = 0; i < 32; ++i)
    if (high[i] == cp) return 0x80 + i;
  return -1;
}

// A font name in the font table, where plain text is read in the document's code page: characters of
// code page 1252 as \'hh, others as Unicode escapes; the table's own delimiters and control characters
// are left out.
void font_name(std::string& out, std::string_view name) {
  static const char* const hex = "0123456789abcdef";
  for (std::size_t i = 0; i < name.size();) {
    const long cp = decode_utf8(name, i);
    if (cp < 0x20 || cp == 0x7F || cp == '\\' || cp == '{' || cp == '}' || cp == ';') continue;
    if (cp < 0x80) {
      out += char(cp);
    } else if (const int b = cp1252_byte(cp); b >= 0) {
      out += "\\'";
      out += hex[b >> 4];
      out += hex[b & 15];
    } else {
      escape_beyond_ascii(out, cp);
    }
  }
}

}  // namespace

std::string rich_text_report(std::string_view text, const RichTextFont& font,
                             const std::vector<std::vector<int>>& tab_stops) {
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0";
  out += font.fixed_pitch ? "\\fmodern " : "\\fnil ";
  font_name(out, font.family);
  out += ";}}\r\n\\f0\\fs" + std::to_string(font.points * 2) + " ";
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
    } else if (c == ' ') {
      const std::size_t end = std::min(text.find_first_not_of(' ', i), text.size());
      if (end == text.size() || text[end] != '\t') out.append(end - i, ' ');  // none before a tab
      i = end;
    } else if (c == '\t') {
      out += "\\tab ";
      ++i;
    } else if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
      ++i;
    } else {
      const long cp = decode_utf8(text, i);
      if (cp < 0) out += '?';
      else if (cp < 0x80) out += char(cp);
      else escape_beyond_ascii(out, cp);
    }
  }
  out += "}\r\n";
  return out;
}

bool write_text_file(const std::string& path, const std::string& bytes, std::string* error, WriteTarget target) {
  const FileWriteResult r = replace_file(path, bytes, target);
  if (!r.ok() && error) *error = r.message;
  return r.ok();
}

}  // namespace morvell
