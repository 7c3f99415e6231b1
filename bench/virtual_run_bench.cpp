// How much faster than the real machine a headless run goes: the reference program (one roughing
// pass a minute on a 40 mm x 100 mm stock, bench/TraceKit.h) for 1, 10 and 60 minutes of
// machining, run as the CLI runs it: the view mapping of the CLI's window, reference run, the
// stock clamped with the stock dialog, AUTOMAT, Start. BM_HeadlessRun cuts the stock and tests
// collisions at every redraw (no drawing); BM_HeadlessControl runs without a view, measuring the
// control alone. The counter "speedup" is virtual time per wall time of the program's run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "TraceKit.h"
#include "view/MachineScene.h"
#include "view/StockDialog.h"

namespace soustruh::bench {
namespace {

bool Held(const MachineState& s) {
  return !s.MotionTimerOn && (!s.ProgramRunning || s.FeedStopped || !s.Alarms.Empty());
}

void HeadlessRun(benchmark::State& state, bool withView) {
  const DataCopy data("soustruh-headless-bench");
  const std::vector<std::string> program = ReferenceProgram(static_cast<int>(state.range(0)));
  double virtualMs = 0, wallMs = 0, redraws = 0;
  for (auto _ : state) {
    BenchMachine m(data.path(), kCliViewWidth, kCliViewHeight);
    MachineScene scene(m.sim, nullptr);
    m.sim.SetScene(&scene);
    if (!m.Start() || B_PolotovarClick(m.sim, "40", "100") != StockClampResult::Clamped)
      return state.SkipWithError("the machine did not start or took no stock");
    if (!withView) m.sim.SetScene(nullptr);
    m.sim.SetProgram(program);
    m.sim.B_AutomatClick();
    const std::uint32_t startVirtual = m.host.Now();
    const std::uint64_t startRedraws = scene.redrawCount();
    const auto startWall = std::chrono::steady_clock::now();
    m.sim.B_StartClick();
    const bool ended = m.host.RunUntil([&] { return Held(m.sim.state()); }, 4000000);
    const auto endWall = std::chrono::steady_clock::now();
    const MachineState& s = m.sim.state();
    if (!ended || !s.Alarms.Empty() || s.LineIndex != -1) {
      const std::string why = "the program did not run through: " + s.Status.text;
      return state.SkipWithError(why.c_str());
    }
    const double wall = std::chrono::duration<double, std::milli>(endWall - startWall).count();
    state.SetIterationTime(wall / 1000);
    virtualMs += m.host.Now() - startVirtual;
    wallMs += wall;
    redraws += static_cast<double>(scene.redrawCount() - startRedraws);
    m.sim.SetScene(nullptr);
  }
  state.counters["virtual_s"] =
      benchmark::Counter(virtualMs / 1000, benchmark::Counter::kAvgIterations);
  state.counters["speedup"] = wallMs > 0 ? virtualMs / wallMs : 0;
  if (withView)
    state.counters["redraws"] = benchmark::Counter(redraws, benchmark::Counter::kAvgIterations);
}

void BM_HeadlessRun(benchmark::State& state) {
  HeadlessRun(state, true);
}
void BM_HeadlessControl(benchmark::State& state) {
  HeadlessRun(state, false);
}
BENCHMARK(BM_HeadlessRun)
    ->Arg(1)
    ->Arg(10)
    ->Arg(60)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_HeadlessControl)->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace soustruh::bench

BENCHMARK_MAIN();
