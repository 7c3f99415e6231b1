// Whole programs in virtual time: the path the tool carrier really travels under cutter radius
// compensation, and the machining time of a turning program against its geometry and feeds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

constexpr std::int32_t kMm = 10000;
constexpr double kNoseRadius = 0.4;  // mm, tool 3

class CompensatedRunTest : public test::SimulatorFixture {
 protected:
  void SetUp() override {
    StartMachine();
    if (HasFatalFailure()) return;
    Reference();
    if (HasFatalFailure()) return;
    // Program zero on the stock face; tool 1 roughs, tool 3 finishes with a 0.4 mm nose at tip
    // position 3, so the carrier's reference point is the nose centre minus 0.4 mm in X and Z.
    CorrectionTable& c = sim.data().corrections;
    ASSERT_TRUE(c.ReplaceRow(ToolCorrection{1, -30 * kMm, -9 * kMm, 4000, 3, "Ubírací"}));
    ASSERT_TRUE(c.ReplaceRow(ToolCorrection{3, -32 * kMm, -7 * kMm, 4000, 3, "Dokončovací"}));
    ASSERT_TRUE(sim.data().offsets.SetOffsetFields(54, "0.000", "125.000", ""));
  }

  // Nothing moves and nothing goes on without the operator: the run has ended, is held by Stop
  // or M00, or an alarm stopped it (the tick then leaves the motion unfinished).
  bool Held() const {
    const MachineState& s = sim.state();
    return !s.MotionTimerOn && (!s.ProgramRunning || s.FeedStopped || !s.Alarms.Empty());
  }

  void StartProgram(std::vector<std::string> program) {
    sim.SetProgram(std::move(program));
    sim.B_AutomatClick();
    sim.B_StartClick();
  }
};

// ----- The compensated path

// A point of the model plane in mm: Z along the axis, X a radius.
struct Point {
  double z = 0;
  double x = 0;
};

double Distance(Point a, Point b) {
  return std::hypot(a.z - b.z, a.x - b.x);
}

// One element of the programmed contour: a line, or an arc around `centre` when `arc` is set.
struct Element {
  Point from, to;
  bool arc = false;
  Point centre;
};

double DistanceToSegment(Point p, Point a, Point b) {
  const double dz = b.z - a.z, dx = b.x - a.x;
  const double len2 = dz * dz + dx * dx;
  const double t =
      len2 == 0 ? 0 : std::clamp(((p.z - a.z) * dz + (p.x - a.x) * dx) / len2, 0.0, 1.0);
  return Distance(p, Point{a.z + t * dz, a.x + t * dx});
}

// The element as a fine polyline (arcs of at most a quarter turn here, split into 1000 steps).
std::vector<Point> Trace(const Element& e) {
  if (!e.arc) return {e.from, e.to};
  const double r = Distance(e.from, e.centre);
  const double a0 = std::atan2(e.from.x - e.centre.x, e.from.z - e.centre.z);
  double a1 = std::atan2(e.to.x - e.centre.x, e.to.z - e.centre.z);
  // The short way round: every arc of these contours sweeps a quarter turn.
  if (a1 - a0 > std::numbers::pi) a1 -= 2 * std::numbers::pi;
  if (a0 - a1 > std::numbers::pi) a1 += 2 * std::numbers::pi;
  std::vector<Point> points;
  for (int i = 0; i <= 1000; ++i) {
    const double a = a0 + (a1 - a0) * i / 1000.0;
    points.push_back(Point{e.centre.z + r * std::cos(a), e.centre.x + r * std::sin(a)});
  }
  return points;
}

double DistanceToContour(Point p, const std::vector<Element>& contour) {
  double best = 1e9;
  for (const Element& e : contour) {
    const std::vector<Point> points = Trace(e);
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
      best = std::min(best, DistanceToSegment(p, points[i], points[i + 1]));
  }
  return best;
}

// Whether `p` lies inside the part: the section between the spindle axis and the contour, which
// runs between the face and the collar's outer edge (either way round).
bool InsidePart(Point p, const std::vector<Element>& contour) {
  std::vector<Point> outline;
  for (const Element& e : contour) {
    const std::vector<Point> points = Trace(e);
    outline.insert(outline.end(), points.begin(), points.end());
  }
  outline.push_back(Point{outline.back().z, 0});
  outline.push_back(Point{outline.front().z, 0});
  bool inside = false;
  for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
    const Point a = outline[i], b = outline[j];
    if ((a.x > p.x) != (b.x > p.x) && p.z < (b.z - a.z) * (p.x - a.x) / (b.x - a.x) + a.z)
      inside = !inside;
  }
  return inside;
}

Point Midpoint(const Element& e) {
  const std::vector<Point> points = Trace(e);
  if (!e.arc) return Point{(e.from.z + e.to.z) / 2, (e.from.x + e.to.x) / 2};
  return points[points.size() / 2];
}

struct ContourCase {
  const char* name;
  std::vector<std::string> program;
  std::int32_t firstContourLine;  // 0-based: the block after the approach
  std::int32_t departureLine;     // 0-based: the G40 block
  std::vector<Element> contour;
};

// The same shoulder, with a convex and a concave arc, an outside and an inside corner: under
// G42 from the face toward the chuck, under G41 back from the chuck to the face. Either way the
// nose must run 0.4 mm outside the contour all along it and touch every element.
std::vector<ContourCase> ContourCases() {
  const Point face0{0, 3}, face1{0, 5}, round1{-2, 7}, neck1{-8, 7}, fillet1{-9.5, 8.5},
      shoulder1{-9.5, 10}, collar0{-15, 10}, collar1{-15, 12};
  const Point convexCentre{-2, 5}, concaveCentre{-8, 8.5};
  std::vector<Element> forward = {
      {face0, face1, false, {}},       {face1, round1, true, convexCentre},
      {round1, neck1, false, {}},      {neck1, fillet1, true, concaveCentre},
      {fillet1, shoulder1, false, {}}, {shoulder1, collar0, false, {}},
      {collar0, collar1, false, {}},
  };
  std::vector<Element> backward;
  for (auto it = forward.rbegin(); it != forward.rend(); ++it)
    backward.push_back(Element{it->to, it->from, it->arc, it->centre});
  return {
      {"G42 toward the chuck",
       {"N10 G54 G90 G94 T0303", "N20 G97 S1000 M03", "N30 G00 X2. Z3.", "N40 G42 G01 X6. Z0 F100",
        "N50 X10.", "N60 G03 X14. Z-2. I0 K-2.", "N70 G01 Z-8.", "N80 G02 X17. Z-9.5 I1.5 K0",
        "N90 G01 X20.", "N100 Z-15.", "N110 X24.", "N120 G40 G00 X30. Z5.", "N130 M30"},
       4,
       11,
       forward},
      {"G41 toward the face",
       {"N10 G54 G90 G94 T0303", "N20 G97 S1000 M03", "N30 G00 X30. Z-13.",
        "N40 G41 G01 X24. Z-15. F100", "N50 X20.", "N60 Z-9.5", "N70 X17.",
        "N80 G03 X14. Z-8. I0 K1.5", "N90 G01 Z-2.", "N100 G02 X10. Z0 I-2. K0", "N110 G01 X6.",
        "N120 G40 G00 X2. Z5.", "N130 M30"},
       4,
       11,
       backward},
  };
}

TEST_F(CompensatedRunTest, NoseRunsAtItsRadiusBesideTheWholeContour) {
  for (const ContourCase& c : ContourCases()) {
    SCOPED_TRACE(c.name);
    sim.B_ResetClick();
    StartProgram(c.program);
    // One sample per tick: the nose centre in workpiece coordinates while a contour block runs.
    std::vector<Point> nose;
    for (int ticks = 0; !Held() && ticks < 100000; ++ticks) {
      host.Advance(TimerInterval(HostTimer::Motion));
      const MachineState& s = sim.state();
      if (s.LineIndex < c.firstContourLine || s.LineIndex >= c.departureLine) continue;
      nose.push_back(Point{(sim.WorkpieceZ() - s.Active.NoseOffsetZ) / 10000.0,
                           (sim.WorkpieceX() / 2.0 - s.Active.NoseOffsetX) / 10000.0});
    }
    ASSERT_TRUE(Held());
    EXPECT_EQ(sim.state().Status.text, "");
    EXPECT_EQ(sim.state().LineIndex, -1);
    ASSERT_GT(nose.size(), 100u);

    // Chords of arcs and corners stay within 0.03 mm of the true circles; nothing else may
    // bring the nose nearer to the contour or let it stray from it, and it stays on the side
    // away from the part.
    for (const Point& p : nose) {
      const double d = DistanceToContour(p, c.contour);
      EXPECT_NEAR(d, kNoseRadius, 0.035) << "nose at Z " << p.z << ", X " << p.x;
      EXPECT_FALSE(InsidePart(p, c.contour)) << "nose at Z " << p.z << ", X " << p.x;
    }
    for (const Element& e : c.contour) {
      const Point mid = Midpoint(e);
      double nearest = 1e9;
      for (const Point& p : nose) nearest = std::min(nearest, Distance(p, mid));
      EXPECT_LT(nearest, kNoseRadius + 0.01)
          << "element ending at Z " << e.to.z << ", X " << e.to.x;
    }
  }
}

// ----- Machining time

struct Leg {
  double length;  // mm along the path
  double feed;    // mm/min
};

double Hypot(double dz, double dx) {
  return std::hypot(dz, dx);
}

// A turning program with two tools, G95 under G97, G96 on a cut of constant diameter, a G94 face
// cut and a G42 finishing contour with an arc, run in virtual time. Its duration must match the
// path lengths at their feeds, every motion taking whole ticks of 50 ms.
TEST_F(CompensatedRunTest, MachiningTimeFollowsPathLengthsAndFeeds) {
  const MachineConfig& cfg = sim.config();
  // Rapids run at the rapid feed, but no feed exceeds the machine's maximum.
  const double rapid = std::min(cfg.Rychloposuv, cfg.MaxPosuv);
  // G96 S100 on diameter 14 mm, below the G92 limit: 1000·100/(π·14) 1/min, whole turns. Under
  // G95 the feed is F µm per turn, rounded to whole mm/min.
  const double g96Speed = std::nearbyint(1000.0 * 100 / (std::numbers::pi * 14));
  ASSERT_LT(g96Speed, 2500);
  const double g96Feed = std::nearbyint(150 * g96Speed / 1000);

  const std::vector<std::string> program = {
      "N10 G54 G90 G95 T0101",
      "N20 G92 S2500",
      "N30 G97 S1000 M03",
      "N40 G00 X21. Z0.5",
      "N50 G94 G01 X-0.8 F80",
      "N60 G00 X17. Z2.",
      "N70 G95 G01 Z-25. F200",  // G97 S1000: 200 µm/turn at 1000 1/min
      "N80 G00 X19. Z2.",
      "N90 X14.",
      "N100 G96 S100 G01 Z-12. F150",  // constant diameter, so constant speed and feed
      "N110 G00 X30. Z5.",
      "N120 T0303 G94 F100",  // two turret positions, 600 ms each
      "N130 G00 X8. Z2.",
      "N140 G42 G01 X10. Z0 F100",
      "N150 G03 X14. Z-2. I0 K-2.",
      "N160 G01 Z-12.",
      "N170 X17.",
      "N180 Z-25.",
      "N190 X20.",
      "N200 G40 G00 X30. Z5.",
      "N210 M30",
  };
  // Lengths in workpiece coordinates (Z, X radius) of the point the carrier moves. After the
  // reference run tool 1 stands at workpiece Z 136, X radius 95; the change to tool 3 moves the
  // same machine point to Z 7, X 13. Under G42 the carrier runs 0.4 mm beside the contour and
  // 0.4 mm back (tip position 3): the contour element shifted by the nose radius, with the inside
  // corners cut short and a quarter circle of 0.4 mm round the outside corner at N170/N180.
  const double r = kNoseRadius;
  const std::vector<Leg> legs = {
      {Hypot(136 - 0.5, 95 - 10.5), rapid},       // N40
      {10.5 + 0.4, 80},                           // N50 face, G94
      {Hypot(2 - 0.5, 8.5 + 0.4), rapid},         // N60
      {27, 200},                                  // N70
      {Hypot(27, 1), rapid},                      // N80
      {2.5, rapid},                               // N90
      {14, g96Feed},                              // N100
      {Hypot(17, 8), rapid},                      // N110
      {Hypot(7 - 2, 13 - 4), rapid},              // N130
      {Hypot(2, 1 - r), 100},                     // N140 approach to the arc's offset start
      {(2 + r) * std::numbers::pi / 2, 100},      // N150 arc on radius 2.4
      {10 - r, 100},                              // N160 to the inside corner
      {1.5 - r + r * std::numbers::pi / 2, 100},  // N170 and the outside corner arc
      {13 - r, 100},                              // N180 to the inside corner
      {1.5 - r, 100},                             // N190 departure beside its end
      {Hypot(25 + 5, 15 - (10 - r)), rapid},      // N200 back to the programmed point
  };
  const double turret = 2 * 600;
  double expected = turret;
  for (const Leg& leg : legs) expected += leg.length / leg.feed * 60000;

  const std::uint32_t start = host.Now();
  StartProgram(program);
  for (int ms = 0; !Held() && ms < 3600000; ++ms) host.Advance(1);
  ASSERT_TRUE(Held());
  const double elapsed = host.Now() - start;

  const MachineState& s = sim.state();
  EXPECT_EQ(s.Status.text, "");
  EXPECT_EQ(s.LineIndex, -1);
  EXPECT_EQ(s.Active.X, 94 * kMm);  // X30 Z5 with tool 3
  EXPECT_EQ(s.Active.Z, 137 * kMm);
  const double tick = TimerInterval(HostTimer::Motion);
  EXPECT_GE(elapsed, expected - tick);
  EXPECT_LE(elapsed, expected + tick * static_cast<double>(legs.size()));
  // The machining clock counts in 250 ms steps while the program runs.
  EXPECT_NEAR(static_cast<double>(s.MachiningTime), elapsed, 250);
}

}  // namespace
}  // namespace soustruh
