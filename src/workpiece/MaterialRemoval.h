#pragma once
// Material removal and the collision test of the machine view. At every redraw the band the
// tool's insert swept since the previous redraw is cut out of the stock's section, the section is
// kept symmetric about the spindle axis, and the carriage and the insert are tested against the
// quill, the spindle, the chuck and the stock.
//
// Model plane: horizontal = machine Z, vertical = radial distance from the spindle axis (positive
// on the tool side); length units (0.0001 mm), 64-bit. X of the machine is a diameter: the
// carriage's radial offset is X div 2 (truncated toward zero).
//
// Clipping failures never stop the machine: the operation that failed leaves its input as it was
// (a union keeps what it had united so far), and the text is reported once through the reporter.
//
// Cost: the removal pass and the stock side of the collision test work on a local view of the
// stock around the band (LocalView) and splice the result back, so a redraw costs what the
// vertices near the tool cost; only a stock that changed by another hand, one cut on one side
// only, or a place without a local view take operations on the whole stock. The object keeps the
// stock it last saw; a stock handed to CollisionTest right after RemovalPass (the same object,
// its polygons in the same buffers) is taken as the pass left it, without comparing it again.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "machine/MachineDrawing.h"
#include "platform/OnceReporter.h"
#include "workpiece/Clipping.h"
#include "workpiece/IndexedPolygons.h"
#include "workpiece/LocalView.h"
#include "workpiece/ProfileClipper.h"
#include "workpiece/StockSection.h"

namespace soustruh {

// The tool's cutting insert and its holder at the current carriage position, from the tool's
// shape list (NASTROJ) by the flag of its first polygon:
//   −1 ("OL", "OP"): insert = first polygon, holder = second; cuts with M03 only;
//    0 (no insert):  no insert, holder = first polygon; never cuts;
//   +1 ("L", "P"):   insert = second polygon, holder = first; cuts with M04 only;
//   any other flag, or an empty list: neither.
// A polygon the list is too short for is empty.
struct ToolOutlines {
  TPolygon insert;  // absolute model coordinates
  TPolygon holder;
  std::int32_t insertFlag = 0;  // the flag of the first polygon; 0 for an empty list
};

// Fills `outlines` (its storage reused) for the carriage at X (a diameter) and Z: each point
// (x, y) of the tool drawing becomes (x + Z, y + X div 2).
void ExtractToolOutlines(const TUtvar& tool, std::int32_t xDiameter, std::int32_t z,
                         ToolOutlines& outlines);

// Spindle states (M group 0).
inline constexpr int kSpindleM03 = 3;
inline constexpr int kSpindleM04 = 4;
inline constexpr int kSpindleStopped = 5;

// Whether the insert may cut: the spindle turns, in the direction the insert's layout needs
// (M03 for flag −1, M04 for flag +1), and no dry run is on.
bool CuttingPermitted(std::int32_t insertFlag, int spindle, bool dryRun);

// The carriage position of the previous removal pass: Z and the radial offset X div 2.
struct CutPosition {
  std::int64_t z = 0;
  std::int64_t radial = 0;

  friend bool operator==(const CutPosition&, const CutPosition&) = default;
};

struct RemovalInputs {
  const TPolygon& insert;  // the insert at the current position (ToolOutlines::insert)
  std::int32_t insertFlag = 0;
  std::int32_t z = 0;       // Active Z
  std::int32_t radial = 0;  // Active X div 2
  int spindle = kSpindleStopped;
  bool dryRun = false;            // AUTOMAT with the "Dry Run" key checked
  bool driveSyncPending = false;  // Alarms holds DriveSync
};

struct RemovalOutcome {
  bool touching = false;   // the insert overlaps the stock now
  bool forbidden = false;  // touching where cutting is not permitted: the collision reaction is due
  bool swept = false;      // the sweep and its subtraction were carried out
};

struct CollisionInputs {
  const TStroj& drawing;  // OSA_Z, OSA_X, NASTR_HLAVA, PINOLA, VRETENO and SKLICIDLO are read
  std::int32_t xDiameter = 0;
  std::int32_t z = 0;
  std::int32_t w = 0;
  const TPolygon& holder;  // ToolOutlines, already placed
  const TPolygon& insert;
  const StockSection& stock;
};

class MaterialRemoval {
 public:
  explicit MaterialRemoval(OnceReporter& reporter) : reporter_(reporter) {}

  // The removal pass for the carriage at (z, radial):
  //  1. touching := the stock overlaps the insert; with no insert the tool was not touching
  //     before either.
  //  2. When the insert neither touches now nor touched at the previous pass, nothing is cut.
  //  3. Otherwise: touching while cutting is not permitted sets `forbidden` (the caller applies
  //     the collision reaction; the cut goes on); the band each insert edge swept from the
  //     previous position is united and subtracted from the stock; then, unless DriveSync is
  //     pending or `forbidden` is set, the stock is trimmed to its mirror image across the axis,
  //     so what was cut on the tool side is cut on the far side too.
  //  4. The previous position becomes (z, radial) and `toolWasTouching` becomes touching, also
  //     when nothing was cut.
  // The work is confined to the stock near the band where it can be (LocalView): the result is
  // the region the whole-stock operations give, its vertices where they put them, save for the
  // engine's rounding of a crossing point by a length unit.
  RemovalOutcome RemovalPass(StockSection& stock, bool& toolWasTouching,
                             const RemovalInputs& inputs);

  // Unites the polygons one by one in order (each is united with what the earlier ones gave);
  // when that ends with exactly two pieces they are united once more. On a clipping failure the
  // pieces united so far are the result. `result` may not be `polygons`.
  void UniteAll(PolygonsRef polygons, TPolygons& result);

  // True when the carriage (OSA_Z, OSA_X, NASTR_HLAVA and the holder) overlaps the quill, the
  // spindle, the chuck or the stock, or the insert overlaps the quill, the spindle or the chuck.
  // The frame, the tailstock and the covers take part in no test; the insert may touch the stock.
  // Each side counts as what UniteAll makes of its polygons (so a side whose union is an outline
  // with a single hole counts as filled), and only a common area is an overlap: touching is not.
  // A test that cannot be made counts as no collision (it is reported).
  bool CollisionTest(const CollisionInputs& inputs);

  const CutPosition& lastCutPosition() const { return lastCut_; }
  void setLastCutPosition(const CutPosition& position) { lastCut_ = position; }

 private:
  using Box = ClipBox;

  // One outline of the carriage relative to its part's origin: what one polygon of the Z slide,
  // the X slide, the tool head or the holder fills (non-zero, the polygon alone), as the clipping
  // engine gives it back, so every outline runs the same way round and holes the other way.
  struct CarriageOutline {
    TPolygon points;
    Box box;
    bool withRadial = false;  // moves with Z and X div 2; without, with Z only (the Z slide)
  };

  // How the stock changed at its last change.
  enum class Change { Replaced, Whole, Local };

  // removal (MaterialRemoval.cpp)
  void Sync(const StockSection& stock);
  void Remember(const StockSection& stock);
  bool Untouched(const StockSection& stock);
  bool StockOverlaps(const TPolygon& insert);
  void Sweep(const TPolygon& insert, const RemovalInputs& inputs);
  bool ConvexSweep(const TPolygon& insert, std::int64_t dz, std::int64_t dr);
  bool Cut(bool mirror);
  bool CutNear(bool mirror);
  bool CutWhole(bool mirror);
  template <typename Operation>
  bool OnWholeStock(std::size_t points, Operation&& operation);
  bool Overlaps(PolygonsRef subject, PolygonsRef clip);
  bool OverlapsNear(PolygonsRef subject, PolygonsRef clip);
  void UniteFrom(PolygonsRef polygons, TPolygons& result, bool& failed);
  void UniteTwoPieces(TPolygons& result);
  void Fail();

  // collision test (CollisionTest.cpp)
  static bool PiecesApart(const TPolygon& first, const TPolygon& second);
  void GroupB(const CollisionInputs& inputs);
  bool InsertMayTouchGroupB(const TPolygon& insert) const;
  void UniteWithStock();
  bool UniteWithStockNear();
  void NoteStockSideOutlines();
  bool CarriageOutlinesFor(const CollisionInputs& inputs);
  bool AddCarriageOutlines(PolygonsRef polygons, bool withRadial);
  bool CarriageTouches(const CollisionInputs& inputs, bool& touches);
  bool CarriageTouchesNear(bool& touches);
  bool CarriageMayEncloseStockSide(const Box& carriage) const;
  bool UnitedCarriageTouches(const CollisionInputs& inputs);

  OnceReporter& reporter_;
  PolygonClipper plain_;    // operations on small sets
  ProfileClipper clipper_;  // operations on a whole stock
  LocalView view_;
  CutPosition lastCut_;
  std::string error_;
  TPolygons scratch_;  // results of single operations
  TPolygons spare_;    // the other half of a swap
  TPolygons quads_;    // the swept bands
  TPolygons swept_;
  std::vector<ClipPoint> hull_;
  TPolygons clip_;    // what the last cut took away: the band, and its mirror image
  TPolygons groupA_;  // placed polygons, then their union
  TPolygons unitedA_;
  TPolygon placed_;

  // The stock as this object last saw or left it, indexed, as the engine gives it back. `clean_`:
  // an engine output, so local views apply; `symmetric_`: its own mirror image (to the engine's
  // rounding). Each change counts up `generation_`; a local cut keeps its window for the stock
  // side's union.
  IndexedPolygons stock_;
  TPolygons seen_;  // the simulator's stock while it differs from stock_ (not cut yet)
  // The stock the last removal pass handed back, for the collision test right after it.
  const StockSection* handedOutTo_ = nullptr;
  std::vector<std::pair<const ClipPoint*, std::size_t>> handedOut_;
  bool seenDiffers_ = false;
  bool clean_ = false;
  bool symmetric_ = false;
  Box dirty_;  // where a symmetric stock is not its own mirror image edge for edge
  std::uint64_t generation_ = 0;
  Change change_ = Change::Replaced;
  Box cutWindow_;

  // Group B (quill, spindle, chuck) changes only when the quill moves or the chuck is rebuilt;
  // its placed polygons are compared with those of the last test, and on a match the union made
  // then is used again. The union is deterministic, so the result is the same.
  TPolygons groupBInput_;
  TPolygons groupBCachedInput_;
  TPolygons groupBRunning_;  // the one-by-one union of group B before the two-piece step
  bool groupBRunningFailed_ = false;
  bool groupBCacheValid_ = false;
  TPolygons unitedB_;
  Box unitedBBox_;
  std::vector<Box> unitedBBoxes_;    // of each polygon of unitedB_
  std::uint64_t groupBVersion_ = 0;  // counts the unions of group B made
  // Group B united with the stock polygon by polygon (`sidePre_`), and that after the two-piece
  // step (`side_`, which is sidePre_ itself unless the step changed something). Made again when
  // group B changes or the stock changes other than by a local cut clear of group B; after such
  // a cut the same band is taken out of the union where it lies.
  IndexedPolygons sidePre_;
  IndexedPolygons sideTwoPieces_;
  const IndexedPolygons* side_ = &sidePre_;
  bool sideValid_ = false;
  bool sidePreClean_ = false;
  std::uint64_t sideGroupB_ = 0;
  std::uint64_t sideGeneration_ = 0;
  std::vector<Box> sideOuterBoxes_;  // of its pieces' outlines (and of any not told apart)
  // The carriage outlines, made again only when the drawings or the holder change; the union of
  // the carriage is not needed for the test (see CollisionTest).
  std::vector<CarriageOutline> carriage_;
  TUtvar carriageSlideZ_;  // the drawings and the holder (relative to the tool's origin) the
  TUtvar carriageSlideX_;  // outlines were made from
  TUtvar carriageHead_;
  TPolygon carriageHolder_;
  TPolygon holderScratch_;
  bool carriageValid_ = false;
  TPolygons carriagePlaced_;  // the outlines near the stock side, placed at the current position
};

}  // namespace soustruh
