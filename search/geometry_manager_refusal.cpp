#include "geometry_manager_refusal.h"

#include "edit_fields.h"

namespace morvell {

bool refuse_overridden_geometry_manager(DesignData& d) {
  if (d.geometry_manager_override != 1) return false;
  warn(d, "Geometry manager cannot be overidden for this option.",
       "Activate the Geometry Manager from the Options menu ", "");
  return true;
}

}  // namespace morvell
