// Ranges of values that depend on other values or on another window's ranges: the basic rack judged by
// the ranges of the values it sets, the S-N curves as curves, the chamfers and constraints bounded by
// the module and the face width after those change, and the search records a pick can take.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "design_file.h"
#include "geometry_pass.h"
#include "geometry_warnings.h"
#include "input_limits.h"
#include "life_and_damage.h"
#include "material_table.h"
#include "numeric.h"
#include "rack_database.h"
#include "rack_fit.h"
#include "search_result_file.h"
#include "shipped_design.h"
#include "startup_values.h"

namespace morvell {
namespace {

BasicRack iso_rack() {
  BasicRack r{};
  for (int g = 0; g < 2; ++g) {
    r.addendum_coeff[g] = 1.0f;
    r.dedendum_coeff[g] = 1.25f;
    r.fillet_radius_coeff[g] = 0.38f;
    r.protuberance[g] = 0.0f;
  }
  r.pressure_angle = 20.0f;
  return r;
}

// ---------------------------------------------------------------------------------------------
// The basic rack
// ---------------------------------------------------------------------------------------------

// Each value just inside and just outside each bound of the value it sets in the main window.
TEST(RackRanges, EachValueByTheRangeOfTheValueItSets) {
  struct Case {
    int row;
    float value;
    bool usable;
  };
  const Case cases[] = {
      {3, 9.99f, false}, {3, 10.0f, true},  {3, 30.0f, true},    {3, 30.01f, false}, {3, 35.0f, false},
      {3, 5.0f, false},  {2, -0.001f, false}, {2, 0.0f, true},   {2, 1.0f, true},    {2, 1.001f, false},
      {2, 5.0f, false},  {1, 3.0f, true},   {1, 3.001f, false},  {1, -1.0f, true},   {1, -99.0f, true},
      {1, -100.01f, false}, {0, 100.0f, true}, {0, 100.01f, false}, {0, -2.9f, true}, {4, -0.001f, false},
      {4, 0.0f, true},   {4, 100.0f, true}, {4, 100.01f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + " " + std::to_string(c.value));
    EXPECT_EQ(rack_value_usable(c.row, c.value), c.usable);
    BasicRack r = iso_rack();
    switch (c.row) {
      case 0: r.addendum_coeff[1] = c.value; r.dedendum_coeff[1] = 3.0f; break;  // a tooth with height
      case 1: r.dedendum_coeff[1] = c.value; r.addendum_coeff[1] = 100.0f; break;
      case 2: r.fillet_radius_coeff[1] = c.value; break;
      case 3: r.pressure_angle = c.value; break;
      default: r.protuberance[1] = c.value; break;
    }
    const std::string problem = rack_problem(r);
    EXPECT_EQ(problem.empty(), c.usable) << problem;
    if (!c.usable) {
      EXPECT_NE(problem.find(rack_value_name(c.row, 1)), std::string::npos) << problem;
    }
  }
}

// A rack tooth needs a height: addendum and dedendum together above zero, else its root lies at or
// above its tip on every design.
TEST(RackRanges, ARackToothWithoutHeightIsRefusedStoredAndRead) {
  BasicRack r = iso_rack();
  r.addendum_coeff[0] = 1.0f;
  r.dedendum_coeff[0] = -1.0f;
  EXPECT_NE(rack_value_problem(r, 1, 0).find("together they must be greater than 0"), std::string::npos);
  EXPECT_TRUE(rack_value_problem(r, 1, 1).empty());  // the wheel's rack tooth is whole
  r.dedendum_coeff[0] = -0.99f;
  EXPECT_TRUE(rack_problem(r).empty());

  const std::string path = "height_racks.dat";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("\n<r\nfine\n1 1\n1.25 1.25\n0.38 0.38\n20 20\n0 0\nr>\n<r\nflat\n1 1\n-1 1.25\n0.38 0.38\n20 20\n0 0\nr>",
             f);
  std::fclose(f);
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  std::vector<std::string> names;
  RackFiles files;
  files.data = path;
  const RackFileResult read = read_rack_database(*d, names, files);
  EXPECT_EQ(read.damaged_line, 13);  // the dedendum line of the second record
  EXPECT_EQ(names.size(), 1u);
  d->basic_rack.dedendum_coeff[0] = -1.0f;
  copy_text(d->file_line, "flat again");
  EXPECT_NE(append_rack(*d, files).problem.find("together they must be greater than 0"), std::string::npos);
  std::remove(path.c_str());
}

// A rack taken into a design in Standard Rack mode: either the rack fits (the design worked out with it
// has tips above the form circles and roots below the tips, and saves), or the problem says why. Seeded
// racks anywhere within the rack ranges, on the shipped design.
TEST(RackFit, EveryRackWithinItsRangesFitsOrIsRefusedWithTheReason) {
  std::mt19937 random(4511);
  auto between = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(random); };
  int fitted = 0, refused = 0;
  for (int n = 0; n < 150; ++n) {
    auto d = shipped_design();
    BasicRack& r = d->basic_rack;
    for (int g = 0; g < 2; ++g) {
      r.addendum_coeff[g] = between(-1.0f, 2.0f);
      r.dedendum_coeff[g] = between(-1.0f, kLargestRackDedendum);
      r.fillet_radius_coeff[g] = between(0.0f, 1.0f);
    }
    r.pressure_angle = between(kSmallestPressureAngle, kLargestPressureAngle);
    const std::string problem = rack_fit_problem(*d);
    d->tooth_proportion_mode = 1;
    d->second_geometry_pass = 0;
    calc_gear_geometry(*d);
    check_geometry_warnings(*d, {});
    d->second_geometry_pass = 1;
    calc_gear_geometry(*d);
    // Worked out independently of the routine: the form circle of the rack flank from its definition.
    bool fits = rack_problem(r).empty();
    for (int g = 0; g < 2 && fits; ++g) {
      const long double alpha_t = std::atan(std::tan(deg_to_rad(ld(r.pressure_angle))) /
                                            std::cos(deg_to_rad(ld(d->helix_angle))));
      const long double alpha_n = deg_to_rad(ld(r.pressure_angle));
      const long double db = d->base_diameter[g];
      const long double m = d->normal_module;  // the module the centre distance gives
      const long double hf = d->dedendum[g];
      const long double rho = ld(r.fillet_radius_coeff[g]) * m;
      const long double y = db / 2 * std::tan(alpha_t) - (hf - (1 - std::sin(alpha_n)) * rho) / std::sin(alpha_t);
      const long double form = 2 * std::sqrt(y * y + db * db / 4);
      const long double tip = d->tip_diameter[g], root = d->root_diameter[g];
      fits = std::isfinite(double(tip)) && std::isfinite(double(form)) && root < tip && tip >= form * (1 - 1e-6L);
    }
    SCOPED_TRACE(problem);
    if (problem.empty()) {
      ++fitted;
      EXPECT_TRUE(fits);
      EXPECT_EQ(tooth_proportions_problem(*d), "");
    } else {
      ++refused;
      // Refused only where the rack leaves no tooth or no active profile (allowing for the rounding at
      // the edge).
      EXPECT_FALSE(fits && tooth_proportions_problem(*d).empty());
    }
  }
  EXPECT_GT(fitted, 10);
  EXPECT_GT(refused, 10);
}

// The racks the issue was found with: each refused with its reason, and the design keeps a rack that
// fits.
TEST(RackFit, RacksThatLeaveNoToothAreRefusedNamingTheValue) {
  struct Case {
    void (*change)(BasicRack&);
    const char* names;
  };
  const Case cases[] = {
      {[](BasicRack& r) { r.fillet_radius_coeff[0] = 5; }, "fillet radius coefficient (pinion)"},
      {[](BasicRack& r) { r.dedendum_coeff[1] = -1; }, "addendum and dedendum coefficients (wheel)"},
      {[](BasicRack& r) { r.fillet_radius_coeff[1] = -0.1f; }, "fillet radius coefficient (wheel)"},
      {[](BasicRack& r) { r.pressure_angle = 5; }, "pressure angle"},
      {[](BasicRack& r) { r.pressure_angle = 9.9f; }, "pressure angle"},
      {[](BasicRack& r) { r.pressure_angle = 35; }, "pressure angle"},
      {[](BasicRack& r) { r.dedendum_coeff[0] = -0.8f; }, "tip diameter of the pinion"},
  };
  for (const Case& c : cases) {
    auto d = shipped_design();
    d->basic_rack = iso_rack();
    EXPECT_EQ(rack_fit_problem(*d), "");
    c.change(d->basic_rack);
    const std::string problem = rack_fit_problem(*d);
    EXPECT_NE(problem.find(c.names), std::string::npos) << problem;
  }
}

// ---------------------------------------------------------------------------------------------
// S-N curves
// ---------------------------------------------------------------------------------------------

TEST(SnCurves, PointsAboveZeroAtRisingCyclesOrNotGivenAtAll) {
  struct Case {
    void (*change)(DesignData&);
    bool whole_ok;    // as the design file holds the curves
    bool entry_ok;    // as the window takes an entry
    const char* names;
  };
  const Case cases[] = {
      {[](DesignData&) {}, true, true, ""},
      {[](DesignData& d) { d.nl_static_contact_wheel = 1e8f; }, false, false, "contact static cycles (wheel)"},
      {[](DesignData& d) { d.nl_static_contact_wheel = 4.9e7f; }, true, true, ""},
      {[](DesignData& d) { d.nl_lim_bending_pinion = 0; }, false, true, "bending endurance cycles (pinion)"},
      {[](DesignData& d) { d.nl_lim_bending_pinion = -1; }, false, false, "bending endurance cycles (pinion)"},
      {[](DesignData& d) { d.sigma_h_static_pinion = -1; }, false, false, "contact static stress (pinion)"},
      {[](DesignData& d) { d.sigma_f_inf_wheel = 0; }, false, true, "bending infinite-life stress (wheel)"},
      {[](DesignData& d) { d.nl_inf_contact_pinion = 5e7f; }, false, false, "contact endurance cycles (pinion)"},
      {[](DesignData& d) { d.nl_inf_bending_wheel = 3e6f; }, false, false, "bending endurance cycles (wheel)"},
      // Limited pitting off: the intermediate point lies on the knee.
      {[](DesignData& d) { d.nl_pit_contact_pinion = d.nl_lim_contact_pinion; }, true, true, ""},
      {[](DesignData& d) { d.nl_pit_contact_pinion = 6e7f; }, false, false, "limited pitting cycles (pinion)"},
      // A curve not given at all (a design begun without the default design file).
      {[](DesignData& d) {
         d.sigma_f_static[0] = d.nl_static_bending_pinion = d.nl_lim_bending_pinion = 0;
         d.sigma_f_inf_pinion = d.nl_inf_bending_pinion = 0;
       },
       true, true, ""},
  };
  for (const Case& c : cases) {
    auto d = shipped_design();
    c.change(*d);
    for (const bool whole : {true, false}) {
      SCOPED_TRACE(std::string(c.names) + (whole ? " whole" : " entry"));
      SnCurveProblem p = sn_curve_problem(*d, 0, whole);
      if (p.ok()) p = sn_curve_problem(*d, 1, whole);
      EXPECT_EQ(p.ok(), whole ? c.whole_ok : c.entry_ok) << p.text;
      if (!p.ok()) {
        EXPECT_NE(p.text.find(c.names), std::string::npos) << p.text;
      }
    }
  }
}

// The reader refuses a curve that is none, naming the field, and the shipped design's curves open.
TEST(SnCurves, TheReaderRefusesACurveOutOfOrderOrNotAboveZero) {
  auto source = shipped_design();
  struct Case {
    void (*change)(DesignData&);
    const char* label;
  };
  const Case cases[] = {
      {[](DesignData& d) { d.nl_static_contact_wheel = 1e8f; }, "contact static cycles (wheel)"},
      {[](DesignData& d) { d.nl_lim_bending_pinion = 0; }, "bending endurance cycles (pinion)"},
      {[](DesignData& d) { d.sigma_h_static_pinion = -1; }, "contact static stress (pinion)"},
  };
  for (const Case& c : cases) {
    auto d = std::make_unique<DesignData>(*source);
    c.change(*d);
    const std::string text = design_file_text(*d);
    auto opened = std::make_unique<DesignData>(*source);
    const DesignFileResult r = read_design_text(*opened, text, "curve.mvl");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.detail.find(c.label), std::string::npos) << r.detail;
    EXPECT_EQ(design_file_text(*opened), design_file_text(*source));  // the design is kept
  }
  auto opened = std::make_unique<DesignData>(*source);
  EXPECT_TRUE(read_design_text(*opened, design_file_text(*source), "shipped.mvl").ok());
}

// ---------------------------------------------------------------------------------------------
// Values bounded by the module and the face width, judged again when those change
// ---------------------------------------------------------------------------------------------

// The shipped design at another module, its rack kept as the main window keeps it.
void change_module(DesignData& d, float module) {
  const ld k = ld(module) / d.normal_module;
  d.normal_module = module;
  for (int i = 0; i < 2; ++i) {
    d.addendum[i] = float(d.addendum[i] * k);
    d.dedendum[i] = float(d.dedendum[i] * k);
    d.root_fillet_radius[i] = float(d.root_fillet_radius[i] * k);
  }
}

TEST(DependentRanges, ChamfersAndConstraintsFollowASmallerModuleOrFace) {
  auto d = shipped_design();
  d->geometry_manager_mode = 0;
  d->geometry_manager_override = 0;
  d->constraints_use_defaults = 0;
  for (int i = 0; i < 2; ++i) {
    d->tip_chamfer[i] = 0.5625f;  // 0.25 m_n at 2.25
    d->edge_chamfer[i] = 0.5625f;
    d->min_form_to_sap[i] = 1.0f;
    d->min_base_to_form[i] = 1.1f;
  }
  change_module(*d, 0.5f);
  d->face_width[1] = 0.4f;
  std::map<GeometryWarning, int> findings;
  d->second_geometry_pass = 0;
  calc_gear_geometry(*d);
  check_geometry_warnings(*d, [&](GeometryWarning kind, int) { ++findings[kind]; });
  EXPECT_EQ(findings[GeometryWarning::tip_chamfer_too_large], 2);
  EXPECT_EQ(findings[GeometryWarning::edge_chamfer_too_large], 2);
  EXPECT_EQ(findings[GeometryWarning::constraint_too_large], 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_FLOAT_EQ(d->tip_chamfer[i], 0.125f);
    EXPECT_LE(d->min_form_to_sap[i], 0.25f);
  }
  EXPECT_FLOAT_EQ(d->edge_chamfer[0], 0.125f);  // the module's bound
  EXPECT_FLOAT_EQ(d->edge_chamfer[1], float(0.25L * 0.4f));  // the 0.4 mm face's bound
  d->second_geometry_pass = 1;
  calc_gear_geometry(*d);
  EXPECT_GT(d->active_face_width, 0.0f);
  EXPECT_TRUE(check_design_text(*d, design_file_text(*d)).ok());
}

// Seeded states: after the corrections every chamfer and constraint lies within the bound its module
// and face set, and a second round finds nothing more.
TEST(DependentRanges, AfterTheCorrectionsEveryBoundHolds) {
  std::mt19937 random(4508);
  auto between = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(random); };
  for (int n = 0; n < 60; ++n) {
    auto d = shipped_design();
    d->geometry_manager_mode = 0;
    d->constraints_use_defaults = 0;
    for (int i = 0; i < 2; ++i) {
      d->tip_chamfer[i] = between(0, largest_tip_chamfer(d->normal_module));
      d->edge_chamfer[i] = between(0, largest_edge_chamfer(d->normal_module, d->face_width[i]));
      d->min_form_to_sap[i] = between(0, float(kFormToSapPerModule) * d->normal_module);
    }
    change_module(*d, between(0.5f, 2.25f));
    for (float& b : d->face_width) b = between(0.5f, 20.0f);
    d->second_geometry_pass = 0;
    calc_gear_geometry(*d);
    check_geometry_warnings(*d, {});
    for (int i = 0; i < 2; ++i) {
      EXPECT_LE(d->tip_chamfer[i], largest_tip_chamfer(d->normal_module));
      EXPECT_LE(d->edge_chamfer[i], float(0.25L * d->face_width[i]) * 1.000001f);
      EXPECT_LE(d->edge_chamfer[i], float(0.25L * d->normal_module) * 1.000001f);
      EXPECT_LE(d->min_form_to_sap[i], float(0.5L * d->normal_module) * 1.000001f);
    }
    int again = 0;
    check_geometry_warnings(*d, [&](GeometryWarning kind, int) {
      again += kind == GeometryWarning::tip_chamfer_too_large || kind == GeometryWarning::edge_chamfer_too_large ||
               kind == GeometryWarning::constraint_too_large;
    });
    EXPECT_EQ(again, 0);
  }
}

// ---------------------------------------------------------------------------------------------
// Search records
// ---------------------------------------------------------------------------------------------

// A record is read exactly when a design that takes it is one a design file holds (what a pick checks).
TEST(SearchRecords, ARecordIsUsableExactlyWhenTheDesignTakingItCanBeSaved) {
  auto start = std::make_unique<DesignData>();
  set_startup_values(*start);
  calc_gear_geometry(*start);
  std::mt19937 random(4506);
  auto between = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(random); };
  int usable = 0;
  for (int n = 0; n < 300; ++n) {
    DesignPointRecord r;
    r.search_pass = 1 + n % 2;
    r.normal_module = between(0.5f, 10);
    r.teeth[0] = 6 + n % 40;
    r.teeth[1] = 20 + n % 70;
    r.actual_ratio = float(r.teeth[1]) / float(r.teeth[0]);
    r.normal_pressure_angle = between(10, 30);
    r.helix_angle = between(0, 40);
    r.profile_shift[0] = between(-3.5f, 3.5f);
    r.profile_shift[1] = n == 0 ? 12.25f : between(-3.5f, 3.5f);
    r.profile_shift_sum = r.profile_shift[0] + r.profile_shift[1];
    for (int g = 0; g < 2; ++g) {
      r.root_fillet_radius[g] = between(0, 1) * r.normal_module;
      r.tip_diameter[g] = float(r.teeth[g]) * r.normal_module + 2;
      r.root_diameter[g] = float(r.teeth[g]) * r.normal_module - 2;
      r.min_root_fillet_coeff[g] = between(-0.2f, 1.0f);
    }
    auto d = std::make_unique<DesignData>(*start);
    store_design_point(r, *d);
    const bool saves = check_design_values(*d).ok();
    EXPECT_EQ(design_point_usable(r), saves) << n << " " << check_design_values(*d).detail;
    usable += saves;
  }
  EXPECT_GT(usable, 20);
}

}  // namespace
}  // namespace morvell

namespace morvell {
namespace {

// ---------------------------------------------------------------------------------------------
// Files the fuzzing found
// ---------------------------------------------------------------------------------------------

// Every file the design-file fuzz target once failed on (kept under fuzz/seeds/found, which the fuzzing
// script also starts from): opened or refused with a message; opened, it saves after the refresh of an
// opened design and opens again as the same design.
TEST(FuzzFoundFiles, EachOpensSavesAndReopensAlikeOrIsRefused) {
  auto start = std::make_unique<DesignData>();
  set_startup_values(*start);
  start->load_case_count = 1;
  start->load_case_table[0] = LoadCase{2500.0f, 200.0f, 66.666664f, 10.0f};
  start->load_case_fixed_for[0] = 1;
  int files = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(MORVELL_SOURCE_DIR) + "/fuzz/seeds/found")) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ++files;
    auto d = std::make_unique<DesignData>(*start);
    const DesignFileResult r = read_design_text(*d, bytes, "found.mvl");
    if (!r.ok()) {
      EXPECT_FALSE(r.message.empty());
      EXPECT_EQ(design_file_text(*d), design_file_text(*start));
      continue;
    }
    work_out_opened_design(*d);
    rate_if_ratable(*d);
    const std::string text = design_file_text(*d);
    auto e = std::make_unique<DesignData>(*start);
    const DesignFileResult opened = read_design_text(*e, text, "saved.mvl");
    EXPECT_TRUE(opened.ok()) << opened.message;
    EXPECT_EQ(opened.note, "");
    EXPECT_EQ(design_file_text(*e), text);
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace morvell
