#include "app/cli/RunCommand.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/cli/Arguments.h"
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
    "       soustruh-cli run --keys SCRIPT [--data DIR] [--skip] [--optional-stop] [--dry-run]\n"
    "                        [--feed PCT] [--spindle PCT] [--max-time SECONDS] [--svg FILE]\n"
    "                        [--json] [FILE]\n"
    "  FILE                 part program, or - for standard input\n"
    "  --data DIR           the data files (default: beside the executable); never written\n"
    "  --skip, --optional-stop, --dry-run   the AUTOMAT soft keys Fn2, Fn3, Fn4\n"
    "  --feed PCT, --spindle PCT            the override bars, 0 to 150 (default 100)\n"
    "  --max-time SECONDS   virtual time limit of the program, above 0 (default 3600); exit 3\n"
    "  --stock D,P          clamp a new stock (mm) after the reference run\n"
    "  --svg FILE           the final scene as the window would draw it\n"
    "  --profile-svg FILE, --dxf FILE       the finished part's profile\n"
    "  --json               the report as one JSON object\n"
    "  --keys SCRIPT        play a panel script instead of running FILE\n";

struct RunOptions {
  std::filesystem::path dataDir;
  bool skip = false;
  bool optionalStop = false;
  bool dryRun = false;
  bool json = false;
  bool help = false;
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

// One option with a value; false (with the error set in `a`) when it is not one of them.
bool ValueOption(Arguments& a, RunOptions& o) {
  const std::string option = a.arg();
  if (option != "--data" && option != "--feed" && option != "--spindle" && option != "--max-time" &&
      option != "--stock" && option != "--svg" && option != "--profile-svg" && option != "--dxf" &&
      option != "--keys")
    return false;
  const auto value = a.Value();
  if (!value) return true;
  if (option == "--data") {
    o.dataDir = *value;
  } else if (option == "--feed" || option == "--spindle") {
    const auto pct = Percent(*value);
    if (!pct) a.Fail("option " + option + ": '" + *value + "' is not a whole number 0 to 150");
    (option == "--feed" ? o.feed : o.spindle) = pct.value_or(100);
  } else if (option == "--max-time") {
    const auto seconds = ParseFloat(*value);
    if (!seconds || *seconds <= 0 || *seconds > 4.0e6L)
      a.Fail("option --max-time: '" + *value + "' is not a number of seconds above 0");
    o.maxTimeSeconds = static_cast<double>(seconds.value_or(1));
  } else if (option == "--stock") {
    const auto comma = value->find(',');
    if (comma == std::string::npos)
      a.Fail("option --stock: '" + *value + "' is not DIAMETER,PROTRUSION");
    else
      o.stock.emplace(value->substr(0, comma), value->substr(comma + 1));
  } else if (option == "--svg") {
    o.svg = *value;
  } else if (option == "--profile-svg") {
    o.profileSvg = *value;
  } else if (option == "--dxf") {
    o.dxf = *value;
  } else {
    o.keys = *value;
  }
  return true;
}

std::optional<RunOptions> ParseArgs(const std::vector<std::string>& args, std::string& error) {
  RunOptions o;
  bool haveFile = false;
  Arguments a(args);
  while (a.Next()) {
    if (a.IsHelp()) {
      o.help = true;
    } else if (a.Is("--skip")) {
      o.skip = true;
    } else if (a.Is("--optional-stop")) {
      o.optionalStop = true;
    } else if (a.Is("--dry-run")) {
      o.dryRun = true;
    } else if (a.Is("--json")) {
      o.json = true;
    } else if (!ValueOption(a, o)) {
      a.Operand(o.file, haveFile);
    }
  }
  // A script drives the panel itself: the program beside it is optional, and a stock can only be
  // clamped by the dialog the script cannot open.
  if (a.error().empty() && !o.help) {
    if (o.keys.empty() && !haveFile) a.Fail("FILE missing");
    if (!o.keys.empty() && o.stock) a.Fail("option --stock cannot be used with --keys");
  }
  error = a.error();
  if (!error.empty()) return std::nullopt;
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
    for (const std::string& notice : s.Notices)
      std::fprintf(stderr, "soustruh-cli: warning: %s\n", notice.c_str());
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
    if (!s.Notices.empty()) j["warnings"] = s.Notices;
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
  std::string usageError;
  const auto options = ParseArgs(args, usageError);
  if (const auto end = UsageEnd("run", kUsage, usageError, options && options->help)) return *end;
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
