#include "platform/TextFile.h"

#include "platform/Host.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace soustruh {
namespace {

// Unicode code points of the bytes 0x80 to 0xFF. The five bytes Windows-1250 leaves undefined
// (0x81, 0x83, 0x88, 0x90, 0x98) map to the C1 control characters of the same number, so that
// any byte survives a read and a write.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

constexpr std::string_view kBom = "\xEF\xBB\xBF";

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `i`; returns its length, or 0 when it is not well formed
// (overlong forms, surrogates and values beyond U+10FFFF are refused).
std::size_t DecodeUtf8At(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1Fu, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0Fu, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07u, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// The byte of a character in Windows-1250, or nothing when it has none.
std::optional<char> Windows1250Byte(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  for (std::size_t k = 0; k < kHighHalf.size(); ++k)
    if (kHighHalf[k] == cp) return static_cast<char>(0x80u + k);
  return std::nullopt;
}

bool HasNonAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  char32_t cp = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = DecodeUtf8At(bytes, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string FromWindows1250(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out.push_back(c);
    else
      AppendUtf8(out, kHighHalf[b - 0x80]);
  }
  return out;
}

std::optional<std::string> ToWindows1250(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  char32_t cp = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t n = DecodeUtf8At(utf8, i, cp);
    const auto byte = n == 0 ? std::nullopt : Windows1250Byte(cp);
    if (!byte) return std::nullopt;
    out.push_back(*byte);
    i += n;
  }
  return out;
}

TextFileContent SplitLines(std::string_view text) {
  TextFileContent content;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      content.lines.emplace_back(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2u : 1u;
      start = i;
    } else {
      ++i;
    }
  }
  content.finalLineEnd = true;
  if (start < text.size()) {
    content.lines.emplace_back(text.substr(start));
    content.finalLineEnd = false;
  }
  return content;
}

bool FitsWindows1250(std::string_view utf8) {
  return ToWindows1250(utf8).has_value();
}

bool AcceptEntry(Host& host, std::string_view utf8) {
  if (FitsWindows1250(utf8)) return true;
  host.DefaultAlert();
  return false;
}

TextFileContent DecodeText(std::string_view bytes) {
  const bool bom = bytes.substr(0, kBom.size()) == kBom;
  const std::string_view body = bom ? bytes.substr(kBom.size()) : bytes;
  // Many Windows-1250 texts are valid UTF-8 too ("VÝŠKA" is 56 DD 8A 4B 41, which decodes to
  // V, U+074A, K, A), but only a real UTF-8 file stays within the characters this program writes.
  if (bom ? IsValidUtf8(body) : (HasNonAscii(body) && FitsWindows1250(body))) {
    TextFileContent content = SplitLines(body);
    content.encoding = TextEncoding::Utf8;
    return content;
  }
  TextFileContent content = SplitLines(FromWindows1250(bytes));
  content.encoding = TextEncoding::Windows1250;
  return content;
}

namespace {

// Lines as SplitLines counts them: CR LF, LF and CR each end one.
std::size_t CountLines(std::string_view bytes) {
  std::size_t lines = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
      ++lines;
  }
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') ++lines;
  return lines;
}

}  // namespace

TextRead DecodeRead(ByteRead raw, const ReadLimits& limits) {
  TextRead read;
  read.raw = std::move(raw);
  if (!read.raw.ok()) return read;
  if (CountLines(read.raw.bytes) > limits.maxLines) {
    read.raw.status = ReadStatus::TooManyLines;
    read.raw.bytes.clear();
    return read;
  }
  read.content = DecodeText(read.raw.bytes);
  return read;
}

TextRead ReadText(const std::filesystem::path& path, const ReadLimits& limits) {
  return DecodeRead(ReadFileBytes(path, limits), limits);
}

std::optional<TextFileContent> ReadTextFile(const std::filesystem::path& path) {
  TextRead read = ReadText(path, kProgramLimits);
  if (!read.ok()) return std::nullopt;
  return std::move(read.content);
}

std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path) {
  auto content = ReadTextFile(path);
  if (!content) return std::nullopt;
  return std::move(content->lines);
}

std::string EncodeText(const std::vector<std::string>& lines, bool finalLineEnd) {
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    joined += lines[i];
    if (i + 1 < lines.size() || finalLineEnd) joined += "\r\n";
  }
  // Tables have fixed column widths and programs are read by other controls, so the file stays
  // single-byte whatever the text holds: a character without a byte (or a broken sequence) is
  // written as "?".
  std::string out;
  out.reserve(joined.size());
  char32_t cp = 0;
  for (std::size_t i = 0; i < joined.size();) {
    const std::size_t n = DecodeUtf8At(joined, i, cp);
    out.push_back(n == 0 ? '?' : Windows1250Byte(cp).value_or('?'));
    i += std::max<std::size_t>(n, 1);
  }
  return out;
}

int WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                   bool finalLineEnd) {
  return WriteFileBytes(path, EncodeText(lines, finalLineEnd));
}

std::string WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                       bool finalLineEnd) {
  const int error = WriteTextLines(path, lines, finalLineEnd);
  if (error == 0) return {};
  return path.string() + ": " + std::strerror(error);
}

}  // namespace soustruh
