// Files under stress: reads that fail or never end, saves through links into devices, backups,
// a full disk, a process killed in the middle of a save, and bytes that must survive a round
// trip.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <regex>
#include <set>

#include "control/ProgramFile.h"
#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "machine/CorrectionTable.h"
#include "platform/FileAccess.h"
#include "platform/TextFile.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

Lines Names(const fs::path& dir) {
  Lines names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs `body` in a child process and returns its exit status (-1 when it did not exit).
template <class Body>
int InChild(Body body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FileSafety, ReadsEndWithAReason) {
  test::TempDir dir;
  const fs::path fifo = dir.path() / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  test::WriteBytes(dir.path() / "lines", std::string(11, '\n'));
  const ReadLimits small{10, 10, true};
  const struct {
    fs::path path;
    ReadLimits limits;
    ReadStatus status;
    std::string reason;
  } cases[] = {
      {dir.path() / "none", kDataFileLimits, ReadStatus::Missing, "soubor nebo složka neexistuje"},
      {dir.path(), kProgramLimits, ReadStatus::Unreadable, "je to složka"},
      {"/proc/self/mem", kProgramLimits, ReadStatus::Unreadable, "chyba vstupu nebo výstupu"},
      {fifo, kDataFileLimits, ReadStatus::NotRegular, "není to obyčejný soubor"},
      {"/dev/zero", kProgramLimits, ReadStatus::TooLarge, "soubor je větší než 64 MiB"},
      {dir.path() / "lines", small, ReadStatus::TooLarge, "soubor je větší než 10 B"},
      {dir.path() / "lines",
       {100, 10, true},
       ReadStatus::TooManyLines,
       "soubor má více než 10 řádků"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.string());
    const TextRead read = ReadText(c.path, c.limits);
    EXPECT_EQ(read.raw.status, c.status);
    EXPECT_EQ(ReadFailureText(read.raw, c.limits), c.reason);
  }
  EXPECT_FALSE(ReadLines(dir.path()).has_value()) << "no exception from the old interface either";
}

TEST(FileSafety, SavesKeepLinksAndDevicesAndRefuseFolders) {
  test::TempDir dir;
  const fs::path target = dir.path() / "real.nc";
  test::WriteBytes(target, "old");
  fs::permissions(target, fs::perms(0640));
  fs::create_symlink("real.nc", dir.path() / "link.nc");
  fs::create_symlink("created.nc", dir.path() / "dangling.nc");
  EXPECT_EQ(WriteFileBytes(dir.path() / "link.nc", "new"), 0);
  EXPECT_EQ(WriteFileBytes(dir.path() / "dangling.nc", "made"), 0);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.nc"));
  EXPECT_EQ(test::ReadBytes(target), "new");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640)) << "permissions kept";
  EXPECT_EQ(test::ReadBytes(dir.path() / "created.nc"), "made");
  EXPECT_EQ(WriteFileBytes(dir.path(), "x"), EISDIR);

  const fs::path fifo = dir.path() / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  EXPECT_EQ(WriteFileBytes(fifo, "through the pipe"), 0);
  char buffer[32] = {};
  EXPECT_EQ(read(reader, buffer, sizeof buffer), 16);
  close(reader);
  EXPECT_EQ(Names(dir.path()), (Lines{"created.nc", "dangling.nc", "fifo", "link.nc", "real.nc"}));
  // A null device of our own, so that a fault could never replace the system's /dev/null.
  const fs::path device = dir.path() / "null";
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) return;  // needs root
  EXPECT_EQ(WriteFileBytes(device, "gone"), 0);
  EXPECT_TRUE(fs::is_character_file(device));
}

TEST(FileSafety, BackupsNeverReplaceOneAnother) {
  test::TempDir dir;
  Lines names;
  for (const std::string bytes : {"first", "second", "third"})
    names.push_back(WriteNewBackup(dir.path(), "korekce.txt", bytes).name);
  EXPECT_EQ(Names(dir.path()).size(), 3u);
  EXPECT_EQ(test::ReadBytes(dir.path() / names[0]), "first");
  EXPECT_EQ(test::ReadBytes(dir.path() / names[2]), "third");
  EXPECT_TRUE(std::regex_match(
      names[0], std::regex(R"(korekce\.txt\.\d{4}(-\d\d){2}_\d\d(-\d\d){2}(-\d)?\.bak)")))
      << names[0];
}

// A disk that fills up in the middle of a write leaves no partial backup and no temporary file,
// and the malformed table, which could not be kept, is not overwritten.
TEST(FileSafety, AFullDiskLeavesNoPartialFile) {
  test::TempDir dir;
  const std::string malformed = std::string(300, 'x') + "\r\n";
  test::WriteBytes(dir.path() / "korekce.txt", malformed);
  const int status = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
    VirtualHost host;
    CorrectionTable table;
    table.LoadAtStartup(dir.path(), host);
    const bool refused = WriteFileBytes(dir.path() / "korekce.txt", std::string(200, 'y')) == EFBIG;
    return refused && host.messages ==
                          Lines{
                              "Soubor korekcí nástrojů 'korekce.txt' nemá správný formát!\r\n"
                              "Původní soubor se nepodařilo zálohovat (soubor je příliš velký), "
                              "proto nebyl přepsán."}
               ? 0
               : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Names(dir.path()), Lines{"korekce.txt"});
  EXPECT_EQ(test::ReadBytes(dir.path() / "korekce.txt"), malformed);
}

// A process saving a table and a program is killed at random moments: each file is always whole,
// the old or the new, and the next save removes any temporary file the killed one left.
TEST(FileSafety, AKilledSaveLeavesTheOldOrTheNewFile) {
  test::TempDir dir;
  CorrectionTable a, b;
  a.Zero();
  b.Zero();
  for (std::string& row : b.rows) row += "nový nůž";
  const Lines programA = {"N10 G00 X20.", "M30"}, programB = {"N10 G01 X30. F100", "N20 M30"};
  VirtualHost host;
  const fs::path program = dir.path() / "p.nc";
  ASSERT_TRUE(a.Save(dir.path(), host));
  ASSERT_TRUE(SaveProgram(program, programA, host));
  const std::set<std::string> tables = {EncodeText(a.rows), EncodeText(b.rows)};
  const std::set<std::string> programs = {EncodeText(programA), EncodeText(programB)};

  // A temporary file of a process that is gone, as a kill leaves one.
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  test::WriteBytes(dir.path() / (".korekce.txt." + std::to_string(gone) + ".0.tmp"), "half");

  std::mt19937 random(12);
  int strays = 0;
  for (int kill = 0; kill < 120; ++kill) {
    const pid_t pid = fork();
    if (pid == 0) {
      VirtualHost childHost;
      for (int i = 0;; ++i) {
        (i % 2 ? b : a).Save(dir.path(), childHost);
        SaveProgram(program, i % 2 ? programB : programA, childHost);
      }
    }
    usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    ASSERT_TRUE(tables.count(test::ReadBytes(dir.path() / "korekce.txt"))) << kill;
    ASSERT_TRUE(programs.count(test::ReadBytes(program))) << kill;
    strays += static_cast<int>(Names(dir.path()).size()) - 2;
  }
  ASSERT_TRUE(a.Save(dir.path(), host));
  ASSERT_TRUE(SaveProgram(program, programA, host));
  EXPECT_EQ(Names(dir.path()), (Lines{"korekce.txt", "p.nc"}));
  RecordProperty("temporary files seen right after a kill", strays);
}

// Every byte 0x80 to 0xFF (the five Windows-1250 leaves undefined too) and CR LF survive a read
// and a save of an unchanged table and program, a program without a last line end included.
TEST(FileSafety, UnchangedFilesKeepTheirBytes) {
  test::TempDir dir;
  std::string high;
  for (int b = 0x80; b <= 0xFF; ++b) high += static_cast<char>(b);
  std::string table;
  for (int row = 1; row <= 99; ++row)
    table += std::to_string(row) + " 0.0 0.0 0.0 0 " +
             (row <= 8 ? high.substr(static_cast<std::size_t>(row - 1) * 16, 16) : "") + "\r\n";
  test::WriteBytes(dir.path() / "korekce.txt", table);
  VirtualHost host;
  CorrectionTable corrections;
  ASSERT_EQ(corrections.LoadAtStartup(dir.path(), host), TableLoadResult::Ok);
  ASSERT_TRUE(corrections.Save(dir.path(), host));
  EXPECT_EQ(test::ReadBytes(dir.path() / "korekce.txt"), table);

  const std::string program = "(" + high + ")\r\nN10 G00 X20.\r\n\r\nM30";
  const fs::path file = dir.path() / "p.nc";
  test::WriteBytes(file, program);
  VirtualHost panel;
  Simulator sim(panel, dir.path());
  panel.onFileDialog = [&](ProgramFileDialogMode, std::string_view) { return file.string(); };
  panel.answerYes = true;
  sim.B_EditClick();
  sim.FocusChanged("M_Program");
  sim.B_Fn1Click();
  ASSERT_EQ(sim.state().Program.size(), 4u);
  sim.B_Fn2Click();
  EXPECT_EQ(test::ReadBytes(file), program);
}

}  // namespace
}  // namespace soustruh
