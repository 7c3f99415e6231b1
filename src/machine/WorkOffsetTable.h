#pragma once
// The work offset table: the zero shifts G54 and G55 (group 1, cancelled by G53) and G57, G58
// and G59 (group 2, cancelled by G56), which add up.
//
// The offsets are kept as the texts of the entry fields, as typed, and are read whenever an
// offset is taken into use, so an edit counts from the next time the offsets are applied. A text
// is read with the interpreter's decimal reader: with a decimal point in millimetres, without one
// in thousandths of a millimetre ("12" is 0.012 mm), at most 3 integer and 3 fraction digits.
// X is a radius-direction value (doubled wherever it meets diameter positions).
//
// nulbody.txt has one line per code in the order 54, 55, 57, 58, 59: the code right-aligned in
// 3, a blank, the X and Z texts each right-aligned in 9 and followed by a blank, then the
// description right-aligned in 9 (a longer one written whole) and a blank. Widths count
// characters, not bytes.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "machine/CorrectionTable.h"

namespace soustruh {

class Host;
class NcInterpreter;

inline constexpr std::array<int, 5> kWorkOffsetCodes = {54, 55, 57, 58, 59};

// Descriptions are cut to this many characters when loaded.
inline constexpr std::size_t kWorkOffsetPopisLength = 15;

struct WorkOffset {
  int Code = 0;           // 54, 55, 57, 58 or 59
  std::string X = "0.0";  // text as typed, mm (see above)
  std::string Z = "0.0";  // text as typed, mm
  std::string Popis;      // description, UTF-8
};

enum class OffsetAxis { X, Z };

// One line of nulbody.txt for an offset (see the layout above).
std::string OffsetLine(const WorkOffset& offset);

// The machine position a teach puts into an offset field, in length units.
struct TeachPosition {
  std::int32_t machineX = 0;     // machine X of the tool carrier, a diameter
  std::int32_t machineZ = 0;     // machine Z
  std::int32_t correctionX = 0;  // active tool correction X, a radius
  std::int32_t correctionZ = 0;
  std::int32_t offsetX = 0;  // active work offset X, a radius
  std::int32_t offsetZ = 0;
};

// The new text of a taught field: for a field whose name contains "x", the tool tip's X in the
// active workpiece system, machineX + 2 × (correctionX − offsetX); for one containing "z",
// machineZ + correctionZ − offsetZ; written "%3.3f" in millimetres. nullopt for a description
// field (the caller refuses with a beep and leaves the text).
std::optional<std::string> TeachCoordinateText(std::string_view fieldName,
                                               const TeachPosition& position);

class WorkOffsetTable {
 public:
  static constexpr std::string_view kFileName = "nulbody.txt";

  // Five offsets with codes 54, 55, 57, 58, 59, X and Z "0.0", no description.
  WorkOffsetTable();

  const std::array<WorkOffset, 5>& offsets() const { return offsets_; }
  // The offset of a code, or nullptr for a code outside the table (53, 56, ...).
  const WorkOffset* Find(int code) const;
  WorkOffset* Find(int code);

  // Puts the three texts into the offset of `code`; false (nothing changed) for an unknown code.
  bool SetOffsetFields(int code, std::string x, std::string z, std::string popis);

  // The value of one text of `code` in length units, read with the interpreter's decimal reader
  // (leading blanks skipped). A text the reader refuses counts as 0 and leaves the reader's
  // error code set in the interpreter, so the block that applies it fails. A code outside the
  // table gives 0 and touches nothing.
  std::int32_t OffsetValue(int code, OffsetAxis axis, NcInterpreter& interpreter) const;

  // The lines Save writes.
  std::vector<std::string> Lines() const;

  // Sets every X and Z to "0.000" and every description to empty.
  void Zero();

  // Writes directory/nulbody.txt, replacing it atomically. On failure the file is untouched, the
  // host shows a message and the result is false.
  bool Save(const std::filesystem::path& directory, Host& host) const;

  // Applies the lines of directory/nulbody.txt in order to the codes 54, 55, 57, 58, 59: word 1
  // must be the code, words 2 and 3 decimal numbers that the interpreter's reader takes (as the
  // offsets are read when applied); the rest, trimmed and cut to 15 characters, is the
  // description. The first bad line makes the file malformed and stops the walk. Fewer than five
  // lines are fine (the other codes keep their texts); lines after the fifth are ignored. A file
  // that is missing, malformed or unreadable is reported through the host and every offset is
  // zeroed; the file itself is repaired as LoadTableFile says (TableFile.h).
  TableLoadResult LoadAtStartup(const std::filesystem::path& directory, Host& host,
                                TableRepair repair = TableRepair::OnDisk);

  // The check of LoadAtStartup on lines already read: applies them; false at the first bad line
  // (the lines before it stay applied).
  bool ApplyLines(const std::vector<std::string>& lines);

 private:
  std::array<WorkOffset, 5> offsets_;
};

}  // namespace soustruh
