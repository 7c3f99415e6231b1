#include "machine/MachineConfigReader.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/RecordingHost.h"

namespace soustruh {
namespace {

using Lines = std::vector<std::string>;
using test::RecordingHost;

constexpr const char* kValidKeys =
    "MinX=40 MaxX=250 RefX=250 MinZ=40 MaxZ=270 RefZ=270 MinW=0 MaxW=120 Mist_v_zas=8 "
    "Rychloposuv=5000 ManPosuv=1000 RefPosuv=2000 RychPinoly=2000 MaxPosuv=3000 MinOtacky=50 "
    "MaxOtacky=4000 Sklicidlo_D=100 Sklicidlo_L=50 Sklicidlo_Z=0 Celist_L1=20 Celist_H1=8 "
    "Celist_L2=30 Celist_H2=16 Celist_L3=40 Celist_H3=30 Celist_tl=20 Cel_L_sklic=80 "
    "Poc_celisti=3 Sklic_Cara=3C3C3C Sklic_Vypln=AAA5A0 Sklic_Stin=78736E Max_L_mat=150 "
    "Max_D_mat=40 Mat_Cara=1E5A78 Mat_Vypln=5ABEE1";

// A complete section, one key a line; `key` gets " = value" instead, or is left out when
// `value` is nullopt.
Lines Section(const std::string& key = "", std::optional<std::string> value = "") {
  Lines lines = {"Stroj pro testy", "[PARAM_STROJE]"};
  std::istringstream keys(kValidKeys);
  for (std::string line; keys >> line;) {
    if (line.substr(0, line.find('=')) != key) {
      lines.push_back(line);
    } else if (value) {
      lines.push_back(key + " = " + *value);
    }
  }
  lines.push_back("[RAM]");
  return lines;
}

struct Reading {
  MachineConfig config;
  MachineConfigStatus status;
  std::vector<std::string> messages;
};

Reading Read(const Lines& lines) {
  RecordingHost host;
  Reading r{};
  r.status = ReadMachineConfigLines(lines, host, r.config);
  r.messages = host.messages;
  return r;
}

const std::vector<std::string> kFaultyMessage = {std::string(MachineFaultyFileMessage)};

TEST(MachineConfigReader, ValuesAndFaults) {
  struct Case {
    const char* key;
    std::optional<std::string> value;  // nullopt: the key is left out
    std::int32_t MachineConfig::*field;
    std::int32_t expected;
    bool faulty;
  };
  const Case cases[] = {
      {"MinX", "-12.5", &MachineConfig::MinX, -125000, false},
      {"MinX", "1e2", &MachineConfig::MinX, 1000000, false},
      {"MinX", "1,5", &MachineConfig::MinX, 0, true},
      {"MinX", "12 mm", &MachineConfig::MinX, 0, true},
      {"MinX", "", &MachineConfig::MinX, 0, true},
      {"MinX", std::nullopt, &MachineConfig::MinX, 0, true},
      {"MaxW", "214748.3647", &MachineConfig::MaxW, 2147483647, false},
      {"Mist_v_zas", "+12", &MachineConfig::Mist_v_zas, 12, false},
      {"Mist_v_zas", "12.0", &MachineConfig::Mist_v_zas, 0, true},
      {"Mist_v_zas", "1e1", &MachineConfig::Mist_v_zas, 0, true},
      {"Rychloposuv", "99999999999", &MachineConfig::Rychloposuv, 0, true},
      {"Poc_celisti", "4", &MachineConfig::Poc_celisti, 4, false},
      {"Poc_celisti", "5", &MachineConfig::Poc_celisti, 5, true},
      {"Sklic_Cara", "ff0000", &MachineConfig::Sklic_Cara, 0, false},
      {"Sklic_Cara", "FF", &MachineConfig::Sklic_Cara, 0x0000FF, false},
      {"Mat_Vypln", std::nullopt, &MachineConfig::Mat_Vypln, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " = " + c.value.value_or("(missing)"));
    const Reading r = Read(Section(c.key, c.value));
    EXPECT_EQ(r.config.*c.field, c.expected);
    EXPECT_EQ(r.status, c.faulty ? MachineConfigStatus::Faulty : MachineConfigStatus::Complete);
    EXPECT_EQ(r.messages, c.faulty ? kFaultyMessage : std::vector<std::string>{});
    EXPECT_EQ(r.config.Mat_Cara, 0x1E5A78) << "a fault does not stop the reading";
  }
}

TEST(MachineConfigReader, LaterDuplicateWinsAndLowerCaseDoesNotMatch) {
  Lines lines = Section();
  lines.insert(lines.end() - 1, "MaxPosuv = 2500");
  Reading r = Read(lines);
  EXPECT_EQ(r.config.MaxPosuv, 2500);
  EXPECT_TRUE(r.messages.empty());

  lines = Section("MinX", std::nullopt);
  lines.insert(lines.end() - 1, "minx = 40");
  r = Read(lines);
  EXPECT_EQ(r.config.MinX, 0);
  EXPECT_EQ(r.messages, kFaultyMessage);
}

TEST(MachineConfigReader, BracketInCommentEndsTheSection) {
  Lines lines = Section();
  lines.insert(lines.begin() + 22, "Rozměry čelistí [mm]");  // before Celist_H1
  const Reading r = Read(lines);
  EXPECT_EQ(r.config.Celist_L1, 200000);
  EXPECT_EQ(r.config.Celist_H1, 0);
  EXPECT_EQ(r.config.Mat_Vypln, 0);
  EXPECT_EQ(r.messages, kFaultyMessage);
}

TEST(MachineConfigReader, LengthBeyondThirtyTwoBitsStopsTheReading) {
  for (const char* value : {"214748.3648", "-300000", "1e30"}) {
    SCOPED_TRACE(value);
    RecordingHost host;
    MachineConfig config;
    config.Max_D_mat = 77;  // left from an earlier reading
    const auto status = ReadMachineConfigLines(Section("MaxZ", value), host, config);
    EXPECT_EQ(status, MachineConfigStatus::OutOfRange);
    EXPECT_EQ(config.MinZ, 400000) << "keys before it are read";
    EXPECT_EQ(config.MaxZ, 0);
    EXPECT_EQ(config.RefZ, 0) << "keys after it are not read";
    EXPECT_EQ(config.Max_D_mat, 0);
    ASSERT_EQ(host.messages.size(), 1u) << "the range message alone";
    EXPECT_EQ(host.messages[0], MachineRangeErrorMessage("MaxZ", value));
    EXPECT_NE(host.messages[0].find(std::string("'") + value + "' klíče MaxZ"), std::string::npos);
  }
}

TEST(MachineConfigReader, MissingFileIsSilentAndLeavesConfigAlone) {
  RecordingHost host;
  MachineConfig config;
  config.MaxX = 123;
  EXPECT_FALSE(ReadMachineConfig(SOUSTRUH_SOURCE_DIR "/no-such-directory", host, config));
  EXPECT_EQ(config.MaxX, 123);
  EXPECT_TRUE(host.messages.empty());
}

TEST(MachineConfigReader, BundledMachineIsCompleteAndConsistent) {
  RecordingHost host;
  MachineConfig c;
  ASSERT_TRUE(ReadMachineConfig(SOUSTRUH_SOURCE_DIR "/data", host, c));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(c.Poc_celisti, 3);
  EXPECT_TRUE(c.MinX <= c.RefX && c.RefX <= c.MaxX && c.MinX < c.MaxX);
  EXPECT_TRUE(c.MinZ <= c.RefZ && c.RefZ <= c.MaxZ && c.MinZ < c.MaxZ);
  EXPECT_TRUE(c.MinW < c.MaxW && c.MaxW >= 1200000) << "the quill starts at W = 120 mm";
  EXPECT_TRUE(c.MinOtacky > 0 && c.MinOtacky < c.MaxOtacky);
  EXPECT_TRUE(c.ManPosuv > 0 && c.ManPosuv <= c.Rychloposuv && c.MaxPosuv > 0);
  // The start-up stock, 19 mm out by 45 mm, fits; the largest one passes the chuck.
  EXPECT_TRUE(c.Max_D_mat >= 190000 && c.Max_L_mat >= 450000);
  EXPECT_LE(c.Max_D_mat, c.Sklicidlo_D);
  // The chuck can be drawn: the jaws' first step lies outside the chuck body.
  const std::int32_t jawBack = c.Sklicidlo_Z + c.Cel_L_sklic - c.Celist_L3;
  EXPECT_GT(jawBack + c.Celist_L1, c.Sklicidlo_Z + c.Sklicidlo_L);
}

}  // namespace
}  // namespace soustruh
