// The warning dialog "Warning!": shows the three warning lines of the design data modally with an OK
// button. Every window that refuses or corrects a value explains it here (see warn in edit_fields.h).
#pragma once

#include <QDialog>
#include <QStringList>

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
  // Sizes the memo to show every line whole, from the size of the scaled layout up to what the screen
  // allows (a line longer than that wraps), with the OK button below it.
  void fit_to_lines(const QStringList& lines);
  // Puts the memo and the button back where the layout has them, or takes that layout as the one to
  // keep (after the scaling).
  void restore_layout();
  void remember_layout();

  bool scaled_ = false;
  QRect memo_rect_;    // the memo in the layout: the smallest it is made
  QRect button_rect_;  // the OK button in the layout
  QSize window_size_;
};

// The program's instance, created before the main window (whose first refresh may need it).
extern Tgeomwarningform* geomwarningform;

// Shows the warning lines of d modally: in the program's instance, or in a dialog of its own when
// none exists (windows tested on their own).
void show_warning_dialog(DesignData& d);

}  // namespace morvell
