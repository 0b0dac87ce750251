// The design-space search: the grid's counts and order, the shift variants, which candidates are rated,
// the bounds of the teeth range, the record format and the reading back of the result file.
#include "design_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "file_bytes.h"
#include "geometry_pass.h"
#include "numeric.h"
#include "search_result_file.h"
#include "shipped_design.h"
#include "startup_values.h"

using namespace morvell;

namespace {

// --- Stand-ins: the geometry pass gives every candidate a transverse contact ratio chosen by the test
// and, with the automatic split, a pinion shift of 0.1; the rating counts its calls and gives safety
// factors from a list. ---
struct StandIn {
  float contact_ratio = 1.5f;
  std::vector<float> pinion_bending, wheel_bending;  // per rating, cycled
  int ratings = 0;
  int geometry_runs = 0;
};
StandIn* stand_in = nullptr;

void fake_geometry(DesignData& d) {
  ++stand_in->geometry_runs;
  if (d.geometry_manager_mode == 2) {
    d.teeth[0] = int32_t(100 / d.normal_module);
    d.teeth[1] = int32_t(std::lround(d.teeth[0] * d.desired_ratio));
  }
  if (d.shift_distribution_auto == 1) d.profile_shift[0] = 0.1f;
  d.profile_shift[1] = d.profile_shift_sum - d.profile_shift[0];
  d.actual_ratio = float(d.teeth[1]) / float(d.teeth[0]);
  d.transverse_contact_ratio = stand_in->contact_ratio;
  d.centre_distance_from_shifts = d.centre_distance;
}

void fake_rate(DesignData& d) {
  const std::size_t k = std::size_t(stand_in->ratings++);
  if (!stand_in->pinion_bending.empty()) {
    d.bending_safety_factor_pinion = stand_in->pinion_bending[k % stand_in->pinion_bending.size()];
    d.bending_safety_factor_wheel = stand_in->wheel_bending[k % stand_in->wheel_bending.size()];
  }
  d.contact_stress[0] = float(1000 + k);
}

constexpr SearchCalculations kStandIns{fake_geometry, fake_rate};

std::unique_ptr<DesignData> small_ranges(int32_t teeth_min, int32_t teeth_max) {
  auto d = std::make_unique<DesignData>();
  d->centre_distance = 100;
  d->desired_ratio = 2;
  d->normal_module = 2;
  d->transverse_pressure_angle = 20;
  d->search_teeth_min = teeth_min;
  d->search_teeth_max = teeth_max;
  d->search_module_min = 1.0f;
  d->search_module_max = 2.9f;
  d->search_pressure_angle_min = 17.5f;
  d->search_pressure_angle_max = 22.5f;
  d->search_helix_angle_min = 0;
  d->search_helix_angle_max = 4;
  d->search_fillet_coeff_min = 0.3f;
  d->search_fillet_coeff_max = 0.4f;
  d->profile_shift_sum = 0.3f;
  return d;
}

std::string file_name(const char* test) { return std::string("search_") + test + ".dat"; }

std::vector<DesignPointRecord> read_all(const std::string& path, int32_t* skipped = nullptr) {
  SearchResultReader reader(path.c_str());
  EXPECT_TRUE(reader.is_open());
  std::vector<DesignPointRecord> records;
  DesignPointRecord r;
  while (reader.next(r)) records.push_back(r);
  if (skipped) *skipped = reader.skipped();
  return records;
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(DesignSearchGrid, CountsOrderAndProgressOfBothPasses) {
  struct Case {
    int32_t teeth_min, teeth_max;
    int32_t records;
    int last_progress;
  };
  // The search fills the progress bar to half whatever the number of its candidates.
  for (const Case c : {Case{13, 22, 9000, 50}, Case{13, 14, 5400, 50}, Case{40, 40, 4950, 50}}) {
    SCOPED_TRACE(c.teeth_min);
    StandIn s;
    stand_in = &s;
    auto d = small_ranges(c.teeth_min, c.teeth_max);
    std::vector<int> progress;
    const std::string path = file_name("counts");
    const SearchRun run = search_design_space(*d, [&](int p) { progress.push_back(p); }, kStandIns, path.c_str());
    ASSERT_TRUE(run.ok()) << run.message;
    EXPECT_EQ(run.records, c.records);
    EXPECT_EQ(search_record_count(*d), c.records);
    EXPECT_EQ(d->search_eval_count, c.records);
    EXPECT_EQ(d->geometry_manager_mode, 3);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), c.last_progress);
    EXPECT_EQ(progress.front(), 0);

    const std::vector<DesignPointRecord> r = read_all(path);
    ASSERT_EQ(int32_t(r.size()), c.records);
    const int32_t pass1 = c.records - 4500;
    // Pass 1: tooth step outermost, then pressure angle, helix, fillet, rounding, shift variant innermost.
    for (int32_t i = 0; i < pass1; ++i) {
      ASSERT_EQ(r[i].search_pass, 1);
      ASSERT_EQ(r[i].module_step, 0);
      ASSERT_EQ(r[i].shift_variant, i % 3);
      ASSERT_EQ(r[i].rounding_variant, (i / 3) % 2);
      ASSERT_EQ(r[i].fillet_step, (i / 6) % 3);
      ASSERT_EQ(r[i].helix_step, (i / 18) % 5);
      ASSERT_EQ(r[i].pressure_angle_step, (i / 90) % 5);
      ASSERT_EQ(r[i].teeth_step, i / 450);
      ASSERT_EQ(r[i].teeth[0], c.teeth_min + i / 450);
      ASSERT_EQ(r[i].teeth[1], r[i].rounding_variant == 0 ? int32_t(std::ceil(r[i].teeth[0] * 2.0))
                                                          : int32_t(std::floor(r[i].teeth[0] * 2.0)));
      ASSERT_EQ(r[i].profile_shift_sum, 0.0f);
    }
    // Pass 2: module step outermost, one tooth step, one rounding.
    for (int32_t i = pass1; i < c.records; ++i) {
      const int32_t k = i - pass1;
      ASSERT_EQ(r[i].search_pass, 2);
      ASSERT_EQ(r[i].teeth_step, 0);
      ASSERT_EQ(r[i].rounding_variant, 0);
      ASSERT_EQ(r[i].shift_variant, k % 3);
      ASSERT_EQ(r[i].fillet_step, (k / 3) % 3);
      ASSERT_EQ(r[i].helix_step, (k / 9) % 5);
      ASSERT_EQ(r[i].pressure_angle_step, (k / 45) % 5);
      ASSERT_EQ(r[i].module_step, k / 225);
    }
    // Grid values: pressure angle and helix over five steps, fillet factor over three, modules over 20.
    EXPECT_EQ(r[90].normal_pressure_angle, 18.75f);
    EXPECT_EQ(r[4 * 90].normal_pressure_angle, 22.5f);
    EXPECT_EQ(r[18].helix_angle, 1.0f);
    EXPECT_EQ(r[12].min_root_fillet_coeff[0], 0.4f);
    EXPECT_EQ(r[12].min_root_fillet_coeff[1], 0.4f);
    EXPECT_EQ(r[pass1 + 225].normal_module, 1.1f);
    // The desired ratio is only borrowed by pass 1.
    EXPECT_EQ(d->desired_ratio, 2.0f);
    std::remove(path.c_str());
  }
}

TEST(DesignSearchGrid, ModuleCapAtThirteenPinionTeeth) {
  // The ratio as the program stores it (a float of z2 / z1) and the wheel's whole teeth at 13 pinion teeth:
  // 15/13 gives 15 exactly, though its float times 13 lies just below 15.
  const struct {
    float ratio;
    int wheel_at_13;
  } cases[] = {{2.0f, 26}, {float(15.0 / 13.0), 15}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wheel_at_13);
    StandIn s;
    stand_in = &s;
    auto d = small_ranges(13, 14);
    d->desired_ratio = c.ratio;
    d->search_module_min = 4.0f;
    d->search_module_max = 9.7f;  // steps of 0.3 mm
    const std::string path = file_name("cap");
    ASSERT_TRUE(search_design_space(*d, {}, kStandIns, path.c_str()).ok());
    const std::vector<DesignPointRecord> r = read_all(path);
    float largest = 0;
    for (const DesignPointRecord& x : r)
      if (x.search_pass == 2) largest = std::max(largest, x.normal_module);
    // The module at which 13 pinion teeth and their wheel fill 100 mm on straight teeth bounds every
    // module, and the largest candidates reach it.
    EXPECT_NEAR(largest, 200.0f / float(13 + c.wheel_at_13), 1e-4f * largest);
    std::remove(path.c_str());
  }
}

TEST(DesignSearchGrid, ShiftVariantsMoveThePinionShiftFromThePreviousEvaluation) {
  StandIn s;
  // Variant 0 rates 1.2 / 1.5 (pinion weaker): +0.2. Variant 1 rates 1.6 / 1.4 (wheel weaker): -0.15.
  s.pinion_bending = {1.2f, 1.6f, 1.0f};
  s.wheel_bending = {1.5f, 1.4f, 1.0f};
  stand_in = &s;
  auto d = small_ranges(13, 14);
  const std::string path = file_name("shift");
  ASSERT_TRUE(search_design_space(*d, {}, kStandIns, path.c_str()).ok());
  const std::vector<DesignPointRecord> r = read_all(path);
  EXPECT_EQ(r[0].profile_shift[0], 0.1f);
  EXPECT_FLOAT_EQ(r[1].profile_shift[0], 0.3f);
  EXPECT_FLOAT_EQ(r[2].profile_shift[0], 0.15f);
  // With the split off, the wheel takes the rest of the shift sum (0 in pass 1).
  EXPECT_FLOAT_EQ(r[2].profile_shift[1], -0.15f);
  EXPECT_EQ(r[3].profile_shift[0], 0.1f);  // the next grid point starts from the automatic split
  std::remove(path.c_str());
}

// A candidate is listed with the rating of its own pair or with none: one that is not rated (a
// transverse contact ratio of 1.0 or less, or a domain error in its geometry) shows "nan" in every rating
// field, never the figures of a candidate before it.
TEST(DesignSearchGrid, OnlyCandidatesAboveContactRatioOneAreRatedAndTheOthersAreListedWithoutARating) {
  StandIn s;
  s.contact_ratio = 1.0f;
  stand_in = &s;
  auto d = small_ranges(13, 14);
  d->contact_stress[0] = 777;
  const std::string path = file_name("unrated");
  ASSERT_TRUE(search_design_space(*d, {}, kStandIns, path.c_str()).ok());
  EXPECT_EQ(s.ratings, 0);
  const std::vector<DesignPointRecord> r = read_all(path);
  ASSERT_EQ(r.size(), 5400u);
  for (const DesignPointRecord& x : {r.front(), r.back()}) {
    EXPECT_TRUE(std::isnan(x.contact_stress_pinion));
    EXPECT_TRUE(std::isnan(x.bending_safety_factor_wheel));
    EXPECT_EQ(x.transverse_contact_ratio, 1.0f);  // the geometry is listed
  }

  // Rated candidates between unrated ones: each shows its own rating, and the unrated ones none.
  {
    struct Alternating {
      static void geometry(DesignData& d) {
        fake_geometry(d);
        d.transverse_contact_ratio = (d.search_eval_count % 2 == 0) ? 1.5f : 0.9f;
        if (d.search_eval_count % 7 == 0) report_domain_error("acos: DOMAIN error");
      }
    };
    StandIn t;
    stand_in = &t;
    auto e = small_ranges(13, 14);
    std::vector<std::string> reports;
    const DomainErrorReporter previous = set_domain_error_reporter([&](const std::string& x) { reports.push_back(x); });
    ASSERT_TRUE(search_design_space(*e, {}, {Alternating::geometry, fake_rate}, path.c_str()).ok());
    set_domain_error_reporter(previous);
    const std::vector<DesignPointRecord> a = read_all(path);
    ASSERT_EQ(a.size(), 5400u);
    int rated = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
      const int32_t count = int32_t(i) + 1;
      const bool expect_rated = count % 2 == 0 && count % 7 != 0;
      ASSERT_EQ(!std::isnan(a[i].contact_stress_pinion), expect_rated) << i;
      if (expect_rated) {
        EXPECT_EQ(a[i].contact_stress_pinion, float(1000 + rated++));
      }
    }
    EXPECT_EQ(t.ratings, rated);
    // Every report reaches the caller, in the order of the candidates.
    EXPECT_EQ(reports.size(), 5400u / 7);
    stand_in = &s;
  }

  // The same design in single-design mode is rated, and nothing else changes.
  d->search_single_design = 1;
  d->search_eval_count = 5;
  const int runs = s.geometry_runs;
  const SearchRun single = search_design_space(*d, {}, kStandIns, path.c_str());
  EXPECT_TRUE(single.ok());
  EXPECT_EQ(single.records, 0);
  EXPECT_EQ(s.geometry_runs, runs + 1);
  EXPECT_EQ(s.ratings, 1);
  EXPECT_EQ(d->search_eval_count, 5);
  EXPECT_EQ(read_all(path).size(), r.size());  // the file is not touched
  std::remove(path.c_str());
}

TEST(DesignSearchGrid, TeethRangesTheWindowNeverGivesStayBounded) {
  struct Case {
    int32_t teeth_min, teeth_max;
    int32_t pass1_records;
  };
  // A reversed range has no tooth counts; a wide one (autoscaled extents, say) is spread over the ten
  // counts the window's range holds, so the search never evaluates more than 9000 candidates.
  for (const Case c : {Case{20, 19, 0}, Case{13, 117, 10 * 450}, Case{13, 2000000000, 10 * 450},
                       Case{-2147483647 - 1, 2147483647, 10 * 450}}) {
    SCOPED_TRACE(c.teeth_max);
    StandIn s;
    stand_in = &s;
    auto d = small_ranges(c.teeth_min, c.teeth_max);
    const std::string path = file_name("bounded");
    std::vector<int> progress;
    const SearchRun run = search_design_space(*d, [&](int p) { progress.push_back(p); }, kStandIns, path.c_str());
    ASSERT_TRUE(run.ok());
    EXPECT_EQ(run.evaluations, c.pass1_records + 4500);
    EXPECT_LE(run.evaluations, 9000);
    // Only pairs the main window takes are listed: 6 to 999 teeth.
    EXPECT_EQ(run.records + run.unlisted, run.evaluations);
    std::set<int32_t> counts;
    for (const DesignPointRecord& x : read_all(path)) {
      ASSERT_GE(std::min(x.teeth[0], x.teeth[1]), 6);
      ASSERT_LE(std::max(x.teeth[0], x.teeth[1]), 999);
      if (x.search_pass != 1) continue;
      ASSERT_GE(x.teeth[0], c.teeth_min);
      ASSERT_LE(x.teeth[0], c.teeth_max);
      counts.insert(x.teeth[0]);
    }
    EXPECT_LE(counts.size(), 10u);
    // The progress is true: it climbs to half the bar and no further.
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 50);
    std::remove(path.c_str());
  }
}

// A result file that cannot be created, or that its user made read-only, is reported with the reason;
// nothing is searched and a read-only file stays as it was.
TEST(DesignSearchGrid, AResultFileThatCannotBeCreatedIsReportedAndNothingIsSearched) {
  write_bytes("read_only_results.dat", "the results the user keeps");
  ASSERT_EQ(::chmod("read_only_results.dat", 0444), 0);
  struct Case {
    const char* path;
    const char* message;
  };
  for (const Case& c :
       {Case{"no_such_directory/optimizer.dat",
             "The search results could not be written to no_such_directory/optimizer.dat: No such file or directory"},
        Case{"read_only_results.dat",
             "The search results could not be written to read_only_results.dat: the file is read-only"}}) {
    StandIn s;
    stand_in = &s;
    auto d = small_ranges(13, 14);
    const SearchRun run = search_design_space(*d, {}, kStandIns, c.path);
    EXPECT_FALSE(run.ok());
    EXPECT_EQ(run.message, c.message);
    EXPECT_EQ(run.evaluations, 0);
    EXPECT_EQ(s.geometry_runs, 0);
  }
  EXPECT_EQ(file_bytes("read_only_results.dat"), "the results the user keeps");
  ::chmod("read_only_results.dat", 0644);
  std::remove("read_only_results.dat");
}

TEST(DesignSearchGrid, AResultFileThatFillsUpStopsTheGridAndIsReported) {
  StandIn s;
  stand_in = &s;
  auto d = small_ranges(13, 14);
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (!full) GTEST_SKIP() << "no /dev/full";
  std::fclose(full);
  const SearchRun run = search_design_space(*d, {}, kStandIns, "/dev/full");
  EXPECT_FALSE(run.ok());
  EXPECT_EQ(run.message, "The search results could not be written completely to /dev/full: No space left on device");
  EXPECT_LT(run.evaluations, 5400);
}

// --- The record format ---

namespace {

DesignPointRecord sample_record() {
  DesignPointRecord r;
  r.module_step = 19;
  r.teeth_step = 0;
  r.pressure_angle_step = 4;
  r.helix_step = 3;
  r.shift_variant = 2;
  r.fillet_step = 1;
  r.rounding_variant = 0;
  r.search_pass = 2;
  r.normal_module = 2.5f;
  r.teeth[0] = 17;
  r.teeth[1] = 123;
  r.actual_ratio = 123.0f / 17.0f;
  r.normal_pressure_angle = 22.5f;
  r.helix_angle = 12.25f;
  r.profile_shift[0] = 0.35f;
  r.profile_shift[1] = -0.125f;
  r.profile_shift_sum = 0.225f;
  r.root_fillet_radius[0] = 0.95f;
  r.root_fillet_radius[1] = 1.0f;
  r.tip_diameter[0] = 49.123456f;
  r.tip_diameter[1] = 320.5f;
  r.root_diameter[0] = 38.0f;
  r.root_diameter[1] = 308.75f;
  r.transverse_contact_ratio = 1.6f;
  r.axial_contact_ratio = 0;
  r.nominal_bending_stress_pinion = 150.5f;
  r.tooth_root_stress_pinion = 250.25f;
  r.permissible_bending_stress_pinion = 600;
  r.bending_safety_factor_pinion = 2.4f;
  r.nominal_bending_stress_wheel = 140;
  r.tooth_root_stress_wheel = 230;
  r.permissible_bending_stress_wheel = 610;
  r.bending_safety_factor_wheel = 2.65f;
  r.nominal_contact_stress = 900;
  r.contact_stress_pinion = 1100.5f;
  r.permissible_contact_stress_pinion = 1500;
  r.contact_safety_factor_pinion = 1.36f;
  r.contact_stress_wheel = 1100.5f;
  r.permissible_contact_stress_wheel = 1450;
  r.contact_safety_factor_wheel = 1.32f;
  r.min_root_fillet_coeff[0] = 0.35f;
  r.min_root_fillet_coeff[1] = 0.35f;
  return r;
}

bool same(const DesignPointRecord& a, const DesignPointRecord& b) {
  return format_design_point(a) == format_design_point(b);
}

}  // namespace

TEST(SearchResultFile, OneRecordByteForByte) {
  EXPECT_EQ(format_design_point(sample_record()),
            "\r\n19 0 4 3 2 1 0 2    2.50000  17 123    7.23529   22.50000   12.25000    0.35000   -0.12500"
            "    0.22500    0.95000    1.00000   49.12346  320.50000   38.00000  308.75000    1.60000    0.00000"
            "  150.50000  250.25000  600.00000    2.40000  140.00000  230.00000  610.00000    2.65000  900.00000"
            " 1100.50000 1500.00000    1.36000 1100.50000 1450.00000    1.32000    0.35000    0.35000");
  DesignPointRecord wide;
  wide.teeth[0] = 1234;
  wide.normal_module = std::nanf("");
  wide.actual_ratio = -INFINITY;
  EXPECT_EQ(format_design_point(wide).substr(0, 49), "\r\n0 0 0 0 0 0 0 0        nan 1234   0       -inf ");
}

TEST(SearchResultFile, RecordsStoreIntoTheDesignDataAndBack) {
  const DesignPointRecord r = sample_record();
  DesignData d;
  store_design_point(r, d);
  EXPECT_EQ(d.geometry_manager_mode, 2);
  EXPECT_EQ(d.teeth[1], 123);
  EXPECT_EQ(d.contact_safety_factor[1], 1.32f);
  EXPECT_EQ(d.min_root_fillet_coeff[1], 0.35f);
  SearchGridPoint g{19, 0, 4, 3, 2, 1, 0};
  EXPECT_TRUE(same(design_point_of(d, g), r));
}

TEST(SearchResultFile, ReadingBackGivesTheValuesTheFileShows) {
  const std::string path = file_name("roundtrip");
  {
    SearchResultWriter w(path.c_str());
    ASSERT_TRUE(w.write(sample_record()));
    DesignPointRecord odd = sample_record();
    odd.bending_safety_factor_wheel = std::nanf("");
    odd.permissible_bending_stress_wheel = INFINITY;
    ASSERT_TRUE(w.write(odd));
    ASSERT_TRUE(w.close());
  }
  const std::string text = file_text(path);
  EXPECT_EQ(text.substr(0, 4), "\r\n19");
  EXPECT_NE(text.back(), '\n');
  const std::vector<DesignPointRecord> r = read_all(path);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_TRUE(same(r[0], sample_record()));
  EXPECT_EQ(r[0].tip_diameter[0], 49.12346f);  // five decimals survive, not more
  EXPECT_TRUE(std::isnan(r[1].bending_safety_factor_wheel));
  EXPECT_TRUE(std::isinf(r[1].permissible_bending_stress_wheel));
  std::remove(path.c_str());
}

// Every real of a line is read to the float that the C library's strtof gives for its text, in
// whatever form the text comes.
TEST(SearchResultFile, RealsReadAsTheCLibraryReadsThem) {
  const std::string good = format_design_point(sample_record()).substr(2);
  const std::string head = good.substr(0, good.rfind(' ') + 1);  // all fields but the last, a real
  const char* reals[] = {"   0.12345",  "-12.50000", "1234567.12500", "0.1", ".5",    "5.",     "+2.5",
                         "1e-3",        "1E+2",      "0x1.8p1",       "1e-40", "1e-50", "nan",    "-nan",
                         "inf",         "-INF",      "Infinity",      "16777217", "3.4028234e38", "0.000005"};
  for (const char* text : reals) {
    SCOPED_TRACE(text);
    DesignPointRecord r;
    ASSERT_TRUE(parse_design_point(head + text, r));
    const float expected = std::strtof(text, nullptr);
    if (std::isnan(expected)) {
      EXPECT_TRUE(std::isnan(r.min_root_fillet_coeff[1]));
      EXPECT_EQ(std::signbit(r.min_root_fillet_coeff[1]), std::signbit(expected));
    } else {
      EXPECT_EQ(r.min_root_fillet_coeff[1], expected);
    }
  }
}

TEST(SearchResultFile, MalformedLinesAreSkippedAndTheReaderMovesOn) {
  const std::string good = format_design_point(sample_record()).substr(2);
  struct Case {
    const char* what;
    std::string line;
  };
  const Case cases[] = {
      {"cut short", good.substr(0, good.size() / 2)},
      {"one field too many", good + " 1.0"},
      {"text for a number", "x" + good.substr(1)},
      {"a number followed by text", good + "abc"},
      {"a real for an integer", "1.5" + good.substr(2)},
      {"an integer beyond 32 bits", "99999999999" + good.substr(2)},
      {"a real beyond the float range", good.substr(0, good.size() - 7) + "1e99"},
      {"a line longer than any record", good + std::string(5000, ' ')},
      {"a line of NUL characters", std::string(40, '\0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DesignPointRecord r = sample_record();
    r.teeth[0] = 55;
    EXPECT_FALSE(parse_design_point(c.line, r));
    EXPECT_EQ(r.teeth[0], 55);
    const std::string path = file_name("malformed");
    {
      std::ofstream out(path, std::ios::binary);
      out << "\n\n" << c.line << "\n" << good << "\r\n\r\n";
    }
    int32_t skipped = 0;
    const std::vector<DesignPointRecord> records = read_all(path, &skipped);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(same(records[0], sample_record()));
    EXPECT_EQ(skipped, 1);
    std::remove(path.c_str());
  }
  SearchResultReader missing("no_such_file.dat");
  EXPECT_FALSE(missing.is_open());
  DesignPointRecord r;
  EXPECT_FALSE(missing.next(r));
  EXPECT_EQ(missing.open_failure_message(), "The search results could not be read from no_such_file.dat");
}

// What stands in place of optimizer.dat, and what a damaged record holds, never stops the reader nor
// reaches the design: a record whose design no design file may hold is skipped like a malformed one.
TEST(SearchResultFile, DamagedFilesAndUnusableRecordsAreSkippedOrRefused) {
  const std::string path = file_name("damaged");
  const std::string good = format_design_point(sample_record()).substr(2);
  auto write = [&](const std::string& bytes) {
    std::filesystem::remove_all(path);
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  };
  auto with = [](void (*change)(DesignPointRecord&)) {
    DesignPointRecord r = sample_record();
    change(r);
    return format_design_point(r).substr(2);
  };
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t records;
    int32_t skipped;
  };
  std::string garbage;
  uint32_t state = 99;
  for (int i = 0; i < 100000; ++i) garbage += char((state = state * 1103515245u + 12345u) >> 24);
  const Case cases[] = {
      {"empty", "", 0, 0},
      {"LF", "\n" + good + "\n" + good, 2, 0},
      {"CR LF", "\r\n" + good + "\r\n" + good, 2, 0},
      {"CR alone", "\r" + good + "\r" + good, 2, 0},
      {"cut inside the last number (what is left is a number)",
       "\n" + good + "\n" + good.substr(0, good.size() - 3), 2, 0},
      {"cut inside a number before the last", "\n" + good + "\n" + good.substr(0, good.size() - 14), 1, 1},
      {"10 MB without a line end", "\n" + good + "\n" + std::string(10u << 20, '7'), 1, 1},
      {"binary garbage", garbage + "\n" + good, 1, -1},
      {"rating results not finite", "\n" + with([](DesignPointRecord& r) {
         r.contact_safety_factor_wheel = NAN;
         r.tooth_root_stress_pinion = INFINITY;
       }), 1, 0},
      {"search pass 0", "\n" + with([](DesignPointRecord& r) { r.search_pass = 0; }), 0, 1},
      {"search pass 7", "\n" + with([](DesignPointRecord& r) { r.search_pass = 7; }), 0, 1},
      {"no pinion teeth", "\n" + with([](DesignPointRecord& r) { r.teeth[0] = 0; }), 0, 1},
      {"negative wheel teeth", "\n" + with([](DesignPointRecord& r) { r.teeth[1] = -40; }), 0, 1},
      {"2^31-1 teeth", "\n" + with([](DesignPointRecord& r) { r.teeth[1] = INT32_MAX; }), 0, 1},
      {"module 0", "\n" + with([](DesignPointRecord& r) { r.normal_module = 0; }), 0, 1},
      {"module -2.5", "\n" + with([](DesignPointRecord& r) { r.normal_module = -2.5f; }), 0, 1},
      {"module 1e30", "\n" + with([](DesignPointRecord& r) { r.normal_module = 1e30f; }), 0, 1},
      {"module nan", "\n" + with([](DesignPointRecord& r) { r.normal_module = NAN; }), 0, 1},
      {"pressure angle 0", "\n" + with([](DesignPointRecord& r) { r.normal_pressure_angle = 0; }), 0, 1},
      {"pressure angle 90", "\n" + with([](DesignPointRecord& r) { r.normal_pressure_angle = 90; }), 0, 1},
      {"helix angle -1", "\n" + with([](DesignPointRecord& r) { r.helix_angle = -1; }), 0, 1},
      {"helix angle 45", "\n" + with([](DesignPointRecord& r) { r.helix_angle = 45; }), 0, 1},
      {"profile shift inf", "\n" + with([](DesignPointRecord& r) { r.profile_shift[1] = -INFINITY; }), 0, 1},
      {"fillet radius nan", "\n" + with([](DesignPointRecord& r) { r.root_fillet_radius[0] = NAN; }), 0, 1},
      {"fillet radius beyond any design's", "\n" + with([](DesignPointRecord& r) { r.root_fillet_radius[1] = 3e6f; }),
       0, 1},
      {"tip diameter nan", "\n" + with([](DesignPointRecord& r) { r.tip_diameter[1] = NAN; }), 0, 1},
      {"minimum fillet inf", "\n" + with([](DesignPointRecord& r) { r.min_root_fillet_coeff[0] = INFINITY; }), 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write(c.bytes);
    int32_t skipped = 0;
    const std::vector<DesignPointRecord> records = read_all(path, &skipped);
    EXPECT_EQ(records.size(), c.records);
    if (c.skipped >= 0) {
      EXPECT_EQ(skipped, c.skipped);
    }
    if (!records.empty()) {
      EXPECT_TRUE(same(records[0], sample_record()) || std::isnan(records[0].contact_safety_factor_wheel));
    }
  }

  // Reading ends after 192 MiB (here a sparse run of zero bytes), as at the end of the file...
  write("\n" + good + "\n");
  std::filesystem::resize_file(path, std::uintmax_t(193) << 20);
  { std::ofstream(path, std::ios::binary | std::ios::app) << "\n" + good; }
  EXPECT_EQ(read_all(path).size(), 1u);
  // ...and after the most records one search writes: 10 tooth counts of 450 and 20 modules of 225.
  {
    std::string many;
    for (int k = 0; k < 9001; ++k) many += "\n" + good;
    write(many);
  }
  EXPECT_EQ(read_all(path).size(), 9000u);

  // A folder, a pipe without a writer and an endless device do not open; the reader gives no record.
  for (const char* what : {"folder", "pipe", "device"}) {
    SCOPED_TRACE(what);
    std::filesystem::remove_all(path);
    if (std::string(what) == "folder") std::filesystem::create_directory(path);
    if (std::string(what) == "pipe") {
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    }
    if (std::string(what) == "device") std::filesystem::create_symlink("/dev/zero", path);
    SearchResultReader reader(path.c_str());
    EXPECT_FALSE(reader.is_open());
    DesignPointRecord r;
    EXPECT_FALSE(reader.next(r));
  }
  std::filesystem::remove_all(path);
}

// A usable record at the edges of what the reader takes, picked and evaluated once more as the search
// window does, gives a design that a save does not refuse. (Teeth that do not fit the centre distance
// are refused by the pick itself.)
TEST(SearchResultFile, UsableRecordsGiveDesignsThatSave) {
  auto start = std::make_unique<DesignData>();
  set_startup_values(*start);
  set_unit_factors(*start);
  copy_text(start->design_file_name, std::string(MORVELL_SOURCE_DIR) + "/data/default_input_file.mvl");
  ASSERT_TRUE(read_design_file(*start).ok());
  calc_gear_geometry(*start);
  struct Case {
    const char* what;
    void (*change)(DesignPointRecord&);
  };
  const Case cases[] = {
      {"sample", [](DesignPointRecord&) {}},
      {"smallest module", [](DesignPointRecord& r) {
         r.normal_module = 0.5f;
         r.root_fillet_radius[0] = r.root_fillet_radius[1] = 0.19f;
       }},
      {"largest module", [](DesignPointRecord& r) { r.normal_module = 25.4f; }},
      {"steep pressure angle", [](DesignPointRecord& r) { r.normal_pressure_angle = 30.0f; }},
      {"flat pressure angle", [](DesignPointRecord& r) { r.normal_pressure_angle = 10.0f; }},
      {"helix angle near 45", [](DesignPointRecord& r) { r.helix_angle = 44.9f; }},
      {"fewest teeth", [](DesignPointRecord& r) { r.teeth[0] = 6; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DesignPointRecord r = sample_record();
    c.change(r);
    ASSERT_TRUE(design_point_usable(r));
    auto d = std::make_unique<DesignData>(*start);
    store_design_point(r, *d);
    d->search_single_design = 1;
    d->geometry_manager_mode = 1;
    d->desired_ratio = float(double(d->teeth[1]) / d->teeth[0]);
    search_design_space(*d);
    EXPECT_EQ(check_design_text(*d, design_file_text(*d)).detail, "");
  }
}

// --- The real calculations ---

TEST(DesignSearchGrid, RealCandidatesOfTheDefaultDesignAreRated) {
  auto d = shipped_design();
  d->tooth_proportion_mode = 2;
  d->search_teeth_min = std::max(13, d->teeth[0] - 5);
  d->search_teeth_max = d->search_teeth_min + 1;
  d->search_module_min = 0.75f * d->normal_module;
  d->search_module_max = 1.25f * d->normal_module;
  d->search_pressure_angle_min = 17.5f;
  d->search_pressure_angle_max = 22.5f;
  d->search_helix_angle_min = std::max(0.0f, d->helix_angle - 3);
  d->search_helix_angle_max = d->helix_angle;
  d->search_fillet_coeff_min = 0.3f;
  d->search_fillet_coeff_max = 0.4f;
  const std::string path = file_name("real");
  const SearchRun run = search_design_space(*d, {}, {}, path.c_str());
  ASSERT_TRUE(run.ok());
  const std::vector<DesignPointRecord> r = read_all(path);
  ASSERT_EQ(r.size(), 5400u);
  int rated = 0;
  for (const DesignPointRecord& x : r)
    if (x.transverse_contact_ratio > 1.0f && x.contact_safety_factor_pinion > 0) ++rated;
  EXPECT_GT(rated, 4000);

  // Each candidate's wheel is rated at the load cycles of its own teeth, N2 = N1 z1 / z2. Both gears have
  // one S-N curve and stress number, so a candidate's permissible contact stresses stand in the ratio of
  // the two gears' life factors; both cycle counts lie between the static point and the endurance knee,
  // where the life factor runs straight on log-log scales from sigma_static / sigma_Hlim to 1.
  ASSERT_EQ(d->sigma_hlim[0], d->sigma_hlim[1]);
  ASSERT_EQ(d->sigma_h_static_pinion, d->sigma_h_static_wheel);
  ASSERT_EQ(d->nl_static_contact_pinion, d->nl_static_contact_wheel);
  ASSERT_EQ(d->nl_lim_contact_pinion, d->nl_lim_contact_wheel);
  ASSERT_EQ(d->nl_pit_contact_pinion, d->nl_lim_contact_pinion);  // no limited pitting
  const double n_st = d->nl_static_contact_pinion, n_lim = d->nl_lim_contact_pinion;
  const auto life_factor = [&](double n) {
    EXPECT_TRUE(n_st < n && n <= n_lim) << n;
    return std::pow(double(d->sigma_h_static_pinion) / d->sigma_hlim[0],
                    (std::log10(n_lim) - std::log10(n)) / (std::log10(n_lim) - std::log10(n_st)));
  };
  const double n1 = d->load_cycles_pinion;
  std::set<double> ratios;
  for (const DesignPointRecord& x : r) {
    if (!(x.transverse_contact_ratio > 1.0f)) continue;
    const double n2 = n1 * x.teeth[0] / x.teeth[1];
    ratios.insert(double(x.teeth[1]) / x.teeth[0]);
    EXPECT_NEAR(double(x.permissible_contact_stress_wheel) / x.permissible_contact_stress_pinion,
                life_factor(n2) / life_factor(n1), 1e-6)
        << x.teeth[0] << "/" << x.teeth[1];
  }
  EXPECT_GT(ratios.size(), 3u);

  std::remove(path.c_str());
}
