// The headless command line as a teacher's script uses it: tests/programs/cli/NAME.nc with
// NAME.expected beside it, which holds commands and what each must print ("#" starts a comment
// line). A line "$ ARGUMENTS" runs soustruh-cli with them through the shell; the lines after it
// are its standard output, up to a line "exit N" with its exit status. In the arguments {program}
// stands for NAME.nc, {machines} for a copy of tests/programs/machines (a start-up creates the
// tables it misses) and {tmp} for an empty directory. Without --data the CLI uses the bundled
// data beside it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

const fs::path kPrograms = fs::path(SOUSTRUH_SOURCE_DIR) / "tests/programs";

std::string Substituted(std::string text, const std::string& name, const test::TempDir& tmp) {
  const std::pair<std::string, fs::path> places[] = {
      {"{program}", kPrograms / "cli" / (name + ".nc")},
      {"{machines}", tmp.path() / "machines"},
      {"{tmp}", tmp.path() / "empty"}};
  for (const auto& [mark, path] : places)
    for (std::size_t at; (at = text.find(mark)) != std::string::npos;)
      text.replace(at, mark.size(), test::Quoted(path.string()));
  return text;
}

class CliCommands : public ::testing::TestWithParam<std::string> {};

TEST_P(CliCommands, PrintWhatTheyExpect) {
  const auto lines = test::ReadUtf8Lines(kPrograms / "cli" / (GetParam() + ".expected"));
  ASSERT_TRUE(lines) << "missing " << GetParam() << ".expected";
  test::TempDir tmp;
  fs::copy(kPrograms / "machines", tmp.path() / "machines", fs::copy_options::recursive);
  fs::create_directory(tmp.path() / "empty");
  std::string command, output;
  int commands = 0;
  for (const std::string& line : *lines) {
    if (line.starts_with("#")) continue;
    if (line.starts_with("$ ")) {
      command = line.substr(2);
      output.clear();
    } else if (line.starts_with("exit ")) {
      SCOPED_TRACE(command);
      const auto result = test::RunCommand(std::string(SOUSTRUH_BIN_DIR) + "/soustruh-cli " +
                                           Substituted(command, GetParam(), tmp));
      EXPECT_EQ(result.out, output);
      EXPECT_EQ(result.status, std::stoi(line.substr(5)));
      ++commands;
    } else {
      output += line + "\n";
    }
  }
  EXPECT_GT(commands, 0);
}

INSTANTIATE_TEST_SUITE_P(Programs, CliCommands,
                         ::testing::ValuesIn(test::ProgramNames(kPrograms / "cli")),
                         [](const auto& param) { return param.param; });

}  // namespace
}  // namespace soustruh
