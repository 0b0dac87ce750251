#include "edit_fields.h"

#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdio>
#include <cstdlib>

#include "field_events.h"
#include "input_limits.h"
#include "results_pane.h"
#include "warning_dialog.h"

namespace morvell {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_exponent(char c) { return c == 'e' || c == 'E'; }

// The fixed band of a number of decimals: -(10^(7-N) - 1) .. 10^(8-N) - 1.
bool in_band(float value, int decimals) {
  double upper = 1;
  for (int i = 0; i < 8 - decimals; ++i) upper *= 10;
  const double lower = -(upper / 10 - 1);
  upper -= 1;
  return value >= lower && value <= upper;  // false for NaN
}

std::string format_with(float value, int band_decimals, int shown_decimals) {
  const double v = value;
  return in_band(value, band_decimals) ? format_line("%.*f", shown_decimals, v)
                                       : format_line("%.*e", shown_decimals, v);
}

// The full text of the field at entry; edit_text_at_entry holds as much of it as fits.
std::string& entry_text() {
  static std::string text;
  return text;
}

std::string_view text_at_entry(const DesignData& d) {
  const std::string_view kept = text_of(d.edit_text_at_entry);
  const std::string& full = entry_text();
  const bool cut = kept.size() == kShortTextSize - 1 && full.size() > kept.size();
  if (full.compare(0, kept.size(), kept) == 0 && (full.size() == kept.size() || cut)) return full;
  return kept;  // the buffer was written elsewhere
}

}  // namespace

std::string clean_numeric_text(std::string_view text) {
  std::string s(text);
  if (s.empty()) return s;
  auto at = [&s](std::size_t i) { return i < s.size() ? s[i] : '\0'; };
  // Leading characters: the number starts with a digit, a point or a sign.
  for (bool again = true; again;) {
    again = false;
    while (!s.empty() && !is_digit(s[0]) && s[0] != '.' && s[0] != '-' && s[0] != '+') s.erase(0, 1);
    if (at(0) == '0' && (at(1) == '-' || at(1) == '+')) { s.erase(0, 1); again = true; }
    if (at(0) == '.' && !is_digit(at(1)) && at(1) != '\0') { s.erase(0, 1); again = true; }
  }
  if (s.empty()) return s;
  std::size_t i = 1;
  if (s[0] != '.') {
    // Integer part.
    while (i < s.size() && s[i] != '.' && !is_exponent(s[i])) {
      if (is_digit(s[i])) ++i; else s.erase(i, 1);
    }
    if (i < s.size() && s[i] == '.') ++i;
    else if (i >= s.size()) return s;
    else goto exponent;
  }
  // Fraction part (a second point is removed here).
  while (i < s.size() && !is_exponent(s[i])) {
    if (is_digit(s[i])) ++i; else s.erase(i, 1);
  }
  if (i >= s.size()) return s;
exponent:
  ++i;  // past the exponent letter
  {
    const std::size_t first = i;
    while (i < s.size()) {
      const bool keep = is_digit(s[i]) || (i == first && (s[i] == '+' || s[i] == '-'));
      if (keep) ++i; else s.erase(i, 1);
    }
  }
  return s;
}

void clean_numeric_text(char* text) {
  if (!text) return;
  const std::string cleaned = clean_numeric_text(std::string_view(text));
  std::copy(cleaned.begin(), cleaned.end(), text);  // never longer than the text
  text[cleaned.size()] = '\0';
}

std::string format_number(float value, int decimals) {
  if (decimals < 1 || decimals > 5) return {};
  return format_with(value, decimals, decimals);
}

std::string format_length_number(float value, int decimals, int unit_system) {
  if (decimals < 1 || decimals > 5) return {};
  if (unit_system == 1) return format_with(value, decimals, decimals);
  if (unit_system == 2) return format_with(value, decimals, decimals + 1);
  return {};
}

namespace {
std::string store_number_text(DesignData& d, std::string text) {
  if (text.empty()) return std::string(text_of(d.number_text));
  copy_text(d.number_text, text);
  return text;
}
}  // namespace

std::string format_value(DesignData& d, float value) { return store_number_text(d, format_number(value, d.decimals)); }

std::string format_length(DesignData& d, float value) {
  return store_number_text(d, format_length_number(value, d.decimals, d.unit_system));
}

void field_enter(DesignData& d, QLineEdit* edit) {
  entry_text() = edit->text().toStdString();
  copy_text(d.edit_text_at_entry, entry_text());
  d.edit_changed = 0;
}

void field_change(DesignData& d, QLineEdit* edit) {
  const QString text = edit->text();
  const int caret = edit->cursorPosition();
  const std::string cleaned = clean_numeric_text(text.toStdString());
  const QString cleaned_text = QString::fromStdString(cleaned);
  if (cleaned_text != text) {
    edit->setText(cleaned_text);  // runs this handler again; the text is clean by then
    edit->setCursorPosition(std::max(0, caret - 1));
  }
  if (cleaned != text_at_entry(d)) d.edit_changed = 1;
}

void bind_numeric_field(DesignData& d, QLineEdit* edit) {
  forms::on_enter(edit, [&d, edit] { field_enter(d, edit); });
  forms::on_change(edit, [&d, edit] { field_change(d, edit); });
}

FieldValue read_field(DesignData& d, QLineEdit* edit) {
  const std::string text = edit->text().toStdString();
  const double typed = std::strtod(text.c_str(), nullptr);
  const std::string printed = format_line("%f", typed);
  copy_text(d.number_text, printed);
  FieldValue v;
  v.changed = d.edit_changed == 1;
  if (v.changed) v.value = std::strtod(printed.c_str(), nullptr);
  return v;
}

std::optional<float> finite_entry(DesignData& d, QLineEdit* edit, long double value) {
  if (std::fabs(value) <= std::numeric_limits<float>::max()) return static_cast<float>(value);  // NaN fails too
  warn_field(d, edit, "Value is out of range", " ", " ");
  return std::nullopt;
}

void finish_field_exit(DesignData& d, const std::function<void()>& refresh) {
  if (refresh) refresh();
  // After the refresh: it rewrote the fields, which marks their texts as changed, and a field that kept
  // the focus (its value was refused) must not store the rounded text it was just given when it is
  // left again.
  d.edit_changed = 0;
}

void warn(DesignData& d, std::string_view line1, std::string_view line2, std::string_view line3) {
  copy_text(d.warning_lines[0], line1);
  copy_text(d.warning_lines[1], line2);
  copy_text(d.warning_lines[2], line3);
  show_warning_dialog(d);
}

void warn_field(DesignData& d, QLineEdit* edit, std::string_view line1, std::string_view line2,
                std::string_view line3) {
  warn(d, line1, line2, line3);
  edit->setFocus(Qt::OtherFocusReason);
}

void hold_helix_angle(DesignData& d, QLineEdit* edit) {
  if (d.helix_angle < 0.0f) {
    warn_field(d, edit, "Minimum value of helix angle is 0 degrees", "Value of helix angle has been adjusted");
    d.helix_angle = 0.0f;
  }
  if (!helix_angle_ok(d.helix_angle)) {  // the bound itself would make the helix too steep
    warn_field(d, edit, format_line("Maximum value of helix angle is %g degrees", double(kHelixAngleBound)),
               "Value of helix angle has been adjusted");
    d.helix_angle = kLargestHelixAngle;
  }
}

void hold_ratio(DesignData& d, QLineEdit* edit) {
  if (d.desired_ratio < kSmallestRatio) {
    warn_field(d, edit, format_line("Ratio must be greater than %g", double(kSmallestRatio)), "Value has been adjusted");
    d.desired_ratio = kSmallestRatio;
  }
  if (d.desired_ratio > kLargestRatio) {
    warn_field(d, edit, "Ratio has exceeded limit", "Value has been adjusted");
    d.desired_ratio = kLargestRatio;
  }
}

}  // namespace morvell
