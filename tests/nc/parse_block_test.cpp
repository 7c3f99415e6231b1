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

// What the words leave in the record is shown through the CLI (tests/programs/cli/record_words).
TEST_F(NcParseBlock, IncrementalWordsCannotOverflowThePosition) {
  block.X = kMax32 - 5;
  EXPECT_EQ(Parse("U1."), kErrMachineLimit);
  EXPECT_EQ(block.X, kMax32 - 5);
  block.Z = kMin32 + 5;
  EXPECT_EQ(Parse("G91 Z-1."), kErrMachineLimit);
}

TEST_F(NcParseBlock, EachInterpreterHasItsOwnStateAndHighlightingLooksNothingUp) {
  ASSERT_EQ(Parse("N5 :A 1. :A 2. X:A"), kErrNone);
  NcInterpreter other(config);
  other.ParseBlock("G00 X0 Y", true, false, block);
  EXPECT_EQ(std::tuple(other.error(), other.variables().size()), std::tuple(kErrBlockFormat, 0u));
  EXPECT_EQ(std::tuple(nc.error(), nc.blockNumber(), nc.variables().size()),
            std::tuple(kErrNone, 5, 2u));
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
