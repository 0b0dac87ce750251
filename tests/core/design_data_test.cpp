#include "design_data.h"

#include <gtest/gtest.h>

#include <cstring>

namespace morvell {
namespace {

TEST(DesignData, StartsAllZeroInEverySection) {
  DesignData d;
  EXPECT_EQ(d.normal_module, 0.0f);
  EXPECT_EQ(d.teeth[1], 0);
  EXPECT_EQ(d.max_tip_diameter[1], 0.0f);
  EXPECT_EQ(d.span_teeth[1], 0);
  EXPECT_EQ(d.length_unit_factor, 0.0f);
  EXPECT_EQ(d.bending_safety_factor_wheel, 0.0f);
  EXPECT_EQ(d.load_case_table[9].f_beta_x, 0.0f);
  EXPECT_EQ(d.profile_points[499].y, 0.0f);
  EXPECT_EQ(d.flash_load_sharing[63], 0.0f);
  EXPECT_EQ(d.history_mode, 0);
  EXPECT_EQ(d.design_file_name[0], '\0');
}

TEST(DesignData, TextHelpersNeverOverrunTheBuffer) {
  struct {
    char buffer[16];
    char guard[4];
  } t;
  std::memset(&t, 'G', sizeof t);
  copy_text(t.buffer, "a text that is much longer than sixteen bytes");
  EXPECT_EQ(text_of(t.buffer), "a text that is ");
  EXPECT_EQ(std::memcmp(t.guard, "GGGG", 4), 0);

  copy_text(t.buffer, "Filename: ");
  append_text(t.buffer, "0123456789");
  EXPECT_EQ(text_of(t.buffer), "Filename: 01234");
  EXPECT_EQ(std::memcmp(t.guard, "GGGG", 4), 0);

  copy_text(t.buffer, "");
  EXPECT_EQ(text_of(t.buffer), "");
}

}  // namespace
}  // namespace morvell
