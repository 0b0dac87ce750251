#include "centre_minimisation_steps.h"

#include "centre_distance_minimisation.h"
#include "centre_minimize_form.h"
#include "domain_error_box.h"
#include "edit_fields.h"
#include "geometry_manager_refusal.h"
#include "modal_services.h"
#include "progress_form.h"
#include "rating_input.h"
#include "results_pane.h"
#include "sizing_search.h"

namespace morvell {

CentreMinimisationCheck check_centre_distance_minimisation(DesignData& d) {
  // The search's pinion teeth start at 11, or 10 where 11 would take the wheel beyond 200 teeth: above a
  // ratio of 20 it has not a single pair to try.
  if (first_pinion_teeth(d.desired_ratio) == 0) {
    warn(d, format_line("The ratio of %.3f is beyond what the minimization searches", double(d.desired_ratio)),
         "Ratios up to 20 are searched (at most 200 wheel teeth)", "The design has been left as it was");
    return CentreMinimisationCheck::RatioOutOfReach;
  }
  if (const std::string missing = missing_rating_inputs_text(d); !missing.empty()) {
    warn(d, "No pair can be rated without these rating inputs:", missing, "The design has been left as it was");
    return CentreMinimisationCheck::RatingInputsMissing;
  }
  if (d.protuberance[0] != 0 || d.protuberance[1] != 0) {
    warn(d, "Protuberance has been set to zero for centre distance minimization", " ", " ");
    d.protuberance[0] = 0;
    d.protuberance[1] = 0;
  }
  if (refuse_overridden_geometry_manager(d)) return CentreMinimisationCheck::GeometryManagerOverridden;
  if (d.tooth_proportion_mode != 2) {
    warn(d, "Tooth proportions must be calculated for this option.", "Set basic rack proportions to calculated",
         "");
    return CentreMinimisationCheck::ProportionsNotCalculated;
  }
  return CentreMinimisationCheck::Allowed;
}

bool ask_minimum_safety_factors(DesignData& d) {
  d.tip_chamfer[0] = 0;
  d.tip_chamfer[1] = 0;
  if (!centreminimizeform) return true;
  return forms::services().show_modal(*centreminimizeform) == QDialog::Accepted;
}

MinimisationResult minimise_centre_distance_with_progress(DesignData& d,
                                                          const std::array<float, 2>& saved_tip_chamfers) {
  if (Progressform) {
    Progressform->setWindowTitle("Minimum Centre Distance Progress");
    Progressform->show();
    Progressform->paint_now();
  }
  GatheredDomainErrors errors;  // told once, after the search
  const MinimisationResult result = run_centre_distance_minimisation(d, saved_tip_chamfers, [](int position) {
    if (Progressform) Progressform->set_position(position);
  });
  if (Progressform) Progressform->hide();
  errors.show("The centre distance minimization", "The trial pairs concerned were not taken.");
  return result;
}

}  // namespace morvell
