// A full redraw of the machine view (removal pass, collision test and drawing into a recording
// canvas of a maximised window, 1320 x 1000) along a recorded cutting trace: the finishing tool
// follows waves of short arcs over a finely turned stock, the view zoomed in on the work so that
// the carriage's pixel changes every tick, as it does while an operator watches the cut. The
// optimised scene (MachineScene) and the straightforward one (reference::ReferenceScene) replay
// the same trace on the same stock in the same run.
//
// Each iteration replays the whole trace on a fresh copy of the stock (the first redraw at the
// trace's start, before the tool reaches the stock, takes the new stock in and is not timed);
// every redraw is timed alone after a short pause, as the window's timer paces them, and the
// counters give the median and the 99th percentile of the single redraws, in wall time and in
// processor time.

#include <benchmark/benchmark.h>

#include <time.h>
#include <algorithm>

#include <chrono>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include "TraceKit.h"
#include "support/reference/ReferenceScene.h"
#include "view/MachineScene.h"
#include "view/RecordingCanvas.h"

namespace soustruh::bench {
namespace {

std::size_t VertexCount(const StockSection& stock) {
  std::size_t n = 0;
  for (const TPolygon& p : stock) n += p.size();
  return n;
}

// The processor time of this (single-threaded) process.
double CpuMs() {
  return static_cast<double>(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  const auto k = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
  return values[k];
}

template <typename SceneType>
void TraceRedraw(benchmark::State& state) {
  const DataCopy data("soustruh-trace-bench");
  BenchMachine m(data.path(), kWideViewWidth, kWideViewHeight);
  if (!m.Start()) return state.SkipWithError("the machine did not start");
  std::int64_t face = 0;
  const StockSection stock = ScallopedStock(state.range(0), m.sim.config(), face);
  m.Clamp(stock, face, kTraceZoomSteps);
  const std::vector<TraceStep> trace =
      m.Record(WaveFinishingProgram(), kWaveCutFirst, kWaveCutLast);
  if (trace.size() < 100) return state.SkipWithError("the trace is too short");
  RecordingCanvas canvas(kWideViewWidth, kWideViewHeight);
  SceneType scene(m.sim, &canvas);
  m.sim.SetScene(&scene);
  std::vector<double> times, cpuTimes;
  for (auto _ : state) {
    m.sim.stock() = stock;
    m.sim.state().ToolWasTouching = false;
    m.Place(trace.front());
    scene.SceneRedraw();
    double total = 0;
    for (const TraceStep& step : trace) {
      canvas.Clear();
      m.Place(step);
      std::this_thread::sleep_for(kTracePause);
      const double cpuStart = CpuMs();
      const auto start = std::chrono::steady_clock::now();
      scene.SceneRedraw();
      const auto end = std::chrono::steady_clock::now();
      cpuTimes.push_back(CpuMs() - cpuStart);
      const double ms = std::chrono::duration<double, std::milli>(end - start).count();
      times.push_back(ms);
      total += ms;
    }
    state.SetIterationTime(total / 1000);
    if (!m.sim.state().Alarms.Empty()) return state.SkipWithError("the trace raised an alarm");
  }
  if (VertexCount(m.sim.stock()) == VertexCount(stock))
    return state.SkipWithError("the trace cut nothing");
  state.counters["vertices"] = static_cast<double>(VertexCount(stock));
  state.counters["redraws"] = static_cast<double>(trace.size());
  state.counters["median_ms"] = Percentile(times, 0.5);
  state.counters["p99_ms"] = Percentile(times, 0.99);
  // The processor time of the same redraws: what the machine's load does not change.
  state.counters["median_cpu_ms"] = Percentile(cpuTimes, 0.5);
  state.counters["p99_cpu_ms"] = Percentile(cpuTimes, 0.99);
  m.sim.SetScene(nullptr);
}

void BM_TraceRedraw(benchmark::State& state) {
  TraceRedraw<MachineScene>(state);
}
void BM_TraceRedrawReference(benchmark::State& state) {
  TraceRedraw<reference::ReferenceScene>(state);
}

BENCHMARK(BM_TraceRedraw)
    ->Arg(5000)
    ->Arg(20000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_TraceRedrawReference)
    ->Arg(5000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace soustruh::bench

BENCHMARK_MAIN();
