#pragma once
// `soustruh-cli check`: parses a part program line by line as the control does before executing
// each block, and reports every faulty line with the status line's message.

#include <string>
#include <vector>

namespace soustruh::cli {

// Returns the process exit status: 0 no faulty line, 1 some faulty line, 2 usage or file error.
int RunCheck(const std::vector<std::string>& args);

}  // namespace soustruh::cli
