#include "rating_form_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include <limits>

#include "field_events.h"
#include "load_relations.h"
#include "numeric.h"

namespace morvell {

void set_locked(QLineEdit* edit, bool locked) {
  edit->setReadOnly(locked);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, locked ? kMenuColour : kWindowColour);
  edit->setPalette(palette);
}

void bind_calculate_boxes(const std::vector<CalculatedQuantity>& group) {
  for (const CalculatedQuantity& q : group) {
    forms::on_click(q.box, [group, clicked = q.box] {
      if (!clicked->isChecked()) return;
      for (const CalculatedQuantity& c : group)
        if (c.box != clicked) c.box->setChecked(false);
      for (const CalculatedQuantity& c : group) {
        const bool calculated = c.box == clicked;
        for (QLineEdit* e : c.edits) set_locked(e, calculated);
        c.label->setVisible(calculated);
      }
    });
  }
}

float stored_value(double entry, float factor) {
  const ld v = static_cast<ld>(entry) * static_cast<ld>(factor);
  const ld largest = std::numeric_limits<float>::max();
  if (v > largest) return std::numeric_limits<float>::infinity();
  if (v < -largest) return -std::numeric_limits<float>::infinity();
  return to_float(v);
}

float stored_value_in_range(double entry, float factor, bool (*accepted)(float)) {
  const float value = stored_value(entry, factor);
  if (accepted(value)) return value;
  // Without a conversion the entry is the number typed; 0 stands for 0 in every unit.
  if (factor == 1.0f || entry == 0.0) return std::numeric_limits<float>::quiet_NaN();
  constexpr double kHalfSixthDecimal = 5e-7;
  for (const double edge : {entry + kHalfSixthDecimal, entry - kHalfSixthDecimal}) {
    float in = stored_value(edge, factor);
    if (!accepted(in)) continue;
    // The bound lies between the refused value and `in`: the accepted end of the bracket comes to it.
    float out = value;
    for (int step = 0; step < 200; ++step) {
      const float mid = to_float((static_cast<ld>(in) + out) / 2);
      if (mid == in || mid == out) break;
      (accepted(mid) ? in : out) = mid;
    }
    return in;
  }
  return std::numeric_limits<float>::quiet_NaN();
}

void keep_load_case_count_valid(DesignData& d) {
  if (d.load_case_count > kLoadCasesUsable) d.load_case_count = kLoadCasesUsable;
  if (d.load_case_count < 1) {
    store_inputs_into_case(d, 0);
    if (d.load_case_fixed_for[0] != 2) d.load_case_fixed_for[0] = 1;
    d.load_case_count = 1;
  }
}

}  // namespace morvell
