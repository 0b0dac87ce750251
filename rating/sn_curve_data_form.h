// The S-N curve data window "Input Fatigue Curve Data": for pinion and wheel, the material type, whether
// the S-N points are estimated from the material or entered, whether limited flank pitting is allowed,
// and the points (stress, load cycles) of the contact curve (static, intermediate, endurance limit,
// infinite life) and of the tooth-root bending curve (static, endurance limit, infinite life). Every
// entry is stored at once; there are no limits and no messages.
#pragma once

#include <QDialog>

#include <vector>

#include "design_data.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

class TSNcurveForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSNcurveForm(DesignData& d, QWidget* parent = nullptr);

  QComboBox* materialtypepin;
  QComboBox* materialtypewheel;

  // Pinion: contact static, intermediate, limit, infinite; bending static, limit, infinite.
  QLineEdit* sigmaHstat_pin_unfactorededit;
  QLineEdit* NLstat_pin_contedit;
  QLineEdit* sigmaHpit_pin_unfactorededit;
  QLineEdit* NLpit_pin_contedit;
  QLineEdit* sigmahlimpinedit;
  QLineEdit* NLlim_pin_contedit;
  QLineEdit* sigmaHinf_pinedit;
  QLineEdit* NLinf_pin_contedit;
  QLineEdit* sigmaFstat_pin_unfactorededit;
  QLineEdit* NLstat_pin_bendedit;
  QLineEdit* sigmaflimpinedit;
  QLineEdit* NLlim_pin_bendedit;
  QLineEdit* sigmaFinf_pinedit;
  QLineEdit* NLinf_pin_bendedit;
  // Wheel, the same rows.
  QLineEdit* sigmaHstat_wheel_unfactorededit;
  QLineEdit* NLstat_wheel_contedit;
  QLineEdit* sigmaHpit_wheel_unfactorededit;
  QLineEdit* NLpit_wheel_contedit;
  QLineEdit* sigmahlimwheeledit;
  QLineEdit* NLlim_wheel_contedit;
  QLineEdit* sigmaHinf_wheeledit;
  QLineEdit* NLinf_wheel_contedit;
  QLineEdit* sigmaFstat_wheel_unfactorededit;
  QLineEdit* NLstat_wheel_bendedit;
  QLineEdit* sigmaflimwheeledit;
  QLineEdit* NLlim_wheel_bendedit;
  QLineEdit* sigmaFinf_wheeledit;
  QLineEdit* NLinf_wheel_bendedit;

  QCheckBox* limitedpittingbox;
  QCheckBox* limitedpittingboxwheel;
  QCheckBox* SNentercheckbox;
  QCheckBox* SNenterwheelcheckbox;
  QPushButton* OKbutton;

  // Stress unit labels, one per row: pinion Label0, Label1, Label11, Label19 .. Label22; wheel Label23 ..
  // Label29. The cycles labels of the intermediate rows: Label31 (pinion), Label38 (wheel).
  QLabel* stress_labels[2][7];
  QLabel* Label31;
  QLabel* Label38;

  void FormCreate();
  void FormShow();
  void FormClick();
  void OKbuttonClick();
  void Set_SN_input_textboxes();
  void materialtypepinChange();
  void materialtypewheelChange();
  void SNentercheckboxClick();
  void SNenterwheelcheckboxClick();
  void limitedpittingboxClick();
  void limitedpittingboxwheelClick();
  // The exit of one of the 28 fields (the enter and change steps are the shared idiom).
  void field_exit(QLineEdit* edit);

  // Closing by any means first moves the focus to OK, so that a field still being edited stores its entry.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  struct Field {
    QLineEdit* edit;
    float* value;
    bool stress;          // shown in the stress unit; cycles are plain counts
    bool runs_estimate;   // an input of the S-N estimate
    bool (*accepted)(float) = nullptr;  // the range of the stored value, where the rating input window has one
  };
  void material_changed(int gear, QComboBox* list);
  void estimate_clicked(int gear);
  void limited_pitting_clicked(int gear);
  void set_boxes_from_design();

  DesignData& d_;
  std::vector<Field> fields_;
};

// The program's instance, created once at start-up.
extern TSNcurveForm* SNcurveForm;

// Shows the S-N curve data window modally: the program's instance, or one of its own when none exists.
void show_sn_curve_data_dialog(DesignData& d, QWidget* parent);

}  // namespace morvell
