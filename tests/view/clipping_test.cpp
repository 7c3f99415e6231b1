#include "view/Clipping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace soustruh {
namespace {

TPolygon Rect(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top) {
  return {{left, bottom}, {right, bottom}, {right, top}, {left, top}};
}

TPolygon Reversed(TPolygon polygon) {
  return TPolygon(polygon.rbegin(), polygon.rend());
}

// Net enclosed area: outer outlines and holes come out with opposite orientations.
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

TEST(Clipping, OperationsOnRectangles) {
  const TPolygon a = Rect(0, 0, 100, 100);
  const TPolygon b = Rect(50, 50, 150, 150);
  const TPolygon inner = Rect(25, 25, 75, 75);
  struct Case {
    const char* name;
    ClipOperation op;
    TPolygons subject;
    TPolygons clip;
    long double area;
    std::size_t pieces;
  };
  const Case cases[] = {
      {"a and b", ClipOperation::Intersection, {a}, {b}, 2500, 1},
      {"a or b", ClipOperation::Union, {a}, {b}, 17500, 1},
      {"a minus b", ClipOperation::Difference, {a}, {b}, 7500, 1},
      {"a minus inner: outline and hole", ClipOperation::Difference, {a}, {inner}, 7500, 2},
      {"disjoint intersection", ClipOperation::Intersection, {a}, {Rect(200, 0, 300, 100)}, 0, 0},
      {"shared edge only", ClipOperation::Intersection, {a}, {Rect(100, 0, 200, 100)}, 0, 0},
      {"clockwise input", ClipOperation::Intersection, {Reversed(a)}, {Reversed(b)}, 2500, 1},
      {"empty subject", ClipOperation::Intersection, {}, {b}, 0, 0},
      {"union with empty", ClipOperation::Union, {}, {b}, 10000, 1},
      {"nothing at all", ClipOperation::Union, {}, {}, 0, 0},
      {"two-point polygon ignored", ClipOperation::Union, {{{0, 0}, {5, 5}}}, {}, 0, 0},
  };
  PolygonClipper clipper;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPolygons solution{Rect(1, 1, 2, 2)};  // stale content must go
    std::string error = "stale";
    ASSERT_TRUE(clipper.Execute(c.op, c.subject, c.clip, solution, error));
    EXPECT_EQ(error, "");
    EXPECT_NEAR(static_cast<double>(Area(solution)), static_cast<double>(c.area), 1e-9);
    EXPECT_EQ(solution.size(), c.pieces);
  }
}

TEST(Clipping, NonZeroFillCountsOverlapsOnce) {
  // The square wound twice in one path: winding 2 everywhere, even-odd would leave nothing.
  TPolygon twice = Rect(0, 0, 100, 100);
  twice.insert(twice.end(), twice.begin(), twice.end());
  EXPECT_NEAR(static_cast<double>(Area(ClipUnion(twice, TPolygons{}).polygons)), 10000, 1e-9);

  // Two overlapping squares of one set, same winding: the overlap stays filled (even-odd: 12500).
  const TPolygons both{Rect(0, 0, 100, 100), Rect(50, 50, 150, 150)};
  EXPECT_NEAR(static_cast<double>(Area(ClipIntersection(both, Rect(-10, -10, 200, 200)).polygons)),
              17500, 1e-9);

  // Opposite windings cancel: the second square is a hole where it overlaps the first.
  const TPolygons holed{Rect(0, 0, 100, 100), Reversed(Rect(50, 50, 150, 150))};
  EXPECT_NEAR(static_cast<double>(Area(ClipUnion(holed, TPolygons{}).polygons)), 7500 + 7500, 1e-9);
}

TEST(Clipping, SolutionMayBeTheSubjectAndClipperIsReusable) {
  PolygonClipper clipper;
  TPolygons stock{Rect(0, 0, 100, 100)};
  std::string error;
  ASSERT_TRUE(
      clipper.Execute(ClipOperation::Difference, stock, Rect(50, -10, 150, 110), stock, error));
  EXPECT_NEAR(static_cast<double>(Area(stock)), 5000, 1e-9);
  ASSERT_TRUE(clipper.Execute(ClipOperation::Union, stock, Rect(0, 0, 10, 200), stock, error));
  EXPECT_NEAR(static_cast<double>(Area(stock)), 5000 + 1000, 1e-9);
}

TEST(Clipping, OutOfRangeCoordinatesAreReportedNotThrown) {
  constexpr std::int64_t kLimit = ClipCoordinateLimit;
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  struct Case {
    const char* name;
    TPolygon subject;
    TPolygon clip;
  };
  const Case cases[] = {
      {"just beyond the limit", Rect(0, 0, kLimit + 1, 100), Rect(0, 0, 10, 10)},
      {"negative beyond in the clip", Rect(0, 0, 10, 10), Rect(-kLimit - 1, 0, 10, 10)},
      {"most negative 64-bit", Rect(kMin, 0, 10, 10), Rect(0, 0, 10, 10)},
      {"most positive 64-bit", Rect(0, 0, 10, std::numeric_limits<std::int64_t>::max()),
       Rect(0, 0, 10, 10)},
  };
  PolygonClipper clipper;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (ClipOperation op :
         {ClipOperation::Intersection, ClipOperation::Union, ClipOperation::Difference}) {
      TPolygons solution{Rect(0, 0, 1, 1)};
      std::string error;
      EXPECT_FALSE(clipper.Execute(op, c.subject, c.clip, solution, error));
      EXPECT_EQ(error, ClipRangeError);
      EXPECT_TRUE(solution.empty());
    }
    const ClipResult result = ClipDifference(c.subject, c.clip);
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.error, ClipRangeError);
  }
  // The limit itself is accepted, and a failure leaves the clipper usable.
  const ClipResult edge =
      clipper.Intersection(Rect(-kLimit, -kLimit, kLimit, kLimit), Rect(0, 0, 100, 100));
  ASSERT_TRUE(edge.Ok()) << edge.error;
  EXPECT_NEAR(static_cast<double>(Area(edge.polygons)), 10000, 1e-9);
}

}  // namespace
}  // namespace soustruh
