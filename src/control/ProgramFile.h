#pragma once
// Saving a part program: the editor's lines written as our program files are, Windows-1250 with
// CR LF, replacing the file atomically.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace soustruh {

class Host;

// The 1-based number of the first line holding a character Windows-1250 cannot hold, if any.
std::optional<std::size_t> FirstLineOutsideWindows1250(const std::vector<std::string>& lines);

// The message shown before such a program is saved, naming that line.
std::string ProgramCharactersMessage(std::size_t line);

// Writes `lines` to `path` (WriteFileBytes: atomically over a regular file, straight into a
// device, never over a folder), with a line end after the last line unless `finalLineEnd` is
// false, so a program read and saved unchanged keeps its bytes. A program holding characters
// Windows-1250 cannot hold is still saved in Windows-1250, each such character as "?", after the
// host has shown the message above. A failed write leaves the file untouched, shows a message
// naming the bare file name and the reason, and returns false.
bool SaveProgram(const std::filesystem::path& path, const std::vector<std::string>& lines,
                 Host& host, bool finalLineEnd = true);

}  // namespace soustruh
