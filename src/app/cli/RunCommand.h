#pragma once
// `soustruh-cli run`: starts the machine from its data files, runs the reference, then the part
// program in AUTOMAT in virtual time, as an operator would, and reports how it ended.

#include <string>
#include <vector>

namespace soustruh::cli {

// Returns the exit status: 0 finished, 1 interpreter error or alarm, 2 usage or file error,
// 3 the virtual time limit passed.
int RunProgram(const std::vector<std::string>& args);

}  // namespace soustruh::cli
