#include "view/QuillContact.h"

#include <gtest/gtest.h>

#include "view/Clipping.h"
#include "view/LineGeometry.h"

namespace soustruh {
namespace {

constexpr std::int32_t kTipX = 3000000;  // tip at Z 300 mm when W = 0
constexpr std::int32_t kMinW = 500000;
constexpr std::int32_t kMaxW = 2900000;

TEST(LineGeometry, CoefficientsAndIntersection) {
  // Through (1, 2) and (3, 2) mm given in length units: −2·r + 4 = 0.
  const LineEquation line = LineCoefficients({10000, 20000}, {30000, 20000}, 10000);
  EXPECT_NEAR(static_cast<double>(line.a), 0, 1e-15);
  EXPECT_NEAR(static_cast<double>(line.b), -2, 1e-15);
  EXPECT_NEAR(static_cast<double>(line.c), 4, 1e-15);

  struct Case {
    const char* name;
    LineEquation first, second;
    std::optional<PlanePoint> point;
  };
  const Case cases[] = {
      {"crossing", {1, -1, 0}, {1, 1, -2}, PlanePoint{1, 1}},
      {"first degenerate", {0, 0, 5}, {1, 1, -2}, {}},
      {"second nearly degenerate", {1, -1, 0}, {1e-9L, -1e-9L, 1}, {}},
      {"small but not degenerate", {1e-9L, 1, -3}, {1, 0, -2}, PlanePoint{2, 3}},
      {"parallel", {1, 2, 0}, {2, 4, 7}, {}},
      {"same line", {1, 2, 3}, {1, 2, 3}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<PlanePoint> point = LineIntersection(c.first, c.second);
    ASSERT_EQ(point.has_value(), c.point.has_value());
    if (point) {
      EXPECT_NEAR(static_cast<double>(point->z), static_cast<double>(c.point->z), 1e-6);
      EXPECT_NEAR(static_cast<double>(point->r), static_cast<double>(c.point->r), 1e-6);
    }
  }
}

TEST(QuillContact, FaceFromEdgesCrossingTheAxis) {
  const TPolygon box{{1500000, -50000}, {1500000, 50000}, {1000000, 50000}, {1000000, -50000}};
  struct Case {
    const char* name;
    StockSection stock;
    long double face;
  };
  const Case cases[] = {
      {"no stock", {}, 0},
      {"rectangle", {box}, 1500000},
      // The clipping engine's order: the face is the closing edge.
      {"face as the closing edge",
       {{{1500000, 50000}, {1000000, 50000}, {1000000, -50000}, {1500000, -50000}}},
       1500000},
      // The sloping edge's line meets the axis at 1800000, outside its own Z range 1.9..2.0 M.
      {"sloping edge beyond its range",
       {{{1000000, -50000},
         {1500000, -50000},
         {1500000, 10000},
         {1900000, 10000},
         {2000000, 20000},
         {1000000, 20000}}},
       1500000},
      {"slanted point, edge toward +Z",
       {{{1000000, -50000}, {1400000, -50000}, {1600000, 0}, {1400000, 50000}, {1000000, 50000}}},
       1600000},
      {"slanted face running toward the chuck",
       {{{1000000, -50000}, {1000000, 50000}, {1600000, 50000}, {1400000, -50000}}},
       1500000},
      {"edge along the axis does not cross it", {{{0, 0}, {2000000, 0}, {2000000, 0}}}, 0},
      {"stock behind Z 0", {{{-100000, -5}, {-100000, 5}, {-200000, 5}, {-200000, -5}}}, 0},
      {"two polygons", {box, {{2200000, -1}, {2200000, 1}, {2100000, 1}}}, 2200000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(static_cast<double>(StockFaceZ(c.stock)), static_cast<double>(c.face), 1e-6);
  }

  // After a cut and the mirror trim the section comes back from the engine; its face must stay.
  const TPolygon mirror{{1500000, 50000}, {1500000, -50000}, {1000000, -50000}, {1000000, 50000}};
  const ClipResult trimmed = ClipIntersection(box, mirror);
  ASSERT_TRUE(trimmed.Ok());
  EXPECT_EQ(StockFaceZ(trimmed.polygons), 1500000);
}

TEST(QuillContact, QuillAdvancingStopsOnTheFace) {
  // Stock face at Z 150 mm; the quill advances 1 mm per step from MinW (tip at 250 mm).
  const StockSection stock{
      {{1500000, -95000}, {1500000, 95000}, {700000, 95000}, {700000, -95000}}};
  std::int32_t w = kMinW;
  QuillContactResult result = QuillContactCheck(stock, kTipX, w, kMinW);
  EXPECT_EQ(result.quillState, 20);
  EXPECT_EQ(result.lamp, QuillLamp::Green);
  int steps = 0;
  for (; steps < 300 && !result.contact; ++steps) {
    w += 10000 + 3;  // an uneven step so the tip passes the face between two checks
    result = QuillContactCheck(stock, kTipX, w, kMinW);
    if (!result.contact) {
      EXPECT_EQ(result.quillState, -1);
      EXPECT_EQ(result.lamp, QuillLamp::Red);
      EXPECT_FALSE(result.targetW);
    }
  }
  ASSERT_TRUE(result.contact);
  EXPECT_EQ(result.w, kTipX - 1500000);
  EXPECT_EQ(result.targetW, kTipX - 1500000);
  EXPECT_EQ(result.quillState, 21);
  EXPECT_EQ(result.lamp, QuillLamp::Green);
}

TEST(QuillContact, StatesWithoutContact) {
  const StockSection none;
  const StockSection slanted{
      {{1000000, -50000}, {1400000, -50000}, {1400001, 50000}, {1000000, 50000}}};
  struct Case {
    const char* name;
    const StockSection& stock;
    std::int32_t w;
    bool contact;
    std::int32_t newW;
    int state;
  };
  const Case cases[] = {
      {"retracted, no stock", none, kMinW, false, kMinW, 20},
      {"half way, no stock", none, 1500000, false, 1500000, -1},
      {"fully forward, no stock", none, kMaxW, false, kMaxW, -1},
      {"tip just outside the face", slanted, kTipX - 1400001, false, kTipX - 1400001, -1},
      // Face at 1400000.5 (from the sloping edge) rounds to even: 1400000.
      {"tip inside a half-unit face", slanted, kTipX - 1300000, true, kTipX - 1400000, 21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QuillContactResult result = QuillContactCheck(c.stock, kTipX, c.w, kMinW);
    EXPECT_EQ(result.contact, c.contact);
    EXPECT_EQ(result.w, c.newW);
    EXPECT_EQ(result.targetW.has_value(), c.contact);
    EXPECT_EQ(result.quillState, c.state);
    EXPECT_EQ(result.lamp, c.state == -1 ? QuillLamp::Red : QuillLamp::Green);
  }
}

}  // namespace
}  // namespace soustruh
