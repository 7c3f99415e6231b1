// A full redraw of the machine view (removal pass, collision test and drawing into a recording)
// on a stock whose outline has many vertices, as after a long program of small grooves and steps.
// Three cases per vertex count: the insert cutting through the crests (every clipping step runs),
// the tool standing clear of the stock (the common tick between cuts), and the same without a
// canvas (removal and collision alone).
//
// The machine is the bundled one (data/ beside this directory), copied to a temporary folder.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "nc/FunctionGroups.h"
#include "view/MachineScene.h"
#include "view/RecordingCanvas.h"
#include "view/ViewMapping.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kMm = 10000;
constexpr std::int32_t kWidth = 1000;
constexpr std::int32_t kHeight = 700;

// A stock of 40 mm diameter with 100 mm out of the jaws (Z 65 .. 180 mm on the bundled machine),
// its outline a staircase of `vertices` points alternating between radius 20 and 19.5 mm on both
// sides of the axis.
StockSection GroovedStock(std::int64_t vertices) {
  const std::int64_t steps = std::max<std::int64_t>(vertices / 4, 1);
  const std::int64_t face = 180 * kMm;
  const std::int64_t back = 65 * kMm;
  TPolygon top;
  for (std::int64_t i = 0; i < steps; ++i) {
    const std::int64_t r = i % 2 == 0 ? 20 * kMm : 195000;
    top.push_back({face - (face - back) * i / steps, r});
    top.push_back({face - (face - back) * (i + 1) / steps, r});
  }
  // Top from the face to the back, then the bottom from the back to the face.
  TPolygon ordered(top.begin(), top.end());
  for (auto it = top.rbegin(); it != top.rend(); ++it) ordered.push_back({it->X, -it->Y});
  return StockSection{ordered};
}

class Bench {
 public:
  explicit Bench(bool withCanvas)
      : dir_(fs::temp_directory_path() / ("soustruh-scene-bench-" + std::to_string(::getpid()))),
        sim_(host_, Prepare(dir_)),
        canvas_(kWidth, kHeight),
        scene_(sim_, withCanvas ? &canvas_ : nullptr) {
    host_.Attach(&sim_);
    sim_.SetScene(&scene_);
    ok_ = sim_.Start() == StartupStatus::Loaded;
    ViewNavigator(sim_).FormResize(0, 0, kWidth, kHeight);
    MachineState& s = sim_.state();
    s.Alarms.Clear();
    s.Active.M[kMSpindle] = 3;
    s.Active.M[kMQuill] = kQuillRetracted;
    s.Active.W = sim_.config().MinW;
    s.Active.StockRadius = 20 * kMm;
    sim_.ChuckBuild();
    // Where the insert's lowest point lies with the carriage at (0, 0).
    ToolOutlines at0;
    ExtractToolOutlines(sim_.data().drawing[NASTROJ], 0, 0, at0);
    ok_ = ok_ && !at0.insert.empty();
    if (!ok_) return;
    const auto tip = std::min_element(at0.insert.begin(), at0.insert.end(),
                                      [](ClipPoint a, ClipPoint b) { return a.Y < b.Y; });
    tipZ_ = tip->X;
    tipY_ = tip->Y;
  }
  ~Bench() {
    sim_.SetScene(nullptr);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  bool ok() const { return ok_; }
  Simulator& sim() { return sim_; }
  MachineScene& scene() { return scene_; }
  RecordingCanvas& canvas() { return canvas_; }

  // Puts the insert's tip at (z, r) without a redraw.
  void PlaceTip(std::int64_t z, std::int64_t r) {
    sim_.state().Active.Z = static_cast<std::int32_t>(z - tipZ_);
    sim_.state().Active.X = static_cast<std::int32_t>(2 * (r - tipY_));
  }
  CutPosition Carriage() const {
    return CutPosition{sim_.state().Active.Z, sim_.state().Active.X / 2};
  }

 private:
  static fs::path Prepare(const fs::path& dir) {
    const fs::path data = fs::path(__FILE__).parent_path().parent_path() / "data";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"})
      fs::copy_file(data / name, dir / name);
    return dir;
  }

  fs::path dir_;
  VirtualHost host_;
  Simulator sim_;
  RecordingCanvas canvas_;
  MachineScene scene_;
  std::int64_t tipZ_ = 0;
  std::int64_t tipY_ = 0;
  bool ok_ = false;
};

std::size_t VertexCount(const StockSection& stock) {
  std::size_t n = 0;
  for (const TPolygon& p : stock) n += p.size();
  return n;
}

// The insert moves one pixel (about 0.85 mm) along Z through the crests at radius 19.8 mm.
void BM_SceneRedrawCutting(benchmark::State& state) {
  Bench bench(true);
  if (!bench.ok()) return state.SkipWithError("bundled machine did not load");
  const StockSection stock = GroovedStock(state.range(0));
  std::int64_t z = 170 * kMm;
  for (auto _ : state) {
    state.PauseTiming();
    if (z < 90 * kMm) z = 170 * kMm;
    bench.sim().stock() = stock;
    bench.PlaceTip(z + 8500, 198000);
    bench.scene().removal().setLastCutPosition(bench.Carriage());
    bench.sim().state().ToolWasTouching = true;
    bench.PlaceTip(z, 198000);
    bench.canvas().Clear();
    z -= 8500;
    state.ResumeTiming();
    bench.sim().SceneRedraw();
  }
  if (!bench.sim().state().Alarms.Empty()) state.SkipWithError("the cut raised an alarm");
  if (bench.sim().stock() == stock) state.SkipWithError("the insert cut nothing");
  state.counters["vertices"] = static_cast<double>(VertexCount(stock));
  state.SetComplexityN(state.range(0));
}

// The tool clear of the stock: the touching test, the collision test and the drawing.
void BM_SceneRedrawIdle(benchmark::State& state, bool withCanvas) {
  Bench bench(withCanvas);
  if (!bench.ok()) return state.SkipWithError("bundled machine did not load");
  bench.sim().stock() = GroovedStock(state.range(0));
  bench.PlaceTip(200 * kMm, 30 * kMm);
  bench.sim().SceneRedraw();
  std::int32_t step = 1;
  for (auto _ : state) {
    bench.canvas().Clear();
    // A pixel's move each time, so nothing is cached between redraws but what may be.
    bench.sim().state().Active.Z += step * 8500;
    step = -step;
    bench.sim().SceneRedraw();
  }
  if (!bench.sim().state().Alarms.Empty()) state.SkipWithError("the idle tool raised an alarm");
  state.counters["vertices"] = static_cast<double>(VertexCount(bench.sim().stock()));
  state.counters["draw calls"] = static_cast<double>(bench.canvas().calls().size());
  state.SetComplexityN(state.range(0));
}

void Configure(benchmark::internal::Benchmark* b) {
  b->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
  b->Repetitions(7)->ReportAggregatesOnly(true)->Complexity(benchmark::oN);
}

BENCHMARK(BM_SceneRedrawCutting)->Apply(Configure);
BENCHMARK_CAPTURE(BM_SceneRedrawIdle, drawing, true)->Apply(Configure);
BENCHMARK_CAPTURE(BM_SceneRedrawIdle, no_canvas, false)->Apply(Configure);

}  // namespace
}  // namespace soustruh

BENCHMARK_MAIN();
