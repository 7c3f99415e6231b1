// The optimised machine view against the straightforward one (support/reference): the same
// programs run on two simulators side by side, one drawing through MachineScene, the other
// through ReferenceScene, and after every redraw both must agree: the same virtual time, alarms
// and status, the same stock (area to within a square length unit per crossing point the engines
// may round apart, every vertex within one length unit of the other's outline) and the same
// picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/TextFile.h"
#include "support/SimulatorFixture.h"
#include "support/reference/ReferenceScene.h"
#include "view/MachineScene.h"
#include "view/RecordingCanvas.h"
#include "view/ViewMapping.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kWidth = 412;  // the view of the CLI's 1024 x 760 window
constexpr std::int32_t kHeight = 686;

// Twice the area of a polygon set, exactly (model coordinates stay far below 2^31).
std::int64_t TwiceArea(const StockSection& stock) {
  std::int64_t sum = 0;
  for (const TPolygon& p : stock)
    for (std::size_t i = 0; i < p.size(); ++i) {
      const ClipPoint& a = p[i];
      const ClipPoint& b = p[(i + 1) % p.size()];
      sum += a.X * b.Y - b.X * a.Y;
    }
  return sum;
}

double DistanceToSegment(const ClipPoint& p, const ClipPoint& a, const ClipPoint& b) {
  const double dx = static_cast<double>(b.X - a.X), dy = static_cast<double>(b.Y - a.Y);
  const double px = static_cast<double>(p.X - a.X), py = static_cast<double>(p.Y - a.Y);
  const double len = dx * dx + dy * dy;
  const double t = len > 0 ? std::clamp((px * dx + py * dy) / len, 0.0, 1.0) : 0.0;
  return std::hypot(px - t * dx, py - t * dy);
}

// A piece of a few square length units: what the engines' rounding leaves behind now and then,
// where the other form may leave none.
bool Speck(const TPolygon& polygon) {
  return std::abs(TwiceArea(StockSection{polygon})) < 16;
}

// The largest distance of a vertex of `from` to the outline of `to`, specks left out.
double FarthestVertex(const StockSection& from, const StockSection& to) {
  double worst = 0;
  for (const TPolygon& polygon : from) {
    if (Speck(polygon)) continue;
    for (const ClipPoint& p : polygon) {
      double best = INFINITY;
      for (const TPolygon& q : to) {
        if (Speck(q)) continue;
        for (std::size_t i = 0; i < q.size() && best > 0; ++i) {
          const ClipPoint& a = q[i];
          const ClipPoint& b = q[(i + 1) % q.size()];
          if (p.X < std::min(a.X, b.X) - 2 || p.X > std::max(a.X, b.X) + 2 ||
              p.Y < std::min(a.Y, b.Y) - 2 || p.Y > std::max(a.Y, b.Y) + 2)
            continue;
          best = std::min(best, DistanceToSegment(p, a, b));
        }
      }
      worst = std::max(worst, best);
    }
  }
  return worst;
}

std::size_t VertexCount(const StockSection& stock) {
  std::size_t n = 0;
  for (const TPolygon& p : stock) n += p.size();
  return n;
}

// One fill of the picture, its points without repeats and without points on a straight line
// between their neighbours, starting at the smallest and running anticlockwise (on screen).
struct Fill {
  bool rect = false;
  BgrColour pen = 0, brush = 0;
  std::vector<ScreenPoint> points;
  friend bool operator==(const Fill&, const Fill&) = default;
};

std::vector<ScreenPoint> Normalised(std::span<const ScreenPoint> in) {
  std::vector<ScreenPoint> p(in.begin(), in.end());
  const auto cross = [](ScreenPoint a, ScreenPoint b, ScreenPoint c) {
    return (std::int64_t{b.x} - a.x) * (std::int64_t{c.y} - a.y) -
           (std::int64_t{b.y} - a.y) * (std::int64_t{c.x} - a.x);
  };
  for (bool changed = true; changed && p.size() >= 3;) {
    changed = false;
    for (std::size_t i = 0; i < p.size() && p.size() >= 3; ++i) {
      const ScreenPoint a = p[(i + p.size() - 1) % p.size()], b = p[i], c = p[(i + 1) % p.size()];
      if (a == b || cross(a, b, c) == 0) {
        p.erase(p.begin() + static_cast<std::ptrdiff_t>(i));
        changed = true;
      }
    }
  }
  if (p.empty()) return p;
  std::int64_t area = 0;
  for (std::size_t i = 0; i < p.size(); ++i) area += cross({0, 0}, p[i], p[(i + 1) % p.size()]);
  if (area < 0) std::reverse(p.begin(), p.end());
  std::rotate(p.begin(), std::min_element(p.begin(), p.end(), [](ScreenPoint a, ScreenPoint b) {
                return a.y != b.y ? a.y < b.y : a.x < b.x;
              }),
              p.end());
  return p;
}

std::vector<Fill> Picture(const RecordingCanvas& canvas) {
  std::vector<Fill> fills;
  for (const auto& call : canvas.calls()) {
    const bool rect = call.kind == RecordingCanvas::Kind::Rect;
    const auto points = canvas.Points(call);
    fills.push_back({rect, call.pen, call.brush,
                     rect ? std::vector<ScreenPoint>(points.begin(), points.end())
                          : Normalised(points)});
  }
  return fills;
}

struct Snapshot {
  std::uint32_t time = 0;
  std::string alarms;
  std::string status;
  StockSection stock;
  std::vector<Fill> picture;
};

std::string AlarmBits(const AlarmSet& alarms) {
  std::string bits;
  for (int bit = 0; bit <= static_cast<int>(AlarmKind::InterpreterError); ++bit)
    bits += alarms.Has(static_cast<AlarmKind>(bit)) ? '1' : '0';
  return bits;
}

// A scene that records what the wrapped scene did at every redraw.
class Recorder : public Scene {
 public:
  Recorder(Simulator& sim, Scene& inner, RecordingCanvas& canvas)
      : sim_(sim), inner_(inner), canvas_(canvas) {}
  void SceneRedraw() override {
    canvas_.Clear();
    inner_.SceneRedraw();
    const MachineState& s = sim_.state();
    snapshots.push_back(
        {sim_.host().Now(), AlarmBits(s.Alarms), s.Status.text, sim_.stock(), Picture(canvas_)});
  }
  void ChuckBuild() override { inner_.ChuckBuild(); }

  std::deque<Snapshot> snapshots;

 private:
  Simulator& sim_;
  Scene& inner_;
  RecordingCanvas& canvas_;
};

// One simulator with its own host and canvas, started from the data in `data`.
struct Side {
  Side(const fs::path& data, bool reference)
      : sim(host, data),
        canvas(kWidth, kHeight),
        optimised(sim, &canvas),
        straightforward(sim, &canvas),
        recorder(sim, reference ? static_cast<Scene&>(straightforward) : optimised, canvas),
        navigator(sim) {
    host.Attach(&sim);
    sim.SetScene(&recorder);
  }
  VirtualHost host;
  Simulator sim;
  RecordingCanvas canvas;
  MachineScene optimised;
  reference::ReferenceScene straightforward;
  Recorder recorder;
  ViewNavigator navigator;
};

struct Totals {
  std::size_t pictureDiffs = 0;
  std::size_t redraws = 0;
  std::size_t maxVertices = 0;
  double worstArea = 0;  // square length units
  double worstOutline = 0;
};

class RedrawEquivalence : public test::SimulatorFixture {
 protected:
  // Runs `program` on both sides as the CLI runs it (reference run, AUTOMAT, Start, Start again
  // after a programmed stop) with the view zoomed `zoom` wheel steps in about model point `at`.
  Totals RunBoth(const std::vector<std::string>& program, int zoom, ClipPoint at) {
    Side a(dir.path(), false), b(dir.path(), true);
    Totals totals;
    const auto both = [&](const auto& action) {
      action(a);
      action(b);
      Compare(a, b, totals);
    };
    both([](Side& s) { EXPECT_EQ(s.sim.Start(), StartupStatus::Loaded); });
    both([](Side& s) { s.navigator.FormResize(0, 0, kWidth, kHeight); });
    both([&](Side& s) {
      s.sim.B_ManualClick();
      s.sim.SetSoftKey(5, true);
      s.sim.B_StartClick();
      EXPECT_TRUE(s.host.RunUntil([&] { return !s.sim.state().ProgramRunning; }, 600000));
    });
    for (int i = 0; i < zoom; ++i) {
      const ScreenPoint pixel = ModelToScreen(MappingOf(a.sim.state()), at.X, at.Y);
      both([&](Side& s) { s.navigator.MouseWheel(true, pixel.x, pixel.y, kWidth, kHeight); });
    }
    both([&](Side& s) {
      s.sim.SetProgram(program);
      s.sim.B_AutomatClick();
      s.sim.B_StartClick();
    });
    for (std::uint32_t elapsed = 0; elapsed < 3600000 && !HasFailure(); elapsed += 50) {
      const MachineState& s = a.sim.state();
      if (!s.Alarms.Empty() || (!s.ProgramRunning && s.MotionDone)) break;
      if (s.ProgramRunning && s.FeedStopped && s.MotionDone) {
        both([](Side& side) { side.sim.B_StartClick(); });
        continue;
      }
      both([](Side& side) { side.host.Advance(50); });
    }
    EXPECT_TRUE(a.recorder.snapshots.empty() && b.recorder.snapshots.empty());
    return totals;
  }

  void Compare(Side& a, Side& b, Totals& totals) {
    auto& qa = a.recorder.snapshots;
    auto& qb = b.recorder.snapshots;
    EXPECT_EQ(qa.size(), qb.size()) << "redraw " << totals.redraws;
    while (!qa.empty() && !qb.empty() && !HasFailure()) {
      const Snapshot& x = qa.front();
      const Snapshot& y = qb.front();
      SCOPED_TRACE(testing::Message() << "redraw " << totals.redraws << " at " << x.time << " ms");
      EXPECT_EQ(x.time, y.time);
      EXPECT_EQ(x.alarms, y.alarms);
      EXPECT_EQ(x.status, y.status);
      const double area =
          std::fabs(std::fabs(static_cast<double>(TwiceArea(x.stock))) -
                    std::fabs(static_cast<double>(TwiceArea(y.stock)))) /
          2;
      totals.worstArea = std::max(totals.worstArea, area);
      if (totals.redraws % 25 == 0 || area > 0) {
        const double outline =
            std::max(FarthestVertex(x.stock, y.stock), FarthestVertex(y.stock, x.stock));
        totals.worstOutline = std::max(totals.worstOutline, outline);
        EXPECT_LE(outline, 1.5);
        if (outline > 1.5) {
          for (const auto* st : {&x.stock, &y.stock}) {
            std::printf("side:");
            for (const TPolygon& p : *st) {
              std::printf(" [%zu:", p.size());
              if (p.size() < 8)
                for (auto& q : p) std::printf(" (%ld,%ld)", static_cast<long>(q.X), static_cast<long>(q.Y));
              std::printf("]");
            }
            std::printf("\n");
          }
        }
      }
      if (x.picture != y.picture) ++totals.pictureDiffs;
      totals.maxVertices = std::max(totals.maxVertices, VertexCount(x.stock));
      ++totals.redraws;
      qa.pop_front();
      qb.pop_front();
    }
  }
};

TEST_F(RedrawEquivalence, Examples) {
  for (const char* name : {"01_osazeny_hridel.nc", "02_kuzel_a_radius.nc", "03_zapich.nc",
                           "04_podprogram.nc", "05_konstantni_rezna_rychlost.nc"}) {
    SCOPED_TRACE(name);
    const auto program = ReadLines(test::kBundledData / "examples" / name);
    ASSERT_TRUE(program.has_value());
    const Totals t = RunBoth(*program, 0, {});
    std::printf("%s: %zu redraws, up to %zu vertices, area %.0f, outline %.2f, pictures %zu\n", name,
                t.redraws, t.maxVertices, t.worstArea, t.worstOutline, t.pictureDiffs);
  }
}

TEST_F(RedrawEquivalence, LongArcFinishingZoomedIn) {
  const auto program =
      ReadLines(fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs/traces/arc_finishing.nc");
  ASSERT_TRUE(program.has_value());
  const Totals t = RunBoth(*program, 14, {110 * 10000, 10 * 10000});
  std::printf("finishing: %zu redraws, up to %zu vertices, area %.0f, outline %.2f, pictures %zu\n",
              t.redraws, t.maxVertices, t.worstArea, t.worstOutline, t.pictureDiffs);
}

}  // namespace
}  // namespace soustruh
