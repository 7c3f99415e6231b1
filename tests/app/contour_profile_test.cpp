// A block that does not move the tool inside a compensated contour (coolant, a spindle or feed
// change, a point repeated) must not change the part: each program is turned with and without
// the block, as the CLI run turns it, and the two stocks must agree within one length unit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "machine/CorrectionTable.h"
#include "platform/TextFile.h"
#include "support/SimulatorFixture.h"
#include "view/MachineScene.h"
#include "view/ViewMapping.h"

namespace soustruh {
namespace {

using Lines = std::vector<std::string>;

// The largest distance from a vertex of `a` to the outline of `b` (length units).
double FarthestVertex(const StockSection& a, const StockSection& b) {
  double worst = 0;
  for (const TPolygon& pa : a) {
    for (const ClipPoint& p : pa) {
      double nearest = 1e300;
      for (const TPolygon& pb : b) {
        for (std::size_t i = 0; i < pb.size(); ++i) {
          const ClipPoint& s = pb[i];
          const ClipPoint& e = pb[(i + 1) % pb.size()];
          const double dx = static_cast<double>(e.X - s.X), dy = static_cast<double>(e.Y - s.Y);
          const double px = static_cast<double>(p.X - s.X), py = static_cast<double>(p.Y - s.Y);
          const double len2 = dx * dx + dy * dy;
          const double t = len2 == 0 ? 0 : std::clamp((px * dx + py * dy) / len2, 0.0, 1.0);
          nearest = std::min(nearest, std::hypot(px - t * dx, py - t * dy));
        }
      }
      worst = std::max(worst, nearest);
    }
  }
  return worst;
}

class ContourProfile : public test::SimulatorFixture {
 protected:
  // A fresh machine on the fixture's data, the reference run, then `program` in AUTOMAT with the
  // view removing material as the CLI run does.
  StockSection Turn(const Lines& program, const std::optional<ToolCorrection>& tool) {
    VirtualHost vhost;
    Simulator lathe(vhost, dir.path());
    vhost.Attach(&lathe);
    MachineScene scene(lathe, nullptr);
    lathe.SetScene(&scene);
    EXPECT_EQ(lathe.Start(), StartupStatus::Loaded);
    ViewNavigator(lathe).FormResize(0, 0, 412, 686);
    if (tool) {
      EXPECT_TRUE(lathe.data().corrections.ReplaceRow(*tool));
    }
    lathe.B_ManualClick();
    lathe.SetSoftKey(5, true);
    lathe.B_StartClick();
    EXPECT_TRUE(vhost.RunUntil([&] { return !lathe.state().ProgramRunning; }, 600000));
    lathe.SetProgram(program);
    lathe.B_AutomatClick();
    lathe.SetSoftKey(2, skipChecked);
    lathe.B_StartClick();
    EXPECT_TRUE(vhost.RunUntil(
        [&] { return !lathe.state().ProgramRunning && lathe.state().MotionDone; }, 3600000));
    EXPECT_EQ(lathe.state().Status.text, "");
    EXPECT_TRUE(vhost.messages.empty());
    return lathe.stock();
  }

  void ExpectSamePart(const Lines& without, const Lines& with,
                      const std::optional<ToolCorrection>& tool = std::nullopt) {
    const StockSection a = Turn(without, tool);
    const StockSection b = Turn(with, tool);
    ASSERT_FALSE(a.empty() || b.empty());
    EXPECT_LE(FarthestVertex(a, b), 1.0);
    EXPECT_LE(FarthestVertex(b, a), 1.0);
  }

  bool skipChecked = false;  // Fn2 "/ skip blok" during the run
};

Lines Inserted(Lines program, const std::string& before, const std::string& block) {
  const auto at = std::find_if(program.begin(), program.end(),
                               [&](const std::string& line) { return line.starts_with(before); });
  EXPECT_NE(at, program.end()) << before;
  program.insert(at, block);
  return program;
}

// The bundled cone-and-radius example with coolant switched on before its R2 arc.
TEST_F(ContourProfile, CoolantBeforeACompensatedArc) {
  const auto program = ReadLines(test::kBundledData / "examples" / "02_kuzel_a_radius.nc");
  ASSERT_TRUE(program);
  ExpectSamePart(*program, Inserted(*program, "N170", "N165 M08"));
}

const Lines kShoulder = {
    "N1 G54 T0101",         "N2 G97 S1500 M03", "N3 G00 X40. Z5.", "N10 G42 G01 X14. Z0 F100",
    "N20 G01 Z-10.",        "N30 G01 X18.",     "N40 Z-20.",       "N45 X21.",
    "N50 G40 G00 X40. Z5.", "N60 M30"};

// A tool without a tip offset (L9): the nose centre runs on the offset contour itself.
TEST_F(ContourProfile, CoolantOrSpeedsBetweenShoulderElements) {
  const Lines step = {
      "N1 G54 T0101",  "N2 G97 S1500 M03", "N3 G00 X40. Z5.",      "N10 G42 G01 X14. Z0 F100",
      "N20 G01 Z-10.", "N30 X20.",         "N40 G40 G00 X40. Z5.", "N50 M30"};
  const ToolCorrection noTip{1, -30 * 10000, -9 * 10000, 4000, 9, "Bez polohy"};
  ExpectSamePart(step, Inserted(step, "N30", "N25 M08"), noTip);
  ExpectSamePart(kShoulder, Inserted(kShoulder, "N30", "N25 S1200 F80"), noTip);
}

TEST_F(ContourProfile, RepeatedPointOnTheContour) {
  ExpectSamePart(kShoulder, Inserted(kShoulder, "N30", "N25 G01 Z-10."));
}

TEST_F(ContourProfile, SkippedBlockInsideTheContour) {
  skipChecked = true;
  ExpectSamePart(kShoulder, Inserted(kShoulder, "N30", "N25 /G01 Z-12."));
}

}  // namespace
}  // namespace soustruh
