// Design files (*.mvl) and the history file mvl_hist.dat.
//
// A design file holds 129 fixed fields, one value per line in a fixed order, followed by the load
// cases (five values each). Numbers are written and read in the C locale whatever the process locale;
// lines end in CR LF on writing and either line end is accepted on reading; the file has no line feed
// after its last value. Any white space may separate the values on reading. A real is written so that
// it reads back as the same value ("%f" where six decimals do, more digits where they do not).
#pragma once

#include <cstdio>
#include <string>

#include "design_data.h"
#include "file_writing.h"
#include "input_limits.h"

namespace morvell {

inline constexpr int kDesignFileVersionTag = 14234;  // 100 x version 142 + build 34
inline constexpr int kDesignFileFieldCount = 129;
inline constexpr const char* kHistoryFileName = "mvl_hist.dat";
// The history is bounded: when a record would take it beyond kMaxHistoryBytes (some six thousand
// records), its records go whole to kOlderHistoryFileName, which they replace, and it starts again.
inline constexpr const char* kOlderHistoryFileName = "mvl_hist_old.dat";
inline constexpr std::size_t kMaxHistoryBytes = std::size_t(8) << 20;

// The range of the normal module (mm) a design file and a search result may hold: the windows'
// (input_limits.h).
inline constexpr float kMinFileModule = kSmallestModule;
inline constexpr float kMaxFileModule = kLargestModule;

// The numbers of teeth a design file may hold where the geometry manager derives them (a centre
// distance fixed with the module; entered ones lie in the windows' range, input_limits.h), and the
// largest size of its derived lengths (a centre distance that follows the teeth, addenda, dedenda), in
// mm: a tooth a thousand times larger than the largest module only makes every refresh slow.
inline constexpr int32_t kMaxFileTeeth = 100000;
inline constexpr float kMaxFileLength = 1e6f;
inline constexpr bool file_teeth_ok(int32_t z) { return z >= 1 && z <= kMaxFileTeeth; }
inline constexpr bool file_length_ok(float v) { return v >= -kMaxFileLength && v <= kMaxFileLength; }

// No design file comes near this length (a written one holds about 2 KB); reading stops here so that
// an endless source such as /dev/zero cannot hold the program.
inline constexpr std::size_t kMaxDesignFileBytes = std::size_t(1) << 20;

// The pressure angles (degrees) a rack record may hold: an angle of 0 or of 90 and more gives no tooth.
// A design file and a search result hold the windows' range (input_limits.h).
inline constexpr bool file_pressure_angle_ok(float a) { return a > 0.0f && a < 90.0f; }
inline constexpr bool file_helix_angle_ok(float b) { return helix_angle_ok(b); }

// How the note of a file that ends early names what its missing fields and load cases keep: the values
// of the design held before the file was read.
inline constexpr const char* kFieldsKeptNote = "keep the values of the design shown before";
inline constexpr const char* kLoadCasesKeptNote = "the load cases of the design shown before are kept";

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
  std::string note;     // a file read with a remark for the user (it ends early, ...); else empty

  bool ok() const { return status == DesignFileStatus::ok; }
};

// Reads the design file named in d.design_file_name into d. The file is read and checked against a
// copy of the design first: a malformed or out-of-range value rejects the whole file, names the field
// in the message and leaves d unchanged; so do a read error, a file longer than any design file,
// anything but a regular file (a folder, a pipe, a device), an empty file, and a value that runs into
// the end of the file with no line end after it where more values must follow (the file was cut inside
// it). Refused as out of range are also values the windows never take: numbers of teeth, centre
// distance, accuracy grades (0 to 12), geometry manager mode (0 to 2), material types and hardness
// scale; and a design whose geometry, worked out as the program does after opening it, leaves a value
// out of the ranges the writer keeps (a centre distance fixed in mode 1 that gives a module of 1e28).
// Reals may be written in either notation; only the finished thicknesses, which the geometry pass
// recomputes, may be "nan" or "inf".
// A file that ends early (at a line end) is read, leaves the later fields as they were and says so in
// the result's note, as it does when it holds more than the windows' kLoadCasesUsable load cases (the
// first ones are read) or ends inside a load case (not taken); a file without load cases keeps the
// table and says so too.
// Refused as well is every value the window that takes it would refuse, in the mode the file holds, and
// that no derivation of the program gives (the ranges of input_limits.h): the module, angles, face
// widths, chamfers, fillets, protuberances, backlash and constraints in their ranges (those bounded by
// the module by the module read), entered numbers of teeth and centre distance, shifts of which one
// lies in the entered range, teeth spanned, hardness in its scale's range, limited pitting only on a
// material that allows it, the rating inputs and load values in the rating window's ranges, flags 0 or
// 1; and, on the geometry worked out, the face offset within its share of the common face width, tip
// chamfer angles not below the pressure angle at the tip, and entered balls and spans that touch the
// flank between the form circle and the end of the active profile. A rating input or load value of 0
// is one not given (the start-up's value without the default design file). Afterwards at least
// one load case exists, the ratios, shift sum, load cycles and power are rederived and
// application_factor_enabled is 1.
[[nodiscard]] DesignFileResult read_design_file(DesignData& d);

// Puts back into d what reading a design file written from `kept` would put there: every value the
// file holds (fields and load cases), the current load values, the ratios, shift sum, load cycles and
// power derived from them and application_factor_enabled, all as `kept` holds them. Everything else of
// d stays. It restores a design kept in memory, as the design search keeps the user's design while it
// runs, without going through a file that another copy of the program may have changed.
void restore_design_values(DesignData& d, const DesignData& kept);

// The same, from an open stream (used by the tests and the fuzzer).
[[nodiscard]] DesignFileResult read_design_stream(DesignData& d, std::FILE* file);

// The bytes of the design file `path` (only a regular file of at most kMaxDesignFileBytes), for
// read_design_text; a file that cannot be read is the reader's result as read_design_file gives it.
[[nodiscard]] DesignFileResult read_design_file_bytes(const std::string& path, std::string& bytes);

// Reads the bytes of a design file into d as read_design_file does; the messages name `file_name`.
[[nodiscard]] DesignFileResult read_design_text(DesignData& d, const std::string& bytes,
                                                const std::string& file_name);

// The geometry of a design just read, worked out as the program does when it opens a design: the
// modes a design file does not hold as an opened design has them (tooth proportions and shift split as
// entered; an overridden geometry manager in mode 0, module, centre distance and teeth all entered),
// then the refresh of a shown design (design_refresh.h) without showing its warnings. Domain errors on
// the way are not reported.
void work_out_opened_design(DesignData& d);

// With d.history_mode 0 writes the design to the file named in d.design_file_name, replacing it only
// by a complete new file (see file_writing.h); a design the reader would refuse (a non-finite input, a
// value out of the reader's range) is not written and the message names the field. With history_mode
// 1 appends one record numbered d.history_record_number to mvl_hist.dat (a record that does not fit is
// taken back; the history is bounded, see kMaxHistoryBytes). `target` says whether the design file's name
// is one the program gives itself (temp.mvl), which is written only as a regular file. Also sets actual_ratio = z2 / z1, desired_ratio = actual_ratio and profile_shift_sum =
// x1 + x2 in d.
[[nodiscard]] DesignFileResult write_design_file(DesignData& d, WriteTarget target = WriteTarget::chosen);

// The bytes write_design_file writes for the design (history_mode chooses the history record), with
// the same changes to d. Reals are written with "%f"; a value that "%f" would not keep to about seven
// significant digits (such as 1e-7, which it prints as 0.000000) is written with "%e".
std::string design_file_text(DesignData& d);

// The text of a design file checked as the reader checks it, on a copy of d: ok when the design can
// be read back from that text; otherwise the reader's result (field and detail).
DesignFileResult check_design_text(const DesignData& d, const std::string& text);

// Why the design, refreshed as the main window refreshes it, could not be saved (the saver's detail,
// which names the field); empty when it can. Works on a copy: d stays as it is.
std::string unsavable_after_refresh(const DesignData& d);

// The values of the design checked as the reader checks each value it reads, without working out the
// geometry: ok when every stored value is one a design file may hold.
DesignFileResult check_design_values(const DesignData& d);

}  // namespace morvell
