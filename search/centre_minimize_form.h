// "Minimize Centre Distance": the two minimum safety factors (contact and bending) that every gear of
// the pair must meet in the centre-distance minimisation. Accepted values are stored in the design data
// at once and kept between runs; both are held between 1 and 5.
#pragma once

#include <QDialog>

#include "design_data.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

class Tcentreminimizeform : public QDialog {
  Q_OBJECT

 public:
  explicit Tcentreminimizeform(DesignData& d, QWidget* parent = nullptr);

  QLabel* Label1;
  QLineEdit* Edit1;  // min_contact_safety_factor
  QLabel* aspectratiolabel;
  QLineEdit* Edit2;  // min_bending_safety_factor
  QPushButton* okbutton;

  void FormShow();
  void okbuttonClick();
  void Edit1Exit();
  void Edit2Exit();

  // Closing by any means first moves the focus to OK, so that a field still being edited stores its entry.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void show_value(QLineEdit* edit, float value);
  void take_minimum(QLineEdit* edit, float& minimum);

  DesignData& d_;
};

extern Tcentreminimizeform* centreminimizeform;

}  // namespace morvell
