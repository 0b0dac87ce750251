// libFuzzer target for the basic-rack database and the search-result reader: any bytes must be read or
// refused without a crash, a hang or a sanitizer report; a rack taken into a design must give a design
// that saves after the refresh when it fits the design, and a search record's values must all be values
// a design file holds.
// The first byte chooses the reader, the rest is the file.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "design_file.h"
#include "geometry_pass.h"
#include "rack_database.h"
#include "rack_fit.h"
#include "search_result_file.h"
#include "startup_values.h"

using namespace morvell;

namespace {

const DesignData& start() {
  static const DesignData d = [] {
    DesignData s;
    set_startup_values(s);
    calc_gear_geometry(s);
    return s;
  }();
  return d;
}

// The design saves after the refresh the program runs: its geometry worked out as on opening.
bool saves_after_refresh(DesignData& d) {
  work_out_opened_design(d);
  return check_design_text(d, design_file_text(d)).ok();
}

// The bytes as a regular file that the readers open by name.
struct MemoryFile {
  int fd = -1;
  std::string path;
  MemoryFile(const uint8_t* data, size_t size) {
    fd = memfd_create("fuzz", 0);
    if (fd < 0) return;
    size_t done = 0;
    while (done < size) {
      const ssize_t n = write(fd, data + done, size - done);
      if (n <= 0) break;
      done += size_t(n);
    }
    path = "/proc/self/fd/" + std::to_string(fd);
  }
  ~MemoryFile() {
    if (fd >= 0) close(fd);
  }
};

void fuzz_racks(const uint8_t* data, size_t size) {
  MemoryFile file(data, size);
  if (file.fd < 0) return;
  RackFiles files;
  files.data = file.path;
  DesignData d = start();
  std::vector<std::string> names;
  read_rack_database(d, names, files);
  if (names.size() != size_t(d.list_counter)) std::abort();
  for (const std::string& name : names)
    if (name.size() > kFileLineSize - 1) std::abort();
  for (const float v : {d.basic_rack.addendum_coeff[0], d.basic_rack.dedendum_coeff[1],
                        d.basic_rack.fillet_radius_coeff[0], d.basic_rack.pressure_angle, d.basic_rack.protuberance[1]})
    if (!names.empty() && !std::isfinite(v)) std::abort();
  if (!names.empty() && !rack_problem(d.basic_rack).empty()) std::abort();  // a rack read is in its ranges
  // The last rack as the standard rack of a design with its module fixed, taken as the main window takes
  // it: only when it fits the design.
  d.tooth_proportion_mode = 1;
  d.geometry_manager_mode = 0;
  if (!names.empty() && rack_fit_problem(d).empty()) {
    d.second_geometry_pass = 0;
    calc_gear_geometry(d);
    if (!saves_after_refresh(d)) std::abort();
  }
}

void fuzz_search_results(const uint8_t* data, size_t size) {
  MemoryFile file(data, size);
  if (file.fd < 0) return;
  SearchResultReader reader(file.path.c_str());
  DesignPointRecord r;
  for (int n = 0; reader.next(r) && n < 4; ++n) {
    if (!design_point_usable(r)) std::abort();
    DesignData d = start();
    store_design_point(r, d);
    // The record's own values are all a design file holds; whether the design they make works out into
    // one that saves, a pick checks after evaluating it.
    if (!check_design_values(d).ok()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) fuzz_search_results(data + 1, size - 1);
  else fuzz_racks(data + 1, size - 1);
  return 0;
}
