#include "machine/StartupLoading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "control/Simulator.h"
#include "platform/ApplicationDirectory.h"
#include "platform/TextFile.h"
#include "support/Files.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using test::ReadBytes;

class StartupLoading : public ::testing::Test {
 protected:
  void CopyBundled(const char* name) {
    fs::copy_file(fs::path(SOUSTRUH_SOURCE_DIR) / "data" / name, dir.path() / name);
  }
  Lines Files() const {
    Lines names;
    for (const auto& e : fs::directory_iterator(dir.path()))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempDir dir;
  test::RecordingHost host;
  Simulator sim{host, dir.path()};
};

// Without GeoNastr.dat the tool slot keeps the machine file's own [NASTROJ] drawing.
TEST_F(StartupLoading, OnlyTheMachineFileReportsTheOthersInOrderAndCreatesBothTables) {
  CopyBundled("GeoStroj.dat");
  EXPECT_EQ(sim.Start(), StartupStatus::Loaded);
  EXPECT_EQ(host.messages,
            (Lines{"Nenalezen soubor s grafikou nástrojů 'GeoNastr.dat'.",
                   "Soubor korekcí nástrojů 'korekce.txt' nebyl nalezen.",
                   "Soubor posunutí nulových bodů obrobku 'nulbody.txt' nebyl nalezen."}));
  EXPECT_EQ(Files(), (Lines{"GeoStroj.dat", "korekce.txt", "nulbody.txt"}));
  EXPECT_EQ(ReadLines(dir.path() / "korekce.txt")->size(), 99u);
  EXPECT_EQ(ReadLines(dir.path() / "nulbody.txt")->size(), 5u);
  EXPECT_FALSE(sim.data().drawing[NASTROJ].empty());
  EXPECT_TRUE(sim.state().Alarms.Has(AlarmKind::Reference));
  EXPECT_EQ(sim.state().Mode, ControlMode::Manual);
}

// The faulty line is shown: whoever edited the drawing needs to know which line is wrong.
TEST_F(StartupLoading, AFaultyDrawingLineIsShownAndLeavesDrawingAndTablesEmpty) {
  auto lines = *ReadLines(fs::path(SOUSTRUH_SOURCE_DIR) / "data" / "GeoStroj.dat");
  const auto section = std::find(lines.begin(), lines.end(), "[KONIK]");
  ASSERT_NE(section, lines.end());
  lines.insert(section + 1, "000000, FFFFFF, 1, 2, 3");
  ASSERT_EQ(WriteLines(dir.path() / "GeoStroj.dat", lines), "");
  const std::string before = ReadBytes(dir.path() / "GeoStroj.dat");

  EXPECT_EQ(sim.Start(), StartupStatus::DrawingFaulty);
  EXPECT_EQ(host.messages,
            Lines{"Chybný formát souboru sestavení stroje\r\n000000, FFFFFF, 1, 2, 3"});
  for (const TUtvar& part : sim.data().drawing) EXPECT_TRUE(part.empty());
  EXPECT_TRUE(sim.stock().empty());
  EXPECT_TRUE(sim.data().corrections.rows.empty());
  for (const WorkOffset& o : sim.data().offsets.offsets())
    EXPECT_EQ((Lines{o.X, o.Z}), (Lines{"0.0", "0.0"}));
  EXPECT_EQ(Files(), Lines{"GeoStroj.dat"});
  EXPECT_EQ(ReadBytes(dir.path() / "GeoStroj.dat"), before);
  // A correction that was never loaded reads as zero instead of failing.
  sim.B_ExecClick();
  EXPECT_EQ(sim.data().corrections.Correction(5, sim.interpreter()).X, 0);
}

// The machine waits 2 mm inside its upper limits with tool 1, the quill on the stock face.
TEST_F(StartupLoading, TheBundledDataLoadsWithoutAnyMessage) {
  for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"})
    CopyBundled(name);
  EXPECT_EQ(sim.Start(), StartupStatus::Loaded);
  EXPECT_EQ(host.messages, Lines{});
  const MachineState& s = sim.state();
  EXPECT_EQ(s.Active.X, sim.config().MaxX - 20000);
  EXPECT_EQ(s.Active.Z, sim.config().MaxZ - 20000);
  EXPECT_EQ(s.Active.T, 1);
  EXPECT_EQ(s.Active.M[3], 21);
  EXPECT_FALSE(sim.stock().empty());
  ASSERT_FALSE(sim.data().drawing[NASTROJ].empty());
  EXPECT_EQ(sim.data().drawing[NASTROJ][0].y, -1) << "tool 1 from GeoNastr.dat";
}

TEST(ApplicationDirectory, IsTheProgramsOwnWhateverTheWorkingDirectory) {
  const fs::path before = fs::current_path();
  test::TempDir elsewhere;
  fs::current_path(elsewhere.path());
  const fs::path found = ApplicationDirectory();
  fs::current_path(before);
  EXPECT_EQ(found, fs::read_symlink("/proc/self/exe").parent_path());
}

}  // namespace
}  // namespace soustruh
