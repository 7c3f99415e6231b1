// The program driver in AUTOMAT and MDI, run in virtual time: program flow (subprograms, jumps,
// skips, stops, program end), the turret change and the golden programs of tests/programs/run.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "machine/Numbers.h"
#include "machine/TextFile.h"
#include "nc/FunctionGroups.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using Program = std::vector<std::string>;

constexpr std::int32_t kMm = 10000;

// The tables these tests run with, whatever the bundled data files hold: G54 puts the program
// zero on the face of the start-up stock, and three tools with their corrections. With tool 1
// program X0 Z0 is machine X 60 Z 134, with tool 3 machine X 64 Z 132, with tool 5 X 64 Z 125.
void InstallTables(Simulator& sim) {
  CorrectionTable& c = sim.data().corrections;
  ASSERT_TRUE(c.ReplaceRow(ToolCorrection{1, -30 * kMm, -9 * kMm, 4000, 3, "Ubírací"}));
  ASSERT_TRUE(c.ReplaceRow(ToolCorrection{3, -32 * kMm, -7 * kMm, 4000, 3, "Dokončovací"}));
  ASSERT_TRUE(c.ReplaceRow(ToolCorrection{5, -32 * kMm, 0, 1000, 8, "Závitový"}));
  ASSERT_TRUE(sim.data().offsets.SetOffsetFields(54, "0.000", "125.000", "Čelo"));
}

class ProgramDriverTest : public test::SimulatorFixture {
 protected:
  void SetUp() override {
    StartMachine();
    if (HasFatalFailure()) return;
    Reference();
    if (HasFatalFailure()) return;
    InstallTables(sim);
  }

  // Nothing moves and nothing goes on without the operator: the run has ended, is held by Stop
  // or M00, or an alarm stopped it (the tick then leaves the motion unfinished).
  bool Held() const {
    const MachineState& s = sim.state();
    return !s.MotionTimerOn && (!s.ProgramRunning || s.FeedStopped || !s.Alarms.Empty());
  }

  // AUTOMAT with `program`, the soft keys Fn1..Fn4 checked as listed and the others not, Start,
  // and virtual time until the run ends or is held.
  bool Run(Program program, const std::vector<int>& checkedSoftKeys = {},
           std::uint32_t limit = 3600000) {
    sim.SetProgram(std::move(program));
    sim.B_AutomatClick();
    for (int key = 1; key <= 4; ++key) {
      sim.SetSoftKey(key, std::find(checkedSoftKeys.begin(), checkedSoftKeys.end(), key) !=
                              checkedSoftKeys.end());
    }
    return Continue(limit);
  }

  bool Continue(std::uint32_t limit = 3600000) {
    sim.B_StartClick();
    return host.RunUntil([&] { return Held(); }, limit);
  }

  const std::string& Status() const { return sim.state().Status.text; }
  std::int32_t MachineX() const { return sim.state().Active.X; }
  std::int32_t MachineZ() const { return sim.state().Active.Z; }
};

// ----- Subprograms and jumps

TEST_F(ProgramDriverTest, SubprogramReturnsAfterItsCallAndM30EndsTheRunWithDefaults) {
  sim.SetProgram(
      {"N10 G54 T0101 G00 X50. Z2.", "N20 G25 L100", "N30 M30", "N100 G01 Z-20. F200", "N110 M17"});
  sim.B_AutomatClick();
  sim.B_StartClick();
  // While the subprogram's move runs, the call is open with its return line.
  ASSERT_TRUE(host.RunUntil([&] { return sim.state().LineIndex == 3; }, 60000));
  EXPECT_EQ(sim.state().SubprogramDepth, 1);
  EXPECT_EQ(sim.state().ReturnStack[0], 1);
  EXPECT_FALSE(sim.state().MotionDone);
  ASSERT_TRUE(host.RunUntil([&] { return Held(); }, 600000));

  const MachineState& s = sim.state();
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(s.LineIndex, -1);
  EXPECT_FALSE(s.ProgramRunning);
  EXPECT_EQ(s.SubprogramDepth, 0);
  // N10, N20, N100, N110, N30: N30 comes after the return, N100 only through the call.
  EXPECT_EQ(s.BlocksExecuted, 5u);
  EXPECT_EQ(MachineX(), 110 * kMm);  // X50 with tool 1
  EXPECT_EQ(MachineZ(), 114 * kMm);  // Z-20 with tool 1 and G54
  // M30 put the modal state back to its defaults but kept the tool and the position.
  EXPECT_EQ(s.Active.G[kGWorkOffset], 53);
  EXPECT_EQ(s.Active.G[kGMotion], 0);
  EXPECT_EQ(s.Active.D, 0);
  EXPECT_EQ(s.Active.CorrX, 0);
  EXPECT_EQ(s.Active.F, 0);
  EXPECT_EQ(s.Active.T, 1);
  EXPECT_EQ(s.Target.G[kGWorkOffset], 53);
  EXPECT_EQ(s.Target.D, 0);
}

struct FlowFault {
  const char* name;
  Program program;
  std::string status;
  std::int32_t lineIndex;   // where the run stands when it stops
  bool movesFirst = false;  // blocks before the faulty one move the machine
};

// Faults of the program flow stop the run at the block that causes them, before anything of that
// block moves, and leave the run ready for Reset.
TEST_F(ProgramDriverTest, FlowFaultsStopTheRunAtTheirBlock) {
  const std::vector<FlowFault> cases = {
      {"M30 inside a subprogram",
       {"N10 G54 T0101 G00 X50. Z2.", "N20 G25 L100", "N30 M30", "N100 G01 Z-20. F200", "N110 M30"},
       "Nepřípustné ukončení podprogramu (blok N110, řádek 5).",
       4,
       true},
      {"fourth nested call",
       {"N10 G25 L100", "N20 M30", "N100 G25 L200", "N110 M17", "N200 G25 L300", "N210 M17",
        "N300 G25 L400", "N310 M17", "N400 M17"},
       "Další vnoření podprogramu již není možné (blok N300, řádek 7).",
       6},
      {"jump to a missing block",
       {"N10 G27 L500", "N20 M30"},
       "Nenalezen cílový blok skoku (blok N10, řádek 1).",
       0},
      {"call of a missing block",
       {"N10 M08", "N20 G25 L300", "N30 M30"},
       "Nenalezen cílový blok skoku (blok N20, řádek 2).",
       1},
      {"jump to itself",
       {"N10 G27 L10"},
       "Vytvořena nekonečná smyčka v programu (blok N10, řádek 1).",
       -1},
      {"loop through a subprogram without motion",
       {"N10 M08", "N20 G25 L100", "N30 G27 L10", "N40 M30", "N100 M09", "N110 M17"},
       "Vytvořena nekonečná smyčka v programu (blok N20, řádek 2).",
       3},
  };
  for (const FlowFault& c : cases) {
    SCOPED_TRACE(c.name);
    sim.B_ResetClick();
    const std::int32_t x = MachineX();
    ASSERT_TRUE(Run(c.program, {}, 600000));
    const MachineState& s = sim.state();
    EXPECT_EQ(Status(), c.status);
    EXPECT_EQ(s.LineIndex, c.lineIndex);
    EXPECT_FALSE(s.ProgramRunning);
    EXPECT_TRUE(s.Alarms.Has(AlarmKind::InterpreterError));
    if (c.movesFirst) {
      EXPECT_EQ(MachineZ(), 114 * kMm);  // N100 was carried out before N110 failed
    } else {
      EXPECT_EQ(MachineX(), x);
    }
  }
}

TEST_F(ProgramDriverTest, FourthNestingKeepsTheThreeOpenCalls) {
  ASSERT_TRUE(Run({"N10 G25 L100", "N20 M30", "N100 G25 L200", "N110 M17", "N200 G25 L300",
                   "N210 M17", "N300 G25 L400", "N310 M17", "N400 M17"}));
  const MachineState& s = sim.state();
  EXPECT_EQ(s.SubprogramDepth, 3);
  EXPECT_EQ(s.ReturnStack, (std::array<std::int32_t, 3>{0, 2, 4}));
}

// Reset and the end of a run close every open call, so the next program's M30 is the end of a
// main program again.
TEST_F(ProgramDriverTest, AbandonedSubprogramDoesNotOutliveTheRun) {
  struct Case {
    const char* name;
    Program first;
    bool reset;
  };
  const std::vector<Case> cases = {
      {"held at M00 inside a subprogram, then Reset",
       {"N10 G25 L100", "N20 M30", "N100 M00", "N110 M17"},
       true},
      {"ran off the last line inside a subprogram",
       {"N10 G54 T0101", "N20 G25 L100", "N100 G00 X50. Z2."},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.B_ResetClick();
    ASSERT_TRUE(Run(c.first));
    EXPECT_EQ(Status(), "");
    if (c.reset) {
      EXPECT_EQ(sim.state().SubprogramDepth, 1);
      sim.B_ResetClick();
    }
    EXPECT_EQ(sim.state().SubprogramDepth, 0);
    ASSERT_TRUE(Run({"N10 G54 T0101 G00 X60. Z5.", "N20 M30"}));
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(sim.state().LineIndex, -1);
    EXPECT_EQ(MachineX(), 120 * kMm);
  }
}

TEST_F(ProgramDriverTest, M17InTheMainProgramDoesNothing) {
  ASSERT_TRUE(Run({"N10 M17", "N20 G54 T0101 G00 X50. Z2.", "N30 M17", "N40 M30"}));
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(sim.state().LineIndex, -1);
  EXPECT_EQ(sim.state().BlocksExecuted, 4u);
  EXPECT_EQ(MachineX(), 110 * kMm);
  EXPECT_EQ(MachineZ(), 136 * kMm);
}

// A loop that moves is a program that runs until the operator stops it, not an error.
TEST_F(ProgramDriverTest, JumpLoopWithMotionKeepsRunning) {
  EXPECT_FALSE(
      Run({"N10 G54 T0101", "N20 G00 X50. Z2.", "N30 G00 X60.", "N40 G27 L20"}, {}, 120000));
  const MachineState& s = sim.state();
  EXPECT_EQ(Status(), "");
  EXPECT_TRUE(s.ProgramRunning);
  EXPECT_TRUE(s.Alarms.Empty());
  EXPECT_GT(s.BlocksExecuted, 30u);
  sim.B_StopClick();
  EXPECT_TRUE(host.RunUntil([&] { return Held(); }, 100));
}

// M30 leaves the quill where it is, and so in the state that describes it.
TEST_F(ProgramDriverTest, ProgramEndKeepsTheQuillState) {
  ASSERT_TRUE(Run({"N10 G00 X200. Z250.", "N20 M21", "N30 M30"}));
  EXPECT_EQ(Status(), "");
  const MachineState& s = sim.state();
  EXPECT_GT(s.Active.W, sim.config().MinW);
  EXPECT_EQ(s.Active.M[kMQuill], kQuillForward);
  EXPECT_EQ(s.Target.M[kMQuill], kQuillForward);

  ASSERT_TRUE(Run({"N10 G00 X200. Z250.", "N20 M20", "N30 M30"}));
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(s.Active.W, sim.config().MinW);
  EXPECT_EQ(s.Active.M[kMQuill], kQuillRetracted);
}

// ----- Optional skip and programmed stops

TEST_F(ProgramDriverTest, SkipMarkDropsTheBlockOnlyWhileFn2IsChecked) {
  const Program program = {"N5 G54 T0101 G00 X50. Z2.", "N10 /G00 X0", "N20 M30"};
  for (const bool skip : {true, false}) {
    SCOPED_TRACE(skip ? "Fn2 checked" : "Fn2 unchecked");
    sim.B_ResetClick();
    ASSERT_TRUE(Run(program, skip ? std::vector<int>{2} : std::vector<int>{}));
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(MachineX(), (skip ? 110 : 60) * kMm);
    EXPECT_EQ(MachineZ(), 136 * kMm);
  }
}

TEST_F(ProgramDriverTest, ProgrammedStopHoldsTheRunAndStopsTheSpindle) {
  struct Case {
    const char* name;
    const char* stop;
    std::vector<int> softKeys;
    bool holds;
  };
  const std::vector<Case> cases = {
      {"M00", "N30 M00", {}, true},
      {"M01 with Fn3", "N30 M01", {3}, true},
      {"M01 without Fn3", "N30 M01", {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.B_ResetClick();
    const std::uint64_t stops = sim.state().ProgrammedStops;
    ASSERT_TRUE(
        Run({"N10 G54 T0101 G97 S500 M03", "N20 G00 X50. Z2.", c.stop, "N40 G00 X40.", "N50 M30"},
            c.softKeys));
    const MachineState& s = sim.state();
    EXPECT_EQ(Status(), "");
    if (!c.holds) {
      EXPECT_EQ(s.LineIndex, -1);
      EXPECT_EQ(s.ProgrammedStops, stops);
      EXPECT_EQ(MachineX(), 100 * kMm);
      continue;
    }
    EXPECT_EQ(s.LineIndex, 2);
    EXPECT_EQ(s.ProgrammedStops, stops + 1);
    EXPECT_EQ(s.Active.M[kMSpindle], 5);
    EXPECT_EQ(MachineX(), 110 * kMm);
    // Start goes on with the next block, which turns the programmed spindle on again.
    sim.B_StartClick();
    EXPECT_EQ(s.LineIndex, 3);
    EXPECT_EQ(s.Active.M[kMSpindle], 3);
    EXPECT_FALSE(s.MotionDone);
    ASSERT_TRUE(host.RunUntil([&] { return Held(); }, 600000));
    EXPECT_EQ(s.LineIndex, -1);
    EXPECT_EQ(MachineX(), 100 * kMm);
  }
}

// ----- Turret

TEST_F(ProgramDriverTest, ToolChangeTurnsOnePositionAtATimeThenLoadsTheCorrection) {
  ASSERT_TRUE(Run({"N10 T0303"}));
  ASSERT_EQ(sim.state().Active.T, 3);
  host.beeps.clear();

  std::vector<std::int32_t> toolsSeen;
  const std::uint32_t start = host.Now();
  for (std::uint32_t at = 450; at < 1200; at += 600)
    host.ScheduleAt(start + at, [&] { toolsSeen.push_back(sim.state().Active.T); });
  ASSERT_TRUE(Run({"N10 T0505"}));
  const std::uint32_t elapsed = host.Now() - start;

  const NcBlock& a = sim.state().Active;
  EXPECT_EQ(toolsSeen, (std::vector<std::int32_t>{4, 5}));
  EXPECT_EQ(host.beeps, (std::vector<std::pair<int, int>>{{300, 5}, {300, 5}}));
  EXPECT_GE(elapsed, 1200u);
  EXPECT_LT(elapsed, 1300u);
  EXPECT_EQ(a.T, 5);
  EXPECT_EQ(a.D, 5);
  EXPECT_EQ(a.CorrX, -32 * kMm);
  EXPECT_EQ(a.CorrZ, 0);
  EXPECT_EQ(a.NoseRadius, 1000);
  EXPECT_EQ(a.NoseOffsetX, -1000);  // tip position 8
  EXPECT_EQ(a.NoseOffsetZ, 0);
}

// Stop or Reset pressed while the turret turns ends the turning at the tool then in place; the
// block's correction and motion are not carried out with the wrong tool. After Stop, Start
// carries out the whole block, incremental words counting from where the machine stands.
TEST_F(ProgramDriverTest, StopOrResetDuringToolChangeEndsTheBlock) {
  struct Case {
    const char* name;
    bool reset;
    const char* block;
    std::size_t beepsAfterStart;  // 0: the run is over, Start is not pressed
    std::int32_t finalX, finalZ;  // machine position in mm after Start
    bool relative = false;        // finalX, finalZ count from where the block started
  };
  const std::vector<Case> cases = {
      // Tool 2 is in place after 600 ms, tool 3 after 1200 ms; the key is pressed at 700 ms.
      {"Stop on the way to tool 5", false, "N10 G54 T0505 G00 X50. Z2.", 4, 114, 127},
      {"Reset on the way to tool 5", true, "N10 G54 T0505 G00 X50. Z2.", 0, 0, 0},
      // Tool 3 reaches its place, but Stop came during its pause.
      {"Stop in the last pause, incremental move", false, "N10 G91 T0300 G00 X-20. Z-10.", 2, -20,
       -10, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.B_ResetClick();
    ASSERT_TRUE(Run({"N10 T0100"}));
    host.beeps.clear();
    const std::int32_t x = MachineX();
    const std::int32_t z = MachineZ();
    host.ScheduleAt(host.Now() + 700, [&] { c.reset ? sim.B_ResetClick() : sim.B_StopClick(); });
    ASSERT_TRUE(Run({c.block, "N20 G90", "N30 M30"}));

    const MachineState& s = sim.state();
    EXPECT_EQ(s.Active.T, 3);
    EXPECT_EQ(host.beeps.size(), 2u);
    EXPECT_EQ(s.Active.D, 0);
    EXPECT_EQ(MachineX(), x);
    EXPECT_EQ(MachineZ(), z);
    EXPECT_TRUE(s.Alarms.Empty());
    if (c.reset) {
      EXPECT_EQ(s.LineIndex, -1);
      EXPECT_FALSE(s.ProgramRunning);
      continue;
    }
    EXPECT_EQ(s.LineIndex, 0);
    EXPECT_TRUE(s.FeedStopped);
    ASSERT_TRUE(Continue());
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(s.LineIndex, -1);
    EXPECT_EQ(host.beeps.size(), c.beepsAfterStart);
    EXPECT_EQ(MachineX(), c.finalX * kMm + (c.relative ? x : 0));
    EXPECT_EQ(MachineZ(), c.finalZ * kMm + (c.relative ? z : 0));
  }
}

// ----- MDI

TEST_F(ProgramDriverTest, MdiMoveGoesStraightToItsTarget) {
  sim.B_ExecClick();
  sim.SetCommand("G00 X100. Z200.");
  const double x0 = MachineX() / 2.0;
  const double z0 = MachineZ();
  const double x1 = 50 * kMm;
  const double z1 = 200 * kMm;
  sim.B_StartClick();
  int samples = 0;
  while (!sim.state().MotionDone && samples < 100000) {
    host.Advance(50);
    ++samples;
    EXPECT_TRUE(sim.state().Path.empty());
    // Distance of the carrier from the line through start and target, in length units.
    const double px = MachineX() / 2.0 - x0;
    const double pz = MachineZ() - z0;
    const double off = std::fabs(pz * (x1 - x0) - px * (z1 - z0)) / std::hypot(x1 - x0, z1 - z0);
    EXPECT_LE(off, 2.0) << "at " << MachineZ() << ", " << MachineX();
  }
  EXPECT_GT(samples, 5);
  EXPECT_EQ(MachineX(), 100 * kMm);
  EXPECT_EQ(MachineZ(), 200 * kMm);
  EXPECT_FALSE(sim.state().ProgramRunning);
  EXPECT_EQ(Status(), "");
}

TEST_F(ProgramDriverTest, FlowFunctionsAreRefusedInMdi) {
  for (const char* command : {"M30", "G25 L10", "G27 L10", "M00"}) {
    SCOPED_TRACE(command);
    sim.B_ResetClick();
    const std::int32_t x = MachineX();
    ASSERT_TRUE(Mdi(command));
    EXPECT_EQ(Status(), "Funkci není možné použít v režimu MDI");
    EXPECT_EQ(MachineX(), x);
    EXPECT_FALSE(sim.state().ProgramRunning);
  }
}

// ----- Golden programs: tests/programs/run/NAME.nc with NAME.expected beside it.
//
// The expected file holds "key = value" lines ("#" starts a comment line):
//   status  the status line when the run is over or held (empty when nothing is pending)
//   line    "end" when the run went through to its end; otherwise the 1-based line it stopped
//           at, the one the program monitor shows selected
//   x, z    the workpiece position (X a diameter) in mm with three decimals
//   tool    optional: tool and correction as displayed, e.g. 0303
// Every program runs after the reference run, with the tables of InstallTables.

const fs::path kRunPrograms = fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs/run";

struct Expected {
  std::optional<std::string> status, line, x, z, tool;
};

std::string Trim(std::string text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::optional<Expected> ReadExpected(const fs::path& file) {
  const auto lines = ReadLines(file);
  if (!lines) return std::nullopt;
  Expected e;
  for (const std::string& line : *lines) {
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) return std::nullopt;
    const std::string key = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    if (key == "status")
      e.status = value;
    else if (key == "line")
      e.line = value;
    else if (key == "x")
      e.x = value;
    else if (key == "z")
      e.z = value;
    else if (key == "tool")
      e.tool = value;
    else
      return std::nullopt;
  }
  if (!e.status || !e.line || !e.x || !e.z) return std::nullopt;
  return e;
}

std::vector<std::string> RunProgramNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kRunPrograms)) {
    if (entry.path().extension() == ".nc") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class GoldenRun : public ProgramDriverTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(GoldenRun, EndsAsExpected) {
  const fs::path program = kRunPrograms / (GetParam() + ".nc");
  const auto lines = ReadLines(program);
  ASSERT_TRUE(lines);
  const auto expected = ReadExpected(fs::path(program).replace_extension(".expected"));
  ASSERT_TRUE(expected) << "missing or malformed " << GetParam() << ".expected";

  ASSERT_TRUE(Run(*lines)) << "still running after an hour";
  const MachineState& s = sim.state();
  EXPECT_EQ(Status(), *expected->status);
  const bool ended = s.LineIndex == -1 && s.Alarms.Empty();
  EXPECT_EQ(ended ? "end" : std::to_string(s.MonitorSelection + 1), *expected->line);
  EXPECT_EQ(FormatFixed(sim.WorkpieceX() / 10000.0, 3), *expected->x);
  EXPECT_EQ(FormatFixed(sim.WorkpieceZ() / 10000.0, 3), *expected->z);
  if (expected->tool) {
    EXPECT_EQ(s.Display.NastrojA, *expected->tool);
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, GoldenRun, ::testing::ValuesIn(RunProgramNames()),
                         [](const auto& param) { return param.param; });

TEST(GoldenRunFiles, EveryProgramHasItsExpectation) {
  const auto names = RunProgramNames();
  EXPECT_GE(names.size(), 10u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(ReadExpected(kRunPrograms / (name + ".expected")));
  }
}

}  // namespace
}  // namespace soustruh
