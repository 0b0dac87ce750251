// The window "Tolerances": the ISO 1328 accuracy grades of pinion and wheel and the table of the twelve
// deviation tolerances of both gears for those grades.
//
// While it is shown the geometry manager is overridden (mode 0) and eighteen geometry and backlash
// values are held as they were at the showing: they are written back on every refresh and when the
// window closes, so that only the grades and the tolerances that follow from them change. The window
// also keeps upper and lower size limits (tip diameter, tip chamfer, face width, edge chamfer, centre
// distance, finished thickness) with their default rules; their boxes are hidden and follow the
// defaults.
#pragma once

#include <QDialog>

#include "design_data.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTextEdit;
class QPushButton;

namespace morvell {

// Sets the size limits of ToleranceLimits from the design's tip diameters, chamfers, face widths,
// centre distance and finished thicknesses by the default bands.
void set_default_tolerance_limits(DesignData& d);

class TTolerancesform : public QDialog {
  Q_OBJECT

 public:
  explicit TTolerancesform(DesignData& d, QWidget* parent = nullptr);

  void FormShow();
  void FormClose();
  void Button1Click();
  // The window's refresh: the held values back into the design, the limits, every box and the table.
  void Set_textboxes();
  void ISOgradepineditExit() { grade_exit(0); }
  void ISOgradewheeleditExit() { grade_exit(1); }
  void defaultcheckboxClick() { Set_textboxes(); }
  void finthicknessComboBoxChange() { Set_textboxes(); }

  // The hidden limit boxes, one exit handler for all: `index` as in limit_edit().
  static constexpr int kLimitEdits = 22;
  void limit_exit(int index);
  QLineEdit* limit_edit(int index) const { return limit_edits_[index]; }

  QLabel* gradelabel;
  QLabel* pinionheading;  // "PINION  " over the pinion's grade and column of the table
  QLabel* wheelheading;   // "WHEEL  " over the wheel's
  QLineEdit* ISOgradepinedit;
  QLineEdit* ISOgradewheeledit;
  QTextEdit* mainresults;
  QPushButton* Button1;

  // Hidden: limit boxes (pinion / wheel; "2" marks the lower limit), their display box and switches.
  QLineEdit* Pintipdiaedit;
  QLineEdit* Wheeltipdiaedit;
  QLineEdit* Pintipdiaedit2;
  QLineEdit* Wheeltipdiaedit2;
  QLineEdit* pinchamedit;
  QLineEdit* wheelchamedit;
  QLineEdit* pinchamedit2;
  QLineEdit* wheelchamedit2;
  QLineEdit* Pinfacewidthedit;
  QLineEdit* Wheelfacewidthedit;
  QLineEdit* Pinfacewidthedit2;
  QLineEdit* Wheelfacewidthedit2;
  QLineEdit* Pinedgechamedit;
  QLineEdit* Wheeledgechamedit;
  QLineEdit* Pinedgechamedit2;
  QLineEdit* Wheeledgechamedit2;
  QLineEdit* Centredistedit;
  QLineEdit* Centredistedit2;
  QLineEdit* Pinfinthick;
  QLineEdit* Wheelfinthick;
  QLineEdit* Pinfinthick2;
  QLineEdit* Wheelfinthick2;
  QLineEdit* radcompedit;
  QComboBox* finthicknessComboBox;
  QCheckBox* defaultcheckbox;
  QLabel* unit_labels[13];  // units1 .. units11, units13, units14

  void done(int result) override;  // every way of closing leaves a field being edited first

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void grade_exit(int gear);
  // Puts each heading, with its gear's grade box under it, over its gear's column of the table.
  void place_headings_over_columns();
  void take_snapshot();
  void restore_snapshot();

  DesignData& d_;
  float addendum_backup_[2]{};  // the addenda when the window was shown, restored with the snapshot
  QLineEdit* limit_edits_[kLimitEdits];
};

// The program's instance.
extern TTolerancesform* Tolerancesform;

}  // namespace morvell
