#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "platform/TextFile.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using test::Quoted;
using test::RunCommand;

const std::string kCli = std::string(SOUSTRUH_BIN_DIR) + "/soustruh-cli";
const fs::path kOpenMachine = fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs/machines/open";

// A data directory with the open test machine: programs in machine coordinates meet nothing.
class CliRun : public ::testing::Test {
 protected:
  CliRun() { fs::copy_file(kOpenMachine / "GeoStroj.dat", dir.path() / "GeoStroj.dat"); }

  test::CommandResult Run(const std::vector<std::string>& program, const std::string& flags = "") {
    const fs::path file = dir.path() / "program.nc";
    EXPECT_EQ(WriteLines(file, program), "");
    return RunCommand(kCli + " run --data " + Quoted(dir.path().string()) + " " + flags + " " +
                      Quoted(file.string()) + " 2>/dev/null");
  }

  static nlohmann::json Json(const test::CommandResult& r) { return nlohmann::json::parse(r.out); }

  test::TempDir dir;
};

const std::vector<std::string> kSubprogramProgram = {
    "N10 G00 X50. Z2.", "N20 G25 L100", "N30 M30", "N100 G01 Z-20. F200", "N110 M17",
};

TEST_F(CliRun, SubprogramProgramRunsToTheEnd) {
  const auto r = Run(kSubprogramProgram, "--json");
  ASSERT_EQ(r.status, 0) << r.out;
  const auto j = Json(r);
  EXPECT_EQ(j["status"], "finished");
  EXPECT_EQ(j["message"], "");
  EXPECT_TRUE(j["line"].is_null());
  EXPECT_EQ(j["error"], 0);
  EXPECT_EQ(j["blocks"], 5);
  EXPECT_EQ(j["position"]["X"], 500000);
  EXPECT_EQ(j["position"]["Z"], -200000);
  // From the reference (X400 Z300) 345.6 mm at the rapid 6000 mm/min, then 22 mm at 200 mm/min:
  // 10.06 s, counted by a 250 ms clock.
  EXPECT_GE(j["machining_time_ms"].get<int>(), 10000);
  EXPECT_LE(j["machining_time_ms"].get<int>(), 10060 + 500);

  const auto plain = Run(kSubprogramProgram);
  EXPECT_EQ(plain.status, 0);
  EXPECT_NE(plain.out.find("Stav: \n"), std::string::npos);
  EXPECT_NE(plain.out.find("X: 50.000 Z: -20.000\n"), std::string::npos);
}

TEST_F(CliRun, EndOfProgramInsideASubprogramIsError26AtItsLine) {
  auto program = kSubprogramProgram;
  program[4] = "N110 M30";
  const auto r = Run(program, "--json");
  EXPECT_EQ(r.status, 1);
  const auto j = Json(r);
  EXPECT_EQ(j["status"], "error");
  EXPECT_EQ(j["error"], 26);
  EXPECT_EQ(j["line"], 5);
  EXPECT_EQ(j["message"], "Nepřípustné ukončení podprogramu (blok N110, řádek 5).");
  EXPECT_EQ(j["alarms"], nlohmann::json::array({"InterpreterError"}));
}

TEST_F(CliRun, ProgrammedStopsAreCountedAndTheRunGoesOn) {
  const std::vector<std::string> program = {"G00 X100. Z50.", "M00", "G00 Z60.", "M01",
                                            "G00 Z70.",       "M30"};
  const auto plain = Json(Run(program, "--json"));
  EXPECT_EQ(plain["status"], "finished");
  EXPECT_EQ(plain["stops"], 1);
  const auto optional = Json(Run(program, "--json --optional-stop"));
  EXPECT_EQ(optional["stops"], 2);
  EXPECT_EQ(optional["position"]["Z"], 700000);
}

TEST_F(CliRun, AlarmsTimeoutsAndUsage) {
  const auto travel = Run({"G00 X100. Z500."}, "--json");
  EXPECT_EQ(travel.status, 1);
  EXPECT_EQ(Json(travel)["status"], "alarm");
  EXPECT_EQ(Json(travel)["alarms"], nlohmann::json::array({"TravelEnd"}));

  // A loop with motion never ends by itself: the virtual time limit ends it.
  const auto loop = Run({"N10 G00 X100. Z50.", "N20 G00 Z60.", "N30 G27 L10"}, "--max-time 5");
  EXPECT_EQ(loop.status, 3);

  // A jump loop without motion is caught at once.
  const auto endless = Run({"N10 G27 L10"}, "--json");
  EXPECT_EQ(endless.status, 1);
  EXPECT_EQ(Json(endless)["error"], 100);

  EXPECT_EQ(Run({"G00 X0"}, "--feed 151").status, 2);
  EXPECT_EQ(Run({"G00 X0"}, "--max-time 0").status, 2);
  EXPECT_EQ(RunCommand(kCli + " run /nonexistent.nc 2>/dev/null").status, 2);
  test::TempDir empty;
  EXPECT_EQ(RunCommand(kCli + " run --data " + Quoted(empty.path().string()) + " " +
                       Quoted((dir.path() / "program.nc").string()) + " 2>/dev/null")
                .status,
            2);
}

TEST_F(CliRun, OverridesAndDryRunChangeTheTime) {
  const std::vector<std::string> program = {"G00 X100. Z0", "G01 Z-100. F500", "M30"};
  const auto normal = Json(Run(program, "--json"))["machining_time_ms"].get<int>();
  const auto slow = Json(Run(program, "--json --feed 50"))["machining_time_ms"].get<int>();
  const auto dry = Json(Run(program, "--json --dry-run"))["machining_time_ms"].get<int>();
  EXPECT_GT(slow, normal * 3 / 2);
  EXPECT_LT(dry, normal / 3);
}

}  // namespace
}  // namespace soustruh

namespace soustruh {
namespace {

// The bundled machine, with its chuck and the default stock, as a learner meets it.
class CliRunBundled : public ::testing::Test {
 protected:
  test::CommandResult Run(const std::vector<std::string>& program, const std::string& flags) {
    EXPECT_EQ(WriteLines(file, program), "");
    return RunCommand(kCli + " run " + flags + " " + Quoted(file.string()));
  }
  test::TempDir dir;
  fs::path file = dir.path() / "program.nc";
};

TEST_F(CliRunBundled, StockOptionClampsThroughTheDialogsChecks) {
  const auto r = Run({"G54 T0101", "G00 X40. Z20."}, "--json --stock 25,30 2>/dev/null");
  ASSERT_EQ(r.status, 0) << r.out;
  const auto j = nlohmann::json::parse(r.out);
  std::int64_t top = 0, face = 0;
  for (const auto& polygon : j["stock"])
    for (const auto& p : polygon) {
      top = std::max<std::int64_t>(top, p[1].get<std::int64_t>());
      face = std::max<std::int64_t>(face, p[0].get<std::int64_t>());
    }
  EXPECT_EQ(top, 125000);            // 25 mm diameter
  EXPECT_EQ(face, 800000 + 300000);  // jaws at 80 mm, 30 mm out
  EXPECT_EQ(j["collisions"], 0);

  const auto big = Run({"G00 X40."}, "--stock 50,30 2>&1");
  EXPECT_EQ(big.status, 2);
  EXPECT_NE(big.out.find("Polotovar je větší, než je možné upnout do stroje - max. průměr je "),
            std::string::npos)
      << big.out;
  EXPECT_EQ(Run({"G00 X40."}, "--stock abc,30 2>/dev/null").status, 2);
  EXPECT_EQ(Run({"G00 X40."}, "--stock 25 2>/dev/null").status, 2);
}

TEST_F(CliRunBundled, ACollisionStopsTheRunWithItsAlarms) {
  // Straight into the chuck jaws with the turning tool.
  const auto r = Run({"G54 T0101", "G97 S800 M03", "G00 X30. Z-60."}, "--json 2>/dev/null");
  EXPECT_EQ(r.status, 1);
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["status"], "alarm");
  EXPECT_EQ(j["collisions"], 1);
  EXPECT_EQ(j["alarms"], nlohmann::json::array({"Reference", "DriveSync"}));
  EXPECT_EQ(j["message"], "Chyba synchronizace pohonů stroje");
}

TEST_F(CliRunBundled, SvgShowsTheFinalScene) {
  const fs::path svg = dir.path() / "scene.svg";
  const auto r =
      Run({"G54 T0101", "G97 S1500 M03", "G00 X17. Z1.", "G95 G01 Z-10. F100", "G00 X30. Z20."},
          "--svg " + Quoted(svg.string()) + " 2>/dev/null");
  ASSERT_EQ(r.status, 0) << r.out;
  const auto text = ReadLines(svg);
  ASSERT_TRUE(text.has_value());
  std::string all;
  for (const auto& line : *text) all += line + "\n";
  EXPECT_EQ(all.rfind("<?xml", 0), 0u);
  EXPECT_NE(all.find("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"412\" height=\"686\""),
            std::string::npos);
  EXPECT_NE(all.find("</svg>"), std::string::npos);
  std::size_t polygons = 0;
  for (std::size_t at = all.find("<polygon"); at != std::string::npos;
       at = all.find("<polygon", at + 1))
    ++polygons;
  EXPECT_GT(polygons, 20u);
  EXPECT_EQ(RunCommand(kCli + " run --svg /nonexistent/dir/x.svg " + Quoted(file.string()) +
                       " >/dev/null 2>&1")
                .status,
            2);
}

}  // namespace
}  // namespace soustruh
