#include "app/cli/PanelTrace.h"

#include <string>

#include "control/Simulator.h"

namespace soustruh::cli {

nlohmann::ordered_json AlarmNames(const Simulator& simulator) {
  nlohmann::ordered_json alarms = nlohmann::ordered_json::array();
  for (int bit = 0; bit <= static_cast<int>(AlarmKind::InterpreterError); ++bit) {
    const auto kind = static_cast<AlarmKind>(bit);
    if (simulator.state().Alarms.Has(kind)) alarms.push_back(std::string(AlarmName(kind)));
  }
  return alarms;
}

nlohmann::ordered_json TraceEntry(const Simulator& simulator, std::string_view action) {
  const MachineState& s = simulator.state();
  nlohmann::ordered_json entry;
  entry["action"] = std::string(action);
  entry["status"] = s.Status.text;
  entry["mode"] = s.ModeLine;
  entry["alarms"] = AlarmNames(simulator);
  nlohmann::ordered_json keys = nlohmann::ordered_json::array();
  const SoftKeyCaptions& captions = Captions(simulator.softKeySet());
  for (std::size_t k = 0; k < captions.size(); ++k)
    keys.push_back({{"caption", std::string(captions[k])}, {"checked", s.SoftKeys[k]}});
  entry["softkeys"] = std::move(keys);
  nlohmann::ordered_json labels = nlohmann::ordered_json::object();
  for (const auto& [name, text] : Labels(s.Display)) labels[std::string(name)] = *text;
  entry["labels"] = std::move(labels);
  return entry;
}

}  // namespace soustruh::cli
