// The searches on worker threads give what they give on one thread: the same result file byte for
// byte, the same progress positions and domain-error reports in the same order, and the same design
// left behind, for a few start designs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "design_search.h"
#include "file_bytes.h"
#include "centre_distance_minimisation.h"
#include "geometry_pass.h"
#include "numeric.h"
#include "shipped_design.h"
#include "sizing_search.h"

using namespace morvell;

namespace {

constexpr int kThreads = 4;  // more than one, whatever the machine

std::unique_ptr<DesignData> default_design() {
  auto d = shipped_design();
  d->tooth_proportion_mode = 2;
  return d;
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
  s.file = file_bytes(path);
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
      // stretches of candidates below a contact ratio of 1, pairs the main window cannot take, and
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
    EXPECT_EQ(one.run.evaluations, 5400);
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

namespace {

// The wizard's targets on the default design, as the main window's first show sizes them.
std::unique_ptr<DesignData> sizing_targets(float ratio, float helix_angle, int32_t material) {
  auto d = default_design();
  d->desired_ratio = ratio;
  d->torque = 200;
  d->helix_angle = helix_angle;
  d->load_cycles_pinion = 1e7f;
  d->speed = 2500;
  d->pinion_aspect_ratio = sizing_aspect_ratio(ratio);
  d->material_type[0] = d->material_type[1] = material;
  d->geometry_manager_mode = 0;
  d->rating_enabled = 1;
  return d;
}

}  // namespace

TEST(SearchesOnWorkerThreads, SizingSearchChoosesTheSameDesign) {
  struct Case {
    float ratio, helix_angle;
    int32_t material;
  } cases[] = {{1.5f, 27, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ratio);
    const auto start = sizing_targets(c.ratio, c.helix_angle, c.material);
    struct Seen {
      std::unique_ptr<DesignData> design;
      SizingResult result;
      std::vector<int> progress;
    } one, many;
    for (auto [seen, threads] : {std::pair{&one, 1}, std::pair{&many, kThreads}}) {
      seen->design = std::make_unique<DesignData>(*start);
      seen->result = run_sizing_search(*seen->design, [seen](int p) { seen->progress.push_back(p); }, {}, threads);
    }
    EXPECT_EQ(many.result.pinion_teeth, one.result.pinion_teeth);
    EXPECT_EQ(many.result.normal_module, one.result.normal_module);
    EXPECT_EQ(many.result.profile_shift_sum, one.result.profile_shift_sum);
    EXPECT_EQ(many.result.centre_distance, one.result.centre_distance);
    EXPECT_EQ(many.result.evaluations, one.result.evaluations);
    EXPECT_EQ(many.result.ratings, one.result.ratings);
    EXPECT_EQ(many.progress, one.progress);
    EXPECT_TRUE(same_design(*many.design, *one.design));
  }
}

TEST(SearchesOnWorkerThreads, CentreDistanceMinimisationChoosesTheSameDesign) {
  struct Case {
    float contact, bending;
    std::array<float, 2> chamfers;
  } cases[] = {{1.3f, 1.6f, {0.1f, 0.02f}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.contact);
    auto start = default_design();
    start->protuberance[0] = start->protuberance[1] = 0;
    start->tip_chamfer[0] = start->tip_chamfer[1] = 0;
    start->min_contact_safety_factor = c.contact;
    start->min_bending_safety_factor = c.bending;
    struct Seen {
      std::unique_ptr<DesignData> design;
      MinimisationResult result;
      std::vector<int> progress;
    } one, many;
    for (auto [seen, threads] : {std::pair{&one, 1}, std::pair{&many, kThreads}}) {
      seen->design = std::make_unique<DesignData>(*start);
      seen->result = run_centre_distance_minimisation(
          *seen->design, c.chamfers, [seen](int p) { seen->progress.push_back(p); }, {}, threads);
    }
    ASSERT_TRUE(one.result.found);
    EXPECT_EQ(many.result.found, one.result.found);
    EXPECT_EQ(many.result.pinion_teeth, one.result.pinion_teeth);
    EXPECT_EQ(many.result.normal_module, one.result.normal_module);
    EXPECT_EQ(many.result.profile_shift_sum, one.result.profile_shift_sum);
    EXPECT_EQ(many.result.centre_distance, one.result.centre_distance);
    EXPECT_EQ(many.result.evaluations, one.result.evaluations);
    EXPECT_EQ(many.result.fitting_evaluations, one.result.fitting_evaluations);
    EXPECT_EQ(many.progress, one.progress);
    EXPECT_TRUE(same_design(*many.design, *one.design));
  }
}
