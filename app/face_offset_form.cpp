#include "face_offset_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "input_limits.h"
#include "main_window.h"
#include "modal_services.h"
#include "numeric.h"
#include "window_scale.h"

namespace morvell {

Tfaceoffsetform* faceoffsetform = nullptr;

// Layout designed at 96 pixels per inch.
Tfaceoffsetform::Tfaceoffsetform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("faceoffsetform");
  setWindowTitle("Face Width Offset");
  add_label(this, "Facewidth Offset", 8, 18, 107);
  faceoffsetedit = add_numeric_edit(d_, this, "faceoffsetedit", 116, 16);
  forms::on_exit(faceoffsetedit, [this] { faceoffseteditExit(); });
  unitlabel = add_label(this, "mm", 212, 18, 40);
  OKButton = add_button(this, "OKButton", "OK", 24, 56);
  CancelButton = add_button(this, "CancelButton", "Cancel", 136, 56);
  make_cancel_button(CancelButton);
  setFixedSize(256, 93);
  forms::on_click(OKButton, [this] { OKButtonClick(); });
  forms::on_click(CancelButton, [this] { CancelButtonClick(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Tfaceoffsetform::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void Tfaceoffsetform::FormShow() {
  cancel_copy_.take(d_);
  d_.edit_old_value = d_.face_width_offset;  // the Cancel copy, kept while the dialog is shown
  unitlabel->setText(length_unit_text(d_));
  show_offset();
  enter_focused_field(d_, *this);
}

void Tfaceoffsetform::show_offset() {
  const float shown = float(ld(d_.face_width_offset) / ld(d_.length_unit_factor));
  show_field(faceoffsetedit, format_length(d_, shown), shown);
}

void Tfaceoffsetform::faceoffseteditExit() {
  const FieldValue v = read_field(d_, faceoffsetedit);
  if (v.changed) {
    // edit_old_value holds the Cancel copy: the value to put back goes to the third scratch word.
    d_.scratch_values[2] = d_.face_width_offset;
    d_.face_width_offset = float(v.value * double(d_.length_unit_factor));
    // Within its share of the common face width either way; the size of the width is taken, so that an
    // offset of 0 stays possible even when an odd chamfer and offset have left the width negative.
    if (!face_offset_ok(d_.face_width_offset, d_.active_face_width)) {
      warn_field(d_, faceoffsetedit, "Value is out of range", " ", " ");
      d_.face_width_offset = d_.scratch_values[2];
    }
  }
  finish_field_exit(d_, [this] { show_offset(); });
}

void Tfaceoffsetform::OKButtonClick() { accept(); }

void Tfaceoffsetform::CancelButtonClick() {
  abandon_pending_entry(d_);
  CancelButton->setFocus(Qt::OtherFocusReason);
  QDialog::reject();
  cancel_copy_.restore(d_);
  show_offset();
}

void Tfaceoffsetform::reject() { CancelButtonClick(); }

// The main window's call point of the dialog (its menu command then refreshes the window).
void TMainForm::show_face_offset_dialog() {
  if (faceoffsetform) forms::services().show_modal(*faceoffsetform);
}

}  // namespace morvell
