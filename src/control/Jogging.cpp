// Manual jogging, the quill buttons and the manual tool change.

#include "control/Jogging.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "control/Simulator.h"
#include "nc/FunctionGroups.h"

namespace soustruh {
namespace {

constexpr std::array<std::string_view, 6> kButtonNames = {"SB_Xplus",  "SB_Xminus", "SB_Zplus",
                                                          "SB_Zminus", "SB_Wvpred", "SB_Wvzad"};

std::int32_t Beyond(std::int32_t position, std::int64_t distance) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(position + distance, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::optional<MotionButton> MotionButtonFromName(std::string_view name) {
  for (std::size_t i = 0; i < kButtonNames.size(); ++i)
    if (kButtonNames[i] == name) return static_cast<MotionButton>(i);
  return std::nullopt;
}

bool Simulator::ManualMotionAllowed() const {
  return state_.Mode == ControlMode::Manual && !state_.ProgramRunning;
}

void Simulator::MotionButtonDown(MotionButton button) {
  MachineState& s = state_;
  if (!ManualMotionAllowed()) return;
  if (button == MotionButton::Wvpred || button == MotionButton::Wvzad) {
    // The quill moves only while the carrier stands at its target.
    if (WorkpieceZ() != s.Target.Z || WorkpieceX() != s.Target.X) return;
    s.Target.M[kMQuill] = button == MotionButton::Wvpred ? kQuillForward : kQuillRetracted;
  } else {
    if (s.Target.W != s.Active.W) return;  // the quill is moving
    s.Target.X = WorkpieceX();
    s.Target.Z = WorkpieceZ();
    switch (button) {
      case MotionButton::Xplus:
        s.Target.X = Beyond(s.Target.X, kJogDistanceX);
        break;
      case MotionButton::Xminus:
        s.Target.X = Beyond(s.Target.X, -kJogDistanceX);
        break;
      case MotionButton::Zplus:
        s.Target.Z = Beyond(s.Target.Z, kJogDistanceZ);
        break;
      default:
        s.Target.Z = Beyond(s.Target.Z, -kJogDistanceZ);
        break;
    }
  }
  StartMotion(false);
  host_.Repaint();
}

void Simulator::SB_TlPohybyMouseUp() {
  // A reference run started while a button was held keeps going when it is let go.
  if (!ManualMotionAllowed()) return;
  MachineState& s = state_;
  s.MotionDone = true;
  s.Target.X = WorkpieceX();
  s.Target.Z = WorkpieceZ();
  s.Target.W = s.Active.W;
  s.Target.M[kMQuill] = s.Active.M[kMQuill];
  host_.Repaint();
}

void Simulator::JogKeyDown(JogKey key) {
  if (!ManualMotionAllowed() || state_.Target.W != state_.Active.W) return;
  state_.JogKeys = static_cast<std::uint8_t>(state_.JogKeys | key);
  JogFromKeys();
}

void Simulator::JogKeyUp(JogKey key) {
  if (!ManualMotionAllowed() || state_.Target.W != state_.Active.W) return;
  state_.JogKeys = static_cast<std::uint8_t>(state_.JogKeys & ~key);
  JogFromKeys();
}

void Simulator::JogFromKeys() {
  MachineState& s = state_;
  s.Target.X = WorkpieceX();
  s.Target.Z = WorkpieceZ();
  // Opposite keys of one axis cancel; two axes together give the diagonal.
  if (s.JogKeys & JogXPlus) s.Target.X = Beyond(s.Target.X, kJogDistanceX);
  if (s.JogKeys & JogXMinus) s.Target.X = Beyond(s.Target.X, -kJogDistanceX);
  if (s.JogKeys & JogZPlus) s.Target.Z = Beyond(s.Target.Z, kJogDistanceZ);
  if (s.JogKeys & JogZMinus) s.Target.Z = Beyond(s.Target.Z, -kJogDistanceZ);
  if (s.JogKeys == 0) {
    s.MotionDone = true;
  } else if (s.MotionDone || !s.MotionTimerOn) {
    // Auto-repeat and a second key only aim anew: restarting the tick's clock on every repeat
    // would drop the time since the last tick and jog slower than the feed.
    StartMotion(false);
  }
  host_.Repaint();
}

void Simulator::SB_VymTClick() {
  MachineState& s = state_;
  if (!ManualMotionAllowed() || !s.MotionDone || !s.Alarms.Empty()) return;
  s.Active.T = s.Active.T + 1 > config().Mist_v_zas ? 1 : s.Active.T + 1;
  s.Target.T = s.Active.T;
  TurretStep();
}

void Simulator::TurretStep() {
  // The learner watches the turret through its pauses, also inside a tick of several steps.
  const bool deferred = std::exchange(pictureDeferred_, false);
  LoadTool(0);
  SceneRedraw();
  WaitPumping(kTurretPauseMs);
  host_.Beep(kTurretToneHz, kTurretToneMs);
  LoadTool(state_.Active.T);
  SceneRedraw();
  WaitPumping(kTurretPauseMs);
  pictureDeferred_ = deferred;
}

}  // namespace soustruh
