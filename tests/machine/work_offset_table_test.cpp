#include "machine/WorkOffsetTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "machine/MachineConfig.h"
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

using Texts = std::array<std::string, 3>;  // X, Z, description

Texts TextsOf(const WorkOffsetTable& table, int code) {
  const WorkOffset* offset = table.Find(code);
  return offset ? Texts{offset->X, offset->Z, offset->Popis} : Texts{};
}

constexpr std::string_view kZeroFile =
    " 54     0.000     0.000           \r\n 55     0.000     0.000           \r\n"
    " 57     0.000     0.000           \r\n 58     0.000     0.000           \r\n"
    " 59     0.000     0.000           \r\n";

TEST(WorkOffsetTable, LineLayoutRightAlignsTheTextsAsTyped) {
  const std::pair<WorkOffset, std::string> cases[] = {
      {{54, "12.5", "-3", "Upínka"}, " 54      12.5        -3    Upínka "},
      {{55, "12", "0.0", ""}, " 55        12       0.0           "},
      {{59, "-123.456", "1.", "Dlouhý popis 15"}, " 59  -123.456        1. Dlouhý popis 15 "},
  };
  for (const auto& [offset, line] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(OffsetLine(offset), line);
  }
}

TEST(WorkOffsetTable, SaveWritesFiveLinesOneBytePerCharacter) {
  TempDir dir;
  RecordingHost host;
  WorkOffsetTable table;
  table.SetOffsetFields(54, "12.5", "-3", "Upínka");
  EXPECT_FALSE(table.SetOffsetFields(56, "1", "1", ""));
  EXPECT_EQ(table.Find(56), nullptr);
  EXPECT_TRUE(table.Save(dir.path(), host));
  const std::string bytes = ReadBytes(dir.path() / "nulbody.txt");
  EXPECT_EQ(bytes.substr(0, 36), " 54      12.5        -3    Up\xednka \r\n");
  EXPECT_EQ(bytes.substr(36, 36), " 55       0.0       0.0           \r\n");
  EXPECT_TRUE(host.messages.empty());
}

TEST(WorkOffsetTable, OffsetValuesAreReadFromTheTexts) {
  MachineConfig config;
  NcInterpreter interpreter(config);
  WorkOffsetTable table;
  table.SetOffsetFields(54, "12", "100.", "");
  table.SetOffsetFields(57, "-2.5", "  -5.", "");
  table.SetOffsetFields(58, "1234", "", "");
  struct Case {
    int code;
    OffsetAxis axis;
    std::int32_t units;
    NcError error;
  };
  const Case cases[] = {
      {54, OffsetAxis::X, 120, kErrNone},  // no decimal point: thousandths of a millimetre
      {54, OffsetAxis::Z, 1000000, kErrNone},   {57, OffsetAxis::X, -25000, kErrNone},
      {57, OffsetAxis::Z, -50000, kErrNone},    {55, OffsetAxis::Z, 0, kErrNone},
      {53, OffsetAxis::X, 0, kErrNone},         {56, OffsetAxis::Z, 0, kErrNone},
      {58, OffsetAxis::X, 0, kErrNumberFormat}, {58, OffsetAxis::Z, 0, kErrNumberFormat},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code * 10 + static_cast<int>(c.axis));
    interpreter.setError(kErrNone);
    EXPECT_EQ(table.OffsetValue(c.code, c.axis, interpreter), c.units);
    EXPECT_EQ(interpreter.error(), c.error);
  }
  EXPECT_EQ(TextsOf(table, 54)[0], "12");  // the text stays as typed
}

TEST(WorkOffsetTable, StartUpAppliesGoodLinesInOrder) {
  struct Case {
    std::string name;
    std::string file;
    TableLoadResult result;
    std::array<Texts, 5> texts;
  };
  const Texts initial{"0.0", "0.0", ""};
  const Texts zero{"0.000", "0.000", ""};
  const std::vector<Case> cases = {
      {"three good lines",
       " 54  12.5  -3  Upínka\r\n55 1 2\r\n+57 1e1 .5 a  b  \r\n",
       TableLoadResult::Ok,
       {Texts{"12.5", "-3", "Upínka"}, Texts{"1", "2", ""}, Texts{"1e1", ".5", "a  b"}, initial,
        initial}},
      {"description of 20 characters cut to 15",
       "54 0 0 Šroubovák číslo 1234\r\n",
       TableLoadResult::Ok,
       {Texts{"0", "0", "Šroubovák číslo"}, initial, initial, initial, initial}},
      {"sixth line ignored",
       "54 1 1\r\n55 1 1\r\n57 1 1\r\n58 1 1\r\n59 1 1\r\nrubbish\r\n",
       TableLoadResult::Ok,
       {Texts{"1", "1", ""}, Texts{"1", "1", ""}, Texts{"1", "1", ""}, Texts{"1", "1", ""},
        Texts{"1", "1", ""}}},
      {"empty file", "", TableLoadResult::Ok, {initial, initial, initial, initial, initial}},
      {"third line starts with 56",
       "54 1 1\r\n55 1 1\r\n56 1 1\r\n",
       TableLoadResult::Malformed,
       {zero, zero, zero, zero, zero}},
      {"Z word missing", "54 1\n", TableLoadResult::Malformed, {zero, zero, zero, zero, zero}},
      {"decimal comma", "54 1,5 0\r\n", TableLoadResult::Malformed, {zero, zero, zero, zero, zero}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    WriteBytes(dir.path() / "nulbody.txt", c.file);
    if (c.result != TableLoadResult::Ok)
      WriteBytes(dir.path() / "nulbody.txt.bak", "an older backup, longer than the new file");
    RecordingHost host;
    WorkOffsetTable table;
    EXPECT_EQ(table.LoadAtStartup(dir.path(), host), c.result);
    for (std::size_t i = 0; i < 5; ++i) {
      SCOPED_TRACE(kWorkOffsetCodes[i]);
      EXPECT_EQ(TextsOf(table, kWorkOffsetCodes[i]), c.texts[i]);
    }
    if (c.result == TableLoadResult::Ok) {
      EXPECT_TRUE(host.messages.empty());
      EXPECT_EQ(ReadBytes(dir.path() / "nulbody.txt"), c.file);
      EXPECT_FALSE(fs::exists(dir.path() / "nulbody.txt.bak"));
    } else {
      EXPECT_EQ(host.messages,
                std::vector<std::string>{"Soubor posunutí nulových bodů obrobku 'nulbody.txt' nemá "
                                         "správný formát!\r\nPůvodní soubor byl uložen jako "
                                         "'nulbody.txt.bak'."});
      EXPECT_EQ(ReadBytes(dir.path() / "nulbody.txt"), kZeroFile);
      EXPECT_EQ(ReadBytes(dir.path() / "nulbody.txt.bak"), c.file);
    }
  }
}

TEST(WorkOffsetTable, MissingFileIsCreatedWithZeroOffsets) {
  TempDir dir;
  RecordingHost host;
  WorkOffsetTable table;
  EXPECT_EQ(table.LoadAtStartup(dir.path(), host), TableLoadResult::Missing);
  EXPECT_EQ(host.messages, std::vector<std::string>{"Soubor posunutí nulových bodů obrobku "
                                                    "'nulbody.txt' nebyl nalezen."});
  EXPECT_EQ(ReadBytes(dir.path() / "nulbody.txt"), kZeroFile);
  EXPECT_FALSE(fs::exists(dir.path() / "nulbody.txt.bak"));
}

TEST(WorkOffsetTable, WriteFailureIsReported) {
  TempDir dir;
  RecordingHost host;
  WorkOffsetTable table;
  EXPECT_FALSE(table.Save(dir.path() / "no-such-folder", host));
  EXPECT_EQ(host.messages, std::vector<std::string>{"Soubor 'nulbody.txt' se nepodařilo zapsat."});
}

TEST(WorkOffsetTable, TeachGivesTheToolTipInTheWorkpieceSystem) {
  TeachPosition p;
  p.machineX = 500000;  // diameter 50 mm
  p.machineZ = 1000000;
  p.correctionX = 10000;
  p.correctionZ = 50000;
  p.offsetX = 2500;
  p.offsetZ = 1200000;
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"E_G54x", "51.500"},  // 50 + 2 × (1 − 0.25)
      {"E_G59z", "-15.000"},
      {"E_G55popis", std::nullopt},
  };
  for (const auto& [field, text] : cases) {
    SCOPED_TRACE(field);
    EXPECT_EQ(TeachCoordinateText(field, p), text);
  }
  EXPECT_EQ(TeachCoordinateText("E_G54x", TeachPosition{123, 0, 0, 0, 0, 0}), "0.012");
}

}  // namespace
}  // namespace soustruh
