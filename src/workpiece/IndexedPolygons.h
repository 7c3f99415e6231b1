#pragma once
// A polygon set with the boxes of its polygons and of short runs of their edges, so that the edges
// near a place, the winding about a point and the edges a segment meets are found without walking
// every vertex of a stock of thousands.
//
// Coordinates are those of the clipping adapter (length units); the exact tests here work on
// coordinates within ±IndexedPolygons::kCoordinateLimit, where every product of two differences
// fits into 64 bits. A set with a coordinate beyond it is held but not `exact()`: its callers then
// take the engine's way.
//
// Orientation: the engine hands out outlines with a positive shoelace area (anticlockwise with
// the vertical axis up) and holes with a negative one; `Outer` and `Hole` refer to that.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "workpiece/Clipping.h"

namespace soustruh {

// An axis-parallel rectangle, closed (its edges belong to it); empty when it holds no point.
struct ClipBox {
  std::int64_t minX = std::numeric_limits<std::int64_t>::max();
  std::int64_t minY = std::numeric_limits<std::int64_t>::max();
  std::int64_t maxX = std::numeric_limits<std::int64_t>::min();
  std::int64_t maxY = std::numeric_limits<std::int64_t>::min();

  void Add(const ClipPoint& p) {
    minX = p.X < minX ? p.X : minX;
    maxX = p.X > maxX ? p.X : maxX;
    minY = p.Y < minY ? p.Y : minY;
    maxY = p.Y > maxY ? p.Y : maxY;
  }
  void Add(const ClipBox& other);
  void Add(PolygonsRef polygons);
  bool Empty() const { return minX > maxX; }
  // A common point (touching counts).
  bool Meets(const ClipBox& other) const {
    return !Empty() && !other.Empty() && minX <= other.maxX && other.minX <= maxX &&
           minY <= other.maxY && other.minY <= maxY;
  }
  bool Within(const ClipBox& other) const {
    return !Empty() && minX >= other.minX && maxX <= other.maxX && minY >= other.minY &&
           maxY <= other.maxY;
  }
  ClipBox Moved(std::int64_t dx, std::int64_t dy) const;
  ClipBox Grown(std::int64_t by) const;
};

// Twice the signed area (shoelace), exact for coordinates within kCoordinateLimit and polygons
// of fewer than 2^30 points.
std::int64_t TwiceArea(std::span<const ClipPoint> polygon);

// (b − a) × (c − a): positive when c lies to the left of a→b.
inline std::int64_t Cross(const ClipPoint& a, const ClipPoint& b, const ClipPoint& c) {
  return (b.X - a.X) * (c.Y - a.Y) - (b.Y - a.Y) * (c.X - a.X);
}

// Whether the closed segments a–b and c–d have a point in common.
bool SegmentsMeet(const ClipPoint& a, const ClipPoint& b, const ClipPoint& c, const ClipPoint& d);

// Whether the closed segment a–b has a point in common with the box.
bool SegmentMeetsBox(const ClipPoint& a, const ClipPoint& b, const ClipBox& box);

class IndexedPolygons {
 public:
  static constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 30;
  static constexpr std::size_t kChunk = 32;  // edges per box

  enum class Kind { Outer, Hole, Flat };

  void Assign(const TPolygons& polygons);
  // Puts each polygon of `replaced` at its index, removes the polygons at `removed` (ascending
  // indices, none of them replaced) and appends `added`; the polygons are moved from.
  void Update(std::vector<std::pair<std::size_t, TPolygon>>& replaced,
              std::span<const std::size_t> removed, TPolygons& added);

  const TPolygons& polygons() const { return polygons_; }
  std::size_t size() const { return polygons_.size(); }
  const TPolygon& operator[](std::size_t i) const { return polygons_[i]; }
  const ClipBox& box() const { return box_; }
  const ClipBox& box(std::size_t polygon) const { return entries_[polygon].box; }
  Kind kind(std::size_t polygon) const { return entries_[polygon].kind; }
  bool exact() const { return exact_; }
  bool hasHoles() const { return holes_ > 0; }

  // Calls `edge(j)` for every edge j (from point j to point j + 1, the last closing the polygon)
  // of `polygon` whose box meets `box`, in ascending order.
  template <typename Visit>
  void ForEachEdgeMeeting(std::size_t polygon, const ClipBox& box, Visit&& edge) const {
    const Entry& e = entries_[polygon];
    const TPolygon& p = polygons_[polygon];
    for (std::size_t c = 0; c < e.chunks.size(); ++c) {
      if (!e.chunks[c].Meets(box)) continue;
      const std::size_t end = std::min(p.size(), (c + 1) * kChunk);
      for (std::size_t j = c * kChunk; j < end; ++j) {
        const ClipPoint& a = p[j];
        const ClipPoint& b = p[j + 1 == p.size() ? 0 : j + 1];
        ClipBox edgeBox;
        edgeBox.Add(a);
        edgeBox.Add(b);
        if (edgeBox.Meets(box)) edge(j);
      }
    }
  }

  // The winding number of `polygon` about the point (x2 / 2, y2 / 2) (coordinates doubled, so a
  // midpoint of two points is exact). `onBoundary` is set when the point lies on an edge.
  int Winding(std::size_t polygon, std::int64_t x2, std::int64_t y2, bool& onBoundary) const;

  // Whether the segment a–b meets an edge of any polygon, other than the edges of polygon
  // `owner` at indices `allowed` meeting it only at a or b (without overlapping it).
  bool SegmentMeetsEdges(const ClipPoint& a, const ClipPoint& b, std::size_t owner,
                         std::span<const std::size_t> allowed) const;

 private:
  struct Entry {
    ClipBox box;
    std::vector<ClipBox> chunks;
    Kind kind = Kind::Flat;
  };
  Entry MakeEntry(const TPolygon& polygon, const Entry* reuse = nullptr, std::size_t same = 0);
  void Totals();

  TPolygons polygons_;
  std::vector<Entry> entries_;
  ClipBox box_;
  bool exact_ = true;
  std::size_t holes_ = 0;
};

}  // namespace soustruh
