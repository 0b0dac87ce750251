// The load-case window "Gear Rating Loadcases": the stored load cases of the design, one shown at a time
// with its speed, torque and power of pinion and wheel, running time and load cycles. A case is created
// as a copy of the one shown and the one shown can be deleted; the table always keeps one to nine
// cases. Every edit takes effect at once: the case shown is always equal to the current rating inputs.
// The fields are the load block it shares with the rating input window, with no range but the float
// range.
#pragma once

#include <QDialog>

#include "design_data.h"
#include "load_block.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace morvell {

class Tloadcasemultipleform : public QDialog, public LoadBlock {
  Q_OBJECT

 public:
  explicit Tloadcasemultipleform(DesignData& d, QWidget* parent = nullptr);

  QComboBox* ComboBox2;
  QLineEdit* loaddatafixedforedit;
  QPushButton* Button2;  // "Create new"
  QPushButton* Button3;  // "Delete"
  QPushButton* Button5;  // "OK"

  void FormShow();
  void Setloadcasestextboxes();
  void ComboBox2Change();
  void Button2Click();
  void Button3Click();
  void Button5Click();

  // Closing by any means first moves the focus to OK, so that a field still being edited stores its entry.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void show_selected_case(int slot);
  void refresh_after_load_entry() override { Setloadcasestextboxes(); }

  DesignData& d_;
};

// The program's instance, created once at start-up.
extern Tloadcasemultipleform* loadcasemultipleform;

// Shows the load-case window modally: the program's instance, or one of its own when none exists.
void show_load_case_dialog(DesignData& d, QWidget* parent);

}  // namespace morvell
