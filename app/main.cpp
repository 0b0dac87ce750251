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
#include "startup.h"
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

    MainForm->show();
    const int result = app.exec();

    MainForm = nullptr;
    geomwarningform = nullptr;
    return result;
  } catch (const std::exception& e) {
    forms::show_exception(e.what());
    return 1;
  }
}
