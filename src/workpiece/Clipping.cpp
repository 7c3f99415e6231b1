#include "workpiece/Clipping.h"

#include <polyclipping/clipper.hpp>

#include <exception>
#include <new>

namespace soustruh {

static_assert(ClipCoordinateLimit == ClipperLib::hiRange,
              "the coordinate limit must follow the clipping engine's range");

struct PolygonClipper::Buffers {
  ClipperLib::Path path;       // one input polygon at a time, converted for the engine
  ClipperLib::Paths solution;  // the engine's output before conversion back
};

namespace {

constexpr const char* kEngineFailed = "Polygon clipping failed";

// The engine tests the range itself, but by negating the coordinate, which is undefined for the
// most negative 64-bit value; testing here first keeps every input defined.
constexpr bool InRange(std::int64_t value) {
  return value >= -ClipCoordinateLimit && value <= ClipCoordinateLimit;
}

ClipperLib::ClipType EngineOperation(ClipOperation op) {
  switch (op) {
    case ClipOperation::Intersection:
      return ClipperLib::ctIntersection;
    case ClipOperation::Union:
      return ClipperLib::ctUnion;
    case ClipOperation::Difference:
      break;
  }
  return ClipperLib::ctDifference;
}

// Hands every polygon to the engine. Returns false when a coordinate is out of range; `added` is
// set when the engine took at least one polygon (it drops those enclosing nothing).
bool AddPolygons(ClipperLib::Clipper& engine, PolygonsRef polygons, ClipperLib::PolyType type,
                 ClipperLib::Path& scratch, bool& added) {
  for (const TPolygon& polygon : polygons) {
    scratch.clear();
    for (const ClipPoint& point : polygon) {
      if (!InRange(point.X) || !InRange(point.Y)) return false;
      scratch.emplace_back(point.X, point.Y);
    }
    if (engine.AddPath(scratch, type, true)) added = true;
  }
  return true;
}

// Copies the engine's solution, reusing the storage `solution` already has.
void CopySolution(const ClipperLib::Paths& paths, TPolygons& solution) {
  solution.resize(paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const ClipperLib::Path& path = paths[i];
    TPolygon& polygon = solution[i];
    polygon.resize(path.size());
    for (std::size_t j = 0; j < path.size(); ++j) polygon[j] = ClipPoint{path[j].X, path[j].Y};
  }
}

void Fail(TPolygons& solution, std::string& error, const char* text) noexcept {
  solution.clear();
  try {
    error = text;
  } catch (...) {
    error.clear();  // out of memory even for the text: the false return still reports it
  }
}

}  // namespace

PolygonClipper::PolygonClipper() : buffers_(std::make_unique<Buffers>()) {}
PolygonClipper::~PolygonClipper() = default;
PolygonClipper::PolygonClipper(PolygonClipper&&) noexcept = default;
PolygonClipper& PolygonClipper::operator=(PolygonClipper&&) noexcept = default;

bool PolygonClipper::Execute(ClipOperation op, PolygonsRef subject, PolygonsRef clip,
                             TPolygons& solution, std::string& error) noexcept {
  // The solution is written only after the engine holds its own copy of the input, so it may be
  // the subject or clip set itself.
  try {
    if (!buffers_) buffers_ = std::make_unique<Buffers>();
    ClipperLib::Clipper engine;
    bool added = false;
    if (!AddPolygons(engine, subject, ClipperLib::ptSubject, buffers_->path, added) ||
        !AddPolygons(engine, clip, ClipperLib::ptClip, buffers_->path, added)) {
      Fail(solution, error, ClipRangeError);
      return false;
    }
    // With nothing to clip the engine reports failure; for us that is simply an empty solution.
    if (!added) {
      solution.clear();
      error.clear();
      return true;
    }
    if (!engine.Execute(EngineOperation(op), buffers_->solution, ClipperLib::pftNonZero,
                        ClipperLib::pftNonZero)) {
      Fail(solution, error, kEngineFailed);
      return false;
    }
    CopySolution(buffers_->solution, solution);
    error.clear();
    return true;
  } catch (const std::exception& e) {
    // Also ClipperLib::clipperException, which derives from std::exception.
    Fail(solution, error, e.what());
  } catch (...) {
    Fail(solution, error, kEngineFailed);
  }
  return false;
}

ClipResult PolygonClipper::Intersection(PolygonsRef subject, PolygonsRef clip) {
  ClipResult result;
  result.failed =
      !Execute(ClipOperation::Intersection, subject, clip, result.polygons, result.error);
  return result;
}

ClipResult PolygonClipper::Union(PolygonsRef subject, PolygonsRef clip) {
  ClipResult result;
  result.failed = !Execute(ClipOperation::Union, subject, clip, result.polygons, result.error);
  return result;
}

ClipResult PolygonClipper::Difference(PolygonsRef subject, PolygonsRef clip) {
  ClipResult result;
  result.failed = !Execute(ClipOperation::Difference, subject, clip, result.polygons, result.error);
  return result;
}

ClipResult ClipIntersection(PolygonsRef subject, PolygonsRef clip) {
  return PolygonClipper().Intersection(subject, clip);
}

ClipResult ClipUnion(PolygonsRef subject, PolygonsRef clip) {
  return PolygonClipper().Union(subject, clip);
}

ClipResult ClipDifference(PolygonsRef subject, PolygonsRef clip) {
  return PolygonClipper().Difference(subject, clip);
}

}  // namespace soustruh
