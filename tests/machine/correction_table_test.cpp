#include "machine/CorrectionTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "machine/MachineConfig.h"
#include "machine/TextFile.h"
#include "nc/Interpreter.h"
#include "support/Files.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::RecordingHost;
using test::TempDir;
using test::WriteBytes;

// 99 rows as a person might type them: loose spacing and any floating-point form.
std::vector<std::string> HandWrittenRows() {
  std::vector<std::string> rows;
  for (int i = 1; i <= 99; ++i) rows.push_back(std::to_string(i) + "  1.5 -2 .25e1   3 Nůž");
  return rows;
}

std::string FileOf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

std::vector<std::string> ZeroRows() {
  CorrectionTable table;
  table.Zero();
  return table.rows;
}

class CorrectionTableTest : public ::testing::Test {
 protected:
  MachineConfig config;
  NcInterpreter interpreter{config};
  RecordingHost host;
};

TEST(CorrectionRow, FreshRowIsExactly38Characters) {
  ToolCorrection fresh;
  fresh.Number = 1;
  EXPECT_EQ(BuildRow(fresh), "  1     0.000     0.000     0.000  0  ");
  EXPECT_EQ(BuildRow(fresh).size(), 38u);
}

TEST(CorrectionRow, NextWordCutsAtTheFirstBlank) {
  struct Case {
    std::string rest, word, restAfter;
  };
  const Case cases[] = {
      {"  12   ab  cd ", "12", "  ab  cd "},
      {"abc", "abc", ""},
      {"", "", ""},
      {"   ", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rest);
    std::string rest = c.rest;
    EXPECT_EQ(NextWord(rest), c.word);
    EXPECT_EQ(rest, c.restAfter);
  }
}

TEST_F(CorrectionTableTest, EntryTextsAreNormalisedIntoTheRow) {
  struct Case {
    CorrectionFields fields;
    std::string row;
  };
  const Case cases[] = {
      {{"5", "1.", "0", "3", "a"}, "  7     0.005     1.000     0.000  3  a"},
      {{"5.0", "0", "0", "0", ""}, "  7     5.000     0.000     0.000  0  "},
      {{"1234", "0", "0", "0", ""}, "  7     0.000     0.000     0.000  0  "},
      {{"-2.5", "+999.999", "", "0", ""}, "  7    -2.500   999.999     0.000  0  "},
      {{"  7.", "5x", "0.8", "", "Nůž  vnější"},
       "  7     7.000     0.000     0.800  0  Nůž  vnější"},
      {{"-0", "-", ".", "9", ""}, "  7     0.000     0.000     0.000  9  "},
      {{"0", "0", "0", "10", ""}, "  7     0.000     0.000     0.000 10  "},
  };
  interpreter.setError(kErrBadCombination);  // an alarm already showing must survive the edit
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(RowFromFields(7, c.fields, interpreter), c.row);
    EXPECT_EQ(interpreter.error(), kErrBadCombination);
  }
}

TEST_F(CorrectionTableTest, DescriptionWithBlanksSurvivesAClick) {
  const std::string row = "  4    12.500    -3.000     0.800  3  Hrubovací nůž  pravý";
  const CorrectionFields fields = FieldsFromRow(row);
  EXPECT_EQ(fields.X, "12.500");
  EXPECT_EQ(fields.Z, "-3.000");
  EXPECT_EQ(fields.R, "0.800");
  EXPECT_EQ(fields.L, "3");
  EXPECT_EQ(fields.Popis, "Hrubovací nůž  pravý");
  EXPECT_EQ(RowFromFields(4, fields, interpreter), row);
}

TEST(CorrectionRow, TipPictureFollowsTheLText) {
  const std::pair<std::string, int> cases[] = {{"0", 1},  {"1", 2},  {"8", 9}, {"9", 1},
                                               {"10", 1}, {"", 0},   {"x", 0}, {"-1", 0},
                                               {" 3", 4}, {"+2", 3}, {"2a", 0}};
  for (const auto& [text, picture] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(TipPicture(text), picture);
  }
}

TEST(CorrectionRow, NoseOffsetsFollowTheTipPosition) {
  const std::int32_t r = 8000;
  const NoseOffset expected[] = {{0, 0}, {r, r}, {r, -r}, {-r, -r}, {-r, r},
                                 {0, r}, {r, 0}, {0, -r}, {-r, 0},  {0, 0}};
  for (int l = 0; l <= 9; ++l) {
    SCOPED_TRACE(l);
    EXPECT_EQ(NoseOffsets(l, r), expected[l]);
  }
}

TEST_F(CorrectionTableTest, ReplaceAndRewriteOnlyTouchExistingRows) {
  CorrectionTable table;
  table.Zero();
  ToolCorrection c;
  c.Number = 99;
  c.X = 125000;
  EXPECT_TRUE(table.ReplaceRow(c));
  EXPECT_EQ(table.rows[98], " 99    12.500     0.000     0.000  0  ");
  const auto before = table.rows;
  c.Number = 100;
  EXPECT_FALSE(table.ReplaceRow(c));
  c.Number = 0;
  EXPECT_FALSE(table.ReplaceRow(c));
  table.RewriteRow(-1, {"1.", "1.", "1.", "1", "x"}, interpreter);
  table.RewriteRow(99, {"1.", "1.", "1.", "1", "x"}, interpreter);
  EXPECT_EQ(table.rows, before);
  table.RewriteRow(1, {"1.", "2.", "0.4", "3", "x"}, interpreter);
  EXPECT_EQ(table.rows[1], "  2     1.000     2.000     0.400  3  x");
}

TEST_F(CorrectionTableTest, CorrectionIsReadFromTheRowText) {
  CorrectionTable table;
  table.rows = {"garbage", "  2  12.5  -3  0.8  3  Nůž", "3 1e2 0 0 1"};
  struct Case {
    int d;
    ToolCorrection expected;
    NcError error;
  };
  const Case cases[] = {
      {0, {0, 0, 0, 0, 0, ""}, kErrNone},  // correction 0 never reads row text
      {2, {2, 125000, -30, 8000, 3, "Nůž"}, kErrNone},
      {3, {3, 0, 0, 0, 1, ""}, kErrBlockFormat},  // 1e2 passes the start-up check only
      {4, {4, 0, 0, 0, 0, ""}, kErrNone},         // beyond the list
      {-1, {-1, 0, 0, 0, 0, ""}, kErrNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.d);
    interpreter.setError(kErrNone);
    EXPECT_EQ(table.Correction(c.d, interpreter), c.expected);
    EXPECT_EQ(interpreter.error(), c.error);
  }
  const CorrectionTable empty;
  EXPECT_EQ(empty.Correction(1, interpreter).X, 0);
}

TEST_F(CorrectionTableTest, StartUpCheckDecidesWhatAFileIs) {
  struct Case {
    std::string name;
    std::vector<std::string> lines;
    TableLoadResult result;
  };
  std::vector<Case> cases;
  cases.push_back({"99 hand-written rows", HandWrittenRows(), TableLoadResult::Ok});
  auto lines = HandWrittenRows();
  lines.push_back("anything at all");
  cases.push_back({"100 lines", lines, TableLoadResult::Ok});
  lines = HandWrittenRows();
  lines.pop_back();
  cases.push_back({"98 lines", lines, TableLoadResult::Malformed});
  const std::pair<std::string, std::string> badLine[] = {
      {"7th line starts with 8", "8 0 0 0 0"},
      {"first word not a number", "sedm 0 0 0 0 \x9a\xe8"},
      {"L word 10", "7 0 0 0 10"},
      {"no L word", "7 0 0 0"},
      {"decimal comma", "7 0,5 0 0 0"},
      {"L word not a number", "7 0 0 0 x"},
  };
  for (const auto& [name, line] : badLine) {
    lines = HandWrittenRows();
    lines[6] = line;
    cases.push_back({name, lines, TableLoadResult::Malformed});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string bytes = FileOf(c.lines);
    WriteBytes(dir.path() / "korekce.txt", bytes);
    WriteBytes(dir.path() / "korekce.txt.bak", "an older backup, longer than the new file");
    RecordingHost messages;
    CorrectionTable table;
    EXPECT_EQ(table.LoadAtStartup(dir.path(), messages), c.result);
    if (c.result == TableLoadResult::Ok) {
      EXPECT_EQ(table.rows, c.lines);  // shown as they are, never reformatted
      EXPECT_TRUE(messages.messages.empty());
      EXPECT_EQ(ReadBytes(dir.path() / "korekce.txt"), bytes);
    } else {
      EXPECT_EQ(table.rows, ZeroRows());
      EXPECT_EQ(ReadLines(dir.path() / "korekce.txt"), ZeroRows());
      EXPECT_EQ(ReadBytes(dir.path() / "korekce.txt.bak"), bytes);
      EXPECT_EQ(
          messages.messages,
          std::vector<std::string>{"Soubor korekcí nástrojů 'korekce.txt' nemá správný formát!\r\n"
                                   "Původní soubor byl uložen jako 'korekce.txt.bak'."});
    }
  }
}

TEST_F(CorrectionTableTest, MissingFileIsCreatedWithZeroRows) {
  TempDir dir;
  CorrectionTable table;
  EXPECT_EQ(table.LoadAtStartup(dir.path(), host), TableLoadResult::Missing);
  EXPECT_EQ(host.messages,
            std::vector<std::string>{"Soubor korekcí nástrojů 'korekce.txt' nebyl nalezen."});
  EXPECT_EQ(table.rows.size(), 99u);
  EXPECT_EQ(ReadBytes(dir.path() / "korekce.txt"), FileOf(ZeroRows()));
  EXPECT_FALSE(fs::exists(dir.path() / "korekce.txt.bak"));
}

TEST_F(CorrectionTableTest, FileIsKeptWhenNoBackupCanBeMade) {
  TempDir dir;
  WriteBytes(dir.path() / "korekce.txt", "rubbish\r\n");
  fs::create_directories(dir.path() / "korekce.txt.bak" / "occupied");
  CorrectionTable table;
  EXPECT_EQ(table.LoadAtStartup(dir.path(), host), TableLoadResult::Malformed);
  EXPECT_EQ(ReadBytes(dir.path() / "korekce.txt"), "rubbish\r\n");
  EXPECT_EQ(table.rows, ZeroRows());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0],
            "Soubor korekcí nástrojů 'korekce.txt' nemá správný formát!\r\n"
            "Původní soubor se nepodařilo uložit jako 'korekce.txt.bak', proto nebyl přepsán.");
}

TEST_F(CorrectionTableTest, WriteFailuresAreReported) {
  TempDir dir;
  const fs::path gone = dir.path() / "no-such-folder";
  CorrectionTable table;
  EXPECT_EQ(table.LoadAtStartup(gone, host), TableLoadResult::Missing);
  EXPECT_FALSE(table.Save(gone, host));
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{"Soubor korekcí nástrojů 'korekce.txt' nebyl nalezen.\r\n"
                                      "Soubor 'korekce.txt' se nepodařilo zapsat.",
                                      "Soubor 'korekce.txt' se nepodařilo zapsat."}));
}

}  // namespace
}  // namespace soustruh
