#include "nc/PathGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "machine/MachineConfig.h"
#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"

namespace soustruh {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr std::int32_t kMm = 10000;

double DistanceFrom(MachinePoint centre, double z, double x) {
  return std::hypot(z - static_cast<double>(centre.Z), x - static_cast<double>(centre.X));
}

double DistanceFrom(MachinePoint centre, MachinePoint p) {
  return DistanceFrom(centre, static_cast<double>(p.Z), static_cast<double>(p.X));
}

// Every interior point lies on the circle (within rounding) and every chord stays within the
// sagitta limit, so the polyline is never more than 0.025 mm (plus rounding) off the arc.
void ExpectChordsFollowArc(const BlockPath& path, MachinePoint centre, double radius) {
  ASSERT_GE(path.size(), 3u);
  for (std::size_t i = 1; i + 1 < path.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(DistanceFrom(centre, path[i]), radius, 1.0);
  }
  for (std::size_t i = 1; i < path.size(); ++i) {
    SCOPED_TRACE(i);
    const double midZ = static_cast<double>(path[i - 1].Z + path[i].Z) / 2;
    const double midX = static_cast<double>(path[i - 1].X + path[i].X) / 2;
    EXPECT_NEAR(DistanceFrom(centre, midZ, midX), radius, kMaxChordSagitta + 1.0);
  }
}

class PathGeometry : public ::testing::Test {
 protected:
  // A G02/G03 block as the parser leaves it: X a diameter, R the rounded length of (I, K).
  static NcBlock Arc(int g, std::int32_t diameterX, std::int32_t z, std::int32_t i,
                     std::int32_t k) {
    NcBlock block;
    block.G[kGMotion] = g;
    block.Motion = true;
    block.X = diameterX;
    block.Z = z;
    block.I = i;
    block.K = k;
    block.R = static_cast<std::int32_t>(
        std::llround(std::hypot(static_cast<double>(i), static_cast<double>(k))));
    return block;
  }

  MachineConfig config;
  NcInterpreter nc{config};
};

TEST_F(PathGeometry, QuarterCircleBecomesChordsOnTheArc) {
  // From (Z 0, X 10 mm) counter-clockwise round (Z -10, X 10) to (Z -10, X 20).
  const MachinePoint start{0, 10 * kMm};
  const MachinePoint centre{-10 * kMm, 10 * kMm};
  BlockPath path;
  ASSERT_TRUE(BuildArcPath(nc, start, Arc(3, 40 * kMm, -10 * kMm, 0, -10 * kMm), path));
  EXPECT_EQ(nc.error(), kErrNone);
  EXPECT_EQ(path.front(), start);
  EXPECT_EQ(path.back(), (MachinePoint{-10 * kMm, 20 * kMm}));
  ExpectChordsFollowArc(path, centre, 10 * kMm);
  // G03 turns from +Z toward +X: Z falls and X rises all the way.
  for (std::size_t i = 1; i < path.size(); ++i) {
    EXPECT_LE(path[i].Z, path[i - 1].Z);
    EXPECT_GE(path[i].X, path[i - 1].X);
  }
}

TEST_F(PathGeometry, EndPointMayBeOffTheCircleByTheTolerance) {
  struct Case {
    std::int32_t radialError;  // how far the end lies outside the circle
    NcError error;
  };
  const Case cases[] = {
      {0, kErrNone}, {50, kErrNone}, {51, kErrArcTolerance}, {-51, kErrArcTolerance}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radialError);
    nc.setError(kErrNone);
    const BlockPath sentinel{{1, 2}, {3, 4}};
    BlockPath path = sentinel;
    const NcBlock block = Arc(3, 2 * (20 * kMm + c.radialError), -10 * kMm, 0, -10 * kMm);
    EXPECT_EQ(BuildArcPath(nc, {0, 10 * kMm}, block, path), c.error == kErrNone);
    EXPECT_EQ(nc.error(), c.error);
    if (c.error == kErrNone) {
      EXPECT_EQ(path.back(), (MachinePoint{-10 * kMm, 20 * kMm + c.radialError}));
    } else {
      EXPECT_EQ(path, sentinel);
    }
  }
}

TEST_F(PathGeometry, SweepBeyondAHalfTurnIsRefusedInTheProgrammedDirection) {
  struct Case {
    const char* name;
    MachinePoint start, end, centre;
    NcError g03, g02;
  };
  const MachinePoint o{0, 0};
  const Case cases[] = {
      {"quarter counter-clockwise", {kMm, 0}, {0, kMm}, o, kErrNone, kErrArcOver180},
      {"three quarters counter-clockwise", {kMm, 0}, {0, -kMm}, o, kErrArcOver180, kErrNone},
      {"half circle along Z", {kMm, 0}, {-kMm, 0}, o, kErrNone, kErrNone},
      {"half circle along X", {0, kMm}, {0, -kMm}, o, kErrNone, kErrNone},
      {"half circle, oblique", {60000, 80000}, {-60000, -80000}, o, kErrNone, kErrNone},
      {"half circle, oblique 2", {-33321, 77770}, {33345, -77784}, {12, -7}, kErrNone, kErrNone},
      {"half circle, oblique 3", {1234567, 7654321}, {-1234567, -7654321}, o, kErrNone, kErrNone},
      {"just past a half circle", {kMm, 0}, {-kMm, -1}, o, kErrArcOver180, kErrNone},
      {"just short of a half circle", {kMm, 0}, {-kMm, 1}, o, kErrNone, kErrArcOver180},
      {"start equals end", {kMm, 0}, {kMm, 0}, o, kErrNone, kErrNone},
  };
  for (const Case& c : cases) {
    for (const int direction : {1, -1}) {
      SCOPED_TRACE(std::string(c.name) + (direction > 0 ? " G03" : " G02"));
      nc.setError(kErrNone);
      BlockPath path;
      const NcError expected = direction > 0 ? c.g03 : c.g02;
      EXPECT_EQ(ArcToChords(nc, c.start, c.end, c.centre, direction, path), expected == kErrNone);
      EXPECT_EQ(nc.error(), expected);
      if (expected == kErrNone) {
        EXPECT_EQ(path.front(), c.start);
        EXPECT_EQ(path.back(), c.end);
      }
    }
  }
}

TEST_F(PathGeometry, HalfCirclesTurnTheProgrammedWay) {
  // From +Z of the centre: G03 passes above (+X), G02 below.
  for (const int direction : {1, -1}) {
    SCOPED_TRACE(direction);
    BlockPath path;
    ASSERT_TRUE(ArcToChords(nc, {kMm, 0}, {-kMm, 0}, {0, 0}, direction, path));
    for (std::size_t i = 1; i + 1 < path.size(); ++i) EXPECT_GT(path[i].X * direction, 0);
    ExpectChordsFollowArc(path, {0, 0}, kMm);
  }
}

TEST_F(PathGeometry, ChordCountGrowsWithTheSquareRootOfTheRadius) {
  struct Case {
    std::int64_t radius;
    std::size_t chords;
  };
  const Case cases[] = {{kMm, 8}, {10 * kMm, 23}, {100 * kMm, 71}, {500 * kMm, 157}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radius);
    const MachinePoint centre{-3 * kMm, 7 * kMm};
    BlockPath path;
    ASSERT_TRUE(ArcToChords(nc, {centre.Z, centre.X + c.radius}, {centre.Z, centre.X - c.radius},
                            centre, 1, path));
    EXPECT_EQ(path.size(), c.chords + 1);
    ExpectChordsFollowArc(path, centre, static_cast<double>(c.radius));
  }
}

TEST_F(PathGeometry, DegenerateArcs) {
  struct Case {
    const char* name;
    MachinePoint start, end, centre;
    BlockPath expected;
  };
  const Case cases[] = {
      {"radius 0.005 mm", {50, 0}, {0, 50}, {0, 0}, {{0, 50}}},
      {"radius 0, end within tolerance", {7, 7}, {7, 40}, {7, 7}, {{7, 40}}},
      {"start equals end", {kMm, 0}, {kMm, 0}, {0, 0}, {{kMm, 0}, {kMm, 0}, {kMm, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BlockPath path{{9, 9}};
    EXPECT_TRUE(ArcToChords(nc, c.start, c.end, c.centre, 1, path));
    EXPECT_EQ(path, c.expected);
  }
  // Just above the minimum radius the arc is subdivided again.
  BlockPath path;
  ASSERT_TRUE(ArcToChords(nc, {51, 0}, {0, 51}, {0, 0}, 1, path));
  EXPECT_EQ(path.size(), 3u);
}

TEST_F(PathGeometry, BlockEndsAtItsMachinePoint) {
  NcBlock block = Arc(2, 2 * 30 * kMm + 1, 5 * kMm, 0, 0);
  block.CorrX = 1000;
  block.CorrZ = 2000;
  block.OffsetX = 300;
  block.OffsetZ = -400;
  // The odd diameter unit is dropped toward zero, also for negative diameters.
  EXPECT_EQ(MachineEndPoint(block), (MachinePoint{5 * kMm - 2000 - 400, 30 * kMm - 1000 + 300}));
  block.X = -3;
  EXPECT_EQ(MachineEndPoint(block).X, -1 - 1000 + 300);

  // A clockwise quarter from the +X side of the centre to its +Z side, ending at the machine
  // point of the block, corrections and offsets included.
  block = Arc(2, 0, 0, -4 * kMm, 0);
  block.CorrX = 1000;
  block.OffsetZ = 500;
  const MachinePoint end = MachineEndPoint(block);  // (Z 500, X -1000)
  const MachinePoint start{end.Z - 4 * kMm, end.X + 4 * kMm};
  BlockPath path;
  ASSERT_TRUE(BuildArcPath(nc, start, block, path));
  EXPECT_EQ(path.front(), start);
  EXPECT_EQ(path.back(), end);
  ExpectChordsFollowArc(path, {start.Z, start.X - 4 * kMm}, 4 * kMm);
  for (std::size_t i = 1; i < path.size(); ++i) EXPECT_GT(path[i].Z, path[i - 1].Z);
}

TEST_F(PathGeometry, ProgrammedRadiusMustMatchTheEndPoint) {
  // The end lies on the circle through the start, but R says otherwise.
  NcBlock block = Arc(3, 40 * kMm, -10 * kMm, 0, -10 * kMm);
  block.R += 51;
  BlockPath path;
  EXPECT_FALSE(BuildArcPath(nc, {0, 10 * kMm}, block, path));
  EXPECT_EQ(nc.error(), kErrArcTolerance);
  EXPECT_TRUE(path.empty());
}

TEST_F(PathGeometry, NothingHappensWhileAnErrorIsPending) {
  nc.setError(kErrNoFeed);
  BlockPath path{{1, 1}};
  EXPECT_FALSE(ArcToChords(nc, {kMm, 0}, {0, kMm}, {0, 0}, 1, path));
  EXPECT_FALSE(BuildArcPath(nc, {0, 10 * kMm}, Arc(3, 40 * kMm, -10 * kMm, 0, -10 * kMm), path));
  EXPECT_EQ(nc.error(), kErrNoFeed);
  EXPECT_EQ(path, (BlockPath{{1, 1}}));
}

TEST(PathGeometrySweepAngle, MeasuresFromPlusZTowardPlusX) {
  struct Case {
    std::int64_t dx, dz;
    int direction;
    long double angle;
  };
  const Case cases[] = {
      {0, 5, 1, 0},
      {5, 0, 1, kPi / 2},
      {0, -5, 1, kPi},
      {-5, 0, 1, 3 * kPi / 2},
      {0, 0, 1, 3 * kPi / 2},
      {3, 3, 1, kPi / 4},
      {3, -3, 1, 3 * kPi / 4},
      {-3, -3, 1, 5 * kPi / 4},
      {-3, 3, 1, 7 * kPi / 4},
      {0, 5, -1, 2 * kPi},
      {5, 0, -1, 3 * kPi / 2},
      {3, 3, -1, 7 * kPi / 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "dx " << c.dx << " dz " << c.dz << " dir " << c.direction);
    EXPECT_NEAR(static_cast<double>(SweepAngle(c.dx, c.dz, c.direction)),
                static_cast<double>(c.angle), 1e-15);
  }
}

}  // namespace
}  // namespace soustruh
