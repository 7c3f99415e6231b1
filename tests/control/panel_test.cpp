// The operator panel in virtual time: modes, Start in each mode (reference run, single block,
// resuming after Stop), Stop, Reset, TOTAL, the spindle keys, the override bars and the
// machining clock. The bundled machine: X 40..250 (diameter), Z 40..270, reference at the upper
// limits, no work offsets, so program coordinates are machine coordinates.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "nc/FunctionGroups.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

constexpr std::int32_t kMm = 10000;

class PanelTest : public test::SimulatorFixture {
 protected:
  void SetUp() override { StartMachine(); }

  MachineState& s() { return sim.state(); }

  // AUTOMAT with `lines` loaded, before Start.
  void LoadAutomat(const std::vector<std::string>& lines) {
    sim.SetProgram(lines);
    sim.B_AutomatClick();
  }
  bool RunUntil(const std::function<bool()>& done, std::uint32_t limit = 600000) {
    return host.RunUntil(done, limit);
  }
  double DistanceMm(std::int32_t x0, std::int32_t z0, std::int32_t x1, std::int32_t z1) {
    return std::hypot((x1 - x0) / 2.0, static_cast<double>(z1 - z0)) / kMm;
  }
};

// ----- Start in MANUAL: the reference run.

TEST_F(PanelTest, ManualStartRunsTheReferenceOnlyWithFn5) {
  struct Case {
    const char* name;
    AlarmSet alarms;
    bool fn5;
    bool starts;
  };
  const std::vector<Case> cases = {
      {"Fn5 unchecked", AlarmSet{1}, false, false},
      {"Fn5 with Reference pending", AlarmSet{1}, true, true},
      {"Fn5 without any alarm", AlarmSet{}, true, true},
      {"Fn5 but another alarm pending", AlarmSet{3}, true, false},
      {"no alarm, Fn5 unchecked", AlarmSet{}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.B_ResetClick();
    s().Alarms = c.alarms;
    sim.SetSoftKey(5, c.fn5);
    sim.B_StartClick();
    EXPECT_EQ(s().ProgramRunning, c.starts);
    EXPECT_EQ(s().MotionDone, !c.starts);
    EXPECT_EQ(host.TimerEnabled(HostTimer::Motion), c.starts);
    if (c.starts) {
      EXPECT_TRUE(s().Alarms.Has(AlarmKind::Reference));
      EXPECT_EQ(s().Target.M[kMQuill], kQuillRetracted);
      EXPECT_EQ(s().Active.FeedInUse, sim.config().RefPosuv);
    } else {
      EXPECT_EQ(s().Alarms, c.alarms);
    }
  }
}

TEST_F(PanelTest, ReferenceRunRetractsTheQuillThenMovesBothAxesTogether) {
  const MachineConfig& c = sim.config();
  ASSERT_EQ(s().Active.W, 115 * kMm);  // clamping the start-up stock's face at Z 125
  s().Active.T = 0;
  sim.SetSoftKey(5, true);
  sim.B_StartClick();
  ASSERT_TRUE(RunUntil([&] { return s().Active.W == c.MinW; }));
  EXPECT_EQ(s().Active.X, c.MaxX - 2 * kMm);  // the axes wait for the quill
  EXPECT_EQ(s().Active.Z, c.MaxZ - 2 * kMm);
  EXPECT_EQ(s().Active.M[kMQuill], kQuillRetracted);
  EXPECT_TRUE(s().ProgramRunning);

  host.Advance(50);  // 1.667 mm of the 2.236 mm diagonal
  EXPECT_GT(s().Active.X, c.MaxX - 2 * kMm);
  EXPECT_GT(s().Active.Z, c.MaxZ - 2 * kMm);
  EXPECT_NEAR(s().Active.Z - (c.MaxZ - 2 * kMm), s().Active.X - (c.MaxX - 2 * kMm), 2);

  ASSERT_TRUE(RunUntil([&] { return !s().ProgramRunning; }));
  EXPECT_EQ(s().Active.X, c.RefX);
  EXPECT_EQ(s().Active.Z, c.RefZ);
  EXPECT_TRUE(s().Alarms.Empty());
  EXPECT_FALSE(sim.SoftKey(5));
  EXPECT_EQ(s().Active.F, c.ManPosuv);
  EXPECT_EQ(s().Active.FeedInUse, c.ManPosuv);
  EXPECT_EQ(s().Active.T, 1);
  EXPECT_EQ(s().Status, StatusLine{});
  EXPECT_EQ(s().Display.SourXM, "250.000");
}

TEST_F(PanelTest, ReferenceRunFromAboveTheReferenceEndsAtTheLimit) {
  // An axis above its reference coordinate is sent past its upper limit; the leg ends there with
  // TravelEnd and the run is over.
  sim.data().config.RefZ = sim.config().MaxZ - 10 * kMm;
  sim.SetSoftKey(5, true);
  sim.B_StartClick();
  ASSERT_TRUE(RunUntil([&] { return s().Alarms.Has(AlarmKind::TravelEnd); }, 20000));
  host.Advance(500);
  EXPECT_EQ(s().Active.Z, sim.config().MaxZ);
  EXPECT_TRUE(s().Alarms.Has(AlarmKind::Reference));
  EXPECT_FALSE(s().ProgramRunning);
  EXPECT_FALSE(host.TimerEnabled(HostTimer::Motion));
  EXPECT_EQ(s().Status.text, "Konec rozsahu pojezdu");
  sim.B_ExecClick();  // the stopped run no longer holds the mode
  EXPECT_EQ(s().Mode, ControlMode::Execute);
}

// ----- Start in AUTOMAT.

TEST_F(PanelTest, SingleBlockExecutesOneLinePerStart) {
  Reference();
  LoadAutomat({"(comment only)", "G00 X200. Z200.", "M08", "G01 Z190. F600"});
  sim.SetSoftKey(1, true);
  struct Press {
    std::int32_t line;
    bool moves;
    std::int32_t z;  // where the carrier stands once the line is done
  };
  const std::vector<Press> presses = {
      {0, false, 270 * kMm}, {1, true, 200 * kMm}, {2, false, 200 * kMm}, {3, true, 190 * kMm}};
  for (const Press& p : presses) {
    SCOPED_TRACE(p.line);
    sim.B_StartClick();
    EXPECT_EQ(s().LineIndex, p.line);
    EXPECT_EQ(s().MotionDone, !p.moves);
    ASSERT_TRUE(RunUntil([&] { return s().MotionDone; }));
    host.Advance(1000);  // nothing continues after the motion
    EXPECT_EQ(s().LineIndex, p.line);
    EXPECT_EQ(s().Active.Z, p.z);
    EXPECT_TRUE(s().ProgramRunning);
  }
  EXPECT_EQ(s().Active.M[kMCoolant], 8);
  sim.B_StartClick();  // past the last line: the program ends
  EXPECT_EQ(s().LineIndex, -1);
  EXPECT_FALSE(s().ProgramRunning);
}

TEST_F(PanelTest, StopDuringAnArcThenStartFinishesTheArcFirstAtF) {
  Reference();
  // In a dry run the arc was interrupted at rapid feed; the rest still goes at F.
  for (bool dryRun : {false, true}) {
    SCOPED_TRACE(dryRun ? "dry run" : "F");
    sim.B_ResetClick();
    LoadAutomat({"G00 X100. Z200.", "G03 X140. Z180. I0 K-20. F600", "G01 Z170."});
    sim.SetSoftKey(4, dryRun);
    sim.B_StartClick();
    ASSERT_TRUE(RunUntil([&] { return s().LineIndex == 1 && s().PathIndex >= 3; }))
        << s().Status.text;
    sim.B_StopClick();
    host.Advance(50);
    const std::int32_t x = s().Active.X;
    const std::int32_t z = s().Active.Z;
    const auto blocks = s().BlocksExecuted;
    host.Advance(1000);
    EXPECT_EQ(s().Active.X, x);
    EXPECT_EQ(s().Active.Z, z);
    EXPECT_FALSE(host.TimerEnabled(HostTimer::Motion));
    EXPECT_TRUE(s().ProgramRunning);  // held for resuming

    sim.B_StartClick();
    EXPECT_EQ(s().BlocksExecuted, blocks);  // not executed again
    EXPECT_EQ(s().Active.FeedInUse, 600);
    host.Advance(50);  // 0.5 mm at F600, measured along the chords
    EXPECT_NEAR(DistanceMm(x, z, s().Active.X, s().Active.Z), 0.5, 0.01);
    ASSERT_TRUE(RunUntil([&] { return s().LineIndex == 2; }));
    EXPECT_NEAR(s().Active.X, 140 * kMm, 1);  // the arc's end, then on to the next block
    EXPECT_NEAR(s().Active.Z, 180 * kMm, 1);
    ASSERT_TRUE(RunUntil([&] { return !s().ProgramRunning; }));
    EXPECT_EQ(s().Active.Z, 170 * kMm);
  }
}

TEST_F(PanelTest, StartAfterAProgrammedStopGoesOnWithTheNextLine) {
  Reference();
  LoadAutomat({"G01 Z260. F600", "M00", "G01 Z250."});
  s().MachiningTime = 999999;  // a former run's
  sim.B_StartClick();
  ASSERT_TRUE(RunUntil([&] { return s().LineIndex == 1 && s().MotionDone; }));
  host.Advance(1000);
  EXPECT_EQ(s().LineIndex, 1);
  EXPECT_TRUE(s().FeedStopped);
  EXPECT_TRUE(s().ProgramRunning);
  sim.B_StartClick();  // M00 is not repeated
  EXPECT_EQ(s().LineIndex, 2);
  ASSERT_TRUE(RunUntil([&] { return !s().ProgramRunning; }));
  EXPECT_EQ(s().Active.Z, 250 * kMm);
  EXPECT_EQ(s().LineIndex, -1);
  // Two moves of 1 s; the clock stops with the machine (losing up to one 250 ms step each
  // time), so the second of pause at M00 is not counted.
  EXPECT_GE(s().MachiningTime, 1500u);
  EXPECT_LE(s().MachiningTime, 2000u);
}

TEST_F(PanelTest, StopDuringAStraightMoveThenStartRepeatsTheBlock) {
  Reference();
  // MDI Stop ends the command; AUTOMAT Stop holds the run. Either way Start executes the
  // interrupted block again.
  for (ControlMode mode : {ControlMode::Execute, ControlMode::Automat}) {
    SCOPED_TRACE(static_cast<int>(mode));
    sim.SetMode(mode);
    sim.SetCommand("G01 Z200. F600");
    sim.SetProgram({"G01 Z200. F600"});
    sim.B_StartClick();
    host.Advance(500);
    sim.B_StopClick();
    EXPECT_EQ(s().ProgramRunning, mode == ControlMode::Automat);
    host.Advance(50);
    const std::int32_t z = s().Active.Z;
    host.Advance(1000);
    EXPECT_EQ(s().Active.Z, z);
    const auto blocks = s().BlocksExecuted;
    sim.B_StartClick();
    EXPECT_EQ(s().BlocksExecuted, blocks + 1);
    ASSERT_TRUE(RunUntil([&] { return !s().ProgramRunning; }));
    EXPECT_EQ(s().Active.Z, 200 * kMm);
    sim.B_ResetClick();
    sim.SetMode(ControlMode::Manual);
    s().Active.Z = 270 * kMm;
  }
}

TEST_F(PanelTest, QuillFindingNoStockStopsTheProgram) {
  Reference();
  sim.stock().clear();
  LoadAutomat({"M21", "G01 Z200. F600", "G01 Z190."});
  sim.B_StartClick();
  ASSERT_TRUE(RunUntil([&] { return !s().ProgramRunning; }));
  EXPECT_EQ(s().Active.W, sim.config().MaxW);
  EXPECT_EQ(s().Active.M[kMQuill], kQuillUndefined);
  EXPECT_TRUE(s().Alarms.Has(AlarmKind::QuillUndefined));
  EXPECT_EQ(s().Status.text, "Pinola koníka není v definované poloze");
  EXPECT_EQ(s().LineIndex, 0);
  EXPECT_EQ(s().Active.Z, sim.config().RefZ);  // nothing moved with the tailstock undefined

  sim.B_ResetClick();  // Reset does not make the quill clamp
  EXPECT_EQ(s().Active.M[kMQuill], kQuillUndefined);
  sim.B_StartClick();
  EXPECT_TRUE(s().Alarms.Has(AlarmKind::QuillUndefined));
  EXPECT_FALSE(s().ProgramRunning);
}

TEST_F(PanelTest, ResetDuringAQuillMotionLeavesTheQuillWhereItIs) {
  const MachineConfig& c = sim.config();
  sim.SetSoftKey(5, true);
  sim.B_StartClick();  // the reference run retracts the quill from the stock face first
  host.Advance(500);
  ASSERT_GT(s().Active.W, c.MinW);
  sim.B_ResetClick();
  EXPECT_EQ(s().Active.M[kMQuill], kQuillUndefined);
  EXPECT_EQ(s().Target.M[kMQuill], kQuillUndefined);
  const std::int32_t w = s().Active.W;
  host.Advance(1000);
  EXPECT_EQ(s().Active.W, w);
  sim.B_StartClick();  // a new reference run retracts it the rest of the way
  ASSERT_TRUE(RunUntil([&] { return !s().ProgramRunning; }));
  EXPECT_EQ(s().Active.W, c.MinW);
  EXPECT_EQ(s().Active.M[kMQuill], kQuillRetracted);
  EXPECT_TRUE(s().Alarms.Empty());
}

TEST_F(PanelTest, ModeKeysAreIgnoredWhileAProgramRuns) {
  Reference();
  LoadAutomat({"G01 Z100. F100"});
  sim.B_StartClick();
  host.Advance(200);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "moving" : "stopped");
    sim.B_ExecClick();
    sim.B_ManualClick();
    sim.B_EditClick();
    EXPECT_EQ(s().Mode, ControlMode::Automat);
    sim.B_StopClick();  // AUTOMAT Stop holds the program for resuming
  }
  sim.B_ResetClick();
  sim.B_ExecClick();
  EXPECT_EQ(s().Mode, ControlMode::Execute);
}

TEST_F(PanelTest, MdiStartIsRefusedWithABeep) {
  sim.B_ExecClick();
  sim.SetCommand("G01 Z200. F600");
  sim.B_StartClick();  // Reference pending
  Reference();
  sim.B_ExecClick();
  s().Active.M[kMQuill] = s().Target.M[kMQuill] = kQuillUndefined;
  sim.B_StartClick();
  EXPECT_TRUE(s().Alarms.Has(AlarmKind::QuillUndefined));
  EXPECT_EQ(s().Status.text, "Pinola koníka není v definované poloze");
  EXPECT_TRUE(s().MotionDone);
  EXPECT_EQ(host.beeps, (std::vector<std::pair<int, int>>{{500, 30}, {500, 30}}));
}

// ----- Reset and TOTAL.

TEST_F(PanelTest, ResetClearsEveryAlarmButReference) {
  struct Case {
    const char* name;
    AlarmSet before, after;
    const char* text;
  };
  const std::vector<Case> cases = {
      {"Reference and TravelEnd", AlarmSet{1 | 2}, AlarmSet{1}, "Najet reference"},
      {"all but Reference and TotalStop", AlarmSet{2 | 4 | 8 | 16 | 64}, AlarmSet{}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s().Alarms = c.before;
    s().LineIndex = 3;
    s().Path = {MachinePoint{1, 1}};
    s().ProgramRunning = s().FeedStopped = true;
    sim.interpreter().setError(kErrBlockFormat);
    sim.B_ResetClick();
    EXPECT_EQ(s().Alarms, c.after);
    EXPECT_EQ(s().Status.text, c.text);
    EXPECT_EQ(s().LineIndex, -1);
    EXPECT_TRUE(s().Path.empty());
    EXPECT_FALSE(s().ProgramRunning);
    EXPECT_FALSE(s().FeedStopped);
    EXPECT_EQ(sim.interpreter().error(), kErrNone);
  }
}

TEST_F(PanelTest, TotalStopNeedsASecondTotalBeforeResetClearsIt) {
  Reference();
  const StatusLine total{"T O T A L    S T O P", Colour::Red, Colour::Yellow};
  s().Active.M[kMSpindle] = 3;
  sim.B_TotalClick();
  EXPECT_TRUE(s().TotalLampRed);
  EXPECT_EQ(s().Active.M[kMSpindle], 5);
  EXPECT_EQ(s().Status, total);
  EXPECT_EQ(s().Display.SourXM, "");  // the position is no longer known

  s().Alarms.Add(AlarmKind::TravelEnd);
  sim.B_ResetClick();  // TOTAL still engaged: nothing is cleared
  EXPECT_EQ(s().Alarms, AlarmSet{2 | 32});
  EXPECT_EQ(s().Status, total);

  sim.B_TotalClick();  // released
  EXPECT_FALSE(s().TotalLampRed);
  EXPECT_TRUE(s().Alarms.Has(AlarmKind::TotalStop));
  sim.B_ResetClick();
  EXPECT_EQ(s().Alarms, AlarmSet{1});
  EXPECT_EQ(s().Status, (StatusLine{"Najet reference", Colour::Blue, Colour::White}));
}

// ----- Modes and spindle keys.

TEST_F(PanelTest, ModesSetTheirRatesAndKeepSoftKeysPerMode) {
  const MachineConfig& c = sim.config();
  EXPECT_EQ(s().ModeLine, " MANUAL");
  EXPECT_EQ(s().Active.F, c.RefPosuv);  // Reference pending
  EXPECT_EQ(s().Active.S, 2667);        // the spindle bar at 150 % gives MaxOtacky 4000
  Reference();
  sim.B_ManualClick();
  EXPECT_EQ(s().Active.F, c.ManPosuv);
  EXPECT_EQ(s().Target.F, c.ManPosuv);

  s().Target.M[kMQuill] = kQuillForward;  // a quill command left over is dropped
  sim.SetSoftKey(1, true);
  sim.B_ZapSClick();
  EXPECT_EQ(s().Active.M[kMSpindle], 4);  // Fn1: reverse
  sim.B_AutomatClick();
  EXPECT_EQ(s().Active.M[kMSpindle], 5);  // a mode change stops the spindle
  EXPECT_EQ(s().Target.M[kMQuill], kQuillRetracted);
  EXPECT_EQ(s().ModeLine, " AUTOMAT");
  EXPECT_EQ(s().Active.F, 0);
  EXPECT_EQ(s().Active.S, 0);
  EXPECT_FALSE(sim.SoftKey(1));
  sim.SetSoftKey(2, true);
  sim.B_ManualClick();
  EXPECT_TRUE(sim.SoftKey(1));
  EXPECT_FALSE(sim.SoftKey(2));
  sim.B_AutomatClick();
  EXPECT_TRUE(sim.SoftKey(2));
  EXPECT_EQ(s().Target.X, sim.WorkpieceX());
  EXPECT_EQ(s().Target.Z, sim.WorkpieceZ());
}

TEST_F(PanelTest, LeavingEditTakesTheEditedCorrectionIntoUse) {
  Reference();
  s().Active.D = s().Target.D = 1;
  sim.B_EditClick();
  ASSERT_TRUE(sim.data().corrections.ReplaceRow(ToolCorrection{1, 2 * kMm, 3 * kMm, 0, 0, ""}));
  EXPECT_EQ(s().Active.CorrX, 0);
  sim.B_ManualClick();
  EXPECT_EQ(s().Active.CorrX, 2 * kMm);
  EXPECT_EQ(s().Active.CorrZ, 3 * kMm);
  // Elsewhere an edit waits for a block that selects the correction.
  ASSERT_TRUE(sim.data().corrections.ReplaceRow(ToolCorrection{1, 5 * kMm, 0, 0, 0, ""}));
  sim.B_ExecClick();
  EXPECT_EQ(s().Active.CorrX, 2 * kMm);
}

TEST_F(PanelTest, SpindleKeys) {
  sim.B_ZapSClick();  // refused while Reference is pending
  EXPECT_EQ(s().Active.M[kMSpindle], 5);
  Reference();
  sim.B_ZapSClick();
  EXPECT_EQ(s().Active.M[kMSpindle], 3);
  sim.B_VypSClick();
  EXPECT_EQ(s().Active.M[kMSpindle], 5);

  sim.B_ExecClick();
  sim.B_ZapSClick();  // no spindle key in MDI
  EXPECT_EQ(s().Active.M[kMSpindle], 5);

  LoadAutomat({"M04 S500", "G01 Z100. F100"});
  sim.B_StartClick();
  host.Advance(100);
  sim.B_VypSClick();  // ignored while the carrier moves
  EXPECT_EQ(s().Active.M[kMSpindle], 4);
  sim.B_StopClick();
  sim.B_VypSClick();
  EXPECT_EQ(s().Active.M[kMSpindle], 5);
  sim.B_ZapSClick();  // back on in the programmed direction
  EXPECT_EQ(s().Active.M[kMSpindle], 4);
}

// ----- Override bars and the machining clock.

TEST_F(PanelTest, OverrideBarsSnapToOneHundred) {
  const std::vector<std::pair<int, int>> cases = {{98, 100},  {95, 95}, {96, 100}, {104, 100},
                                                  {105, 105}, {0, 0},   {150, 150}};
  for (const auto& [position, want] : cases) {
    SCOPED_TRACE(position);
    sim.SB_PosuvChange(position);
    sim.SB_OtackyChange(position);
    EXPECT_EQ(s().FeedOverride, want);
    EXPECT_EQ(s().SpindleOverride, want);
    EXPECT_EQ(s().Display.ProcPosuvu, std::to_string(want) + "%");
    EXPECT_EQ(s().Display.Otacky, std::to_string(want) + "%");
  }
}

TEST_F(PanelTest, MachiningClockFormat) {
  const std::vector<std::pair<std::uint32_t, std::string>> cases = {
      {3725000, "62:05"}, {3725500, "62:06"},  {3724500, "62:04"},
      {59499, "00:59"},   {6000000, "100:00"}, {0, "00:00"}};
  for (const auto& [ms, want] : cases) {
    SCOPED_TRACE(ms);
    s().MachiningTime = ms;
    s().ClockStart = host.Now();
    sim.T_CasObrTimer();
    EXPECT_EQ(s().Display.CasObr, want);
  }
}

}  // namespace
}  // namespace soustruh
