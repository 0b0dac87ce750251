// The shipped default design, read from the source tree as the program reads it at start-up, as the
// starting point of the benchmarks.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "design_data.h"
#include "design_file.h"
#include "startup_values.h"

inline std::unique_ptr<morvell::DesignData> shipped_default_design() {
  auto d = std::make_unique<morvell::DesignData>();
  morvell::set_startup_values(*d);
  d->unit_system = 1;
  morvell::set_unit_factors(*d);
  morvell::copy_text(d->design_file_name, std::string(MORVELL_SOURCE_DIR) + "/data/default_input_file.mvl");
  const morvell::DesignFileResult read = morvell::read_design_file(*d);
  if (!read.ok()) std::fprintf(stderr, "%s\n", read.message.c_str());
  return d;
}
