#pragma once
// Pieces shared by the interpreter's tests: case tables kept as text, millimetres, distances,
// motion blocks as the parser leaves them, and the check that a polyline follows an arc.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "nc/FunctionGroups.h"
#include "nc/MachinePoint.h"
#include "nc/NcBlock.h"
#include "nc/PathGeometry.h"

namespace soustruh::test {

inline constexpr std::int32_t kMm = 10000;

// The rows of the case table tests/nc/`file`, each split into fields at spaces; a field written
// between bars is taken as it stands, spaces included, with "\t" and "\r" for tab and carriage
// return. Lines that are empty or start with "#" are skipped. With a `kind`, only the rows whose
// first field is `kind` are returned, without that field.
inline std::vector<std::vector<std::string>> CaseRows(const std::string& file,
                                                      const std::string& kind = "") {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(std::string(SOUSTRUH_SOURCE_DIR) + "/tests/nc/" + file);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < line.size() && line[0] != '#'; ++i) {
      if (line[i] == ' ') continue;
      const bool bars = line[i] == '|';
      const std::size_t end = bars ? line.find('|', i + 1) : line.find(' ', i);
      std::string field = line.substr(i + (bars ? 1 : 0), end - i - (bars ? 1 : 0));
      for (const auto& [escape, c] : {std::pair("\\t", '\t'), std::pair("\\r", '\r')}) {
        for (std::size_t at; (at = field.find(escape)) != std::string::npos;)
          field.replace(at, 2, 1, c);
      }
      fields.push_back(field);
      i = end == std::string::npos ? line.size() : end;
    }
    if (fields.empty() || (!kind.empty() && fields[0] != kind)) continue;
    if (!kind.empty()) fields.erase(fields.begin());
    rows.push_back(fields);
  }
  EXPECT_FALSE(rows.empty()) << file << " " << kind;
  return rows;
}

inline MachinePoint Plus(MachinePoint p, std::int64_t dz, std::int64_t dx) {
  return {p.Z + dz, p.X + dx};
}

inline double Distance(MachinePoint centre, MachinePoint p) {
  return std::hypot(static_cast<double>(p.Z - centre.Z), static_cast<double>(p.X - centre.X));
}

// A G`g` block ending at the machine point `end` while no correction or offset is active (X
// written as a diameter), with I and K as given and R their rounded length, as the parser sets it.
inline NcBlock MotionBlock(int g, MachinePoint end, std::int32_t i = 0, std::int32_t k = 0) {
  NcBlock block;
  block.G[kGMotion] = g;
  block.Motion = true;
  block.X = static_cast<std::int32_t>(2 * end.X);
  block.Z = static_cast<std::int32_t>(end.Z);
  block.I = i;
  block.K = k;
  block.R = static_cast<std::int32_t>(
      std::llround(std::hypot(static_cast<double>(i), static_cast<double>(k))));
  return block;
}

// Every interior point lies on the circle (within rounding) and every chord stays within the
// sagitta limit, so the polyline is never more than 0.025 mm (plus rounding) off the arc.
inline void ExpectChordsFollowArc(const BlockPath& path, MachinePoint centre, double radius) {
  ASSERT_GE(path.size(), 3u);
  for (std::size_t i = 1; i < path.size(); ++i) {
    SCOPED_TRACE(i);
    if (i + 1 < path.size()) {
      EXPECT_NEAR(Distance(centre, path[i]), radius, 1.0);
    }
    const double midZ = static_cast<double>(path[i - 1].Z + path[i].Z) / 2;
    const double midX = static_cast<double>(path[i - 1].X + path[i].X) / 2;
    EXPECT_NEAR(
        std::hypot(midZ - static_cast<double>(centre.Z), midX - static_cast<double>(centre.X)),
        radius, kMaxChordSagitta + 1.0);
  }
}

}  // namespace soustruh::test
