#include "control/KeyMap.h"

#include <algorithm>
#include <array>

#include "control/EntryFields.h"
#include "control/MachineState.h"
#include "control/Simulator.h"

namespace soustruh {
namespace {

constexpr std::array<std::pair<std::string_view, Key>, 19> kKeyNames = {{
    {"Esc", Key::Escape},
    {"F1", Key::F1},
    {"F2", Key::F2},
    {"F3", Key::F3},
    {"F4", Key::F4},
    {"F5", Key::F5},
    {"F6", Key::F6},
    {"F7", Key::F7},
    {"F8", Key::F8},
    {"F9", Key::F9},
    {"F10", Key::F10},
    {"F11", Key::F11},
    {"F12", Key::F12},
    {"Up", Key::Up},
    {"Down", Key::Down},
    {"Left", Key::Left},
    {"Right", Key::Right},
    {"PageUp", Key::PageUp},
    {"PageDown", Key::PageDown},
}};

bool IsArrow(Key key) {
  return key == Key::Up || key == Key::Down || key == Key::Left || key == Key::Right;
}

JogKey JogKeyOf(Key key) {
  switch (key) {
    case Key::Up:
      return JogXPlus;
    case Key::Down:
      return JogXMinus;
    case Key::Left:
      return JogZMinus;
    default:
      return JogZPlus;
  }
}

KeyMapping FunctionKey(Key key) {
  switch (key) {
    case Key::Escape:
      return {PanelAction::Reset};
    case Key::F6:
      return {PanelAction::ModeAutomat};
    case Key::F7:
      return {PanelAction::ModeEdit};
    case Key::F8:
      return {PanelAction::ModeExecute};
    case Key::F9:
      return {PanelAction::ModeManual};
    case Key::F11:
      return {PanelAction::Start};
    case Key::F12:
      return {PanelAction::Stop};
    case Key::F10:
      return {};
    default:  // F1 .. F5
      return {PanelAction::SoftKey, static_cast<int>(key) - static_cast<int>(Key::F1) + 1};
  }
}

// The restart selection moves by a line, or by a page less one line.
int MonitorStep(Key key, int pageLines) {
  const int page = std::max(1, pageLines - 1);
  switch (key) {
    case Key::Up:
      return -1;
    case Key::Down:
      return 1;
    case Key::PageUp:
      return -page;
    default:
      return page;
  }
}

}  // namespace

std::optional<Key> KeyFromName(std::string_view name) {
  for (const auto& [text, key] : kKeyNames)
    if (text == name) return key;
  return std::nullopt;
}

KeyMapping MapKey(const KeyEvent& e, const MachineState& s) {
  const bool fileDialog = e.dialog == ShownDialog::ProgramFile;
  if (e.dialog == ShownDialog::Stock || (fileDialog && !e.down)) return {};
  if (fileDialog) {
    const bool closes = (e.key == Key::F1 && s.SoftKeys[0]) || (e.key == Key::F2 && s.SoftKeys[1]);
    return closes ? FunctionKey(e.key) : KeyMapping{};
  }
  if (e.key == Key::Escape || (e.key >= Key::F1 && e.key <= Key::F12)) {
    return e.down ? FunctionKey(e.key) : KeyMapping{};
  }
  KeyMapping mapping;
  if (IsArrow(e.key) && s.Mode == ControlMode::Manual) {
    mapping = {e.down ? PanelAction::JogDown : PanelAction::JogUp, JogKeyOf(e.key)};
  } else if (e.down && e.key != Key::Left && e.key != Key::Right && e.key != Key::Other &&
             s.Mode == ControlMode::Automat && s.SoftKeys[4] && !s.ProgramRunning) {
    mapping = {PanelAction::MonitorMove, MonitorStep(e.key, e.monitorPageLines)};
  }
  mapping.clearKey = IsArrow(e.key) && !IsEntryControl(e.focus);
  return mapping;
}

bool Simulator::MessageHook(const KeyEvent& event) {
  const KeyMapping m = MapKey(event, state_);
  switch (m.action) {
    case PanelAction::None:
      break;
    case PanelAction::Reset:
      B_ResetClick();
      break;
    case PanelAction::SoftKey:
      SoftKeyClick(m.argument);
      break;
    case PanelAction::ModeAutomat:
      B_AutomatClick();
      break;
    case PanelAction::ModeEdit:
      B_EditClick();
      break;
    case PanelAction::ModeExecute:
      B_ExecClick();
      break;
    case PanelAction::ModeManual:
      B_ManualClick();
      break;
    case PanelAction::Start:
      B_StartClick();
      break;
    case PanelAction::Stop:
      B_StopClick();
      break;
    case PanelAction::JogDown:
      JogKeyDown(static_cast<JogKey>(m.argument));
      break;
    case PanelAction::JogUp:
      JogKeyUp(static_cast<JogKey>(m.argument));
      break;
    case PanelAction::MonitorMove:
      MoveMonitorSelection(m.argument, event.monitorPageLines);
      break;
  }
  host_.Repaint();
  return m.clearKey;
}

}  // namespace soustruh
