#pragma once
// The machine view: paints the ten parts of the machine drawing at the current axis positions,
// removes the material the insert swept and tests collisions on the way, and generates the chuck
// drawing. It is the simulator's Scene; the window, the command line and the tests give it their
// canvas.
//
// Drawing order, back to front: frame, Z slide, X slide, tool, tool head, quill, tailstock, covers,
// spindle, stock, chuck. The removal pass and the collision test run just before the chuck is
// drawn; a collision raises "Najet reference" and "Chyba synchronizace pohonů stroje", stops the
// machine and shows the chuck stationary.
//
// Clipping failures never end the program: a polygon that cannot be clipped is not drawn, and
// each distinct failure text is reported once through the host.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "control/Simulator.h"
#include "platform/Canvas.h"
#include "platform/OnceReporter.h"
#include "view/ViewMapping.h"
#include "workpiece/Clipping.h"
#include "workpiece/MaterialRemoval.h"

namespace soustruh {

// Buffers of ClippedPolygonDraw, kept between calls so drawing does not allocate once warm.
struct ClipDrawBuffers {
  PolygonClipper clipper;
  TPolygon frame;      // the picture's rectangle, ten times enlarged
  TPolygon polygon;    // the polygon to draw, ten times enlarged
  TPolygon cleaned;    // a polygon wholly inside, as the engine would clean it
  TPolygons solution;  // what of it lies inside the picture
  std::vector<ScreenPoint> points;
  std::string error;
};

// A value ten times too large brought back: divided by 10, rounded to nearest, ties to even.
std::int64_t DivideByTenRounded(std::int64_t value);

// Fills a screen polygon with the canvas's current pen and brush, clipped to the picture
// enlarged by one pixel on every side (at a tenth of a pixel: both are multiplied by 10 for the
// clipping and the result divided back). A polygon wholly outside draws nothing. Returns false
// when the clipping failed: nothing is drawn and `buffers.error` holds the reason.
bool ClippedPolygonDraw(Canvas& canvas, std::span<const ScreenPoint> polygon,
                        ClipDrawBuffers& buffers);

class MachineScene : public Scene {
 public:
  // `canvas` may be null: the scene then removes material and tests collisions without drawing.
  // Neither the simulator nor the canvas is owned; both must outlive the scene (or the canvas be
  // replaced first).
  MachineScene(Simulator& simulator, Canvas* canvas);

  void SetCanvas(Canvas* canvas) { canvas_ = canvas; }
  // Drawn over the scene at every redraw, after the chuck and before the picture is presented
  // (the window's path overlay, ProgramOverlay.h); nothing when empty, the default.
  void SetOverlay(std::function<void(Canvas&)> overlay) { overlay_ = std::move(overlay); }
  Canvas* canvas() const { return canvas_; }

  // Repaints everything, cutting the stock and testing collisions on the way; then shows the
  // alarms and presents the picture.
  void SceneRedraw() override;
  // The same without drawing, and the drawing alone (see Scene).
  void SceneCut() override;
  void ScenePicture() override;
  // Rewrites the chuck part from the chuck parameters, the stock radius (Active.StockRadius) and
  // the spindle state. Wrong chuck dimensions leave it empty; their message is shown once each
  // time the chuck goes from drawable to not drawable.
  void ChuckBuild() override;

  // The insert and holder at the last redraw.
  const ToolOutlines& outlines() const { return outlines_; }
  MaterialRemoval& removal() { return removal_; }
  const OnceReporter& reporter() const { return reporter_; }
  std::uint64_t redrawCount() const { return redraws_; }

 private:
  void Redraw(bool cut, Canvas* canvas);
  void DrawPart(Canvas& canvas, std::size_t part);
  void DrawStock(Canvas& canvas);
  void RunRemovalAndCollision();
  void CollisionReaction();
  bool DryRun() const;

  Simulator& sim_;
  Canvas* canvas_;
  OnceReporter reporter_;
  MaterialRemoval removal_;
  ToolOutlines outlines_;
  ClipDrawBuffers draw_;
  std::vector<ScreenPoint> screen_;
  std::function<void(Canvas&)> overlay_;
  // The stock as last drawn: the mapping, each polygon and its screen points.
  ViewMapping stockMapping_;
  TPolygons stockModel_;
  std::vector<std::vector<ScreenPoint>> stockScreen_;
  bool chuckWrongShown_ = false;
  std::uint64_t redraws_ = 0;
};

}  // namespace soustruh
