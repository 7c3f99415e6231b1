// The operator panel where the golden runs of tests/programs/run cannot reach: a reference point
// the bundled machine does not have, alarms set directly, the machining clock's format and the
// status line. The bundled machine: X 40..250 (diameter), Z 40..270, reference at the upper limits.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "nc/FunctionGroups.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

constexpr std::int32_t kMm = 10000;  // length units per millimetre

class PanelTest : public test::SimulatorFixture {
 protected:
  void SetUp() override { StartMachine(); }
  MachineState& s() { return sim.state(); }
};

// An axis above its reference coordinate is sent past its upper limit; the leg ends there with
// TravelEnd, and the run ends with it.
TEST_F(PanelTest, ReferenceRunFromAboveTheReferenceEndsAtTheLimit) {
  sim.data().config.RefZ = sim.config().MaxZ - 10 * kMm;
  sim.SetSoftKey(5, true);
  sim.B_StartClick();
  ASSERT_TRUE(host.RunUntil([&] { return s().Alarms.Has(AlarmKind::TravelEnd); }, 600000));
  host.Advance(500);
  EXPECT_EQ(s().Active.Z, sim.config().MaxZ);
  EXPECT_TRUE(s().Alarms.Has(AlarmKind::Reference));
  EXPECT_FALSE(s().ProgramRunning);
  EXPECT_FALSE(host.TimerEnabled(HostTimer::Motion));
  EXPECT_EQ(s().Status.text, "Konec rozsahu pojezdu");
  sim.B_ExecClick();  // the stopped run no longer holds the mode
  EXPECT_EQ(s().Mode, ControlMode::Execute);
}

TEST_F(PanelTest, MachiningClockFormat) {
  // Minutes beyond the hour and seconds rounded half to even.
  const std::pair<std::uint32_t, const char*> cases[] = {
      {3725500, "62:06"}, {3724500, "62:04"}, {6000000, "100:00"}};
  for (const auto& [ms, want] : cases) {
    SCOPED_TRACE(ms);
    s().MachiningTime = ms;
    s().ClockStart = host.Now();
    sim.T_CasObrTimer();
    EXPECT_EQ(s().Display.CasObr, want);
  }
}

// The highest pending alarm is shown; while Reference is pending every motion runs at the
// reference feed.
TEST_F(PanelTest, StatusLineShowsTheHighestPendingAlarm) {
  using enum AlarmKind;
  struct Case {
    const char* name;
    AlarmSet alarms;
    StatusLine want;
  };
  const StatusLine interpreter{"Nesprávný formát bloku (řádek 3).", Colour::Yellow, Colour::Black};
  const Colour blue = Colour::Blue, white = Colour::White, red = Colour::Red;
  const std::vector<Case> cases = {
      {"nothing", AlarmSet{}, {"", Colour::ButtonFace, Colour::WindowText}},
      {"reference", AlarmSet{1}, {"Najet reference", blue, white}},
      {"reference and travel end", AlarmSet{1 | 2}, {"Konec rozsahu pojezdu", blue, white}},
      {"quill", AlarmSet{1 | 8}, {"Pinola koníka není v definované poloze", blue, white}},
      {"crash", AlarmSet{1 | 16}, {"Chyba synchronizace pohonů stroje", red, Colour::Yellow}},
      {"total", AlarmSet{2 | 32}, {"T O T A L    S T O P", red, Colour::Yellow}},
      {"interpreter over total", AlarmSet{32 | 64}, interpreter},
      {"no known bit", AlarmSet{0x80}, {"Neznámá chyba", blue, white}},
  };
  s().InterpreterMessage = {interpreter.text, interpreter.background, interpreter.foreground};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s().Alarms = c.alarms;
    s().Active.F = s().Active.FeedInUse = 123;
    EXPECT_EQ(sim.ShowAlarms(false), !c.alarms.Empty());
    EXPECT_EQ(s().Status, c.want);
    EXPECT_EQ(s().Alarms, c.alarms);
    const std::int32_t feed = c.alarms.Has(Reference) ? sim.config().RefPosuv : 123;
    EXPECT_EQ(s().Active.F, feed);
    EXPECT_EQ(s().Active.FeedInUse, feed);
  }
}

TEST_F(PanelTest, EditNeitherShowsNorClearsInterpreterErrors) {
  Reference();
  sim.B_EditClick();
  sim.interpreter().setError(kErrBlockFormat);
  EXPECT_FALSE(sim.ShowAlarms(false));
  EXPECT_EQ(s().Status.text, "");
  EXPECT_EQ(sim.interpreter().error(), kErrBlockFormat);
  sim.B_ManualClick();  // leaving EDIT drops it unseen
  EXPECT_EQ(sim.interpreter().error(), kErrNone);
  EXPECT_EQ(s().Status.text, "");
  EXPECT_TRUE(s().Alarms.Empty());
}

}  // namespace
}  // namespace soustruh
