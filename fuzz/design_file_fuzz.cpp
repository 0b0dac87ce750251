// libFuzzer target for the design-file reader: any bytes must be read or rejected without a crash,
// a hang or a sanitizer report; a rejected file leaves the design unchanged, and a read design always
// has between one and ten load cases.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "design_file.h"
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
    (void)design_file_text(d);
  } else {
    if (r.message.empty()) std::abort();
    DesignData a = start, b = d;
    if (design_file_text(a) != design_file_text(b)) std::abort();
  }
  return 0;
}
