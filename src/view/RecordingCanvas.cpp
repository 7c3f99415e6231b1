#include "view/RecordingCanvas.h"

#include <algorithm>

namespace soustruh {

RecordingCanvas::RecordingCanvas(std::int32_t width, std::int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {}

void RecordingCanvas::FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                               std::int32_t bottom) {
  calls_.push_back(DrawCall{Kind::Rect, pen_, brush_, points_.size(), 2});
  points_.push_back(ScreenPoint{left, top});
  points_.push_back(ScreenPoint{right, bottom});
}

void RecordingCanvas::FillPolygon(std::span<const ScreenPoint> points) {
  calls_.push_back(DrawCall{Kind::Polygon, pen_, brush_, points_.size(), points.size()});
  points_.insert(points_.end(), points.begin(), points.end());
}

void RecordingCanvas::DrawPolyline(std::span<const ScreenPoint> points) {
  calls_.push_back(DrawCall{Kind::Polyline, pen_, brush_, points_.size(), points.size()});
  points_.insert(points_.end(), points.begin(), points.end());
}

void RecordingCanvas::Resize(std::int32_t width, std::int32_t height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
}

void RecordingCanvas::Clear() {
  calls_.clear();
  points_.clear();
}

std::span<const ScreenPoint> RecordingCanvas::Points(const DrawCall& call) const {
  return std::span<const ScreenPoint>(points_).subspan(call.first, call.count);
}

std::vector<RecordingCanvas::DrawCall> RecordingCanvas::CallsWithBrush(BgrColour brush) const {
  std::vector<DrawCall> found;
  for (const DrawCall& call : calls_)
    if (call.brush == brush) found.push_back(call);
  return found;
}

}  // namespace soustruh
