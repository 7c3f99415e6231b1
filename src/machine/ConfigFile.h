#pragma once
// Reading helpers for our sectioned data files (GeoStroj.dat, GeoNastr.dat): sections headed by a
// line such as "[PARAM_STROJE]", "key = value" lines, comma-separated lists and colours.
//
// Files are taken as lines already decoded to UTF-8 (TextFile.h). Nothing here fails: a missing
// section is empty, a missing key has the empty value, and a colour always has a value.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace soustruh {

// Removes leading and trailing blanks: the space, the tab and every other control character
// (bytes 0x00 to 0x20), so a stray CR or a tab never becomes part of a name or a value.
std::string_view TrimBlanks(std::string_view text);

// Lines [first, end) of a file; end is one past the section's last line.
struct LineRange {
  std::size_t first = 0;
  std::size_t end = 0;

  bool empty() const { return first >= end; }
};

// The lines of the first section headed by `header` (compared exactly and case-sensitively with
// the trimmed line). The section starts on the line after its header and ends before the next
// line that contains "[" anywhere, or at the end of the file. A comment containing "[" therefore
// ends the section too. An absent header gives an empty range.
LineRange FindSection(const std::vector<std::string>& lines, std::string_view header);

// The value of `key` in the section: each line is split at its first "=" and both halves are
// trimmed; the name must equal `key` exactly (case-sensitive). The last matching line wins.
// Returns the empty text when no line matches. Lines without "=" never match, so they serve as
// comments. The range is clamped to the lines that exist.
std::string ReadKeyValue(const std::vector<std::string>& lines, LineRange section,
                         std::string_view key);

// The same, but nothing when no line names the key, so that "key =" (an empty value) can be told
// from a key that is absent.
std::optional<std::string> FindKeyValue(const std::vector<std::string>& lines, LineRange section,
                                        std::string_view key);

// Cuts the next token off a list such as "FF0000, 0000FF, 1.5,-2 3": separators are the comma,
// the space and the tab. Leading separators are skipped, the token runs to the next separator,
// and `rest` becomes what follows that single separator, trimmed. Runs of separators therefore
// count as one, and empty fields between commas are skipped. An exhausted list gives "".
// The view version takes constant time per token, so even a list of millions of fields is read
// in linear time; the returned view points into the original text.
std::string_view NextListToken(std::string_view& rest);
std::string NextListToken(std::string& line);

// A text of the file as a message shows it: at most 200 characters, a longer one cut there and
// ended with "…", so that a faulty line of megabytes never becomes a message box of megabytes.
std::string TextForMessage(std::string_view text);

// A colour written as hexadecimal digits in blue-green-red order: "0000FF" is red, "FF0000" is
// blue. Only "0"-"9" and upper-case "A"-"F" are digits; any other character (lower case too)
// counts as 0. A shorter text is padded on the left with "0"; of a longer text only the first six
// characters count (a character being one UTF-8 sequence). "" gives 0 (black). Never fails; the
// result lies in 0 to 0xFFFFFF.
std::int32_t ParseColour(std::string_view text);

}  // namespace soustruh
