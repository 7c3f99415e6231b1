// Every input the fuzzers once failed on (tests/fuzz/<target>/) is replayed through the same
// target body: a crash, a sanitizer report or a broken invariant fails the test.

#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/FuzzTargets.h"
#include "support/Files.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

TEST(FuzzFindings, ReplayWithoutFault) {
  const fs::path root = fs::path(SOUSTRUH_SOURCE_DIR) / "tests" / "fuzz";
  int replayed = 0;
  for (const auto& target : fs::directory_iterator(root)) {
    const fuzz::Body body = fuzz::TargetNamed(target.path().filename().string());
    ASSERT_NE(body, nullptr) << target.path();
    for (const auto& input : fs::directory_iterator(target.path())) {
      SCOPED_TRACE(input.path().string());
      const std::string bytes = test::ReadBytes(input.path());
      body(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace soustruh
