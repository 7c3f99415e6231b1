// The figures of `./dev bench`: runs the benchmark programs of a release build (each figure the
// median of several repetitions), runs the CLI on the ten-minute reference program and the window
// on every example program for their peak memory, prints a short table and, as its very last
// line, one JSON object with the figures.
//
//   bench_report BUILD_DIR
//
// A figure that could not be measured is null in the JSON (the QImage redraw and the window's
// memory while the window is not built).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "TraceKit.h"
#include "platform/TextFile.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int kRepetitions = 5;

struct Finished {
  int status = -1;
  long peakKib = 0;  // the child's peak resident set
};

// Runs `program` with `args`, its standard output into `out` (or inherited when empty).
Finished Run(const fs::path& program, const std::vector<std::string>& args, const fs::path& out) {
  std::vector<char*> argv;
  std::string name = program.string();
  argv.push_back(name.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!out.empty() && std::freopen(out.c_str(), "w", stdout) == nullptr) _exit(126);
    execv(name.c_str(), argv.data());
    _exit(127);
  }
  Finished f;
  if (pid < 0) return f;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) f.status = WEXITSTATUS(status);
  f.peakKib = usage.ru_maxrss;
  return f;
}

// The JSON a benchmark program wrote with --benchmark_out, or null when it did not run.
json RunBenchmark(const fs::path& program, const std::string& filter, const fs::path& scratch) {
  if (!fs::exists(program)) return nullptr;
  const fs::path out = scratch / (program.filename().string() + ".json");
  const Finished f = Run(
      program,
      {"--benchmark_filter=" + filter, "--benchmark_repetitions=" + std::to_string(kRepetitions),
       "--benchmark_report_aggregates_only=true", "--benchmark_out=" + out.string(),
       "--benchmark_out_format=json"},
      scratch / "console.txt");
  std::ifstream in(out);
  if (f.status != 0 || !in) return nullptr;
  return json::parse(in, nullptr, false);
}

// The median over the repetitions of `field` of the run named `name`.
std::optional<double> Median(const json& results, const std::string& name,
                             const std::string& field) {
  if (!results.is_object()) return std::nullopt;
  for (const json& b : results["benchmarks"]) {
    if (b.value("run_name", "") != name || b.value("aggregate_name", "") != "median") continue;
    if (b.contains(field)) return b[field].get<double>();
  }
  return std::nullopt;
}

json Figure(std::optional<double> value) {
  return value ? json(*value) : json(nullptr);
}

std::string Text(std::optional<double> value, int precision) {
  if (!value) return "-";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", precision, *value);
  return buffer;
}

std::string Load() {
  std::ifstream in("/proc/loadavg");
  std::string a, b, c;
  in >> a >> b >> c;
  return a + " " + b + " " + c;
}

struct Figures {
  std::optional<double> parsePerSecond, median5k, p99_5k, median20k, cpu5k, cpu20k, cpuP99_5k,
      reference, speedup, qimage5k, qimageWhole5k, rssMib, windowMib;
  std::optional<double> headless[3];  // 1, 10 and 60 minutes
};

constexpr int kMinutes[3] = {1, 10, 60};

void MeasureBenchmarks(const fs::path& benches, const fs::path& scratch, Figures& f) {
  std::fprintf(stderr, "bench: parsing...\n");
  const json parse = RunBenchmark(benches / "parse_block_bench", "BM_ParseBlockExecute", scratch);
  std::fprintf(stderr, "bench: redraws (the straightforward form takes a few minutes)...\n");
  const json redraw = RunBenchmark(benches / "scene_redraw_bench", "BM_TraceRedraw", scratch);
  std::fprintf(stderr, "bench: headless runs...\n");
  const json headless = RunBenchmark(benches / "virtual_run_bench", "BM_Headless", scratch);
  const json qimage = RunBenchmark(benches / "qimage_redraw_bench", "BM_QImage", scratch);

  const std::string trace5k = "BM_TraceRedraw/5000/iterations:5/manual_time";
  const std::string trace20k = "BM_TraceRedraw/20000/iterations:5/manual_time";
  f.parsePerSecond = Median(parse, "BM_ParseBlockExecute", "items_per_second");
  f.median5k = Median(redraw, trace5k, "median_ms");
  f.p99_5k = Median(redraw, trace5k, "p99_ms");
  f.median20k = Median(redraw, trace20k, "median_ms");
  f.cpu5k = Median(redraw, trace5k, "median_cpu_ms");
  f.cpu20k = Median(redraw, trace20k, "median_cpu_ms");
  f.cpuP99_5k = Median(redraw, trace5k, "p99_cpu_ms");
  f.reference =
      Median(redraw, "BM_TraceRedrawReference/5000/iterations:1/manual_time", "median_ms");
  if (f.median5k && f.reference && *f.median5k > 0) f.speedup = *f.reference / *f.median5k;
  for (int i = 0; i < 3; ++i)
    f.headless[i] = Median(
        headless, "BM_HeadlessRun/" + std::to_string(kMinutes[i]) + "/iterations:1/manual_time",
        "speedup");
  f.qimage5k = Median(qimage, "BM_QImageTraceRedraw/5000/iterations:5/manual_time", "median_ms");
  f.qimageWhole5k = Median(qimage, "BM_QImageRedraw/5000/iterations:5/manual_time", "median_ms");
}

// The CLI on the ten-minute program, as a user runs it.
void MeasureCli(const fs::path& build, const fs::path& scratch, Figures& f) {
  const fs::path program = scratch / "reference_10min.nc";
  if (!soustruh::WriteLines(program, soustruh::bench::ReferenceProgram(10)).empty()) return;
  const Finished cli = Run(build / "bin" / "soustruh-cli",
                           {"run", "--stock", "40,100", program.string()}, scratch / "cli.txt");
  if (cli.status == 0) f.rssMib = static_cast<double>(cli.peakKib) / 1024.0;
}

// The window running every example program (real time, about three minutes); no figure without
// the window.
void MeasureWindow(const fs::path& build, const fs::path& scratch, Figures& f) {
  const fs::path driver = build / "bench" / "window_examples";
  if (!fs::exists(driver)) return;
  std::fprintf(stderr, "bench: the window runs the examples (a few minutes)...\n");
  const Finished run = Run(driver, {(build / "bin").string()}, scratch / "window.txt");
  if (run.status == 0) f.windowMib = static_cast<double>(run.peakKib) / 1024.0;
}

void PrintTable(const Figures& f, const std::string& loadBefore) {
  const auto row = [](const std::string& what, const std::string& value) {
    std::printf("%-56s %14s\n", what.c_str(), value.c_str());
  };
  row("figure (median of repetitions)", "value");
  row("ParseBlock, blocks per second", Text(f.parsePerSecond, 0));
  row("redraw, 5000-point stock: median ms", Text(f.median5k, 3));
  row("redraw, 5000-point stock: 99th percentile ms", Text(f.p99_5k, 3));
  row("redraw, 20000-point stock: median ms", Text(f.median20k, 3));
  row("redraw, processor time 5000 / 20000 points: median ms",
      Text(f.cpu5k, 3) + " / " + Text(f.cpu20k, 3));
  row("redraw, processor time 5000 points: 99th percentile ms", Text(f.cpuP99_5k, 3));
  row("straightforward redraw, 5000-point stock: median ms", Text(f.reference, 1));
  row("speedup over the straightforward redraw", Text(f.speedup, 1));
  row("QImage redraw, 5000-point stock: median ms", Text(f.qimage5k, 3));
  row("QImage redraw, whole machine moving, 5000 points: median ms", Text(f.qimageWhole5k, 3));
  for (int i = 0; i < 3; ++i)
    row("headless run of " + std::to_string(kMinutes[i]) + " min: times faster than real time",
        Text(f.headless[i], 0));
  row("CLI peak memory, ten-minute program, MiB", Text(f.rssMib, 1));
  row("window peak memory after every example, MiB", Text(f.windowMib, 1));
  row("load average before", loadBefore);
  row("load average after", Load());
}

void PrintJson(const Figures& f) {
  json j;
  j["parse_blocks_per_s"] = Figure(f.parsePerSecond);
  j["redraw_ms_median_5k"] = Figure(f.median5k);
  j["redraw_ms_p99_5k"] = Figure(f.p99_5k);
  j["redraw_ms_median_20k"] = Figure(f.median20k);
  j["redraw_cpu_ms_p99_5k"] = Figure(f.cpuP99_5k);
  j["redraw_speedup_vs_reference_5k"] = Figure(f.speedup);
  j["qimage_redraw_ms_median_5k"] = Figure(f.qimage5k);
  j["qimage_redraw_whole_ms_median_5k"] = Figure(f.qimageWhole5k);
  j["headless_speedup_vs_real_time"] = Figure(f.headless[1]);
  j["headless_speedup_1min"] = Figure(f.headless[0]);
  j["headless_speedup_60min"] = Figure(f.headless[2]);
  j["cli_peak_rss_mib"] = Figure(f.rssMib);
  j["window_peak_rss_mib"] = Figure(f.windowMib);
  std::printf("%s\n", j.dump().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path build = argc > 1 ? argv[1] : ".";
  const fs::path scratch =
      fs::temp_directory_path() / ("soustruh-bench-" + std::to_string(getpid()));
  fs::create_directories(scratch);
  const std::string loadBefore = Load();
  Figures figures;
  MeasureBenchmarks(build / "bench", scratch, figures);
  MeasureCli(build, scratch, figures);
  MeasureWindow(build, scratch, figures);
  fs::remove_all(scratch);
  PrintTable(figures, loadBefore);
  PrintJson(figures);
  return 0;
}
