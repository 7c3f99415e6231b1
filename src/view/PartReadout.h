#pragma once
// The measure read-out of the machine view: the diameter and Z of the turned part under the mouse
// pointer, for the window to show in the view's corner while the pointer is over the part.

#include <cstdint>
#include <optional>
#include <string>

#include "view/ViewMapping.h"
#include "workpiece/PartProfile.h"

namespace soustruh {

class Simulator;

struct PartReading {
  std::int64_t z = 0;         // workpiece Z of the pointer (length units)
  std::int64_t diameter = 0;  // the part's diameter at that Z (length units)
};

// The frame the read-out uses: the work offset in force on the machine (G54 … G59 as the program
// or MDI last applied them), or G54 from the table while none is.
WorkpieceFrame ReadoutFrame(const Simulator& simulator);

// The part under pixel (x, y): nothing while the view is not fitted or when the pixel is not
// over the stock's section (above or below the axis). `profile` is the stock's profile in
// `frame` (ProfileOf); the pixel is mapped back with the view's inverse mapping.
std::optional<PartReading> ReadPartAt(const ViewMapping& mapping, const PartProfile& profile,
                                      const WorkpieceFrame& frame, std::int32_t x, std::int32_t y);

// "Z -5.000  Ø 12.000" (millimetres, three decimals).
std::string ReadoutText(const PartReading& reading);

}  // namespace soustruh
