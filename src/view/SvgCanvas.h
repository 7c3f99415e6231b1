#pragma once
// A canvas that writes the picture as an SVG document, so the view can be looked at without a
// window (the command line's snapshots, bug reports). Colours arrive blue-green-red and are
// written as "#RRGGBB"; polygons are filled by the even-odd rule, outlined one pixel wide, and
// polylines drawn one pixel wide.

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/Canvas.h"

namespace soustruh {

// A blue-green-red colour as "#RRGGBB" (upper-case hexadecimal); bits above 24 are ignored.
std::string SvgColour(BgrColour colour);

class SvgCanvas : public Canvas {
 public:
  SvgCanvas(std::int32_t width, std::int32_t height);

  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void SetPen(BgrColour colour) override { pen_ = colour; }
  void SetBrush(BgrColour colour) override { brush_ = colour; }
  void FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                std::int32_t bottom) override;
  void FillPolygon(std::span<const ScreenPoint> points) override;
  void DrawPolyline(std::span<const ScreenPoint> points) override;
  // Each presented picture replaces the previous one; until then the drawing grows.
  void Present() override;

  // The whole document of the last presented picture, or of the drawing so far when none was.
  std::string Document() const;
  // Writes Document() to `path`, replacing the file. Empty on success, else the failure.
  std::string Save(const std::filesystem::path& path) const;

 private:
  std::string Attributes() const;

  std::int32_t width_;
  std::int32_t height_;
  BgrColour pen_ = 0;
  BgrColour brush_ = 0;
  std::string body_;       // elements drawn since the last Present
  std::string presented_;  // elements of the last presented picture
  bool hasPresented_ = false;
};

}  // namespace soustruh
