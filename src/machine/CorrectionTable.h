#pragma once
// The tool correction table: 99 numbered rows, each the tool's length in X and Z, its nose radius
// R, the tip position L around the nose and a short description.
//
// The table is a list of row texts, exactly as the correction list shows them and as
// korekce.txt stores them, one row per line. Everything that needs a value parses the row text,
// so a row loaded from a hand-written file is read with its own number texts.
//
// Row layout written by the program (a fresh row 1 is 38 characters):
//   number right-aligned in 3, blank,
//   X, Z and R each "%8.3f" right-aligned in 9 followed by a blank,
//   L right-aligned in 2, two blanks,
//   the description as typed.
//
// Numbers in rows and entry texts are read with the interpreter's own readers: a value with a
// decimal point is in millimetres, one without in thousandths of a millimetre ("12" is 0.012 mm);
// at most 3 integer and 3 fraction digits. L is an integer of at most 2 digits.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "machine/TableFile.h"

namespace soustruh {

class Host;
class NcInterpreter;

// One correction in length units (0.0001 mm). X is a radius-direction value.
struct ToolCorrection {
  int Number = 0;  // 1 to 99 for the rows of a program-written table
  std::int32_t X = 0;
  std::int32_t Z = 0;
  std::int32_t R = 0;  // nose radius
  int L = 0;           // tip position; 1 to 8 give a nose offset, anything else none
  std::string Popis;   // description, UTF-8

  bool operator==(const ToolCorrection&) const = default;
};

// The nose offsets that follow from the tip position L and the nose radius R (length units,
// X a radius). L outside 1 to 8 gives none.
struct NoseOffset {
  std::int32_t X = 0;
  std::int32_t Z = 0;

  bool operator==(const NoseOffset&) const = default;
};
NoseOffset NoseOffsets(int l, std::int32_t r);

// The five entry texts of the correction page.
struct CorrectionFields {
  std::string X;
  std::string Z;
  std::string R;
  std::string L;
  std::string Popis;
};

// Cuts the next word off `rest`: trims it, appends one blank, returns the text before the first
// blank (trimmed) and deletes everything up to and including that blank from `rest`. An empty
// or all-blank `rest` gives an empty word and leaves `rest` empty.
std::string NextWord(std::string& rest);

// Formats a row from a correction (see the layout above). A number or value wider than its
// column is written whole.
std::string BuildRow(const ToolCorrection& correction);

// What a click on a row puts into the entry texts: the number word is dropped, the next four
// words go to X, Z, R and L, and the trimmed rest (blanks inside kept) is the description.
CorrectionFields FieldsFromRow(std::string_view row);

// The row the entry texts stand for, as row `number`. X, Z and R are read after skipping leading
// blanks; L with the integer reader. An unreadable text counts as 0. The interpreter's error code
// is left as it was before the call.
std::string RowFromFields(int number, const CorrectionFields& fields, NcInterpreter& interpreter);

// Reads a row the way the interpreter takes a correction into use: the number word is dropped,
// then X, Z, R and L are read. An unreadable value counts as 0 and leaves the reader's error code
// set in the interpreter, so the block that selected the correction fails like one with an
// unreadable number; the caller clears it to ignore the fault. Number is the row's first word
// when that is an integer, else 0.
ToolCorrection ReadCorrectionRow(std::string_view row, NcInterpreter& interpreter);

// The tip-position picture for the L entry text: picture k shows tip position k - 1. A text that
// is not a whole number, or a negative one, gives 0 (blank); a value above 8 gives 1, as for L 0.
int TipPicture(std::string_view lText);

class CorrectionTable {
 public:
  static constexpr int kRowCount = 99;
  static constexpr std::string_view kFileName = "korekce.txt";

  // The rows as shown; row n (1-based) is the correction with number n.
  std::vector<std::string> rows;

  // Appends the formatted row.
  void AppendRow(const ToolCorrection& correction);
  // Replaces row correction.Number with the formatted row; false (and nothing changed) when
  // there is no such row.
  bool ReplaceRow(const ToolCorrection& correction);
  // Rewrites the selected row (0-based; negative for none) from the entry texts; nothing happens
  // (false) without a selection, when the index is beyond the list, or when a text holds a
  // character Windows-1250 cannot hold (the field refuses it, see AcceptEntry). The interpreter's
  // error code is left as it was.
  bool RewriteRow(int selectedIndex, const CorrectionFields& fields, NcInterpreter& interpreter);

  // Correction `d` in use: all zero for d = 0 and for a row that does not exist (never fails);
  // otherwise read as ReadCorrectionRow does, with Number = d.
  ToolCorrection Correction(int d, NcInterpreter& interpreter) const;

  // Replaces the list by 99 rows of zeros with L 0 and empty descriptions.
  void Zero();

  // Writes every row to directory/korekce.txt, replacing the file atomically. On failure the
  // file is untouched, the host shows a message and the result is false.
  bool Save(const std::filesystem::path& directory, Host& host) const;

  // Loads directory/korekce.txt into the list and checks rows 1 to 99: the number equal to the
  // row, three decimal numbers that the interpreter's reader takes (at most 3 integer and 3
  // fraction digits, as a run reads them), a one-character integer L; further lines are kept
  // unchecked. A file that is missing, malformed or unreadable is reported through the host and
  // the list becomes the zero table; the file itself is repaired as LoadTableFile says
  // (TableFile.h), and the message says what became of it.
  TableLoadResult LoadAtStartup(const std::filesystem::path& directory, Host& host,
                                TableRepair repair = TableRepair::OnDisk);
  // The check of LoadAtStartup on lines already read: they become the rows, good or not; true
  // when they are a well-formed table.
  bool TakeLines(std::vector<std::string> lines);
};

// Whether a row value text is read by the interpreter's decimal reader as a correction is taken
// into use (the whole text, at most 3 integer and 3 fraction digits).
bool IsTableNumber(std::string_view text);

}  // namespace soustruh
