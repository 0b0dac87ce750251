#include "results_pane.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cstdarg>
#include <cstdio>

namespace morvell {

std::string format_line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (n > 0) {
    text.resize(std::size_t(n));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

namespace {

// A line's text for the document: every kind of line break becomes a blank.
QString one_line(std::string_view text) {
  QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
  for (QChar& c : s)
    if (c == QChar('\n') || c == QChar('\r') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
      c = QChar(' ');
  return s;
}

}  // namespace

ResultsPane::ResultsPane(QTextEdit* view) : view_(view) {
  QTextDocument* doc = document();
  if (!doc) return;
  // The report columns are laid out with tabs for half-inch tab stops and a dialog font about five
  // pixels a character wide: the stops follow the pane's font (which the window scale and printing
  // change) at the same ratio, 9.6 average character widths.
  const qreal tab = 9.6 * view_->fontMetrics().averageCharWidth();
  if (tab > 0 && view_->tabStopDistance() != tab) view_->setTabStopDistance(tab);
  if (doc->isUndoRedoEnabled()) doc->setUndoRedoEnabled(false);
  const int missing = kLineCount - doc->blockCount();
  if (missing > 0) {
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    c.insertText(QString(missing, QChar('\n')));
  }
}

QTextDocument* ResultsPane::document() const { return view_ ? view_->document() : nullptr; }

int ResultsPane::line_count() const {
  const QTextDocument* doc = document();
  return doc ? doc->blockCount() : 0;
}

void ResultsPane::set_line(int index, std::string_view text) {
  QTextDocument* doc = document();
  if (!doc || index < 0) return;
  const QTextBlock block = doc->findBlockByNumber(index);
  if (!block.isValid()) return;
  const QString s = one_line(text);
  if (block.text() == s) return;  // an unchanged line is not rewritten (keeps the view still)
  QTextCursor c(block);
  c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  c.insertText(s);
}

void ResultsPane::clear_lines(int first, int last) {
  for (int i = first; i <= last; ++i) set_line(i, {});
}

void ResultsPane::remove_line(int index) {
  QTextDocument* doc = document();
  if (!doc || index < 0) return;
  const QTextBlock block = doc->findBlockByNumber(index);
  if (!block.isValid()) return;
  QTextCursor c(block);
  if (block.next().isValid()) {
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);  // the line and its line break
  } else if (block.previous().isValid()) {
    c.movePosition(QTextCursor::PreviousBlock);
    c.movePosition(QTextCursor::EndOfBlock);
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);  // the break before it and the line
  } else {
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);  // the only line: empty it
  }
  c.removeSelectedText();
}

std::string ResultsPane::line(int index) const {
  const QTextDocument* doc = document();
  if (!doc || index < 0) return {};
  const QTextBlock block = doc->findBlockByNumber(index);
  return block.isValid() ? block.text().toStdString() : std::string();
}

std::string ResultsPane::text() const {
  std::string all;
  const QTextDocument* doc = document();
  if (!doc) return all;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    all += b.text().toStdString();
    all += '\n';
  }
  return all;
}

bool ResultsPane::has_focus() const { return view_ && view_->hasFocus(); }

}  // namespace morvell
