// How much faster than the real machine a headless AUTOMAT run goes in virtual time: a turning
// program with tool changes, roughing passes in a subprogram, G96/G95, arcs and a G42 finishing
// contour, run by the simulator on a virtual host. The counter "speedup" is virtual ms per wall ms.
// BM_VirtualRun has no view, so it measures the control alone; BM_VirtualRunWithView adds the
// machine view without a canvas (material removal and the collision test at every redraw, on a
// view fitted to an 800 x 600 picture), as a headless run with the stock being cut.
//
// The data files are copied from the source tree's data/ (or from $SOUSTRUH_DATA_DIR) into a
// temporary folder, so the run never writes into the tree.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "view/MachineScene.h"
#include "view/ViewMapping.h"

namespace {

namespace fs = std::filesystem;
using soustruh::ControlMode;
using soustruh::MachineState;
using soustruh::Simulator;
using soustruh::ToolCorrection;
using soustruh::VirtualHost;

constexpr std::int32_t kMm = 10000;

// A shaft from the start-up stock (diameter 19 mm): face, three roughing passes through a
// subprogram, a G96 pass, then the finishing contour with the second tool.
const std::vector<std::string> kProgram = {
    "(Hridel z tyce 19 mm)",
    "N10 G54 G90 G95 T0101",
    "N20 G92 S2500",
    "N30 G97 S1200 M03 M08",
    "N40 G00 X21. Z0.5",
    "N50 G94 G01 X-0.8 F80",
    "N60 G00 X19. Z2.",
    "N70 G25 L500",
    "N80 G25 L500",
    "N90 G25 L500",
    "N100 G90 G00 X15. Z2.",
    "N110 G96 S120 G95 G01 Z-12. F150",
    "N120 G00 X30. Z5.",
    "N130 T0303 G94 F100",
    "N140 G00 X8. Z2.",
    "N150 G42 G01 X10. Z0 F100",
    "N160 G03 X14. Z-2. I0 K-2.",
    "N170 G01 Z-12.",
    "N180 X16.",
    "N190 G03 X17. Z-12.5 I0 K-0.5",
    "N200 G01 Z-25.",
    "N210 X20.",
    "N220 G40 G00 X30. Z5. M09",
    "N230 M30",
    "(Podprogram: jeden hrubovaci prechod o 0.5 mm)",
    "N500 G91 G00 X-1.",
    "N510 G95 G01 Z-27. F200",
    "N520 G00 X1. Z27.",
    "N530 X-1.",
    "N540 G90",
    "N550 M17",
};

fs::path SourceData() {
  if (const char* dir = std::getenv("SOUSTRUH_DATA_DIR")) return dir;
  return fs::path(__FILE__).parent_path().parent_path() / "data";
}

// The data files in a temporary folder of their own, removed at the end.
class DataCopy {
 public:
  DataCopy() {
    path_ = fs::temp_directory_path() / "soustruh-virtual-run-bench";
    fs::remove_all(path_);
    fs::create_directories(path_);
    for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"}) {
      const fs::path from = SourceData() / name;
      if (fs::exists(from)) fs::copy_file(from, path_ / name);
    }
  }
  ~DataCopy() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  DataCopy(const DataCopy&) = delete;
  DataCopy& operator=(const DataCopy&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

bool Held(const MachineState& s) {
  return !s.MotionTimerOn && (!s.ProgramRunning || s.FeedStopped || !s.Alarms.Empty());
}

// A referenced machine with known tables, in AUTOMAT with the program loaded; with the view, the
// stock is cut from the first motion on.
struct Machine {
  Machine(const fs::path& data, bool withView) : sim(host, data), scene(sim, nullptr) {
    host.Attach(&sim);
    if (withView) sim.SetScene(&scene);
    if (sim.Start() != soustruh::StartupStatus::Loaded) return;
    if (withView) {
      const soustruh::FitResult fit = soustruh::FirstFit(sim.data().bounds, 800, 600);
      if (!fit.fitted) return;
      soustruh::StoreMapping(sim.state(), fit.mapping);
    }
    sim.B_ManualClick();
    sim.SetSoftKey(5, true);
    sim.B_StartClick();
    host.RunUntil([&] { return !sim.state().ProgramRunning; }, 600000);
    soustruh::CorrectionTable& c = sim.data().corrections;
    c.ReplaceRow(ToolCorrection{1, -30 * kMm, -9 * kMm, 4000, 3, "Ubírací"});
    c.ReplaceRow(ToolCorrection{3, -32 * kMm, -7 * kMm, 4000, 3, "Dokončovací"});
    sim.data().offsets.SetOffsetFields(54, "0.000", "125.000", "");
    sim.SetProgram(kProgram);
    sim.B_AutomatClick();
    ready = sim.state().Alarms.Empty() && sim.state().Mode == ControlMode::Automat;
  }

  VirtualHost host;
  Simulator sim;
  soustruh::MachineScene scene;
  bool ready = false;
};

void VirtualRun(benchmark::State& state, bool withView) {
  const DataCopy data;
  double virtualMs = 0;
  double wallMs = 0;
  double redraws = 0;
  for (auto _ : state) {
    Machine m(data.path(), withView);
    if (!m.ready) {
      state.SkipWithError("the machine did not start or reference");
      return;
    }
    const std::uint32_t startVirtual = m.host.Now();
    const std::uint64_t startRedraws = m.scene.redrawCount();
    const auto startWall = std::chrono::steady_clock::now();
    m.sim.B_StartClick();
    const bool ended = m.host.RunUntil([&] { return Held(m.sim.state()); }, 3600000);
    const auto endWall = std::chrono::steady_clock::now();
    if (!ended || !m.sim.state().Status.text.empty() || m.sim.state().LineIndex != -1) {
      const std::string why = "the program did not run through: " + m.sim.state().Status.text;
      state.SkipWithError(why.c_str());
      return;
    }
    const double wall = std::chrono::duration<double, std::milli>(endWall - startWall).count();
    state.SetIterationTime(wall / 1000);
    virtualMs += m.host.Now() - startVirtual;
    wallMs += wall;
    redraws += static_cast<double>(m.scene.redrawCount() - startRedraws);
  }
  state.counters["virtual_s"] =
      benchmark::Counter(virtualMs / 1000, benchmark::Counter::kAvgIterations);
  state.counters["speedup"] = wallMs > 0 ? virtualMs / wallMs : 0;
  if (withView) {
    state.counters["redraws"] = benchmark::Counter(redraws, benchmark::Counter::kAvgIterations);
  }
}

void BM_VirtualRun(benchmark::State& state) {
  VirtualRun(state, false);
}
void BM_VirtualRunWithView(benchmark::State& state) {
  VirtualRun(state, true);
}
BENCHMARK(BM_VirtualRun)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VirtualRunWithView)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
