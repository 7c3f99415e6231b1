#include "nc/Compensation.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"
#include "nc/PathGeometry.h"

namespace soustruh {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kTwoPi = 2 * kPi;

// A corner whose |cos(half angle)| is below this turns straight back: the offset elements meet
// nowhere (or absurdly far away), so there is no path to build.
constexpr long double kReversalLimit = 1e-9L;

// Computed coordinates beyond this are refused rather than rounded into a 64-bit point.
constexpr long double kCoordinateLimit = 4.0e18L;

struct Vec {
  long double z = 0;
  long double x = 0;
};

Vec operator+(Vec a, Vec b) {
  return {a.z + b.z, a.x + b.x};
}
Vec operator-(Vec v) {
  return {-v.z, -v.x};
}
long double Dot(Vec a, Vec b) {
  return a.z * b.z + a.x * b.x;
}
long double Cross(Vec a, Vec b) {
  return a.z * b.x - b.z * a.x;
}
long double Length(Vec v) {
  return std::hypot(v.z, v.x);
}
bool IsZero(Vec v) {
  return v.z == 0 && v.x == 0;
}

Vec Unit(Vec v) {
  const long double length = Length(v);
  if (!(length > 0) || !std::isfinite(length)) return {};
  return {v.z / length, v.x / length};
}

Vec Between(MachinePoint from, MachinePoint to) {
  return {static_cast<long double>(to.Z - from.Z), static_cast<long double>(to.X - from.X)};
}

bool IsArc(const NcBlock& block) {
  const int g = block.G[kGMotion];
  return g == 2 || g == 3;
}

// The unit vector on the right-hand side of the element from `from` to `to` of `block`, or the
// zero vector when the element does not move. For an arc, (K, I) points from its start to the
// centre, which is the right side for G02 and the left side for G03.
Vec RightNormal(const NcBlock& block, MachinePoint from, MachinePoint to) {
  if (from == to) return {};
  if (IsArc(block)) {
    const Vec towardCentre =
        Unit({static_cast<long double>(block.K), static_cast<long double>(block.I)});
    return block.G[kGMotion] == 3 ? -towardCentre : towardCentre;
  }
  const Vec d = Between(from, to);
  return Unit({d.x, -d.z});
}

long double OffsetDistance(const NcBlock& block) {
  const auto radius = static_cast<long double>(block.NoseRadius);
  switch (block.G[kGCompensation]) {
    case 41:
      return -radius;
    case 42:
      return radius;
    default:
      return 0;
  }
}

// Builds the path of one CompensatePath call.
class Compensator {
 public:
  Compensator(NcInterpreter& interp, MachinePoint commanded, MachinePoint current,
              const NcBlock& block, const NcBlock& next)
      : interp_(interp),
        block_(block),
        next_(next),
        c0_(commanded),
        s_(current),
        e_(MachineEndPoint(block)),
        e2_(MachineEndPoint(next)),
        r_(OffsetDistance(block)) {}

  bool Run(bool approach) {
    Append(s_);
    if (approach) return Approach();
    // A repeated point: the block before built its corner toward the element after this one
    // (the look-ahead passes over it), so the tool already stands where this block ends.
    if (c0_ == e_) return true;
    if (IsArc(block_)) return Circular();
    if (next_.G[kGCompensation] == 40) return Departure();
    return Linear();
  }

  BlockPath& points() { return points_; }

 private:
  bool Fail(NcError code) {
    interp_.setError(code);
    return false;
  }

  // The first point is where the tool stands; the others are contour offsets, which the nose
  // offsets turn into carrier positions.
  void Append(MachinePoint p) {
    if (points_.empty()) {
      points_.push_back(p);
      return;
    }
    const MachinePoint shifted{p.Z + block_.NoseOffsetZ, p.X + block_.NoseOffsetX};
    if (shifted != points_.back()) points_.push_back(shifted);
  }

  bool Round(long double z, long double x, MachinePoint& out) {
    const auto inRange = [](long double v) {
      return std::isfinite(v) && std::fabs(v) < kCoordinateLimit;
    };
    if (!inRange(z) || !inRange(x)) return Fail(kErrOffsetPath);
    out = {std::llround(z), std::llround(x)};
    return true;
  }

  bool Offset(MachinePoint base, Vec u, long double distance, MachinePoint& out) {
    return Round(static_cast<long double>(base.Z) + distance * u.z,
                 static_cast<long double>(base.X) + distance * u.x, out);
  }

  // A next element that does not move (a G40 block ending where this one ends) goes on in this
  // element's direction, and an arc whose centre is its end takes the next element's.
  static void FillMissingNormals(Vec& u1, Vec& u2) {
    if (IsZero(u1)) u1 = u2;
    if (IsZero(u2)) u2 = u1;
  }

  bool Reverses(Vec u1, Vec u2) const {
    return r_ != 0 && !IsZero(u1) && !IsZero(u2) && Length(u1 + u2) / 2 < kReversalLimit;
  }

  // The angles of u1 and u2, the second brought round to the side the offset turns toward.
  std::pair<long double, long double> CornerAngles(Vec u1, Vec u2) const {
    const long double a1 = std::atan2(u1.x, u1.z);
    long double a2 = std::atan2(u2.x, u2.z);
    if (r_ > 0 && a2 < a1) {
      a2 += kTwoPi;
    } else if (r_ < 0 && a2 > a1) {
      a2 -= kTwoPi;
    }
    return {a1, a2};
  }

  // Where the offset lines of two straight elements meeting at E cross.
  bool InsideCorner(Vec u1, Vec u2, MachinePoint& out) {
    const auto [a1, a2] = CornerAngles(u1, u2);
    const long double c = std::fabs(std::cos((a1 - a2) / 2));
    const Vec bisector = Unit(u1 + u2);
    if (!(c >= kReversalLimit) || IsZero(bisector)) return Fail(kErrOffsetPath);
    return Offset(e_, bisector, r_ / c, out);
  }

  // E offset along u1, with `round` the arc of radius |r| around E, then E offset along u2.
  bool OutsideCorner(Vec u1, Vec u2, bool round) {
    MachinePoint p1, p2;
    if (!Offset(e_, u1, r_, p1) || !Offset(e_, u2, r_, p2)) return false;
    Append(p1);
    if (round) {
      const auto [a1, a2] = CornerAngles(u1, u2);
      long double turn = a2 - a1;
      // An outside corner turns by at most a half turn; more can only come from rounding in a
      // nearly straight continuation, which must not become a loop round E.
      if (turn > kPi) {
        turn -= kTwoPi;
      } else if (turn < -kPi) {
        turn += kTwoPi;
      }
      const long double radius = std::fabs(r_);
      std::int64_t count = 2;
      while (std::llround((1 - std::cos(turn / static_cast<long double>(2 * count))) * radius) >
             kMaxChordSagitta) {
        ++count;
      }
      const long double step = turn / static_cast<long double>(count - 1);
      for (std::int64_t i = 1; i < count - 1; ++i) {
        const long double phi = a1 + step * static_cast<long double>(i);
        Append({e_.Z + std::llround(r_ * std::cos(phi)), e_.X + std::llround(r_ * std::sin(phi))});
      }
    }
    Append(p2);
    return true;
  }

  bool Approach() {
    Vec u2 = RightNormal(next_, e_, e2_);
    if (IsZero(u2)) u2 = RightNormal(block_, c0_, e_);
    MachinePoint p;
    if (!Offset(e_, u2, r_, p)) return false;
    Append(p);
    return true;
  }

  bool Departure() {
    const Vec u1 = RightNormal(block_, c0_, e_);
    MachinePoint p;
    if (!Offset(e_, u1, r_, p)) return false;
    Append(p);
    return true;
  }

  bool Linear() {
    Vec u1 = RightNormal(block_, c0_, e_);
    Vec u2 = RightNormal(next_, e_, e2_);
    FillMissingNormals(u1, u2);
    if (Reverses(u1, u2)) return Fail(kErrOffsetPath);
    if (Cross(u1, u2) * r_ < 0) {
      MachinePoint p;
      if (!InsideCorner(u1, u2, p)) return false;
      Append(p);
      return true;
    }
    return OutsideCorner(u1, u2, Dot(u1, u2) < 1);
  }

  bool Circular() {
    const bool ccw = block_.G[kGMotion] == 3;
    const auto r = static_cast<std::int64_t>(r_);
    const std::int64_t compensatedRadius = ccw ? block_.R + r : block_.R - r;
    if (compensatedRadius < 0) return Fail(kErrOffsetPath);
    MachinePoint centre{c0_.Z + block_.K, c0_.X + block_.I};
    const Vec towardCentre = Unit(Between(e_, centre));
    Vec u1 = ccw ? -towardCentre : towardCentre;
    Vec u2 = RightNormal(next_, e_, e2_);
    FillMissingNormals(u1, u2);
    if (Reverses(u1, u2)) return Fail(kErrOffsetPath);
    MachinePoint p1;
    if (!Offset(e_, u1, r_, p1)) return false;
    if (compensatedRadius == 0) centre = p1;
    const MachinePoint q{s_.Z - block_.NoseOffsetZ, s_.X - block_.NoseOffsetX};
    if (Cross(u1, u2) * r_ >= 0) {
      if (!AppendArc(q, p1, centre)) return false;
      return Dot(u1, u2) < 1 ? OutsideCorner(u1, u2, true) : true;
    }
    MachinePoint corner;
    if (!InsideCorner(u1, u2, corner)) return false;
    return AppendArc(q, corner, centre);
  }

  bool AppendArc(MachinePoint from, MachinePoint to, MachinePoint centre) {
    BlockPath chords;
    if (!ArcToChords(interp_, from, to, centre, ArcDirection(block_), chords)) return false;
    for (const MachinePoint& p : chords) Append(p);
    return true;
  }

  NcInterpreter& interp_;
  const NcBlock& block_;
  const NcBlock& next_;
  MachinePoint c0_, s_, e_, e2_;
  long double r_;
  BlockPath points_;
};

}  // namespace

bool CompensatePath(NcInterpreter& interp, MachinePoint commanded, MachinePoint current,
                    const NcBlock& block, BlockPath& path, bool approach, const NcBlock& next) {
  if (interp.error() != kErrNone) return false;
  Compensator compensator(interp, commanded, current, block, next);
  if (!compensator.Run(approach)) return false;
  path.swap(compensator.points());
  return true;
}

}  // namespace soustruh
