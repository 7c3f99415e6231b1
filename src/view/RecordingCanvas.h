#pragma once
// A canvas that remembers what was drawn on it instead of drawing, for tests and benchmarks. Every
// fill is kept with the pen and brush in force; the points of all polygons share one buffer, so a
// recording that is cleared and refilled each frame allocates nothing once it has grown.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Canvas.h"

namespace soustruh {

class RecordingCanvas : public Canvas {
 public:
  enum class Kind { Rect, Polygon, Polyline };

  struct DrawCall {
    Kind kind = Kind::Polygon;
    BgrColour pen = 0;
    BgrColour brush = 0;
    std::size_t first = 0;  // into the shared point buffer
    std::size_t count = 0;  // 2 for a rectangle: top left, bottom right (exclusive)
  };

  RecordingCanvas(std::int32_t width, std::int32_t height);

  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void SetPen(BgrColour colour) override { pen_ = colour; }
  void SetBrush(BgrColour colour) override { brush_ = colour; }
  void FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                std::int32_t bottom) override;
  void FillPolygon(std::span<const ScreenPoint> points) override;
  void DrawPolyline(std::span<const ScreenPoint> points) override;
  void Present() override { ++presented_; }

  // Resizes the picture, as a resized window does; the recording stays.
  void Resize(std::int32_t width, std::int32_t height);
  // Forgets every call, keeping the storage.
  void Clear();

  const std::vector<DrawCall>& calls() const { return calls_; }
  std::span<const ScreenPoint> Points(const DrawCall& call) const;
  // The calls filled with `brush`, in order.
  std::vector<DrawCall> CallsWithBrush(BgrColour brush) const;
  // How many complete pictures were presented.
  int presented() const { return presented_; }

 private:
  std::int32_t width_;
  std::int32_t height_;
  BgrColour pen_ = 0;
  BgrColour brush_ = 0;
  std::vector<DrawCall> calls_;
  std::vector<ScreenPoint> points_;
  int presented_ = 0;
};

}  // namespace soustruh
