#pragma once
// The world-to-screen mapping of the machine view and the ways the user changes it: the fit at the
// first sizing, the rescale at every resize, panning with the middle mouse button and zooming with
// the wheel about the cursor.
//
// Model coordinates: horizontal = machine Z, vertical = radial distance from the spindle axis
// (positive on the tool side, drawn upward), in length units (0.0001 mm). Screen coordinates:
// pixels of the picture, y downward. The mapping is
//   x = round(h / 10000 × scale + originX),  y = round(originY − v / 10000 × scale)
// in extended precision, rounded to nearest with ties to even and held to 32 bits (a result beyond
// the range takes the nearest end). `scale` is in pixels per millimetre; 0 marks a view that has
// not been fitted yet.

#include <cstdint>
#include <optional>

#include "machine/MachineDrawing.h"
#include "platform/Canvas.h"
#include "workpiece/Clipping.h"

namespace soustruh {

class Simulator;
struct MachineState;

struct ViewMapping {
  double scale = 0;          // pixels per millimetre; 0 = not fitted
  std::int32_t originX = 0;  // the pixel of model point (0, 0)
  std::int32_t originY = 0;

  friend bool operator==(const ViewMapping&, const ViewMapping&) = default;
};

// The mapping kept in the machine state (ViewScale, ViewOriginX, ViewOriginY).
ViewMapping MappingOf(const MachineState& state);
void StoreMapping(MachineState& state, const ViewMapping& mapping);

// Wheel zoom: the factor of one wheel step and the range of the scale (pixels per millimetre).
inline constexpr double kWheelZoomFactor = 1.1;
inline constexpr double kMinWheelScale = 0.3;
inline constexpr double kMaxWheelScale = 150;
// The first fit leaves this many pixels free at the left and top edges.
inline constexpr std::int32_t kFitMargin = 4;
// The scale of a fit to a machine drawing without width and height (pixels per millimetre).
inline constexpr double kFallbackViewScale = 4;

// Reported once when the machine drawing has no width or no height to fit the view to.
inline constexpr const char* kDegenerateDrawingMessage =
    "Výkres stroje v souboru GeoStroj.dat nemá šířku nebo výšku; pohled má náhradní měřítko.";

// A real number rounded to nearest, ties to even, held to the 32-bit range; NaN gives 0.
std::int32_t RoundToInt32(long double value);

std::int32_t ScreenX(const ViewMapping& mapping, std::int64_t h);
std::int32_t ScreenY(const ViewMapping& mapping, std::int64_t v);
ScreenPoint ModelToScreen(const ViewMapping& mapping, std::int64_t h, std::int64_t v);

// The model point under a pixel: h = round((x − originX) × 10000 / scale),
// v = round((originY − y) × 10000 / scale), ties to even, held to ±ClipCoordinateLimit. Nothing
// while the view is not fitted (scale 0).
std::optional<ClipPoint> ScreenToModel(const ViewMapping& mapping, std::int32_t x, std::int32_t y);

struct FitResult {
  ViewMapping mapping;      // unchanged (scale 0) when not fitted
  bool fitted = false;      // false: no drawing yet, or a picture too small to hold the margins
  bool degenerate = false;  // the drawing has no width or no height; a fallback was used
};

// The first fit: the largest scale at which the drawing's bounding box fits into the picture less
// a margin of 4 pixels on each side, the box's left edge 4 pixels from the picture's left and its
// top 4 pixels from the top. A box without width (or height) is fitted by its other dimension
// alone, a box that is a single point at kFallbackViewScale; both are marked degenerate. Nothing
// is fitted while the box is empty (no drawing read yet) or the picture is 8 pixels or less in
// either dimension, so a later sizing fits it.
FitResult FirstFit(const DrawingBounds& bounds, double imageWidth, double imageHeight);

// The rescale at a resize: scale and both origins times newWidth / oldWidth (the width ratio alone
// serves both axes). Unchanged when either old dimension is at most 1e-8 (no picture before).
ViewMapping RescaleView(const ViewMapping& mapping, double oldWidth, double oldHeight,
                        double newWidth);

// The mapping shifted by (dx, dy) pixels, held to 32 bits.
ViewMapping PanView(const ViewMapping& mapping, std::int64_t dx, std::int64_t dy);

// One wheel step about pixel (x, y): the scale times 1.1 (up) or divided by 1.1 (down), held to
// 0.3 .. 150, and the origin moved so the model point under the cursor stays there. Nothing when
// the view is not fitted or the cursor is outside 0 ≤ x < width − 1, 0 ≤ y < height − 1.
std::optional<ViewMapping> WheelZoom(const ViewMapping& mapping, std::int32_t x, std::int32_t y,
                                     std::int32_t imageWidth, std::int32_t imageHeight, bool up);

enum class MouseButton { Left, Middle, Right };

// The view's handlers on the simulator's mapping: each changes ViewScale and the origins in the
// machine state and redraws the scene. Keeps the pan anchor and whether the degenerate drawing was
// reported.
class ViewNavigator {
 public:
  explicit ViewNavigator(Simulator& simulator) : sim_(simulator) {}

  // The window was resized: the picture drawn so far was oldWidth × oldHeight (0 × 0 when there
  // was none), the image is now imageWidth × imageHeight. Fits the view the first time (reporting
  // a drawing without width or height once through the host), rescales it afterwards, and redraws.
  void FormResize(std::int32_t oldWidth, std::int32_t oldHeight, std::int32_t imageWidth,
                  std::int32_t imageHeight);
  // A button went down at image pixel (x, y); the middle one anchors a pan.
  void I_StrojMouseDown(MouseButton button, std::int32_t x, std::int32_t y);
  // The mouse moved to (x, y); pans and redraws only while the middle button is held.
  void I_StrojMouseMove(bool middleHeld, std::int32_t x, std::int32_t y);
  // A wheel step (up: away from the user) with the cursor at image pixel (x, y). True when the
  // view was zoomed and redrawn: the window then clears the message's wheel distance.
  bool MouseWheel(bool up, std::int32_t x, std::int32_t y, std::int32_t imageWidth,
                  std::int32_t imageHeight);

  ScreenPoint panAnchor() const { return panAnchor_; }

 private:
  Simulator& sim_;
  ScreenPoint panAnchor_;
  bool degenerateReported_ = false;
};

}  // namespace soustruh
