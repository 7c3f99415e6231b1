#pragma once
// The three conversions between program and machine coordinates that the modal state implies,
// and the record changes of Reset and M30.
//
// `active` is the machine as it is (X the carrier's machine X as a diameter, Z machine Z);
// `target` the block being executed (X, Z programmed, X a diameter). Work offsets and tool
// corrections are radius values in length units (0.0001 mm).

#include "nc/MachinePoint.h"
#include "nc/NcBlock.h"

namespace soustruh {

// The machine point a block heads for, X as a radius: X = target X / 2 (toward zero) − correction
// X + work offset X, Z = target Z − correction Z + work offset Z, all from the block itself.
MachinePoint CommandedPosition(const NcBlock& block);

// The inverse, used after a block without motion: sets `target` X and Z to the programmed point
// where the machine stands, with the corrections and offsets of `active`.
void ProgrammedFromMachine(NcBlock& target, const NcBlock& active);

// The same for the commanded position (a machine point, X a radius) instead of where the machine
// stands: under compensation the tool stands beside the contour, and this is the contour point.
void ProgrammedFromCommanded(NcBlock& target, const NcBlock& active, MachinePoint commanded);

// Reset: `active` back to its defaults (positions, W and T kept), keeping the quill command of
// `target`; then `target` becomes a copy of `active`.
void ResetRecords(NcBlock& active, NcBlock& target);

// G92 taken into use: the S of the block becomes the speed limit of both records and the
// programmed S stays what the machine had. Does nothing unless `target` holds G92.
void ApplySpeedLimit(NcBlock& active, NcBlock& target);

// M30: both records back to their defaults; positions, W, T and the L target stay.
void EndOfProgramRecords(NcBlock& active, NcBlock& target);

}  // namespace soustruh
