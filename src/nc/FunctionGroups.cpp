#include "nc/FunctionGroups.h"

#include <array>
#include <cstdint>

namespace soustruh {
namespace {

constexpr std::int8_t kUnknown = -1;

struct FunctionGroup {
  int number;
  int group;
};

// Indexed by the function number 0..99; every function word has at most two digits.
template <std::size_t N>
constexpr std::array<std::int8_t, 100> BuildTable(const std::array<FunctionGroup, N>& entries) {
  std::array<std::int8_t, 100> table{};
  table.fill(kUnknown);
  for (const FunctionGroup& e : entries) {
    table[static_cast<std::size_t>(e.number)] = static_cast<std::int8_t>(e.group);
  }
  return table;
}

constexpr std::array<FunctionGroup, 25> kGFunctions = {{
    {0, kGMotion},          {1, kGMotion},          {2, kGMotion},          {3, kGMotion},
    {96, kGCuttingSpeed},   {97, kGCuttingSpeed},   {94, kGFeedUnit},       {95, kGFeedUnit},
    {92, kGSpeedLimit},     {53, kGWorkOffset},     {54, kGWorkOffset},     {55, kGWorkOffset},
    {56, kGAdditiveOffset}, {57, kGAdditiveOffset}, {58, kGAdditiveOffset}, {59, kGAdditiveOffset},
    {25, kGJump},           {27, kGJump},           {71, kGUnits},          {90, kGDimensions},
    {91, kGDimensions},     {40, kGCompensation},   {41, kGCompensation},   {42, kGCompensation},
    {18, kGPlane},
}};

constexpr std::array<FunctionGroup, 11> kMFunctions = {{
    {3, kMSpindle},
    {4, kMSpindle},
    {5, kMSpindle},
    {0, kMFlow},
    {1, kMFlow},
    {17, kMFlow},
    {30, kMFlow},
    {8, kMCoolant},
    {9, kMCoolant},
    {20, kMQuill},
    {21, kMQuill},
}};

constexpr auto kGTable = BuildTable(kGFunctions);
constexpr auto kMTable = BuildTable(kMFunctions);

std::optional<int> Lookup(const std::array<std::int8_t, 100>& table, int number) {
  if (number < 0 || number >= static_cast<int>(table.size())) return std::nullopt;
  const std::int8_t group = table[static_cast<std::size_t>(number)];
  if (group == kUnknown) return std::nullopt;
  return group;
}

}  // namespace

std::optional<int> ClassifyG(int number) {
  return Lookup(kGTable, number);
}

std::optional<int> ClassifyM(int number) {
  return Lookup(kMTable, number);
}

}  // namespace soustruh
