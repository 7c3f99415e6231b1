#pragma once
// Everything the simulator reads from its four data files: the machine parameters and drawing
// (GeoStroj.dat), the tool drawing in the tool slot (GeoNastr.dat), the correction table
// (korekce.txt) and the work offsets (nulbody.txt). Owned by one simulator; nothing is global.

#include <cstdint>
#include <filesystem>
#include <limits>

#include "machine/CorrectionTable.h"
#include "machine/MachineConfig.h"
#include "machine/MachineDrawing.h"
#include "machine/WorkOffsetTable.h"

namespace soustruh {

struct MachineData {
  // Where the data files are looked up; no other directory is searched.
  std::filesystem::path directory;
  MachineConfig config;
  TStroj drawing;
  // Widened by every drawing read; kept across reloads.
  DrawingBounds bounds;
  // x of the quill tip at W = 0 (length units); the largest value when there is no quill.
  std::int32_t quillTipX = std::numeric_limits<std::int32_t>::max();
  CorrectionTable corrections;
  WorkOffsetTable offsets;
};

}  // namespace soustruh
