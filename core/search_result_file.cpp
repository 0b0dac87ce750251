#include "search_result_file.h"

#include <cerrno>
#include <cmath>
#include <initializer_list>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <locale.h>

#include "design_file.h"
#include "file_reading.h"
#include "input_limits.h"

namespace morvell {

namespace {

// The C locale for number conversions, whatever the process locale (created once, never changed).
locale_t c_numeric_locale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

// Formats in the C locale for the life of the object.
class CLocaleScope {
 public:
  CLocaleScope() {
    if (locale_t c = c_numeric_locale()) previous_ = uselocale(c);
  }
  ~CLocaleScope() {
    if (previous_) uselocale(previous_);
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t previous_ = nullptr;
};

// The fields of a record in file order, written once for the file and for both directions between
// a record and the design data: the grid position (fields 1 to 7), then the design (fields 8 to 42),
// each with the design-data field it holds.
#define MV_GRID_FIELDS(X) \
  X(module_step) X(teeth_step) X(pressure_angle_step) X(helix_step) X(shift_variant) X(fillet_step) X(rounding_variant)
#define MV_DESIGN_FIELDS(X)                                                              \
  X(search_pass, geometry_manager_mode)                                                  \
  X(normal_module, normal_module)                                                        \
  X(teeth[0], teeth[0])                                                                  \
  X(teeth[1], teeth[1])                                                                  \
  X(actual_ratio, actual_ratio)                                                          \
  X(normal_pressure_angle, normal_pressure_angle)                                        \
  X(helix_angle, helix_angle)                                                            \
  X(profile_shift[0], profile_shift[0])                                                  \
  X(profile_shift[1], profile_shift[1])                                                  \
  X(profile_shift_sum, profile_shift_sum)                                                \
  X(root_fillet_radius[0], root_fillet_radius[0])                                        \
  X(root_fillet_radius[1], root_fillet_radius[1])                                        \
  X(tip_diameter[0], tip_diameter[0])                                                    \
  X(tip_diameter[1], tip_diameter[1])                                                    \
  X(root_diameter[0], root_diameter[0])                                                  \
  X(root_diameter[1], root_diameter[1])                                                  \
  X(transverse_contact_ratio, transverse_contact_ratio)                                  \
  X(axial_contact_ratio, axial_contact_ratio)                                            \
  X(nominal_bending_stress_pinion, nominal_bending_stress_pinion)                        \
  X(tooth_root_stress_pinion, tooth_root_stress_pinion)                                  \
  X(permissible_bending_stress_pinion, permissible_bending_stress_pinion)                \
  X(bending_safety_factor_pinion, bending_safety_factor_pinion)                          \
  X(nominal_bending_stress_wheel, nominal_bending_stress_wheel)                          \
  X(tooth_root_stress_wheel, tooth_root_stress_wheel)                                    \
  X(permissible_bending_stress_wheel, permissible_bending_stress_wheel)                  \
  X(bending_safety_factor_wheel, bending_safety_factor_wheel)                            \
  X(nominal_contact_stress, nominal_contact_stress)                                      \
  X(contact_stress_pinion, contact_stress[0])                                            \
  X(permissible_contact_stress_pinion, permissible_contact_stress[0])                    \
  X(contact_safety_factor_pinion, contact_safety_factor[0])                              \
  X(contact_stress_wheel, contact_stress[1])                                             \
  X(permissible_contact_stress_wheel, permissible_contact_stress[1])                     \
  X(contact_safety_factor_wheel, contact_safety_factor[1])                               \
  X(min_root_fillet_coeff[0], min_root_fillet_coeff[0])                                  \
  X(min_root_fillet_coeff[1], min_root_fillet_coeff[1])

#define MV_COUNT(...) +1
static_assert(0 MV_GRID_FIELDS(MV_COUNT) MV_DESIGN_FIELDS(MV_COUNT) == kDesignPointFieldCount);
#undef MV_COUNT

// A field of the record: an integer or a real.
struct FieldRef {
  int32_t* i = nullptr;
  float* f = nullptr;
};

FieldRef ref_of(int32_t& v) { return FieldRef{&v, nullptr}; }
FieldRef ref_of(float& v) { return FieldRef{nullptr, &v}; }

// The 42 fields in file order.
void field_refs(DesignPointRecord& r, FieldRef (&f)[kDesignPointFieldCount]) {
  int n = 0;
#define MV_REF(record_field, ...) f[n++] = ref_of(r.record_field);
  MV_GRID_FIELDS(MV_REF)
  MV_DESIGN_FIELDS(MV_REF)
#undef MV_REF
}

// Copies one field between a record and the design data; both sides must have the same type.
template <typename T>
void copy_field(T& to, const T& from) {
  to = from;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The most records one search writes: 10 pinion tooth counts of 450 candidates in the first pass and
// 20 modules of 225 in the second.
constexpr int32_t kMaxResultRecords =
    (2 * kSearchMaxToothCounts + kSearchModuleSteps) * kSearchPressureAngleSteps * kSearchHelixSteps *
    kSearchFilletSteps * kSearchShiftVariants;

// Reading stops after these many bytes or records, so that an endless or huge file cannot fill the
// memory of the window that keeps the records. A record takes at most about 1700 bytes (every real at
// the float's largest), so the largest search's file stays below 16 MB; it is usually about 4 MB.
constexpr long kMaxResultFileBytes = 192L << 20;

// Longest line a record can take: 34 reals of at most 47 characters (the largest float in "%10.5f")
// and 8 small integers, with room to spare. A longer line is no record.
constexpr std::size_t kMaxRecordLine = 4096;

}  // namespace

DesignPointRecord design_point_of(const DesignData& d, const SearchGridPoint& g) {
  DesignPointRecord r;
#define MV_FROM_GRID(field) copy_field(r.field, g.field);
#define MV_FROM_DESIGN(record_field, design_field) copy_field(r.record_field, d.design_field);
  MV_GRID_FIELDS(MV_FROM_GRID)
  MV_DESIGN_FIELDS(MV_FROM_DESIGN)
#undef MV_FROM_GRID
#undef MV_FROM_DESIGN
  return r;
}

void store_design_point(const DesignPointRecord& r, DesignData& d) {
#define MV_TO_DESIGN(record_field, design_field) copy_field(d.design_field, r.record_field);
  MV_DESIGN_FIELDS(MV_TO_DESIGN)
#undef MV_TO_DESIGN
}

#undef MV_GRID_FIELDS
#undef MV_DESIGN_FIELDS

std::string format_design_point(const DesignPointRecord& record) {
  DesignPointRecord r = record;
  FieldRef f[kDesignPointFieldCount];
  field_refs(r, f);
  CLocaleScope c_locale;
  std::string out = "\r\n";
  char buffer[128];
  for (int k = 0; k < kDesignPointFieldCount; ++k) {
    // Fields 10 and 11 (the teeth) are three wide, the other integers as wide as they need.
    const char* format = f[k].i ? (k == 9 || k == 10 ? "%3d" : "%d") : "%10.5f";
    const int n = f[k].i ? std::snprintf(buffer, sizeof buffer, format, *f[k].i)
                         : std::snprintf(buffer, sizeof buffer, format, static_cast<double>(*f[k].f));
    if (k > 0) out += ' ';
    if (n > 0) out.append(buffer, std::size_t(n) < sizeof buffer ? std::size_t(n) : sizeof buffer - 1);
  }
  return out;
}

bool design_point_usable(const DesignPointRecord& r) {
  auto finite = [](std::initializer_list<float> values) {
    for (const float v : values)
      if (!std::isfinite(v)) return false;
    return true;
  };
  // Each value the record puts into the design is judged by the design file's range of that value, so
  // that a record read is one a pick can take: a design that holds it can be saved. The wheel's shift is
  // derived where the numbers of teeth follow the centre distance (pass 2, geometry-manager mode 2), and
  // judged only where it is entered, as the design file judges it.
  return (r.search_pass == 1 || r.search_pass == 2) && file_teeth_ok(r.teeth[0]) && file_teeth_ok(r.teeth[1]) &&
         r.normal_module >= kMinFileModule && r.normal_module <= kMaxFileModule &&
         pressure_angle_ok(r.normal_pressure_angle) && helix_angle_ok(r.helix_angle) &&
         per_module_ok(r.root_fillet_radius[0], kFilletPerModule, r.normal_module) &&
         per_module_ok(r.root_fillet_radius[1], kFilletPerModule, r.normal_module) &&
         gear_shift_ok(r.profile_shift[0]) && (r.search_pass == 2 || gear_shift_ok(r.profile_shift[1])) &&
         finite({r.actual_ratio, r.profile_shift[1], r.profile_shift_sum, r.tip_diameter[0], r.tip_diameter[1],
                 r.root_diameter[0], r.root_diameter[1], r.min_root_fillet_coeff[0], r.min_root_fillet_coeff[1]}) &&
         r.min_root_fillet_coeff[0] >= 0.0f && r.min_root_fillet_coeff[1] >= 0.0f;
}

bool parse_design_point(std::string_view line, DesignPointRecord& out) {
  if (line.size() > kMaxRecordLine || line.find('\0') != std::string_view::npos) return false;
  char text[kMaxRecordLine + 1];
  std::memcpy(text, line.data(), line.size());
  text[line.size()] = '\0';
  const locale_t c = c_numeric_locale();
  if (!c) return false;

  DesignPointRecord r;
  FieldRef f[kDesignPointFieldCount];
  field_refs(r, f);
  const char* p = text;
  for (int k = 0; k < kDesignPointFieldCount; ++k) {
    while (is_blank(*p)) ++p;
    if (*p == '\0') return false;  // cut short
    char* end = nullptr;
    errno = 0;
    if (f[k].i) {
      const long v = strtol_l(p, &end, 10, c);
      if (end == p || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
      *f[k].i = static_cast<int32_t>(v);
    } else {
      // A plain decimal, as the search writes them, is read by from_chars, which rounds as strtof does
      // and is several times faster; whatever it refuses or stops short of goes to strtof.
      float v = 0;
      const auto [stop, error] = std::from_chars(p, text + line.size(), v);
      if (error == std::errc() && (*stop == '\0' || is_blank(*stop))) {
        end = const_cast<char*>(stop);
      } else {
        v = strtof_l(p, &end, c);
        // A value beyond the float range reads as an infinity: that is no value the search writes.
        if (end == p || (errno == ERANGE && (v > 1.0f || v < -1.0f))) return false;
      }
      *f[k].f = v;
    }
    if (*end != '\0' && !is_blank(*end)) return false;  // a number followed by other text
    p = end;
  }
  while (is_blank(*p)) ++p;
  if (*p != '\0') return false;  // more than 42 fields
  out = r;
  return true;
}

// --- Writer ---

SearchResultWriter::SearchResultWriter(const char* path)
    : path_(path), file_(std::make_unique<ReplacingFileWriter>(path_, WriteTarget::fixed)) {
  if (!file_->ok()) message_ = "The search results could not be written to " + path_ + ": " + file_->reason();
}

SearchResultWriter::~SearchResultWriter() { close(); }

bool SearchResultWriter::write(const DesignPointRecord& r) { return write_text(format_design_point(r)); }

bool SearchResultWriter::write_text(std::string_view text) {
  if (!file_ || !ok()) return false;
  if (!file_->write(text)) {
    message_ = "The search results could not be written completely to " + path_ + ": " + file_->reason();
    return false;
  }
  ++records_;
  std::string_view line = text;
  while (!line.empty() && (line.front() == '\r' || line.front() == '\n')) line.remove_prefix(1);
  DesignPointRecord r;
  if (parse_design_point(line, r) && design_point_usable(r)) listed_.push_back(r);
  return true;
}

bool SearchResultWriter::close() {
  if (!file_) return ok();
  const FileWriteResult done = file_->commit();
  file_.reset();
  if (!done.ok() && ok())
    message_ = "The search results could not be written completely to " + path_ + ": " + done.reason;
  return ok();
}

// --- Reader ---

// Only a regular file is read, opened without waiting on a pipe.
SearchResultReader::SearchResultReader(const char* path) : path_(path) {
  FileReadResult opened;
  file_ = open_regular_file(path_, opened);
}

SearchResultReader::~SearchResultReader() {
  if (file_) std::fclose(file_);
}

std::string SearchResultReader::open_failure_message() const {
  return "The search results could not be read from " + path_;
}

bool SearchResultReader::next(DesignPointRecord& r) {
  if (!file_ || returned_ >= kMaxResultRecords) return false;
  char line[kMaxRecordLine + 1];
  for (;;) {
    // One line, whatever it holds, ended by LF, CR LF or a CR alone; a line longer than any record is
    // read to its end and skipped. Reading ends at the bound on the file's length as at its end.
    std::size_t n = 0;
    bool overlong = false;
    int ch = EOF;
    while (consumed_ < kMaxResultFileBytes && (ch = getc_unlocked(file_)) != EOF) {
      ++consumed_;
      if (ch == '\n' || ch == '\r') break;
      if (n < kMaxRecordLine) line[n++] = char(ch);
      else overlong = true;
    }
    const bool at_end = consumed_ >= kMaxResultFileBytes || ch == EOF;
    if (at_end && n == 0 && !overlong) return false;
    const std::string_view text(line, n);
    bool empty = !overlong;
    for (char c : text)
      if (!is_blank(c)) empty = false;
    if (!empty) {
      DesignPointRecord read;
      if (!overlong && parse_design_point(text, read) && design_point_usable(read)) {
        r = read;
        ++returned_;
        return true;
      }
      ++skipped_;
    }
    if (at_end) return false;
  }
}

}  // namespace morvell
