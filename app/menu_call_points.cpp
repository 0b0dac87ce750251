// Where the main window's menus open the windows of rating/, search/ and inspection/ and the about
// window. Each call point shows its window modally through the window's instance variable and returns
// when it closes; the menu handler around it does the rest (the closing refresh, the load-case list, ...).
// A main window without that window (as a test of its own controls creates it) opens nothing.
#include "flash_temp_form.h"
#include "iso_rating_input_form.h"
#include "main_window.h"
#include "metrology_form.h"
#include "modal_services.h"
#include "optimization_form.h"
#include "sn_curves_form.h"
#include "splash_form.h"
#include "tolerances_form.h"
#include "use_optimized_form.h"

namespace morvell {

void TMainForm::show_rating_input_dialog() {
  if (ISO_rating_input_form) forms::services().show_modal(*ISO_rating_input_form);
}
void TMainForm::show_sn_curves_window() {
  if (SNCurvesform) forms::services().show_modal(*SNCurvesform);
}
void TMainForm::show_flash_temperature_dialog() {
  if (flashtempform) forms::services().show_modal(*flashtempform);
}
void TMainForm::show_design_search_window() {
  if (optimizationform) forms::services().show_modal(*optimizationform);
}
const DesignData* TMainForm::picked_search_design() const {
  return optimizationform ? optimizationform->picked_design() : nullptr;
}
void TMainForm::show_use_optimized_question() {
  if (useoptimizedform) forms::services().show_modal(*useoptimizedform);
}
void TMainForm::show_measurement_dialog() {
  if (metrologyform) forms::services().show_modal(*metrologyform);
}
void TMainForm::show_tolerances_dialog() {
  if (Tolerancesform) forms::services().show_modal(*Tolerancesform);
}
void TMainForm::show_about_window() {
  if (splashform) forms::services().show_modal(*splashform);
}

}  // namespace morvell
