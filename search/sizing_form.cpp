#include "sizing_form.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "input_limits.h"
#include "load_relations.h"
#include "material_table.h"
#include "results_pane.h"
#include "sizing_search.h"
#include "window_scale.h"

namespace morvell {

Tsizingform* sizingform = nullptr;

namespace {

// Running time, power and load case 1 from the targets: the torque entered is the pinion's. A design
// without load cases (begun without the default design file) takes this one as its first.
void derive_load(DesignData& d) {
  d.life_hours = running_hours(LoadArithmetic::load_case, d.load_cycles_pinion, d.speed);
  d.power = power(LoadArithmetic::load_case, d.speed, d.torque);
  d.load_case_table[0].speed = d.speed;
  d.load_case_table[0].torque = d.torque;
  d.load_case_table[0].life_hours = d.life_hours;
  d.load_case_fixed_for[0] = 1;
  if (d.load_case_count < 1) d.load_case_count = 1;
}

}  // namespace

// Layout at 96 pixels per inch; the tab order is the order of the rows.
Tsizingform::Tsizingform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("sizingform");
  setWindowTitle("Initial Sizing");
  int row = 16;
  const auto label = [this, &row](const char* name, const char* text, const char* hint) {
    QLabel* l = add_label(this, text, 16, row + 3, 150);
    l->setObjectName(name);
    if (hint) l->setToolTip(hint);
    return l;
  };
  // Only the ratio takes at most 12 characters.
  const auto edit = [this, &row](const char* name, int max_length = NumericEditStyle::kAnyLength) {
    return add_numeric_edit(d_, this, name, 170, row, 121, 23, {.right_aligned = true, .max_length = max_length});
  };
  const auto unit = [this, &row](const char* name, const char* text) {
    QLabel* l = add_label(this, text, 298, row + 3, 60);
    l->setObjectName(name);
    return l;
  };

  Ratiolabel = label("Ratiolabel", "Desired Ratio ", "Desired ratio (z2/z1)");
  Ratioedit = edit("Ratioedit", 12);
  row += 32;
  torquelabel = label("torquelabel", "Pinion Torque ", nullptr);
  torquepinedit = edit("torquepinedit");
  unitstorque = unit("unitstorque", "Nm");
  row += 32;
  Helixlabel = label("Helixlabel", "Helix Angle ", "Reference helix angle");
  Helixangleedit = edit("Helixangleedit");
  unitsbeta = unit("unitsbeta", "degrees  ");
  row += 32;
  aspectratiolabel = label("aspectratiolabel", "Pinion Aspect Ratio  ", "Reference diameter / facewidth");
  aspectratioedit = edit("aspectratioedit");
  row += 32;
  cycleslabel = label("cycleslabel", "Cycles ", "Number of cycles for component life");
  cyclespinedit = edit("cyclespinedit");
  row += 32;
  materialtypelabel = label("materialtypelabel", "Material Type ", "Type of material and heat treatment");
  materialtypepin = new QComboBox(this);
  materialtypepin->setObjectName("materialtypepin");
  materialtypepin->setGeometry(170, row, 260, 23);
  fill_material_list(materialtypepin);
  row += 44;
  okbutton = new QPushButton("OK", this);
  okbutton->setObjectName("okbutton");
  okbutton->setGeometry(182, row, 90, 27);
  okbutton->setDefault(true);
  setFixedSize(454, row + 44);
  setTabOrder(Ratioedit, torquepinedit);
  setTabOrder(torquepinedit, Helixangleedit);
  setTabOrder(Helixangleedit, aspectratioedit);
  setTabOrder(aspectratioedit, cyclespinedit);
  setTabOrder(cyclespinedit, materialtypepin);
  setTabOrder(materialtypepin, okbutton);

  forms::on_exit(Ratioedit, [this] { RatioeditExit(); });
  forms::on_exit(torquepinedit, [this] { torquepineditExit(); });
  forms::on_exit(Helixangleedit, [this] { HelixangleeditExit(); });
  forms::on_exit(aspectratioedit, [this] { aspectratioeditExit(); });
  forms::on_exit(cyclespinedit, [this] { cyclespineditExit(); });
  forms::on_choice(materialtypepin, [this] { materialtypepinChange(); });
  forms::on_click(okbutton, [this] { okbuttonClick(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Tsizingform::showEvent(QShowEvent* event) {
  centre_on_screen(this);
  FormShow();
  QDialog::showEvent(event);
}

void Tsizingform::show_value(QLineEdit* edit, float shown) { show_field(edit, format_value(d_, shown), shown); }

void Tsizingform::FormShow() {
  d_.desired_ratio = 1.5f;
  d_.torque = 200.0f;
  d_.helix_angle = 27.0f;
  d_.load_cycles_pinion = 1e7f;
  d_.speed = 2500.0f;
  d_.pinion_aspect_ratio = sizing_aspect_ratio(d_.desired_ratio);
  derive_load(d_);
  unitstorque->setText(d_.unit_system == 2 ? "lbf.ft" : "Nm");
  // The material shown is the material the pair is sized with: its values and S-N curves are taken
  // at once, as when it is picked from the list.
  materialtypepin->setCurrentIndex(7);
  materialtypepin->setToolTip(materialtypepin->currentText());
  estimate_material(d_, materialtypepin->currentIndex());

  show_value(Ratioedit, d_.desired_ratio);
  show_value(torquepinedit, d_.torque / d_.torque_unit_factor);
  show_value(Helixangleedit, d_.helix_angle);
  show_value(aspectratioedit, d_.pinion_aspect_ratio);
  show_value(cyclespinedit, d_.load_cycles_pinion);

  // The first field is entered with the text just written.
  Ratioedit->setFocus(Qt::OtherFocusReason);
  field_enter(d_, Ratioedit);
}

void Tsizingform::done(int result) {
  if (isVisible() && focusWidget() != okbutton) okbutton->setFocus(Qt::OtherFocusReason);
  FormClose();
  QDialog::done(result);
}

void Tsizingform::FormClose() { derive_load(d_); }

void Tsizingform::okbuttonClick() { accept(); }

void Tsizingform::materialtypepinChange() {
  materialtypepin->setToolTip(materialtypepin->currentText());
  estimate_material(d_, materialtypepin->currentIndex());
}

void Tsizingform::RatioeditExit() {
  const FieldValue v = read_field(d_, Ratioedit);
  if (v.changed) {
    d_.desired_ratio = static_cast<float>(v.value);
    hold_ratio(d_, Ratioedit);
    // A new ratio overwrites a typed aspect ratio with the rule's value.
    d_.pinion_aspect_ratio = sizing_aspect_ratio(d_.desired_ratio);
  }
  show_value(Ratioedit, d_.desired_ratio);
  show_value(aspectratioedit, d_.pinion_aspect_ratio);
  finish_field_exit(d_, nullptr);
}

void Tsizingform::torquepineditExit() {
  const FieldValue v = read_field(d_, torquepinedit);
  if (v.changed) {
    d_.edit_old_value = d_.torque;
    d_.torque = static_cast<float>(v.value * static_cast<double>(d_.torque_unit_factor));
    if (!torque_ok(d_.torque)) {
      d_.torque = d_.edit_old_value;
      warn_field(d_, torquepinedit, "Value is out of range", "", " ");
    }
  }
  show_value(torquepinedit, d_.torque / d_.torque_unit_factor);
  finish_field_exit(d_, nullptr);
}

void Tsizingform::HelixangleeditExit() {
  const FieldValue v = read_field(d_, Helixangleedit);
  if (v.changed) {
    d_.helix_angle = static_cast<float>(v.value);
    hold_helix_angle(d_, Helixangleedit);
  }
  show_value(Helixangleedit, d_.helix_angle);
  finish_field_exit(d_, nullptr);
}

void Tsizingform::aspectratioeditExit() {
  const FieldValue v = read_field(d_, aspectratioedit);
  if (v.changed) {
    d_.pinion_aspect_ratio = static_cast<float>(v.value);
    if (d_.pinion_aspect_ratio < kSmallestAspectRatio) {
      d_.pinion_aspect_ratio = kSmallestAspectRatio;
      warn_field(d_, aspectratioedit, format_line("Aspect ratio must be greater than %g", double(kSmallestAspectRatio)),
                 "Value has been adjusted", " ");
    } else if (d_.pinion_aspect_ratio > kLargestAspectRatio) {
      d_.pinion_aspect_ratio = kLargestAspectRatio;
      warn_field(d_, aspectratioedit, "Aspectratio has exceeded limit", "Value has been adjusted", " ");
    }
  }
  show_value(aspectratioedit, d_.pinion_aspect_ratio);
  finish_field_exit(d_, nullptr);
}

void Tsizingform::cyclespineditExit() {
  const FieldValue v = read_field(d_, cyclespinedit);
  if (v.changed) {
    d_.scratch_values[0] = d_.load_cycles_pinion;
    d_.scratch_values[2] = d_.life_hours;
    d_.load_cycles_pinion = static_cast<float>(v.value);
    d_.life_hours = running_hours(LoadArithmetic::load_case, d_.load_cycles_pinion, d_.speed);
    // A number too large for the cycle count becomes infinite, the only way past 1e99. The cycles set
    // the running time of the load case, which must stay one the rating input window takes.
    if (!cycles_ok(d_.load_cycles_pinion) || !time_ok(d_.life_hours)) {
      const std::string hours = format_line("%g h", double(d_.life_hours));
      d_.load_cycles_pinion = d_.scratch_values[0];
      d_.life_hours = d_.scratch_values[2];
      warn_field(d_, cyclespinedit, "Value is out of range",
                 "The running time at the pinion's speed would be " + hours,
                 format_line("(it must be greater than 0 and at most %g h)", double(kLongestRunningTime)));
    }
  }
  show_value(cyclespinedit, d_.load_cycles_pinion);
  finish_field_exit(d_, nullptr);
}

}  // namespace morvell
