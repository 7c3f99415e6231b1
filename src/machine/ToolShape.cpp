#include "machine/ToolShape.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "machine/ConfigFile.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"

namespace soustruh {

namespace {

constexpr std::string_view kFormatError = "Chybný formát souboru nástrojů\r\n";
constexpr std::array<std::string_view, 4> kPositions = {"L", "P", "OL", "OP"};

std::string PositionErrorMessage() {
  std::string text = "Chybný formát souboru nástrojů - poloha nástroje musí být ";
  for (std::size_t i = 0; i < kPositions.size(); ++i) {
    if (i > 0) text += " nebo ";
    text += '"';
    text += kPositions[i];
    text += '"';
  }
  text += '.';
  return text;
}

// One section of the file, with what a message needs to point at it.
struct Section {
  const std::vector<std::string>& lines;
  std::string header;
  LineRange range;

  Section(const std::vector<std::string>& fileLines, std::string sectionHeader)
      : lines(fileLines), header(std::move(sectionHeader)), range(FindSection(fileLines, header)) {}

  std::string Value(std::string_view key) const { return ReadKeyValue(lines, range, key); }

  std::string TooManyPoints(std::string_view key) const {
    return std::string(kFormatError) + header + " " + std::string(key) + ": více než " +
           std::to_string(kMaxSectionPoints) + " bodů.";
  }

  std::string Fault(std::string_view key, std::string_view value) const {
    std::string text(kFormatError);
    text += header;
    text += ' ';
    text += key;
    text += " = ";
    text += TextForMessage(value);
    return text;
  }
};

// A list field in millimetres; a missing field reads as 0.
std::optional<std::int32_t> ReadLength(std::string_view token) {
  if (token.empty()) return 0;
  const auto millimetres = ParseFloat(token);
  if (!millimetres) return std::nullopt;
  return MillimetresToUnits(*millimetres);
}

std::optional<std::int32_t> ToUnits32(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// The next two fields of a list as a point moved by `shift`; nullopt when a field is not a number
// or the point leaves the 32-bit range.
std::optional<ShapeEntry> ReadPoint(std::string_view& list, ShapeEntry shift) {
  const auto x = ReadLength(NextListToken(list));
  if (!x) return std::nullopt;
  const auto y = ReadLength(NextListToken(list));
  if (!y) return std::nullopt;
  const auto movedX = ToUnits32(std::int64_t{*x} + shift.x);
  const auto movedY = ToUnits32(std::int64_t{*y} + shift.y);
  if (!movedX || !movedY) return std::nullopt;
  return ShapeEntry{*movedX, *movedY};
}

enum class ListResult { Polygon, NoComma, OddFields, BadField, TooManyPoints };

// Reads a point list "x1,y1,x2,y2,..." as one polygon (header, colours, points), every point
// moved by `shift`. One comma already makes a point; an odd number of fields is refused.
ListResult ReadPolygon(std::string_view list, ShapeEntry colours, ShapeEntry shift,
                       TUtvar& polygon) {
  const auto commas = static_cast<std::size_t>(std::count(list.begin(), list.end(), ','));
  if (commas == 0) return ListResult::NoComma;
  if ((commas + 1) % 2 != 0) return ListResult::OddFields;
  const std::size_t points = (commas + 1) / 2;
  if (points > kMaxSectionPoints) return ListResult::TooManyPoints;
  polygon.clear();
  polygon.reserve(points + 2);
  polygon.push_back({static_cast<std::int32_t>(points), 0});
  polygon.push_back(colours);
  for (std::size_t k = 0; k < points; ++k) {
    const auto point = ReadPoint(list, shift);
    if (!point) return ListResult::BadField;
    polygon.push_back(*point);
  }
  return ListResult::Polygon;
}

ShapeEntry ReadColours(const Section& section) {
  return {ParseColour(section.Value("Cara")), ParseColour(section.Value("Vypln"))};
}

struct Insert {
  TUtvar polygon;  // empty when there is none
  long double cornerAngle = 0;
};

// The insert section `name`. A missing section or an Obvod without a comma is no insert; a faulty
// one is no insert too, with its message in `fault`.
Insert ReadInsert(const std::vector<std::string>& lines, const std::string& name,
                  std::optional<std::string>& fault) {
  const Section section(lines, "[" + name + "]");
  const std::string outline = section.Value("Obvod");
  Insert insert;
  switch (ReadPolygon(outline, ReadColours(section), {0, 0}, insert.polygon)) {
    case ListResult::NoComma:
      return {};
    case ListResult::OddFields:
      fault = std::string(kFormatError) + TextForMessage(outline);
      return {};
    case ListResult::BadField:
      fault = section.Fault("Obvod", outline);
      return {};
    case ListResult::TooManyPoints:
      fault = section.TooManyPoints("Obvod");
      return {};
    case ListResult::Polygon:
      break;
  }
  const std::string angle = section.Value("Uhel");
  const auto degrees = ParseFloat(angle);
  if (!degrees) {
    fault = section.Fault("Uhel", angle);
    return {};
  }
  insert.cornerAngle = *degrees;
  return insert;
}

// Turns the insert's points by `radians` about the origin and moves them to `centre`. False when a
// point leaves the 32-bit range.
bool PlaceInsert(TUtvar& polygon, long double radians, ShapeEntry centre) {
  const long double c = std::cos(radians);
  const long double s = std::sin(radians);
  for (std::size_t i = 2; i < polygon.size(); ++i) {
    const long double x = polygon[i].x;
    const long double y = polygon[i].y;
    // Both terms stay within 2^32 in magnitude, so the rounded values fit 64 bits.
    const auto turnedX = static_cast<std::int64_t>(RoundHalfEven(c * x - s * y));
    const auto turnedY = static_cast<std::int64_t>(RoundHalfEven(s * x + c * y));
    const auto placedX = ToUnits32(turnedX + centre.x);
    const auto placedY = ToUnits32(turnedY + centre.y);
    if (!placedX || !placedY) return false;
    polygon[i] = {*placedX, *placedY};
  }
  return true;
}

struct Built {
  ToolShape shape;
  std::string fault;  // a holder fault: the tool is not drawn
};

// The insert part of a tool with an insert section name: steps after the holder has been read.
// On success `shape` holds the holder and is completed with the insert.
Built AddInsert(const Section& tool, const std::string& insertName, ShapeEntry clamp,
                ToolShape holder, std::optional<std::string>& insertFault) {
  Insert insert = ReadInsert(tool.lines, insertName, insertFault);
  const std::string position = tool.Value("Poloha");
  const auto known = std::find(kPositions.begin(), kPositions.end(), position);
  if (known == kPositions.end()) return {{}, PositionErrorMessage()};
  const std::string setting = tool.Value("Nastaveni");
  const auto settingDegrees = ParseFloat(setting);
  if (!settingDegrees) return {{}, tool.Fault("Nastaveni", setting)};
  long double degrees = (*settingDegrees - 90) + insert.cornerAngle / 2;
  if (position == "L" || position == "OP") degrees = -degrees;
  if (!std::isfinite(degrees)) return {{}, tool.Fault("Nastaveni", setting)};
  const std::string centreText = tool.Value("StredDest");
  std::string_view centreList = centreText;
  const auto centre = ReadPoint(centreList, clamp);
  if (!centre) return {{}, tool.Fault("StredDest", centreText)};
  if (insert.polygon.empty()) return {std::move(holder), {}};
  if (!PlaceInsert(insert.polygon, degrees * std::numbers::pi_v<long double> / 180, *centre))
    return {{}, tool.Fault("StredDest", centreText)};
  const bool insertFirst = position == "OL" || position == "OP";
  ToolShape shape = insertFirst ? std::move(insert.polygon) : std::move(holder);
  const ToolShape& second = insertFirst ? holder : insert.polygon;
  shape.insert(shape.end(), second.begin(), second.end());
  shape[0].y = insertFirst ? -1 : 1;
  return {std::move(shape), {}};
}

Built Build(const std::vector<std::string>& lines, int toolNumber,
            std::optional<std::string>& insertFault) {
  const Section tool(lines, ToolSectionHeader(toolNumber));
  if (tool.range.empty()) return {};
  const std::string holderList = tool.Value("Drzak");
  const std::string clampText = tool.Value("Upevneni");
  std::string_view clampList = clampText;
  ToolShape holder;
  const auto commas = std::count(holderList.begin(), holderList.end(), ',');
  if (commas == 0) return {};
  if ((commas + 1) % 2 != 0) return {{}, std::string(kFormatError) + TextForMessage(holderList)};
  const auto clamp = ReadPoint(clampList, {0, 0});
  if (!clamp) return {{}, tool.Fault("Upevneni", clampText)};
  switch (ReadPolygon(holderList, ReadColours(tool), *clamp, holder)) {
    case ListResult::Polygon:
      break;
    case ListResult::TooManyPoints:
      return {{}, tool.TooManyPoints("Drzak")};
    default:
      return {{}, tool.Fault("Drzak", holderList)};
  }
  const std::string insertName = tool.Value("Desticka");
  if (insertName.empty()) return {std::move(holder), {}};
  return AddInsert(tool, insertName, *clamp, std::move(holder), insertFault);
}

}  // namespace

std::string ToolSectionHeader(int tool) {
  std::string number = FormatInt(tool);
  if (number.size() < 2) number.insert(0, 2 - number.size(), '0');
  return "[T" + number + "]";
}

ToolShape BuildToolShape(const std::vector<std::string>& lines, int tool, Host& host) {
  std::optional<std::string> insertFault;
  Built built = Build(lines, tool, insertFault);
  if (!built.fault.empty()) {
    host.ShowMessage(built.fault);
    return {};
  }
  if (insertFault) host.ShowMessage(*insertFault);
  return std::move(built.shape);
}

bool LoadToolDrawing(const std::filesystem::path& directory, int tool, Host& host,
                     TStroj& drawing) {
  const TextRead read = ReadText(directory / ToolFileName, kDataFileLimits);
  if (!read.ok()) return false;
  drawing[NASTROJ] = BuildToolShape(read.content.lines, tool, host);
  return true;
}

std::vector<int> ToolsWithoutDrawing(const std::vector<std::string>& lines, int places) {
  class Silent : public Host {
    void ShowMessage(std::string_view) override {}
  } silent;
  std::vector<int> tools;
  for (int tool = 1; tool <= places; ++tool)
    if (BuildToolShape(lines, tool, silent).empty()) tools.push_back(tool);
  return tools;
}

std::string ToolsWithoutDrawingMessage(const std::vector<int>& tools) {
  std::string list;
  for (const int tool : tools) {
    if (!list.empty()) list += ", ";
    list += FormatInt(tool);
  }
  return "Soubor s grafikou nástrojů '" + std::string(ToolFileName) + "' nemá grafiku " +
         (tools.size() == 1 ? "nástroje " : "nástrojů ") + list + "; " +
         (tools.size() == 1 ? "tento nástroj neobrábí." : "tyto nástroje neobrábějí.");
}

}  // namespace soustruh
