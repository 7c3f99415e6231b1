#pragma once
// Reading a program or a panel script for the CLI: a file path or "-" for standard input, decoded
// like every other text file (Windows-1250 or UTF-8, any line ends), within the program limits
// (FileAccess.h): a file that is too large, a device without end (/dev/zero) or a read error is
// refused, never read without bound.

#include <optional>
#include <string>
#include <vector>

namespace soustruh::cli {

// nullopt when the input cannot be read; `error` then says why ("standard input: Is a
// directory", "prog.nc: larger than 64 MiB").
std::optional<std::vector<std::string>> ReadProgram(const std::string& name, std::string& error);

}  // namespace soustruh::cli
