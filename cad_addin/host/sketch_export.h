// The sketch a document received, written for a person to look at: SVG (arcs drawn as fine polylines)
// or DXF (lines, arcs, circles and polylines through spline points), in millimetres.
#pragma once

#include <string>
#include <vector>

#include "recording_host.h"

namespace tandrel::host {

// Each writes the whole file as the program Morvell writes its files, or leaves the one at `path` as it
// was; false when it was not written.
bool WriteSketchSvg(const std::vector<SketchEntity>& sketch, const std::string& path);
bool WriteSketchDxf(const std::vector<SketchEntity>& sketch, const std::string& path);

}  // namespace tandrel::host
