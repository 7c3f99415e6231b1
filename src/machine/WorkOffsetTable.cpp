#include "machine/WorkOffsetTable.h"

#include <utility>

#include "machine/ConfigFile.h"
#include "nc/Interpreter.h"
#include "platform/FileAccess.h"
#include "platform/Host.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

namespace soustruh {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kColumnWidth = 9;

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Text inside is UTF-8 but the file is one byte per character, so widths count characters.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text)
    if (!IsContinuationByte(c)) ++count;
  return count;
}

std::string_view FirstCharacters(std::string_view text, std::size_t count) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsContinuationByte(text[i])) continue;
    if (seen == count) return text.substr(0, i);
    ++seen;
  }
  return text;
}

std::string PadLeft(std::string_view text, std::size_t width) {
  const std::size_t length = CharacterCount(text);
  std::string padded(length < width ? width - length : 0, ' ');
  padded += text;
  return padded;
}

}  // namespace

std::string OffsetLine(const WorkOffset& offset) {
  std::string line = PadLeft(FormatInt(offset.Code), 3);
  for (const std::string* text : {&offset.X, &offset.Z, &offset.Popis}) {
    line += ' ';
    line += PadLeft(*text, kColumnWidth);
  }
  line += ' ';
  return line;
}

std::optional<std::string> TeachCoordinateText(std::string_view fieldName, const TeachPosition& p) {
  std::int64_t units = 0;
  if (fieldName.find('x') != std::string_view::npos)
    units = std::int64_t{p.machineX} + 2 * (std::int64_t{p.correctionX} - p.offsetX);
  else if (fieldName.find('z') != std::string_view::npos)
    units = std::int64_t{p.machineZ} + p.correctionZ - p.offsetZ;
  else
    return std::nullopt;
  return FormatFixed(static_cast<double>(units) / 10000.0, 3, 3);
}

WorkOffsetTable::WorkOffsetTable() {
  for (std::size_t i = 0; i < offsets_.size(); ++i) offsets_[i].Code = kWorkOffsetCodes[i];
}

const WorkOffset* WorkOffsetTable::Find(int code) const {
  for (const WorkOffset& offset : offsets_)
    if (offset.Code == code) return &offset;
  return nullptr;
}

WorkOffset* WorkOffsetTable::Find(int code) {
  return const_cast<WorkOffset*>(std::as_const(*this).Find(code));
}

bool WorkOffsetTable::SetOffsetFields(int code, std::string x, std::string z, std::string popis) {
  WorkOffset* offset = Find(code);
  if (offset == nullptr) return false;
  offset->X = std::move(x);
  offset->Z = std::move(z);
  offset->Popis = std::move(popis);
  return true;
}

std::int32_t WorkOffsetTable::OffsetValue(int code, OffsetAxis axis,
                                          NcInterpreter& interpreter) const {
  const WorkOffset* offset = Find(code);
  if (offset == nullptr) return 0;
  const std::string_view text = axis == OffsetAxis::X ? offset->X : offset->Z;
  const std::size_t first = text.find_first_not_of(' ');
  std::size_t position = first == std::string_view::npos ? 1 : first + 1;
  return interpreter.ReadDecimal(text, 3, 3, true, position).value_or(0);
}

std::vector<std::string> WorkOffsetTable::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(offsets_.size());
  for (const WorkOffset& offset : offsets_) lines.push_back(OffsetLine(offset));
  return lines;
}

void WorkOffsetTable::Zero() {
  for (WorkOffset& offset : offsets_) {
    offset.X = "0.000";
    offset.Z = "0.000";
    offset.Popis.clear();
  }
}

bool WorkOffsetTable::Save(const fs::path& directory, Host& host) const {
  const int error = WriteTextLines(directory / kFileName, Lines());
  if (error == 0) return true;
  host.ShowMessage(WriteFailedMessage(kFileName, SystemErrorText(error)));
  return false;
}

bool WorkOffsetTable::ApplyLines(const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size() && i < offsets_.size(); ++i) {
    std::string rest(TrimBlanks(lines[i]));
    const auto code = ParseInt32(NextWord(rest));
    std::string x = NextWord(rest);
    std::string z = NextWord(rest);
    if (!code || *code != offsets_[i].Code || !IsTableNumber(x) || !IsTableNumber(z)) return false;
    const std::string_view popis = FirstCharacters(TrimBlanks(rest), kWorkOffsetPopisLength);
    SetOffsetFields(offsets_[i].Code, std::move(x), std::move(z), std::string(popis));
  }
  return true;
}

TableLoadResult WorkOffsetTable::LoadAtStartup(const fs::path& directory, Host& host,
                                               TableRepair repair) {
  const TableLoad load = LoadTableFile(
      directory, kFileName, repair,
      [this](std::vector<std::string>& lines) { return ApplyLines(lines); },
      [this] {
        Zero();
        return Lines();
      });
  if (load.result != TableLoadResult::Ok)
    host.ShowMessage(TableMessage("Soubor posunutí nulových bodů obrobku", kFileName, load));
  return load.result;
}

}  // namespace soustruh
