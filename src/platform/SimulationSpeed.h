#pragma once
// The simulation speed: the window may run the machine faster than real time. The core measures
// every duration with Host::Now (the motion tick turns elapsed milliseconds into distance, the
// machining clock adds them up, a turret pause waits for them), so scaling that one clock is all
// a speed needs; the machining time shown then stays the machine's time, not the wall time.
//
// How a host does it:
//   - Host::Now returns ScaledClock::Now(wall milliseconds) instead of the wall count;
//   - the motion timer keeps its wall interval (50 ms), so each tick covers speed × 50 ms of
//     machine time; above 1× the host calls Simulator::SetMaxTickStep(TimerInterval(
//     HostTimer::Motion)), and the tick moves the machine in the steps 1× would take, so the
//     removal pass and the collision test see it as often per millimetre as at 1× (a rapid at
//     50× would otherwise jump 250 mm per tick, through a jaw, unseen) and the machining time
//     comes out as at 1×; at 1× it sets 0, and the tick behaves exactly as without a speed choice;
//   - the machining clock timer fires every 250 ms of machine time (250 / speed ms of wall time,
//     at least 1), since the time it adds after the last motion of a run is what it adds at 1×;
//   - a pause of the turret (WaitPumping) waits machine time, so it shortens with the speed.

#include <algorithm>
#include <array>
#include <cstdint>

namespace soustruh {

// The speeds the window offers; 1 is the default.
inline constexpr std::array<int, 5> kSimulationSpeeds = {1, 2, 5, 10, 50};

// Machine time from a monotonic wall clock, `speed` times faster. Changing the speed never makes
// the machine time jump: it continues from where it stood at the change.
class ScaledClock {
 public:
  // The machine time at wall time `wallMs` (never earlier than the last SetSpeed), wrapping
  // modulo 2^32 like Host::Now.
  std::uint32_t Now(std::uint64_t wallMs) const {
    return static_cast<std::uint32_t>(MachineAt(wallMs));
  }

  // From wall time `wallMs` on, the machine runs `factor` times faster than the wall (below 1
  // counts as 1).
  void SetSpeed(int factor, std::uint64_t wallMs) {
    machineBase_ = MachineAt(wallMs);
    wallBase_ = wallMs;
    speed_ = std::max(1, factor);
  }

  int speed() const { return speed_; }

 private:
  std::uint64_t MachineAt(std::uint64_t wallMs) const {
    return machineBase_ + (wallMs - wallBase_) * static_cast<std::uint64_t>(speed_);
  }

  std::uint64_t wallBase_ = 0;
  std::uint64_t machineBase_ = 0;
  int speed_ = 1;
};

}  // namespace soustruh
