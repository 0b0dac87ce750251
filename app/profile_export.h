// Profile export: the generated transverse tooth outline of one gear, or of both gears in mesh, as a
// list of co-ordinates or as a DXF drawing (an entities section with polylines only) for a CAD system.
//
// What is written follows export_type and export_profile_type of the design data (the choices of the
// "Graphics Export" dialog). Values are in millimetres whatever the unit system. Lines end in CR LF.
// This part uses no Qt: the bytes are built here and the window only picks the file.
#pragma once

#include <functional>
#include <string>

#include "design_data.h"
#include "tooth_profile.h"

namespace morvell {

// export_type: what to export.
enum ExportType : int32_t {
  kExportPinionText = 0,    // "(x, y) co-ordinates of pinion (single tooth)"
  kExportWheelText = 1,     // "(x, y) co-ordinates of wheel (single tooth)"
  kExportPinionDxf = 2,     // "dxf of pinion (single tooth)"
  kExportWheelDxf = 3,      // "dxf of wheel (single tooth)"
  kExportPinionAllDxf = 4,  // "dxf of pinion (all teeth)"
  kExportWheelAllDxf = 5,   // "dxf of wheel (all teeth)"
  kExportMeshDxf = 6,       // "dxf of mesh"
};

// export_profile_type: which outline.
enum ExportProfileType : int32_t {
  kExportFinished = 0,
  kExportNominal = 1,
  kExportFinishedAndNominal = 2,
};

// True for the export types written as co-ordinate lists (the others are drawings).
bool export_is_text(int32_t export_type);

// The file name the save dialog offers: "profile.dat" for the co-ordinate lists, "profile.dxf" for the
// drawings.
const char* default_export_file_name(int32_t export_type);

// Puts the finished or nominal outline of a gear into d.profile_points.
using OutlineSource = std::function<void(DesignData& d, int gear, bool nominal)>;

// The bytes of the export file for d.export_type and d.export_profile_type. The outlines come from
// `source` (the tooth profile generator unless a caller gives another), so d.profile_points holds the
// last one afterwards. An export type outside 0..6 gives the empty text.
std::string profile_export_bytes(DesignData& d, const OutlineSource& source = generate_gear_outline);

// Writes profile_export_bytes(d) to `path`, replacing its content. Returns false when an outline holds
// a point that is not a finite number (nothing is written then) or when the file could not be created
// or completely written, with a message for the user in *error.
bool write_profile_export(DesignData& d, const std::string& path, std::string* error);

}  // namespace morvell
