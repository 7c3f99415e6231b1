#include "workpiece/LocalView.h"

#include <algorithm>
#include <utility>

namespace soustruh {
namespace {

constexpr std::size_t kWhole = 64;           // polygons up to this size are taken whole
constexpr std::ptrdiff_t kShortGap = 4;      // far chains shorter than this join their runs
constexpr int kMaxChordShifts = 40;          // tries to find a chord before giving up
constexpr std::size_t kMaxHolesTested = 16;  // holes tested against the view before giving up

// The number of vertices strictly between a run ending at `last` and one starting at `first`;
// −1 when the two meet.
std::ptrdiff_t Gap(std::size_t last, std::size_t first, std::size_t n) {
  const auto d = static_cast<std::ptrdiff_t>((first + n - last) % n);
  return d - 1;
}

bool OnOutline(const TPolygon& polygon, const ClipPoint& point) {
  for (std::size_t j = 0; j < polygon.size(); ++j)
    if (SegmentsMeet(polygon[j], polygon[j + 1 == polygon.size() ? 0 : j + 1], point, point))
      return true;
  return false;
}

int Winding(const TPolygon& polygon, const ClipPoint& point) {
  int winding = 0;
  for (std::size_t j = 0; j < polygon.size(); ++j) {
    const ClipPoint& a = polygon[j];
    const ClipPoint& b = polygon[j + 1 == polygon.size() ? 0 : j + 1];
    const std::int64_t side = Cross(a, b, point);
    if (a.Y <= point.Y) {
      if (b.Y > point.Y && side > 0) ++winding;
    } else if (b.Y <= point.Y && side < 0) {
      --winding;
    }
  }
  return winding;
}

}  // namespace

bool LocalView::FindRuns(const IndexedPolygons& set, std::size_t polygon, const ClipBox& window,
                         std::vector<Run>& runs) const {
  const std::size_t n = set[polygon].size();
  std::vector<std::size_t> near;
  set.ForEachEdgeMeeting(polygon, window, [&](std::size_t j) { near.push_back(j); });
  if (near.empty()) return true;
  if (2 * near.size() > n) return false;  // mostly near: the polygon is taken whole
  for (std::size_t k = 0; k < near.size(); ++k) {
    if (!runs.empty() && near[k] == runs.back().last) {
      runs.back().last = near[k] + 1;
    } else {
      runs.push_back({near[k], near[k] + 1});
    }
  }
  for (Run& run : runs) run.last %= n;
  // Runs separated by a short far chain become one, across the start of the polygon too.
  for (std::size_t r = 0; runs.size() > 1 && r < runs.size();) {
    const std::size_t next = (r + 1) % runs.size();
    if (Gap(runs[r].last, runs[next].first, n) < kShortGap) {
      runs[r].last = runs[next].last;
      runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(next));
      if (next < r) r = 0;
    } else {
      ++r;
    }
  }
  return !(runs.size() == 1 && Gap(runs[0].last, runs[0].first, n) < kShortGap);
}

bool LocalView::ChordValid(const IndexedPolygons& set, std::size_t polygon,
                           const std::vector<Run>& runs, std::size_t r,
                           const ClipBox& window) const {
  const TPolygon& p = set[polygon];
  const std::size_t n = p.size();
  const Run& a = runs[r];
  const Run& b = runs[(r + 1) % runs.size()];
  const ClipPoint& from = p[a.last];
  const ClipPoint& to = p[b.first];
  if (from == to || SegmentMeetsBox(from, to, window)) return false;
  // The engine drops a point on a straight line between its neighbours; the chord's ends must
  // come back as they are.
  if (Cross(p[(a.last + n - 1) % n], from, to) == 0 || Cross(from, to, p[(b.first + 1) % n]) == 0)
    return false;
  const std::size_t allowed[] = {(a.last + n - 1) % n, a.last, (b.first + n - 1) % n, b.first};
  if (set.SegmentMeetsEdges(from, to, polygon, allowed)) return false;
  bool onBoundary = false;
  const int winding = set.Winding(polygon, from.X + to.X, from.Y + to.Y, onBoundary);
  return winding != 0 && !onBoundary;
}

bool LocalView::ChordsApart(const TPolygon& p, const std::vector<Run>& runs) const {
  for (std::size_t r = 0; r < runs.size(); ++r)
    for (std::size_t s = r + 1; s < runs.size(); ++s)
      if (SegmentsMeet(p[runs[r].last], p[runs[(r + 1) % runs.size()].first], p[runs[s].last],
                       p[runs[(s + 1) % runs.size()].first]))
        return false;
  return true;
}

bool LocalView::SplitPolygon(const IndexedPolygons& set, std::size_t polygon,
                             const ClipBox& window) {
  const std::size_t n = set[polygon].size();
  std::vector<Run> runs;
  if (!FindRuns(set, polygon, window, runs)) {
    wholes_.push_back(polygon);
    return true;
  }
  if (runs.empty()) {
    // No edge near: the window lies wholly inside or wholly outside.
    bool onBoundary = false;
    return set.Winding(polygon, window.minX + window.maxX, window.minY + window.maxY, onBoundary) ==
           0;
  }
  if (set.kind(polygon) != IndexedPolygons::Kind::Outer) return false;
  for (int shift = 0; shift < kMaxChordShifts; ++shift) {
    std::size_t bad = runs.size();
    for (std::size_t r = 0; r < runs.size() && bad == runs.size(); ++r)
      if (!ChordValid(set, polygon, runs, r, window)) bad = r;
    if (bad == runs.size()) {
      if (!ChordsApart(set[polygon], runs)) return false;
      splits_.push_back({polygon, std::move(runs)});
      return true;
    }
    // Move the chord one vertex further out at both ends and try again.
    const std::size_t next = (bad + 1) % runs.size();
    runs[bad].last = (runs[bad].last + 1) % n;
    runs[next].first = (runs[next].first + n - 1) % n;
    if (Gap(runs[bad].last, runs[next].first, n) < kShortGap) {
      if (runs.size() == 1) {
        wholes_.push_back(polygon);
        return true;
      }
      runs[bad].last = runs[next].last;
      runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(next));
    }
  }
  return false;
}

// A hole inside a polygon of the view must come with it (the view would fill it otherwise); one
// outside every polygon of the view stays as it is. The chords cross no edge, so a hole lies
// wholly on one side of each.
bool LocalView::AddHoles(const IndexedPolygons& set) {
  std::size_t outlines = local_.size();
  std::size_t holes = 0;
  for (std::size_t i = 0; i < set.size(); ++i) {
    if (set.kind(i) != IndexedPolygons::Kind::Hole) continue;
    if (++holes > kMaxHolesTested) return false;
    const ClipPoint& probe = set[i].front();
    bool inside = false;
    for (std::size_t k = 0; k < outlines && !inside; ++k) {
      if (OnOutline(local_[k], probe)) return false;
      inside = Winding(local_[k], probe) != 0;
    }
    if (!inside) continue;
    wholes_.push_back(i);
    local_.push_back(set[i]);
  }
  return true;
}

bool LocalView::Build(const IndexedPolygons& set, const ClipBox& window) {
  if (BuildIn(set, window)) return true;
  // A window on the outline of a turned part rarely has a chord around it on its own side; one
  // reaching across the whole section is cut off by chords across it.
  const ClipBox slab{window.minX, set.box().minY - 1, window.maxX, set.box().maxY + 1};
  return !slab.Within(window) && BuildIn(set, slab);
}

bool LocalView::BuildIn(const IndexedPolygons& set, const ClipBox& window) {
  splits_.clear();
  wholes_.clear();
  local_.clear();
  chords_.clear();
  if (!set.exact() || window.Empty()) return false;
  for (std::size_t i = 0; i < set.size(); ++i) {
    if (!set.box(i).Meets(window) || set.kind(i) == IndexedPolygons::Kind::Hole) continue;
    if (set[i].size() <= kWhole) {
      wholes_.push_back(i);
    } else if (!SplitPolygon(set, i, window)) {
      return false;
    }
  }
  for (std::size_t s = 0; s < splits_.size(); ++s) {
    const TPolygon& p = set[splits_[s].polygon];
    TPolygon& part = local_.emplace_back();
    for (std::size_t r = 0; r < splits_[s].runs.size(); ++r) {
      const Run& run = splits_[s].runs[r];
      for (std::size_t j = run.first;; j = (j + 1) % p.size()) {
        part.push_back(p[j]);
        if (j == run.last) break;
      }
      chords_.push_back(
          {p[run.last], p[splits_[s].runs[(r + 1) % splits_[s].runs.size()].first], s, r, false});
    }
    if (TwiceArea(part) <= 0) return false;
  }
  std::sort(wholes_.begin(), wholes_.end());
  for (const std::size_t i : wholes_) local_.push_back(set[i]);
  if (set.hasHoles() && !AddHoles(set)) return false;
  std::sort(wholes_.begin(), wholes_.end());
  return true;
}

bool LocalView::IsChord(const ClipPoint& from, const ClipPoint& to) const {
  return std::any_of(chords_.begin(), chords_.end(),
                     [&](const Chord& c) { return c.from == from && c.to == to; });
}

void LocalView::AppendFarChain(const Chord& chord, const IndexedPolygons& set,
                               TPolygon& into) const {
  const Split& split = splits_[chord.split];
  const TPolygon& p = set[split.polygon];
  const std::size_t n = p.size();
  const std::size_t from = (split.runs[chord.run].last + 1) % n;
  const std::size_t to = split.runs[(chord.run + 1) % split.runs.size()].first;
  const auto at = [&](std::size_t i) { return p.begin() + static_cast<std::ptrdiff_t>(i); };
  if (from <= to) {
    into.insert(into.end(), at(from), at(to));
  } else {
    into.insert(into.end(), at(from), p.end());
    into.insert(into.end(), p.begin(), at(to));
  }
}

bool LocalView::Splice(const TPolygons& result, IndexedPolygons& set) {
  // Where each chord came back: (result polygon, position of its first point).
  std::vector<std::pair<std::size_t, std::size_t>> at(chords_.size());
  for (Chord& c : chords_) c.seen = false;
  for (std::size_t k = 0; k < result.size(); ++k) {
    const TPolygon& q = result[k];
    for (std::size_t j = 0; j < q.size(); ++j) {
      const ClipPoint& a = q[j];
      const ClipPoint& b = q[j + 1 == q.size() ? 0 : j + 1];
      for (std::size_t c = 0; c < chords_.size(); ++c) {
        if (a != chords_[c].from || b != chords_[c].to) continue;
        if (chords_[c].seen) return false;
        chords_[c].seen = true;
        at[c] = {k, j};
      }
    }
  }
  for (const Chord& c : chords_)
    if (!c.seen) return false;

  std::vector<std::pair<std::size_t, TPolygon>> replaced;
  TPolygons added;
  std::vector<bool> owned(splits_.size(), false);
  for (std::size_t k = 0; k < result.size(); ++k) {
    const TPolygon& q = result[k];
    std::vector<std::size_t> here;  // chords in this polygon, by position
    for (std::size_t c = 0; c < chords_.size(); ++c)
      if (at[c].first == k) here.push_back(c);
    if (here.empty()) {
      added.push_back(q);
      continue;
    }
    std::sort(here.begin(), here.end(),
              [&](std::size_t x, std::size_t y) { return at[x].second < at[y].second; });
    TPolygon out;
    out.reserve(q.size() + set[splits_[chords_[here.front()].split].polygon].size());
    std::size_t h = 0;
    for (std::size_t j = 0; j < q.size(); ++j) {
      out.push_back(q[j]);
      if (h < here.size() && at[here[h]].second == j) AppendFarChain(chords_[here[h++]], set, out);
    }
    const std::size_t split = chords_[here.front()].split;
    const TPolygon& old = set[splits_[split].polygon];
    // Start where the old polygon started, so a caller comparing the two finds long equal ends.
    const auto start = std::find(out.begin(), out.end(), old.front());
    if (start != out.end()) std::rotate(out.begin(), start, out.end());
    if (!owned[split]) {
      owned[split] = true;
      replaced.emplace_back(splits_[split].polygon, std::move(out));
    } else {
      added.push_back(std::move(out));
    }
  }
  std::vector<std::size_t> removed = wholes_;
  for (std::size_t s = 0; s < splits_.size(); ++s)
    if (!owned[s]) removed.push_back(splits_[s].polygon);
  std::sort(removed.begin(), removed.end());
  set.Update(replaced, removed, added);
  return true;
}

}  // namespace soustruh
