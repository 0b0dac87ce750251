// Design files (*.mvl) and the history file mvl_hist.dat.
//
// A design file holds 129 fixed fields, one value per line in a fixed order, followed by the load
// cases (five values each). Numbers are written and read in the C locale whatever the process locale;
// lines end in CR LF on writing and either line end is accepted on reading; the file has no line feed
// after its last value. Any white space may separate the values on reading.
#pragma once

#include <cstdio>
#include <string>

#include "design_data.h"

namespace morvell {

inline constexpr int kDesignFileVersionTag = 14234;  // 100 x version 142 + build 34
inline constexpr int kDesignFileFieldCount = 129;
inline constexpr const char* kHistoryFileName = "mvl_hist.dat";

// The range of the normal module (mm) a design file may hold: the windows keep it between 0.5 and
// 25.4 mm; far beyond that the geometry loses its meaning.
inline constexpr float kMinFileModule = 0.1f;
inline constexpr float kMaxFileModule = 100.0f;

// The angles (degrees) a design file may hold: a normal pressure angle of 0 or of 90 and more gives no
// tooth; a helix angle from 0 to below 45.
inline constexpr bool file_pressure_angle_ok(float a) { return a > 0.0f && a < 90.0f; }
inline constexpr bool file_helix_angle_ok(float b) { return b >= 0.0f && b < 45.0f; }

enum class DesignFileStatus {
  ok,
  cannot_open,   // the file could not be opened (reading) or created (writing), or is no regular file
  cannot_read,   // reading failed part-way
  malformed,     // a value could not be read as a number of its kind, is out of range, or the file is too long
  write_failed,  // the file was opened but not completely written; the old file is as it was
  not_storable,  // a value of the design is one the reader would refuse: nothing was written
};

struct DesignFileResult {
  DesignFileStatus status = DesignFileStatus::ok;
  int field = 0;        // field number (1..129) or 0; load-case values count on from 130
  std::string message;  // text for the user; empty when status is ok
  std::string detail;   // the problem without the file name, e.g. "helix angle (field 4) must be ..."

  bool ok() const { return status == DesignFileStatus::ok; }
};

// Reads the design file named in d.design_file_name into d. The file is read and checked against a
// copy of the design first: a malformed or out-of-range value rejects the whole file, names the field
// in the message and leaves d unchanged; so do a read error, a file longer than any design file and
// anything but a regular file (a folder, a pipe, a device). A file that ends early leaves the later
// fields as they were. Reals may be written in either notation; only the finished thicknesses, which
// the geometry pass recomputes, may be "nan" or "inf".
// At most ten load cases are read; a file without load cases keeps the table. Afterwards at least one
// load case exists, the ratios, shift sum, load cycles and power are rederived and
// application_factor_enabled is 1.
[[nodiscard]] DesignFileResult read_design_file(DesignData& d);

// The same, from an open stream (used by the file reader, the tests and the fuzzer).
[[nodiscard]] DesignFileResult read_design_stream(DesignData& d, std::FILE* file);

// With d.history_mode 0 writes the design to the file named in d.design_file_name, replacing it only
// by a complete new file (see file_writing.h); a design the reader would refuse (a non-finite input, a
// value out of the reader's range) is not written and the message names the field. With history_mode
// 1 appends one record numbered d.history_record_number to mvl_hist.dat (a record that does not fit is
// taken back). Also sets actual_ratio = z2 / z1, desired_ratio = actual_ratio and profile_shift_sum =
// x1 + x2 in d.
[[nodiscard]] DesignFileResult write_design_file(DesignData& d);

// The bytes write_design_file writes for the design (history_mode chooses the history record), with
// the same changes to d. Reals are written with "%f"; a value that "%f" would not keep to about seven
// significant digits (such as 1e-7, which it prints as 0.000000) is written with "%e".
std::string design_file_text(DesignData& d);

// The text of a design file checked as the reader checks it, on a copy of d: ok when the design can
// be read back from that text; otherwise the reader's result (field and detail).
DesignFileResult check_design_text(const DesignData& d, const std::string& text);

}  // namespace morvell
