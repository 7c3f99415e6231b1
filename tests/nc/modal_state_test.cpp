#include "machine/ModalTables.h"
#include "nc/ModalState.h"

#include <gtest/gtest.h>

#include <tuple>

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

  MachineConfig config;
  NcInterpreter interp;
  CorrectionTable corrections;
  WorkOffsetTable offsets;
  NcBlock active;
  NcBlock target;
};

TEST_F(ModalStateTest, ResetRestoresTheDefaultsButKeepsPositionToolAndQuillCommand) {
  // Every field set: X to LTarget, the flags, the groups, offsets and corrections.
  active = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, true, true};
  active.G = {2, 96, 95, 92, 54, 57, 25, 71, 91, 41, 18};
  active.M = {3, 30, 8, 20};
  active.OffsetX = active.OffsetZ = active.CorrX = active.CorrZ = 16;
  active.NoseRadius = active.NoseOffsetX = active.NoseOffsetZ = 17;
  target.M[kMQuill] = 21;  // commanded but not yet carried out
  ResetRecords(active, target);
  NcBlock expected{1, 2, 3, 4, 5, 6, 7, 8};  // X to StockRadius kept
  expected.T = 13;
  expected.LTarget = 15;
  expected.M[kMQuill] = 21;
  EXPECT_EQ(active, expected);
  EXPECT_EQ(active.M, (std::array<int, kMGroupCount>{5, -1, 9, 21}));
  EXPECT_EQ(active.G, (std::array<int, kGGroupCount>{0, 97, 94, -1, 53, 56, -1, 71, 90, 40, 18}));
  EXPECT_EQ(target, active);
  // A block after Reset moves absolutely, without offsets, compensation or correction.
  Parse("G01 X10. Z0 F100");
  EXPECT_EQ(target.G[kGCompensation], 40);
  EXPECT_EQ(CommandedPosition(target), (MachinePoint{0, 5 * kMm}));
}

TEST_F(ModalStateTest, WorkOffsetGroupsAddUpAndAreReadWhenApplied) {
  ASSERT_TRUE(offsets.SetOffsetFields(54, "0", "100.", ""));
  ASSERT_TRUE(offsets.SetOffsetFields(55, "2.5", "50.", ""));
  ASSERT_TRUE(offsets.SetOffsetFields(57, "0", "  -5.", ""));  // blanks before it are no fault
  ASSERT_TRUE(offsets.SetOffsetFields(58, "12", "1.", ""));    // no decimal point: 0.012 mm
  const std::tuple<const char*, std::int32_t, std::int32_t> cases[] = {
      {"G54 G57", 0, 95 * kMm},
      {"G55 G58", 25000 + 120, 51 * kMm},
      {"G53 G56", 0, 0},
      {"G53 G57", 0, -5 * kMm},
      {"G54 G56", 0, 100 * kMm}};
  for (const auto& [line, x, z] : cases) {
    Parse(line);
    ApplyWorkOffsets(active, target, offsets, interp);
    EXPECT_EQ(std::tuple(interp.error(), active.OffsetX, active.OffsetZ, target.OffsetX,
                         target.OffsetZ, target.G),
              std::tuple(kErrNone, x, z, x, z, active.G))
        << line;
  }
  // An edit counts from the next application; an unreadable field counts as 0 and fails the block.
  ASSERT_TRUE(offsets.SetOffsetFields(54, "1,5", "20.", ""));
  EXPECT_EQ(active.OffsetZ, 100 * kMm);
  ApplyWorkOffsets(active, target, offsets, interp);
  EXPECT_EQ(std::pair(active.OffsetX, active.OffsetZ), std::pair(0, 20 * kMm));
  EXPECT_NE(interp.error(), kErrNone);
}

TEST_F(ModalStateTest, ToolCorrectionCarriesTheNoseOffsetsOfItsTipPosition) {
  const auto correction = [](const NcBlock& b) {
    return std::tuple(b.CorrX, b.CorrZ, b.NoseRadius, b.NoseOffsetX, b.NoseOffsetZ);
  };
  const std::int32_t r = 8000;  // 0.8 mm
  const std::tuple<int, std::int32_t, std::int32_t> cases[] = {
      {1, r, r}, {2, r, -r}, {3, -r, -r}, {4, -r, r}, {5, 0, r},
      {6, r, 0}, {7, 0, -r}, {8, -r, 0},  {9, 0, 0},  {0, 0, 0}};
  for (const auto& [l, noseX, noseZ] : cases) {
    ASSERT_TRUE(corrections.ReplaceRow(ToolCorrection{4, -30 * kMm, 12 * kMm, r, l, "test"}));
    target.D = 4;
    active.D = 0;
    LoadToolCorrection(active, target, corrections, interp);
    const auto expected = std::tuple(-30 * kMm, 12 * kMm, r, noseX, noseZ);
    EXPECT_EQ(correction(active), expected) << l;
    EXPECT_EQ(correction(target), expected) << l;
    EXPECT_EQ(active.D, 4);
  }
  // Correction 0, a missing row and an empty table (a start-up that ended early) give zeros.
  CorrectionTable empty;
  for (const auto& [d, table] :
       {std::pair(0, &corrections), std::pair(150, &corrections), std::pair(4, &empty)}) {
    target.D = d;
    LoadToolCorrection(active, target, *table, interp);
    EXPECT_EQ(correction(active), std::tuple(0, 0, 0, 0, 0)) << d;
    EXPECT_EQ(interp.error(), kErrNone) << d;
  }
}

}  // namespace
}  // namespace soustruh
