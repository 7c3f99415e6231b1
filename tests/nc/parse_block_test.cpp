#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "machine/MachineConfig.h"
#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"
#include "support/NcTestKit.h"

namespace soustruh {
namespace {

constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();

class NcParseBlock : public ::testing::Test {
 protected:
  NcParseBlock() {
    config.MaxPosuv = 2000;
    config.MaxOtacky = 3000;
    config.Mist_v_zas = 12;
  }

  // Parses as the program driver does: variables emptied before each executed block.
  NcError Parse(std::string_view line, bool mdi = false, bool execute = true) {
    if (execute) nc.ClearVariables();
    nc.ParseBlock(line, execute, mdi, block);
    return nc.error();
  }

  // The character classes of a highlighted line, one letter per column: W word, N number,
  // V variable, C comment, "." none, "*" more than one; columns after the last class left out.
  std::string Classes(std::string_view line) {
    Parse(line, false, false);
    std::string mask;
    for (std::size_t column = 1; column <= kHighlightColumns; ++column) {
      mask += '.';
      for (int cls = 0; cls < kHighlightClassCount; ++cls) {
        if (!nc.highlight(static_cast<HighlightClass>(cls)).test(column)) continue;
        mask.back() = mask.back() == '.' ? "WNVC"[cls] : '*';
      }
    }
    return mask.erase(mask.find_last_not_of('.') + 1);
  }

  MachineConfig config;
  NcInterpreter nc{config};
  NcBlock block;
};

TEST_F(NcParseBlock, AcceptsOrRefusesEachBlockWithTheRightCode) {
  for (const auto& row : test::CaseRows("block_cases.txt")) {  // error, mode, block, number
    block = NcBlock{};
    EXPECT_EQ(Parse(row[2], row[1] == "M", row[1] != "H"), std::stoi(row[0])) << row[2];
    if (row.size() > 3) {
      EXPECT_EQ(nc.blockNumber(), row[3] == "none" ? kNoBlockNumber : std::stoi(row[3])) << row[2];
    }
  }
  // Numbers of more than two digits never reach the function tables, but are not in them.
  EXPECT_EQ(std::tuple(ClassifyG(100), ClassifyM(-1)), std::tuple(std::nullopt, std::nullopt));
}

TEST_F(NcParseBlock, StoresWordsInTheRecord) {
  using std::tuple;
  ASSERT_EQ(Parse("N10 g01 x20. z-5. f100"), kErrNone);
  EXPECT_EQ(tuple(nc.blockNumber(), block.G[kGMotion], block.X, block.Z, block.F, block.Motion),
            tuple(10, 1, 200000, -50000, 100, true));
  ASSERT_EQ(Parse("X25 Z+.5"), kErrNone);
  EXPECT_EQ(tuple(block.X, block.Z), tuple(250, 5000));  // micrometres without a decimal point
  ASSERT_EQ(Parse("G91 X-1. W3."), kErrNone);
  EXPECT_EQ(tuple(block.X, block.Z), tuple(250 - 10000, 5000 + 30000));
  ASSERT_EQ(Parse("G90 U2."), kErrNone);  // U adds even under G90
  EXPECT_EQ(block.X, 250 - 10000 + 20000);
  ASSERT_EQ(Parse("G02 X10. Z0 I3. K-4. F100"), kErrNone);
  EXPECT_EQ(block.R, 50000);
  ASSERT_EQ(Parse("G01 X10. L2.5"), kErrNone);  // I, K and R start empty in every block
  EXPECT_EQ(tuple(block.LValue, block.I, block.K, block.R), tuple(2500, 0, 0, 0));
  ASSERT_EQ(Parse("T0101"), kErrNone);
  EXPECT_EQ(tuple(block.T, block.D), tuple(1, 1));
  ASSERT_EQ(Parse("T0300"), kErrNone);
  EXPECT_EQ(tuple(block.T, block.D, block.Motion), tuple(3, 0, false));
  ASSERT_EQ(Parse("G92 S2000"), kErrNone);  // the limit is applied by execution, not by the parser
  EXPECT_EQ(tuple(block.G[kGSpeedLimit], block.S, block.SLimit), tuple(92, 2000, -1));
  ASSERT_EQ(Parse("/G00 X0"), kErrNone);  // the G92 of the block before is gone
  EXPECT_EQ(tuple(block.Skip, block.G[kGSpeedLimit]), tuple(true, kNoFunction));
  ASSERT_EQ(Parse("M30"), kErrNone);
  EXPECT_EQ(tuple(block.M[kMFlow], block.Skip), tuple(30, false));
  ASSERT_EQ(Parse("N5 /G27 L20"), kErrNone);
  EXPECT_EQ(tuple(block.LTarget, block.G[kGJump], block.M[kMFlow], block.Skip),
            tuple(20, 27, kNoFunction, true));
  // A comment changes nothing but the per-block fields.
  NcBlock expected = block;
  expected.LTarget = -1;
  expected.G[kGJump] = kNoFunction;
  expected.Skip = false;
  ASSERT_EQ(Parse("  (komentář)"), kErrNone);
  EXPECT_EQ(block, expected);
  EXPECT_EQ(nc.blockNumber(), kNoBlockNumber);
  // The words before an error are already stored.
  ASSERT_EQ(Parse("N20 G00 X5. Y3"), kErrBlockFormat);
  EXPECT_EQ(tuple(nc.blockNumber(), block.G[kGMotion], block.X), tuple(20, 0, 50000));
  // Incremental words cannot overflow the position.
  block.X = kMax32 - 5;
  EXPECT_EQ(Parse("U1."), kErrMachineLimit);
  EXPECT_EQ(block.X, kMax32 - 5);
  block.Z = kMin32 + 5;
  EXPECT_EQ(Parse("G91 Z-1."), kErrMachineLimit);
}

TEST_F(NcParseBlock, VariablesHoldForTheRestOfTheBlockOfTheirInterpreter) {
  ASSERT_EQ(Parse(":A 12.5 :b_2 -3 G01 X:A Z:b_2 F100"), kErrNone);
  EXPECT_EQ(std::tuple(block.X, block.Z), std::tuple(125000, -30));
  ASSERT_EQ(Parse("N5 :A 1. :A 2. X:A"), kErrNone);  // the newest definition wins
  EXPECT_EQ(block.X, 20000);
  // A second interpreter shares neither the error, the block number nor the variables.
  NcInterpreter other(config);
  other.ParseBlock("G00 X0 Y", true, false, block);
  EXPECT_EQ(std::tuple(other.error(), other.variables().size()), std::tuple(kErrBlockFormat, 0u));
  EXPECT_EQ(std::tuple(nc.error(), nc.blockNumber(), nc.variables().size()),
            std::tuple(kErrNone, 5, 2u));
  // Highlighting looks nothing up: a reference reads as 0.
  block.X = 5;
  ASSERT_EQ(Parse(":B 7. X:B", false, false), kErrNone);
  EXPECT_EQ(block.X, 0);
}

TEST_F(NcParseBlock, RecordsCharacterClassesByColumn) {
  for (const auto& row : test::CaseRows("text_cases.txt", "classes")) {
    EXPECT_EQ(Classes(row[0]), row[1]) << row[0];
  }
  // A range reaching past column 126 is not recorded at all; one ending at 126 is.
  EXPECT_EQ(Classes(std::string(120, ' ') + "(abcdefghij) G90"), "");
  EXPECT_EQ(Classes(std::string(120, ' ') + "(abcd)"), std::string(120, '.') + "CCCCCC");
}

TEST(NcProgramText, StripCommentsKeepsOnlyTheBlock) {
  for (const auto& row : test::CaseRows("text_cases.txt", "strip")) {
    EXPECT_EQ(StripComments(row[0]), row[1]) << row[0];
  }
}

TEST(NcProgramText, LineHasBlockNumberOnlyAtTheStart) {
  MachineConfig config;
  NcInterpreter nc(config);
  for (const auto& row : test::CaseRows("text_cases.txt", "number")) {
    EXPECT_EQ(nc.LineHasBlockNumber(row[0], std::stoi(row[1])), row[2] == "yes") << row[0];
    EXPECT_EQ(nc.error(), kErrNone) << row[0];  // faults met while searching are not reported
  }
  // A pending error is neither answered past nor lost.
  nc.setError(kErrNoFeed);
  EXPECT_FALSE(nc.LineHasBlockNumber("N10", 10));
  EXPECT_EQ(nc.error(), kErrNoFeed);
}

}  // namespace
}  // namespace soustruh
