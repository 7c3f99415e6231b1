#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
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

// The first line of every program says what the checker must find: "; expect-ok" or
// "; expect-error CODE line N".
struct Expectation {
  int code = 0;
  int line = 0;
};

Expectation ReadExpectation(const fs::path& file) {
  const auto lines = ReadLines(file);
  Expectation e;
  std::smatch m;
  static const std::regex kError(R"(; expect-error (\d+) line (\d+))");
  if (lines && !lines->empty() && std::regex_search(lines->front(), m, kError)) {
    e.code = std::stoi(m[1]);
    e.line = std::stoi(m[2]);
  }
  return e;
}

std::vector<nlohmann::json> JsonLines(const std::string& out) {
  std::vector<nlohmann::json> records;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) records.push_back(nlohmann::json::parse(line));
  return records;
}

TEST(CliCheck, EveryProgramReportsExactlyItsExpectedError) {
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(kPrograms)) {
    if (entry.path().extension() != ".nc") continue;
    ++seen;
    SCOPED_TRACE(entry.path().filename().string());
    const Expectation expected = ReadExpectation(entry.path());
    const auto result = RunCommand(kCli + " check --json " + Quoted(entry.path().string()));
    EXPECT_EQ(result.status, expected.code == 0 ? 0 : 1);
    const auto records = JsonLines(result.out);
    ASSERT_EQ(records.size(), ReadLines(entry.path())->size());
    for (const auto& r : records) {
      const bool faulty = r["line"] == expected.line;
      EXPECT_EQ(r["error"], faulty ? expected.code : 0) << "line " << r["line"];
      EXPECT_EQ(r["message"].get<std::string>().empty(), !faulty);
    }
  }
  EXPECT_GE(seen, 5);
}

TEST(CliCheck, PlainOutputListsFaultyLinesWithTheStatusLineMessage) {
  const auto file = kPrograms / "missing_feed.nc";
  const auto automat = RunCommand(kCli + " check " + Quoted(file.string()));
  EXPECT_EQ(automat.status, 1);
  EXPECT_EQ(automat.out,
            "4: Nezadán pracovní posuv (blok N30, řádek 4).\n"
            "Zkontrolováno řádků: 5, chybných: 1\n");

  // In MDI the message has no suffix and N words are refused.
  const auto mdi = RunCommand(kCli + " check --mdi - < " + Quoted(file.string()));
  EXPECT_EQ(mdi.status, 1);
  EXPECT_NE(mdi.out.find("2: Funkci není možné použít v režimu MDI\n"), std::string::npos);
  EXPECT_EQ(mdi.out.find("(řádek"), std::string::npos);
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
