// GeoStroj.dat: the [PARAM_STROJE] reader and the drawing reader.

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "control/VirtualHost.h"
#include "machine/MachineConfigReader.h"
#include "machine/MachineDrawing.h"

namespace soustruh {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kValidKeys =
    "MinX=40 MaxX=250 RefX=250 MinZ=40 MaxZ=270 RefZ=270 MinW=0 MaxW=120 Mist_v_zas=8 "
    "Rychloposuv=5000 ManPosuv=1000 RefPosuv=2000 RychPinoly=2000 MaxPosuv=3000 MinOtacky=50 "
    "MaxOtacky=4000 Sklicidlo_D=100 Sklicidlo_L=50 Sklicidlo_Z=0 Celist_L1=20 Celist_H1=8 "
    "Celist_L2=30 Celist_H2=16 Celist_L3=40 Celist_H3=30 Celist_tl=20 Cel_L_sklic=80 "
    "Poc_celisti=3 Sklic_Cara=3C3C3C Sklic_Vypln=AAA5A0 Sklic_Stin=78736E Max_L_mat=150 "
    "Max_D_mat=40 Mat_Cara=1E5A78 Mat_Vypln=5ABEE1";

// A complete [PARAM_STROJE], one key a line, with the line of `key` replaced by `replacement`.
// Its header is matched after trimming; only the first section with that header counts.
Lines Section(const std::string& key = "", const Lines& replacement = {}) {
  Lines lines = {"Stroj pro testy", " [PARAM_STROJE]\t"};
  std::istringstream keys(kValidKeys);
  for (std::string line; keys >> line;) {
    if (line.substr(0, line.find('=')) != key)
      lines.push_back(line);
    else
      lines.insert(lines.end(), replacement.begin(), replacement.end());
  }
  lines.insert(lines.end(), {"[RAM]", "[PARAM_STROJE]", "MinX=9", "MaxPosuv=9", "Mat_Vypln=9"});
  return lines;
}

struct Reading {
  MachineConfig config;
  MachineConfigStatus status;
  Lines messages;
};

Reading Read(const Lines& lines, MachineConfig config = {}) {
  VirtualHost host;
  const MachineConfigStatus status = ReadMachineConfigLines(lines, host, config);
  return {config, status, host.messages};
}

const Lines kFaulty = {std::string(MachineFaultyFileMessage)};

TEST(MachineConfigReader, ValuesAndFaults) {
  const struct {
    const char* key;
    Lines lines;  // in place of the key's line
    std::int32_t MachineConfig::*field;
    std::int32_t expected;
    bool faulty;
  } cases[] = {
      {"MinX", {"MinX = -12.5"}, &MachineConfig::MinX, -125000, false},
      {"MinX", {"MinX = 1e2"}, &MachineConfig::MinX, 1000000, false},
      {"MinX", {"MinX = 1,5"}, &MachineConfig::MinX, 0, true},
      {"MinX", {"MinX = 12 mm"}, &MachineConfig::MinX, 0, true},
      {"MinX", {}, &MachineConfig::MinX, 0, true},
      {"MinX", {"minx = 40"}, &MachineConfig::MinX, 0, true},
      {"MaxPosuv", {"MaxPosuv = 3000", "MaxPosuv = 2500"}, &MachineConfig::MaxPosuv, 2500, false},
      {"MaxW", {"MaxW=10000"}, &MachineConfig::MaxW, 100000000, false},
      {"Mist_v_zas", {"Mist_v_zas=+12"}, &MachineConfig::Mist_v_zas, 12, false},
      {"Mist_v_zas", {"Mist_v_zas=12.0"}, &MachineConfig::Mist_v_zas, 0, true},
      {"Rychloposuv", {"Rychloposuv=99999999999"}, &MachineConfig::Rychloposuv, 0, true},
      {"Poc_celisti", {"Poc_celisti=4"}, &MachineConfig::Poc_celisti, 4, false},
      {"Poc_celisti", {"Poc_celisti=5"}, &MachineConfig::Poc_celisti, 5, true},
      {"Sklic_Cara", {"Sklic_Cara=ff0000"}, &MachineConfig::Sklic_Cara, 0, false},
      {"Sklic_Cara", {"Sklic_Cara=FF"}, &MachineConfig::Sklic_Cara, 0x0000FF, false},
      {"Mat_Vypln", {}, &MachineConfig::Mat_Vypln, 0, true},
      {"MaxPosuv", {"MaxPosuv = +-5000"}, &MachineConfig::MaxPosuv, 0, true},
      {"Mist_v_zas", {"Mist_v_zas = -+8"}, &MachineConfig::Mist_v_zas, 0, true},
      {"Sklic_Stin", {"Sklic_Stin ="}, &MachineConfig::Sklic_Stin, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key + ::testing::PrintToString(c.lines));
    const Reading r = Read(Section(c.key, c.lines));
    EXPECT_EQ(r.config.*c.field, c.expected);
    EXPECT_EQ(r.status, c.faulty ? MachineConfigStatus::Faulty : MachineConfigStatus::Complete);
    EXPECT_EQ(r.messages, c.faulty ? kFaulty : Lines{});
    EXPECT_EQ(r.config.Mat_Cara, 0x1E5A78) << "a fault does not stop the reading";
  }
}

TEST(MachineConfigReader, BracketInACommentEndsTheSection) {
  const Reading r = Read(Section("Celist_H1", {"Rozměry čelistí [mm]", "Celist_H1=8"}));
  EXPECT_EQ(r.config.Celist_L1, 200000);
  EXPECT_EQ(r.config.Celist_H1, 0);
  EXPECT_EQ(r.config.Mat_Vypln, 0);
  EXPECT_EQ(r.messages, kFaulty);
}

// The range message alone: it already says that the keys after it were not read.
TEST(MachineConfigReader, LengthBeyondThirtyTwoBitsStopsTheReading) {
  for (const std::string value : {"214748.3648", "-300000", "1e30"}) {
    SCOPED_TRACE(value);
    MachineConfig earlier;
    earlier.Max_D_mat = 77;
    const Reading r = Read(Section("MaxZ", {"MaxZ = " + value}), earlier);
    EXPECT_EQ(r.status, MachineConfigStatus::OutOfRange);
    EXPECT_EQ(r.config.MinZ, 400000) << "keys before it are read";
    EXPECT_EQ(r.config.MaxZ, 0);
    EXPECT_EQ(r.config.RefZ, 0) << "keys after it are not read";
    EXPECT_EQ(r.config.Max_D_mat, 0);
    EXPECT_EQ(r.messages, Lines{MachineRangeErrorMessage("MaxZ", value)});
    EXPECT_NE(r.messages[0].find("'" + value + "' klíče MaxZ"), std::string::npos);
  }
}

struct Drawing {
  TStroj parts;
  DrawingBounds bounds;

  std::optional<DrawingReadError> Read(const Lines& lines, std::size_t part) {
    return ReadDrawingSection(lines, part, parts, bounds);
  }
};

TEST(DrawingReader, EachLineWithCommasIsOnePolygon) {
  Drawing d;
  ASSERT_FALSE(d.Read({"[OSA_X]", "  vozík", "  000000 , 0000FF, 0,0, 10.5,-2, 1e1,20  ", "",
                       "00,00,5,5,6,6,7,7,8,8", "[KONIK]", "00,00,90,9,9,9,9,9"},
                      OSA_X));
  const TUtvar expected = {{3, 0},           {0, 0xFF},      {0, 0},        {105000, -20000},
                           {100000, 200000}, {4, 0},         {0, 0},        {50000, 50000},
                           {60000, 60000},   {70000, 70000}, {80000, 80000}};
  EXPECT_EQ(d.parts[OSA_X], expected);
  for (std::size_t part = 0; part < DrawingPartCount; ++part)
    EXPECT_EQ(d.parts[part].empty(), part != OSA_X) << part;
  const auto bounds = [&] {
    return std::array{d.bounds.minX, d.bounds.maxX, d.bounds.minY, d.bounds.maxY};
  };
  EXPECT_EQ(bounds(), (std::array{0, 105000, -20000, 200000})) << "[KONIK] is not part of it";
  // A reload empties the drawing but only ever widens the bounds.
  d.parts = {};
  ASSERT_FALSE(d.Read({"[RAM]", "00,00,1,1,2,2,3,30"}, RAM));
  EXPECT_EQ(bounds(), (std::array{0, 105000, -20000, 300000}));
}

TEST(DrawingReader, FaultyLinesAreFormatErrors) {
  // 4 commas, 1 comma, 2 commas, not numbers, beyond 32 bits.
  for (const std::string line : {"FF,00,1,2,3", "FF,00", "FF,00,1", "FF,00,abc,0", "FF,00,1;5,0",
                                 "FF,00,214748.3648,0", "FF,00,0,-1e300"}) {
    SCOPED_TRACE(line);
    Drawing d;
    const auto error =
        d.Read({"[RAM]", "00,00,1,1,2,2,3,3", "\t" + line + "  ", "00,00,7,7,8,8,9,9"}, RAM);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message, "Chybný formát souboru sestavení stroje\r\n" + line);
    EXPECT_EQ(error->lineNumber, 3u);
    EXPECT_EQ(d.parts[RAM].size(), 5u) << "the faulty line and the rest add nothing";
    EXPECT_EQ(d.bounds.maxX, 30000);
  }
}

TEST(DrawingReader, WholeDrawingFindsTheQuillTip) {
  const Lines good = {"[PINOLA]", "00,00,30,0,35,5,35,-5", "00,00,40,1,25.5,1", "[RAM]",
                      "00,00,0,0,1,0,1,1"};
  Drawing d;
  std::int32_t tip = 0;
  ASSERT_FALSE(ReadMachineDrawing(good, d.parts, d.bounds, tip));
  EXPECT_EQ(tip, 255000) << "headers and colours are not points";
  EXPECT_EQ(d.parts[RAM].size(), 5u);
  d.parts[PINOLA].resize(4);
  EXPECT_EQ(QuillTipX(d.parts[PINOLA]), 300000) << "a truncated list reads the points it has";
  Drawing none;
  ASSERT_FALSE(ReadMachineDrawing({"[PINOLA]", "[SKLICIDLO]", "00,00,1,1,2,2,3,3"}, none.parts,
                                  none.bounds, tip));
  EXPECT_EQ(tip, std::numeric_limits<std::int32_t>::max()) << "no quill drawn";
  EXPECT_TRUE(none.parts[SKLICIDLO].empty()) << "the chuck is never read from the file";
}

}  // namespace
}  // namespace soustruh
