#pragma once
// Shared by the benchmarks: the bundled data in a temporary folder, a started and referenced
// machine, stocks with a finely turned surface, and cutting traces recorded from real runs and
// replayed redraw by redraw.

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <system_error>
#include <vector>

#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "nc/FunctionGroups.h"
#include "platform/Numbers.h"
#include "view/ViewMapping.h"
#include "workpiece/MaterialRemoval.h"
#include "workpiece/StockSection.h"

namespace soustruh::bench {

namespace fs = std::filesystem;

inline constexpr std::int64_t kMm = 10000;

// The view of the CLI (the machine image of a 1024 x 760 window) and of a maximised window.
inline constexpr std::int32_t kCliViewWidth = 412;
inline constexpr std::int32_t kCliViewHeight = 686;
inline constexpr std::int32_t kWideViewWidth = 1320;
inline constexpr std::int32_t kWideViewHeight = 1000;

inline fs::path SourceData() {
  if (const char* dir = std::getenv("SOUSTRUH_DATA_DIR")) return dir;
  return fs::path(__FILE__).parent_path().parent_path() / "data";
}

// The data files in a temporary folder of their own, removed at the end.
class DataCopy {
 public:
  explicit DataCopy(const std::string& name) {
    path_ = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_);
    for (const char* file : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"}) {
      const fs::path from = SourceData() / file;
      if (fs::exists(from)) fs::copy_file(from, path_ / file);
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

// A stock of 40 mm diameter whose surface carries the marks of a finishing pass: shallow
// scallops of a 0.4 mm nose, 0.075 mm apart, each drawn with five points, so the outline has
// `vertices` points in all and its length grows with them (about 67 points per millimetre on
// each side). The protrusion is what the points need; the face lies at `face`.
inline StockSection ScallopedStock(std::int64_t vertices, const MachineConfig& config,
                                   std::int64_t& face) {
  constexpr std::int64_t kPitch = 750;  // 0.075 mm
  constexpr int kPerScallop = 5;
  constexpr double kNose = 4000;  // 0.4 mm
  constexpr std::int64_t kRadius = 20 * kMm;
  const std::int64_t scallops = std::max<std::int64_t>(vertices / (2 * kPerScallop), 2);
  const std::int64_t jaws = std::int64_t{config.Sklicidlo_Z} + config.Cel_L_sklic;
  const std::int64_t back = jaws - StockClampedLength;
  face = back + scallops * kPitch;
  TPolygon top;  // from the face toward the chuck
  for (std::int64_t i = 0; i < scallops; ++i) {
    const std::int64_t crest = face - i * kPitch;
    for (int k = 0; k < kPerScallop; ++k) {
      const double u = kPitch * k / static_cast<double>(kPerScallop) - kPitch / 2.0;
      const double dip = kNose - std::sqrt(kNose * kNose - u * u) -
                         (kNose - std::sqrt(kNose * kNose - kPitch * kPitch / 4.0));
      top.push_back({crest - k * kPitch / kPerScallop, kRadius + std::llround(dip)});
    }
  }
  TPolygon outline(top.begin(), top.end());
  for (auto it = top.rbegin(); it != top.rend(); ++it) outline.push_back({it->X, -it->Y});
  return StockSection{outline};
}

// Where the machine stood at one redraw of a recorded run.
struct TraceStep {
  std::int32_t x = 0, z = 0, w = 0;
  int spindle = kSpindleStopped;
};

// A scene that only notes the machine's position at every redraw while the program runs the
// lines `first` to `last` (0-based).
class TraceRecorder : public Scene {
 public:
  TraceRecorder(Simulator& sim, std::int32_t first, std::int32_t last)
      : sim_(sim), first_(first), last_(last) {}
  void SceneRedraw() override {
    const MachineState& s = sim_.state();
    if (s.LineIndex < first_ || s.LineIndex > last_) return;
    steps.push_back({s.Active.X, s.Active.Z, s.Active.W, s.Active.M[kMSpindle]});
  }
  void ChuckBuild() override {}
  std::vector<TraceStep> steps;

 private:
  Simulator& sim_;
  std::int32_t first_, last_;
};

// A machine on the bundled data: started, referenced, the quill retracted, G54 on the stock's
// face, the view fitted to `width` x `height` and zoomed `zoom` wheel steps in about the face.
class BenchMachine {
 public:
  BenchMachine(const fs::path& data, std::int32_t width, std::int32_t height)
      : sim(host, data), width_(width), height_(height) {
    host.Attach(&sim);
  }

  // Starts the machine, fits the view and makes the reference run; false when that fails.
  bool Start() {
    if (sim.Start() != StartupStatus::Loaded) return false;
    ViewNavigator(sim).FormResize(0, 0, width_, height_);
    sim.B_ManualClick();
    sim.SetSoftKey(5, true);
    sim.B_StartClick();
    return host.RunUntil([&] { return !sim.state().ProgramRunning; }, 600000) &&
           sim.state().Alarms.Empty();
  }

  // Clamps `stock` (radius 20 mm) with the quill retracted, puts G54 on its face and zooms the
  // view `zoom` wheel steps in about a point 10 mm behind the face on the stock's surface.
  void Clamp(const StockSection& stock, std::int64_t face, int zoom) {
    MachineState& s = sim.state();
    s.Active.M[kMQuill] = s.Target.M[kMQuill] = kQuillRetracted;
    s.Active.W = s.Target.W = sim.config().MinW;
    sim.stock() = stock;
    s.Active.StockRadius = 20 * kMm;
    sim.ChuckBuild();
    sim.data().offsets.SetOffsetFields(54, "0.000", FormatFixed(static_cast<double>(face) / 1e4, 3),
                                       "");
    ViewNavigator navigator(sim);
    for (int i = 0; i < zoom; ++i) {
      const ScreenPoint at = ModelToScreen(MappingOf(s), face - 10 * kMm, 20 * kMm);
      navigator.MouseWheel(true, at.x, at.y, width_, height_);
    }
  }

  // Runs `program` in AUTOMAT and records where the machine stood at every redraw of the lines
  // `first` to `last`.
  std::vector<TraceStep> Record(const std::vector<std::string>& program, std::int32_t first,
                                std::int32_t last) {
    TraceRecorder recorder(sim, first, last);
    sim.SetScene(&recorder);
    sim.SetProgram(program);
    sim.B_AutomatClick();
    sim.B_StartClick();
    host.RunUntil([&] { return !sim.state().ProgramRunning && sim.state().MotionDone; }, 3600000);
    sim.SetScene(nullptr);
    return std::move(recorder.steps);
  }

  // Puts the machine where it stood at `step`.
  void Place(const TraceStep& step) {
    NcBlock& a = sim.state().Active;
    a.X = step.x;
    a.Z = step.z;
    a.W = step.w;
    a.M[kMSpindle] = step.spindle;
  }

  VirtualHost host;
  Simulator sim;

 private:
  std::int32_t width_, height_;
};

// The pause before each timed redraw of a trace. The window redraws when its 50 ms timer wakes
// it and sleeps in between; redraws run back to back would make a processor hog of the benchmark,
// which the scheduler pre-empts for a whole time slice whenever other processes want the
// processor, and the 99th percentile would measure their load instead of the redraw. The pause
// is shorter than the tick to keep the run short; it is not timed.
inline constexpr auto kTracePause = std::chrono::milliseconds(2);

// The zoom of the cutting traces' view: 16 wheel steps in from the fitted view, about 7 pixels
// per millimetre.
inline constexpr int kTraceZoomSteps = 16;

// A finishing pass over the first 12 mm from the face: waves of arcs of radius 1.41 mm cut
// 0.1 to 0.9 mm deep with the finishing tool under G42, at 100 mm/min. The cut runs from line
// kWaveCutFirst to line kWaveCutLast (0-based).
inline constexpr int kWaves = 6;
inline constexpr std::int32_t kWaveCutFirst = 3;
inline constexpr std::int32_t kWaveCutLast = 4 + kWaves;
inline std::vector<std::string> WaveFinishingProgram() {
  std::vector<std::string> lines = {"N10 G54 G90 G94 T0303", "N20 G97 S2000 M03",
                                    "N30 G00 X36. Z2.", "N40 G42 G01 X39. Z0 F100"};
  int n = 50;
  for (int k = 0; k < kWaves; ++k) {
    const int z = -2 * (k + 1);
    lines.push_back("N" + std::to_string(n) + (k % 2 == 0 ? " G03" : " G02") + " X39. Z" +
                    std::to_string(z) + (k % 2 == 0 ? ". I-1. K-1." : ". I1. K-1."));
    n += 10;
  }
  lines.push_back("N" + std::to_string(n) + " G01 X42.");
  lines.push_back("N" + std::to_string(n + 10) + " G40 G00 X60. Z10.");
  lines.push_back("N" + std::to_string(n + 20) + " M30");
  return lines;
}

// The reference program of the headless benchmarks: `minutes` roughing passes along a stock of
// 40 mm x 100 mm (clamped with the stock dialog; the bundled G54 puts Z0 125 mm from the chuck,
// so the face lies at Z55), each about a minute long at 100 mm/min: in at a 1 mm corner radius,
// 90 mm along Z 0.125 mm deeper on the radius than the pass before, out and back.
inline std::vector<std::string> ReferenceProgram(int minutes) {
  std::vector<std::string> lines = {"(Roughing passes with a corner radius, one a minute)",
                                    "N10 G54 G90 G94 T0101", "N20 G97 S1500 M03"};
  int n = 30;
  const auto add = [&](const std::string& text) {
    lines.push_back("N" + std::to_string(n) + " " + text);
    n += 10;
  };
  for (int i = 0; i < minutes; ++i) {
    const double d = 40.0 - 0.25 * (i + 1);
    add("G00 X" + FormatFixed(d - 2, 3) + " Z56.");
    add("G01 Z55. F100");
    add("G03 X" + FormatFixed(d, 3) + " Z54. I0 K-1.");
    add("G01 Z-35.");
    add("G01 X" + FormatFixed(d + 1, 3));
    add("G00 Z56.");
  }
  add("G00 X80. Z100. M05");
  add("M30");
  return lines;
}

}  // namespace soustruh::bench
