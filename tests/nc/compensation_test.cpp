#include "nc/Compensation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "machine/MachineConfig.h"
#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"
#include "nc/PathGeometry.h"

namespace soustruh {
namespace {

constexpr std::int32_t kMm = 10000;
constexpr std::int32_t kNose = 8000;  // 0.8 mm nose radius

MachinePoint Plus(MachinePoint p, std::int64_t dz, std::int64_t dx) {
  return {p.Z + dz, p.X + dx};
}

double DistanceFrom(MachinePoint centre, double z, double x) {
  return std::hypot(z - static_cast<double>(centre.Z), x - static_cast<double>(centre.X));
}

class Compensation : public ::testing::Test {
 protected:
  // A block ending at the machine point `end` (no corrections or offsets), with a tool of 0.8 mm
  // nose radius in tip position 3: nose offsets (-R, -R).
  static NcBlock Block(int g, int compensation, MachinePoint end) {
    NcBlock block;
    block.G[kGMotion] = g;
    block.G[kGCompensation] = compensation;
    block.Motion = true;
    block.X = static_cast<std::int32_t>(2 * end.X);
    block.Z = static_cast<std::int32_t>(end.Z);
    block.NoseRadius = kNose;
    block.NoseOffsetX = -kNose;
    block.NoseOffsetZ = -kNose;
    return block;
  }

  static NcBlock Arc(int g, int compensation, MachinePoint end, std::int32_t i, std::int32_t k) {
    NcBlock block = Block(g, compensation, end);
    block.I = i;
    block.K = k;
    block.R = static_cast<std::int32_t>(std::llround(std::hypot(1.0 * i, 1.0 * k)));
    return block;
  }

  // A contour point as the path stores it: shifted by the nose offsets.
  static MachinePoint Stored(MachinePoint p) { return Plus(p, -kNose, -kNose); }
  static MachinePoint Contour(MachinePoint stored) { return Plus(stored, kNose, kNose); }

  BlockPath Compensate(MachinePoint commanded, MachinePoint current, const NcBlock& block,
                       const NcBlock& next, bool approach = false) {
    BlockPath path;
    CompensatePath(nc, commanded, current, block, path, approach, next);
    return path;
  }

  MachineConfig config;
  NcInterpreter nc{config};
};

// Along -Z at X 20 mm to E, then up a shoulder along +X.
const MachinePoint kStart{0, 20 * kMm};
const MachinePoint kCorner{-20 * kMm, 20 * kMm};
const MachinePoint kShoulderTop{-20 * kMm, 30 * kMm};

TEST_F(Compensation, InsideCornerIsTheSingleMeetingPointOfTheOffsetLines) {
  // G42 puts the tool on +X of the -Z element and on +Z of the +X element.
  const MachinePoint s = Stored(Plus(kStart, 0, kNose));
  const BlockPath path = Compensate(kStart, s, Block(1, 42, kCorner), Block(1, 42, kShoulderTop));
  EXPECT_EQ(nc.error(), kErrNone);
  ASSERT_EQ(path.size(), 2u);
  EXPECT_EQ(path[0], s);
  const MachinePoint meet = Contour(path[1]);
  EXPECT_EQ(meet.X - kCorner.X, kNose);  // 0.8 mm above the -Z element
  EXPECT_EQ(meet.Z - kCorner.Z, kNose);  // 0.8 mm right of the +X element
}

TEST_F(Compensation, OutsideCornerGoesRoundTheCornerOnTheNoseRadius) {
  // G41 puts the tool on -X of the -Z element and on -Z of the +X element.
  const MachinePoint s = Stored(Plus(kStart, 0, -kNose));
  const BlockPath path = Compensate(kStart, s, Block(1, 41, kCorner), Block(1, 41, kShoulderTop));
  EXPECT_EQ(nc.error(), kErrNone);
  ASSERT_GE(path.size(), 4u);  // start, end of the first offset, an arc point, start of the next
  EXPECT_EQ(path[0], s);
  EXPECT_EQ(path[1], Stored(Plus(kCorner, 0, -kNose)));
  EXPECT_EQ(path.back(), Stored(Plus(kCorner, -kNose, 0)));
  for (std::size_t i = 1; i < path.size(); ++i) {
    SCOPED_TRACE(i);
    const MachinePoint p = Contour(path[i]);
    EXPECT_NEAR(DistanceFrom(kCorner, static_cast<double>(p.Z), static_cast<double>(p.X)), kNose,
                1.0);
    EXPECT_LE(p.Z, kCorner.Z);
    EXPECT_LE(p.X, kCorner.X);
    EXPECT_NE(path[i], path[i - 1]);
  }
}

TEST_F(Compensation, StraightContinuationAddsASinglePoint) {
  struct Case {
    MachinePoint start, corner, end;
  };
  // Pairs of collinear elements whose unit normals may differ in the last bit.
  const Case cases[] = {
      {kStart, kCorner, {-40 * kMm, 20 * kMm}},
      {{0, 0}, {1 * kMm, 2 * kMm}, {4 * kMm, 8 * kMm}},
      {{0, 0}, {7 * kMm, 3 * kMm}, {28 * kMm, 12 * kMm}},
      {{0, 0}, {-5 * kMm, 11 * kMm}, {-20 * kMm, 44 * kMm}},
      {{0, 0}, {-3, -7}, {-3 - 999 * 3, -7 - 999 * 7}},
      // Under G41 the angles of these come out in the wrong order by an ulp.
      {{0, 0}, {35719, -10386}, {35719 * 788, -10386 * 788}},
      {{0, 0}, {-614, 37747}, {-614 * 742, 37747 * 742}},
  };
  for (const Case& c : cases) {
    for (const int side : {41, 42}) {
      SCOPED_TRACE(::testing::Message() << c.corner << " G" << side);
      const double r = side == 42 ? kNose : -kNose;
      const double dz = static_cast<double>(c.corner.Z - c.start.Z);
      const double dx = static_cast<double>(c.corner.X - c.start.X);
      const double length = std::hypot(dz, dx);
      const MachinePoint offset =
          Plus(c.corner, std::llround(r * dx / length), std::llround(-r * dz / length));
      const BlockPath path =
          Compensate(c.start, {1, 1}, Block(1, side, c.corner), Block(1, side, c.end));
      EXPECT_EQ(nc.error(), kErrNone);
      ASSERT_EQ(path.size(), 2u);
      EXPECT_NEAR(static_cast<double>(path[1].Z), static_cast<double>(Stored(offset).Z), 1.0);
      EXPECT_NEAR(static_cast<double>(path[1].X), static_cast<double>(Stored(offset).X), 1.0);
    }
  }
}

TEST_F(Compensation, ApproachEndsBesideTheStartOfTheNextElement) {
  struct Case {
    int side;
    std::int64_t dx;  // where the tool ends beside the programmed end
  };
  for (const Case c : {Case{42, kNose}, Case{41, -kNose}}) {
    SCOPED_TRACE(c.side);
    // Corrections move every programmed point; the path works in machine points.
    NcBlock block = Block(0, c.side, kStart);
    NcBlock next = Block(1, c.side, kCorner);
    for (NcBlock* b : {&block, &next}) {
      b->CorrX = 1000;
      b->CorrZ = 500;
    }
    const MachinePoint standing{5 * kMm, 25 * kMm};
    const BlockPath path = Compensate(standing, standing, block, next, true);
    EXPECT_EQ(nc.error(), kErrNone);
    const MachinePoint end = Plus(kStart, -500, -1000);
    EXPECT_EQ(path, (BlockPath{standing, Stored(Plus(end, 0, c.dx))}));
  }
}

TEST_F(Compensation, DepartureEndsBesideTheEndOfTheLastElement) {
  NcBlock next = Block(0, 40, {10 * kMm, 40 * kMm});
  const MachinePoint s = Stored(Plus(kStart, 0, kNose));
  const BlockPath path = Compensate(kStart, s, Block(1, 42, kCorner), next);
  EXPECT_EQ(nc.error(), kErrNone);
  EXPECT_EQ(path, (BlockPath{s, Stored(Plus(kCorner, 0, kNose))}));
}

TEST_F(Compensation, ZeroNoseRadiusFollowsTheContourItself) {
  const auto plain = [](NcBlock block) {
    block.NoseRadius = block.NoseOffsetX = block.NoseOffsetZ = 0;
    return block;
  };
  for (const int side : {41, 42}) {
    SCOPED_TRACE(side);
    EXPECT_EQ(Compensate(kStart, kStart, plain(Block(1, side, kCorner)),
                         plain(Block(1, side, kShoulderTop))),
              (BlockPath{kStart, kCorner}));
    // A quarter circle from kStart round (Z -5, X 20) to (Z -5, X 25): the plain arc's chords.
    const NcBlock arc = plain(Arc(3, side, {-5 * kMm, 25 * kMm}, 0, -5 * kMm));
    BlockPath expected;
    ASSERT_TRUE(BuildArcPath(nc, kStart, arc, expected));
    EXPECT_EQ(Compensate(kStart, kStart, arc, plain(Block(1, side, {-15 * kMm, 25 * kMm}))),
              expected);
    EXPECT_EQ(nc.error(), kErrNone);
  }
}

TEST_F(Compensation, ArcsRunOnTheCompensatedRadius) {
  // Quarter circles of radius 5 mm from kStart, centre 5 mm along -Z, each followed tangentially
  // along -Z; the right side is outward for G03 and inward for G02.
  struct Case {
    int g, side;
    std::int32_t radius;
  };
  const Case cases[] = {{3, 41, 42000}, {3, 42, 58000}, {2, 41, 58000}, {2, 42, 42000}};
  const MachinePoint centre{-5 * kMm, 20 * kMm};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "G0" << c.g << " G" << c.side);
    nc.setError(kErrNone);
    const std::int64_t r = c.side == 42 ? kNose : -kNose;
    const std::int64_t up = c.g == 3 ? 1 : -1;  // G03 ends on top, G02 at the bottom
    const MachinePoint end{centre.Z, centre.X + up * 5 * kMm};
    const NcBlock arc = Arc(c.g, c.side, end, 0, -5 * kMm);
    const NcBlock next = Block(1, c.side, Plus(end, -10 * kMm, 0));
    // The previous block left the tool beside the arc's start: its right normal is +Z for G03.
    const MachinePoint s = Stored(Plus(kStart, up * r, 0));
    const BlockPath path = Compensate(kStart, s, arc, next);
    EXPECT_EQ(nc.error(), kErrNone);
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.front(), s);
    EXPECT_EQ(Contour(path.back()), Plus(end, 0, r));
    for (std::size_t i = 1; i < path.size(); ++i) {
      SCOPED_TRACE(i);
      const MachinePoint p = Contour(path[i]), q = Contour(path[i - 1]);
      EXPECT_NEAR(DistanceFrom(centre, static_cast<double>(p.Z), static_cast<double>(p.X)),
                  c.radius, 1.0);
      const double midZ = static_cast<double>(p.Z + q.Z) / 2;
      const double midX = static_cast<double>(p.X + q.X) / 2;
      EXPECT_NEAR(DistanceFrom(centre, midZ, midX), c.radius, kMaxChordSagitta + 1.0);
    }
  }
}

TEST_F(Compensation, ArcCompensatedToRadiusZeroCollapsesToItsOffsetEnd) {
  // G03 of radius 0.8 mm under G41: the offset contour is the centre point itself.
  const MachinePoint centre{-kNose, 20 * kMm};
  const NcBlock arc = Arc(3, 41, {centre.Z, centre.X + kNose}, 0, -kNose);
  const MachinePoint s = Stored(centre);
  const BlockPath path = Compensate(kStart, s, arc, Block(1, 41, {-10 * kMm, centre.X + kNose}));
  EXPECT_EQ(nc.error(), kErrNone);
  EXPECT_EQ(path, (BlockPath{s}));
}

TEST_F(Compensation, ArcTooSmallForTheNoseIsRefused) {
  // A concave G03 of radius 0.5 mm cannot hold a 0.8 mm nose.
  const BlockPath sentinel{{1, 2}};
  BlockPath path = sentinel;
  const NcBlock arc = Arc(3, 41, {-5000, kStart.X + 5000}, 0, -5000);
  EXPECT_FALSE(CompensatePath(nc, kStart, Stored(kStart), arc, path, false,
                              Block(1, 41, {-10 * kMm, kStart.X + 5000})));
  EXPECT_EQ(nc.error(), kErrOffsetPath);
  EXPECT_EQ(path, sentinel);
}

TEST_F(Compensation, ArcIntoAnInsideCornerEndsWhereTheOffsetsMeet) {
  // G03 quarter, then up a shoulder under G42: an inside corner at the top of the arc. On a
  // 100 mm arc the meeting point of the tangent offsets lies on the offset circle within 0.005
  // mm; on a 5 mm arc it misses by 0.055 mm and is refused.
  struct Case {
    std::int32_t radius;
    NcError error;
  };
  for (const Case c : {Case{100 * kMm, kErrNone}, Case{5 * kMm, kErrArcTolerance}}) {
    SCOPED_TRACE(c.radius);
    nc.setError(kErrNone);
    const MachinePoint end{-c.radius, kStart.X + c.radius};
    const NcBlock arc = Arc(3, 42, end, 0, -c.radius);
    const MachinePoint s = Stored(Plus(kStart, kNose, 0));
    const BlockPath path = Compensate(kStart, s, arc, Block(1, 42, Plus(end, 0, 10 * kMm)));
    EXPECT_EQ(nc.error(), c.error);
    if (c.error == kErrNone) {
      ASSERT_GE(path.size(), 3u);
      EXPECT_EQ(path.front(), s);
      EXPECT_EQ(Contour(path.back()), Plus(end, kNose, kNose));
    } else {
      EXPECT_TRUE(path.empty());
    }
  }
}

TEST_F(Compensation, ArcIntoAnOutsideCornerAddsTheCornerArc) {
  // G03 quarter ending on top, then down along -X under G42: the tool goes round the end.
  const MachinePoint end{-5 * kMm, 25 * kMm};
  const MachinePoint s = Stored(Plus(kStart, kNose, 0));
  const BlockPath path =
      Compensate(kStart, s, Arc(3, 42, end, 0, -5 * kMm), Block(1, 42, Plus(end, 0, -3 * kMm)));
  EXPECT_EQ(nc.error(), kErrNone);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(Contour(path.back()), Plus(end, -kNose, 0));
  const auto last = std::find(path.begin(), path.end(), Stored(Plus(end, 0, kNose)));
  ASSERT_NE(last, path.end());  // the end of the offset arc
  ASSERT_GE(path.end() - last, 3);
  for (auto it = last; it != path.end(); ++it) {
    const MachinePoint p = Contour(*it);
    EXPECT_NEAR(DistanceFrom(end, static_cast<double>(p.Z), static_cast<double>(p.X)), kNose, 1.0);
    EXPECT_LE(p.Z, end.Z);
    EXPECT_GE(p.X, end.X);
  }
}

TEST_F(Compensation, ContourTurningStraightBackIsRefused) {
  struct Case {
    const char* name;
    MachinePoint start;
    NcBlock block, next;
  };
  const MachinePoint arcEnd{-5 * kMm, 25 * kMm};  // G03 quarter ending on top, moving -Z
  const Case cases[] = {
      {"back along Z", kStart, Block(1, 42, kCorner), Block(1, 42, kStart)},
      {"back along Z, further", kStart, Block(1, 41, kCorner), Block(1, 41, {10 * kMm, kCorner.X})},
      // Normals of elements of different length may differ in the last bit.
      {"back along a slope",
       {0, 0},
       Block(1, 42, {3 * kMm, 7 * kMm}),
       Block(1, 42, {-6 * kMm, -14 * kMm})},
      {"back along a slope, G41", {0, 0}, Block(1, 41, {3, 7}), Block(1, 41, {-3 * 997, -7 * 997})},
      {"arc end, then back", kStart, Arc(3, 42, arcEnd, 0, -5 * kMm),
       Block(1, 42, Plus(arcEnd, kMm, 0))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nc.setError(kErrNone);
    const BlockPath sentinel{{1, 2}};
    BlockPath path = sentinel;
    EXPECT_FALSE(CompensatePath(nc, c.start, Stored(Plus(c.start, kNose, kNose)), c.block, path,
                                false, c.next));
    EXPECT_EQ(nc.error(), kErrOffsetPath);
    EXPECT_EQ(path, sentinel);
  }
}

TEST_F(Compensation, ElementWithoutMovementAddsNoCorner) {
  // The next block does not move: carry straight on instead of stepping onto the contour.
  const MachinePoint s = Stored(Plus(kStart, 0, -kNose));
  BlockPath path = Compensate(kStart, s, Block(1, 41, kCorner), Block(1, 41, kCorner));
  EXPECT_EQ(nc.error(), kErrNone);
  EXPECT_EQ(path, (BlockPath{s, Stored(Plus(kCorner, 0, -kNose))}));

  // This block does not move: the corner to the shoulder is taken from where the tool stands.
  const MachinePoint standing = path.back();
  path = Compensate(kCorner, standing, Block(1, 41, kCorner), Block(1, 41, kShoulderTop));
  EXPECT_EQ(nc.error(), kErrNone);
  ASSERT_GE(path.size(), 3u);
  EXPECT_EQ(path.front(), standing);
  EXPECT_EQ(path.back(), Stored(Plus(kCorner, -kNose, 0)));
  for (const MachinePoint& stored : path) {
    const MachinePoint p = Contour(stored);
    EXPECT_NEAR(DistanceFrom(kCorner, static_cast<double>(p.Z), static_cast<double>(p.X)), kNose,
                1.0);
  }

  // Switching on toward a block that does not move: beside the approach move itself.
  const MachinePoint away{10 * kMm, 20 * kMm};
  path = Compensate(away, away, Block(0, 42, kStart), Block(1, 42, kStart), true);
  EXPECT_EQ(path, (BlockPath{away, Stored(Plus(kStart, 0, kNose))}));
}

TEST_F(Compensation, NothingHappensWhileAnErrorIsPending) {
  nc.setError(kErrDeparturePath);
  BlockPath path{{1, 1}};
  EXPECT_FALSE(CompensatePath(nc, kStart, kStart, Block(1, 42, kCorner), path, false,
                              Block(1, 42, kShoulderTop)));
  EXPECT_EQ(nc.error(), kErrDeparturePath);
  EXPECT_EQ(path, (BlockPath{{1, 1}}));
}

}  // namespace
}  // namespace soustruh
