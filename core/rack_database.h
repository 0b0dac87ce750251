// The basic rack database: named records of basic rack proportions in the text file data.dat, with the
// scratch copy temp.dat that a delete goes through.
//
// File layout (every line end written as CR LF; CR LF or LF accepted on reading): line 1 belongs to no
// record and is skipped; then eight lines per record: "<r", the name, five lines of two numbers
// (addendum, dedendum and fillet radius coefficients of pinion and wheel, the pressure angle twice,
// the protuberances of pinion and wheel in mm), "r>". Records are read by position, line by line; the
// markers are not checked. An append puts the record right after the last record read ("\n<r\n", the name,
// "\n" and five lines "%10.6f %10.6f\n", then "r>" with no line end); a delete rewrites the kept records
// with "%f %f\n". A file is only ever replaced by a complete new one.
//
// Every reading stores the values of each record it passes into d.basic_rack, so afterwards it holds
// the last record read. A record is taken only when it is complete and usable: a number line that does
// not hold exactly two finite numbers (and nothing else), a value rack_value_usable refuses, a name
// line longer than 510 characters, or a file that ends inside a record, ends the reading there and is
// reported at that line (a rack tooth without height at its dedendum line). Line ends may be CR LF,
// LF or a CR alone. Only a regular file of at most
// 4 MiB is read; a folder, pipe, device or longer file in its place is reported and gives no records.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "design_data.h"
#include "input_limits.h"

namespace morvell {

// The values a rack record may hold, by number line (0 addendum, 1 dedendum, 2 fillet radius
// coefficients, 3 pressure angle, 4 protuberance): the ranges of the basic rack in input_limits.h, the
// ranges of the main-window values a rack sets. A value is judged as the database writes it, with six
// decimals: a pressure angle of 30.0000001 degrees, written as 30.000000, is taken. The name of a value
// ("dedendum coefficient (wheel)") and its range as the messages give them.
bool rack_value_usable(int row, float v);
std::string rack_value_name(int row, int gear);
std::string rack_value_range(int row);

// Why a rack's value of `row` for gear `gear` cannot be kept ("dedendum coefficient (wheel) 3.5 is out
// of range (-100 to 3)"), or empty: its own range, and for the addendum and dedendum the height of that
// gear's rack tooth (their sum above zero, as the record holds them). A whole rack: its first problem.
std::string rack_value_problem(const BasicRack& rack, int row, int gear);
std::string rack_problem(const BasicRack& rack);

struct RackFiles {
  std::string data = "data.dat";
  std::string scratch = "temp.dat";
};

// The outcome of a reading or writing of the database. `problem` is empty when all went well;
// otherwise it is the text shown to the user.
struct RackFileResult {
  std::string problem;
  int damaged_line = 0;  // 1-based line at which a damaged file stops being readable, else 0
  bool changed = false;  // the record at the position chosen is no longer the one listed: read the list again
  bool ok() const { return problem.empty(); }
};

// A rack as the list showed it: its list entry (the name and one blank) and its values as read. Another
// copy of the program may change the database after the list was read; a rack is chosen and deleted
// by its position only while that position still holds this rack.
struct ListedRack {
  std::string entry;
  BasicRack rack{};
};

// Reads every record: the list entries (each name followed by one blank) into `names`, the number of
// records into d.list_counter, the last record into d.basic_rack, and, when asked, each listed rack into
// `listed`. A missing file has no records.
RackFileResult read_rack_database(DesignData& d, std::vector<std::string>& names, const RackFiles& files = {},
                                  std::vector<ListedRack>* listed = nullptr);

// Reads the records up to and including position d.rack_selected (counted from 0): afterwards
// d.basic_rack holds that record, the last one when the position lies beyond it, and is unchanged for -1.
// With `listed`, the record at the position must be that rack: otherwise nothing is loaded and the
// result says the database changed.
RackFileResult read_rack_database_up_to(DesignData& d, const RackFiles& files = {}, const ListedRack* listed = nullptr);

// Appends one record: the name in d.file_line (line ends in it become blanks) and the values of
// d.basic_rack. The file is created when missing. The record is placed right after the last rack the
// reader takes (a last record without its end line gets one; blank lines after it are dropped), so that
// it is listed as the last rack. Not stored, with the reason: a rack the reader would refuse (the
// message names the value), a name longer than kMaxRackNameBytes, a damaged database (the record would
// stand behind the damage, where no list shows it). A record that cannot be written whole leaves the
// file as it was, and so does a file its permissions keep from being written.
RackFileResult append_rack(DesignData& d, const RackFiles& files = {});

// A rack's name takes one line of the database, at most 510 bytes (a character beyond ASCII takes two
// to four of them). The message refusing `name` (UTF-8, line ends already made blanks), or empty.
inline constexpr std::size_t kMaxRackNameBytes = kFileLineSize - 2;
std::string rack_name_problem(std::string_view name, const RackFiles& files = {});

// Deletes the record at position d.rack_selected in two passes: the whole database is copied into
// the scratch file, then the data file is rewritten from it without that record. A damaged database
// or a scratch copy that cannot be written leaves the data file as it was; so does, with `listed`, a
// record at that position that is not that rack (the result says the database changed).
RackFileResult delete_rack(DesignData& d, const RackFiles& files = {}, const ListedRack* listed = nullptr);

// Appending and deleting each read the database and replace it: they hold a lock on the data file from
// the reading to the replacing, so that copies of the program storing or deleting racks at the same
// moment wait for each other and no rack is lost.

// Largest root fillet radius coefficient of a basic rack without protuberance, for the design's
// normal pressure angle (degrees) and the rack's dedendum coefficient:
// (pi/4 cos a - sin a h_f) / (1 - sin a).
float max_rack_fillet_coeff(float normal_pressure_angle, float dedendum_coeff);

// The names of new racks, "New rack %5d" with the next number of a fixed pseudo-random sequence
// (0..32767, the same sequence in every run).
class RackNameSequence {
 public:
  int next();
  std::string next_name();

 private:
  uint32_t state_ = 1;
};

}  // namespace morvell
