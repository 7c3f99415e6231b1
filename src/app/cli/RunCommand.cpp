#include "app/cli/RunCommand.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/cli/InputFile.h"
#include "app/cli/PanelTrace.h"
#include "app/cli/PartOutput.h"
#include "app/cli/StderrHost.h"
#include "control/PanelScript.h"
#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "platform/ApplicationDirectory.h"
#include "platform/Numbers.h"
#include "view/HeadlessMachine.h"
#include "view/MachineScene.h"
#include "view/SvgCanvas.h"
#include "view/ViewMapping.h"

namespace soustruh::cli {
namespace {

constexpr const char* kUsage =
    "usage: soustruh-cli run [--data DIR] [--skip] [--optional-stop] [--dry-run] [--feed PCT]\n"
    "                        [--spindle PCT] [--max-time SECONDS] [--stock DIAMETER,PROTRUSION]\n"
    "                        [--svg FILE] [--profile-svg FILE] [--dxf FILE] [--json] FILE\n"
    "       soustruh-cli run --keys SCRIPT [--data DIR] [--max-time SECONDS] [--svg FILE]\n"
    "                        [--json] [FILE]\n";

struct RunOptions {
  std::filesystem::path dataDir;
  bool skip = false;
  bool optionalStop = false;
  bool dryRun = false;
  bool json = false;
  int feed = 100;
  int spindle = 100;
  double maxTimeSeconds = 3600;
  std::optional<std::pair<std::string, std::string>> stock;  // diameter, protrusion texts
  std::filesystem::path svg;
  std::filesystem::path profileSvg;  // the finished part's half-section, dimensioned
  std::filesystem::path dxf;         // the same profile for a CAD program
  std::string file;
  std::string keys;  // the panel script of --keys
};

std::optional<int> Percent(const std::string& text) {
  const auto v = ParseInt32(text);
  if (!v || *v < 0 || *v > 150) return std::nullopt;
  return *v;
}

std::optional<RunOptions> ParseArgs(const std::vector<std::string>& args) {
  RunOptions o;
  bool haveFile = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--skip") {
      o.skip = true;
    } else if (a == "--optional-stop") {
      o.optionalStop = true;
    } else if (a == "--dry-run") {
      o.dryRun = true;
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--data" && hasValue) {
      o.dataDir = args[++i];
    } else if ((a == "--feed" || a == "--spindle") && hasValue) {
      const auto pct = Percent(args[++i]);
      if (!pct) return std::nullopt;
      (a == "--feed" ? o.feed : o.spindle) = *pct;
    } else if (a == "--max-time" && hasValue) {
      const auto seconds = ParseFloat(args[++i]);
      if (!seconds || *seconds <= 0 || *seconds > 4.0e6L) return std::nullopt;
      o.maxTimeSeconds = static_cast<double>(*seconds);
    } else if (a == "--stock" && hasValue) {
      const std::string& value = args[++i];
      const auto comma = value.find(',');
      if (comma == std::string::npos) return std::nullopt;
      o.stock.emplace(value.substr(0, comma), value.substr(comma + 1));
    } else if (a == "--svg" && hasValue) {
      o.svg = args[++i];
    } else if (a == "--profile-svg" && hasValue) {
      o.profileSvg = args[++i];
    } else if (a == "--dxf" && hasValue) {
      o.dxf = args[++i];
    } else if (a == "--keys" && hasValue) {
      o.keys = args[++i];
    } else if ((a.size() > 1 && a[0] == '-') || haveFile) {
      return std::nullopt;
    } else {
      o.file = a;
      haveFile = true;
    }
  }
  // A script drives the panel itself: the program beside it is optional, and a stock can only be
  // clamped by the dialog the script cannot open.
  if (o.keys.empty() ? !haveFile : o.stock.has_value()) return std::nullopt;
  if (o.dataDir.empty()) o.dataDir = ApplicationDirectory();
  return o;
}

using Outcome = RunOutcome;

AutomatOptions Automat(const RunOptions& o) {
  return AutomatOptions{o.skip,    o.optionalStop,
                        o.dryRun,  o.feed,
                        o.spindle, static_cast<std::uint64_t>(o.maxTimeSeconds * 1000.0)};
}

class Runner {
 public:
  explicit Runner(const RunOptions& options)
      : options_(options),
        machine_(options.dataDir),
        host_(machine_.host()),
        sim_(machine_.simulator()),
        scene_(machine_.scene()) {
    host_.onMessage = PrintMessage;
  }

  // Returns false when the data files cannot start the machine.
  bool Start() { return machine_.Start(); }

  // Draws the final scene into the SVG file of --svg; false (with a message) when it fails.
  bool WriteSvg() {
    if (options_.svg.empty()) return true;
    SvgCanvas canvas(kHeadlessViewWidth, kHeadlessViewHeight);
    scene_.SetCanvas(&canvas);
    sim_.SceneRedraw();
    scene_.SetCanvas(nullptr);
    const std::string error = canvas.Save(options_.svg);
    if (!error.empty()) std::fprintf(stderr, "soustruh-cli: %s\n", error.c_str());
    return error.empty();
  }

  // The finished part of --profile-svg and --dxf, in the workpiece coordinates of G54.
  bool WriteProfile() {
    if (options_.profileSvg.empty() && options_.dxf.empty()) return true;
    const std::string title = std::filesystem::path(options_.file).filename().string();
    return WriteProfileFiles(FinishedProfile(sim_, 54), title, options_.profileSvg, options_.dxf);
  }

  // Plays a panel script from the state right after start-up; the program, if any, is only
  // loaded as the program text. Each line adds an entry to `trace`.
  Outcome RunKeys(const PanelScript& script, std::optional<std::vector<std::string>> program,
                  nlohmann::ordered_json& trace) {
    MachineState& s = sim_.state();
    auto& automat = s.SavedSoftKeys[static_cast<std::size_t>(ControlMode::Automat)];
    automat[1] = options_.skip;
    automat[2] = options_.optionalStop;
    automat[3] = options_.dryRun;
    sim_.SB_PosuvChange(options_.feed);
    sim_.SB_OtackyChange(options_.spindle);
    if (program) sim_.SetProgram(std::move(*program));
    PanelScriptPlayer player(sim_, host_,
                             static_cast<std::uint64_t>(options_.maxTimeSeconds * 1000.0));
    for (const ScriptAction& action : script.actions) {
      const bool inTime = player.Play(action);
      trace.push_back(TraceEntry(sim_, action.text));
      if (!inTime) return Outcome::Timeout;
    }
    return Classify(s);
  }

  Outcome Run(std::vector<std::string> program) {
    return machine_.Run(std::move(program), HeadlessRunOptions{Automat(options_), options_.stock});
  }

  void Report(Outcome outcome, bool json, nlohmann::ordered_json trace = nullptr) {
    const MachineState& s = sim_.state();
    const bool stoppedInProgram = outcome != Outcome::Finished && s.LineIndex >= 0;
    const int line = stoppedInProgram ? s.LineIndex + 1 : 0;  // 0: not in the program
    const std::string message =
        outcome == Outcome::Timeout && s.Status.text.empty() ? std::string() : s.Status.text;
    if (!json) {
      std::printf("Stav: %s\n", message.c_str());
      std::printf("Řádek: %s\n", line > 0 ? FormatInt(line).c_str() : "-");
      std::printf("Čas obrábění: %s\n", s.Display.CasObr.c_str());
      std::printf("X: %s Z: %s\n", FormatFixed(sim_.WorkpieceX() / 10000.0, 3).c_str(),
                  FormatFixed(sim_.WorkpieceZ() / 10000.0, 3).c_str());
      return;
    }
    nlohmann::ordered_json j;
    j["status"] = OutcomeName(outcome);
    j["message"] = message;
    j["line"] = line > 0 ? nlohmann::ordered_json(line) : nlohmann::ordered_json(nullptr);
    j["error"] = s.Alarms.Has(AlarmKind::InterpreterError) ? s.InterpreterErrorCode : 0;
    j["alarms"] = AlarmNames(sim_);
    j["machining_time_ms"] = s.MachiningTime;
    j["virtual_time_ms"] = host_.Now();
    j["blocks"] = s.BlocksExecuted;
    j["stops"] = s.ProgrammedStops;
    j["position"] = {{"X", sim_.WorkpieceX()}, {"Z", sim_.WorkpieceZ()}};
    j["machine"] = {{"X", s.Active.X}, {"Z", s.Active.Z}, {"W", s.Active.W}};
    j["tool"] = {{"T", s.Active.T}, {"D", s.Active.D}};
    nlohmann::ordered_json stock = nlohmann::ordered_json::array();
    for (const TPolygon& polygon : sim_.stock()) {
      nlohmann::ordered_json points = nlohmann::ordered_json::array();
      for (const ClipPoint& p : polygon) points.push_back({p.X, p.Y});
      stock.push_back(std::move(points));
    }
    j["stock"] = std::move(stock);
    // The first collision stops the run, so a run has met at most one.
    j["collisions"] = s.Alarms.Has(AlarmKind::DriveSync) ? 1 : 0;
    if (!trace.is_null()) j["trace"] = std::move(trace);
    std::cout << j.dump() << '\n';
  }

 private:
  const RunOptions& options_;
  HeadlessMachine machine_;
  VirtualHost& host_;
  Simulator& sim_;
  MachineScene& scene_;
};

}  // namespace

int RunProgram(const std::vector<std::string>& args) {
  const auto options = ParseArgs(args);
  if (!options) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string readError;
  std::optional<std::vector<std::string>> lines;
  if (!options->file.empty()) lines = ReadProgram(options->file, readError);
  PanelScript script;
  if (readError.empty() && !options->keys.empty()) {
    const auto scriptLines = ReadProgram(options->keys, readError);
    if (scriptLines) script = ParsePanelScript(*scriptLines);
  }
  if (!readError.empty()) {
    std::fprintf(stderr, "soustruh-cli: %s\n", readError.c_str());
    return 2;
  }
  if (!script.error.empty()) {
    std::fprintf(stderr, "soustruh-cli: %s:%d: %s\n", options->keys.c_str(), script.errorLine,
                 script.error.c_str());
    return 2;
  }
  Runner runner(*options);
  if (!runner.Start()) return 2;
  nlohmann::ordered_json trace = nlohmann::ordered_json::array();
  const Outcome outcome = options->keys.empty() ? runner.Run(std::move(*lines))
                                                : runner.RunKeys(script, std::move(lines), trace);
  // A refused stock is reported by the dialog's message alone, as the window would.
  if (outcome == Outcome::Refused) return 2;
  runner.Report(outcome, options->json,
                options->keys.empty() ? nlohmann::ordered_json() : std::move(trace));
  std::cout.flush();
  if (!runner.WriteSvg() || !runner.WriteProfile()) return 2;
  switch (outcome) {
    case Outcome::Finished:
      return 0;
    case Outcome::Timeout:
      return 3;
    default:
      return 1;
  }
}

}  // namespace soustruh::cli
