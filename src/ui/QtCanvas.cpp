#include "ui/QtCanvas.h"

#include <algorithm>

namespace soustruh::ui {

QtCanvas::QtCanvas() = default;

QtCanvas::~QtCanvas() {
  if (painter_.isActive()) painter_.end();
}

void QtCanvas::Resize(int width, int height) {
  if (painter_.isActive()) painter_.end();
  image_ = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
  image_.fill(Qt::white);
  penDirty_ = brushDirty_ = true;
}

QPainter& QtCanvas::Painter() {
  if (!painter_.isActive() && !image_.isNull()) {
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    penDirty_ = brushDirty_ = true;
  }
  if (painter_.isActive()) {
    if (penDirty_) painter_.setPen(PenFor(pen_));
    if (brushDirty_) painter_.setBrush(BrushFor(brush_));
    penDirty_ = brushDirty_ = false;
  }
  return painter_;
}

const QPen& QtCanvas::PenFor(BgrColour colour) {
  auto it = pens_.find(colour);
  if (it == pens_.end()) {
    QPen pen(ToQColor(colour));
    pen.setWidth(0);  // cosmetic: one pixel whatever the transformation
    pen.setJoinStyle(Qt::MiterJoin);
    it = pens_.emplace(colour, pen).first;
  }
  return it->second;
}

const QBrush& QtCanvas::BrushFor(BgrColour colour) {
  auto it = brushes_.find(colour);
  if (it == brushes_.end()) it = brushes_.emplace(colour, QBrush(ToQColor(colour))).first;
  return it->second;
}

void QtCanvas::SetPen(BgrColour colour) {
  if (colour != pen_) penDirty_ = true;
  pen_ = colour;
}

void QtCanvas::SetBrush(BgrColour colour) {
  if (colour != brush_) brushDirty_ = true;
  brush_ = colour;
}

void QtCanvas::FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom) {
  if (right <= left || bottom <= top) return;
  QPainter& p = Painter();
  if (!p.isActive()) return;
  // The outline lies on the rectangle's outermost pixels, the fill inside it. A 1-pixel rect of
  // the raster engine spans width + 1 pixels, hence the - 1.
  const std::int32_t w = right - left;
  const std::int32_t h = bottom - top;
  if (w < 2 || h < 2) {
    p.fillRect(QRect(left, top, w, h), PenFor(pen_).color());
  } else {
    p.drawRect(QRect(left, top, w - 1, h - 1));
  }
}

void QtCanvas::FillPolygon(std::span<const ScreenPoint> points) {
  if (points.size() < 2) return;
  QPainter& p = Painter();
  if (!p.isActive()) return;
  points_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) points_[i] = QPoint(points[i].x, points[i].y);
  p.drawPolygon(points_.data(), static_cast<int>(points_.size()), Qt::OddEvenFill);
}

void QtCanvas::DrawPolyline(std::span<const ScreenPoint> points) {
  if (points.size() < 2) return;
  QPainter& p = Painter();
  if (!p.isActive()) return;
  points_.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) points_[i] = QPoint(points[i].x, points[i].y);
  p.drawPolyline(points_.data(), static_cast<int>(points_.size()));
}

void QtCanvas::Present() {
  if (painter_.isActive()) painter_.end();
  if (onPresent_) onPresent_();
}

}  // namespace soustruh::ui
