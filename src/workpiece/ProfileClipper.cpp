#include "workpiece/ProfileClipper.h"

#include <algorithm>
#include <utility>

namespace soustruh {
namespace {

// Exchanging the coordinates mirrors every polygon, so all orientations flip together and the
// non-zero regions (holes included) are the mirror images; exchanging back restores them.
void Transposed(PolygonsRef polygons, TPolygons& into) {
  into.resize(polygons.size());
  std::size_t i = 0;
  for (const TPolygon& polygon : polygons) {
    TPolygon& target = into[i++];
    target.resize(polygon.size());
    for (std::size_t j = 0; j < polygon.size(); ++j)
      target[j] = ClipPoint{polygon[j].Y, polygon[j].X};
  }
}

}  // namespace

bool ProfileClipper::Execute(ClipOperation op, PolygonsRef subject, PolygonsRef clip,
                             TPolygons& solution, std::string& error) noexcept {
  try {
    Transposed(subject, subject_);
    Transposed(clip, clip_);
  } catch (...) {
    solution.clear();
    error.clear();  // out of memory: the false return reports it
    return false;
  }
  if (!engine_.Execute(op, subject_, clip_, solution, error)) return false;
  // Exchanging back mirrors again; running each polygon backwards then gives outlines and holes
  // the sense the engine gives them.
  for (TPolygon& polygon : solution) {
    for (ClipPoint& point : polygon) std::swap(point.X, point.Y);
    std::reverse(polygon.begin(), polygon.end());
  }
  return true;
}

}  // namespace soustruh
