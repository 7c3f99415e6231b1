#pragma once
// Boolean operations on integer polygons: intersection, union and difference of polygon sets.
//
// Coordinates are the model plane of the machine view: X horizontal (machine Z), Y vertical (radial
// distance from the spindle axis, positive on the tool side), both in length units (0.0001 mm),
// handed to the clipping engine unscaled. Every operation fills with the non-zero winding rule for
// both the subject and the clip set: a region wound more than once in the same sense (overlapping
// polygons of one set, a self-overlapping polygon) counts once, and a lone polygon may run either
// way; polygons of one set wound in opposite senses cancel where they overlap (that is a hole).
//
// Failures never throw. An operation that cannot be carried out (a coordinate beyond
// ±ClipCoordinateLimit, an error inside the engine, memory exhaustion) yields no polygons and an
// error text that the caller reports once through the host before going on without the result.
//
// This header is the only face of the clipping engine; nothing else includes the engine's header.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace soustruh {

struct ClipPoint {
  std::int64_t X = 0;  // horizontal: machine Z
  std::int64_t Y = 0;  // vertical: radial distance, positive on the tool side

  friend bool operator==(const ClipPoint&, const ClipPoint&) = default;
};

// A closed polygon; the last point joins the first. Fewer than three distinct points enclose
// nothing and are ignored by the operations.
using TPolygon = std::vector<ClipPoint>;
using TPolygons = std::vector<TPolygon>;

// The largest magnitude of a coordinate the engine accepts (its 64-bit "high range"). Beyond
// 0x3FFFFFFF the engine switches to slower 128-bit arithmetic, which model coordinates never need.
inline constexpr std::int64_t ClipCoordinateLimit = 0x3FFFFFFFFFFFFFFF;

// The error text for a coordinate beyond ClipCoordinateLimit (the engine's own wording).
inline constexpr const char* ClipRangeError = "Coordinate outside allowed range";

// A read-only view of the polygons handed to an operation: a whole set or one polygon. It binds
// implicitly to either, so every operation takes any mix of sets and single polygons. It refers to
// the caller's data and must not outlive it.
class PolygonsRef {
 public:
  PolygonsRef(const TPolygons& set) noexcept  // NOLINT(google-explicit-constructor)
      : first_(set.data()), count_(set.size()) {}
  PolygonsRef(const TPolygon& single) noexcept  // NOLINT(google-explicit-constructor)
      : first_(&single), count_(1) {}

  std::size_t size() const noexcept { return count_; }
  const TPolygon* begin() const noexcept { return first_; }
  const TPolygon* end() const noexcept { return first_ + count_; }

 private:
  const TPolygon* first_;
  std::size_t count_;
};

enum class ClipOperation { Intersection, Union, Difference };

struct ClipResult {
  TPolygons polygons;   // the solution; empty on failure
  std::string error;    // the reason of a failure; empty on success
  bool failed = false;  // set on failure even if memory ran out for the text

  bool Ok() const { return !failed; }
};

// Runs clipping operations, keeping its conversion buffers between calls so that a caller that
// clips on every redraw does not reallocate them each time. One engine object is created and freed
// around each single operation. Not thread-safe; one per owner.
class PolygonClipper {
 public:
  PolygonClipper();
  ~PolygonClipper();
  PolygonClipper(PolygonClipper&&) noexcept;
  PolygonClipper& operator=(PolygonClipper&&) noexcept;
  PolygonClipper(const PolygonClipper&) = delete;
  PolygonClipper& operator=(const PolygonClipper&) = delete;

  // subject `op` clip, non-zero fill for both. Writes the solution into `solution`, reusing its
  // storage. Returns true on success; on failure `solution` is emptied, `error` receives the
  // reason and false is returned. Empty input is not a failure: it gives an empty solution.
  bool Execute(ClipOperation op, PolygonsRef subject, PolygonsRef clip, TPolygons& solution,
               std::string& error) noexcept;

  ClipResult Intersection(PolygonsRef subject, PolygonsRef clip);
  ClipResult Union(PolygonsRef subject, PolygonsRef clip);
  ClipResult Difference(PolygonsRef subject, PolygonsRef clip);

 private:
  struct Buffers;
  std::unique_ptr<Buffers> buffers_;
};

// One-off operations with a temporary clipper; same results and failure reports as above.
ClipResult ClipIntersection(PolygonsRef subject, PolygonsRef clip);
ClipResult ClipUnion(PolygonsRef subject, PolygonsRef clip);
ClipResult ClipDifference(PolygonsRef subject, PolygonsRef clip);

}  // namespace soustruh
