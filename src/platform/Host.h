#pragma once
// The core's only way to reach the platform: message boxes, the millisecond clock, the two
// timers, tones, the message loop and repainting. The window implements it with Qt, the CLI and
// the tests with a virtual host whose clock moves only when told. Every call happens on the one
// thread that drives the simulator.

#include <cstdint>
#include <string>
#include <string_view>

namespace soustruh {

// The simulator's two periodic timers.
enum class HostTimer {
  Motion,          // `Timer`, every 50 ms while a motion is under way
  MachiningClock,  // `T_CasObr`, every 250 ms while an AUTOMAT program moves
};

inline constexpr std::uint32_t TimerInterval(HostTimer timer) {
  return timer == HostTimer::Motion ? 50u : 250u;
}

// What the program file dialog is shown for.
enum class ProgramFileDialogMode { Open, Save };

class Host {
 public:
  virtual ~Host() = default;

  // A modal message box with an OK button. `text` is UTF-8; "\r\n" breaks a line. Returns when
  // the user has acknowledged it (headless hosts return at once).
  virtual void ShowMessage(std::string_view text) = 0;

  // The millisecond counter; it wraps modulo 2^32, so only differences are meaningful.
  virtual std::uint32_t Now() { return 0; }

  // Starts or stops a timer. Starting a running timer restarts its interval, as starting a
  // stopped one does; the host then calls Simulator::OnTimer(timer) every interval.
  virtual void SetTimerEnabled(HostTimer /*timer*/, bool /*enabled*/) {}

  // A tone of `hertz` for `milliseconds` (refusals and turret steps).
  virtual void Beep(int /*hertz*/, int /*milliseconds*/) {}
  // The system's default alert, for keys whose function is not available.
  virtual void DefaultAlert() {}

  // Processes the pending messages of the application once, so that panel keys and timers can
  // act during a pause. A virtual host advances its clock here.
  virtual void ProcessPendingMessages() {}

  // The core's display state changed (status line, numbers, scene, panel); repaint when
  // convenient. The window reads the panel from the simulator's state after it.
  virtual void Repaint() {}

  // ----- The program editor's dialogs. They belong to the window; the core decides when they
  // are shown and what follows. Headless hosts answer "cancelled", "No" and "no search text".

  // Shows the program file dialog modally and returns the chosen full file name, or an empty
  // string when it was cancelled. In Save mode the name field starts with `suggestedName`.
  // While it is shown the simulator's key map may call CloseProgramFileDialog (F1 or F2 again).
  virtual std::string ShowProgramFileDialog(ProgramFileDialogMode /*mode*/,
                                            std::string_view /*suggestedName*/) {
    return {};
  }
  // Closes the shown program file dialog as cancelled; nothing when none is shown.
  virtual void CloseProgramFileDialog() {}
  // A modal question with Yes and No buttons (UTF-8 text); true for Yes.
  virtual bool AskYesNo(std::string_view /*text*/) { return false; }
  // The hourglass cursor while a program file is read.
  virtual void SetWaitCursor(bool /*on*/) {}

  // The find and replace dialog of the editor: its search text, showing it, and the search or
  // replacement in the editor with the dialog's options (direction, case, whole words, all).
  // Find and Replace return false when nothing was found; a replacement changes the editor's
  // text, which the window then passes on as it passes every edit (Simulator::M_ProgramChange).
  virtual std::string SearchText() { return {}; }
  virtual void ShowReplaceDialog() {}
  virtual bool FindInProgram() { return false; }
  virtual bool ReplaceInProgram() { return false; }
};

}  // namespace soustruh
