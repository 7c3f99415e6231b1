// The program driver: one block of an AUTOMAT run or one MDI command, from its text to the start
// of its motion.

#include "control/Simulator.h"

#include <algorithm>
#include <string>

#include "machine/ModalTables.h"
#include "machine/ToolShape.h"
#include "nc/Compensation.h"
#include "nc/FunctionGroups.h"
#include "nc/ModalState.h"
#include "nc/PathGeometry.h"

namespace soustruh {
namespace {

constexpr std::size_t kReturnLevels = 3;

// M30: both records back to their defaults. The quill does not move at the end of a program, so
// its state and command keep describing where it stands; the defaults would call a quill that
// clamps the stock retracted, and a later M20 would then leave it forward.
void EndOfProgram(NcBlock& active, NcBlock& target) {
  const int quillState = active.M[kMQuill];
  const int quillCommand = target.M[kMQuill];
  EndOfProgramRecords(active, target);
  active.M[kMQuill] = quillState;
  target.M[kMQuill] = quillCommand;
}

}  // namespace

void Simulator::LoadTool(int tool) {
  LoadToolDrawing(data_.directory, tool, host_, data_.drawing);
}

void Simulator::ExecuteBlock(const std::string& text, bool mdi) {
  MachineState& s = state_;
  NcBlock& a = s.Active;
  NcBlock& t = s.Target;
  if (!mdi) s.MonitorTop = std::max(0, s.LineIndex - 2);
  if (text.empty()) return;

  s.BlockStartX = t.X;
  s.BlockStartZ = t.Z;
  s.BlockStartCommanded = interp_.commandedPosition();
  interp_.ClearVariables();
  t.M[kMFlow] = kNoFunction;
  if (a.G[kGCompensation] != 40) {
    // Under compensation the tool stands beside the contour; incremental words refer to the
    // programmed contour point instead.
    ProgrammedFromCommanded(t, a, interp_.commandedPosition());
  }
  interp_.ParseBlock(text, true, mdi, t);
  if (ShowAlarms(mdi)) return;
  ++s.BlocksExecuted;

  if (SkipBlock(mdi)) return;
  if (!mdi && t.LTarget >= 0) {
    JumpOrCall();
    if (ShowAlarms(mdi)) return;
  }
  if (!FlowFunctions(mdi)) return;

  a.G[kGDimensions] = t.G[kGDimensions];
  if (t.S != a.S && t.G[kGSpeedLimit] != 92) a.S = t.S;
  if (a.M[kMSpindle] != t.M[kMSpindle] && a.M[kMFlow] != 0 && a.M[kMFlow] != 1) {
    a.M[kMSpindle] = t.M[kMSpindle];
    ChuckBuild();
    SceneRedraw();
  }
  a.M[kMCoolant] = t.M[kMCoolant];
  if (t.M[kMQuill] != a.M[kMQuill]) StartMotion(true);
  if (t.T != a.T) {
    TurretChange();
    // Stop, Reset or TOTAL pressed while the turret turned: the rest of the block would load a
    // correction and move with whatever tool the turret stopped at. The block ends here; Start
    // after Stop carries it out again from the start, so Target goes back to where the machine
    // stands and incremental words count from there once more.
    const bool interrupted = s.MotionDone;
    s.MotionDone = true;
    if (interrupted) {
      ProgrammedFromMachine(t, a);
      return;
    }
  }

  if (ShowAlarms(mdi)) t.D = a.D;
  if (t.D != a.D) LoadToolCorrection(a, t, data_.corrections, interp_);
  ApplyWorkOffsets(a, t, data_.offsets, interp_);
  a.G[kGCuttingSpeed] = t.G[kGCuttingSpeed];
  a.G[kGFeedUnit] = t.G[kGFeedUnit];
  ApplySpeedLimit(a, t);
  a.F = t.F;
  // Under compensation the tool stands beside the contour, so a block without motion keeps the
  // programmed contour point (set above) as its position; taking the tool's point instead would
  // bend the next element toward where the tool stands.
  if (!t.Motion && a.G[kGCompensation] == 40) ProgrammedFromMachine(t, a);

  if (!ShowAlarms(mdi) && t.Motion) {
    a.G[kGMotion] = t.G[kGMotion];
    if (t.G[kGCompensation] == 40) {
      StartBlockMotion(mdi);
    } else {
      StartCompensatedMotion(mdi);
    }
    if (interp_.error() != kErrNone || !s.Alarms.Empty()) return;
  }
  interp_.setCommandedPosition(CommandedPosition(t));
}

bool Simulator::SkipBlock(bool mdi) {
  MachineState& s = state_;
  if (mdi || !s.SoftKeys[1] || !s.Target.Skip) return false;
  s.Target = s.Active;
  if (s.Active.G[kGCompensation] == 40) {
    ProgrammedFromMachine(s.Target, s.Active);
    interp_.setCommandedPosition(CommandedPosition(s.Target));
  } else {
    // As any block without motion under compensation: the position stays on the contour.
    ProgrammedFromCommanded(s.Target, s.Active, interp_.commandedPosition());
  }
  return true;
}

void Simulator::JumpOrCall() {
  MachineState& s = state_;
  const std::int32_t wanted = s.Target.LTarget;
  for (std::size_t i = 0; i < s.Program.size(); ++i) {
    if (!interp_.LineHasBlockNumber(StripComments(s.Program[i]), wanted)) continue;
    if (s.Target.G[kGJump] == 25) {
      // A fourth level has nowhere to keep its return line.
      if (s.SubprogramDepth >= static_cast<std::int32_t>(kReturnLevels)) {
        interp_.setError(kErrNestingTooDeep);
        return;
      }
      ++s.SubprogramDepth;
      s.ReturnStack[static_cast<std::size_t>(s.SubprogramDepth - 1)] = s.LineIndex;
    }
    s.LineIndex = static_cast<std::int32_t>(i) - 1;
    return;
  }
  // A jump to nowhere would silently run on into whatever follows.
  interp_.setError(kErrJumpTargetMissing);
}

bool Simulator::FlowFunctions(bool mdi) {
  MachineState& s = state_;
  NcBlock& a = s.Active;
  a.M[kMFlow] = s.Target.M[kMFlow];
  switch (a.M[kMFlow]) {
    case 1:
      if (!(s.Mode == ControlMode::Automat && s.SoftKeys[2])) break;
      [[fallthrough]];
    case 0:
      ++s.ProgrammedStops;
      B_StopClick();
      a.M[kMSpindle] = 5;
      ChuckBuild();
      SceneRedraw();
      break;
    case 17:
      if (s.SubprogramDepth > 0) {
        s.LineIndex = s.ReturnStack[static_cast<std::size_t>(s.SubprogramDepth - 1)];
        --s.SubprogramDepth;
        a.M[kMFlow] = s.Target.M[kMFlow] = kNoFunction;
      }
      break;
    case 30:
      if (s.SubprogramDepth > 0) {
        interp_.setError(kErrBadSubprogramEnd);
        ShowAlarms(mdi);
        return false;
      }
      s.LineIndex = static_cast<std::int32_t>(s.Program.size());
      EndOfProgram(a, s.Target);
      s.MotionDone = true;
      s.ProgramRunning = false;
      break;
    default:
      break;
  }
  return true;
}

// Leaves MotionDone set only when a key pressed during the pauses (Stop, Reset, TOTAL) ended the
// turning; the caller then sets it.
void Simulator::TurretChange() {
  MachineState& s = state_;
  const std::int32_t places = std::max(1, config().Mist_v_zas);
  s.MotionDone = false;
  // The turret turns one place at a time; a full turn always reaches any valid tool.
  for (std::int32_t step = 0; step <= places && s.Target.T != s.Active.T && !s.MotionDone; ++step) {
    s.Active.T = s.Active.T >= places ? 1 : s.Active.T + 1;
    TurretStep();
  }
}

void Simulator::NoteToolWithoutDrawing() {
  // Without a drawing the tool has no insert: the run would end as if it had cut, with nothing
  // cut. Only a feed move is worth the note; rapid moves never cut anyway.
  if (!data_.drawing[NASTROJ].empty()) return;
  MachineState& s = state_;
  s.Notice = "Nástroj " + std::to_string(s.Active.T) + " nemá grafiku v souboru '" +
             std::string(ToolFileName) + "', proto nic neobrobí.";
  if (std::find(s.Notices.begin(), s.Notices.end(), s.Notice) == s.Notices.end())
    s.Notices.push_back(s.Notice);
}

void Simulator::StartBlockMotion(bool mdi) {
  MachineState& s = state_;
  NcBlock& a = s.Active;
  const bool dryRun = s.Mode == ControlMode::Automat && s.SoftKeys[3];
  a.G[kGCompensation] = 40;
  if (s.Target.G[kGMotion] != 0) NoteToolWithoutDrawing();
  switch (s.Target.G[kGMotion]) {
    case 0:
      a.FeedInUse = config().Rychloposuv;
      break;
    case 1:
      a.FeedInUse = dryRun ? config().Rychloposuv : a.F;
      break;
    default: {
      const MachinePoint start{a.Z, a.X / 2};
      interp_.setCommandedPosition(start);
      BuildArcPath(interp_, start, s.Target, s.Path);
      s.PathIndex = 0;
      if (ShowAlarms(mdi)) return;
      a.FeedInUse = dryRun ? config().Rychloposuv : a.F;
      break;
    }
  }
  StartMotion(true);
}

void Simulator::StartCompensatedMotion(bool mdi) {
  MachineState& s = state_;
  NcBlock& a = s.Active;
  // The look-ahead starts from this block's modal state but must find a motion of its own: the
  // copied motion flag would end the search before it reads a single line.
  NcBlock next = s.Target;
  next.Motion = false;
  const MachinePoint end = MachineEndPoint(s.Target);
  const std::int32_t blockNumber = interp_.blockNumber();
  for (auto i = static_cast<std::size_t>(s.LineIndex + 1);
       i < s.Program.size() && !next.Motion && s.Alarms.Empty() && interp_.error() == kErrNone;
       ++i) {
    NcBlock line = next;
    line.M[kMFlow] = kNoFunction;
    interp_.ClearVariables();
    interp_.ParseBlock(StripComments(s.Program[i]), true, mdi, line);
    // A block the run will skip changes nothing, so the contour does not turn toward it.
    if (!mdi && s.SoftKeys[1] && line.Skip) continue;
    next = line;
    // A point repeated on the contour has no direction: the corner is built toward the element
    // after it, which the repeated block then leaves alone (see CompensatePath). A G40 block
    // still ends the contour where it stands.
    if (next.Motion && next.G[kGCompensation] != 40 && MachineEndPoint(next) == end)
      next.Motion = false;
  }
  interp_.setBlockNumber(blockNumber);
  if (!next.Motion && interp_.error() == kErrNone) interp_.setError(kErrDeparturePath);
  if (ShowAlarms(mdi)) return;

  const MachinePoint current{a.Z, a.X / 2};
  const bool approach = a.G[kGCompensation] == 40;
  if (approach) {
    interp_.setCommandedPosition(current);
    const int motion = s.Target.G[kGMotion];
    if (motion == 2 || motion == 3) {
      interp_.setError(kErrApproachPath);
      ShowAlarms(mdi);
      return;
    }
  }
  a.G[kGCompensation] = s.Target.G[kGCompensation];
  BlockPath path;
  CompensatePath(interp_, interp_.commandedPosition(), current, s.Target, path, approach, next);
  s.Path = std::move(path);
  s.PathIndex = 0;
  if (ShowAlarms(mdi)) return;
  const bool dryRun = s.Mode == ControlMode::Automat && s.SoftKeys[3];
  if (s.Target.G[kGMotion] != 0) NoteToolWithoutDrawing();
  a.FeedInUse = (s.Target.G[kGMotion] != 0 && !dryRun) ? a.F : config().Rychloposuv;
  StartMotion(true);
}

}  // namespace soustruh
