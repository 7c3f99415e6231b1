#include "app/cli/GradeCommand.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "app/cli/Arguments.h"
#include "app/cli/InputFile.h"
#include "app/cli/PartOutput.h"
#include "app/cli/StderrHost.h"
#include "platform/ApplicationDirectory.h"
#include "platform/Numbers.h"
#include "view/HeadlessMachine.h"
#include "view/ProfileDrawing.h"

namespace soustruh::cli {
namespace {

constexpr const char* kUsage =
    "usage: soustruh-cli grade --reference REF.nc [--data DIR] [--stock DIAMETER,PROTRUSION]\n"
    "                          [--tolerance MM] [--offset G54] [--max-time SECONDS] [--jobs N]\n"
    "                          [--json] [--svg DIR] FILE.nc ...\n"
    "  --reference REF.nc   the teacher's program the others are graded against\n"
    "  --data DIR           the data files (default: beside the executable); never written\n"
    "  --stock D,P          clamp a new stock (mm) after each reference run\n"
    "  --tolerance MM       the largest deviation still graded good (default 0.05)\n"
    "  --offset G54         the work offset the parts are compared in (G54 to G59)\n"
    "  --max-time SECONDS   virtual time limit of each program (default: from the reference)\n"
    "  --jobs N             programs run at once, 1 to 256 (default: one per core)\n"
    "  --json               the report as one JSON object\n"
    "  --svg DIR            a picture of each part against the reference into DIR\n";

// Without --max-time a learner's program may run this many times as long as the reference, and
// a minute more, before it counts as looping.
constexpr std::uint64_t kTimeFactor = 4;
constexpr std::uint64_t kTimeAllowanceMs = 60000;

struct GradeOptions {
  std::filesystem::path dataDir;
  std::string reference;
  std::vector<std::string> files;
  std::optional<std::pair<std::string, std::string>> stock;
  double tolerance = 0.05;  // mm
  int offset = 54;
  std::optional<double> maxTimeSeconds;
  unsigned jobs = 0;  // 0: one per core
  bool json = false;
  std::filesystem::path svgDir;
};

// One option with a value; false when the present argument is none of them.
bool ValueOption(Arguments& a, GradeOptions& o) {
  const std::string option = a.arg();
  static constexpr std::string_view kOptions[] = {"--reference", "--data",   "--svg",
                                                  "--stock",     "--offset", "--tolerance",
                                                  "--max-time",  "--jobs"};
  if (std::find(std::begin(kOptions), std::end(kOptions), option) == std::end(kOptions))
    return false;
  const auto value = a.Value();
  if (!value) return true;
  const std::string bad = "option " + option + ": '" + *value + "' is not ";
  if (option == "--reference") {
    o.reference = *value;
  } else if (option == "--data") {
    o.dataDir = *value;
  } else if (option == "--svg") {
    o.svgDir = *value;
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
  } else if (option == "--tolerance") {
    const auto mm = ParseFloat(*value);
    if (!mm || *mm < 0 || *mm > 1000) a.Fail(bad + "a number of millimetres 0 to 1000");
    o.tolerance = static_cast<double>(mm.value_or(0));
  } else if (option == "--max-time") {
    const auto seconds = ParseFloat(*value);
    if (!seconds || *seconds <= 0 || *seconds > 4.0e6L) a.Fail(bad + "a number of seconds above 0");
    o.maxTimeSeconds = static_cast<double>(seconds.value_or(1));
  } else {
    const auto n = ParseInt32(*value);
    if (!n || *n < 1 || *n > 256) a.Fail(bad + "a whole number 1 to 256");
    o.jobs = static_cast<unsigned>(n.value_or(1));
  }
  return true;
}

std::optional<GradeOptions> ParseArgs(const std::vector<std::string>& args, std::string& error,
                                      bool& help) {
  GradeOptions o;
  Arguments a(args);
  while (a.Next()) {
    if (a.IsHelp()) {
      help = true;
    } else if (a.Is("--json")) {
      o.json = true;
    } else if (!ValueOption(a, o)) {
      // Any number of programs: each is an operand of its own.
      std::string file;
      bool have = false;
      a.Operand(file, have);
      if (have) o.files.push_back(std::move(file));
    }
  }
  if (a.error().empty() && !help) {
    if (o.reference.empty()) a.Fail("option --reference missing");
    if (o.files.empty()) a.Fail("FILE missing");
  }
  error = a.error();
  if (!error.empty()) return std::nullopt;
  if (o.dataDir.empty()) o.dataDir = ApplicationDirectory();
  if (o.jobs == 0) o.jobs = std::max(1u, std::thread::hardware_concurrency());
  return o;
}

struct Graded {
  std::string file;
  std::string readError;  // the program could not be read: nothing else is set
  bool machineMissing = false;
  RunSummary run;
  std::uint32_t runTimeMs = 0;        // virtual time from the first Start to the end
  std::vector<std::string> startup;   // message boxes of the start-up (the data files)
  std::vector<std::string> messages;  // message boxes shown during the run
  PartProfile profile;
  ProfileDeviation deviation;
  bool passed = false;
};

// Runs one program on a machine of its own. Touches nothing shared, so it may run on any thread.
Graded RunOne(const std::string& file, const GradeOptions& o, std::uint64_t maxTimeMs) {
  Graded g;
  g.file = file;
  auto lines = ReadProgram(file, g.readError);
  if (!lines) return g;
  HeadlessMachine machine(o.dataDir);
  if (!machine.Start()) {
    g.machineMissing = true;
    return g;
  }
  const std::size_t startupMessages = machine.host().messages.size();
  HeadlessRunOptions run;
  run.automat.maxTimeMs = maxTimeMs;
  run.stock = o.stock;
  const RunOutcome outcome = machine.Run(std::move(*lines), run);
  g.run = machine.Summary(outcome);
  g.runTimeMs = static_cast<std::uint32_t>(machine.host().Now() - machine.runStart());
  const auto& shown = machine.host().messages;
  g.startup.assign(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(startupMessages));
  g.messages.assign(shown.begin() + static_cast<std::ptrdiff_t>(startupMessages), shown.end());
  g.profile = FinishedProfile(machine.simulator(), o.offset);
  return g;
}

// Grades every file on `jobs` threads; each result lands in its own slot.
std::vector<Graded> RunAll(const GradeOptions& o, std::uint64_t maxTimeMs) {
  std::vector<Graded> results(o.files.size());
  std::atomic<std::size_t> next{0};
  const auto worker = [&] {
    for (std::size_t i = next++; i < o.files.size(); i = next++) {
      try {
        results[i] = RunOne(o.files[i], o, maxTimeMs);
      } catch (const std::exception& e) {
        results[i].file = o.files[i];
        results[i].readError = std::string("vnitřní chyba: ") + e.what();
      }
    }
  };
  const unsigned threads = std::min<unsigned>(o.jobs, static_cast<unsigned>(o.files.size()));
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();
  return results;
}

const char* StatusText(const Graded& g) {
  if (!g.readError.empty()) return "nečitelný";
  switch (g.run.outcome) {
    case RunOutcome::Finished:
      return "dokončen";
    case RunOutcome::Error:
      return "chyba";
    case RunOutcome::Alarm:
      return "alarm";
    case RunOutcome::Timeout:
      return "nedoběhl";
    case RunOutcome::Refused:
      return "polotovar odmítnut";
  }
  return "";
}

// Why a program stopped, in one line; empty for a finished one.
std::string StopText(const Graded& g, std::uint64_t maxTimeMs) {
  if (!g.readError.empty()) return g.readError;
  std::string text;
  if (g.run.outcome == RunOutcome::Timeout)
    text = "nedoběhl do " + FormatInt(static_cast<long long>(maxTimeMs / 1000)) +
           " s strojního času (nekonečná smyčka?)";
  else if (g.run.outcome != RunOutcome::Finished)
    text = g.run.message;
  if (g.run.outcome == RunOutcome::Refused && !g.messages.empty()) text = g.messages.back();
  // An interpreter error names its block and line itself.
  if (!text.empty() && g.run.line > 0 && g.run.outcome != RunOutcome::Error)
    text = "řádek " + FormatInt(g.run.line) + ": " + text;
  return text;
}

// Pads UTF-8 text with blanks to `width` characters.
std::string Pad(const std::string& text, std::size_t width) {
  std::size_t chars = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  return text + std::string(width > chars ? width - chars : 0, ' ');
}

std::string Verdict(const Graded& g, double tolerance) {
  std::string text = g.passed ? "PROŠEL" : "NEPROŠEL";
  text += " – navíc " + FormatFixed(g.deviation.leftOverMm, 3) + " mm, hlouběji " +
          FormatFixed(g.deviation.tooDeepMm, 3) + " mm (tolerance " + FormatFixed(tolerance, 3) +
          " mm)";
  if (g.run.outcome != RunOutcome::Finished) text += std::string(", ") + StatusText(g);
  if (g.run.collisions > 0) text += ", kolize";
  return text;
}

void PrintTable(const Graded& ref, const std::vector<Graded>& all, const GradeOptions& o,
                std::uint64_t maxTimeMs) {
  std::printf("Vzor: %s (%s, čas obrábění %s)\n", ref.file.c_str(), StatusText(ref),
              ref.run.machiningTime.c_str());
  std::printf("Tolerance: %s mm\n\n", FormatFixed(o.tolerance, 3).c_str());
  std::size_t width = 7;
  for (const Graded& g : all) width = std::max(width, Pad(g.file, 0).size());
  std::printf("%s  %s %s %s %s %s %s\n", Pad("Program", width).c_str(), Pad("Výsledek", 9).c_str(),
              Pad("Běh", 10).c_str(), Pad("Čas", 6).c_str(), Pad("Kolize", 6).c_str(),
              Pad("Navíc mm", 9).c_str(), "Hlouběji mm");
  int passed = 0;
  for (const Graded& g : all) {
    passed += g.passed ? 1 : 0;
    const bool hasPart = g.readError.empty();
    std::printf("%s  %s %s %s %s %s %s\n", Pad(g.file, width).c_str(),
                Pad(g.passed ? "PROŠEL" : "NEPROŠEL", 9).c_str(), Pad(StatusText(g), 10).c_str(),
                Pad(hasPart ? g.run.machiningTime : "-", 6).c_str(),
                Pad(hasPart ? FormatInt(g.run.collisions) : "-", 6).c_str(),
                Pad(hasPart ? FormatFixed(g.deviation.leftOverMm, 3) : "-", 9).c_str(),
                hasPart ? FormatFixed(g.deviation.tooDeepMm, 3).c_str() : "-");
    const std::string stop = StopText(g, maxTimeMs);
    if (!stop.empty()) std::printf("    %s\n", stop.c_str());
  }
  std::printf("\nProšlo %d z %zu.\n", passed, all.size());
}

nlohmann::ordered_json JsonOf(const Graded& g, bool reference, std::uint64_t maxTimeMs) {
  nlohmann::ordered_json j;
  j["file"] = g.file;
  j["reference"] = reference;
  if (!g.readError.empty()) {
    j["status"] = "unreadable";
    j["message"] = g.readError;
    j["passed"] = false;
    return j;
  }
  j["status"] = OutcomeName(g.run.outcome);
  j["message"] = g.run.outcome == RunOutcome::Timeout ? StopText(g, maxTimeMs) : g.run.message;
  j["line"] = g.run.line > 0 ? nlohmann::ordered_json(g.run.line) : nlohmann::ordered_json(nullptr);
  j["collisions"] = g.run.collisions;
  j["machining_time_ms"] = g.run.machiningTimeMs;
  j["left_over_mm"] = g.deviation.leftOverMm;
  j["too_deep_mm"] = g.deviation.tooDeepMm;
  j["passed"] = g.passed;
  j["messages"] = g.messages;
  return j;
}

// One picture per program in `dir`, named after the program (a second program of the same name
// gets "-2", ...). False with a message on standard error when one cannot be written.
bool WritePictures(const std::vector<Graded>& all, const Graded& ref, const GradeOptions& o) {
  std::error_code ec;
  std::filesystem::create_directories(o.svgDir, ec);
  std::map<std::string, int> used;
  for (const Graded& g : all) {
    if (!g.readError.empty()) continue;
    std::string stem = std::filesystem::path(g.file).stem().string();
    const int n = ++used[stem];
    if (n > 1) stem += "-" + FormatInt(n);
    const std::string svg =
        ComparisonSvg(g.profile, ref.profile, g.deviation,
                      std::filesystem::path(g.file).filename().string() + " / vzor " +
                          std::filesystem::path(ref.file).filename().string(),
                      Verdict(g, o.tolerance), g.passed);
    const std::string error = SaveDocument(o.svgDir / (stem + ".svg"), svg);
    if (!error.empty()) {
      std::fprintf(stderr, "soustruh-cli: %s\n", error.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int GradePrograms(const std::vector<std::string>& args) {
  std::string usageError;
  bool help = false;
  const auto options = ParseArgs(args, usageError, help);
  if (const auto end = UsageEnd("grade", kUsage, usageError, help)) return *end;
  const GradeOptions& o = *options;
  Graded ref =
      RunOne(o.reference, o, static_cast<std::uint64_t>(o.maxTimeSeconds.value_or(3600) * 1000.0));
  // Every machine reads the same data files: their complaints are shown once.
  for (const std::string& message : ref.startup) PrintMessage(message);
  if (ref.machineMissing) {
    std::fprintf(stderr, "soustruh-cli: the data files in %s cannot start the machine\n",
                 o.dataDir.string().c_str());
    return 2;
  }
  if (!ref.readError.empty() || ref.run.outcome != RunOutcome::Finished) {
    std::fprintf(stderr, "soustruh-cli: the reference %s did not finish: %s %s\n",
                 o.reference.c_str(), StatusText(ref), StopText(ref, 0).c_str());
    return 2;
  }
  ref.passed = true;
  const std::uint64_t maxTimeMs = o.maxTimeSeconds
                                      ? static_cast<std::uint64_t>(*o.maxTimeSeconds * 1000.0)
                                      : kTimeFactor * ref.runTimeMs + kTimeAllowanceMs;
  std::vector<Graded> all = RunAll(o, maxTimeMs);
  const auto tolerance = o.tolerance + 1e-9;
  for (Graded& g : all) {
    if (g.machineMissing) return 2;
    if (!g.readError.empty()) continue;
    g.deviation =
        CompareProfiles(g.profile, ref.profile, std::min(g.profile.zMin(), ref.profile.zMin()),
                        std::max(g.profile.zMax(), ref.profile.zMax()));
    g.passed = g.run.outcome == RunOutcome::Finished && g.run.collisions == 0 &&
               g.deviation.leftOverMm <= tolerance && g.deviation.tooDeepMm <= tolerance;
  }
  if (o.json) {
    std::cout << JsonOf(ref, true, maxTimeMs).dump() << '\n';
    for (const Graded& g : all) std::cout << JsonOf(g, false, maxTimeMs).dump() << '\n';
  } else {
    PrintTable(ref, all, o, maxTimeMs);
  }
  std::cout.flush();
  if (!o.svgDir.empty() && !WritePictures(all, ref, o)) return 2;
  const bool allPassed =
      std::all_of(all.begin(), all.end(), [](const Graded& g) { return g.passed; });
  return allPassed ? 0 : 1;
}

}  // namespace soustruh::cli
