#include "machine/CorrectionTable.h"

#include <array>
#include <optional>
#include <utility>

#include "machine/ConfigFile.h"
#include "nc/Interpreter.h"
#include "nc/ValueReaders.h"
#include "platform/FileAccess.h"
#include "platform/Host.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

namespace soustruh {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxIntDigits = 3;
constexpr int kMaxFracDigits = 3;
constexpr int kMaxLDigits = 2;

// Directions of the nose offset (X, Z) for tip positions 0 to 8: the tip sits on the nose circle
// in one of the four quadrants or on one of the four axes.
constexpr std::array<std::pair<std::int32_t, std::int32_t>, 9> kNoseSigns = {
    {{0, 0}, {1, 1}, {1, -1}, {-1, -1}, {-1, 1}, {0, 1}, {1, 0}, {0, -1}, {-1, 0}}};

std::string PadLeft(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

// "%8.3f" right-aligned in 9: the same as "%9.3f".
std::string FormatLength(std::int32_t units) {
  return FormatFixed(static_cast<double>(units) / 10000.0, 3, 9);
}

// The text with its leading blanks skipped, as the entry fields are read.
std::string_view SkipLeadingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// A table value read with the interpreter's readers; nullopt when the reader refused it (its
// error code is then set in the interpreter).
std::optional<std::int32_t> ReadLength(NcInterpreter& interpreter, std::string_view text) {
  const std::string_view body = SkipLeadingBlanks(text);
  std::size_t position = 1;
  return interpreter.ReadDecimal(body, kMaxIntDigits, kMaxFracDigits, true, position);
}

std::optional<std::int32_t> ReadTipPosition(NcInterpreter& interpreter, std::string_view text) {
  const std::string_view body = SkipLeadingBlanks(text);
  std::size_t position = 1;
  return interpreter.ReadInteger(body, kMaxLDigits, position);
}

ToolCorrection ReadValues(const CorrectionFields& fields, NcInterpreter& interpreter) {
  ToolCorrection correction;
  correction.X = ReadLength(interpreter, fields.X).value_or(0);
  correction.Z = ReadLength(interpreter, fields.Z).value_or(0);
  correction.R = ReadLength(interpreter, fields.R).value_or(0);
  correction.L = ReadTipPosition(interpreter, fields.L).value_or(0);
  correction.Popis = fields.Popis;
  return correction;
}

// Row i of a table file: "i X Z R L [description]" with X, Z, R decimal numbers and L a
// single-character integer, each both in the general
// floating-point form with "." that the interpreter's readers also take, as a run reads them.
bool IsWellFormedRow(std::string_view line, int number) {
  std::string rest(TrimBlanks(line));
  const auto first = ParseInt32(NextWord(rest));
  if (!first || *first != number) return false;
  for (int i = 0; i < 3; ++i)
    if (!IsTableNumber(NextWord(rest))) return false;
  const std::string l = NextWord(rest);
  std::size_t index = 0;
  return l.size() == 1 && ParseInt32(l).has_value() &&
         ScanInteger(l, kMaxLDigits, index).error == kErrNone;
}

bool IsWellFormedTable(const std::vector<std::string>& lines) {
  if (lines.size() < static_cast<std::size_t>(CorrectionTable::kRowCount)) return false;
  for (int i = 1; i <= CorrectionTable::kRowCount; ++i)
    if (!IsWellFormedRow(lines[static_cast<std::size_t>(i - 1)], i)) return false;
  return true;
}

}  // namespace

bool IsTableNumber(std::string_view text) {
  std::size_t index = 0;
  return ParseFloat(text).has_value() &&
         ScanDecimal(text, kMaxIntDigits, kMaxFracDigits, true, index).error == kErrNone &&
         index == text.size();
}

std::string NextWord(std::string& rest) {
  rest = std::string(TrimBlanks(rest)) + ' ';
  const std::size_t blank = rest.find(' ');
  std::string word(TrimBlanks(std::string_view(rest).substr(0, blank)));
  rest.erase(0, blank + 1);
  return word;
}

NoseOffset NoseOffsets(int l, std::int32_t r) {
  if (l < 1 || l > 8) return {};
  const auto [x, z] = kNoseSigns[static_cast<std::size_t>(l)];
  return {x * r, z * r};
}

std::string BuildRow(const ToolCorrection& c) {
  std::string row = PadLeft(FormatInt(c.Number), 3);
  row += ' ';
  for (const std::int32_t value : {c.X, c.Z, c.R}) {
    row += FormatLength(value);
    row += ' ';
  }
  row += PadLeft(FormatInt(c.L), 2);
  row += "  ";
  row += c.Popis;
  return row;
}

CorrectionFields FieldsFromRow(std::string_view row) {
  std::string rest(TrimBlanks(row));
  NextWord(rest);  // the row number
  CorrectionFields fields;
  fields.X = NextWord(rest);
  fields.Z = NextWord(rest);
  fields.R = NextWord(rest);
  fields.L = NextWord(rest);
  fields.Popis = std::string(TrimBlanks(rest));
  return fields;
}

std::string RowFromFields(int number, const CorrectionFields& fields, NcInterpreter& interpreter) {
  const NcError before = interpreter.error();
  ToolCorrection correction = ReadValues(fields, interpreter);
  // An unreadable entry is not a program error: the row just shows 0.
  interpreter.setError(before);
  correction.Number = number;
  return BuildRow(correction);
}

ToolCorrection ReadCorrectionRow(std::string_view row, NcInterpreter& interpreter) {
  std::string rest(TrimBlanks(row));
  const auto number = ParseInt32(NextWord(rest));
  ToolCorrection correction = ReadValues(FieldsFromRow(row), interpreter);
  correction.Number = number.value_or(0);
  return correction;
}

int TipPicture(std::string_view lText) {
  const auto value = ParseInt32(TrimBlanks(lText));
  if (!value || *value < 0) return 0;
  if (*value > 8) return 1;
  return *value + 1;
}

void CorrectionTable::AppendRow(const ToolCorrection& correction) {
  rows.push_back(BuildRow(correction));
}

bool CorrectionTable::ReplaceRow(const ToolCorrection& correction) {
  if (correction.Number < 1 || static_cast<std::size_t>(correction.Number) > rows.size())
    return false;
  rows[static_cast<std::size_t>(correction.Number - 1)] = BuildRow(correction);
  return true;
}

bool CorrectionTable::RewriteRow(int selectedIndex, const CorrectionFields& fields,
                                 NcInterpreter& interpreter) {
  if (selectedIndex < 0 || static_cast<std::size_t>(selectedIndex) >= rows.size()) return false;
  for (const std::string* text : {&fields.X, &fields.Z, &fields.R, &fields.L, &fields.Popis})
    if (!FitsWindows1250(*text)) return false;
  rows[static_cast<std::size_t>(selectedIndex)] =
      RowFromFields(selectedIndex + 1, fields, interpreter);
  return true;
}

ToolCorrection CorrectionTable::Correction(int d, NcInterpreter& interpreter) const {
  ToolCorrection correction;
  correction.Number = d;
  if (d < 1 || static_cast<std::size_t>(d) > rows.size()) return correction;
  correction = ReadCorrectionRow(rows[static_cast<std::size_t>(d - 1)], interpreter);
  correction.Number = d;
  return correction;
}

void CorrectionTable::Zero() {
  rows.clear();
  rows.reserve(kRowCount);
  for (int number = 1; number <= kRowCount; ++number) {
    ToolCorrection zero;
    zero.Number = number;
    AppendRow(zero);
  }
}

bool CorrectionTable::Save(const fs::path& directory, Host& host) const {
  const int error = WriteTextLines(directory / kFileName, rows);
  if (error == 0) return true;
  host.ShowMessage(WriteFailedMessage(kFileName, SystemErrorText(error)));
  return false;
}

bool CorrectionTable::TakeLines(std::vector<std::string> lines) {
  // The lines are kept as they are, good or not; a rebuild replaces them.
  rows = std::move(lines);
  return IsWellFormedTable(rows);
}

TableLoadResult CorrectionTable::LoadAtStartup(const fs::path& directory, Host& host,
                                               TableRepair repair) {
  const TableLoad load = LoadTableFile(
      directory, kFileName, repair,
      [this](std::vector<std::string>& lines) { return TakeLines(std::move(lines)); },
      [this] {
        Zero();
        return rows;
      });
  if (load.result != TableLoadResult::Ok)
    host.ShowMessage(TableMessage("Soubor korekcí nástrojů", kFileName, load));
  return load.result;
}

}  // namespace soustruh
