// The shipped default design, read from the source tree as the program reads it at start-up (metric
// units) and worked out once: the start of the tests that rate real designs.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "geometry_pass.h"
#include "startup_values.h"

namespace morvell {

inline std::unique_ptr<DesignData> shipped_design() {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->unit_system = 1;
  set_unit_factors(*d);
  copy_text(d->design_file_name, std::string(MORVELL_SOURCE_DIR) + "/data/default_input_file.mvl");
  EXPECT_TRUE(read_design_file(*d).ok());
  calc_gear_geometry(*d);
  return d;
}

}  // namespace morvell
