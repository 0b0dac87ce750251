// The main window's command "Minimize centre distance": asks for the two minimum safety factors and
// replaces the pair by the pair of least centre distance that meets them (the search runs in the
// user-interface thread with the progress window as its only sign of life), then refreshes the window.
#include <QCheckBox>
#include <QComboBox>
#include <QTextEdit>

#include <array>
#include <memory>

#include "centre_minimisation_steps.h"
#include "edit_fields.h"
#include "field_events.h"
#include "main_window.h"
#include "results_pane.h"

namespace morvell {

void TMainForm::Minimizecentredistance1Click() {
  const std::array<float, 2> saved_tip_chamfers{d_.tip_chamfer[0], d_.tip_chamfer[1]};
  // Esc or the title-bar close on the minima's window cancels the command: the design goes back to
  // what it was before it, protuberance and minima included.
  const auto original = std::make_unique<DesignData>(d_);

  switch (check_centre_distance_minimisation(d_)) {
    case CentreMinimisationCheck::Allowed:
      break;
    case CentreMinimisationCheck::RatioOutOfReach:
    case CentreMinimisationCheck::RatingInputsMissing:
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

  if (!ask_minimum_safety_factors(d_)) {
    d_ = *original;
    closing_refresh();
    return;
  }

  // Module fixed, centre distance following; the lock boxes follow the mode (the box's click handler
  // runs when its state changes).
  d_.geometry_manager_mode = 0;
  forms::set_checked(CheckBoxCentre, false);
  d_.shift_distribution_auto = 1;
  forms::set_checked(XCheckBox, true);  // the refresh takes the shift distribution from this box

  const MinimisationResult result = minimise_centre_distance_with_progress(d_, saved_tip_chamfers);
  if (!result.found) {
    // The boxes go back quietly, an exception to the rule for boxes set from code (field_events.h): the
    // design is put back whole just below, modes included, which the click handlers would otherwise
    // derive from boxes set one at a time, each with a refresh.
    forms::set_checked_quietly(CheckBoxCentre, centre_fixed);
    forms::set_checked_quietly(CheckBoxmodule, module_fixed);
    forms::set_checked_quietly(XCheckBox, automatic_shift);
    // The minima just entered stay for the next run.
    const float min_contact = d_.min_contact_safety_factor, min_bending = d_.min_bending_safety_factor;
    d_ = *before;
    d_.min_contact_safety_factor = min_contact;
    d_.min_bending_safety_factor = min_bending;
    if (result.ratings == 0)
      warn(d_, "No pair reaches a transverse contact ratio of 1 at these angles",
           format_line("(pressure angle %.3f, helix angle %.3f degrees)", double(d_.normal_pressure_angle),
                       double(d_.helix_angle)),
           "The design has been left as it was");
    else
      warn(d_, "No pair meets the minimum safety factors", "The design has been left as it was", " ");
  } else if (result.chamfers_dropped) {
    warn(d_, "No pair with the tip chamfers meets the minimum safety factors",
         "The best pair is left without tip chamfers", " ");
  }

  closing_refresh();
}

}  // namespace morvell
