// The main window's command "Minimize centre distance": asks for the two minimum safety factors and
// replaces the pair by the pair of least centre distance that meets them (the search runs in the
// user-interface thread with the progress window as its only sign of life), then refreshes the window.
#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QTextEdit>

#include <array>
#include <memory>

#include "centre_distance_minimisation.h"
#include "centre_minimize_form.h"
#include "edit_fields.h"
#include "main_window.h"
#include "modal_services.h"
#include "progress_form.h"

namespace morvell {

void TMainForm::Minimizecentredistance1Click() {
  const std::array<float, 2> saved_tip_chamfers{d_.tip_chamfer[0], d_.tip_chamfer[1]};

  // The search sizes the pair without protuberance; this stays even when the command is refused.
  if (d_.protuberance[0] != 0 || d_.protuberance[1] != 0) {
    warn(d_, "Protuberance has been set to zero for centre distance minimization", " ", " ");
    d_.protuberance[0] = 0;
    d_.protuberance[1] = 0;
  }

  // The search needs the tooth proportions calculated from the constraints and the geometry manager
  // in charge of the module and centre distance.
  if (d_.geometry_manager_override == 1) {
    warn(d_, "Geometry manager cannot be overidden for this option.",
         "Activate the Geometry Manager from the Options menu ", "");
    closing_refresh();
    return;
  }
  if (d_.tooth_proportion_mode != 2) {
    warn(d_, "Tooth proportions must be calculated for this option.", "Set basic rack proportions to calculated",
         "");
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

  d_.tip_chamfer[0] = 0;
  d_.tip_chamfer[1] = 0;
  if (centreminimizeform) forms::services().show_modal(*centreminimizeform);

  // Module fixed, centre distance following; the lock boxes follow the mode (the box's click handler
  // runs when its state changes).
  d_.geometry_manager_mode = 0;
  CheckBoxCentre->setChecked(false);
  d_.shift_distribution_auto = 1;
  XCheckBox->setChecked(true);  // the refresh takes the shift distribution from this box

  if (Progressform) {
    Progressform->setWindowTitle("Minimum Centre Distance Progress");
    Progressform->show();
    Progressform->paint_now();
  }
  const MinimisationResult result = run_centre_distance_minimisation(d_, saved_tip_chamfers, [](int position) {
    if (Progressform) Progressform->set_position(position);
  });
  if (Progressform) Progressform->hide();

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
