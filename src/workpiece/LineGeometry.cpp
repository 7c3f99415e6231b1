#include "workpiece/LineGeometry.h"

#include <cmath>

namespace soustruh {

namespace {

constexpr long double kDegenerate = 1e-8L;

bool IsDegenerate(const LineEquation& line) {
  return std::fabs(line.a) <= kDegenerate && std::fabs(line.b) <= kDegenerate;
}

}  // namespace

LineEquation LineCoefficients(PlanePoint p1, PlanePoint p2, long double divisor) {
  return LineEquation{(p2.r - p1.r) / divisor, (p1.z - p2.z) / divisor,
                      (p2.z / divisor) * (p1.r / divisor) - (p1.z / divisor) * (p2.r / divisor)};
}

std::optional<PlanePoint> LineIntersection(const LineEquation& line1, const LineEquation& line2) {
  if (IsDegenerate(line1) || IsDegenerate(line2)) return std::nullopt;
  const long double d = line1.a * line2.b - line2.a * line1.b;
  if (d == 0) return std::nullopt;
  return PlanePoint{(line1.b * line2.c - line2.b * line1.c) / d,
                    (line2.a * line1.c - line1.a * line2.c) / d};
}

}  // namespace soustruh
