// The preference file mvl_pref.dat in the current directory: the window-size step and the unit system,
// two decimal integers separated by white space.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "design_data.h"

namespace morvell {

inline constexpr const char* kPreferenceFileName = "mvl_pref.dat";

struct Preferences {
  int32_t window_size_step = 0;  // -3..0
  int32_t unit_system = 1;       // 1 metric, 2 English
};

// The preferences in a file's text: a step that cannot be read is 0, a step outside -3..0 becomes 0; a
// missing or unreadable unit system, or any value other than 1 or 2, is metric (1).
Preferences parse_preferences(std::string_view text);

// Reads mvl_pref.dat into window_size_step and unit_system (no file, or anything but a regular file of
// at most 64 KiB in its place: step 0, metric) and sets the six unit factors to match.
void read_preferences(DesignData& d);

// Writes mvl_pref.dat: the step, CR LF, the unit system, no line end after it. False when the file
// could not be created or written (or is read-only), with the reason in `reason`.
bool write_preferences(const DesignData& d, std::string* reason = nullptr);

}  // namespace morvell
