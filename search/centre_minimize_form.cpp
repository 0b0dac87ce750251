#include "centre_minimize_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "dialog_controls.h"
#include "edit_fields.h"
#include "field_events.h"
#include "window_scale.h"

namespace morvell {

Tcentreminimizeform* centreminimizeform = nullptr;

// Layout at 96 pixels per inch.
Tcentreminimizeform::Tcentreminimizeform(DesignData& d, QWidget* parent) : QDialog(parent), d_(d) {
  setObjectName("centreminimizeform");
  setWindowTitle("Minimize Centre Distance");
  const auto label = [this](const char* name, const char* text, int row) {
    QLabel* l = add_label(this, text, 16, row + 3, 210);
    l->setObjectName(name);
    return l;
  };
  // Only the first field takes at most 12 characters.
  const auto edit = [this](const char* name, int row, int max_length) {
    return add_numeric_edit(d_, this, name, 230, row, 100, 23, {.right_aligned = true, .max_length = max_length});
  };
  Label1 = label("Label1", "Minimum safety factor (contact)", 16);
  Edit1 = edit("Edit1", 16, 12);
  aspectratiolabel = label("aspectratiolabel", "Minimum safety factor (bending)", 48);
  Edit2 = edit("Edit2", 48, NumericEditStyle::kAnyLength);
  okbutton = new QPushButton("OK", this);
  okbutton->setObjectName("okbutton");
  okbutton->setGeometry(128, 92, 90, 27);
  okbutton->setDefault(true);
  setFixedSize(346, 136);
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, okbutton);

  forms::on_exit(Edit1, [this] { Edit1Exit(); });
  forms::on_exit(Edit2, [this] { Edit2Exit(); });
  forms::on_click(okbutton, [this] { okbuttonClick(); });

  scale_window(this, d_);
  d_.edit_changed = 0;
}

void Tcentreminimizeform::showEvent(QShowEvent* event) {
  centre_on_screen(this);
  FormShow();
  QDialog::showEvent(event);
}

void Tcentreminimizeform::show_value(QLineEdit* edit, float value) { show_field(edit, format_value(d_, value), value); }

void Tcentreminimizeform::FormShow() {
  show_value(Edit1, d_.min_contact_safety_factor);
  show_value(Edit2, d_.min_bending_safety_factor);
  okbutton->setFocus(Qt::OtherFocusReason);
}

void Tcentreminimizeform::done(int result) {
  if (isVisible() && focusWidget() != okbutton) okbutton->setFocus(Qt::OtherFocusReason);
  QDialog::done(result);
}

void Tcentreminimizeform::okbuttonClick() { accept(); }

// A changed entry is stored, then held between 1 and 5 (both accepted) with a warning that gives the
// focus back to the field.
void Tcentreminimizeform::take_minimum(QLineEdit* edit, float& minimum) {
  const FieldValue v = read_field(d_, edit);
  if (v.changed) {
    minimum = static_cast<float>(v.value);
    if (minimum < 1.0f) {
      warn_field(d_, edit, "Minimum safety factor must be greater than 1", "Value has been adjusted", " ");
      minimum = 1.0f;
    } else if (minimum > 5.0f) {
      warn_field(d_, edit, "Minimum safety factor has exceeded limit", "Value has been adjusted", " ");
      minimum = 5.0f;
    }
  }
  show_value(edit, minimum);
  finish_field_exit(d_, nullptr);
}

void Tcentreminimizeform::Edit1Exit() { take_minimum(Edit1, d_.min_contact_safety_factor); }
void Tcentreminimizeform::Edit2Exit() { take_minimum(Edit2, d_.min_bending_safety_factor); }

}  // namespace morvell
