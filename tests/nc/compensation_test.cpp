#include "nc/Compensation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "machine/MachineConfig.h"
#include "nc/Interpreter.h"
#include "support/NcTestKit.h"

namespace soustruh {
namespace {

using test::kMm;
using test::Plus;
constexpr std::int32_t kNose = 8000;  // 0.8 mm nose radius

// A block of a tool with 0.8 mm nose radius in tip position 3: nose offsets (-R, -R).
NcBlock Block(int g, int compensation, MachinePoint end, std::int32_t i = 0, std::int32_t k = 0) {
  NcBlock block = test::MotionBlock(g, end, i, k);
  block.G[kGCompensation] = compensation;
  block.NoseRadius = kNose;
  block.NoseOffsetX = block.NoseOffsetZ = -kNose;
  return block;
}

// A contour point as the path stores it, shifted by the nose offsets, and back.
MachinePoint Stored(MachinePoint p) {
  return Plus(p, -kNose, -kNose);
}
MachinePoint Contour(MachinePoint stored) {
  return Plus(stored, kNose, kNose);
}

// The stored points from `from` on go round `corner` on the nose radius, on the side of it that
// the signs give (+1: not below, -1: not above, along Z and X).
void ExpectRoundCorner(BlockPath::const_iterator from, BlockPath::const_iterator to,
                       MachinePoint corner, int signZ, int signX) {
  for (; from != to; ++from) {
    const MachinePoint p = Contour(*from);
    EXPECT_NEAR(test::Distance(corner, p), kNose, 1.0) << p;
    EXPECT_GE((p.Z - corner.Z) * signZ, 0) << p;
    EXPECT_GE((p.X - corner.X) * signX, 0) << p;
  }
}

class Compensation : public ::testing::Test {
 protected:
  // Clears the error, then builds the path of `block` on top of `path`.
  BlockPath Compensate(MachinePoint commanded, MachinePoint current, const NcBlock& block,
                       const NcBlock& next, bool approach = false, BlockPath path = {}) {
    nc.setError(kErrNone);
    accepted = CompensatePath(nc, commanded, current, block, path, approach, next);
    return path;
  }

  MachineConfig config;
  NcInterpreter nc{config};
  bool accepted = false;
};

// Along -Z at X 20 mm to E, then up a shoulder along +X.
const MachinePoint kStart{0, 20 * kMm};
const MachinePoint kCorner{-20 * kMm, 20 * kMm};
const MachinePoint kShoulderTop{-20 * kMm, 30 * kMm};

TEST_F(Compensation, InsideCornerIsTheSingleMeetingPointOfTheOffsetLines) {
  // G42 puts the tool on +X of the -Z element and on +Z of the +X element.
  const MachinePoint s = Stored(Plus(kStart, 0, kNose));
  const BlockPath path = Compensate(kStart, s, Block(1, 42, kCorner), Block(1, 42, kShoulderTop));
  EXPECT_EQ(path, (BlockPath{s, Stored(Plus(kCorner, kNose, kNose))}));
  EXPECT_TRUE(accepted);
}

TEST_F(Compensation, OutsideCornerGoesRoundTheCornerOnTheNoseRadius) {
  // G41 puts the tool on -X of the -Z element and on -Z of the +X element.
  const MachinePoint s = Stored(Plus(kStart, 0, -kNose));
  const BlockPath path = Compensate(kStart, s, Block(1, 41, kCorner), Block(1, 41, kShoulderTop));
  EXPECT_TRUE(accepted);
  ASSERT_GE(path.size(), 4u);  // start, end of the first offset, an arc point, start of the next
  EXPECT_EQ(path[0], s);
  EXPECT_EQ(path[1], Stored(Plus(kCorner, 0, -kNose)));
  EXPECT_EQ(path.back(), Stored(Plus(kCorner, -kNose, 0)));
  ExpectRoundCorner(path.begin() + 1, path.end(), kCorner, -1, -1);
  EXPECT_EQ(std::adjacent_find(path.begin(), path.end()), path.end());
}

TEST_F(Compensation, StraightContinuationAddsASinglePoint) {
  // Collinear elements from (0, 0) whose unit normals may differ in the last bit; under G41 the
  // angles of the last two come out in the wrong order by an ulp.
  const MachinePoint cases[][2] = {
      {{-20 * kMm, 0}, {-40 * kMm, 0}},           {{1 * kMm, 2 * kMm}, {4 * kMm, 8 * kMm}},
      {{7 * kMm, 3 * kMm}, {28 * kMm, 12 * kMm}}, {{-5 * kMm, 11 * kMm}, {-20 * kMm, 44 * kMm}},
      {{-3, -7}, {-3 - 999 * 3, -7 - 999 * 7}},   {{35719, -10386}, {35719 * 788, -10386 * 788}},
      {{-614, 37747}, {-614 * 742, 37747 * 742}}};
  for (const auto& [corner, end] : cases) {
    for (const int side : {41, 42}) {
      SCOPED_TRACE(::testing::Message() << corner << " G" << side);
      const double r = (side == 42 ? kNose : -kNose) / test::Distance({}, corner);
      const BlockPath path = Compensate({}, {1, 1}, Block(1, side, corner), Block(1, side, end));
      ASSERT_EQ(path.size(), 2u);
      const MachinePoint offset = Contour(path[1]);
      EXPECT_NEAR(static_cast<double>(offset.Z - corner.Z), r * static_cast<double>(corner.X), 1);
      EXPECT_NEAR(static_cast<double>(offset.X - corner.X), -r * static_cast<double>(corner.Z), 1);
    }
  }
}

TEST_F(Compensation, ApproachAndDepartureEndBesideTheirElement) {
  for (const int side : {41, 42}) {
    SCOPED_TRACE(side);
    const std::int64_t r = side == 42 ? kNose : -kNose;
    // Corrections move every programmed point; the path works in machine points.
    NcBlock block = Block(0, side, kStart), next = Block(1, side, kCorner);
    block.CorrX = next.CorrX = 1000;
    block.CorrZ = next.CorrZ = 500;
    const MachinePoint standing{5 * kMm, 25 * kMm};
    EXPECT_EQ(Compensate(standing, standing, block, next, true),
              (BlockPath{standing, Stored(Plus(kStart, -500, -1000 + r))}));
    // Toward a G40 block the tool ends beside the end of this element.
    const MachinePoint s = Stored(Plus(kStart, 0, r));
    EXPECT_EQ(Compensate(kStart, s, Block(1, side, kCorner), Block(0, 40, {10 * kMm, 40 * kMm})),
              (BlockPath{s, Stored(Plus(kCorner, 0, r))}));
  }
}

TEST_F(Compensation, ArcsRunOnTheCompensatedRadius) {
  // Quarter circles from kStart, centre along -Z, each followed tangentially along -Z; the right
  // side is outward for G03 and inward for G02. Radius 0.8 mm under G41 collapses the arc.
  const std::tuple<int, int, std::int32_t, std::int32_t> cases[] = {// G, side, R, compensated R
                                                                    {3, 41, 5 * kMm, 42000},
                                                                    {3, 42, 5 * kMm, 58000},
                                                                    {2, 41, 5 * kMm, 58000},
                                                                    {2, 42, 5 * kMm, 42000},
                                                                    {3, 41, kNose, 0}};
  for (const auto& [g, side, radius, compensated] : cases) {
    SCOPED_TRACE(::testing::Message() << "G0" << g << " G" << side << " R" << radius);
    const MachinePoint centre{-radius, kStart.X};
    const std::int64_t r = side == 42 ? kNose : -kNose;
    const std::int64_t up = g == 3 ? 1 : -1;  // G03 ends on top, G02 at the bottom
    const MachinePoint end = Plus(centre, 0, up * radius);
    // The previous block left the tool beside the arc's start: its right normal is +Z for G03.
    const MachinePoint s = Stored(Plus(kStart, up * r, 0));
    const BlockPath path = Compensate(kStart, s, Block(g, side, end, 0, -radius),
                                      Block(1, side, Plus(end, -10 * kMm, 0)));
    EXPECT_TRUE(accepted);
    if (compensated == 0) {
      EXPECT_EQ(path, (BlockPath{s}));
      continue;
    }
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.front(), s);
    EXPECT_EQ(Contour(path.back()), Plus(end, 0, r));
    BlockPath contour;
    for (const MachinePoint& p : path) contour.push_back(Contour(p));
    test::ExpectChordsFollowArc(contour, centre, compensated);
  }
}

TEST_F(Compensation, ArcIntoACornerEndsWhereTheOffsetsMeetOrGoesRoundIt) {
  // G03 quarters ending on top under G42. Up a shoulder is an inside corner: on a 100 mm arc the
  // meeting point of the tangent offsets lies on the offset circle within 0.005 mm, on a 5 mm arc
  // it misses by 0.055 mm and is refused. Down along -X is an outside corner.
  const std::tuple<std::int32_t, std::int32_t, NcError> cases[] = {// R, direction of the next
                                                                   {100 * kMm, 1, kErrNone},
                                                                   {5 * kMm, 1, kErrArcTolerance},
                                                                   {5 * kMm, -1, kErrNone}};
  for (const auto& [radius, up, error] : cases) {
    SCOPED_TRACE(::testing::Message() << radius << " " << up);
    const MachinePoint end{-radius, kStart.X + radius};
    const MachinePoint s = Stored(Plus(kStart, kNose, 0));
    const BlockPath path = Compensate(kStart, s, Block(3, 42, end, 0, -radius),
                                      Block(1, 42, Plus(end, 0, up * 3 * kMm)));
    EXPECT_EQ(nc.error(), error);
    if (error != kErrNone) {
      EXPECT_TRUE(path.empty());
    } else if (up > 0) {
      ASSERT_GE(path.size(), 3u);
      EXPECT_EQ(path.front(), s);
      EXPECT_EQ(Contour(path.back()), Plus(end, kNose, kNose));
    } else {
      const auto arcEnd = std::find(path.begin(), path.end(), Stored(Plus(end, 0, kNose)));
      ASSERT_GE(path.end() - arcEnd, 3);  // the end of the offset arc, then the corner arc
      EXPECT_EQ(Contour(path.back()), Plus(end, -kNose, 0));
      ExpectRoundCorner(arcEnd, path.end(), end, -1, 1);
    }
  }
}

TEST_F(Compensation, ContoursWithoutAnOffsetPathAreRefusedAndLeaveThePath) {
  const MachinePoint arcEnd{-5 * kMm, 25 * kMm};  // G03 quarter ending on top, moving -Z
  const MachinePoint smallEnd{-5000, kStart.X + 5000};
  const std::tuple<const char*, MachinePoint, NcBlock, NcBlock> cases[] = {
      {"back along Z", kStart, Block(1, 42, kCorner), Block(1, 42, kStart)},
      {"back along Z, further", kStart, Block(1, 41, kCorner), Block(1, 41, {10 * kMm, kCorner.X})},
      // Normals of elements of different length may differ in the last bit.
      {"back along a slope",
       {},
       Block(1, 42, {3 * kMm, 7 * kMm}),
       Block(1, 42, {-6 * kMm, -14 * kMm})},
      {"back along a slope, G41", {}, Block(1, 41, {3, 7}), Block(1, 41, {-3 * 997, -7 * 997})},
      {"arc end, then back", kStart, Block(3, 42, arcEnd, 0, -5 * kMm),
       Block(1, 42, Plus(arcEnd, kMm, 0))},
      // A concave G03 of radius 0.5 mm cannot hold a 0.8 mm nose.
      {"arc smaller than the nose", kStart, Block(3, 41, smallEnd, 0, -5000),
       Block(1, 41, Plus(smallEnd, -10 * kMm, 0))},
  };
  for (const auto& [name, start, block, next] : cases) {
    const BlockPath sentinel{{1, 2}};
    EXPECT_EQ(Compensate(start, Stored(start), block, next, false, sentinel), sentinel) << name;
    EXPECT_FALSE(accepted) << name;
    EXPECT_EQ(nc.error(), kErrOffsetPath) << name;
  }
}

TEST_F(Compensation, ElementWithoutMovementAddsNoCorner) {
  // The next block does not move: carry straight on instead of stepping onto the contour.
  const MachinePoint s = Stored(Plus(kStart, 0, -kNose));
  BlockPath path = Compensate(kStart, s, Block(1, 41, kCorner), Block(1, 41, kCorner));
  EXPECT_EQ(path, (BlockPath{s, Stored(Plus(kCorner, 0, -kNose))}));
  // This block does not move: the block before built the corner past it, so the tool stays.
  const MachinePoint standing = path.back();
  path = Compensate(kCorner, standing, Block(1, 41, kCorner), Block(1, 41, kShoulderTop));
  EXPECT_EQ(path, BlockPath{standing});
  // Switching on toward a block that does not move: beside the approach move itself.
  const MachinePoint away{10 * kMm, 20 * kMm};
  path = Compensate(away, away, Block(0, 42, kStart), Block(1, 42, kStart), true);
  EXPECT_EQ(path, (BlockPath{away, Stored(Plus(kStart, 0, kNose))}));
}

}  // namespace
}  // namespace soustruh
