#include "nc/PathGeometry.h"

#include <gtest/gtest.h>

#include <tuple>

#include "machine/MachineConfig.h"
#include "nc/Interpreter.h"
#include "support/NcTestKit.h"

namespace soustruh {
namespace {

using test::kMm;

class PathGeometry : public ::testing::Test {
 protected:
  MachineConfig config;
  NcInterpreter nc{config};
};

TEST_F(PathGeometry, QuarterCircleWithinTheToleranceBecomesChordsOnTheArc) {
  // From (Z 0, X 10 mm) counter-clockwise round (Z -10, X 10) to (Z -10, X 20), everything moved
  // by a correction of X 0.1 mm and a work offset of Z 0.05 mm; each row puts the end and R that
  // far outside the circle.
  const std::tuple<std::int32_t, std::int32_t, NcError> cases[] = {{0, 0, kErrNone},
                                                                   {50, 0, kErrNone},
                                                                   {51, 0, kErrArcTolerance},
                                                                   {-51, 0, kErrArcTolerance},
                                                                   {0, 51, kErrArcTolerance}};
  const MachinePoint start{500, 10 * kMm - 1000}, centre{-10 * kMm + 500, 10 * kMm - 1000};
  for (const auto& [endOff, radiusOff, error] : cases) {
    SCOPED_TRACE(testing::Message() << endOff << " " << radiusOff);
    nc.setError(kErrNone);
    NcBlock block = test::MotionBlock(3, {-10 * kMm, 20 * kMm + endOff}, 0, -10 * kMm);
    block.X += 1;  // the odd diameter unit is dropped
    block.R += radiusOff;
    block.CorrX = 1000;
    block.OffsetZ = 500;
    const BlockPath sentinel{{1, 2}, {3, 4}};
    BlockPath path = sentinel;
    EXPECT_EQ(BuildArcPath(nc, start, block, path), error == kErrNone);
    EXPECT_EQ(nc.error(), error);
    if (error != kErrNone) {
      EXPECT_EQ(path, sentinel);
      continue;
    }
    EXPECT_EQ(path.front(), start);
    EXPECT_EQ(path.back(), test::Plus(centre, 0, 10 * kMm + endOff));
    test::ExpectChordsFollowArc(path, centre, 10 * kMm);
    for (std::size_t i = 1; i < path.size(); ++i) {  // G03 from +Z toward +X: Z falls, X rises
      EXPECT_LE(path[i].Z, path[i - 1].Z);
      EXPECT_GE(path[i].X, path[i - 1].X);
    }
  }
  // A clockwise quarter from the top of its centre to its +Z side: I points down.
  nc.setError(kErrNone);
  BlockPath path;
  ASSERT_TRUE(BuildArcPath(nc, {0, 4 * kMm}, test::MotionBlock(2, {4 * kMm, 0}, -4 * kMm), path));
  test::ExpectChordsFollowArc(path, {0, 0}, 4 * kMm);
}

// The point in fields `first` and `first` + 1 of a case row.
MachinePoint PointAt(const std::vector<std::string>& row, std::size_t first) {
  return {std::stoll(row[first]), std::stoll(row[first + 1])};
}

TEST_F(PathGeometry, SweepBeyondAHalfTurnIsRefusedInTheProgrammedDirection) {
  for (const auto& row : test::CaseRows("arc_cases.txt", "sweep")) {
    const MachinePoint start = PointAt(row, 1), end = PointAt(row, 3), centre = PointAt(row, 5);
    for (const int direction : {1, -1}) {
      SCOPED_TRACE(row[0] + (direction > 0 ? " G03" : " G02"));
      nc.setError(kErrNone);
      BlockPath path;
      const auto expected = static_cast<NcError>(std::stoi(row[direction > 0 ? 7 : 8]));
      ASSERT_EQ(ArcToChords(nc, start, end, centre, direction, path), expected == kErrNone);
      EXPECT_EQ(nc.error(), expected);
      if (expected != kErrNone) continue;
      EXPECT_EQ(path.front(), start);
      EXPECT_EQ(path.back(), end);
      test::ExpectChordsFollowArc(path, centre, test::Distance(centre, start));
      // G03 turns from the start toward its left, G02 toward its right.
      const MachinePoint s{start.Z - centre.Z, start.X - centre.X};
      for (const MachinePoint& p : path) {
        EXPECT_GE((s.Z * (p.X - centre.X) - s.X * (p.Z - centre.Z)) * direction, 0) << p;
      }
    }
  }
}

TEST_F(PathGeometry, TinyAndClosedArcs) {
  for (const auto& row : test::CaseRows("arc_cases.txt", "degenerate")) {
    BlockPath path{{9, 9}}, expected;
    for (std::size_t i = 7; i + 1 < row.size(); i += 2) expected.push_back(PointAt(row, i));
    EXPECT_TRUE(ArcToChords(nc, PointAt(row, 1), PointAt(row, 3), PointAt(row, 5), 1, path));
    EXPECT_EQ(path, expected) << row[0];
  }
}

}  // namespace
}  // namespace soustruh
