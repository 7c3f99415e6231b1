// The status line: which pending alarm it shows and in which colours, the interpreter's message
// in MDI and AUTOMAT, and EDIT keeping quiet.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

class AlarmsTest : public test::SimulatorFixture {
 protected:
  void SetUp() override { StartMachine(); }
  MachineState& s() { return sim.state(); }
};

AlarmSet Set(std::initializer_list<AlarmKind> kinds) {
  AlarmSet set;
  for (AlarmKind k : kinds) set.Add(k);
  return set;
}

TEST_F(AlarmsTest, StatusLineShowsTheHighestPendingAlarm) {
  using enum AlarmKind;
  struct Case {
    const char* name;
    AlarmSet alarms;
    StatusLine want;
  };
  const StatusLine interpreter{"Nesprávný formát bloku (řádek 3).", Colour::Yellow, Colour::Black};
  const std::vector<Case> cases = {
      {"nothing", AlarmSet{}, StatusLine{"", Colour::ButtonFace, Colour::WindowText}},
      {"reference", Set({Reference}), {"Najet reference", Colour::Blue, Colour::White}},
      {"reference and travel end",
       Set({Reference, TravelEnd}),
       {"Konec rozsahu pojezdu", Colour::Blue, Colour::White}},
      {"zero feed",
       Set({ZeroFeed}),
       {"Nastavena nulová rychlost posuvu", Colour::Blue, Colour::White}},
      {"quill",
       Set({Reference, QuillUndefined}),
       {"Pinola koníka není v definované poloze", Colour::Blue, Colour::White}},
      {"crash",
       Set({Reference, DriveSync}),
       {"Chyba synchronizace pohonů stroje", Colour::Red, Colour::Yellow}},
      {"total", Set({TravelEnd, TotalStop}), {"T O T A L    S T O P", Colour::Red, Colour::Yellow}},
      {"interpreter over total", Set({TotalStop, InterpreterError}), interpreter},
      {"no known bit", AlarmSet{0x80}, {"Neznámá chyba", Colour::Blue, Colour::White}},
  };
  s().InterpreterMessage = {interpreter.text, interpreter.background, interpreter.foreground};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s().Alarms = c.alarms;
    EXPECT_EQ(sim.ShowAlarms(false), !c.alarms.Empty());
    EXPECT_EQ(s().Status, c.want);
    EXPECT_EQ(s().Alarms, c.alarms);
  }
}

TEST_F(AlarmsTest, PendingReferenceForcesTheReferenceFeed) {
  for (bool reference : {false, true}) {
    SCOPED_TRACE(reference);
    s().Alarms = reference ? Set({AlarmKind::Reference}) : AlarmSet{};
    s().Active.F = s().Active.FeedInUse = 123;
    sim.ShowAlarms(false);
    EXPECT_EQ(s().Active.F, reference ? sim.config().RefPosuv : 123);
    EXPECT_EQ(s().Active.FeedInUse, reference ? sim.config().RefPosuv : 123);
  }
}

TEST_F(AlarmsTest, InterpreterErrorHasItsSuffixOnlyInAutomat) {
  Reference();
  ASSERT_TRUE(Mdi("G07 X100."));
  EXPECT_EQ(s().Status, (StatusLine{"Neznámá funkce", Colour::Blue, Colour::White}));
  EXPECT_TRUE(s().Alarms.Has(AlarmKind::InterpreterError));
  EXPECT_EQ(sim.interpreter().error(), kErrNone);  // taken into the alarm
  sim.B_ResetClick();

  struct Case {
    std::vector<std::string> program;
    const char* want;
  };
  const std::vector<Case> cases = {
      {{"G07 X100."}, "Neznámá funkce (řádek 1)."},
      {{"N10 G00 X240.", "N20 G07"}, "Neznámá funkce (blok N20, řádek 2)."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    ASSERT_TRUE(RunProgram(c.program));
    EXPECT_EQ(s().Status.text, c.want);
    EXPECT_FALSE(s().ProgramRunning);
    sim.B_ResetClick();
    EXPECT_EQ(s().Status.text, "");
  }
}

TEST_F(AlarmsTest, EditNeitherShowsNorClearsInterpreterErrors) {
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
