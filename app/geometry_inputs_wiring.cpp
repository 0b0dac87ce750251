// Connects the geometry inputs of the main window to their handlers. Entering a numeric field and
// changing its text follow the shared edit-field idiom, which the layout binds to every numeric field;
// here are the exits, the boxes, the buttons, the lists and the Enter key of the reduced window.
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "field_events.h"
#include "main_window.h"

namespace morvell {

namespace {

// The character a key press stands for: 13 for Enter (either key), else the first character typed.
int key_character(const QKeyEvent& e) {
  if (e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter) return 13;
  const QString text = e.text();
  return text.isEmpty() ? 0 : text.at(0).unicode();
}

}  // namespace

void TMainForm::connect_geometry_inputs() {
  using forms::on_choice;
  using forms::on_click;
  using forms::on_exit;
  using Exit = void (TMainForm::*)();
  const std::pair<QWidget*, Exit> exits[] = {
      {Moduleedit, &TMainForm::ModuleeditExit},
      {Pressureangleedit, &TMainForm::PressureangleeditExit},
      {Helixangleedit, &TMainForm::HelixangleeditExit},
      {Centredistedit, &TMainForm::CentredisteditExit},
      {Pinfacewidthedit, &TMainForm::PinfacewidtheditExit},
      {Wheelfacewidthedit, &TMainForm::WheelfacewidtheditExit},
      {Pinedgechamedit, &TMainForm::PinedgechameditExit},
      {Wheeledgechamedit, &TMainForm::WheeledgechameditExit},
      {Ratioedit, &TMainForm::RatioeditExit},
      {Z1edit, &TMainForm::Z1editExit},
      {Z2edit, &TMainForm::Z2editExit},
      {SigmaXedit, &TMainForm::SigmaXeditExit},
      {x1edit, &TMainForm::x1editExit},
      {x2edit, &TMainForm::x2editExit},
      {xtrackbar, &TMainForm::xtrackbarExit},
      {Backlashedit, &TMainForm::BacklasheditExit},
      {backlashtrackbar, &TMainForm::backlashtrackbarExit},
      {Pinthickedit, &TMainForm::PinthickeditExit},
      {Wheelthickedit, &TMainForm::WheelthickeditExit},
      {Pinfinthick, &TMainForm::PinfinthickExit},
      {Wheelfinthick, &TMainForm::WheelfinthickExit},
      {Pintipdiaedit, &TMainForm::PintipdiaeditExit},
      {Wheeltipdiaedit, &TMainForm::WheeltipdiaeditExit},
      {pinchamedit, &TMainForm::pinchameditExit},
      {wheelchamedit, &TMainForm::wheelchameditExit},
      {Pinrootdiaedit, &TMainForm::PinrootdiaeditExit},
      {Wheelrootdiaedit, &TMainForm::WheelrootdiaeditExit},
      {Pinfilletedit, &TMainForm::PinfilleteditExit},
      {Wheelfilletedit, &TMainForm::WheelfilleteditExit},
      {ha1rackedit, &TMainForm::ha1rackeditExit},
      {ha2rackedit, &TMainForm::ha2rackeditExit},
      {hf1rackedit, &TMainForm::hf1rackeditExit},
      {hf2rackedit, &TMainForm::hf2rackeditExit},
      {rho1rackedit, &TMainForm::rho1rackeditExit},
      {rho2rackedit, &TMainForm::rho2rackeditExit},
      {pinprotedit, &TMainForm::pinproteditExit},
      {wheelprotedit, &TMainForm::wheelproteditExit},
  };
  for (const auto& [control, handler] : exits) on_exit(control, [this, h = handler] { (this->*h)(); });

  // The centre-distance and shift-sum boxes share one handler.
  on_click(CheckBoxCentre, [this] { CheckBoxCentreClick(); });
  on_click(sigmaXCheckBox, [this] { CheckBoxCentreClick(); });
  on_click(CheckBoxmodule, [this] { CheckBoxmoduleClick(); });
  on_click(RatioCheckBox, [this] { RatioCheckBoxClick(); });
  on_click(XCheckBox, [this] { XCheckBoxClick(); });
  on_click(pinwheelcheckbox, [this] { pinwheelcheckboxClick(); });
  on_click(tipdiaredcheckbox, [this] { tipdiaredcheckboxClick(); });
  on_click(static_cast<QAbstractButton*>(pinhelixhandbutton), [this] { pinhelixhandbuttonClick(); });
  on_click(static_cast<QAbstractButton*>(wheelhelixhandbutton), [this] { wheelhelixhandbuttonClick(); });

  on_choice(backlashComboBox, [this] { backlashComboBoxChange(); });
  on_choice(thicknessComboBox, [this] { thicknessComboBoxChange(); });
  on_choice(finthicknessComboBox, [this] { finthicknessComboBoxChange(); });
  on_choice(Tooth_prop, [this] { Tooth_propChange(); });

  using KeyPress = void (TMainForm::*)(int);
  const std::pair<QWidget*, KeyPress> key_presses[] = {
      {Moduleedit, &TMainForm::ModuleeditKeyPress}, {Pressureangleedit, &TMainForm::PressureangleeditKeyPress},
      {Helixangleedit, &TMainForm::HelixangleeditKeyPress}, {Z1edit, &TMainForm::Z1editKeyPress},
      {Z2edit, &TMainForm::Z2editKeyPress}, {SigmaXedit, &TMainForm::SigmaXeditKeyPress},
  };
  for (const auto& [control, handler] : key_presses)
    forms::on_event(control, QEvent::KeyPress, [this, h = handler](QEvent* e) {
      (this->*h)(key_character(*static_cast<QKeyEvent*>(e)));
      return false;  // the key itself goes on to the field
    });
}

}  // namespace morvell
