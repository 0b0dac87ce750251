// The columns of the reports of a results pane (geometry, rating summary, rating details, search result)
// on screen, on paper and in the report file.
//
// A report line holds a label, in the rating reports a symbol (ZH, SigmaHO, ...), and one or two values;
// or the headings PINION and WHEEL. Each stands after a run of tabs whose length was counted for one font
// and tab width: in any other font a label ends in another tab interval and its values land under the
// wrong heading. So every line gets tab stops of its own, from one set of columns for all lines of the
// pane: the labels at the line start, the symbols in a column right of the widest label, two values under
// PINION and WHEEL, one value (or the heading of a column of single values, as "Cycles" over the cycles
// of an S-N curve) in the pair column half-way between. The stops put the first character of a text
// that is not a blank at its column. The text of the lines stays as the report wrote it.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QFont;
class QFontMetricsF;
class QPaintDevice;
class QTextDocument;

namespace morvell {

enum class ReportColumn { Label, Symbol, Pinion, Wheel, Pair };

// One text of a line with the number of tabs in front of it and the column it stands in.
struct ReportField {
  QString text;
  int tabs = 0;
  ReportColumn column = ReportColumn::Label;
};

// The fields of a line cut at its runs of tabs (tabs at the end of the line lead nowhere and are left
// out). Empty for a line that is not of a report's shapes: a text alone, or more texts than a label, a
// symbol and two values.
std::vector<ReportField> report_fields(const QString& line);

// The x positions of the columns from the line start.
struct ReportColumns {
  double symbol = 0, pinion = 0, wheel = 0, pair = 0;
  double of(ReportColumn c) const;
};

// The columns of `lines` for texts as wide as `width` says: each lies one `gap` right of the widest text
// before it (labels, symbols, PINION values and the heading PINION, leading blanks left out).
ReportColumns report_columns(const QStringList& lines, const std::function<double(const QString&)>& width,
                             double gap);

// The tab stops of every line from the line start, in the units of `width`. A run of n tabs ends at the
// column of the text after it, less the width of that text's leading blanks; its first n - 1 stops lie
// just before, 0.05 of `gap` apart, so that it does not matter where the text before the run ends. Empty
// for a line of no report shape.
std::vector<std::vector<double>> report_tab_stops(const QStringList& lines,
                                                  const std::function<double(const QString&)>& width, double gap);

// The same in the pixels of `metrics`' device, one gap being two average character widths.
std::vector<std::vector<double>> report_tab_stops(const QStringList& lines, const QFontMetricsF& metrics);

// The tab stops of every line in twips (1/1440 inch) for the report file in `font` (family and point
// size). A word processor measures with metrics of its own: the texts are measured as the font draws
// them without hinting, and the gap is three average character widths.
std::vector<std::vector<int>> report_tab_stops_in_twips(const QStringList& lines, const QFont& font);

// Sets the tab stops of every line of the document for the device it is laid out on (none: the screen),
// in the document's default font.
void lay_out_report_columns(QTextDocument* doc, QPaintDevice* device = nullptr);

}  // namespace morvell
