#pragma once
// The soft keys Fn1 to Fn5: their captions by mode and EDIT page. What each key does lives with
// the simulator (Simulator::SoftKeyClick); which keys are checked is MachineState::SoftKeys,
// saved per mode in SavedSoftKeys.
//
// Captions are UTF-8; "\r\n" breaks a caption into lines; "" is an empty key.

#include <array>
#include <cstdint>
#include <string_view>

#include "control/EditPages.h"

namespace soustruh {

enum class ControlMode : std::uint8_t;

// The eight caption sets. EDIT has one per page, and on the program page one for browsing (the
// editor read-only) and one for editing.
enum class SoftKeySet {
  Manual,
  Execute,
  Edit,             // EDIT, program page, editor read-only
  EditProgram,      // EDIT, program page, editor editable
  EditCorrections,  // EDIT, tool correction page
  EditOffsets,      // EDIT, work offset page
  Rs232,
  Automat,
};

using SoftKeyCaptions = std::array<std::string_view, 5>;

const SoftKeyCaptions& Captions(SoftKeySet set);

// The set the keys show in `mode` with the EDIT pages as they are.
SoftKeySet CurrentSoftKeySet(ControlMode mode, const EditPagesState& pages);

}  // namespace soustruh
