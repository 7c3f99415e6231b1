#include "view/StockSection.h"

#include <gtest/gtest.h>

#include <limits>

namespace soustruh {
namespace {

MachineConfig SampleConfig() {
  MachineConfig config;
  config.Sklicidlo_Z = 500000;
  config.Cel_L_sklic = 350000;  // jaws' front faces at Z 85 mm
  config.Max_D_mat = 800000;
  config.Max_L_mat = 1500000;
  return config;
}

TEST(Stock, BuildPlacesTheCornersInOrder) {
  struct Case {
    const char* name;
    std::int32_t protrusion, diameter;
    TPolygon corners;
  };
  const Case cases[] = {
      {"default 19 x 45 mm",
       450000,
       190000,
       {{1300000, -95000}, {1300000, 95000}, {700000, 95000}, {700000, -95000}}},
      {"no protrusion: only the part inside the jaws",
       0,
       190000,
       {{850000, -95000}, {850000, 95000}, {700000, 95000}, {700000, -95000}}},
      {"odd diameter truncates toward zero on both sides",
       450000,
       190001,
       {{1300000, -95000}, {1300000, 95000}, {700000, 95000}, {700000, -95000}}},
      {"diameter of one unit", 10, 1, {{850010, 0}, {850010, 0}, {700000, 0}, {700000, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StockBuild(c.protrusion, c.diameter, SampleConfig()), c.corners);
  }
  EXPECT_EQ(StockRadiusFor(190001), 95000);
  EXPECT_EQ(StockRadiusFor(-3), -1);

  // 64-bit arithmetic: no wrap-around at the ends of the 32-bit range.
  MachineConfig far = SampleConfig();
  far.Sklicidlo_Z = std::numeric_limits<std::int32_t>::max();
  const std::int32_t huge = std::numeric_limits<std::int32_t>::max();
  const TPolygon big = StockBuild(huge, std::numeric_limits<std::int32_t>::min(), far);
  EXPECT_EQ(big[0].X, std::int64_t{huge} * 2 + 350000);
  EXPECT_EQ(big[0].Y, std::int64_t{1} << 30);
  EXPECT_EQ(big[2].X, std::int64_t{huge} + 350000 - StockClampedLength);
}

TEST(Stock, ParseEntry) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> units;
  };
  const Case cases[] = {
      {"19.000", 190000},
      {"45", 450000},
      {"0", 0},
      {"0.00005", 0},
      {"0.00015", 2},
      {"", {}},
      {"abc", {}},
      {"1,5", {}},
      {"-1", {}},
      {"214748.3647", std::numeric_limits<std::int32_t>::max()},
      {"214748.3648", {}},
      {"1e300", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseStockEntry(c.text), c.units);
  }
  EXPECT_EQ(ParseStockEntry(StockDiameterDefaultText), 190000);
  EXPECT_EQ(ParseStockEntry(StockProtrusionDefaultText), 450000);
}

TEST(Stock, SizeLimitsAreInclusive) {
  const MachineConfig config = SampleConfig();
  const std::string message =
      "Polotovar je větší, než je možné upnout do stroje - max. průměr je 80.0, max. délka "
      "150.0 mm.";
  struct Case {
    const char* name;
    std::int32_t protrusion, diameter;
    bool refused;
  };
  const Case cases[] = {
      {"both at the limit", 1500000, 800000, false},
      {"protrusion one unit over", 1500001, 800000, true},
      {"diameter one unit over", 1500000, 800001, true},
      {"small", 0, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<std::string> error = StockSizeError(c.protrusion, c.diameter, config);
    EXPECT_EQ(error.has_value(), c.refused);
    if (error) {
      EXPECT_EQ(*error, message);
    }
  }
  MachineConfig odd = config;
  odd.Max_D_mat = 812345;
  odd.Max_L_mat = 5;
  EXPECT_EQ(StockSizeError(6, 0, odd),
            "Polotovar je větší, než je možné upnout do stroje - max. průměr je 81.2, max. délka "
            "0.0 mm.");
}

// Two polygons: a triangle (the header flag given) and a square, both with colours.
TUtvar ToolShapes(std::int32_t flag) {
  return {{3, flag},  {0x0000FF, 0xFF0000}, {0, 0}, {10000, 0}, {0, 10000},
          {4, 0},     {0x00FF00, 0},        {0, 0}, {0, 20000}, {-20000, 20000},
          {-20000, 0}};
}

TEST(Stock, TestOutlineFollowsTheInsertFlag) {
  const TPolygon triangle{{1000000, 150}, {1010000, 150}, {1000000, 10150}};
  const TPolygon square{{1000000, 150}, {1000000, 20150}, {980000, 20150}, {980000, 150}};
  struct Case {
    const char* name;
    TUtvar tool;
    TPolygon outline;
  };
  TUtvar truncated = ToolShapes(1);
  truncated.pop_back();
  const Case cases[] = {
      {"insert first", ToolShapes(-1), triangle},
      {"no insert: the holder", ToolShapes(0), triangle},
      {"insert second", ToolShapes(1), square},
      {"unknown flag", ToolShapes(2), {}},
      {"no tool", {}, {}},
      {"second polygon cut short", truncated, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StockTestOutline(c.tool, 301, 1000000), c.outline);  // odd X: radial 150
  }
  EXPECT_EQ(StockTestOutline(ToolShapes(0), -301, 0)[0], (ClipPoint{0, -150}));
}

TEST(Stock, ToolCollision) {
  const TPolygon stock = StockBuild(450000, 190000, SampleConfig());  // Z 70..130 mm, R ±9.5 mm
  struct Case {
    const char* name;
    std::int32_t x, z;
    bool collides;
  };
  const Case cases[] = {
      {"tip inside the stock", 100000, 1200000, true},
      {"tip beyond the face", 100000, 1300001, false},
      {"tip on the face only", 100000, 1300000, false},
      {"tip above the diameter", 190000, 1200000, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const StockToolCheck check =
        CheckStockAgainstTool(stock, StockTestOutline(ToolShapes(-1), c.x, c.z));
    EXPECT_EQ(check.collides, c.collides);
    EXPECT_EQ(check.error, "");
  }
  const TPolygon wild{{0, 0}, {std::numeric_limits<std::int64_t>::max(), 0}, {0, 10}};
  const StockToolCheck failed = CheckStockAgainstTool(stock, wild);
  EXPECT_TRUE(failed.collides);
  EXPECT_EQ(failed.error, ClipRangeError);
}

}  // namespace
}  // namespace soustruh
