#include "results_pane.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
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
  QTextDocument* d = doc();
  if (!d) return;
  // The report columns are laid out with tabs for half-inch tab stops and a dialog font about five
  // pixels a character wide: the stops follow the pane's font (which the window scale and printing
  // change) at the same ratio, 9.6 average character widths.
  const qreal tab = 9.6 * view_->fontMetrics().averageCharWidth();
  if (tab > 0 && view_->tabStopDistance() != tab) view_->setTabStopDistance(tab);
  if (d->isUndoRedoEnabled()) d->setUndoRedoEnabled(false);
  const int missing = kLineCount - d->blockCount();
  if (missing > 0) {
    QTextCursor c(d);
    c.movePosition(QTextCursor::End);
    c.insertText(QString(missing, QChar('\n')));
  }
  pending_.resize(std::size_t(d->blockCount()));
}

ResultsPane::~ResultsPane() { flush(); }

QTextDocument* ResultsPane::doc() const { return view_ ? view_->document() : nullptr; }

QTextDocument* ResultsPane::document() {
  flush();
  return doc();
}

int ResultsPane::line_count() const { return int(pending_.size()); }

void ResultsPane::set_line(int index, std::string_view text) {
  if (index < 0 || index >= line_count()) return;
  pending_[std::size_t(index)] = one_line(text);
}

void ResultsPane::clear_lines(int first, int last) {
  for (int i = std::max(first, 0); i <= last && i < line_count(); ++i) pending_[std::size_t(i)] = QString();
}

void ResultsPane::flush() {
  QTextDocument* d = doc();
  if (!d) return;
  QTextCursor c(d);
  bool editing = false;
  // A caret at the very start stays there: text put in at its place would carry it to the end of the
  // first line, and the pane would scroll sideways to show it.
  const bool caret_at_start = view_ && view_->textCursor().position() == 0 && !view_->textCursor().hasSelection();
  QTextBlock block = d->begin();
  for (std::size_t i = 0; i < pending_.size() && block.isValid(); ++i, block = block.next()) {
    if (!pending_[i]) continue;
    if (block.text() != *pending_[i]) {
      if (!editing) {
        c.beginEditBlock();  // one change of the document for all lines
        editing = true;
      }
      c.setPosition(block.position());
      c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      c.insertText(*pending_[i]);
    }
    pending_[i].reset();
  }
  if (editing) {
    c.endEditBlock();
    if (caret_at_start && view_->textCursor().position() != 0) {
      QTextCursor caret = view_->textCursor();
      caret.setPosition(0);
      view_->setTextCursor(caret);
    }
  }
}

void ResultsPane::remove_line(int index) {
  if (index < 0 || index >= line_count()) return;
  flush();
  QTextDocument* d = doc();
  const QTextBlock block = d->findBlockByNumber(index);
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
  pending_.resize(std::size_t(d->blockCount()));
}

std::string ResultsPane::line(int index) const {
  if (index < 0 || index >= line_count()) return {};
  if (const auto& p = pending_[std::size_t(index)]) return p->toStdString();
  const QTextBlock block = doc()->findBlockByNumber(index);
  return block.isValid() ? block.text().toStdString() : std::string();
}

namespace {

// The text of lines first..last - 1 of the pane, each ended by a line feed.
std::string lines_text(const ResultsPane& pane, int end) {
  std::string all;
  for (int i = 0; i < end; ++i) {
    all += pane.line(i);
    all += '\n';
  }
  return all;
}

}  // namespace

std::string ResultsPane::text() const { return lines_text(*this, line_count()); }

int ResultsPane::report_line_count() const {
  int count = line_count();
  while (count > 0 && line(count - 1).find_first_not_of(" \t") == std::string::npos) --count;
  return count;
}

std::string ResultsPane::report_text() const { return lines_text(*this, report_line_count()); }

bool ResultsPane::has_focus() const { return view_ && view_->hasFocus(); }

}  // namespace morvell
