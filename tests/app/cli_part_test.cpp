// The teacher's commands: a class graded against a reference (tests/programs/grade), the part
// measured, and run's drawing and DXF of the part read back.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "machine/CorrectionTable.h"
#include "platform/TextFile.h"
#include "support/RunCommand.h"
#include "support/SimulatorFixture.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using test::Quoted;

const std::string kCli = std::string(SOUSTRUH_BIN_DIR) + "/soustruh-cli";
const fs::path kClass = fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs/grade";

class CliPart : public ::testing::Test {
 protected:
  CliPart() {
    for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"})
      fs::copy_file(test::kBundledData / name, dir.path() / name);
    // Row 9: tool 1's correction 0.1 mm less long in X, the wrong number a learner picks.
    auto rows = ReadLines(dir.path() / "korekce.txt");
    EXPECT_TRUE(rows && rows->size() > 8);
    (*rows)[8] = BuildRow(ToolCorrection{9, -299000, -90000, 4000, 3, "Chybná"});
    EXPECT_EQ(WriteLines(dir.path() / "korekce.txt", *rows), "");
  }

  test::CommandResult Cli(const std::string& args) {
    return test::RunCommand(kCli + " " + args + " --data " + Quoted(dir.path().string()) +
                            " 2>/dev/null");
  }

  test::TempDir dir;
};

TEST_F(CliPart, GradesAClassAgainstTheReference) {
  fs::copy_file(kClass / "vzor.nc", dir.path() / "kopie.nc");
  std::vector<std::vector<std::string>> expected;
  std::string files;
  const auto table = ReadLines(kClass / "expected.txt");
  ASSERT_TRUE(table);
  for (const std::string& line : *table) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::vector<std::string> row(6);
    for (std::string& word : row) in >> word;
    std::string message;
    std::getline(in >> std::ws, message);
    row.push_back(message);
    const fs::path file = row[0] == "kopie.nc" ? dir.path() / row[0] : kClass / row[0];
    files += " " + Quoted(file.string());
    expected.push_back(std::move(row));
  }
  const auto r = Cli("grade --json --svg " + Quoted((dir.path() / "svg").string()) +
                     " --reference " + Quoted((kClass / "vzor.nc").string()) + files);
  EXPECT_EQ(r.status, 1) << r.out;
  std::map<std::string, nlohmann::json> graded;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    const auto j = nlohmann::json::parse(line);
    graded[fs::path(j["file"].get<std::string>()).filename().string()] = j;
  }
  ASSERT_EQ(graded.size(), expected.size() + 1);  // the reference comes first
  for (const auto& row : expected) {
    SCOPED_TRACE(row[0]);
    const nlohmann::json& j = graded[row[0]];
    EXPECT_EQ(j["status"], row[1]);
    EXPECT_EQ(j["passed"], row[2] == "yes");
    if (row[3] != "*") {
      EXPECT_NEAR(j["left_over_mm"].get<double>(), std::stod(row[3]), 0.01);
    }
    if (row[4] != "*") {
      EXPECT_NEAR(j["too_deep_mm"].get<double>(), std::stod(row[4]), 0.01);
    }
    if (row[5] != "-") {
      EXPECT_EQ(j["line"], std::stoi(row[5]));
    }
    if (!row[6].empty()) {
      EXPECT_EQ(j["message"], row[6]);
    }
    const bool drawn = fs::exists(dir.path() / "svg" / (fs::path(row[0]).stem().string() + ".svg"));
    EXPECT_EQ(drawn, row[1] != "unreadable");
  }
}

// The DXF is read back as group code and value pairs: one closed polyline whose vertices are the
// measured profile.
TEST_F(CliPart, MeasuresThePartAndWritesItsDrawingAndDxf) {
  const std::string program = Quoted((kClass / "vzor.nc").string());
  const auto m = Cli("measure --json --at -4 -12 -30 5 " + program);
  ASSERT_EQ(m.status, 0);
  const auto j = nlohmann::json::parse(m.out);
  const std::vector<nlohmann::json> diameters = {12.0, 16.0, 19.0, nullptr};
  for (std::size_t i = 0; i < diameters.size(); ++i)
    EXPECT_EQ(j["diameters"][i]["diameter"], diameters[i]);
  EXPECT_EQ(j["steps"][0]["z_from"], 0.0);
  EXPECT_EQ(j["steps"][0]["diameter_from"], 12.0);

  const fs::path dxf = dir.path() / "part.dxf", svg = dir.path() / "part.svg";
  ASSERT_EQ(Cli("run --dxf " + Quoted(dxf.string()) + " --profile-svg " + Quoted(svg.string()) +
                " " + program)
                .status,
            0);
  const auto lines = ReadLines(dxf);
  ASSERT_TRUE(lines && lines->size() % 2 == 0);
  std::vector<std::pair<int, std::string>> pairs;
  for (std::size_t i = 0; i < lines->size(); i += 2)
    pairs.emplace_back(std::stoi((*lines)[i]), (*lines)[i + 1]);
  EXPECT_EQ(pairs.back(), std::make_pair(0, std::string("EOF")));
  std::vector<std::pair<double, double>> vertices;
  bool closed = false;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i] == std::make_pair(70, std::string("1"))) closed = true;
    if (pairs[i].first == 0 && pairs[i].second == "VERTEX")
      vertices.emplace_back(std::stod(pairs[i + 2].second), std::stod(pairs[i + 3].second));
  }
  EXPECT_TRUE(closed);
  ASSERT_EQ(vertices.size(), j["profile"].size());
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    EXPECT_NEAR(vertices[i].first, j["profile"][i][0].get<double>(), 1e-4);
    EXPECT_NEAR(vertices[i].second, j["profile"][i][1].get<double>(), 1e-4);
  }
  const auto drawing = ReadTextFile(svg);
  ASSERT_TRUE(drawing);
  std::string text;
  for (const std::string& line : drawing->lines) text += line + "\n";
  for (const char* label : {"&#216;12.000", "&#216;16.000", "&#216;19.000"})
    EXPECT_NE(text.find(label), std::string::npos) << label;
}

}  // namespace
}  // namespace soustruh
