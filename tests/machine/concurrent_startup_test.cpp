// Many simulators starting at once over one data folder with a malformed correction table: twenty
// headless checks (which must not write at all) and a few window start-ups (which repair the
// table under the folder lock). However they interleave, the user's rows survive in exactly one
// backup and the table is repaired once.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "platform/TextFile.h"
#include "support/Files.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(SOUSTRUH_SOURCE_DIR) / "data";
const std::string kCli = std::string(SOUSTRUH_BIN_DIR) + "/soustruh-cli";

TEST(ConcurrentStartup, TheUsersRowsSurviveInExactlyOneBackup) {
  constexpr int kTrials = 10;
  constexpr int kChecks = 20;
  constexpr int kWindows = 4;
  for (int trial = 0; trial < kTrials; ++trial) {
    SCOPED_TRACE(trial);
    test::TempDir dir;
    for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"})
      fs::copy_file(kData / name, dir.path() / name);
    auto rows = *ReadLines(dir.path() / "korekce.txt");
    rows[6] = "  7    12.500    -3.250     0.400  x  nůž";
    ASSERT_EQ(WriteLines(dir.path() / "korekce.txt", rows), "");
    const std::string original = test::ReadBytes(dir.path() / "korekce.txt");
    test::WriteBytes(dir.path() / "p.nc", "G00 X100.\r\n");

    std::vector<pid_t> windows;
    for (int w = 0; w < kWindows; ++w) {
      const pid_t pid = fork();
      if (pid == 0) {
        VirtualHost host;
        Simulator sim(host, dir.path());
        _exit(sim.Start() == StartupStatus::Loaded ? 0 : 1);
      }
      windows.push_back(pid);
    }
    const std::string data = test::Quoted(dir.path().string());
    test::RunCommand("for i in $(seq " + std::to_string(kChecks) + "); do " + kCli +
                     " check --data " + data + " " + data + "/p.nc >/dev/null 2>&1 & done; wait");
    for (const pid_t pid : windows) {
      int status = 0;
      waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    std::vector<std::string> backups;
    for (const auto& e : fs::directory_iterator(dir.path()))
      if (e.path().extension() == ".bak") backups.push_back(test::ReadBytes(e.path()));
    EXPECT_EQ(backups, std::vector<std::string>{original});
    CorrectionTable zero;
    zero.Zero();
    EXPECT_EQ(test::ReadBytes(dir.path() / "korekce.txt"), EncodeText(zero.rows));
  }
}

}  // namespace
}  // namespace soustruh
