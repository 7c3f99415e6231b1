// The collision test against the formulation it replaces: both groups united polygon by polygon
// (UniteAll), the insert tested against the quill, spindle and chuck, the quill, spindle, chuck
// and stock united again and tested against the united carriage. The production test does not
// unite the carriage; these tests hold it to the same answer on the bundled machine over its whole
// travel, and on hand-made shapes where the two could part: self-crossing, reversed and degenerate
// polygons, touching contacts and unions that UniteAll fills (an outline with a single hole).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "machine/ToolShape.h"
#include "support/SimulatorFixture.h"
#include "view/ChuckBuilder.h"
#include "view/MaterialRemoval.h"
#include "view/ProfileClipper.h"
#include "view/ShapeList.h"

namespace soustruh {
namespace {

constexpr std::int64_t kMm = 10000;

void Place(const CollisionInputs& in, std::initializer_list<std::size_t> parts, TPolygons& into) {
  for (const std::size_t part : parts) {
    const PartOffset offset = PartPlacement(part, in.xDiameter, in.z, in.w);
    ForEachShapePolygon(in.drawing[part], [&](const ShapePolygon& polygon) {
      PlacePolygon(polygon.points, offset, into.emplace_back());
    });
  }
}

bool Intersects(PolygonsRef subject, PolygonsRef clip) {
  ProfileClipper clipper;
  TPolygons solution;
  std::string error;
  EXPECT_TRUE(clipper.Execute(ClipOperation::Intersection, subject, clip, solution, error))
      << error;
  return !solution.empty();
}

// The former formulation, made from nothing at every call.
bool UnitedCollision(const CollisionInputs& in) {
  OnceReporter reporter;
  MaterialRemoval unite(reporter);
  TPolygons carriage;
  Place(in, {OSA_Z, OSA_X, NASTR_HLAVA}, carriage);
  carriage.push_back(in.holder);
  TPolygons fixedSide;
  Place(in, {PINOLA, VRETENO, SKLICIDLO}, fixedSide);
  TPolygons unitedCarriage;
  TPolygons unitedFixed;
  unite.UniteAll(carriage, unitedCarriage);
  unite.UniteAll(fixedSide, unitedFixed);
  const bool insertHit = !in.insert.empty() && Intersects(unitedFixed, in.insert);
  TPolygons withStock = unitedFixed;
  withStock.insert(withStock.end(), in.stock.begin(), in.stock.end());
  TPolygons unitedWithStock;
  unite.UniteAll(withStock, unitedWithStock);
  EXPECT_TRUE(reporter.reported().empty());
  return insertHit || Intersects(unitedCarriage, unitedWithStock);
}

TPolygon Rect(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top) {
  return {{left, bottom}, {right, bottom}, {right, top}, {left, top}};
}

// ---------------------------------------------------------------------------------------------
// The bundled machine, every tool, several chucks and stocks, random and contact positions.

class BundledMachine : public test::SimulatorFixture {
 protected:
  void SetUp() override {
    StartMachine();
    face = sim.config().Sklicidlo_Z + sim.config().Cel_L_sklic;
  }

  struct Setup {
    int tool = 0;  // 0: no tool drawn
    std::string stockKind;
    std::int32_t stockRadius = 0;
    int spindle = 3;
  };

  void Prepare(const Setup& setup) {
    TStroj& drawing = sim.data().drawing;
    if (setup.tool == 0) {
      drawing[NASTROJ].clear();
    } else {
      ASSERT_TRUE(LoadToolDrawing(dir.path(), setup.tool, host, drawing));
    }
    const ChuckForm form = setup.spindle == 5 ? ChuckForm::Stationary : ChuckForm::Rotating;
    ASSERT_TRUE(
        BuildChuck(sim.config(), setup.stockRadius, form, setup.spindle, drawing[SKLICIDLO]));
    stock = MakeStock(setup.stockKind, setup.stockRadius);
    // Where the tool's lowest point lies relative to the carriage.
    ToolOutlines at0;
    ExtractToolOutlines(drawing[NASTROJ], 0, 0, at0);
    const TPolygon& tip = at0.insert.empty() ? at0.holder : at0.insert;
    tipZ = 0;
    tipR = 0;
    if (!tip.empty()) {
      const auto lowest = std::min_element(tip.begin(), tip.end(),
                                           [](ClipPoint a, ClipPoint b) { return a.Y < b.Y; });
      tipZ = lowest->X;
      tipR = lowest->Y;
    }
  }

  StockSection MakeStock(const std::string& kind, std::int32_t radius) {
    const std::int64_t length = 60 * kMm;
    StockSection fresh{StockBuild(static_cast<std::int32_t>(length), 2 * radius, sim.config())};
    if (kind == "none") return {};
    if (kind == "fresh") return fresh;
    if (kind == "parted") {  // a slot through the whole section: a loose piece at the face
      return ClipDifference(fresh,
                            Rect(face + 40 * kMm, -radius - kMm, face + 43 * kMm, radius + kMm))
          .polygons;
    }
    return CutAtRandom(fresh, radius, length);
  }

  // Drives the first tool's insert through the stock at random, with the cut mirrored.
  StockSection CutAtRandom(StockSection cut, std::int32_t radius, std::int64_t length) {
    OnceReporter cutterReporter;
    MaterialRemoval cutter(cutterReporter);
    TStroj tools;
    EXPECT_TRUE(LoadToolDrawing(dir.path(), 1, host, tools));
    const TUtvar& tool = tools[NASTROJ];
    ToolOutlines at0;
    ExtractToolOutlines(tool, 0, 0, at0);
    const ClipPoint tip = *std::min_element(at0.insert.begin(), at0.insert.end(),
                                            [](ClipPoint a, ClipPoint b) { return a.Y < b.Y; });
    bool wasTouching = false;
    std::uniform_int_distribution<std::int64_t> along(face - length, face + 2 * kMm);
    std::uniform_int_distribution<std::int64_t> depth(radius / 3, radius + kMm);
    ToolOutlines outlines;
    for (int step = 0; step < 12; ++step) {
      const std::int64_t z = along(rng) - tip.X;
      const std::int64_t r = (step % 5 == 4 ? -kMm : depth(rng)) - tip.Y;  // now and then parted
      ExtractToolOutlines(tool, static_cast<std::int32_t>(2 * r), static_cast<std::int32_t>(z),
                          outlines);
      const RemovalInputs inputs{outlines.insert,
                                 outlines.insertFlag,
                                 static_cast<std::int32_t>(z),
                                 static_cast<std::int32_t>(r),
                                 kSpindleM03,
                                 false,
                                 false};
      cutter.RemovalPass(cut, wasTouching, inputs);
    }
    EXPECT_TRUE(cutterReporter.reported().empty());
    return cut;
  }

  // Both answers for the carriage at X (a diameter), Z and W; the reference's is returned.
  bool Compare(std::int64_t x, std::int64_t z, std::int64_t w) {
    const auto xi = static_cast<std::int32_t>(x);
    const auto zi = static_cast<std::int32_t>(z);
    const auto wi = static_cast<std::int32_t>(w);
    ToolOutlines outlines;
    ExtractToolOutlines(sim.data().drawing[NASTROJ], xi, zi, outlines);
    const CollisionInputs inputs{sim.data().drawing, xi,   zi, wi, outlines.holder,
                                 outlines.insert,    stock};
    const bool expected = UnitedCollision(inputs);
    EXPECT_EQ(removal.CollisionTest(inputs), expected) << "X " << x << " Z " << z << " W " << w;
    ++(expected ? hits : misses);
    return expected;
  }

  // The carriage placed so that the tool's lowest point is at (z, r).
  std::int64_t CarriageX(std::int64_t r) const { return 2 * (r - tipR); }
  std::int64_t CarriageZ(std::int64_t z) const { return z - tipZ; }

  // Moves one axis between a clear and a colliding value until they are one unit apart (of the
  // radius for X), then compares on both sides of that contact.
  void CompareAtContact(int axis, std::int64_t clear, std::int64_t hit, std::int64_t x,
                        std::int64_t z, std::int64_t w) {
    const auto at = [&](std::int64_t value) {
      return Compare(axis == 0 ? 2 * value : x, axis == 1 ? value : z, axis == 2 ? value : w);
    };
    if (at(clear) || !at(hit)) return;
    while (clear - hit > 1 || hit - clear > 1) {
      const std::int64_t middle = clear + (hit - clear) / 2;
      (at(middle) ? hit : clear) = middle;
    }
    const std::int64_t step = hit > clear ? 1 : -1;
    at(clear - step);
    at(hit + step);
    ++contacts;
  }

  OnceReporter reporter;
  MaterialRemoval removal{reporter};  // one for the whole run: its caches follow every change
  std::mt19937_64 rng{20240611};
  StockSection stock;
  std::int64_t face = 0;  // the jaws' front faces
  std::int64_t tipZ = 0;
  std::int64_t tipR = 0;
  int hits = 0;
  int misses = 0;
  int contacts = 0;
};

TEST_F(BundledMachine, SameAnswersOverTheTravelWithEveryToolChuckAndStock) {
  const MachineConfig& c = sim.config();
  const std::vector<std::string> stocks = {"fresh", "cut", "parted", "none", "cut"};
  std::uniform_int_distribution<std::int32_t> radius(2 * kMm, c.Max_D_mat / 2);
  std::uniform_int_distribution<std::int64_t> travelX(c.MinX - 40 * kMm, c.MaxX + 40 * kMm);
  std::uniform_int_distribution<std::int64_t> travelZ(c.MinZ - 40 * kMm, c.MaxZ + 40 * kMm);
  std::uniform_int_distribution<std::int64_t> quill(c.MinW, c.MaxW);
  std::uniform_int_distribution<std::int64_t> nearZ(-20 * kMm, face + 100 * kMm);
  std::uniform_int_distribution<std::int64_t> nearR(-5 * kMm, c.Sklicidlo_D / 2 + 30 * kMm);
  for (int tool = 0; tool <= 8; ++tool) {
    for (std::size_t k = 0; k < stocks.size(); ++k) {
      const Setup setup{tool, stocks[k], radius(rng), k % 2 == 0 ? 3 : 5};
      SCOPED_TRACE(testing::Message()
                   << "tool " << tool << ", stock " << setup.stockKind << " of radius "
                   << setup.stockRadius << ", M0" << setup.spindle);
      Prepare(setup);
      for (int i = 0; i < 12; ++i) Compare(travelX(rng), travelZ(rng), quill(rng));
      for (int i = 0; i < 24; ++i)
        Compare(CarriageX(nearR(rng)), CarriageZ(nearZ(rng)), quill(rng));
      // Contacts: down onto the work, along Z into the chuck or the quill, the quill forward.
      const std::int64_t z = CarriageZ(nearZ(rng));
      const std::int64_t w = quill(rng);
      CompareAtContact(0, (c.MaxX + 40 * kMm) / 2, CarriageX(nearR(rng)) / 2, 0, z, w);
      CompareAtContact(1, CarriageZ(face + 150 * kMm), CarriageZ(-10 * kMm), CarriageX(nearR(rng)),
                       0, c.MinW);
      CompareAtContact(2, c.MinW, c.MaxW, CarriageX(0), CarriageZ(face + 80 * kMm), 0);
    }
  }
  EXPECT_TRUE(reporter.reported().empty());
  // Not a vacuous comparison: both answers came up often, and many contacts were found.
  EXPECT_GT(hits, 300);
  EXPECT_GT(misses, 300);
  EXPECT_GT(contacts, 40);
}

// ---------------------------------------------------------------------------------------------
// Hand-made shapes. The carriage stands at Z = 0, X = 0, so every part lies where it is drawn.

void AppendPolygon(TUtvar& shapes, std::initializer_list<ShapeEntry> points) {
  shapes.push_back({static_cast<std::int32_t>(points.size()), 0});
  shapes.push_back({0, 0});
  shapes.insert(shapes.end(), points);
}

void AppendRect(TUtvar& shapes, std::int32_t left, std::int32_t bottom, std::int32_t right,
                std::int32_t top) {
  AppendPolygon(shapes, {{left, bottom}, {right, bottom}, {right, top}, {left, top}});
}

// A square frame 0..30 with a hole 10..20, as four bars.
void AppendFrame(TUtvar& shapes) {
  AppendRect(shapes, 0, 0, 30, 10);
  AppendRect(shapes, 20, 0, 30, 30);
  AppendRect(shapes, 0, 20, 30, 30);
  AppendRect(shapes, 0, 0, 10, 30);
}

struct ShapeCase {
  const char* name;
  TStroj drawing;
  TPolygon holder;
  TPolygon insert;
  StockSection stock;
  bool collides;
};

std::vector<ShapeCase> ShapeCases() {
  std::vector<ShapeCase> cases;
  const auto add = [&](const char* name, bool collides) -> ShapeCase& {
    return cases.emplace_back(ShapeCase{name, {}, {}, {}, {}, collides});
  };
  // UniteAll fills the hole of a union that ends as an outline with one hole.
  add("carriage frame around a loose stock piece", true).drawing[OSA_X] = [] {
    TUtvar frame;
    AppendFrame(frame);
    return frame;
  }();
  cases.back().stock = {Rect(12, 12, 18, 18)};
  ShapeCase frameAndBlock = cases.back();
  frameAndBlock.name = "the same with a third piece: the hole stays open";
  frameAndBlock.collides = false;
  AppendRect(frameAndBlock.drawing[OSA_Z], 100, 100, 110, 110);
  cases.push_back(frameAndBlock);
  ShapeCase frameAndStock = cases[0];
  frameAndStock.name = "frame around a piece, more stock clear of it";
  frameAndStock.stock.push_back(Rect(-100, -100, -50, -50));
  cases.push_back(frameAndStock);
  add("a ring drawn as one polygon, round a piece", true).drawing[NASTR_HLAVA] = [] {
    TUtvar ring;
    AppendPolygon(ring, {{0, 0},
                         {30, 0},
                         {30, 30},
                         {0, 30},
                         {0, 0},
                         {10, 10},
                         {10, 20},
                         {20, 20},
                         {20, 10},
                         {10, 10}});
    return ring;
  }();
  cases.back().stock = {Rect(12, 12, 18, 18)};
  // A piece of the stock side (spindle frame) around the holder: filled the same way.
  add("holder inside a frame of the spindle side", true).drawing[VRETENO] = [] {
    TUtvar frame;
    AppendFrame(frame);
    return frame;
  }();
  cases.back().holder = Rect(12, 12, 18, 18);
  // Self-crossing, reversed and degenerate polygons of the carriage.
  TUtvar bowTie;
  AppendPolygon(bowTie, {{0, 0}, {10, 10}, {10, 0}, {0, 10}});
  add("bow tie, stock in a lobe", true).drawing[OSA_Z] = bowTie;
  cases.back().stock = {Rect(1, 4, 3, 6)};
  add("bow tie, stock in the notch above the crossing", false).drawing[OSA_Z] = bowTie;
  cases.back().stock = {Rect(4, 8, 6, 10)};
  add("reversed holder over the stock", true).holder = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
  cases.back().stock = {Rect(5, 5, 20, 20)};
  // Opposite windings overlapping: one set of them would cancel where they overlap.
  add("slide and reversed holder overlapping, stock only where they overlap", true).drawing[OSA_Z] =
      [] {
        TUtvar slide;
        AppendRect(slide, 0, 0, 20, 10);
        return slide;
      }();
  cases.back().holder = {{10, 0}, {10, 10}, {30, 10}, {30, 0}};
  cases.back().stock = {Rect(12, 2, 18, 100)};  // reaching out of the carriage's box
  add("degenerate polygons across the stock", false).drawing[OSA_X] = [] {
    TUtvar lines;
    AppendPolygon(lines, {{0, 0}, {30, 30}, {15, 15}});
    AppendPolygon(lines, {{0, 30}, {30, 0}});
    AppendPolygon(lines, {{5, 5}, {5, 5}, {25, 5}, {25, 5}});
    return lines;
  }();
  cases.back().stock = {Rect(0, 0, 30, 30)};
  // Touching is no collision, one unit of overlap is.
  add("holder on the stock along an edge", false).holder = Rect(0, 10, 10, 20);
  cases.back().stock = {Rect(0, 0, 10, 10)};
  add("holder on the stock at a corner", false).holder = Rect(10, 10, 20, 20);
  cases.back().stock = {Rect(0, 0, 10, 10)};
  add("holder one unit into the stock", true).holder = Rect(0, 9, 10, 20);
  cases.back().stock = {Rect(0, 0, 10, 10)};
  add("slide on the chuck along an edge", false).drawing[OSA_Z] = [] {
    TUtvar slide;
    AppendRect(slide, 0, 10, 10, 20);
    return slide;
  }();
  AppendRect(cases.back().drawing[SKLICIDLO], 0, 0, 10, 10);
  add("insert on the quill along an edge", false).insert = Rect(0, 10, 10, 20);
  AppendRect(cases.back().drawing[PINOLA], 0, 0, 10, 10);
  add("insert inside a frame of the quill side", true).insert = Rect(12, 12, 18, 18);
  AppendFrame(cases.back().drawing[PINOLA]);
  return cases;
}

TEST(CollisionShapes, SameAnswersAsTheUnitedCarriage) {
  OnceReporter reporter;
  MaterialRemoval removal(reporter);  // one for all: shapes and holders change between calls
  for (const ShapeCase& c : ShapeCases()) {
    SCOPED_TRACE(c.name);
    const CollisionInputs inputs{c.drawing, 0, 0, 0, c.holder, c.insert, c.stock};
    EXPECT_EQ(UnitedCollision(inputs), c.collides);
    EXPECT_EQ(removal.CollisionTest(inputs), c.collides);
  }
  EXPECT_TRUE(reporter.reported().empty());
}

TEST(CollisionShapes, MovedAndRedrawnPartsAreFollowed) {
  OnceReporter reporter;
  MaterialRemoval removal(reporter);
  TStroj drawing;
  AppendRect(drawing[OSA_X], 0, 0, 10, 10);
  const StockSection stock = {Rect(-100, -100, 100, -50)};
  const TPolygon none;
  const auto collides = [&](std::int32_t x, std::int32_t z, const TPolygon& holder) {
    return removal.CollisionTest({drawing, x, z, 0, holder, none, stock});
  };
  EXPECT_FALSE(collides(0, 0, none));
  EXPECT_TRUE(collides(-2 * 55, 0, none));  // the X slide down into the stock
  EXPECT_FALSE(collides(-2 * 55, 200, none));
  EXPECT_TRUE(collides(-2 * 55, 99, none));  // one unit over the stock's end
  drawing[OSA_X].clear();
  EXPECT_FALSE(collides(-2 * 55, 0, none));
  AppendRect(drawing[OSA_Z], 0, -60, 10, 0);  // the Z slide does not follow X
  EXPECT_TRUE(collides(0, 0, none));
  EXPECT_TRUE(collides(2 * 60, 0, none));
  EXPECT_FALSE(collides(0, 100, none));
  drawing[OSA_Z].clear();
  EXPECT_TRUE(collides(0, 0, Rect(0, -60, 10, 0)));  // a holder reaching into the stock
  EXPECT_FALSE(collides(0, 0, Rect(0, -50, 10, 0)));
  EXPECT_TRUE(reporter.reported().empty());
}

}  // namespace
}  // namespace soustruh
