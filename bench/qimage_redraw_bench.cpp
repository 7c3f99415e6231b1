// The machine view's redraw as the window draws it: the scene through the Qt canvas into a QImage
// of a maximised window's view (1320 x 1000 pixels), on a stock whose outline has 5000 points.
//
// BM_QImageTraceRedraw replays the cutting trace of scene_redraw_bench (removal pass, collision
// test and drawing, the view zoomed in on the cut), paced as there, redraw by redraw: the figure
// ./dev bench reports as the QImage redraw. BM_QImageRedraw fits the machine into the view, the
// tool clear of the stock, and moves the carriage one pixel before each redraw, so every redraw
// paints the whole machine and the whole stock anew.
//
// Each iteration times the redraws one by one; the counter median_ms is their median (wall time).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "TraceKit.h"
#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "nc/FunctionGroups.h"
#include "ui/QtCanvas.h"
#include "view/MachineScene.h"
#include "view/ViewMapping.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kMm = 10000;
constexpr int kWidth = 1320;
constexpr int kHeight = 1000;
constexpr int kRedrawsPerIteration = 200;

// A stock of 40 mm diameter, 100 mm out of the jaws, its surface a fine staircase of `vertices`
// points in all (radius 20 and 19.9 mm in turn) on both sides of the axis.
StockSection SteppedStock(std::int64_t vertices, const MachineConfig& config) {
  const std::int64_t steps = std::max<std::int64_t>(vertices / 4, 1);
  const std::int64_t jaws = std::int64_t{config.Sklicidlo_Z} + config.Cel_L_sklic;
  const std::int64_t face = jaws + 100 * kMm;
  const std::int64_t back = jaws - StockClampedLength;
  TPolygon top;
  for (std::int64_t i = 0; i < steps; ++i) {
    const std::int64_t r = i % 2 == 0 ? 20 * kMm : 199000;
    top.push_back({face - (face - back) * i / steps, r});
    top.push_back({face - (face - back) * (i + 1) / steps, r});
  }
  TPolygon outline(top.begin(), top.end());
  for (auto it = top.rbegin(); it != top.rend(); ++it) outline.push_back({it->X, -it->Y});
  return StockSection{outline};
}

fs::path DataCopy() {
  const fs::path from = fs::path(__FILE__).parent_path().parent_path() / "data";
  const fs::path to =
      fs::temp_directory_path() / ("soustruh-qimage-bench-" + std::to_string(::getpid()));
  fs::remove_all(to);
  fs::create_directories(to);
  for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"})
    fs::copy_file(from / name, to / name);
  return to;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

void BM_QImageRedraw(benchmark::State& state) {
  const fs::path data = DataCopy();
  VirtualHost host;
  Simulator sim(host, data);
  host.Attach(&sim);
  ui::QtCanvas canvas;
  canvas.Resize(kWidth, kHeight);
  MachineScene scene(sim, &canvas);
  sim.SetScene(&scene);
  if (sim.Start() != StartupStatus::Loaded) return state.SkipWithError("the machine did not load");
  ViewNavigator(sim).FormResize(0, 0, kWidth, kHeight);
  MachineState& s = sim.state();
  s.Alarms.Clear();
  s.Active.M[kMQuill] = kQuillRetracted;  // the quill clear of the longer stock
  s.Active.W = sim.config().MinW;
  sim.stock() = SteppedStock(state.range(0), sim.config());
  sim.SceneRedraw();

  std::vector<double> times;
  std::int32_t step = 1;
  for (auto _ : state) {
    double total = 0;
    for (int i = 0; i < kRedrawsPerIteration; ++i) {
      // One pixel along Z and back: nothing may be reused but what a redraw may keep.
      s.Active.Z += step * static_cast<std::int32_t>(kMm / s.ViewScale + 1);
      step = -step;
      const auto start = std::chrono::steady_clock::now();
      sim.SceneRedraw();
      const auto end = std::chrono::steady_clock::now();
      const double ms = std::chrono::duration<double, std::milli>(end - start).count();
      times.push_back(ms);
      total += ms;
    }
    state.SetIterationTime(total / 1000);
  }
  if (!s.Alarms.Empty()) state.SkipWithError("the redraw raised an alarm");
  state.counters["median_ms"] = Median(times);
  state.counters["redraws"] = static_cast<double>(times.size());
  sim.SetScene(nullptr);
  host.Attach(nullptr);
  std::error_code ec;
  fs::remove_all(data, ec);
}

// The cutting trace of scene_redraw_bench through the Qt canvas.
void BM_QImageTraceRedraw(benchmark::State& state) {
  const bench::DataCopy data("soustruh-qimage-trace-bench");
  bench::BenchMachine m(data.path(), kWidth, kHeight);
  if (!m.Start()) return state.SkipWithError("the machine did not start");
  std::int64_t face = 0;
  const StockSection stock = bench::ScallopedStock(state.range(0), m.sim.config(), face);
  m.Clamp(stock, face, bench::kTraceZoomSteps);
  const std::vector<bench::TraceStep> trace =
      m.Record(bench::WaveFinishingProgram(), bench::kWaveCutFirst, bench::kWaveCutLast);
  if (trace.size() < 100) return state.SkipWithError("the trace is too short");
  ui::QtCanvas canvas;
  canvas.Resize(kWidth, kHeight);
  MachineScene scene(m.sim, &canvas);
  m.sim.SetScene(&scene);
  std::vector<double> times;
  for (auto _ : state) {
    m.sim.stock() = stock;
    m.sim.state().ToolWasTouching = false;
    m.Place(trace.front());
    scene.SceneRedraw();
    double total = 0;
    for (const bench::TraceStep& step : trace) {
      m.Place(step);
      std::this_thread::sleep_for(bench::kTracePause);
      const auto start = std::chrono::steady_clock::now();
      scene.SceneRedraw();
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      times.push_back(ms);
      total += ms;
    }
    state.SetIterationTime(total / 1000);
    if (!m.sim.state().Alarms.Empty()) return state.SkipWithError("the trace raised an alarm");
  }
  state.counters["median_ms"] = Median(times);
  state.counters["redraws"] = static_cast<double>(times.size());
  m.sim.SetScene(nullptr);
}

BENCHMARK(BM_QImageTraceRedraw)
    ->Arg(5000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_QImageRedraw)
    ->Arg(5000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
}  // namespace soustruh

BENCHMARK_MAIN();
