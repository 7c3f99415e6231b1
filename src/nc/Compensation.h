#pragma once
// Cutter radius compensation (G41/G42): the path of the tool carrier for one contour block, the
// programmed contour offset sideways by the nose radius, with the corner to the next contour
// element resolved, and shifted by the nose offsets of the tool tip.
//
// Units: length units of 0.0001 mm, X a radius; points are MachinePoint. View convention: +Z to
// the right, +X upward, angles from +Z toward +X. The offset distance r is -NoseRadius under G41
// (tool left of the direction of travel), +NoseRadius under G42 (tool right) and 0 otherwise, taken
// from `block` like the nose offsets. Directions and angles are long double; every stored point is
// rounded to the nearest unit.

#include "nc/MachinePoint.h"
#include "nc/NcBlock.h"

namespace soustruh {

class NcInterpreter;

// Builds the compensated path of `block` (the block being executed) and replaces `path` with it.
//
// Inputs: `commanded` is the commanded position before the block (its programmed start in
// machine coordinates); `current` is where the tool carrier stands (Active Z, Active X halved);
// the block's end E and the next motion block's end are their MachineEndPoint; `next` is the
// look-ahead copy of the next motion block; `approach` is true when this block switches
// compensation on.
//
// The path starts with `current` exactly as given. Every further point is the offset contour
// point plus the block's nose offsets (Z + NoseOffsetZ, X + NoseOffsetX), and is dropped when it
// equals the point stored before it. After `current` come:
// - approach: E offset by r along the right normal of the next element;
// - departure (the next block holds G40, this block G00/G01): E offset along this element's
//   right normal;
// - G00/G01: at an outside corner (or a straight continuation) E offset along this element, a
//   corner arc of radius |r| around E when the direction changes, then E offset along the next
//   element; at an inside corner the single point where the two offset lines meet;
// - G02/G03: the chords of the arc on the compensated radius (R + r for G03, R - r for G02) from
//   the offset start (current minus the nose offsets) to the offset end, then the outside corner
//   arc as above; at an inside corner the arc ends where its end tangent's offset meets the next
//   element's offset line. A compensated radius of 0 collapses the arc to its offset end point.
// A block that does not move (its end is its start) leaves the tool where it stands: the path is
// `current` alone. The driver's look-ahead passes over such a block, so the block before it has
// already built its corner toward the element after it. A next element that does not move (a
// G40 block ending where this one ends) continues in this element's direction.
//
// Failure modes (the interpreter error is set, false returned, `path` left unchanged):
// - kErrOffsetPath (30): the contour turns straight back at E (the two elements reverse), the
//   compensated radius of an arc is negative (the tool does not fit inside it), or a point falls
//   outside the 64-bit coordinate range;
// - kErrArcTolerance (18) and kErrArcOver180 (20) from the arc subdivision, including an inside
//   corner point that is not on the compensated circle within 0.005 mm.
// When an error is already set nothing is done and false returned. Returns true on success.
bool CompensatePath(NcInterpreter& interp, MachinePoint commanded, MachinePoint current,
                    const NcBlock& block, BlockPath& path, bool approach, const NcBlock& next);

}  // namespace soustruh
