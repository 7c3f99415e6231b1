#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "control/Simulator.h"
#include "machine/TextFile.h"
#include "support/Files.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::RecordingHost;
using test::TempDir;

const fs::path kData = fs::path(SOUSTRUH_SOURCE_DIR) / "data";

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class StartupLoading : public ::testing::Test {
 protected:
  StartupStatus Start() { return sim.Start(); }
  void CopyBundled(const char* name) { fs::copy_file(kData / name, dir.path() / name); }

  TempDir dir;
  RecordingHost host;
  Simulator sim{host, dir.path()};
};

TEST_F(StartupLoading, NoDataFilesIsFatalWithOneMessageAndCreatesNothing) {
  EXPECT_EQ(Start(), StartupStatus::MachineMissing);
  EXPECT_EQ(host.messages, (std::vector<std::string>{
                               "Nenalezen soubor s grafikou stroje 'GeoStroj.dat', aplikace bude "
                               "ukončena."}));
  EXPECT_TRUE(FilesIn(dir.path()).empty());
}

TEST_F(StartupLoading, OnlyTheMachineFileReportsTheOthersInOrderAndCreatesBothTables) {
  CopyBundled("GeoStroj.dat");
  EXPECT_EQ(Start(), StartupStatus::Loaded);
  EXPECT_EQ(host.messages, (std::vector<std::string>{
                               "Nenalezen soubor s grafikou nástrojů 'GeoNastr.dat'.",
                               "Soubor korekcí nástrojů 'korekce.txt' nebyl nalezen.",
                               "Soubor posunutí nulových bodů obrobku 'nulbody.txt' nebyl nalezen.",
                           }));
  EXPECT_EQ(FilesIn(dir.path()),
            (std::vector<std::string>{"GeoStroj.dat", "korekce.txt", "nulbody.txt"}));
  EXPECT_EQ(ReadLines(dir.path() / "korekce.txt")->size(), 99u);
  EXPECT_EQ(ReadLines(dir.path() / "nulbody.txt")->size(), 5u);
  // Without GeoNastr.dat the tool slot keeps the machine file's own [NASTROJ] drawing.
  EXPECT_FALSE(sim.data().drawing[NASTROJ].empty());
  EXPECT_TRUE(sim.state().Alarms.Has(AlarmKind::Reference));
  EXPECT_EQ(sim.state().Mode, ControlMode::Manual);
}

TEST_F(StartupLoading, AFaultyDrawingLineIsShownAndLeavesDrawingAndTablesEmpty) {
  auto lines = *ReadLines(kData / "GeoStroj.dat");
  const auto section = std::find(lines.begin(), lines.end(), "[KONIK]");
  ASSERT_NE(section, lines.end());
  lines.insert(section + 1, "000000, FFFFFF, 1, 2, 3");  // four commas
  ASSERT_EQ(WriteLines(dir.path() / "GeoStroj.dat", lines), "");
  const std::string before = ReadBytes(dir.path() / "GeoStroj.dat");

  EXPECT_EQ(Start(), StartupStatus::DrawingFaulty);
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{
                "Chybný formát souboru sestavení stroje\r\n000000, FFFFFF, 1, 2, 3"}));
  for (const TUtvar& part : sim.data().drawing) EXPECT_TRUE(part.empty());
  EXPECT_TRUE(sim.stock().empty());
  EXPECT_TRUE(sim.data().corrections.rows.empty());
  for (const WorkOffset& o : sim.data().offsets.offsets()) {
    EXPECT_EQ(o.X, "0.0");
    EXPECT_EQ(o.Z, "0.0");
  }
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"GeoStroj.dat"}));
  EXPECT_EQ(ReadBytes(dir.path() / "GeoStroj.dat"), before);
  // A correction that was never loaded reads as zero instead of failing.
  sim.B_ExecClick();
  EXPECT_EQ(sim.data().corrections.Correction(5, sim.interpreter()).X, 0);
}

TEST_F(StartupLoading, MalformedTablesAreKeptAsBackupsBeforeTheRebuild) {
  CopyBundled("GeoStroj.dat");
  ASSERT_EQ(WriteLines(dir.path() / "korekce.txt", {"this is not a correction table"}), "");
  ASSERT_EQ(WriteLines(dir.path() / "nulbody.txt", {" 56 1.0 2.0 wrong code"}), "");
  const std::string oldCorrections = ReadBytes(dir.path() / "korekce.txt");
  const std::string oldOffsets = ReadBytes(dir.path() / "nulbody.txt");

  EXPECT_EQ(Start(), StartupStatus::Loaded);
  ASSERT_EQ(host.messages.size(), 3u);
  EXPECT_EQ(host.messages[1].rfind("Soubor korekcí nástrojů 'korekce.txt' nemá správný formát!", 0),
            0u);
  EXPECT_NE(host.messages[1].find("korekce.txt.bak"), std::string::npos);
  EXPECT_EQ(host.messages[2].rfind(
                "Soubor posunutí nulových bodů obrobku 'nulbody.txt' nemá správný formát!", 0),
            0u);
  EXPECT_NE(host.messages[2].find("nulbody.txt.bak"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir.path() / "korekce.txt.bak"), oldCorrections);
  EXPECT_EQ(ReadBytes(dir.path() / "nulbody.txt.bak"), oldOffsets);
  EXPECT_EQ(ReadLines(dir.path() / "korekce.txt")->size(), 99u);
}

TEST_F(StartupLoading, TheBundledDataLoadsWithoutAnyMessage) {
  for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"}) {
    if (!fs::exists(kData / name)) GTEST_SKIP() << name << " is not bundled yet";
    CopyBundled(name);
  }
  EXPECT_EQ(Start(), StartupStatus::Loaded);
  EXPECT_TRUE(host.messages.empty()) << host.messages.front();
  // The machine waits 2 mm inside its upper limits with tool 1, the quill on the stock face.
  const MachineState& s = sim.state();
  EXPECT_EQ(s.Active.X, sim.config().MaxX - 20000);
  EXPECT_EQ(s.Active.Z, sim.config().MaxZ - 20000);
  EXPECT_EQ(s.Active.T, 1);
  EXPECT_EQ(s.Active.M[3], 21);
  EXPECT_FALSE(sim.stock().empty());
  EXPECT_FALSE(sim.data().drawing[NASTROJ].empty());
}

TEST_F(StartupLoading, RepeatedLoadingGivesTheSameDrawing) {
  CopyBundled("GeoStroj.dat");
  ASSERT_EQ(Start(), StartupStatus::Loaded);
  const TStroj first = sim.data().drawing;
  host.messages.clear();
  ASSERT_EQ(LoadDataFiles(sim.data(), 1, host), StartupStatus::Loaded);
  EXPECT_EQ(sim.data().drawing, first);
}

}  // namespace
}  // namespace soustruh
