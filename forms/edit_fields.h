// The routines every numeric field of every window shares: cleaning the text while the user types,
// the two number formatters, and the steps of the edit-field idiom (remember the text on entry, clean
// and compare on every change, read the value on exit, explain a refused value in the warning dialog).
//
// A field exit handler of a window looks like this:
//
//   void TSomeForm::WidtheditExit() {
//     const FieldValue v = read_field(d_, Widthedit);
//     if (v.changed) {
//       d_.edit_old_value = d_.width;
//       d_.width = float(v.value * d_.length_unit_factor);
//       if (d_.width <= 0) { warn_field(d_, Widthedit, "Value is out of range", " "); d_.width = d_.edit_old_value; }
//     }
//     finish_field_exit(d_, [this] { Set_textboxes(); });
//   }
//
// with bind_numeric_field(d_, Widthedit) and on_exit(Widthedit, ...) wired in the constructor.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "design_data.h"

class QLineEdit;

namespace morvell {

// Removes, in place, every character that cannot belong to a decimal number of the form sign, digits,
// point, digits, exponent letter, sign, digits.
void clean_numeric_text(char* text);
std::string clean_numeric_text(std::string_view text);

// The value as text with `decimals` decimals (1..5): fixed notation inside the band of that number of
// decimals, exponent notation outside it and for NaN. Empty for any other number of decimals.
std::string format_number(float value, int decimals);
// A length already divided by the length unit factor: as format_number in metric units (1); one decimal
// more in English units (2); empty for any other unit system.
std::string format_length_number(float value, int decimals, int unit_system);

// The formatters of the windows: the text goes into d.number_text and is returned whole. When nothing
// is written (decimals or unit system out of range) number_text keeps its text and that is returned.
std::string format_value(DesignData& d, float value);
std::string format_length(DesignData& d, float value);

// Edit-field idiom.
// Entering a field: remember its text, clear the changed flag.
void field_enter(DesignData& d, QLineEdit* edit);
// A change of the text (typing, pasting, or code setting it): clean it, keep the caret, and set the
// changed flag when the text differs from the one at entry.
void field_change(DesignData& d, QLineEdit* edit);
// Wires field_enter and field_change to a numeric field.
void bind_numeric_field(DesignData& d, QLineEdit* edit);

struct FieldValue {
  bool changed = false;  // edit_changed was 1: the value is to be stored
  double value = 0;      // the text's number, rounded to six decimals in display units
};
// Leaving a field: the text's number (0 when it holds none) printed with "%f" into number_text and read
// back from there.
FieldValue read_field(DesignData& d, QLineEdit* edit);
// The value an entry stores (already in stored units) as a 32-bit float; when it is no finite number of
// the float range (text beyond that range, "inf", "nan") the entry is refused with "Value is out of
// range", the focus goes back to the field and nothing is returned, so that the field's refresh shows
// the value it had.
std::optional<float> finite_entry(DesignData& d, QLineEdit* edit, long double value);
// The end of every field exit of every window: runs the window's refresh (if any), then clears the
// changed flag that the refresh's rewritten texts set.
void finish_field_exit(DesignData& d, const std::function<void()>& refresh);

// Writes the three warning lines and shows the warning dialog modally.
void warn(DesignData& d, std::string_view line1, std::string_view line2, std::string_view line3 = " ");
// The same for a refused field value, then gives the focus back to the field.
void warn_field(DesignData& d, QLineEdit* edit, std::string_view line1, std::string_view line2,
                std::string_view line3 = " ");

// The entries that the main window and the sizing window both take, held to their ranges
// (input_limits.h) with the same warnings: the helix angle (below 0 held at 0, from 45 on at the
// largest accepted) and the desired ratio (held at its bounds).
void hold_helix_angle(DesignData& d, QLineEdit* edit);
void hold_ratio(DesignData& d, QLineEdit* edit);

}  // namespace morvell
