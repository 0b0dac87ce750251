// The results pane of the main window: 100 text lines that the reports write by line index.
//
// The pane never gains or loses lines through a report: writing line i replaces the whole text of that
// line, and writing a line the pane does not hold does nothing. The geometry report, the two rating
// reports, the report file and printing all read and write the same lines, which live in the pane's
// text document (one block per line), so what is shown is what is saved and printed.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QTextDocument;
class QTextEdit;

namespace morvell {

// The text of printf-style `format` with its arguments, of whatever length it needs (no fixed line
// buffer). A value that is not a number or infinite prints as the C library writes it ("nan", "inf").
std::string format_line(const char* format, ...) __attribute__((format(printf, 1, 2)));

class ResultsPane {
 public:
  static constexpr int kLineCount = 100;

  // Works on the lines of `view` (not owned). A pane that holds fewer than 100 lines is given the
  // missing empty lines at its end; the undo history of the pane is switched off, since the reports
  // rewrite it on every refresh and nobody edits it; the tab stops are set to keep the report
  // columns aligned in the pane's font.
  //
  // Writes are gathered and reach the pane together, in one edit, when the object is destroyed or
  // flush() is called: a report that empties its lines and then writes them changes each line of the
  // pane at most once, and a line whose text stays the same is not touched. Use one ResultsPane at a
  // time for a pane.
  explicit ResultsPane(QTextEdit* view);
  ~ResultsPane();
  ResultsPane(const ResultsPane&) = delete;
  ResultsPane& operator=(const ResultsPane&) = delete;

  // Number of lines the pane holds (100 unless something else inserted lines into its document).
  int line_count() const;

  // Replaces the text of line `index`; nothing happens when the pane has no such line. Line breaks
  // inside `text` are written as blanks, so a line never becomes two.
  void set_line(int index, std::string_view text);

  // Empties lines first..last (both included; lines the pane lacks are skipped).
  void clear_lines(int first, int last);

  // Removes line `index` with its text when the pane holds it.
  void remove_line(int index);

  // The text of line `index` as written so far, empty when the pane has no such line.
  std::string line(int index) const;

  // Every line, each ended by a line feed.
  std::string text() const;

  // The lines a report holds: those up to the last one with anything but blanks in it. The pane's
  // empty lines after it are no part of the report saved or printed.
  int report_line_count() const;
  // Those lines, each ended by a line feed.
  std::string report_text() const;

  // Writes the gathered lines into the pane now.
  void flush();

  // The pane's document (with every write made), for saving and printing.
  QTextDocument* document();

  // True when the pane has the keyboard focus.
  bool has_focus() const;

 private:
  QTextDocument* doc() const;

  QTextEdit* view_;
  std::vector<std::optional<QString>> pending_;  // per line: the text to write, if any
};

}  // namespace morvell
