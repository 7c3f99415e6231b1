#include "workpiece/QuillContact.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "nc/FunctionGroups.h"
#include "platform/Numbers.h"
#include "workpiece/LineGeometry.h"

namespace soustruh {

namespace {

// The spindle axis, r = 0.
constexpr LineEquation kSpindleAxis{0, -100, 0};

PlanePoint ToPlane(const ClipPoint& point) {
  return PlanePoint{static_cast<long double>(point.X), static_cast<long double>(point.Y)};
}

}  // namespace

long double StockFaceZ(const StockSection& stock) {
  // Every edge counts, the closing one included, and in either direction: the clipping engine
  // starts its output polygons anywhere and orients them its own way, so after a cut the face is
  // as likely to be the closing edge, and to run toward the chuck, as not.
  long double face = 0;
  for (const TPolygon& polygon : stock) {
    const std::size_t count = polygon.size();
    if (count < 2) continue;
    for (std::size_t k = 0; k < count; ++k) {
      const ClipPoint& from = polygon[k == 0 ? count - 1 : k - 1];
      const ClipPoint& to = polygon[k];
      const LineEquation edge = LineCoefficients(ToPlane(from), ToPlane(to), 1);
      const std::optional<PlanePoint> crossing = LineIntersection(edge, kSpindleAxis);
      if (!crossing) continue;
      const auto low = static_cast<long double>(std::min(from.X, to.X));
      const auto high = static_cast<long double>(std::max(from.X, to.X));
      if (crossing->z < low || crossing->z > high) continue;
      face = std::max(face, crossing->z);
    }
  }
  return face;
}

QuillContactResult QuillContactCheck(const StockSection& stock, std::int32_t quillTipX,
                                     std::int32_t w, std::int32_t minW) {
  QuillContactResult result;
  result.w = w;
  const long double face = StockFaceZ(stock);
  const std::int64_t tip = std::int64_t{quillTipX} - w;
  if (face > 0 && static_cast<long double>(tip) < face) {
    // The tip is inside the stock, so the new W is below the old one; it can fall below the
    // 32-bit range only for a face beyond any machine, where it stops at the range's end.
    const long double placed = static_cast<long double>(quillTipX) - RoundHalfEven(face);
    const auto lowest = static_cast<long double>(std::numeric_limits<std::int32_t>::min());
    result.w = static_cast<std::int32_t>(std::max(placed, lowest));
    result.targetW = result.w;
    result.contact = true;
  }
  if (result.contact || result.w == minW) {
    result.lamp = QuillLamp::Green;
    result.quillState = result.w == minW ? kQuillRetracted : kQuillForward;
  } else {
    result.lamp = QuillLamp::Red;
    result.quillState = kQuillUndefined;
  }
  return result;
}

}  // namespace soustruh
