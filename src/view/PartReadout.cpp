#include "view/PartReadout.h"

#include <cstdlib>

#include "control/Simulator.h"
#include "nc/FunctionGroups.h"
#include "platform/Numbers.h"

namespace soustruh {

WorkpieceFrame ReadoutFrame(const Simulator& simulator) {
  const NcBlock& a = simulator.state().Active;
  if (a.G[kGWorkOffset] == 53 && a.G[kGAdditiveOffset] == 56)
    return FrameOfOffset(simulator.data().offsets, 54);
  return WorkpieceFrame{a.OffsetX, a.OffsetZ};
}

std::optional<PartReading> ReadPartAt(const ViewMapping& mapping, const PartProfile& profile,
                                      const WorkpieceFrame& frame, std::int32_t x, std::int32_t y) {
  const auto model = ScreenToModel(mapping, x, y);
  if (!model) return std::nullopt;
  const std::int64_t z = model->X - frame.offsetZ;
  const auto r = RadiusAt(profile, z);
  if (!r) return std::nullopt;
  // The section is symmetric about the axis, at the model radius of the profile.
  const std::int64_t modelRadius = *r + frame.offsetX;
  if (modelRadius <= 0 || std::llabs(model->Y) > modelRadius) return std::nullopt;
  return PartReading{z, 2 * *r};
}

std::string ReadoutText(const PartReading& reading) {
  return "Z " + FormatFixed(static_cast<double>(reading.z) / 10000.0, 3) + "  Ø " +
         FormatFixed(static_cast<double>(reading.diameter) / 10000.0, 3);
}

}  // namespace soustruh
