// The bundled data must agree with itself: the tip drawn in GeoNastr.dat has to be where
// korekce.txt says it is, or a learner's part comes out the wrong size.
//
// The scene draws a tool with its drawing origin at the carriage point, and the control adds the
// correction to the carriage point to get the workpiece point; so the correction names the point
// P of the drawing that lands on the programmed point. With a nose radius R, P is the theoretical
// sharp tip, where the tangents of the nose circle meet on the sides the tip position L points
// to. Compensation moves the carriage to "offset contour point + nose offset", the offset
// contour point being where the nose centre must be, so the drawn nose arc is centred at
// P − nose offset (for L 3: P + (R, R), the insert's smallest Z and radius both P's).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "machine/ToolShape.h"
#include "platform/TextFile.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

constexpr int kToolCount = 8;
constexpr double kTolerance = 100;    // 0.01 mm
constexpr double kArcTolerance = 50;  // 0.005 mm: the arc's chords stay this close
constexpr double kSameVertex = 10;    // 0.001 mm

struct Point {
  double z = 0;  // drawing x, along the spindle axis
  double r = 0;  // drawing y, radial
};

double Distance(Point a, Point b) {
  return std::hypot(a.z - b.z, a.r - b.r);
}

// The insert polygon of a tool drawn insert first (Poloha OL or OP).
std::vector<Point> InsertOf(const ToolShape& shape) {
  std::vector<Point> points;
  for (std::size_t i = 2; i < 2 + static_cast<std::size_t>(shape.at(0).x); ++i)
    points.push_back({static_cast<double>(shape.at(i).x), static_cast<double>(shape.at(i).y)});
  return points;
}

// The theoretical tip of an insert for the tip direction (sign along radius, sign along Z): along
// an axis the tip points to, the extreme coordinate of the outline; along an axis it does not,
// the middle of the outline's extreme vertices in the other direction.
Point TipOf(const std::vector<Point>& points, NoseOffset direction) {
  const auto extreme = [&](double Point::*axis, int sign) {
    double best = points.front().*axis * sign;
    for (const Point& p : points) best = std::max(best, p.*axis * sign);
    return best * sign;
  };
  const auto middle = [&](double Point::*axis, double Point::*across, int sign) {
    const double edge = extreme(across, sign);
    double low = INFINITY, high = -INFINITY;
    for (const Point& p : points) {
      if (std::abs(p.*across - edge) > kSameVertex) continue;
      low = std::min(low, p.*axis);
      high = std::max(high, p.*axis);
    }
    return (low + high) / 2;
  };
  return {direction.Z != 0 ? extreme(&Point::z, direction.Z)
                           : middle(&Point::z, &Point::r, direction.X),
          direction.X != 0 ? extreme(&Point::r, direction.X)
                           : middle(&Point::r, &Point::z, direction.Z)};
}

// The outline follows the nose circle (centre, radius): no vertex lies inside it, and where it
// meets the circle it is drawn as an arc of several vertices.
void ExpectNoseArc(const std::vector<Point>& points, Point centre, double radius) {
  std::size_t onTheCircle = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double d = Distance(points[i], centre);
    EXPECT_GE(d, radius - kArcTolerance) << "vertex " << i << " inside the nose";
    if (d <= radius + kArcTolerance) ++onTheCircle;
  }
  EXPECT_GE(onTheCircle, radius == 0 ? 1u : 3u);
}

class BundledData : public test::SimulatorFixture {
 protected:
  void SetUp() override { StartMachine(); }
  ToolCorrection CorrectionOf(int d) {
    return sim.data().corrections.Correction(d, sim.interpreter());
  }
  std::int32_t G54(OffsetAxis axis) {
    return sim.data().offsets.OffsetValue(54, axis, sim.interpreter());
  }
};

TEST_F(BundledData, MachineCanHoldAndReachTheDefaultStock) {
  const MachineConfig& c = sim.config();
  EXPECT_EQ(c.Mist_v_zas, kToolCount);
  EXPECT_TRUE(c.MinW < c.MaxW && c.MaxW >= 1200000) << "the quill starts at W = 120 mm";
  // The start-up stock, 19 mm out by 45 mm, fits; the largest one passes the chuck.
  EXPECT_TRUE(c.Max_D_mat >= 190000 && c.Max_L_mat >= 450000);
  EXPECT_LE(c.Max_D_mat, c.Sklicidlo_D);
  // The chuck can be drawn: the jaws' first step lies outside the chuck body.
  const std::int32_t jawBack = c.Sklicidlo_Z + c.Cel_L_sklic - c.Celist_L3;
  EXPECT_GT(jawBack + c.Celist_L1, c.Sklicidlo_Z + c.Sklicidlo_L);
  // The retracted quill clears the longest stock, or no stock could ever be clamped.
  EXPECT_GT(sim.data().quillTipX - c.MinW, c.Sklicidlo_Z + c.Cel_L_sklic + c.Max_L_mat);
}

// A point programmed with G54, carried out the way the control does it, is touched by the drawn
// tool: its tip with compensation off; under G41/G42 its nose circle touches the contour there,
// on the side the tip points away from.
TEST_F(BundledData, EachToolMeetsTheProgrammedPoint) {
  const auto toolLines = ReadLines(dir.path() / ToolFileName);
  ASSERT_TRUE(toolLines);
  const std::int32_t programX = 190000;  // diameter 19 mm
  const std::int32_t programZ = -50000;
  const Point target = {static_cast<double>(programZ + G54(OffsetAxis::Z)),
                        static_cast<double>(programX / 2 + G54(OffsetAxis::X))};
  for (int tool = 1; tool <= kToolCount; ++tool) {
    SCOPED_TRACE(tool);
    const ToolCorrection c = CorrectionOf(tool);
    ASSERT_TRUE(c.L >= 1 && c.L <= 8);
    const ToolShape shape = BuildToolShape(*toolLines, tool, host);
    ASSERT_FALSE(shape.empty());
    EXPECT_EQ(shape[0].y, -1) << "tools are mounted upside down and cut with M03";
    // The carriage point (radius, Z) the control moves to; the scene puts the tool there.
    const auto placed = [&](std::int32_t radius, std::int32_t z) {
      std::vector<Point> moved = InsertOf(shape);
      for (Point& p : moved) p = {p.z + z, p.r + radius};
      return moved;
    };
    // G40: commanded radius = X / 2 − correction X + offset X, Z likewise.
    const std::int32_t radius = programX / 2 - c.X + G54(OffsetAxis::X);
    const std::int32_t z = programZ - c.Z + G54(OffsetAxis::Z);
    const NoseOffset direction = NoseOffsets(c.L, 1);
    const Point tip = TipOf(placed(radius, z), direction);
    EXPECT_NEAR(tip.z, target.z, kTolerance);
    EXPECT_NEAR(tip.r, target.r, kTolerance);
    // G41/G42: the offset contour point is the programmed point moved by R away from the contour
    // toward the tool (across the axis when the tip points that way, else along it); the
    // carriage goes there plus the nose offset.
    const bool acrossTheAxis = direction.X != 0;
    const std::int32_t shift = -(acrossTheAxis ? direction.X : direction.Z) * c.R;
    const std::int32_t shiftR = acrossTheAxis ? shift : 0, shiftZ = acrossTheAxis ? 0 : shift;
    const NoseOffset nose = NoseOffsets(c.L, c.R);
    ExpectNoseArc(placed(radius + shiftR + nose.X, z + shiftZ + nose.Z),
                  {target.z + shiftZ, target.r + shiftR}, c.R);
  }
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace soustruh
