#include "control/AutomatRun.h"

#include "control/Simulator.h"
#include "control/VirtualHost.h"

namespace soustruh {
namespace {

constexpr std::uint32_t kReferenceLimitMs = 600000;

}  // namespace

const char* OutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Finished:
      return "finished";
    case RunOutcome::Error:
      return "error";
    case RunOutcome::Alarm:
      return "alarm";
    case RunOutcome::Timeout:
      return "timeout";
    case RunOutcome::Refused:
      return "refused";
  }
  return "";
}

RunOutcome Classify(const MachineState& s) {
  if (s.Alarms.Has(AlarmKind::InterpreterError)) return RunOutcome::Error;
  if (!s.Alarms.Empty()) return RunOutcome::Alarm;
  return RunOutcome::Finished;
}

RunOutcome RunReference(Simulator& sim, VirtualHost& host) {
  const MachineState& s = sim.state();
  sim.B_ManualClick();
  sim.SetSoftKey(5, true);
  sim.B_StartClick();
  if (!host.RunUntil([&] { return !s.ProgramRunning; }, kReferenceLimitMs))
    return RunOutcome::Timeout;
  if (!s.Alarms.Empty() || s.Active.X != sim.config().RefX || s.Active.Z != sim.config().RefZ) {
    const RunOutcome outcome = Classify(s);
    // Stopped short of the reference without an alarm still is no reference.
    return outcome == RunOutcome::Finished ? RunOutcome::Alarm : outcome;
  }
  return RunOutcome::Finished;
}

RunOutcome RunAutomat(Simulator& sim, VirtualHost& host, const AutomatOptions& options,
                      std::vector<std::string> program, std::uint32_t& runStart) {
  const MachineState& s = sim.state();
  sim.SetProgram(std::move(program));
  sim.B_AutomatClick();
  sim.SetSoftKey(2, options.skip);
  sim.SetSoftKey(3, options.optionalStop);
  sim.SetSoftKey(4, options.dryRun);
  sim.SB_PosuvChange(options.feed);
  sim.SB_OtackyChange(options.spindle);
  runStart = host.Now();
  sim.B_StartClick();
  // Every pass of the loop lets virtual time pass, so the limit ends any run, however it loops.
  for (;;) {
    const bool ended = !s.ProgramRunning && s.MotionDone;
    if (!s.Alarms.Empty() || ended) return Classify(s);
    if (static_cast<std::uint32_t>(host.Now() - runStart) >= options.maxTimeMs)
      return RunOutcome::Timeout;
    const bool held = s.ProgramRunning && s.FeedStopped && s.MotionDone;
    host.Advance(TimerInterval(HostTimer::Motion));
    // A programmed stop holds the run for a tick: then the operator presses Start again.
    if (held) sim.B_StartClick();
  }
}

}  // namespace soustruh
