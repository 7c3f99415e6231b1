#include "support/reference/ReferenceScene.h"

#include <cmath>
#include <limits>
#include <vector>

#include "nc/FunctionGroups.h"
#include "platform/Numbers.h"
#include "view/ChuckBuilder.h"
#include "workpiece/ShapeList.h"

namespace soustruh::reference {
namespace {

std::int32_t ToInt32(long double value) {
  if (std::isnan(value)) return 0;
  const long double r = RoundHalfEven(value);
  if (r >= static_cast<long double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (r <= static_cast<long double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

std::int64_t TenthsToPixels(std::int64_t value) {
  return static_cast<std::int64_t>(RoundHalfEven(static_cast<long double>(value) / 10.0L));
}

bool Intersects(PolygonsRef subject, PolygonsRef clip, OnceReporter& reporter) {
  const ClipResult result = ClipIntersection(subject, clip);
  if (!result.Ok()) reporter.Report(result.error);
  return !result.polygons.empty();
}

}  // namespace

ScreenPoint ToScreen(const MachineState& s, std::int64_t h, std::int64_t v) {
  const long double scale = s.ViewScale;
  return ScreenPoint{ToInt32(static_cast<long double>(h) / 10000.0L * scale + s.ViewOriginX),
                     ToInt32(s.ViewOriginY - static_cast<long double>(v) / 10000.0L * scale)};
}

TPolygons UniteAll(std::span<const TPolygon> polygons, OnceReporter& reporter) {
  TPolygons result;
  for (const TPolygon& polygon : polygons) {
    ClipResult united = ClipUnion(polygon, result);
    if (!united.Ok()) {
      reporter.Report(united.error);
      return result;
    }
    result = std::move(united.polygons);
  }
  if (result.size() == 2) {
    ClipResult united = ClipUnion(result[0], result[1]);
    if (!united.Ok()) {
      reporter.Report(united.error);
      return result;
    }
    result = std::move(united.polygons);
  }
  return result;
}

ReferenceScene::ReferenceScene(Simulator& simulator, Canvas* canvas)
    : sim_(simulator), canvas_(canvas), reporter_(&simulator.host()) {}

bool ReferenceScene::DryRun() const {
  return sim_.state().Mode == ControlMode::Automat && sim_.state().SoftKeys[3];
}

ReferenceScene::Outlines ReferenceScene::ToolOutlinesNow() const {
  const MachineState& s = sim_.state();
  const TUtvar& tool = sim_.data().drawing[NASTROJ];
  Outlines outlines;
  outlines.flag = tool.empty() ? 0 : tool.front().y;
  std::vector<TPolygon> polygons;
  ForEachShapePolygon(tool, [&](const ShapePolygon& polygon) {
    TPolygon& placed = polygons.emplace_back();
    for (const ShapeEntry& p : polygon.points)
      placed.push_back({std::int64_t{p.x} + s.Active.Z, std::int64_t{p.y} + s.Active.X / 2});
  });
  const auto take = [&](std::size_t index) {
    return index < polygons.size() ? polygons[index] : TPolygon{};
  };
  if (outlines.flag == -1) {
    outlines.insert = take(0);
    outlines.holder = take(1);
  } else if (outlines.flag == 0) {
    outlines.holder = take(0);
  } else if (outlines.flag == 1) {
    outlines.insert = take(1);
    outlines.holder = take(0);
  }
  return outlines;
}

void ReferenceScene::SceneRedraw() {
  ++redraws_;
  MachineState& s = sim_.state();
  const Outlines tool = ToolOutlinesNow();
  if (canvas_) {
    canvas_->SetPen(kWhite);
    canvas_->SetBrush(kWhite);
    canvas_->FillRect(0, 0, canvas_->Width(), canvas_->Height());
  }
  for (std::size_t part = 0; part < DrawingPartCount; ++part) {
    if (part == SKLICIDLO) {
      RemovalPass(tool);
      if (CollisionTest(tool)) CollisionReaction();
      sim_.ShowAlarms(s.Mode == ControlMode::Execute);
    }
    if (canvas_) DrawPart(part);
  }
  if (canvas_) canvas_->Present();
  sim_.host().Repaint();
}

void ReferenceScene::RemovalPass(const Outlines& tool) {
  MachineState& s = sim_.state();
  StockSection& stock = sim_.stock();
  const std::int64_t z = s.Active.Z;
  const std::int64_t radial = s.Active.X / 2;
  if (canvas_) {
    canvas_->SetPen(sim_.config().Mat_Cara);
    canvas_->SetBrush(sim_.config().Mat_Vypln);
  }
  const bool touching = !tool.insert.empty() && Intersects(stock, tool.insert, reporter_);
  if (tool.insert.empty()) s.ToolWasTouching = false;
  if (touching || s.ToolWasTouching) {
    const int spindle = s.Active.M[kMSpindle];
    bool permitted = spindle != 5 && !DryRun();
    if (tool.flag == -1 && spindle != 3) permitted = false;
    if (tool.flag == 1 && spindle != 4) permitted = false;
    if (touching && !permitted) CollisionReaction();
    const std::int64_t dz = lastZ_ - z;
    const std::int64_t dr = lastRadial_ - radial;
    const std::size_t n = tool.insert.size();
    std::vector<TPolygon> quads;
    for (std::size_t k = 0; k < n; ++k) {
      const ClipPoint a = tool.insert[k == 0 ? n - 1 : k - 1];
      const ClipPoint b = tool.insert[k];
      quads.push_back({a, {a.X + dz, a.Y + dr}, {b.X + dz, b.Y + dr}, b});
    }
    const TPolygons swept = UniteAll(quads, reporter_);
    ClipResult cut = ClipDifference(stock, swept);
    if (cut.Ok())
      stock = std::move(cut.polygons);
    else
      reporter_.Report(cut.error);
    if (!s.Alarms.Has(AlarmKind::DriveSync)) {
      TPolygons mirror = stock;
      for (TPolygon& polygon : mirror)
        for (ClipPoint& p : polygon) p.Y = -p.Y;
      ClipResult trimmed = ClipIntersection(stock, mirror);
      if (trimmed.Ok())
        stock = std::move(trimmed.polygons);
      else
        reporter_.Report(trimmed.error);
    }
  }
  lastZ_ = z;
  lastRadial_ = radial;
  s.ToolWasTouching = touching;
  if (!canvas_) return;
  std::vector<ScreenPoint> screen;
  for (const TPolygon& polygon : stock) {
    screen.clear();
    for (const ClipPoint& p : polygon) screen.push_back(ToScreen(s, p.X, p.Y));
    canvas_->FillPolygon(screen);
  }
}

TPolygons ReferenceScene::PlacedPolygons(std::initializer_list<std::size_t> parts) const {
  const MachineState& s = sim_.state();
  TPolygons placed;
  for (const std::size_t part : parts) {
    const PartOffset offset = PartPlacement(part, s.Active.X, s.Active.Z, s.Active.W);
    ForEachShapePolygon(sim_.data().drawing[part], [&](const ShapePolygon& polygon) {
      TPolygon& p = placed.emplace_back();
      for (const ShapeEntry& e : polygon.points) p.push_back({e.x + offset.h, e.y + offset.v});
    });
  }
  return placed;
}

bool ReferenceScene::CollisionTest(const Outlines& tool) {
  TPolygons groupA = PlacedPolygons({OSA_Z, OSA_X, NASTR_HLAVA});
  groupA.push_back(tool.holder);
  TPolygons groupB = PlacedPolygons({PINOLA, VRETENO, SKLICIDLO});
  const TPolygons a = UniteAll(groupA, reporter_);
  TPolygons b = UniteAll(groupB, reporter_);
  bool hit = !tool.insert.empty() && Intersects(b, tool.insert, reporter_);
  for (const TPolygon& polygon : sim_.stock()) b.push_back(polygon);
  b = UniteAll(b, reporter_);
  return Intersects(a, b, reporter_) || hit;
}

void ReferenceScene::CollisionReaction() {
  MachineState& s = sim_.state();
  s.Alarms.Add(AlarmKind::Reference);
  s.Alarms.Add(AlarmKind::DriveSync);
  ChuckBuild();
  sim_.B_StopClick();
  s.ProgramRunning = false;
}

void ReferenceScene::DrawPart(std::size_t part) {
  const MachineState& s = sim_.state();
  const PartOffset offset = PartPlacement(part, s.Active.X, s.Active.Z, s.Active.W);
  ForEachShapePolygon(sim_.data().drawing[part], [&](const ShapePolygon& polygon) {
    std::vector<ScreenPoint> screen;
    for (const ShapeEntry& e : polygon.points)
      screen.push_back(ToScreen(s, e.x + offset.h, e.y + offset.v));
    canvas_->SetPen(polygon.pen);
    canvas_->SetBrush(polygon.brush);
    ClippedPolygonDraw(screen);
  });
}

void ReferenceScene::ClippedPolygonDraw(std::span<const ScreenPoint> polygon) {
  const std::int64_t w = canvas_->Width();
  const std::int64_t h = canvas_->Height();
  const TPolygon frame{
      {-10, -10}, {(w + 1) * 10, -10}, {(w + 1) * 10, (h + 1) * 10}, {-10, (h + 1) * 10}};
  TPolygon scaled;
  for (const ScreenPoint& p : polygon) scaled.push_back({std::int64_t{p.x} * 10, p.y * 10LL});
  const ClipResult inside = ClipIntersection(frame, scaled);
  if (!inside.Ok()) {
    reporter_.Report(inside.error);
    return;
  }
  for (const TPolygon& part : inside.polygons) {
    std::vector<ScreenPoint> points;
    for (const ClipPoint& p : part)
      points.push_back({static_cast<std::int32_t>(TenthsToPixels(p.X)),
                        static_cast<std::int32_t>(TenthsToPixels(p.Y))});
    canvas_->FillPolygon(points);
  }
}

void ReferenceScene::ChuckBuild() {
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

}  // namespace soustruh::reference
