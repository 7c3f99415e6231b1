#include "view/ViewMapping.h"

#include <cmath>
#include <limits>

#include "control/Simulator.h"
#include "platform/Numbers.h"

namespace soustruh {
namespace {

constexpr long double kUnitsPerMm = 10000.0L;

std::int64_t RoundToModel(long double value) {
  if (std::isnan(value)) return 0;
  const long double limit = static_cast<long double>(ClipCoordinateLimit);
  const long double rounded = RoundHalfEven(value);
  if (rounded >= limit) return ClipCoordinateLimit;
  if (rounded <= -limit) return -ClipCoordinateLimit;
  return static_cast<std::int64_t>(rounded);
}

}  // namespace

ViewMapping MappingOf(const MachineState& state) {
  return ViewMapping{state.ViewScale, state.ViewOriginX, state.ViewOriginY};
}

void StoreMapping(MachineState& state, const ViewMapping& mapping) {
  state.ViewScale = mapping.scale;
  state.ViewOriginX = mapping.originX;
  state.ViewOriginY = mapping.originY;
}

std::int32_t RoundToInt32(long double value) {
  if (std::isnan(value)) return 0;
  // rint rounds in the current mode, which this program never changes from the default: to
  // nearest, ties to even (as RoundHalfEven, at a fraction of its cost for every drawn point).
  const long double rounded = std::rint(value);
  if (rounded >= static_cast<long double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (rounded <= static_cast<long double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(rounded);
}

std::int32_t ScreenX(const ViewMapping& mapping, std::int64_t h) {
  return RoundToInt32(static_cast<long double>(h) / kUnitsPerMm *
                          static_cast<long double>(mapping.scale) +
                      static_cast<long double>(mapping.originX));
}

std::int32_t ScreenY(const ViewMapping& mapping, std::int64_t v) {
  return RoundToInt32(static_cast<long double>(mapping.originY) -
                      static_cast<long double>(v) / kUnitsPerMm *
                          static_cast<long double>(mapping.scale));
}

ScreenPoint ModelToScreen(const ViewMapping& mapping, std::int64_t h, std::int64_t v) {
  return ScreenPoint{ScreenX(mapping, h), ScreenY(mapping, v)};
}

std::optional<ClipPoint> ScreenToModel(const ViewMapping& mapping, std::int32_t x, std::int32_t y) {
  if (mapping.scale == 0) return std::nullopt;
  const long double scale = mapping.scale;
  const long double dx = static_cast<long double>(std::int64_t{x} - mapping.originX);
  const long double dy = static_cast<long double>(std::int64_t{mapping.originY} - y);
  return ClipPoint{RoundToModel(dx * kUnitsPerMm / scale), RoundToModel(dy * kUnitsPerMm / scale)};
}

FitResult FirstFit(const DrawingBounds& bounds, double imageWidth, double imageHeight) {
  FitResult result;
  const double freeWidth = imageWidth - 2 * kFitMargin;
  const double freeHeight = imageHeight - 2 * kFitMargin;
  if (bounds.IsEmpty() || !(freeWidth > 0) || !(freeHeight > 0)) return result;
  const double spanX = (static_cast<double>(bounds.maxX) - bounds.minX) / 10000.0;
  const double spanY = (static_cast<double>(bounds.maxY) - bounds.minY) / 10000.0;
  double scale = kFallbackViewScale;
  if (spanX > 0 && spanY > 0) {
    const double sx = freeWidth / spanX;
    const double sy = freeHeight / spanY;
    scale = sy < sx ? sy : sx;
  } else if (spanX > 0) {
    scale = freeWidth / spanX;
  } else if (spanY > 0) {
    scale = freeHeight / spanY;
  }
  result.degenerate = !(spanX > 0 && spanY > 0);
  result.fitted = true;
  result.mapping.scale = scale;
  result.mapping.originX =
      RoundToInt32(kFitMargin - static_cast<long double>(bounds.minX) / kUnitsPerMm * scale);
  result.mapping.originY =
      RoundToInt32(static_cast<long double>(bounds.maxY) / kUnitsPerMm * scale + kFitMargin);
  return result;
}

ViewMapping RescaleView(const ViewMapping& mapping, double oldWidth, double oldHeight,
                        double newWidth) {
  if (std::fabs(oldWidth) <= 1e-8 || std::fabs(oldHeight) <= 1e-8) return mapping;
  const double r = newWidth / oldWidth;
  return ViewMapping{mapping.scale * r, RoundToInt32(static_cast<long double>(mapping.originX) * r),
                     RoundToInt32(static_cast<long double>(mapping.originY) * r)};
}

ViewMapping PanView(const ViewMapping& mapping, std::int64_t dx, std::int64_t dy) {
  return ViewMapping{mapping.scale, RoundToInt32(static_cast<long double>(mapping.originX + dx)),
                     RoundToInt32(static_cast<long double>(mapping.originY + dy))};
}

std::optional<ViewMapping> WheelZoom(const ViewMapping& mapping, std::int32_t x, std::int32_t y,
                                     std::int32_t imageWidth, std::int32_t imageHeight, bool up) {
  if (x < 0 || std::int64_t{x} >= std::int64_t{imageWidth} - 1 || y < 0 ||
      std::int64_t{y} >= std::int64_t{imageHeight} - 1)
    return std::nullopt;
  const std::optional<ClipPoint> under = ScreenToModel(mapping, x, y);
  if (!under) return std::nullopt;
  ViewMapping zoomed = mapping;
  zoomed.scale = up ? mapping.scale * kWheelZoomFactor : mapping.scale / kWheelZoomFactor;
  if (zoomed.scale < kMinWheelScale) zoomed.scale = kMinWheelScale;
  if (zoomed.scale > kMaxWheelScale) zoomed.scale = kMaxWheelScale;
  const ScreenPoint moved = ModelToScreen(zoomed, under->X, under->Y);
  return PanView(zoomed, std::int64_t{x} - moved.x, std::int64_t{y} - moved.y);
}

void ViewNavigator::FormResize(std::int32_t oldWidth, std::int32_t oldHeight,
                               std::int32_t imageWidth, std::int32_t imageHeight) {
  MachineState& state = sim_.state();
  const ViewMapping mapping = MappingOf(state);
  if (mapping.scale != 0) {
    StoreMapping(state, RescaleView(mapping, oldWidth, oldHeight, imageWidth));
  } else {
    const FitResult fit = FirstFit(sim_.data().bounds, imageWidth, imageHeight);
    if (fit.fitted) StoreMapping(state, fit.mapping);
    if (fit.degenerate && !degenerateReported_) {
      degenerateReported_ = true;
      sim_.host().ShowMessage(kDegenerateDrawingMessage);
    }
  }
  sim_.SceneRedraw();
}

void ViewNavigator::I_StrojMouseDown(MouseButton button, std::int32_t x, std::int32_t y) {
  if (button == MouseButton::Middle) panAnchor_ = ScreenPoint{x, y};
}

void ViewNavigator::I_StrojMouseMove(bool middleHeld, std::int32_t x, std::int32_t y) {
  if (!middleHeld) return;
  MachineState& state = sim_.state();
  StoreMapping(state, PanView(MappingOf(state), std::int64_t{x} - panAnchor_.x,
                              std::int64_t{y} - panAnchor_.y));
  sim_.SceneRedraw();
  panAnchor_ = ScreenPoint{x, y};
}

bool ViewNavigator::MouseWheel(bool up, std::int32_t x, std::int32_t y, std::int32_t imageWidth,
                               std::int32_t imageHeight) {
  MachineState& state = sim_.state();
  const std::optional<ViewMapping> zoomed =
      WheelZoom(MappingOf(state), x, y, imageWidth, imageHeight, up);
  if (!zoomed) return false;
  StoreMapping(state, *zoomed);
  sim_.SceneRedraw();
  return true;
}

}  // namespace soustruh
