#include "app/cli/MeasureCommand.h"

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

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
    "                            [--max-time SECONDS] [--at Z ...] [--json] FILE\n";

struct MeasureOptions {
  std::filesystem::path dataDir;
  std::optional<std::pair<std::string, std::string>> stock;
  int offset = 54;
  double maxTimeSeconds = 3600;
  std::vector<std::int64_t> at;  // length units
  bool json = false;
  std::string file;
};

std::optional<MeasureOptions> ParseArgs(const std::vector<std::string>& args) {
  MeasureOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--json") {
      o.json = true;
    } else if (a == "--data" && hasValue) {
      o.dataDir = args[++i];
    } else if (a == "--stock" && hasValue) {
      const std::string& value = args[++i];
      const auto comma = value.find(',');
      if (comma == std::string::npos) return std::nullopt;
      o.stock.emplace(value.substr(0, comma), value.substr(comma + 1));
    } else if (a == "--offset" && hasValue) {
      const auto code = ParseOffsetCode(args[++i]);
      if (!code) return std::nullopt;
      o.offset = *code;
    } else if (a == "--max-time" && hasValue) {
      const auto seconds = ParseFloat(args[++i]);
      if (!seconds || *seconds <= 0 || *seconds > 4.0e6L) return std::nullopt;
      o.maxTimeSeconds = static_cast<double>(*seconds);
    } else if (a == "--at") {
      // One or more positions follow: every argument that reads as a number.
      const std::size_t before = o.at.size();
      while (i + 1 < args.size()) {
        const auto z = ParseFloat(args[i + 1]);
        if (!z) break;
        const auto units = MillimetresToUnits(*z);
        if (!units) return std::nullopt;
        o.at.push_back(*units);
        ++i;
      }
      if (o.at.size() == before) return std::nullopt;
    } else if ((a.size() > 1 && a[0] == '-') || !o.file.empty()) {
      return std::nullopt;
    } else {
      o.file = a;
    }
  }
  if (o.file.empty()) return std::nullopt;
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
  const auto options = ParseArgs(args);
  if (!options) {
    std::fputs(kUsage, stderr);
    return 2;
  }
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
