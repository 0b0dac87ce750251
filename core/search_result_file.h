// The result file of the design-space search, optimizer.dat: one text record per evaluated design.
//
// The file begins with a line end and every record is one line end followed by 42 fields separated by
// single blanks; there is no line end after the last record. Fields 1 to 8 are integers ("%d"), field 9
// the module ("%10.5f"), fields 10 and 11 the numbers of teeth ("%3d") and fields 12 to 42 reals
// ("%10.5f"). Numbers are written and read in the C locale; lines end in CR LF on writing and either
// line end is accepted on reading.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "design_data.h"
#include "design_file.h"
#include "file_writing.h"

namespace morvell {

inline constexpr const char* kSearchResultFileName = "optimizer.dat";
inline constexpr int kDesignPointFieldCount = 42;

// The search grid: the steps of each of its axes.
inline constexpr int kSearchModuleSteps = 20;        // pass 2
inline constexpr int kSearchPressureAngleSteps = 5;  // both passes
inline constexpr int kSearchHelixSteps = 5;
inline constexpr int kSearchFilletSteps = 3;
inline constexpr int kSearchShiftVariants = 3;
// Most pinion tooth counts pass 1 takes: the ten the window's teeth range holds. A search over autoscaled
// extents can be given a wider range: it is then spread over this many counts, so a search never takes
// more than 10 x 450 + 4500 = 9000 evaluations.
inline constexpr int kSearchMaxToothCounts = 10;

// One evaluated design of the search, in the order of its fields in the file.
struct DesignPointRecord {
  // Fields 1 to 7: where the design lies in the search grid.
  int32_t module_step = 0;          // 0..kSearchModuleSteps - 1 in pass 2, 0 in pass 1
  int32_t teeth_step = 0;           // pinion tooth step in pass 1, 0 in pass 2
  int32_t pressure_angle_step = 0;  // 0..kSearchPressureAngleSteps - 1
  int32_t helix_step = 0;           // 0..kSearchHelixSteps - 1
  int32_t shift_variant = 0;        // 0..kSearchShiftVariants - 1
  int32_t fillet_step = 0;          // 0..kSearchFilletSteps - 1
  int32_t rounding_variant = 0;     // pass 1: 0 wheel teeth rounded up, 1 down; 0 in pass 2
  // Fields 8 to 42: the design.
  int32_t search_pass = 0;  // 1 or 2, the geometry-manager mode of the evaluation
  float normal_module = 0;  // mm
  int32_t teeth[2]{};
  float actual_ratio = 0;
  float normal_pressure_angle = 0;  // deg
  float helix_angle = 0;            // deg
  float profile_shift[2]{};
  float profile_shift_sum = 0;
  float root_fillet_radius[2]{};  // mm
  float tip_diameter[2]{};        // mm
  float root_diameter[2]{};       // mm
  float transverse_contact_ratio = 0;
  float axial_contact_ratio = 0;
  float nominal_bending_stress_pinion = 0;  // MPa
  float tooth_root_stress_pinion = 0;
  float permissible_bending_stress_pinion = 0;
  float bending_safety_factor_pinion = 0;
  float nominal_bending_stress_wheel = 0;
  float tooth_root_stress_wheel = 0;
  float permissible_bending_stress_wheel = 0;
  float bending_safety_factor_wheel = 0;
  float nominal_contact_stress = 0;
  float contact_stress_pinion = 0;
  float permissible_contact_stress_pinion = 0;
  float contact_safety_factor_pinion = 0;
  float contact_stress_wheel = 0;
  float permissible_contact_stress_wheel = 0;
  float contact_safety_factor_wheel = 0;
  float min_root_fillet_coeff[2]{};  // x m_n
};

// The grid position of a design: fields 1 to 7.
struct SearchGridPoint {
  int32_t module_step = 0, teeth_step = 0, pressure_angle_step = 0, helix_step = 0, shift_variant = 0,
          fillet_step = 0, rounding_variant = 0;
};

// The record of the design held in d at grid point g (field 8 is d.geometry_manager_mode).
DesignPointRecord design_point_of(const DesignData& d, const SearchGridPoint& g);

// Puts fields 8 to 42 of the record back into their design-data fields (so d then holds that design,
// geometry_manager_mode included). Fields 1 to 7 stay in the record.
void store_design_point(const DesignPointRecord& r, DesignData& d);

// The bytes of one record as the search writes it: CR LF, then the 42 fields.
std::string format_design_point(const DesignPointRecord& r);

// Reads one line (without its line end) as a record: exactly 42 numbers separated by white space,
// integers where the file has integers (within 32 bits), reals that a 32-bit float can hold ("nan" and
// "inf" included, as the search writes them for values that are not finite). False, with r unchanged,
// for anything else.
bool parse_design_point(std::string_view line, DesignPointRecord& r);

// Writes optimizer.dat record by record. Every failure (the file cannot be created, a record or the
// closing cannot be written) is kept and reported through ok() and message().
class SearchResultWriter {
 public:
  explicit SearchResultWriter(const char* path = kSearchResultFileName);
  ~SearchResultWriter();
  SearchResultWriter(const SearchResultWriter&) = delete;
  SearchResultWriter& operator=(const SearchResultWriter&) = delete;

  bool write(const DesignPointRecord& r);
  // Writes one record already formatted by format_design_point.
  bool write_text(std::string_view record);
  // Puts the file in place; false when it could not be completed, and then the file of an earlier
  // search stays as it was.
  bool close();
  bool ok() const { return message_.empty(); }
  const std::string& message() const { return message_; }
  int32_t records() const { return records_; }
  // The records written so far as a reader of the file takes them (read back from their text; a record
  // the reader would skip is not among them), so that a caller keeps the results it listed whatever
  // becomes of the file.
  std::vector<DesignPointRecord> take_listed() { return std::move(listed_); }

 private:
  std::string path_;
  std::unique_ptr<ReplacingFileWriter> file_;
  std::string message_;
  int32_t records_ = 0;
  std::vector<DesignPointRecord> listed_;
};

// Whether a record's design can be taken into the design data: a search pass of 1 or 2, and every value
// it puts there within the design file's range of that value (numbers of teeth, module, pressure angle,
// helix angle, fillet radii, profile shifts of -2.5 to 2.5 (the wheel's only outside pass 2, where it is
// derived), minimum fillet factors not negative), the rest finite (ratio, shift sum, diameters); the
// reader takes no other record, as a pick takes none.
// The rating results (fields 24 to 40) may be "nan" or "inf" as the search writes them.
bool design_point_usable(const DesignPointRecord& r);

// Reads optimizer.dat record by record. Only a regular file is read (a folder, pipe or device in its
// place does not open). Empty lines are passed over and LF, CR LF or a CR alone ends a line; a line
// that is not a complete record (cut short, with text that is no number, too long) or whose design is
// not usable is skipped and counted, so the reader always moves on and stops at the end of the file,
// after 192 MiB or after the most records one search writes (9000), whichever comes first; no file
// the search writes reaches either bound.
class SearchResultReader {
 public:
  explicit SearchResultReader(const char* path = kSearchResultFileName);
  ~SearchResultReader();
  SearchResultReader(const SearchResultReader&) = delete;
  SearchResultReader& operator=(const SearchResultReader&) = delete;

  bool is_open() const { return file_ != nullptr; }
  // The next record; false at the end of the file (or when the file is not open).
  bool next(DesignPointRecord& r);
  int32_t skipped() const { return skipped_; }
  // Text for the user when the file could not be opened.
  std::string open_failure_message() const;

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  int32_t skipped_ = 0;
  int32_t returned_ = 0;  // records handed out so far
  long consumed_ = 0;     // bytes read so far
};

}  // namespace morvell
