#include "rating_form_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include <cmath>
#include <limits>
#include <utility>

#include "edit_fields.h"
#include "field_events.h"
#include "numeric.h"

namespace morvell {

bool allows_limited_pitting(int32_t material_type) {
  switch (material_type) {
    case 1: case 2: case 4: case 6: case 7: case 8: return true;
    default: return false;
  }
}

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
  return static_cast<float>(v);
}

LoadQuantities LoadQuantities::of(const DesignData& d) {
  return {d.speed, d.torque, d.power, d.life_hours, d.load_cycles_pinion, d.load_cycles_wheel, d.load_data_fixed_for};
}

bool refuse_load_overflow(DesignData& d, QLineEdit* edit, const LoadQuantities& before) {
  const std::pair<float*, float> quantities[] = {
      {&d.speed, before.speed},           {&d.torque, before.torque},
      {&d.power, before.power},           {&d.life_hours, before.life_hours},
      {&d.load_cycles_pinion, before.load_cycles_pinion}, {&d.load_cycles_wheel, before.load_cycles_wheel}};
  bool overflow = false;
  for (const auto& [now, was] : quantities) overflow = overflow || (std::isfinite(was) && !std::isfinite(*now));
  if (!overflow) return false;
  for (const auto& [now, was] : quantities) *now = was;
  d.load_data_fixed_for = before.fixed_for;
  warn_field(d, edit, "Value is out of range", " ", " ");
  return true;
}

void load_case_into_inputs(DesignData& d, int slot) {
  const LoadCase& c = d.load_case_table[slot];
  d.speed = c.speed;
  d.torque = c.torque;
  d.life_hours = c.life_hours;
  d.f_beta_x = c.f_beta_x;
  d.load_data_fixed_for = d.load_case_fixed_for[slot];
  constexpr ld kOneSixtieth = 1.0L / 60.0L;
  constexpr ld kPiAsWritten = 3.141592653589793;
  d.load_cycles_pinion = static_cast<float>(static_cast<ld>(d.life_hours) * static_cast<ld>(d.speed) * 60.0L);
  d.load_cycles_wheel = static_cast<float>(static_cast<ld>(d.teeth[0]) * static_cast<ld>(d.load_cycles_pinion) /
                                           static_cast<ld>(d.teeth[1]));
  d.power = static_cast<float>(kOneSixtieth * static_cast<ld>(d.speed) * 2.0L * kPiAsWritten *
                               static_cast<ld>(d.torque));
}

void store_inputs_into_case(DesignData& d, int slot) {
  d.load_case_table[slot] = LoadCase{d.speed, d.torque, d.life_hours, d.f_beta_x};
  d.load_case_fixed_for[slot] = d.load_data_fixed_for;
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
