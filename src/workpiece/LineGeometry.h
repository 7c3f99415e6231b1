#pragma once
// Straight lines in the turning plane, in the general form a·z + b·r + c = 0, computed in extended
// floating point. z runs along the spindle axis (machine Z), r across it (radius).

#include <optional>

namespace soustruh {

struct PlanePoint {
  long double z = 0;
  long double r = 0;
};

struct LineEquation {
  long double a = 0;
  long double b = 0;
  long double c = 0;
};

// The line through p1 and p2 with every coordinate divided by `divisor` first, so the equation is
// in the units of coordinate ÷ divisor (divisor 10000 turns length units into millimetres, 1 keeps
// them):
//   a = (r2 − r1) / divisor, b = (z1 − z2) / divisor,
//   c = (z2 / divisor) × (r1 / divisor) − (z1 / divisor) × (r2 / divisor).
// Coincident points give a = b = 0, a line LineIntersection refuses. `divisor` must not be 0.
LineEquation LineCoefficients(PlanePoint p1, PlanePoint p2, long double divisor);

// The common point of two lines, in the units of their equations. Nothing when either line is
// degenerate (|a| ≤ 1e-8 and |b| ≤ 1e-8) or the lines are parallel (a1·b2 − a2·b1 = 0).
std::optional<PlanePoint> LineIntersection(const LineEquation& line1, const LineEquation& line2);

}  // namespace soustruh
