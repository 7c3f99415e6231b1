#pragma once
// Reading a program for the CLI: a file path or "-" for standard input, decoded like every other
// text file (Windows-1250 or UTF-8, any line ends).

#include <optional>
#include <string>
#include <vector>

namespace soustruh::cli {

// nullopt when the file cannot be read; `error` then says why.
std::optional<std::vector<std::string>> ReadProgram(const std::string& name, std::string& error);

}  // namespace soustruh::cli
