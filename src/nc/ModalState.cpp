#include "nc/ModalState.h"

#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"
#include "nc/PathGeometry.h"

namespace soustruh {

MachinePoint CommandedPosition(const NcBlock& block) {
  return MachineEndPoint(block);
}

void ProgrammedFromMachine(NcBlock& target, const NcBlock& active) {
  const std::int64_t x = 2 * (std::int64_t{active.CorrX} - active.OffsetX) + active.X;
  const std::int64_t z = std::int64_t{active.CorrZ} + active.Z - active.OffsetZ;
  target.X = static_cast<std::int32_t>(x);
  target.Z = static_cast<std::int32_t>(z);
}

void ProgrammedFromCommanded(NcBlock& target, const NcBlock& active, MachinePoint commanded) {
  target.X = static_cast<std::int32_t>(2 * (active.CorrX + commanded.X - active.OffsetX));
  target.Z = static_cast<std::int32_t>(active.CorrZ + commanded.Z - active.OffsetZ);
}

void ResetRecords(NcBlock& active, NcBlock& target) {
  ResetNcBlock(active);
  active.M[kMQuill] = target.M[kMQuill];
  target = active;
}

void ApplySpeedLimit(NcBlock& active, NcBlock& target) {
  if (target.G[kGSpeedLimit] != 92) return;
  target.G[kGSpeedLimit] = kNoFunction;
  target.SLimit = target.S;
  target.S = active.S;
  active.SLimit = target.SLimit;
}

void EndOfProgramRecords(NcBlock& active, NcBlock& target) {
  ResetNcBlock(active);
  ResetNcBlock(target);
}

}  // namespace soustruh
