#include "view/ProgramOverlay.h"

#include <cmath>
#include <numbers>

#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "nc/FunctionGroups.h"

namespace soustruh {
namespace {

constexpr int kChordsPerTurn = 64;

// The programmed arc from `from` to `to` around `centre` (model plane), clockwise for G02 as seen
// with +Z right and +radius up. The radius goes over linearly from the start's to the end's, so
// an end point a little off the circle still ends the chords exactly.
std::vector<ClipPoint> ArcPoints(ClipPoint from, ClipPoint to, ClipPoint centre, bool clockwise) {
  const auto angle = [&](ClipPoint p) {
    return std::atan2(static_cast<double>(p.Y - centre.Y), static_cast<double>(p.X - centre.X));
  };
  const auto radius = [&](ClipPoint p) {
    return std::hypot(static_cast<double>(p.Y - centre.Y), static_cast<double>(p.X - centre.X));
  };
  const double a0 = angle(from);
  double sweep = clockwise ? a0 - angle(to) : angle(to) - a0;
  while (sweep <= 0) sweep += 2 * std::numbers::pi;
  if (from == to) sweep = 2 * std::numbers::pi;
  const double r0 = radius(from), r1 = radius(to);
  const int n =
      std::max(1, static_cast<int>(std::ceil(sweep / (2 * std::numbers::pi) * kChordsPerTurn)));
  std::vector<ClipPoint> points{from};
  for (int k = 1; k < n; ++k) {
    const double t = static_cast<double>(k) / n;
    const double a = a0 + (clockwise ? -1 : 1) * sweep * t;
    const double r = r0 + (r1 - r0) * t;
    points.push_back(ClipPoint{centre.X + std::llround(r * std::cos(a)),
                               centre.Y + std::llround(r * std::sin(a))});
  }
  points.push_back(to);
  return points;
}

// The twin's view: draws nothing, records every motion the program starts.
class TraceScene : public Scene {
 public:
  TraceScene(Simulator& simulator, ProgramOverlay& overlay) : sim_(simulator), out_(overlay) {}

  void SceneRedraw() override {}
  void ChuckBuild() override {}

  void MotionStarted() override {
    const MachineState& s = sim_.state();
    const NcBlock& a = s.Active;
    const NcBlock& t = s.Target;
    if (s.Mode != ControlMode::Automat || t.M[kMQuill] != a.M[kMQuill]) return;
    if (out_.elements.size() >= kMaxOverlayElements) {
      out_.truncated = true;
      return;
    }
    const auto nose = [&](std::int64_t z, std::int64_t r) {
      return ClipPoint{z + a.CorrZ - a.NoseOffsetZ, r + a.CorrX - a.NoseOffsetX};
    };
    OverlayElement e;
    e.rapid = t.G[kGMotion] == 0;
    if (s.Path.empty()) {
      e.nose = {nose(a.Z, a.X / 2),
                nose(std::int64_t{t.Z} - sim_.ShiftZ(), std::int64_t{t.X} / 2 - sim_.ShiftX())};
    } else {
      for (const MachinePoint& p : s.Path) e.nose.push_back(nose(p.Z, p.X));
    }
    // The block starts where the control takes it to start: the commanded position.
    const MachinePoint c = sim_.interpreter().commandedPosition();
    const ClipPoint start{c.Z + a.CorrZ, c.X + a.CorrX};
    const ClipPoint end{std::int64_t{t.Z} + a.OffsetZ, std::int64_t{t.X} / 2 + a.OffsetX};
    const int motion = t.G[kGMotion];
    if (motion == 2 || motion == 3)
      e.programmed = ArcPoints(start, end, ClipPoint{start.X + t.K, start.Y + t.I}, motion == 2);
    else
      e.programmed = {start, end};
    out_.elements.push_back(std::move(e));
  }

 private:
  Simulator& sim_;
  ProgramOverlay& out_;
};

void DrawRuns(Canvas& canvas, const ViewMapping& mapping, const ProgramOverlay& overlay,
              bool programmed, bool rapid, BgrColour colour) {
  canvas.SetPen(colour);
  std::vector<ScreenPoint> line;
  const auto flush = [&] {
    if (line.size() >= 2) canvas.DrawPolyline(line);
    line.clear();
  };
  for (const OverlayElement& e : overlay.elements) {
    if (e.rapid != rapid) {
      flush();
      continue;
    }
    const std::vector<ClipPoint>& points = programmed ? e.programmed : e.nose;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const ScreenPoint p = ModelToScreen(mapping, points[i].X, points[i].Y);
      // An element that does not start where the last one ended begins a new line.
      if (i == 0 && !line.empty() && !(line.back() == p)) flush();
      if (line.empty() || !(line.back() == p)) line.push_back(p);
    }
  }
  flush();
}

}  // namespace

ProgramOverlay TraceProgram(const Simulator& live, std::vector<std::string> program,
                            const AutomatOptions& options) {
  ProgramOverlay overlay;
  VirtualHost host;
  Simulator twin(host, live.data().directory);
  host.Attach(&twin);
  TraceScene scene(twin, overlay);
  twin.SetScene(&scene);
  twin.StartAsTwinOf(live);
  std::uint32_t runStart = 0;
  overlay.outcome = RunAutomat(twin, host, options, std::move(program), runStart);
  if (overlay.outcome != RunOutcome::Finished) {
    const MachineState& s = twin.state();
    overlay.message = s.Status.text;
    overlay.line = s.LineIndex >= 0 ? s.LineIndex + 1 : 0;
  }
  return overlay;
}

void DrawProgramOverlay(Canvas& canvas, const ViewMapping& mapping, const ProgramOverlay& overlay) {
  if (mapping.scale == 0) return;
  DrawRuns(canvas, mapping, overlay, false, true, kOverlayRapidColour);
  DrawRuns(canvas, mapping, overlay, false, false, kOverlayNoseColour);
  DrawRuns(canvas, mapping, overlay, true, false, kOverlayContourColour);
}

}  // namespace soustruh
