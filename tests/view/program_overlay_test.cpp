// What the window shows over the machine view: the path overlay traced by a headless twin, and
// the part under the mouse pointer.

#include <gtest/gtest.h>

#include "support/SimulatorFixture.h"
#include "view/MachineScene.h"
#include "view/PartReadout.h"
#include "view/ProgramOverlay.h"
#include "view/RecordingCanvas.h"

namespace soustruh {
namespace {

class Overlay : public test::SimulatorFixture {
 protected:
  void SetUp() override {
    StartMachine();
    Reference();
    ViewNavigator(sim).FormResize(0, 0, 412, 686);
  }
};

// G54 puts the workpiece zero at model Z 125 mm; correction 1 has a 0.4 mm nose.
TEST_F(Overlay, NosePathRunsBesideTheContourAndTheLiveMachineStaysPut) {
  const NcBlock active = sim.state().Active;
  const StockSection stock = sim.stock();
  const ProgramOverlay o = TraceProgram(
      sim, {"N10 G54 T0101", "N20 G97 S1500 M03", "N30 G00 X30. Z5.", "N40 G42 G01 X12. Z0 F100",
            "N50 G01 Z-10.", "N60 X18.", "N70 G40 G00 X30. Z5.", "N80 M30"});
  EXPECT_EQ(o.outcome, RunOutcome::Finished);
  EXPECT_EQ(sim.state().Active, active);
  EXPECT_EQ(sim.stock(), stock);
  ASSERT_EQ(o.elements.size(), 5u);
  const OverlayElement& cylinder = o.elements[2];  // N50
  EXPECT_FALSE(cylinder.rapid);
  EXPECT_EQ(cylinder.programmed, (std::vector<ClipPoint>{{1250000, 60000}, {1150000, 60000}}));
  // Along -Z under G42 the nose runs 0.4 mm above the contour and stops 0.4 mm before the
  // shoulder (an inside corner).
  for (const ClipPoint& p : cylinder.nose) EXPECT_NEAR(static_cast<double>(p.Y), 64000, 1);
  EXPECT_NEAR(static_cast<double>(cylinder.nose.back().X), 1154000, 1);

  // Over the scene: after everything else, in the same picture.
  RecordingCanvas canvas(412, 686);
  MachineScene scene(sim, &canvas);
  scene.SetOverlay([&](Canvas& c) { DrawProgramOverlay(c, MappingOf(sim.state()), o); });
  scene.SceneRedraw();
  EXPECT_EQ(canvas.presented(), 1);
  std::vector<BgrColour> pens;
  for (const auto& call : canvas.calls())
    if (call.kind == RecordingCanvas::Kind::Polyline) pens.push_back(call.pen);
  EXPECT_EQ(pens, (std::vector<BgrColour>{kOverlayRapidColour, kOverlayRapidColour,
                                          kOverlayNoseColour, kOverlayContourColour}));
  EXPECT_EQ(canvas.calls().back().kind, RecordingCanvas::Kind::Polyline);
}

TEST_F(Overlay, ReadsThePartUnderThePointer) {
  const ViewMapping mapping = MappingOf(sim.state());
  const WorkpieceFrame frame = ReadoutFrame(sim);
  const PartProfile profile = ProfileOf(sim.stock(), frame);
  const double pixel = 10000 / mapping.scale;  // length units per pixel
  for (const std::int64_t r : {50000, -50000}) {
    SCOPED_TRACE(r);
    const ScreenPoint p = ModelToScreen(mapping, 1200000, r);
    const auto reading = ReadPartAt(mapping, profile, frame, p.x, p.y);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->diameter, 190000);
    EXPECT_NEAR(static_cast<double>(reading->z), -50000, pixel);
  }
  const ScreenPoint above = ModelToScreen(mapping, 1200000, 120000);
  EXPECT_FALSE(ReadPartAt(mapping, profile, frame, above.x, above.y));
  EXPECT_EQ(ReadoutText(PartReading{-50000, 190000}), "Z -5.000  Ø 19.000");
}

}  // namespace
}  // namespace soustruh
