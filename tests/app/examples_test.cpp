// Every bundled example program, run as the CLI runs it, must turn the part its header promises:
// on the finished surfaces the stock's radius lies within 0.05 mm of the programmed contour, and
// nowhere is the stock cut below the contour. No alarm, no collision.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>

#include "platform/TextFile.h"
#include "support/SimulatorFixture.h"
#include "view/MachineScene.h"
#include "view/ViewMapping.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

constexpr double kFaceZ = 125.0;           // program Z0 in the model plane (G54 of nulbody.txt)
constexpr double kFinishTolerance = 0.05;  // mm, on finished surfaces
constexpr double kBelowTolerance = 0.03;   // mm: chords of an arc may dip below it by 0.025
constexpr double kRaw = 9.5;               // radius of the default 19 mm stock

// The largest radius of the stock section at program Z (mm); nullopt where there is no material.
std::optional<double> StockRadiusAt(const StockSection& stock, double z) {
  const double h = (z + kFaceZ) * 10000.0;
  std::optional<double> best;
  for (const TPolygon& polygon : stock) {
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      const ClipPoint& a = polygon[i];
      const ClipPoint& b = polygon[(i + 1) % polygon.size()];
      const double ax = static_cast<double>(a.X), bx = static_cast<double>(b.X);
      if ((h < std::min(ax, bx)) || (h > std::max(ax, bx)) || ax == bx) continue;
      const double y =
          static_cast<double>(a.Y) + (h - ax) / (bx - ax) * static_cast<double>(b.Y - a.Y);
      if (!best || y / 10000.0 > *best) best = y / 10000.0;
    }
  }
  return best;
}

// A surface of the programmed contour between program Z zFrom > zTo (mm): a cylinder or cone of
// radius r at zFrom growing by `slope` per mm toward the chuck, or an arc (centre Z and radius,
// its radius), whose distance is measured from its centre: near a face-like part of an arc a
// radius read at one Z says little.
struct Surface {
  double zFrom, zTo, r, slope = 0, arcZ = 0, arcR = 0;
  bool arc = false;
};

Surface Arc(double zFrom, double zTo, double centreZ, double centreR, double radius) {
  return {zFrom, zTo, radius, 0, centreZ, centreR, true};
}

// How far the stock at (z, r) lies outside the surface: positive outside, negative cut below.
double Excess(const Surface& s, double z, double r) {
  if (!s.arc) return r - (s.r + (s.zFrom - z) * s.slope);
  return std::hypot(z - s.arcZ, r - s.arcR) - s.r;
}

// Finished are the surfaces away from their corners: 0.5 mm from each end (0.1 mm of an arc),
// except the end at the jaws.
Surface Finished(Surface s) {
  const double margin = s.arc ? 0.1 : 0.5;
  s.r += margin * s.slope;
  s.zFrom -= margin;
  if (s.zTo > -44) s.zTo += margin;
  return s;
}

struct Example {
  const char* file;
  double faceZ;                  // where the part's face ends up
  std::vector<Surface> contour;  // the whole contour from the face to the jaws
};

const std::vector<Example>& Examples() {
  static const std::vector<Example> examples = {
      {"01_osazeny_hridel.nc", -0.5, {{-0.5, -8.5, 6}, {-8.5, -18.5, 8}, {-18.5, -44, kRaw}}},
      {"02_kuzel_a_radius.nc",
       0,
       {Arc(0, -2, -2, 5, 2), {-2, -10, 7}, {-10, -14, 7, 0.5}, {-14, -25, 9}, {-25, -44, kRaw}}},
      {"03_zapich.nc", 0, {{0, -8, kRaw}, {-8, -13, 6}, {-13, -44, kRaw}}},
      {"04_podprogram.nc", 0, {{0, -20, 6.5}, {-20, -44, kRaw}}},
      {"05_konstantni_rezna_rychlost.nc", -1, {{-1, -15, 8.5}, {-15, -44, kRaw}}},
  };
  return examples;
}

// Test listings name the example by its file, not by the bytes of the object.
void PrintTo(const Example& example, std::ostream* os) {
  *os << example.file;
}

class ExampleRun : public test::SimulatorFixture, public ::testing::WithParamInterface<Example> {};

TEST_P(ExampleRun, TurnsTheProgrammedPart) {
  const Example& ex = GetParam();
  const auto program = ReadLines(test::kBundledData / "examples" / ex.file);
  ASSERT_TRUE(program.has_value());

  MachineScene scene(sim, nullptr);
  sim.SetScene(&scene);
  StartMachine();
  ViewNavigator(sim).FormResize(0, 0, 412, 686);  // the CLI's 1024 x 760 window
  Reference();
  ASSERT_TRUE(RunProgram(*program));
  const MachineState& s = sim.state();
  EXPECT_EQ(s.Status.text, "");
  EXPECT_TRUE(s.Alarms.Empty());
  EXPECT_EQ(s.LineIndex, -1);
  EXPECT_TRUE(host.messages.empty());

  // The face: no material in front of it, material right behind it.
  EXPECT_FALSE(StockRadiusAt(sim.stock(), ex.faceZ + kFinishTolerance).has_value());
  EXPECT_TRUE(StockRadiusAt(sim.stock(), ex.faceZ - kFinishTolerance).has_value());

  for (const Surface& contour : ex.contour) {
    const Surface surface = Finished(contour);
    for (double z = surface.zFrom; z >= surface.zTo; z -= 0.1) {
      SCOPED_TRACE(testing::Message() << "finished surface at Z " << z);
      const auto r = StockRadiusAt(sim.stock(), z);
      ASSERT_TRUE(r.has_value());
      EXPECT_NEAR(Excess(surface, z, *r), 0, kFinishTolerance);
    }
  }
  for (const Surface& surface : ex.contour) {
    for (double z = surface.zFrom - 0.01; z >= surface.zTo; z -= 0.05) {
      SCOPED_TRACE(testing::Message() << "contour at Z " << z);
      const auto r = StockRadiusAt(sim.stock(), z);
      ASSERT_TRUE(r.has_value());
      EXPECT_GE(Excess(surface, z, *r), -kBelowTolerance);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Bundled, ExampleRun, ::testing::ValuesIn(Examples()),
                         [](const ::testing::TestParamInfo<Example>& param) {
                           return std::string(param.param.file).substr(0, 2);
                         });

TEST(ExampleFiles, EveryBundledExampleIsCovered) {
  std::size_t files = 0;
  for (const auto& e : fs::directory_iterator(test::kBundledData / "examples"))
    if (e.path().extension() == ".nc") ++files;
  EXPECT_EQ(files, Examples().size());
}

}  // namespace
}  // namespace soustruh
