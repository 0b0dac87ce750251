#include "report_columns_check.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>

namespace morvell::testing {

namespace {

bool is_value(const QString& word) {
  static const QRegularExpression number(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$|^[+-]?(inf|nan)$)");
  return number.match(word).hasMatch() || word == "N/A" || word == "left" || word == "right";
}

QString text_of(const Row& row) {
  QStringList words;
  for (const Word& w : row) words << w.text;
  return words.join(' ');
}

}  // namespace

std::vector<Row> rows_of_document(QTextDocument* doc) {
  doc->documentLayout()->documentSize();  // lays out every line
  std::vector<Row> rows;
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    const QString text = b.text();
    const QTextLayout* layout = b.layout();
    if (!layout || layout->lineCount() == 0) continue;
    const QTextLine line = layout->lineAt(0);
    Row row;
    for (int i = 0; i < text.size(); ++i) {
      if (text[i].isSpace()) continue;
      int end = i;
      while (end < text.size() && !text[end].isSpace()) ++end;
      row.push_back({text.mid(i, end - i), layout->position().x() + line.cursorToX(i)});
      i = end;
    }
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

std::vector<std::vector<Row>> pages_of_pdf(const QString& pdf) {
  const QString html = pdf + ".html";
  QProcess pdftotext;
  pdftotext.start("pdftotext", {"-bbox", pdf, html});
  if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0) {
    ADD_FAILURE() << "pdftotext could not read " << pdf.toStdString() << " (poppler-utils is needed)";
    return {};
  }
  QFile file(html);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString text = QString::fromUtf8(file.readAll());
  // The words of each page by line (their common top), each with its left edge.
  static const QRegularExpression item(
      R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
  std::vector<std::map<long, Row>> lines;
  for (auto m = item.globalMatch(text); m.hasNext();) {
    const auto w = m.next();
    if (w.captured(0).startsWith("<page")) {
      lines.emplace_back();
      continue;
    }
    if (lines.empty()) continue;
    const long top = std::lround(w.captured(2).toDouble() * 10);
    lines.back()[top].push_back({w.captured(3), w.captured(1).toDouble()});
  }
  std::vector<std::vector<Row>> pages;
  for (auto& page : lines) {
    pages.emplace_back();
    for (auto& [top, row] : page) {
      std::sort(row.begin(), row.end(), [](const Word& a, const Word& b) { return a.x < b.x; });
      pages.back().push_back(row);
    }
  }
  return pages;
}

std::vector<Row> rows_of_pdf(const QString& pdf) {
  std::vector<Row> rows;
  for (const std::vector<Row>& page : pages_of_pdf(pdf)) rows.insert(rows.end(), page.begin(), page.end());
  return rows;
}

QStringList column_faults(const std::vector<Row>& rows, double tolerance) {
  QStringList faults;
  const auto heading = std::find_if(rows.begin(), rows.end(), [](const Row& r) {
    return std::any_of(r.begin(), r.end(), [](const Word& w) { return w.text == "PINION"; }) &&
           std::any_of(r.begin(), r.end(), [](const Word& w) { return w.text == "WHEEL"; });
  });
  if (heading == rows.end()) return {"no line with the headings PINION and WHEEL"};
  double pinion = 0, wheel = 0;
  for (const Word& w : *heading) {
    if (w.text == "PINION") pinion = w.x;
    if (w.text == "WHEEL") wheel = w.x;
  }
  double line_start = heading->front().x;
  for (const Row& r : rows)
    if (r.size() > 1) line_start = std::min(line_start, r.front().x);

  std::optional<double> pair;
  const auto at = [&](const Row& r, const Word& w, double column, const char* name) {
    if (std::fabs(w.x - column) > tolerance)
      faults << QStringLiteral("\"%1\" at %2, not under %3 at %4: %5")
                    .arg(w.text)
                    .arg(w.x)
                    .arg(name)
                    .arg(column)
                    .arg(text_of(r));
  };
  const auto in_pair_column = [&](const Row& r, const Word& w) {
    if (!pair) pair = w.x;
    at(r, w, *pair, "the pair column");
  };
  for (auto r = rows.begin(); r != rows.end(); ++r) {
    if (r == heading) continue;
    if (r->size() == 1 && is_value(r->front().text)) continue;  // the number of a printed page
    std::vector<const Word*> values;
    for (std::size_t k = 0; k < r->size(); ++k) {
      const Word& w = (*r)[k];
      if (w.text == "Cycles") in_pair_column(*r, w);
      if (!is_value(w.text)) continue;
      if (k == 0) at(*r, w, line_start, "the line start");
      else values.push_back(&w);
    }
    if (values.size() == 2) {
      at(*r, *values[0], pinion, "PINION");
      at(*r, *values[1], wheel, "WHEEL");
    } else if (values.size() == 1) {
      in_pair_column(*r, *values[0]);
    } else if (values.size() > 2) {
      faults << "more than two values: " + text_of(*r);
    }
  }
  if (!pair) faults << "no line with one value";
  else if (!(*pair > pinion + tolerance && *pair < wheel - tolerance))
    faults << QStringLiteral("the pair column at %1 is not between PINION at %2 and WHEEL at %3")
                  .arg(*pair)
                  .arg(pinion)
                  .arg(wheel);
  return faults;
}

bool convert_with_word_processor(const QStringList& rtf_files, const QString& profile_dir) {
  if (rtf_files.isEmpty()) return true;
  QProcess office;
  office.start("soffice", QStringList{"-env:UserInstallation=" + QUrl::fromLocalFile(profile_dir).toString(),
                                      "--headless", "--convert-to", "pdf", "--outdir",
                                      QFileInfo(rtf_files.front()).absolutePath()} +
                              rtf_files);
  if (!office.waitForFinished(300000) || office.exitStatus() != QProcess::NormalExit || office.exitCode() != 0)
    return false;
  for (const QString& rtf : rtf_files)
    if (!QFileInfo::exists(QFileInfo(rtf).path() + "/" + QFileInfo(rtf).completeBaseName() + ".pdf")) return false;
  return true;
}

}  // namespace morvell::testing
