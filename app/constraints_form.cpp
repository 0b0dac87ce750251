#include "constraints_form.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>
#include <cstring>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "design_file.h"
#include "field_events.h"
#include "input_limits.h"
#include "main_window.h"
#include "modal_services.h"
#include "geometry_pass.h"
#include "input_limits.h"
#include "numeric.h"
#include "results_pane.h"
#include "window_scale.h"

namespace morvell {

TConstraintsform* constraintsform = nullptr;

namespace {

struct Row {
  float (GeometryConstraints::*field)[2];
  const char* metric_caption;
  const char* english_caption;
  const char* metric_hint;  // nullptr: the caption has no hint
  const char* english_hint;
  bool length;          // shown in mm or inch
  ConstraintRange range;
};

const Row kRowTable[TConstraintsform::kRows] = {
    {&GeometryConstraints::min_tip_thickness_coeff, "Minimum Tip Thickness / Module", "Minimum Tip Thickness * DP",
     "Minimum Tip Thickness / Module", "Minimum Tip Thickness Multiplied by Diametral Pitch", false, kThicknessConstraint},
    {&GeometryConstraints::min_eap_thickness_coeff, "Minimum EAP Thickness / Module", "Minimum EAP Thickness * DP",
     "Minimum Chamfer Start Thickness / Module", "Minimum Chamfer Start Thickness Multiplied by Diametral Pitch",
     false, kThicknessConstraint},
    {&GeometryConstraints::min_form_to_sap, "Minimum Form Radius to SAP", "Minimum Form Radius to SAP", nullptr,
     nullptr, true, kRadialDistanceConstraint},
    {&GeometryConstraints::min_base_to_form, "Minimum Base Radius to Form Radius",
     "Minimum Base Radius to Form Radius", nullptr, nullptr, true, kRadialDistanceConstraint},
    {&GeometryConstraints::min_bottom_clearance_coeff, "Minimum Bottom Clearance / Module",
     "Minimum Bottom Clearance * DP", "Minimum Bottom Clearance / Module",
     "Minimum Bottom Clearance Multiplied by Diametral Pitch", false, kClearanceConstraint},
    {&GeometryConstraints::max_tip_diameter, "Maximum Tip Diameter", "Maximum Tip Diameter", nullptr, nullptr, true,
     kDiameterConstraint},
    {&GeometryConstraints::min_root_diameter, "Minimum Root Diameter", "Minimum Root Diameter", nullptr, nullptr,
     true, kDiameterConstraint},
    {&GeometryConstraints::min_root_fillet_coeff, "Minimum Root Fillet Radius / Module",
     "Minimum Root Fillet Radius * DP", "Minimum Root Fillet Radius / Module",
     "Minimum Root Fillet Radius Multiplied by Diametral Pitch", false, kRootFilletConstraint},
};

constexpr int kMaxTipRow = 5;
constexpr int kMinRootRow = 6;

}  // namespace

// Layout designed at 96 pixels per inch.
TConstraintsform::TConstraintsform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("Constraintsform");
  setWindowTitle("Gear Geometry Constraints");
  constexpr int kPinX = 280, kWheelX = 376, kTop = 32, kStep = 28;
  add_label(this, "PINION ", kPinX + 16, 8, 80);
  add_label(this, "WHEEL ", kWheelX + 16, 8, 80);
  const char* names[kRows][2] = {{"pinEAPwidthedit", "wheelEAPwidthedit"},
                                 {"pintipwidthedit", "wheeltipwidthedit"},
                                 {"pinformtoSAPedit", "wheelformtoSAPedit"},
                                 {"pinbasetoformEdit", "wheelbasetoformedit"},
                                 {"pinbottomclearanceedit", "wheelbottomclearanceedit"},
                                 {"pinmaxtipedit", "wheelmaxtipedit"},
                                 {"pinminrootedit", "wheelminrootedit"},
                                 {"pinminfilletedit", "wheelminfilletedit"}};
  int unit = 0;
  for (int r = 0; r < kRows; ++r) {
    const int y = kTop + r * kStep;
    row_captions[r] = add_label(this, kRowTable[r].metric_caption, 8, y + 2, 264);
    for (int g = 0; g < 2; ++g) {
      edits_[r][g] = add_numeric_edit(d_, this, names[r][g], g ? kWheelX : kPinX, y);
      forms::on_exit(edits_[r][g], [this, r, g] { field_exit(r, g); });
    }
    if (kRowTable[r].length) unit_labels[unit++] = add_label(this, "mm", kWheelX + 97, y + 2, 40);
  }
  pinEAPwidthedit = edits_[0][0];
  wheelEAPwidthedit = edits_[0][1];
  pintipwidthedit = edits_[1][0];
  wheeltipwidthedit = edits_[1][1];
  pinformtoSAPedit = edits_[2][0];
  wheelformtoSAPedit = edits_[2][1];
  pinbasetoformEdit = edits_[3][0];
  wheelbasetoformedit = edits_[3][1];
  pinbottomclearanceedit = edits_[4][0];
  wheelbottomclearanceedit = edits_[4][1];
  pinmaxtipedit = edits_[5][0];
  wheelmaxtipedit = edits_[5][1];
  pinminrootedit = edits_[6][0];
  wheelminrootedit = edits_[6][1];
  pinminfilletedit = edits_[7][0];
  wheelminfilletedit = edits_[7][1];

  const int y = kTop + kRows * kStep + 4;
  defaultcheckbox = new QCheckBox("Use Default Values", this);
  defaultcheckbox->setObjectName("defaultcheckbox");
  defaultcheckbox->setGeometry(8, y, 264, 21);
  defaultcheckbox->setToolTip("All geometry constraints will use default values (these may automatically change with module)");
  OKbutton = add_button(this, "OKbutton", "OK", kPinX + 7, y + 36);
  cancelbutton = add_button(this, "cancelbutton", "Cancel", kWheelX + 7, y + 36);
  make_cancel_button(cancelbutton);
  setFixedSize(kWheelX + 145, y + 36 + 25 + 12);

  forms::on_click(defaultcheckbox, [this] { defaultcheckboxClick(); });
  forms::on_click(OKbutton, [this] { OKbuttonClick(); });
  forms::on_click(cancelbutton, [this] { cancelbuttonClick(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void TConstraintsform::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TConstraintsform::FormShow() {
  cancel_copy_.take(d_);
  const GeometryConstraints& constraints = d_;
  static_assert(sizeof d_.constraints_backup == sizeof constraints);
  std::memcpy(d_.constraints_backup, &constraints, sizeof d_.constraints_backup);
  const bool checked = d_.constraints_use_defaults == 1;
  if (defaultcheckbox->isChecked() != checked) defaultcheckbox->setChecked(checked);  // runs its click
  const bool english = d_.unit_system == 2;
  for (int r = 0; r < kRows; ++r) {
    const Row& row = kRowTable[r];
    row_captions[r]->setText(english ? row.english_caption : row.metric_caption);
    if (row.metric_hint) row_captions[r]->setToolTip(english ? row.english_hint : row.metric_hint);
  }
  for (QLabel* label : unit_labels) label->setText(length_unit_text(d_));
  Setconstraints_textboxes();
  enter_focused_field(d_, *this);
}

void TConstraintsform::Setconstraints_textboxes() {
  // With the switch on, the geometry pass itself puts in the default table.
  const bool defaults = defaultcheckbox->isChecked();
  for (int r = 0; r < kRows; ++r)
    for (int g = 0; g < 2; ++g) edits_[r][g]->setEnabled(!defaults);
  d_.constraints_use_defaults = defaults ? 1 : 0;

  calc_gear_geometry(d_);

  for (int r = 0; r < kRows; ++r) {
    const Row& row = kRowTable[r];
    for (int g = 0; g < 2; ++g) {
      const float value = (d_.*row.field)[g];
      if (row.length) {
        const float shown = float(ld(value) / ld(d_.length_unit_factor));
        show_field(edits_[r][g], format_length(d_, shown), shown);
      } else {
        show_field(edits_[r][g], format_value(d_, value), value);
      }
    }
  }
}

void TConstraintsform::field_exit(int r, int g) {
  const Row& row = kRowTable[r];
  QLineEdit* e = edits_[r][g];
  FieldValue v = read_field(d_, e);
  if (r == kMinRootRow && g == 0) {
    // The pinion's minimum root diameter is taken to three decimals of the shown unit.
    const std::string printed = format_line("%10.3f", std::strtod(e->text().toStdString().c_str(), nullptr));
    copy_text(d_.number_text, printed);
    if (v.changed) v.value = std::strtod(printed.c_str(), nullptr);
  }
  if (v.changed) {
    float& field = (d_.*row.field)[g];
    d_.edit_old_value = field;
    field = float(row.length ? v.value * double(d_.length_unit_factor) : v.value);
    if (!constraint_ok(field, row.range, d_.normal_module)) {
      warn_field(d_, e, "Value is out of range", " ", " ");
      field = d_.edit_old_value;
    } else if (r == kMaxTipRow && !max_tip_diameter_ok(field, d_.root_diameter[g], d_.form_diameter[g])) {
      warn_field(d_, e, "Maximum tip diameter must be greater than", "the root and form diameters", " ");
      field = d_.edit_old_value;
    } else if (r == kMinRootRow && !min_root_diameter_ok(field, d_.tip_diameter[g])) {
      warn_field(d_, e, "Minimum root diameter must be less than", "the tip diameter", " ");
      field = d_.edit_old_value;
    } else if (const std::string unsavable = unsavable_after_refresh(d_); !unsavable.empty()) {
      // A constraint the geometry follows (Calculate) must leave a design that can be saved.
      warn_field(d_, e, "Value is out of range", "The design could not be saved:", unsavable);
      field = d_.edit_old_value;
    }
  }
  finish_field_exit(d_, [this] { Setconstraints_textboxes(); });
}

void TConstraintsform::defaultcheckboxClick() { Setconstraints_textboxes(); }

void TConstraintsform::OKbuttonClick() { accept(); }

void TConstraintsform::cancelbuttonClick() {
  abandon_pending_entry(d_);
  cancelbutton->setFocus(Qt::OtherFocusReason);
  QDialog::reject();
  // Last, after the closing pass: the design as shown, the switch and what the pass derived included.
  cancel_copy_.restore(d_);
}

void TConstraintsform::reject() { cancelbuttonClick(); }

void TConstraintsform::FormClose() {
  OKbutton->setFocus(Qt::OtherFocusReason);
  calc_gear_geometry(d_);
}

void TConstraintsform::done(int result) {
  if (isVisible()) FormClose();
  QDialog::done(result);
}

void TConstraintsform::mousePressEvent(QMouseEvent* event) {
  OKbutton->setFocus(Qt::MouseFocusReason);
  QDialog::mousePressEvent(event);
}

// The main window's call point of the dialog (its menu command then refreshes the window).
void TMainForm::show_constraints_dialog() {
  if (constraintsform) forms::services().show_modal(*constraintsform);
}

}  // namespace morvell
