#pragma once
// What the command line tells about the turned part: its profile in the workpiece coordinates
// of a work offset, the diameters and steps a teacher measures, and the files that show it.

#include <filesystem>
#include <optional>
#include <string>

#include "workpiece/PartProfile.h"

namespace soustruh {
class Simulator;
}

namespace soustruh::cli {

// "G54", "54", ... for the codes of the work offset table, and "G53"/"53" for none; nothing else.
std::optional<int> ParseOffsetCode(const std::string& text);

// The profile of the simulator's stock in the frame of work offset `code`, as its table reads now.
PartProfile FinishedProfile(const Simulator& simulator, int offsetCode);

// Millimetres with three decimals: "-8.500".
std::string Mm(std::int64_t units);

// Writes a text document (an SVG, lines joined by "\n") to `path`, replacing the file. Empty on
// success, else the failure.
std::string SaveDocument(const std::filesystem::path& path, const std::string& document);

// Writes --profile-svg and --dxf of a finished run; empty paths are skipped. Prints a failure on
// standard error and returns false.
bool WriteProfileFiles(const PartProfile& profile, const std::string& title,
                       const std::filesystem::path& svg, const std::filesystem::path& dxf);

}  // namespace soustruh::cli
