#pragma once
// One entry of a panel script's trace: what the panel shows after the script line.

#include <nlohmann/json.hpp>
#include <string_view>

namespace soustruh {
class Simulator;
}

namespace soustruh::cli {

// {"action": the line, "status": the status line, "mode": the mode line, "alarms": [names],
//  "softkeys": [{"caption", "checked"} × 5], "labels": {label name: text}}.
nlohmann::ordered_json TraceEntry(const Simulator& simulator, std::string_view action);

// The pending alarms' names, lowest bit first.
nlohmann::ordered_json AlarmNames(const Simulator& simulator);

}  // namespace soustruh::cli
