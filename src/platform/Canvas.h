#pragma once
// The drawing surface of the machine view: an off-screen picture of a fixed size in pixels, on
// which the scene fills rectangles and polygons with a pen (outline) and a brush (fill). The window
// draws into a bitmap, the tests into a recording, snapshots without a window into SVG.
//
// Coordinates are image pixels, x to the right, y downward, (0, 0) the top left pixel. Colours
// are 24-bit values in blue-green-red order as the data files give them (0x0000FF is red).

#include <cstdint>
#include <span>

namespace soustruh {

using BgrColour = std::int32_t;

inline constexpr BgrColour kWhite = 0xFFFFFF;

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;

  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // The size of the picture in pixels (never negative).
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;

  // The colours of the following fills: outline and interior.
  virtual void SetPen(BgrColour colour) = 0;
  virtual void SetBrush(BgrColour colour) = 0;

  // A rectangle from (left, top) up to but not including (right, bottom), outlined with the pen
  // and filled with the brush.
  virtual void FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom) = 0;

  // A closed polygon (the last point joins the first), outlined with the pen and filled with the
  // brush by the even-odd rule. Any coordinates may be given; what lies outside the picture is
  // simply not visible. The points are only read during the call.
  virtual void FillPolygon(std::span<const ScreenPoint> points) = 0;

  // An open polyline through the points in order, drawn with the pen one pixel wide; the brush
  // is not used. Coordinates as for FillPolygon; the points are only read during the call. Only
  // overlays over the scene draw lines (the path overlay); a canvas that has no lines yet draws
  // nothing here, which leaves the scene itself complete.
  virtual void DrawPolyline(std::span<const ScreenPoint> /*points*/) {}

  // The picture is complete: show it (repaint the image control).
  virtual void Present() {}
};

}  // namespace soustruh
