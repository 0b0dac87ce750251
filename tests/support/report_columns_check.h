// Whether the values of a report stand under their headings, judged from where its words are seen: in the
// pane's own text layout, on a page printed to PDF, or on the page a word processor makes of report.rtf.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QTextDocument;

namespace morvell::testing {

struct Word {
  QString text;
  double x = 0;  // left edge
};
using Row = std::vector<Word>;  // one line as seen, its words from left to right

// The rows of a document laid out in its own layout (the pane on screen), in pixels.
std::vector<Row> rows_of_document(QTextDocument* doc);

// The rows of each page of a PDF file as poppler's pdftotext reads them, in points; empty (with a
// failure added) when pdftotext cannot read it. The same of all pages, one after the other.
std::vector<std::vector<Row>> pages_of_pdf(const QString& pdf);
std::vector<Row> rows_of_pdf(const QString& pdf);

// What is out of its column in the rows of a report: the headings PINION and WHEEL give two columns; a
// row with two values has them there (a value is a number, or N/A, left or right); a row with one value
// has it in the pair column, which is the same for every such row and lies between PINION and WHEEL, as
// does a heading "Cycles" over such values; a number that begins its row stands where the labels begin. A
// row of one number alone is a page's number and no report line.
// Positions agree within `tolerance`. Empty when every value stands in its column.
QStringList column_faults(const std::vector<Row>& rows, double tolerance);

// Converts the RTF files to PDF files beside them with LibreOffice (headless, with a profile of its own
// in `profile_dir`); false when it could not be run.
bool convert_with_word_processor(const QStringList& rtf_files, const QString& profile_dir);

}  // namespace morvell::testing
