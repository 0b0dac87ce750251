// The report file: the lines of the results pane as a rich-text (RTF) document, as a word processor
// opens it. Uses no Qt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morvell {

inline constexpr const char* kReportFileName = "report.rtf";

// The RTF document of `text` (UTF-8, lines ended by line feeds; the last line feed ends the last
// line) in the font `font_family` at `point_size` points. Tabs stay tabs; characters beyond ASCII are
// written as Unicode escapes; a byte that is not UTF-8 is written as '?'. With `tab_stops` (per line,
// in twips from the line start) every line is a paragraph with its own tab stops; without, the word
// processor's uniform ones apply.
std::string rich_text_report(std::string_view text, std::string_view font_family, int point_size,
                             const std::vector<std::vector<int>>& tab_stops = {});

// Writes the bytes to `path`, replacing the file. False when it could not be created or completely
// written, with a message for the user in *error.
bool write_text_file(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace morvell
