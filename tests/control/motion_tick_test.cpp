// The motion tick driven one call at a time: each test sets the machine up, advances the clock
// by an exact amount and runs TimerTimer itself (the host timer stays off, nothing fires behind
// the test's back).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

#include "nc/FunctionGroups.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

constexpr std::int32_t kMm = 10000;  // length units per millimetre

class MotionTickTest : public test::SimulatorFixture {
 protected:
  void SetUp() override {
    StartMachine();
    Reference();  // MANUAL, no alarms, at the reference point
  }

  MachineState& s() { return sim.state(); }

  // A straight move of the carrier from machine (x, z) to the workpiece target (tx, tz), with
  // the timer taken as running.
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
    s().MotionTimerOn = true;
  }

  void Tick(std::uint32_t ms) {
    host.Advance(ms);
    sim.TimerTimer();
  }
};

// The step comes from the time measured, not the nominal 50 ms: a late tick goes further. At
// 1200 mm/min 50 ms is 1 mm along the line to the target.
TEST_F(MotionTickTest, StepIsFeedTimesMeasuredTimeAlongTheLine) {
  const std::int32_t at = 200 * kMm;
  Aim(at, at, at, 190 * kMm, 600);
  Tick(100);
  EXPECT_EQ(std::tuple(s().Active.X, s().Active.Z), std::tuple(at, 1990000));
  Aim(at, at, 180 * kMm, 190 * kMm, 1200);
  Tick(50);
  EXPECT_NEAR(s().Active.X, 1985858, 1);
  EXPECT_NEAR(s().Active.Z, 1992929, 1);
}

// A move may end exactly on a travel limit; one length unit beyond it is clamped with the alarm.
TEST_F(MotionTickTest, MoveEndsOnATravelLimitButNotBeyond) {
  const MachineConfig& c = sim.config();
  const std::int32_t mid = 200 * kMm;
  for (const std::int32_t beyond : {0, 1}) {
    const std::pair<std::int32_t, std::int32_t> targets[] = {{c.MinX - beyond, mid},
                                                             {c.MaxX + beyond, mid},
                                                             {mid, c.MinZ - beyond},
                                                             {mid, c.MaxZ + beyond}};
    for (const auto& [x, z] : targets) {
      SCOPED_TRACE(::testing::Message() << "X " << x << " Z " << z);
      s().Alarms.Clear();
      // From 0.2 mm inside, so that the 0.5 mm of one tick ends the move.
      Aim(std::clamp(x, c.MinX + 4000, c.MaxX - 4000), std::clamp(z, c.MinZ + 2000, c.MaxZ - 2000),
          x, z, 600);
      Tick(50);
      EXPECT_TRUE(s().MotionDone);
      EXPECT_EQ(s().Alarms.Has(AlarmKind::TravelEnd), beyond != 0);
      EXPECT_EQ(s().Active.X, std::clamp(x, c.MinX, c.MaxX));
      EXPECT_EQ(s().Active.Z, std::clamp(z, c.MinZ, c.MaxZ));
    }
  }
}

TEST_F(MotionTickTest, PathOfOneVertexEndsInTheFirstTick) {
  // The programmed target at the end: radius 40 mm − 0.5 mm of offset, Z 150 mm + 2 mm − 3 mm.
  s().Active.CorrZ = 2 * kMm;
  s().Active.OffsetX = 5000;
  s().Active.OffsetZ = 3 * kMm;
  Aim(200 * kMm, 200 * kMm, 0, 0, 600);
  s().Path = {MachinePoint{150 * kMm, 40 * kMm}};  // far away: the single vertex is taken as is
  Tick(50);
  EXPECT_TRUE(s().MotionDone);
  EXPECT_TRUE(s().Path.empty());
  EXPECT_EQ(s().Active.X, 80 * kMm);
  EXPECT_EQ(s().Active.Z, 150 * kMm);
  EXPECT_EQ(s().Target.X, 79 * kMm);
  EXPECT_EQ(s().Target.Z, 149 * kMm);
}

TEST_F(MotionTickTest, PathPassesWholeSegmentsAndResumesFromThePartialPoint) {
  Aim(100 * kMm, 200 * kMm, 0, 0, 600);
  // Five points 0.2 mm apart along Z at radius 50 mm, from Z 200 mm down.
  for (std::int32_t z = 2000000; z >= 1992000; z -= 2000) s().Path.push_back({z, 50 * kMm});
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

// The quill moves in whole millimetres per tick and arrives when the rest is within one step: at
// 1000 mm/min 0.833 mm rounds to 1 mm; at 600 mm/min 0.5 mm rounds to 0 and only late ticks move
// it. The golden runs take it onto the stock face and past where the stock is missing.
TEST_F(MotionTickTest, QuillStepsInWholeMillimetres) {
  const std::tuple<std::int32_t, std::int32_t, int, std::vector<std::uint32_t>, std::int32_t, bool>
      cases[] = {{1000, 0, kQuillForward, {50, 50}, 2 * kMm, false},
                 {600, 0, kQuillForward, {50, 60, 50, 70}, 2 * kMm, false},
                 {600, 4000, kQuillRetracted, {60}, sim.config().MinW, true}};
  for (const auto& [rate, fromW, command, ticks, wantW, done] : cases) {
    SCOPED_TRACE(rate);
    sim.data().config.RychPinoly = rate;
    s().Active.W = fromW;
    s().Active.M[kMQuill] = kQuillUndefined;
    s().Target.M[kMQuill] = command;
    s().LastTick = host.Now();
    s().MotionDone = false;
    for (const std::uint32_t ms : ticks) Tick(ms);
    EXPECT_EQ(std::tuple(s().MotionDone, s().Active.W), std::tuple(done, wantW));
    EXPECT_EQ(s().Active.M[kMQuill], done ? command : kQuillUndefined);
  }
}

// No feed in use within a sequence is an alarm; the timer stays on for the next tick's gate to
// stop. (Without a sequence it only waits, as the golden run override_at_zero shows.)
TEST_F(MotionTickTest, ZeroFeedInASequenceAlarms) {
  Aim(200 * kMm, 200 * kMm, 200 * kMm, 190 * kMm, 0);
  s().ProgramRunning = true;
  Tick(50);
  EXPECT_EQ(s().Active.Z, 200 * kMm);
  EXPECT_TRUE(s().Alarms.Has(AlarmKind::ZeroFeed));
  EXPECT_EQ(s().Status.text, "Nastavena nulová rychlost posuvu");
  EXPECT_TRUE(s().MotionTimerOn);
  Tick(50);
  EXPECT_FALSE(s().MotionTimerOn);
}

}  // namespace
}  // namespace soustruh
