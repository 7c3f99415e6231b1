#pragma once
// A host whose clock moves only when told: the CLI and the tests run the simulator in virtual
// time, as fast as the processor allows. The two timers fire at their intervals of virtual time,
// pauses of the turret (WaitPumping) advance the clock, beeps and messages are recorded, and
// actions can be scheduled at a virtual time to play the operator (Stop during a tool change).

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Host.h"
#include "platform/SimulationSpeed.h"

namespace soustruh {

class Simulator;

class VirtualHost : public Host {
 public:
  // How far one ProcessPendingMessages call moves the clock.
  static constexpr std::uint32_t kPumpStep = 10;

  // The simulator whose timers fire; may be set after construction.
  void Attach(Simulator* simulator) { simulator_ = simulator; }

  void ShowMessage(std::string_view text) override;
  // The virtual clock, scaled by the simulation speed (1 unless SetSpeed changed it) as a window
  // scales it (SimulationSpeed.h): Advance, the motion timer and the pumps count wall
  // milliseconds, the machining clock fires every 250 ms of machine time.
  std::uint32_t Now() override { return clock_.Now(time_); }
  void SetSpeed(int factor) { clock_.SetSpeed(factor, time_); }
  void SetTimerEnabled(HostTimer timer, bool enabled) override;
  void Beep(int hertz, int milliseconds) override { beeps.emplace_back(hertz, milliseconds); }
  void DefaultAlert() override { ++alerts; }
  void ProcessPendingMessages() override {
    Advance(std::max<std::uint32_t>(1, kPumpStep / static_cast<std::uint32_t>(clock_.speed())));
  }
  // The program file dialog answers through onFileDialog (cancelled without one); questions are
  // recorded and answered with answerYes.
  std::string ShowProgramFileDialog(ProgramFileDialogMode mode,
                                    std::string_view suggestedName) override {
    return onFileDialog ? onFileDialog(mode, suggestedName) : std::string();
  }
  void CloseProgramFileDialog() override { ++dialogsClosed; }
  bool AskYesNo(std::string_view text) override {
    questions.emplace_back(text);
    return answerYes;
  }

  // Moves the clock forward by `milliseconds`, firing every timer and scheduled action that falls
  // due on the way, in time order.
  void Advance(std::uint32_t milliseconds);
  // Advances in steps until `done()` holds or `limit` ms have passed; true when it held.
  bool RunUntil(const std::function<bool()>& done, std::uint32_t limit);
  // Runs `action` when the clock reaches `at` (absolute virtual ms).
  void ScheduleAt(std::uint32_t at, std::function<void()> action);

  bool TimerEnabled(HostTimer timer) const { return timers_[Index(timer)].enabled; }
  // The unscaled clock (wall milliseconds since the host was made), which never wraps.
  std::uint64_t wallTime() const { return time_; }

  std::vector<std::string> messages;
  std::vector<std::pair<int, int>> beeps;
  int alerts = 0;
  // Called for every message as it is shown (the CLI prints them).
  std::function<void(std::string_view)> onMessage;
  std::function<std::string(ProgramFileDialogMode, std::string_view)> onFileDialog;
  int dialogsClosed = 0;
  std::vector<std::string> questions;
  bool answerYes = false;

 private:
  struct TimerSlot {
    bool enabled = false;
    std::uint64_t due = 0;
  };
  static std::size_t Index(HostTimer timer) { return timer == HostTimer::Motion ? 0 : 1; }
  std::uint32_t WallInterval(HostTimer timer) const;
  bool FireNextDue(std::uint64_t until);

  Simulator* simulator_ = nullptr;
  std::uint32_t now_ = 0;
  std::uint64_t time_ = 0;  // the same clock without wrapping, for ordering
  ScaledClock clock_;
  TimerSlot timers_[2];
  std::vector<std::pair<std::uint64_t, std::function<void()>>> scheduled_;
};

}  // namespace soustruh
