#include "nc/NcError.h"

#include <array>
#include <string_view>

namespace soustruh {
namespace {

struct ErrorEntry {
  NcError code;
  std::string_view message;
  bool suffix;
};

constexpr std::array<ErrorEntry, 34> kMessages = {{
    {kErrProgramNotFound, "Soubor NC programu nenalezen.", false},
    {kErrBlockFormat, "Nesprávný formát bloku", true},
    {kErrBlockTooLong, "Překročena maximální délka bloku programu", true},
    {kErrJumpTargetMissing, "Nenalezen cílový blok skoku", true},
    {kErrNumberFormat, "Nesprávný formát čísla", true},
    {kErrToolWordFormat, "Nesprávný formát funkce pro výměnu nástroje", true},
    {kErrBlockNumberNotFirst, "Číslo bloku musí být na začátku řádku", true},
    {kErrUnknownFunction, "Neznámá funkce", true},
    {kErrNotInMdi, "Funkci není možné použít v režimu MDI", false},
    {kErrSameGroupTwice, "V jednom bloku více funkcí ze stejné skupiny", true},
    {kErrBadCombination, "Nepřípustná kombinace funkcí v jednom bloku", true},
    {kErrBadCoordinates, "Nesprávné zadání souřadnic", true},
    {kErrVariableFormat, "Nesprávný formát proměnné", true},
    {kErrVariableUndefined, "Proměnná nebyla předem definovaná", true},
    {kErrTooManyVariables, "Zadáno příliš mnoho proměnných", true},
    {kErrLinearFormat, "Nesprávný formát souřadnic lineární interpolace", true},
    {kErrCircularFormat, "Nesprávný formát souřadnic kruhové interpolace", true},
    {kErrArcTolerance, "Souřadnice I, J, K jsou mimo povolenou toleranci", true},
    {kErrArcUndefined, "Kruhový oblouk není správně definován", false},
    {kErrArcOver180, "Kruhový oblouk svírá úhel větší než 180 stupňů", true},
    {kErrArcPlane, "Kruhová interpolace zadávána v jiné rovině", true},
    {kErrNoFeed, "Nezadán pracovní posuv", true},
    {kErrNoSpindleSpeed, "Nezadány otáčky vřetena", true},
    {kErrMissingParameter, "Nezadán potřebný parametr funkce", true},
    {kErrUnknownParameter, "Neznámý parametr", true},
    {kErrBadSubprogramEnd, "Nepřípustné ukončení podprogramu", true},
    {kErrNestingTooDeep, "Další vnoření podprogramu již není možné", true},
    {kErrM17InMainProgram, "Funkci konce podprogramu (M17) nelze použít v hlavním programu", true},
    {kErrMachineLimit, "Překročen limit stroje", true},
    {kErrOffsetPath, "Ekvidistantní dráhu se nepodařilo vypočítat", true},
    {kErrApproachPath, "Dráhu najetí funkce G41/G42 se nepodařilo vypočítat", true},
    {kErrDeparturePath, "Nedefinována dráha vyjetí při funkci G41/G42", true},
    {kErrInfiniteLoop, "Vytvořena nekonečná smyčka v programu", true},
    {kErrNotImplemented, "Funkce dosud nevytvořena!", false},
}};

constexpr std::string_view kUnknownErrorMessage = "Došlo k neznámé chybě";

const ErrorEntry* FindEntry(NcError code) {
  for (const ErrorEntry& e : kMessages) {
    if (e.code == code) return &e;
  }
  return nullptr;
}

bool HasBlockNumber(std::int32_t blockNumber) {
  return blockNumber >= 0 && blockNumber <= 9999;
}

std::string Suffix(std::int32_t blockNumber, std::int32_t lineNumber) {
  const std::string line = std::to_string(lineNumber);
  if (!HasBlockNumber(blockNumber)) return " (řádek " + line + ").";
  const std::string block = std::to_string(blockNumber);
  if (lineNumber != 0) return " (blok N" + block + ", řádek " + line + ").";
  return " (blok N" + block + ").";
}

}  // namespace

bool IsKnownError(NcError code) {
  return code == kErrNone || FindEntry(code) != nullptr;
}

ErrorDisplay ErrorText(NcError code, std::int32_t blockNumber, std::int32_t lineNumber,
                       bool noSuffix) {
  if (code == kErrNone) return {"", Colour::ButtonFace, Colour::Black};
  const ErrorEntry* entry = FindEntry(code);
  ErrorDisplay display;
  if (entry == nullptr) {
    display = {std::string(kUnknownErrorMessage), Colour::Red, Colour::Yellow};
  } else if (code == kErrInfiniteLoop) {
    display = {std::string(entry->message), Colour::Yellow, Colour::Black};
  } else if (code == kErrNotImplemented) {
    display = {std::string(entry->message), Colour::Red, Colour::White};
  } else {
    display = {std::string(entry->message), Colour::Blue, Colour::White};
  }
  const bool wantsSuffix = entry == nullptr || entry->suffix;
  if (wantsSuffix && !noSuffix) display.text += Suffix(blockNumber, lineNumber);
  return display;
}

}  // namespace soustruh
