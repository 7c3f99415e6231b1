#include <gtest/gtest.h>

#include "support/SimulatorFixture.h"

namespace soustruh {
namespace {

using Resume = test::SimulatorFixture;

TEST_F(Resume, AnInterruptedIncrementalBlockEndsWhereItWasProgrammedTo) {
  StartMachine();
  Reference();
  const std::int32_t z0 = sim.state().Active.Z;
  sim.SetProgram({"G91 G01 Z-10. F100"});
  sim.B_AutomatClick();
  sim.B_StartClick();
  host.Advance(2000);  // about 3.3 mm of the 10 mm
  sim.B_StopClick();
  host.Advance(200);
  ASSERT_GT(sim.state().Active.Z, z0 - 100000);
  ASSERT_LT(sim.state().Active.Z, z0);
  sim.B_StartClick();
  ASSERT_TRUE(host.RunUntil([&] { return !sim.state().ProgramRunning; }, 60000));
  EXPECT_EQ(sim.state().Status.text, "");
  EXPECT_EQ(sim.state().Active.Z, z0 - 100000);
}

TEST_F(Resume, AQuillClampingTheStockEndsItsMotionAndTheProgramGoesOn) {
  StartMachine();
  Reference();
  ASSERT_EQ(sim.state().Active.M[3], kQuillRetracted);
  ASSERT_TRUE(RunProgram({"M21", "G00 X200. Z200."}));
  EXPECT_EQ(sim.state().Status.text, "");
  EXPECT_EQ(sim.state().Active.M[3], kQuillForward);
  EXPECT_TRUE(sim.state().QuillLampGreen);
  EXPECT_EQ(sim.state().Active.Z, 2000000);
  EXPECT_EQ(sim.state().Active.X, 2000000);
}

}  // namespace
}  // namespace soustruh
