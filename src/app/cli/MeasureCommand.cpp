#include "app/cli/MeasureCommand.h"

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/cli/Arguments.h"
#include "app/cli/InputFile.h"
#include "app/cli/PartOutput.h"
#include "app/cli/StderrHost.h"
#include "platform/ApplicationDirectory.h"
#include "platform/Numbers.h"
#include "view/HeadlessMachine.h"

namespace soustruh::cli {
namespace {

constexpr const char* kUsage =
    "usage: soustruh-cli measure [--data DIR] [--stock DIAMETER,PROTRUSION] [--offset G54]\n"
    "                            [--max-time SECONDS] [--at Z ...] [--json] FILE\n"
    "  FILE                 part program, or - for standard input\n"
    "  --data DIR           the data files (default: beside the executable); never written\n"
    "  --stock D,P          clamp a new stock (mm) after the reference run\n"
    "  --offset G54         the work offset the part is measured in (G54 to G59)\n"
    "  --max-time SECONDS   virtual time limit of the program, above 0 (default 3600)\n"
    "  --at Z ...           the diameters at these Z positions (mm)\n"
    "  --json               the report as one JSON object\n";

struct MeasureOptions {
  std::filesystem::path dataDir;
  std::optional<std::pair<std::string, std::string>> stock;
  int offset = 54;
  double maxTimeSeconds = 3600;
  std::vector<std::int64_t> at;  // length units
  bool json = false;
  std::string file;
};

// One option with a value; false when the present argument is none of them.
bool ValueOption(Arguments& a, MeasureOptions& o) {
  const std::string option = a.arg();
  if (option != "--data" && option != "--stock" && option != "--offset" && option != "--max-time")
    return false;
  const auto value = a.Value();
  if (!value) return true;
  const std::string bad = "option " + option + ": '" + *value + "' is not ";
  if (option == "--data") {
    o.dataDir = *value;
  } else if (option == "--stock") {
    const auto comma = value->find(',');
    if (comma == std::string::npos)
      a.Fail(bad + "DIAMETER,PROTRUSION");
    else
      o.stock.emplace(value->substr(0, comma), value->substr(comma + 1));
  } else if (option == "--offset") {
    const auto code = ParseOffsetCode(*value);
    if (!code) a.Fail(bad + "a work offset G54 to G59");
    o.offset = code.value_or(54);
  } else {
    const auto seconds = ParseFloat(*value);
    if (!seconds || *seconds <= 0 || *seconds > 4.0e6L) a.Fail(bad + "a number of seconds above 0");
    o.maxTimeSeconds = static_cast<double>(seconds.value_or(1));
  }
  return true;
}

std::optional<MeasureOptions> ParseArgs(const std::vector<std::string>& args, std::string& error,
                                        bool& help) {
  MeasureOptions o;
  bool haveFile = false;
  Arguments a(args);
  while (a.Next()) {
    if (a.IsHelp()) {
      help = true;
    } else if (a.Is("--json")) {
      o.json = true;
    } else if (a.Is("--at")) {
      // One or more positions follow: every argument that reads as a number.
      const std::size_t before = o.at.size();
      while (const auto z = a.NumberFollows()) {
        const auto units = MillimetresToUnits(*z);
        if (!units) a.Fail("option --at: a position beyond the machine's range");
        o.at.push_back(units.value_or(0));
      }
      if (o.at.size() == before) a.Fail("option --at needs a position");
    } else if (!ValueOption(a, o)) {
      a.Operand(o.file, haveFile);
    }
  }
  if (a.error().empty() && !help && !haveFile) a.Fail("FILE missing");
  error = a.error();
  if (!error.empty()) return std::nullopt;
  if (o.dataDir.empty()) o.dataDir = ApplicationDirectory();
  return o;
}

std::string StepDiameters(const ProfileStep& s) {
  // Listed from the free end: the diameter there first.
  return s.Cylinder() ? Mm(2 * s.rTo) : Mm(2 * s.rTo) + " .. " + Mm(2 * s.rFrom);
}

void PrintPlain(const RunSummary& run, const MeasureOptions& o, const PartProfile& profile) {
  std::printf("Stav: %s\n", run.message.c_str());
  std::printf("Řádek: %s\n", run.line > 0 ? FormatInt(run.line).c_str() : "-");
  for (const std::int64_t z : o.at) {
    const auto d = DiameterAt(profile, z);
    std::printf("Průměr v Z %s: %s\n", Mm(z).c_str(), d ? Mm(*d).c_str() : "mimo dílec");
  }
  std::printf("Stupně dílce od volného konce (Z od, Z do, průměr):\n");
  const std::vector<ProfileStep> steps = Steps(profile);
  for (auto s = steps.rbegin(); s != steps.rend(); ++s)
    std::printf("  %10s %10s  %s\n", Mm(s->zTo).c_str(), Mm(s->zFrom).c_str(),
                StepDiameters(*s).c_str());
}

double Millimetres(std::int64_t units) {
  return static_cast<double>(units) / 10000.0;
}

void PrintJson(const RunSummary& run, const MeasureOptions& o, const PartProfile& profile) {
  nlohmann::ordered_json j;
  j["status"] = OutcomeName(run.outcome);
  j["message"] = run.message;
  j["line"] = run.line > 0 ? nlohmann::ordered_json(run.line) : nlohmann::ordered_json(nullptr);
  j["offset"] = o.offset;
  nlohmann::ordered_json at = nlohmann::ordered_json::array();
  for (const std::int64_t z : o.at) {
    const auto d = DiameterAt(profile, z);
    at.push_back({{"z", Millimetres(z)},
                  {"diameter", d ? nlohmann::ordered_json(Millimetres(*d)) : nullptr}});
  }
  j["diameters"] = std::move(at);
  nlohmann::ordered_json steps = nlohmann::ordered_json::array();
  const std::vector<ProfileStep> list = Steps(profile);
  for (auto s = list.rbegin(); s != list.rend(); ++s)
    steps.push_back({{"z_from", Millimetres(s->zTo)},
                     {"z_to", Millimetres(s->zFrom)},
                     {"diameter_from", Millimetres(2 * s->rTo)},
                     {"diameter_to", Millimetres(2 * s->rFrom)}});
  j["steps"] = std::move(steps);
  nlohmann::ordered_json points = nlohmann::ordered_json::array();
  for (const ProfilePoint& p : profile.points)
    points.push_back({Millimetres(p.z), Millimetres(p.r)});
  j["profile"] = std::move(points);
  std::cout << j.dump() << '\n';
}

}  // namespace

int MeasureProgram(const std::vector<std::string>& args) {
  std::string usageError;
  bool help = false;
  const auto options = ParseArgs(args, usageError, help);
  if (const auto end = UsageEnd("measure", kUsage, usageError, help)) return *end;
  std::string readError;
  auto lines = ReadProgram(options->file, readError);
  if (!lines) {
    std::fprintf(stderr, "soustruh-cli: %s\n", readError.c_str());
    return 2;
  }
  HeadlessMachine machine(options->dataDir);
  machine.host().onMessage = PrintMessage;
  if (!machine.Start()) return 2;
  HeadlessRunOptions run;
  run.automat.maxTimeMs = static_cast<std::uint64_t>(options->maxTimeSeconds * 1000.0);
  run.stock = options->stock;
  const RunOutcome outcome = machine.Run(std::move(*lines), run);
  if (outcome == RunOutcome::Refused) return 2;
  const PartProfile profile = FinishedProfile(machine.simulator(), options->offset);
  const RunSummary summary = machine.Summary(outcome);
  if (options->json)
    PrintJson(summary, *options, profile);
  else
    PrintPlain(summary, *options, profile);
  switch (outcome) {
    case RunOutcome::Finished:
      return 0;
    case RunOutcome::Timeout:
      return 3;
    default:
      return 1;
  }
}

}  // namespace soustruh::cli
