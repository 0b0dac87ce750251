// The backlash a search carries from trial to trial.
//
// Every geometry pass thins the teeth by the backlash the design holds and writes back the backlash it
// finds from them, through 32-bit values, so that the backlash moves by a little with every pass (and
// with it the finished thicknesses and the bending results). A search that evaluates its trials on
// worker threads cannot wait for the backlash the trial before leaves; it follows the backlash from
// the first pass to the last through this step of the geometry pass alone, with what each pass read
// besides the backlash, and gives each worker the backlash its trials start from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "design_data.h"

namespace morvell {

// What one geometry pass passes on to the next through its backlash step.
struct BacklashCarried {
  float backlash_normal = 0;
  float thickness_finished_transverse[2]{};
  bool operator==(const BacklashCarried&) const = default;
};

// What the backlash step of one geometry pass reads of its own geometry.
struct BacklashInputs {
  float centre_distance = 0, centre_distance_from_shifts = 0, working_transverse_pressure_angle = 0,
        working_normal_pressure_angle = 0, transverse_pressure_angle = 0, base_helix_angle = 0, helix_angle = 0,
        backlash_distribution = 0, thickness_nominal_transverse[2]{}, base_diameter[2]{};
  uint8_t geometry_manager_override = 0;
};

BacklashCarried backlash_carried_by(const DesignData& d);
void carry_backlash(const BacklashCarried& c, DesignData& d);
BacklashInputs backlash_inputs_of(const DesignData& d);

// The backlash carried into each pass from `first` on (into[i] for pass i, into[inputs.size()] after the
// last), given what is carried into pass `first` and what each pass's backlash step read.
void follow_backlash(const DesignData& before_search, const std::vector<BacklashInputs>& inputs, std::size_t first,
                     BacklashCarried carried, std::vector<BacklashCarried>& into);

// While it lives, recording_geometry on the calling thread appends what each of its passes' backlash
// step read to `passes`.
class BacklashRecorder {
 public:
  explicit BacklashRecorder(std::vector<BacklashInputs>& passes);
  ~BacklashRecorder();
  BacklashRecorder(const BacklashRecorder&) = delete;
  BacklashRecorder& operator=(const BacklashRecorder&) = delete;

 private:
  std::vector<BacklashInputs>* previous_;
};

// The geometry pass (calc_gear_geometry), recorded for the calling thread's BacklashRecorder.
void recording_geometry(DesignData& d);
// The same without the inspection dimensions (calc_gear_geometry_without_inspection).
void recording_geometry_without_inspection(DesignData& d);

}  // namespace morvell
