#include "nc/NcBlock.h"

namespace soustruh {

void ResetNcBlock(NcBlock& block) {
  const NcBlock defaults;
  block.G = defaults.G;
  block.M = defaults.M;
  block.F = 0;
  block.FeedInUse = 0;
  block.S = 0;
  block.SLimit = -1;
  block.D = 0;
  block.OffsetX = 0;
  block.OffsetZ = 0;
  block.CorrX = 0;
  block.CorrZ = 0;
  block.NoseRadius = 0;
  block.NoseOffsetX = 0;
  block.NoseOffsetZ = 0;
  block.Motion = false;
  block.Skip = false;
}

}  // namespace soustruh
