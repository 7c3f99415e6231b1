#pragma once
// Whole files as bytes, for tests that check exactly what was written.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace soustruh::test {

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& p, std::string_view bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

}  // namespace soustruh::test
