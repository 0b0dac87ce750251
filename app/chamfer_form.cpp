#include "chamfer_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "input_limits.h"
#include "main_window.h"
#include "measurement.h"
#include "modal_services.h"
#include "numeric.h"
#include "window_scale.h"

namespace morvell {

TChamferform* chamferform = nullptr;

namespace {

enum RowKind { kEdgeChamfer, kEdgeAngle, kTipChamfer, kTipAngle };

float (DesignData::*const kFields[TChamferform::kRows])[2] = {&DesignData::edge_chamfer, &DesignData::edge_chamfer_angle,
                                                            &DesignData::tip_chamfer, &DesignData::tip_chamfer_angle};

bool is_length(int row) { return row == kEdgeChamfer || row == kTipChamfer; }

// Where each value is kept for Cancel in the scratch words: edge chamfers, tip chamfers, edge angles,
// tip angles.
int scratch_index(int row, int gear) {
  static constexpr int kFirst[TChamferform::kRows] = {0, 4, 2, 6};
  return kFirst[row] + gear;
}

}  // namespace

// Layout designed at 96 pixels per inch.
TChamferform::TChamferform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("Chamferform");
  setWindowTitle("Chamfers");
  constexpr int kPinX = 144, kWheelX = 240, kTop = 32, kStep = 28;
  add_label(this, "PINION ", kPinX + 16, 8, 80);
  add_label(this, "WHEEL ", kWheelX + 16, 8, 80);
  const char* captions[kRows] = {"Edge Chamfer", "Edge Chamfer Angle", "Tip Chamfer", "Tip Chamfer Angle"};
  const char* names[kRows][2] = {{"Pinedgechamedit", "Wheeledgechamedit"},
                                 {"pinedgechamang", "wheeledgechamang"},
                                 {"pinchamedit", "wheelchamedit"},
                                 {"pintipchamferang", "wheeltipchamferang"}};
  for (int r = 0; r < kRows; ++r) {
    const int y = kTop + r * kStep;
    QLabel* caption = add_label(this, captions[r], 8, y + 2, 132);
    if (r == kTipChamfer || r == kTipAngle) caption->setToolTip("Radial Tip Chamfer");
    for (int g = 0; g < 2; ++g) {
      edits_[r][g] = add_numeric_edit(d_, this, names[r][g], g ? kWheelX : kPinX, y);
      forms::on_exit(edits_[r][g], [this, r, g] { field_exit(r, g); });
    }
    unit_labels[r] = add_label(this, is_length(r) ? "mm" : "degrees", kWheelX + 97, y + 2, 56);
  }
  Pinedgechamedit = edits_[0][0];
  Wheeledgechamedit = edits_[0][1];
  pinedgechamang = edits_[1][0];
  wheeledgechamang = edits_[1][1];
  pinchamedit = edits_[2][0];
  wheelchamedit = edits_[2][1];
  pintipchamferang = edits_[3][0];
  wheeltipchamferang = edits_[3][1];

  const int y = kTop + kRows * kStep + 8;
  OKButton = add_button(this, "OKButton", "OK", kPinX + 7, y);
  CancelButton = add_button(this, "CancelButton", "Cancel", kWheelX + 7, y);
  make_cancel_button(CancelButton);
  setFixedSize(kWheelX + 161, y + 25 + 12);
  forms::on_click(OKButton, [this] { OKButtonClick(); });
  forms::on_click(CancelButton, [this] { CancelButtonClick(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void TChamferform::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TChamferform::FormShow() {
  cancel_copy_.take(d_);
  for (int r = 0; r < kRows; ++r)
    for (int g = 0; g < 2; ++g) d_.scratch_values[scratch_index(r, g)] = (d_.*kFields[r])[g];
  for (int r = 0; r < kRows; ++r)
    for (int g = 0; g < 2; ++g) show_edit(r, g);
  for (int r = 0; r < kRows; ++r)
    if (is_length(r)) unit_labels[r]->setText(length_unit_text(d_));
  enter_focused_field(d_, *this);
}

void TChamferform::show_edit(int r, int g) {
  const float value = (d_.*kFields[r])[g];
  if (is_length(r)) {
    const float shown = float(ld(value) / ld(d_.length_unit_factor));
    show_field(edits_[r][g], format_length(d_, shown), shown);
  } else {
    show_field(edits_[r][g], format_value(d_, value), value);
  }
}

void TChamferform::field_exit(int r, int g) {
  QLineEdit* e = edits_[r][g];
  const FieldValue v = read_field(d_, e);
  if (v.changed) {
    float& field = (d_.*kFields[r])[g];
    d_.edit_old_value = field;
    field = float(is_length(r) ? v.value * double(d_.length_unit_factor) : v.value);
    const double value = field;
    bool refused = false;
    if (r == kTipAngle) {
      // Not above 89 degrees, and not below the pressure angle at the outside diameter.
      if (value > kLargestChamferAngle) {
        warn_field(d_, e, "Value is out of range", " ", " ");
        refused = true;
      } else if (value < tip_pressure_angle(d_, g)) {
        warn_field(d_, e, "Value must be greater than pressure", "angle at outside diameter ", " ");
        refused = true;
      }
    } else {
      const double upper = r == kEdgeAngle ? double(kLargestChamferAngle)
                           : r == kEdgeChamfer ? double(largest_edge_chamfer(d_.normal_module, d_.face_width[g]))
                                               : double(largest_tip_chamfer(d_.normal_module));
      if (!(value >= 0 && value <= upper)) {
        warn_field(d_, e, "Value is out of range", " ", " ");
        refused = true;
      }
    }
    if (refused) field = d_.edit_old_value;
  }
  finish_field_exit(d_, [this, r, g] { show_edit(r, g); });
}

void TChamferform::OKButtonClick() { accept(); }

void TChamferform::CancelButtonClick() {
  abandon_pending_entry(d_);
  CancelButton->setFocus(Qt::OtherFocusReason);
  QDialog::reject();
  cancel_copy_.restore(d_);
}

void TChamferform::reject() { CancelButtonClick(); }

void TChamferform::FormClose() { OKButton->setFocus(Qt::OtherFocusReason); }

void TChamferform::done(int result) {
  if (isVisible()) FormClose();
  QDialog::done(result);
}

void TChamferform::mousePressEvent(QMouseEvent* event) {
  OKButton->setFocus(Qt::MouseFocusReason);
  QDialog::mousePressEvent(event);
}

// The main window's call point of the dialog (its menu command then refreshes the window).
void TMainForm::show_chamfer_dialog() {
  if (chamferform) forms::services().show_modal(*chamferform);
}

}  // namespace morvell
