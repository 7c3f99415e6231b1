// The CLI facing bad input and a hostile system: every case ends, with the right exit status and
// a message that says what went wrong.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>

#include "support/Files.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

const std::string kCli = std::string(SOUSTRUH_BIN_DIR) + "/soustruh-cli";
const fs::path kData = fs::path(SOUSTRUH_SOURCE_DIR) / "data";

class CliReliability : public ::testing::Test {
 protected:
  CliReliability() {
    fs::create_directories(data);
    for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"})
      fs::copy_file(kData / name, data / name);
    fs::copy_file(kData / "examples" / "01_osazeny_hridel.nc", dir.path() / "p.nc");
  }

  // Runs a shell command with $CLI, $D (the data folder) and $T (the test folder) put in;
  // standard error joins standard output.
  test::CommandResult Shell(const std::string& line) const {
    std::string command = "(" + line + ") 2>&1";
    const std::map<std::string, std::string> words = {
        {"$CLI", kCli}, {"$D", test::Quoted(data.string())}, {"$T", test::Quoted(T())}};
    for (const auto& [word, value] : words)
      for (std::size_t at; (at = command.find(word)) != std::string::npos;)
        command.replace(at, word.size(), value);
    return test::RunCommand(command);
  }
  std::string T() const { return dir.path().string(); }

  test::TempDir dir;
  fs::path data = dir.path() / "data";
};

TEST_F(CliReliability, BadInputEndsWithItsExitStatusAndMessage) {
  const struct {
    std::string command;
    int status;
    std::string says;
  } cases[] = {
      {"$CLI check /proc/self/mem", 2, "/proc/self/mem: Input/output error"},
      {"$CLI check --data $D $D", 2, ": Is a directory"},
      {"$CLI check --data $D - < /tmp", 2, "standard input: Is a directory"},
      {"$CLI check --data $D /dev/zero", 2, "/dev/zero: larger than 64 MiB"},
      {"$CLI run --data $D --json $T/p.nc > /dev/full", 2,
       "standard output: No space left on device"},
      {"$CLI check --data $D --help > /dev/full", 2, "standard output: No space left on device"},
      {"$CLI run --data $D --svg $T $T/p.nc", 2, ": Is a directory"},
      {"$CLI run --feed", 2, "option --feed needs a value"},
      {"$CLI run --data '' $T/p.nc", 2, "option --data has an empty value"},
      {"$CLI run --spindle 151 $T/p.nc", 2, "option --spindle: '151' is not"},
      {"$CLI check --mdi --bogus x.nc", 2, "unknown option '--bogus'"},
      {"$CLI check a.nc b.nc", 2, "more than one FILE ('a.nc', 'b.nc')"},
      {"$CLI run --keys k --stock 20,40", 2, "option --stock cannot be used with --keys"},
      {"$CLI measure --at x $T/p.nc", 2, "option --at needs a position"},
      {"$CLI grade --jobs 0 --reference $T/p.nc $T/p.nc", 2, "option --jobs: '0' is not"},
      {"$CLI grade $T/p.nc", 2, "option --reference missing"},
      // Stops that repeat without motion are the endless loop they are; with motion, the time
      // limit ends the run, also in the middle of a script's day-long wait.
      {"printf 'N10 M00\\nN20 G27 L10\\n' > $T/s.nc && $CLI run --data $D --max-time 1 $T/s.nc", 1,
       "Vytvořena nekonečná smyčka v programu (blok N10, řádek 1)."},
      {"printf 'N10 M01\\nN20 G27 L10\\n' > $T/s.nc && "
       "$CLI run --data $D --optional-stop --max-time 1 $T/s.nc",
       1, "Vytvořena nekonečná smyčka v programu (blok N10, řádek 1)."},
      {"printf 'N10 G00 X200.\\nN20 M00\\nN30 G00 X210.\\nN40 G27 L10\\n' > $T/s.nc && "
       "$CLI run --data $D --max-time 1 $T/s.nc",
       3, "Řádek: "},
      {"printf 'soft 5\nstart\nuntil-idle\nkey F6\nstart\nwait 86400000\n' > $T/k && "
       "printf 'N10 G01 X200. F100\nN20 G01 X210.\nN30 G27 L10\n' > $T/s.nc && "
       "$CLI run --data $D --max-time 60 --keys $T/k $T/s.nc",
       3, "Řádek: 2"},
      {": > $D/GeoNastr.dat && $CLI run --data $D $T/p.nc", 0,
       "soustruh-cli: warning: Nástroj 1 nemá grafiku v souboru 'GeoNastr.dat', proto nic "
       "neobrobí."},
      // Last: it spoils the data folder for the cases above.
      {"ln -s /dev/zero $D/GeoStroj.dat.z && mv $D/GeoStroj.dat.z $D/GeoStroj.dat && "
       "$CLI check --data $D $T/p.nc",
       2, "Soubor s grafikou stroje 'GeoStroj.dat' se nepodařilo přečíst (není to obyčejný"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const auto r = Shell(c.command);
    EXPECT_EQ(r.status, c.status) << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
  }
}

TEST_F(CliReliability, HelpListsEveryOption) {
  const std::string all = Shell("$CLI --help").out;
  for (const auto& [command, options] : std::map<std::string, std::vector<std::string>>{
           {"check", {"--mdi", "--json", "--data"}},
           {"run",
            {"--data", "--skip", "--optional-stop", "--dry-run", "--feed", "--spindle",
             "--max-time", "--stock", "--svg", "--profile-svg", "--dxf", "--json", "--keys"}},
           {"measure", {"--data", "--stock", "--offset", "--max-time", "--at", "--json"}},
           {"grade",
            {"--reference", "--data", "--stock", "--tolerance", "--offset", "--max-time", "--jobs",
             "--json", "--svg"}}}) {
    const auto own = Shell("$CLI " + command + " --help");
    EXPECT_EQ(own.status, 0);
    for (const std::string& option : options) {
      SCOPED_TRACE(command + " " + option);
      EXPECT_NE(own.out.find(option), std::string::npos);
      EXPECT_NE(all.find(option), std::string::npos);
    }
  }
}

// The report's line is the line the message names, wherever the loop's jump led.
TEST_F(CliReliability, EndlessLoopMessageAndJsonLineAgree) {
  for (const std::string program :
       {"N10 G27 L10", "N10 M08\\nN20 G27 L10", "N10 M08\\nN20 M09\\nN30 G27 L20"}) {
    SCOPED_TRACE(program);
    const auto r = Shell("printf '" + program + "\\n' > $T/l.nc && $CLI run --data $D --json " +
                         "$T/l.nc 2>/dev/null");
    const auto j = nlohmann::json::parse(r.out);
    std::smatch m;
    const std::string message = j["message"];
    ASSERT_TRUE(std::regex_search(message, m, std::regex("řádek ([0-9]+)"))) << message;
    EXPECT_EQ(j["line"], std::stoi(m[1]));
  }
}

// Headless commands repair tables in memory and say so; the data folder keeps every byte.
TEST_F(CliReliability, CommandsNeverWriteIntoTheDataFolder) {
  test::WriteBytes(data / "korekce.txt", "1 0.0001 0 0 0\r\n");
  fs::remove(data / "nulbody.txt");
  auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(data))
      files[e.path().filename().string()] = test::ReadBytes(e.path());
    return files;
  };
  const auto before = snapshot();
  for (const std::string command : {"$CLI check --data $D $T/p.nc", "$CLI run --data $D $T/p.nc",
                                    "$CLI run --data $D "
                                    "--keys /dev/null"}) {
    SCOPED_TRACE(command);
    const auto r = Shell(command);
    EXPECT_NE(r.out.find("'korekce.txt' nemá správný formát!\nTabulka s nulovými hodnotami platí "
                         "jen v paměti, soubor zůstal beze změny."),
              std::string::npos)
        << r.out;
    EXPECT_EQ(snapshot(), before);
  }
}

// A link given as the picture stays a link to the picture; a device stays a device.
TEST_F(CliReliability, SvgWritesThroughLinksAndIntoDevices) {
  fs::create_symlink("picture.svg", dir.path() / "link.svg");
  EXPECT_EQ(Shell("$CLI run --data $D --svg $T/link.svg $T/p.nc").status, 0);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.svg"));
  EXPECT_EQ(test::ReadBytes(dir.path() / "picture.svg").substr(0, 5), "<?xml");
  // A null device of our own, so that a fault could never replace the system's /dev/null.
  const fs::path device = dir.path() / "null";
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "needs root";
  EXPECT_EQ(Shell("$CLI run --data $D --svg $T/null $T/p.nc").status, 0);
  EXPECT_TRUE(fs::is_character_file(device));
}

}  // namespace
}  // namespace soustruh
