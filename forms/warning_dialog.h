// The warning dialog "Warning!": shows the three warning lines of the design data modally with an OK
// button. Every window that refuses or corrects a value explains it here (see warn in edit_fields.h).
#pragma once

#include <QDialog>

#include "design_data.h"

class QPlainTextEdit;
class QPushButton;

namespace morvell {

class Tgeomwarningform : public QDialog {
  Q_OBJECT

 public:
  explicit Tgeomwarningform(DesignData& d, QWidget* parent = nullptr);

  QPlainTextEdit* warningmemo;
  QPushButton* OKbutton;

  void FormShow();
  void OKbuttonClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DesignData& d_;
  bool scaled_ = false;
};

// The program's instance, created before the main window (whose first refresh may need it).
extern Tgeomwarningform* geomwarningform;

// Shows the warning lines of d modally: in the program's instance, or in a dialog of its own when
// none exists (windows tested on their own).
void show_warning_dialog(DesignData& d);

}  // namespace morvell
