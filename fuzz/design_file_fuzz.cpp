// libFuzzer target for the design-file reader and writer: any bytes must be read or rejected without a
// crash, a hang or a sanitizer report; a rejected file leaves the design unchanged and says why, and a
// read design always has between one and ten load cases. Every accepted file must then save after the
// refresh the program runs on an opened design (its geometry worked out, the pair rated), and what is
// saved must open back to the same design: written again, it gives the same bytes. (Run with a
// per-input time limit, so that a design whose refresh takes seconds is caught too.)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "design_file.h"
#include "life_and_damage.h"
#include "startup_values.h"

using namespace morvell;

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static DesignData start = [] {
    DesignData d;
    set_startup_values(d);
    d.load_case_count = 1;
    d.load_case_table[0] = LoadCase{2500.0f, 200.0f, 66.666664f, 10.0f};
    d.load_case_fixed_for[0] = 1;
    return d;
  }();
  DesignData d = start;
  const DesignFileResult r = read_design_text(d, std::string(reinterpret_cast<const char*>(data), size), "fuzz.mvl");
  if (!r.ok()) {
    if (r.message.empty()) fail("refused without a message", "");
    DesignData a = start, b = d;
    if (design_file_text(a) != design_file_text(b)) fail("a refused file changed the design", r.message);
    return 0;
  }
  if (d.load_case_count < 1 || d.load_case_count > kLoadCaseTableSize) fail("load cases", "");
  if (d.teeth[0] <= 0 || d.teeth[1] <= 0 || !(d.normal_module > 0.0f)) fail("teeth or module", "");

  // The refresh after opening.
  work_out_opened_design(d);
  rate_if_ratable(d);

  // Save, and open again: the writer saves what the reader takes (its check is the reader's), so the
  // text opens or the design could not have been saved.
  const std::string text = design_file_text(d);
  DesignData e = start;
  const DesignFileResult opened = read_design_text(e, text, "saved.mvl");
  if (!opened.ok()) fail("an accepted file does not save after the refresh", opened.message);
  if (!opened.note.empty()) fail("a saved design opens with a remark", opened.note);
  if (design_file_text(e) != text) fail("a saved design opens as another design", "");
  return 0;
}
