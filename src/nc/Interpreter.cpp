#include "nc/Interpreter.h"

namespace soustruh {
namespace {

bool IsTrimmed(unsigned char c) {
  return c <= ' ' || c == 0x7F;
}

// Converts a 1-based position to a byte index; position 0 reads as past the end so that the
// reader fails instead of reading before the text.
std::size_t ToIndex(std::string_view text, std::size_t position) {
  return position == 0 ? text.size() : position - 1;
}

}  // namespace

std::string StripComments(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '%' || c == '\'' || c == '*' || c == ';') break;
    if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') break;
    if (c == '(') {
      const std::size_t close = line.find(')', i + 1);
      if (close == std::string_view::npos) break;
      i = close;
      continue;
    }
    out.push_back(c);
  }
  std::size_t first = 0;
  while (first < out.size() && IsTrimmed(static_cast<unsigned char>(out[first]))) ++first;
  std::size_t last = out.size();
  while (last > first && IsTrimmed(static_cast<unsigned char>(out[last - 1]))) --last;
  return out.substr(first, last - first);
}

std::optional<std::int32_t> NcInterpreter::ReadInteger(std::string_view text, int maxDigits,
                                                       std::size_t& position) {
  std::size_t index = ToIndex(text, position);
  const ReadResult r = ScanInteger(text, maxDigits, index);
  position = index + 1;
  if (r.error != kErrNone) {
    error_ = r.error;
    return std::nullopt;
  }
  return r.value;
}

std::optional<std::int32_t> NcInterpreter::ReadDecimal(std::string_view text, int maxIntDigits,
                                                       int maxFracDigits, bool coordinateScaling,
                                                       std::size_t& position) {
  std::size_t index = ToIndex(text, position);
  const ReadResult r = ScanDecimal(text, maxIntDigits, maxFracDigits, coordinateScaling, index);
  position = index + 1;
  if (r.error != kErrNone) {
    error_ = r.error;
    return std::nullopt;
  }
  return r.value;
}

std::optional<ToolWord> NcInterpreter::ReadToolWord(std::string_view text, std::size_t& position) {
  std::size_t index = ToIndex(text, position);
  const ToolWord word = ScanToolWord(text, limits_->Mist_v_zas, index);
  position = index + 1;
  if (word.error != kErrNone) {
    error_ = word.error;
    return std::nullopt;
  }
  return word;
}

bool NcInterpreter::LineHasBlockNumber(std::string_view line, std::int32_t n) {
  if (error_ != kErrNone) return false;
  // Only the first word of a line can be its block number; an N anywhere else is not one.
  std::size_t i = line.find_first_not_of(' ');
  bool match = false;
  if (i != std::string_view::npos && (line[i] == 'N' || line[i] == 'n')) {
    ++i;
    // As in ParseBlock, digits followed by a wrong character still number the line.
    const ReadResult r = ScanInteger(line, 4, i);
    match = r.valid && r.value == n;
  }
  error_ = kErrNone;
  return match;
}

}  // namespace soustruh
