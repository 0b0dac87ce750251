// The design-space search window: its defaults, range and filter edits, the plot of a result file drawn
// into its picture, picking a design from the plot, the zoom rectangle and the search report.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "design_search.h"
#include "domain_error_box.h"
#include "edit_fields.h"
#include "field_events.h"
#include "geometry_pass.h"
#include "numeric.h"
#include "optimization_form.h"
#include "results_pane.h"
#include "scripted_modal_services.h"
#include "search_plot_variables.h"
#include "search_report.h"
#include "search_result_file.h"
#include "startup_values.h"
#include "test_support.h"

using namespace morvell;
using Kind = forms::ScriptedModalServices::Kind;

namespace {

std::unique_ptr<DesignData> default_design(int unit_system = 1) {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->unit_system = unit_system;
  set_unit_factors(*d);
  copy_text(d->design_file_name, std::string(MORVELL_SOURCE_DIR) + "/data/default_input_file.mvl");
  EXPECT_TRUE(read_design_file(*d).ok());
  calc_gear_geometry(*d);
  d->tooth_proportion_mode = 2;
  return d;
}

struct Window {
  std::unique_ptr<DesignData> d;
  forms::ScriptedModalServices scripted;
  forms::ScopedServices use{scripted};
  std::unique_ptr<Toptimizationform> w;

  explicit Window(std::unique_ptr<DesignData> design = default_design()) : d(std::move(design)) {
    w = std::make_unique<Toptimizationform>(*d);
    w->show();
    QApplication::setActiveWindow(w.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    scripted.clear();
  }

  // Auto Scale off, so that the edits take entries.
  void edits_on() { w->autoscaleCheckBox->setChecked(false); }

  // Types the text into the field and leaves it for the search button.
  void enter(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(forms::active_control(w.get()), edit);
    edit->setText(text);
    w->Button2->setFocus(Qt::TabFocusReason);
    if (w->focusWidget() == edit) w->Button2->setFocus(Qt::TabFocusReason);
  }

  QStringList warnings() const {
    QStringList lines;
    for (const QString& text : scripted.warnings()) lines << text.split('\n').first();
    return lines;
  }

  QString pane_line(int i) const { return w->mainresults->document()->findBlockByNumber(i).text(); }
};

// The pixel of a value on the +X half, the -X half and the Y axis, as the plot places it.
int plus_x_pixel(const DesignData& d, float v) {
  return int(d.chart_plus_x_origin + (double(v) - d.chart_plus_x_min) * d.chart_plus_x_scale);
}
int minus_x_pixel(const DesignData& d, float v) {
  return int(d.chart_minus_x_origin + (double(v) - d.chart_minus_x_min) * d.chart_minus_x_scale);
}
int y_pixel(const DesignData& d, float v) {
  return int(d.chart_bottom + (double(v) - d.chart_y_min) * d.chart_y_scale);
}

// The given records as the results of a search of the window: written to the result file as the search
// writes it, and listed as the file lists them.
void show_results(Toptimizationform& window, const std::vector<DesignPointRecord>& records) {
  SearchResultWriter out(kSearchResultFileName);
  for (const DesignPointRecord& r : records) ASSERT_TRUE(out.write(r));
  ASSERT_TRUE(out.close());
  window.set_search_results(out.take_listed());
}

DesignPointRecord record_of(const DesignData& d, float pinion_bending, float wheel_bending, float pinion_contact) {
  DesignData copy = d;
  copy.bending_safety_factor_pinion = pinion_bending;
  copy.bending_safety_factor_wheel = wheel_bending;
  copy.contact_safety_factor[0] = pinion_contact;
  copy.geometry_manager_mode = 1;
  return design_point_of(copy, {});
}

// Pictures for a person to look at, written when MORVELL_SCREENSHOTS names a directory.
void keep_picture(const QImage& image, const char* name) {
  const QString dir = qEnvironmentVariable("MORVELL_SCREENSHOTS");
  if (!dir.isEmpty()) image.save(dir + "/" + name);
}

int dark_pixels(const QImage& image, QRect area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) ++n;
  return n;
}

}  // namespace

// --- Defaults ---

TEST(SearchWindow, ShowSetsRangesFiltersAndThePaneFromTheDesign) {
  struct Case {
    int32_t teeth;
    float helix;
    int32_t teeth_min, teeth_max;
    float helix_min;
  };
  for (const Case c : {Case{15, 2, 13, 22, 0}, Case{30, 0, 25, 34, 0}, Case{20, 12.5f, 15, 24, 9.5f}}) {
    auto d = default_design();
    d->teeth[0] = c.teeth;
    d->helix_angle = c.helix;
    d->normal_module = 2;
    d->desired_ratio = 2;
    Window win(std::move(d));
    const DesignData& s = *win.d;
    EXPECT_EQ(win.w->windowTitle(), "Design Space Search");
    EXPECT_EQ(s.search_teeth_min, c.teeth_min);
    EXPECT_EQ(s.search_teeth_max, c.teeth_max);
    EXPECT_EQ(s.search_helix_angle_min, c.helix_min);
    EXPECT_EQ(s.search_helix_angle_max, c.helix);
    EXPECT_EQ(s.search_module_min, 1.5f);
    EXPECT_EQ(s.search_module_max, 2.5f);
    EXPECT_EQ(s.filter_ratio_min, 1.95f);
    EXPECT_EQ(s.filter_ratio_max, 2.05f);
    EXPECT_EQ(s.filter_contact_safety_max[1], 5.0f);
    EXPECT_EQ(s.filter_root_stress_max[0], 1000.0f);
    EXPECT_EQ(s.filter_nominal_contact_stress_max, 2000.0f);
    EXPECT_EQ(s.search_results_ready, 0);
    EXPECT_EQ(s.chart_autoscale, 1);
    EXPECT_EQ(win.w->XplusComboBox->currentText(), "Pin. Bend. S.F.");
    EXPECT_EQ(win.w->XnegComboBox->currentText(), "Wheel Bend. S.F.");
    EXPECT_EQ(win.w->YaxisComboBox->currentText(), "Pin. Cont. S.F.");
    EXPECT_EQ(win.w->minz1edit->text(), QString::number(c.teeth_min));  // the edit cleans the blanks away
    EXPECT_EQ(win.w->minz1edit->toolTip(), QString("%1").arg(c.teeth_min, 10));
    EXPECT_EQ(win.w->minMnedit->text(), "1.500");
    EXPECT_EQ(win.w->minMnedit->toolTip(), "   1.50000");
    EXPECT_EQ(win.w->maxpincontedit->text(), "5.000");
    EXPECT_FALSE(win.w->minMnedit->isEnabled());
    EXPECT_EQ(win.w->mainresults->document()->blockCount(), 150);
    EXPECT_EQ(win.pane_line(149), " ");
  }
}

TEST(SearchWindow, EnglishUnitsShowPitchAndPsi) {
  auto d = default_design(2);
  d->normal_module = 2;
  Window win(std::move(d));
  EXPECT_EQ(win.w->modulelabel->text(), "DP");
  EXPECT_EQ(win.w->modulelabel->toolTip(), "Normal Diametral Pitch");
  EXPECT_EQ(win.w->nominalstresslabel->text(), "Nominal Stress (psi)");
  // The minimum module shows as the larger pitch: 25.4 / 1.5.
  EXPECT_EQ(win.w->minMnedit->text(), "16.9333");
  win.w->actualstressCheckBox->setChecked(true);
  EXPECT_FALSE(win.w->safetyfactorCheckBox->isChecked());
  EXPECT_EQ(win.w->maxpincontedit->text(), QString::fromStdString(format_number(float(2000 / 0.006895L), 3)));
}

// --- Range edits ---

TEST(SearchWindow, TeethEntriesAreHeldToTenCountsBetween13And200) {
  struct Case {
    bool max;
    const char* entry;
    int32_t lo, hi;
    QStringList warnings;
  };
  const Case cases[] = {
      {false, "250", 191, 200, {"Minimum teeth must be less than maximum"}},
      {true, "5", 13, 22, {"Maximum teeth must be greater than minimum"}},
      {false, "10", 13, 22, {"Minimum value of pinion teeth is 13"}},
      {true, "300", 191, 200, {"Maximum value of pinion teeth is 200", "Maximum range of teeth is 10"}},
      {true, "18", 13, 18, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    auto d = default_design();
    d->teeth[0] = 15;
    Window win(std::move(d));
    win.edits_on();
    win.enter(c.max ? win.w->maxz1edit : win.w->minz1edit, c.entry);
    EXPECT_EQ(win.d->search_teeth_min, c.lo);
    EXPECT_EQ(win.d->search_teeth_max, c.hi);
    EXPECT_EQ(win.warnings(), c.warnings);
    // The module range follows the tooth range: fewer teeth, larger modules.
    EXPECT_GT(win.d->search_module_max, win.d->search_module_min);
  }
}

TEST(SearchWindow, ModuleEntriesAreHeldToWhatTheCentreDistanceAllows) {
  auto d = default_design();
  d->centre_distance = 100;
  d->desired_ratio = 2;
  d->normal_pressure_angle = 20;
  Window win(std::move(d));
  win.edits_on();
  win.enter(win.w->minMnedit, "0.3");
  EXPECT_EQ(win.d->search_module_min, 0.5f);
  win.enter(win.w->maxMnedit, "6");
  EXPECT_NEAR(win.d->search_module_max, 4.81894f, 1e-5);
  win.enter(win.w->minMnedit, "1");
  win.enter(win.w->maxMnedit, "0.2");  // first m200 = 0.31323, then min + 1
  EXPECT_EQ(win.d->search_module_max, 2.0f);
  EXPECT_EQ(win.warnings(), (QStringList{"Minimum value of module is 0.5 mm", "Maximum value of module is  4.819",
                                         "Minimum value of module is  0.313",
                                         "Maximum value of module must be greater than minimum value of module"}));
}

TEST(SearchWindow, RefusedRangeEntriesRestoreAndTheRatioRangeSetsTheDesiredRatio) {
  auto d = default_design();
  d->helix_angle = 0;
  Window win(std::move(d));
  win.edits_on();
  win.enter(win.w->minbetaedit, "0");  // a spur design's helix range is 0 to 0: any minimum is refused
  EXPECT_EQ(win.warnings(), QStringList{"Minimum helix angle is out of range "});
  win.enter(win.w->maxbetaedit, "0");
  EXPECT_EQ(win.warnings().size(), 1);
  win.enter(win.w->maxalphaedit, "31");
  EXPECT_EQ(win.d->search_pressure_angle_max, 22.5f);
  win.enter(win.w->maxuedit, "2.5");
  win.enter(win.w->minuedit, "1.5");
  EXPECT_EQ(win.d->desired_ratio, 2.0f);
  win.enter(win.w->maxsigmaXedit, "2");
  EXPECT_EQ(win.d->filter_shift_sum_max, 1.0f);
  EXPECT_EQ(win.warnings().last(), "Maximum sum of addendum modification coefficients is out of range");
}

// --- Result filters ---

TEST(SearchWindow, FilterKindsBehaveAsOneChoice) {
  Window win;
  Toptimizationform& w = *win.w;
  win.edits_on();
  w.nomstressCheckBox->setChecked(true);
  EXPECT_FALSE(w.safetyfactorCheckBox->isChecked());
  EXPECT_EQ(w.minwheelcontedit->text(), "0.000");
  EXPECT_EQ(w.maxwheelcontedit->text(), "2000.000");
  w.nomstressCheckBox->setChecked(false);
  EXPECT_TRUE(w.actualstressCheckBox->isChecked());
  w.actualstressCheckBox->setChecked(false);
  EXPECT_TRUE(w.safetyfactorCheckBox->isChecked());
  EXPECT_FALSE(w.actualstressCheckBox->isChecked());
  EXPECT_FALSE(w.nomstressCheckBox->isChecked());
}

TEST(SearchWindow, FilterEntriesAreHeldInsideTheirBounds) {
  Window win;
  Toptimizationform& w = *win.w;
  win.edits_on();
  win.enter(w.maxpincontedit, "12");
  EXPECT_EQ(win.d->filter_contact_safety_max[0], 5.0f);
  win.enter(w.minpinbendedit, "2.0");
  win.enter(w.maxpinbendedit, "2.005");
  EXPECT_EQ(win.d->filter_bending_safety_max[0], 5.0f);
  EXPECT_EQ(win.warnings(), (QStringList{"Value is out of range ", "Value is out of range "}));
  // The nominal contact stress is one pair for both rows.
  w.nomstressCheckBox->setChecked(true);
  win.enter(w.maxwheelcontedit, "1500");
  EXPECT_EQ(win.d->filter_nominal_contact_stress_max, 1500.0f);
  EXPECT_EQ(w.maxpincontedit->text(), "1500.000");
}

TEST(SearchWindow, StressFiltersInEnglishUnitsAreEnteredInPsi) {
  Window win(default_design(2));
  Toptimizationform& w = *win.w;
  win.edits_on();
  w.actualstressCheckBox->setChecked(true);
  win.enter(w.maxpinbendedit, "145038");
  EXPECT_NEAR(win.d->filter_root_stress_max[0], 1000.04f, 0.005);
  win.enter(w.maxpinbendedit, "1500000");
  EXPECT_NEAR(win.d->filter_root_stress_max[0], 1000.04f, 0.005);
  EXPECT_EQ(win.warnings(), QStringList{"Value is out of range "});
}

// --- Plot variables and filters ---

TEST(SearchPlotVariables, BoundsBelongToTheRangesAndAutoScaleTakesTheExtents) {
  DesignData d;
  d.search_module_min = 1;
  d.search_module_max = 3;
  d.search_teeth_min = 13;
  d.search_teeth_max = 22;
  d.search_pressure_angle_max = d.search_helix_angle_max = 90;
  d.filter_axial_contact_ratio_max = d.filter_transverse_contact_ratio_max = d.filter_ratio_max = 10;
  d.filter_shift_sum_min = -1;
  d.filter_shift_sum_max = 1;
  for (int g = 0; g < 2; ++g) {
    d.filter_contact_safety_max[g] = d.filter_bending_safety_max[g] = 5;
    d.filter_contact_stress_max[g] = d.filter_root_stress_max[g] = d.filter_nominal_root_stress_max[g] = 2000;
  }
  d.filter_nominal_contact_stress_max = 2000;
  d.normal_module = 3;  // on the bound
  d.teeth[0] = 13;
  EXPECT_FALSE(outside_search_ranges(d));
  d.contact_safety_factor[1] = 5.01f;
  EXPECT_TRUE(outside_search_ranges(d));
  d.contact_safety_factor[1] = 1;
  d.teeth[0] = 23;
  EXPECT_TRUE(outside_search_ranges(d));

  // Extents: real pairs start empty, the tooth pair only widens, the transverse lower bound stays at or
  // above 1.0, values that are not finite take no part, and a pair no value reached keeps its bounds.
  SearchExtents e(d);
  DesignData r = d;
  r.teeth[0] = 30;
  r.normal_module = 2.5f;
  r.transverse_contact_ratio = 0.8f;
  r.contact_safety_factor[0] = std::nanf("");
  e.add(r);
  r.normal_module = 2.0f;
  r.transverse_contact_ratio = 1.7f;
  e.add(r);
  d.filter_contact_safety_min[0] = 0.5f;
  e.apply(d);
  EXPECT_EQ(d.search_teeth_min, 13);
  EXPECT_EQ(d.search_teeth_max, 30);
  EXPECT_EQ(d.search_module_min, 2.0f);
  EXPECT_EQ(d.search_module_max, 2.5f);
  EXPECT_EQ(d.filter_transverse_contact_ratio_min, 1.0f);
  EXPECT_EQ(d.filter_transverse_contact_ratio_max, 1.7f);
  EXPECT_EQ(d.filter_contact_safety_min[0], 0.5f);
  EXPECT_EQ(d.filter_contact_safety_max[0], 5.0f);

  // Zoomed teeth are truncated.
  set_plot_variable_range(d, kPinionTeethVariable, 14.9f, 19.7f);
  EXPECT_EQ(d.search_teeth_min, 14);
  EXPECT_EQ(d.search_teeth_max, 19);

  // A zoom keeps within the stored bounds and writes only a range the fields accept.
  EXPECT_TRUE(zoom_plot_variable_range(d, kPinionTeethVariable, 12.5f, 16.2f));
  EXPECT_EQ(d.search_teeth_min, 14);
  EXPECT_EQ(d.search_teeth_max, 16);
  EXPECT_FALSE(zoom_plot_variable_range(d, kPinionTeethVariable, 14.2f, 14.9f));  // less than one tooth
  EXPECT_EQ(d.search_teeth_max, 16);
  d.search_module_min = 2.0f;
  d.search_module_max = 2.5f;
  EXPECT_TRUE(zoom_plot_variable_range(d, 0, 1.5f, 2.2f));
  EXPECT_EQ(d.search_module_min, 2.0f);
  EXPECT_EQ(d.search_module_max, 2.2f);
  EXPECT_FALSE(zoom_plot_variable_range(d, 0, 2.3f, 2.4f));  // outside the stored bounds
  EXPECT_EQ(d.search_module_max, 2.2f);
}

// --- The search report ---

TEST(SearchReport, LinesOfAFixtureInBothUnitSystems) {
  auto d = default_design();
  d->normal_module = 2;
  d->helix_angle = 0;
  d->helix_hand = 1;
  d->transverse_contact_ratio = 1.5f;
  d->iso1328_deviations[0].f_i2 = 12;
  d->contact_safety_factor[0] = 1.25f;
  d->contact_safety_factor[1] = 1.5f;
  d->nominal_contact_stress = 1000;
  d->zone_factor = 2.5f;
  d->running_in_allowance_helix = 25.4f;
  d->life_factor_bending[0] = 0.9f;
  d->life_factor_bending[1] = 1.1f;
  auto line = [](const ReportLines& lines, int index) {
    for (const ReportLine& l : lines)
      if (l.index == index) return l.text;
    return std::string("(not written)");
  };
  const ReportLines metric = search_report_lines(*d);
  EXPECT_EQ(line(metric, 0), "\t\t\t\t PINION  \t\tWHEEL");
  EXPECT_EQ(line(metric, 2), "Normal Module (mm)\t\t\t2.000           ");
  EXPECT_EQ(line(metric, 6), "Contact Safety Factor \tSH\t1.250           \t1.500           ");
  EXPECT_EQ(line(metric, 7), "Nominal Contact Stress(MPa)\tSigmaHO\t1000.000        \t1000.000        ");
  EXPECT_EQ(line(metric, 19), "Helix Hand \t\t\tleft\t\tright");
  EXPECT_EQ(line(metric, 56), "Transverse Module (mm)\t\t\t2.000           ");
  EXPECT_EQ(line(metric, 76), " ");
  EXPECT_EQ(line(metric, 78).substr(0, 44), "Single radial composite deviation (mm)\t0.012");
  EXPECT_EQ(line(metric, 95), "Zone Factor \t\tZH\t\t 2.500           ");
  EXPECT_EQ(line(metric, 99), "Nominal Contact Stress(MPa)\tSigmaHO\t 1000.000        \t1000.000        ");
  // Rating rows in the search report's own wording.
  EXPECT_EQ(line(metric, 137), "Life Factor(Bending) \tYNT\t 0.900           \t1.100           ");
  EXPECT_EQ(line(metric, 119), "(not written)");
  EXPECT_EQ(line(metric, 5), "(not written)");
  EXPECT_EQ(line(metric, 94), "(not written)");
  EXPECT_EQ(metric.back().index, 140);
  for (std::size_t i = 1; i < metric.size(); ++i) ASSERT_LT(metric[i - 1].index, metric[i].index);

  d->unit_system = 2;
  set_unit_factors(*d);
  const ReportLines english = search_report_lines(*d);
  EXPECT_EQ(line(english, 2), "Diametral Pitch (1/inch)\t\t\t12.7000         ");
  EXPECT_EQ(line(english, 7), "Nominal Contact Stress(psi)\tSigmaHO\t145033          \t145033          ");
  EXPECT_EQ(line(english, 78).substr(0, 47), "Single radial composite deviation (inch)\t0.0005");
  EXPECT_EQ(line(english, 56), "Transverse DP (1/inch)\t\t\t12.7000         ");
  EXPECT_EQ(line(english, 102), "Running in Allowance (thou)\tyBeta\t\t 1.0000          ");
  EXPECT_EQ(line(english, 137), "Life Factor(Bending) \tYNT\t 0.900           \t1.100           ");

  d->transverse_contact_ratio = 1.0f;
  d->helix_hand = -1;
  const ReportLines unrated = search_report_lines(*d);
  EXPECT_EQ(line(unrated, 95), "Rating not run (Transverse contact ratio <1.0)");
  EXPECT_EQ(unrated.back().index, 95);
  EXPECT_EQ(line(unrated, 19), "Helix Hand \t\t\tright\t\tleft");
  EXPECT_EQ(line(unrated, 6), "Contact Safety Factor \tSH\t1.250           \t1.500           ");

  // A dynamic factor beyond its method's range (a speed term of 10 m/s or more) is said above the safety
  // factors and on its own row.
  d->unit_system = 1;
  set_unit_factors(*d);
  d->transverse_contact_ratio = 1.5f;
  d->dynamic_factor = 87.166f;
  d->dynamic_speed_term = 22.5f;
  const ReportLines beyond = search_report_lines(*d);
  const std::string notice =
      "Dynamic Factor KV 87.166 outside its method's range: z1 v/100 (u^2/(1+u^2))^0.5 = 22.500 m/s, not below 10";
  EXPECT_EQ(line(beyond, 5), notice);
  EXPECT_EQ(line(beyond, 119), notice);
  EXPECT_EQ(line(beyond, 101), "Dynamic Factor \t\tKV\t\t 87.166          ");
  for (std::size_t i = 1; i < beyond.size(); ++i) ASSERT_LT(beyond[i - 1].index, beyond[i].index);
  d->dynamic_speed_term = 9.99f;
  EXPECT_EQ(line(search_report_lines(*d), 5), "(not written)");
  d->dynamic_speed_term = 22.5f;
  d->transverse_contact_ratio = 1.0f;  // not rated: no rating rows, no notice
  EXPECT_EQ(line(search_report_lines(*d), 5), "(not written)");

  d->unit_system = 3;
  EXPECT_TRUE(search_report_lines(*d).empty());
}

// --- Plot, pick and zoom on a small result file ---

namespace {

// Three designs of the default design with chosen safety factors.
struct PlotWindow : Window {
  std::vector<DesignPointRecord> records;
  PlotWindow() {
    DesignData& s = *d;
    records = {record_of(s, 1.2f, 1.5f, 1.1f), record_of(s, 2.0f, 2.5f, 1.6f), record_of(s, 2.8f, 1.9f, 2.2f)};
    records[1].teeth[0] += 1;
    records[1].teeth[1] += 2;
    show_results(*w, records);
    w->Set_optimizer_textboxes();
  }
};

}  // namespace

TEST(SearchPlot, EveryDesignInsideTheRangesIsDrawnOnBothHalves) {
  PlotWindow win;
  DesignData& d = *win.d;
  // Auto Scale took the extents of the three designs.
  EXPECT_EQ(d.filter_bending_safety_min[0], 1.2f);
  EXPECT_EQ(d.filter_bending_safety_max[0], 2.8f);
  EXPECT_EQ(d.chart_plus_x_min, 1.2f);
  EXPECT_EQ(d.chart_y_max, 2.2f);
  EXPECT_EQ(d.search_eval_count, 0);
  const QImage& image = win.w->Image1->picture();
  keep_picture(image, "search_plot.png");
  for (const DesignPointRecord& r : win.records) {
    const int y = y_pixel(d, r.contact_safety_factor_pinion);
    const int xp = plus_x_pixel(d, r.bending_safety_factor_pinion);
    const int xm = minus_x_pixel(d, r.bending_safety_factor_wheel);
    EXPECT_GT(dark_pixels(image, QRect(xp - 2, y - 2, 5, 5)), 3) << xp << "," << y;
    EXPECT_GT(dark_pixels(image, QRect(xm - 2, y - 2, 5, 5)), 3) << xm << "," << y;
  }
  // The report shows the last record of the file.
  EXPECT_EQ(win.pane_line(6).toStdString(), "Contact Safety Factor \tSH\t2.200           \t" +
                                                 format_line("%-16.3f", double(win.records[2].contact_safety_factor_wheel)));

  // A filter keeps the first design out of the plot.
  win.edits_on();
  d.filter_contact_safety_min[0] = 1.2f;
  win.w->Set_optimizer_textboxes();
  const DesignPointRecord& first = win.records[0];
  EXPECT_EQ(dark_pixels(win.w->Image1->picture(),
                        QRect(plus_x_pixel(d, first.bending_safety_factor_pinion) - 2,
                              y_pixel(d, first.contact_safety_factor_pinion) - 2, 5, 5)),
            0);
}

// A field left while the results are read (through an event the progress window handles) is redrawn
// after the redraw that runs, not inside it: the picture is never painted by two painters at once and
// the chart ends with the new range.
TEST(SearchPlot, AFieldLeftDuringARedrawIsRedrawnAfterIt) {
  PlotWindow win;
  DesignData& d = *win.d;
  win.edits_on();
  static QStringList painter_faults;
  painter_faults.clear();
  const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
    if (m.contains("QPainter")) painter_faults << m;
  });
  const float new_max = d.filter_contact_safety_max[0] - 0.1f;
  int redraws = 0;
  win.w->progress.set_visible = [&](bool visible) {
    if (!visible || redraws++ > 0) return;
    win.enter(win.w->maxpincontedit, QString::number(double(new_max), 'f', 3));  // its exit asks for a redraw
  };
  win.w->progress.is_visible = [] { return false; };
  win.w->Set_optimizer_textboxes();
  qInstallMessageHandler(previous);
  EXPECT_EQ(painter_faults, QStringList());
  EXPECT_EQ(redraws, 2);  // the redraw that ran and the one asked for during it
  EXPECT_NEAR(d.filter_contact_safety_max[0], new_max, 1e-3f);
  EXPECT_NEAR(d.chart_y_max, new_max, 1e-3f);  // the chart's Y axis is the pinion's contact safety
}

TEST(SearchPlot, OneDesignAndEqualBoundsGiveFiniteScales) {
  auto design = default_design();
  Window win(std::move(design));
  DesignData& d = *win.d;
  show_results(*win.w, {record_of(d, 1.5f, 1.5f, 1.5f)});
  win.w->XplusComboBox->setCurrentIndex(kPinionTeethVariable);
  win.w->Set_optimizer_textboxes();
  for (float s : {d.chart_plus_x_scale, d.chart_minus_x_scale, d.chart_y_scale}) {
    EXPECT_TRUE(std::isfinite(s));
    EXPECT_NE(s, 0.0f);
  }
  EXPECT_LT(d.chart_y_min, 1.5f);
  EXPECT_GT(d.chart_y_max, 1.5f);
  EXPECT_TRUE(win.warnings().isEmpty());
}

// Another copy of the program started in the same folder writes the same result file: whether it
// replaces the file with results of its own or removes it while the window is open, the plot keeps the
// window's results and a pick takes the design the plot lists there.
TEST(SearchPick, AResultFileChangedByAnotherCopyChangesNeitherThePlotNorThePick) {
  for (const bool removed : {false, true}) {
    SCOPED_TRACE(removed ? "removed" : "replaced");
    PlotWindow win;
    DesignData& d = *win.d;
    if (removed) {
      std::remove(kSearchResultFileName);
    } else {
      // The other copy's results lie at the same places with other numbers of teeth.
      SearchResultWriter other(kSearchResultFileName);
      for (DesignPointRecord r : win.records) {
        r.teeth[0] += 20;
        r.teeth[1] += 40;
        ASSERT_TRUE(other.write(r));
      }
      ASSERT_TRUE(other.close());
    }
    win.w->Set_optimizer_textboxes();  // a redraw, as a new plot variable or filter asks for
    const DesignPointRecord& r = win.records[1];
    win.w->Image1MouseUp(plus_x_pixel(d, r.bending_safety_factor_pinion), y_pixel(d, r.contact_safety_factor_pinion));
    EXPECT_EQ(d.teeth[0], r.teeth[0]);
    EXPECT_EQ(d.teeth[1], r.teeth[1]);
    ASSERT_NE(win.w->picked_design(), nullptr);
    EXPECT_EQ(win.w->picked_design()->teeth[0], r.teeth[0]);
    EXPECT_TRUE(win.warnings().isEmpty());
  }
}

TEST(SearchPick, PickingTakesTheFirstDesignWithinSixPixelsAndEvaluatesIt) {
  PlotWindow win;
  DesignData& d = *win.d;
  const DesignPointRecord& r = win.records[1];
  // Where the design lies, before truncation to whole pixels.
  const double ye = d.chart_bottom + (double(r.contact_safety_factor_pinion) - d.chart_y_min) * d.chart_y_scale;
  const double xe =
      d.chart_plus_x_origin + (double(r.bending_safety_factor_pinion) - d.chart_plus_x_min) * d.chart_plus_x_scale;
  const int y = int(std::floor(ye)), xp = int(std::floor(xe));

  // Six pixels away or more: nothing is picked and the design stays.
  const int32_t teeth_before = d.teeth[0];
  win.w->Image1MouseUp(int(std::ceil(xe)) + 6, y);
  EXPECT_EQ(d.teeth[0], teeth_before);

  // Five pixels away in both directions: the second design, evaluated again from its own teeth.
  win.w->Image1MouseUp(xp + 5, int(std::ceil(ye)) - 5);
  EXPECT_EQ(d.teeth[0], r.teeth[0]);
  EXPECT_EQ(d.teeth[1], r.teeth[1]);
  EXPECT_EQ(d.geometry_manager_mode, 1);
  EXPECT_EQ(d.normal_pressure_angle, r.normal_pressure_angle);
  EXPECT_EQ(d.helix_angle, r.helix_angle);
  EXPECT_EQ(d.search_single_design, 0);
  // The evaluation is the geometry pass and the rating of exactly that design.
  DesignData again = d;
  calc_gear_geometry(again);
  EXPECT_EQ(again.normal_module, d.normal_module);
  EXPECT_EQ(again.tip_diameter[0], d.tip_diameter[0]);
  EXPECT_EQ(win.pane_line(1).toStdString(), format_line("Number of Teeth \t\t\t%-d\t\t%-d", r.teeth[0], r.teeth[1]));
  // Circled in red on both halves, where the evaluated design now lies.
  const QImage& image = win.w->Image1->picture();
  int red = 0;
  for (int yy = 0; yy < image.height(); ++yy)
    for (int xx = 0; xx < image.width(); ++xx)
      if (image.pixelColor(xx, yy) == Qt::red) ++red;
  EXPECT_GT(red, 6);
  keep_picture(image, "search_pick.png");
}

// Scaled with its window (here to half its layout), the plot keeps its layout: a design is drawn where its
// place in the layout falls in the smaller picture, and a click there picks it.
TEST(SearchPick, AtHalfTheWindowSizeAClickWhereADesignIsDrawnPicksIt) {
  auto design = default_design();
  design->form_scale_multiplier = design->form_scale_divisor / 2;
  Window win(std::move(design));
  DesignData& d = *win.d;
  std::vector<DesignPointRecord> records = {record_of(d, 1.2f, 1.5f, 1.1f), record_of(d, 2.8f, 1.9f, 2.2f)};
  records[1].teeth[0] += 1;
  records[1].teeth[1] += 2;
  show_results(*win.w, records);
  d.search_results_ready = 1;
  win.w->Set_optimizer_textboxes();
  ASSERT_EQ(win.w->Image1->width(), 502);
  EXPECT_EQ(d.chart_right, 1004 - 25);  // the plot area of the layout
  const DesignPointRecord& r = records[1];
  const QPoint at(plus_x_pixel(d, r.bending_safety_factor_pinion) / 2, y_pixel(d, r.contact_safety_factor_pinion) / 2);
  EXPECT_GT(dark_pixels(win.w->Image1->picture(), QRect(at - QPoint(1, 1), QSize(3, 3))), 0);
  QTest::mouseClick(win.w->Image1, Qt::LeftButton, {}, at);
  EXPECT_EQ(d.teeth[0], r.teeth[0]);
  EXPECT_EQ(d.teeth[1], r.teeth[1]);
}

// A record that no search of this design wrote (far more wheel teeth than its centre distance holds at
// any module a design may have) is not taken by a pick: the design stays and the user is told why.
TEST(SearchPick, ARecordThatEvaluatesToADesignThatCannotBeSavedIsNotTaken) {
  Window win;
  DesignData& d = *win.d;
  DesignPointRecord r = record_of(d, 1.5f, 1.5f, 1.5f);
  r.teeth[1] = kMaxFileTeeth;
  show_results(*win.w, {r, record_of(d, 2.5f, 2.5f, 2.5f)});
  win.w->Set_optimizer_textboxes();
  const DesignData before = d;
  win.w->Image1MouseUp(plus_x_pixel(d, 1.5f), y_pixel(d, 1.5f));
  EXPECT_EQ(d.teeth[1], before.teeth[1]);
  EXPECT_EQ(d.normal_module, before.normal_module);
  EXPECT_EQ(win.warnings(), QStringList{"The picked design cannot be used:"});
}

namespace {

// The record of the design d with the given teeth as a pick evaluates it (the centre distance held,
// the module following, its own ratio), so that a pick of it lands on its own place.
DesignPointRecord evaluated_record(const DesignData& d, int32_t z1, int32_t z2) {
  auto e = std::make_unique<DesignData>(d);
  e->teeth[0] = z1;
  e->teeth[1] = z2;
  e->geometry_manager_mode = 1;
  e->desired_ratio = float(double(z2) / z1);
  e->search_single_design = 1;
  search_design_space(*e);
  return design_point_of(*e, {});
}

int red_pixels(const QImage& image, QRect area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.valid(x, y) && image.pixelColor(x, y) == Qt::red) ++n;
  return n;
}

// The boxes around the circles of a record on both halves, with the wheel's contact safety factor as Y.
std::vector<QRect> marks_of(const DesignData& d, const DesignPointRecord& r) {
  const int y = y_pixel(d, r.contact_safety_factor_wheel);
  return {QRect(plus_x_pixel(d, r.bending_safety_factor_pinion) - 3, y - 3, 7, 7),
          QRect(minus_x_pixel(d, r.bending_safety_factor_wheel) - 3, y - 3, 7, 7)};
}

}  // namespace

// A redraw after a pick (another Y quantity, a filter) shows the picked design, the one the window
// offers for use: its report and its red circles at its place on the new axes. A later pick turns the
// earlier circles black; a pick that a filter leaves out of the plot keeps its report, without circles.
TEST(SearchPick, ARedrawShowsThePicksReportAndCircles) {
  Window win;
  DesignData& d = *win.d;
  const std::vector<DesignPointRecord> records = {evaluated_record(d, 23, 32), evaluated_record(d, 24, 33),
                                                  evaluated_record(d, 25, 35)};
  show_results(*win.w, records);
  d.search_results_ready = 1;
  win.w->Set_optimizer_textboxes();
  // A click on the +X half where the record lies, with the pinion's or the wheel's contact safety factor
  // on the Y axis (a record on the edge of the plot may lie a fraction of a pixel beyond it).
  auto pick = [&](const DesignPointRecord& r, bool wheel_contact) {
    const float y = wheel_contact ? r.contact_safety_factor_wheel : r.contact_safety_factor_pinion;
    win.w->Image1MouseUp(std::clamp(plus_x_pixel(d, r.bending_safety_factor_pinion), d.chart_plus_x_origin, d.chart_right),
                         std::clamp(y_pixel(d, y), d.chart_top, d.chart_bottom));
  };
  auto expect_report_of = [&](const DesignData& design) {
    std::vector<std::string> expected(150);
    for (const ReportLine& l : search_report_lines(design)) expected[std::size_t(l.index)] = l.text;
    for (int i = 0; i < 150; ++i) EXPECT_EQ(win.pane_line(i).toStdString(), expected[std::size_t(i)]) << "line " << i;
  };
  auto red_in = [&](const std::vector<QRect>& boxes) {
    int n = 0;
    for (const QRect& box : boxes) n += red_pixels(win.w->Image1->picture(), box);
    return n;
  };
  const QImage& image = win.w->Image1->picture();

  pick(records[1], false);
  ASSERT_NE(win.w->picked_design(), nullptr);
  const DesignData first = *win.w->picked_design();
  ASSERT_EQ(first.teeth[0], 24);
  ASSERT_EQ(first.teeth[1], 33);

  win.w->YaxisComboBox->setCurrentIndex(10);  // "Wheel Cont. S.F."
  win.w->YaxisComboBoxChange();
  EXPECT_EQ(d.teeth[0], 25);  // the redraw read the records into the design data, the last one last
  EXPECT_EQ(win.pane_line(1).toStdString(), "Number of Teeth \t\t\t24\t\t33");
  expect_report_of(first);
  const std::vector<QRect> first_marks = marks_of(d, records[1]);
  for (const QRect& box : first_marks) EXPECT_GT(red_pixels(image, box), 3) << box.x() << "," << box.y();
  EXPECT_EQ(red_in({image.rect()}), red_in(first_marks));  // no red anywhere else
  keep_picture(image, "search_pick_redrawn.png");

  pick(records[2], true);
  const DesignData second = *win.w->picked_design();
  ASSERT_EQ(second.teeth[0], 25);
  const std::vector<QRect> second_marks = marks_of(d, records[2]);
  for (const QRect& box : second_marks) EXPECT_GT(red_pixels(image, box), 3);
  EXPECT_EQ(red_in(first_marks), 0);  // the earlier pick's circles are black
  EXPECT_EQ(red_in({image.rect()}), red_in(second_marks));

  // A ratio filter below the pick's ratio of 1.4 leaves it out of the plot.
  win.edits_on();
  d.filter_ratio_max = 1.395f;
  win.w->Set_optimizer_textboxes();
  expect_report_of(second);
  EXPECT_EQ(red_in({image.rect()}), 0);
}

TEST(SearchZoom, ARectangleBecomesTheRangesOfItsHalfAndOfY) {
  PlotWindow win;
  DesignData& d = *win.d;
  win.w->ZoominbuttonClick();
  EXPECT_FALSE(win.w->autoscaleCheckBox->isChecked());
  EXPECT_TRUE(win.w->minMnedit->isEnabled());
  const int x0 = d.chart_plus_x_origin + 40, y0 = d.chart_top + 40;
  win.w->Image1MouseDown(x0, y0);
  win.w->Image1MouseMove(x0 + 4, y0 + 100);
  const float at_min = d.chart_plus_x_min, y_at_min = d.chart_y_min;
  const float scale = d.chart_plus_x_scale, y_scale = d.chart_y_scale;
  const int bottom = d.chart_bottom, origin = d.chart_plus_x_origin;
  win.w->Image1MouseUp(x0 + 300, y0 + 100);  // the release point does not count: the last corner drawn does
  // Four pixels wide becomes fourteen: each side moved out by five.
  EXPECT_FLOAT_EQ(d.filter_bending_safety_min[0], float((x0 - 5.0L - origin) / scale + at_min));
  EXPECT_FLOAT_EQ(d.filter_bending_safety_max[0], float((x0 + 9.0L - origin) / scale + at_min));
  EXPECT_FLOAT_EQ(d.filter_contact_safety_max[0], float((ld(y0) - bottom) / y_scale + y_at_min));
  EXPECT_FLOAT_EQ(d.filter_contact_safety_min[0], float((ld(y0) + 100 - bottom) / y_scale + y_at_min));
  EXPECT_EQ(d.chart_dragging, 0);
}

// The helix angles of spur designs are 0 to 0; the plot draws that axis widened around 0, and a zoom
// must not write the widened bounds (negative helix angles, which the fields refuse) into the ranges.
// The other axis of the rectangle narrows as usual, within its stored bounds.
TEST(SearchZoom, AnAxisWithEqualBoundsKeepsItsRange) {
  Window win;
  DesignData& d = *win.d;
  d.helix_angle = 0;
  calc_gear_geometry(d);
  show_results(*win.w, {record_of(d, 1.2f, 1.5f, 1.1f), record_of(d, 2.0f, 2.5f, 1.6f), record_of(d, 2.8f, 1.9f, 2.2f)});
  win.w->YaxisComboBox->setCurrentIndex(2);  // helix angle
  win.w->Set_optimizer_textboxes();
  ASSERT_EQ(d.search_helix_angle_min, 0.0f);
  ASSERT_EQ(d.search_helix_angle_max, 0.0f);
  ASSERT_LT(d.chart_y_min, 0.0f);
  win.w->ZoominbuttonClick();
  const float lo = d.filter_bending_safety_min[0], hi = d.filter_bending_safety_max[0];
  const int x0 = d.chart_plus_x_origin + 40, y0 = d.chart_top + 20;
  win.w->Image1MouseDown(x0, y0);
  win.w->Image1MouseMove(x0 + 100, d.chart_bottom - 5);
  win.w->Image1MouseUp(x0 + 100, d.chart_bottom - 5);
  EXPECT_EQ(d.search_helix_angle_min, 0.0f);
  EXPECT_EQ(d.search_helix_angle_max, 0.0f);
  EXPECT_GT(d.filter_bending_safety_min[0], lo);
  EXPECT_LT(d.filter_bending_safety_max[0], hi);
  EXPECT_LT(d.filter_bending_safety_min[0], d.filter_bending_safety_max[0]);
  EXPECT_TRUE(win.warnings().isEmpty());
}

TEST(SearchWindow, SearchButtonRunsTheGridAndPlotsItsResults) {
  Window win;
  DesignData& d = *win.d;
  int last_position = -1;
  win.w->progress.set_position = [&](int p) { last_position = p; };
  win.w->Button2Click();
  EXPECT_EQ(d.search_results_ready, 1);
  EXPECT_EQ(last_position, 100);
  EXPECT_EQ(d.search_eval_count, 0);
  EXPECT_GT(dark_pixels(win.w->Image1->picture(), QRect(d.chart_plus_x_origin + 1, d.chart_top,
                                                        d.chart_right - d.chart_plus_x_origin - 1,
                                                        d.chart_bottom - d.chart_top - 1)),
            500);
  keep_picture(win.w->grab().toImage(), "search_window.png");
  EXPECT_TRUE(win.warnings().isEmpty());
}

namespace {
std::string results_file_bytes() {
  std::ifstream in(kSearchResultFileName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

// The widest angles the window takes lead many candidates out of the domain of a formula. No box stops
// the search: once it and its plot are done one message tells the domain errors with their count, and
// the candidates concerned are listed without a rating. A second search in the same window starts from
// the design the window was shown with, as the first did, and lists the same records.
TEST(SearchWindow, DomainErrorsAreToldOnceAfterTheSearchAndASecondSearchListsTheSame) {
  Window win;
  DesignData& d = *win.d;
  win.edits_on();  // the ranges stay as they are for the second search
  d.search_teeth_max = d.search_teeth_min + 1;
  d.search_pressure_angle_min = 10;
  d.search_pressure_angle_max = 30;
  d.search_helix_angle_min = 0;
  d.search_helix_angle_max = 20;
  // How many reports the search's candidates give, counted on their own.
  std::size_t reports = 0;
  {
    auto counted = std::make_unique<DesignData>(d);
    const DomainErrorReporter previous = set_domain_error_reporter([&](const std::string&) { ++reports; });
    ASSERT_TRUE(search_design_space(*counted, {}, {}, "counted.dat").ok());
    set_domain_error_reporter(previous);
    std::remove("counted.dat");
  }
  ASSERT_GT(reports, 0u);

  const DomainErrorReporter previous = set_domain_error_reporter(DomainErrorBox());
  std::size_t boxes_during = 0;
  std::vector<int> positions;
  win.w->progress.set_position = [&](int p) {
    boxes_during += win.scripted.records.size();
    positions.push_back(p);
  };
  win.w->Button2Click();
  EXPECT_EQ(boxes_during, 0u);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_EQ(positions.back(), 100);
  const std::vector<forms::ScriptedModalServices::Record> messages = win.scripted.of(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].icon, forms::MessageIcon::Error);
  EXPECT_TRUE(messages[0].text.startsWith(QString("The design search met %1 domain errors:\n").arg(reports)))
      << messages[0].text.toStdString();
  EXPECT_TRUE(messages[0].text.endsWith("The candidates concerned are listed without a rating or not at all."));
  const std::string first = results_file_bytes();

  win.scripted.clear();
  positions.clear();
  win.w->Button2Click();
  set_domain_error_reporter(previous);
  EXPECT_EQ(boxes_during, 0u);
  EXPECT_EQ(win.scripted.of(Kind::Message).size(), 1u);
  EXPECT_TRUE(results_file_bytes() == first);
}

// Auto Scale widens the ranges to the extents of the results, the teeth far beyond the ten counts the
// window's range holds: the next search still evaluates at most the 9000 candidates of its grid, and its
// progress climbs to half the bar while it searches and to the full bar while the plot reads the results.
TEST(SearchWindow, ASearchAfterAutoScaleKeepsItsSizeAndItsProgress) {
  Window win;
  DesignData& d = *win.d;
  d.search_teeth_max = d.search_teeth_min + 1;
  std::vector<int> positions;
  win.w->progress.set_position = [&](int p) { positions.push_back(p); };
  win.w->Button2Click();
  ASSERT_EQ(d.chart_autoscale, 1);
  ASSERT_GT(d.search_teeth_max - d.search_teeth_min, 9);  // the extents of pass 2's pinion teeth

  positions.clear();
  win.w->Button2Click();
  std::size_t records = 0;
  {
    std::ifstream in(kSearchResultFileName, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) records += line.size() > 1;
  }
  EXPECT_GT(records, 4500u);
  EXPECT_LE(records, 9000u);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_NE(std::find(positions.begin(), positions.end(), 50), positions.end());
  EXPECT_EQ(positions.back(), 100);
  EXPECT_TRUE(win.warnings().isEmpty());
}

// A centre distance far beyond what the module range fills with at most 999 teeth a gear (and whose
// pass 1 modules exceed any design's): no candidate can be taken by the main window, and the user is told
// so instead of being shown an empty plot.
TEST(SearchWindow, ASearchThatListsNoPairSaysSoAndOffersNothing) {
  auto far = default_design();
  far->centre_distance = 5000;
  Window win(std::move(far));
  win.w->Button2Click();
  EXPECT_EQ(win.d->search_results_ready, 0);
  EXPECT_EQ(win.warnings(), QStringList{"The search found no pair that the main window can take"});
  EXPECT_TRUE(win.scripted.warnings()[0].contains("6 to 999 teeth a gear, a module of 0.5 to 25.4 mm"));
}

TEST(SearchWindow, ASearchWhoseResultsCannotBeWrittenIsReportedAndOffersNothing) {
  Window win;
  win.w->result_file = "no_such_directory/optimizer.dat";
  win.w->Button2Click();
  EXPECT_EQ(win.d->search_results_ready, 0);
  EXPECT_EQ(win.warnings(), QStringList{"The search results could not be written to no_such_directory/optimizer.dat: No such file or directory"});
}


// A minimum module beyond the float range, or a diametral pitch of 0, gives no module: refused, the
// range stays.
TEST(SearchWindow, ModuleEntriesWithoutAModuleAreRefused) {
  struct Case {
    int unit_system;
    const char* text;
  };
  for (const Case c : {Case{1, "1e39"}, Case{1, "1e999"}, Case{2, "0"}, Case{2, "1e-39"}}) {
    SCOPED_TRACE(c.text);
    Window win(default_design(c.unit_system));
    win.edits_on();
    const float min = win.d->search_module_min, max = win.d->search_module_max;
    win.enter(win.w->minMnedit, c.text);
    EXPECT_EQ(win.warnings(), QStringList{"Value is out of range"});
    EXPECT_EQ(win.d->search_module_min, min);
    EXPECT_EQ(win.d->search_module_max, max);
  }
}
// A minimum module above the maximum (in English units: a pitch below the maximum's) would leave the
// search no modules and the plot no designs: refused, the range stays. A minimum equal to the maximum
// is a range of one module.
TEST(SearchWindow, AMinimumModuleAboveTheMaximumIsRefused) {
  struct Case {
    int unit_system;
    const char* text;
    bool taken;
  };
  for (const Case c : {Case{1, "2.6", false}, Case{1, "999999999999", false}, Case{1, "1e38", false},
                       Case{1, "2.5", true}, Case{2, "9.7", false}, Case{2, "0.00001", false},
                       Case{2, "10.16", true}}) {
    SCOPED_TRACE(c.text);
    auto d = default_design(c.unit_system);
    d->normal_module = 2;
    Window win(std::move(d));
    win.edits_on();
    ASSERT_EQ(win.d->search_module_max, 2.5f);
    const float min = win.d->search_module_min;
    win.enter(win.w->minMnedit, c.text);
    EXPECT_EQ(win.d->search_module_max, 2.5f);
    if (c.taken) {
      EXPECT_FLOAT_EQ(win.d->search_module_min, 2.5f);
      EXPECT_TRUE(win.warnings().isEmpty());
    } else {
      EXPECT_EQ(win.d->search_module_min, min);
      EXPECT_EQ(win.warnings(), QStringList{"Minimum value of module must be less than maximum value of module"});
    }
  }
}
