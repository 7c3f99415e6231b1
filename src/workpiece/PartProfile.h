#pragma once
// The profile of the turned part: the outer radius of the stock's section as a function of Z on
// the tool side of the axis, in the workpiece coordinates of a work offset. The section is kept
// symmetric by the removal pass, so the upper half describes the whole part; a bore or a groove
// hidden under the outer contour does not show in it.
//
// Units: length units (0.0001 mm) unless a name says mm. z = model Z − work offset Z (the
// workpiece Z a program uses, negative toward the chuck when the offset sits on the face);
// r = model radius − work offset X (a radius, never negative). Diameters are 2 r.
//
// Faces: a profile is a polyline in increasing z; where the radius jumps (a shoulder, the free
// end, the back of the stock in the jaws) two consecutive points share their z.

#include <cstdint>
#include <optional>
#include <vector>

#include "machine/WorkOffsetTable.h"
#include "workpiece/StockSection.h"

namespace soustruh {

// Where the workpiece system lies in the model plane: model Z and radius of its zero.
struct WorkpieceFrame {
  std::int32_t offsetX = 0;  // radius
  std::int32_t offsetZ = 0;

  friend bool operator==(const WorkpieceFrame&, const WorkpieceFrame&) = default;
};

// The frame of work offset `code` (54, 55, 57, 58, 59) as its texts in the table read now (with
// the interpreter's decimal reader). 53 or any code outside the table, and a text that does not
// read, give 0: the machine's own coordinates.
WorkpieceFrame FrameOfOffset(const WorkOffsetTable& table, int code);

struct ProfilePoint {
  std::int64_t z = 0;
  std::int64_t r = 0;

  friend bool operator==(const ProfilePoint&, const ProfilePoint&) = default;
};

struct PartProfile {
  // From (zMin, 0) up the back face, along the outer contour, down the free end to (zMax, 0).
  // Collinear points are dropped. Empty when the section holds no material above the axis.
  std::vector<ProfilePoint> points;

  bool empty() const { return points.empty(); }
  std::int64_t zMin() const { return points.empty() ? 0 : points.front().z; }
  std::int64_t zMax() const { return points.empty() ? 0 : points.back().z; }
};

// The upper envelope of every polygon of the section (what a caliper would meet), shifted into
// `frame`. A Z where the section holds nothing above the axis (a part cut through) has radius 0.
PartProfile ProfileOf(const StockSection& section, const WorkpieceFrame& frame);

// The radius at z, the larger of the two at a face; nothing outside zMin .. zMax.
std::optional<std::int64_t> RadiusAt(const PartProfile& profile, std::int64_t z);
std::optional<std::int64_t> DiameterAt(const PartProfile& profile, std::int64_t z);

struct ProfileFace {
  std::int64_t z = 0;
  std::int64_t rBefore = 0;  // radius on the side of smaller z
  std::int64_t rAfter = 0;   // radius on the side of larger z
};

// Every face in increasing z, the back of the stock and its free end included; two faces closer
// than 0.005 mm bound a sliver between the sweeps of the insert and are left out.
std::vector<ProfileFace> Faces(const PartProfile& profile);

// The distance along Z between the face nearest zA and the face nearest zB; nothing for a
// profile without faces.
std::optional<std::int64_t> LengthBetweenFaces(const PartProfile& profile, std::int64_t zA,
                                               std::int64_t zB);

// A stretch of the contour between two faces: a cylinder (rFrom == rTo) or a run of cones and
// arcs joined without a face (a chamfer, a radius, a taper). zFrom < zTo.
struct ProfileStep {
  std::int64_t zFrom = 0;
  std::int64_t zTo = 0;
  std::int64_t rFrom = 0;  // radius at zFrom
  std::int64_t rTo = 0;    // radius at zTo

  bool Cylinder() const { return rFrom == rTo; }
};

// The steps in increasing z. Stretches on the axis (radius 0 throughout) and stretches shorter
// than 0.005 mm (slivers between the sweeps of the insert) are left out; cones on either side of
// such a sliver make one step, and so do cylinders of one diameter.
std::vector<ProfileStep> Steps(const PartProfile& profile);

// How far a part departs from a reference part, in mm on the radius side of the section:
// leftOver is the largest distance from a point of the part's contour lying outside the
// reference to the reference's contour (material left on); tooDeep is the largest distance from
// a point of the reference's contour lying outside the part to the part's contour (cut too
// deep). On a cylinder that is the difference of the radii, on a face the error of its Z, so a
// face 0.02 mm out weighs 0.02 mm and not the height of its shoulder. Both are 0 for identical
// parts. The contours are sampled every 0.001 mm, so a value may fall short by 0.0005 mm.
struct ProfileDeviation {
  double leftOverMm = 0;
  double tooDeepMm = 0;
  // Where each was found: the point on the outer contour and its nearest point on the inner one
  // (workpiece units); meaningful only when the distance is above 0.
  ProfilePoint leftOverAt, leftOverTo;
  ProfilePoint tooDeepAt, tooDeepTo;
};

// The deviation over the contour points with zFrom ≤ z ≤ zTo (distances are still measured to
// the whole other contour).
ProfileDeviation CompareProfiles(const PartProfile& part, const PartProfile& reference,
                                 std::int64_t zFrom, std::int64_t zTo);

}  // namespace soustruh
