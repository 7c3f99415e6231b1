#include "view/ViewMapping.h"

#include <gtest/gtest.h>

#include <limits>

#include "SceneTestMachine.h"

namespace soustruh {
namespace {

TEST(ViewMapping, ModelToScreenRoundsHalfToEven) {
  struct Case {
    const char* name;
    ViewMapping mapping;
    std::int64_t h, v;
    ScreenPoint screen;
  };
  const Case cases[] = {
      {"origin", {2, 10, 20}, 0, 0, {10, 20}},
      {"y grows downward", {2, 10, 20}, 10000, 10000, {12, 18}},
      {"x half rounds to even (down)", {1, 0, 0}, 5000, 0, {0, 0}},
      {"x half rounds to even (up)", {1, 0, 0}, 15000, 0, {2, 0}},
      {"negative half", {1, 0, 0}, -25000, -25000, {-2, 2}},
      {"just over half", {1, 0, 0}, 5001, 0, {1, 0}},
      {"fractional scale", {0.3, 4, 100}, 123456, -987654, {8, 130}},
      {"far beyond 32 bits is held",
       {150, std::numeric_limits<std::int32_t>::max(), 0},
       std::int64_t{1} << 40,
       0,
       {std::numeric_limits<std::int32_t>::max(), 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ModelToScreen(c.mapping, c.h, c.v), c.screen);
  }
}

TEST(ViewMapping, ScreenToModelInvertsWithTiesToEven) {
  struct Case {
    const char* name;
    ViewMapping mapping;
    std::int32_t x, y;
    std::optional<ClipPoint> model;
  };
  const Case cases[] = {
      {"not fitted", {0, 0, 0}, 5, 5, std::nullopt},
      {"whole pixels", {2, 10, 20}, 12, 18, ClipPoint{10000, 10000}},
      // 1 pixel at 8 px/mm is 1250 units; at 0.8 px/mm 12500.
      {"exact", {8, 0, 0}, 1, -1, ClipPoint{1250, 1250}},
      // 10000 / 3 = 3333.33, 20000 / 3 = 6666.67
      {"thirds", {3, 0, 0}, 1, -2, ClipPoint{3333, 6667}},
      // 10000 / 20000 = 0.5 → 0, 30000 / 20000 = 1.5 → 2
      {"half ties", {20000, 0, 0}, 1, -3, ClipPoint{0, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ScreenToModel(c.mapping, c.x, c.y), c.model);
  }
  // Round trip of the pixel grid.
  const ViewMapping mapping{1.7, 13, 411};
  for (std::int32_t x = -50; x <= 50; x += 7) {
    const std::optional<ClipPoint> model = ScreenToModel(mapping, x, 3 * x);
    ASSERT_TRUE(model);
    EXPECT_EQ(ModelToScreen(mapping, model->X, model->Y), (ScreenPoint{x, 3 * x}));
  }
}

TEST(ViewMapping, FirstFit) {
  DrawingBounds wide;  // 400 × 100 mm
  wide.minX = -1000000;
  wide.maxX = 3000000;
  wide.minY = -500000;
  wide.maxY = 500000;
  struct Case {
    const char* name;
    DrawingBounds bounds;
    double width, height;
    FitResult fit;
  };
  DrawingBounds line = wide;  // no height
  line.maxY = line.minY;
  DrawingBounds point = line;
  point.maxX = point.minX;
  const Case cases[] = {
      // (808 − 8) / 400 = 2 < (608 − 8) / 100 = 6: the width decides.
      {"wider than tall", wide, 808, 608, {{2, 4 + 200, 100 + 4}, true, false}},
      // (108 − 8) / 100 = 1 < 2: the height decides.
      {"taller than the picture allows", wide, 808, 108, {{1, 4 + 100, 50 + 4}, true, false}},
      {"no height: the width alone", line, 808, 608, {{2, 204, -100 + 4}, true, true}},
      {"a single point: the fallback scale",
       point,
       808,
       608,
       {{kFallbackViewScale, 4 + 400, -200 + 4}, true, true}},
      {"no drawing yet", DrawingBounds{}, 808, 608, {}},
      {"picture too small for the margins", wide, 8, 608, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FitResult fit = FirstFit(c.bounds, c.width, c.height);
    EXPECT_EQ(fit.fitted, c.fit.fitted);
    EXPECT_EQ(fit.degenerate, c.fit.degenerate);
    EXPECT_EQ(fit.mapping, c.fit.mapping);
  }
}

TEST(ViewMapping, RescalePanAndWheel) {
  // Twice the width doubles scale and origins, whatever the height does.
  EXPECT_EQ(RescaleView({1.5, 101, -7}, 400, 300, 800), (ViewMapping{3, 202, -14}));
  EXPECT_EQ(RescaleView({1.5, 101, -7}, 400, 300, 200), (ViewMapping{0.75, 50, -4}));
  // Rounding of the origins: 5 × 0.5 = 2.5 → 2, 7 × 0.5 = 3.5 → 4.
  EXPECT_EQ(RescaleView({1, 5, 7}, 400, 300, 200), (ViewMapping{0.5, 2, 4}));
  // No picture before: left alone.
  EXPECT_EQ(RescaleView({1.5, 101, -7}, 0, 300, 800), (ViewMapping{1.5, 101, -7}));
  EXPECT_EQ(RescaleView({1.5, 101, -7}, 400, 0, 800), (ViewMapping{1.5, 101, -7}));

  EXPECT_EQ(PanView({2, 10, 20}, -15, 7), (ViewMapping{2, -5, 27}));
  EXPECT_EQ(PanView({2, std::numeric_limits<std::int32_t>::max() - 1, 0}, 10, 0).originX,
            std::numeric_limits<std::int32_t>::max());

  // Five steps up from 100 px/mm: 110, 121, 133.1, 146.41, then held at 150.
  ViewMapping m{100, 0, 0};
  const double ups[] = {110, 121, 133.1, 146.41, 150};
  for (const double expected : ups) {
    m = *WheelZoom(m, 10, 10, 100, 100, true);
    EXPECT_NEAR(m.scale, expected, 1e-9);
  }
  m.scale = 0.32;
  m = *WheelZoom(m, 10, 10, 100, 100, false);
  EXPECT_EQ(m.scale, kMinWheelScale);

  // The model point under the cursor stays under it.
  const ViewMapping before{2, 100, 300};
  const ViewMapping after = *WheelZoom(before, 40, 250, 100, 300, true);
  const ClipPoint under = *ScreenToModel(before, 40, 250);
  EXPECT_EQ(ModelToScreen(after, under.X, under.Y), (ScreenPoint{40, 250}));

  struct Outside {
    const char* name;
    std::int32_t x, y;
  };
  const Outside outside[] = {{"last column", 99, 10},
                             {"last row", 10, 99},
                             {"left", -1, 10},
                             {"above", 10, -1},
                             {"right", 150, 10}};
  for (const Outside& o : outside) {
    SCOPED_TRACE(o.name);
    EXPECT_FALSE(WheelZoom({2, 0, 0}, o.x, o.y, 100, 100, true));
  }
  EXPECT_FALSE(WheelZoom({0, 0, 0}, 10, 10, 100, 100, true));  // not fitted yet
}

class Navigation : public test::SceneTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(sim.Start(), StartupStatus::Loaded);
    host.messages.clear();
  }
};

TEST_F(Navigation, FirstResizeFitsThenRescales) {
  // The hand-drawn machine spans −200..500 × −200..300 mm: 700 × 500.
  const std::uint64_t redraws = scene.redrawCount();
  ViewNavigator navigator(sim);
  navigator.FormResize(0, 0, 708, 508);
  EXPECT_EQ(MappingOf(sim.state()), (ViewMapping{1, 204, 304}));
  navigator.FormResize(708, 508, 1416, 100);
  EXPECT_EQ(MappingOf(sim.state()), (ViewMapping{2, 408, 608}));
  navigator.FormResize(0, 0, 300, 300);  // a minimised window had no picture
  EXPECT_EQ(MappingOf(sim.state()), (ViewMapping{2, 408, 608}));
  EXPECT_EQ(scene.redrawCount(), redraws + 3);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(Navigation, DegenerateDrawingFallsBackAndIsReportedOnce) {
  sim.data().bounds.maxY = sim.data().bounds.minY;
  ViewNavigator navigator(sim);
  navigator.FormResize(0, 0, 708, 508);
  EXPECT_EQ(MappingOf(sim.state()), (ViewMapping{1, 204, -196}));
  sim.state().ViewScale = 0;  // as if never fitted: the fit runs again
  navigator.FormResize(0, 0, 708, 508);
  EXPECT_EQ(host.messages, (std::vector<std::string>{kDegenerateDrawingMessage}));
}

TEST_F(Navigation, ResizeBeforeTheDrawingIsLoadedOnlyRedraws) {
  sim.data().bounds = DrawingBounds{};
  ViewNavigator navigator(sim);
  const std::uint64_t redraws = scene.redrawCount();
  navigator.FormResize(0, 0, 708, 508);
  EXPECT_EQ(sim.state().ViewScale, 0);
  EXPECT_EQ(scene.redrawCount(), redraws + 1);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(Navigation, MiddleButtonPansAndWheelZooms) {
  ViewNavigator navigator(sim);
  navigator.FormResize(0, 0, 708, 508);
  const ViewMapping fitted = MappingOf(sim.state());

  navigator.I_StrojMouseDown(MouseButton::Left, 10, 10);
  navigator.I_StrojMouseMove(false, 50, 60);  // left or right drag: no pan
  navigator.I_StrojMouseDown(MouseButton::Right, 10, 10);
  navigator.I_StrojMouseMove(false, 50, 60);
  EXPECT_EQ(MappingOf(sim.state()), fitted);

  navigator.I_StrojMouseDown(MouseButton::Middle, 100, 100);
  navigator.I_StrojMouseMove(true, 110, 95);
  navigator.I_StrojMouseMove(true, 120, 97);
  EXPECT_EQ(MappingOf(sim.state()), (ViewMapping{1, fitted.originX + 20, fitted.originY - 3}));
  EXPECT_EQ(navigator.panAnchor(), (ScreenPoint{120, 97}));

  const std::uint64_t redraws = scene.redrawCount();
  EXPECT_FALSE(navigator.MouseWheel(true, 707, 10, 708, 508));
  EXPECT_EQ(scene.redrawCount(), redraws);
  EXPECT_TRUE(navigator.MouseWheel(true, 300, 200, 708, 508));
  EXPECT_NEAR(sim.state().ViewScale, 1.1, 1e-12);
  EXPECT_EQ(scene.redrawCount(), redraws + 1);
}

}  // namespace
}  // namespace soustruh
