// Part programs run in AUTOMAT and MDI in virtual time. Most cases are the golden runs of
// tests/programs/run; here are the machining time against the geometry and feeds (compensated
// contour included) and the edited corrections.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "nc/FunctionGroups.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"
#include "support/Files.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
const fs::path kRunPrograms = fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs/run";
constexpr std::int32_t kMm = 10000;  // length units per millimetre

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Appends `item` to a list separated by blanks.
void Add(std::string& list, const std::string& item) {
  list += (list.empty() ? "" : " ") + item;
}

// After the reference run, with tables of its own whatever the bundled data files hold: G54 puts
// the program zero on the face of the start-up stock; tool 1 roughs and tool 3 finishes, both
// with a 0.4 mm nose at tip position 3, tool 5 threads. With tool 1 program X0 Z0 is machine X 60
// Z 134, with tool 3 machine X 64 Z 132, with tool 5 X 64 Z 125.
class ProgramRunTest : public test::SimulatorFixture {
 protected:
  void SetUp() override {
    StartMachine();
    Reference();
    CorrectionTable& c = sim.data().corrections;
    ASSERT_TRUE(c.ReplaceRow(ToolCorrection{1, -30 * kMm, -9 * kMm, 4000, 3, "Ubírací"}));
    ASSERT_TRUE(c.ReplaceRow(ToolCorrection{3, -32 * kMm, -7 * kMm, 4000, 3, "Dokončovací"}));
    ASSERT_TRUE(c.ReplaceRow(ToolCorrection{5, -32 * kMm, 0, 1000, 8, "Závitový"}));
    ASSERT_TRUE(sim.data().offsets.SetOffsetFields(54, "0.000", "125.000", "Čelo"));
  }

  // Nothing moves until the operator acts: the run has ended, is held (Stop, M00, single block)
  // or an alarm stopped it. A running program restarts the timer within the tick that ends a
  // motion, so between ticks it is off only then.
  bool Held() const { return !sim.state().MotionTimerOn; }

  void StartProgram(const std::string& name) {
    const auto lines = ReadLines(kRunPrograms / (name + ".nc"));
    ASSERT_TRUE(lines) << name;
    sim.SetProgram(*lines);
    sim.B_AutomatClick();
    sim.B_StartClick();
  }

  // A panel action of a golden scenario (see GoldenRun).
  void Act(const std::string& word) {
    const std::map<std::string, void (Simulator::*)()> keys = {
        {"start", &Simulator::B_StartClick},   {"stop", &Simulator::B_StopClick},
        {"reset", &Simulator::B_ResetClick},   {"total", &Simulator::B_TotalClick},
        {"zap", &Simulator::B_ZapSClick},      {"vyp", &Simulator::B_VypSClick},
        {"manual", &Simulator::B_ManualClick}, {"mdi", &Simulator::B_ExecClick},
        {"edit", &Simulator::B_EditClick},     {"automat", &Simulator::B_AutomatClick}};
    const auto number = [&](std::size_t from) {
      return static_cast<std::uint32_t>(std::stoul(word.substr(from)));
    };
    const auto colon = word.find(':');
    if (colon != std::string::npos) {
      host.ScheduleAt(host.Now() + number(0),
                      [this, action = word.substr(colon + 1)] { Act(action); });
    } else if (keys.contains(word)) {
      (sim.*keys.at(word))();
    } else if (word == "run") {
      EXPECT_TRUE(host.RunUntil([&] { return Held(); }, 3600000)) << "still running after an hour";
    } else if (word.starts_with("F=") || word.starts_with("S=")) {
      const int position = static_cast<int>(number(2));
      word[0] == 'F' ? sim.SB_PosuvChange(position) : sim.SB_OtackyChange(position);
    } else if (std::isdigit(static_cast<unsigned char>(word[0]))) {
      host.Advance(number(0));
    } else {
      ADD_FAILURE() << "unknown action " << word;
    }
  }

  // The machine as a golden scenario reads it; nullopt for an unknown key.
  std::optional<std::string> Readout(const std::string& key) const {
    const MachineState& s = sim.state();
    const DisplayState& d = s.Display;
    const bool automat = s.Mode == ControlMode::Automat;
    const auto mm = [](std::int32_t units) { return FormatFixed(units / 10000.0, 3); };
    const int quill = s.Active.M[kMQuill], command = s.Target.M[kMQuill];
    std::string alarms, checked, beeps;
    for (int k = 1; k <= 5; ++k) {
      if (sim.SoftKey(k)) Add(checked, std::to_string(k));
    }
    for (const auto& [hertz, ms] : host.beeps)
      Add(beeps, std::to_string(hertz) + "/" + std::to_string(ms));
    for (std::uint8_t bit = 0; bit < 7; ++bit) {
      if (s.Alarms.Has(static_cast<AlarmKind>(bit)))
        Add(alarms, std::string(AlarmName(static_cast<AlarmKind>(bit))));
    }
    const std::map<std::string, std::string> readouts = {
        {"status", s.Status.text},
        {"line",
         s.LineIndex == -1 && s.Alarms.Empty() ? "end" : std::to_string(s.MonitorSelection + 1)},
        {"x", mm(sim.WorkpieceX())},
        {"z", mm(sim.WorkpieceZ())},
        {"w", mm(s.Active.W)},
        {"shown", Trim((automat ? d.SourXA : d.SourXM) + " " + (automat ? d.SourZA : d.SourZM))},
        {"tool", automat ? d.NastrojA : d.NastrojM},
        {"feed", automat ? d.PosuvA : d.PosuvM},
        {"speed", automat ? d.OtackyA : d.OtackyM},
        {"mode", Trim(s.ModeLine)},
        {"checked", checked},
        {"overrides", d.ProcPosuvu + " " + d.Otacky},
        {"alarms", alarms},
        {"running", s.ProgramRunning ? "yes" : "no"},
        {"depth", std::to_string(s.SubprogramDepth)},
        {"quill", std::to_string(quill) + (command == quill ? "" : "/" + std::to_string(command))},
        {"spindle", std::to_string(s.Active.M[kMSpindle])},
        {"coolant", std::to_string(s.Active.M[kMCoolant])},
        {"blocks", std::to_string(s.BlocksExecuted)},
        {"beeps", beeps},
        {"clock", d.CasObr},
        {"modal", Trim(d.ModG)},
    };
    const auto it = readouts.find(key);
    if (it == readouts.end()) return std::nullopt;
    return it->second;
  }
};

// ----- Golden runs: tests/programs/run/NAME.nc with NAME.expected beside it, a scenario of
// "key = value" lines read in order ("#" starts a comment line). The program is loaded in AUTOMAT
// after the reference run, with the fixture's tables.
//   keys     the soft keys Fn1..Fn5 of the present mode that are checked, e.g. "1 3"
//   stock    "none": the chuck is empty
//   command  the MDI command line
//   do       panel actions in turn: start, stop, reset, total, zap, vyp (spindle on, off), the
//            mode keys manual, mdi, edit, automat; F=n and S=n move the override bars; a number
//            lets that many ms pass; "run" lets time pass until nothing moves (at most an hour);
//            "N:action" schedules the action N ms ahead, so that it falls into a turret change
// Any other key compares a readout with the value:
//   status   the status line
//   line     "end" when the run went through; otherwise the 1-based line selected in the monitor
//   x, z, w  the workpiece position and the quill in mm with three decimals, X a diameter
//   shown, tool, feed, speed   position, T and D, feed and spindle speed as the display shows
//            them on the page of the present mode
//   mode, checked, alarms   the mode line; the soft keys checked; the pending alarms by name
//   overrides   the feed and spindle override percentages shown
//   running  yes or no: a sequence is running (held by Stop or M00 included)
//   depth    open subprogram calls
//   quill    its state (20, 21, -1), with "/command" when the command differs
//   spindle, coolant   M groups 0 and 2
//   blocks   blocks executed since start-up
//   beeps    the beeps since start-up as hertz/ms
//   clock, modal       the machining time and the G functions displayed

class GoldenRun : public ProgramRunTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(GoldenRun, FollowsItsScenario) {
  const fs::path program = kRunPrograms / (GetParam() + ".nc");
  const auto lines = ReadLines(program);
  const auto scenario = ReadLines(fs::path(program).replace_extension(".expected"));
  ASSERT_TRUE(lines && scenario) << "missing " << GetParam() << ".nc or .expected";
  sim.SetProgram(*lines);
  sim.B_AutomatClick();
  for (const std::string& entry : *scenario) {
    const std::string text = Trim(entry);
    if (text.empty() || text[0] == '#') continue;
    SCOPED_TRACE(text);
    const auto eq = text.find('=');
    ASSERT_NE(eq, std::string::npos);
    const std::string key = Trim(text.substr(0, eq)), value = Trim(text.substr(eq + 1));
    if (key == "keys") {
      for (int k = 1; k <= 5; ++k) sim.SetSoftKey(k, value.find(std::to_string(k)) != value.npos);
    } else if (key == "command") {
      sim.SetCommand(value);
    } else if (key == "stock") {
      sim.stock().clear();
    } else if (key == "do") {
      std::istringstream words(value);
      for (std::string word; words >> word;) Act(word);
    } else {
      EXPECT_EQ(Readout(key), std::optional(value));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, GoldenRun, ::testing::ValuesIn(test::ProgramNames(kRunPrograms)),
                         [](const auto& param) { return param.param; });

// ----- The machining time

constexpr double kNoseRadius = 0.4;  // mm, tools 1 and 3

// shaft_two_tools: two tools, G95 under G97, G96 on a cut of constant diameter, a G94 face cut
// and a G42 finishing contour with an arc. Its duration must match the path lengths at their
// feeds, every motion taking whole ticks of 50 ms.
TEST_F(ProgramRunTest, MachiningTimeFollowsPathLengthsAndFeeds) {
  const MachineConfig& cfg = sim.config();
  // Rapids run at the rapid feed, but no feed exceeds the machine's maximum.
  const double rapid = std::min(cfg.Rychloposuv, cfg.MaxPosuv);
  // G96 S100 on diameter 14 mm, below the G92 limit: 1000·100/(π·14) 1/min, whole turns. Under
  // G95 the feed is F µm per turn, rounded to whole mm/min.
  const double g96Speed = std::nearbyint(1000.0 * 100 / (std::numbers::pi * 14));
  ASSERT_LT(g96Speed, 2500);
  const double g96Feed = std::nearbyint(150 * g96Speed / 1000);
  // Lengths in workpiece coordinates (Z, X radius) of the point the carrier moves, and feeds.
  // After the reference run tool 1 stands at workpiece Z 136, X radius 95; the change to tool 3
  // (two turret places of 600 ms) moves the same machine point to Z 7, X 13. Under G42 the
  // carrier runs 0.4 mm beside the contour and 0.4 mm back (tip position 3): the contour element
  // shifted by the nose radius, inside corners cut short and a quarter circle of 0.4 mm round
  // the outside corner at N170/N180.
  const double r = kNoseRadius;
  const std::vector<std::pair<double, double>> legs = {
      {std::hypot(136 - 0.5, 95 - 10.5), rapid},   // N40
      {10.5 + 0.4, 80},                            // N50 face, G94
      {std::hypot(2 - 0.5, 8.5 + 0.4), rapid},     // N60
      {27, 200},                                   // N70, G97 S1000: 200 µm/turn at 1000 1/min
      {std::hypot(27, 1), rapid},                  // N80
      {2.5, rapid},                                // N90
      {14, g96Feed},                               // N100
      {std::hypot(17, 8), rapid},                  // N110
      {std::hypot(7 - 2, 13 - 4), rapid},          // N130
      {std::hypot(2, 1 - r), 100},                 // N140 approach to the arc's offset start
      {(2 + r) * std::numbers::pi / 2, 100},       // N150 arc on radius 2.4
      {10 - r, 100},                               // N160 to the inside corner
      {1.5 - r + r * std::numbers::pi / 2, 100},   // N170 and the outside corner arc
      {13 - r, 100},                               // N180 to the inside corner
      {1.5 - r, 100},                              // N190 departure beside its end
      {std::hypot(25 + 5, 15 - (10 - r)), rapid},  // N200 back to the programmed point
  };
  double expected = 2 * 600;
  for (const auto& [length, feed] : legs) expected += length / feed * 60000;

  const std::uint32_t start = host.Now();
  StartProgram("shaft_two_tools");
  for (int ms = 0; !Held() && ms < 3600000; ++ms) host.Advance(1);
  ASSERT_TRUE(Held());
  const double elapsed = host.Now() - start;
  EXPECT_EQ(sim.state().Status.text, "");
  const double tick = TimerInterval(HostTimer::Motion);
  EXPECT_GE(elapsed, expected - tick);
  EXPECT_LE(elapsed, expected + tick * static_cast<double>(legs.size()));
  // The machining clock counts in 250 ms steps while the program runs.
  EXPECT_NEAR(static_cast<double>(sim.state().MachiningTime), elapsed, 250);
}

// ----- Edited corrections: leaving EDIT takes them into use; elsewhere only a block that selects
// another correction and then this one again does.

TEST_F(ProgramRunTest, EditedCorrectionCountsAfterEditOrWhenSelectedAgain) {
  ASSERT_TRUE(RunProgram({"G54 T0101"}));
  const MachineState& s = sim.state();
  const std::int32_t z = s.Active.CorrZ;
  const auto edit = [&] {
    ToolCorrection changed = sim.data().corrections.Correction(1, sim.interpreter());
    changed.Z += kMm;
    ASSERT_TRUE(sim.data().corrections.ReplaceRow(changed));
  };
  edit();
  ASSERT_TRUE(RunProgram({"G54 T0101", "G00 X30. Z5."}));
  EXPECT_EQ(s.Active.CorrZ, z);
  ASSERT_TRUE(RunProgram({"G54 T0100", "G54 T0101"}));
  EXPECT_EQ(s.Active.CorrZ, z + kMm);

  sim.B_EditClick();
  edit();
  sim.B_ManualClick();
  EXPECT_EQ(s.Active.CorrZ, z + 2 * kMm);
  edit();
  sim.B_ExecClick();
  EXPECT_EQ(s.Active.CorrZ, z + 2 * kMm);
}

}  // namespace
}  // namespace soustruh
