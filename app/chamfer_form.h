// The chamfer dialog "Chamfers": edge chamfer and its angle at the ends of the face width, radial tip
// chamfer and its angle at the outside diameter, for pinion and wheel. Cancel (and so Esc and the
// window's close button) puts back the values the dialog was shown with.
#pragma once

#include <QDialog>

#include "cancel_copy.h"
#include "design_data.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

class TChamferform : public QDialog {
  Q_OBJECT

 public:
  explicit TChamferform(DesignData& d, QWidget* parent = nullptr);

  static constexpr int kRows = 4;

  QLineEdit* Pinedgechamedit;
  QLineEdit* Wheeledgechamedit;
  QLineEdit* pinedgechamang;
  QLineEdit* wheeledgechamang;
  QLineEdit* pinchamedit;
  QLineEdit* wheelchamedit;
  QLineEdit* pintipchamferang;
  QLineEdit* wheeltipchamferang;
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QLabel* unit_labels[kRows];

  QLineEdit* edit(int row, int gear) const { return edits_[row][gear]; }

  void FormShow();
  void FormClose();
  void OKButtonClick();
  void CancelButtonClick();
  void field_exit(int row, int gear);
  // Text and hint of one edit from its field.
  void show_edit(int row, int gear);

 protected:
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;  // FormClick

 public:
  void done(int result) override;  // every way of closing commits a pending entry first
  void reject() override;          // Esc and the window's close button: Cancel

 private:
  DesignData& d_;
  CancelCopy cancel_copy_;  // the design as the window was shown
  QLineEdit* edits_[kRows][2];
};

extern TChamferform* chamferform;

}  // namespace morvell
