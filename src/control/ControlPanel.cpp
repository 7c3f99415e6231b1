// The operator panel: modes, Start, Stop, Reset, TOTAL, the spindle keys, the override bars and
// the reference run.

#include <algorithm>

#include "control/Simulator.h"
#include "machine/ModalTables.h"
#include "nc/FunctionGroups.h"
#include "nc/ModalState.h"
#include "platform/Numbers.h"

namespace soustruh {
namespace {

constexpr int kOverrideMax = 150;

bool IsProgrammedStop(int flow) {
  return flow == 0 || flow == 1;
}

}  // namespace

void Simulator::ModeKey(ControlMode mode) {
  if (!state_.ProgramRunning) SetMode(mode);
}

void Simulator::ManualRates() {
  NcBlock& a = state_.Active;
  a.F = a.FeedInUse =
      state_.Alarms.Has(AlarmKind::Reference) ? config().RefPosuv : config().ManPosuv;
  // The spindle bar at its maximum gives the machine's largest speed.
  a.S = static_cast<std::int32_t>(
      RoundHalfEven(static_cast<long double>(config().MaxOtacky) / kOverrideMax * 100));
}

void Simulator::SetMode(ControlMode mode) {
  MachineState& s = state_;
  const ControlMode old = s.Mode;
  if (old == ControlMode::Edit && mode != ControlMode::Edit) {
    // Tables edited in EDIT take effect as soon as the operator leaves it.
    interp_.setError(kErrNone);
    LoadToolCorrection(s.Active, s.Target, data_.corrections, interp_);
    ApplyWorkOffsets(s.Active, s.Target, data_.offsets, interp_);
  }
  ShowAlarms(old == ControlMode::Execute);
  s.Target.M[kMQuill] = s.Active.M[kMQuill];
  if (mode != old && s.Active.M[kMSpindle] != 5) {
    s.Active.M[kMSpindle] = 5;
    ChuckBuild();
    SceneRedraw();
  }
  if (old != ControlMode::Rs232) s.SavedSoftKeys[static_cast<std::size_t>(old)] = s.SoftKeys;
  s.Mode = mode;
  if (mode != ControlMode::Rs232) s.SoftKeys = s.SavedSoftKeys[static_cast<std::size_t>(mode)];
  s.Target.X = WorkpieceX();
  s.Target.Z = WorkpieceZ();
  s.Target.W = s.Active.W;
  EnterModePage(mode);
  // A focused control that the new page hides loses the focus (a work offset field is then the
  // one teach remembers).
  if (!ControlShown(s, s.Focus)) FocusChanged("");
}

void Simulator::EnterModePage(ControlMode mode) {
  MachineState& s = state_;
  switch (mode) {
    case ControlMode::Manual:
      s.ModeLine = " MANUAL";
      ManualRates();
      s.Target.F = s.Active.F;
      s.Target.FeedInUse = s.Active.FeedInUse;
      s.Target.S = s.Active.S;
      s.MotionDone = true;
      s.JogKeys = 0;
      RefreshDisplay();
      break;
    case ControlMode::Execute:
    case ControlMode::Automat:
      s.ModeLine = mode == ControlMode::Execute ? " EXECUTE" : " AUTOMAT";
      s.Active.F = s.Active.FeedInUse = s.Active.S = 0;
      s.Target.F = s.Target.FeedInUse = s.Target.S = 0;
      RefreshDisplay();
      if (mode == ControlMode::Automat) {
        s.MonitorTop = 0;
        s.MonitorSelection = -1;
      } else {
        RequestFocus("E_PrikazE");
      }
      break;
    case ControlMode::Edit:
      s.Pages.Page = EditPage::Program;
      s.Pages.EditorReadOnly = true;
      s.ModeLine = EditModeLine(s.Pages);
      break;
    case ControlMode::Rs232:
      s.ModeLine = kRs232ModeLine;
      break;
  }
  host_.Repaint();
}

void Simulator::B_StartClick() {
  MachineState& s = state_;
  switch (s.Mode) {
    case ControlMode::Manual:
      if (s.Alarms.EmptyOrOnlyReference() && s.SoftKeys[4]) ReferenceLeg();
      break;
    case ControlMode::Execute:
      if (s.Active.M[kMQuill] == kQuillUndefined) s.Alarms.Add(AlarmKind::QuillUndefined);
      if (s.Alarms.Empty() && interp_.error() == kErrNone) {
        ExecuteBlock(StripComments(s.Command), true);
      } else {
        host_.Beep(kRefusalToneHz, kRefusalToneMs);
      }
      ShowAlarms(true);
      RequestFocus("E_PrikazE");
      break;
    case ControlMode::Automat:
      AutomatStart();
      break;
    default:
      break;
  }
}

void Simulator::AutomatStart() {
  MachineState& s = state_;
  if (s.Active.M[kMQuill] == kQuillUndefined) {
    s.Alarms.Add(AlarmKind::QuillUndefined);
    ShowAlarms(false);
  }
  const bool continuing =
      s.ProgramRunning && !s.FeedStopped && !s.SoftKeys[0] && !IsProgrammedStop(s.Active.M[kMFlow]);
  if (!continuing) s.ClockStart = host_.Now();
  SetClockTimer(true);
  if (s.LineIndex < 0) {
    s.MachiningTime = 0;
    s.Notice.clear();
  }

  if (s.FeedStopped && s.MotionDone && !s.SoftKeys[0] && s.LineIndex >= 0 &&
      !IsProgrammedStop(s.Active.M[kMFlow])) {
    if (!s.Path.empty()) {
      // The interrupted path is finished first.
      s.Active.FeedInUse = s.Active.F;
      s.LastTick = host_.Now();
      s.MotionDone = false;
      s.ProgramRunning = true;
      SetMotionTimer(true);
    } else {
      // The interrupted block runs again from where it started.
      --s.LineIndex;
      s.Target.X = s.BlockStartX;
      s.Target.Z = s.BlockStartZ;
      interp_.setCommandedPosition(s.BlockStartCommanded);
    }
  }

  bool more = true;
  s.ProgramRunning = true;
  s.FeedStopped = false;
  // A programmed stop is no motion: a loop whose only pauses are M00 or M01 goes round for ever
  // as surely as one without them, however often Start is pressed. Any other Start (a new run,
  // a resume after Stop, the next single block) begins afresh.
  if (s.LineIndex < 0 || !IsProgrammedStop(s.Active.M[kMFlow])) flowSinceMotion_.clear();
  const auto lineCount = static_cast<std::int32_t>(s.Program.size());
  while (more && s.MotionDone && !s.FeedStopped && s.ProgramRunning && lineCount > s.LineIndex &&
         s.Alarms.Empty() && interp_.error() == kErrNone) {
    more = !s.SoftKeys[0];
    ++s.LineIndex;
    s.MonitorSelection = s.LineIndex;
    interp_.setLineNumber(s.LineIndex + 1);
    const std::string line =
        s.LineIndex < lineCount ? s.Program[static_cast<std::size_t>(s.LineIndex)] : std::string();
    ExecuteBlock(StripComments(line), false);
    if (s.MotionDone && ProgramLoopDetected()) {
      // The message names the block just executed; the run stops on its line too, not on the
      // line its jump led to.
      interp_.setError(kErrInfiniteLoop);
      s.LineIndex = s.MonitorSelection;
    }
    ShowAlarms(false);
  }
  if (!s.Alarms.Empty() || interp_.error() != kErrNone) {
    B_StopClick();
    s.ProgramRunning = false;
  }
  if (lineCount <= s.LineIndex) {
    s.LineIndex = -1;
    s.MonitorTop = 0;
    // A run that ends leaves no subprogram open, so the next run starts at depth 0.
    s.SubprogramDepth = 0;
    B_StopClick();
    s.ProgramRunning = false;
    ChuckBuild();
    SceneRedraw();
  }
}

bool Simulator::ProgramLoopDetected() {
  // Without motion the run's flow depends only on the line and the return stack, so meeting the
  // same pair twice since the last motion means it would go round for ever.
  const MachineState& s = state_;
  const std::array<std::int32_t, 5> key = {s.LineIndex, s.SubprogramDepth, s.ReturnStack[0],
                                           s.ReturnStack[1], s.ReturnStack[2]};
  if (std::find(flowSinceMotion_.begin(), flowSinceMotion_.end(), key) != flowSinceMotion_.end())
    return true;
  flowSinceMotion_.push_back(key);
  return false;
}

void Simulator::B_StopClick() {
  MachineState& s = state_;
  s.MotionDone = true;
  s.FeedStopped = true;
  if (s.Mode != ControlMode::Automat) s.ProgramRunning = false;
  SetClockTimer(false);
}

void Simulator::B_ResetClick() {
  MachineState& s = state_;
  s.MotionDone = true;
  s.ProgramRunning = s.FeedStopped = false;
  SetClockTimer(false);
  SetMotionTimer(false);
  s.JogKeys = 0;
  interp_.setError(kErrNone);
  s.Notice.clear();
  s.Path.clear();
  s.LineIndex = -1;
  // An interrupted subprogram is abandoned with the run.
  s.SubprogramDepth = 0;
  s.MonitorSelection = -1;
  s.MonitorTop = 0;

  // A quill motion cut short is dropped, not taken as done: the quill state keeps saying where
  // the quill really is, so an unclamped tailstock still refuses a program after Reset.
  s.Target.M[kMQuill] = s.Active.M[kMQuill];
  ResetRecords(s.Active, s.Target);
  if (s.Mode == ControlMode::Manual) {
    ManualRates();
    s.Target.F = s.Active.F;
    s.Target.FeedInUse = s.Active.FeedInUse;
    s.Target.S = s.Active.S;
  }
  ChuckBuild();
  SceneRedraw();

  if (s.Alarms.Has(AlarmKind::TotalStop) && !s.TotalLampRed) {
    s.Alarms.Remove(AlarmKind::TotalStop);
    s.Alarms.Add(AlarmKind::Reference);
  }
  if (!s.Alarms.Has(AlarmKind::TotalStop)) {
    const bool reference = s.Alarms.Has(AlarmKind::Reference);
    s.Alarms.Clear();
    if (reference) s.Alarms.Add(AlarmKind::Reference);
  }
  ShowAlarms(s.Mode == ControlMode::Execute);
}

void Simulator::B_TotalClick() {
  MachineState& s = state_;
  B_StopClick();
  s.ProgramRunning = false;
  SetMotionTimer(false);
  s.Active.M[kMSpindle] = 5;
  ChuckBuild();
  SceneRedraw();
  if (s.Mode == ControlMode::Rs232) {
    // RS232 has no soft-key row: only the common part of the mode switch runs.
    ShowAlarms(false);
    s.Target.M[kMQuill] = s.Active.M[kMQuill];
  } else {
    SetMode(s.Mode);
  }
  s.Alarms.Add(AlarmKind::TotalStop);
  ShowAlarms(s.Mode == ControlMode::Execute);
  s.TotalLampRed = !s.TotalLampRed;
}

void Simulator::B_ZapSClick() {
  MachineState& s = state_;
  if (!s.Alarms.Empty()) return;
  if (s.Mode == ControlMode::Manual) {
    s.Active.M[kMSpindle] = s.SoftKeys[0] ? 4 : 3;
    if (static_cast<long long>(s.SpindleOverride) * s.Active.S / 100 > 0) {
      ChuckBuild();
      SceneRedraw();
    }
  } else if (s.Mode == ControlMode::Automat) {
    s.Active.M[kMSpindle] = s.Target.M[kMSpindle];
    ChuckBuild();
    SceneRedraw();
  }
}

void Simulator::B_VypSClick() {
  MachineState& s = state_;
  if (s.Mode == ControlMode::Manual || (s.Mode == ControlMode::Automat && s.MotionDone)) {
    s.Active.M[kMSpindle] = 5;
    ChuckBuild();
    SceneRedraw();
  }
}

void Simulator::SetSoftKey(int number, bool checked) {
  if (number >= 1 && number <= kSoftKeyCount)
    state_.SoftKeys[static_cast<std::size_t>(number - 1)] = checked;
}

bool Simulator::SoftKey(int number) const {
  return number >= 1 && number <= kSoftKeyCount &&
         state_.SoftKeys[static_cast<std::size_t>(number - 1)];
}

namespace {
int SnapOverride(int position) {
  position = std::clamp(position, 0, kOverrideMax);
  return (position >= 96 && position <= 104) ? 100 : position;
}
}  // namespace

void Simulator::SB_PosuvChange(int position) {
  state_.FeedOverride = SnapOverride(position);
  state_.Display.ProcPosuvu = FormatInt(state_.FeedOverride) + "%";
  RefreshDisplay();
}

void Simulator::SB_OtackyChange(int position) {
  MachineState& s = state_;
  s.SpindleOverride = SnapOverride(position);
  s.Display.Otacky = FormatInt(s.SpindleOverride) + "%";
  RefreshDisplay();
  // A spindle at 0 % is drawn standing while the programmed direction is kept.
  const int spindle = s.Active.M[kMSpindle];
  if (static_cast<long long>(s.SpindleOverride) * s.Active.S == 0) s.Active.M[kMSpindle] = 5;
  ChuckBuild();
  SceneRedraw();
  s.Active.M[kMSpindle] = spindle;
}

void Simulator::ReferenceLeg() {
  MachineState& s = state_;
  const MachineConfig& c = config();
  s.Alarms.Add(AlarmKind::Reference);
  ShowAlarms(false);
  const std::int32_t xt = s.Active.X <= c.RefX ? c.RefX : c.MaxX + 1;
  const std::int32_t zt = s.Active.Z <= c.RefZ ? c.RefZ : c.MaxZ + 1;
  s.Target.X = static_cast<std::int32_t>(std::int64_t{xt} + 2 * std::int64_t{ShiftX()});
  s.Target.Z = static_cast<std::int32_t>(std::int64_t{zt} + ShiftZ());
  s.Target.M[kMQuill] = kQuillRetracted;
  s.FeedStopped = false;
  StartMotion(true);
}

}  // namespace soustruh
