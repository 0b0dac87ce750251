// The face-width offset dialog "Face Width Offset": the axial offset of the wheel's face against the
// pinion's, within 0.99 of the common face width either way. Cancel (and so Esc and the window's close
// button) puts back the offset the dialog was shown with.
#pragma once

#include <QDialog>

#include "cancel_copy.h"
#include "design_data.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

class Tfaceoffsetform : public QDialog {
  Q_OBJECT

 public:
  explicit Tfaceoffsetform(DesignData& d, QWidget* parent = nullptr);

  QLineEdit* faceoffsetedit;
  QLabel* unitlabel;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  void FormShow();
  void OKButtonClick();
  void CancelButtonClick();
  void faceoffseteditExit();
  // Text and hint of the edit from the offset.
  void show_offset();

  void reject() override;  // Esc and the window's close button: Cancel

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DesignData& d_;
  CancelCopy cancel_copy_;  // the design as the window was shown
};

extern Tfaceoffsetform* faceoffsetform;

}  // namespace morvell
