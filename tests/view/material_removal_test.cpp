#include "view/MaterialRemoval.h"

#include <gtest/gtest.h>

#include <cmath>

#include "SceneTestMachine.h"
#include "view/ShapeList.h"

namespace soustruh {
namespace {

using test::kMm;
using test::TestTool;

TPolygon Rect(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top) {
  return {{left, bottom}, {right, bottom}, {right, top}, {left, top}};
}

long double Area(const TPolygons& polygons) {
  long double twice = 0;
  for (const TPolygon& p : polygons)
    for (std::size_t i = 0; i < p.size(); ++i) {
      const ClipPoint& a = p[i];
      const ClipPoint& b = p[(i + 1) % p.size()];
      twice += static_cast<long double>(a.X) * static_cast<long double>(b.Y) -
               static_cast<long double>(b.X) * static_cast<long double>(a.Y);
    }
  return std::fabs(twice) / 2;
}

// Area in square millimetres.
double AreaMm2(const TPolygons& polygons) {
  return static_cast<double>(Area(polygons) / (static_cast<long double>(kMm) * kMm));
}

// Whether material is left around a point (a 0.1 mm square about it), coordinates in mm.
bool MaterialAt(const StockSection& stock, double zMm, double rMm) {
  const auto z = static_cast<std::int64_t>(zMm * kMm);
  const auto r = static_cast<std::int64_t>(rMm * kMm);
  return !ClipIntersection(stock, Rect(z - 500, r - 500, z + 500, r + 500)).polygons.empty();
}

TEST(ToolOutlines, PickedByTheFirstFlagAndPlacedAtTheCarriage) {
  struct Case {
    const char* name;
    TUtvar tool;
    bool insert, holder;
    std::int32_t flag;
  };
  TUtvar unknown = TestTool(-1);
  unknown[0].y = 2;
  TUtvar truncated = TestTool(-1);
  truncated.resize(8);  // the insert only: the holder's polygon is missing
  const Case cases[] = {
      {"insert first (OL, OP)", TestTool(-1), true, true, -1},
      {"no insert", TestTool(0), false, true, 0},
      {"insert second (L, P)", TestTool(1), true, true, 1},
      {"unknown layout", unknown, false, false, 2},
      {"empty tool", {}, false, false, 0},
      {"list too short for the holder", truncated, true, false, -1},
  };
  ToolOutlines outlines;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // X is a diameter: 2 × 30.0001 mm + 1 unit still gives the radius 30.0001 mm.
    ExtractToolOutlines(c.tool, 2 * 300001 + 1, 1000000, outlines);
    EXPECT_EQ(outlines.insertFlag, c.flag);
    if (c.insert) {
      EXPECT_EQ(outlines.insert, Rect(1000000 - kMm, 300001, 1000000 + kMm, 300001 + 2 * kMm));
    } else {
      EXPECT_TRUE(outlines.insert.empty());
    }
    if (c.holder) {
      EXPECT_EQ(outlines.holder,
                Rect(1000000 - kMm, 300001 + 2 * kMm, 1000000 + kMm, 300001 + 40 * kMm));
    } else {
      EXPECT_TRUE(outlines.holder.empty());
    }
  }
}

TEST(CuttingPermitted, SpindleDirectionAndDryRun) {
  struct Case {
    std::int32_t flag;
    int spindle;
    bool dryRun, permitted;
  };
  const Case cases[] = {
      {-1, kSpindleM03, false, true},      {-1, kSpindleM04, false, false},
      {1, kSpindleM04, false, true},       {1, kSpindleM03, false, false},
      {-1, kSpindleStopped, false, false}, {1, kSpindleStopped, false, false},
      {-1, kSpindleM03, true, false},      {1, kSpindleM04, true, false},
      {0, kSpindleM03, false, true},       {0, kSpindleStopped, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "flag " << c.flag << " M0" << c.spindle << " dry run " << c.dryRun);
    EXPECT_EQ(CuttingPermitted(c.flag, c.spindle, c.dryRun), c.permitted);
  }
}

// A stock Z 0..100 mm, radius ±10 mm, and the 2 × 2 mm insert of the test tool.
class Removal : public ::testing::Test {
 protected:
  Removal() : removal(reporter), stock{Rect(0, -10 * kMm, 100 * kMm, 10 * kMm)} {}

  // Carriage moved from `from` to `to` (Z, radius in mm), one redraw at each.
  RemovalOutcome Pass(double zMm, double rMm, std::int32_t flag, int spindle, bool dryRun = false,
                      bool driveSync = false) {
    const auto z = static_cast<std::int32_t>(zMm * kMm);
    const auto r = static_cast<std::int32_t>(rMm * kMm);
    ExtractToolOutlines(TestTool(flag), 2 * r, z, outlines);
    const RemovalInputs inputs{outlines.insert, outlines.insertFlag, z, r, spindle, dryRun,
                               driveSync};
    return removal.RemovalPass(stock, wasTouching, inputs);
  }

  OnceReporter reporter;
  MaterialRemoval removal;
  StockSection stock;
  ToolOutlines outlines;
  bool wasTouching = false;
};

TEST_F(Removal, CutsAndMirrorsOrCollidesOneSided) {
  struct Case {
    const char* name;
    std::int32_t flag;
    int spindle;
    bool dryRun, driveSync;
    bool forbidden, mirrored;
  };
  const Case cases[] = {
      {"insert first with M03", -1, kSpindleM03, false, false, false, true},
      {"insert second with M04", 1, kSpindleM04, false, false, false, true},
      {"spindle stopped", -1, kSpindleStopped, false, false, true, false},
      {"insert first with M04", -1, kSpindleM04, false, false, true, false},
      {"insert second with M03", 1, kSpindleM03, false, false, true, false},
      {"dry run", -1, kSpindleM03, true, false, true, false},
      {"crash still pending", -1, kSpindleM03, false, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    stock = {Rect(0, -10 * kMm, 100 * kMm, 10 * kMm)};
    wasTouching = false;
    Pass(50, 12, c.flag, c.spindle);  // above the stock: nothing to cut
    EXPECT_FALSE(wasTouching);
    const RemovalOutcome outcome = Pass(50, 9, c.flag, c.spindle, c.dryRun, c.driveSync);
    EXPECT_TRUE(outcome.touching);
    EXPECT_TRUE(wasTouching);
    EXPECT_EQ(outcome.forbidden, c.forbidden);
    // The notch under the 2 mm wide insert, 1 mm deep, on the tool side; on the far side only
    // when the cut was permitted.
    EXPECT_FALSE(MaterialAt(stock, 50, 9.5));
    EXPECT_TRUE(MaterialAt(stock, 50, 8.5));
    EXPECT_TRUE(MaterialAt(stock, 52, 9.5));
    EXPECT_EQ(MaterialAt(stock, 50, -9.5), !c.mirrored);
    EXPECT_NEAR(AreaMm2(stock), 2000 - (c.mirrored ? 4 : 2), 1e-9);
    EXPECT_EQ(removal.lastCutPosition(), (CutPosition{50 * kMm, 9 * kMm}));
  }
}

TEST_F(Removal, NothingIsCutWithoutAnInsertOrWithoutMotion) {
  // A tool without an insert never cuts, even driven through the stock.
  Pass(50, 12, 0, kSpindleM03);
  RemovalOutcome outcome = Pass(50, 0, 0, kSpindleM03);
  EXPECT_FALSE(outcome.touching);
  EXPECT_FALSE(outcome.forbidden);
  EXPECT_NEAR(AreaMm2(stock), 2000, 1e-9);

  // Standing still after a cut: the pass runs (the insert touched before) but every band is
  // degenerate. The insert itself no longer overlaps what its cut left.
  stock = {Rect(0, -10 * kMm, 100 * kMm, 10 * kMm)};
  Pass(50, 12, -1, kSpindleM03);
  Pass(50, 9, -1, kSpindleM03);
  ASSERT_TRUE(wasTouching);
  const double before = AreaMm2(stock);
  outcome = Pass(50, 9, -1, kSpindleM03);
  EXPECT_FALSE(outcome.touching);
  EXPECT_TRUE(outcome.swept);
  EXPECT_NEAR(AreaMm2(stock), before, 1e-9);
  EXPECT_TRUE(reporter.reported().empty());
}

TEST_F(Removal, AJumpAcrossACornerTouchingAtNeitherEndCutsNothing) {
  Pass(95, 13, -1, kSpindleM03);
  const RemovalOutcome outcome = Pass(105, 5, -1, kSpindleM03);
  EXPECT_FALSE(outcome.touching);
  EXPECT_FALSE(outcome.swept);
  EXPECT_NEAR(AreaMm2(stock), 2000, 1e-9);
  EXPECT_EQ(removal.lastCutPosition(), (CutPosition{105 * kMm, 5 * kMm}));
}

TEST_F(Removal, LeavingTheStockCutsTheBandBackToThePreviousPosition) {
  Pass(95, 12, -1, kSpindleM03);
  Pass(95, 9, -1, kSpindleM03);
  // From inside the stock to beyond its face in one step: the band between is cut, both sides.
  const RemovalOutcome outcome = Pass(110, 9, -1, kSpindleM03);
  EXPECT_FALSE(outcome.touching);
  EXPECT_TRUE(outcome.swept);
  EXPECT_FALSE(wasTouching);
  EXPECT_FALSE(MaterialAt(stock, 98, 9.5));
  EXPECT_FALSE(MaterialAt(stock, 98, -9.5));
  EXPECT_TRUE(MaterialAt(stock, 93, 9.5));
  EXPECT_NEAR(AreaMm2(stock), 2000 - 2 * 6, 1e-9);
  // Clear of the stock twice in a row: the pass is skipped.
  EXPECT_FALSE(Pass(120, 20, -1, kSpindleM03).swept);
}

TEST_F(Removal, AToolLosingItsInsertForgetsItWasTouching) {
  Pass(50, 12, -1, kSpindleM03);
  Pass(50, 9, -1, kSpindleM03);
  ASSERT_TRUE(wasTouching);
  const RemovalOutcome outcome = Pass(50, 9, 0, kSpindleM03);
  EXPECT_FALSE(outcome.swept);
  EXPECT_FALSE(wasTouching);
}

TEST_F(Removal, AClippingFailureKeepsTheStockAndIsReportedOnce) {
  stock.push_back(Rect(0, 0, ClipCoordinateLimit, 1));
  stock.back()[1].X = std::numeric_limits<std::int64_t>::max();
  const StockSection before = stock;
  Pass(50, 12, -1, kSpindleM03);
  Pass(50, 9, -1, kSpindleM03);
  Pass(40, 9, -1, kSpindleM03);
  EXPECT_EQ(stock, before);
  EXPECT_EQ(reporter.reported(), (std::vector<std::string>{ClipRangeError}));
}

TEST(UniteAll, TwoPiecesAreUnitedOnceMore) {
  OnceReporter reporter;
  MaterialRemoval removal(reporter);
  // Four bars framing a square: the union is an outline and its hole, two pieces; uniting the
  // two once more fills the hole.
  const TPolygons frame = {Rect(0, 0, 30, 10), Rect(20, 0, 30, 30), Rect(0, 20, 30, 30),
                           Rect(0, 0, 10, 30)};
  struct Case {
    const char* name;
    TPolygons polygons;
    std::size_t pieces;
    long double area;
  };
  TPolygons frameAndIsland = frame;
  frameAndIsland.push_back(Rect(100, 100, 110, 110));
  const Case cases[] = {
      {"frame: outline and hole become one", frame, 1, 900},
      {"three pieces stay as they are", frameAndIsland, 3, 800 + 100},
      {"two separate pieces stay two", {Rect(0, 0, 10, 10), Rect(20, 0, 30, 10)}, 2, 200},
      {"overlapping", {Rect(0, 0, 10, 10), Rect(5, 5, 15, 15)}, 1, 175},
      {"nothing", {}, 0, 0},
  };
  TPolygons united;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    removal.UniteAll(c.polygons, united);
    EXPECT_EQ(united.size(), c.pieces);
    // Outline and hole areas are opposite in sign; the net area is what is covered.
    long double net = 0;
    for (const TPolygon& p : united) {
      long double twice = 0;
      for (std::size_t i = 0; i < p.size(); ++i) {
        const ClipPoint& a = p[i];
        const ClipPoint& b = p[(i + 1) % p.size()];
        twice += static_cast<long double>(a.X * b.Y - b.X * a.Y);
      }
      net += twice / 2;
    }
    EXPECT_EQ(std::fabs(net), c.area);
  }
}

// Collision tests on the hand-drawn machine (stationary chuck around the 19 mm start-up stock).
class Collision : public test::SceneTest {
 protected:
  bool Collides(double zMm, double rMm, double wMm = 0) {
    MachineState& s = sim.state();
    PlaceCarriage(static_cast<std::int32_t>(zMm * kMm), static_cast<std::int32_t>(rMm * kMm));
    s.Active.W = static_cast<std::int32_t>(wMm * kMm);
    ToolOutlines outlines;
    ExtractToolOutlines(sim.data().drawing[NASTROJ], s.Active.X, s.Active.Z, outlines);
    const CollisionInputs inputs{sim.data().drawing, s.Active.X,      s.Active.Z, s.Active.W,
                                 outlines.holder,    outlines.insert, sim.stock()};
    return removal.CollisionTest(inputs);
  }

  OnceReporter reporter;
  MaterialRemoval removal{reporter};
};

TEST_F(Collision, CarriageAgainstTheFixedAndSpindleSide) {
  StartMachine();
  sim.data().drawing[NASTROJ].clear();  // the slides and the head alone
  struct Case {
    const char* name;
    double z, r, w;
    bool hit;
  };
  const Case cases[] = {
      {"clear of everything", 200, 100, 0, false},
      {"X slide on the jaws", 60, -25, 0, true},
      {"tool head in the stock", 100, -40, 0, true},
      {"X slide on the spindle", -30, -30, 0, true},
      {"X slide on the quill", 350, -60, 0, true},
      {"quill advanced into the tool head", 200, -50, 100, true},
      {"quill retracted, the same place", 200, -50, 0, false},
      {"tailstock body: never", 420, -45, 0, false},
      {"covers: never", -75, 60, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Collides(c.z, c.r, c.w), c.hit);
  }
  EXPECT_TRUE(reporter.reported().empty());
}

TEST_F(Collision, ToolHolderAndInsert) {
  StartMachine();
  struct Case {
    const char* name;
    std::int32_t flag;
    double z, r;
    bool hit;
  };
  const Case cases[] = {
      {"holder-only tool in the stock", 0, 100, 5, true},
      {"holder-only tool above the stock", 0, 100, 10, false},
      {"insert in the stock, holder clear: the removal's business", -1, 100, 8, false},
      {"insert in the chuck body, holder touching only", -1, 20, 48, true},
      {"insert second, in the chuck body", 1, 20, 48, true},
      {"holder in the stock", -1, 100, 6, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseTool(c.flag);
    EXPECT_EQ(Collides(c.z, c.r), c.hit);
  }
}

TEST_F(Collision, AStockThatCannotBeUnitedIsReportedOnceAndTestedAsFarAsUnited) {
  StartMachine();
  sim.data().drawing[NASTROJ].clear();
  ASSERT_TRUE(Collides(100, -40));  // the tool head in the start-up stock
  TPolygon beyondRange = Rect(0, 0, ClipCoordinateLimit, 1);
  beyondRange[1].X = std::numeric_limits<std::int64_t>::max();
  const TPolygon stock = sim.stock().front();
  // The union with the stock stops at the polygon it cannot take: what came before it counts.
  sim.stock() = {stock, beyondRange};
  EXPECT_TRUE(Collides(100, -40));
  EXPECT_FALSE(Collides(200, -40));
  sim.stock() = {beyondRange, stock};
  EXPECT_FALSE(Collides(100, -40));
  EXPECT_TRUE(Collides(60, -25));  // the X slide on the jaws: the chuck is still there
  EXPECT_EQ(reporter.reported(), (std::vector<std::string>{ClipRangeError}));
}

TEST_F(Collision, ResultsDoNotDependOnWhatWasTestedBefore) {
  StartMachine();
  UseTool(-1);
  // The same positions in two orders, with the quill moving between: the remembered union of
  // the quill, spindle and chuck must follow every change.
  const std::vector<std::tuple<double, double, double>> positions = {
      {200, -50, 0}, {200, -50, 100}, {20, 48, 100}, {200, -50, 0}, {60, 20, 50}, {200, 100, 0}};
  std::vector<bool> forward;
  for (const auto& [z, r, w] : positions) forward.push_back(Collides(z, r, w));
  std::vector<bool> fresh;
  for (const auto& [z, r, w] : positions) {
    OnceReporter other;
    MaterialRemoval clean(other);
    MachineState& s = sim.state();
    PlaceCarriage(static_cast<std::int32_t>(z * kMm), static_cast<std::int32_t>(r * kMm));
    s.Active.W = static_cast<std::int32_t>(w * kMm);
    ToolOutlines outlines;
    ExtractToolOutlines(sim.data().drawing[NASTROJ], s.Active.X, s.Active.Z, outlines);
    fresh.push_back(clean.CollisionTest({sim.data().drawing, s.Active.X, s.Active.Z, s.Active.W,
                                         outlines.holder, outlines.insert, sim.stock()}));
  }
  EXPECT_EQ(forward, fresh);
  EXPECT_EQ(forward, (std::vector<bool>{false, true, true, false, true, false}));
}

}  // namespace
}  // namespace soustruh
