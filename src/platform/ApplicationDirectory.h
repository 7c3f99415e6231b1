#pragma once
// The directory of the running executable. Every data file is looked up there, so starting the
// program from another working directory changes nothing.

#include <filesystem>

namespace soustruh {

// Found from the executable's own path (/proc/self/exe); falls back to the current directory
// only when the system cannot tell.
std::filesystem::path ApplicationDirectory();

}  // namespace soustruh
