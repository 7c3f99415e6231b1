#pragma once
// The machine parameters of GeoStroj.dat's [PARAM_STROJE] section. Field names are the file's keys.
// Lengths are in length units (0.0001 mm; X quantities as radii unless said), speeds in mm/min or
// 1/min, colours 24-bit values in blue-green-red order (0x0000FF is red). Every field is 0 until
// read; a key that is missing or unreadable leaves 0.

#include <cstdint>

#include "nc/NcLimits.h"

namespace soustruh {

// The three limits of the language (Mist_v_zas, MaxPosuv, MaxOtacky) come from NcLimits.
struct MachineConfig : NcLimits {
  std::int32_t MinX = 0;  // lower X travel limit
  std::int32_t MaxX = 0;  // upper X travel limit
  std::int32_t RefX = 0;  // X of the reference point
  std::int32_t MinZ = 0;
  std::int32_t MaxZ = 0;
  std::int32_t RefZ = 0;
  std::int32_t MinW = 0;  // tailstock quill travel
  std::int32_t MaxW = 0;
  std::int32_t Rychloposuv = 0;  // rapid traverse, mm/min
  std::int32_t ManPosuv = 0;     // manual jog feed, mm/min
  std::int32_t RefPosuv = 0;     // reference run feed, mm/min
  std::int32_t RychPinoly = 0;   // quill speed, mm/min
  std::int32_t MinOtacky = 0;    // smallest spindle speed, 1/min
  std::int32_t Sklicidlo_D = 0;  // chuck body diameter
  std::int32_t Sklicidlo_L = 0;  // chuck body length along Z
  std::int32_t Sklicidlo_Z = 0;  // Z of the chuck body's face toward the spindle
  std::int32_t Celist_L1 = 0;
  std::int32_t Celist_H1 = 0;
  std::int32_t Celist_L2 = 0;
  std::int32_t Celist_H2 = 0;
  std::int32_t Celist_L3 = 0;
  std::int32_t Celist_H3 = 0;
  std::int32_t Celist_tl = 0;
  std::int32_t Cel_L_sklic = 0;  // from Sklicidlo_Z to the jaws' front faces
  std::int32_t Poc_celisti = 0;  // jaws: 3 or 4
  std::int32_t Sklic_Cara = 0;
  std::int32_t Sklic_Vypln = 0;
  std::int32_t Sklic_Stin = 0;
  std::int32_t Max_L_mat = 0;
  std::int32_t Max_D_mat = 0;
  std::int32_t Mat_Cara = 0;
  std::int32_t Mat_Vypln = 0;
};

}  // namespace soustruh
