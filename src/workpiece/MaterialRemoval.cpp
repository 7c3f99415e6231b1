#include "workpiece/MaterialRemoval.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>

#include "workpiece/ShapeList.h"

namespace soustruh {
namespace {

constexpr const char* kClippingFailed = "Polygon clipping failed";

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

bool InEngineRange(const ClipPoint& p) {
  return p.X >= -ClipCoordinateLimit && p.X <= ClipCoordinateLimit && p.Y >= -ClipCoordinateLimit &&
         p.Y <= ClipCoordinateLimit;
}

// Twice the signed area of a polygon, with a bound on the rounding error of the sum: the sign is
// certain only when the magnitude exceeds the bound. Coordinates are taken relative to the first
// point, so the differences stay within 64 bits for any coordinate the engine accepts.
struct TwiceArea {
  long double value = 0;
  long double error = 0;

  bool SignKnown() const { return std::fabs(value) > error; }
};

TwiceArea TwiceAreaOf(const TPolygon& polygon) {
  TwiceArea area;
  if (polygon.size() < 3) return area;
  const ClipPoint& origin = polygon.front();
  long double magnitude = 0;
  for (std::size_t i = 1; i + 1 < polygon.size(); ++i) {
    const auto ax = static_cast<long double>(polygon[i].X - origin.X);
    const auto ay = static_cast<long double>(polygon[i].Y - origin.Y);
    const auto bx = static_cast<long double>(polygon[i + 1].X - origin.X);
    const auto by = static_cast<long double>(polygon[i + 1].Y - origin.Y);
    area.value += ax * by - bx * ay;
    magnitude += std::fabs(ax * by) + std::fabs(bx * ay);
  }
  // Each product and each addition is exact to 2^-63 relative; this is a generous bound.
  area.error = std::ldexp(magnitude * static_cast<long double>(polygon.size() + 2), -60);
  return area;
}

}  // namespace

bool MaterialRemoval::PiecesApart(const TPolygon& first, const TPolygon& second) {
  Box firstBox;
  firstBox.Add(first);
  Box secondBox;
  secondBox.Add(second);
  return firstBox.SeparatedFrom(secondBox);
}

void MaterialRemoval::Box::Add(PolygonsRef polygons) {
  for (const TPolygon& polygon : polygons)
    for (const ClipPoint& p : polygon) {
      minX = std::min(minX, p.X);
      maxX = std::max(maxX, p.X);
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
}

void MaterialRemoval::Box::Add(const Box& other) {
  minX = std::min(minX, other.minX);
  maxX = std::max(maxX, other.maxX);
  minY = std::min(minY, other.minY);
  maxY = std::max(maxY, other.maxY);
}

MaterialRemoval::Box MaterialRemoval::Box::Moved(std::int64_t dx, std::int64_t dy) const {
  if (Empty()) return *this;
  return Box{minX + dx, minY + dy, maxX + dx, maxY + dy};
}

bool MaterialRemoval::Box::SeparatedFrom(const Box& other) const {
  return maxX < other.minX || other.maxX < minX || maxY < other.minY || other.maxY < minY;
}

bool MaterialRemoval::Box::Within(const Box& other) const {
  return !Empty() && minX >= other.minX && maxX <= other.maxX && minY >= other.minY &&
         maxY <= other.maxY;
}

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
  Box subjectBox;
  subjectBox.Add(subject);
  Box clipBox;
  clipBox.Add(clip);
  if (subjectBox.SeparatedFrom(clipBox)) return false;
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
  unitedBBoxes_.clear();
  for (const TPolygon& polygon : unitedB_) {
    Box box;
    box.Add(polygon);
    unitedBBoxes_.push_back(box);
  }
  // The united group starts the union with the stock; that part of it is the same every time.
  groupBRunning_.clear();
  groupBRunningFailed_ = false;
  UniteFrom(unitedB_, groupBRunning_, groupBRunningFailed_);
  groupBCachedInput_ = groupBInput_;
  groupBCacheValid_ = true;
  ++groupBVersion_;
}

// The group's box holds the quill and the chuck far apart; the boxes of its pieces tell more often
// that the insert is clear of all of them (then no clipping is needed).
bool MaterialRemoval::InsertMayTouchGroupB(const TPolygon& insert) const {
  if (insert.empty()) return false;
  Box insertBox;
  insertBox.Add(insert);
  return std::any_of(unitedBBoxes_.begin(), unitedBBoxes_.end(),
                     [&](const Box& piece) { return !piece.SeparatedFrom(insertBox); });
}

void MaterialRemoval::UniteWithStock(const StockSection& stock) {
  if (withStockValid_ && withStockVersion_ == groupBVersion_ && stock == withStockInput_) return;
  withStock_ = groupBRunning_;
  bool failed = groupBRunningFailed_;
  UniteFrom(stock, withStock_, failed);
  // Two pieces in separated boxes (the quill clear of the rest) are two outlines; uniting them
  // once more would give the same area, and only the area is used.
  if (!failed && !(withStock_.size() == 2 && PiecesApart(withStock_[0], withStock_[1])))
    UniteTwoPieces(withStock_);
  withStockInput_ = stock;
  withStockVersion_ = groupBVersion_;
  withStockValid_ = true;
  NoteStockSideOutlines();
}

// The union is the engine's output: its outlines all run one way round and its holes the other,
// and the largest polygon is an outline. A polygon whose sense is not certain counts as an outline.
void MaterialRemoval::NoteStockSideOutlines() {
  withStockBox_ = Box{};
  withStockBox_.Add(withStock_);
  withStockOuterBoxes_.clear();
  TwiceArea largest;
  for (const TPolygon& polygon : withStock_) {
    const TwiceArea area = TwiceAreaOf(polygon);
    if (std::fabs(area.value) > std::fabs(largest.value)) largest = area;
  }
  for (const TPolygon& polygon : withStock_) {
    const TwiceArea area = TwiceAreaOf(polygon);
    if (largest.SignKnown() && area.SignKnown() && (area.value > 0) != (largest.value > 0))
      continue;  // a hole
    Box box;
    box.Add(polygon);
    withStockOuterBoxes_.push_back(box);
  }
}

bool MaterialRemoval::AddCarriageOutlines(PolygonsRef polygons, bool withRadial) {
  const TPolygons nothing;
  if (!clipper_.Execute(ClipOperation::Union, polygons, nothing, scratch_, error_)) return false;
  for (TPolygon& outline : scratch_) {
    CarriageOutline& added = carriage_.emplace_back();
    added.box.Add(outline);
    added.points = std::move(outline);
    added.withRadial = withRadial;
  }
  return true;
}

// The outlines are made again only when a drawing or the holder (relative to the tool's origin)
// changed. False when they could not be made.
bool MaterialRemoval::CarriageOutlinesFor(const CollisionInputs& inputs) {
  const PartOffset tool = PartPlacement(NASTROJ, inputs.xDiameter, inputs.z, inputs.w);
  holderScratch_.resize(inputs.holder.size());
  for (std::size_t i = 0; i < inputs.holder.size(); ++i) {
    const ClipPoint& p = inputs.holder[i];
    // Beyond the engine's range the union reports it; also keeps the subtraction defined.
    if (!InEngineRange(p)) return false;
    holderScratch_[i] = ClipPoint{p.X - tool.h, p.Y - tool.v};
  }
  const TStroj& drawing = inputs.drawing;
  if (carriageValid_ && holderScratch_ == carriageHolder_ && drawing[OSA_Z] == carriageSlideZ_ &&
      drawing[OSA_X] == carriageSlideX_ && drawing[NASTR_HLAVA] == carriageHead_)
    return true;
  carriageValid_ = false;
  carriage_.clear();
  bool made = true;
  for (const std::size_t part : {OSA_Z, OSA_X, NASTR_HLAVA}) {
    ForEachShapePolygon(drawing[part], [&](const ShapePolygon& polygon) {
      PlacePolygon(polygon.points, PartOffset{}, placed_);
      made = made && AddCarriageOutlines(placed_, part != OSA_Z);
    });
  }
  if (!made || !AddCarriageOutlines(holderScratch_, true)) return false;
  carriageSlideZ_ = drawing[OSA_Z];
  carriageSlideX_ = drawing[OSA_X];
  carriageHead_ = drawing[NASTR_HLAVA];
  carriageHolder_ = holderScratch_;
  carriageValid_ = true;
  return true;
}

// The outlines near the stock side, placed, as one set: as they all run the same way round they
// fill together exactly what the polygons fill one by one. False when the clipping failed.
bool MaterialRemoval::CarriageTouches(const CollisionInputs& inputs, bool& touches) {
  const PartOffset slide = PartPlacement(OSA_Z, inputs.xDiameter, inputs.z, inputs.w);
  const PartOffset carriage = PartPlacement(OSA_X, inputs.xDiameter, inputs.z, inputs.w);
  carriagePlaced_.resize(carriage_.size());
  bool any = false;
  for (std::size_t i = 0; i < carriage_.size(); ++i) {
    const CarriageOutline& outline = carriage_[i];
    const PartOffset& offset = outline.withRadial ? carriage : slide;
    TPolygon& placed = carriagePlaced_[i];
    placed.clear();  // an empty polygon takes no part
    if (outline.box.Moved(offset.h, offset.v).SeparatedFrom(withStockBox_)) continue;
    placed.resize(outline.points.size());
    for (std::size_t j = 0; j < placed.size(); ++j)
      placed[j] = ClipPoint{outline.points[j].X + offset.h, outline.points[j].Y + offset.v};
    any = true;
  }
  touches = false;
  if (!any) return true;
  if (!clipper_.Execute(ClipOperation::Intersection, carriagePlaced_, withStock_, scratch_, error_))
    return false;
  touches = !scratch_.empty();
  return true;
}

// UniteAll fills the hole of a union that ends as one outline with one hole, so the carriage may
// collide with a piece of the stock side it encloses without overlapping any of its polygons.
// Such a piece lies, with its outline, inside the carriage's box. (The engine could join it to a
// piece outside into one polygon only through a single point that is also a pinch of the
// carriage's own outline: a coincidence this test does not look for.)
bool MaterialRemoval::CarriageMayEncloseStockSide(const Box& carriage) const {
  return std::any_of(withStockOuterBoxes_.begin(), withStockOuterBoxes_.end(),
                     [&](const Box& piece) { return piece.Within(carriage); });
}

// The test with the union of the carriage: where the outlines cannot decide, or were not made.
bool MaterialRemoval::UnitedCarriageTouches(const CollisionInputs& inputs) {
  std::size_t count = 0;
  PlaceParts(inputs, {OSA_Z, OSA_X, NASTR_HLAVA}, groupA_, count);
  if (count == groupA_.size()) groupA_.emplace_back();
  groupA_[count++].assign(inputs.holder.begin(), inputs.holder.end());
  groupA_.resize(count);
  UniteAll(groupA_, unitedA_);
  Box carriage;
  carriage.Add(unitedA_);
  Box fixedSide;
  fixedSide.Add(unitedB_);
  fixedSide.Add(inputs.stock);
  if (carriage.SeparatedFrom(fixedSide)) return false;
  UniteWithStock(inputs.stock);
  return Overlaps(unitedA_, withStock_);
}

// The carriage collides when the union of its polygons overlaps the union of the stock side. Under
// the non-zero rule that union (each polygon taken alone) fills what some polygon fills, so it
// overlaps exactly when one of the polygons does, and the carriage is not united at all: its
// outlines are tested together against the stock side. The one thing the outlines miss is a hole
// UniteAll fills; where a piece of the stock side could lie in one, the union decides.
bool MaterialRemoval::CollisionTest(const CollisionInputs& inputs) {
  GroupB(inputs);
  if (InsertMayTouchGroupB(inputs.insert) && Overlaps(unitedB_, inputs.insert)) return true;
  if (!CarriageOutlinesFor(inputs)) return UnitedCarriageTouches(inputs);

  // The union with the stock stays inside the box of its parts, so a carriage clear of that box
  // cannot touch it and the union is not needed.
  const PartOffset slide = PartPlacement(OSA_Z, inputs.xDiameter, inputs.z, inputs.w);
  const PartOffset carriage = PartPlacement(OSA_X, inputs.xDiameter, inputs.z, inputs.w);
  Box carriageBox;
  for (const CarriageOutline& outline : carriage_) {
    const PartOffset& offset = outline.withRadial ? carriage : slide;
    carriageBox.Add(outline.box.Moved(offset.h, offset.v));
  }
  Box fixedSide;
  fixedSide.Add(unitedB_);
  fixedSide.Add(inputs.stock);
  if (carriageBox.SeparatedFrom(fixedSide)) return false;
  UniteWithStock(inputs.stock);

  bool touches = false;
  if (!CarriageTouches(inputs, touches)) return UnitedCarriageTouches(inputs);
  if (touches) return true;
  return CarriageMayEncloseStockSide(carriageBox) && UnitedCarriageTouches(inputs);
}

}  // namespace soustruh
