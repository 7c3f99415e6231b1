#pragma once
// Clamping a new stock from the "Polotovar" dialog: the checks the main window makes after the
// dialog closes with OK, and the replacement of the stock.
//
// Units: the entries are millimetres with "." as separator; inside, length units (0.0001 mm).

#include <string_view>

namespace soustruh {

class Simulator;

// Shown when an entry holds no number (empty, not a number, or negative: the entries take no
// minus sign). Nothing is changed then.
inline constexpr std::string_view kStockDiameterEntryMessage =
    "Průměr polotovaru musí být číslo v milimetrech, například 19.000.";
inline constexpr std::string_view kStockProtrusionEntryMessage =
    "Vysunutí polotovaru musí být číslo v milimetrech, například 45.000.";

enum class StockClampResult {
  Busy,               // a sequence runs or an axis moves: no dialog, nothing done
  InvalidEntry,       // an entry is not a number
  TooLarge,           // beyond Max_D_mat or Max_L_mat (limits inclusive)
  QuillNotRetracted,  // the quill is not retracted (state 20)
  ToolCollision,      // the new stock would overlap the tool
  Clamped,
};

// Whether the dialog may be opened: no sequence runs (ProgramRunning false) and no axis moves
// (MotionDone true).
bool StockDialogAvailable(const Simulator& simulator);

// B_PolotovarClick after the dialog closed with OK, with the texts of its two entries. Keeps the
// texts for the next opening, then checks in order: busy (nothing at all), the entries, the size
// limits, the quill, the tool (its insert, or its holder when it has no insert, at the current
// position) against the new stock; each refusal shows its message through the host and changes
// nothing else. On success the stock is replaced whole, Active.StockRadius := D div 2, the chuck is
// rebuilt and the scene redrawn; no axis, alarm or previous cut position is touched.
StockClampResult B_PolotovarClick(Simulator& simulator, std::string_view diameterText,
                                  std::string_view protrusionText);

}  // namespace soustruh
