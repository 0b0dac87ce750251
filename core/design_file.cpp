#include "design_file.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <locale.h>
#include <memory>
#include <string_view>
#include <system_error>

#include <algorithm>
#include <iterator>
#include <limits>
#include <vector>

#include "design_refresh.h"
#include "file_reading.h"
#include "file_writing.h"
#include "geometry_pass.h"
#include "geometry_warnings.h"
#include "hardness.h"
#include "input_limits.h"
#include "load_relations.h"
#include "material_table.h"
#include "measurement.h"
#include "numeric.h"
#include "tolerances.h"

namespace morvell {
namespace {

// ---------------------------------------------------------------------------------------------
// The fixed fields, in file order
// ---------------------------------------------------------------------------------------------

enum class Kind {
  version,        // "%d", written as the version tag, read and ignored
  integer,        // "%d"
  real,           // "%f"
  exponent,       // "%e" (cycle counts); read like any real
  flag,           // "%d", written as 1 or 0; on reading 1 gives 1 and anything else 0
  reserved_int,   // "%d", written as 0, read and ignored
  reserved_real,  // "%f", written as 0.000000, read and ignored
};

// Checks of a value on reading, beyond being a number: the values the windows refuse and for which the
// geometry is undefined. Only the values the geometry pass recomputes may be non-finite.
enum class Check {
  none,
  ball_diameter,
  module,
  helix_angle,
  pressure_angle,
  length,
  positive_length,
  face_width,
  teeth,
  accuracy_grade,
  geometry_manager_mode,
  material_type,
  hardness_scale,
  recomputed,
  non_negative,         // constraints
  non_negative_length,  // chamfers, protuberances
  edge_chamfer_angle,
  tip_chamfer_angle,
  pinion_shift,
  wheel_shift,  // checked once the mode is known: in mode 2 the wheel's shift is derived
  backlash_distribution,
  on_off,
  contact_stress_number,
  bending_stress_number,
  poisson,
  modulus,
  yield_stress,
  tensile_strength,
  hardness,
  roughness,
  viscosity,
  application_factor,
};

using IntRef = int32_t* (*)(DesignData&);
using RealRef = float* (*)(DesignData&);
using FlagRef = uint8_t* (*)(DesignData&);

struct Field {
  const char* label;
  Kind kind;
  IntRef int_ref = nullptr;
  RealRef real_ref = nullptr;
  FlagRef flag_ref = nullptr;
  Check check = Check::none;
};

#define MV_INT(label, expr) Field{label, Kind::integer, [](DesignData& d) { return &(expr); }}
#define MV_INT_CHECK(label, expr, chk) Field{label, Kind::integer, [](DesignData& d) { return &(expr); }, nullptr, nullptr, chk}
#define MV_REAL(label, expr) Field{label, Kind::real, nullptr, [](DesignData& d) { return &(expr); }}
#define MV_REAL_CHECK(label, expr, chk) Field{label, Kind::real, nullptr, [](DesignData& d) { return &(expr); }, nullptr, chk}
#define MV_LENGTH(label, expr) MV_REAL_CHECK(label, expr, Check::length)
#define MV_CHAMFER(label, expr) MV_REAL_CHECK(label, expr, Check::non_negative_length)
#define MV_EDGE_ANGLE(label, expr) MV_REAL_CHECK(label, expr, Check::edge_chamfer_angle)
#define MV_TIP_ANGLE(label, expr) MV_REAL_CHECK(label, expr, Check::tip_chamfer_angle)
#define MV_CONSTRAINT(label, expr) MV_REAL_CHECK(label, expr, Check::non_negative)
#define MV_INT_ON_OFF(label, expr) MV_INT_CHECK(label, expr, Check::on_off)
#define MV_EXP(label, expr) Field{label, Kind::exponent, nullptr, [](DesignData& d) { return &(expr); }}
#define MV_FLAG(label, expr) Field{label, Kind::flag, nullptr, nullptr, [](DesignData& d) { return &(expr); }}
#define MV_RESERVED_INT Field{"reserved value", Kind::reserved_int}
#define MV_RESERVED_REAL Field{"reserved value", Kind::reserved_real}

// The 26 rating values of one gear (fields 54 to 80 without the hardness scale for the pinion,
// 81 to 106 for the wheel).
#define MV_GEAR_RATING(G, gear, suffix)                                                   \
  MV_INT_CHECK("material type (" gear ")", d.material_type[G], Check::material_type),       \
  MV_INT_ON_OFF("limited pitting (" gear ")", d.limited_pitting[G]),                       \
  MV_INT_ON_OFF("S-N estimate (" gear ")", d.sn_estimate[G]),                              \
  MV_REAL_CHECK("allowable contact stress number (" gear ")", d.sigma_hlim[G], Check::contact_stress_number), \
  MV_EXP("contact endurance cycles (" gear ")", d.nl_lim_contact_##suffix),                \
  MV_REAL("contact static stress (" gear ")", d.sigma_h_static_##suffix),                  \
  MV_EXP("contact static cycles (" gear ")", d.nl_static_contact_##suffix),                \
  MV_REAL("limited pitting stress (" gear ")", d.sigma_h_pit_##suffix),                    \
  MV_EXP("limited pitting cycles (" gear ")", d.nl_pit_contact_##suffix),                  \
  MV_REAL("contact infinite-life stress (" gear ")", d.sigma_h_inf_##suffix),              \
  MV_EXP("contact infinite-life cycles (" gear ")", d.nl_inf_contact_##suffix),            \
  MV_REAL_CHECK("allowable bending stress number (" gear ")", d.sigma_flim[G], Check::bending_stress_number), \
  MV_EXP("bending endurance cycles (" gear ")", d.nl_lim_bending_##suffix),                \
  MV_REAL("bending static stress (" gear ")", d.sigma_f_static[G]),                        \
  MV_EXP("bending static cycles (" gear ")", d.nl_static_bending_##suffix),                \
  MV_REAL("bending infinite-life stress (" gear ")", d.sigma_f_inf_##suffix),              \
  MV_EXP("bending infinite-life cycles (" gear ")", d.nl_inf_bending_##suffix),            \
  MV_REAL_CHECK("Poisson's ratio (" gear ")", d.poisson_ratio[G], Check::poisson),          \
  MV_REAL_CHECK("modulus of elasticity (" gear ")", d.elastic_modulus[G], Check::modulus),  \
  MV_REAL_CHECK("yield stress (" gear ")", d.yield_stress_##suffix, Check::yield_stress),  \
  MV_REAL_CHECK("tensile strength (" gear ")", d.tensile_stress_##suffix, Check::tensile_strength), \
  MV_REAL_CHECK("surface hardness (" gear ")", d.surface_hardness[G], Check::hardness)

#define MV_GEAR_QUALITY(G, gear)                                     \
  MV_INT_CHECK("accuracy grade (" gear ")", d.iso_grade[G], Check::accuracy_grade), \
  MV_REAL("base pitch error (" gear ")", d.base_pitch_error[G]),     \
  MV_REAL_CHECK("flank roughness (" gear ")", d.flank_roughness[G], Check::roughness), \
  MV_REAL_CHECK("fillet roughness (" gear ")", d.fillet_roughness[G], Check::roughness)

#define MV_PAIR(macro, label, field) macro(label " (pinion)", d.field[0]), macro(label " (wheel)", d.field[1])

const Field kFields[kDesignFileFieldCount] = {
    Field{"version", Kind::version},
    MV_REAL_CHECK("normal module", d.normal_module, Check::module),
    MV_REAL_CHECK("normal pressure angle", d.normal_pressure_angle, Check::pressure_angle),
    MV_REAL_CHECK("helix angle", d.helix_angle, Check::helix_angle),
    MV_REAL_CHECK("centre distance", d.centre_distance, Check::positive_length),
    MV_REAL_CHECK("face width (pinion)", d.face_width[0], Check::face_width),
    MV_REAL_CHECK("face width (wheel)", d.face_width[1], Check::face_width),
    MV_PAIR(MV_CHAMFER, "edge chamfer", edge_chamfer),
    MV_PAIR(MV_EDGE_ANGLE, "edge chamfer angle", edge_chamfer_angle),
    MV_LENGTH("face width offset", d.face_width_offset),
    MV_INT_CHECK("number of teeth (pinion)", d.teeth[0], Check::teeth),
    MV_INT_CHECK("number of teeth (wheel)", d.teeth[1], Check::teeth),
    MV_REAL_CHECK("profile shift coefficient (pinion)", d.profile_shift[0], Check::pinion_shift),
    MV_REAL_CHECK("profile shift coefficient (wheel)", d.profile_shift[1], Check::wheel_shift),
    MV_REAL("normal backlash", d.backlash_normal),
    MV_REAL_CHECK("backlash distribution", d.backlash_distribution, Check::backlash_distribution),
    MV_PAIR(MV_LENGTH, "addendum", addendum),
    MV_PAIR(MV_CHAMFER, "tip chamfer", tip_chamfer),
    MV_PAIR(MV_TIP_ANGLE, "tip chamfer angle", tip_chamfer_angle),
    MV_PAIR(MV_LENGTH, "dedendum", dedendum),
    MV_PAIR(MV_LENGTH, "root fillet radius", root_fillet_radius),
    MV_PAIR(MV_CHAMFER, "protuberance", protuberance),
    MV_INT_ON_OFF("default ball diameter", d.default_ball_diameter),
    MV_REAL_CHECK("ball diameter (pinion)", d.ball_diameter[0], Check::ball_diameter),
    MV_REAL_CHECK("ball diameter (wheel)", d.ball_diameter[1], Check::ball_diameter),
    MV_INT_ON_OFF("default span teeth", d.default_span_teeth),
    MV_PAIR(MV_INT, "number of teeth spanned", span_teeth),
    MV_PAIR(MV_CONSTRAINT, "minimum end of active profile thickness", min_eap_thickness_coeff),
    MV_PAIR(MV_CONSTRAINT, "minimum tip thickness", min_tip_thickness_coeff),
    MV_PAIR(MV_CONSTRAINT, "minimum bottom clearance", min_bottom_clearance_coeff),
    MV_PAIR(MV_CONSTRAINT, "minimum root fillet", min_root_fillet_coeff),
    MV_PAIR(MV_CONSTRAINT, "minimum form to start of active profile", min_form_to_sap),
    MV_PAIR(MV_CONSTRAINT, "minimum base to form", min_base_to_form),
    MV_PAIR(MV_CONSTRAINT, "maximum tip diameter", max_tip_diameter),
    MV_PAIR(MV_CONSTRAINT, "minimum root diameter", min_root_diameter),
    MV_FLAG("use default constraints", d.constraints_use_defaults),
    MV_GEAR_RATING(0, "pinion", pinion),
    MV_INT_CHECK("hardness scale", d.hardness_scale, Check::hardness_scale),
    MV_GEAR_QUALITY(0, "pinion"),
    MV_GEAR_RATING(1, "wheel", wheel),
    MV_GEAR_QUALITY(1, "wheel"),
    MV_REAL_CHECK("lubricant viscosity", d.lubricant_viscosity, Check::viscosity),
    MV_INT_ON_OFF("pitch error from grade", d.pitch_error_from_grade),
    MV_REAL_CHECK("application factor", d.application_factor, Check::application_factor),
    MV_INT_CHECK("geometry manager mode", d.geometry_manager_mode, Check::geometry_manager_mode),
    MV_FLAG("geometry manager override", d.geometry_manager_override),
    MV_RESERVED_INT, MV_RESERVED_INT, MV_RESERVED_INT, MV_RESERVED_INT,
    MV_RESERVED_INT, MV_RESERVED_INT, MV_RESERVED_INT, MV_RESERVED_INT,
    // Recomputed by the geometry pass from the backlash: NaN when the pair cannot mesh, kept as such.
    MV_REAL_CHECK("finished transverse tooth thickness (pinion)", d.thickness_finished_transverse[0], Check::recomputed),
    MV_REAL_CHECK("finished transverse tooth thickness (wheel)", d.thickness_finished_transverse[1], Check::recomputed),
    MV_RESERVED_REAL, MV_RESERVED_REAL, MV_RESERVED_REAL, MV_RESERVED_REAL,
    MV_RESERVED_REAL, MV_RESERVED_REAL, MV_RESERVED_REAL, MV_RESERVED_REAL,
};

#undef MV_INT
#undef MV_INT_CHECK
#undef MV_REAL
#undef MV_REAL_CHECK
#undef MV_LENGTH
#undef MV_CHAMFER
#undef MV_EDGE_ANGLE
#undef MV_TIP_ANGLE
#undef MV_CONSTRAINT
#undef MV_INT_ON_OFF
#undef MV_EXP
#undef MV_FLAG
#undef MV_RESERVED_INT
#undef MV_RESERVED_REAL
#undef MV_GEAR_RATING
#undef MV_GEAR_QUALITY
#undef MV_PAIR

// Field number (1-based) after which the ratios and the shift sum are rederived.
constexpr int kLastGeometryField = 36;
// Fields whose check depends on a mode read later.
constexpr int kWheelShiftField = 16;
constexpr int kBacklashField = 17;
constexpr int kBasePitchErrorField[2] = {78, 104};

const char* const kLoadCaseLabels[5] = {"speed", "torque", "running time", "misalignment", "load data fixed for"};

// ---------------------------------------------------------------------------------------------
// Shared steps
// ---------------------------------------------------------------------------------------------

void derive_ratios(DesignData& d) {
  d.actual_ratio = static_cast<float>(static_cast<ld>(d.teeth[1]) / static_cast<ld>(d.teeth[0]));
  d.desired_ratio = d.actual_ratio;
  d.profile_shift_sum = static_cast<float>(static_cast<ld>(d.profile_shift[0]) + static_cast<ld>(d.profile_shift[1]));
}

int clamped_load_case_count(const DesignData& d) {
  if (d.load_case_count < 0) return 0;
  return d.load_case_count > kLoadCasesUsable ? kLoadCasesUsable : d.load_case_count;
}

// ---------------------------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------------------------

constexpr std::size_t kMaxToken = 64;

// Reads white-space separated tokens from a stream. A token longer than kMaxToken is reported as such
// (its end is skipped) so that no buffer grows with the input; a stream that fails is reported, not
// taken as its end.
class Tokenizer {
 public:
  explicit Tokenizer(std::FILE* file) : file_(file) {}

  enum class Result { token, end, too_long, read_error, file_too_long };

  Result next(std::string_view& token) {
    int c;
    do {
      c = get();
    } while (c != EOF && is_space(c));
    if (c == EOF) return at_eof();
    std::size_t n = 0;
    bool too_long = false;
    while (c != EOF && !is_space(c)) {
      if (n < kMaxToken) buffer_[n++] = static_cast<char>(c); else too_long = true;
      c = get();
    }
    token = std::string_view(buffer_, n);
    cut_by_end_ = c == EOF;
    if (c == EOF && at_eof() != Result::end) return at_eof();
    return too_long ? Result::too_long : Result::token;
  }

  // True when the last token ran up to the end of the file, with no line end (or other white space)
  // after it: the file may have been cut inside it.
  bool cut_by_end() const { return cut_by_end_; }

 private:
  static bool is_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

  int get() {
    if (consumed_ >= long(kMaxDesignFileBytes)) return EOF;
    ++consumed_;
    return std::getc(file_);
  }
  Result at_eof() const {
    if (consumed_ >= long(kMaxDesignFileBytes)) return Result::file_too_long;
    return std::ferror(file_) ? Result::read_error : Result::end;
  }

  std::FILE* file_;
  long consumed_ = 0;
  bool cut_by_end_ = false;
  char buffer_[kMaxToken];
};

// Whole-token conversions, independent of the process locale. A leading '+' is accepted as the
// formatted input of the C library accepts it.
bool parse_int(std::string_view t, int32_t& out) {
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  const auto r = std::from_chars(t.data(), t.data() + t.size(), out);
  return r.ec == std::errc() && r.ptr == t.data() + t.size();
}

enum class RealParse { ok, not_a_number, out_of_range };

RealParse parse_real(std::string_view t, float& out, bool allow_nonfinite = false) {
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (allow_nonfinite) {  // as the writer prints them
    if (t == "nan" || t == "-nan") { out = nan_f(); return RealParse::ok; }
    if (t == "inf" || t == "-inf") {
      out = t == "inf" ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
      return RealParse::ok;
    }
  }
  float v = 0.0f;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  if (r.ptr != t.data() + t.size()) return RealParse::not_a_number;
  if (r.ec == std::errc::result_out_of_range) return RealParse::out_of_range;
  if (r.ec != std::errc()) return RealParse::not_a_number;
  if (!std::isfinite(v)) return RealParse::out_of_range;  // "inf", "nan"
  out = v;
  return RealParse::ok;
}

std::string shown_token(std::string_view t) {
  std::string s;
  for (char c : t.substr(0, 24)) s += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
  if (t.size() > 24) s += "...";
  return s;
}

std::string field_text(int number, const char* label) {
  return std::string(label) + " (field " + std::to_string(number) + ")";
}

std::string named(const std::string& file_name) {
  return file_name.empty() ? std::string("Design file") : "Design file " + file_name;
}

std::string not_read(const std::string& file_name) { return named(file_name) + " not read: "; }

DesignFileResult rejected(const std::string& file_name, int number, const char* label, const std::string& what) {
  DesignFileResult r;
  r.status = DesignFileStatus::malformed;
  r.field = number;
  r.detail = field_text(number, label) + " " + what;
  r.message = not_read(file_name) + r.detail;
  return r;
}

DesignFileResult refused_whole(const std::string& file_name, DesignFileStatus status, const std::string& detail) {
  DesignFileResult r;
  r.status = status;
  r.detail = detail;
  r.message = not_read(file_name) + detail;
  return r;
}

DesignFileResult stream_failed(const std::string& file_name, Tokenizer::Result result) {
  return result == Tokenizer::Result::read_error
             ? refused_whole(file_name, DesignFileStatus::cannot_read, "the file could not be read to its end")
             : refused_whole(file_name, DesignFileStatus::malformed, "the file is too long for a design file");
}

bool stream_failure(Tokenizer::Result r) {
  return r == Tokenizer::Result::read_error || r == Tokenizer::Result::file_too_long;
}

// A bound as the messages show it: 0.1, 100, 1000000.
std::string bound_text(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", v);
  if (std::strchr(text, 'e')) std::snprintf(text, sizeof text, "%.0f", v);
  return text;
}

std::string between(double lo, double hi, const char* unit = "") {
  return "must lie between " + bound_text(lo) + " and " + bound_text(hi) + unit;
}

// A range of input_limits.h as the messages name it.
std::string range_words(const ValueRange& r, const char* unit) {
  return "greater than " + bound_text(r.lowest) + " and at most " + bound_text(r.highest) + unit;
}
std::string range_text(const ValueRange& r, const char* unit = "") {
  return r.above ? "must be " + range_words(r, unit) : between(r.lowest, r.highest, unit);
}

// The range check of a field; empty when the value passes.
std::string range_problem(Check check, double v) {
  switch (check) {
    case Check::module:
      return module_ok(float(v)) ? "" : between(kSmallestModule, kLargestModule, " mm");
    case Check::helix_angle:
      return helix_angle_ok(float(v)) ? "" : "must be at least 0 and less than " + bound_text(kHelixAngleBound) + " degrees";
    case Check::pressure_angle:
      return pressure_angle_ok(float(v)) ? "" : between(kSmallestPressureAngle, kLargestPressureAngle, " degrees");
    case Check::face_width:
      return face_width_ok(float(v)) ? "" : "must be greater than 0 and at most " + bound_text(kLargestFaceWidth) + " mm";
    case Check::positive_length:
      if (!(v > 0.0)) return "must be greater than zero";
      return file_length_ok(float(v)) ? "" : between(0, kMaxFileLength, " mm");
    case Check::length:
      return file_length_ok(float(v)) ? "" : between(-kMaxFileLength, kMaxFileLength, " mm");
    case Check::teeth:
      return file_teeth_ok(int32_t(v)) ? "" : between(1, kMaxFileTeeth);
    case Check::accuracy_grade:
      return accuracy_grade_ok(v) ? "" : between(0, kCoarsestAccuracyGrade);
    case Check::geometry_manager_mode:
      return v >= 0 && v <= 2 ? "" : "must be 0, 1 or 2";
    case Check::material_type:
      return material_type_ok(int32_t(v)) ? "" : between(0, kMaterialTypeCount - 1);
    case Check::hardness_scale:
      return v >= 0 && v < kHardnessScaleCount ? "" : "must be 0, 1 or 2";
    case Check::non_negative:
      return v >= 0 ? "" : "must not be negative";
    case Check::non_negative_length:
      return v >= 0 && file_length_ok(float(v)) ? "" : between(0, kMaxFileLength, " mm");
    case Check::edge_chamfer_angle:
      return edge_chamfer_angle_ok(float(v)) ? "" : between(0, kLargestChamferAngle, " degrees");
    case Check::tip_chamfer_angle:
      return tip_chamfer_angle_ok(float(v)) ? "" : "must be greater than 0 and at most 89 degrees";
    case Check::pinion_shift:
      return gear_shift_ok(float(v)) ? "" : between(kSmallestShift - kLargestShift, kLargestShift - kSmallestShift);
    case Check::backlash_distribution:
      return backlash_distribution_ok(float(v)) ? "" : between(0, 1);
    case Check::on_off:
      return on_off_ok(int32_t(v)) ? "" : "must be 0 or 1";
    case Check::contact_stress_number:
      return not_given(float(v)) || contact_stress_number_ok(float(v)) ? "" : range_text(kContactStressNumberRange, " MPa");
    case Check::bending_stress_number:
      return not_given(float(v)) || bending_stress_number_ok(float(v)) ? "" : range_text(kBendingStressNumberRange, " MPa");
    case Check::poisson:
      return not_given(float(v)) || poisson_ok(float(v)) ? "" : range_text(kPoissonRange);
    case Check::modulus:
      return not_given(float(v)) || modulus_ok(float(v)) ? "" : range_text(kModulusRange, " MPa");
    case Check::yield_stress:
      return stored_yield_ok(float(v)) ? "" : "must be 0 (none given) or " + range_words(kYieldRange, " MPa");
    case Check::tensile_strength:
      return stored_tensile_ok(float(v)) ? "" : "must be 0 (none given) or " + range_words(kTensileRange, " MPa");
    case Check::hardness:  // converted between scales, so only its sign is the window's
      return v >= 0 ? "" : "must not be negative";
    case Check::roughness:
      return not_given(float(v)) || stored_roughness_ok(float(v)) ? "" : "must lie between " + bound_text(kRoughnessRange.lowest) + " (Ra, or Rz " +
                                                                            bound_text(kRoughnessRange.lowest) + " / 6) and " +
                                                                            bound_text(kRoughnessRange.highest) + " um";
    case Check::viscosity:
      return not_given(float(v)) || viscosity_ok(float(v)) ? "" : range_text(kViscosityRange, " mm2/s");
    case Check::application_factor:
      return not_given(float(v)) || application_factor_ok(float(v)) ? "" : range_text(kApplicationFactorRange);
    case Check::none:
    case Check::ball_diameter:
    case Check::recomputed:
    case Check::wheel_shift:
      break;
  }
  return "";
}

// The range check of the load-case value k (speed, torque, running time, misalignment); empty when the
// value passes.
std::string load_value_problem(int k, float v) {
  if (k == 3) return misalignment_ok(v) ? "" : range_text(kMisalignmentRange, " um");
  return not_given(v) || derived_load_ok(v) ? "" : "must not be negative";
}

// The number (1-based) of the fixed field that holds *value in c; 0 when none does.
int field_number_of(DesignData& c, const void* value) {
  for (int i = 0; i < kDesignFileFieldCount; ++i) {
    const Field& f = kFields[i];
    if ((f.real_ref && f.real_ref(c) == value) || (f.int_ref && f.int_ref(c) == value)) return i + 1;
  }
  return 0;
}

// The values whose range depends on another value of the file (the module, the modes, the numbers of
// teeth, the material type, the hardness scale), checked as the windows that take them check them.
// `read_through(n)` tells whether the file gave field n (a file that ends early keeps the earlier
// design's values, which passed these checks).
template <typename ReadThrough>
DesignFileResult linked_range_problem(DesignData& c, const std::string& file_name, ReadThrough read_through) {
  auto refuse = [&](const void* value, const std::string& what) {
    const int number = field_number_of(c, value);
    return rejected(file_name, number, kFields[number - 1].label, what);
  };
  auto given = [&](const void* value) { return read_through(field_number_of(c, value)); };
  const bool manager_active = c.geometry_manager_override != 1;
  const int32_t mode = manager_active ? c.geometry_manager_mode : 0;
  const float m = c.normal_module;
  const std::string per_module = " x the normal module";

  // Entered unless the geometry manager derives them: the numbers of teeth (mode 2) and the centre
  // distance (mode 0).
  for (int g = 0; g < 2; ++g)
    if (mode != 2 && given(&c.teeth[g]) && !teeth_ok(c.teeth[g]))
      return refuse(&c.teeth[g], between(kFewestTeeth, kMostTeeth));
  if ((mode == 1 || mode == 2) && given(&c.centre_distance) && !centre_distance_ok(c.centre_distance))
    return refuse(&c.centre_distance,
                  "must be greater than 0 and at most " + bound_text(kLargestCentreDistance) + " mm");

  // Lengths bounded by the module.
  struct Bounded {
    float* value;
    long double share;
  };
  const Bounded bounded[] = {
      {&c.edge_chamfer[0], kChamferPerModule},      {&c.edge_chamfer[1], kChamferPerModule},
      {&c.tip_chamfer[0], kChamferPerModule},       {&c.tip_chamfer[1], kChamferPerModule},
      {&c.root_fillet_radius[0], kFilletPerModule}, {&c.root_fillet_radius[1], kFilletPerModule},
  };
  // (The protuberance is bounded by the module where it is entered; the refresh raises it past that
  // bound to make room for a fillet the rack tip could not cut otherwise, and says so.)
  for (const Bounded& b : bounded)
    if (given(b.value) && !per_module_ok(*b.value, b.share, m))
      return refuse(b.value, "must lie between 0 and " + bound_text(double(b.share)) + per_module);
  // An edge chamfer also leaves half its gear's face between the chamfers at the two ends.
  for (int g = 0; g < 2; ++g)
    if (given(&c.edge_chamfer[g]) && given(&c.face_width[g]) &&
        !(c.edge_chamfer[g] <= largest_edge_chamfer(m, c.face_width[g])))
      return refuse(&c.edge_chamfer[g], "must lie between 0 and " + bound_text(double(kChamferPerModule)) +
                                            per_module + " and " + bound_text(double(kEdgeChamferPerFaceWidth)) +
                                            " x the gear's face width");

  // The geometry constraints, as the constraints window bounds them.
  struct Constrained {
    float (&values)[2];
    ConstraintRange range;
  };
  const Constrained constrained[] = {
      {c.min_eap_thickness_coeff, kThicknessConstraint},  {c.min_tip_thickness_coeff, kThicknessConstraint},
      {c.min_bottom_clearance_coeff, kClearanceConstraint}, {c.min_root_fillet_coeff, kRootFilletConstraint},
      {c.min_form_to_sap, kRadialDistanceConstraint},     {c.min_base_to_form, kRadialDistanceConstraint},
      {c.max_tip_diameter, kDiameterConstraint},          {c.min_root_diameter, kDiameterConstraint},
  };
  for (const Constrained& k : constrained) {
    for (float& v : k.values) {
      if (!given(&v) || constraint_ok(v, k.range, m)) continue;
      if (k.range.per_module != 0) return refuse(&v, "must lie between 0 and " + bound_text(k.range.per_module) + per_module);
      if (k.range.upper < 1e30) return refuse(&v, between(0, k.range.upper));
      return refuse(&v, "must not be negative");
    }
  }

  // Teeth spanned as entered (the default off): at least one and at most the gear's teeth.
  if (c.default_span_teeth == 0)
    for (int g = 0; g < 2; ++g)
      if (given(&c.span_teeth[g]) && !(c.span_teeth[g] >= 1 && c.span_teeth[g] <= c.teeth[g]))
        return refuse(&c.span_teeth[g], "must lie between 1 and the gear's number of teeth");

  // The rating inputs of each gear: a hardness in its scale's range, limited pitting where the
  // material allows it.
  for (int g = 0; g < 2; ++g) {
    const float h = c.surface_hardness[g];
    if (given(&c.surface_hardness[g]) && given(&c.hardness_scale) && !not_given(h) &&
        !stored_hardness_ok(h, c.hardness_scale)) {
      const HardnessRange& r = kHeldHardnessRanges[c.hardness_scale];
      return refuse(&c.surface_hardness[g], between(r.lowest, r.highest) + " in the design's hardness scale");
    }
    if (given(&c.limited_pitting[g]) && c.limited_pitting[g] == 1 && !allows_limited_pitting(c.material_type[g]))
      return refuse(&c.limited_pitting[g], "must be 0: the gear's material type allows no limited pitting");
  }
  return {};
}

// The values whose range the windows take from the geometry (the common face width, the outside and
// base diameters, the form and end of active profile), checked against `worked`, the design read into
// c with its geometry worked out as the program does after opening it.
DesignFileResult worked_range_problem(DesignData& c, const DesignData& worked, const std::string& file_name) {
  auto refuse = [&](const void* value, const std::string& what) {
    const int number = field_number_of(c, value);
    return rejected(file_name, number, kFields[number - 1].label, what);
  };
  if (!face_offset_ok(c.face_width_offset, worked.active_face_width))
    return refuse(&c.face_width_offset, "must lie within " + bound_text(double(kFaceOffsetShare)) +
                                            " x the common face width either way");
  for (int g = 0; g < 2; ++g) {
    // The tip chamfer angle is not judged against the pressure angle at the outside diameter here: that
    // angle moves with every change of teeth, shift or tip after the chamfer was typed, and a design the
    // windows reach that way must still save; the chamfer window judges the angle as it is typed.
    if (c.default_ball_diameter == 0 && !ball_fits(worked, g))
      return refuse(&c.ball_diameter[g],
                    "must touch the flank between the form circle and the end of the active profile, clear of the root");
    if (c.default_span_teeth == 0 && !span_fits(worked, g))
      return refuse(&c.span_teeth[g],
                    "must give a span that touches the flank between the form circle and the end of the active profile");
  }
  return {};
}

}  // namespace

void work_out_opened_design(DesignData& d) {
  d.tooth_proportion_mode = 0;
  d.shift_distribution_auto = 0;
  if (d.geometry_manager_override == 1) d.geometry_manager_mode = 0;
  d.history_mode = 0;
  std::vector<std::string> reports;  // domain errors belong to the refresh that shows the design
  const DomainErrorCollector quiet(reports);
  refresh_design(d);
}

namespace {

enum class WorkOut { yes, no };

DesignFileResult read_stream(DesignData& d, std::FILE* file, const std::string& file_name, WorkOut work_out) {
  auto copy = std::make_unique<DesignData>(d);
  DesignData& c = *copy;
  Tokenizer tokens(file);
  std::string_view token;

  auto bad_token = [&](int number, const char* label, Tokenizer::Result result, std::string_view what) {
    if (result == Tokenizer::Result::too_long) return rejected(file_name, number, label, "is too long");
    // Built by appending: GCC 12 warns (-Wrestrict) about a possible overlap in the inlined
    // `const char* + std::string&&`, which cannot happen here.
    std::string quoted = "\"";
    quoted += shown_token(token);
    quoted += "\" ";
    quoted += what;
    return rejected(file_name, number, label, quoted);
  };
  // A value that runs up to the end of the file without a line end, where more values must follow, may
  // have been cut anywhere ("27.879999" cut to "27.8"): it is not taken.
  auto cut = [&](int number, const char* label) {
    return bad_token(number, label, Tokenizer::Result::token, "is cut off: the file ends inside it");
  };
  DesignFileResult result;  // ok; a note for the user where the file is read with a remark

  // Fixed fields.
  int ended_at = 0;  // the field at which the file ended, 0 when all 129 were read
  for (int i = 0; i < kDesignFileFieldCount; ++i) {
    const Field& f = kFields[i];
    const int number = i + 1;
    const auto next = tokens.next(token);
    if (stream_failure(next)) return stream_failed(file_name, next);
    if (next == Tokenizer::Result::end) {
      if (number == 1) return refused_whole(file_name, DesignFileStatus::malformed, "the file is empty");
      ended_at = number;
      break;
    }
    if (next == Tokenizer::Result::token && tokens.cut_by_end() && number < kDesignFileFieldCount)
      return cut(number, f.label);
    switch (f.kind) {
      case Kind::version:
      case Kind::integer:
      case Kind::flag:
      case Kind::reserved_int: {
        int32_t v = 0;
        if (next != Tokenizer::Result::token || !parse_int(token, v))
          return bad_token(number, f.label, next, "is not a whole number in range");
        if (f.kind == Kind::integer) {
          if (const std::string problem = range_problem(f.check, v); !problem.empty())
            return rejected(file_name, number, f.label, problem);
          *f.int_ref(c) = v;
        } else if (f.kind == Kind::flag) {
          *f.flag_ref(c) = v == 1 ? 1 : 0;
        }
        break;
      }
      case Kind::real:
      case Kind::exponent:
      case Kind::reserved_real: {
        float v = 0.0f;
        const RealParse p = next == Tokenizer::Result::token ? parse_real(token, v, f.check == Check::recomputed)
                                                             : RealParse::not_a_number;
        if (p == RealParse::out_of_range) return bad_token(number, f.label, next, "is out of range");
        if (p != RealParse::ok) return bad_token(number, f.label, next, "is not a number");
        if (f.kind == Kind::reserved_real) break;
        if (const std::string problem = range_problem(f.check, v); !problem.empty())
          return rejected(file_name, number, f.label, problem);
        *f.real_ref(c) = v;
        break;
      }
    }
  }
  // A ball diameter is used as entered only while the default is off: then it must be positive.
  if ((ended_at == 0 || ended_at > 33) && c.default_ball_diameter == 0) {
    for (int g = 0; g < 2; ++g) {
      if (!(c.ball_diameter[g] > 0.0f))
        return rejected(file_name, 32 + g, kFields[31 + g].label, "must be greater than zero");
    }
  }
  // Checks that depend on the modes the file holds (a file that ends early keeps the earlier design's
  // values, which passed them).
  auto read_through = [&](int number) { return ended_at == 0 || ended_at > number; };
  // The wheel's shift is entered unless the numbers of teeth and the shift sum follow the centre
  // distance (mode 2, manager active): there it is derived, and worked out again on opening.
  if (read_through(kWheelShiftField) && (c.geometry_manager_mode != 2 || c.geometry_manager_override == 1) &&
      !gear_shift_ok(c.profile_shift[1]))
    return rejected(file_name, kWheelShiftField, kFields[kWheelShiftField - 1].label,
                    between(kSmallestShift - kLargestShift, kLargestShift - kSmallestShift));
  // With the geometry manager active the backlash is entered; overridden, it follows from the finished
  // thicknesses. The window takes at most its share of the module as it is typed; a module made smaller
  // afterwards leaves it above that share, and such a design still saves up to three times the share,
  // which thins no tooth away.
  if (read_through(kBacklashField) && c.geometry_manager_override != 1 &&
      !(c.backlash_normal >= -module_share(kBacklashPerModule * kHeldBacklashRounding, c.normal_module) &&
        c.backlash_normal <= module_share(3.0L * kBacklashPerModule, c.normal_module)))
    return rejected(file_name, kBacklashField, kFields[kBacklashField - 1].label,
                    "must lie between 0 and " + bound_text(3.0 * double(kBacklashPerModule)) + " x the normal module");
  if (const DesignFileResult r = linked_range_problem(c, file_name, read_through); !r.ok()) return r;
  // A base pitch error is entered unless it follows the accuracy grade.
  for (int g = 0; g < 2; ++g) {
    const int number = kBasePitchErrorField[g];
    const float e = c.base_pitch_error[g];
    const bool ok = c.pitch_error_from_grade == 1 ? e >= 0.0f : pitch_error_ok(e);
    if (read_through(number) && !ok)
      return rejected(file_name, number, kFields[number - 1].label,
                      c.pitch_error_from_grade == 1 ? "must not be negative" : range_text(kPitchErrorRange, " um"));
  }
  // Each S-N curve given is a curve: its points above zero, at rising load cycles.
  for (int g = 0; g < 2; ++g) {
    const SnCurveProblem sn = sn_curve_problem(c, g, true);
    if (sn.ok()) continue;
    int number = 0;
    for (int k = 0; k < kDesignFileFieldCount && !number; ++k)
      if (kFields[k].real_ref && kFields[k].real_ref(c) == sn.value) number = k + 1;
    if (number && read_through(number)) return rejected(file_name, number, kFields[number - 1].label, sn.text);
  }
  if (ended_at != 0) {
    result.note = named(file_name) + " ends before field " + std::to_string(ended_at) + ", " +
                  kFields[ended_at - 1].label + ": that field, the fields after it and the load cases " +
                  kFieldsKeptNote;
  }

  // Load cases: five values each, at most the nine the windows and the list keep; a record cut short
  // by the end of the file is not taken, and neither are records beyond the ninth. Either is said in
  // the note.
  if (ended_at == 0) {
    int count = 0;
    while (count < kLoadCasesUsable) {
      float values[4] = {};
      int32_t fixed_for = 0;
      int read = 0;
      for (int k = 0; k < 5; ++k) {
        const int number = kDesignFileFieldCount + 1 + count * 5 + k;
        const auto next = tokens.next(token);
        if (stream_failure(next)) return stream_failed(file_name, next);
        if (next == Tokenizer::Result::end) break;
        const char* label = kLoadCaseLabels[k];
        if (next == Tokenizer::Result::token && tokens.cut_by_end() && k < 4) return cut(number, label);
        if (k < 4) {
          const RealParse p = next == Tokenizer::Result::token ? parse_real(token, values[k]) : RealParse::not_a_number;
          if (p == RealParse::out_of_range) return bad_token(number, label, next, "is out of range");
          if (p != RealParse::ok) return bad_token(number, label, next, "is not a number");
          if (const std::string problem = load_value_problem(k, values[k]); !problem.empty())
            return rejected(file_name, number, label, problem);
        } else if (next != Tokenizer::Result::token || !parse_int(token, fixed_for)) {
          return bad_token(number, label, next, "is not a whole number in range");
        } else if (!load_fixed_for_ok(fixed_for)) {
          return rejected(file_name, number, label, "must be 1 (pinion) or 2 (wheel)");
        }
        ++read;
      }
      if (read < 5) {
        if (read > 0)
          result.note = named(file_name) + " ends inside load case " + std::to_string(count + 1) + ", before field " +
                        std::to_string(kDesignFileFieldCount + 1 + count * 5 + read) + ": that load case was not read";
        else if (count == 0)  // the end of the fixed fields, or a file cut inside its last one
          result.note = named(file_name) + " ends after field " + std::to_string(kDesignFileFieldCount) +
                        " and holds no load case: " + kLoadCasesKeptNote;
        break;
      }
      c.speed = values[0];
      c.torque = values[1];
      c.life_hours = values[2];
      c.f_beta_x = values[3];
      c.load_data_fixed_for = fixed_for;
      c.load_case_table[count] = LoadCase{c.speed, c.torque, c.life_hours, c.f_beta_x};
      c.load_case_fixed_for[count] = c.load_data_fixed_for;
      ++count;
      c.load_case_count = count;
    }
    if (count == kLoadCasesUsable) {
      const auto next = tokens.next(token);
      if (stream_failure(next)) return stream_failed(file_name, next);
      if (next != Tokenizer::Result::end)
        result.note = named(file_name) + " holds more than " + std::to_string(kLoadCasesUsable) +
                      " load cases: only the first " + std::to_string(kLoadCasesUsable) + " were read";
    }
  }

  // The table always holds at least one case and never more than it has room for.
  c.load_case_count = clamped_load_case_count(c);
  if (c.load_case_count == 0) {
    c.load_case_table[0] = LoadCase{c.speed, c.torque, c.life_hours, c.f_beta_x};
    c.load_case_fixed_for[0] = c.load_data_fixed_for == 2 ? 2 : 1;
    c.load_case_count = 1;
  }

  derive_ratios(c);
  derive_cycles_and_power_as_read(c);
  c.wheel_load = DesignData::WheelLoad{};  // the file's load stands for the file's teeth
  c.application_factor_enabled = 1;

  // The design must stay one the program can save once its geometry is worked out, as every reader's
  // caller does next: a module, centre distance or other stored value that the geometry passes would
  // take out of the ranges above is refused now, not at the next Save.
  if (work_out == WorkOut::yes) {
    auto worked = std::make_unique<DesignData>(c);
    work_out_opened_design(*worked);
    const DesignFileResult check = check_design_values(*worked);
    if (check.status == DesignFileStatus::cannot_read)
      return refused_whole(file_name, DesignFileStatus::cannot_read, "the design could not be checked");
    if (!check.ok() && check.field == field_number_of(c, &c.normal_module) && c.geometry_manager_override != 1 &&
        c.geometry_manager_mode == 1) {
      // The module follows the centre distance: the value the window would have refused is the centre
      // distance, with these numbers of teeth.
      const int number = field_number_of(c, &c.centre_distance);
      return rejected(file_name, number, kFields[number - 1].label,
                      "gives a normal module of " + bound_text(worked->normal_module) +
                          " mm with these numbers of teeth, which " + between(kSmallestModule, kLargestModule, " mm"));
    }
    if (check.ok())
      if (const DesignFileResult r = worked_range_problem(c, *worked, file_name); !r.ok()) return r;
    if (!check.ok()) {
      DesignFileResult r = refused_whole(file_name, DesignFileStatus::malformed,
                                         "its geometry, worked out, gives a design that cannot be saved: " +
                                             check.detail);
      r.field = check.field;
      return r;
    }
  }
  d = c;
  return result;
}

// ---------------------------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------------------------

// Formats numbers in the C locale for the life of the object, whatever the process locale.
class CNumericLocale {
 public:
  CNumericLocale() : c_(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {
    if (c_) previous_ = uselocale(c_);
  }
  ~CNumericLocale() {
    if (c_) {
      uselocale(previous_);
      freelocale(c_);
    }
  }
  CNumericLocale(const CNumericLocale&) = delete;
  CNumericLocale& operator=(const CNumericLocale&) = delete;

 private:
  locale_t c_;
  locale_t previous_ = nullptr;
};

// Appends one formatted value; every line feed of the format is written as CR LF.
template <typename... Args>
void put(std::string& out, const char* format, Args... args) {
  char buffer[96];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  const std::size_t len = n < 0 ? 0 : (static_cast<std::size_t>(n) < sizeof buffer ? n : sizeof buffer - 1);
  for (std::size_t i = 0; i < len; ++i) {
    if (buffer[i] == '\n') out += '\r';
    out += buffer[i];
  }
}

// A real as the file format writes it ("%f", or "%e" for the cycle counts) where that text reads back
// as the same 32-bit value; otherwise the shortest text that does, in fixed or exponent notation,
// whichever is shorter. Every reader of "%f" takes either, and a value opened again is the value saved,
// so that saving and opening a design never moves it (six decimals would round a module of 2.4225817
// mm, from which the next refresh derives other values again). NaN and infinities print as "nan" and
// "inf" (only the recomputed fields may hold them; the writer's check refuses the rest).
std::string real_text(float v, bool exponent) {
  char buffer[96];
  const int n = std::snprintf(buffer, sizeof buffer, exponent ? "%e" : "%f", static_cast<double>(v));
  const std::size_t len = n < 0 ? 0 : std::min<std::size_t>(std::size_t(n), sizeof buffer - 1);
  if (!std::isfinite(v)) return std::string(buffer, len);
  float back = 0.0f;
  const auto read = std::from_chars(buffer, buffer + len, back, std::chars_format::general);
  if (read.ec == std::errc() && read.ptr == buffer + len && back == v) return std::string(buffer, len);
  char fixed[96], scientific[96];
  const auto f = std::to_chars(fixed, fixed + sizeof fixed, v, std::chars_format::fixed);
  const auto e = std::to_chars(scientific, scientific + sizeof scientific, v, std::chars_format::scientific);
  if (f.ec == std::errc() && (e.ec != std::errc() || f.ptr - fixed <= e.ptr - scientific))
    return std::string(fixed, f.ptr);
  return std::string(scientific, e.ptr);
}

// Appends text; every line feed is written as CR LF.
void put_text(std::string& out, std::string_view text) {
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
}

}  // namespace

std::string design_file_text(DesignData& d) {
  CNumericLocale c_locale;
  std::string out;
  out.reserve(4096);
  if (d.history_mode) {
    put(out, "%d xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n", static_cast<int>(d.history_record_number));
  }
  for (int i = 0; i < kDesignFileFieldCount; ++i) {
    const Field& f = kFields[i];
    const bool last = i == kDesignFileFieldCount - 1;
    switch (f.kind) {
      case Kind::version: put(out, "%d\n", kDesignFileVersionTag); break;
      case Kind::integer: put(out, "%d\n", static_cast<int>(*f.int_ref(d))); break;
      case Kind::real: put_text(out, real_text(*f.real_ref(d), false) + "\n"); break;
      case Kind::exponent: put_text(out, real_text(*f.real_ref(d), true) + "\n"); break;
      case Kind::flag: put(out, "%d\n", *f.flag_ref(d) == 1 ? 1 : 0); break;
      case Kind::reserved_int: put(out, "%d\n", 0); break;
      case Kind::reserved_real: put(out, last ? "%f" : "%f\n", 0.0); break;
    }
    if (i + 1 == kLastGeometryField) derive_ratios(d);
  }
  const int count = clamped_load_case_count(d);
  for (int k = 0; k < count; ++k) {
    const LoadCase& lc = d.load_case_table[k];
    for (const float v : {lc.speed, lc.torque, lc.life_hours, lc.f_beta_x}) put_text(out, "\n" + real_text(v, false));
    put(out, "\n%d", static_cast<int>(d.load_case_fixed_for[k]));
  }
  if (d.history_mode) out += "\r\n";
  return out;
}

void restore_design_values(DesignData& d, const DesignData& kept) {
  const auto from = std::make_unique<DesignData>(kept);  // the field table reaches a design it may change
  for (const Field& f : kFields) {
    switch (f.kind) {
      case Kind::integer: *f.int_ref(d) = *f.int_ref(*from); break;
      case Kind::real:
      case Kind::exponent: *f.real_ref(d) = *f.real_ref(*from); break;
      case Kind::flag: *f.flag_ref(d) = *f.flag_ref(*from); break;
      case Kind::version:
      case Kind::reserved_int:
      case Kind::reserved_real: break;
    }
  }
  std::copy(std::begin(kept.load_case_table), std::end(kept.load_case_table), std::begin(d.load_case_table));
  std::copy(std::begin(kept.load_case_fixed_for), std::end(kept.load_case_fixed_for), std::begin(d.load_case_fixed_for));
  d.load_case_count = kept.load_case_count;
  d.speed = kept.speed;
  d.torque = kept.torque;
  d.life_hours = kept.life_hours;
  d.f_beta_x = kept.f_beta_x;
  d.load_data_fixed_for = kept.load_data_fixed_for;
  d.wheel_load = kept.wheel_load;
  d.load_cycles_pinion = kept.load_cycles_pinion;
  d.load_cycles_wheel = kept.load_cycles_wheel;
  d.power = kept.power;
  d.actual_ratio = kept.actual_ratio;
  d.desired_ratio = kept.desired_ratio;
  d.profile_shift_sum = kept.profile_shift_sum;
  d.application_factor_enabled = kept.application_factor_enabled;
}

DesignFileResult read_design_stream(DesignData& d, std::FILE* file) {
  return read_stream(d, file, "", WorkOut::yes);
}

DesignFileResult read_design_file_bytes(const std::string& path, std::string& bytes) {
  // Opened without waiting, so that a pipe without a writer cannot hold the program; only a regular
  // file of a design file's length is read.
  const FileReadResult read = read_regular_file(path, kMaxDesignFileBytes, bytes);
  DesignFileResult r;
  switch (read.status) {
    case FileReadStatus::ok:
      return r;
    case FileReadStatus::too_long:
      return refused_whole(path, DesignFileStatus::malformed, "the file is too long for a design file");
    case FileReadStatus::read_error:
      return refused_whole(path, DesignFileStatus::cannot_read, "the file could not be read to its end");
    case FileReadStatus::missing:
    case FileReadStatus::cannot_open:
    case FileReadStatus::not_regular:
      break;
  }
  r.status = DesignFileStatus::cannot_open;
  r.detail = read.reason;
  r.message = "Cannot open design file " + path + ": " + read.reason;
  return r;
}

DesignFileResult read_design_text(DesignData& d, const std::string& bytes, const std::string& file_name) {
  std::FILE* file = ::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (bytes.empty() || !file) {  // fmemopen takes no empty buffer
    if (file) std::fclose(file);
    return bytes.empty() ? refused_whole(file_name, DesignFileStatus::malformed, "the file is empty")
                         : refused_whole(file_name, DesignFileStatus::cannot_read, "the file could not be read");
  }
  DesignFileResult r = read_stream(d, file, file_name, WorkOut::yes);
  std::fclose(file);
  return r;
}

DesignFileResult read_design_file(DesignData& d) {
  const std::string name(text_of(d.design_file_name));
  std::string bytes;
  const DesignFileResult read = read_design_file_bytes(name, bytes);
  if (!read.ok()) return read;
  return read_design_text(d, bytes, name);
}

DesignFileResult check_design_text(const DesignData& d, const std::string& text) {
  auto copy = std::make_unique<DesignData>(d);
  return read_design_text(*copy, text, "");
}

DesignFileResult check_design_values(const DesignData& d) {
  auto copy = std::make_unique<DesignData>(d);
  const std::string text = design_file_text(*copy);
  std::FILE* file = ::fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
  if (!file) return refused_whole("", DesignFileStatus::cannot_read, "the design could not be checked");
  DesignFileResult r = read_stream(*copy, file, "", WorkOut::no);
  std::fclose(file);
  return r;
}

std::string unsavable_after_refresh(const DesignData& d) {
  auto copy = std::make_unique<DesignData>(d);
  {
    std::vector<std::string> reports;  // the refresh that shows the design reports them
    const DomainErrorCollector quiet(reports);
    refresh_design(*copy);
  }
  copy->history_mode = 0;
  const std::string text = design_file_text(*copy);
  const DesignFileResult check = check_design_text(*copy, text);
  return check.ok() ? std::string() : check.detail;
}

DesignFileResult write_design_file(DesignData& d, WriteTarget target) {
  const bool history = d.history_mode != 0;
  const std::string name = history ? std::string(kHistoryFileName) : std::string(text_of(d.design_file_name));
  const std::string text = design_file_text(d);
  DesignFileResult r;
  if (!history) {
    // Nothing is written that the reader would refuse.
    const DesignFileResult check = check_design_text(d, text);
    if (!check.ok()) {
      r.status = DesignFileStatus::not_storable;
      r.field = check.field;
      r.detail = check.detail;
      r.message = "The design was not saved to " + name + ": " + check.detail;
      return r;
    }
  }
  const FileWriteResult written = history ? append_file(name, text, {kMaxHistoryBytes, kOlderHistoryFileName})
                                          : replace_file(name, text, target);
  if (!written.ok()) {
    r.status = written.opened ? DesignFileStatus::write_failed : DesignFileStatus::cannot_open;
    r.message = written.message + (history || !written.opened ? "" : "; the file was left as it was");
  }
  return r;
}

}  // namespace morvell
