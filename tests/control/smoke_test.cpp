#include <gtest/gtest.h>

#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

using test::SimulatorFixture;

TEST_F(SimulatorFixture, Smoke) {
  StartMachine();
  Reference();
  EXPECT_EQ(sim.state().Active.X, sim.config().RefX);
  EXPECT_TRUE(RunProgram({"N10 G00 X100. Z200.", "N20 G25 L100", "N30 M30", "N100 G01 Z180. F200",
                          "N110 M17"}));
  EXPECT_EQ(sim.state().Status.text, "");
  EXPECT_EQ(sim.state().LineIndex, -1);
  std::printf("t=%u X=%d Z=%d blocks=%llu\n", host.Now(), sim.state().Active.X, sim.state().Active.Z,
              static_cast<unsigned long long>(sim.state().BlocksExecuted));
}

}  // namespace
}  // namespace soustruh
