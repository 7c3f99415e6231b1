#pragma once
// A part program run in virtual time as an operator would run it: the reference run in MANUAL,
// then the program in AUTOMAT with Start pressed again one tick after every programmed stop (so
// that the time limit ends even a run that only stops and jumps), until the program ends, an
// alarm or an interpreter error stops it, or the time limit passes. The command line and the
// look-ahead of the window's path overlay use it on simulators of their own.

#include <cstdint>
#include <string>
#include <vector>

#include "control/MachineState.h"

namespace soustruh {

class Simulator;
class VirtualHost;

enum class RunOutcome { Finished, Error, Alarm, Timeout, Refused };

// "finished", "error", "alarm", "timeout", "refused".
const char* OutcomeName(RunOutcome outcome);

// Finished when no alarm is pending, Error when an interpreter error is, else Alarm.
RunOutcome Classify(const MachineState& state);

struct AutomatOptions {
  bool skip = false;                  // Fn2 "/ skip blok"
  bool optionalStop = false;          // Fn3 "M01 stop"
  bool dryRun = false;                // Fn4 "Dry Run"
  int feed = 100;                     // SB_Posuv, 0..150 %
  int spindle = 100;                  // SB_Otacky, 0..150 %
  std::uint64_t maxTimeMs = 3600000;  // of the host's (virtual) clock, from the first Start
};

// The reference run from MANUAL (Fn5 and Start). Finished when the machine stands at its
// reference point without an alarm; Timeout when it has not arrived after ten virtual minutes.
RunOutcome RunReference(Simulator& simulator, VirtualHost& host);

// Loads `program` as the program text, enters AUTOMAT with the soft keys and bars of `options`
// and runs it. The simulator must be started and attached to `host`. `runStart` receives the
// virtual time of the first Start.
RunOutcome RunAutomat(Simulator& simulator, VirtualHost& host, const AutomatOptions& options,
                      std::vector<std::string> program, std::uint32_t& runStart);

}  // namespace soustruh
