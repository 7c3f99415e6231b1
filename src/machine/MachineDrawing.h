#pragma once
// The machine drawing: the outlines of the machine parts from the drawing sections of
// GeoStroj.dat, kept as shape lists of coloured polygons.
//
// Coordinates are length units (0.0001 mm) in the drawing plane: x along the spindle axis (machine
// Z, to the right), y across it (radial distance, positive on the tool side, upwards on screen).
// Each part is drawn relative to its own origin; the scene moves it with the axes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace soustruh {

struct ShapeEntry {
  std::int32_t x = 0;
  std::int32_t y = 0;

  friend bool operator==(const ShapeEntry&, const ShapeEntry&) = default;
};

// A shape list: polygons one after another, each as
//   (n, flag)              header: point count and a flag (0 for every polygon of GeoStroj.dat;
//                          tool shapes use it for the insert layout),
//   (outline, fill)        24-bit colours, blue-green-red,
//   n × (x, y)             the points.
using TUtvar = std::vector<ShapeEntry>;

// The parts of the machine, in drawing order (back to front) and in the order of TStroj.
enum DrawingPart : std::size_t {
  RAM,          // machine frame, fixed
  OSA_Z,        // Z-axis slide, moves with Z
  OSA_X,        // X-axis slide, moves with Z and X
  NASTROJ,      // current tool, moves with Z and X (replaced by the tool file's drawing)
  NASTR_HLAVA,  // tool head, moves with Z and X
  PINOLA,       // tailstock quill, moves with −W
  KONIK,        // tailstock, fixed
  KRYTY,        // covers, fixed
  VRETENO,      // spindle, fixed
  SKLICIDLO,    // chuck, never read: built from the chuck parameters
  DrawingPartCount
};

using TStroj = std::array<TUtvar, DrawingPartCount>;

// Section headers of the parts; the last, the chuck, has no section in the file.
inline constexpr std::array<std::string_view, DrawingPartCount> DrawingSectionNames = {
    "[RAM]",    "[OSA_Z]", "[OSA_X]", "[NASTROJ]", "[NASTR_HLAVA]",
    "[PINOLA]", "[KONIK]", "[KRYTY]", "[VRETENO]", "[SKLICIDLO]"};

// Parts 0 to 8 are read from the file.
inline constexpr std::size_t DrawingFileSectionCount = SKLICIDLO;

// The most points a drawing section (and a tool's holder or insert outline) may have. The parts
// are clipped against one another at every motion tick, so their cost grows with their points; a
// real machine drawing has a few dozen per part, a detailed one a few hundred.
inline constexpr std::size_t kMaxSectionPoints = 2000;

// The smallest and largest x and y over every point read. They start inverted (empty) and are only
// ever widened, so they must outlive a reload of the drawing.
struct DrawingBounds {
  std::int32_t minX = std::numeric_limits<std::int32_t>::max();
  std::int32_t maxX = std::numeric_limits<std::int32_t>::min();
  std::int32_t minY = std::numeric_limits<std::int32_t>::max();
  std::int32_t maxY = std::numeric_limits<std::int32_t>::min();

  bool IsEmpty() const { return minX > maxX; }
  void Widen(ShapeEntry point);
};

// The smallest x over the points of a shape list (the header and colour entries are skipped);
// INT32_MAX when it has no points. Of the quill part it is the tip's x at W = 0.
std::int32_t QuillTipX(const TUtvar& quill);

// A line of a drawing section that cannot be read.
struct DrawingReadError {
  std::string message;         // "Chybný formát souboru sestavení stroje\r\n" + the trimmed line
  std::size_t lineNumber = 0;  // 1-based, in the lines given
};

// Appends the polygons of section `part` (0 to 8) to drawing[part] and widens `bounds`.
// Each line with a comma is one polygon "outline, fill, x1, y1, ..., xn, yn" (millimetres); it
// needs an odd number of commas, at least 3, and n = (commas − 1) / 2 points. Fields are taken
// with NextListToken, so runs of separators count as one and missing fields read as 0. Lines
// without a comma are comments. An absent section appends nothing.
// A line with a wrong comma count, a coordinate that is not a number, one beyond the 32-bit range
// of length units, or a line that takes the section beyond kMaxSectionPoints points is a format
// error: that line adds nothing (neither entries nor bounds), the lines before it stay appended,
// and the rest of the section is not read. A `part` outside 0 to 8 reads nothing.
std::optional<DrawingReadError> ReadDrawingSection(const std::vector<std::string>& lines,
                                                   std::size_t part, TStroj& drawing,
                                                   DrawingBounds& bounds);

// Reads sections 0 to 8 in order, then sets `quillTipX` from the quill part. Stops at the first
// faulty line and returns its error; `quillTipX` is then left unchanged. The drawing is appended
// to, not cleared first.
std::optional<DrawingReadError> ReadMachineDrawing(const std::vector<std::string>& lines,
                                                   TStroj& drawing, DrawingBounds& bounds,
                                                   std::int32_t& quillTipX);

}  // namespace soustruh
