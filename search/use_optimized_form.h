// The question "Update geometry details" after a design search: restore the design from before the
// search or use the one picked in the search window. It only records the answer in
// use_optimized_design; closing it otherwise answers "Restore original".
#pragma once

#include <QDialog>

#include "design_data.h"

class QPlainTextEdit;
class QPushButton;

namespace morvell {

class Tuseoptimizedform : public QDialog {
  Q_OBJECT

 public:
  explicit Tuseoptimizedform(DesignData& d, QWidget* parent = nullptr);

  QPlainTextEdit* warningmemo;
  QPushButton* OKbutton;  // "Restore original"
  QPushButton* Button1;   // "Use new"

  void FormShow();
  void OKbuttonClick();
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DesignData& d_;
};

extern Tuseoptimizedform* useoptimizedform;

}  // namespace morvell
