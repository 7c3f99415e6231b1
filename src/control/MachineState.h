#pragma once
// The run-time state of the simulated machine, shared by the control panel, the program driver
// and the motion tick. Positions are in length units (0.0001 mm); X is a diameter, every other
// X-direction quantity a radius. Times are milliseconds of the host's counter.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "control/Alarms.h"
#include "control/DisplayModel.h"
#include "control/EditPages.h"
#include "nc/MachinePoint.h"
#include "nc/NcBlock.h"

namespace soustruh {

enum class ControlMode : std::uint8_t { Manual = 0, Execute = 1, Edit = 2, Automat = 3, Rs232 = 4 };
inline constexpr int kModesWithSoftKeys = 4;  // MANUAL, EXECUTE, EDIT, AUTOMAT
inline constexpr int kSoftKeyCount = 5;       // Fn1 .. Fn5

// Arrow keys held for keyboard jogging.
enum JogKey : std::uint8_t { JogXPlus = 1, JogXMinus = 2, JogZMinus = 4, JogZPlus = 8 };

struct MachineState {
  ControlMode Mode = ControlMode::Manual;
  // Checked states of Fn1..Fn5, saved per mode when the mode changes; SoftKeys are the current.
  std::array<std::array<bool, kSoftKeyCount>, kModesWithSoftKeys> SavedSoftKeys{};
  std::array<bool, kSoftKeyCount> SoftKeys{};
  bool MotionDone = true;  // no motion under way; the tick stops its timer when it sees it
  bool FeedStopped = false;
  bool ToolWasTouching = false;
  bool ProgramRunning = false;  // a sequence (reference run, MDI command, program) is running
  std::uint8_t JogKeys = 0;
  AlarmSet Alarms;

  // World-to-screen mapping of the machine view: pixels per millimetre (0 = not fitted yet) and
  // the pixel of model point (0, 0). The tick redraws only when the carrier's pixel changes.
  double ViewScale = 0;
  std::int32_t ViewOriginX = 0;
  std::int32_t ViewOriginY = 0;

  std::int32_t LineIndex = -1;  // 0-based program line last executed in AUTOMAT; -1 none
  std::int32_t SubprogramDepth = 0;
  std::int32_t PathIndex = 0;
  std::array<std::int32_t, 3> ReturnStack{};
  std::uint32_t LastTick = 0;
  std::uint32_t ClockStart = 0;
  std::uint32_t MachiningTime = 0;
  ErrorDisplay InterpreterMessage;
  std::uint8_t InterpreterErrorCode = 0;  // the code behind InterpreterMessage
  std::string LastOffsetEdit;             // the work offset field last left (teach uses it)

  NcBlock Active;  // the machine now: X, Z machine coordinates of the carrier, W the quill
  NcBlock Target;  // the block being executed: X, Z in workpiece coordinates, W the quill target
  BlockPath Path;  // machine points (X a radius) of the block being followed; empty = straight
  // Where the last executed block started, in program coordinates, and the commanded position
  // then: a block interrupted by Stop is executed again from there, so that incremental words
  // are not added twice.
  std::int32_t BlockStartX = 0;
  std::int32_t BlockStartZ = 0;
  MachinePoint BlockStartCommanded;

  // Override scroll bars SB_Posuv and SB_Otacky, 0..150 percent.
  int FeedOverride = 100;
  int SpindleOverride = 100;
  bool TotalLampRed = false;    // Sh_Total: yellow when released, red while TOTAL is engaged
  bool QuillLampGreen = false;  // S_Wok

  // The host timers as the simulator last set them.
  bool MotionTimerOn = false;
  bool ClockTimerOn = false;

  StatusLine Status;  // P_Stav
  // A note of ours for the status line, shown while no alarm or interpreter message is (empty for
  // none): a feed move with a tool that has no drawing, which therefore cuts nothing. Cleared by
  // Reset and when a run starts from its first line.
  std::string Notice;
  // Every distinct notice since start-up, in order, for reports (the CLI's warnings).
  std::vector<std::string> Notices;
  DisplayState Display;
  std::string ModeLine = " MANUAL";  // P_Rezim
  EditPagesState Pages;              // the EDIT area

  // The control with the keyboard focus as the core knows it ("" for none of the entry controls
  // and the editor). The window reports focus changes; the core moves the focus itself where the
  // panel does (the command line in EXECUTE, a page's first field, a taught field) and then
  // counts FocusRequests up, so the window knows to focus Focus with the caret at the end.
  std::string Focus;
  std::uint32_t FocusRequests = 0;

  // The part program (lines of M_Program) and the monitor list's scroll and selection.
  std::vector<std::string> Program;
  std::string Command;        // E_PrikazE, the MDI command line
  int MonitorTop = 0;         // top line of LB_PrgMon
  int MonitorSelection = -1;  // selected line of LB_PrgMon, -1 none

  // Counters for reports and tests.
  std::uint64_t BlocksExecuted = 0;
  std::uint64_t ProgrammedStops = 0;
};

}  // namespace soustruh
