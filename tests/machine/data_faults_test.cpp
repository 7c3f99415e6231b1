// Data files that a learner or teacher broke: values the machine cannot work with, drawings too
// large to clip at every tick, tools without a drawing, files that cannot be read and table
// values a run would refuse. Each is said at start-up, and the simulator goes on.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "control/VirtualHost.h"
#include "machine/MachineConfigReader.h"
#include "machine/MachineDrawing.h"
#include "machine/ToolShape.h"
#include "platform/TextFile.h"
#include "support/Files.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

Lines Bundled(const char* name) {
  return *ReadLines(test::kBundledData / name);
}

// The bundled GeoStroj.dat with the line of `key` replaced by "key = value".
Lines MachineWith(const std::string& key, const std::string& value) {
  Lines lines = Bundled("GeoStroj.dat");
  const std::regex line("\\s*" + key + "\\s*=.*");
  for (std::string& l : lines)
    if (std::regex_match(l, line)) l = key + " = " + value;
  return lines;
}

// Bounds keep every sum the simulator forms in range; orderings keep the travel sensible. The
// faulty value reads as 0; a value in the wrong order is kept.
TEST(DataFaults, MachineValuesOutOfBoundsOrOrderAreNamed) {
  const struct {
    std::string key, value, note;
    std::int32_t MachineConfig::*field;
    std::int32_t kept;
  } cases[] = {
      {"MaxX", "-214748", "Klíč MaxX: hodnota '-214748' je mimo rozsah -10000 až 10000 mm.",
       &MachineConfig::MaxX, 0},
      {"Sklicidlo_L", "10000.0001", "Klíč Sklicidlo_L: hodnota '10000.0001' je mimo rozsah",
       &MachineConfig::Sklicidlo_L, 0},
      {"Mist_v_zas", "100", "Klíč Mist_v_zas: hodnota '100' je mimo rozsah 1 až 99.",
       &MachineConfig::Mist_v_zas, 0},
      {"Rychloposuv", "-5", "Klíč Rychloposuv: hodnota '-5' je mimo rozsah 0 až 1000000.",
       &MachineConfig::Rychloposuv, 0},
      {"MinX", "250", "Klíč MinX musí být menší než MaxX.", &MachineConfig::MinX, 2500000},
      {"RefZ", "300", "Klíč RefZ musí ležet mezi MinZ a MaxZ.", &MachineConfig::RefZ, 3000000},
      {"MinW", "120", "Klíč MinW musí být menší než MaxW.", &MachineConfig::MinW, 1200000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key + " = " + c.value);
    VirtualHost host;
    MachineConfig config;
    EXPECT_EQ(ReadMachineConfigLines(MachineWith(c.key, c.value), host, config),
              MachineConfigStatus::Faulty);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].find(MachineFaultyFileMessage), 0u);
    EXPECT_NE(host.messages[0].find("\r\n" + c.note), std::string::npos) << host.messages[0];
    EXPECT_EQ(config.*c.field, c.kept);
  }
}

TEST(DataFaults, DrawingsBeyondTheirPointBoundAreRefused) {
  auto polygon = [](std::size_t points) {
    std::string line = "000000,FFFFFF";
    for (std::size_t i = 0; i < points; ++i) line += "," + std::to_string(i) + ",0";
    return line;
  };
  TStroj drawing;
  DrawingBounds bounds;
  EXPECT_FALSE(ReadDrawingSection({"[RAM]", polygon(1000), polygon(1000)}, RAM, drawing, bounds));
  const auto error =
      ReadDrawingSection({"[KRYTY]", polygon(1000), polygon(1001)}, KRYTY, drawing, bounds);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message,
            "Chybný formát souboru sestavení stroje\r\nOddíl [KRYTY] má více než 2000 bodů.");
  EXPECT_EQ(error->lineNumber, 3u);
  // A faulty line of a megabyte is shown cut, not whole.
  const auto huge = ReadDrawingSection({"[RAM]", "0,0,1," + std::string(1 << 20, '2') + ",3"}, RAM,
                                       drawing, bounds);
  ASSERT_TRUE(huge);
  EXPECT_LT(huge->message.size(), 300u);

  std::string holder = polygon(2001).substr(14);
  VirtualHost host;
  EXPECT_TRUE(BuildToolShape({"[T01]", "Drzak = " + holder}, 1, host).empty());
  EXPECT_EQ(host.messages,
            Lines{"Chybný formát souboru nástrojů\r\n[T01] Drzak: více než 2000 bodů."});
}

class DataFaultsAtStartup : public test::SimulatorFixture {
 protected:
  Lines Start() {
    host.messages.clear();
    sim.Start();
    return host.messages;
  }
  fs::path File(const char* name) const { return dir.path() / name; }
};

// A file that exists but cannot be read is named with the reason, and the start-up goes on as it
// does for a missing one; a table that could not be read is left alone.
TEST_F(DataFaultsAtStartup, UnreadableFilesAreNamedWithTheReason) {
  for (const char* name : {"GeoNastr.dat", "korekce.txt", "nulbody.txt"}) {
    fs::remove(File(name));
    fs::create_directory(File(name));
  }
  EXPECT_EQ(
      Start(),
      (Lines{"Soubor s grafikou nástrojů 'GeoNastr.dat' se nepodařilo přečíst (je to složka).",
             "Soubor korekcí nástrojů 'korekce.txt' se nepodařilo přečíst (je to složka).\r\n"
             "Tabulka s nulovými hodnotami platí jen v paměti, soubor zůstal beze změny.",
             "Soubor posunutí nulových bodů obrobku 'nulbody.txt' se nepodařilo přečíst (je to "
             "složka).\r\nTabulka s nulovými hodnotami platí jen v paměti, soubor zůstal "
             "beze změny."}));
  EXPECT_EQ(sim.data().corrections.rows.size(), 99u);
  EXPECT_TRUE(fs::is_directory(File("korekce.txt")));

  fs::remove(File("GeoStroj.dat"));
  fs::create_directory(File("GeoStroj.dat"));
  host.messages.clear();
  EXPECT_EQ(sim.Start(), StartupStatus::MachineMissing);
  EXPECT_EQ(host.messages, Lines{"Soubor s grafikou stroje 'GeoStroj.dat' se nepodařilo přečíst "
                                 "(je to složka), aplikace bude ukončena."});
}

// A value with four decimals would pass a floating-point check and then fail the program's T
// word or every block: it is found when the table is loaded.
TEST_F(DataFaultsAtStartup, TableValuesAreCheckedWithTheRunsOwnReader) {
  Lines rows = Bundled("korekce.txt");
  rows[4] = "  5     0.0001     0.000     0.000  0  ";
  ASSERT_EQ(WriteLines(File("korekce.txt"), rows), "");
  ASSERT_EQ(WriteLines(File("nulbody.txt"), {"54 1000. 0"}), "");
  const Lines messages = Start();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].find("Soubor korekcí nástrojů 'korekce.txt' nemá správný formát!"), 0u);
  EXPECT_EQ(messages[1].find("Soubor posunutí nulových bodů obrobku 'nulbody.txt' nemá správný "
                             "formát!"),
            0u);
}

// Tools without a drawing are named at start-up; a feed move with one is a note of ours on the
// status line, until Reset.
TEST_F(DataFaultsAtStartup, ToolsWithoutADrawingAreReported) {
  Lines tools = Bundled("GeoNastr.dat");
  tools.erase(std::find(tools.begin(), tools.end(), "[T08]"), tools.end());
  ASSERT_EQ(WriteLines(File("GeoNastr.dat"), tools), "");
  EXPECT_EQ(Start(), Lines{"Soubor s grafikou nástrojů 'GeoNastr.dat' nemá grafiku nástroje 8; "
                           "tento nástroj neobrábí."});

  test::WriteBytes(File("GeoNastr.dat"), "");
  EXPECT_EQ(Start(), Lines{"Soubor s grafikou nástrojů 'GeoNastr.dat' nemá grafiku nástrojů 1, 2, "
                           "3, 4, 5, 6, 7, 8; tyto nástroje neobrábějí."});
  host.messages.clear();
  Reference();
  const std::string note = "Nástroj 1 nemá grafiku v souboru 'GeoNastr.dat', proto nic neobrobí.";
  ASSERT_TRUE(RunProgram({"G00 X100. Z150.", "M30"}));
  EXPECT_EQ(sim.state().Status.text, "") << "rapid moves cut nothing anyway";
  ASSERT_TRUE(RunProgram({"G01 X100. Z140. F1000", "M30"}));
  EXPECT_EQ(sim.state().Status.text, note);
  EXPECT_EQ(sim.state().Notices, Lines{note});
  sim.B_ResetClick();
  EXPECT_EQ(sim.state().Status.text, "");
}

}  // namespace
}  // namespace soustruh
