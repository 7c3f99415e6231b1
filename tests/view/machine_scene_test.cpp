#include "view/MachineScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "SceneTestMachine.h"
#include "nc/FunctionGroups.h"
#include "support/SimulatorFixture.h"
#include "view/ChuckBuilder.h"
#include "view/ViewMapping.h"

namespace soustruh {
namespace {

using test::kMm;
using test::SceneTest;

TEST(ClippedPolygonDraw, ClipsToThePictureWidenedByOnePixel) {
  struct Case {
    const char* name;
    std::vector<ScreenPoint> polygon;
    std::vector<ScreenPoint> drawn;  // as a set of corners; empty: nothing drawn
  };
  const Case cases[] = {
      {"inside",
       {{10, 10}, {20, 10}, {20, 20}, {10, 20}},
       {{10, 10}, {20, 10}, {20, 20}, {10, 20}}},
      {"across the left edge",
       {{-50, 10}, {50, 10}, {50, 20}, {-50, 20}},
       {{-1, 10}, {50, 10}, {50, 20}, {-1, 20}}},
      {"covering everything",
       {{-500, -500}, {500, -500}, {500, 500}, {-500, 500}},
       {{-1, -1}, {101, -1}, {101, 81}, {-1, 81}}},
      {"wholly outside", {{200, 10}, {300, 10}, {300, 20}}, {}},
      {"only touching the widened edge", {{101, 10}, {300, 10}, {300, 20}, {101, 20}}, {}},
  };
  ClipDrawBuffers buffers;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas(100, 80);
    canvas.SetPen(0x111111);
    canvas.SetBrush(0x222222);
    ASSERT_TRUE(ClippedPolygonDraw(canvas, c.polygon, buffers));
    if (c.drawn.empty()) {
      EXPECT_TRUE(canvas.calls().empty());
      continue;
    }
    ASSERT_EQ(canvas.calls().size(), 1u);
    const auto& call = canvas.calls()[0];
    EXPECT_EQ(call.pen, 0x111111);
    EXPECT_EQ(call.brush, 0x222222);
    const auto points = canvas.Points(call);
    std::vector<ScreenPoint> drawn(points.begin(), points.end());
    std::vector<ScreenPoint> expected = c.drawn;
    const auto less = [](ScreenPoint a, ScreenPoint b) {
      return a.x != b.x ? a.x < b.x : a.y < b.y;
    };
    std::sort(drawn.begin(), drawn.end(), less);
    std::sort(expected.begin(), expected.end(), less);
    EXPECT_EQ(drawn, expected);
  }
}

TEST(ClippedPolygonDraw, TenthsRoundHalfToEven) {
  const std::pair<std::int64_t, std::int64_t> cases[] = {
      {0, 0},    {14, 1},   {15, 2},   {16, 2},   {25, 2},   {35, 4}, {-14, -1},
      {-15, -2}, {-16, -2}, {-25, -2}, {-35, -4}, {-10, -1}, {-5, 0}, {5, 0}};
  for (const auto& [tenths, whole] : cases) {
    SCOPED_TRACE(tenths);
    EXPECT_EQ(DivideByTenRounded(tenths), whole);
  }
}

std::vector<BgrColour> PolygonBrushes(const RecordingCanvas& canvas) {
  std::vector<BgrColour> brushes;
  for (const auto& call : canvas.calls())
    if (call.kind == RecordingCanvas::Kind::Polygon) brushes.push_back(call.brush);
  return brushes;
}

TEST_F(SceneTest, DrawsTheBackgroundAndTheTenPartsBackToFront) {
  StartMachine();
  UseTool(-1);
  PlaceCarriage(200 * kMm, 100 * kMm);
  canvas.Clear();
  const int presented = canvas.presented();
  sim.SceneRedraw();
  ASSERT_FALSE(canvas.calls().empty());
  const auto& background = canvas.calls()[0];
  EXPECT_EQ(background.kind, RecordingCanvas::Kind::Rect);
  EXPECT_EQ(background.pen, kWhite);
  EXPECT_EQ(background.brush, kWhite);
  EXPECT_EQ(
      std::vector<ScreenPoint>(canvas.Points(background).begin(), canvas.Points(background).end()),
      (std::vector<ScreenPoint>{{0, 0}, {800, 600}}));
  // The reference alarm is pending: the chuck stands still (body, two jaws, three bands).
  EXPECT_EQ(PolygonBrushes(canvas),
            (std::vector<BgrColour>{
                test::kFrameFill, test::kSlideZFill, test::kSlideXFill, 0x0000A0, test::kToolFill,
                test::kHeadFill, test::kQuillFill, test::kTailstockFill, test::kCoversFill,
                test::kSpindleFill, test::kStockFill, test::kChuckFill, test::kChuckFill,
                test::kChuckFill, test::kChuckShade, test::kChuckShade, test::kChuckShade}));
  EXPECT_EQ(canvas.presented(), presented + 1);
  // The stock is drawn as it is, mapped: Z 65..125 mm, radius ±9.5 mm.
  const auto stock = canvas.CallsWithBrush(test::kStockFill);
  ASSERT_EQ(stock.size(), 1u);
  EXPECT_EQ(stock[0].pen, test::kStockPen);
  const auto corners = canvas.Points(stock[0]);
  EXPECT_EQ(std::vector<ScreenPoint>(corners.begin(), corners.end()),
            (std::vector<ScreenPoint>{{425, 310}, {425, 290}, {365, 290}, {365, 310}}));
}

TEST_F(SceneTest, StockIsNotClippedButPartsAre) {
  StartMachine();
  sim.state().ViewScale = 100;  // the 60 mm stock spans 6000 pixels
  canvas.Clear();
  sim.SceneRedraw();
  for (const auto& call : canvas.calls()) {
    if (call.kind != RecordingCanvas::Kind::Polygon) continue;
    const auto points = canvas.Points(call);
    const bool inside = std::all_of(points.begin(), points.end(), [](ScreenPoint p) {
      return p.x >= -1 && p.x <= 801 && p.y >= -1 && p.y <= 601;
    });
    EXPECT_EQ(inside, call.brush != test::kStockFill);
  }
}

TEST_F(SceneTest, CarriageCollisionStopsTheMachine) {
  StartMachine();
  MachineState& s = sim.state();
  s.Alarms.Clear();
  s.Active.M[kMSpindle] = kSpindleM03;
  sim.ChuckBuild();
  ASSERT_EQ(sim.data().drawing[SKLICIDLO].size(), 29u);  // turning
  s.ProgramRunning = true;
  s.MotionDone = false;
  PlaceCarriage(-30 * kMm, -30 * kMm);  // the X slide in the spindle
  canvas.Clear();
  sim.SceneRedraw();
  EXPECT_TRUE(s.Alarms.Has(AlarmKind::Reference));
  EXPECT_TRUE(s.Alarms.Has(AlarmKind::DriveSync));
  EXPECT_TRUE(s.MotionDone);
  EXPECT_FALSE(s.ProgramRunning);
  EXPECT_EQ(s.Status.text, AlarmText(AlarmKind::DriveSync));
  // Rebuilt stationary at once, and drawn so in the same picture.
  EXPECT_EQ(canvas.CallsWithBrush(test::kChuckShade).size(), 3u);
}

TEST_F(SceneTest, InsertContactWhereCuttingIsNotPermitted) {
  struct Case {
    const char* name;
    int spindle;
    bool automatDryRun;
    bool crash;
  };
  const Case cases[] = {
      {"M03 cuts on both sides", kSpindleM03, false, false},
      {"spindle stopped", kSpindleStopped, false, true},
      {"M04 with an insert needing M03", kSpindleM04, false, true},
      {"dry run in AUTOMAT", kSpindleM03, true, true},
  };
  StartMachine();
  MachineState& s = sim.state();
  UseTool(-1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.stock() = {StockBuild(450000, 190000, sim.config())};
    s.ToolWasTouching = false;
    s.Alarms.Clear();
    s.Active.M[kMSpindle] = c.spindle;
    s.Mode = c.automatDryRun ? ControlMode::Automat : ControlMode::Manual;
    s.SoftKeys[3] = c.automatDryRun;
    PlaceCarriage(100 * kMm, 12 * kMm);
    sim.SceneRedraw();
    PlaceCarriage(100 * kMm, 9 * kMm);
    sim.SceneRedraw();
    EXPECT_EQ(s.Alarms.Has(AlarmKind::DriveSync), c.crash);
    EXPECT_EQ(s.Alarms.Has(AlarmKind::Reference), c.crash);
    // 2 × 0.5 mm cut at the top; at the bottom only when permitted.
    long double top = 0;
    long double bottom = 0;
    for (const TPolygon& p : sim.stock())
      for (const ClipPoint& q : p) {
        top = std::max<long double>(top, static_cast<long double>(q.Y));
        bottom = std::min<long double>(bottom, static_cast<long double>(q.Y));
      }
    EXPECT_EQ(top, 95000);
    const TPolygon notchTop = {
        {995000, 92000}, {1005000, 92000}, {1005000, 93000}, {995000, 93000}};
    const TPolygon notchBottom = {
        {995000, -93000}, {1005000, -93000}, {1005000, -92000}, {995000, -92000}};
    EXPECT_TRUE(ClipIntersection(sim.stock(), notchTop).polygons.empty());
    EXPECT_EQ(ClipIntersection(sim.stock(), notchBottom).polygons.empty(), !c.crash);
  }
}

TEST_F(SceneTest, WrongChuckDimensionsAreReportedOnceAndNoChuckIsDrawn) {
  std::vector<std::string> lines = test::SceneTestMachineLines();
  std::replace(lines.begin(), lines.end(), std::string("Celist_L3 = 40"),
               std::string("Celist_L3 = 60"));
  ASSERT_EQ(WriteLines(dir.path() / "GeoStroj.dat", lines), "");
  ASSERT_EQ(sim.Start(), StartupStatus::Loaded);
  EXPECT_EQ(std::count(host.messages.begin(), host.messages.end(), kChuckDimensionsMessage), 1);
  host.messages.clear();
  sim.state().Active.M[kMSpindle] = kSpindleM03;
  sim.ChuckBuild();
  sim.state().Active.M[kMSpindle] = kSpindleStopped;
  sim.ChuckBuild();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(sim.data().drawing[SKLICIDLO].empty());

  sim.state().ViewScale = 1;
  sim.state().ViewOriginX = sim.state().ViewOriginY = 300;
  sim.state().Alarms.Clear();
  PlaceCarriage(60 * kMm, -25 * kMm);  // where the jaws would be
  canvas.Clear();
  sim.SceneRedraw();
  EXPECT_TRUE(canvas.CallsWithBrush(test::kChuckFill).empty());
  EXPECT_FALSE(sim.state().Alarms.Has(AlarmKind::DriveSync));
}

TEST_F(SceneTest, ClippingFailureIsReportedOnceAndDrawingGoesOn) {
  StartMachine();
  TPolygon huge = {{0, 0}, {std::numeric_limits<std::int64_t>::max(), 0}, {0, 10}};
  sim.stock().push_back(huge);
  UseTool(-1);
  PlaceCarriage(100 * kMm, 9 * kMm);
  const int presented = canvas.presented();
  for (int tick = 0; tick < 3; ++tick) sim.SceneRedraw();
  EXPECT_EQ(host.messages, (std::vector<std::string>{ClipRangeError}));
  EXPECT_EQ(canvas.presented(), presented + 3);
  EXPECT_FALSE(sim.state().Alarms.Has(AlarmKind::DriveSync));
}

TEST_F(SceneTest, NoCanvasStillCutsAndTests) {
  StartMachine();
  scene.SetCanvas(nullptr);
  canvas.Clear();
  sim.state().Alarms.Clear();
  PlaceCarriage(-30 * kMm, -30 * kMm);
  sim.SceneRedraw();
  EXPECT_TRUE(sim.state().Alarms.Has(AlarmKind::DriveSync));
  EXPECT_TRUE(canvas.calls().empty());
}

// On the bundled machine: a move shorter than a pixel gives no redraw until the pixel changes.
class SubPixelMotion : public test::SimulatorFixture {};

TEST_F(SubPixelMotion, RedrawsOnlyWhenTheCarriagePixelChanges) {
  RecordingCanvas canvas(800, 600);
  MachineScene scene(sim, &canvas);
  sim.SetScene(&scene);
  StartMachine();
  ViewNavigator(sim).FormResize(0, 0, 800, 600);
  Reference();
  const double scale = sim.state().ViewScale;
  ASSERT_GT(scale, 0.5);
  ASSERT_LT(scale, 2.5);
  const std::uint64_t before = scene.redrawCount();
  const std::uint32_t start = host.Now();
  // 0.4 mm at 10 mm/min: 2.4 s, some 48 ticks, under one pixel of travel.
  ASSERT_TRUE(Mdi("G91 G01 Z-0.4 F10"));
  const std::uint32_t ticks = (host.Now() - start) / 50;
  EXPECT_GT(ticks, 40u);
  EXPECT_LE(scene.redrawCount() - before, 3u) << ticks << " ticks at " << scale << " px/mm";
  EXPECT_GT(scene.redrawCount() - before, 0u);
  sim.SetScene(nullptr);
}

}  // namespace
}  // namespace soustruh
