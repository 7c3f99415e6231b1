#pragma once
// The stock (blank) clamped in the chuck: its section in the model plane of the machine view, and
// the checks made before a new stock is clamped.
//
// Units: length units (0.0001 mm). The section spans both sides of the spindle axis: horizontal =
// machine Z, vertical = radial distance (positive on the tool side). The stock always reaches
// StockClampedLength back from the jaws' front faces into the jaws, beyond its protrusion.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "machine/MachineConfig.h"
#include "machine/MachineDrawing.h"
#include "workpiece/Clipping.h"

namespace soustruh {

// The whole section of the stock, as cut so far.
using StockSection = TPolygons;

// How far the stock reaches into the jaws behind their front faces (15 mm).
inline constexpr std::int32_t StockClampedLength = 150000;

// The texts the stock dialog starts with (diameter, protrusion), also the start-up stock.
inline constexpr std::string_view StockDiameterDefaultText = "19.000";
inline constexpr std::string_view StockProtrusionDefaultText = "45.000";

// Refusals of the clamping, shown as plain message boxes.
inline constexpr std::string_view StockQuillMessage =
    "Polotovar nelze upnout - pinola koníku není zasunutá.";
inline constexpr std::string_view StockToolCollisionMessage =
    "Polotovar nelze upnout - kolize s nástrojem.";

// The four corners of a stock of `protrusion` (L) out of the jaws and `diameter` (D), in this
// order: (face, (−D) div 2), (face, D div 2), (back, D div 2), (back, (−D) div 2), where
// face = Sklicidlo_Z + Cel_L_sklic + L is the free end and back = face − (L + StockClampedLength);
// div truncates toward zero, so an odd diameter loses half a unit on each side. Computed in 64
// bits, so no input overflows.
// Pure: clamping also sets the chuck's stock radius (StockRadiusFor) and rebuilds the chuck; that
// is the caller's part.
TPolygon StockBuild(std::int32_t protrusion, std::int32_t diameter, const MachineConfig& config);

// The radius the chuck jaws close on: D div 2, truncated toward zero.
std::int32_t StockRadiusFor(std::int32_t diameter);

// A dialog entry (diameter or protrusion, millimetres with "." as separator) in length units,
// rounded to nearest with ties to even. Nothing when the text is empty, not a number, negative, or
// beyond 32 bits in length units.
std::optional<std::int32_t> ParseStockEntry(std::string_view text);

// The message refusing a stock larger than the machine takes: L above Max_L_mat or D above
// Max_D_mat (both limits inclusive). The message quotes both limits in millimetres, whichever was
// exceeded. Nothing when the size is acceptable.
std::optional<std::string> StockSizeError(std::int32_t protrusion, std::int32_t diameter,
                                          const MachineConfig& config);

// The outline of the current tool tested against a new stock, at the carriage position: the insert
// where the tool has one, else its holder. From the tool's shape list (NASTROJ): the first polygon
// when the first header's flag is −1 (insert first) or 0 (no insert: holder), the second when it
// is +1 (insert second); no outline for any other flag, an empty list, or a list too short for the
// polygon it declares. Each point (x, y) is placed at (x + z, y + x_diameter div 2).
TPolygon StockTestOutline(const TUtvar& tool, std::int32_t xDiameter, std::int32_t z);

struct StockToolCheck {
  bool collides = false;  // the candidate overlaps the outline (shared edges do not count)
  std::string error;      // the clipping failure when the test could not be made; collides true
};

// Whether a candidate stock overlaps the tool outline (non-zero intersection not empty). A failed
// test counts as a collision, so a stock is never clamped into a tool unchecked; the caller reports
// `error` once.
StockToolCheck CheckStockAgainstTool(const TPolygon& candidate, const TPolygon& toolOutline);

}  // namespace soustruh
