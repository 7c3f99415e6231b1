// The quill's stop on the stock face, for sections that turning leaves (view_cases.txt). The
// clipping adapter, the view mapping and the stock's shape are driven through the scenes and the
// collision test, the SVG picture through the CLI (tests/programs/cli/bundled_svg).

#include <gtest/gtest.h>

#include "ViewTestKit.h"
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

}  // namespace
}  // namespace soustruh
