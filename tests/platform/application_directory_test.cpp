// Start-up itself (the data files found, reported, created) is shown through the CLI:
// tests/programs/cli/startup.

#include "platform/ApplicationDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;

TEST(ApplicationDirectory, IsTheProgramsOwnWhateverTheWorkingDirectory) {
  const fs::path before = fs::current_path();
  test::TempDir elsewhere;
  fs::current_path(elsewhere.path());
  const fs::path found = ApplicationDirectory();
  fs::current_path(before);
  EXPECT_EQ(found, fs::read_symlink("/proc/self/exe").parent_path());
}

}  // namespace
}  // namespace soustruh
