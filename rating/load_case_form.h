// The load-case window "Gear Rating Loadcases": the stored load cases of the design, one shown at a time
// with its speed, torque and power of pinion and wheel, running time and load cycles. A case is created
// as a copy of the one shown and the one shown can be deleted; the table always keeps one to nine
// cases. Every edit takes effect at once: the case shown is always equal to the current rating inputs.
#pragma once

#include <QDialog>

#include "design_data.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

class Tloadcasemultipleform : public QDialog {
  Q_OBJECT

 public:
  explicit Tloadcasemultipleform(DesignData& d, QWidget* parent = nullptr);

  QComboBox* ComboBox2;
  QLineEdit* speedpinedit;
  QLineEdit* speedwheeledit;
  QLabel* speedlabel;
  QLineEdit* torquepinedit;
  QLineEdit* torquewheeledit;
  QLabel* torquelabel;
  QLineEdit* poweredit;
  QLabel* powerlabel;
  QCheckBox* speedcheckbox;
  QCheckBox* torquecheckbox;
  QCheckBox* powercheckbox;
  QLabel* speedcalclabel;
  QLabel* torquecalclabel;
  QLabel* powercalclabel;
  QLineEdit* timeedit;
  QLineEdit* cyclespinedit;
  QLineEdit* cycleswheeledit;
  QCheckBox* timecheckbox;
  QCheckBox* Cyclescheckbox;
  QLabel* timecalclabel;
  QLabel* cyclescalclabel;
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
  void speedpineditExit();
  void speedwheeleditExit();
  void torquepineditExit();
  void torquewheeleditExit();
  void powereditExit();
  void timeeditExit();
  void cyclespineditExit();
  void cycleswheeleditExit();

  // Closing by any means first moves the focus to OK, so that a field still being edited stores its entry.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // After a new speed: the derived torque or power, then the running time or the load cycles.
  void speed_changed();
  // After a new speed derived from the power and torque: the running time or the load cycles.
  void time_or_cycles_from_speed();
  void show_selected_case(int slot);

  DesignData& d_;
};

// The program's instance, created once at start-up.
extern Tloadcasemultipleform* loadcasemultipleform;

// Shows the load-case window modally: the program's instance, or one of its own when none exists.
void show_load_case_dialog(DesignData& d, QWidget* parent);

}  // namespace morvell
