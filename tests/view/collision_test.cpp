// The collision test on hand-made shapes (view_cases.txt) where an optimised test could go wrong:
// self-crossing, reversed and degenerate polygons, touching contacts, a carriage enclosing loose
// stock, and parts and positions that change between calls while one MaterialRemoval remembers.

#include <gtest/gtest.h>

#include <string>

#include "ViewTestKit.h"
#include "workpiece/MaterialRemoval.h"

namespace soustruh {
namespace {

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

TEST(CollisionShapes, EachRowCollidesOrNot) {
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
    EXPECT_EQ(removal.CollisionTest({drawing, x, z, 0, holder, insert, polygons["stock"]}),
              collides == "yes");
  }
  EXPECT_TRUE(reporter.reported().empty());
}

}  // namespace
}  // namespace soustruh
