// Helpers of the main window's file commands that tests check on their own.
#pragma once

#include <string>
#include <string_view>

#include "design_data.h"

namespace morvell {

// The name Save As stores a design under: a name shorter than four characters or whose fourth-last
// character is not '.' gets ".mvl" appended; otherwise its last three characters become "mvl"
// (gear -> gear.mvl, gear.txt -> gear.mvl, gear.ab -> gear.ab.mvl).
std::string force_design_extension(std::string_view name);

// True when design_file_name names no file: empty, or the start-up marker (a leading line feed).
bool design_file_unnamed(const DesignData& d);

// True when `path` fits the design's file-name field whole (a longer name would be cut and name
// another file); otherwise the message for the user.
bool design_file_name_fits(const std::string& path);
std::string design_file_name_too_long(const std::string& path);

// Writes the design to `path` through the design-file writer: a design it could not read back is
// refused with the field named, and an existing file is replaced only by a complete new one (a full
// disk leaves it as it was). On success design_file_name becomes `path`. On failure returns false with
// a message for the user; the design data keep their name.
bool save_design_file(DesignData& d, const std::string& path, std::string* error);

}  // namespace morvell
