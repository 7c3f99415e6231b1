#include "workpiece/ShapeList.h"

namespace soustruh {

std::span<const ShapeEntry> ShapePolygonPoints(const TUtvar& shapes, std::size_t index) {
  std::span<const ShapeEntry> found;
  std::size_t current = 0;
  ForEachShapePolygon(shapes, [&](const ShapePolygon& polygon) {
    if (current++ == index) found = polygon.points;
  });
  return found;
}

PartOffset PartPlacement(std::size_t part, std::int32_t xDiameter, std::int32_t z, std::int32_t w) {
  switch (part) {
    case OSA_Z:
      return PartOffset{z, 0};
    case OSA_X:
    case NASTROJ:
    case NASTR_HLAVA:
      return PartOffset{z, xDiameter / 2};
    case PINOLA:
      return PartOffset{-std::int64_t{w}, 0};
    default:
      return PartOffset{};
  }
}

void PlacePolygon(std::span<const ShapeEntry> points, PartOffset offset, TPolygon& placed) {
  placed.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i)
    placed[i] = ClipPoint{points[i].x + offset.h, points[i].y + offset.v};
}

}  // namespace soustruh
