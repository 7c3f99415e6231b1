#pragma once
// The chuck drawing (the SKLICIDLO part), generated from the chuck parameters of the machine, the
// radius of the clamped stock and the spindle state. A stopped chuck shows its body, the upper and
// lower jaw and a shaded band under each jaw step; a turning chuck shows its body, the envelope
// the jaws sweep (both sides of the axis) and an arrow for the direction of rotation.
//
// Units: length units (0.0001 mm); horizontal = machine Z, vertical = radius (positive on the tool
// side). Every polygon is flagged 0 and outlined in Sklic_Cara.

#include <cstdint>

#include "control/Alarms.h"
#include "machine/MachineConfig.h"
#include "machine/MachineDrawing.h"

namespace soustruh {

// Shown when the jaw's first step would lie inside the chuck body; no chuck is drawn then.
inline constexpr const char* kChuckDimensionsMessage =
    "Rozměry sklíčidla jsou zadány špatně, sklíčidlo nebude zobrazeno.";

enum class ChuckForm { Stationary, Rotating };

// Stationary when the spindle is stopped (M05), an alarm is pending, an interpreter error is
// pending, or a dry run is on; otherwise (M03, M04) rotating.
ChuckForm ChuckFormFor(int spindle, const AlarmSet& alarms, bool interpreterError, bool dryRun);

// Writes the chuck into `chuck` (its storage reused). With Zc = Sklicidlo_Z, Lc = Sklicidlo_L,
// Rc = Sklicidlo_D div 2, F = Zc + Cel_L_sklic (the jaws' front) and x0 = F − Celist_L3 (their
// back), the jaw is drawn down to the stock radius; when the jaw does not stand out above the body
// (stockRadius + Celist_H3 ≤ Rc) it has 8 points and starts at the body's face.
//   Stationary: body; upper jaw (10 points running back along the body, or 8); lower jaw — the
//     mirror image with 4 jaws, with 3 jaws −0.5 × each radius shifted by Celist_tl/2 × cos 30°;
//     three shaded bands (Sklic_Stin) under the steps, ±(Celist_tl div 2) about the axis with 4
//     jaws, hanging round(Celist_tl × cos 30°) below the lower jaw's steps with 3.
//   Rotating: body (cut back to the jaw's back end when that lies inside it); the 12-point jaw
//     envelope on both sides of the axis; a 7-point arrow on the body, pointing down for M03 and
//     up for M04 (`spindle` 4).
// Returns false, leaving `chuck` empty, when x0 + Celist_L1 ≤ Zc + Lc (the dimensions are wrong:
// the caller shows kChuckDimensionsMessage). Coordinates are computed in 64 bits and held to the
// 32-bit range; rounding is to nearest, ties to even.
bool BuildChuck(const MachineConfig& config, std::int32_t stockRadius, ChuckForm form, int spindle,
                TUtvar& chuck);

}  // namespace soustruh
