// The columns of the geometry report on screen, on paper and in the report file.
//
// Each line of the report holds a label and one or two values (or the headings PINION and WHEEL), each
// after a run of tabs whose length was counted for one font and tab width: in any other font a label
// ends in another tab interval and its values land under the wrong heading. So every line gets tab stops
// of its own: a line with two values puts them under PINION and WHEEL, a line with one value puts it in
// the pair column half-way between, whatever its label and its number of tabs. The text of the lines
// stays as the report wrote it.
#pragma once

#include <QStringList>

#include <vector>

class QFont;
class QFontMetricsF;
class QPaintDevice;
class QTextDocument;

namespace morvell {

// The tab stops of every line, from the line start, in the units of `metrics` (pixels of its device):
// the columns lie one `gap` right of the widest label and of the widest PINION value. A run of n tabs
// ends at the column of the text after it; its first n - 1 stops lie just before that column, 0.05 of
// `gap` apart, so that it does not matter where the text before the run ends. Empty for a line with no
// value or more than two.
std::vector<std::vector<double>> report_tab_stops(const QStringList& lines, const QFontMetricsF& metrics,
                                                  double gap);

// The tab stops of every line in twips (1/1440 inch) for the report file in `font` (family and point
// size), with a wider gap than on screen: a word processor measures the labels with metrics of its own.
std::vector<std::vector<int>> report_tab_stops_in_twips(const QStringList& lines, const QFont& font);

// Sets the tab stops of every line of the document for the device it is laid out on (none: the screen),
// in the document's default font, or takes them away (`columns` false) so that the document's uniform
// tab width applies again.
void lay_out_report_columns(QTextDocument* doc, bool columns, QPaintDevice* device = nullptr);

}  // namespace morvell
