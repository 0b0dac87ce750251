// Every top-level window of the program, as the program creates it at window-size steps 0 to -3, lies
// within the screen and shows every control it holds: none lies outside the window or outside the
// control that holds it, and no menu item is put away into the menu bar's overflow button. Every
// caption fits its control.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QWidget>

#include <memory>

#include "design_data.h"
#include "preferences.h"
#include "program_design.h"
#include "program_windows.h"
#include "scripted_modal_services.h"
#include "startup.h"
#include "test_support.h"
#include "window_geometry_support.h"

using namespace morvell;

namespace {

// The program's design as the start-up prepares it, at the window-size step.
std::unique_ptr<DesignData> program_design(int step) {
  auto d = morvell::testing::program_design();
  d->window_size_step = step;
  return d;
}

}  // namespace

TEST(WindowGeometry, EveryWindowFitsTheScreenAndShowsItsControls) {
  for (int step : {0, -1, -2, -3}) {
    SCOPED_TRACE(QStringLiteral("screen %1x%2, step %3")
                     .arg(morvell::testing::screen_size.width())
                     .arg(morvell::testing::screen_size.height())
                     .arg(step)
                     .toStdString());
    auto d = program_design(step);
    forms::ScriptedModalServices scripted;
    forms::ScopedServices use{scripted};
    ProgramWindows windows(*d);
    // The start-up choice opens the default design, so that the main window shows its full layout.
    d->start_mode = 1;
    copy_text(d->design_file_name, kDefaultDesignFileName);
    for (QWidget* w : windows.all()) {
      w->show();
      QApplication::processEvents();
      ASSERT_TRUE(w->isVisible()) << w->objectName().toStdString();
      EXPECT_EQ(morvell::testing::geometry_faults(w), QStringList()) << w->objectName().toStdString();
      EXPECT_EQ(morvell::testing::caption_faults(w), QStringList()) << w->objectName().toStdString();
      w->hide();
    }
  }
}
