#include "app/cli/CheckCommand.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli/Arguments.h"
#include "app/cli/InputFile.h"
#include "app/cli/StderrHost.h"
#include "control/Simulator.h"
#include "nc/Interpreter.h"
#include "nc/NcBlock.h"
#include "platform/ApplicationDirectory.h"

namespace soustruh::cli {
namespace {

constexpr const char* kUsage =
    "usage: soustruh-cli check [--mdi] [--json] [--data DIR] FILE\n"
    "  FILE        part program to check, or - for standard input\n"
    "  --mdi       check each line as a command typed in MDI\n"
    "  --json      one object per line: the error and the interpreter record after it\n"
    "  --data DIR  the data files (default: beside the executable); never written\n";

struct CheckOptions {
  bool mdi = false;
  bool json = false;
  bool help = false;
  std::filesystem::path dataDir;
  std::string file;
};

std::optional<CheckOptions> ParseArgs(const std::vector<std::string>& args, std::string& error) {
  CheckOptions options;
  bool haveFile = false;
  Arguments a(args);
  while (a.Next()) {
    if (a.IsHelp()) {
      options.help = true;
    } else if (a.Is("--mdi")) {
      options.mdi = true;
    } else if (a.Is("--json")) {
      options.json = true;
    } else if (a.Is("--data")) {
      if (const auto value = a.Value()) options.dataDir = *value;
    } else {
      a.Operand(options.file, haveFile);
    }
  }
  if (a.error().empty() && !haveFile && !options.help) a.Fail("FILE missing");
  error = a.error();
  if (!error.empty()) return std::nullopt;
  if (options.dataDir.empty()) options.dataDir = ApplicationDirectory();
  return options;
}

nlohmann::ordered_json RecordJson(int line, const NcInterpreter& interp, const std::string& message,
                                  const NcBlock& b) {
  nlohmann::ordered_json j;
  j["line"] = line;
  j["error"] = interp.error();
  j["message"] = message;
  j["X"] = b.X;
  j["Z"] = b.Z;
  j["I"] = b.I;
  j["K"] = b.K;
  j["R"] = b.R;
  j["F"] = b.F;
  j["S"] = b.S;
  j["S_limit"] = b.SLimit;
  j["T"] = b.T;
  j["D"] = b.D;
  j["L_target"] = b.LTarget;
  j["motion"] = b.Motion;
  j["skip"] = b.Skip;
  j["G"] = b.G;
  j["M"] = b.M;
  return j;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
  std::string usageError;
  const auto options = ParseArgs(args, usageError);
  if (const auto end = UsageEnd("check", kUsage, usageError, options && options->help)) return *end;
  std::string readError;
  const auto lines = ReadProgram(options->file, readError);
  if (!lines) {
    std::fprintf(stderr, "soustruh-cli: %s\n", readError.c_str());
    return 2;
  }

  // The machine starts from its data directory exactly as the window does, so the limits checked
  // are the ones a run would meet.
  StderrHost host;
  Simulator machine(host, options->dataDir);
  if (machine.Start(TableRepair::InMemory) == StartupStatus::MachineMissing) return 2;

  NcInterpreter interp(machine.config());
  NcBlock record;
  ResetNcBlock(record);
  record.T = 1;

  int faulty = 0;
  for (std::size_t i = 0; i < lines->size(); ++i) {
    const int lineNumber = static_cast<int>(i) + 1;
    const NcBlock before = record;
    interp.ClearVariables();
    interp.setLineNumber(lineNumber);
    interp.ParseBlock(StripComments((*lines)[i]), true, options->mdi, record);
    std::string message;
    if (interp.error() != 0) {
      ++faulty;
      message = interp.ErrorText(options->mdi).text;
      record = before;
      if (!options->json) std::printf("%d: %s\n", lineNumber, message.c_str());
    }
    if (options->json) std::cout << RecordJson(lineNumber, interp, message, record).dump() << '\n';
  }
  if (!options->json)
    std::printf("Zkontrolováno řádků: %zu, chybných: %d\n", lines->size(), faulty);
  std::cout.flush();
  return faulty == 0 ? 0 : 1;
}

}  // namespace soustruh::cli
