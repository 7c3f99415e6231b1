#include "view/ChuckBuilder.h"

#include <gtest/gtest.h>

#include <vector>

#include "SceneTestMachine.h"
#include "view/MaterialRemoval.h"
#include "view/ShapeList.h"

namespace soustruh {
namespace {

using test::kMm;

struct Polygon {
  std::int32_t flag;
  BgrColour pen, brush;
  std::vector<ShapeEntry> points;
};

std::vector<Polygon> Polygons(const TUtvar& shapes) {
  std::vector<Polygon> polygons;
  ForEachShapePolygon(shapes, [&](const ShapePolygon& p) {
    polygons.push_back({p.flag, p.pen, p.brush, {p.points.begin(), p.points.end()}});
  });
  return polygons;
}

std::vector<std::int32_t> Verticals(const std::vector<ShapeEntry>& points) {
  std::vector<std::int32_t> v;
  for (const ShapeEntry& p : points) v.push_back(p.y);
  return v;
}

std::vector<std::int32_t> Horizontals(const std::vector<ShapeEntry>& points) {
  std::vector<std::int32_t> h;
  for (const ShapeEntry& p : points) h.push_back(p.x);
  return h;
}

// Body Z 0..50 mm, diameter 100; jaws from Z 40 to 80 with steps at 20 and 30 mm, 30 mm high,
// steps 8 and 16 mm deep, 20 mm thick.
MachineConfig ChuckConfig(int jaws) {
  MachineConfig c;
  c.Sklicidlo_D = 100 * kMm;
  c.Sklicidlo_L = 50 * kMm;
  c.Sklicidlo_Z = 0;
  c.Celist_L1 = 20 * kMm;
  c.Celist_H1 = 8 * kMm;
  c.Celist_L2 = 30 * kMm;
  c.Celist_H2 = 16 * kMm;
  c.Celist_L3 = 40 * kMm;
  c.Celist_H3 = 30 * kMm;
  c.Celist_tl = 20 * kMm;
  c.Cel_L_sklic = 80 * kMm;
  c.Poc_celisti = jaws;
  c.Sklic_Cara = 0x010101;
  c.Sklic_Vypln = 0x020202;
  c.Sklic_Stin = 0x030303;
  return c;
}

// A stock of 50 mm: the jaws (top at 25 + 30 mm) stand out above the body (50 mm).
constexpr std::int32_t kThickStock = 25 * kMm;
const std::vector<ShapeEntry> kUpperJaw = {
    {400000, 550000}, {600000, 550000}, {600000, 470000}, {700000, 470000}, {700000, 390000},
    {800000, 390000}, {800000, 250000}, {500000, 250000}, {500000, 500000}, {400000, 500000}};

TEST(ChuckBuild, StationaryWithFourJawsMirrorsTheUpperJaw) {
  TUtvar chuck;
  ASSERT_TRUE(BuildChuck(ChuckConfig(4), kThickStock, ChuckForm::Stationary, 5, chuck));
  const std::vector<Polygon> p = Polygons(chuck);
  ASSERT_EQ(p.size(), 6u);
  for (const Polygon& polygon : p) {
    EXPECT_EQ(polygon.flag, 0);
    EXPECT_EQ(polygon.pen, 0x010101);
  }
  EXPECT_EQ(p[0].points, (std::vector<ShapeEntry>{
                             {0, 500000}, {500000, 500000}, {500000, -500000}, {0, -500000}}));
  EXPECT_EQ(p[0].brush, 0x020202);
  EXPECT_EQ(p[1].points, kUpperJaw);
  EXPECT_EQ(p[1].brush, 0x020202);
  EXPECT_EQ(Horizontals(p[2].points), Horizontals(kUpperJaw));
  for (std::size_t i = 0; i < kUpperJaw.size(); ++i) EXPECT_EQ(p[2].points[i].y, -kUpperJaw[i].y);
  // The bands under the three steps span ±(thickness div 2) about the axis.
  const std::int32_t spans[3][2] = {{400000, 600000}, {600000, 700000}, {700000, 800000}};
  for (std::size_t band = 0; band < 3; ++band) {
    SCOPED_TRACE(band);
    const auto [left, right] = spans[band];
    EXPECT_EQ(p[3 + band].brush, 0x030303);
    EXPECT_EQ(p[3 + band].points,
              (std::vector<ShapeEntry>{
                  {left, 100000}, {right, 100000}, {right, -100000}, {left, -100000}}));
  }
}

TEST(ChuckBuild, StationaryWithThreeJawsShiftsTheLowerJawAndHangsTheBands) {
  TUtvar chuck;
  ASSERT_TRUE(BuildChuck(ChuckConfig(3), kThickStock, ChuckForm::Stationary, 5, chuck));
  const std::vector<Polygon> p = Polygons(chuck);
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[1].points, kUpperJaw);
  // −0.5 × radius + 10 mm × cos 30° (86602.54), rounded.
  EXPECT_EQ(Verticals(p[2].points),
            (std::vector<std::int32_t>{-188397, -188397, -148397, -148397, -108397, -108397, -38397,
                                       -38397, -163397, -163397}));
  EXPECT_EQ(Horizontals(p[2].points), Horizontals(kUpperJaw));
  // Each band hangs round(20 mm × cos 30°) = 173205 below the lower jaw's step.
  const std::int32_t tops[3] = {-188397, -148397, -108397};
  for (std::size_t band = 0; band < 3; ++band) {
    SCOPED_TRACE(band);
    EXPECT_EQ(Verticals(p[3 + band].points),
              (std::vector<std::int32_t>{tops[band], tops[band], tops[band] - 173205,
                                         tops[band] - 173205}));
  }
}

TEST(ChuckBuild, ThinStockGivesEightPointJawsFromTheBodyFace) {
  TUtvar chuck;
  // 9.5 + 30 mm ≤ 50 mm: the jaw does not stand out above the body.
  ASSERT_TRUE(BuildChuck(ChuckConfig(4), 95000, ChuckForm::Stationary, 5, chuck));
  const std::vector<Polygon> p = Polygons(chuck);
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[1].points, (std::vector<ShapeEntry>{{500000, 395000},
                                                  {600000, 395000},
                                                  {600000, 315000},
                                                  {700000, 315000},
                                                  {700000, 235000},
                                                  {800000, 235000},
                                                  {800000, 95000},
                                                  {500000, 95000}}));
  EXPECT_EQ(p[2].points.size(), 8u);
  EXPECT_EQ(Horizontals(p[3].points), (std::vector<std::int32_t>{500000, 600000, 600000, 500000}));
  // Exactly at the body's radius counts as not standing out.
  ASSERT_TRUE(BuildChuck(ChuckConfig(4), 20 * kMm, ChuckForm::Stationary, 5, chuck));
  EXPECT_EQ(Polygons(chuck)[1].points.size(), 8u);
  ASSERT_TRUE(BuildChuck(ChuckConfig(4), 20 * kMm + 1, ChuckForm::Stationary, 5, chuck));
  EXPECT_EQ(Polygons(chuck)[1].points.size(), 10u);
}

TEST(ChuckBuild, RotatingShowsTheEnvelopeAndAnArrowForTheDirection) {
  struct Case {
    const char* name;
    std::int32_t stockRadius;
    int spindle;
    std::int32_t bodyEnd;   // the body cut back to the jaw's back end when that lies inside
    std::int32_t arrowTip;  // the tip's vertical: down for M03, up for M04
  };
  const Case cases[] = {
      {"M03, jaw back inside the body", kThickStock, kSpindleM03, 400000, -400000},
      {"M04", kThickStock, kSpindleM04, 400000, 400000},
      {"M03, thin stock: the jaw starts at the face", 95000, kSpindleM03, 500000, -400000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TUtvar chuck;
    ASSERT_TRUE(BuildChuck(ChuckConfig(3), c.stockRadius, ChuckForm::Rotating, c.spindle, chuck));
    EXPECT_EQ(chuck.size(), 29u);
    const std::vector<Polygon> p = Polygons(chuck);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(Horizontals(p[0].points), (std::vector<std::int32_t>{0, c.bodyEnd, c.bodyEnd, 0}));
    ASSERT_EQ(p[1].points.size(), 12u);
    for (std::size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(p[1].points[11 - i].x, p[1].points[i].x);
      EXPECT_EQ(p[1].points[11 - i].y, -p[1].points[i].y);
    }
    EXPECT_EQ(p[1].points[5].x, 800000);  // the jaws' front
    ASSERT_EQ(p[2].points.size(), 7u);
    EXPECT_EQ(p[2].brush, 0x030303);
    const std::int32_t m = c.bodyEnd / 2;
    EXPECT_EQ(p[2].points[4], (ShapeEntry{m, c.arrowTip}));
    EXPECT_EQ(p[2].points[0].x, m - 20000);
    EXPECT_EQ(p[2].points[3].x, m + 70000);
  }
}

TEST(ChuckBuild, TooShortJawsBuildNothing) {
  MachineConfig config = ChuckConfig(3);
  config.Celist_L3 = 50 * kMm;  // x0 = 30: the first step at 50 lies on the body's face
  TUtvar chuck = {{1, 2}};
  EXPECT_FALSE(BuildChuck(config, kThickStock, ChuckForm::Stationary, 5, chuck));
  EXPECT_TRUE(chuck.empty());
  config.Celist_L3 = 50 * kMm - 1;
  EXPECT_TRUE(BuildChuck(config, kThickStock, ChuckForm::Rotating, 3, chuck));
}

TEST(ChuckBuild, FormFollowsSpindleAlarmsErrorsAndDryRun) {
  AlarmSet none;
  AlarmSet travel;
  travel.Add(AlarmKind::TravelEnd);
  struct Case {
    const char* name;
    int spindle;
    AlarmSet alarms;
    bool error, dryRun;
    ChuckForm form;
  };
  const Case cases[] = {
      {"M03", 3, none, false, false, ChuckForm::Rotating},
      {"M04", 4, none, false, false, ChuckForm::Rotating},
      {"M05", 5, none, false, false, ChuckForm::Stationary},
      {"alarm with M03", 3, travel, false, false, ChuckForm::Stationary},
      {"interpreter error with M04", 4, none, true, false, ChuckForm::Stationary},
      {"dry run with M03", 3, none, false, true, ChuckForm::Stationary},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ChuckFormFor(c.spindle, c.alarms, c.error, c.dryRun), c.form);
  }
}

}  // namespace
}  // namespace soustruh
