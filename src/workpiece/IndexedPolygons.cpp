#include "workpiece/IndexedPolygons.h"

#include <algorithm>

namespace soustruh {
namespace {

int Sign(std::int64_t v) {
  return (v > 0) - (v < 0);
}

// Whether c, known to lie on the line a–b, lies within the segment's box.
bool WithinSpan(const ClipPoint& a, const ClipPoint& b, const ClipPoint& c) {
  return std::min(a.X, b.X) <= c.X && c.X <= std::max(a.X, b.X) && std::min(a.Y, b.Y) <= c.Y &&
         c.Y <= std::max(a.Y, b.Y);
}

bool InLimit(const ClipPoint& p) {
  constexpr std::int64_t limit = IndexedPolygons::kCoordinateLimit;
  return p.X >= -limit && p.X <= limit && p.Y >= -limit && p.Y <= limit;
}

}  // namespace

void ClipBox::Add(const ClipBox& other) {
  if (other.Empty()) return;
  Add(ClipPoint{other.minX, other.minY});
  Add(ClipPoint{other.maxX, other.maxY});
}

void ClipBox::Add(PolygonsRef polygons) {
  for (const TPolygon& polygon : polygons)
    for (const ClipPoint& p : polygon) Add(p);
}

ClipBox ClipBox::Moved(std::int64_t dx, std::int64_t dy) const {
  if (Empty()) return *this;
  return ClipBox{minX + dx, minY + dy, maxX + dx, maxY + dy};
}

ClipBox ClipBox::Grown(std::int64_t by) const {
  if (Empty()) return *this;
  return ClipBox{minX - by, minY - by, maxX + by, maxY + by};
}

std::int64_t TwiceArea(std::span<const ClipPoint> polygon) {
  if (polygon.size() < 3) return 0;
  // Relative to the first point, so the products stay small.
  const ClipPoint& o = polygon.front();
  std::int64_t sum = 0;
  for (std::size_t i = 1; i + 1 < polygon.size(); ++i) sum += Cross(o, polygon[i], polygon[i + 1]);
  return sum;
}

bool SegmentsMeet(const ClipPoint& a, const ClipPoint& b, const ClipPoint& c, const ClipPoint& d) {
  const int d1 = Sign(Cross(a, b, c));
  const int d2 = Sign(Cross(a, b, d));
  const int d3 = Sign(Cross(c, d, a));
  const int d4 = Sign(Cross(c, d, b));
  if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  return (d1 == 0 && WithinSpan(a, b, c)) || (d2 == 0 && WithinSpan(a, b, d)) ||
         (d3 == 0 && WithinSpan(c, d, a)) || (d4 == 0 && WithinSpan(c, d, b));
}

bool SegmentMeetsBox(const ClipPoint& a, const ClipPoint& b, const ClipBox& box) {
  ClipBox segment;
  segment.Add(a);
  segment.Add(b);
  if (!segment.Meets(box)) return false;
  // The boxes overlap; the segment misses the box only when every corner lies strictly on one
  // side of its line.
  const ClipPoint corners[] = {
      {box.minX, box.minY}, {box.maxX, box.minY}, {box.maxX, box.maxY}, {box.minX, box.maxY}};
  int positive = 0, negative = 0;
  for (const ClipPoint& c : corners) {
    const std::int64_t side = Cross(a, b, c);
    positive += side > 0;
    negative += side < 0;
  }
  return positive < 4 && negative < 4;
}

// `reuse`: the entry of a polygon whose first `same` points this one shares; the boxes of its
// chunks that lie wholly within them (with the point after them) are taken over.
IndexedPolygons::Entry IndexedPolygons::MakeEntry(const TPolygon& polygon, const Entry* reuse,
                                                  std::size_t same) {
  Entry e;
  const std::size_t n = polygon.size();
  e.chunks.resize((n + kChunk - 1) / kChunk);
  std::size_t first = 0;
  if (reuse != nullptr) {
    first = std::min(same > 0 ? (same - 1) / kChunk : 0, e.chunks.size());
    first = std::min(first, reuse->chunks.size());
    std::copy(reuse->chunks.begin(), reuse->chunks.begin() + static_cast<std::ptrdiff_t>(first),
              e.chunks.begin());
  }
  for (std::size_t c = first; c < e.chunks.size(); ++c) {
    ClipBox& chunk = e.chunks[c];
    const std::size_t end = std::min(n, (c + 1) * kChunk);
    for (std::size_t j = c * kChunk; j < end; ++j) chunk.Add(polygon[j]);
    chunk.Add(polygon[end == n ? 0 : end]);  // the end of the chunk's last edge
  }
  for (const ClipBox& chunk : e.chunks) e.box.Add(chunk);
  if (!e.box.Empty() && (!InLimit({e.box.minX, e.box.minY}) || !InLimit({e.box.maxX, e.box.maxY})))
    exact_ = false;
  if (exact_) {
    const std::int64_t area = TwiceArea(polygon);
    e.kind = area > 0 ? Kind::Outer : area < 0 ? Kind::Hole : Kind::Flat;
  }
  return e;
}

void IndexedPolygons::Totals() {
  box_ = ClipBox{};
  holes_ = 0;
  for (const Entry& e : entries_) {
    box_.Add(e.box);
    holes_ += e.kind == Kind::Hole;
  }
}

void IndexedPolygons::Assign(const TPolygons& polygons) {
  polygons_ = polygons;
  exact_ = true;
  entries_.clear();
  for (const TPolygon& p : polygons_) entries_.push_back(MakeEntry(p));
  Totals();
}

void IndexedPolygons::Update(std::vector<std::pair<std::size_t, TPolygon>>& replaced,
                             std::span<const std::size_t> removed, TPolygons& added) {
  for (auto& [index, polygon] : replaced) {
    const TPolygon& old = polygons_[index];
    const std::size_t limit = std::min(old.size(), polygon.size());
    const auto same = static_cast<std::size_t>(
        std::mismatch(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(limit),
                      polygon.begin())
            .first -
        old.begin());
    entries_[index] = MakeEntry(polygon, &entries_[index], same);
    polygons_[index] = std::move(polygon);
  }
  for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
    polygons_.erase(polygons_.begin() + static_cast<std::ptrdiff_t>(*it));
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*it));
  }
  for (TPolygon& p : added) {
    entries_.push_back(MakeEntry(p));
    polygons_.push_back(std::move(p));
  }
  Totals();
}

int IndexedPolygons::Winding(std::size_t polygon, std::int64_t x2, std::int64_t y2,
                             bool& onBoundary) const {
  const Entry& e = entries_[polygon];
  const TPolygon& p = polygons_[polygon];
  const ClipPoint at{x2, y2};
  int winding = 0;
  for (std::size_t c = 0; c < e.chunks.size(); ++c) {
    const ClipBox& box = e.chunks[c];
    if (box.Empty() || 2 * box.maxX < x2 || 2 * box.minY > y2 || 2 * box.maxY < y2) continue;
    const std::size_t end = std::min(p.size(), (c + 1) * kChunk);
    for (std::size_t j = c * kChunk; j < end; ++j) {
      const ClipPoint a{2 * p[j].X, 2 * p[j].Y};
      const ClipPoint& next = p[j + 1 == p.size() ? 0 : j + 1];
      const ClipPoint b{2 * next.X, 2 * next.Y};
      const std::int64_t side = Cross(a, b, at);
      if (side == 0 && WithinSpan(a, b, at)) onBoundary = true;
      if (a.Y <= y2) {
        if (b.Y > y2 && side > 0) ++winding;
      } else if (b.Y <= y2 && side < 0) {
        --winding;
      }
    }
  }
  return winding;
}

bool IndexedPolygons::SegmentMeetsEdges(const ClipPoint& a, const ClipPoint& b, std::size_t owner,
                                        std::span<const std::size_t> allowed) const {
  ClipBox segment;
  segment.Add(a);
  segment.Add(b);
  for (std::size_t i = 0; i < polygons_.size(); ++i) {
    if (!entries_[i].box.Meets(segment)) continue;
    const TPolygon& p = polygons_[i];
    bool meets = false;
    ForEachEdgeMeeting(i, segment, [&](std::size_t j) {
      if (meets) return;
      const ClipPoint& c = p[j];
      const ClipPoint& d = p[j + 1 == p.size() ? 0 : j + 1];
      if (!SegmentsMeet(a, b, c, d)) return;
      const bool mayTouch =
          i == owner && std::find(allowed.begin(), allowed.end(), j) != allowed.end();
      // An edge at an end of the segment may touch it there, but not run along it.
      if (mayTouch && (c == a || c == b || d == a || d == b)) {
        const ClipPoint& far = (c == a || c == b) ? d : c;
        if (Cross(a, b, far) != 0) return;
      }
      meets = true;
    });
    if (meets) return true;
  }
  return false;
}

}  // namespace soustruh
