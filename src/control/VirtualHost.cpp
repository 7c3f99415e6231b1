#include "control/VirtualHost.h"

#include <algorithm>

#include "control/Simulator.h"

namespace soustruh {

void VirtualHost::ShowMessage(std::string_view text) {
  messages.emplace_back(text);
  if (onMessage) onMessage(text);
}

void VirtualHost::SetTimerEnabled(HostTimer timer, bool enabled) {
  TimerSlot& slot = timers_[Index(timer)];
  slot.enabled = enabled;
  if (enabled) slot.due = time_ + WallInterval(timer);
}

std::uint32_t VirtualHost::WallInterval(HostTimer timer) const {
  return timer == HostTimer::Motion
             ? TimerInterval(timer)
             : std::max<std::uint32_t>(
                   1, TimerInterval(timer) / static_cast<std::uint32_t>(clock_.speed()));
}

void VirtualHost::ScheduleAt(std::uint32_t at, std::function<void()> action) {
  // Absolute times are taken in the current wrap of the 32-bit counter.
  const std::uint64_t base = time_ - now_;
  scheduled_.emplace_back(base + at, std::move(action));
}

bool VirtualHost::FireNextDue(std::uint64_t until) {
  // The earliest event at or before `until`: a scheduled action or a timer expiry.
  std::uint64_t best = until + 1;
  int which = -1;  // 0, 1 timers; 2 scheduled
  std::size_t scheduledIndex = 0;
  for (int t = 0; t < 2; ++t) {
    if (timers_[t].enabled && timers_[t].due < best) best = timers_[t].due, which = t;
  }
  for (std::size_t i = 0; i < scheduled_.size(); ++i) {
    if (scheduled_[i].first < best) best = scheduled_[i].first, which = 2, scheduledIndex = i;
  }
  if (which < 0) return false;
  // A pause inside a callback may have run the clock past an event; it fires late, as a
  // message timer does.
  if (best > time_) {
    now_ = static_cast<std::uint32_t>(now_ + (best - time_));
    time_ = best;
  }
  if (which == 2) {
    auto action = std::move(scheduled_[scheduledIndex].second);
    scheduled_.erase(scheduled_.begin() + static_cast<std::ptrdiff_t>(scheduledIndex));
    action();
    return true;
  }
  const HostTimer timer = which == 0 ? HostTimer::Motion : HostTimer::MachiningClock;
  timers_[which].due = time_ + WallInterval(timer);
  if (simulator_) simulator_->OnTimer(timer);
  return true;
}

void VirtualHost::Advance(std::uint32_t milliseconds) {
  const std::uint64_t until = time_ + milliseconds;
  while (FireNextDue(until)) {
  }
  if (time_ < until) {
    now_ = static_cast<std::uint32_t>(now_ + (until - time_));
    time_ = until;
  }
}

bool VirtualHost::RunUntil(const std::function<bool()>& done, std::uint32_t limit) {
  const std::uint64_t end = time_ + limit;
  while (!done()) {
    if (time_ >= end) return false;
    Advance(static_cast<std::uint32_t>(
        std::min<std::uint64_t>(TimerInterval(HostTimer::Motion), end - time_)));
  }
  return true;
}

}  // namespace soustruh
