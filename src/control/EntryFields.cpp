#include "control/EntryFields.h"

#include <array>

namespace soustruh {
namespace {

constexpr std::size_t kNumberLength = 8;
constexpr std::size_t kPopisLength = 15;

constexpr EntryField Float(std::string_view name) {
  return {name, EntryKind::Float, kNumberLength, true};
}
constexpr EntryField Popis(std::string_view name) {
  return {name, EntryKind::Text, kPopisLength, true};
}

constexpr std::array<EntryField, 21> kFields = {{
    {"E_PrikazE", EntryKind::Text, 0, true},
    Float("E_KorX"),
    Float("E_KorZ"),
    Float("E_KorR"),
    {"E_KorL", EntryKind::Integer, 1, false},
    Popis("E_KorPopis"),
    Float("E_G54x"),
    Float("E_G54z"),
    Popis("E_G54popis"),
    Float("E_G55x"),
    Float("E_G55z"),
    Popis("E_G55popis"),
    Float("E_G57x"),
    Float("E_G57z"),
    Popis("E_G57popis"),
    Float("E_G58x"),
    Float("E_G58z"),
    Popis("E_G58popis"),
    Float("E_G59x"),
    Float("E_G59z"),
    Popis("E_G59popis"),
}};
constexpr std::size_t kFirstOffsetField = 6;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::span<const EntryField> AllEntryFields() {
  return kFields;
}

const EntryField* FindEntryField(std::string_view name) {
  for (const EntryField& field : kFields)
    if (field.name == name) return &field;
  return nullptr;
}

bool IsOffsetField(std::string_view name) {
  for (std::size_t i = kFirstOffsetField; i < kFields.size(); ++i)
    if (kFields[i].name == name) return true;
  return false;
}

int OffsetFieldCode(std::string_view name) {
  if (!IsOffsetField(name)) return 0;
  return (name[3] - '0') * 10 + (name[4] - '0');
}

bool IsEntryControl(std::string_view name) {
  return FindEntryField(name) != nullptr || name == "M_Program" || name == "LB_Korekce";
}

std::string FilterEntryText(const EntryField& field, std::string_view text) {
  if (field.kind == EntryKind::Text) return std::string(text);
  std::string kept;
  bool separator = false;
  for (const char c : text) {
    if (IsDigit(c)) {
      kept += c;
    } else if (c == '-' && field.minus && kept.empty()) {
      kept += c;
    } else if ((c == '.' || c == ',') && field.kind == EntryKind::Float && !separator) {
      kept += '.';
      separator = true;
    }
  }
  return kept;
}

std::string TypedEntryText(const EntryField& field, std::string_view text) {
  std::string kept = FilterEntryText(field, text);
  if (field.maxLength == 0) return kept;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (IsContinuationByte(kept[i])) continue;
    if (characters == field.maxLength) return kept.substr(0, i);
    ++characters;
  }
  return kept;
}

std::string LeftEntryText(const EntryField& field, std::string text) {
  if (!text.empty()) return text;
  if (field.kind == EntryKind::Float) return "0.0";
  if (field.kind == EntryKind::Integer) return "0";
  return text;
}

}  // namespace soustruh
