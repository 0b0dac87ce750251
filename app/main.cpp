// The program entry: prepares the one design of the run, creates the windows once, and runs the
// message loop until the main window closes.
#include <QApplication>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "application.h"
#include "design_data.h"
#include "domain_error_box.h"
#include "file_names.h"
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

  forms::FormsApplication app(argc, argv);  // also restores the C numeric locale; takes Qt's own options
  QApplication::setApplicationName("morvell");
  QApplication::setApplicationDisplayName("Morvell");
  // The windows are laid out left to right: Qt's -reverse would mirror the menus but not the forms.
  QApplication::setLayoutDirection(Qt::LeftToRight);
  install_domain_error_box();
  const CommandLineDesign named = design_file_from_command_line(std::vector<std::string>(argv, argv + argc));

  try {
    report_default_design_problem(loaded);

    ProgramWindows windows(design);
    if (!named.message.empty())
      forms::services().message(nullptr, QApplication::applicationDisplayName(), shown_text(named.message),
                                forms::MessageIcon::Warning);

    // The splash window until it is clicked, then the start-up choice, or the design file named on the
    // command line, which the main window's first show opens as the start-up window's Open does.
    forms::services().show_modal(*splashform);
    if (named.path.empty()) {
      forms::services().show_modal(*startupform);
    } else {
      design.start_mode = 1;
      copy_text(design.design_file_name, named.path);
    }

    MainForm->show();
    const int result = app.exec();

    return result;
  } catch (const std::exception& e) {
    forms::show_exception(e.what());
    return 1;
  }
}
