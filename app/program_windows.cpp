#include "program_windows.h"

#include "export_type_form.h"

#include "centre_minimize_form.h"
#include "chamfer_form.h"
#include "constraints_form.h"
#include "face_offset_form.h"
#include "flash_load_factor_form.h"
#include "flash_temp_form.h"
#include "iso_rating_input_form.h"
#include "load_case_form.h"
#include "main_window.h"
#include "metrology_form.h"
#include "optimization_form.h"
#include "progress_form.h"
#include "sizing_form.h"
#include "sn_curve_data_form.h"
#include "sn_curves_form.h"
#include "splash_form.h"
#include "standard_rack_form.h"
#include "startup_form.h"
#include "tolerances_form.h"
#include "use_optimized_form.h"
#include "warning_dialog.h"

namespace morvell {

ProgramWindows::ProgramWindows(DesignData& d) {
  // The warning dialog exists before the main window: the main window's first refresh may need it.
  warning = std::make_unique<Tgeomwarningform>(d);
  geomwarningform = warning.get();
  main = std::make_unique<TMainForm>(d);
  MainForm = main.get();
  // The other windows, once each, in the order of creation; each scales itself by the main window's scale.
  splash = std::make_unique<Tsplashform>(d);
  splashform = splash.get();
  constraints = std::make_unique<TConstraintsform>(d);
  constraintsform = constraints.get();
  metrology = std::make_unique<Tmetrologyform>(d);
  metrologyform = metrology.get();
  rating_inputs = std::make_unique<TISO_rating_input_form>(d);
  ISO_rating_input_form = rating_inputs.get();
  sn_curve_data = std::make_unique<TSNcurveForm>(d);
  SNcurveForm = sn_curve_data.get();
  chamfers = std::make_unique<TChamferform>(d);
  chamferform = chamfers.get();
  progress = std::make_unique<TProgressform>();
  Progressform = progress.get();
  standard_rack = std::make_unique<TStandardrackform>(d);
  standardrackform = standard_rack.get();
  rack_options = std::make_unique<TOptionform2>(d);
  optionform2 = rack_options.get();
  face_offset = std::make_unique<Tfaceoffsetform>(d);
  faceoffsetform = face_offset.get();
  load_cases = std::make_unique<Tloadcasemultipleform>(d);
  loadcasemultipleform = load_cases.get();
  sn_curves = std::make_unique<TSNCurvesform>(d);
  SNCurvesform = sn_curves.get();
  flash_temperature = std::make_unique<Tflashtempform>(d);
  flashtempform = flash_temperature.get();
  flash_load = std::make_unique<Tflashloadform>(d);
  flashloadform = flash_load.get();
  startup = std::make_unique<Tstartupform>(d);
  startupform = startup.get();
  sizing = std::make_unique<Tsizingform>(d);
  sizingform = sizing.get();
  use_optimized = std::make_unique<Tuseoptimizedform>(d);
  useoptimizedform = use_optimized.get();
  tolerances = std::make_unique<TTolerancesform>(d);
  Tolerancesform = tolerances.get();
  optimization = std::make_unique<Toptimizationform>(d);
  optimizationform = optimization.get();
  use_progress_window(*optimizationform, *Progressform);
  centre_minimize = std::make_unique<Tcentreminimizeform>(d);
  centreminimizeform = centre_minimize.get();
}

ProgramWindows::~ProgramWindows() {
  centreminimizeform = nullptr;
  Tolerancesform = nullptr;
  optimizationform = nullptr;
  useoptimizedform = nullptr;
  sizingform = nullptr;
  startupform = nullptr;
  flashloadform = nullptr;
  flashtempform = nullptr;
  SNCurvesform = nullptr;
  loadcasemultipleform = nullptr;
  faceoffsetform = nullptr;
  optionform2 = nullptr;
  standardrackform = nullptr;
  Progressform = nullptr;
  chamferform = nullptr;
  SNcurveForm = nullptr;
  ISO_rating_input_form = nullptr;
  metrologyform = nullptr;
  constraintsform = nullptr;
  splashform = nullptr;
  Graphicsexportform = nullptr;  // the main window's child, gone with it
  MainForm = nullptr;
  geomwarningform = nullptr;
}

std::vector<QWidget*> ProgramWindows::all() const {
  return {warning.get(),       main.get(),          splash.get(),          constraints.get(),
          metrology.get(),     rating_inputs.get(), sn_curve_data.get(),   chamfers.get(),
          progress.get(),      standard_rack.get(), rack_options.get(),    face_offset.get(),
          load_cases.get(),    sn_curves.get(),     flash_temperature.get(), flash_load.get(),
          startup.get(),       sizing.get(),        use_optimized.get(),   tolerances.get(),
          optimization.get(),  centre_minimize.get()};
}

}  // namespace morvell
