#include "machine/ModalTables.h"

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

class ModalTablesTest : public ::testing::Test {
 protected:
  ModalTablesTest() : interp(config) {
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

TEST_F(ModalTablesTest, WorkOffsetGroupsAddUpAndAreReadWhenApplied) {
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

TEST_F(ModalTablesTest, ToolCorrectionCarriesTheNoseOffsetsOfItsTipPosition) {
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
}

}  // namespace
}  // namespace soustruh
