// The quill's stop on the stock face, for sections that turning leaves, and the SVG picture. The
// clipping adapter, the view mapping and the stock's shape are driven through the scenes and the
// collision test; the cases here are in view_cases.txt.

#include <gtest/gtest.h>

#include "ViewTestKit.h"
#include "view/SvgCanvas.h"
#include "workpiece/QuillContact.h"

namespace soustruh {
namespace {

using test::view::CaseRows;
using test::view::Rect;

const char* const kCases = "view_cases.txt";

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
