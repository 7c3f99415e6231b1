// The collision test against the formulation it replaces: both groups united polygon by polygon
// (UniteAll), the insert tested against the quill, spindle and chuck, the quill, spindle, chuck and
// stock united again and tested against the united carriage. The production test does not unite the
// carriage; these tests hold it to the same answer on the bundled machine over its whole travel,
// and on hand-made shapes where the two could part: self-crossing, reversed and degenerate
// polygons, touching contacts and unions that UniteAll fills (an outline with a single hole).

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "ViewTestKit.h"
#include "machine/ToolShape.h"
#include "support/SimulatorFixture.h"
#include "view/ChuckBuilder.h"
#include "workpiece/MaterialRemoval.h"
#include "workpiece/ProfileClipper.h"
#include "workpiece/ShapeList.h"

namespace soustruh {
namespace {

using test::view::kMm;
using test::view::Rect;

bool Intersects(PolygonsRef subject, PolygonsRef clip) {
  TPolygons solution;
  std::string error;
  EXPECT_TRUE(ProfileClipper().Execute(ClipOperation::Intersection, subject, clip, solution, error))
      << error;
  return !solution.empty();
}

// The former formulation, made from nothing at every call.
bool UnitedCollision(const CollisionInputs& in) {
  const auto place = [&](std::initializer_list<std::size_t> parts, TPolygons& into) {
    for (const std::size_t part : parts) {
      const PartOffset offset = PartPlacement(part, in.xDiameter, in.z, in.w);
      ForEachShapePolygon(in.drawing[part], [&](const ShapePolygon& polygon) {
        PlacePolygon(polygon.points, offset, into.emplace_back());
      });
    }
  };
  OnceReporter reporter;
  MaterialRemoval unite(reporter);
  TPolygons carriage;
  place({OSA_Z, OSA_X, NASTR_HLAVA}, carriage);
  carriage.push_back(in.holder);
  TPolygons fixedSide;
  place({PINOLA, VRETENO, SKLICIDLO}, fixedSide);
  TPolygons unitedCarriage, unitedFixed, unitedWithStock;
  unite.UniteAll(carriage, unitedCarriage);
  unite.UniteAll(fixedSide, unitedFixed);
  const bool insertHit = !in.insert.empty() && Intersects(unitedFixed, in.insert);
  TPolygons withStock = unitedFixed;
  withStock.insert(withStock.end(), in.stock.begin(), in.stock.end());
  unite.UniteAll(withStock, unitedWithStock);
  EXPECT_TRUE(reporter.reported().empty());
  return insertHit || Intersects(unitedCarriage, unitedWithStock);
}

// The lowest point of a tool's insert (of its holder when it has none) with the carriage at 0.
ClipPoint LowestPoint(const TUtvar& tool) {
  ToolOutlines at0;
  ExtractToolOutlines(tool, 0, 0, at0);
  const TPolygon& tip = at0.insert.empty() ? at0.holder : at0.insert;
  if (tip.empty()) return {};
  return *std::min_element(tip.begin(), tip.end(),
                           [](ClipPoint a, ClipPoint b) { return a.Y < b.Y; });
}

// The bundled machine, every tool, several chucks and stocks, random and contact positions.
class BundledMachine : public test::SimulatorFixture {
 protected:
  void SetUp() override {
    StartMachine();
    face = sim.config().Sklicidlo_Z + sim.config().Cel_L_sklic;
  }

  // Tool 0: none drawn. Stocks: "fresh", "cut" at random, "parted" (a slot through the whole
  // section leaves a loose piece at the face) or "none".
  void Prepare(int tool, const std::string& stockKind, std::int32_t radius, int spindle) {
    TStroj& drawing = sim.data().drawing;
    drawing[NASTROJ].clear();
    ASSERT_TRUE(tool == 0 || LoadToolDrawing(dir.path(), tool, host, drawing));
    const ChuckForm form = spindle == 5 ? ChuckForm::Stationary : ChuckForm::Rotating;
    ASSERT_TRUE(BuildChuck(sim.config(), radius, form, spindle, drawing[SKLICIDLO]));
    stock = {StockBuild(60 * kMm, 2 * radius, sim.config())};
    if (stockKind == "none") stock.clear();
    if (stockKind == "parted")
      stock =
          ClipDifference(stock, Rect(face + 40 * kMm, -radius - kMm, face + 43 * kMm, radius + kMm))
              .polygons;
    if (stockKind == "cut") CutAtRandom(radius);
    tip = LowestPoint(drawing[NASTROJ]);
  }

  // Drives the first tool's insert through the stock at random, the cut mirrored; now and then it
  // parts the stock.
  void CutAtRandom(std::int32_t radius) {
    OnceReporter cutterReporter;
    MaterialRemoval cutter(cutterReporter);
    TStroj tools;
    ASSERT_TRUE(LoadToolDrawing(dir.path(), 1, host, tools));
    const ClipPoint insertTip = LowestPoint(tools[NASTROJ]);
    std::uniform_int_distribution<std::int64_t> along(face - 60 * kMm, face + 2 * kMm);
    std::uniform_int_distribution<std::int64_t> depth(radius / 3, radius + kMm);
    bool wasTouching = false;
    ToolOutlines outlines;
    for (int step = 0; step < 12; ++step) {
      const auto z = static_cast<std::int32_t>(along(rng) - insertTip.X);
      const auto r = static_cast<std::int32_t>((step % 5 == 4 ? -kMm : depth(rng)) - insertTip.Y);
      ExtractToolOutlines(tools[NASTROJ], 2 * r, z, outlines);
      cutter.RemovalPass(stock, wasTouching,
                         {outlines.insert, outlines.insertFlag, z, r, kSpindleM03, false, false});
    }
    EXPECT_TRUE(cutterReporter.reported().empty());
  }

  // Both answers for the carriage at X (a diameter), Z and W; the reference's is returned.
  bool Compare(std::int64_t x, std::int64_t z, std::int64_t w) {
    const auto xi = static_cast<std::int32_t>(x);
    const auto zi = static_cast<std::int32_t>(z);
    ToolOutlines tool;
    ExtractToolOutlines(sim.data().drawing[NASTROJ], xi, zi, tool);
    const CollisionInputs inputs{
        sim.data().drawing, xi, zi, static_cast<std::int32_t>(w), tool.holder, tool.insert, stock};
    const bool expected = UnitedCollision(inputs);
    EXPECT_EQ(removal.CollisionTest(inputs), expected) << "X " << x << " Z " << z << " W " << w;
    ++(expected ? hits : misses);
    return expected;
  }

  // The carriage placed so that the tool's lowest point is at (z, r).
  std::int64_t CarriageX(std::int64_t r) const { return 2 * (r - tip.Y); }
  std::int64_t CarriageZ(std::int64_t z) const { return z - tip.X; }

  // Moves one axis (0 X, 1 Z, 2 W) between a clear and a colliding value until they are one unit
  // apart (of the radius for X), then compares on both sides of that contact.
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
  ClipPoint tip;
  int hits = 0, misses = 0, contacts = 0;
};

TEST_F(BundledMachine, SameAnswersOverTheTravelWithEveryToolChuckAndStock) {
  const MachineConfig& c = sim.config();
  const char* const stocks[] = {"fresh", "cut", "parted", "none", "cut"};
  std::uniform_int_distribution<std::int32_t> radius(2 * kMm, c.Max_D_mat / 2);
  std::uniform_int_distribution<std::int64_t> travelX(c.MinX - 40 * kMm, c.MaxX + 40 * kMm);
  std::uniform_int_distribution<std::int64_t> travelZ(c.MinZ - 40 * kMm, c.MaxZ + 40 * kMm);
  std::uniform_int_distribution<std::int64_t> quill(c.MinW, c.MaxW);
  std::uniform_int_distribution<std::int64_t> nearZ(-20 * kMm, face + 100 * kMm);
  std::uniform_int_distribution<std::int64_t> nearR(-5 * kMm, c.Sklicidlo_D / 2 + 30 * kMm);
  for (int tool = 0; tool <= 8; ++tool) {
    for (std::size_t k = 0; k < std::size(stocks); ++k) {
      const std::int32_t stockRadius = radius(rng);
      const int spindle = k % 2 == 0 ? 3 : 5;
      SCOPED_TRACE(testing::Message() << "tool " << tool << ", stock " << stocks[k] << " of radius "
                                      << stockRadius << ", M0" << spindle);
      Prepare(tool, stocks[k], stockRadius, spindle);
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

// Hand-made shapes from view_cases.txt, and the carriage moved over them.
TUtvar Shapes(const TPolygons& polygons) {
  TUtvar shapes;
  for (const TPolygon& polygon : polygons) {
    shapes.push_back({static_cast<std::int32_t>(polygon.size()), 0});
    shapes.push_back({0, 0});
    for (const ClipPoint& p : polygon)
      shapes.push_back({static_cast<std::int32_t>(p.X), static_cast<std::int32_t>(p.Y)});
  }
  return shapes;
}

TEST(CollisionShapes, SameAnswersAsTheUnitedCarriage) {
  OnceReporter reporter;
  MaterialRemoval removal(reporter);  // one for all: shapes and holders change between calls
  for (auto& [row, in] : test::view::CaseRows("view_cases.txt", "shapes")) {
    SCOPED_TRACE(row);
    std::string collides;
    std::int32_t x = 0, z = 0;
    in >> collides >> x >> z;
    auto polygons = test::view::NamedPolygons(in);
    TStroj drawing;
    const std::pair<DrawingPart, const char*> parts[] = {
        {OSA_Z, "slideZ"}, {OSA_X, "slideX"},    {NASTR_HLAVA, "head"},
        {PINOLA, "quill"}, {VRETENO, "spindle"}, {SKLICIDLO, "chuck"}};
    for (const auto& [part, name] : parts) drawing[part] = Shapes(polygons[name]);
    const TPolygon holder = test::view::Single(polygons, "holder");
    const TPolygon insert = test::view::Single(polygons, "insert");
    const CollisionInputs inputs{drawing, x, z, 0, holder, insert, polygons["stock"]};
    EXPECT_EQ(UnitedCollision(inputs), collides == "yes");
    EXPECT_EQ(removal.CollisionTest(inputs), collides == "yes");
  }
  EXPECT_TRUE(reporter.reported().empty());
}

}  // namespace
}  // namespace soustruh
