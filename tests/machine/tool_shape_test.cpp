#include "machine/ToolShape.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/RecordingHost.h"

namespace soustruh {
namespace {

using Lines = std::vector<std::string>;

const std::string kFormatError = "Chybný formát souboru nástrojů\r\n";
const std::string kPositionError =
    "Chybný formát souboru nástrojů - poloha nástroje musí být \"L\" nebo \"P\" nebo \"OL\" nebo "
    "\"OP\".";

// A tool section [T01] with a two-point holder and, unless `insert` is empty, the one-point
// insert section [D] whose single point (10, 0) shows the rotation plainly.
struct ToolText {
  std::string drzak = "0,0, 1,-2";
  std::string upevneni = "10,20";
  std::string desticka = "D";
  std::string poloha = "P";
  std::string nastaveni = "90";
  std::string stredDest = "1,2";
  std::string obvod = "10,0";
  std::string uhel = "0";

  Lines ToLines() const {
    return {"[T01]",
            "Drzak = " + drzak,
            "Cara = FF0000",
            "Vypln = FF",
            "Upevneni = " + upevneni,
            "Desticka = " + desticka,
            "Poloha = " + poloha,
            "Nastaveni = " + nastaveni,
            "StredDest = " + stredDest,
            "[D]",
            "Obvod = " + obvod,
            "Cara = 00FF00",
            "Vypln = 0000FF",
            "Uhel = " + uhel};
  }
};

// The holder of ToolText: (0, 0) and (1, −2) mm moved by (10, 20) mm.
const ToolShape kHolder = {{2, 0}, {0xFF0000, 0xFF}, {100000, 200000}, {110000, 180000}};

ToolShape Build(const ToolText& text, test::RecordingHost& host) {
  return BuildToolShape(text.ToLines(), 1, host);
}

TEST(ToolShape, SectionHeaderPadsToTwoDigits) {
  const std::pair<int, const char*> cases[] = {
      {0, "[T00]"}, {1, "[T01]"}, {7, "[T07]"}, {12, "[T12]"}, {123, "[T123]"}};
  for (const auto& [tool, header] : cases) EXPECT_EQ(ToolSectionHeader(tool), header) << tool;
}

TEST(ToolShape, FindsTheSectionOfTheTool) {
  const Lines lines = {"[T7]",   "Drzak = 7,7",  "[T07]",   "Drzak = 0,7",
                       "[T123]", "Drzak = 1,23", "[T0123]", "Drzak = 0,123"};
  test::RecordingHost host;
  EXPECT_EQ(BuildToolShape(lines, 7, host), (ToolShape{{1, 0}, {0, 0}, {0, 70000}}));
  EXPECT_EQ(BuildToolShape(lines, 123, host), (ToolShape{{1, 0}, {0, 0}, {10000, 230000}}));
  EXPECT_TRUE(BuildToolShape(lines, 8, host).empty()) << "no section: nothing drawn";
  EXPECT_TRUE(host.messages.empty());
}

TEST(ToolShape, HolderPointsComeInPairs) {
  const struct {
    const char* drzak;
    ToolShape expected;
  } cases[] = {
      // 5 commas: 3 points.
      {"1,2, 3,4, -5,6.5",
       {{3, 0}, {0xFF0000, 0xFF}, {110000, 220000}, {130000, 240000}, {50000, 265000}}},
      // Empty fields between commas are skipped; the missing last field reads as 0.
      {"1,,2,3", {{2, 0}, {0xFF0000, 0xFF}, {110000, 220000}, {130000, 200000}}},
      // A single comma already makes a point.
      {"1,", {{1, 0}, {0xFF0000, 0xFF}, {110000, 200000}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.drzak);
    ToolText text;
    text.drzak = c.drzak;
    text.desticka = "";
    test::RecordingHost host;
    EXPECT_EQ(Build(text, host), c.expected);
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST(ToolShape, InsertTurnsBySettingAndCornerAngle) {
  // The insert point (10, 0) mm turned, then moved to StredDest + Upevneni = (11, 22) mm.
  const struct {
    const char* poloha;
    const char* nastaveni;
    const char* uhel;
    ShapeEntry point;
  } cases[] = {
      {"P", "90", "0", {210000, 220000}},       {"OL", "90", "0", {210000, 220000}},
      {"L", "90", "0", {210000, 220000}},       {"OP", "90", "0", {210000, 220000}},
      {"P", "95", "80", {180711, 290711}},      {"OL", "95", "80", {180711, 290711}},
      {"L", "95", "80", {180711, 149289}},      {"OP", "95", "80", {180711, 149289}},
      {"P", "270", "0", {10000, 220000}},       {"OP", "0", "0", {110000, 320000}},
      {"P", "-1e2", "5.6e2", {110000, 320000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.poloha) + " " + c.nastaveni + " " + c.uhel);
    ToolText text;
    text.poloha = c.poloha;
    text.nastaveni = c.nastaveni;
    text.uhel = c.uhel;
    test::RecordingHost host;
    const ToolShape shape = Build(text, host);
    const ToolShape insert = {{1, 0}, {0xFF00, 0xFF}, c.point};
    const bool insertFirst = text.poloha[0] == 'O';
    ToolShape expected = insertFirst ? insert : kHolder;
    const ToolShape& second = insertFirst ? kHolder : insert;
    expected.insert(expected.end(), second.begin(), second.end());
    expected[0].y = insertFirst ? -1 : 1;
    EXPECT_EQ(shape, expected);
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST(ToolShape, NoUsableInsertLeavesTheHolderAlone) {
  const struct {
    const char* what;
    ToolText text;
    std::string message;  // empty: none shown
  } cases[] = {
      {"no insert", {.desticka = ""}, ""},
      {"missing insert section", {.desticka = "X"}, ""},
      {"Obvod without a comma", {.obvod = "10"}, ""},
      {"Obvod with an odd number of fields", {.obvod = "1,2,3"}, kFormatError + "1,2,3"},
      {"Obvod field not a number", {.obvod = "1,x"}, kFormatError + "[D] Obvod = 1,x"},
      {"Obvod beyond 32 bits", {.obvod = "1,3e5"}, kFormatError + "[D] Obvod = 1,3e5"},
      {"Uhel not a number", {.uhel = "80°"}, kFormatError + "[D] Uhel = 80°"},
      {"Uhel missing", {.uhel = ""}, kFormatError + "[D] Uhel = "},
      {"Uhel infinite", {.uhel = "inf"}, kFormatError + "[D] Uhel = inf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::RecordingHost host;
    EXPECT_EQ(Build(c.text, host), kHolder) << "holder alone, flag 0";
    if (c.message.empty()) {
      EXPECT_TRUE(host.messages.empty());
    } else {
      EXPECT_EQ(host.messages, Lines{c.message});
    }
  }
}

TEST(ToolShape, HolderFaultsHideTheToolWithOneMessage) {
  const struct {
    const char* what;
    ToolText text;
    std::string message;
  } cases[] = {
      {"Drzak with 4 commas", {.drzak = "1,2,3,4,5"}, kFormatError + "1,2,3,4,5"},
      {"Drzak field not a number", {.drzak = "1,x"}, kFormatError + "[T01] Drzak = 1,x"},
      {"Drzak comma as decimal point", {.drzak = "1,5,2"}, kFormatError + "1,5,2"},
      {"Drzak beyond 32 bits", {.drzak = "0,1e999"}, kFormatError + "[T01] Drzak = 0,1e999"},
      {"Drzak plus clamp beyond 32 bits",
       {.drzak = "214740,0", .upevneni = "10,0"},
       kFormatError + "[T01] Drzak = 214740,0"},
      {"Upevneni not a number", {.upevneni = "a,1"}, kFormatError + "[T01] Upevneni = a,1"},
      {"StredDest not a number", {.stredDest = "1;2"}, kFormatError + "[T01] StredDest = 1;2"},
      {"StredDest plus clamp beyond 32 bits",
       {.stredDest = "214747,0"},
       kFormatError + "[T01] StredDest = 214747,0"},
      {"insert point placed beyond 32 bits",
       {.stredDest = "214730,0"},
       kFormatError + "[T01] StredDest = 214730,0"},
      {"Nastaveni not a number", {.nastaveni = "nan"}, kFormatError + "[T01] Nastaveni = nan"},
      {"Nastaveni missing", {.nastaveni = ""}, kFormatError + "[T01] Nastaveni = "},
      {"Poloha lower case", {.poloha = "l"}, kPositionError},
      {"Poloha missing", {.poloha = ""}, kPositionError},
      {"Poloha checked without an insert section",
       {.desticka = "X", .poloha = "R"},
       kPositionError},
      {"holder fault wins over an insert fault",
       {.poloha = "op", .obvod = "1,2,3"},
       kPositionError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::RecordingHost host;
    EXPECT_TRUE(Build(c.text, host).empty());
    EXPECT_EQ(host.messages, Lines{c.message});
  }
}

TEST(ToolShape, HolderWithoutCommaDrawsNothingSilently) {
  for (const char* drzak : {"", "5", "abc"}) {
    SCOPED_TRACE(drzak);
    test::RecordingHost host;
    EXPECT_TRUE(Build({.drzak = drzak}, host).empty());
    EXPECT_TRUE(host.messages.empty());
  }
}

class ToolFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("soustruh_tool_shape_" +
                  std::to_string(::testing::UnitTest::GetInstance()->current_test_info()->line()));
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  void WriteToolFile(const std::string& bytes) {
    std::ofstream(directory_ / ToolFileName, std::ios::binary) << bytes;
  }

  std::filesystem::path directory_;
  test::RecordingHost host_;
};

TEST_F(ToolFileTest, MissingFileLeavesTheSlotAlone) {
  TStroj drawing;
  drawing[NASTROJ] = {{1, 0}, {0, 0}, {0, -300000}};
  const TStroj before = drawing;
  EXPECT_FALSE(LoadToolDrawing(directory_, 1, host_, drawing));
  EXPECT_EQ(drawing, before);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ToolFileTest, FileIsReadAfreshAtEveryLoad) {
  TStroj drawing;
  drawing[NASTROJ] = {{1, 0}, {0, 0}, {0, -300000}};
  // Windows-1250 text with CR LF, a comment with a diacritic before the section.
  WriteToolFile("N\xE1stroje\r\n[T01]\r\nDrzak = 1,2\r\n");
  ASSERT_TRUE(LoadToolDrawing(directory_, 1, host_, drawing));
  EXPECT_EQ(drawing[NASTROJ], (ToolShape{{1, 0}, {0, 0}, {10000, 20000}}));
  WriteToolFile("[T01]\r\nDrzak = 3,4\r\n");
  ASSERT_TRUE(LoadToolDrawing(directory_, 1, host_, drawing));
  EXPECT_EQ(drawing[NASTROJ], (ToolShape{{1, 0}, {0, 0}, {30000, 40000}}));
  ASSERT_TRUE(LoadToolDrawing(directory_, 0, host_, drawing)) << "tool 0 during a change";
  EXPECT_TRUE(drawing[NASTROJ].empty());
  for (std::size_t part = 0; part < DrawingPartCount; ++part) {
    if (part != NASTROJ) {
      EXPECT_TRUE(drawing[part].empty()) << part;
    }
  }
  EXPECT_TRUE(host_.messages.empty());
}

}  // namespace
}  // namespace soustruh
