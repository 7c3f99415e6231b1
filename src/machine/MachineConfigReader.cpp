#include "machine/MachineConfigReader.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "machine/ConfigFile.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

namespace soustruh {

namespace {

enum class KeyKind { Length, Integer, Colour };

struct KeyDefinition {
  std::string_view name;
  KeyKind kind;
  std::int32_t MachineConfig::*field;
};

// The keys in the order they are read; a range error stops the reading, so the order matters.
constexpr std::array<KeyDefinition, 35> kKeys = {{
    {"MinX", KeyKind::Length, &MachineConfig::MinX},
    {"MaxX", KeyKind::Length, &MachineConfig::MaxX},
    {"RefX", KeyKind::Length, &MachineConfig::RefX},
    {"MinZ", KeyKind::Length, &MachineConfig::MinZ},
    {"MaxZ", KeyKind::Length, &MachineConfig::MaxZ},
    {"RefZ", KeyKind::Length, &MachineConfig::RefZ},
    {"MinW", KeyKind::Length, &MachineConfig::MinW},
    {"MaxW", KeyKind::Length, &MachineConfig::MaxW},
    {"Mist_v_zas", KeyKind::Integer, &MachineConfig::Mist_v_zas},
    {"Rychloposuv", KeyKind::Integer, &MachineConfig::Rychloposuv},
    {"ManPosuv", KeyKind::Integer, &MachineConfig::ManPosuv},
    {"RefPosuv", KeyKind::Integer, &MachineConfig::RefPosuv},
    {"RychPinoly", KeyKind::Integer, &MachineConfig::RychPinoly},
    {"MaxPosuv", KeyKind::Integer, &MachineConfig::MaxPosuv},
    {"MinOtacky", KeyKind::Integer, &MachineConfig::MinOtacky},
    {"MaxOtacky", KeyKind::Integer, &MachineConfig::MaxOtacky},
    {"Sklicidlo_D", KeyKind::Length, &MachineConfig::Sklicidlo_D},
    {"Sklicidlo_L", KeyKind::Length, &MachineConfig::Sklicidlo_L},
    {"Sklicidlo_Z", KeyKind::Length, &MachineConfig::Sklicidlo_Z},
    {"Celist_L1", KeyKind::Length, &MachineConfig::Celist_L1},
    {"Celist_H1", KeyKind::Length, &MachineConfig::Celist_H1},
    {"Celist_L2", KeyKind::Length, &MachineConfig::Celist_L2},
    {"Celist_H2", KeyKind::Length, &MachineConfig::Celist_H2},
    {"Celist_L3", KeyKind::Length, &MachineConfig::Celist_L3},
    {"Celist_H3", KeyKind::Length, &MachineConfig::Celist_H3},
    {"Celist_tl", KeyKind::Length, &MachineConfig::Celist_tl},
    {"Cel_L_sklic", KeyKind::Length, &MachineConfig::Cel_L_sklic},
    {"Poc_celisti", KeyKind::Integer, &MachineConfig::Poc_celisti},
    {"Sklic_Cara", KeyKind::Colour, &MachineConfig::Sklic_Cara},
    {"Sklic_Vypln", KeyKind::Colour, &MachineConfig::Sklic_Vypln},
    {"Sklic_Stin", KeyKind::Colour, &MachineConfig::Sklic_Stin},
    {"Max_L_mat", KeyKind::Length, &MachineConfig::Max_L_mat},
    {"Max_D_mat", KeyKind::Length, &MachineConfig::Max_D_mat},
    {"Mat_Cara", KeyKind::Colour, &MachineConfig::Mat_Cara},
    {"Mat_Vypln", KeyKind::Colour, &MachineConfig::Mat_Vypln},
}};

enum class ValueState { Read, Unreadable, OutOfRange };

struct ReadValue {
  ValueState state = ValueState::Unreadable;
  std::int32_t value = 0;
};

ReadValue ConvertValue(KeyKind kind, const std::optional<std::string>& found) {
  if (!found) return {};
  const std::string_view text = *found;
  switch (kind) {
    case KeyKind::Length: {
      const auto millimetres = ParseFloat(text);
      if (!millimetres) return {};
      const auto units = MillimetresToUnits(*millimetres);
      if (!units) return {ValueState::OutOfRange, 0};
      return {ValueState::Read, *units};
    }
    case KeyKind::Integer: {
      const auto number = ParseInt32(text);
      if (!number) return {};
      return {ValueState::Read, *number};
    }
    case KeyKind::Colour:
      // Any text is a colour, the empty one black; only a key that is absent is a fault.
      return {ValueState::Read, ParseColour(text)};
  }
  return {};
}

}  // namespace

std::string MachineRangeErrorMessage(std::string_view key, std::string_view value) {
  std::string message = "Hodnota '";
  message += value;
  message += "' klíče ";
  message += key;
  message +=
      " v souboru GeoStroj.dat je mimo povolený rozsah, další klíče nebyly načteny a program "
      "nemusí pracovat správně!";
  return message;
}

MachineConfigStatus ReadMachineConfigLines(const std::vector<std::string>& lines, Host& host,
                                           MachineConfig& config) {
  config = MachineConfig{};
  const LineRange section = FindSection(lines, MachineParameterSection);
  bool faulty = false;
  for (const KeyDefinition& key : kKeys) {
    const std::optional<std::string> text = FindKeyValue(lines, section, key.name);
    const ReadValue read = ConvertValue(key.kind, text);
    if (read.state == ValueState::OutOfRange) {
      host.ShowMessage(MachineRangeErrorMessage(key.name, *text));
      return MachineConfigStatus::OutOfRange;
    }
    config.*key.field = read.value;
    if (read.state == ValueState::Unreadable) faulty = true;
  }
  if (config.Poc_celisti != 3 && config.Poc_celisti != 4) faulty = true;
  if (!faulty) return MachineConfigStatus::Complete;
  host.ShowMessage(MachineFaultyFileMessage);
  return MachineConfigStatus::Faulty;
}

bool ReadMachineConfig(const std::filesystem::path& directory, Host& host, MachineConfig& config) {
  const auto lines = ReadLines(directory / MachineFileName);
  if (!lines) return false;
  ReadMachineConfigLines(*lines, host, config);
  return true;
}

}  // namespace soustruh
