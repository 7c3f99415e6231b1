#include <gtest/gtest.h>

#include "machine/TextFile.h"
#include "support/TempDir.h"
#include "view/SvgCanvas.h"

namespace soustruh {
namespace {

TEST(SvgCanvas, ColoursAreBlueGreenRedTurnedAround) {
  const std::pair<BgrColour, const char*> cases[] = {{0x0000FF, "#FF0000"}, {0xFF0000, "#0000FF"},
                                                     {0x123456, "#563412"}, {0xFFFFFF, "#FFFFFF"},
                                                     {0x000000, "#000000"}, {0x7A0B0C, "#0C0B7A"}};
  for (const auto& [colour, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(SvgColour(colour), text);
  }
}

TEST(SvgCanvas, WritesThePresentedPicture) {
  SvgCanvas canvas(120, 80);
  canvas.SetPen(0x0000FF);
  canvas.SetBrush(0x00FF00);
  canvas.FillRect(0, 0, 120, 80);
  canvas.FillPolygon(std::vector<ScreenPoint>{{1, 2}, {30, -4}, {5, 60}});
  canvas.Present();
  canvas.FillRect(0, 0, 5, 5);  // the next picture, not presented yet
  const std::string svg = canvas.Document();
  EXPECT_NE(svg.find("width=\"120\" height=\"80\""), std::string::npos);
  EXPECT_NE(svg.find("<rect x=\"0\" y=\"0\" width=\"120\" height=\"80\" fill=\"#00FF00\" "
                     "stroke=\"#FF0000\"/>"),
            std::string::npos);
  EXPECT_NE(svg.find("<polygon points=\"1,2 30,-4 5,60\" fill-rule=\"evenodd\" fill=\"#00FF00\""),
            std::string::npos);
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
