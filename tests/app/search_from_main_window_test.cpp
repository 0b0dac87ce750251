// The main window's "Search design space": the search window shown from it, the question after the
// search and the design the main window holds afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>

#include "design_data.h"
#include "design_file.h"
#include "design_search.h"
#include "main_window.h"
#include "optimization_form.h"
#include "program.h"
#include "scripted_modal_services.h"
#include "search_plot_variables.h"
#include "search_result_file.h"
#include "test_support.h"
#include "use_optimized_form.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

struct Program : morvell::testing::Program<> {
  morvell::testing::ProgramWindow<Toptimizationform> search{optimizationform, *d};
  morvell::testing::ProgramWindow<Tuseoptimizedform> question{useoptimizedform, *d};

  // While the search window is shown: search, then pick the first design drawn on the +X half and, with
  // `redraw`, redraw the plot after the pick (as choosing another plot variable does).
  void search_and_pick(int32_t& picked_z1, int32_t& picked_z2, DesignPointRecord* picked = nullptr,
                       bool redraw = false) {
    scripted.modal_actions["optimizationform"].push_back([this, &picked_z1, &picked_z2, picked, redraw](QDialog&) {
      search->Button2Click();
      SearchResultReader reader(kSearchResultFileName);
      DesignPointRecord r;
      DesignData probe = *d;
      while (reader.next(r)) {
        store_design_point(r, probe);
        if (!outside_search_ranges(probe)) break;
      }
      const double x = probe.chart_plus_x_origin +
                       (double(r.bending_safety_factor_pinion) - probe.chart_plus_x_min) * probe.chart_plus_x_scale;
      const double y = probe.chart_bottom +
                       (double(r.contact_safety_factor_pinion) - probe.chart_y_min) * probe.chart_y_scale;
      search->Image1MouseUp(int(x), int(y));
      picked_z1 = d->teeth[0];
      picked_z2 = d->teeth[1];
      if (picked) *picked = r;
      if (redraw) search->Set_optimizer_textboxes();
      return QDialog::Accepted;
    });
  }

  // While the search window is shown: search and pick nothing.
  void search_only() {
    scripted.modal_actions["optimizationform"].push_back([this](QDialog&) {
      search->Button2Click();
      return QDialog::Accepted;
    });
  }

  // Answers the question after the search with "Use new" (true), "Restore original" (false) or, with
  // neither, closes it with its title bar's close button.
  void answer(std::optional<bool> use_new) {
    scripted.modal_actions["useoptimizedform"].push_back([this, use_new](QDialog&) {
      if (use_new == true) question->Button1Click();
      else if (use_new == false) question->OKbuttonClick();
      else question->close();
      return question->result();
    });
  }
};

// The figures of the design held by the main window that a search record lists.
struct Listed {
  int32_t z1, z2;
  float module, x1, x2, tip1, tip2, root1, root2, contact_ratio, contact_safety1, contact_safety2, bending_safety1,
      bending_safety2;
};
Listed listed(const DesignData& d) {
  return {d.teeth[0],
          d.teeth[1],
          d.normal_module,
          d.profile_shift[0],
          d.profile_shift[1],
          d.tip_diameter[0],
          d.tip_diameter[1],
          d.root_diameter[0],
          d.root_diameter[1],
          d.transverse_contact_ratio,
          d.contact_safety_factor[0],
          d.contact_safety_factor[1],
          d.bending_safety_factor_pinion,
          d.bending_safety_factor_wheel};
}
Listed listed(const DesignPointRecord& r) {
  const auto d = std::make_unique<DesignData>();
  store_design_point(r, *d);
  return listed(*d);
}
// Equal within the five decimals of the result file (and the float's own precision). The grid carries
// its backlash from candidate to candidate, so a candidate's finished thicknesses, and with them its
// bending figures, differ from those of the same pair refreshed on its own by about 1e-5: two units of
// the last decimal are allowed beside the rounding of the file.
void expect_listed(const Listed& held, const Listed& file) {
  EXPECT_EQ(held.z1, file.z1);
  EXPECT_EQ(held.z2, file.z2);
  const std::pair<float, float> values[] = {
      {held.module, file.module},
      {held.x1, file.x1},
      {held.x2, file.x2},
      {held.tip1, file.tip1},
      {held.tip2, file.tip2},
      {held.root1, file.root1},
      {held.root2, file.root2},
      {held.contact_ratio, file.contact_ratio},
      {held.contact_safety1, file.contact_safety1},
      {held.contact_safety2, file.contact_safety2},
      {held.bending_safety1, file.bending_safety1},
      {held.bending_safety2, file.bending_safety2}};
  for (std::size_t i = 0; i < std::size(values); ++i)
    EXPECT_NEAR(values[i].first, values[i].second, 2e-5 + 2e-7 * std::fabs(values[i].second)) << "figure " << i;
}

}  // namespace

TEST(SearchFromMainWindow, UseNewKeepsThePickedDesignAndRestoreOriginalReadsTheSavedOneBack) {
  for (const bool use_new : {true, false}) {
    SCOPED_TRACE(use_new);
    Program p;
    DesignData& d = *p.d;
    const int32_t z1_before = d.teeth[0], z2_before = d.teeth[1];
    int32_t z1 = 0, z2 = 0;
    p.search_and_pick(z1, z2);
    p.scripted.modal_actions["useoptimizedform"].push_back([&p, use_new](QDialog&) {
      if (use_new) p.question->Button1Click();
      else p.question->OKbuttonClick();
      return p.question->result();
    });
    p.main->RunOptimizer1Click();
    EXPECT_EQ(d.search_results_ready, 1);
    EXPECT_EQ(d.use_optimized_design, use_new ? 1 : 0);
    ASSERT_NE(z1, 0);
    if (use_new) {
      EXPECT_EQ(d.teeth[0], z1);
      EXPECT_EQ(d.teeth[1], z2);
      EXPECT_EQ(d.geometry_manager_mode, 1);
      EXPECT_EQ(d.tooth_proportion_mode, 2);
    } else {
      EXPECT_EQ(d.teeth[0], z1_before);
      EXPECT_EQ(d.teeth[1], z2_before);
      EXPECT_EQ(d.tooth_proportion_mode, 0);
    }
    EXPECT_TRUE(p.main->RunOptimizer1->isEnabled());
  }
}

// "Use new" delivers the design picked from the plot, as the file lists it, when the main window
// refreshes it afresh, also when the plot was redrawn after the pick (a redraw reads every record into
// the design data).
TEST(SearchFromMainWindow, UseNewDeliversThePickedPairAsListed) {
  for (const bool redraw : {false, true}) {
    SCOPED_TRACE(redraw);
    Program p;
    DesignData& d = *p.d;
    d.rating_enabled = 1;
    int32_t z1 = 0, z2 = 0;
    DesignPointRecord picked;
    p.search_and_pick(z1, z2, &picked, redraw);
    p.answer(true);
    p.main->RunOptimizer1Click();
    ASSERT_NE(z1, 0);
    EXPECT_EQ(d.use_optimized_design, 1);
    EXPECT_TRUE(p.warnings().isEmpty());
    p.main->SetMain_textboxes();
    EXPECT_EQ(d.rating_valid, 1);
    expect_listed(listed(d), listed(picked));
  }
}

// A search in which nothing was picked leaves the user's design: "Use new" restores it and says so, and
// closing the question with its title bar's close button restores it too, even after a pick and when
// the search before was answered with "Use new".
TEST(SearchFromMainWindow, NothingPickedOrNoAnswerKeepsTheOriginalDesign) {
  const QString nothing_picked = "No design was picked in the design search\nThe original design has been restored\n ";
  struct Case {
    const char* name;
    bool pick;
    std::optional<bool> use_new;
    QStringList warnings;
  } cases[] = {{"Use new, nothing picked", false, true, {nothing_picked}},
               {"close button after a pick", true, std::nullopt, {}},
               {"close button, nothing picked", false, std::nullopt, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Program p;
    DesignData& d = *p.d;
    d.rating_enabled = 1;
    p.main->SetMain_textboxes();
    const Listed original = listed(d);
    ASSERT_EQ(original.z1, 23);
    ASSERT_EQ(original.z2, 32);
    d.use_optimized_design = 1;  // the answer of a search before
    int32_t z1 = 0, z2 = 0;
    if (c.pick) p.search_and_pick(z1, z2);
    else p.search_only();
    p.answer(c.use_new);
    p.main->RunOptimizer1Click();
    if (c.pick) {
      ASSERT_NE(z1, 23);
    }
    EXPECT_EQ(d.search_results_ready, 1);
    EXPECT_EQ(d.use_optimized_design, 0);
    EXPECT_EQ(p.warnings(), c.warnings);
    EXPECT_EQ(d.tooth_proportion_mode, 0);
    p.main->SetMain_textboxes();
    expect_listed(listed(d), original);
  }
}

// Every copy of the program started in the same folder writes the same temp.mvl: when another copy
// replaces it with a design of its own (40/90 teeth), or it is removed, while the search window is open,
// "Restore original" still gives the user's design back, protuberances, shift split and load cases
// included, without a message.
TEST(SearchFromMainWindow, RestoreOriginalTakesTheDesignKeptInMemoryNotTheFile) {
  for (const bool removed : {false, true}) {
    SCOPED_TRACE(removed ? "temp.mvl removed" : "temp.mvl replaced by another copy");
    Program p;
    DesignData& d = *p.d;
    d.rating_enabled = 1;
    d.protuberance[0] = 0.05f;  // set to zero for the search
    d.load_case_table[0].torque = 123.0f;
    p.main->SetMain_textboxes();
    const Listed original = listed(d);
    const float torque = d.torque;
    const int32_t shift_split = d.shift_distribution_auto;
    p.scripted.modal_actions["optimizationform"].push_back([&p, removed](QDialog&) {
      p.search->Button2Click();
      if (removed) {
        QFile::remove("temp.mvl");
      } else {
        auto other = std::make_unique<DesignData>(*p.d);
        other->teeth[0] = 40;
        other->teeth[1] = 90;
        other->history_mode = 0;
        copy_text(other->design_file_name, "temp.mvl");
        EXPECT_TRUE(write_design_file(*other).ok());
      }
      return QDialog::Accepted;
    });
    p.answer(false);
    p.main->RunOptimizer1Click();
    EXPECT_EQ(d.use_optimized_design, 0);
    EXPECT_EQ(d.teeth[0], 23);
    EXPECT_EQ(d.teeth[1], 32);
    EXPECT_EQ(d.protuberance[0], 0.05f);
    EXPECT_EQ(d.shift_distribution_auto, shift_split);
    EXPECT_EQ(d.load_case_table[0].torque, 123.0f);
    EXPECT_EQ(d.torque, torque);
    EXPECT_TRUE(p.scripted.of(Kind::Message).empty());
    p.main->SetMain_textboxes();
    expect_listed(listed(d), original);
  }
}

// With the geometry manager overridden no candidate would get tips and proportions of its own: the
// search command is refused with the message of the other searches, shows no search window and changes
// nothing.
TEST(SearchFromMainWindow, OverriddenGeometryManagerIsRefused) {
  Program p;
  DesignData& d = *p.d;
  d.rating_enabled = 1;
  p.main->Overide2Click();
  ASSERT_EQ(d.geometry_manager_override, 1);
  d.protuberance[0] = 0.1f;  // the search would set it to zero
  p.main->SetMain_textboxes();
  const Listed before = listed(d);
  const int32_t proportions = d.tooth_proportion_mode;
  QFile::remove("temp.mvl");
  p.scripted.clear();
  p.search_only();
  p.main->RunOptimizer1Click();
  EXPECT_EQ(p.warnings(), QStringList{"Geometry manager cannot be overidden for this option.\n"
                                      "Activate the Geometry Manager from the Options menu \n"});
  EXPECT_EQ(p.scripted.of(Kind::Modal).size(), 1u);  // the warning alone
  EXPECT_FALSE(QFile::exists("temp.mvl"));
  EXPECT_EQ(d.geometry_manager_override, 1);
  EXPECT_EQ(d.tooth_proportion_mode, proportions);
  EXPECT_EQ(d.protuberance[0], 0.1f);
  p.main->SetMain_textboxes();
  expect_listed(listed(d), before);
}

// Esc on the question after a search, like its title bar's close button, answers "Restore original":
// the main window is left with the design "Restore original" leaves, byte for byte, also after a pick
// and when the search before was answered with "Use new".
TEST(SearchFromMainWindow, EscAndTheCloseButtonOnTheQuestionRestoreTheOriginal) {
  enum class Way { RestoreOriginal, Escape, CloseButton };
  std::unique_ptr<DesignData> restored;
  for (const Way way : {Way::RestoreOriginal, Way::Escape, Way::CloseButton}) {
    SCOPED_TRACE(int(way));
    Program p;
    DesignData& d = *p.d;
    d.use_optimized_design = 1;  // the answer of a search before
    int32_t z1 = 0, z2 = 0;
    p.search_and_pick(z1, z2);
    p.scripted.modal_actions["useoptimizedform"].push_back([&p, way](QDialog& dialog) {
      dialog.activateWindow();
      QApplication::setActiveWindow(&dialog);
      if (way == Way::RestoreOriginal) {
        p.question->OKbutton->click();
      } else if (way == Way::Escape) {
        QWidget* focused = dialog.focusWidget();
        QTest::keyClick(focused ? focused : &dialog, Qt::Key_Escape);
      } else {
        dialog.close();
      }
      EXPECT_FALSE(dialog.isVisible());
      return int(QDialog::Accepted);
    });
    p.main->RunOptimizer1Click();
    ASSERT_NE(z1, 23);  // a pick was made
    EXPECT_EQ(d.use_optimized_design, 0);
    EXPECT_EQ(d.teeth[0], 23);
    EXPECT_EQ(d.teeth[1], 32);
    if (!restored) {
      restored = std::make_unique<DesignData>(d);
    } else {
      EXPECT_EQ(std::memcmp(&d, restored.get(), sizeof d), 0);
    }
  }
}

// A pick, then a redraw with another Y quantity, then "Use new": the search window's report and its red
// circles are those of the pick, and the main window is left with that pair.
TEST(SearchFromMainWindow, AfterARedrawTheReportAndCirclesAreThoseOfThePairUseNewDelivers) {
  Program p;
  DesignData& d = *p.d;
  d.rating_enabled = 1;
  int32_t z1 = 0, z2 = 0;
  DesignPointRecord picked;
  p.search_and_pick(z1, z2, &picked);
  auto& actions = p.scripted.modal_actions["optimizationform"];
  const auto search_and_pick = actions.back();
  actions.pop_back();
  QString teeth_line, contact_line;
  int red = 0;
  actions.push_back([&](QDialog& window) {
    const int result = search_and_pick(window);
    p.search->YaxisComboBox->setCurrentIndex(10);  // "Wheel Cont. S.F."
    p.search->YaxisComboBoxChange();
    // The redraw left the file's last record, another design, in the design data.
    EXPECT_NE(d.contact_safety_factor[0], picked.contact_safety_factor_pinion);
    const QTextDocument* pane = p.search->mainresults->document();
    teeth_line = pane->findBlockByNumber(1).text();
    contact_line = pane->findBlockByNumber(6).text();
    const QImage& image = p.search->Image1->picture();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == Qt::red) ++red;
    return result;
  });
  p.answer(true);
  p.main->RunOptimizer1Click();
  ASSERT_NE(z1, 0);
  EXPECT_EQ(d.use_optimized_design, 1);
  EXPECT_GT(red, 6);
  p.main->SetMain_textboxes();
  EXPECT_EQ(d.teeth[0], z1);
  EXPECT_EQ(d.teeth[1], z2);
  EXPECT_EQ(teeth_line, QString("Number of Teeth \t\t\t%1\t\t%2").arg(z1).arg(z2));
  EXPECT_EQ(contact_line, QString::asprintf("Contact Safety Factor \tSH\t%-16.3f\t%-16.3f",
                                            double(d.contact_safety_factor[0]), double(d.contact_safety_factor[1])));
}
