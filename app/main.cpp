// The program entry: prepares the one design of the run, creates the windows once, and runs the
// message loop until the main window closes.
#include <QApplication>

#include <exception>
#include <memory>

#include "application.h"
#include "centre_minimize_form.h"
#include "chamfer_form.h"
#include "constraints_form.h"
#include "design_data.h"
#include "domain_error_box.h"
#include "face_offset_form.h"
#include "flash_load_factor_form.h"
#include "flash_temp_form.h"
#include "iso_rating_input_form.h"
#include "load_case_form.h"
#include "main_window.h"
#include "metrology_form.h"
#include "modal_services.h"
#include "optimization_form.h"
#include "progress_form.h"
#include "sizing_form.h"
#include "sn_curve_data_form.h"
#include "sn_curves_form.h"
#include "splash_form.h"
#include "standard_rack_form.h"
#include "startup.h"
#include "startup_form.h"
#include "tolerances_form.h"
#include "use_optimized_form.h"
#include "warning_dialog.h"

using namespace morvell;

namespace {
DesignData design;  // the program's one design, for the whole run
}

int main(int argc, char** argv) {
  const DesignFileResult loaded = prepare_design_data(design);

  forms::FormsApplication app(argc, argv);  // also restores the C numeric locale
  QApplication::setApplicationName("morvell");
  QApplication::setApplicationDisplayName("Morvell");
  install_domain_error_box();

  try {
    report_default_design_problem(loaded);

    // The warning dialog exists before the main window: the main window's first refresh may need it.
    auto warning = std::make_unique<Tgeomwarningform>(design);
    geomwarningform = warning.get();
    auto main_form = std::make_unique<TMainForm>(design);
    MainForm = main_form.get();
    // The other windows, once each, in the order of creation; each scales itself by the main window's scale.
    auto splash = std::make_unique<Tsplashform>(design);
    splashform = splash.get();
    auto constraints = std::make_unique<TConstraintsform>(design);
    constraintsform = constraints.get();
    auto metrology = std::make_unique<Tmetrologyform>(design);
    metrologyform = metrology.get();
    auto rating_inputs = std::make_unique<TISO_rating_input_form>(design);
    ISO_rating_input_form = rating_inputs.get();
    auto sn_curve_data = std::make_unique<TSNcurveForm>(design);
    SNcurveForm = sn_curve_data.get();
    auto chamfers = std::make_unique<TChamferform>(design);
    chamferform = chamfers.get();
    auto progress = std::make_unique<TProgressform>();
    Progressform = progress.get();
    auto standard_rack = std::make_unique<TStandardrackform>(design);
    standardrackform = standard_rack.get();
    auto rack_options = std::make_unique<TOptionform2>(design);
    optionform2 = rack_options.get();
    auto face_offset = std::make_unique<Tfaceoffsetform>(design);
    faceoffsetform = face_offset.get();
    auto load_cases = std::make_unique<Tloadcasemultipleform>(design);
    loadcasemultipleform = load_cases.get();
    auto sn_curves = std::make_unique<TSNCurvesform>(design);
    SNCurvesform = sn_curves.get();
    auto flash_temperature = std::make_unique<Tflashtempform>(design);
    flashtempform = flash_temperature.get();
    auto flash_load = std::make_unique<Tflashloadform>(design);
    flashloadform = flash_load.get();
    auto startup = std::make_unique<Tstartupform>(design);
    startupform = startup.get();
    auto sizing = std::make_unique<Tsizingform>(design);
    sizingform = sizing.get();
    auto use_optimized = std::make_unique<Tuseoptimizedform>(design);
    useoptimizedform = use_optimized.get();
    auto tolerances = std::make_unique<TTolerancesform>(design);
    Tolerancesform = tolerances.get();
    auto optimization = std::make_unique<Toptimizationform>(design);
    optimizationform = optimization.get();
    use_progress_window(*optimizationform, *Progressform);
    auto centre_minimize = std::make_unique<Tcentreminimizeform>(design);
    centreminimizeform = centre_minimize.get();

    // The splash window until it is clicked, then the start-up choice; the main window's first show acts on it.
    forms::services().show_modal(*splashform);
    forms::services().show_modal(*startupform);

    MainForm->show();
    const int result = app.exec();

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
    MainForm = nullptr;
    geomwarningform = nullptr;
    return result;
  } catch (const std::exception& e) {
    forms::show_exception(e.what());
    return 1;
  }
}
