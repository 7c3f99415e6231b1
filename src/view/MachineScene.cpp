#include "view/MachineScene.h"

#include <algorithm>
#include <limits>

#include "nc/FunctionGroups.h"
#include "view/ChuckBuilder.h"
#include "view/ViewMapping.h"
#include "workpiece/ShapeList.h"

namespace soustruh {
namespace {

constexpr const char* kClippingFailed = "Polygon clipping failed";

std::int32_t HoldToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int64_t DivideByTenRounded(std::int64_t value) {
  std::int64_t quotient = value / 10;
  std::int64_t remainder = value % 10;
  if (remainder < 0) {  // to floor division
    quotient -= 1;
    remainder += 10;
  }
  if (remainder > 5 || (remainder == 5 && quotient % 2 != 0)) ++quotient;
  return quotient;
}

bool ClippedPolygonDraw(Canvas& canvas, std::span<const ScreenPoint> polygon,
                        ClipDrawBuffers& buffers) {
  if (polygon.empty()) return true;
  const std::int64_t right = (std::int64_t{canvas.Width()} + 1) * 10;
  const std::int64_t bottom = (std::int64_t{canvas.Height()} + 1) * 10;
  const std::int64_t left = -10;
  const std::int64_t top = -10;
  std::int64_t minX = std::numeric_limits<std::int64_t>::max();
  std::int64_t minY = minX;
  std::int64_t maxX = std::numeric_limits<std::int64_t>::min();
  std::int64_t maxY = maxX;
  buffers.polygon.resize(polygon.size());
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const ClipPoint p{std::int64_t{polygon[i].x} * 10, std::int64_t{polygon[i].y} * 10};
    buffers.polygon[i] = p;
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  // Wholly outside: the intersection is empty, no need to compute it.
  if (maxX < left || minX > right || maxY < top || minY > bottom) return true;
  buffers.frame.assign({{left, top}, {right, top}, {right, bottom}, {left, bottom}});
  if (!buffers.clipper.Execute(ClipOperation::Intersection, buffers.frame, buffers.polygon,
                               buffers.solution, buffers.error))
    return false;
  for (const TPolygon& part : buffers.solution) {
    buffers.points.resize(part.size());
    for (std::size_t i = 0; i < part.size(); ++i)
      buffers.points[i] = ScreenPoint{HoldToInt32(DivideByTenRounded(part[i].X)),
                                      HoldToInt32(DivideByTenRounded(part[i].Y))};
    canvas.FillPolygon(buffers.points);
  }
  return true;
}

MachineScene::MachineScene(Simulator& simulator, Canvas* canvas)
    : sim_(simulator), canvas_(canvas), reporter_(&simulator.host()), removal_(reporter_) {}

bool MachineScene::DryRun() const {
  const MachineState& s = sim_.state();
  return s.Mode == ControlMode::Automat && s.SoftKeys[3];
}

void MachineScene::SceneRedraw() {
  Redraw(true, canvas_);
}

void MachineScene::SceneCut() {
  Redraw(true, nullptr);
}

void MachineScene::ScenePicture() {
  if (canvas_) Redraw(false, canvas_);
}

void MachineScene::Redraw(bool cut, Canvas* canvas) {
  ++redraws_;
  MachineState& s = sim_.state();
  ExtractToolOutlines(sim_.data().drawing[NASTROJ], s.Active.X, s.Active.Z, outlines_);
  if (canvas) {
    canvas->SetPen(kWhite);
    canvas->SetBrush(kWhite);
    canvas->FillRect(0, 0, canvas->Width(), canvas->Height());
  }
  for (std::size_t part = 0; part < DrawingPartCount; ++part) {
    if (part == SKLICIDLO) {
      if (cut) {
        RunRemovalAndCollision();
        sim_.ShowAlarms(s.Mode == ControlMode::Execute);
      }
      if (canvas) DrawStock(*canvas);
    }
    if (canvas) DrawPart(*canvas, part);
  }
  if (canvas) {
    if (overlay_) overlay_(*canvas);
    canvas->Present();
  }
  sim_.host().Repaint();
}

void MachineScene::RunRemovalAndCollision() {
  MachineState& s = sim_.state();
  const RemovalInputs removal{outlines_.insert,
                              outlines_.insertFlag,
                              s.Active.Z,
                              s.Active.X / 2,
                              s.Active.M[kMSpindle],
                              DryRun(),
                              s.Alarms.Has(AlarmKind::DriveSync)};
  const RemovalOutcome outcome = removal_.RemovalPass(sim_.stock(), s.ToolWasTouching, removal);
  // Cutting where it is not permitted is a crash; the cut of this pass still happens.
  if (outcome.forbidden) CollisionReaction();
  const CollisionInputs collision{sim_.data().drawing, s.Active.X,       s.Active.Z,  s.Active.W,
                                  outlines_.holder,    outlines_.insert, sim_.stock()};
  if (removal_.CollisionTest(collision)) CollisionReaction();
}

void MachineScene::CollisionReaction() {
  MachineState& s = sim_.state();
  s.Alarms.Add(AlarmKind::Reference);
  s.Alarms.Add(AlarmKind::DriveSync);
  ChuckBuild();
  sim_.B_StopClick();
  s.ProgramRunning = false;
}

void MachineScene::DrawStock(Canvas& canvas) {
  const ViewMapping mapping = MappingOf(sim_.state());
  canvas.SetPen(sim_.config().Mat_Cara);
  canvas.SetBrush(sim_.config().Mat_Vypln);
  for (const TPolygon& polygon : sim_.stock()) {
    screen_.resize(polygon.size());
    for (std::size_t i = 0; i < polygon.size(); ++i)
      screen_[i] = ModelToScreen(mapping, polygon[i].X, polygon[i].Y);
    canvas.FillPolygon(screen_);
  }
}

void MachineScene::DrawPart(Canvas& canvas, std::size_t part) {
  const MachineState& s = sim_.state();
  const ViewMapping mapping = MappingOf(s);
  const PartOffset offset = PartPlacement(part, s.Active.X, s.Active.Z, s.Active.W);
  ForEachShapePolygon(sim_.data().drawing[part], [&](const ShapePolygon& polygon) {
    screen_.resize(polygon.points.size());
    for (std::size_t i = 0; i < polygon.points.size(); ++i)
      screen_[i] =
          ModelToScreen(mapping, polygon.points[i].x + offset.h, polygon.points[i].y + offset.v);
    canvas.SetPen(polygon.pen);
    canvas.SetBrush(polygon.brush);
    if (!ClippedPolygonDraw(canvas, screen_, draw_))
      reporter_.Report(draw_.error.empty() ? kClippingFailed : draw_.error);
  });
}

void MachineScene::ChuckBuild() {
  const MachineState& s = sim_.state();
  const int spindle = s.Active.M[kMSpindle];
  const ChuckForm form =
      ChuckFormFor(spindle, s.Alarms, sim_.interpreter().error() != kErrNone, DryRun());
  if (BuildChuck(sim_.config(), s.Active.StockRadius, form, spindle,
                 sim_.data().drawing[SKLICIDLO])) {
    chuckWrongShown_ = false;
  } else if (!chuckWrongShown_) {
    chuckWrongShown_ = true;
    sim_.host().ShowMessage(kChuckDimensionsMessage);
  }
}

}  // namespace soustruh
