#include "platform/ApplicationDirectory.h"

#include <system_error>

namespace soustruh {

std::filesystem::path ApplicationDirectory() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec && exe.has_parent_path()) return exe.parent_path();
  return std::filesystem::current_path(ec);
}

}  // namespace soustruh
