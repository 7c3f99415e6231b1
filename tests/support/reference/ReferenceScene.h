#pragma once
// The machine view written the straightforward way: every clipping step as one operation of the
// clipping engine on whole polygon sets, a new engine for each, nothing cached. The removal pass
// unites the swept quadrilaterals one by one, subtracts them from the whole stock and trims the
// stock to its mirror image; the collision test unites both groups polygon by polygon; every drawn
// polygon is intersected with the picture's rectangle at a tenth of a pixel.
//
// It is the yardstick of the optimised MachineScene: the equivalence tests run the same programs
// through both and compare the stock, the alarms and the pictures; the benchmarks time both in one
// run. Only the engine's plain operations are used (ClipIntersection, ClipUnion, ClipDifference).

#include <cstdint>
#include <span>
#include <string>

#include "control/Simulator.h"
#include "platform/Canvas.h"
#include "platform/OnceReporter.h"
#include "workpiece/Clipping.h"

namespace soustruh::reference {

// Screen position of a model point, in extended precision, rounded to nearest, ties to even.
ScreenPoint ToScreen(const MachineState& state, std::int64_t h, std::int64_t v);

// Unites the polygons one by one; two pieces at the end are united once more. Clipping failures
// are reported and end the union with what it has.
TPolygons UniteAll(std::span<const TPolygon> polygons, OnceReporter& reporter);

class ReferenceScene : public Scene {
 public:
  // `canvas` may be null: removal and collision test without drawing.
  ReferenceScene(Simulator& simulator, Canvas* canvas);

  void SceneRedraw() override;
  void ChuckBuild() override;

  const OnceReporter& reporter() const { return reporter_; }
  std::uint64_t redrawCount() const { return redraws_; }

 private:
  struct Outlines {
    TPolygon insert;
    TPolygon holder;
    std::int32_t flag = 0;
  };

  Outlines ToolOutlinesNow() const;
  void RemovalPass(const Outlines& tool);
  bool CollisionTest(const Outlines& tool);
  void CollisionReaction();
  void DrawPart(std::size_t part);
  void ClippedPolygonDraw(std::span<const ScreenPoint> polygon);
  TPolygons PlacedPolygons(std::initializer_list<std::size_t> parts) const;
  bool DryRun() const;

  Simulator& sim_;
  Canvas* canvas_;
  OnceReporter reporter_;
  std::int64_t lastZ_ = 0;  // LastCutPosition
  std::int64_t lastRadial_ = 0;
  bool chuckWrongShown_ = false;
  std::uint64_t redraws_ = 0;
};

}  // namespace soustruh::reference
