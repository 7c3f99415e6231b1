#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "machine/MachineConfig.h"
#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"

namespace soustruh {
namespace {

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

  static std::vector<int> Columns(const ColumnSet& set) {
    std::vector<int> columns;
    for (std::size_t c = 0; c < set.size(); ++c) {
      if (set.test(c)) columns.push_back(static_cast<int>(c));
    }
    return columns;
  }

  MachineConfig config;
  NcInterpreter nc{config};
  NcBlock block;
};

struct ErrorCase {
  const char* line;
  NcError error;
  bool mdi = false;
};

TEST_F(NcParseBlock, AcceptsOrRefusesEachBlockWithTheRightCode) {
  const ErrorCase cases[] = {
      // Empty lines and comments.
      {"", kErrNone},
      {"    ", kErrNone},
      {"(only a comment)", kErrNone},
      {"; note", kErrNone},
      {"G00 X0 (open comment", kErrNone},
      {"x0 ( ) z0", kErrNone},
      {"G00 X0 // rest", kErrNone},
      // Letters in either case; words separated by spaces.
      {"N10 g01 x20. z-5. f100", kErrNone},
      {"N10 G01X20.", kErrBlockFormat},
      {"G00 X0\tZ0", kErrBlockFormat},
      {"G00 X0 Y0", kErrBlockFormat},
      {"G00 X0 č", kErrBlockFormat},
      // Numbers.
      {"X1000.", kErrNumberFormat},
      {"G001", kErrNumberFormat},
      {"G", kErrNumberFormat},
      {"N", kErrNumberFormat},
      {"N12345", kErrNumberFormat},
      {"X-", kErrNumberFormat},
      // Feed needed by G01-G03 only.
      {"G01 Z-10.", kErrNoFeed},
      {"G01 Z-10. F100", kErrNone},
      {"G00 Z-10.", kErrNone},
      {"G02 X0 Z0 I1 K1", kErrNoFeed},
      // Motion blocks need coordinates; arcs need both I and K.
      {"G00", kErrLinearFormat},
      {"G01 F100", kErrLinearFormat},
      {"G02 I5. K0 F100", kErrCircularFormat},
      {"G02 X20. Z-5. I5.", kErrCircularFormat},
      {"G02 X20. Z-5. I5. K0 F100", kErrNone},
      {"G01 I2. X10.", kErrBadCoordinates},
      {"X10 U5", kErrBadCoordinates},
      {"Z1 W1", kErrBadCoordinates},
      {"U5.", kErrNone},
      {"W-2.", kErrNone},
      // Unknown functions.
      {"G04", kErrUnknownFunction},
      {"G33", kErrUnknownFunction},
      {"M06", kErrUnknownFunction},
      // The optional-skip mark.
      {"/G00 X0", kErrNone},
      {"  / G00 X0", kErrNone},
      {"N10 /G00 X0", kErrNone},
      {"/N10 G00 X0", kErrBlockNumberNotFirst},
      {"G00 / X0", kErrBlockFormat},
      {"G00 X0 /", kErrNone},
      {"/ /G00 X0", kErrBlockFormat},
      // Block numbers.
      {"  N10 G00 X0", kErrNone},
      {"N10 N20", kErrBlockNumberNotFirst},
      {"G00 X0 N10", kErrBlockNumberNotFirst},
      // Tool words.
      {"T0101", kErrNone},
      {"T101", kErrNumberFormat},
      {"T01010", kErrToolWordFormat},
      {"T0001", kErrNumberFormat},
      {"T1301", kErrNumberFormat},
      // MDI refuses what belongs to a program.
      {"N10 G00 X0", kErrNotInMdi, true},
      {"G25 L10", kErrNotInMdi, true},
      {"G41", kErrNotInMdi, true},
      {"M30", kErrNotInMdi, true},
      {"M01", kErrNotInMdi, true},
      {"/G00 X0", kErrNotInMdi, true},
      {":A 1.", kErrNotInMdi, true},
      {"G00 X0", kErrNone, true},
      {"M03 S500 T0101", kErrNone, true},
      // Functions that must stand alone.
      {"M30 X0", kErrBadCombination},
      {"X0 M30", kErrBadCombination},
      {"M30 F100", kErrBadCombination},
      {"F100 M30", kErrBadCombination},
      {"G27 L5 S100", kErrBadCombination},
      {"M21 T0101", kErrBadCombination},
      {"T0101 M21", kErrBadCombination},
      {"M21 M08", kErrBadCombination},
      {"G25 L10 G90", kErrBadCombination},
      {"M00 G90", kErrBadCombination},
      {"M21", kErrNone},
      {"G25 L20", kErrNone},
      {"G27 L20", kErrNone},
      {"G25", kErrMissingParameter},
      // G92 takes an S after it but nothing before it.
      {"G92 S2000", kErrNone},
      {"S2000 G92", kErrBadCombination},
      {"G92 S2000 X0", kErrBadCombination},
      {"G92 G90", kErrBadCombination},
      {"G92", kErrNoSpindleSpeed},
      // Spindle start needs a speed.
      {"M03", kErrNoSpindleSpeed},
      {"M04 S500", kErrNone},
      {"S500 M03", kErrNone},
      // Twice in one block.
      {"F100 F200", kErrSameGroupTwice},
      {"S100 S200", kErrSameGroupTwice},
      {"T0101 T0202", kErrSameGroupTwice},
      {"G00 G01 X0", kErrSameGroupTwice},
      {"M03 M05 S100", kErrSameGroupTwice},
      {"M08 M09", kErrSameGroupTwice},
      {"X10. G01", kErrSameGroupTwice},  // an axis word already makes the block a group-0 one
      // Machine limits.
      {"F2001", kErrMachineLimit},
      {"S3001", kErrMachineLimit},
      {"F2000 S3000", kErrNone},
      // L belongs to a motion or to G25/G27.
      {"L5", kErrUnknownParameter},
      {"G90 L5", kErrUnknownParameter},
      {"L10 G25", kErrUnknownParameter},
      {"G01 X10. L-1 F100", kErrNumberFormat},
      {"G00 X0 L5 L6", kErrSameGroupTwice},
      {"G25 L10 L20", kErrSameGroupTwice},
      {"G25 L1.", kErrNumberFormat},
      // Variables.
      {":A 12.5 G01 X:A F100", kErrNone},
      {"X:A", kErrVariableUndefined},
      {":a 1. X:A", kErrVariableUndefined},
      {"X:", kErrVariableFormat},
      {"X:A.", kErrVariableFormat},
      {"X-:A", kErrNumberFormat},
      {"X1:A", kErrBlockFormat},
      {":", kErrBlockFormat},
      {": 5.", kErrBlockFormat},
      {":A5.", kErrVariableFormat},
      {":A", kErrNumberFormat},
      {":A 1. :B 2.", kErrNone},
      {":A 12.5 :B 3. :C 1.", kErrTooManyVariables},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.line) + (c.mdi ? " (MDI)" : ""));
    block = NcBlock{};
    EXPECT_EQ(Parse(c.line, c.mdi), c.error);
  }
}

TEST_F(NcParseBlock, WithoutExecutionVariablesAndArcWordsAreNotChecked) {
  const char* lines[] = {":A 12.5 :B 3. :C 1.", "X:A", "G01 I2. X10. F100"};
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    block = NcBlock{};
    EXPECT_EQ(Parse(line, false, false), kErrNone);
    EXPECT_TRUE(nc.variables().empty());
  }
}

TEST_F(NcParseBlock, StoresWordsInTheRecord) {
  ASSERT_EQ(Parse("N10 g01 x20. z-5. f100"), kErrNone);
  EXPECT_EQ(nc.blockNumber(), 10);
  EXPECT_EQ(block.G[kGMotion], 1);
  EXPECT_EQ(block.X, 200000);
  EXPECT_EQ(block.Z, -50000);
  EXPECT_EQ(block.F, 100);
  EXPECT_TRUE(block.Motion);
  EXPECT_FALSE(block.Skip);

  ASSERT_EQ(Parse("X25"), kErrNone);
  EXPECT_EQ(block.X, 250);  // micrometres without a decimal point
  ASSERT_EQ(Parse("G91 X-1. W3."), kErrNone);
  EXPECT_EQ(block.X, 250 - 10000);
  EXPECT_EQ(block.Z, -50000 + 30000);
  ASSERT_EQ(Parse("G90 U2."), kErrNone);  // U adds even under G90
  EXPECT_EQ(block.X, 250 - 10000 + 20000);

  ASSERT_EQ(Parse("G02 X10. Z0 I3. K-4. F100"), kErrNone);
  EXPECT_EQ(block.R, 50000);
  ASSERT_EQ(Parse("G01 X10. L2.5"), kErrNone);
  EXPECT_EQ(block.LValue, 2500);
  EXPECT_EQ(block.I, 0);  // per-block fields start empty
  EXPECT_EQ(block.R, 0);

  ASSERT_EQ(Parse("T0300"), kErrNone);
  EXPECT_EQ(block.T, 3);
  EXPECT_EQ(block.D, 0);
  EXPECT_FALSE(block.Motion);
  ASSERT_EQ(Parse("G92 S2000"), kErrNone);
  EXPECT_EQ(block.G[kGSpeedLimit], 92);
  EXPECT_EQ(block.S, 2000);
  EXPECT_EQ(block.SLimit, -1);  // the limit is applied by execution, not by the parser
  ASSERT_EQ(Parse("M30"), kErrNone);
  EXPECT_EQ(block.M[kMFlow], 30);
  ASSERT_EQ(Parse("G27 L20"), kErrNone);
  EXPECT_EQ(block.LTarget, 20);
  EXPECT_EQ(block.G[kGJump], 27);
  EXPECT_EQ(block.M[kMFlow], kNoFunction);
  ASSERT_EQ(Parse("/ G00 X0"), kErrNone);
  EXPECT_TRUE(block.Skip);
  EXPECT_EQ(block.LTarget, -1);
  EXPECT_EQ(block.G[kGJump], kNoFunction);
  EXPECT_EQ(block.G[kGSpeedLimit], kNoFunction);
  EXPECT_EQ(nc.blockNumber(), kNoBlockNumber);
}

TEST_F(NcParseBlock, KeepsTheWordsBeforeAnError) {
  ASSERT_EQ(Parse("N20 G01 X5. Y3"), kErrBlockFormat);
  EXPECT_EQ(nc.blockNumber(), 20);
  EXPECT_EQ(block.G[kGMotion], 1);
  EXPECT_EQ(block.X, 50000);
}

TEST_F(NcParseBlock, IncrementalWordsCannotOverflowThePosition) {
  block.X = std::numeric_limits<std::int32_t>::max() - 5;
  EXPECT_EQ(Parse("U1."), kErrMachineLimit);
  EXPECT_EQ(block.X, std::numeric_limits<std::int32_t>::max() - 5);
  block.Z = std::numeric_limits<std::int32_t>::min() + 5;
  EXPECT_EQ(Parse("G91 Z-1."), kErrMachineLimit);
}

TEST_F(NcParseBlock, VariablesHoldForTheRestOfTheBlock) {
  ASSERT_EQ(Parse(":A 12.5 :b_2 -3 G01 X:A Z:b_2 F100"), kErrNone);
  EXPECT_EQ(block.X, 125000);
  EXPECT_EQ(block.Z, -30);
  ASSERT_EQ(nc.variables().size(), 2u);
  EXPECT_EQ(nc.variables()[1].name, "b_2");
  // A redefinition takes effect for the words after it.
  ASSERT_EQ(Parse(":A 1. :A 2. X:A"), kErrNone);
  EXPECT_EQ(block.X, 20000);
  // Without execution a reference is a placeholder and nothing is defined.
  nc.ClearVariables();
  ASSERT_EQ(Parse(":A 7. X:A", false, false), kErrNone);
  EXPECT_EQ(block.X, 0);
  EXPECT_TRUE(nc.variables().empty());
}

TEST_F(NcParseBlock, RecordsCharacterClassesByColumn) {
  ASSERT_EQ(Parse("N10 G00 X-2.5 Z:A (komentář)", false, false), kErrNone);
  using V = std::vector<int>;
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Word)), (V{1, 5, 6, 7, 9, 15}));
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Number)), (V{2, 3, 10, 11, 12, 13}));
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Variable)), (V{16, 17}));
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Comment)),
            (V{19, 20, 21, 22, 23, 24, 25, 26, 27, 28}));

  ASSERT_EQ(Parse(":A 5. T0101 F10", false, false), kErrNone);
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Variable)), (V{1, 2}));
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Number)), (V{4, 5, 8, 9, 10, 11}));
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Word)), (V{7, 13, 14, 15}));

  // A non-ASCII character in a comment takes one column.
  ASSERT_EQ(Parse("(č) G90", false, false), kErrNone);
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Word)), (V{5, 6, 7}));

  // A range reaching past column 126 is not recorded at all; one ending at 126 is.
  ASSERT_EQ(Parse(std::string(120, ' ') + "(abcdefghij) G90", false, false), kErrNone);
  EXPECT_TRUE(nc.highlight(HighlightClass::Comment).none());
  EXPECT_TRUE(nc.highlight(HighlightClass::Word).none());
  ASSERT_EQ(Parse(std::string(120, ' ') + "(abcd)", false, false), kErrNone);
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Comment)), (V{121, 122, 123, 124, 125, 126}));

  // A refused word is not recorded.
  ASSERT_EQ(Parse("G00 X1000.", false, false), kErrNumberFormat);
  EXPECT_EQ(Columns(nc.highlight(HighlightClass::Word)), (V{1, 2, 3}));
  EXPECT_TRUE(nc.highlight(HighlightClass::Number).none());
}

TEST_F(NcParseBlock, TwoInterpretersDoNotShareState) {
  NcInterpreter other(config);
  NcBlock otherBlock;
  Parse("N5 :A 1. X:A");
  other.ParseBlock("G00 X0 Y", true, false, otherBlock);
  EXPECT_EQ(nc.error(), kErrNone);
  EXPECT_EQ(nc.blockNumber(), 5);
  EXPECT_EQ(nc.variables().size(), 1u);
  EXPECT_EQ(other.error(), kErrBlockFormat);
  EXPECT_EQ(other.blockNumber(), kNoBlockNumber);
  EXPECT_TRUE(other.variables().empty());
}

}  // namespace
}  // namespace soustruh
