// Every field of every window of the program takes whatever a user types: each enabled, visible field
// is entered, given each of a table of hostile texts and left for another control of its window, and the
// main window refreshes. After every entry the design still saves through the design writer and opens
// back to the same design; a window either stores the value or refuses it, and what it stores the
// writer takes. The program runs with the sanitizers, so a crash or undefined behaviour on the way
// stops the test.
//
// The design-space search window opens its range and filter fields only on the results of a search: it
// is swept on its own, with a small result file plotted, and besides the design it must keep every range
// pair that a next search or the plot reads finite and in order.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
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
#include "design_search.h"
#include "field_events.h"
#include "flash_temp_form.h"
#include "load_case_form.h"
#include "main_window.h"
#include "optimization_form.h"
#include "preferences.h"
#include "program_design.h"
#include "program_windows.h"
#include "progress_form.h"
#include "scripted_modal_services.h"
#include "search_plot_variables.h"
#include "search_result_file.h"
#include "splash_form.h"
#include "standard_rack_form.h"
#include "startup.h"
#include "startup_values.h"
#include "test_support.h"
#include "warning_dialog.h"

using namespace morvell;

namespace {

using morvell::testing::program_design;

// Zeros, signs, values beyond the float range and too small for it, texts that hold no number.
const char* const kHostileTexts[] = {"0",         "-0",           "-1", "1e38", "-1e38", "3.5e38", "1e-30",
                                     "0.0000001", "999999999999", "",   ".",    "-",     "1e",     "nan",
                                     "inf"};

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
  // Every value opens back as the value saved.
  const QStringList before = QString::fromStdString(design_file_text(*saved)).split("\r\n");
  const QStringList after = QString::fromStdString(design_file_text(*opened)).split("\r\n");
  for (int i = 0; i < std::max(before.size(), after.size()); ++i)
    if (before.value(i) != after.value(i))
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

// Enters the field, types the text and leaves it for `rest`, as a user does; a field that keeps the focus
// (its value was refused) is left once more. False when the field cannot be entered.
bool type_and_leave(QWidget* window, QLineEdit* edit, QWidget* rest, const char* text) {
  rest->setFocus(Qt::TabFocusReason);
  edit->setFocus(Qt::TabFocusReason);
  if (forms::active_control(window) != edit) return false;
  edit->setText(text);
  rest->setFocus(Qt::TabFocusReason);
  if (window->focusWidget() == edit) rest->setFocus(Qt::TabFocusReason);
  return true;
}

// What is wrong with the ranges and filters of the search window: empty when every pair that has fields
// is finite with its minimum not above its maximum, and the desired ratio the ratio pair sets is a finite
// positive number.
std::string search_range_fault(const DesignData& d) {
  struct Pair {
    const char* name;
    double min, max;
  };
  const Pair pairs[] = {
      {"module", d.search_module_min, d.search_module_max},
      {"pinion teeth", double(d.search_teeth_min), double(d.search_teeth_max)},
      {"pressure angle", d.search_pressure_angle_min, d.search_pressure_angle_max},
      {"helix angle", d.search_helix_angle_min, d.search_helix_angle_max},
      {"axial contact ratio", d.filter_axial_contact_ratio_min, d.filter_axial_contact_ratio_max},
      {"transverse contact ratio", d.filter_transverse_contact_ratio_min, d.filter_transverse_contact_ratio_max},
      {"shift sum", d.filter_shift_sum_min, d.filter_shift_sum_max},
      {"ratio", d.filter_ratio_min, d.filter_ratio_max},
      {"pinion contact safety", d.filter_contact_safety_min[0], d.filter_contact_safety_max[0]},
      {"wheel contact safety", d.filter_contact_safety_min[1], d.filter_contact_safety_max[1]},
      {"pinion bending safety", d.filter_bending_safety_min[0], d.filter_bending_safety_max[0]},
      {"wheel bending safety", d.filter_bending_safety_min[1], d.filter_bending_safety_max[1]},
      {"nominal contact stress", d.filter_nominal_contact_stress_min, d.filter_nominal_contact_stress_max},
      {"pinion nominal root stress", d.filter_nominal_root_stress_min[0], d.filter_nominal_root_stress_max[0]},
      {"wheel nominal root stress", d.filter_nominal_root_stress_min[1], d.filter_nominal_root_stress_max[1]},
      {"pinion contact stress", d.filter_contact_stress_min[0], d.filter_contact_stress_max[0]},
      {"wheel contact stress", d.filter_contact_stress_min[1], d.filter_contact_stress_max[1]},
      {"pinion root stress", d.filter_root_stress_min[0], d.filter_root_stress_max[0]},
      {"wheel root stress", d.filter_root_stress_min[1], d.filter_root_stress_max[1]},
  };
  for (const Pair& p : pairs) {
    if (!std::isfinite(p.min) || !std::isfinite(p.max) || p.min > p.max)
      return QStringLiteral("%1 range %2 to %3").arg(p.name).arg(p.min).arg(p.max).toStdString();
  }
  if (!std::isfinite(d.desired_ratio) || d.desired_ratio <= 0)
    return "desired ratio " + std::to_string(d.desired_ratio);
  return {};
}

// A few designs around the program's design, each evaluated as the search evaluates one: the records of
// the result file the search window plots.
std::vector<DesignPointRecord> search_records(const DesignData& design) {
  struct Variant {
    int32_t extra_teeth;
    float pressure_angle, extra_helix;
  };
  std::vector<DesignPointRecord> records;
  for (const Variant v : {Variant{0, 20, 0}, Variant{2, 17.5f, -2}, Variant{-2, 22.5f, 1}, Variant{4, 20, -1}}) {
    auto e = std::make_unique<DesignData>(design);
    e->teeth[0] += v.extra_teeth;
    e->normal_pressure_angle = v.pressure_angle;
    e->helix_angle = std::max(0.0f, e->helix_angle + v.extra_helix);
    e->geometry_manager_mode = 1;
    e->search_single_design = 1;
    search_design_space(*e);
    records.push_back(design_point_of(*e, {}));
  }
  return records;
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
        if (!type_and_leave(window, edit, rest, text)) {
          faults << QString::fromStdString(name + " " + field + ": cannot be entered");
          break;
        }
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

// The search window as a user has it after a search: the results plotted with Auto Scale, which set the
// ranges to their extents, then Auto Scale off so that the fields take entries, and one of the three
// kinds of result filter shown. Every field of it takes each text; after each field's texts a design is
// picked from the plot where one is drawn. The zoom, the reset and the search itself are not used.
TEST(InputSweep, EveryFieldOfTheSearchWindowWithResultsKeepsItsRangesInOrderAndTheDesignStorable) {
  auto d = program_design();
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use{scripted};
  ProgramWindows windows(*d);
  Toptimizationform& window = *windows.optimization;
  // Without the progress window: on the offscreen platform its showing and hiding at every redraw takes
  // the activation from the search window, whose fields could then not be entered.
  window.progress = {};
  const auto start = std::make_unique<DesignData>(*d);
  const std::vector<DesignPointRecord> records = search_records(*start);
  std::vector<DesignPointRecord> listed;  // as the result file lists them
  {
    SearchResultWriter out(window.result_file.c_str());
    for (const DesignPointRecord& r : records) ASSERT_TRUE(out.write(r));
    ASSERT_TRUE(out.close());
    listed = out.take_listed();
  }
  QCheckBox* const kinds[] = {window.safetyfactorCheckBox, window.nomstressCheckBox, window.actualstressCheckBox};
  const QList<QLineEdit*> filter_fields = window.filterBox->findChildren<QLineEdit*>();
  ASSERT_EQ(filter_fields.size(), 8);

  const auto open = [&](QCheckBox* kind) {
    *d = *start;
    window.hide();
    if (!window.autoscaleCheckBox->isChecked()) window.autoscaleCheckBox->click();
    window.show();
    window.set_search_results(listed);
    window.Set_optimizer_textboxes();
    activate(&window);
    window.autoscaleCheckBox->click();
    if (!kind->isChecked()) kind->click();
  };

  QStringList faults;
  int entries = 0, picks = 0;
  // In metric units and in English units, where the module fields take the diametral pitch and the stress
  // filters psi. The range fields do not depend on the kind of filter: they are swept with the first kind.
  struct Pass {
    int unit_system;
    QCheckBox* kind;
  };
  std::vector<Pass> passes;
  for (const int unit_system : {1, 2})
    for (QCheckBox* kind : kinds) passes.push_back({unit_system, kind});
  for (const Pass& pass : passes) {
    QCheckBox* const kind = pass.kind;
    start->unit_system = pass.unit_system;
    set_unit_factors(*start);
    open(kind);
    QList<QLineEdit*> fields = window.findChildren<QLineEdit*>();
    fields.removeIf([](QLineEdit* edit) { return !typable(edit); });
    ASSERT_EQ(fields.size(), 24);
    if (kind != kinds[0]) fields = filter_fields;
    QWidget* rest = resting_place(&window);
    ASSERT_NE(rest, nullptr);
    for (QLineEdit* edit : fields) {
      open(kind);
      const QString field = edit->objectName() + (kind == kinds[0] ? "" : " (" + kind->objectName() + ")") +
                            (pass.unit_system == 1 ? "" : " (English units)");
      auto check = [&](const QString& after) {
        const std::string ranges = search_range_fault(*d);
        if (!ranges.empty()) faults << field + " " + after + ": " + QString::fromStdString(ranges);
        const std::string stored = storage_fault(*d, *start);
        if (!stored.empty()) faults << field + " " + after + ": " + QString::fromStdString(stored);
      };
      for (const char* text : kHostileTexts) {
        ++entries;
        if (!typable(edit) || !type_and_leave(&window, edit, rest, text)) {
          faults << field + ": cannot be entered";
          break;
        }
        check(QStringLiteral("\"%1\"").arg(text));
      }
      // A pick where the first design inside the ranges is drawn on the +X half, or in the middle of the
      // half when none is.
      const auto probe = std::make_unique<DesignData>(*d);
      int x = (d->chart_plus_x_origin + d->chart_right) / 2, y = (d->chart_top + d->chart_bottom) / 2;
      for (const DesignPointRecord& r : records) {
        store_design_point(r, *probe);
        if (outside_search_ranges(*probe)) continue;
        float xv = 0, yv = 0;
        plot_variable_value(*probe, window.XplusComboBox->currentIndex(), xv);
        plot_variable_value(*probe, window.YaxisComboBox->currentIndex(), yv);
        x = int(d->chart_plus_x_origin + (double(xv) - d->chart_plus_x_min) * d->chart_plus_x_scale);
        y = int(d->chart_bottom + (double(yv) - d->chart_y_min) * d->chart_y_scale);
        ++picks;
        break;
      }
      window.Image1MouseUp(x, y);
      check("pick");
    }
  }
  window.hide();
  EXPECT_EQ(entries, 2 * (16 + 3 * 8) * int(std::size(kHostileTexts)));
  EXPECT_GT(picks, 0);
  EXPECT_EQ(faults, QStringList());
}
