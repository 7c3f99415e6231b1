#pragma once
// The part of a large polygon set that matters inside a small window, as a polygon set of its
// own, so that an operation confined to the window (cutting the band the insert swept, testing an
// overlap) costs what the vertices near the window cost, not the whole stock.
//
// Every polygon whose box misses the window is left out. A small polygon near the window is taken
// whole. Of a large one only its runs of edges near the window are taken, each run joined to the
// next by a chord: a straight segment between two of the polygon's own vertices that runs through
// its interior, clear of the window and of every edge of the set. The chords cut the polygon into
// the part near the window and far parts; the far parts lie wholly outside the window, so the set
// and the view fill the window alike, and what an operation inside the window gives on the view is
// what it gives on the whole set there. Splice puts the far parts back: every chord of the result
// is replaced by the far chain of vertices it stood for, vertex for vertex, so no coordinate is
// moved or rounded. The set must be an engine output (its polygons do not cross; outlines and
// holes run as the engine runs them); no new vertex is made.
//
// When no such view exists (a chord cannot be found, coordinates beyond the exact range, a hole
// the chords would enclose) Build says so and the caller works on the whole set.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "workpiece/IndexedPolygons.h"

namespace soustruh {

class LocalView {
 public:
  // The view of `set` inside `window`, or failing that inside the window widened to the whole
  // height of the set; false when there is none.
  bool Build(const IndexedPolygons& set, const ClipBox& window);

  // The polygons of the view: the runs closed by their chords, and the small polygons whole.
  const TPolygons& polygons() const { return local_; }
  // Whether the view stands for a part of the set at all (false: nothing lies near the window).
  bool Empty() const { return local_.empty(); }
  // Whether from → to is one of the view's chords.
  bool IsChord(const ClipPoint& from, const ClipPoint& to) const;

  // `result` is the engine's output of an operation on polygons() that changed nothing outside
  // the window. Replaces what the view stood for in `set` by it, with the far chains back in place
  // of the chords. False, and `set` untouched, when a chord did not come back whole and once.
  bool Splice(const TPolygons& result, IndexedPolygons& set);

 private:
  struct Run {
    std::size_t first = 0;  // vertex indices, cyclic; first != last
    std::size_t last = 0;
  };
  struct Split {
    std::size_t polygon = 0;
    std::vector<Run> runs;
  };
  struct Chord {
    ClipPoint from, to;
    std::size_t split = 0;  // into splits_
    std::size_t run = 0;    // the chord joins runs[run] to the next run
    bool seen = false;
  };

  bool BuildIn(const IndexedPolygons& set, const ClipBox& window);
  bool SplitPolygon(const IndexedPolygons& set, std::size_t polygon, const ClipBox& window);
  bool FindRuns(const IndexedPolygons& set, std::size_t polygon, const ClipBox& window,
                std::vector<Run>& runs) const;
  bool ChordValid(const IndexedPolygons& set, std::size_t polygon, const std::vector<Run>& runs,
                  std::size_t r, const ClipBox& window) const;
  bool ChordsApart(const TPolygon& p, const std::vector<Run>& runs) const;
  bool AddHoles(const IndexedPolygons& set);
  void AppendFarChain(const Chord& chord, const IndexedPolygons& set, TPolygon& into) const;

  std::vector<Split> splits_;
  std::vector<std::size_t> wholes_;
  TPolygons local_;
  std::vector<Chord> chords_;
};

}  // namespace soustruh
