#include "control/Simulator.h"

#include <cmath>
#include <numbers>

#include "nc/FunctionGroups.h"
#include "platform/Numbers.h"
#include "workpiece/QuillContact.h"

namespace soustruh {
namespace {

// The start-up stock: the stock dialog's initial texts, 45 mm protrusion and 19 mm diameter.
constexpr std::int32_t kStartQuillW = 1200000;     // 120 mm
constexpr std::int32_t kStartInsideLimit = 20000;  // 2 mm

std::string Coordinate(std::int64_t units) {
  return FormatFixed(static_cast<double>(units) / 10000.0, 3);
}

std::string TwoDigits(int value) {
  std::string text = FormatInt(value);
  if (value >= 0 && text.size() < 2) text.insert(0, 1, '0');
  return text;
}

std::string ModalText(char letter, const int* groups, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    if (groups[i] == kNoFunction) continue;
    text += letter;
    text += TwoDigits(groups[i]);
    text += ' ';
  }
  return text;
}

}  // namespace

Simulator::Simulator(Host& host, std::filesystem::path dataDirectory)
    : host_(host), interp_(data_.config) {
  data_.directory = std::move(dataDirectory);
}

StartupStatus Simulator::Start(TableRepair repair) {
  ReadMachineParameters(data_, host_);
  NcBlock& a = state_.Active;
  ResetNcBlock(a);
  a.X = config().MaxX - kStartInsideLimit;
  a.Z = config().MaxZ - kStartInsideLimit;
  a.W = kStartQuillW;
  a.M[kMQuill] = kQuillForward;
  a.T = 1;
  state_.Target = a;
  state_.Alarms = AlarmSet();
  state_.Alarms.Add(AlarmKind::Reference);
  state_.MotionDone = true;
  state_.ProgramRunning = state_.FeedStopped = false;
  SetMotionTimer(false);
  SetClockTimer(false);

  const StartupStatus status = LoadDataFiles(
      data_, a.T, host_, [this] { BuildStartupStock(); },
      [this] {
        stock_.clear();
        state_.Path.clear();
      },
      repair);
  if (status == StartupStatus::MachineMissing) return status;
  SetMode(ControlMode::Manual);
  return status;
}

void Simulator::StartAsTwinOf(const Simulator& other) {
  data_ = other.data_;
  stock_ = other.stock_;
  NcBlock& a = state_.Active;
  a = other.state_.Active;
  const int quill = a.M[kMQuill];
  ResetNcBlock(a);
  a.M[kMQuill] = quill;
  state_.Target = a;
  state_.Alarms = AlarmSet();
  state_.MotionDone = true;
  state_.ProgramRunning = state_.FeedStopped = false;
  SetMotionTimer(false);
  SetClockTimer(false);
  SetMode(ControlMode::Manual);
}

void Simulator::BuildStartupStock() {
  // The dialog's texts at start-up are its defaults; no limit, quill or tool check is made.
  const auto diameter = ParseStockEntry(stockDiameterText).value_or(0);
  const auto protrusion = ParseStockEntry(stockProtrusionText).value_or(0);
  stock_ = StockSection{StockBuild(protrusion, diameter, config())};
  state_.Active.StockRadius = StockRadiusFor(diameter);
  ChuckBuild();
  QuillContact();
  ChuckBuild();
  SceneRedraw();
}

bool Simulator::QuillContact() {
  MachineState& s = state_;
  const QuillContactResult r =
      QuillContactCheck(stock_, data_.quillTipX, s.Active.W, config().MinW);
  s.Active.W = r.w;
  if (r.targetW) s.Target.W = *r.targetW;
  s.Active.M[kMQuill] = r.quillState;
  s.QuillLampGreen = r.lamp == QuillLamp::Green;
  host_.Repaint();
  return r.contact;
}

std::int32_t Simulator::WorkpieceX() const {
  return static_cast<std::int32_t>(std::int64_t{state_.Active.X} + 2 * std::int64_t{ShiftX()});
}

std::int32_t Simulator::WorkpieceZ() const {
  return static_cast<std::int32_t>(std::int64_t{state_.Active.Z} + ShiftZ());
}

bool Simulator::ShowAlarms(bool inMdi) {
  RefreshDisplay();
  StatusLine line{"Neznámá chyba", Colour::Blue, Colour::White};
  bool result = true;
  AlarmSet& alarms = state_.Alarms;
  if (alarms.Empty()) {
    line = StatusLine{state_.Notice};
    if (interp_.error() != kErrNone && state_.Mode != ControlMode::Edit) {
      state_.InterpreterMessage = interp_.ErrorText(inMdi);
      state_.InterpreterErrorCode = interp_.error();
      alarms.Add(AlarmKind::InterpreterError);
      interp_.setError(kErrNone);
    } else {
      result = false;
    }
  }
  for (int bit = 0; bit <= static_cast<int>(AlarmKind::InterpreterError); ++bit) {
    const auto kind = static_cast<AlarmKind>(bit);
    if (!alarms.Has(kind)) continue;
    if (kind == AlarmKind::InterpreterError) {
      line = StatusLine{state_.InterpreterMessage.text, state_.InterpreterMessage.background,
                        state_.InterpreterMessage.foreground};
    } else if (kind == AlarmKind::DriveSync || kind == AlarmKind::TotalStop) {
      line = StatusLine{std::string(AlarmText(kind)), Colour::Red, Colour::Yellow};
    } else {
      line = StatusLine{std::string(AlarmText(kind)), Colour::Blue, Colour::White};
    }
    if (kind == AlarmKind::Reference) {
      // Every motion before the reference is reached runs at the reference feed.
      state_.Active.F = state_.Active.FeedInUse = config().RefPosuv;
    }
  }
  state_.Status = std::move(line);
  host_.Repaint();
  return result;
}

void Simulator::RefreshDisplay() {
  MachineState& s = state_;
  DisplayState& d = s.Display;
  const std::int32_t x = WorkpieceX();
  const std::int32_t z = WorkpieceZ();
  std::string sx = Coordinate(x);
  std::string sz = Coordinate(z);
  Rates rates = EffectiveRates(s.Active.FeedInUse, s.Active.S);
  const bool unknown = s.Alarms.Has(AlarmKind::Reference) || s.Alarms.Has(AlarmKind::DriveSync) ||
                       s.Alarms.Has(AlarmKind::TotalStop);
  if (unknown) sx.clear(), sz.clear();
  const std::string tool = TwoDigits(s.Active.T) + TwoDigits(s.Active.D);
  if (s.Mode == ControlMode::Manual || s.Mode == ControlMode::Execute) {
    d.SourXM = sx;
    d.SourZM = sz;
    d.NastrojM = tool;
    d.PosuvM = FormatInt(rates.feed);
    d.OtackyM = FormatInt(std::min(rates.speed, config().MaxOtacky));
  } else if (s.Mode == ControlMode::Automat) {
    d.SourXA = sx;
    d.SourZA = sz;
    if (unknown) {
      d.SourXcA.clear(), d.SourZcA.clear(), d.Sour_dXA.clear(), d.Sour_dZA.clear();
    } else {
      d.SourXcA = Coordinate(s.Target.X);
      d.SourZcA = Coordinate(s.Target.Z);
      d.Sour_dXA = Coordinate(std::int64_t{x} - s.Target.X);
      d.Sour_dZA = Coordinate(std::int64_t{z} - s.Target.Z);
    }
    d.NastrojA = tool;
    d.PosuvA = FormatInt(rates.feed);
    d.OtackyA = FormatInt(rates.speed);
    d.ModG = ModalText('G', s.Active.G.data(), s.Active.G.size());
    d.ModM = ModalText('M', s.Active.M.data(), s.Active.M.size());
  }
  host_.Repaint();
}

Rates Simulator::EffectiveRates(std::int32_t feed, std::int32_t speed) {
  const NcBlock& a = state_.Active;
  const MachineConfig& c = config();
  long double rpm = 0;
  if (a.M[kMSpindle] != 5) {
    rpm = c.MinOtacky;
    if (a.G[kGCuttingSpeed] == 97) {
      rpm = static_cast<long double>(state_.SpindleOverride) * speed / 100.0L;
    } else if (a.G[kGCuttingSpeed] == 96) {
      const long double diameter = std::fabs(static_cast<long double>(WorkpieceX()));
      if (diameter > 0) {
        rpm = speed / (diameter * std::numbers::pi_v<long double>)*state_.SpindleOverride * 10.0L *
              10000.0L;
        if (rpm < c.MinOtacky) rpm = c.MinOtacky;
        if (rpm > a.SLimit) {
          if (a.SLimit >= 1)
            rpm = a.SLimit;
          else if (rpm > c.MaxOtacky)
            interp_.setError(kErrMachineLimit);
        }
      } else if (a.SLimit >= 1) {
        rpm = a.SLimit;
      } else {
        interp_.setError(kErrMachineLimit);
      }
    }
    rpm = RoundHalfEven(rpm);
  }
  long double perMinute = static_cast<long double>(state_.FeedOverride) * feed / 100.0L;
  if (!(a.G[kGFeedUnit] == 94 || a.G[kGMotion] == 0)) perMinute = perMinute * rpm / 1000.0L;
  perMinute = RoundHalfEven(perMinute);
  if (perMinute > c.MaxPosuv) perMinute = c.MaxPosuv;
  // Speeds are bounded by the 4-digit S and the overrides, so they fit comfortably.
  return Rates{static_cast<std::int32_t>(std::clamp<long double>(rpm, -2e9L, 2e9L)),
               static_cast<std::int32_t>(std::clamp<long double>(perMinute, -2e9L, 2e9L))};
}

void Simulator::SceneRedraw() {
  if (scene_) {
    if (pictureDeferred_)
      scene_->SceneCut();
    else
      scene_->SceneRedraw();
  } else {
    ShowAlarms(state_.Mode == ControlMode::Execute);
  }
}

void Simulator::ChuckBuild() {
  if (scene_) scene_->ChuckBuild();
}

void Simulator::WaitPumping(std::uint32_t milliseconds) {
  ++pauses_;
  const std::uint32_t start = host_.Now();
  while (static_cast<std::uint32_t>(host_.Now() - start) < milliseconds)
    host_.ProcessPendingMessages();
}

// The run ends as with Stop, and more: a close during a turret pause (its event loop runs inside
// the block) must not let the run go on to the next block, turn the turret further or start a
// motion in a window that is going away.
void Simulator::FormClose() {
  state_.MotionDone = true;
  state_.FeedStopped = true;
  state_.ProgramRunning = false;
  SetMotionTimer(false);
  SetClockTimer(false);
}

// Enabling a running timer leaves its rhythm alone, as a message timer does.
void Simulator::SetMotionTimer(bool on) {
  if (state_.MotionTimerOn == on) return;
  state_.MotionTimerOn = on;
  host_.SetTimerEnabled(HostTimer::Motion, on);
}

void Simulator::SetClockTimer(bool on) {
  if (state_.ClockTimerOn == on) return;
  state_.ClockTimerOn = on;
  host_.SetTimerEnabled(HostTimer::MachiningClock, on);
}

void Simulator::OnTimer(HostTimer timer) {
  if (timer == HostTimer::Motion) {
    if (state_.MotionTimerOn) TimerTimer();
  } else if (state_.ClockTimerOn) {
    T_CasObrTimer();
  }
}

void Simulator::T_CasObrTimer() {
  CountMachiningTime(host_.Now());
}

void Simulator::CountMachiningTime(std::uint32_t now) {
  state_.MachiningTime += static_cast<std::uint32_t>(now - state_.ClockStart);
  state_.ClockStart = now;
  const auto seconds = static_cast<std::int64_t>(
      RoundHalfEven(static_cast<long double>(state_.MachiningTime) / 1000));
  const std::string text =
      TwoDigits(static_cast<int>(seconds / 60)) + ":" + TwoDigits(static_cast<int>(seconds % 60));
  if (text != state_.Display.CasObr) {
    state_.Display.CasObr = text;
    host_.Repaint();
  }
  if (!(state_.Mode == ControlMode::Automat && !state_.MotionDone)) SetClockTimer(false);
}

}  // namespace soustruh
