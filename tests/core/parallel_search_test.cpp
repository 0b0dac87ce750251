// The searches on worker threads give what they give on one thread: the same result file byte for
// byte, the same progress positions and domain-error reports in the same order, and the same design
// left behind, for a few start designs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "design_search.h"
#include "geometry_pass.h"
#include "numeric.h"
#include "startup_values.h"

using namespace morvell;

namespace {

constexpr int kThreads = 4;  // more than one, whatever the machine

std::unique_ptr<DesignData> default_design() {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->unit_system = 1;
  set_unit_factors(*d);
  copy_text(d->design_file_name, std::string(MORVELL_SOURCE_DIR) + "/data/default_input_file.mvl");
  EXPECT_TRUE(read_design_file(*d).ok());
  calc_gear_geometry(*d);
  d->tooth_proportion_mode = 2;
  return d;
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool same_design(const DesignData& a, const DesignData& b) { return std::memcmp(&a, &b, sizeof(DesignData)) == 0; }

// Everything a caller sees of one search.
struct Seen {
  std::unique_ptr<DesignData> design;
  std::vector<int> progress;
  std::vector<std::string> reports;
  std::string file;
  SearchRun run;
};

Seen search_on(const DesignData& start, int threads, const char* path) {
  Seen s;
  s.design = std::make_unique<DesignData>(start);
  const DomainErrorReporter previous =
      set_domain_error_reporter([&s](const std::string& text) { s.reports.push_back(text); });
  s.run = search_design_space(*s.design, [&s](int p) { s.progress.push_back(p); }, {}, path, threads);
  set_domain_error_reporter(previous);
  if (std::string(path) == "/dev/full") return s;  // reads as endless zeros
  s.file = file_text(path);
  std::remove(path);
  return s;
}

// The window's ranges around the design, with a teeth range of two counts.
void window_ranges(DesignData& d) {
  d.search_teeth_min = std::max(13, d.teeth[0] - 5);
  d.search_teeth_max = d.search_teeth_min + 1;
  d.search_module_min = 0.75f * d.normal_module;
  d.search_module_max = 1.25f * d.normal_module;
  d.search_pressure_angle_min = 17.5f;
  d.search_pressure_angle_max = 22.5f;
  d.search_helix_angle_min = std::max(0.0f, d.helix_angle - 3);
  d.search_helix_angle_max = d.helix_angle;
  d.search_fillet_coeff_min = 0.3f;
  d.search_fillet_coeff_max = 0.4f;
}

}  // namespace

TEST(SearchesOnWorkerThreads, DesignSpaceSearchWritesTheSameFileAndLeavesTheSameDesign) {
  struct Case {
    const char* name;
    void (*change)(DesignData&);
  } cases[] = {
      {"window's ranges", [](DesignData&) {}},
      // Few teeth, steep helix and pressure angles, coarse modules: domain-error reports, long
      // stretches of candidates below a contact ratio of 1 that keep the rating of an earlier one, and
      // modules capped at 13 pinion teeth, each capped module following the shift sum of the candidate
      // before it.
      {"few teeth, steep angles, coarse modules", [](DesignData& d) {
         d.search_teeth_min = 5;
         d.search_teeth_max = 6;
         d.search_helix_angle_max = 60;
         d.search_pressure_angle_min = 8;
         d.search_pressure_angle_max = 40;
         d.search_module_max = 4.0f * d.normal_module;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto start = default_design();
    window_ranges(*start);
    c.change(*start);
    const Seen one = search_on(*start, 1, "parallel_search_one.dat");
    const Seen many = search_on(*start, kThreads, "parallel_search_many.dat");
    ASSERT_TRUE(one.run.ok());
    EXPECT_EQ(one.run.records, 5400);
    EXPECT_EQ(many.run.records, one.run.records);
    EXPECT_EQ(many.run.evaluations, one.run.evaluations);
    EXPECT_TRUE(many.file == one.file);
    EXPECT_EQ(many.progress, one.progress);
    EXPECT_EQ(many.reports, one.reports);
    EXPECT_TRUE(same_design(*many.design, *one.design));
  }
}

TEST(SearchesOnWorkerThreads, DesignSpaceSearchStopsAtTheSameRecordWhenTheFileFillsUp) {
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (!full) GTEST_SKIP() << "no /dev/full";
  std::fclose(full);
  auto start = default_design();
  window_ranges(*start);
  const Seen one = search_on(*start, 1, "/dev/full");
  const Seen many = search_on(*start, kThreads, "/dev/full");
  ASSERT_FALSE(one.run.ok());
  EXPECT_LT(one.run.records, 5400);
  EXPECT_EQ(many.run.message, one.run.message);
  EXPECT_EQ(many.run.records, one.run.records);
  EXPECT_EQ(many.run.evaluations, one.run.evaluations);
  EXPECT_EQ(many.progress, one.progress);
  EXPECT_TRUE(same_design(*many.design, *one.design));
}
