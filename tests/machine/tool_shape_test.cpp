#include "machine/ToolShape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/VirtualHost.h"
#include "platform/TextFile.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

using Lines = std::vector<std::string>;

std::string FormatError(const std::string& what) {
  return "Chybný formát souboru nástrojů\r\n" + what;
}
const std::string kPositionError =
    "Chybný formát souboru nástrojů - poloha nástroje musí být \"L\" nebo \"P\" nebo \"OL\" nebo "
    "\"OP\".";

// Tool [T01] with a two-point holder and, unless `desticka` is changed, the one-point insert [D]
// whose single point (10, 0) shows the rotation plainly.
struct ToolText {
  std::string drzak = "0,0, 1,-2", upevneni = "10,20", desticka = "D", poloha = "P",
              nastaveni = "90", stredDest = "1,2", obvod = "10,0", uhel = "0";

  Lines ToLines() const {
    return SplitLines("[T01]\nDrzak = " + drzak + "\nCara = FF0000\nVypln = FF\nUpevneni = " +
                      upevneni + "\nDesticka = " + desticka + "\nPoloha = " + poloha +
                      "\nNastaveni = " + nastaveni + "\nStredDest = " + stredDest +
                      "\n[D]\nObvod = " + obvod + "\nCara = 00FF00\nVypln = 0000FF\nUhel = " + uhel)
        .lines;
  }
};

// The holder of ToolText: (0, 0) and (1, −2) mm moved by (10, 20) mm.
const ToolShape kHolder = {{2, 0}, {0xFF0000, 0xFF}, {100000, 200000}, {110000, 180000}};

ToolShape Build(const ToolText& text, Lines& messages) {
  VirtualHost host;
  ToolShape shape = BuildToolShape(text.ToLines(), 1, host);
  messages = host.messages;
  return shape;
}

TEST(ToolShape, FindsTheSectionOfTheTool) {
  const Lines lines = {"[T7]",   "Drzak = 7,7",  "[T07]",   "Drzak = 0,7",  "[T00]", "Drzak = 0,0",
                       "[T123]", "Drzak = 1,23", "[T0123]", "Drzak = 0,123"};
  VirtualHost host;
  EXPECT_EQ(BuildToolShape(lines, 7, host), (ToolShape{{1, 0}, {0, 0}, {0, 70000}}));
  EXPECT_EQ(BuildToolShape(lines, 123, host), (ToolShape{{1, 0}, {0, 0}, {10000, 230000}}));
  EXPECT_EQ(BuildToolShape(lines, 0, host), (ToolShape{{1, 0}, {0, 0}, {0, 0}}));
  EXPECT_TRUE(BuildToolShape(lines, 8, host).empty()) << "no section: nothing drawn";
  EXPECT_TRUE(host.messages.empty());
}

// 5 commas give 3 points, one comma already a point; empty fields between commas are skipped
// and a missing last field reads as 0. Upevneni moves every point.
TEST(ToolShape, HolderPointsComeInPairs) {
  const std::pair<const char*, ToolShape> cases[] = {
      {"1,2, 3,4, -5,6.5",
       {{3, 0}, {0xFF0000, 0xFF}, {110000, 220000}, {130000, 240000}, {50000, 265000}}},
      {"1,,2,3", {{2, 0}, {0xFF0000, 0xFF}, {110000, 220000}, {130000, 200000}}},
      {"1,", {{1, 0}, {0xFF0000, 0xFF}, {110000, 200000}}}};
  for (const auto& [drzak, expected] : cases) {
    Lines messages;
    EXPECT_EQ(Build({.drzak = drzak, .desticka = ""}, messages), expected) << drzak;
    EXPECT_TRUE(messages.empty());
  }
}

// The insert point (10, 0) mm is turned by ((Nastaveni − 90) + Uhel / 2)°, counter-clockwise for
// P and OL, then moved to StredDest + Upevneni = (11, 22) mm.
TEST(ToolShape, InsertTurnsBySettingAndCornerAngle) {
  const struct {
    const char *poloha, *nastaveni, *uhel;
    ShapeEntry point;
  } cases[] = {{"P", "90", "0", {210000, 220000}},      {"OL", "90", "0", {210000, 220000}},
               {"P", "95", "80", {180711, 290711}},     {"OL", "95", "80", {180711, 290711}},
               {"L", "95", "80", {180711, 149289}},     {"OP", "95", "80", {180711, 149289}},
               {"P", "270", "0", {10000, 220000}},      {"OP", "0", "0", {110000, 320000}},
               {"P", "-1e2", "5.6e2", {110000, 320000}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.poloha) + " " + c.nastaveni + " " + c.uhel);
    const ToolShape insert = {{1, 0}, {0xFF00, 0xFF}, c.point};
    const bool insertFirst = c.poloha[0] == 'O';
    ToolShape expected = insertFirst ? insert : kHolder;
    const ToolShape& second = insertFirst ? kHolder : insert;
    expected.insert(expected.end(), second.begin(), second.end());
    expected[0].y = insertFirst ? -1 : 1;
    Lines messages;
    EXPECT_EQ(Build({.poloha = c.poloha, .nastaveni = c.nastaveni, .uhel = c.uhel}, messages),
              expected);
    EXPECT_TRUE(messages.empty());
  }
}

// A fault of the holder part hides the tool; a missing or faulty insert leaves the holder alone
// (flag 0). Faults are shown, the insert's too, at most one message per build, the holder's
// first; numbers beyond 32 bits count as format errors.
TEST(ToolShape, FaultsAndWhatIsDrawn) {
  const struct {
    ToolText text;
    bool holderAlone;     // else nothing is drawn
    std::string message;  // empty: none shown
  } cases[] = {
      {{.desticka = ""}, true, ""},
      {{.obvod = "10"}, true, ""},
      {{.obvod = "1,2,3"}, true, FormatError("1,2,3")},
      {{.obvod = "1,x"}, true, FormatError("[D] Obvod = 1,x")},
      {{.uhel = "80°"}, true, FormatError("[D] Uhel = 80°")},
      {{.drzak = ""}, false, ""},
      {{.drzak = "1,2,3,4,5"}, false, FormatError("1,2,3,4,5")},
      {{.drzak = "1,x"}, false, FormatError("[T01] Drzak = 1,x")},
      {{.drzak = "214740,0", .upevneni = "10,0"}, false, FormatError("[T01] Drzak = 214740,0")},
      {{.stredDest = "1;2"}, false, FormatError("[T01] StredDest = 1;2")},
      {{.nastaveni = "nan"}, false, FormatError("[T01] Nastaveni = nan")},
      {{.poloha = "l"}, false, kPositionError},
      {{.desticka = "X", .poloha = "R"}, false, kPositionError},
      {{.poloha = "op", .obvod = "1,2,3"}, false, kPositionError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text.ToLines()));
    Lines messages;
    EXPECT_EQ(Build(c.text, messages), c.holderAlone ? kHolder : ToolShape{});
    EXPECT_EQ(messages, c.message.empty() ? Lines{} : Lines{c.message});
  }
}
// The file is read afresh from disk at every load (Windows-1250, CR LF); without it the slot
// keeps what it had.
TEST(ToolShape, LoadToolDrawingReplacesOnlyTheToolSlot) {
  test::TempDir dir;
  VirtualHost host;
  TStroj drawing;
  drawing[NASTROJ] = {{1, 0}, {0, 0}, {0, -300000}};
  const TStroj before = drawing;
  EXPECT_FALSE(LoadToolDrawing(dir.path(), 1, host, drawing));
  EXPECT_EQ(drawing, before);
  test::WriteBytes(dir.path() / ToolFileName, "[T01]\r\nDrzak = 3,4\r\n");
  ASSERT_TRUE(LoadToolDrawing(dir.path(), 1, host, drawing));
  EXPECT_EQ(drawing[NASTROJ], (ToolShape{{1, 0}, {0, 0}, {30000, 40000}}));
  ASSERT_TRUE(LoadToolDrawing(dir.path(), 0, host, drawing)) << "tool 0 during a change";
  EXPECT_TRUE(drawing[NASTROJ].empty());
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace soustruh
