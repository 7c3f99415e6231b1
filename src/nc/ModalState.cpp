#include "nc/ModalState.h"

#include "machine/CorrectionTable.h"
#include "machine/WorkOffsetTable.h"
#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"
#include "nc/PathGeometry.h"

namespace soustruh {

void ApplyWorkOffsets(NcBlock& active, NcBlock& target, const WorkOffsetTable& offsets,
                      NcInterpreter& interpreter) {
  active.G[kGWorkOffset] = target.G[kGWorkOffset];
  active.G[kGAdditiveOffset] = target.G[kGAdditiveOffset];
  std::int64_t x = 0;
  std::int64_t z = 0;
  // G53 and G56 are not rows of the table: OffsetValue gives 0 for them.
  for (const int code : {active.G[kGWorkOffset], active.G[kGAdditiveOffset]}) {
    x += offsets.OffsetValue(code, OffsetAxis::X, interpreter);
    z += offsets.OffsetValue(code, OffsetAxis::Z, interpreter);
  }
  // Two readable offsets are each below 1000 mm, so their sum always fits.
  active.OffsetX = target.OffsetX = static_cast<std::int32_t>(x);
  active.OffsetZ = target.OffsetZ = static_cast<std::int32_t>(z);
}

void LoadToolCorrection(NcBlock& active, NcBlock& target, const CorrectionTable& corrections,
                        NcInterpreter& interpreter) {
  const ToolCorrection row = corrections.Correction(target.D, interpreter);
  const NoseOffset nose = NoseOffsets(row.L, row.R);
  for (NcBlock* record : {&active, &target}) {
    record->CorrX = row.X;
    record->CorrZ = row.Z;
    record->NoseRadius = row.R;
    record->NoseOffsetX = nose.X;
    record->NoseOffsetZ = nose.Z;
  }
  active.D = target.D;
}

MachinePoint CommandedPosition(const NcBlock& block) {
  return MachineEndPoint(block);
}

void ProgrammedFromMachine(NcBlock& target, const NcBlock& active) {
  const std::int64_t x = 2 * (std::int64_t{active.CorrX} - active.OffsetX) + active.X;
  const std::int64_t z = std::int64_t{active.CorrZ} + active.Z - active.OffsetZ;
  target.X = static_cast<std::int32_t>(x);
  target.Z = static_cast<std::int32_t>(z);
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
