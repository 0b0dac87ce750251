// The program entry: prepares the one design of the run, creates the windows once, and runs the
// message loop until the main window closes.
#include <QApplication>

#include <exception>
#include <memory>

#include "application.h"
#include "design_data.h"
#include "domain_error_box.h"
#include "main_window.h"
#include "modal_services.h"
#include "program_windows.h"
#include "splash_form.h"
#include "startup.h"
#include "startup_form.h"

using namespace morvell;

namespace {
DesignData design;  // the program's one design, for the whole run
}

int main(int argc, char** argv) {
  ignore_write_signals();
  const DesignFileResult loaded = prepare_design_data(design);

  forms::FormsApplication app(argc, argv);  // also restores the C numeric locale
  QApplication::setApplicationName("morvell");
  QApplication::setApplicationDisplayName("Morvell");
  install_domain_error_box();

  try {
    report_default_design_problem(loaded);

    ProgramWindows windows(design);

    // The splash window until it is clicked, then the start-up choice; the main window's first show acts on it.
    forms::services().show_modal(*splashform);
    forms::services().show_modal(*startupform);

    MainForm->show();
    const int result = app.exec();

    return result;
  } catch (const std::exception& e) {
    forms::show_exception(e.what());
    return 1;
  }
}
