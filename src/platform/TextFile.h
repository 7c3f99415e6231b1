#pragma once
// The boundary between files on disk and text inside the program. On disk our data and program
// files are Windows-1250 with CR LF line ends; inside, every string is UTF-8.
//
// Reading accepts CR LF, LF or CR line ends and decodes Windows-1250, or UTF-8 when the file
// carries a BOM and is valid UTF-8, or has no BOM and is valid UTF-8 with non-ASCII sequences
// whose every character exists in Windows-1250 (many Windows-1250 texts are valid UTF-8 by
// chance, "VÝŠKA" among them, but then decode to characters no Czech text holds). The five bytes
// Windows-1250 leaves undefined map to the control characters of the same number, so reading and
// writing an unchanged Windows-1250 file gives back the same bytes.
//
// Writing always uses CR LF and Windows-1250, so the fixed columns of the tables keep their
// widths in bytes: a character without a Windows-1250 byte is written as "?". Entry fields refuse
// such characters (AcceptEntry), and a program save warns first (control/ProgramFile.h). Files
// are written as WriteFileBytes says (FileAccess.h): atomically over regular files, straight into
// devices and pipes, never over a folder.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileAccess.h"

namespace soustruh {

class Host;

enum class TextEncoding { Windows1250, Utf8 };

struct TextFileContent {
  std::vector<std::string> lines;  // UTF-8, without line ends
  TextEncoding encoding = TextEncoding::Windows1250;
  bool finalLineEnd = true;  // whether the last line was followed by a line end
};

// Splits decoded text into lines at CR LF, LF or CR. A line end after the last line does not
// start another line.
TextFileContent SplitLines(std::string_view utf8Text);

// Decodes raw file bytes (see above for the choice of encoding).
TextFileContent DecodeText(std::string_view bytes);

// A file read as text: `raw` holds the status (and, when it is Ok, the bytes as they were on
// disk, for a backup); `content` is the decoded text when it is Ok.
struct TextRead {
  ByteRead raw;
  TextFileContent content;

  bool ok() const { return raw.ok(); }
};

// Reads a whole file within `limits` (FileAccess.h); never throws.
TextRead ReadText(const std::filesystem::path& path, const ReadLimits& limits);
// Decodes bytes already read (standard input), refusing more than limits.maxLines lines.
TextRead DecodeRead(ByteRead raw, const ReadLimits& limits);

// Convenience, within the program limits: the text or the lines of a file, or nullopt when it
// does not exist or cannot be read.
std::optional<TextFileContent> ReadTextFile(const std::filesystem::path& path);
std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path);

// Encodes lines as they would be written (CR LF after each line unless finalLineEnd is false for
// the last) in Windows-1250; a character without a byte there, or a broken UTF-8 sequence, becomes
// "?".
std::string EncodeText(const std::vector<std::string>& lines, bool finalLineEnd = true);

// Writes the encoded lines (WriteFileBytes); returns 0 or the errno of the failure.
int WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                   bool finalLineEnd = true);
// The same; returns an empty string on success, else "path: the system's reason".
std::string WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                       bool finalLineEnd = true);

// Windows-1250 conversions of single strings. ToWindows1250 returns nullopt when a character
// cannot be represented.
std::string FromWindows1250(std::string_view bytes);
std::optional<std::string> ToWindows1250(std::string_view utf8);
bool IsValidUtf8(std::string_view bytes);

// Whether every character of the text has a Windows-1250 byte (so it is saved as typed).
bool FitsWindows1250(std::string_view utf8);

// The check of an entry field before it takes a typed or pasted text: true when the text fits
// Windows-1250; otherwise the host sounds its default alert, the caller keeps the old text, and
// the result is false.
bool AcceptEntry(Host& host, std::string_view utf8);

}  // namespace soustruh
