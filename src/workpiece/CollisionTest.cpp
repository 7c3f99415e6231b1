// The collision test of MaterialRemoval: the carriage and the insert against the quill, the
// spindle, the chuck and the stock.

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "workpiece/MaterialRemoval.h"
#include "workpiece/ShapeList.h"

namespace soustruh {
namespace {

// How far a local view's window reaches beyond the band it is made for (length units).
constexpr std::int64_t kWindowMargin = 2;

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

// The common part of two boxes (empty when they do not meet).
ClipBox Common(const ClipBox& a, const ClipBox& b) {
  if (!a.Meets(b)) return ClipBox{};
  return ClipBox{std::max(a.minX, b.minX), std::max(a.minY, b.minY), std::min(a.maxX, b.maxX),
                 std::min(a.maxY, b.maxY)};
}

}  // namespace

bool MaterialRemoval::PiecesApart(const TPolygon& first, const TPolygon& second) {
  Box firstBox;
  firstBox.Add(first);
  Box secondBox;
  secondBox.Add(second);
  return !firstBox.Meets(secondBox);
}

void MaterialRemoval::GroupB(const CollisionInputs& inputs) {
  std::size_t count = 0;
  PlaceParts(inputs, {PINOLA, VRETENO, SKLICIDLO}, groupBInput_, count);
  groupBInput_.resize(count);
  if (groupBCacheValid_ && groupBInput_ == groupBCachedInput_) return;
  UniteAll(groupBInput_, unitedB_);
  unitedBBoxes_.clear();
  unitedBBox_ = Box{};
  for (const TPolygon& polygon : unitedB_) {
    Box box;
    box.Add(polygon);
    unitedBBoxes_.push_back(box);
    unitedBBox_.Add(box);
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
                     [&](const Box& piece) { return piece.Meets(insertBox); });
}

// After a local cut clear of group B the union loses the same band where it lies, as the union
// made again would (the band meets nothing of group B). The union takes each stock polygon alone,
// so a hole of the stock counts as filled: a hole the cut left near the band is put back.
bool MaterialRemoval::UniteWithStockNear() {
  if (change_ != Change::Local || !sidePreClean_) return false;
  for (const Box& piece : unitedBBoxes_)
    if (cutWindow_.Meets(piece.Grown(kWindowMargin))) return false;
  if (!view_.Build(sidePre_, cutWindow_)) return false;
  if (view_.Empty()) return true;
  if (!plain_.Execute(ClipOperation::Difference, view_.polygons(), clip_, scratch_, error_))
    return false;
  TPolygons& holes = spare_;
  holes.clear();
  for (std::size_t i = 0; i < stock_.size(); ++i) {
    if (stock_.kind(i) != IndexedPolygons::Kind::Hole || !stock_.box(i).Meets(cutWindow_)) continue;
    holes.emplace_back(stock_[i].rbegin(), stock_[i].rend());
  }
  if (!holes.empty() && !plain_.Execute(ClipOperation::Union, scratch_, holes, scratch_, error_))
    return false;
  return view_.Splice(scratch_, sidePre_);
}

void MaterialRemoval::UniteWithStock() {
  if (sideValid_ && sideGroupB_ == groupBVersion_ && sideGeneration_ == generation_) return;
  const bool near = sideValid_ && sideGroupB_ == groupBVersion_ &&
                    sideGeneration_ + 1 == generation_ && UniteWithStockNear();
  bool failed = false;
  if (!near) {
    TPolygons& united = groupA_;
    united = groupBRunning_;
    failed = groupBRunningFailed_;
    UniteFrom(stock_.polygons(), united, failed);
    sidePre_.Assign(united);
    sidePreClean_ = !failed;
  }
  side_ = &sidePre_;
  // Two pieces in separated boxes (the quill clear of the rest) are two outlines; uniting them
  // once more would give the same area, and only the area is used.
  if (!failed && sidePre_.size() == 2 && !PiecesApart(sidePre_[0], sidePre_[1])) {
    TPolygons& united = groupA_;
    united = sidePre_.polygons();
    UniteTwoPieces(united);
    sideTwoPieces_.Assign(united);
    side_ = &sideTwoPieces_;
  }
  sideValid_ = true;
  sideGroupB_ = groupBVersion_;
  sideGeneration_ = generation_;
  NoteStockSideOutlines();
}

// The union is the engine's output: its outlines all run one way round and its holes the other.
// A polygon whose sense is not certain counts as an outline.
void MaterialRemoval::NoteStockSideOutlines() {
  sideOuterBoxes_.clear();
  for (std::size_t i = 0; i < side_->size(); ++i)
    if (side_->kind(i) != IndexedPolygons::Kind::Hole) sideOuterBoxes_.push_back(side_->box(i));
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
    if (!outline.box.Moved(offset.h, offset.v).Meets(side_->box())) continue;
    placed.resize(outline.points.size());
    for (std::size_t j = 0; j < placed.size(); ++j)
      placed[j] = ClipPoint{outline.points[j].X + offset.h, outline.points[j].Y + offset.v};
    any = true;
  }
  touches = false;
  if (!any || CarriageTouchesNear(touches)) return true;
  if (!clipper_.Execute(ClipOperation::Intersection, carriagePlaced_, side_->polygons(), scratch_,
                        error_))
    return false;
  touches = !scratch_.empty();
  return true;
}

// Each outline against the part of the stock side within its box. False when a local view could
// not be made; `touches` is then left false.
bool MaterialRemoval::CarriageTouchesNear(bool& touches) {
  if (!sidePreClean_) return false;
  for (const TPolygon& outline : carriagePlaced_) {
    if (outline.empty()) continue;
    Box box;
    box.Add(outline);
    const Box window = Common(box, side_->box()).Grown(1);
    if (window.Empty()) continue;
    if (!view_.Build(*side_, window)) return false;
    if (!view_.Empty() && OverlapsNear(outline, view_.polygons())) {
      touches = true;
      return true;
    }
  }
  return true;
}

// UniteAll fills the hole of a union that ends as one outline with one hole, so the carriage may
// collide with a piece of the stock side it encloses without overlapping any of its polygons.
// Such a piece lies, with its outline, inside the carriage's box. (The engine could join it to a
// piece outside into one polygon only through a single point that is also a pinch of the
// carriage's own outline: a coincidence this test does not look for.)
bool MaterialRemoval::CarriageMayEncloseStockSide(const Box& carriage) const {
  return std::any_of(sideOuterBoxes_.begin(), sideOuterBoxes_.end(),
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
  Box fixedSide = unitedBBox_;
  fixedSide.Add(stock_.box());
  if (!carriage.Meets(fixedSide)) return false;
  UniteWithStock();
  return Overlaps(unitedA_, side_->polygons());
}

// The carriage collides when the union of its polygons overlaps the union of the stock side. Under
// the non-zero rule that union (each polygon taken alone) fills what some polygon fills, so it
// overlaps exactly when one of the polygons does, and the carriage is not united at all: its
// outlines are tested together against the stock side. The one thing the outlines miss is a hole
// UniteAll fills; where a piece of the stock side could lie in one, the union decides.
bool MaterialRemoval::CollisionTest(const CollisionInputs& inputs) {
  Sync(inputs.stock);
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
  Box fixedSide = unitedBBox_;
  fixedSide.Add(stock_.box());
  if (!carriageBox.Meets(fixedSide)) return false;
  UniteWithStock();

  bool touches = false;
  if (!CarriageTouches(inputs, touches)) return UnitedCarriageTouches(inputs);
  if (touches) return true;
  return CarriageMayEncloseStockSide(carriageBox) && UnitedCarriageTouches(inputs);
}

}  // namespace soustruh
