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

// The bounds of the values, so that every sum and difference the simulator forms from them (the
// start 2 mm inside a limit, a chuck face plus its length, a travel across the whole machine)
// stays far inside 32 bits, and no count or speed is meaningless.
struct Bounds {
  std::int32_t min;
  std::int32_t max;
  std::string_view text;  // the bounds as the message states them
};
constexpr std::int32_t kLengthBound = 100'000'000;  // 10 m in length units
constexpr Bounds kLengthBounds{-kLengthBound, kLengthBound, "-10000 až 10000 mm"};
constexpr Bounds kRateBounds{0, 1'000'000, "0 až 1000000"};
// Tool numbers are two digits in the T word.
constexpr Bounds kTurretBounds{1, 99, "1 až 99"};

std::optional<Bounds> BoundsOf(const KeyDefinition& key) {
  if (key.kind == KeyKind::Length) return kLengthBounds;
  if (key.kind == KeyKind::Colour || key.name == "Poc_celisti") return std::nullopt;
  return key.name == "Mist_v_zas" ? kTurretBounds : kRateBounds;
}

std::string OutOfBoundsNote(std::string_view key, std::string_view value, const Bounds& bounds) {
  return "\r\nKlíč " + std::string(key) + ": hodnota '" + TextForMessage(value) +
         "' je mimo rozsah " + std::string(bounds.text) + ".";
}

// The orderings of the travel: limits in the right order, the reference point inside them. Only
// keys that were read are compared.
std::string OrderingNotes(const MachineConfig& c, const std::array<bool, kKeys.size()>& read) {
  auto wasRead = [&](std::string_view name) {
    for (std::size_t i = 0; i < kKeys.size(); ++i)
      if (kKeys[i].name == name) return read[i];
    return false;
  };
  std::string notes;
  const struct {
    std::string_view min, max, ref;
    std::int32_t minValue, maxValue;
    const std::int32_t* refValue;
  } axes[] = {{"MinX", "MaxX", "RefX", c.MinX, c.MaxX, &c.RefX},
              {"MinZ", "MaxZ", "RefZ", c.MinZ, c.MaxZ, &c.RefZ},
              {"MinW", "MaxW", {}, c.MinW, c.MaxW, nullptr}};
  for (const auto& axis : axes) {
    if (!wasRead(axis.min) || !wasRead(axis.max)) continue;
    if (axis.minValue >= axis.maxValue) {
      notes += "\r\nKlíč " + std::string(axis.min) + " musí být menší než " +
               std::string(axis.max) + ".";
    } else if (axis.refValue && wasRead(axis.ref) &&
               (*axis.refValue < axis.minValue || *axis.refValue > axis.maxValue)) {
      notes += "\r\nKlíč " + std::string(axis.ref) + " musí ležet mezi " + std::string(axis.min) +
               " a " + std::string(axis.max) + ".";
    }
  }
  return notes;
}

}  // namespace

std::string MachineRangeErrorMessage(std::string_view key, std::string_view value) {
  std::string message = "Hodnota '";
  message += TextForMessage(value);
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
  std::string notes;
  std::array<bool, kKeys.size()> wasRead{};
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    const KeyDefinition& key = kKeys[i];
    const std::optional<std::string> text = FindKeyValue(lines, section, key.name);
    const ReadValue read = ConvertValue(key.kind, text);
    if (read.state == ValueState::OutOfRange) {
      host.ShowMessage(MachineRangeErrorMessage(key.name, *text));
      return MachineConfigStatus::OutOfRange;
    }
    if (read.state == ValueState::Unreadable) {
      faulty = true;
      continue;
    }
    const auto bounds = BoundsOf(key);
    if (bounds && (read.value < bounds->min || read.value > bounds->max)) {
      // Out of bounds counts as unreadable: the field keeps 0.
      notes += OutOfBoundsNote(key.name, *text, *bounds);
      faulty = true;
      continue;
    }
    config.*key.field = read.value;
    wasRead[i] = true;
  }
  if (config.Poc_celisti != 3 && config.Poc_celisti != 4) faulty = true;
  notes += OrderingNotes(config, wasRead);
  if (!faulty && notes.empty()) return MachineConfigStatus::Complete;
  host.ShowMessage(std::string(MachineFaultyFileMessage) + notes);
  return MachineConfigStatus::Faulty;
}

bool ReadMachineConfig(const std::filesystem::path& directory, Host& host, MachineConfig& config) {
  const TextRead read = ReadText(directory / MachineFileName, kDataFileLimits);
  if (!read.ok()) return false;
  ReadMachineConfigLines(read.content.lines, host, config);
  return true;
}

}  // namespace soustruh
