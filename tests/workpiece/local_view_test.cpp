// A band cut out of a stock through a local view and spliced back against the same cut on the
// whole stock, over a stock that is cut again and again at random: grooves, a parted piece, bands
// across the axis, through the face and into thin parts. The two may differ only where the engine
// rounds a crossing point a unit apart; the splice never loses or invents material.

#include "workpiece/LocalView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace soustruh {
namespace {

double Area(const TPolygons& polygons) {
  double sum = 0;
  for (const TPolygon& p : polygons) sum += static_cast<double>(TwiceArea(p)) / 2;
  return sum;
}

// A symmetric stock, 60 mm long and 40 mm across, its outline a run of grooves of random depth.
TPolygons GroovedStock(std::mt19937_64& rng) {
  std::uniform_int_distribution<std::int64_t> depth(0, 20000);
  TPolygon top;
  for (std::int64_t z = 600000; z > 0; z -= 5000) {
    const std::int64_t r = 200000 - depth(rng);
    top.push_back({z, r});
    top.push_back({z - 4000, r});
  }
  TPolygon outline(top.begin(), top.end());
  for (auto it = top.rbegin(); it != top.rend(); ++it) outline.push_back({it->X, -it->Y});
  return ClipUnion(outline, TPolygons{}).polygons;
}

TEST(LocalView, CutsAsTheWholeStockIsCut) {
  std::mt19937_64 rng(7);
  TPolygons stock = GroovedStock(rng);
  std::uniform_int_distribution<std::int64_t> along(-20000, 620000), across(150000, 230000);
  std::uniform_int_distribution<std::int64_t> size(2000, 60000);
  int local = 0, cuts = 0;
  for (int step = 0; step < 300; ++step) {
    SCOPED_TRACE(step);
    // A band: a random quadrilateral over the outline on either side, now and then a slot
    // through the whole section.
    const std::int64_t z = along(rng), w = size(rng), h = size(rng);
    const std::int64_t r = step % 2 == 0 ? across(rng) : -across(rng) - h;
    const TPolygon band =
        step % 25 == 24
            ? TPolygon{{z, -300000}, {z + 3000, -300000}, {z + 3000, 300000}, {z, 300000}}
            : TPolygon{{z, r}, {z + w, r + h / 3}, {z + w / 2, r + h}, {z - w / 4, r + h / 2}};
    const ClipResult whole = ClipDifference(stock, band);
    ASSERT_TRUE(whole.Ok());
    IndexedPolygons set;
    set.Assign(stock);
    LocalView view;
    ClipBox box;
    box.Add(band);
    if (view.Build(set, box.Grown(2))) {
      const ClipResult near = ClipDifference(view.polygons(), band);
      ASSERT_TRUE(near.Ok());
      const bool overlaps = !ClipIntersection(view.polygons(), band).polygons.empty();
      EXPECT_EQ(overlaps, !ClipIntersection(stock, band).polygons.empty());
      if (view.Splice(near.polygons, set)) {
        ++local;
        // What one result has and the other not: at most a unit along the band's outline.
        const double apart = Area(ClipDifference(set.polygons(), whole.polygons).polygons) +
                             Area(ClipDifference(whole.polygons, set.polygons()).polygons);
        EXPECT_LE(apart, 4.0 * static_cast<double>(w + h));
        EXPECT_NEAR(Area(set.polygons()), Area(whole.polygons), 4.0 * static_cast<double>(w + h));
      }
    }
    cuts += Area(whole.polygons) < Area(stock);
    stock = whole.polygons;
  }
  // Not vacuous: most cuts went through a local view, and the stock fell apart on the way.
  EXPECT_GT(local, 200);
  EXPECT_GT(cuts, 100);
  EXPECT_GT(stock.size(), 2u);
}

}  // namespace
}  // namespace soustruh
