// soustruh-cli: the headless face of the simulator, for teachers' scripts and for tests.

#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/CheckCommand.h"
#include "app/cli/GradeCommand.h"
#include "app/cli/MeasureCommand.h"
#include "app/cli/RunCommand.h"

namespace {

constexpr const char* kUsage =
    "usage: soustruh-cli COMMAND [OPTIONS] FILE\n"
    "commands:\n"
    "  check [--mdi] [--json] [--data DIR] FILE   check a part program line by line\n"
    "  run [--data DIR] [--skip] [--optional-stop] [--dry-run] [--feed PCT] [--spindle PCT]\n"
    "      [--max-time SECONDS] [--json] FILE      run it on the machine in virtual time\n"
    "  run --keys SCRIPT [options] [FILE]           play panel actions in virtual time\n"
    "  measure [--at Z ...] [--json] FILE          run it and measure the turned part\n"
    "  grade --reference REF [--json] [--svg DIR] FILE ...\n"
    "                                               grade programs against a reference\n";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "check") return soustruh::cli::RunCheck(rest);
  if (args[0] == "run") return soustruh::cli::RunProgram(rest);
  if (args[0] == "measure") return soustruh::cli::MeasureProgram(rest);
  if (args[0] == "grade") return soustruh::cli::GradePrograms(rest);
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::fprintf(stderr, "soustruh-cli: unknown command '%s'\n", args[0].c_str());
  std::fputs(kUsage, stderr);
  return 2;
}
