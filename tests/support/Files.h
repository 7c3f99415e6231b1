#pragma once
// Whole files as bytes, for tests that check exactly what was written, and golden directories.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextFile.h"

namespace soustruh::test {

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& p, std::string_view bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

// The lines of a test's own UTF-8 file (scenarios, case tables), whatever characters its
// comments hold; nothing when the file is missing. Data files go through ReadLines instead.
inline std::optional<std::vector<std::string>> ReadUtf8Lines(const std::filesystem::path& p) {
  if (!std::filesystem::exists(p)) return std::nullopt;
  return SplitLines(ReadBytes(p)).lines;
}

// The names of the programs in a directory of golden files, sorted.
inline std::vector<std::string> ProgramNames(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    if (entry.path().extension() == ".nc") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace soustruh::test
