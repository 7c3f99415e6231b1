#pragma once
// Drawings of the turned part as SVG documents, for teachers and learners to look at without the
// simulator: the part's half-section with its diameters and lengths dimensioned, and a part laid
// over its reference with the deviations marked. Both show the half-section above the axis with
// the free end on the right, as a turning drawing does; lengths are in millimetres with three
// decimals, "." as separator. The documents are plain ASCII (Ø is written as a character
// reference), so any text writer keeps them as they are.

#include <string>

#include "workpiece/PartProfile.h"

namespace soustruh {

// The half-section of `profile`: every cylinder longer than 1 mm gets its diameter, every cone or
// arc longer than 1 mm its two end diameters, and every face but the back of the stock its
// distance from the free end (dimension lines stacked above the part). `title` is written at the
// top (UTF-8; escaped for XML). An empty profile gives a picture with the title alone.
std::string ProfileSvg(const PartProfile& profile, const std::string& title);

// `part` over `reference`: the reference's contour drawn as a dashed line, the part's section
// filled, material left on (part outside the reference) orange, material cut too deep (reference
// outside the part) red, and the two largest deviations of `deviation` marked with their values.
// `title` as above; `passed` colours the verdict line under it.
std::string ComparisonSvg(const PartProfile& part, const PartProfile& reference,
                          const ProfileDeviation& deviation, const std::string& title,
                          const std::string& verdict, bool passed);

}  // namespace soustruh
