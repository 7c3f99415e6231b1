#include "workpiece/StockSection.h"

#include <cstddef>
#include <utility>

#include "platform/Numbers.h"

namespace soustruh {

namespace {

// Where a polygon's points lie in a shape list.
struct ShapeSpan {
  std::size_t first = 0;
  std::size_t count = 0;
};

// The points of polygon `index` of a shape list (header, colours, n points per polygon), or
// nothing when the list ends before it or declares more points than it holds.
std::optional<ShapeSpan> FindPolygon(const TUtvar& shapes, std::size_t index) {
  std::size_t at = 0;
  for (std::size_t polygon = 0;; ++polygon) {
    if (at + 2 > shapes.size() || shapes[at].x < 0) return std::nullopt;
    const auto count = static_cast<std::size_t>(shapes[at].x);
    const std::size_t first = at + 2;
    if (count > shapes.size() - first) return std::nullopt;
    if (polygon == index) return ShapeSpan{first, count};
    at = first + count;
  }
}

}  // namespace

TPolygon StockBuild(std::int32_t protrusion, std::int32_t diameter, const MachineConfig& config) {
  const std::int64_t length = protrusion;
  const std::int64_t face =
      std::int64_t{config.Sklicidlo_Z} + std::int64_t{config.Cel_L_sklic} + length;
  const std::int64_t back = face - (length + StockClampedLength);
  const std::int64_t upper = std::int64_t{diameter} / 2;
  const std::int64_t lower = -std::int64_t{diameter} / 2;
  return TPolygon{{face, lower}, {face, upper}, {back, upper}, {back, lower}};
}

std::int32_t StockRadiusFor(std::int32_t diameter) {
  return diameter / 2;
}

std::optional<std::int32_t> ParseStockEntry(std::string_view text) {
  const std::optional<long double> millimetres = ParseFloat(text);
  // The dialog takes no minus sign; a negative size would turn the section inside out.
  if (!millimetres || *millimetres < 0) return std::nullopt;
  return MillimetresToUnits(*millimetres);
}

std::optional<std::string> StockSizeError(std::int32_t protrusion, std::int32_t diameter,
                                          const MachineConfig& config) {
  if (protrusion <= config.Max_L_mat && diameter <= config.Max_D_mat) return std::nullopt;
  return "Polotovar je větší, než je možné upnout do stroje - max. průměr je " +
         FormatFixed(config.Max_D_mat / 10000.0, 1) + ", max. délka " +
         FormatFixed(config.Max_L_mat / 10000.0, 1) + " mm.";
}

TPolygon StockTestOutline(const TUtvar& tool, std::int32_t xDiameter, std::int32_t z) {
  if (tool.empty()) return {};
  std::size_t index = 0;
  switch (tool.front().y) {
    case -1:
    case 0:
      index = 0;
      break;
    case 1:
      index = 1;
      break;
    default:
      return {};
  }
  const std::optional<ShapeSpan> span = FindPolygon(tool, index);
  if (!span) return {};
  const std::int64_t radial = xDiameter / 2;
  TPolygon outline;
  outline.reserve(span->count);
  for (std::size_t i = span->first; i < span->first + span->count; ++i)
    outline.push_back(ClipPoint{std::int64_t{tool[i].x} + z, tool[i].y + radial});
  return outline;
}

StockToolCheck CheckStockAgainstTool(const TPolygon& candidate, const TPolygon& toolOutline) {
  ClipResult overlap = ClipIntersection(candidate, toolOutline);
  if (!overlap.Ok()) return StockToolCheck{true, std::move(overlap.error)};
  return StockToolCheck{!overlap.polygons.empty(), {}};
}

}  // namespace soustruh
