#pragma once
// A simulator on a copy of the bundled data, driven in virtual time: what most control tests
// start from.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "support/TempDir.h"

namespace soustruh::test {

inline const std::filesystem::path kBundledData =
    std::filesystem::path(SOUSTRUH_SOURCE_DIR) / "data";

class SimulatorFixture : public ::testing::Test {
 protected:
  SimulatorFixture() : sim(host, dir.path()) {
    for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"}) {
      const auto from = kBundledData / name;
      if (std::filesystem::exists(from)) std::filesystem::copy_file(from, dir.path() / name);
    }
    host.Attach(&sim);
  }

  void StartMachine() {
    ASSERT_EQ(sim.Start(), StartupStatus::Loaded);
    host.messages.clear();
  }

  // The operator's reference run: MANUAL, Fn5, Start, wait until the reference is reached.
  void Reference() {
    sim.B_ManualClick();
    sim.SetSoftKey(5, true);
    sim.B_StartClick();
    ASSERT_TRUE(host.RunUntil([&] { return !sim.state().ProgramRunning; }, 600000));
    ASSERT_FALSE(sim.state().Alarms.Has(AlarmKind::Reference));
  }

  // AUTOMAT with the program, Start, and virtual time until the run ends or stops.
  bool RunProgram(const std::vector<std::string>& lines, std::uint32_t limit = 3600000) {
    sim.SetProgram(lines);
    sim.B_AutomatClick();
    sim.B_StartClick();
    return host.RunUntil([&] { return !sim.state().ProgramRunning && sim.state().MotionDone; },
                         limit);
  }

  // A block in MDI, waiting until its motion ends.
  bool Mdi(const std::string& command, std::uint32_t limit = 600000) {
    if (sim.state().Mode != ControlMode::Execute) sim.B_ExecClick();
    sim.SetCommand(command);
    sim.B_StartClick();
    return host.RunUntil([&] { return sim.state().MotionDone; }, limit);
  }

  TempDir dir;
  VirtualHost host;
  Simulator sim;
};

}  // namespace soustruh::test
