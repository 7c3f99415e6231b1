// The motion tick driven one call at a time: the elapsed virtual time turns into a step of the
// carrier or the quill, so each test sets the machine up, advances the clock by an exact amount
// and runs TimerTimer itself (the host timer stays off, nothing fires behind the test's back).

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "nc/FunctionGroups.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

constexpr std::int32_t kMm = 10000;

// Five points 0.2 mm apart along Z at radius 50 mm, from Z 200 mm down.
BlockPath FivePoints() {
  return {{2000000, 50 * kMm},
          {1998000, 50 * kMm},
          {1996000, 50 * kMm},
          {1994000, 50 * kMm},
          {1992000, 50 * kMm}};
}

class MotionTickTest : public test::SimulatorFixture {
 protected:
  void SetUp() override {
    StartMachine();
    Reference();  // MANUAL, no alarms, at the reference point
  }

  MachineState& s() { return sim.state(); }

  // A straight move of the carrier from machine (x, z) to the workpiece target (tx, tz).
  void Aim(std::int32_t x, std::int32_t z, std::int32_t tx, std::int32_t tz, std::int32_t feed) {
    s().Active.X = x;
    s().Active.Z = z;
    s().Target.X = tx;
    s().Target.Z = tz;
    s().Active.FeedInUse = feed;
    s().Path.clear();
    s().PathIndex = 0;
    s().LastTick = host.Now();
    s().MotionDone = false;
  }

  void Tick(std::uint32_t ms) {
    host.Advance(ms);
    sim.TimerTimer();
  }
};

TEST_F(MotionTickTest, StraightMoveCoversFeedTimesElapsedTime) {
  struct Case {
    const char* name;
    std::int32_t x, z, tx, tz, feed;
    std::uint32_t ms;
    std::int32_t wantX, wantZ;
    bool done;
  };
  const std::vector<Case> cases = {
      {"0.5 mm per 50 ms tick at 600", 200 * kMm, 200 * kMm, 200 * kMm, 190 * kMm, 600, 50,
       200 * kMm, 1995000, false},
      {"0.3 mm ends exactly at the target", 200 * kMm, 200 * kMm, 200 * kMm, 1997000, 600, 50,
       200 * kMm, 1997000, true},
      {"late tick makes a longer step", 200 * kMm, 200 * kMm, 200 * kMm, 190 * kMm, 600, 100,
       200 * kMm, 1990000, false},
      {"X is a diameter: 0.5 mm of radius", 200 * kMm, 200 * kMm, 100 * kMm, 200 * kMm, 600, 50,
       1990000, 200 * kMm, false},
      {"diagonal: 1 mm along the line", 200 * kMm, 200 * kMm, 180 * kMm, 190 * kMm, 1200, 50,
       1985858, 1992929, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Aim(c.x, c.z, c.tx, c.tz, c.feed);
    Tick(c.ms);
    EXPECT_NEAR(s().Active.X, c.wantX, 1);
    EXPECT_NEAR(s().Active.Z, c.wantZ, 1);
    EXPECT_EQ(s().MotionDone, c.done);
    EXPECT_TRUE(s().Alarms.Empty());
  }
}

TEST_F(MotionTickTest, TargetIsInWorkpieceCoordinates) {
  // Workpiece X = machine X + 2 × (correction − offset), Z = machine Z + (correction − offset).
  s().Active.CorrX = 3 * kMm;
  s().Active.OffsetX = 1 * kMm;
  s().Active.CorrZ = 5 * kMm;
  s().Active.OffsetZ = 105 * kMm;
  Aim(1996000, 2003000, 204 * kMm, 100 * kMm, 600);  // 0.36 mm away
  Tick(50);
  EXPECT_TRUE(s().MotionDone);
  EXPECT_EQ(s().Active.X, 200 * kMm);
  EXPECT_EQ(s().Active.Z, 200 * kMm);
  EXPECT_EQ(sim.WorkpieceX(), 204 * kMm);
  EXPECT_EQ(sim.WorkpieceZ(), 100 * kMm);
}

TEST_F(MotionTickTest, TravelLimitClampsAndStopsTheMotion) {
  const MachineConfig& c = sim.config();
  struct Case {
    const char* name;
    std::int32_t x, z, tx, tz;
    std::int32_t wantX, wantZ;
  };
  const std::vector<Case> cases = {
      {"beyond MaxZ in a partial step", 200 * kMm, c.MaxZ - 2000, 200 * kMm, c.MaxZ + 100 * kMm,
       200 * kMm, c.MaxZ},
      {"beyond MaxZ at the end of the move", 200 * kMm, c.MaxZ - 1000, 200 * kMm, c.MaxZ + 1000,
       200 * kMm, c.MaxZ},
      {"below MinX", c.MinX + 2000, 200 * kMm, 0, 200 * kMm, c.MinX, 200 * kMm},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    sim.B_ResetClick();
    Aim(cs.x, cs.z, cs.tx, cs.tz, 3000);
    Tick(50);
    EXPECT_EQ(s().Active.X, cs.wantX);
    EXPECT_EQ(s().Active.Z, cs.wantZ);
    EXPECT_TRUE(s().Alarms.Has(AlarmKind::TravelEnd));
    EXPECT_EQ(s().Status.text, "Konec rozsahu pojezdu");
    // The next tick moves nothing and switches the timer off.
    Tick(50);
    EXPECT_EQ(s().Active.X, cs.wantX);
    EXPECT_EQ(s().Active.Z, cs.wantZ);
    EXPECT_FALSE(s().MotionTimerOn);
  }
}

TEST_F(MotionTickTest, PathOfOneVertexEndsInTheFirstTick) {
  s().Active.CorrZ = 2 * kMm;
  Aim(200 * kMm, 200 * kMm, 0, 0, 600);
  s().Path = {MachinePoint{150 * kMm, 40 * kMm}};  // far away: the single vertex is taken as is
  Tick(50);
  EXPECT_TRUE(s().MotionDone);
  EXPECT_TRUE(s().Path.empty());
  EXPECT_EQ(s().Active.X, 80 * kMm);
  EXPECT_EQ(s().Active.Z, 150 * kMm);
  EXPECT_EQ(s().Target.X, 80 * kMm);
  EXPECT_EQ(s().Target.Z, 152 * kMm);
}

TEST_F(MotionTickTest, PathPassesWholeSegmentsAndResumesFromThePartialPoint) {
  Aim(100 * kMm, 200 * kMm, 0, 0, 600);
  s().Path = FivePoints();
  Tick(50);  // 0.5 mm: two 0.2 mm segments and 0.1 mm of the third
  EXPECT_FALSE(s().MotionDone);
  EXPECT_EQ(s().PathIndex, 2);
  EXPECT_EQ(s().Active.Z, 1995000);
  EXPECT_EQ(s().Active.X, 100 * kMm);
  EXPECT_EQ(s().Path[2], (MachinePoint{1995000, 50 * kMm}));
  Tick(50);  // 0.3 mm left
  EXPECT_TRUE(s().MotionDone);
  EXPECT_TRUE(s().Path.empty());
  EXPECT_EQ(s().Active.Z, 1992000);
  EXPECT_EQ(s().Target.Z, 1992000);
}

TEST_F(MotionTickTest, QuillMovesInWholeMillimetresPerTick) {
  struct Case {
    const char* name;
    std::int32_t rate;
    std::vector<std::uint32_t> ticks;
    std::vector<std::int32_t> wantW;
  };
  const std::vector<Case> cases = {
      {"1000 mm/min: 0.833 mm rounds to 1 mm", 1000, {50, 50}, {1 * kMm, 2 * kMm}},
      {"600 mm/min: 0.5 mm rounds to 0, late ticks move",
       600,
       {50, 60, 50, 70},
       {0, 1 * kMm, 1 * kMm, 2 * kMm}},
      {"2000 mm/min: 1.667 mm rounds to 2 mm", 2000, {50}, {2 * kMm}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.data().config.RychPinoly = c.rate;
    s().Active.W = 0;
    s().Active.M[kMQuill] = kQuillRetracted;
    s().Target.M[kMQuill] = kQuillForward;
    s().LastTick = host.Now();
    s().MotionDone = false;
    for (std::size_t i = 0; i < c.ticks.size(); ++i) {
      Tick(c.ticks[i]);
      EXPECT_EQ(s().Active.W, c.wantW[i]) << "tick " << i;
    }
    EXPECT_FALSE(s().MotionDone);
    EXPECT_EQ(s().Active.M[kMQuill], kQuillUndefined);
    EXPECT_FALSE(s().QuillLampGreen);
  }
}

TEST_F(MotionTickTest, QuillArrivesWhenTheRestIsWithinOneStep) {
  const MachineConfig& c = sim.config();
  struct Case {
    const char* name;
    bool withStock;
    std::int32_t fromW;
    int command;
    std::int32_t wantW;
    int wantState;
    bool green;
  };
  // The start-up stock's face is at Z 125 mm; the tip stands at QuillTipX − W = 240 mm − W.
  const std::vector<Case> cases = {
      {"back to MinW: retracted", true, 4000, kQuillRetracted, c.MinW, kQuillRetracted, true},
      {"forward to MaxW without stock: undefined", false, c.MaxW - 4000, kQuillForward, c.MaxW,
       kQuillUndefined, false},
      {"forward onto the stock face: clamping", true, 110 * kMm, kQuillForward, 115 * kMm,
       kQuillForward, true},
  };
  sim.data().config.RychPinoly = 600;
  const StockSection startupStock = sim.stock();
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    sim.stock() = cs.withStock ? startupStock : StockSection{};
    s().Active.W = cs.fromW;
    s().Active.M[kMQuill] = kQuillUndefined;
    s().Target.M[kMQuill] = cs.command;
    s().Target.X = sim.WorkpieceX();
    s().Target.Z = sim.WorkpieceZ();
    s().LastTick = host.Now();
    s().MotionDone = false;
    for (int i = 0; i < 100 && !s().MotionDone; ++i) Tick(60);
    EXPECT_TRUE(s().MotionDone);
    EXPECT_EQ(s().Active.W, cs.wantW);
    EXPECT_EQ(s().Active.M[kMQuill], cs.wantState);
    EXPECT_EQ(s().QuillLampGreen, cs.green);
  }
}

TEST_F(MotionTickTest, ZeroFeedAlarmsOnlyWhenASequenceHasNoFeedInUse) {
  struct Case {
    const char* name;
    std::int32_t feedInUse;
    int override, feedUnit;
    bool sequence, alarm;
  };
  // With a feed in use, a feed of 0 under the override or G95 with the spindle stopped only
  // waits, in a sequence too.
  const std::vector<Case> cases = {
      {"sequence without feed in use", 0, 100, 94, true, true},
      {"no feed in use outside a sequence", 0, 100, 94, false, false},
      {"override at 0 %", 600, 0, 94, false, false},
      {"G95 with the spindle stopped", 600, 100, 95, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Aim(200 * kMm, 200 * kMm, 200 * kMm, 190 * kMm, c.feedInUse);
    s().Alarms.Clear();
    s().ProgramRunning = c.sequence;
    s().FeedOverride = c.override;
    s().Active.G[kGMotion] = 1;
    s().Active.G[kGFeedUnit] = c.feedUnit;
    Tick(50);
    EXPECT_EQ(s().Active.Z, 200 * kMm);
    EXPECT_EQ(s().Alarms.Has(AlarmKind::ZeroFeed), c.alarm);
    if (c.alarm) {
      EXPECT_EQ(s().Status.text, "Nastavena nulová rychlost posuvu");
    }
    EXPECT_FALSE(s().MotionDone);
  }
}

TEST_F(MotionTickTest, GateStopsWithoutMoving) {
  struct Case {
    const char* name;
    bool release;
    AlarmSet alarms;
    NcError error;
    bool moves;
  };
  const std::vector<Case> cases = {
      {"jog released between ticks", true, AlarmSet{}, kErrNone, false},
      {"reference pending still moves", false, AlarmSet{1}, kErrNone, true},
      {"travel end", false, AlarmSet{2}, kErrNone, false},
      {"interpreter error pending", false, AlarmSet{}, kErrMachineLimit, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Aim(200 * kMm, 200 * kMm, 200 * kMm, 100 * kMm, 600);
    s().Alarms = c.alarms;
    sim.interpreter().setError(c.error);
    if (c.release) s().MotionDone = true;
    Tick(50);
    EXPECT_EQ(s().Active.Z != 200 * kMm, c.moves);
    if (!c.moves) {
      EXPECT_FALSE(s().MotionTimerOn);
    }
    sim.interpreter().setError(kErrNone);
  }
}

TEST_F(MotionTickTest, EffectiveRates) {
  struct Case {
    const char* name;
    int motion, speedMode, feedUnit, spindle;
    std::int32_t F, S, sLimit, workpieceX;
    int feedOverride, spindleOverride;
    std::int32_t maxPosuv;
    std::int32_t wantSpeed, wantFeed;
    bool error29;
  };
  const std::vector<Case> cases = {
      {"G95 F200 at 1000 1/min", 1, 97, 95, 3, 200, 1000, -1, 100, 100, 100, 3000, 1000, 200,
       false},
      {"G95 with M05", 1, 97, 95, 5, 200, 1000, -1, 100, 100, 100, 3000, 0, 0, false},
      {"G00 under G95 is per minute", 0, 97, 95, 5, 200, 1000, -1, 100, 100, 100, 3000, 0, 200,
       false},
      {"G96 S200 at 40 mm", 1, 96, 94, 3, 100, 200, -1, 40, 100, 100, 3000, 1592, 100, false},
      {"G96 below MinOtacky", 1, 96, 94, 3, 100, 200, -1, 2000, 100, 100, 3000, 50, 100, false},
      {"G96 capped by the S limit", 1, 96, 94, 3, 100, 200, 1000, 40, 100, 100, 3000, 1000, 100,
       false},
      {"G96 at diameter 0 with a limit", 1, 96, 94, 4, 100, 200, 1500, 0, 100, 100, 3000, 1500, 100,
       false},
      {"G96 at diameter 0 without a limit", 1, 96, 94, 3, 100, 200, -1, 0, 100, 100, 3000, 50, 100,
       true},
      {"G96 above MaxOtacky without a limit", 1, 96, 94, 3, 100, 200, -1, 1, 100, 100, 3000, 63662,
       100, true},
      {"feed override 150 % cut to MaxPosuv", 1, 97, 94, 5, 5000, 0, -1, 100, 150, 100, 6000, 0,
       6000, false},
      {"spindle bar 150 % of 2667: 4000.5 to even", 1, 97, 94, 3, 0, 2667, -1, 100, 100, 150, 3000,
       4000, 0, false},
      {"G95 uses the rounded speed", 1, 97, 95, 3, 333, 3, -1, 100, 100, 50, 3000, 2, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NcBlock& a = s().Active;
    a.G[kGMotion] = c.motion;
    a.G[kGCuttingSpeed] = c.speedMode;
    a.G[kGFeedUnit] = c.feedUnit;
    a.M[kMSpindle] = c.spindle;
    a.SLimit = c.sLimit;
    // The workpiece diameter through a correction, as a real tool would give it.
    a.X = 100 * kMm;
    a.CorrX = (c.workpieceX * kMm - a.X) / 2;
    ASSERT_EQ(sim.WorkpieceX(), c.workpieceX * kMm);
    s().FeedOverride = c.feedOverride;
    s().SpindleOverride = c.spindleOverride;
    sim.data().config.MaxPosuv = c.maxPosuv;
    sim.interpreter().setError(kErrNone);
    const Rates r = sim.EffectiveRates(c.F, c.S);
    EXPECT_EQ(r.speed, c.wantSpeed);
    EXPECT_EQ(r.feed, c.wantFeed);
    EXPECT_EQ(sim.interpreter().error() == kErrMachineLimit, c.error29);
  }
}

}  // namespace
}  // namespace soustruh
