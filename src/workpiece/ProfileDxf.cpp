#include "workpiece/ProfileDxf.h"

#include "platform/Numbers.h"

namespace soustruh {
namespace {

void Pair(std::vector<std::string>& lines, int code, const std::string& value) {
  lines.push_back(FormatInt(code));
  lines.push_back(value);
}

std::string Millimetres(std::int64_t units) {
  return FormatFixed(static_cast<double>(units) / 10000.0, 4);
}

}  // namespace

std::vector<std::string> ProfileDxfLines(const PartProfile& profile) {
  std::vector<std::string> lines;
  Pair(lines, 0, "SECTION");
  Pair(lines, 2, "HEADER");
  Pair(lines, 9, "$ACADVER");
  Pair(lines, 1, "AC1009");
  Pair(lines, 0, "ENDSEC");
  Pair(lines, 0, "SECTION");
  Pair(lines, 2, "ENTITIES");
  if (!profile.empty()) {
    Pair(lines, 0, "POLYLINE");
    Pair(lines, 8, "0");
    Pair(lines, 66, "1");  // vertices follow
    Pair(lines, 10, "0.0");
    Pair(lines, 20, "0.0");
    Pair(lines, 30, "0.0");
    Pair(lines, 70, "1");  // closed: the last vertex joins the first along the axis
    for (const ProfilePoint& p : profile.points) {
      Pair(lines, 0, "VERTEX");
      Pair(lines, 8, "0");
      Pair(lines, 10, Millimetres(p.z));
      Pair(lines, 20, Millimetres(p.r));
      Pair(lines, 30, "0.0");
    }
    Pair(lines, 0, "SEQEND");
    Pair(lines, 8, "0");
  }
  Pair(lines, 0, "ENDSEC");
  Pair(lines, 0, "EOF");
  return lines;
}

}  // namespace soustruh
