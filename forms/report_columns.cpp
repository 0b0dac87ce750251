#include "report_columns.h"

#include <QFont>
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

// A value as the reports print it: a number in fixed or exponent notation, an infinity or not a number.
bool is_number(const QString& text) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  if (i < t.size() && (t[i] == QChar('+') || t[i] == QChar('-'))) ++i;
  const QString rest = t.mid(i).toLower();
  if (rest == QLatin1String("inf") || rest == QLatin1String("nan")) return true;
  const auto digits = [&] {
    const qsizetype from = i;
    while (i < t.size() && t[i].isDigit()) ++i;
    return i - from;
  };
  qsizetype mantissa = digits();
  if (i < t.size() && t[i] == QChar('.')) {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < t.size() && (t[i] == QChar('e') || t[i] == QChar('E'))) {
    ++i;
    if (i < t.size() && (t[i] == QChar('+') || t[i] == QChar('-'))) ++i;
    if (digits() == 0) return false;
  }
  return i == t.size();
}

// The blanks a text starts with, and the text after them.
QString leading_blanks(const QString& text) {
  qsizetype n = 0;
  while (n < text.size() && text[n] == QChar(' ')) ++n;
  return text.left(n);
}
QString without_leading_blanks(const QString& text) { return text.mid(leading_blanks(text).size()); }

// The resolution that text layouts measure tab stops in: the screen's (96 without one).
double layout_dpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? std::round(screen->logicalDotsPerInchY()) : 96.0;
}

}  // namespace

std::vector<ReportField> report_fields(const QString& line) {
  std::vector<ReportField> f(1);
  for (const QChar c : line) {
    if (c == QChar('\t')) {
      if (!f.back().text.isEmpty() || f.size() == 1) f.push_back(ReportField{});
      ++f.back().tabs;
    } else {
      f.back().text += c;
    }
  }
  if (f.size() > 1 && f.back().text.isEmpty()) f.pop_back();  // tabs at the end lead nowhere

  // The headings: PINION and WHEEL over their columns.
  const auto heading = [&](const char* word) {
    return std::find_if(f.begin() + 1, f.end(), [&](const ReportField& x) { return x.text.trimmed() == word; });
  };
  const auto pinion = f.size() > 1 ? heading("PINION") : f.end();
  const auto wheel = f.size() > 1 ? heading("WHEEL") : f.end();
  if (pinion != f.end() && wheel != f.end()) {
    if (f.size() != 3 || !f[0].text.trimmed().isEmpty() || pinion > wheel) return {};
    pinion->column = ReportColumn::Pinion;
    wheel->column = ReportColumn::Wheel;
    return f;
  }

  // A label, then: one value (or the heading of such values); two values; a symbol and one value; a
  // symbol and two values. A symbol is a text that is no number before a number.
  switch (f.size()) {
    case 2:
      f[1].column = ReportColumn::Pair;
      return f;
    case 3:
      if (!is_number(f[1].text) && is_number(f[2].text)) {
        f[1].column = ReportColumn::Symbol;
        f[2].column = ReportColumn::Pair;
      } else {
        f[1].column = ReportColumn::Pinion;
        f[2].column = ReportColumn::Wheel;
      }
      return f;
    case 4:
      f[1].column = ReportColumn::Symbol;
      f[2].column = ReportColumn::Pinion;
      f[3].column = ReportColumn::Wheel;
      return f;
    default:
      return {};
  }
}

double ReportColumns::of(ReportColumn c) const {
  switch (c) {
    case ReportColumn::Symbol:
      return symbol;
    case ReportColumn::Pinion:
      return pinion;
    case ReportColumn::Wheel:
      return wheel;
    case ReportColumn::Pair:
      return pair;
    default:
      return 0;
  }
}

namespace {

ReportColumns columns_of(const std::vector<std::vector<ReportField>>& lines,
                         const std::function<double(const QString&)>& width, double gap) {
  double label = 0, label_before_symbol = 0, symbol = 0, pinion = 0;
  for (const std::vector<ReportField>& f : lines) {
    if (f.empty()) continue;
    const double w = width(f[0].text);
    label = std::max(label, w);
    for (const ReportField& x : f) {
      if (x.column == ReportColumn::Symbol) {
        label_before_symbol = std::max(label_before_symbol, w);
        symbol = std::max(symbol, width(without_leading_blanks(x.text)));
      } else if (x.column == ReportColumn::Pinion) {
        pinion = std::max(pinion, width(without_leading_blanks(x.text)));
      }
    }
  }
  ReportColumns c;
  c.symbol = label_before_symbol + gap;
  c.pinion = std::max(label + gap, symbol > 0 ? c.symbol + symbol + gap : 0.0);
  c.wheel = c.pinion + pinion + gap;
  c.pair = (c.pinion + c.wheel) / 2;
  return c;
}

std::vector<std::vector<ReportField>> fields_of_lines(const QStringList& lines) {
  std::vector<std::vector<ReportField>> fields;
  fields.reserve(std::size_t(lines.size()));
  for (const QString& line : lines) fields.push_back(report_fields(line));
  return fields;
}

}  // namespace

ReportColumns report_columns(const QStringList& lines, const std::function<double(const QString&)>& width,
                             double gap) {
  return columns_of(fields_of_lines(lines), width, gap);
}

std::vector<std::vector<double>> report_tab_stops(const QStringList& lines,
                                                  const std::function<double(const QString&)>& width, double gap) {
  const std::vector<std::vector<ReportField>> fields = fields_of_lines(lines);
  const ReportColumns columns = columns_of(fields, width, gap);
  std::vector<std::vector<double>> stops(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::vector<ReportField>& f = fields[i];
    for (std::size_t k = 1; k < f.size(); ++k) {
      const double at = columns.of(f[k].column) - width(leading_blanks(f[k].text));
      for (int t = f[k].tabs - 1; t >= 1; --t) stops[i].push_back(at - 0.05 * gap * t);
      stops[i].push_back(at);
    }
  }
  return stops;
}

std::vector<std::vector<double>> report_tab_stops(const QStringList& lines, const QFontMetricsF& metrics) {
  return report_tab_stops(lines, [&](const QString& s) { return metrics.horizontalAdvance(s); },
                          2 * metrics.averageCharWidth());
}

std::vector<std::vector<int>> report_tab_stops_in_twips(const QStringList& lines, const QFont& font) {
  // Measured at 64 times the size without hinting: the advances as the font designs them, which is how a
  // word processor lays out text for paper, to a fraction of a pixel.
  constexpr double kMagnified = 64;
  QFont big = font;
  big.setPointSizeF((font.pointSizeF() > 0 ? font.pointSizeF() : 8) * kMagnified);
  big.setHintingPreference(QFont::PreferNoHinting);
  big.setKerning(false);
  const QFontMetricsF metrics(big);  // on the screen, at the layouts' resolution
  const double to_twips = 1440.0 / layout_dpi() / kMagnified;
  std::vector<std::vector<int>> twips;
  for (const std::vector<double>& line : report_tab_stops(
           lines, [&](const QString& s) { return metrics.horizontalAdvance(s); }, 3 * metrics.averageCharWidth())) {
    twips.emplace_back();
    for (const double x : line) twips.back().push_back(int(std::lround(x * to_twips)));
  }
  return twips;
}

void lay_out_report_columns(QTextDocument* doc, QPaintDevice* device) {
  if (!doc) return;
  QStringList lines;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) lines << b.text();
  const QFontMetricsF metrics = device ? QFontMetricsF(doc->defaultFont(), device) : QFontMetricsF(doc->defaultFont());
  double to_layout = 1;  // from the device's pixels to the units of the layout's tab stops
  if (device && device->logicalDpiY() > 0) to_layout = layout_dpi() / device->logicalDpiY();
  const std::vector<std::vector<double>> stops = report_tab_stops(lines, metrics);

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
