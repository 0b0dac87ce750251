// The sizing wizard "Initial Sizing": the targets of a new gear pair before the program sizes it (gear
// ratio, pinion torque, helix angle, pinion aspect ratio, load cycles and one material for both gears).
// It writes straight into the design data: each show resets the targets to fixed defaults (the material
// shown, "Case Hardening Steel", with its values and estimated S-N curves), every accepted field value and
// material is stored at once, and every close derives the running time, the power and load case 1.
// It computes no geometry: the main window's first show sizes the pair from what it leaves.
#pragma once

#include <QDialog>

#include "design_data.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

class Tsizingform : public QDialog {
  Q_OBJECT

 public:
  explicit Tsizingform(DesignData& d, QWidget* parent = nullptr);

  QLabel* Ratiolabel;
  QLineEdit* Ratioedit;
  QLabel* torquelabel;
  QLineEdit* torquepinedit;
  QLabel* unitstorque;
  QLabel* Helixlabel;
  QLineEdit* Helixangleedit;
  QLabel* unitsbeta;
  QLabel* aspectratiolabel;
  QLineEdit* aspectratioedit;
  QLabel* cycleslabel;
  QLineEdit* cyclespinedit;
  QLabel* materialtypelabel;
  QComboBox* materialtypepin;
  QPushButton* okbutton;

  void FormShow();
  void FormClose();
  void okbuttonClick();
  void materialtypepinChange();
  void RatioeditExit();
  void torquepineditExit();
  void HelixangleeditExit();
  void aspectratioeditExit();
  void cyclespineditExit();

  // Closing by any means (OK, Escape, the close box) first moves the focus to OK, so that the field still
  // being edited stores its entry, and then runs FormClose.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void show_value(QLineEdit* edit, float shown);

  DesignData& d_;
};

extern Tsizingform* sizingform;

}  // namespace morvell
