// The lines of a report of a results pane: each text with the fixed line index it goes to, collected
// by one writer that formats the values the same way in every report.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "numeric.h"
#include "results_pane.h"

namespace morvell {

struct ReportLine {
  int index;         // line of the results pane
  std::string text;  // its whole text
};

using ReportLines = std::vector<ReportLine>;

// Collects the lines of a report. A value reaches the formatter converted in extended precision, then
// rounded to double; a value that is not a number prints as "nan" whatever its sign, infinities as "inf"
// and "-inf". Every line is built in a string of its own length, so no value can overrun it.
class ReportLineWriter {
 public:
  explicit ReportLineWriter(ReportLines& out) : out_(out) {}

  void text(int line, const char* s) { out_.push_back({line, s}); }
  void one(int line, const char* format, ld value) { out_.push_back({line, format_line(format, shown(value))}); }
  void two(int line, const char* format, ld pinion, ld wheel) {
    out_.push_back({line, format_line(format, shown(pinion), shown(wheel))});
  }
  // Two whole numbers (numbers of teeth, quality grades), printed as they are.
  void two_integers(int line, const char* format, int32_t pinion, int32_t wheel) {
    out_.push_back({line, format_line(format, pinion, wheel)});
  }

 private:
  static double shown(ld value) {
    return std::isnan(value) ? std::numeric_limits<double>::quiet_NaN() : double(value);
  }
  ReportLines& out_;
};

}  // namespace morvell
