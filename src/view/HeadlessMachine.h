#pragma once
// One simulated lathe without a window: a virtual host, the simulator and its machine view
// without a canvas, sized as the window's view would be, so that it cuts the stock and finds
// collisions exactly as the window does. The command line runs each program on one; several can
// run side by side, one per thread (nothing is shared between them).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "control/AutomatRun.h"
#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "view/MachineScene.h"
#include "view/ViewMapping.h"

namespace soustruh {

// The machine image of a 1024 x 760 window: the view's group box is what the 600 pixels of the
// control panel leave, less its frame, caption and the 47-pixel button row.
inline constexpr std::int32_t kHeadlessViewWidth = 412;
inline constexpr std::int32_t kHeadlessViewHeight = 686;

struct HeadlessRunOptions {
  AutomatOptions automat;
  // The stock dialog's two texts (diameter, protrusion in mm), clamped after the reference run
  // with the dialog's checks; nothing keeps the start-up stock.
  std::optional<std::pair<std::string, std::string>> stock;
};

// How a run ended, as the operator would read it off the panel.
struct RunSummary {
  RunOutcome outcome = RunOutcome::Finished;
  std::string message;  // the status line ("" when it is empty, and for a time limit without one)
  int line = 0;        // the program line it stopped at (1-based); 0 finished or not in the program
  int collisions = 0;  // the first collision stops the run, so 0 or 1
  std::uint32_t machiningTimeMs = 0;
  std::string machiningTime;  // as the display shows it, "mm:ss"
};

class HeadlessMachine {
 public:
  // The data files are read from `dataDirectory` by Start.
  explicit HeadlessMachine(std::filesystem::path dataDirectory);
  HeadlessMachine(const HeadlessMachine&) = delete;
  HeadlessMachine& operator=(const HeadlessMachine&) = delete;

  // Start-up as the window's, except that missing or malformed tables are repaired in memory
  // only (nothing is written into the data folder), then the view's first fit. False when
  // GeoStroj.dat is missing.
  bool Start();

  // The reference run, the stock of `options`, then the program in AUTOMAT. Refused when the
  // stock dialog refused the stock (its message went through the host); a failed reference run
  // is reported as its alarm (or Timeout).
  RunOutcome Run(std::vector<std::string> program, const HeadlessRunOptions& options);

  RunSummary Summary(RunOutcome outcome) const;

  bool referenced() const { return referenced_; }
  // The virtual time of the program's first Start.
  std::uint32_t runStart() const { return runStart_; }

  VirtualHost& host() { return host_; }
  Simulator& simulator() { return sim_; }
  const Simulator& simulator() const { return sim_; }
  MachineScene& scene() { return scene_; }

 private:
  VirtualHost host_;
  Simulator sim_;
  MachineScene scene_;
  ViewNavigator navigator_;
  bool referenced_ = false;
  std::uint32_t runStart_ = 0;
};

}  // namespace soustruh
