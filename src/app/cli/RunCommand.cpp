#include "app/cli/RunCommand.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/cli/InputFile.h"
#include "app/cli/PanelTrace.h"
#include "app/cli/StderrHost.h"
#include "control/PanelScript.h"
#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "platform/ApplicationDirectory.h"
#include "platform/Numbers.h"
#include "view/MachineScene.h"
#include "view/StockDialog.h"
#include "view/SvgCanvas.h"
#include "view/ViewMapping.h"

namespace soustruh::cli {
namespace {

constexpr const char* kUsage =
    "usage: soustruh-cli run [--data DIR] [--skip] [--optional-stop] [--dry-run] [--feed PCT]\n"
    "                        [--spindle PCT] [--max-time SECONDS] [--stock DIAMETER,PROTRUSION]\n"
    "                        [--svg FILE] [--json] FILE\n"
    "       soustruh-cli run --keys SCRIPT [--data DIR] [--max-time SECONDS] [--svg FILE]\n"
    "                        [--json] [FILE]\n";

// The machine image of a 1024 x 760 window: the view's group box is what the 600 pixels of the
// control panel leave, less its frame, caption and the 47-pixel button row. Headless runs use
// this mapping so that they cut exactly as the window would.
constexpr std::int32_t kViewWidth = 412;
constexpr std::int32_t kViewHeight = 686;

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

enum class Outcome { Finished, Error, Alarm, Timeout, Refused };

const char* OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Finished:
      return "finished";
    case Outcome::Error:
      return "error";
    case Outcome::Alarm:
      return "alarm";
    case Outcome::Timeout:
      return "timeout";
    case Outcome::Refused:
      return "refused";
  }
  return "";
}

Outcome Classify(const MachineState& s) {
  if (s.Alarms.Has(AlarmKind::InterpreterError)) return Outcome::Error;
  if (!s.Alarms.Empty()) return Outcome::Alarm;
  return Outcome::Finished;
}

class Runner {
 public:
  explicit Runner(const RunOptions& options)
      : options_(options), sim_(host_, options.dataDir), scene_(sim_, nullptr), navigator_(sim_) {
    host_.Attach(&sim_);
    sim_.SetScene(&scene_);
    host_.onMessage = PrintMessage;
  }

  // Returns false when the data files cannot start the machine.
  bool Start() {
    if (sim_.Start() == StartupStatus::MachineMissing) return false;
    navigator_.FormResize(0, 0, kViewWidth, kViewHeight);
    return true;
  }

  // Clamps the stock of --stock after the reference run, as the dialog would; false when refused.
  bool ClampStock() {
    if (!options_.stock) return true;
    return B_PolotovarClick(sim_, options_.stock->first, options_.stock->second) ==
           StockClampResult::Clamped;
  }

  // Draws the final scene into the SVG file of --svg; false (with a message) when it fails.
  bool WriteSvg() {
    if (options_.svg.empty()) return true;
    SvgCanvas canvas(kViewWidth, kViewHeight);
    scene_.SetCanvas(&canvas);
    sim_.SceneRedraw();
    scene_.SetCanvas(nullptr);
    const std::string error = canvas.Save(options_.svg);
    if (!error.empty()) std::fprintf(stderr, "soustruh-cli: %s\n", error.c_str());
    return error.empty();
  }

  bool referenced() const { return referenced_; }

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
    const MachineState& s = sim_.state();
    sim_.B_ManualClick();
    sim_.SetSoftKey(5, true);
    sim_.B_StartClick();
    if (!host_.RunUntil([&] { return !s.ProgramRunning; }, kReferenceLimitMs))
      return Outcome::Timeout;
    if (!s.Alarms.Empty() || s.Active.X != sim_.config().RefX || s.Active.Z != sim_.config().RefZ)
      return Classify(s);
    referenced_ = true;
    if (!ClampStock()) return Outcome::Refused;

    sim_.SetProgram(std::move(program));
    sim_.B_AutomatClick();
    sim_.SetSoftKey(2, options_.skip);
    sim_.SetSoftKey(3, options_.optionalStop);
    sim_.SetSoftKey(4, options_.dryRun);
    sim_.SB_PosuvChange(options_.feed);
    sim_.SB_OtackyChange(options_.spindle);
    runStart_ = host_.Now();
    const auto limit = static_cast<std::uint64_t>(options_.maxTimeSeconds * 1000.0);
    sim_.B_StartClick();
    for (;;) {
      const bool ended = !s.ProgramRunning && s.MotionDone;
      if (!s.Alarms.Empty()) return Classify(s);
      // A programmed stop holds the run: the operator presses Start again.
      if (s.ProgramRunning && s.FeedStopped && s.MotionDone) {
        sim_.B_StartClick();
        continue;
      }
      if (ended) return Classify(s);
      if (static_cast<std::uint32_t>(host_.Now() - runStart_) >= limit) return Outcome::Timeout;
      host_.Advance(TimerInterval(HostTimer::Motion));
    }
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
  static constexpr std::uint32_t kReferenceLimitMs = 600000;
  const RunOptions& options_;
  VirtualHost host_;
  Simulator sim_;
  MachineScene scene_;
  ViewNavigator navigator_;
  bool referenced_ = false;
  std::uint32_t runStart_ = 0;
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
  if (!runner.WriteSvg()) return 2;
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
