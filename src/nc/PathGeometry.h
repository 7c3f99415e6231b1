#pragma once
// Circular interpolation: checking a programmed arc and turning it into chords.
//
// Units: length units of 0.0001 mm, X a radius; points are MachinePoint. View convention: +Z to
// the right, +X upward, angles in radians measured from +Z toward +X. Direction +1 is G03
// (counter-clockwise in that view), -1 is G02 (clockwise); any negative value counts as -1 and
// any other as +1.
//
// Angles and the rotation are computed in long double and rounded to the nearest length unit;
// everything else is integer. Coordinates are expected in the range the 32-bit block words give
// (a few times 2^31); the chord count grows with the square root of the radius.
//
// Failure modes: the interpreter error is set to kErrArcTolerance (18) when the end point is not
// on the circle, or to kErrArcOver180 (20) when the arc sweeps more than a half turn. On failure
// the path is left unchanged. When an error is already set nothing is done and false returned.

#include <cstdint>

#include "nc/MachinePoint.h"
#include "nc/NcBlock.h"

namespace soustruh {

class NcInterpreter;

// How far the end point may lie off the circle through the start point.
inline constexpr std::int64_t kArcTolerance = 50;
// Arcs of this radius or less are not subdivided: the path is the end point alone.
inline constexpr std::int64_t kMinArcRadius = 50;
// Largest distance of a chord from the true arc.
inline constexpr std::int64_t kMaxChordSagitta = 250;

// The machine point a block ends at: Z = block Z - correction Z + work offset Z; X = block X / 2
// (diameter to radius, rounded toward zero) - correction X + work offset X, all from `block`.
MachinePoint MachineEndPoint(const NcBlock& block);

// +1 for an arc that is not G02 (G03), -1 for G02.
int ArcDirection(const NcBlock& block);

// The angle of the vector (dz along Z, dx along X), in [0, 2π]: measured from +Z toward +X for
// direction +1; for direction -1 it is 2π minus that, i.e. measured the clockwise way. The zero
// vector and every vector straight down give 3π/2 (before the direction is applied).
long double SweepAngle(std::int64_t dx, std::int64_t dz, int direction);

// Replaces `path` with the chords of the arc from `start` to `end` around `centre`, turning in
// `direction`: the start point, the interior points (rounded rotations of the start), and `end`
// exactly; at least two chords, each within kMaxChordSagitta of the arc. Start equal to end gives
// [start, start, end]. A radius of kMinArcRadius or less gives [end].
// Errors: 18 when the centre-to-end distance differs from the rounded centre-to-start distance
// by more than kArcTolerance; 20 when the sweep in `direction` exceeds π (exactly π, a half
// circle, is accepted in either direction). Returns true on success.
bool ArcToChords(NcInterpreter& interp, MachinePoint start, MachinePoint end, MachinePoint centre,
                 int direction, BlockPath& path);

// Replaces `path` with the chords of the G02/G03 `block` (the block being executed, with its
// corrections, offsets, I, K and R) starting at the machine point `start`. The centre is start +
// (K along Z, I along X); the end is MachineEndPoint(block). Error 18 also when the block's R
// differs from the centre-to-end distance by more than kArcTolerance. Returns true on success.
bool BuildArcPath(NcInterpreter& interp, MachinePoint start, const NcBlock& block, BlockPath& path);

}  // namespace soustruh
