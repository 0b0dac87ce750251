// One design, whatever path led to it: "Use new" after a design search delivers the record picked, as
// the listing shows it, and a design file opened shows the design it holds, whatever the main window
// showed before.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "design_refresh.h"
#include "field_events.h"
#include "main_window.h"
#include "numeric.h"
#include "optimization_form.h"
#include "program.h"
#include "results_pane.h"
#include "rating_input.h"
#include "scripted_modal_services.h"
#include "search_plot_variables.h"
#include "search_result_file.h"
#include "shown_figures.h"
#include "use_optimized_form.h"

using namespace morvell;

namespace {

struct Program : morvell::testing::Program<> {
  morvell::testing::ProgramWindow<Toptimizationform> search{optimizationform, *d};
  morvell::testing::ProgramWindow<Tuseoptimizedform> question{useoptimizedform, *d};

  // Runs the design search from the main window, picks the `n`-th record of search pass `pass` that the
  // plot shows on its own (no record listed before it lies within the pick's reach), answers "Use new"
  // and returns the record picked; false when the listing has no such record.
  bool search_pick_and_use(int pass, int n, DesignPointRecord& picked) {
    bool found = false;
    scripted.modal_actions["optimizationform"].push_back([this, pass, n, &picked, &found](QDialog&) {
      search->Button2Click();
      struct Point {
        double x, y;
      };
      std::vector<Point> earlier;
      SearchResultReader reader(kSearchResultFileName);
      DesignPointRecord r;
      int shown = 0;
      while (reader.next(r)) {
        DesignData probe = *d;
        store_design_point(r, probe);
        const Point at{probe.chart_plus_x_origin +
                           (double(r.bending_safety_factor_pinion) - probe.chart_plus_x_min) * probe.chart_plus_x_scale,
                       probe.chart_bottom +
                           (double(r.contact_safety_factor_pinion) - probe.chart_y_min) * probe.chart_y_scale};
        bool alone = true;
        for (const Point& e : earlier) alone = alone && !(std::fabs(e.x - at.x) < 8 && std::fabs(e.y - at.y) < 8);
        earlier.push_back(at);
        if (outside_search_ranges(probe) || !alone || r.search_pass != pass || shown++ < n) continue;
        search->Image1MouseUp(int(std::lround(at.x)), int(std::lround(at.y)));
        picked = r;
        found = true;
        break;
      }
      return QDialog::Accepted;
    });
    scripted.modal_actions["useoptimizedform"].push_back([this](QDialog&) {
      question->Button1Click();
      return question->result();
    });
    main->RunOptimizer1Click();
    return found;
  }
};

// The figures of a search record against the design the main window holds: the teeth exactly, the
// rest within the five decimals of the listing (and the float's own precision).
void expect_as_listed(const DesignData& held, const DesignPointRecord& r) {
  EXPECT_EQ(held.teeth[0], r.teeth[0]);
  EXPECT_EQ(held.teeth[1], r.teeth[1]);
  const struct {
    const char* name;
    float held, listed;
  } figures[] = {{"module", held.normal_module, r.normal_module},
                 {"x1", held.profile_shift[0], r.profile_shift[0]},
                 {"x2", held.profile_shift[1], r.profile_shift[1]},
                 {"tip diameter 1", held.tip_diameter[0], r.tip_diameter[0]},
                 {"tip diameter 2", held.tip_diameter[1], r.tip_diameter[1]},
                 {"root diameter 1", held.root_diameter[0], r.root_diameter[0]},
                 {"root diameter 2", held.root_diameter[1], r.root_diameter[1]},
                 {"S_H1", held.contact_safety_factor[0], r.contact_safety_factor_pinion},
                 {"S_H2", held.contact_safety_factor[1], r.contact_safety_factor_wheel},
                 {"S_F1", held.bending_safety_factor_pinion, r.bending_safety_factor_pinion},
                 {"S_F2", held.bending_safety_factor_wheel, r.bending_safety_factor_wheel}};
  for (const auto& f : figures)
    EXPECT_NEAR(f.held, f.listed, 2e-5 + 2e-7 * std::fabs(f.listed)) << f.name;
}

}  // namespace

// A 21/84 helical reducer of module 3 with the shift split estimated (the box checked, as after New, the
// sizing and the minimisation): "Use new" on records of the search's own split and of the automatic one
// delivers each as listed, the fields show its shifts, the estimate box is cleared (the shifts are the
// record's, not the estimate's), and the next refreshes keep it so.
TEST(SameDesign, UseNewDeliversThePickedRecordAsListed) {
  const struct {
    int pass, n;
  } picks[] = {{1, 0}, {1, 11}, {2, 0}, {2, 7}};
  for (const auto& pick : picks) {
    SCOPED_TRACE(::testing::Message() << "pass " << pick.pass << ", record " << pick.n);
    Program p;
    DesignData& d = *p.d;
    TMainForm& m = *p.main;
    d.rating_enabled = 1;
    d.teeth[0] = 21;
    d.teeth[1] = 84;
    d.desired_ratio = 4;
    d.normal_module = 3;
    d.helix_angle = 15;
    d.face_width[0] = d.face_width[1] = 30;
    m.SetMain_textboxes();
    forms::set_checked(m.XCheckBox, true);
    ASSERT_EQ(d.shift_distribution_auto, 1);
    DesignPointRecord picked;
    ASSERT_TRUE(p.search_pick_and_use(pick.pass, pick.n, picked));
    ASSERT_EQ(d.use_optimized_design, 1);
    expect_as_listed(d, picked);
    EXPECT_EQ(m.x1edit->text().toStdString(), format_line("%.4f", double(picked.profile_shift[0])));
    EXPECT_EQ(m.x2edit->text().toStdString(), format_line("%.4f", double(picked.profile_shift[1])));
    EXPECT_FALSE(m.XCheckBox->isChecked());
    EXPECT_EQ(d.shift_distribution_auto, 0);
    const auto delivered = std::make_unique<DesignData>(d);
    m.SetMain_textboxes();
    m.SetMain_textboxes();
    expect_as_listed(d, picked);
    EXPECT_TRUE(morvell::testing::same_figures(d, *delivered));
  }
}

// A design file of a module-fixed spur pair with a large shift sum, opened from a window in each geometry
// manager mode, gives the design the core works out from that file: the lock boxes follow the file's mode
// without passing through another (module and centre distance both fixed would take other numbers of
// teeth from the stored centre distance: 19/57 opened as 20/60 from a window in mode 1).
TEST(SameDesign, OpeningAFileGivesTheDesignItHoldsWhateverTheWindowShowed) {
  // The design of a program just started, as the start of the file and of the core's working out.
  std::unique_ptr<DesignData> start;
  {
    Program fresh;
    start = std::make_unique<DesignData>(*fresh.d);
  }
  {
    auto file = std::make_unique<DesignData>(*start);
    file->teeth[0] = 19;
    file->teeth[1] = 57;
    file->desired_ratio = 3;
    file->helix_angle = 0;
    const float shifts[2] = {0.7f, 0.5f};
    for (int i = 0; i < 2; ++i) {  // the same rack proportions at the new shifts
      const float moved = (shifts[i] - file->profile_shift[i]) * file->normal_module;
      file->addendum[i] += moved;
      file->dedendum[i] -= moved;
      file->profile_shift[i] = shifts[i];
    }
    file->profile_shift_sum = 1.2f;
    file->geometry_manager_mode = 0;
    file->rating_enabled = 1;
    refresh_design(*file);
    file->history_mode = 0;
    copy_text(file->design_file_name, "pair.mvl");
    ASSERT_TRUE(write_design_file(*file).ok());
  }
  // The design as the core reads and works it out in a fresh program, with the modes an opened design has.
  auto expected = std::make_unique<DesignData>(*start);
  copy_text(expected->design_file_name, "pair.mvl");
  ASSERT_TRUE(read_design_file(*expected).ok());
  expected->tooth_proportion_mode = 0;
  expected->shift_distribution_auto = 0;
  expected->ratio_fixed = 1;
  expected->allow_tip_diameter_reduction = 0;
  expected->rating_enabled = 1;
  refresh_design(*expected);
  ASSERT_EQ(expected->teeth[0], 19);
  ASSERT_EQ(expected->teeth[1], 57);

  for (const int window_mode : {0, 1, 2}) {
    SCOPED_TRACE(::testing::Message() << "window in mode " << window_mode);
    Program p;
    DesignData& d = *p.d;
    TMainForm& m = *p.main;
    d.rating_enabled = 1;
    if (window_mode == 0) forms::set_checked(m.CheckBoxCentre, false);  // the start-up design is in mode 1
    if (window_mode == 2) forms::set_checked(m.CheckBoxmodule, true);
    ASSERT_EQ(d.geometry_manager_mode, window_mode);
    p.scripted.open_answers.push_back({true, "pair.mvl"});
    m.Open1Click();
    EXPECT_EQ(d.geometry_manager_mode, 0);
    EXPECT_TRUE(m.CheckBoxmodule->isChecked());
    EXPECT_FALSE(m.CheckBoxCentre->isChecked());
    EXPECT_EQ(d.teeth[0], 19);
    EXPECT_EQ(d.teeth[1], 57);
    EXPECT_EQ(d.rating_valid, 1);
    EXPECT_TRUE(morvell::testing::same_figures(d, *expected));
  }
}
