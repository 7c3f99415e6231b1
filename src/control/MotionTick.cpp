// The motion tick: every 50 ms while a motion is under way it turns the elapsed time into a
// distance and moves the quill or the tool carrier that far toward its target.

#include <algorithm>
#include <cmath>

#include "control/Simulator.h"
#include "nc/FunctionGroups.h"
#include "platform/Numbers.h"

namespace soustruh {
namespace {

std::int32_t ToUnits(long double value) {
  // rint rounds as nearbyint does (to nearest, ties to even: the mode is never changed) without
  // saving and restoring the floating-point state, which costs more than the rest of a tick.
  const long double r = std::rint(value);
  if (r > 2147483647.0L) return 2147483647;
  if (r < -2147483648.0L) return -2147483647 - 1;
  return static_cast<std::int32_t>(r);
}

std::int32_t Pixel(long double value) {
  return ToUnits(value);
}

}  // namespace

void Simulator::StartMotion(bool sequence) {
  state_.LastTick = host_.Now();
  state_.MotionDone = false;
  if (sequence) state_.ProgramRunning = true;
  flowSinceMotion_.clear();
  SetMotionTimer(true);
  if (scene_ != nullptr) scene_->MotionStarted();
}

void Simulator::TimerTimer() {
  MachineState& s = state_;
  if (s.MotionDone || !s.Alarms.EmptyOrOnlyReference() || interp_.error() != kErrNone) {
    SetMotionTimer(false);
    SceneRedraw();
    return;
  }
  const std::uint32_t now = host_.Now();
  std::uint32_t dt = now - s.LastTick;
  s.LastTick = now;
  // Above 1x a tick covers several 1x ticks of machine time. Each step then acts as one 1x tick
  // would, down to the motion that ends inside it losing the rest of its step and the next
  // motion taking the following steps, so the machine moves, cuts and counts its time as at 1x.
  // The steps only cut; one picture at the end shows where they left the machine, so a fast
  // speed costs the removal passes it needs and not a picture for each of them.
  pictureDeferred_ = maxTickStep_ != 0;
  const std::uint64_t pauses = pauses_;
  for (;;) {
    const std::uint32_t step = maxTickStep_ == 0 ? dt : std::min(dt, maxTickStep_);
    dt -= step;
    if (s.Target.M[kMQuill] != s.Active.M[kMQuill])
      QuillStep(step);
    else
      CarrierStep(step);
    // Nothing moves on after a stop, an alarm or the end; a pause that ran the clock (a turret
    // change) leaves the next motion to measure from its own start.
    if (dt == 0 || s.MotionDone || !s.MotionTimerOn || pauses_ != pauses ||
        !s.Alarms.EmptyOrOnlyReference() || interp_.error() != kErrNone)
      break;
  }
  if (pictureDeferred_) {
    pictureDeferred_ = false;
    // A motion started by a step measured from a clock that ran on while the steps were being
    // computed; the steps have taken the machine up to `now`.
    if (dt == 0 && pauses_ == pauses) s.LastTick = now;
    // At 1x the clock's last count comes within its 250 ms; a late timer of a faster clock would
    // add its wall delay times the speed. The run stopped where the steps stopped, so that is
    // where its time ends.
    if (s.ClockTimerOn && !(s.Mode == ControlMode::Automat && !s.MotionDone)) {
      const std::uint32_t end = now - dt;
      // A count that came after the end already holds it.
      CountMachiningTime(static_cast<std::int32_t>(end - s.ClockStart) < 0 ? s.ClockStart : end);
    }
    if (scene_ != nullptr) scene_->ScenePicture();
  }
}

void Simulator::QuillStep(std::uint32_t dt) {
  MachineState& s = state_;
  const MachineConfig& c = config();
  const int command = s.Target.M[kMQuill];
  if (command == kQuillRetracted) s.Target.W = c.MinW;
  if (command == kQuillForward) s.Target.W = c.MaxW;
  long double step = static_cast<long double>(c.RychPinoly) * dt / 60000.0L;
  if (s.Target.W > s.Active.W) step = -step;
  const long double remaining = (static_cast<long double>(s.Active.W) - s.Target.W) / 10000.0L;
  if (std::fabs(remaining) <= std::fabs(step)) {
    s.Active.W = s.Target.W;
    s.Active.M[kMQuill] = command;
    s.MotionDone = true;
    SetMotionTimer(false);
    // The sequence must see where the quill really ended: forward without meeting the stock it
    // is undefined, which Start refuses. Judged after MotionFinished, the unmet command would
    // make every later motion of the run "arrive" at once as a quill motion, the carrier never
    // moving.
    QuillContact();
    SceneRedraw();
    if (s.ProgramRunning) MotionFinished();
  } else {
    // The quill moves in whole millimetres per tick.
    const long double w = s.Active.W - RoundHalfEven(step) * 10000.0L;
    s.Active.W = std::clamp(ToUnits(w), c.MinW, std::max(c.MinW, c.MaxW));
    if (QuillContact() && s.Active.M[kMQuill] == command) {
      // Clamped on the stock face: the quill's motion is over. Left running, the next tick would
      // take it for a carrier move, which in a program that set no feed yet is a zero-feed alarm.
      s.MotionDone = true;
      SetMotionTimer(false);
      SceneRedraw();
      if (s.ProgramRunning) MotionFinished();
      return;
    }
  }
  QuillContact();
  SceneRedraw();
}

void Simulator::CarrierStep(std::uint32_t dt) {
  MachineState& s = state_;
  if (s.Active.FeedInUse == 0 && s.ProgramRunning) {
    s.Alarms.Add(AlarmKind::ZeroFeed);
    ShowAlarms(s.Mode == ControlMode::Execute);
    return;
  }
  const Rates rates = EffectiveRates(s.Active.FeedInUse, s.Active.S);
  const double feed = rates.feed;
  if (!s.Path.empty()) {
    PathStep(feed, dt);
    return;
  }
  const double step = feed * dt / 60000.0;
  const std::int64_t tx = std::int64_t{s.Target.X} - 2 * std::int64_t{ShiftX()};
  const std::int64_t tz = std::int64_t{s.Target.Z} - ShiftZ();
  const double d = std::hypot((static_cast<double>(s.Active.X) - static_cast<double>(tx)) / 2.0,
                              static_cast<double>(s.Active.Z) - static_cast<double>(tz)) /
                   10000.0;
  if (d > step) {
    StepToward(s.Target.X / 2 - ShiftX(), tz, step);
    return;
  }
  s.Active.X = ToUnits(static_cast<long double>(tx));
  s.Active.Z = ToUnits(static_cast<long double>(tz));
  EndCarrierMotion();
}

void Simulator::PathStep(double feed, std::uint32_t dt) {
  MachineState& s = state_;
  BlockPath& path = s.Path;
  const std::size_t n = path.size();
  auto i = static_cast<std::size_t>(std::max(0, s.PathIndex));
  const double full = feed * dt / 60000.0;
  double step = full;
  double travelled = 0;
  while (i + 1 < n && step > 0) {
    const double seg = std::hypot(static_cast<double>(path[i].Z - path[i + 1].Z),
                                  static_cast<double>(path[i].X - path[i + 1].X)) /
                       10000.0;
    step -= seg;
    if (step >= 0) {
      ++i;
      s.PathIndex = static_cast<std::int32_t>(i);
      s.Active.X = ToUnits(2.0L * static_cast<long double>(path[i].X));
      s.Active.Z = ToUnits(static_cast<long double>(path[i].Z));
      travelled += seg;
      SceneRedraw();
      if (s.MotionDone) return;  // the redraw found a crash and stopped the machine
    } else {
      StepToward(path[i + 1].X, path[i + 1].Z, full - travelled);
      // The vertex the tool stands at becomes its present position, so a later tick (or a
      // resume after Stop) measures from where the tool really is.
      path[i] = MachinePoint{s.Active.Z, s.Active.X / 2};
      step = 0;
    }
  }
  if (i + 1 >= n) {
    const NcBlock& a = s.Active;
    const MachinePoint last = path[n - 1];
    s.Target.X = ToUnits(2.0L * (static_cast<long double>(a.CorrX) + last.X - a.OffsetX));
    s.Target.Z = ToUnits(static_cast<long double>(a.CorrZ) + last.Z - a.OffsetZ);
    path.clear();
    s.PathIndex = 0;
    s.Active.X = ToUnits(static_cast<long double>(s.Target.X) - 2.0L * ShiftX());
    s.Active.Z = ToUnits(static_cast<long double>(s.Target.Z) - ShiftZ());
    EndCarrierMotion();
  }
}

void Simulator::EndCarrierMotion() {
  MachineState& s = state_;
  std::int32_t x = s.Active.X;
  std::int32_t z = s.Active.Z;
  CheckTravelLimits(x, z);
  s.Active.X = x;
  s.Active.Z = z;
  s.MotionDone = true;
  SetMotionTimer(false);
  SceneRedraw();
  if (s.ProgramRunning) MotionFinished();
}

void Simulator::StepToward(std::int64_t rTarget, std::int64_t zTarget, double distance) {
  const NcBlock& a = state_.Active;
  const long double zc = a.Z;
  const long double rc = static_cast<long double>(a.X / 2);
  const long double rt = static_cast<long double>(rTarget);
  const long double zt = static_cast<long double>(zTarget);
  const long double la = (rt - rc) / 10000.0L;
  const long double lb = (zc - zt) / 10000.0L;
  const long double lc = (zt / 10000.0L) * (rc / 10000.0L) - (zc / 10000.0L) * (rt / 10000.0L);
  const long double f = lb * lb + la * la;
  if (f == 0) return;
  const long double e = -static_cast<long double>(distance) * std::hypot(lb, -la) -
                        (static_cast<long double>(a.X) * la / 2.0L - zc * lb) / 10000.0L;
  std::int32_t z = ToUnits((lb * e - la * lc) / f * 10000.0L);
  std::int32_t x = ToUnits(-(la * e + lb * lc) / f * 2.0L * 10000.0L);
  CheckTravelLimits(x, z);
  SetPosition(z, x);
}

void Simulator::SetPosition(std::int32_t z, std::int32_t x) {
  MachineState& s = state_;
  const auto px = [&](std::int32_t zz) {
    return Pixel(static_cast<long double>(zz) / 10000.0L * s.ViewScale + s.ViewOriginX);
  };
  const auto py = [&](std::int32_t xx) {
    return Pixel(s.ViewOriginY - static_cast<long double>(xx / 2) / 10000.0L * s.ViewScale);
  };
  const bool samePixel = px(s.Active.Z) == px(z) && py(s.Active.X) == py(x);
  s.Active.Z = z;
  s.Active.X = x;
  if (samePixel)
    RefreshDisplay();
  else
    SceneRedraw();
}

void Simulator::CheckTravelLimits(std::int32_t& x, std::int32_t& z) {
  const MachineConfig& c = config();
  if (c.MinX <= x && x <= c.MaxX && c.MinZ <= z && z <= c.MaxZ) return;
  state_.Alarms.Add(AlarmKind::TravelEnd);
  ShowAlarms(state_.Mode == ControlMode::Execute);
  x = std::clamp(x, c.MinX, std::max(c.MinX, c.MaxX));
  z = std::clamp(z, c.MinZ, std::max(c.MinZ, c.MaxZ));
}

void Simulator::MotionFinished() {
  MachineState& s = state_;
  switch (s.Mode) {
    case ControlMode::Execute:
      s.ProgramRunning = false;
      break;
    case ControlMode::Automat:
      if (!s.SoftKeys[0]) B_StartClick();
      break;
    case ControlMode::Manual:
      if (!s.Alarms.Has(AlarmKind::Reference)) break;
      if (s.Active.X == config().RefX && s.Active.Z == config().RefZ) {
        s.Alarms.Remove(AlarmKind::Reference);
        s.SoftKeys[4] = false;
        s.Active.F = s.Active.FeedInUse = config().ManPosuv;
        if (s.Active.T == 0) s.Active.T = 1;
        ShowAlarms(false);
        s.ProgramRunning = false;
      } else {
        B_StartClick();
        // A leg refused by an alarm (TravelEnd at a limit) ends the run; left running, it would
        // hold the mode keys and the jog buttons with nothing moving.
        if (s.MotionDone) s.ProgramRunning = false;
      }
      break;
    default:
      break;
  }
}

}  // namespace soustruh
