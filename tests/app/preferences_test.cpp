// The preference file: parsing rules, reading into the design data, writing on close.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "design_data.h"
#include "file_bytes.h"
#include "preferences.h"

using namespace morvell;

TEST(Preferences, ParsingRules) {
  struct Case { const char* text; int step; int units; };
  for (const Case& c : {Case{"0\n1", 0, 1}, Case{"-2\r\n2", -2, 2}, Case{"-3\n2\n", -3, 2}, Case{"-2", -2, 1},
                        Case{"-2\r\n", -2, 1}, Case{"1\n2", 0, 2}, Case{"-4\r\n1", 0, 1}, Case{"", 0, 1},
                        Case{"x\n2", 0, 1}, Case{"-1 2", -1, 2}, Case{"\t-1\r\n\r\n  2", -1, 2},
                        Case{"-1\n3", -1, 1}, Case{"-1\n0", -1, 1}, Case{"-1\nmetric", -1, 1},
                        Case{"99999999999\n2", 0, 2}, Case{"-2\n2 junk", -2, 2}}) {
    const Preferences p = parse_preferences(c.text);
    EXPECT_EQ(p.window_size_step, c.step) << "'" << c.text << "'";
    EXPECT_EQ(p.unit_system, c.units) << "'" << c.text << "'";
  }
}

TEST(Preferences, ReadSetsStepUnitsAndFactors) {
  auto d = std::make_unique<DesignData>();
  std::remove(kPreferenceFileName);
  d->unit_system = 2;
  d->window_size_step = -3;
  read_preferences(*d);  // no file: full size, metric
  EXPECT_EQ(d->window_size_step, 0);
  EXPECT_EQ(d->unit_system, 1);
  EXPECT_EQ(d->length_unit_factor, 1.0f);

  write_bytes(kPreferenceFileName, "-2\r\n2");
  read_preferences(*d);
  EXPECT_EQ(d->window_size_step, -2);
  EXPECT_EQ(d->unit_system, 2);
  EXPECT_EQ(d->length_unit_factor, 25.4f);
  EXPECT_EQ(d->force_unit_factor, 4.448f);
  std::remove(kPreferenceFileName);
}

TEST(Preferences, WrittenWithCrLfAndNoLineEndAfterTheUnits) {
  auto d = std::make_unique<DesignData>();
  d->window_size_step = -1;
  d->unit_system = 2;
  ASSERT_TRUE(write_preferences(*d));
  EXPECT_EQ(file_bytes(kPreferenceFileName), "-1\r\n2");
  const Preferences back = parse_preferences(file_bytes(kPreferenceFileName));
  EXPECT_EQ(back.window_size_step, -1);
  EXPECT_EQ(back.unit_system, 2);
  std::remove(kPreferenceFileName);
}

// Whatever stands in place of the preference file, the start neither waits nor reads without end: a
// folder, a pipe without a writer, an endless device or a file far longer than two numbers gives the
// defaults.
TEST(Preferences, AnythingButASmallRegularFileGivesTheDefaults) {
  const std::function<void()> makers[] = {
      [] { std::filesystem::create_directory(kPreferenceFileName); },
      [] { ASSERT_EQ(::mkfifo(kPreferenceFileName, 0600), 0); },
      [] { std::filesystem::create_symlink("/dev/zero", kPreferenceFileName); },
      [] { write_bytes(kPreferenceFileName, "-2\r\n2" + std::string(10u << 20, ' ')); },
  };
  for (const auto& make : makers) {
    std::filesystem::remove_all(kPreferenceFileName);
    make();
    auto d = std::make_unique<DesignData>();
    d->window_size_step = -3;
    d->unit_system = 2;
    read_preferences(*d);
    EXPECT_EQ(d->window_size_step, 0);
    EXPECT_EQ(d->unit_system, 1);
    EXPECT_EQ(d->length_unit_factor, 1.0f);
  }
  std::filesystem::remove_all(kPreferenceFileName);
}
