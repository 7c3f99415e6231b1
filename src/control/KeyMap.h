#pragma once
// The keyboard map of the panel (MessageHook): which panel action a key press or release
// stands for. The window's event filter translates its key events into KeyEvent, lets
// Simulator::MessageHook act on them, and clears the key when told to; the key still reaches the
// focused control otherwise. The mouse wheel is the view's (ViewNavigator::MouseWheel).

#include <cstdint>
#include <optional>
#include <string_view>

namespace soustruh {

struct MachineState;

enum class Key : std::uint8_t {
  Other,
  Escape,
  F1,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,  // in order: F1 + n is F(n + 1)
  Up,
  Down,
  Left,
  Right,
  PageUp,
  PageDown,
};

// The key's name as scripts write it ("Esc", "F1", "Up", "PageDown"); nullopt for others.
std::optional<Key> KeyFromName(std::string_view name);

// The secondary window shown over the main one, if any.
enum class ShownDialog { None, ProgramFile, Stock, About };

struct KeyEvent {
  Key key = Key::Other;
  bool down = true;        // key down (auto-repeat included) or key up; Alt ignored
  std::string_view focus;  // the focused control's name, "" when it is none of ours
  ShownDialog dialog = ShownDialog::None;
  int monitorPageLines = 0;  // whole lines LB_PrgMon shows (for PageUp, PageDown)
};

enum class PanelAction : std::uint8_t {
  None,
  Reset,
  SoftKey,  // argument: 1..5
  ModeAutomat,
  ModeEdit,
  ModeExecute,
  ModeManual,
  Start,
  Stop,
  JogDown,  // keyboard jogging in MANUAL; argument: the JogKey
  JogUp,
  MonitorMove,  // the restart selection of LB_PrgMon; argument: lines to move (signed)
};

struct KeyMapping {
  PanelAction action = PanelAction::None;
  int argument = 0;
  bool clearKey = false;  // the key code must be cleared (arrows outside the entry controls)
};

// What the key event means in the present state (`state` gives the mode, the soft keys and
// whether a program runs). Pure: nothing is changed.
//   Esc Reset, F1..F5 the soft keys, F6 AUTOMAT, F7 EDIT, F8 EXECUTE, F9 MANUAL, F11 Start,
//   F12 Stop; the arrows jog in MANUAL; Up, Down, PageUp, PageDown move the restart selection in
//   AUTOMAT while Fn5 is checked and no program runs (a page less one line).
//   With the stock dialog shown nothing is mapped; with the program file dialog shown only F1
//   and F2 while their soft key is checked (to close it), and no key up.
//   The four arrows are cleared unless an entry control has the focus.
KeyMapping MapKey(const KeyEvent& event, const MachineState& state);

}  // namespace soustruh
