// The run command as a teacher's script uses it: options, exit status and the report. What a
// program does on the machine is the golden runs' business (tests/programs/run).

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "platform/TextFile.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::Quoted;
using test::RunCommand;

const std::string kCli = std::string(SOUSTRUH_BIN_DIR) + "/soustruh-cli";
const fs::path kOpenMachine = fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs/machines/open";

// With `open` the data directory holds only the open test machine, where programs in machine
// coordinates meet nothing; otherwise the bundled data beside the CLI is used.
class CliRun : public ::testing::Test {
 protected:
  test::CommandResult Run(const std::vector<std::string>& program, const std::string& flags,
                          bool open = true) {
    EXPECT_EQ(WriteLines(file, program), "");
    if (open && !fs::exists(dir.path() / "GeoStroj.dat"))
      fs::copy_file(kOpenMachine / "GeoStroj.dat", dir.path() / "GeoStroj.dat");
    const std::string data = open ? " --data " + Quoted(dir.path().string()) : "";
    return RunCommand(kCli + " run" + data + " " + flags + " " + Quoted(file.string()));
  }
  json Json(const std::vector<std::string>& program, const std::string& flags = "",
            bool open = true) {
    return json::parse(Run(program, "--json " + flags + " 2>/dev/null", open).out);
  }

  test::TempDir dir;
  fs::path file = dir.path() / "program.nc";
};

TEST_F(CliRun, ReportsTheFinishedRunPlainOrAsJson) {
  const std::vector<std::string> program = {"N10 G00 X50. Z2.", "N20 G01 Z-20. F200", "N30 M00",
                                            "N40 M01", "N50 G00 Z10."};
  const auto r = Run(program, "--json 2>/dev/null");
  ASSERT_EQ(r.status, 0) << r.out;
  const auto j = json::parse(r.out);
  EXPECT_EQ(j["status"], "finished");
  EXPECT_EQ(j["message"], "");
  EXPECT_TRUE(j["line"].is_null());
  EXPECT_EQ(j["error"], 0);
  EXPECT_EQ(j["alarms"], json::array());
  EXPECT_EQ(j["blocks"], 5);
  EXPECT_EQ(j["stops"], 1);  // M01 holds only with --optional-stop
  EXPECT_EQ(j["position"], json({{"X", 500000}, {"Z", 100000}}));
  // From the reference (X400 Z300) 345.6 mm at the rapid 6000 mm/min, 22 mm at 200 mm/min and
  // 30 mm back: 10.36 s, counted by a 250 ms clock.
  EXPECT_GE(j["machining_time_ms"].get<int>(), 10356 - 250);
  EXPECT_LE(j["machining_time_ms"].get<int>(), 10356 + 500);
  EXPECT_EQ(Json(program, "--optional-stop")["stops"], 2);

  const auto plain = Run(program, "2>/dev/null");
  EXPECT_EQ(plain.status, 0);
  EXPECT_NE(plain.out.find("Stav: \nŘádek: -\n"), std::string::npos) << plain.out;
  EXPECT_NE(plain.out.find("X: 50.000 Z: 10.000\n"), std::string::npos) << plain.out;
}

TEST_F(CliRun, ErrorsAlarmsTimeoutsAndUsageHaveTheirExitStatus) {
  const auto error = Run({"N10 G00 X100. Z50.", "N20 G04"}, "--json 2>/dev/null");
  EXPECT_EQ(error.status, 1);
  json picked;
  for (const char* key : {"status", "message", "line", "error", "alarms"})
    picked[key] = json::parse(error.out)[key];
  EXPECT_EQ(picked, json::parse(R"({"status": "error", "line": 2, "error": 8,
    "message": "Neznámá funkce (blok N20, řádek 2).", "alarms": ["InterpreterError"]})"));
  const auto travel = Run({"G00 X100. Z500."}, "--json 2>/dev/null");
  EXPECT_EQ(travel.status, 1);
  EXPECT_EQ(json::parse(travel.out)["status"], "alarm");
  EXPECT_EQ(json::parse(travel.out)["alarms"], json::array({"TravelEnd"}));
  // A loop with motion never ends by itself: the virtual time limit ends it.
  EXPECT_EQ(Run({"N10 G00 X100. Z50.", "N20 G00 Z60.", "N30 G27 L10"}, "--max-time 5").status, 3);

  for (const char* flags : {"--feed 151", "--max-time 0", "--stock 25", "--stock abc,30",
                            "--svg /nonexistent/dir/x.svg", "--bogus"})
    EXPECT_EQ(Run({"G00 X100."}, std::string(flags) + " >/dev/null 2>&1").status, 2) << flags;
  EXPECT_EQ(RunCommand(kCli + " run /nonexistent.nc 2>/dev/null").status, 2);
  test::TempDir empty;
  EXPECT_EQ(RunCommand(kCli + " run --data " + Quoted(empty.path().string()) + " " +
                       Quoted(file.string()) + " 2>/dev/null")
                .status,
            2);
}

TEST_F(CliRun, OverridesAndDryRunChangeTheTime) {
  const std::vector<std::string> program = {"G00 X100. Z0", "G01 Z-100. F500", "M30"};
  const auto normal = Json(program)["machining_time_ms"].get<int>();
  EXPECT_GT(Json(program, "--feed 50")["machining_time_ms"].get<int>(), normal * 3 / 2);
  EXPECT_LT(Json(program, "--dry-run")["machining_time_ms"].get<int>(), normal / 3);
}

// On the bundled machine with its chuck: the stock is reported in machine coordinates, radius up.
TEST_F(CliRun, StockOptionClampsThroughTheDialogsChecks) {
  const auto j = Json({"G54 T0101", "G00 X40. Z20."}, "--stock 25,30", false);
  EXPECT_EQ(j["status"], "finished");
  std::int64_t top = 0, face = 0;
  for (const auto& polygon : j["stock"])
    for (const auto& p : polygon) {
      top = std::max<std::int64_t>(top, p[1].get<std::int64_t>());
      face = std::max<std::int64_t>(face, p[0].get<std::int64_t>());
    }
  EXPECT_EQ(top, 125000);            // 25 mm diameter
  EXPECT_EQ(face, 800000 + 300000);  // jaws at 80 mm, 30 mm out
  const auto big = Run({"G00 X40."}, "--stock 50,30 2>&1", false);
  EXPECT_EQ(big.status, 2);
  EXPECT_NE(big.out.find("Polotovar je větší, než je možné upnout do stroje - max. průměr je "),
            std::string::npos)
      << big.out;
}

TEST_F(CliRun, ACollisionStopsTheRunWithItsAlarms) {
  // Straight into the chuck jaws with the turning tool.
  const auto r = Run({"G54 T0101", "G97 S800 M03", "G00 X30. Z-60."}, "--json 2>/dev/null", false);
  EXPECT_EQ(r.status, 1);
  const auto j = json::parse(r.out);
  EXPECT_EQ(j["status"], "alarm");
  EXPECT_EQ(j["collisions"], 1);
  EXPECT_EQ(j["alarms"], json::array({"Reference", "DriveSync"}));
  EXPECT_EQ(j["message"], "Chyba synchronizace pohonů stroje");
}

TEST_F(CliRun, SvgShowsTheFinalSceneAsTheWindowDrawsIt) {
  const fs::path svg = dir.path() / "scene.svg";
  const auto r = Run({"G54 T0101", "G97 S1500 M03", "G00 X17. Z1.", "G95 G01 Z-10. F100"},
                     "--svg " + Quoted(svg.string()) + " 2>/dev/null", false);
  ASSERT_EQ(r.status, 0) << r.out;
  const auto text = ReadLines(svg);
  ASSERT_TRUE(text.has_value());
  ASSERT_GT(text->size(), 20u);
  EXPECT_NE((*text)[1].find("width=\"412\" height=\"686\""), std::string::npos) << (*text)[1];
}

}  // namespace
}  // namespace soustruh
