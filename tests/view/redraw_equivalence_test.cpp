// The optimised machine view against the straightforward one (support/reference): the same
// programs run on two simulators side by side, one drawing through MachineScene, the other
// through ReferenceScene, and after every redraw both must agree: the same virtual time, alarms
// and status, the same picture of the machine, the same stock and the same picture of it.
//
// "The same stock": the optimised form works on the stock near the tool, and the clipping engine
// clamps a crossing point into the band of its sweep that the whole stock's vertices make, so a
// crossing point may round a length unit apart from where the whole-stock operation puts it. So:
// every vertex of either stock lies within one unit (in each coordinate) of the other's outline,
// and the areas differ by no more than such vertices moving a unit can make (half the length of
// their two edges each). Crumbs of a few square units, which rounding leaves now and then on
// either side, are left out of the outlines. Where the two stocks are point for point the same,
// the whole picture must be too.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
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

// Twice the signed area, exact for model coordinates (far below 2^31).
std::int64_t TwiceArea(const TPolygon& p) {
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < p.size(); ++i)
    sum += p[i].X * p[(i + 1) % p.size()].Y - p[(i + 1) % p.size()].X * p[i].Y;
  return sum;
}

bool Crumb(const TPolygon& p) {
  return std::abs(TwiceArea(p)) < 16;
}

double Distance(const ClipPoint& a, const ClipPoint& b) {
  return std::hypot(static_cast<double>(a.X - b.X), static_cast<double>(a.Y - b.Y));
}

double DistanceToSegment(const ClipPoint& p, const ClipPoint& a, const ClipPoint& b) {
  const double dx = static_cast<double>(b.X - a.X), dy = static_cast<double>(b.Y - a.Y);
  const double px = static_cast<double>(p.X - a.X), py = static_cast<double>(p.Y - a.Y);
  const double len = dx * dx + dy * dy;
  const double t = len > 0 ? std::clamp((px * dx + py * dy) / len, 0.0, 1.0) : 0.0;
  return std::hypot(px - t * dx, py - t * dy);
}

struct StockComparison {
  double outline = 0;    // the farthest vertex of either from the other's outline
  double areaSlack = 0;  // what vertices moving that far may change of the area
};

// Only the vertices of `from` that `to` does not have need measuring.
void CompareOneWay(const StockSection& from, const StockSection& to, StockComparison& result) {
  std::vector<ClipPoint> shared;
  for (const TPolygon& q : to) shared.insert(shared.end(), q.begin(), q.end());
  const auto less = [](ClipPoint a, ClipPoint b) {
    return std::pair(a.X, a.Y) < std::pair(b.X, b.Y);
  };
  std::sort(shared.begin(), shared.end(), less);
  for (const TPolygon& p : from) {
    for (std::size_t i = 0; i < p.size(); ++i) {
      if (std::binary_search(shared.begin(), shared.end(), p[i], less)) continue;
      const ClipPoint& prev = p[(i + p.size() - 1) % p.size()];
      const ClipPoint& next = p[(i + 1) % p.size()];
      result.areaSlack += 0.75 * (Distance(prev, p[i]) + Distance(p[i], next)) + 8;
      if (Crumb(p)) continue;
      double best = INFINITY;
      for (const TPolygon& q : to) {
        if (Crumb(q)) continue;
        for (std::size_t j = 0; j < q.size(); ++j)
          best = std::min(best, DistanceToSegment(p[i], q[j], q[(j + 1) % q.size()]));
      }
      result.outline = std::max(result.outline, best);
    }
  }
}

// One fill of the picture: its points without repeats and without points on a straight line
// between their neighbours, starting at the smallest and running one way, as a picture does not
// depend on those.
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
  for (std::size_t i = 0; p.size() >= 3 && i < p.size();) {
    const ScreenPoint a = p[(i + p.size() - 1) % p.size()], b = p[i], c = p[(i + 1) % p.size()];
    if (a == b || cross(a, b, c) == 0) {
      p.erase(p.begin() + static_cast<std::ptrdiff_t>(i));
      i = 0;
    } else {
      ++i;
    }
  }
  std::int64_t area = 0;
  for (std::size_t i = 0; i < p.size(); ++i) area += cross({0, 0}, p[i], p[(i + 1) % p.size()]);
  if (area < 0) std::reverse(p.begin(), p.end());
  std::rotate(p.begin(),
              std::min_element(p.begin(), p.end(),
                               [](ScreenPoint a, ScreenPoint b) {
                                 return std::pair(a.y, a.x) < std::pair(b.y, b.x);
                               }),
              p.end());
  return p;
}

struct Snapshot {
  std::uint32_t time = 0;
  std::uint8_t alarms = 0;
  std::string status;
  StockSection stock;
  std::vector<Fill> machine;  // the picture without the stock
  std::vector<Fill> stockFills;
};

// A scene that records what the wrapped scene did at every redraw.
class Recorder : public Scene {
 public:
  Recorder(Simulator& sim, Scene& inner, RecordingCanvas& canvas)
      : sim_(sim), inner_(inner), canvas_(canvas) {}
  void SceneRedraw() override {
    canvas_.Clear();
    inner_.SceneRedraw();
    const MachineState& s = sim_.state();
    Snapshot& shot = snapshots.emplace_back();
    shot.time = sim_.host().Now();
    for (int bit = 0; bit <= static_cast<int>(AlarmKind::InterpreterError); ++bit)
      if (s.Alarms.Has(static_cast<AlarmKind>(bit))) shot.alarms |= std::uint8_t(1u << bit);
    shot.status = s.Status.text;
    shot.stock = sim_.stock();
    for (const auto& call : canvas_.calls()) {
      const bool rect = call.kind == RecordingCanvas::Kind::Rect;
      const auto points = canvas_.Points(call);
      const bool stock =
          call.pen == sim_.config().Mat_Cara && call.brush == sim_.config().Mat_Vypln;
      (stock ? shot.stockFills : shot.machine)
          .push_back(
              {rect, call.pen, call.brush,
               rect ? std::vector<ScreenPoint>(points.begin(), points.end()) : Normalised(points)});
    }
  }
  void ChuckBuild() override { inner_.ChuckBuild(); }

  std::deque<Snapshot> snapshots;

 private:
  Simulator& sim_;
  Scene& inner_;
  RecordingCanvas& canvas_;
};

// One simulator with its own host and canvas.
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
  std::size_t redraws = 0, sameStock = 0, vertices = 0;
  double outline = 0, area = 0;
  bool stopped = false;  // an alarm stopped the run
};

class RedrawEquivalence : public test::SimulatorFixture {
 protected:
  // Runs `program` on both sides as the CLI runs it (reference run, AUTOMAT, Start, Start again
  // after a programmed stop) with the view zoomed `zoom` wheel steps in about model point `at`,
  // until the program ends or an alarm stops it.
  Totals RunBoth(const std::vector<std::string>& program, int zoom = 0, ClipPoint at = {}) {
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
    totals.stopped = !a.sim.state().Alarms.Empty();
    EXPECT_EQ(a.sim.state().Alarms.Empty(), b.sim.state().Alarms.Empty());
    std::printf(
        "  %zu redraws, %zu with the very same stock, up to %zu points (straightforward); "
        "farthest point "
        "%.2f units, area %.0f square units apart\n",
        totals.redraws, totals.sameStock, totals.vertices, totals.outline, totals.area);
    return totals;
  }

  void Compare(Side& a, Side& b, Totals& totals) {
    auto& qa = a.recorder.snapshots;
    auto& qb = b.recorder.snapshots;
    EXPECT_EQ(qa.size(), qb.size()) << "redraw " << totals.redraws;
    for (; !qa.empty() && !qb.empty() && !HasFailure(); qa.pop_front(), qb.pop_front()) {
      const Snapshot& x = qa.front();
      const Snapshot& y = qb.front();
      SCOPED_TRACE(testing::Message() << "redraw " << totals.redraws << " at " << x.time << " ms");
      ++totals.redraws;
      EXPECT_EQ(x.time, y.time);
      EXPECT_EQ(x.alarms, y.alarms);
      EXPECT_EQ(x.status, y.status);
      EXPECT_TRUE(x.machine == y.machine);
      std::size_t vertices = 0;
      for (const TPolygon& p : y.stock) vertices += p.size();
      totals.vertices = std::max(totals.vertices, vertices);
      if (x.stock == y.stock) {
        ++totals.sameStock;
        EXPECT_TRUE(x.stockFills == y.stockFills);
        continue;
      }
      StockComparison c;
      CompareOneWay(x.stock, y.stock, c);
      CompareOneWay(y.stock, x.stock, c);
      double area = 0;
      for (const TPolygon& p : x.stock) area += static_cast<double>(TwiceArea(p)) / 2;
      for (const TPolygon& p : y.stock) area -= static_cast<double>(TwiceArea(p)) / 2;
      EXPECT_LE(c.outline, std::sqrt(2.0));
      EXPECT_LE(std::fabs(area), c.areaSlack);
      totals.outline = std::max(totals.outline, c.outline);
      totals.area = std::max(totals.area, std::fabs(area));
    }
  }
};

TEST_F(RedrawEquivalence, ExamplePrograms) {
  for (const char* name : {"01_osazeny_hridel.nc", "02_kuzel_a_radius.nc", "03_zapich.nc",
                           "04_podprogram.nc", "05_konstantni_rezna_rychlost.nc"}) {
    SCOPED_TRACE(name);
    std::printf("%s\n", name);
    const auto program = ReadLines(test::kBundledData / "examples" / name);
    ASSERT_TRUE(program.has_value());
    EXPECT_FALSE(RunBoth(*program).stopped);
  }
}

// Many short arcs cut under G42 in three passes, the view zoomed in on the work, so that the
// carriage's pixel changes every tick and the stock grows to hundreds of points.
TEST_F(RedrawEquivalence, LongArcFinishingZoomedIn) {
  const auto program =
      ReadLines(fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs/traces/arc_finishing.nc");
  ASSERT_TRUE(program.has_value());
  const Totals t = RunBoth(*program, 14, {110 * 10000, 10 * 10000});
  EXPECT_GT(t.vertices, 500u);
}

// Crashes: cutting with the spindle stopped, then the holder driven into the work.
TEST_F(RedrawEquivalence, CrashesAtTheSameRedraw) {
  const std::vector<std::string> stopped = {"N10 G54 G90 G94 T0101",
                                            "N20 G97 S1000 M03",
                                            "N30 G00 X17. Z1.",
                                            "N40 G01 Z-10. F300",
                                            "N50 M05",
                                            "N60 G01 Z-20.",
                                            "N70 M30"};
  const std::vector<std::string> holder = {"N10 G54 G90 G94 T0101", "N20 G97 S1000 M03",
                                           "N30 G00 X17. Z1.",      "N40 G01 Z-10. F300",
                                           "N50 X4. Z-12.",         "N60 M30"};
  for (const auto* program : {&stopped, &holder}) EXPECT_TRUE(RunBoth(*program).stopped);
}

}  // namespace
}  // namespace soustruh
