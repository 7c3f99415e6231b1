#pragma once
// A fresh directory under the system's temporary folder, removed with the object. Named after the
// running test and the process, so parallel test processes (ctest -j, or two builds at once)
// never share one.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace soustruh::test {

class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "soustruh-" + std::to_string(getpid()) + "-";
    if (info) name += std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name)
      if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace soustruh::test
