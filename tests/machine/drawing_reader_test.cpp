#include "machine/MachineDrawing.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "machine/MachineConfigReader.h"
#include "machine/TextFile.h"
#include "support/RecordingHost.h"

namespace soustruh {
namespace {

using Lines = std::vector<std::string>;

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

struct Reader {
  TStroj drawing;
  DrawingBounds bounds;

  std::optional<DrawingReadError> Read(const Lines& lines, std::size_t part) {
    return ReadDrawingSection(lines, part, drawing, bounds);
  }
};

TEST(DrawingReader, EachLineWithCommasIsOnePolygon) {
  Reader r;
  const Lines lines = {"[OSA_X]",
                       "  vozík",
                       "  000000 , 0000FF, 0,0, 10.5,-2, 1e1,20  ",
                       "",
                       "00,00,5,5,6,6,7,7,8,8",
                       "[KONIK]",
                       "00,00,90,9,9,9,9,9"};
  ASSERT_FALSE(r.Read(lines, OSA_X));
  const TUtvar expected = {{3, 0},           {0, 0xFF},      {0, 0},        {105000, -20000},
                           {100000, 200000}, {4, 0},         {0, 0},        {50000, 50000},
                           {60000, 60000},   {70000, 70000}, {80000, 80000}};
  EXPECT_EQ(r.drawing[OSA_X], expected);
  EXPECT_EQ(r.bounds.minX, 0);
  EXPECT_EQ(r.bounds.maxX, 105000) << "the next section is not part of it";
  EXPECT_EQ(r.bounds.minY, -20000);
  EXPECT_EQ(r.bounds.maxY, 200000);
  for (std::size_t part = 0; part < DrawingPartCount; ++part) {
    if (part != OSA_X) {
      EXPECT_TRUE(r.drawing[part].empty()) << part;
    }
  }
}

TEST(DrawingReader, FaultyLinesAreFormatErrors) {
  const char* const cases[] = {
      "FF,00,1,2,3",          // 4 commas
      "FF,00",                // 1 comma
      "FF,00,1",              // 2 commas
      "FF,00,abc,0",          // not a number
      "FF,00,1;5,0",          // not a number
      "FF,00,214748.3648,0",  // beyond 32 bits
      "FF,00,0,-1e300",       // far beyond
  };
  for (const char* line : cases) {
    SCOPED_TRACE(line);
    Reader r;
    const Lines lines = {"[RAM]", "00,00,1,1,2,2,3,3", std::string("\t") + line + "  ",
                         "00,00,7,7,8,8,9,9"};
    const auto error = r.Read(lines, RAM);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message, std::string("Chybný formát souboru sestavení stroje\r\n") + line);
    EXPECT_EQ(error->lineNumber, 3u);
    EXPECT_EQ(r.drawing[RAM].size(), 5u) << "the faulty line and the rest add nothing";
    EXPECT_EQ(r.bounds.maxX, 30000);
  }
}

TEST(DrawingReader, FieldsAreTakenAsListTokens) {
  struct Case {
    const char* line;
    TUtvar expected;
  };
  const Case cases[] = {
      // Pairs written with blanks: 3 commas make one point, the rest is ignored.
      {"FF,00,0 0,10 0", {{1, 0}, {0xFF, 0}, {0, 0}}},
      // Empty fields are skipped; missing trailing fields read as 0.
      {"FF,FF,1,,,2", {{2, 0}, {0xFF, 0xFF}, {10000, 20000}, {0, 0}}},
      {",,,", {{1, 0}, {0, 0}, {0, 0}}},
      {"00,00,1.23456,-0.5", {{1, 0}, {0, 0}, {12346, -5000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Reader r;
    ASSERT_FALSE(r.Read({"[KRYTY]", c.line}, KRYTY));
    EXPECT_EQ(r.drawing[KRYTY], c.expected);
  }
}

TEST(DrawingReader, AbsentOrEndedSectionsReadNothing) {
  Reader r;
  const Lines lines = {"[RAM]", "00,00,1,1,2,2,3,3", "poznámka [konec]", "00,00,9,9,9,9,9,9"};
  EXPECT_FALSE(r.Read(lines, OSA_Z));
  EXPECT_TRUE(r.drawing[OSA_Z].empty());
  EXPECT_TRUE(r.bounds.IsEmpty());
  ASSERT_FALSE(r.Read(lines, RAM));
  EXPECT_EQ(r.drawing[RAM].size(), 5u);
  EXPECT_FALSE(r.Read({"[SKLICIDLO]", "00,00,1,1,2,2,3,3"}, SKLICIDLO));
  EXPECT_TRUE(r.drawing[SKLICIDLO].empty()) << "the chuck is never read from the file";
}

TEST(DrawingReader, BoundsOnlyWiden) {
  Reader r;
  EXPECT_TRUE(r.bounds.IsEmpty());
  ASSERT_FALSE(r.Read({"[RAM]", "00,00,-5,-6,7,8,0,0"}, RAM));
  ASSERT_FALSE(r.Read({"[RAM]", "00,00,1,1,2,2,3,3"}, RAM));
  EXPECT_EQ(r.bounds.minX, -50000);
  EXPECT_EQ(r.bounds.minY, -60000);
  EXPECT_EQ(r.bounds.maxX, 70000);
  EXPECT_EQ(r.bounds.maxY, 80000);
  r.drawing = {};  // a reload empties the drawing but keeps the bounds
  ASSERT_FALSE(r.Read({"[RAM]", "00,00,1,1,2,2,3,30"}, RAM));
  EXPECT_EQ(r.bounds.minX, -50000);
  EXPECT_EQ(r.bounds.maxY, 300000);
}

TEST(DrawingReader, QuillTipIsTheSmallestPointX) {
  TUtvar quill = {{3, 0}, {0, 0},      {300000, 0}, {320000, 50000}, {320000, -50000}, {4, 0},
                  {0, 0}, {250000, 1}, {400000, 1}, {400000, 2},     {260000, 2}};
  EXPECT_EQ(QuillTipX(quill), 250000) << "headers and colours are not points";
  EXPECT_EQ(QuillTipX({}), kIntMax);
  quill.resize(4);  // a truncated list reads the points it has
  EXPECT_EQ(QuillTipX(quill), 300000);
}

TEST(DrawingReader, WholeDrawingStopsAtTheFirstFaultyLine) {
  const Lines good = {"[PINOLA]", "00,00,30,0,35,5,35,-5", "[RAM]", "00,00,0,0,1,0,1,1"};
  TStroj drawing;
  DrawingBounds bounds;
  std::int32_t tip = 0;
  ASSERT_FALSE(ReadMachineDrawing(good, drawing, bounds, tip));
  EXPECT_EQ(tip, 300000);
  EXPECT_EQ(drawing[RAM].size(), 5u);

  const Lines faulty = {"[OSA_Z]", "00,00,1,1,2", "[PINOLA]", "00,00,30,0,35,5,35,-5"};
  TStroj other;
  tip = 7;
  const auto error = ReadMachineDrawing(faulty, other, bounds, tip);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->lineNumber, 2u);
  EXPECT_TRUE(other[PINOLA].empty()) << "sections after the fault are not read";
  EXPECT_EQ(tip, 7);

  TStroj none;
  ASSERT_FALSE(ReadMachineDrawing({"[PARAM_STROJE]"}, none, bounds, tip));
  EXPECT_EQ(tip, kIntMax) << "no quill drawn";
}

TEST(DrawingReader, HugeCommaRunsAreReadInLinearTime) {
  // Two million commas: a million points at (0, 0) from missing fields.
  std::string line = "00,00,1,2";
  line.append(2'000'000, ',');
  line += "3";
  Reader r;
  ASSERT_FALSE(r.Read({"[RAM]", line}, RAM));
  ASSERT_EQ(r.drawing[RAM].size(), 1'000'001u + 2u);
  EXPECT_EQ(r.drawing[RAM][2], (ShapeEntry{10000, 20000}));
  EXPECT_EQ(r.drawing[RAM][3], (ShapeEntry{30000, 0}));
  line += ",";  // an even number of commas
  EXPECT_TRUE(r.Read({"[RAM]", line}, RAM));
}

TEST(DrawingReader, BundledDrawingHasAllNineParts) {
  const auto lines = ReadLines(SOUSTRUH_SOURCE_DIR "/data/GeoStroj.dat");
  ASSERT_TRUE(lines);
  TStroj drawing;
  DrawingBounds bounds;
  std::int32_t tip = 0;
  const auto error = ReadMachineDrawing(*lines, drawing, bounds, tip);
  ASSERT_FALSE(error) << error->message;
  for (std::size_t part = 0; part < DrawingFileSectionCount; ++part) {
    SCOPED_TRACE(DrawingSectionNames[part]);
    const TUtvar& shape = drawing[part];
    EXPECT_FALSE(shape.empty());
    std::size_t polygons = 0;
    for (std::size_t at = 0; at < shape.size(); at += 2 + static_cast<std::size_t>(shape[at].x)) {
      EXPECT_GE(shape[at].x, 3) << "a polygon has an area";
      EXPECT_EQ(shape[at].y, 0);
      ++polygons;
    }
    EXPECT_GE(polygons, part == NASTROJ ? 1u : 2u);
  }
  EXPECT_FALSE(bounds.IsEmpty());
  // The retracted quill clears the longest stock, or no stock could ever be clamped.
  test::RecordingHost host;
  MachineConfig c;
  ASSERT_TRUE(ReadMachineConfig(SOUSTRUH_SOURCE_DIR "/data", host, c));
  EXPECT_GT(tip - c.MinW, c.Sklicidlo_Z + c.Cel_L_sklic + c.Max_L_mat);
}

}  // namespace
}  // namespace soustruh
