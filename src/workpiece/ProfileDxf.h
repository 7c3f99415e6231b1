#pragma once
// The profile of the turned part as a DXF drawing a CAD program opens: one closed polyline, the
// half-section above the axis (DXF X = workpiece Z, DXF Y = radius, in millimetres), on layer
// "0". Written by hand as ASCII DXF of release 12 (only an ENTITIES section), which every CAD
// program still reads.

#include <string>
#include <vector>

#include "workpiece/PartProfile.h"

namespace soustruh {

// The DXF document as lines (group code, value, group code, value, ...).
std::vector<std::string> ProfileDxfLines(const PartProfile& profile);

}  // namespace soustruh
