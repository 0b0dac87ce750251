#include "report_columns.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace morvell {

namespace {

// A line cut at its runs of tabs: the text before the first tab, then each text with the number of
// tabs in front of it.
struct Field {
  QString text;
  int tabs = 0;
};

std::vector<Field> fields_of(const QString& line) {
  std::vector<Field> fields(1);
  for (const QChar c : line) {
    if (c == QChar('\t')) {
      if (!fields.back().text.isEmpty() || fields.size() == 1) fields.push_back(Field{});
      ++fields.back().tabs;
    } else {
      fields.back().text += c;
    }
  }
  if (fields.size() > 1 && fields.back().text.isEmpty()) fields.pop_back();  // tabs at the end lead nowhere
  return fields;
}

// The resolution that text layouts measure tab stops in: the screen's (96 without one).
double layout_dpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? std::round(screen->logicalDotsPerInchY()) : 96.0;
}

}  // namespace

std::vector<std::vector<double>> report_tab_stops(const QStringList& lines, const QFontMetricsF& metrics,
                                                  double gap) {
  std::vector<std::vector<Field>> split;
  split.reserve(std::size_t(lines.size()));
  double widest_label = 0, widest_pinion = 0;
  for (const QString& line : lines) {
    split.push_back(fields_of(line));
    const std::vector<Field>& f = split.back();
    if (f.size() < 2 || f.size() > 3) continue;
    widest_label = std::max(widest_label, metrics.horizontalAdvance(f[0].text));
    if (f.size() == 3) widest_pinion = std::max(widest_pinion, metrics.horizontalAdvance(f[1].text));
  }
  const double pinion = widest_label + gap;
  const double wheel = pinion + widest_pinion + gap;
  const double pair = (pinion + wheel) / 2;

  std::vector<std::vector<double>> stops(split.size());
  for (std::size_t i = 0; i < split.size(); ++i) {
    const std::vector<Field>& f = split[i];
    if (f.size() < 2 || f.size() > 3) continue;
    const double columns[2] = {f.size() == 2 ? pair : pinion, wheel};
    for (std::size_t k = 1; k < f.size(); ++k) {
      const double column = columns[k - 1];
      for (int t = f[k].tabs - 1; t >= 1; --t) stops[i].push_back(column - 0.05 * gap * t);
      stops[i].push_back(column);
    }
  }
  return stops;
}

std::vector<std::vector<int>> report_tab_stops_in_twips(const QStringList& lines, const QFont& font) {
  const QFontMetricsF metrics(font);  // on the screen, at the layouts' resolution
  const double to_twips = 1440.0 / layout_dpi();
  std::vector<std::vector<int>> twips;
  for (const std::vector<double>& line : report_tab_stops(lines, metrics, 3 * metrics.averageCharWidth())) {
    twips.emplace_back();
    for (const double x : line) twips.back().push_back(int(std::lround(x * to_twips)));
  }
  return twips;
}

void lay_out_report_columns(QTextDocument* doc, bool columns, QPaintDevice* device) {
  if (!doc) return;
  std::vector<std::vector<double>> stops;
  double to_layout = 1;  // from the device's pixels to the units of the layout's tab stops
  if (columns) {
    QStringList lines;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) lines << b.text();
    const QFontMetricsF metrics = device ? QFontMetricsF(doc->defaultFont(), device) : QFontMetricsF(doc->defaultFont());
    if (device && device->logicalDpiY() > 0) to_layout = layout_dpi() / device->logicalDpiY();
    stops = report_tab_stops(lines, metrics, 2 * metrics.averageCharWidth());
  }
  QTextCursor cursor(doc);
  bool editing = false;
  std::size_t i = 0;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next(), ++i) {
    QList<QTextOption::Tab> tabs;
    if (i < stops.size())
      for (const double x : stops[i]) tabs.append(QTextOption::Tab(x * to_layout, QTextOption::LeftTab));
    QTextBlockFormat format = b.blockFormat();
    if (format.tabPositions() == tabs) continue;
    format.setTabPositions(tabs);
    if (!editing) {
      cursor.beginEditBlock();
      editing = true;
    }
    cursor.setPosition(b.position());
    cursor.setBlockFormat(format);
  }
  if (editing) cursor.endEditBlock();
}

}  // namespace morvell
