#include "view/StockDialog.h"

#include <limits>
#include <optional>
#include <string>

#include "control/Simulator.h"
#include "nc/FunctionGroups.h"
#include "platform/Numbers.h"
#include "workpiece/StockSection.h"

namespace soustruh {
namespace {

// An entry read: a size in length units; a number too large for 32 bits as the largest size, so
// that the limit check refuses it with the limits in its message.
std::optional<std::int32_t> ReadSize(std::string_view text) {
  if (const auto units = ParseStockEntry(text)) return units;
  // A size beyond 32 bits is still a size: the limit message says it is too large.
  const std::optional<long double> millimetres = ParseFloat(text);
  if (millimetres && *millimetres >= 0) return std::numeric_limits<std::int32_t>::max();
  return std::nullopt;
}

}  // namespace

bool StockDialogAvailable(const Simulator& simulator) {
  return !simulator.state().ProgramRunning && simulator.state().MotionDone;
}

StockClampResult B_PolotovarClick(Simulator& simulator, std::string_view diameterText,
                                  std::string_view protrusionText) {
  if (!StockDialogAvailable(simulator)) return StockClampResult::Busy;
  simulator.stockDiameterText = std::string(diameterText);
  simulator.stockProtrusionText = std::string(protrusionText);
  Host& host = simulator.host();
  const MachineConfig& config = simulator.config();
  NcBlock& active = simulator.state().Active;

  const std::optional<std::int32_t> diameter = ReadSize(diameterText);
  if (!diameter) {
    host.ShowMessage(kStockDiameterEntryMessage);
    return StockClampResult::InvalidEntry;
  }
  const std::optional<std::int32_t> protrusion = ReadSize(protrusionText);
  if (!protrusion) {
    host.ShowMessage(kStockProtrusionEntryMessage);
    return StockClampResult::InvalidEntry;
  }
  if (const auto tooLarge = StockSizeError(*protrusion, *diameter, config)) {
    host.ShowMessage(*tooLarge);
    return StockClampResult::TooLarge;
  }
  if (active.M[kMQuill] != kQuillRetracted) {
    host.ShowMessage(StockQuillMessage);
    return StockClampResult::QuillNotRetracted;
  }
  const TPolygon candidate = StockBuild(*protrusion, *diameter, config);
  const TPolygon tool = StockTestOutline(simulator.data().drawing[NASTROJ], active.X, active.Z);
  const StockToolCheck check = CheckStockAgainstTool(candidate, tool);
  if (check.collides) {
    if (!check.error.empty()) host.ShowMessage(check.error);
    host.ShowMessage(StockToolCollisionMessage);
    return StockClampResult::ToolCollision;
  }
  active.StockRadius = StockRadiusFor(*diameter);
  simulator.ChuckBuild();
  simulator.stock() = StockSection{candidate};
  simulator.SceneRedraw();
  return StockClampResult::Clamped;
}

}  // namespace soustruh
