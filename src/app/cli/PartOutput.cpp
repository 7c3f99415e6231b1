#include "app/cli/PartOutput.h"

#include <cstdio>
#include <vector>

#include "control/Simulator.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"
#include "view/ProfileDrawing.h"
#include "workpiece/ProfileDxf.h"

namespace soustruh::cli {

std::optional<int> ParseOffsetCode(const std::string& text) {
  const std::string digits =
      !text.empty() && (text[0] == 'G' || text[0] == 'g') ? text.substr(1) : text;
  const auto code = ParseInt32(digits);
  if (!code || digits.size() != 2) return std::nullopt;
  if (*code == 53) return 53;
  for (const int known : kWorkOffsetCodes)
    if (*code == known) return known;
  return std::nullopt;
}

PartProfile FinishedProfile(const Simulator& simulator, int offsetCode) {
  return ProfileOf(simulator.stock(), FrameOfOffset(simulator.data().offsets, offsetCode));
}

std::string Mm(std::int64_t units) {
  return FormatFixed(static_cast<double>(units) / 10000.0, 3);
}

std::string SaveDocument(const std::filesystem::path& path, const std::string& document) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < document.size()) {
    std::size_t end = document.find('\n', start);
    if (end == std::string::npos) end = document.size();
    lines.push_back(document.substr(start, end - start));
    start = end + 1;
  }
  return WriteLines(path, lines);
}

bool WriteProfileFiles(const PartProfile& profile, const std::string& title,
                       const std::filesystem::path& svg, const std::filesystem::path& dxf) {
  std::string error;
  if (!svg.empty()) error = SaveDocument(svg, ProfileSvg(profile, title));
  if (error.empty() && !dxf.empty()) error = WriteLines(dxf, ProfileDxfLines(profile));
  if (!error.empty()) std::fprintf(stderr, "soustruh-cli: %s\n", error.c_str());
  return error.empty();
}

}  // namespace soustruh::cli
