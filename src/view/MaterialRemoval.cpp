#include "view/MaterialRemoval.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <utility>

#include "view/ShapeList.h"

namespace soustruh {
namespace {

constexpr const char* kClippingFailed = "Polygon clipping failed";

// The smallest rectangle holding every point; empty when there are no points.
struct Box {
  std::int64_t minX = std::numeric_limits<std::int64_t>::max();
  std::int64_t minY = std::numeric_limits<std::int64_t>::max();
  std::int64_t maxX = std::numeric_limits<std::int64_t>::min();
  std::int64_t maxY = std::numeric_limits<std::int64_t>::min();

  void Add(PolygonsRef polygons) {
    for (const TPolygon& polygon : polygons)
      for (const ClipPoint& p : polygon) {
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
      }
  }
  // No common point at all. Every clipping result lies inside the box of its inputs, so polygons
  // in separated boxes cannot overlap.
  bool SeparatedFrom(const Box& other) const {
    return maxX < other.minX || other.maxX < minX || maxY < other.minY || other.maxY < minY;
  }
};

// The polygons of the parts placed at the carriage and quill positions, written into `placed`
// from index `count` on (reusing the storage its polygons had at the previous redraw).
void PlaceParts(const CollisionInputs& inputs, std::initializer_list<std::size_t> parts,
                TPolygons& placed, std::size_t& count) {
  for (const std::size_t part : parts) {
    const PartOffset offset = PartPlacement(part, inputs.xDiameter, inputs.z, inputs.w);
    ForEachShapePolygon(inputs.drawing[part], [&](const ShapePolygon& polygon) {
      if (count == placed.size()) placed.emplace_back();
      PlacePolygon(polygon.points, offset, placed[count++]);
    });
  }
}

Box BoxOf(PolygonsRef polygons) {
  Box box;
  box.Add(polygons);
  return box;
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
  if (BoxOf(subject).SeparatedFrom(BoxOf(clip))) return false;
  if (!clipper_.Execute(ClipOperation::Intersection, subject, clip, scratch_, error_)) {
    Fail();
    return false;
  }
  return !scratch_.empty();
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

RemovalOutcome MaterialRemoval::RemovalPass(StockSection& stock, bool& toolWasTouching,
                                            const RemovalInputs& inputs) {
  RemovalOutcome outcome;
  const TPolygon& insert = inputs.insert;
  outcome.touching = !insert.empty() && Overlaps(stock, insert);
  if (insert.empty()) toolWasTouching = false;
  if (outcome.touching || toolWasTouching) {
    outcome.forbidden =
        outcome.touching && !CuttingPermitted(inputs.insertFlag, inputs.spindle, inputs.dryRun);
    // One quadrilateral per insert edge: the band the edge swept from the previous position.
    const std::int64_t dz = lastCut_.z - inputs.z;
    const std::int64_t dr = lastCut_.radial - inputs.radial;
    const std::size_t n = insert.size();
    quads_.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
      const ClipPoint& a = insert[k == 0 ? n - 1 : k - 1];
      const ClipPoint& b = insert[k];
      quads_[k].assign({a, ClipPoint{a.X + dz, a.Y + dr}, ClipPoint{b.X + dz, b.Y + dr}, b});
    }
    UniteAll(quads_, swept_);
    if (clipper_.Execute(ClipOperation::Difference, stock, swept_, scratch_, error_)) {
      std::swap(stock, scratch_);
      outcome.swept = true;
    } else {
      Fail();
    }
    // After a collision the cut stays one-sided, showing where the tool went in.
    if (!inputs.driveSyncPending && !outcome.forbidden) {
      spare_ = stock;
      for (TPolygon& polygon : spare_)
        for (ClipPoint& point : polygon) point.Y = -point.Y;
      if (clipper_.Execute(ClipOperation::Intersection, stock, spare_, scratch_, error_))
        std::swap(stock, scratch_);
      else
        Fail();
    }
  }
  lastCut_ = CutPosition{inputs.z, inputs.radial};
  toolWasTouching = outcome.touching;
  return outcome;
}

void MaterialRemoval::GroupB(const CollisionInputs& inputs) {
  std::size_t count = 0;
  PlaceParts(inputs, {PINOLA, VRETENO, SKLICIDLO}, groupBInput_, count);
  groupBInput_.resize(count);
  if (groupBCacheValid_ && groupBInput_ == groupBCachedInput_) return;
  UniteAll(groupBInput_, unitedB_);
  // The united group starts the union with the stock; that part of it is the same every time.
  groupBRunning_.clear();
  groupBRunningFailed_ = false;
  UniteFrom(unitedB_, groupBRunning_, groupBRunningFailed_);
  groupBCachedInput_ = groupBInput_;
  groupBCacheValid_ = true;
  ++groupBVersion_;
}

void MaterialRemoval::UniteWithStock(const StockSection& stock) {
  if (withStockValid_ && withStockVersion_ == groupBVersion_ && stock == withStockInput_) return;
  withStock_ = groupBRunning_;
  bool failed = groupBRunningFailed_;
  UniteFrom(stock, withStock_, failed);
  if (!failed) UniteTwoPieces(withStock_);
  withStockInput_ = stock;
  withStockVersion_ = groupBVersion_;
  withStockValid_ = true;
}

bool MaterialRemoval::CollisionTest(const CollisionInputs& inputs) {
  GroupB(inputs);
  if (!inputs.insert.empty() && Overlaps(unitedB_, inputs.insert)) return true;

  std::size_t count = 0;
  PlaceParts(inputs, {OSA_Z, OSA_X, NASTR_HLAVA}, groupA_, count);
  if (count == groupA_.size()) groupA_.emplace_back();
  groupA_[count++].assign(inputs.holder.begin(), inputs.holder.end());
  groupA_.resize(count);
  UniteAll(groupA_, unitedA_);

  // The union with the stock stays inside the box of its parts, so a carriage clear of that box
  // cannot touch it and the union is not needed.
  Box fixedSide = BoxOf(unitedB_);
  fixedSide.Add(inputs.stock);
  if (BoxOf(unitedA_).SeparatedFrom(fixedSide)) return false;
  UniteWithStock(inputs.stock);
  return Overlaps(unitedA_, withStock_);
}

}  // namespace soustruh
