#pragma once
// A point of the tool carrier in machine coordinates and the polyline a block moves along.
//
// Lengths are in length units of 0.0001 mm. X is a radius (distance from the spindle axis), not
// a diameter. The ZX plane is seen with +Z to the right and +X upward.

#include <cstdint>
#include <iosfwd>
#include <vector>

namespace soustruh {

struct MachinePoint {
  std::int64_t Z = 0;
  std::int64_t X = 0;

  bool operator==(const MachinePoint&) const = default;
};

// The points the tool carrier passes during one block, in order. The interpreter writes it for
// arcs and compensated contours; the motion simulation follows it and empties it at the last
// point. Empty means a straight move to the block's end point.
using BlockPath = std::vector<MachinePoint>;

// Writes "(Z <z>, X <x>)" in length units; for logs and test failure messages.
std::ostream& operator<<(std::ostream& os, const MachinePoint& point);

}  // namespace soustruh
