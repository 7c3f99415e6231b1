#pragma once
// The two modal conversions that read the machine's tables: the work offsets of G53 to G59 and the
// tool correction of the D number. Both write radius values in length units (0.0001 mm) into the
// records; `active` is the machine as it is, `target` the block being executed.

#include "machine/CorrectionTable.h"
#include "machine/WorkOffsetTable.h"
#include "nc/Interpreter.h"
#include "nc/NcBlock.h"

namespace soustruh {

// Takes G groups 4 and 5 of `target` into `active` and computes the work offset of both records:
// G54/G55 give that row, G53 nothing; G57/G58/G59 add their row, G56 nothing. The texts are read
// at this moment, so an edit of the table counts from the next block. A text the reader refuses
// counts as 0 and leaves the reader's error set in `interpreter`.
void ApplyWorkOffsets(NcBlock& active, NcBlock& target, const WorkOffsetTable& offsets,
                      NcInterpreter& interpreter);

// Loads correction row `target.D` into both records (X, Z, nose radius and the nose offsets of its
// tip position) and makes it the active D. D 0, and a row that does not exist, give zeros. The
// caller decides when (when the two D differ).
void LoadToolCorrection(NcBlock& active, NcBlock& target, const CorrectionTable& corrections,
                        NcInterpreter& interpreter);

}  // namespace soustruh
