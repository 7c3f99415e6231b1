#pragma once
// Panel scripts: the operator's actions at the panel written one a line, played on a simulator
// in virtual time. Teachers use them through `soustruh-cli run --keys`, the tests to drive the
// panel exactly as a user would.
//
// Lines (blank lines and lines starting with "#" are skipped; words are separated by blanks):
//   key NAME [down|up]    a key through the key map: Esc, F1..F12, Up, Down, Left, Right, PageUp,
//                         PageDown; without down/up it is pressed and let go
//   soft N                soft key FnN (1..5)
//   press BUTTON          a jog or quill button held: SB_Xplus, SB_Xminus, SB_Zplus, SB_Zminus,
//   release BUTTON        SB_Wvpred, SB_Wvzad; release lets it go
//   click BUTTON          pressed and let go; also SB_VymT (tool change) and "LB_Korekce N"
//                         (row N of the correction list, 1-based)
//   wait MS               lets MS virtual milliseconds pass
//   mdi TEXT              types TEXT into the command line E_PrikazE (Start is separate)
//   start, stop, reset, total, spindle-on, spindle-off    the panel keys
//   feed N, spindle N     the override bars (0..150)
//   field NAME TEXT       types TEXT into an emptied entry field and leaves it
//   focus [NAME]          gives an entry control the focus (none without a name)
//   until-idle            lets time pass until nothing moves, within the time limit
// Entry fields and lists that the present page does not show take no input, as in the window; a
// text with a character Windows-1250 cannot hold is refused with the default alert.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "control/Jogging.h"
#include "control/KeyMap.h"

namespace soustruh {

class Simulator;
class VirtualHost;

// The restart selection's page in scripts: the program monitor shows ten lines.
inline constexpr int kScriptMonitorLines = 10;

struct ScriptAction {
  enum class Kind {
    Key,
    Soft,
    Press,
    Release,
    Click,
    Wait,
    Mdi,
    Start,
    Stop,
    Reset,
    Total,
    SpindleOn,
    SpindleOff,
    Feed,
    Spindle,
    Field,
    Focus,
    UntilIdle,
  };
  enum class Phase { Tap, Down, Up };

  Kind kind = Kind::Start;
  std::string text;  // the line as written, trimmed
  int line = 0;      // 1-based line of the script
  Key key = Key::Other;
  Phase phase = Phase::Tap;
  std::optional<MotionButton> button;  // press, release, click of a motion button
  std::int64_t number = 0;             // soft key, milliseconds, override, correction row
  std::string name;                    // control name of field, focus, click
  std::string value;                   // text of mdi and field
};

struct PanelScript {
  std::vector<ScriptAction> actions;
  // The first line that is not an action: its number and what is wrong ("unknown action 'x'",
  // "unknown control 'E_Foo'", ...). No action is run from a script with an error.
  int errorLine = 0;
  std::string error;
};

PanelScript ParsePanelScript(const std::vector<std::string>& lines);

// Plays actions on a simulator whose host is `host`. Time is counted from construction.
class PanelScriptPlayer {
 public:
  PanelScriptPlayer(Simulator& simulator, VirtualHost& host, std::uint64_t timeLimitMs);

  // Runs one action; false when the time limit has passed: until-idle found the machine still
  // moving at it, or a wait would run beyond it (the wait then ends at the limit).
  bool Play(const ScriptAction& action);

 private:
  void PlayClick(const ScriptAction& action);
  void PlayField(const ScriptAction& action);
  // Virtual milliseconds left before the time limit.
  std::uint64_t Left() const;

  Simulator& sim_;
  VirtualHost& host_;
  std::uint32_t start_;
  std::uint64_t limit_;
};

}  // namespace soustruh
