// The window's memory after a learner's session: the main window (1920 x 1080, off screen unless
// a platform is chosen) makes the reference run, then runs every example program of the data
// folder in AUTOMAT, each on a fresh default stock, in real time as the window runs them. Exits 0
// when every run finished without an alarm; ./dev bench reads the process's peak resident set.
//
//   window_examples DATA_DIR

#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/TextFile.h"
#include "ui/MainWindow.h"
#include "view/StockDialog.h"

namespace {

namespace fs = std::filesystem;
using soustruh::Simulator;

constexpr qint64 kRunLimitMs = 300000;

// Lets the window run until `done` holds; false after kRunLimitMs.
bool RunUntil(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > kRunLimitMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

bool Idle(const Simulator& sim) {
  return !sim.state().ProgramRunning && sim.state().MotionDone;
}

// The data files and the examples, copied so that nothing the run saves reaches `from`.
fs::path CopyData(const fs::path& from) {
  const fs::path to = fs::temp_directory_path() / ("soustruh-window-" + std::to_string(getpid()));
  fs::remove_all(to);
  fs::create_directories(to);
  fs::copy(from, to, fs::copy_options::recursive);
  return to;
}

bool RunExample(soustruh::ui::TForm1& window, const fs::path& program) {
  Simulator& sim = window.simulator();
  const auto lines = soustruh::ReadLines(program);
  if (!lines) return false;
  // The default stock of the examples, clamped as the dialog clamps it.
  if (soustruh::B_PolotovarClick(sim, "19", "45") != soustruh::StockClampResult::Clamped)
    return false;
  sim.SetProgram(*lines);
  sim.B_AutomatClick();
  sim.B_StartClick();
  window.Refresh();
  return RunUntil([&] { return Idle(sim); }) && sim.state().Alarms.Empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_examples DATA_DIR\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  const fs::path data = CopyData(argv[1]);
  int failed = 0;
  {
    soustruh::ui::TForm1 window(data);
    window.resize(1920, 1080);
    window.show();
    Simulator& sim = window.simulator();
    if (!RunUntil([&] { return window.started(); })) return 1;
    sim.B_ManualClick();
    sim.SetSoftKey(5, true);
    sim.B_StartClick();
    if (!RunUntil([&] { return Idle(sim); })) return 1;
    std::vector<fs::path> examples;
    for (const fs::directory_entry& e : fs::directory_iterator(data / "examples"))
      if (e.path().extension() == ".nc") examples.push_back(e.path());
    std::sort(examples.begin(), examples.end());
    for (const fs::path& example : examples) {
      const bool ok = RunExample(window, example);
      std::fprintf(stderr, "window_examples: %s %s\n", example.filename().c_str(),
                   ok ? "finished" : "failed");
      failed += ok ? 0 : 1;
    }
  }
  std::error_code ec;
  fs::remove_all(data, ec);
  return failed == 0 ? 0 : 1;
}
