#pragma once
// `soustruh-cli grade`: runs a reference program and a class's programs, each on a machine of its
// own with the same data files and stock, side by side on the processor's cores, and reports per
// program how the run ended and how far its part departs from the reference part.

#include <string>
#include <vector>

namespace soustruh::cli {

// Returns the exit status: 0 every program passed, 1 some failed, 2 usage, a data or output
// error, or a reference that does not finish.
int GradePrograms(const std::vector<std::string>& args);

}  // namespace soustruh::cli
