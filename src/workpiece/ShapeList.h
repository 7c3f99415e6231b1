#pragma once
// Reading the polygons of a shape list (TUtvar) and placing a machine part at the current axis
// positions.
//
// A shape list holds polygons one after another: (n, flag), (pen, brush), then n points (x, y)
// relative to the part's own origin, in length units (0.0001 mm). Each part of the machine drawing
// is moved by the axes: the slides and the tool with Z and the radius X div 2, the quill with −W.

#include <cstddef>
#include <cstdint>
#include <span>

#include "machine/MachineDrawing.h"
#include "platform/Canvas.h"
#include "workpiece/Clipping.h"

namespace soustruh {

struct ShapePolygon {
  std::int32_t flag = 0;  // 0, except the tool's insert layout in its first polygon
  BgrColour pen = 0;
  BgrColour brush = 0;
  std::span<const ShapeEntry> points;
};

// Calls `visit(const ShapePolygon&)` for each polygon of `shapes` in stored order. Stops at a
// header with a negative count or one declaring more points than the list still holds, so a
// damaged list never reads beyond its end.
template <typename Visit>
void ForEachShapePolygon(const TUtvar& shapes, Visit&& visit) {
  std::size_t at = 0;
  while (at + 2 <= shapes.size() && shapes[at].x >= 0) {
    const auto count = static_cast<std::size_t>(shapes[at].x);
    const std::size_t first = at + 2;
    if (count > shapes.size() - first) return;
    const ShapePolygon polygon{shapes[at].y, shapes[at + 1].x, shapes[at + 1].y,
                               std::span<const ShapeEntry>(shapes).subspan(first, count)};
    visit(polygon);
    at = first + count;
  }
}

// The points of polygon `index` (0-based) of a shape list; empty when the list has no such
// polygon.
std::span<const ShapeEntry> ShapePolygonPoints(const TUtvar& shapes, std::size_t index);

// How far a part is moved from its drawing: horizontal and vertical, in length units.
struct PartOffset {
  std::int64_t h = 0;
  std::int64_t v = 0;
};

// The placement of part `part` (RAM .. SKLICIDLO) with the machine at X (a diameter), Z and quill
// position W: OSA_Z by (Z, 0); OSA_X, NASTROJ and NASTR_HLAVA by (Z, X div 2); PINOLA by (−W, 0);
// every other part stays.
PartOffset PartPlacement(std::size_t part, std::int32_t xDiameter, std::int32_t z, std::int32_t w);

// `points` moved by `offset`, written into `placed` (its storage reused).
void PlacePolygon(std::span<const ShapeEntry> points, PartOffset offset, TPolygon& placed);

}  // namespace soustruh
