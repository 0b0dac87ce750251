// The main window's command "Minimize centre distance": asks for the two minimum safety factors and
// replaces the pair by the pair of least centre distance that meets them (the search runs in the
// user-interface thread with the progress window as its only sign of life), then refreshes the window.
#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QTextEdit>

#include <array>
#include <memory>

#include "centre_minimisation_steps.h"
#include "edit_fields.h"
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

  // A search that finds no pair leaves the design, and the lock boxes that show its modes, as they were.
  const auto before = std::make_unique<DesignData>(d_);
  const bool centre_fixed = CheckBoxCentre->isChecked();
  const bool module_fixed = CheckBoxmodule->isChecked();
  const bool automatic_shift = XCheckBox->isChecked();

  ask_minimum_safety_factors(d_);

  // Module fixed, centre distance following; the lock boxes follow the mode (the box's click handler
  // runs when its state changes).
  d_.geometry_manager_mode = 0;
  CheckBoxCentre->setChecked(false);
  d_.shift_distribution_auto = 1;
  XCheckBox->setChecked(true);  // the refresh takes the shift distribution from this box

  const MinimisationResult result = minimise_centre_distance_with_progress(d_, saved_tip_chamfers);
  if (!result.found) {
    {
      const QSignalBlocker centre(CheckBoxCentre), module(CheckBoxmodule), shift(XCheckBox);
      CheckBoxCentre->setChecked(centre_fixed);
      CheckBoxmodule->setChecked(module_fixed);
      XCheckBox->setChecked(automatic_shift);
    }
    // The minima just entered stay for the next run.
    const float min_contact = d_.min_contact_safety_factor, min_bending = d_.min_bending_safety_factor;
    d_ = *before;
    d_.min_contact_safety_factor = min_contact;
    d_.min_bending_safety_factor = min_bending;
    warn(d_, "No pair meets the minimum safety factors", "The design has been left as it was", " ");
  } else if (result.chamfers_dropped) {
    warn(d_, "No pair with the tip chamfers meets the minimum safety factors",
         "The best pair is left without tip chamfers", " ");
  }

  closing_refresh();
}

}  // namespace morvell
