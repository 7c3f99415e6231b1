#pragma once
// `soustruh-cli measure`: runs a program as `run` does and measures the turned part: the
// diameters at given Z positions and the steps of the part, in the workpiece coordinates of a
// work offset (G54 unless --offset names another).

#include <string>
#include <vector>

namespace soustruh::cli {

// Returns the exit status: 0 finished, 1 interpreter error or alarm, 2 usage, file error or
// refused stock, 3 the virtual time limit passed. The part is measured however the run ended.
int MeasureProgram(const std::vector<std::string>& args);

}  // namespace soustruh::cli
