#include "view/HeadlessMachine.h"

#include "view/StockDialog.h"

namespace soustruh {

HeadlessMachine::HeadlessMachine(std::filesystem::path dataDirectory)
    : sim_(host_, std::move(dataDirectory)), scene_(sim_, nullptr), navigator_(sim_) {
  host_.Attach(&sim_);
  sim_.SetScene(&scene_);
}

bool HeadlessMachine::Start() {
  if (sim_.Start(TableRepair::InMemory) == StartupStatus::MachineMissing) return false;
  navigator_.FormResize(0, 0, kHeadlessViewWidth, kHeadlessViewHeight);
  return true;
}

RunOutcome HeadlessMachine::Run(std::vector<std::string> program,
                                const HeadlessRunOptions& options) {
  const RunOutcome reference = RunReference(sim_, host_);
  if (reference != RunOutcome::Finished) return reference;
  referenced_ = true;
  if (options.stock && B_PolotovarClick(sim_, options.stock->first, options.stock->second) !=
                           StockClampResult::Clamped)
    return RunOutcome::Refused;
  return RunAutomat(sim_, host_, options.automat, std::move(program), runStart_);
}

RunSummary HeadlessMachine::Summary(RunOutcome outcome) const {
  const MachineState& s = sim_.state();
  RunSummary summary;
  summary.outcome = outcome;
  summary.line = outcome != RunOutcome::Finished && s.LineIndex >= 0 ? s.LineIndex + 1 : 0;
  summary.message = s.Status.text;
  summary.collisions = s.Alarms.Has(AlarmKind::DriveSync) ? 1 : 0;
  summary.machiningTimeMs = s.MachiningTime;
  summary.machiningTime = s.Display.CasObr;
  return summary;
}

}  // namespace soustruh
