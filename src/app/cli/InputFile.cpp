#include "app/cli/InputFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>

#include "platform/TextFile.h"

namespace soustruh::cli {

std::optional<std::vector<std::string>> ReadProgram(const std::string& name, std::string& error) {
  if (name == "-") {
    std::string bytes((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    return DecodeText(bytes).lines;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(name, ec)) {
    error = name + ": is a directory";
    return std::nullopt;
  }
  auto lines = ReadLines(name);
  if (!lines) error = name + ": " + (errno ? std::strerror(errno) : "cannot be read");
  return lines;
}

}  // namespace soustruh::cli
