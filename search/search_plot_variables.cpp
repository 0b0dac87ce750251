#include "search_plot_variables.h"

#include <cmath>
#include <limits>

namespace morvell {

namespace {

// A real pair of SearchRanges with the design quantity it bounds.
struct RealPair {
  float (*value)(const DesignData&);
  float& (*min)(DesignData&);
  float& (*max)(DesignData&);
};

#define MORVELL_PAIR(value_expr, min_field, max_field)                \
  RealPair {                                                          \
    [](const DesignData& d) -> float { return value_expr; },          \
        [](DesignData& d) -> float& { return d.min_field; },          \
        [](DesignData& d) -> float& { return d.max_field; }           \
  }

// In the order of the filter test (the tooth pair comes second there and is handled on its own).
const RealPair kPairs[] = {
    MORVELL_PAIR(d.normal_module, search_module_min, search_module_max),
    MORVELL_PAIR(d.helix_angle, search_helix_angle_min, search_helix_angle_max),
    MORVELL_PAIR(d.normal_pressure_angle, search_pressure_angle_min, search_pressure_angle_max),
    MORVELL_PAIR(d.axial_contact_ratio, filter_axial_contact_ratio_min, filter_axial_contact_ratio_max),
    MORVELL_PAIR(d.transverse_contact_ratio, filter_transverse_contact_ratio_min, filter_transverse_contact_ratio_max),
    MORVELL_PAIR(d.profile_shift_sum, filter_shift_sum_min, filter_shift_sum_max),
    MORVELL_PAIR(d.actual_ratio, filter_ratio_min, filter_ratio_max),
    MORVELL_PAIR(d.contact_safety_factor[0], filter_contact_safety_min[0], filter_contact_safety_max[0]),
    MORVELL_PAIR(d.bending_safety_factor_pinion, filter_bending_safety_min[0], filter_bending_safety_max[0]),
    MORVELL_PAIR(d.contact_safety_factor[1], filter_contact_safety_min[1], filter_contact_safety_max[1]),
    MORVELL_PAIR(d.bending_safety_factor_wheel, filter_bending_safety_min[1], filter_bending_safety_max[1]),
    MORVELL_PAIR(d.contact_stress[0], filter_contact_stress_min[0], filter_contact_stress_max[0]),
    MORVELL_PAIR(d.nominal_contact_stress, filter_nominal_contact_stress_min, filter_nominal_contact_stress_max),
    MORVELL_PAIR(d.tooth_root_stress_pinion, filter_root_stress_min[0], filter_root_stress_max[0]),
    MORVELL_PAIR(d.nominal_bending_stress_pinion, filter_nominal_root_stress_min[0], filter_nominal_root_stress_max[0]),
    MORVELL_PAIR(d.contact_stress[1], filter_contact_stress_min[1], filter_contact_stress_max[1]),
    MORVELL_PAIR(d.tooth_root_stress_wheel, filter_root_stress_min[1], filter_root_stress_max[1]),
    MORVELL_PAIR(d.nominal_bending_stress_wheel, filter_nominal_root_stress_min[1], filter_nominal_root_stress_max[1]),
};
#undef MORVELL_PAIR

constexpr int kTransverseContactRatioPair = 4;

// Plot variable -> index into kPairs (-1: the pinion teeth).
constexpr int kVariablePair[kPlotVariableCount] = {0,  -1, 1,  2,  3,  4,  5,  6,  7,  8,
                                                   9,  10, 11, 12, 13, 14, 15, 12, 16, 17};

const char* const kNames[kPlotVariableCount] = {
    "Module",          "Pinion Teeth",         "Helix Angle",            "Press. Angle",
    "Axial C.R.",      "Transv. C.R.",         "SigmaX",                 "Ratio",
    "Pin. Cont. S.F.", "Pin. Bend. S.F.",      "Wheel Cont. S.F.",       "Wheel Bend. S.F.",
    "Pin. Act. Cont. Stress", "Pin. Nom. Cont. Stress", "Pin. Act. Bend. Stress", "Pin. Nom. Bend. Stress",
    "Wheel Act. Cont. Stress", "Wheel Nom. Cont. Stress", "Wheel Act. Bend. Stress", "Wheel Nom. Bend. Stress"};

bool valid(int index) { return index >= 0 && index < kPlotVariableCount; }

bool outside(float v, float lo, float hi) { return v > hi || v < lo; }

}  // namespace

const char* plot_variable_name(int index) { return valid(index) ? kNames[index] : ""; }

bool plot_variable_value(const DesignData& d, int index, float& v) {
  if (!valid(index)) return false;
  v = kVariablePair[index] < 0 ? float(d.teeth[0]) : kPairs[kVariablePair[index]].value(d);
  return true;
}

bool plot_variable_range(const DesignData& d, int index, float& min, float& max) {
  if (!valid(index)) return false;
  if (kVariablePair[index] < 0) {
    min = float(d.search_teeth_min);
    max = float(d.search_teeth_max);
  } else {
    DesignData& m = const_cast<DesignData&>(d);  // the accessors only read here
    min = kPairs[kVariablePair[index]].min(m);
    max = kPairs[kVariablePair[index]].max(m);
  }
  return true;
}

void set_plot_variable_range(DesignData& d, int index, float min, float max) {
  if (!valid(index)) return;
  if (kVariablePair[index] < 0) {
    // Truncated toward zero, within the 32-bit range (a value that is not a number keeps the bound).
    auto teeth = [](float v, int32_t keep) {
      if (!std::isfinite(v)) return keep;
      const double t = std::trunc(double(v));
      return t > 2147483647.0 ? INT32_MAX : t < -2147483648.0 ? INT32_MIN : int32_t(t);
    };
    d.search_teeth_min = teeth(min, d.search_teeth_min);
    d.search_teeth_max = teeth(max, d.search_teeth_max);
  } else {
    kPairs[kVariablePair[index]].min(d) = min;
    kPairs[kVariablePair[index]].max(d) = max;
  }
}

bool zoom_plot_variable_range(DesignData& d, int index, float min, float max) {
  float lo = 0, hi = 0;
  if (!plot_variable_range(d, index, lo, hi) || !std::isfinite(min) || !std::isfinite(max)) return false;
  const float new_min = std::fmax(min, lo), new_max = std::fmin(max, hi);
  const bool accepted = kVariablePair[index] < 0 ? std::trunc(double(new_max)) - std::trunc(double(new_min)) >= 1
                                                 : new_min < new_max;
  if (accepted) set_plot_variable_range(d, index, new_min, new_max);
  return accepted;
}

bool outside_search_ranges(const DesignData& d) {
  DesignData& m = const_cast<DesignData&>(d);  // the accessors only read here
  bool out = outside(kPairs[0].value(d), kPairs[0].min(m), kPairs[0].max(m));
  if (d.teeth[0] > d.search_teeth_max || d.teeth[0] < d.search_teeth_min) out = true;
  for (int k = 1; k < int(std::size(kPairs)); ++k)
    if (outside(kPairs[k].value(d), kPairs[k].min(m), kPairs[k].max(m))) out = true;
  return out;
}

SearchExtents::SearchExtents(const DesignData& d) : teeth_min_(d.search_teeth_min), teeth_max_(d.search_teeth_max) {
  for (int k = 0; k < kPairCount; ++k) {
    lo_[k] = std::numeric_limits<float>::infinity();
    hi_[k] = -std::numeric_limits<float>::infinity();
  }
}

void SearchExtents::add(const DesignData& d) {
  for (int k = 0; k < kPairCount; ++k) {
    const float v = morvell::kPairs[k].value(d);
    if (!std::isfinite(v)) continue;
    if (v < lo_[k]) lo_[k] = v;
    if (v > hi_[k]) hi_[k] = v;
  }
  // The transverse contact ratio's lower bound never goes below 1.0.
  if (lo_[kTransverseContactRatioPair] < 1.0f) lo_[kTransverseContactRatioPair] = 1.0f;
  if (d.teeth[0] < teeth_min_) teeth_min_ = d.teeth[0];
  if (d.teeth[0] > teeth_max_) teeth_max_ = d.teeth[0];
}

void SearchExtents::apply(DesignData& d) const {
  for (int k = 0; k < kPairCount; ++k) {
    if (!std::isfinite(hi_[k])) continue;  // no value reached this pair
    morvell::kPairs[k].min(d) = lo_[k];
    morvell::kPairs[k].max(d) = hi_[k];
  }
  d.search_teeth_min = teeth_min_;
  d.search_teeth_max = teeth_max_;
}

}  // namespace morvell
