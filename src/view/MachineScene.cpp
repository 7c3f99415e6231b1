#include "view/MachineScene.h"

#include <algorithm>
#include <limits>

#include "nc/FunctionGroups.h"
#include "view/ChuckBuilder.h"
#include "view/ViewMapping.h"
#include "workpiece/IndexedPolygons.h"
#include "workpiece/ShapeList.h"

namespace soustruh {
namespace {

constexpr const char* kClippingFailed = "Polygon clipping failed";

std::int32_t HoldToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Drops, as the clipping engine does from every path it is given, repeated points and points on a
// straight line between their neighbours (also where the outline turns back on itself), until no
// such point is left.
void DropRedundantPoints(TPolygon& p) {
  std::size_t i = 0;
  std::size_t unchanged = 0;  // points looked at since the last drop
  while (p.size() >= 3 && unchanged < p.size()) {
    const std::size_t n = p.size();
    i %= n;
    const ClipPoint& prev = p[(i + n - 1) % n];
    const ClipPoint& next = p[(i + 1) % n];
    if (p[i] == next || Cross(prev, p[i], next) == 0) {
      p.erase(p.begin() + static_cast<std::ptrdiff_t>(i));
      i = (i + n - 2) % (n - 1);
      unchanged = 0;
    } else {
      ++i;
      ++unchanged;
    }
  }
  if (p.size() < 3) p.clear();
}

// No two edges meet but neighbours at their common point.
bool Simple(const TPolygon& p) {
  const std::size_t n = p.size();
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j == n - 1) continue;
      if (SegmentsMeet(p[i], p[i + 1], p[j], p[(j + 1) % n])) return false;
    }
  return true;
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
  // Wholly inside, and neither crossing nor touching itself: the intersection is the polygon
  // itself as the engine cleans it, run the way the engine runs an outline.
  if (minX > left && maxX < right && minY > top && maxY < bottom) {
    TPolygon& cleaned = buffers.cleaned;
    cleaned.resize(polygon.size());
    for (std::size_t i = 0; i < polygon.size(); ++i) cleaned[i] = {polygon[i].x, polygon[i].y};
    DropRedundantPoints(cleaned);
    if (cleaned.empty()) return true;
    if (Simple(cleaned)) {
      if (TwiceArea(cleaned) < 0) std::reverse(cleaned.begin(), cleaned.end());
      buffers.points.resize(cleaned.size());
      for (std::size_t i = 0; i < cleaned.size(); ++i)
        buffers.points[i] = ScreenPoint{static_cast<std::int32_t>(cleaned[i].X),
                                        static_cast<std::int32_t>(cleaned[i].Y)};
      canvas.FillPolygon(buffers.points);
      return true;
    }
  }
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

// The screen points of each stock polygon are kept with the polygon they were mapped from; a cut
// changes a short stretch of a long outline, so only the points between the unchanged ends are
// mapped again.
void MachineScene::DrawStock(Canvas& canvas) {
  const ViewMapping mapping = MappingOf(sim_.state());
  canvas.SetPen(sim_.config().Mat_Cara);
  canvas.SetBrush(sim_.config().Mat_Vypln);
  const StockSection& stock = sim_.stock();
  if (mapping != stockMapping_) {
    stockModel_.clear();
    stockScreen_.clear();
    stockMapping_ = mapping;
  }
  stockModel_.resize(stock.size());
  stockScreen_.resize(stock.size());
  for (std::size_t k = 0; k < stock.size(); ++k) {
    const TPolygon& polygon = stock[k];
    TPolygon& model = stockModel_[k];
    std::vector<ScreenPoint>& screen = stockScreen_[k];
    const std::size_t limit = std::min(polygon.size(), model.size());
    std::size_t head = 0;
    while (head < limit && polygon[head] == model[head]) ++head;
    std::size_t tail = 0;
    while (tail < limit - head &&
           polygon[polygon.size() - 1 - tail] == model[model.size() - 1 - tail])
      ++tail;
    if (head + tail != polygon.size() || polygon.size() != model.size()) {
      screen_.resize(polygon.size());
      std::copy(screen.begin(), screen.begin() + static_cast<std::ptrdiff_t>(head),
                screen_.begin());
      std::copy(screen.end() - static_cast<std::ptrdiff_t>(tail), screen.end(),
                screen_.end() - static_cast<std::ptrdiff_t>(tail));
      for (std::size_t i = head; i < polygon.size() - tail; ++i)
        screen_[i] = ModelToScreen(mapping, polygon[i].X, polygon[i].Y);
      std::swap(screen, screen_);
      model = polygon;
    }
    canvas.FillPolygon(screen);
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
