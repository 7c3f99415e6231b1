// The bundled tool data must agree with itself: the tip drawn in GeoNastr.dat has to be where
// korekce.txt says it is, or a learner's part comes out the wrong size.
//
// What "the tip" means. The scene draws the tool with its drawing origin at the carriage position
// (machine Z, machine X div 2), and the control turns a carriage position into a workpiece
// position by adding the correction (workpiece Z = machine Z + correction Z − offset Z, workpiece
// radius = machine X / 2 + correction X − offset X). So the correction (Z, X) names a point of
// the drawing, P, and that point lands on the programmed point. With a nose radius R, P is the
// theoretical sharp tip: the corner where the tangent lines of the nose circle meet on the sides
// the tip position L points to. The nose offsets of L (+R, −R or 0 per axis, X then Z) lead from
// the nose centre to P, because compensation moves the carriage to "offset contour point + nose
// offset" and the offset contour point is where the nose centre has to be. So the drawn nose arc
// must be centred at C = P − nose offset:
//   L 3 (external tool turning toward the chuck): C = P + (R, R); the insert's smallest Z and
//       smallest radius are both P's, the arc touching the two lines through P;
//   L 2 (boring bar): C = P + (−R, +R) in (radius, Z): largest radius and smallest Z at P;
//   L 4: largest Z and smallest radius at P; L 8: smallest radius at P, the arc centred on P's Z;
//   L 7 with R 0 (drill): the point itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "machine/CorrectionTable.h"
#include "machine/MachineConfigReader.h"
#include "machine/TextFile.h"
#include "machine/ToolShape.h"
#include "machine/WorkOffsetTable.h"
#include "nc/Interpreter.h"
#include "support/RecordingHost.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

const fs::path kDataDir = SOUSTRUH_SOURCE_DIR "/data";
constexpr int kToolCount = 8;
constexpr double kTolerance = 100;             // 0.01 mm
constexpr double kArcTolerance = 50;           // 0.005 mm: the arc's chords stay this close
constexpr double kSameVertex = 10;             // 0.001 mm
constexpr std::int32_t kStockLength = 450000;  // the default stock protrudes 45 mm

struct Point {
  double z = 0;  // drawing x, along the spindle axis
  double r = 0;  // drawing y, radial
};

std::size_t CharacterCount(const std::string& utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

double Distance(Point a, Point b) {
  return std::hypot(a.z - b.z, a.r - b.r);
}

// The insert polygon of a tool shape (the layout flag tells which polygon it is).
std::vector<Point> InsertOf(const ToolShape& shape) {
  if (shape.size() < 2) return {};
  const auto first = static_cast<std::size_t>(shape[0].x);
  std::size_t at = 0;
  if (shape[0].y == 1)
    at = first + 2;
  else if (shape[0].y != -1)
    return {};
  std::vector<Point> points;
  const auto count = static_cast<std::size_t>(shape[at].x);
  for (std::size_t i = at + 2; i < at + 2 + count && i < shape.size(); ++i)
    points.push_back({static_cast<double>(shape[i].x), static_cast<double>(shape[i].y)});
  return points;
}

// The theoretical tip of an insert for the tip direction (sign along radius, sign along Z): along
// an axis the tip points to, the extreme coordinate of the outline; along an axis it does not,
// the middle of the outline's extreme vertices in the other direction.
Point TipOf(const std::vector<Point>& points, NoseOffset direction) {
  Point tip;
  const auto extreme = [&](double Point::*axis, int sign) {
    double best = points.front().*axis * sign;
    for (const Point& p : points) best = std::max(best, p.*axis * sign);
    return best * sign;
  };
  const auto middle = [&](double Point::*axis, double Point::*across, int sign) {
    const double edge = extreme(across, sign);
    double low = INFINITY, high = -INFINITY;
    for (const Point& p : points) {
      if (std::abs(p.*across - edge) <= kSameVertex) {
        low = std::min(low, p.*axis);
        high = std::max(high, p.*axis);
      }
    }
    return (low + high) / 2;
  };
  tip.z = direction.Z != 0 ? extreme(&Point::z, direction.Z)
                           : middle(&Point::z, &Point::r, direction.X);
  tip.r = direction.X != 0 ? extreme(&Point::r, direction.X)
                           : middle(&Point::r, &Point::z, direction.Z);
  return tip;
}

// The outline follows the nose circle (centre, radius) as one arc drawn finely enough: the
// vertices near the circle lie on it, no vertex and no chord between arc vertices lies inside it.
void ExpectNoseArc(const std::vector<Point>& points, Point centre, double radius) {
  std::vector<std::size_t> arc;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double d = Distance(points[i], centre);
    EXPECT_GE(d, radius - kArcTolerance) << "vertex " << i << " inside the nose";
    if (d > radius + kTolerance) continue;
    EXPECT_NEAR(d, radius, kArcTolerance) << "vertex " << i << " off the nose circle";
    arc.push_back(i);
  }
  if (radius == 0) return;
  ASSERT_GE(arc.size(), 3u) << "the nose is drawn as an arc";
  // One run of consecutive vertices (the polygon is closed, so it may wrap round).
  std::size_t breaks = 0;
  for (std::size_t k = 0; k < arc.size(); ++k) {
    const std::size_t next = arc[(k + 1) % arc.size()];
    if (next != (arc[k] + 1) % points.size()) ++breaks;
  }
  EXPECT_LE(breaks, 1u) << "the arc vertices are consecutive";
  for (std::size_t k = 0; k + 1 < arc.size(); ++k) {
    if (arc[k + 1] != arc[k] + 1) continue;
    const Point a = points[arc[k]], b = points[arc[k + 1]];
    const Point mid = {(a.z + b.z) / 2, (a.r + b.r) / 2};
    EXPECT_GE(Distance(mid, centre), radius - kArcTolerance) << "chord after vertex " << arc[k];
  }
}

// A directory of this test alone (ctest may run the tests of this file side by side).
fs::path ScratchDirectory(const std::string& what) {
  return fs::temp_directory_path() /
         ("soustruh-bundled-" + what + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

class BundledTools : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReadMachineConfig(kDataDir, host_, config_));
    const auto lines = ReadLines(kDataDir / std::string(ToolFileName));
    ASSERT_TRUE(lines);
    toolLines_ = *lines;
    const auto rows = ReadLines(kDataDir / std::string(CorrectionTable::kFileName));
    ASSERT_TRUE(rows);
    corrections_.rows = *rows;
    // The offsets are loaded from a copy: a faulty file would be rewritten where it lies.
    const fs::path copy = ScratchDirectory("nulbody");
    fs::create_directories(copy);
    fs::copy_file(kDataDir / std::string(WorkOffsetTable::kFileName),
                  copy / std::string(WorkOffsetTable::kFileName),
                  fs::copy_options::overwrite_existing);
    EXPECT_EQ(offsets_.LoadAtStartup(copy, host_), TableLoadResult::Ok);
    fs::remove_all(copy);
    ASSERT_TRUE(host_.messages.empty());
  }

  ToolCorrection CorrectionOf(int tool) { return corrections_.Correction(tool, interpreter_); }

  std::vector<Point> InsertOfTool(int tool) {
    return InsertOf(BuildToolShape(toolLines_, tool, host_));
  }

  test::RecordingHost host_;
  MachineConfig config_;
  NcInterpreter interpreter_{config_};
  std::vector<std::string> toolLines_;
  CorrectionTable corrections_;
  WorkOffsetTable offsets_;
};

TEST_F(BundledTools, FilesLoadWithoutMessages) {
  EXPECT_EQ(config_.Mist_v_zas, kToolCount);
  TStroj drawing;
  for (int tool = 0; tool <= kToolCount + 1; ++tool) {
    SCOPED_TRACE(tool);
    ASSERT_TRUE(LoadToolDrawing(kDataDir, tool, host_, drawing));
    const ToolShape& shape = drawing[NASTROJ];
    if (tool == 0 || tool > kToolCount) {
      EXPECT_TRUE(shape.empty()) << "no tool in the station";
      continue;
    }
    ASSERT_FALSE(shape.empty());
    EXPECT_EQ(shape[0].y, -1) << "tools are mounted upside down and cut with M03";
    const auto insertSize = static_cast<std::size_t>(shape[0].x) + 2;
    ASSERT_LT(insertSize, shape.size());
    EXPECT_EQ(shape.size(), insertSize + static_cast<std::size_t>(shape[insertSize].x) + 2);
  }
  EXPECT_TRUE(host_.messages.empty());

  // The tables pass the start-up check; rows are exactly as the program writes them.
  const fs::path copy = ScratchDirectory("korekce");
  fs::create_directories(copy);
  fs::copy_file(kDataDir / "korekce.txt", copy / "korekce.txt",
                fs::copy_options::overwrite_existing);
  CorrectionTable loaded;
  EXPECT_EQ(loaded.LoadAtStartup(copy, host_), TableLoadResult::Ok);
  fs::remove_all(copy);
  EXPECT_TRUE(host_.messages.empty());
  ASSERT_EQ(corrections_.rows.size(), 99u);
  for (int d = 1; d <= 99; ++d) {
    SCOPED_TRACE(d);
    const ToolCorrection c = CorrectionOf(d);
    EXPECT_EQ(corrections_.rows[static_cast<std::size_t>(d - 1)], BuildRow(c));
    EXPECT_LE(CharacterCount(c.Popis), 15u);
    if (d > kToolCount) {
      ToolCorrection zero;
      zero.Number = d;
      EXPECT_EQ(c, zero);
    }
  }
  const auto offsetLines = ReadLines(kDataDir / "nulbody.txt");
  ASSERT_TRUE(offsetLines);
  EXPECT_EQ(*offsetLines, offsets_.Lines());
  EXPECT_EQ(interpreter_.error(), kErrNone);
}

TEST_F(BundledTools, G54PutsZeroOnTheFaceOfTheDefaultStock) {
  const std::int32_t face = config_.Sklicidlo_Z + config_.Cel_L_sklic + kStockLength;
  EXPECT_EQ(face, 1250000);
  EXPECT_EQ(offsets_.OffsetValue(54, OffsetAxis::Z, interpreter_), face);
  EXPECT_EQ(offsets_.OffsetValue(54, OffsetAxis::X, interpreter_), 0) << "X0 on the spindle axis";
  for (const int code : {55, 57, 58, 59}) {
    EXPECT_EQ(offsets_.OffsetValue(code, OffsetAxis::Z, interpreter_), 0) << code;
    EXPECT_EQ(offsets_.OffsetValue(code, OffsetAxis::X, interpreter_), 0) << code;
  }
}

TEST_F(BundledTools, DrawnNoseAgreesWithTheCorrection) {
  for (int tool = 1; tool <= kToolCount; ++tool) {
    SCOPED_TRACE(tool);
    const ToolCorrection c = CorrectionOf(tool);
    ASSERT_GE(c.L, 1);
    ASSERT_LE(c.L, 8);
    const std::vector<Point> insert = InsertOfTool(tool);
    ASSERT_FALSE(insert.empty());
    const Point tip = {static_cast<double>(c.Z), static_cast<double>(c.X)};
    const NoseOffset nose = NoseOffsets(c.L, c.R);
    const Point centre = {tip.z - nose.Z, tip.r - nose.X};
    const Point drawnTip = TipOf(insert, NoseOffsets(c.L, 1));
    EXPECT_NEAR(drawnTip.z, tip.z, kTolerance);
    EXPECT_NEAR(drawnTip.r, tip.r, kTolerance);
    ExpectNoseArc(insert, centre, c.R);
  }
  EXPECT_TRUE(host_.messages.empty());
}

// A point programmed with G54, carried out the way the control does it, is touched by the drawn
// tool: its tip with compensation off; under G41/G42 its nose circle touches the contour there,
// on the side the tip points away from.
TEST_F(BundledTools, ToolMeetsTheProgrammedPoint) {
  const std::int32_t offsetX = offsets_.OffsetValue(54, OffsetAxis::X, interpreter_);
  const std::int32_t offsetZ = offsets_.OffsetValue(54, OffsetAxis::Z, interpreter_);
  const std::int32_t programX = 190000;  // diameter 19 mm
  const std::int32_t programZ = -50000;
  // Where the programmed point is in the drawing plane of the machine.
  const Point target = {static_cast<double>(programZ + offsetZ),
                        static_cast<double>(programX / 2 + offsetX)};
  for (int tool = 1; tool <= kToolCount; ++tool) {
    SCOPED_TRACE(tool);
    const ToolCorrection c = CorrectionOf(tool);
    const std::vector<Point> insert = InsertOfTool(tool);
    ASSERT_FALSE(insert.empty());
    const NoseOffset direction = NoseOffsets(c.L, 1);
    const NoseOffset nose = NoseOffsets(c.L, c.R);
    // The carriage point (radius, Z) the control moves to; the scene puts the tool there.
    const auto placed = [&](std::int32_t radius, std::int32_t z) {
      const std::int32_t machineX = 2 * radius;  // a diameter
      std::vector<Point> moved = insert;
      for (Point& p : moved) {
        p.z += z;
        p.r += machineX / 2;
      }
      return moved;
    };
    // G40: commanded radius = X / 2 − correction X + offset X, Z likewise.
    const std::int32_t radius = programX / 2 - c.X + offsetX;
    const std::int32_t z = programZ - c.Z + offsetZ;
    const Point tip = TipOf(placed(radius, z), direction);
    EXPECT_NEAR(tip.z, target.z, kTolerance);
    EXPECT_NEAR(tip.r, target.r, kTolerance);
    // G41/G42: the offset contour point is the programmed point moved by R away from the
    // contour, toward the tool; the carriage goes there plus the nose offset.
    for (const bool alongRadius : {true, false}) {
      const int sign = alongRadius ? direction.X : direction.Z;
      if (sign == 0 || c.R == 0) continue;
      SCOPED_TRACE(alongRadius ? "contour faces the tool across the axis" : "contour is a face");
      const std::int32_t shiftR = alongRadius ? -sign * c.R : 0;
      const std::int32_t shiftZ = alongRadius ? 0 : -sign * c.R;
      const Point centre = {target.z + shiftZ, target.r + shiftR};
      ExpectNoseArc(placed(radius + shiftR + nose.X, z + shiftZ + nose.Z), centre, c.R);
    }
  }
}

}  // namespace
}  // namespace soustruh
