#pragma once
// The machine limits the block parser checks words against. The machine configuration carries
// them (its fields of the same names), so the language needs nothing else of the machine.

#include <cstdint>

namespace soustruh {

struct NcLimits {
  std::int32_t Mist_v_zas = 0;  // turret places; larger tool numbers are refused
  std::int32_t MaxPosuv = 0;    // largest programmable feed, mm/min
  std::int32_t MaxOtacky = 0;   // largest programmable spindle speed, 1/min
};

}  // namespace soustruh
