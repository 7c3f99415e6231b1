#pragma once
// The machine view's canvas in the window: the scene draws into an off-screen QImage through a
// QPainter, and Present() hands the finished picture to whoever shows it.
//
// Drawing follows the platform's classic raster rules: no antialiasing, a one-pixel cosmetic
// pen, polygons filled by the even-odd rule and outlined with the pen, rectangles from (left, top)
// up to but not including (right, bottom). Pens and brushes are cached per colour and the point
// buffer is kept between calls, so a warm canvas allocates nothing while drawing a frame.
//
// Single-threaded: drawing and presenting happen on the GUI thread.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "platform/Canvas.h"

namespace soustruh::ui {

// A data-file colour (blue-green-red, 0x0000FF is red) as a Qt colour.
inline QColor ToQColor(BgrColour bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

class QtCanvas : public Canvas {
 public:
  // An empty (0 × 0) picture until Resize.
  QtCanvas();
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

  // A new picture of the given size (negative sizes count as 0); its content is white. What was
  // drawn before is gone, as with a bitmap re-created after a resize.
  void Resize(int width, int height);

  std::int32_t Width() const override { return image_.width(); }
  std::int32_t Height() const override { return image_.height(); }
  void SetPen(BgrColour colour) override;
  void SetBrush(BgrColour colour) override;
  void FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                std::int32_t bottom) override;
  void FillPolygon(std::span<const ScreenPoint> points) override;
  void DrawPolyline(std::span<const ScreenPoint> points) override;
  // Ends the frame's painting and calls the present callback (the view repaints itself).
  void Present() override;

  // The finished picture; valid between Present() and the next drawing call.
  const QImage& image() const { return image_; }
  void SetPresentCallback(std::function<void()> callback) { onPresent_ = std::move(callback); }

 private:
  QPainter& Painter();
  const QPen& PenFor(BgrColour colour);
  const QBrush& BrushFor(BgrColour colour);

  QImage image_;
  QPainter painter_;
  BgrColour pen_ = 0;
  BgrColour brush_ = 0;
  bool penDirty_ = true;
  bool brushDirty_ = true;
  std::unordered_map<BgrColour, QPen> pens_;
  std::unordered_map<BgrColour, QBrush> brushes_;
  std::vector<QPoint> points_;
  std::function<void()> onPresent_;
};

}  // namespace soustruh::ui
