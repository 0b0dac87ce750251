#include "backlash_chain.h"

#include <memory>
#include <utility>

#include "geometry_pass.h"

namespace morvell {

// The fields of each record under their names in the design data: one list for the way out of the
// design data and the way back.
#define MV_BACKLASH_CARRIED(X) \
  X(backlash_normal) X(thickness_finished_transverse[0]) X(thickness_finished_transverse[1])
#define MV_BACKLASH_INPUTS(X)                                                                      \
  X(centre_distance) X(centre_distance_from_shifts) X(working_transverse_pressure_angle)           \
  X(working_normal_pressure_angle) X(transverse_pressure_angle) X(base_helix_angle) X(helix_angle) \
  X(backlash_distribution) X(thickness_nominal_transverse[0]) X(thickness_nominal_transverse[1])   \
  X(base_diameter[0]) X(base_diameter[1]) X(geometry_manager_override)
#define MV_FROM_DESIGN(field) copy_field(record.field, d.field);
#define MV_TO_DESIGN(field) copy_field(d.field, record.field);

namespace {

// Copies one field; both sides must have the same type.
template <typename T>
void copy_field(T& to, const T& from) {
  to = from;
}

// Puts what one geometry pass read back into the design data.
void restore_backlash_inputs(const BacklashInputs& record, DesignData& d) { MV_BACKLASH_INPUTS(MV_TO_DESIGN) }

}  // namespace

BacklashCarried backlash_carried_by(const DesignData& d) {
  BacklashCarried record;
  MV_BACKLASH_CARRIED(MV_FROM_DESIGN)
  return record;
}

void carry_backlash(const BacklashCarried& record, DesignData& d) { MV_BACKLASH_CARRIED(MV_TO_DESIGN) }

BacklashInputs backlash_inputs_of(const DesignData& d) {
  BacklashInputs record;
  MV_BACKLASH_INPUTS(MV_FROM_DESIGN)
  return record;
}

#undef MV_BACKLASH_CARRIED
#undef MV_BACKLASH_INPUTS
#undef MV_FROM_DESIGN
#undef MV_TO_DESIGN

void follow_backlash(const DesignData& before_search, const std::vector<BacklashInputs>& inputs, std::size_t first,
                     BacklashCarried carried, std::vector<BacklashCarried>& into) {
  auto scratch = std::make_unique<DesignData>(before_search);
  for (std::size_t i = first; i < inputs.size(); ++i) {
    into[i] = carried;
    restore_backlash_inputs(inputs[i], *scratch);
    carry_backlash(carried, *scratch);
    finish_thicknesses_and_backlash(*scratch);
    carried = backlash_carried_by(*scratch);
  }
  if (inputs.size() < into.size()) into[inputs.size()] = carried;
}

namespace {
thread_local std::vector<BacklashInputs>* recorder = nullptr;
}  // namespace

BacklashRecorder::BacklashRecorder(std::vector<BacklashInputs>& passes)
    : previous_(std::exchange(recorder, &passes)) {}

BacklashRecorder::~BacklashRecorder() { recorder = previous_; }

void recording_geometry(DesignData& d) {
  calc_gear_geometry(d);
  if (recorder) recorder->push_back(backlash_inputs_of(d));
}

void recording_geometry_without_inspection(DesignData& d) {
  calc_gear_geometry_without_inspection(d);
  if (recorder) recorder->push_back(backlash_inputs_of(d));
}

}  // namespace morvell
