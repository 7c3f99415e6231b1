// The clipping adapter and UniteAll, the quill's stop on the stock face, the tool outlines, the
// stock's shape and entries, the view mapping, and the SVG picture. The cases are in
// view_cases.txt.

#include <gtest/gtest.h>

#include <limits>

#include "ViewTestKit.h"
#include "view/SvgCanvas.h"
#include "workpiece/MaterialRemoval.h"
#include "workpiece/QuillContact.h"
#include "workpiece/StockSection.h"

namespace soustruh {
namespace {

using test::view::Area;
using test::view::CaseRows;
using test::view::Rect;

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
const char* const kCases = "view_cases.txt";

// Failures are reported, not thrown: an operation that cannot be made gives no polygons and the
// reason, and the clipper goes on working.
TEST(Clipping, OperationsFillNonZeroTakeEmptyInputAndReportOutOfRange) {
  PolygonClipper clipper;
  for (auto& [row, in] : CaseRows(kCases, "clip")) {
    SCOPED_TRACE(row);
    std::string op, area;
    std::size_t pieces = 0;
    in >> op >> area >> pieces;
    auto polygons = test::view::NamedPolygons(in);
    TPolygons solution{Rect(1, 1, 2, 2)};  // stale content must go
    std::string error = "stale";
    EXPECT_EQ(clipper.Execute(op == "and"  ? ClipOperation::Intersection
                              : op == "or" ? ClipOperation::Union
                                           : ClipOperation::Difference,
                              polygons["subject"], polygons["clip"], solution, error),
              area != "fails");
    EXPECT_EQ(error, area == "fails" ? ClipRangeError : "");
    EXPECT_EQ(Area(solution), area == "fails" ? 0 : std::stold(area));
    EXPECT_EQ(solution.size(), pieces);
  }
  TPolygons stock{Rect(0, 0, 100, 100)};  // the solution may be the subject itself
  std::string error;
  ASSERT_TRUE(
      clipper.Execute(ClipOperation::Difference, stock, Rect(50, -10, 150, 110), stock, error));
  EXPECT_EQ(Area(stock), 5000);
}

TEST(QuillContact, StopsOnTheStockFace) {
  for (auto& [row, in] : CaseRows(kCases, "face")) {
    long double face = 0;
    in >> face;
    EXPECT_NEAR(static_cast<double>(StockFaceZ(test::view::NamedPolygons(in)[""])),
                static_cast<double>(face), 1e-6)
        << row;
  }
  // After a cut and the mirror trim the section comes back from the engine; its face must stay.
  const TPolygon box = Rect(1000000, -50000, 1500000, 50000);
  const ClipResult trimmed = ClipIntersection(box, TPolygon(box.rbegin(), box.rend()));
  ASSERT_TRUE(trimmed.Ok());
  EXPECT_EQ(StockFaceZ(trimmed.polygons), 1500000);

  for (auto& [row, in] : CaseRows(kCases, "quill")) {
    SCOPED_TRACE(row);
    std::int32_t w = 0, newW = 0;
    int state = 0;
    std::string stopped;
    in >> w >> stopped >> newW >> state;
    const bool contact = stopped == "yes";
    const QuillContactResult result =
        QuillContactCheck(test::view::NamedPolygons(in)[""], 3000000, w, 500000);
    EXPECT_EQ(result.contact, contact);
    EXPECT_EQ(result.w, newW);
    EXPECT_EQ(result.targetW, contact ? std::optional(newW) : std::nullopt);
    EXPECT_EQ(result.quillState, state);
    EXPECT_EQ(result.lamp, state == -1 ? QuillLamp::Red : QuillLamp::Green);
  }
}

// The stock dialog's scenarios (scenes/stock.txt) build ordinary stocks; here the extremes.
TEST(Stock, ShapeAtTheExtremesAndAFailedToolCheck) {
  MachineConfig config;
  config.Cel_L_sklic = 350000;
  // An odd diameter truncates toward zero on both sides.
  EXPECT_EQ(StockBuild(450000, 190001, config),
            (TPolygon{{800000, -95000}, {800000, 95000}, {200000, 95000}, {200000, -95000}}));
  // 64-bit arithmetic: no wrap-around at the ends of the 32-bit range.
  config.Sklicidlo_Z = kInt32Max;
  const TPolygon big = StockBuild(kInt32Max, -kInt32Max - 1, config);
  EXPECT_EQ(big[0], (ClipPoint{std::int64_t{kInt32Max} * 2 + 350000, std::int64_t{1} << 30}));
  EXPECT_EQ(big[2].X, std::int64_t{kInt32Max} + 350000 - StockClampedLength);

  // A test that cannot be made counts as a collision: no stock is clamped into a tool unchecked.
  const StockToolCheck failed =
      CheckStockAgainstTool(Rect(0, 0, 10, 10), {{0, 0}, {kInt64Max, 0}, {0, 10}});
  EXPECT_TRUE(failed.collides);
  EXPECT_EQ(failed.error, ClipRangeError);
}

// Fitting, panning and zooming are the sizing scenarios' (scenes/sizing.txt).
TEST(ViewMapping, ModelToScreenRoundsHalvesToEvenAndHolds32Bits) {
  for (auto& [row, in] : CaseRows(kCases, "model to screen")) {
    ViewMapping m;
    std::int64_t h = 0, v = 0;
    ScreenPoint p;
    in >> m.scale >> m.originX >> m.originY >> h >> v >> p.x >> p.y;
    EXPECT_EQ(ModelToScreen(m, h, v), p) << row;
  }
}

TEST(SvgCanvas, WritesThePresentedPictureInRedGreenBlue) {
  SvgCanvas canvas(120, 80);
  canvas.SetPen(0x0000FF);
  canvas.SetBrush(0x7A0B0C);
  canvas.FillRect(0, 0, 120, 80);
  canvas.FillPolygon(std::vector<ScreenPoint>{{1, 2}, {30, -4}, {5, 60}});
  canvas.Present();
  canvas.FillRect(0, 0, 5, 5);  // the next picture, not presented yet
  const std::string svg = canvas.Document();
  for (const char* part : {"width=\"120\" height=\"80\"",
                           "<rect x=\"0\" y=\"0\" width=\"120\" height=\"80\" "
                           "fill=\"#0C0B7A\" stroke=\"#FF0000\"/>",
                           "<polygon points=\"1,2 30,-4 5,60\" "
                           "fill-rule=\"evenodd\" fill=\"#0C0B7A\""})
    EXPECT_NE(svg.find(part), std::string::npos) << part;
  EXPECT_EQ(svg.find("width=\"5\""), std::string::npos);
  test::TempDir dir;
  ASSERT_EQ(canvas.Save(dir.path() / "scene.svg"), "");
  const auto lines = ReadLines(dir.path() / "scene.svg");
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->front(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  EXPECT_EQ(lines->back(), "</svg>");
}

}  // namespace
}  // namespace soustruh
