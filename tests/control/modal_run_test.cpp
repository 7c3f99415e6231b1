#include <gtest/gtest.h>

#include "nc/FunctionGroups.h"
#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

using ModalRun = test::SimulatorFixture;

TEST_F(ModalRun, SpeedLimitOfG92CapsTheConstantCuttingSpeed) {
  StartMachine();
  Reference();
  ASSERT_TRUE(RunProgram({"G54 T0101", "G92 S2500", "G96 S200 M03", "G00 X2. Z5."}));
  ASSERT_EQ(sim.state().Status.text, "");
  const NcBlock& a = sim.state().Active;
  EXPECT_EQ(a.S, 200);  // the programmed cutting speed is untouched by G92
  EXPECT_EQ(a.SLimit, 2500);
  // At 2 mm diameter 200 m/min would need 31831 1/min.
  EXPECT_EQ(sim.EffectiveRates(a.FeedInUse, a.S).speed, 2500);
}

TEST_F(ModalRun, ACorrectionEditCountsOnlyWhenABlockSelectsAnotherCorrection) {
  StartMachine();
  Reference();
  ASSERT_TRUE(RunProgram({"G54 T0101"}));
  const std::int32_t before = sim.state().Active.CorrZ;
  ToolCorrection changed = sim.data().corrections.Correction(1, sim.interpreter());
  changed.Z += 10000;
  ASSERT_TRUE(sim.data().corrections.ReplaceRow(changed));
  ASSERT_TRUE(RunProgram({"G54 T0101", "G00 X30. Z5."}));
  EXPECT_EQ(sim.state().Active.CorrZ, before);
  ASSERT_TRUE(RunProgram({"G54 T0100", "G54 T0101"}));
  EXPECT_EQ(sim.state().Active.CorrZ, before + 10000);
}

}  // namespace
}  // namespace soustruh
