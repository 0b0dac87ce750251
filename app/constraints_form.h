// The constraints dialog "Gear Geometry Constraints": the eight pinion/wheel limits against which the
// tooth proportions are calculated and the tip diameters limited, and the switch "Use Default Values"
// that fixes them at their defaults (the form-to-SAP distance following the module). Every entry and
// every click of the switch runs the geometry pass, so the boxes show the values it last used. Cancel
// (and so Esc and the window's close button) puts back the design the dialog was shown with, the limits
// and the switch, and abandons an entry still being typed.
#pragma once

#include <QDialog>

#include "cancel_copy.h"
#include "design_data.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

class TConstraintsform : public QDialog {
  Q_OBJECT

 public:
  explicit TConstraintsform(DesignData& d, QWidget* parent = nullptr);

  static constexpr int kRows = 8;

  // Edits per row (pinion, wheel), top to bottom: minimum tip thickness, minimum EAP thickness, form to
  // SAP, base to form, bottom clearance, maximum tip diameter, minimum root diameter, root fillet.
  QLineEdit* pinEAPwidthedit;
  QLineEdit* wheelEAPwidthedit;
  QLineEdit* pintipwidthedit;
  QLineEdit* wheeltipwidthedit;
  QLineEdit* pinformtoSAPedit;
  QLineEdit* wheelformtoSAPedit;
  QLineEdit* pinbasetoformEdit;
  QLineEdit* wheelbasetoformedit;
  QLineEdit* pinbottomclearanceedit;
  QLineEdit* wheelbottomclearanceedit;
  QLineEdit* pinmaxtipedit;
  QLineEdit* wheelmaxtipedit;
  QLineEdit* pinminrootedit;
  QLineEdit* wheelminrootedit;
  QLineEdit* pinminfilletedit;
  QLineEdit* wheelminfilletedit;
  QCheckBox* defaultcheckbox;
  QPushButton* OKbutton;
  QPushButton* cancelbutton;
  QLabel* row_captions[kRows];
  QLabel* unit_labels[4];  // rows 3, 4, 6 and 7

  QLineEdit* edit(int row, int gear) const { return edits_[row][gear]; }

  // The dialog's refresh: defaults while the switch is on, the geometry pass, every box rewritten.
  void Setconstraints_textboxes();

  void FormShow();
  void FormClose();
  void defaultcheckboxClick();
  void OKbuttonClick();
  void cancelbuttonClick();
  void field_exit(int row, int gear);

 protected:
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;  // FormClick

 public:
  void done(int result) override;  // every way of closing commits a pending entry first
  void reject() override;          // Esc and the window's close button: Cancel

 private:
  DesignData& d_;
  CancelCopy cancel_copy_;
  QLineEdit* edits_[kRows][2];
};

extern TConstraintsform* constraintsform;

}  // namespace morvell
