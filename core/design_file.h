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

enum class DesignFileStatus {
  ok,
  cannot_open,   // the file could not be opened (reading) or created (writing)
  malformed,     // a value could not be read as a number of its kind, or is out of range
  write_failed,  // the file was opened but not completely written
};

struct DesignFileResult {
  DesignFileStatus status = DesignFileStatus::ok;
  int field = 0;        // field number (1..129) or 0; load-case values count on from 130
  std::string message;  // text for the user; empty when status is ok

  bool ok() const { return status == DesignFileStatus::ok; }
};

// Reads the design file named in d.design_file_name into d. The file is read and checked against a
// copy of the design first: a malformed or out-of-range value rejects the whole file, names the field
// in the message and leaves d unchanged. A file that ends early leaves the later fields as they were.
// At most ten load cases are read; a file without load cases keeps the table. Afterwards at least one
// load case exists, the ratios, shift sum, load cycles and power are rederived and
// application_factor_enabled is 1.
[[nodiscard]] DesignFileResult read_design_file(DesignData& d);

// The same, from an open stream (used by the file reader, the tests and the fuzzer).
[[nodiscard]] DesignFileResult read_design_stream(DesignData& d, std::FILE* file);

// With d.history_mode 0 creates (or truncates) the file named in d.design_file_name and writes the
// design; with history_mode 1 appends one record numbered d.history_record_number to mvl_hist.dat.
// Also sets actual_ratio = z2 / z1, desired_ratio = actual_ratio and profile_shift_sum = x1 + x2 in d.
[[nodiscard]] DesignFileResult write_design_file(DesignData& d);

// The bytes write_design_file writes for the design (history_mode chooses the history record), with
// the same changes to d. Used by the writer and the tests.
std::string design_file_text(DesignData& d);

}  // namespace morvell
