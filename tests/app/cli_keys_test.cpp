// `soustruh-cli run --keys`: the script's errors, the trace and the time limit. What the panel
// does is the business of the scripts in tests/keys.

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

const std::string kCli = std::string(SOUSTRUH_BIN_DIR) + "/soustruh-cli";
const fs::path kOpenMachine = fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs/machines/open";

class CliKeys : public ::testing::Test {
 protected:
  CliKeys() { fs::copy_file(kOpenMachine / "GeoStroj.dat", dir.path() / "GeoStroj.dat"); }

  test::CommandResult Run(const std::vector<std::string>& script, const std::string& rest) {
    const fs::path keys = dir.path() / "panel.keys";
    EXPECT_EQ(WriteLines(keys, script), "");
    return test::RunCommand(kCli + " run --data " + Quoted(dir.path().string()) + " --keys " +
                            Quoted(keys.string()) + " " + rest);
  }

  test::TempDir dir;
};

TEST_F(CliKeys, AnUnknownActionOrControlIsAUsageErrorNamingItsLine) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"soft 5", "", "frobnicate 3"}, "panel.keys:3: unknown action 'frobnicate'"},
      {{"# comment", "press SB_Foo"}, "panel.keys:2: unknown control 'SB_Foo'"},
      {{"soft 6"}, "panel.keys:1: expected a number from 1 to 5"},
  };
  for (const auto& [script, message] : cases) {
    SCOPED_TRACE(message);
    const auto r = Run(script, "2>&1 >/dev/null; echo $?");
    EXPECT_EQ(r.out, "soustruh-cli: " + (dir.path() / message).string() + "\n2\n");
  }
}

// The program beside the script is only loaded: the script references the machine and runs it.
// An until-idle that runs out of time ends the script.
TEST_F(CliKeys, TraceHasOneEntryPerActionLine) {
  const fs::path program = dir.path() / "p.nc";
  ASSERT_EQ(WriteLines(program, {"G00 X100. Z50.", "M30"}), "");
  const auto r = Run({"soft 5", "# run it", "start", "until-idle", "key F6", "start", "until-idle"},
                     "--json " + Quoted(program.string()) + " 2>/dev/null");
  ASSERT_EQ(r.status, 0) << r.out;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["status"], "finished");
  EXPECT_EQ(j["position"]["Z"], 500000);
  const auto& trace = j["trace"];
  ASSERT_EQ(trace.size(), 6u);
  EXPECT_EQ(trace[0]["action"], "soft 5");
  EXPECT_EQ(trace[0]["alarms"], nlohmann::json::array({"Reference"}));
  EXPECT_EQ(trace[0]["softkeys"][4], (nlohmann::json{{"caption", "Reference"}, {"checked", true}}));
  EXPECT_EQ(trace[0]["labels"]["L_SourZM"], "");
  EXPECT_EQ(trace[2]["labels"]["L_SourZM"], "300.000");
  EXPECT_EQ(trace[3]["softkeys"][0]["caption"], "Blok po\r\nbloku");
  EXPECT_EQ(trace[5]["labels"].size(), 19u);

  const auto late = Run({"press SB_Zminus", "until-idle", "release SB_Zminus"},
                        "--max-time 2 --json 2>/dev/null");
  EXPECT_EQ(late.status, 3);
  const auto k = nlohmann::json::parse(late.out);
  EXPECT_EQ(k["status"], "timeout");
  EXPECT_EQ(k["trace"].size(), 2u);  // until-idle ran out of time and ended the script
  EXPECT_EQ(k["virtual_time_ms"], 2000);
}

}  // namespace
}  // namespace soustruh
