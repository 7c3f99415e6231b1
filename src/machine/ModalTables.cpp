#include "machine/ModalTables.h"

#include "nc/FunctionGroups.h"
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

}  // namespace soustruh
