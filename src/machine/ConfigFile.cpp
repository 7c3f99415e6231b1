#include "machine/ConfigFile.h"

#include <algorithm>

namespace soustruh {

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}

bool IsListSeparator(char c) {
  return c == ',' || c == ' ' || c == '\t';
}

int ColourDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  std::size_t end = text.size();
  while (end > first && IsBlank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

LineRange FindSection(const std::vector<std::string>& lines, std::string_view header) {
  std::size_t at = 0;
  while (at < lines.size() && TrimBlanks(lines[at]) != header) ++at;
  if (at == lines.size()) return {};
  LineRange range{at + 1, at + 1};
  while (range.end < lines.size() && lines[range.end].find('[') == std::string::npos) ++range.end;
  return range;
}

std::optional<std::string> FindKeyValue(const std::vector<std::string>& lines, LineRange section,
                                        std::string_view key) {
  std::optional<std::string_view> value;
  const std::size_t end = std::min(section.end, lines.size());
  for (std::size_t i = section.first; i < end; ++i) {
    const std::string_view line = TrimBlanks(lines[i]);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (TrimBlanks(line.substr(0, equals)) == key) value = TrimBlanks(line.substr(equals + 1));
  }
  if (!value) return std::nullopt;
  return std::string(*value);
}

std::string ReadKeyValue(const std::vector<std::string>& lines, LineRange section,
                         std::string_view key) {
  return FindKeyValue(lines, section, key).value_or(std::string());
}

std::string_view NextListToken(std::string_view& rest) {
  std::size_t first = 0;
  while (first < rest.size() && IsListSeparator(rest[first])) ++first;
  std::size_t end = first;
  while (end < rest.size() && !IsListSeparator(rest[end])) ++end;
  const std::string_view token = rest.substr(first, end - first);
  rest = TrimBlanks(rest.substr(std::min(end + 1, rest.size())));
  return token;
}

std::string NextListToken(std::string& line) {
  std::string_view rest = line;
  std::string token(NextListToken(rest));
  line = std::string(rest);
  return token;
}

std::string TextForMessage(std::string_view text) {
  constexpr std::size_t kMaxCharacters = 200;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (characters++ == kMaxCharacters) return std::string(text.substr(0, i)) + "…";
  }
  return std::string(text);
}

std::int32_t ParseColour(std::string_view text) {
  std::int32_t value = 0;
  int characters = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;  // inside a UTF-8 sequence
    if (characters == 6) break;
    value = value * 16 + ColourDigit(c);
    ++characters;
  }
  return value;
}

}  // namespace soustruh
