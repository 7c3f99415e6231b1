#include "machine/MachineDrawing.h"

#include <algorithm>

#include "machine/ConfigFile.h"
#include "platform/Numbers.h"

namespace soustruh {

namespace {

constexpr std::string_view kFormatErrorPrefix = "Chybný formát souboru sestavení stroje\r\n";

// A coordinate field in millimetres; a missing field reads as 0.
std::optional<std::int32_t> ParseCoordinate(std::string_view token) {
  if (token.empty()) return 0;
  const auto millimetres = ParseFloat(token);
  if (!millimetres) return std::nullopt;
  return MillimetresToUnits(*millimetres);
}

// One polygon line, already trimmed and known to hold a comma and to have an odd number of at
// least 3 commas. Returns false when it is faulty; `polygon` is then incomplete and must be
// dropped.
bool ParsePolygonLine(std::string_view line, std::size_t points, TUtvar& polygon) {
  polygon.reserve(points + 2);
  polygon.push_back({static_cast<std::int32_t>(points), 0});
  std::string_view rest = line;
  const std::int32_t outline = ParseColour(NextListToken(rest));
  const std::int32_t fill = ParseColour(NextListToken(rest));
  polygon.push_back({outline, fill});
  for (std::size_t k = 0; k < points; ++k) {
    const auto x = ParseCoordinate(NextListToken(rest));
    if (!x) return false;
    const auto y = ParseCoordinate(NextListToken(rest));
    if (!y) return false;
    polygon.push_back({*x, *y});
  }
  return true;
}

}  // namespace

void DrawingBounds::Widen(ShapeEntry point) {
  minX = std::min(minX, point.x);
  maxX = std::max(maxX, point.x);
  minY = std::min(minY, point.y);
  maxY = std::max(maxY, point.y);
}

std::int32_t QuillTipX(const TUtvar& quill) {
  std::int32_t tip = std::numeric_limits<std::int32_t>::max();
  std::size_t at = 0;
  while (at + 2 <= quill.size() && quill[at].x >= 0) {
    const std::size_t first = at + 2;
    const std::size_t end = std::min(first + static_cast<std::size_t>(quill[at].x), quill.size());
    for (std::size_t i = first; i < end; ++i) tip = std::min(tip, quill[i].x);
    at = end;
  }
  return tip;
}

std::optional<DrawingReadError> ReadDrawingSection(const std::vector<std::string>& lines,
                                                   std::size_t part, TStroj& drawing,
                                                   DrawingBounds& bounds) {
  if (part >= DrawingFileSectionCount) return std::nullopt;
  const LineRange section = FindSection(lines, DrawingSectionNames[part]);
  TUtvar polygon;
  std::size_t sectionPoints = 0;
  for (std::size_t i = section.first; i < section.end; ++i) {
    const std::string_view line = TrimBlanks(lines[i]);
    if (line.find(',') == std::string_view::npos) continue;
    polygon.clear();
    const auto commas = static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
    const std::size_t points = (commas - 1) / 2;
    sectionPoints += points;
    if (commas >= 3 && commas % 2 == 1 && sectionPoints > kMaxSectionPoints) {
      std::string message(kFormatErrorPrefix);
      message += "Oddíl ";
      message += DrawingSectionNames[part];
      message += " má více než " + std::to_string(kMaxSectionPoints) + " bodů.";
      return DrawingReadError{std::move(message), i + 1};
    }
    if (commas < 3 || commas % 2 == 0 || !ParsePolygonLine(line, points, polygon)) {
      std::string message(kFormatErrorPrefix);
      message += TextForMessage(line);
      return DrawingReadError{std::move(message), i + 1};
    }
    for (std::size_t k = 2; k < polygon.size(); ++k) bounds.Widen(polygon[k]);
    drawing[part].insert(drawing[part].end(), polygon.begin(), polygon.end());
  }
  return std::nullopt;
}

std::optional<DrawingReadError> ReadMachineDrawing(const std::vector<std::string>& lines,
                                                   TStroj& drawing, DrawingBounds& bounds,
                                                   std::int32_t& quillTipX) {
  for (std::size_t part = 0; part < DrawingFileSectionCount; ++part) {
    if (auto error = ReadDrawingSection(lines, part, drawing, bounds)) return error;
  }
  quillTipX = QuillTipX(drawing[PINOLA]);
  return std::nullopt;
}

}  // namespace soustruh
