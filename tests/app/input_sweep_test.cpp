// Every field of every window of the program takes whatever a user types: each enabled, visible field
// is entered, given each of a table of hostile texts and left for another control of its window, and the
// main window refreshes. After every entry the design still saves through the design writer and opens
// back to the same design; a window either stores the value or refuses it, and what it stores the
// writer takes. The program runs with the sanitizers, so a crash or undefined behaviour on the way
// stops the test.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "constraints_form.h"
#include "design_data.h"
#include "design_file.h"
#include "field_events.h"
#include "flash_temp_form.h"
#include "load_case_form.h"
#include "main_window.h"
#include "optimization_form.h"
#include "preferences.h"
#include "program_windows.h"
#include "progress_form.h"
#include "scripted_modal_services.h"
#include "splash_form.h"
#include "standard_rack_form.h"
#include "startup.h"
#include "test_support.h"
#include "warning_dialog.h"

using namespace morvell;

namespace {

// Zeros, signs, values beyond the float range and too small for it, texts that hold no number.
const char* const kHostileTexts[] = {"0",         "-0",           "-1", "1e38", "-1e38", "3.5e38", "1e-30",
                                     "0.0000001", "999999999999", "",   ".",    "-",     "1e",     "nan",
                                     "inf"};

// The program's design as the start-up prepares it from the default design file.
std::unique_ptr<DesignData> program_design() {
  QFile::remove(kPreferenceFileName);
  QFile::remove(kDefaultDesignFileName);
  EXPECT_TRUE(QFile::copy(MORVELL_SOURCE_DIR "/data/default_input_file.mvl", kDefaultDesignFileName));
  for (const char* image : {"splash.bmp", "background.bmp"}) {
    QFile::remove(image);
    EXPECT_TRUE(QFile::copy(QString(MORVELL_SOURCE_DIR "/data/") + image, image));
  }
  auto d = std::make_unique<DesignData>();
  EXPECT_TRUE(prepare_design_data(*d).ok());
  return d;
}

// What is wrong with the design after an entry: empty when the writer stores it and the reader opens it
// back to the same design; otherwise the writer's or reader's message, or the first line that differs.
std::string storage_fault(const DesignData& d, const DesignData& fresh) {
  auto saved = std::make_unique<DesignData>(d);
  copy_text(saved->design_file_name, "sweep.mvl");
  saved->history_mode = 0;
  const DesignFileResult written = write_design_file(*saved);
  if (!written.ok()) return "not saved: " + written.detail;
  auto opened = std::make_unique<DesignData>(fresh);
  copy_text(opened->design_file_name, "sweep.mvl");
  const DesignFileResult read = read_design_file(*opened);
  if (!read.ok()) return "not opened: " + read.detail;
  const QStringList before = QString::fromStdString(design_file_text(*saved)).split("\r\n");
  const QStringList after = QString::fromStdString(design_file_text(*opened)).split("\r\n");
  // The file keeps a value to about seven significant digits: a value read back may be written with
  // its last digit in the other notation.
  auto same = [](const QString& a, const QString& b) {
    if (a == b) return true;
    bool a_number = false, b_number = false;
    const double x = a.toDouble(&a_number), y = b.toDouble(&b_number);
    if (!a_number || !b_number) return a == b;
    return std::fabs(x - y) <= 1e-6 * std::max({1.0, std::fabs(x), std::fabs(y)});
  };
  for (int i = 0; i < std::max(before.size(), after.size()); ++i)
    if (!same(before.value(i), after.value(i)))
      return QStringLiteral("opened differently, line %1: %2 / %3")
          .arg(i + 1)
          .arg(before.value(i), after.value(i))
          .toStdString();
  return {};
}

// A control of the window to leave a field for: one that takes the focus and has no exit handler.
QWidget* resting_place(QWidget* window) {
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
    if (b->isVisible() && b->isEnabled() && (b->focusPolicy() & Qt::TabFocus)) return b;
  for (QComboBox* c : window->findChildren<QComboBox*>())
    if (c->isVisible() && c->isEnabled() && (c->focusPolicy() & Qt::TabFocus)) return c;
  return nullptr;
}

// A field the user can type into: shown, enabled, not read-only, taking the focus on a click.
bool typable(const QLineEdit* edit) {
  return edit->isVisible() && edit->isEnabled() && !edit->isReadOnly() && (edit->focusPolicy() & Qt::ClickFocus) &&
         !edit->parentWidget()->inherits("QComboBox");
}

void activate(QWidget* window) {
  window->activateWindow();
  QApplication::setActiveWindow(window);
  EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << window->objectName().toStdString();
}

}  // namespace

TEST(InputSweep, EveryFieldOfEveryWindowTakesOrRefusesEveryTextAndTheDesignStaysStorable) {
  auto d = program_design();
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use{scripted};
  ProgramWindows windows(*d);
  // The start-up choice opens the default design, so that the main window shows its full layout.
  d->start_mode = 1;
  copy_text(d->design_file_name, kDefaultDesignFileName);
  windows.main->show();
  QApplication::processEvents();
  const auto start = std::make_unique<DesignData>(*d);
  ASSERT_EQ(storage_fault(*d, *start), "");
  // A window as the user has it before typing: the program's design, the main window refreshed, the
  // window shown and active, and the clicks that open its fields done. The main window is swept twice,
  // with the module following the centre distance (as the default design has it) and with it fixed; the
  // second pass types only into the fields that the first did not open.
  struct Pass {
    QWidget* window;
    std::function<void()> before_showing;
    std::function<void()> after_showing;
    bool only_new_fields = false;  // skips the fields an earlier pass typed into
  };
  const auto set_box = [](QWidget* window, const char* box_name, bool checked) {
    auto* box = window->findChild<QAbstractButton*>(box_name);
    ASSERT_NE(box, nullptr) << box_name;
    if (box->isChecked() != checked) box->click();
  };
  const auto uncheck = [&](QWidget* window, const char* box_name) { set_box(window, box_name, false); };
  std::vector<Pass> passes;
  for (QWidget* window : windows.all()) {
    // Windows without fields to type into: the warning, the splash and the progress window; the
    // design-space search opens its fields only on the results of a search.
    if (window == windows.warning.get() || window == windows.splash.get() || window == windows.progress.get() ||
        window == windows.optimization.get())
      continue;
    Pass pass{window, [] {}, [] {}};
    if (window == windows.standard_rack.get())  // "Create new" in the question before the rack window
      pass.before_showing = [&] { d->rack_option_choice = 1; };
    if (window == windows.constraints.get())  // own limits, not the defaults
      pass.after_showing = [&, window] { uncheck(window, "defaultcheckbox"); };
    if (window == windows.flash_temperature.get())  // own values, not the estimates
      pass.after_showing = [&, window] {
        for (const char* box : {"CheckBoxK", "CheckBoxmum", "CheckBoxBM", "CheckBoxXGAMMA", "CheckBoxwn"})
          uncheck(window, box);
      };
    passes.push_back(pass);
    if (window == windows.main.get())  // the module fixed, the centre distance following it
      passes.push_back({window, [] {}, [&, window] { uncheck(window, "CheckBoxCentre"); }, true});
    if (window == windows.load_cases.get())  // torque and cycles calculated from the others
      passes.push_back({window, [] {}, [&, window] {
                          set_box(window, "torquecheckbox", true);
                          set_box(window, "Cyclescheckbox", true);
                        }});
  }
  const auto open = [&](const Pass& pass) {
    *d = *start;
    windows.main->closing_refresh();
    pass.before_showing();
    if (pass.window != windows.main.get()) {
      pass.window->hide();
      pass.window->show();
    }
    activate(pass.window);
    pass.after_showing();
    QList<QLineEdit*> fields = pass.window->findChildren<QLineEdit*>();
    fields.removeIf([](QLineEdit* edit) { return !typable(edit); });
    return fields;
  };

  QStringList faults;
  int entries = 0;
  std::set<QLineEdit*> swept;
  for (const Pass& pass : passes) {
    QWidget* window = pass.window;
    const std::string name = window->objectName().toStdString();
    const int field_count = int(open(pass).size());
    QWidget* rest = resting_place(window);
    if (field_count > 0 && !rest) faults << QString::fromStdString(name + ": no control to leave a field for");
    for (int f = 0; rest && f < field_count; ++f) {
      QLineEdit* edit = open(pass).value(f);  // each field starts from the program's design
      if (!edit) break;
      if (!swept.insert(edit).second && pass.only_new_fields) continue;
      const std::string field = edit->objectName().toStdString();
      for (const char* text : kHostileTexts) {
        if (!typable(edit)) break;  // an earlier value closed the field
        ++entries;
        rest->setFocus(Qt::TabFocusReason);
        edit->setFocus(Qt::TabFocusReason);
        if (forms::active_control(window) != edit) {
          faults << QString::fromStdString(name + " " + field + ": cannot be entered");
          break;
        }
        edit->setText(text);
        rest->setFocus(Qt::TabFocusReason);
        if (window->focusWidget() == edit) rest->setFocus(Qt::TabFocusReason);  // refused: the user leaves again
        if (window != windows.main.get()) {
          windows.main->closing_refresh();
          activate(window);
        }
        const std::string fault = storage_fault(*d, *start);
        if (!fault.empty()) faults << QString::fromStdString(name + " " + field + " \"" + text + "\": " + fault);
      }
    }
    if (window != windows.main.get()) window->hide();
  }
  EXPECT_GT(entries, 0);
  EXPECT_EQ(faults, QStringList());
}
