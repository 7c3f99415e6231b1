#include "nc/ModalState.h"

#include <gtest/gtest.h>

#include "machine/CorrectionTable.h"
#include "machine/MachineConfig.h"
#include "machine/WorkOffsetTable.h"
#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"

namespace soustruh {
namespace {

constexpr std::int32_t kMm = 10000;

class ModalStateTest : public ::testing::Test {
 protected:
  ModalStateTest() : interp(config) {
    config.MaxPosuv = 5000;
    config.MaxOtacky = 4000;
    config.Mist_v_zas = 8;
    corrections.Zero();
  }

  void Parse(std::string_view line) {
    interp.ClearVariables();
    interp.ParseBlock(line, true, false, target);
    ASSERT_EQ(interp.error(), kErrNone) << line;
  }

  void SetCorrection(int number, std::int32_t x, std::int32_t z, std::int32_t r, int l) {
    ASSERT_TRUE(corrections.ReplaceRow(ToolCorrection{number, x, z, r, l, "test"}));
  }

  MachineConfig config;
  NcInterpreter interp;
  CorrectionTable corrections;
  WorkOffsetTable offsets;
  NcBlock active;
  NcBlock target;
};

TEST_F(ModalStateTest, ResetRestoresTheDefaultsButKeepsPositionToolAndQuillCommand) {
  Parse("G91 G42 G95 G96 S200 F150 T0303");
  Parse("G55 G58 M04 M08");
  Parse("M21");
  LoadToolCorrection(active, target, corrections, interp);
  active = target;
  active.X = 12 * kMm;
  active.Z = 34 * kMm;
  active.W = 56 * kMm;
  target.M[kMQuill] = 21;

  ResetRecords(active, target);

  NcBlock expected;
  expected.X = 12 * kMm;
  expected.Z = 34 * kMm;
  expected.W = 56 * kMm;
  expected.T = 3;
  expected.M[kMQuill] = 21;
  expected.LTarget = active.LTarget;
  expected.I = active.I;
  expected.K = active.K;
  expected.R = active.R;
  EXPECT_EQ(active, expected);
  EXPECT_EQ(target, active);

  // A block after Reset moves absolutely, without offsets, compensation or correction.
  Parse("G01 X10. Z0 F100");
  EXPECT_EQ(target.G[kGDimensions], 90);
  EXPECT_EQ(target.G[kGWorkOffset], 53);
  EXPECT_EQ(target.G[kGAdditiveOffset], 56);
  EXPECT_EQ(target.G[kGCompensation], 40);
  EXPECT_EQ(target.D, 0);
  EXPECT_EQ(CommandedPosition(target), (MachinePoint{0, 5 * kMm}));
}

TEST_F(ModalStateTest, WorkOffsetGroupsAddUp) {
  ASSERT_TRUE(offsets.SetOffsetFields(54, "0", "100.", ""));
  ASSERT_TRUE(offsets.SetOffsetFields(55, "2.5", "50.", ""));
  ASSERT_TRUE(offsets.SetOffsetFields(57, "0", "-5.", ""));
  ASSERT_TRUE(offsets.SetOffsetFields(58, "12", "1.", ""));
  struct Case {
    const char* line;
    std::int32_t x, z;
  };
  const Case cases[] = {
      {"G54 G57", 0, 95 * kMm}, {"G55 G58", 25000 + 120, 51 * kMm},  // "12" has no decimal point:
                                                                     // 0.012 mm
      {"G53 G56", 0, 0},        {"G53 G57", 0, -5 * kMm},           {"G54 G56", 0, 100 * kMm},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Parse(c.line);
    ApplyWorkOffsets(active, target, offsets, interp);
    EXPECT_EQ(interp.error(), kErrNone);
    EXPECT_EQ(active.OffsetX, c.x);
    EXPECT_EQ(active.OffsetZ, c.z);
    EXPECT_EQ(target.OffsetX, c.x);
    EXPECT_EQ(target.OffsetZ, c.z);
    EXPECT_EQ(active.G[kGWorkOffset], target.G[kGWorkOffset]);
    EXPECT_EQ(active.G[kGAdditiveOffset], target.G[kGAdditiveOffset]);
  }
}

TEST_F(ModalStateTest, AnOffsetEditCountsFromTheNextApplication) {
  Parse("G54");
  ApplyWorkOffsets(active, target, offsets, interp);
  EXPECT_EQ(active.OffsetZ, 0);
  ASSERT_TRUE(offsets.SetOffsetFields(54, "0", "20.", ""));
  EXPECT_EQ(active.OffsetZ, 0);
  ApplyWorkOffsets(active, target, offsets, interp);
  EXPECT_EQ(active.OffsetZ, 20 * kMm);
}

TEST_F(ModalStateTest, AnUnreadableOffsetCountsAsZeroAndFailsTheBlock) {
  ASSERT_TRUE(offsets.SetOffsetFields(54, "1,5", "7.", ""));
  Parse("G54");
  ApplyWorkOffsets(active, target, offsets, interp);
  EXPECT_NE(interp.error(), kErrNone);
  EXPECT_EQ(active.OffsetX, 0);
  EXPECT_EQ(active.OffsetZ, 7 * kMm);
}

TEST_F(ModalStateTest, ToolCorrectionCarriesTheNoseOffsetsOfItsTipPosition) {
  struct Case {
    int l;
    std::int32_t noseX, noseZ;
  };
  const std::int32_t r = 8000;  // 0.8 mm
  const Case cases[] = {
      {1, r, r}, {2, r, -r}, {3, -r, -r}, {4, -r, r}, {5, 0, r},
      {6, r, 0}, {7, 0, -r}, {8, -r, 0},  {9, 0, 0},  {0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.l);
    SetCorrection(4, -30 * kMm, 12 * kMm, r, c.l);
    target.D = 4;
    active.D = 0;
    LoadToolCorrection(active, target, corrections, interp);
    for (const NcBlock* record : {&active, &target}) {
      EXPECT_EQ(record->CorrX, -30 * kMm);
      EXPECT_EQ(record->CorrZ, 12 * kMm);
      EXPECT_EQ(record->NoseRadius, r);
      EXPECT_EQ(record->NoseOffsetX, c.noseX);
      EXPECT_EQ(record->NoseOffsetZ, c.noseZ);
    }
    EXPECT_EQ(active.D, 4);
  }
}

TEST_F(ModalStateTest, CorrectionZeroAndMissingRowsGiveZeros) {
  SetCorrection(1, kMm, kMm, kMm, 3);
  target.D = 1;
  LoadToolCorrection(active, target, corrections, interp);
  ASSERT_EQ(active.CorrX, kMm);
  for (int d : {0, 150}) {
    SCOPED_TRACE(d);
    target.D = d;
    LoadToolCorrection(active, target, corrections, interp);
    EXPECT_EQ(active.CorrX, 0);
    EXPECT_EQ(active.CorrZ, 0);
    EXPECT_EQ(active.NoseRadius, 0);
    EXPECT_EQ(active.NoseOffsetX, 0);
    EXPECT_EQ(interp.error(), kErrNone);
  }
  // An empty table (a start-up that ended early) gives zeros too.
  CorrectionTable empty;
  target.D = 7;
  LoadToolCorrection(active, target, empty, interp);
  EXPECT_EQ(active.CorrZ, 0);
}

TEST_F(ModalStateTest, CommandedPositionAndItsInverse) {
  Parse("G01 X41. Z-3.5 F100 T0101");
  target.CorrX = -30 * kMm;
  target.CorrZ = 5 * kMm;
  target.OffsetX = 1 * kMm;
  target.OffsetZ = 125 * kMm;
  const MachinePoint p = CommandedPosition(target);
  EXPECT_EQ(p, (MachinePoint{-35000 - 50000 + 1250000, 205000 + 300000 + 10000}));

  // An odd diameter is halved toward zero.
  NcBlock odd;
  odd.X = -3;
  EXPECT_EQ(CommandedPosition(odd).X, -1);

  // The machine standing at that point names the programmed point again.
  active = target;
  active.X = static_cast<std::int32_t>(2 * p.X);
  active.Z = static_cast<std::int32_t>(p.Z);
  NcBlock back = target;
  back.X = back.Z = 0;
  ProgrammedFromMachine(back, active);
  EXPECT_EQ(back.X, 41 * kMm);
  EXPECT_EQ(back.Z, -35000);
}

TEST_F(ModalStateTest, SpeedLimitLeavesTheProgrammedSpeed) {
  Parse("S1200 M03");
  active.S = target.S;
  Parse("G92 S2500");
  EXPECT_EQ(target.S, 2500);
  ApplySpeedLimit(active, target);
  EXPECT_EQ(target.S, 1200);
  EXPECT_EQ(target.SLimit, 2500);
  EXPECT_EQ(active.SLimit, 2500);
  EXPECT_EQ(target.G[kGSpeedLimit], kNoFunction);
  // Not a G92 block: nothing changes.
  Parse("G96 S200 M03");
  ApplySpeedLimit(active, target);
  EXPECT_EQ(target.S, 200);
  EXPECT_EQ(target.SLimit, 2500);
}

TEST_F(ModalStateTest, EndOfProgramResetsBothRecordsButNotPositionsOrTool) {
  Parse("G01 G91 X10. Z-2. F120 S800 M03 T0202");
  active = target;
  active.W = 99;
  EndOfProgramRecords(active, target);
  for (const NcBlock* record : {&active, &target}) {
    EXPECT_EQ(record->G[kGMotion], 0);
    EXPECT_EQ(record->G[kGDimensions], 90);
    EXPECT_EQ(record->M[kMSpindle], 5);
    EXPECT_EQ(record->F, 0);
    EXPECT_EQ(record->S, 0);
    EXPECT_EQ(record->D, 0);
    EXPECT_EQ(record->T, 2);
    EXPECT_EQ(record->X, 100000);
  }
  EXPECT_EQ(active.W, 99);
}

}  // namespace
}  // namespace soustruh
