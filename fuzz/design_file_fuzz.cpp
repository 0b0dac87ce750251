// libFuzzer target for the design-file reader and writer: any bytes must be read or rejected without a
// crash, a hang or a sanitizer report; a rejected file leaves the design unchanged, and a read design
// always has between one and ten load cases. A read design is then refreshed by the geometry pass and
// written: the writer either refuses it or writes text that reads back (run with a per-input time limit,
// so that a design whose refresh takes seconds is caught too).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "design_file.h"
#include "geometry_pass.h"
#include "startup_values.h"

using namespace morvell;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!file) return 0;
  static DesignData start = [] {
    DesignData d;
    set_startup_values(d);
    d.load_case_count = 1;
    d.load_case_table[0] = LoadCase{2500.0f, 200.0f, 66.666664f, 10.0f};
    d.load_case_fixed_for[0] = 1;
    return d;
  }();
  DesignData d = start;
  const DesignFileResult r = read_design_stream(d, file);
  std::fclose(file);
  if (r.ok()) {
    if (d.load_case_count < 1 || d.load_case_count > kLoadCaseTableSize) std::abort();
    if (d.teeth[0] <= 0 || d.teeth[1] <= 0 || !(d.normal_module > 0.0f)) std::abort();
    calc_gear_geometry(d);
    const std::string text = design_file_text(d);
    if (check_design_text(d, text).ok()) {
      // What the writer would write opens again, and so does what that design writes in turn.
      std::FILE* back = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
      if (!back) return 0;
      DesignData e = start;
      const DesignFileResult again = read_design_stream(e, back);
      std::fclose(back);
      if (!again.ok()) std::abort();
      const std::string text2 = design_file_text(e);
      if (!check_design_text(e, text2).ok()) std::abort();
    }
  } else {
    if (r.message.empty()) std::abort();
    DesignData a = start, b = d;
    if (design_file_text(a) != design_file_text(b)) std::abort();
  }
  return 0;
}
