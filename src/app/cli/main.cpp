// soustruh-cli: the headless face of the simulator, for teachers' scripts and for tests.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
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
    "  check [--mdi] [--json] [--data DIR] FILE\n"
    "      check a part program line by line (FILE - is standard input)\n"
    "  run [--data DIR] [--skip] [--optional-stop] [--dry-run] [--feed PCT] [--spindle PCT]\n"
    "      [--max-time SECONDS] [--stock DIAMETER,PROTRUSION] [--svg FILE] [--profile-svg FILE]\n"
    "      [--dxf FILE] [--json] FILE\n"
    "      run it on the machine in virtual time\n"
    "  run --keys SCRIPT [--data DIR] [--skip] [--optional-stop] [--dry-run] [--feed PCT]\n"
    "      [--spindle PCT] [--max-time SECONDS] [--svg FILE] [--json] [FILE]\n"
    "      play panel actions in virtual time\n"
    "  measure [--data DIR] [--stock DIAMETER,PROTRUSION] [--offset G54] [--max-time SECONDS]\n"
    "      [--at Z ...] [--json] FILE\n"
    "      run it and measure the turned part\n"
    "  grade --reference REF [--data DIR] [--stock DIAMETER,PROTRUSION] [--tolerance MM]\n"
    "      [--offset G54] [--max-time SECONDS] [--jobs N] [--json] [--svg DIR] FILE ...\n"
    "      grade programs against a reference\n"
    "  COMMAND --help shows the options of one command.\n"
    "The data files are read from --data DIR (default: beside the executable) and never\n"
    "written: tables found missing or faulty are repaired in memory only.\n";

// Output that could not be written (a full disk, a closed pipe) must not pass for success.
int CheckedExit(int status) {
  std::cout.flush();
  const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout.good();
  const int error = errno;
  if (!failed) return status;
  std::fprintf(stderr, "soustruh-cli: standard output: %s\n",
               std::strerror(error != 0 ? error : EIO));
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "check") return CheckedExit(soustruh::cli::RunCheck(rest));
  if (args[0] == "run") return CheckedExit(soustruh::cli::RunProgram(rest));
  if (args[0] == "measure") return CheckedExit(soustruh::cli::MeasureProgram(rest));
  if (args[0] == "grade") return CheckedExit(soustruh::cli::GradePrograms(rest));
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(kUsage, stdout);
    return CheckedExit(0);
  }
  std::fprintf(stderr, "soustruh-cli: unknown command '%s'\n", args[0].c_str());
  std::fputs(kUsage, stderr);
  return 2;
}
