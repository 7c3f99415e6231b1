// The tool correction table (korekce.txt) and the work offset table (nulbody.txt): row and line
// layouts, values read from their texts, and the start-up check that rebuilds a bad file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "control/VirtualHost.h"
#include "machine/CorrectionTable.h"
#include "machine/MachineConfig.h"
#include "machine/WorkOffsetTable.h"
#include "nc/Interpreter.h"
#include "platform/TextFile.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class WithInterpreter : public ::testing::Test {
 protected:
  MachineConfig config;
  NcInterpreter interpreter{config};
};
class CorrectionTableTest : public WithInterpreter {};

// What the start-up check of `table` does with a file of `bytes` (none: no file) lying next to
// an older, longer backup: a good file stays untouched; a missing or malformed file is reported
// and rewritten as `rebuilt`, a malformed one first kept whole as a new backup named in the
// message. The older backup is never touched.
template <class Table>
void ExpectStartupCheck(Table& table, const std::optional<std::string>& bytes,
                        TableLoadResult expected, const std::string& rebuilt,
                        const std::string& title) {
  test::TempDir dir;
  const std::string name(Table::kFileName);
  const std::string older = "an older backup, longer than the new file";
  if (bytes) test::WriteBytes(dir.path() / name, *bytes);
  test::WriteBytes(dir.path() / (name + ".bak"), older);
  VirtualHost host;
  EXPECT_EQ(table.LoadAtStartup(dir.path(), host), expected);
  EXPECT_EQ(test::ReadBytes(dir.path() / (name + ".bak")), older);
  std::vector<std::string> backups;
  for (const auto& e : fs::directory_iterator(dir.path()))
    if (e.path().extension() == ".bak" && e.path().filename() != name + ".bak")
      backups.push_back(e.path().filename().string());
  if (expected == TableLoadResult::Ok) {
    EXPECT_EQ(host.messages, Lines{});
    EXPECT_EQ(test::ReadBytes(dir.path() / name), *bytes);
    EXPECT_EQ(backups, Lines{});
    return;
  }
  EXPECT_EQ(test::ReadBytes(dir.path() / name), rebuilt);
  if (!bytes) {
    EXPECT_EQ(host.messages, Lines{title + " nebyl nalezen."});
    EXPECT_EQ(backups, Lines{});
    return;
  }
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(host.messages,
            Lines{title + " nemá správný formát!\r\nPůvodní soubor byl uložen jako '" + backups[0] +
                  "'."});
  EXPECT_EQ(test::ReadBytes(dir.path() / backups[0]), *bytes);
}

// Without a decimal point a text is in thousandths; four integer digits are unreadable (0). An
// alarm already showing survives the edit.
TEST_F(CorrectionTableTest, EntryTextsAreNormalisedIntoTheRow) {
  const std::pair<CorrectionFields, std::string> cases[] = {
      {{"5", "1.", "0", "3", "a"}, "  7     0.005     1.000     0.000  3  a"},
      {{"1234", "0", "0", "0", ""}, "  7     0.000     0.000     0.000  0  "},
      {{"-2.5", "+999.999", "", "0", ""}, "  7    -2.500   999.999     0.000  0  "},
      {{"  7.", "5x", "0.8", "", "Nůž  vnější"},
       "  7     7.000     0.000     0.800  0  Nůž  vnější"},
      {{"-0", "-", ".", "9", ""}, "  7     0.000     0.000     0.000  9  "}};
  interpreter.setError(kErrBadCombination);
  for (const auto& [fields, row] : cases) {
    EXPECT_EQ(RowFromFields(7, fields, interpreter), row);
    EXPECT_EQ(interpreter.error(), kErrBadCombination) << row;
  }
  // A click takes the rest of the row whole as the description.
  const std::string row = "  4    12.500    -3.000     0.800  3  Hrubovací nůž  pravý";
  EXPECT_EQ(FieldsFromRow(row).Popis, "Hrubovací nůž  pravý");
  EXPECT_EQ(RowFromFields(4, FieldsFromRow(row), interpreter), row);
}

// Picture k shows tip position k − 1: 0 is blank (unreadable or negative L); above 8 is as L 0.
TEST(CorrectionRow, TipPictureFollowsL) {
  const std::pair<std::string, int> pictures[] = {{"0", 1}, {"8", 9},  {"9", 1},
                                                  {"x", 0}, {"-1", 0}, {" 3", 4}};
  for (const auto& [text, picture] : pictures) EXPECT_EQ(TipPicture(text), picture) << text;
}

TEST_F(CorrectionTableTest, OnlyExistingRowsAreReplacedOrRewritten) {
  CorrectionTable table;
  table.Zero();
  EXPECT_TRUE(table.ReplaceRow({99, 125000, 0, 0, 0, ""}));
  EXPECT_EQ(table.rows[98], " 99    12.500     0.000     0.000  0  ");
  const auto before = table.rows;
  EXPECT_FALSE(table.ReplaceRow({100, 0, 0, 0, 0, ""}));
  EXPECT_FALSE(table.ReplaceRow({0, 0, 0, 0, 0, ""}));
  table.RewriteRow(-1, {"1.", "1.", "1.", "1", "x"}, interpreter);
  table.RewriteRow(99, {"1.", "1.", "1.", "1", "x"}, interpreter);
  EXPECT_EQ(table.rows, before);
  table.RewriteRow(1, {"1.", "2.", "0.4", "3", "x"}, interpreter);
  EXPECT_EQ(table.rows[1], "  2     1.000     2.000     0.400  3  x");
  // The file is Windows-1250: a description it cannot hold is refused, not saved as "?".
  EXPECT_FALSE(table.RewriteRow(1, {"1.", "2.", "0.4", "3", "Ø 20"}, interpreter));
  EXPECT_EQ(table.rows[1], "  2     1.000     2.000     0.400  3  x");
}

// Correction 0, a row beyond the list and an empty list give zeros without reading any row; a
// value only the start-up check accepts (1e2) fails the block that selects it.
TEST_F(CorrectionTableTest, CorrectionIsReadFromTheRowText) {
  CorrectionTable table;
  table.rows = {"garbage", "  2  12.5  -3  0.8  3  Nůž", "3 1e2 0 0 1"};
  const std::tuple<int, ToolCorrection, NcError> cases[] = {
      {0, {}, kErrNone},
      {2, {2, 125000, -30, 8000, 3, "Nůž"}, kErrNone},
      {3, {3, 0, 0, 0, 1, ""}, kErrBlockFormat},
      {4, {4, 0, 0, 0, 0, ""}, kErrNone},
      {-1, {-1, 0, 0, 0, 0, ""}, kErrNone}};
  for (const auto& [d, expected, error] : cases) {
    interpreter.setError(kErrNone);
    EXPECT_EQ(table.Correction(d, interpreter), expected) << d;
    EXPECT_EQ(interpreter.error(), error) << d;
  }
  EXPECT_EQ(CorrectionTable().Correction(1, interpreter), (ToolCorrection{1, 0, 0, 0, 0, ""}));
}

// Files of `count` rows as a person might type them (loose spacing, numbers with or without
// digits before the point),
// where a 100th line is not examined; the 7th line replaced by one starting with 8, one whose
// first word is no number, L words 10, none and x, a decimal comma.
TEST(CorrectionTable, StartupCheckDecidesWhatAFileIs) {
  CorrectionTable zero;
  zero.Zero();
  using enum TableLoadResult;
  std::vector<std::tuple<int, std::string, TableLoadResult>> cases = {
      {0, "", Missing}, {99, "", Ok}, {100, "", Ok}, {98, "", Malformed}};
  for (const char* seventh :
       {"8 0 0 0 0", "sedm 0 0 0 0 šč", "7 0 0 0 10", "7 0 0 0", "7 0 0 0 x", "7 0,5 0 0 0"})
    cases.emplace_back(99, seventh, Malformed);
  for (const auto& [count, seventh, result] : cases) {
    SCOPED_TRACE(std::to_string(count) + " " + seventh);
    Lines lines;
    for (int i = 1; i <= count; ++i) lines.push_back(std::to_string(i) + "  1.5 -2 .25   3 Nůž");
    if (count == 100) lines.back() = "a 100th line";
    if (!seventh.empty()) lines[6] = seventh;
    CorrectionTable table;
    ExpectStartupCheck(table, count ? std::optional(EncodeText(lines)) : std::nullopt, result,
                       EncodeText(zero.rows), "Soubor korekcí nástrojů 'korekce.txt'");
    EXPECT_EQ(table.rows, result == Ok ? lines : zero.rows) << "never reformatted";
  }
}

// Failed writes are reported with their reason.
TEST(Tables, FailedWritesAreReported) {
  VirtualHost host;
  CorrectionTable table;
  const fs::path gone = fs::temp_directory_path() / "soustruh-no-such-folder";
  EXPECT_EQ(table.LoadAtStartup(gone, host), TableLoadResult::Missing);
  EXPECT_FALSE(table.Save(gone, host));
  EXPECT_FALSE(WorkOffsetTable().Save(gone, host));
  const std::string reason = " (soubor nebo složka neexistuje).";
  EXPECT_EQ(host.messages, (Lines{"Soubor korekcí nástrojů 'korekce.txt' nebyl nalezen.\r\n"
                                  "Soubor 'korekce.txt' se nepodařilo zapsat" +
                                      reason,
                                  "Soubor 'korekce.txt' se nepodařilo zapsat" + reason,
                                  "Soubor 'nulbody.txt' se nepodařilo zapsat" + reason}));
}

// A save replaces the file whole (a reader that opened the old file still reads the old bytes)
// and keeps its permissions; a new file gets those of any new file (0666 less the umask).
TEST(Tables, SaveReplacesTheFileWholeKeepingItsPermissions) {
  test::TempDir dir;
  VirtualHost host;
  CorrectionTable corrections;
  corrections.Zero();
  const std::pair<const char*, std::function<bool()>> saves[] = {
      {"korekce.txt", [&] { return corrections.Save(dir.path(), host); }},
      {"nulbody.txt", [&] { return WorkOffsetTable().Save(dir.path(), host); }}};
  for (const mode_t mask : {022u, 002u}) {
    for (const auto& [name, save] : saves) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(mask));
      const fs::path file = dir.path() / name;
      fs::remove(file);
      const mode_t previous = umask(mask);
      EXPECT_TRUE(save());
      EXPECT_EQ(static_cast<mode_t>(fs::status(file).permissions()), 0666u & ~mask);
      test::WriteBytes(file, "old\r\n");
      fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
      std::ifstream reader(file, std::ios::binary);
      EXPECT_TRUE(save());
      umask(previous);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), "old\r\n");
      EXPECT_NE(test::ReadBytes(file), "old\r\n");
      EXPECT_EQ(static_cast<mode_t>(fs::status(file).permissions()), 0600u);
    }
  }
  EXPECT_EQ(host.messages, Lines{});
}

// Texts are right-aligned as typed, never reformatted; widths count characters, and the file
// has one byte per character.
TEST(WorkOffsetTable, LinesRightAlignTheTextsAsTyped) {
  EXPECT_EQ(OffsetLine({54, "12.5", "-3", "Upínka"}), " 54      12.5        -3    Upínka ");
  EXPECT_EQ(OffsetLine({55, "12", "0.0", ""}), " 55        12       0.0           ");
  EXPECT_EQ(OffsetLine({59, "-123.456", "1.", "Dlouhý popis 15"}),
            " 59  -123.456        1. Dlouhý popis 15 ");
  test::TempDir dir;
  VirtualHost host;
  WorkOffsetTable table;
  EXPECT_TRUE(table.SetOffsetFields(54, "12.5", "-3", "Upínka"));
  EXPECT_FALSE(table.SetOffsetFields(56, "1", "1", ""));
  EXPECT_EQ(table.Find(56), nullptr);
  EXPECT_TRUE(table.Save(dir.path(), host));
  EXPECT_EQ(test::ReadBytes(dir.path() / "nulbody.txt").substr(0, 72),
            " 54      12.5        -3    Up\xednka \r\n 55       0.0       0.0           \r\n");
}

// Texts shown as X/Z/description, the codes 54, 55, 57, 58, 59 separated by "|". Initially
// every X and Z is "0.0".
TEST(WorkOffsetTable, StartupCheckAppliesGoodLinesInOrder) {
  const std::string zeros = "0.000/0.000/|0.000/0.000/|0.000/0.000/|0.000/0.000/|0.000/0.000/";
  using enum TableLoadResult;
  const std::tuple<std::string, TableLoadResult, std::string> cases[] = {
      {" 54  12.5  -3  Upínka\r\n55 1 2\r\n+57 10 .5 a  b  \r\n", Ok,
       "12.5/-3/Upínka|1/2/|10/.5/a  b|0.0/0.0/|0.0/0.0/"},
      {"54 0 0 Šroubovák číslo 1234\r\n", Ok,
       "0/0/Šroubovák číslo|0.0/0.0/|0.0/0.0/|0.0/0.0/|0.0/0.0/"},
      {"54 1 1\r\n55 2 2\r\n57 3 3\r\n58 4 4\r\n59 5 5\r\nrubbish\r\n", Ok,
       "1/1/|2/2/|3/3/|4/4/|5/5/"},
      {"", Ok, "0.0/0.0/|0.0/0.0/|0.0/0.0/|0.0/0.0/|0.0/0.0/"},
      {"54 1 1\r\n55 1 1\r\n56 1 1\r\n", Malformed, zeros},
      {"54 1,5 0\r\n", Malformed, zeros}};
  std::string rebuilt;
  for (const int code : kWorkOffsetCodes)
    rebuilt += OffsetLine({code, "0.000", "0.000", ""}) + "\r\n";
  for (const auto& [file, result, texts] : cases) {
    SCOPED_TRACE(file);
    WorkOffsetTable table;
    ExpectStartupCheck(table, file, result, rebuilt,
                       "Soubor posunutí nulových bodů obrobku 'nulbody.txt'");
    std::string shown;
    for (const WorkOffset& o : table.offsets())
      shown += (shown.empty() ? "" : "|") + o.X + "/" + o.Z + "/" + o.Popis;
    EXPECT_EQ(shown, texts);
  }
}

TEST(WorkOffsetTable, TeachGivesTheToolTipInTheWorkpieceSystem) {
  // Diameter 50 mm, Z 100 mm; corrections 1 and 5 mm, offsets 0.25 and 120 mm.
  const TeachPosition p{500000, 1000000, 10000, 50000, 2500, 1200000};
  EXPECT_EQ(TeachCoordinateText("E_G54x", p), "51.500");  // 50 + 2 × (1 − 0.25)
  EXPECT_EQ(TeachCoordinateText("E_G59z", p), "-15.000");
  EXPECT_EQ(TeachCoordinateText("E_G55popis", p), std::nullopt);
  EXPECT_EQ(TeachCoordinateText("E_G54x", TeachPosition{123, 0, 0, 0, 0, 0}), "0.012");
}

}  // namespace
}  // namespace soustruh
