#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "platform/TextFile.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using test::Quoted;
using test::RunCommand;

const std::string kCli = std::string(SOUSTRUH_BIN_DIR) + "/soustruh-cli";
const fs::path kPrograms = fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs/check";

std::vector<nlohmann::json> JsonLines(const std::string& out) {
  std::vector<nlohmann::json> records;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) records.push_back(nlohmann::json::parse(line));
  return records;
}

// tests/programs/check/NAME.nc checked by the CLI prints NAME.expected ("#" lines left out); a
// NAME ending in "_mdi" is checked as typed in MDI. The exit status follows the count of faults.
TEST(CliCheck, EveryProgramPrintsItsExpectedReport) {
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(kPrograms)) {
    if (entry.path().extension() != ".nc") continue;
    ++seen;
    SCOPED_TRACE(entry.path().filename().string());
    const bool mdi = entry.path().stem().string().ends_with("_mdi");
    const auto result =
        RunCommand(kCli + " check " + (mdi ? "--mdi " : "") + Quoted(entry.path().string()));
    const auto lines = ReadLines(fs::path(entry.path()).replace_extension(".expected"));
    ASSERT_TRUE(lines);
    std::string expected;
    for (const std::string& line : *lines)
      if (!line.starts_with("#")) expected += line + "\n";
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.status, expected.ends_with(", chybných: 0\n") ? 0 : 1);
  }
  EXPECT_GE(seen, 3);
}

TEST(CliCheck, RecordCarriesModalStateFromLineToLineAndIsRestoredAfterAFault) {
  const auto result =
      RunCommand("printf 'G95 F200 T0303\\nG01 X10. Z-2.\\nG01X5.\\nU2. W-1.\\n' | " + kCli +
                 " check --json -");
  ASSERT_EQ(result.status, 1);
  const auto r = JsonLines(result.out);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0]["F"], 200);
  EXPECT_EQ(r[0]["T"], 3);
  EXPECT_EQ(r[0]["D"], 3);
  EXPECT_EQ(r[0]["G"][2], 95);
  EXPECT_EQ(r[1]["X"], 100000);
  EXPECT_EQ(r[1]["Z"], -20000);
  EXPECT_EQ(r[1]["motion"], true);
  EXPECT_EQ(r[2]["error"], 2);
  EXPECT_EQ(r[2]["X"], 100000);  // back to the state before the faulty line
  EXPECT_EQ(r[3]["X"], 120000);
  EXPECT_EQ(r[3]["Z"], -30000);
}

TEST(CliCheck, UsageAndFileErrorsExitWithTwo) {
  EXPECT_EQ(RunCommand(kCli + " check 2>/dev/null").status, 2);
  EXPECT_EQ(RunCommand(kCli + " check --bogus x.nc 2>/dev/null").status, 2);
  EXPECT_EQ(RunCommand(kCli + " check a.nc b.nc 2>/dev/null").status, 2);
  EXPECT_EQ(RunCommand(kCli + " check /nonexistent/file.nc 2>/dev/null").status, 2);
  EXPECT_EQ(RunCommand(kCli + " check " + Quoted(kPrograms.string()) + " 2>/dev/null").status, 2);
  EXPECT_EQ(RunCommand(kCli + " frobnicate 2>/dev/null").status, 2);
}

TEST(CliCheck, MachineLimitsComeFromTheDataDirectory) {
  test::TempDir dir;
  // A machine whose feed limit is 50 mm/min refuses F100; the bundled one accepts it.
  auto lines = *ReadLines(fs::path(SOUSTRUH_SOURCE_DIR) / "data/GeoStroj.dat");
  for (auto& line : lines)
    if (line.rfind("MaxPosuv", 0) == 0) line = "MaxPosuv = 50";
  ASSERT_EQ(WriteLines(dir.path() / "GeoStroj.dat", lines), "");
  EXPECT_EQ(RunCommand("printf 'F100\\n' | " + kCli + " check - 2>/dev/null").status, 0);
  const auto limited = RunCommand("printf 'F100\\n' | " + kCli + " check --data " +
                                  Quoted(dir.path().string()) + " - 2>/dev/null");
  EXPECT_EQ(limited.status, 1);
  EXPECT_NE(limited.out.find("Překročen limit stroje"), std::string::npos);
}

TEST(CliCheck, DataFilesAreFoundBesideTheProgramFromAnyWorkingDirectory) {
  test::TempDir elsewhere;
  const auto result = RunCommand("cd " + Quoted(elsewhere.path().string()) +
                                 " && printf 'F100 S800 T0101\\n' | " + kCli + " check - 2>&1");
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_TRUE(fs::is_empty(elsewhere.path()));
}

TEST(CliCheck, MissingMachineFileIsFatalAndSaysSoOnStandardError) {
  test::TempDir dir;
  const auto result = RunCommand("printf 'G00 X0\\n' | " + kCli + " check --data " +
                                 Quoted(dir.path().string()) + " - 2>&1");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out,
            "Nenalezen soubor s grafikou stroje 'GeoStroj.dat', aplikace bude ukončena.\n");
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace soustruh
