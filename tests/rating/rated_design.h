// The start-up design rated as the main window's refresh rates it, for the rating windows and reports.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "geometry_pass.h"
#include "life_and_damage.h"
#include "numeric.h"
#include "startup_values.h"

namespace morvell::testing {

// The default design file in the unit system, two geometry passes, the rating and the lives of the load
// case.
inline std::unique_ptr<DesignData> rated_start_up_design(int unit_system) {
  auto d = std::make_unique<DesignData>();
  set_startup_values(*d);
  d->unit_system = unit_system;
  set_unit_factors(*d);
  copy_text(d->design_file_name, std::string(MORVELL_SOURCE_DIR "/data/default_input_file.mvl"));
  const DesignFileResult read = read_design_file(*d);
  EXPECT_TRUE(read.ok()) << read.message;
  d->rating_enabled = 1;
  d->second_geometry_pass = 0;
  calc_gear_geometry(*d);
  d->second_geometry_pass = 1;
  calc_gear_geometry(*d);
  EXPECT_GE(d->transverse_contact_ratio, 1.0f);
  rate_design(*d);
  life_and_damage(*d);
  d->rating_valid = 1;
  return d;
}

}  // namespace morvell::testing
