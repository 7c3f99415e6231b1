#pragma once
// The interpreter record: the modal state of the NC interpreter together with the words of the
// block being interpreted. The machine keeps two of them: `Active` (what the machine is doing
// now) and `Target` (the block being executed, in program coordinates).
//
// Lengths are in length units of 0.0001 mm. X is a diameter; every other X-direction quantity
// (I, offsets, corrections, nose radius and offsets) is a radius.

#include <array>
#include <cstdint>

namespace soustruh {

inline constexpr int kGGroupCount = 11;
inline constexpr int kMGroupCount = 4;
inline constexpr int kNoFunction = -1;  // a G or M group with no function in force

struct NcBlock {
  // In Target the programmed X (diameter); in Active the machine X of the tool carrier, doubled.
  std::int32_t X = 0;
  // In Target the programmed Z; in Active the machine Z.
  std::int32_t Z = 0;
  // Tailstock quill position. Written only by the machine simulation, never by the parser.
  std::int32_t W = 0;
  // Arc centre offset from the start point: I along X (a radius), K along Z. 0 at block start.
  std::int32_t I = 0;
  std::int32_t K = 0;
  // Arc radius, sqrt(I² + K²) rounded, computed at the end of an arc block. 0 at block start.
  std::int32_t R = 0;
  // L of a motion block, written number times 1000. Kept for the record only. 0 at block start.
  std::int32_t LValue = 0;
  // In Active the radius of the clamped stock; the interpreter never reads or writes it.
  std::int32_t StockRadius = 0;
  // Programmed feed, the number as written (mm/min under G94, µm/rev under G95).
  std::int32_t F = 0;
  // The feed the program driver chose for the current motion.
  std::int32_t FeedInUse = 0;
  // Programmed spindle speed in 1/min (under G96 the cutting speed in m/min).
  std::int32_t S = 0;
  // Spindle speed limit set by G92, 1/min; -1 = none.
  std::int32_t SLimit = -1;
  // Tool: turret position number.
  std::int32_t T = 0;
  // Correction number (second digit pair of the T word); 0 = none.
  std::int32_t D = 0;
  // Block number given with G25/G27; -1 = none. Reset at block start.
  std::int32_t LTarget = -1;
  // The block contains a movement. Cleared at block start.
  bool Motion = false;
  // The block carries the optional-skip mark "/". Cleared at block start.
  bool Skip = false;
  // The G number in force per G group 0..10, kNoFunction for none. Groups 3 and 6 live for one
  // block; the others are modal.
  std::array<int, kGGroupCount> G = {0, 97, 94, kNoFunction, 53, 56, kNoFunction, 71, 90, 40, 18};
  // The M number in force per M group 0..3. Group 1 lives for one block.
  std::array<int, kMGroupCount> M = {5, kNoFunction, 9, 20};
  // Active work offset (X a radius).
  std::int32_t OffsetX = 0;
  std::int32_t OffsetZ = 0;
  // Active tool correction (X a radius), nose radius and nose offsets.
  std::int32_t CorrX = 0;
  std::int32_t CorrZ = 0;
  std::int32_t NoseRadius = 0;
  std::int32_t NoseOffsetX = 0;
  std::int32_t NoseOffsetZ = 0;

  bool operator==(const NcBlock&) const = default;
};

// Puts the record into its default modal state (G00 G97 G94 G53 G56 G71 G90 G40 G18, M05 M09
// M20, no feed, speed, limit, correction or offsets, flags cleared). Leaves X, Z, W, I, K, R,
// LValue, StockRadius, T and LTarget untouched. A default-constructed NcBlock is already in this
// state with every position 0.
void ResetNcBlock(NcBlock& block);

}  // namespace soustruh
