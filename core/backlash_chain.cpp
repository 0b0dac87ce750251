#include "backlash_chain.h"

#include <memory>
#include <utility>

#include "geometry_pass.h"

namespace morvell {

BacklashCarried backlash_carried_by(const DesignData& d) {
  return {d.backlash_normal, {d.thickness_finished_transverse[0], d.thickness_finished_transverse[1]}};
}

void carry_backlash(const BacklashCarried& c, DesignData& d) {
  d.backlash_normal = c.backlash_normal;
  d.thickness_finished_transverse[0] = c.thickness_finished_transverse[0];
  d.thickness_finished_transverse[1] = c.thickness_finished_transverse[1];
}

BacklashInputs backlash_inputs_of(const DesignData& d) {
  BacklashInputs in;
  in.centre_distance = d.centre_distance;
  in.centre_distance_from_shifts = d.centre_distance_from_shifts;
  in.working_transverse_pressure_angle = d.working_transverse_pressure_angle;
  in.working_normal_pressure_angle = d.working_normal_pressure_angle;
  in.transverse_pressure_angle = d.transverse_pressure_angle;
  in.base_helix_angle = d.base_helix_angle;
  in.helix_angle = d.helix_angle;
  in.backlash_distribution = d.backlash_distribution;
  in.thickness_nominal_transverse[0] = d.thickness_nominal_transverse[0];
  in.thickness_nominal_transverse[1] = d.thickness_nominal_transverse[1];
  in.base_diameter[0] = d.base_diameter[0];
  in.base_diameter[1] = d.base_diameter[1];
  in.geometry_manager_override = d.geometry_manager_override;
  return in;
}

void follow_backlash(const DesignData& before_search, const std::vector<BacklashInputs>& inputs, std::size_t first,
                     BacklashCarried carried, std::vector<BacklashCarried>& into) {
  auto scratch = std::make_unique<DesignData>(before_search);
  for (std::size_t i = first; i < inputs.size(); ++i) {
    into[i] = carried;
    const BacklashInputs& in = inputs[i];
    scratch->centre_distance = in.centre_distance;
    scratch->centre_distance_from_shifts = in.centre_distance_from_shifts;
    scratch->working_transverse_pressure_angle = in.working_transverse_pressure_angle;
    scratch->working_normal_pressure_angle = in.working_normal_pressure_angle;
    scratch->transverse_pressure_angle = in.transverse_pressure_angle;
    scratch->base_helix_angle = in.base_helix_angle;
    scratch->helix_angle = in.helix_angle;
    scratch->backlash_distribution = in.backlash_distribution;
    scratch->thickness_nominal_transverse[0] = in.thickness_nominal_transverse[0];
    scratch->thickness_nominal_transverse[1] = in.thickness_nominal_transverse[1];
    scratch->base_diameter[0] = in.base_diameter[0];
    scratch->base_diameter[1] = in.base_diameter[1];
    scratch->geometry_manager_override = in.geometry_manager_override;
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
