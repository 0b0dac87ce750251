// The main window's command "Minimize centre distance": asks for the two minimum safety factors and
// replaces the pair by the pair of least centre distance that meets them (the search runs in the
// user-interface thread with the progress window as its only sign of life), then refreshes the window.
#include <QCheckBox>
#include <QComboBox>
#include <QTextEdit>

#include <array>

#include "centre_minimisation_steps.h"
#include "main_window.h"

namespace morvell {

void TMainForm::Minimizecentredistance1Click() {
  const std::array<float, 2> saved_tip_chamfers{d_.tip_chamfer[0], d_.tip_chamfer[1]};

  switch (check_centre_distance_minimisation(d_)) {
    case CentreMinimisationCheck::Allowed:
      break;
    case CentreMinimisationCheck::GeometryManagerOverridden:
      closing_refresh();
      return;
    case CentreMinimisationCheck::ProportionsNotCalculated:
      closing_refresh();
      // The user is left on the list that the message asks to change.
      Tooth_prop->setFocus(Qt::OtherFocusReason);
      return;
  }

  ask_minimum_safety_factors(d_);

  // Module fixed, centre distance following; the lock boxes follow the mode (the box's click handler
  // runs when its state changes).
  d_.geometry_manager_mode = 0;
  CheckBoxCentre->setChecked(false);
  d_.shift_distribution_auto = 1;
  XCheckBox->setChecked(true);  // the refresh takes the shift distribution from this box

  minimise_centre_distance_with_progress(d_, saved_tip_chamfers);

  closing_refresh();
}

}  // namespace morvell
