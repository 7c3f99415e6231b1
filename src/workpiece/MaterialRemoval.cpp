#include "workpiece/MaterialRemoval.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>

#include "workpiece/ShapeList.h"

namespace soustruh {
namespace {

constexpr const char* kClippingFailed = "Polygon clipping failed";

// How far a local view's window reaches beyond what it is made for (length units): the engine
// changes nothing farther than a unit from where the band lies.
constexpr std::int64_t kWindowMargin = 2;

// How far beyond the band the trim to the mirror image is still made where the last cuts left
// the stock not quite its own mirror image (length units).
constexpr std::int64_t kDirtyReach = 20000;

bool InExactRange(const ClipPoint& p) {
  constexpr std::int64_t limit = IndexedPolygons::kCoordinateLimit;
  return p.X >= -limit && p.X <= limit && p.Y >= -limit && p.Y <= limit;
}

// The box of the edges of `polygons` whose mirror image across the axis (run backwards, as the
// mirror image of a polygon keeps its sense that way) is not an edge of them, grown to hold its
// own mirror image; the chords of `view` are left out. Empty when the set is its own mirror image.
ClipBox AsymmetricEdges(const TPolygons& polygons, const LocalView* view) {
  using Edge = std::array<std::int64_t, 4>;
  std::vector<Edge> edges;
  const auto each = [&](auto&& visit) {
    for (const TPolygon& p : polygons)
      for (std::size_t j = 0; j < p.size(); ++j) {
        const ClipPoint& a = p[j];
        const ClipPoint& b = p[j + 1 == p.size() ? 0 : j + 1];
        if (view == nullptr || !view->IsChord(a, b)) visit(a, b);
      }
  };
  each([&](const ClipPoint& a, const ClipPoint& b) { edges.push_back({a.X, a.Y, b.X, b.Y}); });
  std::sort(edges.begin(), edges.end());
  ClipBox box;
  each([&](const ClipPoint& a, const ClipPoint& b) {
    if (std::binary_search(edges.begin(), edges.end(), Edge{b.X, -b.Y, a.X, -a.Y})) return;
    box.Add(a);
    box.Add(b);
  });
  if (!box.Empty()) {
    box.Add(ClipPoint{box.minX, -box.maxY});
    box.Add(ClipPoint{box.maxX, -box.minY});
  }
  return box;
}

template <typename Engine>
bool Intersects(Engine& engine, PolygonsRef subject, PolygonsRef clip, TPolygons& scratch,
                std::string& error, bool& failed) {
  ClipBox subjectBox;
  subjectBox.Add(subject);
  ClipBox clipBox;
  clipBox.Add(clip);
  if (!subjectBox.Meets(clipBox)) return false;
  failed = !engine.Execute(ClipOperation::Intersection, subject, clip, scratch, error);
  return !failed && !scratch.empty();
}

}  // namespace

void ExtractToolOutlines(const TUtvar& tool, std::int32_t xDiameter, std::int32_t z,
                         ToolOutlines& outlines) {
  outlines.insert.clear();
  outlines.holder.clear();
  outlines.insertFlag = tool.empty() ? 0 : tool.front().y;
  const PartOffset offset = PartPlacement(NASTROJ, xDiameter, z, 0);
  switch (outlines.insertFlag) {
    case -1:
      PlacePolygon(ShapePolygonPoints(tool, 0), offset, outlines.insert);
      PlacePolygon(ShapePolygonPoints(tool, 1), offset, outlines.holder);
      break;
    case 0:
      PlacePolygon(ShapePolygonPoints(tool, 0), offset, outlines.holder);
      break;
    case 1:
      PlacePolygon(ShapePolygonPoints(tool, 1), offset, outlines.insert);
      PlacePolygon(ShapePolygonPoints(tool, 0), offset, outlines.holder);
      break;
    default:
      break;
  }
}

bool CuttingPermitted(std::int32_t insertFlag, int spindle, bool dryRun) {
  if (spindle == kSpindleStopped || dryRun) return false;
  if (insertFlag == -1 && spindle != kSpindleM03) return false;
  if (insertFlag == 1 && spindle != kSpindleM04) return false;
  return true;
}

void MaterialRemoval::Fail() {
  reporter_.Report(error_.empty() ? kClippingFailed : error_);
}

bool MaterialRemoval::Overlaps(PolygonsRef subject, PolygonsRef clip) {
  bool failed = false;
  const bool overlap = Intersects(clipper_, subject, clip, scratch_, error_, failed);
  if (failed) Fail();
  return overlap;
}

bool MaterialRemoval::OverlapsNear(PolygonsRef subject, PolygonsRef clip) {
  bool failed = false;
  const bool overlap = Intersects(plain_, subject, clip, scratch_, error_, failed);
  if (failed) Fail();
  return overlap;
}

void MaterialRemoval::UniteFrom(PolygonsRef polygons, TPolygons& result, bool& failed) {
  for (const TPolygon& polygon : polygons) {
    if (failed) return;
    if (!clipper_.Execute(ClipOperation::Union, polygon, result, spare_, error_)) {
      Fail();
      failed = true;
      return;
    }
    std::swap(result, spare_);
  }
}

void MaterialRemoval::UniteTwoPieces(TPolygons& result) {
  if (result.size() != 2) return;
  if (!clipper_.Execute(ClipOperation::Union, result[0], result[1], spare_, error_)) {
    Fail();
    return;
  }
  std::swap(result, spare_);
}

void MaterialRemoval::UniteAll(PolygonsRef polygons, TPolygons& result) {
  result.clear();
  bool failed = false;
  UniteFrom(polygons, result, failed);
  if (!failed) UniteTwoPieces(result);
}

// A stock this object did not leave (a new one, or one another hand changed) is taken as the
// engine gives it back united with nothing: the same region, its outlines and holes run as the
// engine runs them, which the local views need. The simulator's stock stays as it was until the
// first cut, which gives what cutting the stock as it was gives.
void MaterialRemoval::Sync(const StockSection& stock) {
  if (Untouched(stock) || stock == (seenDiffers_ ? seen_ : stock_.polygons())) return;
  std::size_t points = 0;
  for (const TPolygon& polygon : stock) points += polygon.size();
  const TPolygons nothing;
  clean_ = OnWholeStock(points, [&](auto& engine) {
    return engine.Execute(ClipOperation::Union, stock, nothing, spare_, error_);
  });
  stock_.Assign(clean_ ? spare_ : stock);
  seenDiffers_ = stock_.polygons() != stock;
  if (seenDiffers_)
    seen_ = stock;
  else
    seen_.clear();
  symmetric_ = stock_.exact() && AsymmetricEdges(stock_.polygons(), nullptr).Empty();
  dirty_ = Box{};
  ++generation_;
  change_ = Change::Replaced;
}

// The collision test that follows a removal pass on the same stock need not compare the stock
// point for point: nothing between the two changes it. What is remembered is where each of its
// polygons keeps its points, and how many.
void MaterialRemoval::Remember(const StockSection& stock) {
  handedOut_.clear();
  for (const TPolygon& polygon : stock) handedOut_.emplace_back(polygon.data(), polygon.size());
  handedOutTo_ = &stock;
}

bool MaterialRemoval::Untouched(const StockSection& stock) {
  const bool same =
      handedOutTo_ == &stock && handedOut_.size() == stock.size() &&
      std::equal(stock.begin(), stock.end(), handedOut_.begin(),
                 [](const TPolygon& p, const std::pair<const ClipPoint*, std::size_t>& q) {
                   return p.data() == q.first && p.size() == q.second;
                 });
  handedOutTo_ = nullptr;
  return same;
}

bool MaterialRemoval::StockOverlaps(const TPolygon& insert) {
  Box box;
  box.Add(insert);
  if (!box.Meets(stock_.box())) return false;
  if (clean_ && view_.Build(stock_, box.Grown(kWindowMargin)))
    return !view_.Empty() && OverlapsNear(view_.polygons(), insert);
  return Overlaps(stock_.polygons(), insert);
}

// The band each insert edge swept since the previous pass: one quadrilateral per edge, united
// one by one as UniteAll does (with the plain engine, as the band is small).
void MaterialRemoval::Sweep(const TPolygon& insert, const RemovalInputs& inputs) {
  const std::int64_t dz = lastCut_.z - inputs.z;
  const std::int64_t dr = lastCut_.radial - inputs.radial;
  if (ConvexSweep(insert, dz, dr)) return;
  const std::size_t n = insert.size();
  quads_.resize(n);
  for (std::size_t k = 0; k < n; ++k) {
    const ClipPoint& a = insert[k == 0 ? n - 1 : k - 1];
    const ClipPoint& b = insert[k];
    quads_[k].assign({a, ClipPoint{a.X + dz, a.Y + dr}, ClipPoint{b.X + dz, b.Y + dr}, b});
  }
  swept_.clear();
  for (const TPolygon& quad : quads_) {
    if (!plain_.Execute(ClipOperation::Union, quad, swept_, spare_, error_)) {
      Fail();
      return;
    }
    std::swap(swept_, spare_);
  }
  if (swept_.size() != 2) return;
  if (plain_.Execute(ClipOperation::Union, swept_[0], swept_[1], spare_, error_))
    std::swap(swept_, spare_);
  else
    Fail();
}

// A convex insert's edges sweep a ring between the hull of both positions and what the two
// positions have in common (or, moved farther than its own width, the hull alone); UniteAll's
// last step fills the ring's hole. What is left is the hull of the insert at both positions,
// whose corners are the insert's own points: no crossing point is computed, so it is exactly what
// the quadrilaterals united give. False (nothing done) for an insert that is not convex.
bool MaterialRemoval::ConvexSweep(const TPolygon& insert, std::int64_t dz, std::int64_t dr) {
  TPolygon& outline = placed_;
  outline.clear();
  for (const ClipPoint& p : insert) {
    if (!InExactRange(p) || !InExactRange({p.X + dz, p.Y + dr})) return false;
    if (outline.empty() || outline.back() != p) outline.push_back(p);
  }
  while (outline.size() > 1 && outline.back() == outline.front()) outline.pop_back();
  // Strictly convex once points on a straight line are dropped: every turn the same way.
  int sense = 0;
  std::size_t corners = 0;
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const std::int64_t turn = Cross(outline[(i + outline.size() - 1) % outline.size()], outline[i],
                                    outline[(i + 1) % outline.size()]);
    if (turn == 0) continue;
    const int s = turn > 0 ? 1 : -1;
    if (sense != 0 && s != sense) return false;
    sense = s;
    ++corners;
  }
  if (corners < 3 || TwiceArea(outline) == 0) return false;
  swept_.clear();
  if (dz == 0 && dr == 0) return true;  // every quadrilateral is flat
  std::vector<ClipPoint>& points = hull_;
  points.assign(outline.begin(), outline.end());
  for (const ClipPoint& p : outline) points.push_back({p.X + dz, p.Y + dr});
  std::sort(points.begin(), points.end(), [](const ClipPoint& a, const ClipPoint& b) {
    return a.X != b.X ? a.X < b.X : a.Y < b.Y;
  });
  points.erase(std::unique(points.begin(), points.end()), points.end());
  // Andrew's monotone chain, anticlockwise, without points on a straight line.
  TPolygon& hull = swept_.emplace_back();
  for (int pass = 0; pass < 2; ++pass) {
    const std::size_t start = hull.size();
    for (std::size_t k = 0; k < points.size(); ++k) {
      const ClipPoint& p = pass == 0 ? points[k] : points[points.size() - 1 - k];
      while (hull.size() >= start + 2 && Cross(hull[hull.size() - 2], hull.back(), p) <= 0)
        hull.pop_back();
      hull.push_back(p);
    }
    hull.pop_back();
  }
  return true;
}

// The engine for an operation on the whole stock: the plain one while the stock is small, the
// one tuned for turned profiles on a large stock (where the plain one slows down with every
// groove); they differ only in how a crossing point may round.
template <typename Operation>
bool MaterialRemoval::OnWholeStock(std::size_t points, Operation&& operation) {
  constexpr std::size_t kPlainUpTo = 2000;
  return points <= kPlainUpTo ? operation(plain_) : operation(clipper_);
}

// The whole stock at once: the band taken away, then the stock trimmed to its mirror image.
bool MaterialRemoval::CutWhole(bool mirror) {
  TPolygons& stock = spare_;
  stock = stock_.polygons();
  std::size_t points = 0;
  for (const TPolygon& polygon : stock) points += polygon.size();
  bool made = false;
  const bool cut = OnWholeStock(points, [&](auto& engine) {
    return engine.Execute(ClipOperation::Difference, stock, swept_, stock, error_);
  });
  made = cut;
  if (!cut) Fail();
  if (mirror) {
    TPolygons& mirrored = quads_;
    mirrored = stock;
    for (TPolygon& polygon : mirrored)
      for (ClipPoint& point : polygon) point.Y = -point.Y;
    if (OnWholeStock(points, [&](auto& engine) {
          return engine.Execute(ClipOperation::Intersection, stock, mirrored, stock, error_);
        })) {
      made = true;
    } else {
      Fail();
    }
  }
  stock_.Assign(stock);
  clean_ = made || clean_;
  symmetric_ = mirror || (symmetric_ && swept_.empty());
  dirty_ = mirror && stock_.exact() ? AsymmetricEdges(stock, nullptr) : Box{};
  ++generation_;
  change_ = Change::Whole;
  return cut;
}

// The same two operations on the local view: the band taken away, the rest trimmed to its mirror
// image. The view's window holds the band and its mirror image, so it is itself symmetric, and
// the far parts of a stock that is its own mirror image are left as they were.
bool MaterialRemoval::CutNear(bool mirror) {
  if (!plain_.Execute(ClipOperation::Difference, view_.polygons(), swept_, scratch_, error_))
    return false;
  if (!mirror) return true;
  spare_ = scratch_;
  for (TPolygon& polygon : spare_)
    for (ClipPoint& point : polygon) point.Y = -point.Y;
  return plain_.Execute(ClipOperation::Intersection, scratch_, spare_, scratch_, error_);
}

// Near the band where a local view exists and the stock is its own mirror image but where the
// last cuts left it otherwise (`dirty_`), or where it is cut on one side only; the whole stock
// otherwise. The trim to the mirror image changes nothing where the stock is its own mirror image
// edge for edge, so the view's window holds the band, its mirror image and `dirty_`.
bool MaterialRemoval::Cut(bool mirror) {
  if (swept_.empty() && (!mirror || (symmetric_ && dirty_.Empty()))) return true;
  if (clean_ && (!mirror || symmetric_) && (mirror || !swept_.empty())) {
    // What the cut takes away: the band, and with the mirror step its mirror image (run
    // backwards to keep its sense).
    clip_ = swept_;
    if (mirror) {
      for (const TPolygon& polygon : swept_) {
        TPolygon& image = clip_.emplace_back(polygon.rbegin(), polygon.rend());
        for (ClipPoint& point : image) point.Y = -point.Y;
      }
    }
    Box box;
    box.Add(clip_);
    // Asymmetry left farther off is left as it is: the window would grow with every cut.
    if (mirror && (box.Empty() || dirty_.Within(box.Grown(kDirtyReach)))) box.Add(dirty_);
    const Box window = box.Grown(kWindowMargin);
    if (view_.Build(stock_, window)) {
      if (view_.Empty()) {
        dirty_ = Box{};
        return true;
      }
      if (CutNear(mirror)) {
        const Box dirty = mirror ? AsymmetricEdges(scratch_, &view_) : Box{};
        if (view_.Splice(scratch_, stock_)) {
          symmetric_ = symmetric_ && mirror;
          dirty_ = dirty;
          ++generation_;
          change_ = Change::Local;
          cutWindow_ = window;
          return true;
        }
      }
    }
  }
  return CutWhole(mirror);
}

RemovalOutcome MaterialRemoval::RemovalPass(StockSection& stock, bool& toolWasTouching,
                                            const RemovalInputs& inputs) {
  RemovalOutcome outcome;
  Sync(stock);
  const std::uint64_t generation = generation_;
  const TPolygon& insert = inputs.insert;
  outcome.touching = !insert.empty() && StockOverlaps(insert);
  if (insert.empty()) toolWasTouching = false;
  if (outcome.touching || toolWasTouching) {
    outcome.forbidden =
        outcome.touching && !CuttingPermitted(inputs.insertFlag, inputs.spindle, inputs.dryRun);
    Sweep(insert, inputs);
    // After a collision the cut stays one-sided, showing where the tool went in.
    outcome.swept = Cut(!inputs.driveSyncPending && !outcome.forbidden);
    if (generation_ != generation) {
      stock = stock_.polygons();
      seenDiffers_ = false;
      seen_.clear();
    }
  }
  lastCut_ = CutPosition{inputs.z, inputs.radial};
  toolWasTouching = outcome.touching;
  Remember(stock);
  return outcome;
}

}  // namespace soustruh
