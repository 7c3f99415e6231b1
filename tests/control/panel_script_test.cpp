// The panel by hand, mostly as the scripts of tests/keys: NAME.keys is a panel script as
// `soustruh-cli run --keys` plays it, NAME.nc (if any) the program text, and NAME.expected holds
// "N: name = value; name = value" to hold after script line N. Names are the panel's controls
// (ControlReadout; caption line breaks read "|") or: alarms, checked (soft keys, "1 5"), beeps
// (hz/ms since start-up), alerts, x and z (workpiece, mm), w (quill, mm), quill (state), running,
// spindle (M group 0), FILE:N (line N of a data file). Besides: the key map and the file dialog.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "control/PanelScript.h"
#include "nc/FunctionGroups.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
const fs::path kScripts = fs::path(SOUSTRUH_SOURCE_DIR) / "tests/keys";

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Join(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

class KeyScript : public test::SimulatorFixture, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override { StartMachine(); }

  std::string Readout(const std::string& name) const {
    const MachineState& s = sim.state();
    const auto mm = [](std::int32_t units) { return FormatFixed(units / 10000.0, 3); };
    std::vector<std::string> alarms, checked, beeps;
    for (int bit = 0; bit < 7; ++bit)
      if (s.Alarms.Has(static_cast<AlarmKind>(bit)))
        alarms.emplace_back(AlarmName(static_cast<AlarmKind>(bit)));
    for (int k = 1; k <= 5; ++k)
      if (sim.SoftKey(k)) checked.push_back(std::to_string(k));
    for (const auto& [hz, ms] : host.beeps) beeps.push_back(FormatInt(hz) + "/" + FormatInt(ms));
    const std::map<std::string, std::string> probes = {
        {"alarms", Join(alarms)},
        {"checked", Join(checked)},
        {"beeps", Join(beeps)},
        {"alerts", FormatInt(host.alerts)},
        {"x", mm(sim.WorkpieceX())},
        {"z", mm(sim.WorkpieceZ())},
        {"w", mm(s.Active.W)},
        {"quill", FormatInt(s.Active.M[kMQuill])},
        {"running", s.ProgramRunning ? "yes" : "no"},
        {"spindle", FormatInt(s.Active.M[kMSpindle])},
    };
    if (const auto it = probes.find(name); it != probes.end()) return it->second;
    if (const auto colon = name.find(':'); colon != std::string::npos) {
      const auto lines = ReadLines(dir.path() / name.substr(0, colon));
      const auto n = static_cast<std::size_t>(std::stoul(name.substr(colon + 1)));
      return lines && n >= 1 && n <= lines->size() ? (*lines)[n - 1] : "(none)";
    }
    std::string text = ControlReadout(sim, name).value_or("(unknown)");
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n"))
      text.replace(at, 2, "|");
    return text;
  }
};

TEST_P(KeyScript, Holds) {
  const fs::path base = kScripts / GetParam();
  const auto lines = ReadLines(fs::path(base).replace_extension(".keys"));
  const auto expected = ReadLines(fs::path(base).replace_extension(".expected"));
  ASSERT_TRUE(lines && expected) << "missing .keys or .expected";
  if (const auto program = ReadLines(fs::path(base).replace_extension(".nc")))
    sim.SetProgram(*program);
  const PanelScript script = ParsePanelScript(*lines);
  ASSERT_EQ(script.error, "") << "line " << script.errorLine;
  std::multimap<int, std::pair<std::string, std::string>> checks;
  for (const std::string& entry : *expected) {
    const std::string text = Trim(entry);
    if (text.empty() || text[0] == '#') continue;
    const auto colon = text.find(':');
    ASSERT_NE(colon, std::string::npos) << text;
    std::istringstream pairs(text.substr(colon + 1));
    for (std::string pair; std::getline(pairs, pair, ';');) {
      const auto eq = pair.find('=');
      ASSERT_NE(eq, std::string::npos) << text;
      checks.emplace(std::stoi(text.substr(0, colon)),
                     std::pair(Trim(pair.substr(0, eq)), Trim(pair.substr(eq + 1))));
    }
  }
  PanelScriptPlayer player(sim, host, 3600000);
  for (const ScriptAction& action : script.actions) {
    EXPECT_TRUE(player.Play(action)) << action.text << ": still moving after an hour";
    const auto [from, to] = checks.equal_range(action.line);
    for (auto it = from; it != to; ++it) {
      SCOPED_TRACE(std::to_string(action.line) + ": " + action.text);
      EXPECT_EQ(Trim(Readout(it->second.first)), it->second.second) << it->second.first;
    }
  }
}

std::vector<std::string> ScriptNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kScripts))
    if (entry.path().extension() == ".keys") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Panel, KeyScript, ::testing::ValuesIn(ScriptNames()),
                         [](const auto& param) { return param.param; });

KeyEvent Ev(Key key, bool down = true, std::string_view focus = "",
            ShownDialog dialog = ShownDialog::None, int pageLines = 0) {
  return KeyEvent{key, down, focus, dialog, pageLines};
}

// MessageHook's map where the scripts do not reach: the arrows it clears, the focus, the dialogs.
TEST(KeyMapTest, MapsKeysByModeFocusAndDialog) {
  using enum Key;
  using A = PanelAction;
  struct Case {
    ControlMode mode;
    int checked;  // soft key checked, 0 none
    bool running;
    KeyEvent event;
    KeyMapping want;
  };
  const ControlMode manual = ControlMode::Manual, edit = ControlMode::Edit;
  const ControlMode automat = ControlMode::Automat;
  const ShownDialog file = ShownDialog::ProgramFile;
  const std::vector<Case> cases = {
      {manual, 0, false, Ev(Up), {A::JogDown, JogXPlus, true}},
      {manual, 0, false, Ev(Left, false), {A::JogUp, JogZMinus, true}},
      {edit, 0, false, Ev(Down, true, "E_G54x"), {}},
      {edit, 0, false, Ev(Up, true, "M_Program"), {}},
      {automat, 5, false, Ev(Up), {A::MonitorMove, -1, true}},
      {automat, 5, true, Ev(PageUp, true, "", ShownDialog::None, 10), {}},
      {automat, 0, false, Ev(Down), {A::None, 0, true}},
      {manual, 0, false, Ev(Up, true, "", ShownDialog::Stock), {}},
      {edit, 1, false, Ev(F1, true, "", file), {A::SoftKey, 1}},
      {edit, 1, false, Ev(F2, true, "", file), {}},
      {edit, 1, false, Ev(Escape, true, "", file), {}},
      {manual, 0, false, Ev(Up, false, "", file), {}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    MachineState s;
    s.Mode = c.mode;
    s.ProgramRunning = c.running;
    if (c.checked > 0) s.SoftKeys[static_cast<std::size_t>(c.checked - 1)] = true;
    const KeyMapping m = MapKey(c.event, s);
    EXPECT_EQ(m.action, c.want.action);
    EXPECT_EQ(m.argument, c.want.argument);
    EXPECT_EQ(m.clearKey, c.want.clearKey);
  }
}

// Opening and saving through the host's dialog: the mode line names the file, an existing file
// is overwritten only after Yes, and the key that opened the dialog closes it, the other not.
class FileDialog : public test::SimulatorFixture {};

TEST_F(FileDialog, OpensAndSavesThroughTheHost) {
  StartMachine();
  const fs::path file = dir.path() / "hrideL.nc";
  ASSERT_EQ(WriteLines(file, {"G00 X100. Z200.", "M30"}), "");
  sim.B_EditClick();
  sim.B_Fn1Click();  // editing
  std::vector<std::string> asked;
  host.onFileDialog = [&](ProgramFileDialogMode mode, std::string_view suggested) {
    const bool open = mode == ProgramFileDialogMode::Open;
    asked.push_back((open ? "open " : "save ") + std::string(suggested));
    EXPECT_TRUE(sim.SoftKey(open ? 1 : 2));
    sim.MessageHook(Ev(open ? Key::F2 : Key::F1, true, "", ShownDialog::ProgramFile));
    sim.MessageHook(Ev(open ? Key::F1 : Key::F2, true, "", ShownDialog::ProgramFile));
    EXPECT_EQ(std::exchange(host.dialogsClosed, 0), 1);
    return file.string();
  };
  sim.B_Fn1Click();
  EXPECT_EQ(sim.state().Program, (std::vector<std::string>{"G00 X100. Z200.", "M30"}));
  EXPECT_EQ(sim.state().ModeLine, " EDIT - " + file.string());
  EXPECT_EQ(sim.state().Focus, "M_Program");
  EXPECT_FALSE(sim.state().Pages.ProgramModified);
  sim.M_ProgramChange({"G00 X120. Z200."});
  sim.B_Fn2Click();  // No: the file keeps its text
  EXPECT_TRUE(sim.state().Pages.ProgramModified);
  EXPECT_EQ(host.questions, std::vector<std::string>{"Soubor již existuje, chcete jej přepsat?"});
  EXPECT_EQ(ReadLines(file)->front(), "G00 X100. Z200.");
  host.answerYes = true;
  sim.B_Fn2Click();
  EXPECT_EQ(ReadLines(file)->front(), "G00 X120. Z200.");
  EXPECT_FALSE(sim.state().Pages.ProgramModified);
  EXPECT_EQ(asked, (std::vector<std::string>{"open ", "save hrideL.nc", "save hrideL.nc"}));
  EXPECT_FALSE(sim.SoftKey(1) || sim.SoftKey(2));
}

}  // namespace
}  // namespace soustruh
