// The rating input window "Gear Rating Inputs": every input of the ISO 6336 rating that is not gear
// geometry. Materials with their stress numbers, elastic constants, strengths and hardness; accuracy
// grades and base pitch errors; flank and fillet roughness; lubricant viscosity; the load of the load
// case chosen in its list (speed, torque, power, running time, load cycles, misalignment); and the
// application factor K_A. It chooses whether the S-N curves are estimated from the material or entered
// in the S-N curve data window, and opens the load-case window. Every accepted entry is stored at once;
// a value out of its range is refused in the warning dialog and the previous value comes back. The
// load of the case (speed to cycles) is the load block it shares with the load-case window.
#pragma once

#include <QComboBox>
#include <QDialog>

#include <functional>

#include "design_data.h"
#include "load_block.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvell {

// A material list that tells when its list drops down.
class DropDownComboBox : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void()> on_drop_down;
  void showPopup() override {
    if (on_drop_down) on_drop_down();
    QComboBox::showPopup();
  }
};

class TISO_rating_input_form : public QDialog, public LoadBlock {
  Q_OBJECT

 public:
  explicit TISO_rating_input_form(DesignData& d, QWidget* parent = nullptr);

  DropDownComboBox* materialtypepin;
  QComboBox* materialtypewheel;
  QLineEdit* sigmaflimpinedit;
  QLineEdit* sigmaflimwheeledit;
  QLabel* bendingstresslabel;
  QLineEdit* sigmahlimpinedit;
  QLineEdit* sigmahlimwheeledit;
  QLabel* contactstresslabel;
  QCheckBox* limitedpittingbox;
  QCheckBox* limitedpittingboxwheel;
  QCheckBox* SNentercheckbox;
  QCheckBox* SNenterwheelcheckbox;
  QCheckBox* stressnumberpincheck;
  QPushButton* EditSNdatabutton;
  QLineEdit* poisson1edit;
  QLineEdit* poisson2edit;
  QLineEdit* E1edit;
  QLineEdit* E2edit;
  QLabel* moduluslabel;
  QLineEdit* sigmab1edit;
  QLineEdit* sigmab2edit;
  QLabel* yieldlabel;
  QLineEdit* sigmas1edit;
  QLineEdit* sigmas2edit;
  QLabel* tensilelabel;
  QComboBox* ComboBoxhardness;
  QLineEdit* HR1edit;
  QLineEdit* HR2edit;
  QLineEdit* ISOgradepinedit;
  QLineEdit* ISOgradewheeledit;
  QCheckBox* pticherrorfromgradecheckbox;
  QLineEdit* pitcherrorpinedit;
  QLineEdit* pitcherrorwheeledit;
  QLabel* pitchlabel;
  QComboBox* RaComboBox;
  QLineEdit* roughnesspinedit;
  QLineEdit* roughnesswheeledit;
  QLabel* roughnesslabel;
  QComboBox* RafillComboBox;
  QLineEdit* roughnessfilpinedit;
  QLineEdit* roughnessfilwheeledit;
  QLabel* filroughnesslabel;
  QLineEdit* viscosityedit;
  QLabel* viscositylabel;
  QLabel* viscositylabel2;
  QComboBox* ComboBox2;
  QPushButton* Button1;  // "Modify"
  QLineEdit* loaddatafixedforedit;
  QLineEdit* FbetaXedit;
  QLabel* misallabel;
  QComboBox* drivingcombo;
  QComboBox* drivencombo;
  QCheckBox* appfactorcheckbox;
  QLineEdit* applicationfactoredit;
  QPushButton* OKbutton;

  void FormCreate();
  void FormShow();
  void FormClick();
  void OKbuttonClick();
  void Setrating_input_textboxes();

  void sigmaflimpineditExit();
  void sigmaflimwheeleditExit();
  void sigmahlimpineditExit();
  void sigmahlimwheeleditExit();
  void poisson1editExit();
  void poisson2editExit();
  void E1editExit();
  void E2editExit();
  void sigmab1editExit();
  void sigmab2editExit();
  void sigmas1editExit();
  void sigmas2editExit();
  void HR1editExit();
  void HR2editExit();
  void ISOgradepineditExit();
  void ISOgradewheeleditExit();
  void pitcherrorpineditExit();
  void pitcherrorwheeleditExit();
  void roughnesspineditExit();
  void roughnesswheeleditExit();
  void roughnessfilpineditExit();
  void roughnessfilwheeleditExit();
  void viscosityeditExit();
  void FbetaXeditExit();
  void applicationfactoreditExit();

  void appfactorcheckboxClick();
  void drivingcomboChange();
  void drivencomboChange();
  void materialtypepinChange();
  void materialtypewheelChange();
  void materialtypepinDropDown();
  void materialtypepinExit();
  void materialtypewheelEnter();
  void materialtypewheelExit();
  void stressnumberpincheckClick();
  void SNentercheckboxClick();
  void SNenterwheelcheckboxClick();
  void limitedpittingboxClick();
  void limitedpittingboxwheelClick();
  void EditSNdatabuttonClick();
  void pticherrorfromgradecheckboxClick();
  void ComboBoxhardnessChange();
  void RaComboBoxChange();
  void RafillComboBoxChange();
  void ComboBox2Change();
  void Button1Click();

  // Closing by any means first moves the focus to OK, so that a field still being edited stores its entry.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // A field whose value must lie in a range: stores entry x factor, refuses a value outside with the
  // warning lines and brings back the previous value. Returns false when the value was refused.
  bool store_checked(QLineEdit* edit, double entry, float& value, float factor, bool (*accepted)(float),
                     const char* line2 = " ");
  void stress_number_exit(QLineEdit* edit, float& value, bool (*accepted)(float));
  void limited_field_exit(QLineEdit* edit, float& value, float factor, bool (*accepted)(float));
  void hardness_exit(int gear, QLineEdit* edit);
  void grade_exit(int gear, QLineEdit* edit);
  void pitch_error_exit(int gear, QLineEdit* edit);
  void roughness_exit(QLineEdit* edit, float& value, const QComboBox* scale);
  void store_case();
  void pitch_error_from_grade(int gear);
  void material_changed(int gear, QComboBox* list, QCheckBox* pitting);
  void estimate_clicked(int gear, QCheckBox* box, QCheckBox* pitting);
  void set_estimation_controls(bool estimating);
  void fill_load_case_list();
  void load_first_case();
  void application_factor_from_machines();
  void refresh() { Setrating_input_textboxes(); }
  void refresh_after_load_entry() override { refresh(); }
  // A load entry stores the case shown.
  void load_entered() override { store_case(); }

  DesignData& d_;
};

// The program's instance, created once at start-up.
extern TISO_rating_input_form* ISO_rating_input_form;

}  // namespace morvell
