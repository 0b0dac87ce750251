// The report file: the lines of the results pane as a rich-text (RTF) document, as a word processor
// opens it. Uses no Qt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file_writing.h"

namespace morvell {

inline constexpr const char* kReportFileName = "report.rtf";

// The font of the report file: its family name (UTF-8), its size in points and whether every character
// of it is equally wide (which a word processor without the family falls back on).
struct RichTextFont {
  std::string family;
  int points = 8;
  bool fixed_pitch = false;
};

// The RTF document of `text` (UTF-8, lines ended by line feeds; the last line feed ends the last
// line) in `font`. Tabs stay tabs, but the blanks right before a tab are left out: a word processor
// measures them with metrics of its own, and the blanks that fit before a tab stop on screen may reach
// beyond it there, sending the value to the next stop. Characters beyond ASCII are written as Unicode
// escapes (in the font's name as the document's code page 1252 where it has them); a byte that is not
// UTF-8 is written as '?'. With `tab_stops` (per line, in twips from the line start) every line is a
// paragraph with its own tab stops; without, the word processor's uniform ones apply.
std::string rich_text_report(std::string_view text, const RichTextFont& font,
                             const std::vector<std::vector<int>>& tab_stops = {});

// Writes the bytes to `path`, replacing the file. False when it could not be created or completely
// written, with a message for the user in *error.
bool write_text_file(const std::string& path, const std::string& bytes, std::string* error,
                     WriteTarget target = WriteTarget::chosen);

}  // namespace morvell
