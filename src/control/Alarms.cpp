#include "control/Alarms.h"

#include <array>

namespace soustruh {
namespace {

struct AlarmInfo {
  std::string_view name;
  std::string_view text;
};

constexpr std::array<AlarmInfo, 7> kAlarms = {{
    {"Reference", "Najet reference"},
    {"TravelEnd", "Konec rozsahu pojezdu"},
    {"ZeroFeed", "Nastavena nulová rychlost posuvu"},
    {"QuillUndefined", "Pinola koníka není v definované poloze"},
    {"DriveSync", "Chyba synchronizace pohonů stroje"},
    {"TotalStop", "T O T A L    S T O P"},
    {"InterpreterError", ""},
}};

}  // namespace

std::string_view AlarmName(AlarmKind kind) {
  return kAlarms[static_cast<std::size_t>(kind)].name;
}
std::string_view AlarmText(AlarmKind kind) {
  return kAlarms[static_cast<std::size_t>(kind)].text;
}

}  // namespace soustruh
