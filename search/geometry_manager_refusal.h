// The searches (the design-space search and the centre-distance minimisation) let the geometry manager
// build each trial pair: its teeth, module, centre distance, shifts and tooth proportions. A design whose
// geometry manager is overridden keeps its tips and proportions as typed, which no trial would then
// rebuild, so neither search runs on it.
#pragma once

#include "design_data.h"

namespace morvell {

// True, after explaining it in the warning dialog, when d's geometry manager is overridden and a search
// must not run; false otherwise (nothing shown).
bool refuse_overridden_geometry_manager(DesignData& d);

}  // namespace morvell
