#include "nc/PathGeometry.h"

#include <cmath>
#include <numbers>
#include <ostream>

#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"

namespace soustruh {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kTwoPi = 2 * kPi;

long double Distance(std::int64_t dz, std::int64_t dx) {
  return std::hypot(static_cast<long double>(dz), static_cast<long double>(dx));
}

// The smallest chord count, at least two, whose sagitta on a circle of `radius` stays within
// kMaxChordSagitta. The sagitta shrinks as the count grows, so the first count that fits is it.
std::int64_t ChordCount(std::int64_t radius, long double sweep) {
  const auto r = static_cast<long double>(radius);
  std::int64_t n = 2;
  while (std::llround(r * (1 - std::cos(sweep / static_cast<long double>(2 * n)))) >
         kMaxChordSagitta) {
    ++n;
  }
  return n;
}

// Both vectors point exactly opposite ways. The products of integer coordinates are the same
// real number when the cross product is zero, so the long double difference is exactly 0 then;
// this keeps a true half circle from failing the half-turn limit through rounding of the angles.
bool ExactlyOpposite(std::int64_t dz0, std::int64_t dx0, std::int64_t dz1, std::int64_t dx1) {
  const auto z0 = static_cast<long double>(dz0), x0 = static_cast<long double>(dx0);
  const auto z1 = static_cast<long double>(dz1), x1 = static_cast<long double>(dx1);
  return z0 * x1 - x0 * z1 == 0 && z0 * z1 + x0 * x1 < 0;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const MachinePoint& point) {
  return os << "(Z " << point.Z << ", X " << point.X << ")";
}

MachinePoint MachineEndPoint(const NcBlock& block) {
  const std::int64_t radius = block.X / 2;
  return {std::int64_t{block.Z} - block.CorrZ + block.OffsetZ,
          radius - block.CorrX + block.OffsetX};
}

int ArcDirection(const NcBlock& block) {
  return block.G[kGMotion] == 2 ? -1 : 1;
}

long double SweepAngle(std::int64_t dx, std::int64_t dz, int direction) {
  long double angle = 0;
  if (dz != 0) {
    const long double t =
        std::atan(std::fabs(static_cast<long double>(dx) / static_cast<long double>(dz)));
    if (dx >= 0) {
      angle = dz > 0 ? t : kPi - t;
    } else {
      angle = dz < 0 ? kPi + t : kTwoPi - t;
    }
  } else {
    angle = dx >= 1 ? kPi / 2 : 3 * kPi / 2;
  }
  return direction < 0 ? kTwoPi - angle : angle;
}

bool ArcToChords(NcInterpreter& interp, MachinePoint start, MachinePoint end, MachinePoint centre,
                 int direction, BlockPath& path) {
  if (interp.error() != kErrNone) return false;
  const int dir = direction < 0 ? -1 : 1;
  const std::int64_t dZs = start.Z - centre.Z, dXs = start.X - centre.X;
  const std::int64_t dZe = end.Z - centre.Z, dXe = end.X - centre.X;
  const std::int64_t radius = std::llround(Distance(dZs, dXs));
  if (std::fabs(static_cast<long double>(radius) - Distance(dZe, dXe)) > kArcTolerance) {
    interp.setError(kErrArcTolerance);
    return false;
  }
  if (radius <= kMinArcRadius) {
    path.assign(1, end);
    return true;
  }
  long double sweep = SweepAngle(dXe, dZe, dir) - SweepAngle(dXs, dZs, dir);
  if (sweep < 0) sweep += kTwoPi;
  if (sweep > kPi) {
    if (!ExactlyOpposite(dZs, dXs, dZe, dXe)) {
      interp.setError(kErrArcOver180);
      return false;
    }
    sweep = kPi;
  }

  const std::int64_t n = ChordCount(radius, sweep);
  const auto dZ = static_cast<long double>(dZs), dX = static_cast<long double>(dXs);
  path.clear();
  path.reserve(static_cast<std::size_t>(n + 1));
  path.push_back(start);
  for (std::int64_t i = 1; i < n; ++i) {
    const long double theta =
        -(static_cast<long double>(i) * sweep / static_cast<long double>(n)) * dir;
    const long double c = std::cos(theta), s = std::sin(theta);
    path.push_back({std::llround(dX * s + dZ * c + static_cast<long double>(centre.Z)),
                    std::llround(dX * c - dZ * s + static_cast<long double>(centre.X))});
  }
  path.push_back(end);
  return true;
}

bool BuildArcPath(NcInterpreter& interp, MachinePoint start, const NcBlock& block,
                  BlockPath& path) {
  if (interp.error() != kErrNone) return false;
  const MachinePoint end = MachineEndPoint(block);
  const MachinePoint centre{start.Z + block.K, start.X + block.I};
  const long double toEnd = Distance(end.Z - centre.Z, end.X - centre.X);
  if (std::fabs(static_cast<long double>(block.R) - toEnd) > kArcTolerance) {
    interp.setError(kErrArcTolerance);
    return false;
  }
  return ArcToChords(interp, start, end, centre, ArcDirection(block), path);
}

}  // namespace soustruh
