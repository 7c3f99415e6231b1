#include <gtest/gtest.h>

#include "machine/MachineConfig.h"
#include "nc/FunctionGroups.h"
#include "nc/Interpreter.h"
#include "nc/NcBlock.h"

namespace soustruh {
namespace {

TEST(NcProgramText, StripCommentsKeepsOnlyTheBlock) {
  struct Case {
    const char* line;
    const char* stripped;
  };
  const Case cases[] = {
      {"N10 G00 X0 (rapid) Z5.", "N10 G00 X0  Z5."},
      {"G00 X0 (unclosed", "G00 X0"},
      {"G00 X0 ; end", "G00 X0"},
      {"G00 % X0", "G00"},
      {"G00 'X0", "G00"},
      {"G00 * X0", "G00"},
      {"/G00 X0", "/G00 X0"},
      {"G00 X0 // skip", "G00 X0"},
      {"  \tG00 X0\r", "G00 X0"},
      {"(a)(b)", ""},
      {"G00 (č) X0 ž", "G00  X0 ž"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(StripComments(c.line), c.stripped);
  }
}

TEST(NcProgramText, LineHasBlockNumberOnlyAtTheStart) {
  MachineConfig config;
  NcInterpreter nc(config);
  struct Case {
    const char* line;
    std::int32_t n;
    bool match;
  };
  const Case cases[] = {
      {"N10 G00 X0", 10, true}, {"   N10", 10, true},   {"n10 G00", 10, true},  {"N010", 10, true},
      {"N10 G00", 20, false},   {"N100", 10, false},    {"G00 N10", 10, false}, {"/N10", 10, false},
      {"N10G00", 10, false},    {"N10 N20", 20, false}, {"", 0, false},         {"N", 0, false},
      {"N12345", 1234, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(nc.LineHasBlockNumber(c.line, c.n), c.match);
    EXPECT_EQ(nc.error(), kErrNone);  // faults met while searching are not reported
  }
  // A pending error is neither answered past nor lost.
  nc.setError(kErrNoFeed);
  EXPECT_FALSE(nc.LineHasBlockNumber("N10", 10));
  EXPECT_EQ(nc.error(), kErrNoFeed);
}

TEST(NcProgramText, FunctionGroups) {
  struct Case {
    int number;
    std::optional<int> g, m;
  };
  const Case cases[] = {
      {0, kGMotion, kMFlow},
      {3, kGMotion, kMSpindle},
      {4, {}, kMSpindle},
      {17, {}, kMFlow},
      {18, kGPlane, {}},
      {21, {}, kMQuill},
      {25, kGJump, {}},
      {27, kGJump, {}},
      {30, {}, kMFlow},
      {33, {}, {}},
      {42, kGCompensation, {}},
      {59, kGAdditiveOffset, {}},
      {92, kGSpeedLimit, {}},
      {95, kGFeedUnit, {}},
      {97, kGCuttingSpeed, {}},
      {-1, {}, {}},
      {100, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(ClassifyG(c.number), c.g);
    EXPECT_EQ(ClassifyM(c.number), c.m);
  }
}

TEST(NcProgramText, ResetNcBlockRestoresDefaultsAndKeepsPositions) {
  NcBlock block;
  block.X = 1;
  block.Z = 2;
  block.W = 3;
  block.I = 4;
  block.K = 5;
  block.R = 6;
  block.LValue = 7;
  block.StockRadius = 8;
  block.T = 9;
  block.LTarget = 10;
  NcBlock kept = block;
  block.F = 100;
  block.FeedInUse = 100;
  block.S = 500;
  block.SLimit = 2000;
  block.D = 2;
  block.Motion = true;
  block.Skip = true;
  block.G = {2, 96, 95, 92, 54, 57, 25, 71, 91, 41, 18};
  block.M = {3, 30, 8, 21};
  block.OffsetX = block.OffsetZ = block.CorrX = block.CorrZ = 1;
  block.NoseRadius = block.NoseOffsetX = block.NoseOffsetZ = 1;
  ResetNcBlock(block);
  EXPECT_EQ(block, kept);
  EXPECT_EQ(block.G, (std::array<int, kGGroupCount>{0, 97, 94, -1, 53, 56, -1, 71, 90, 40, 18}));
  EXPECT_EQ(block.M, (std::array<int, kMGroupCount>{5, -1, 9, 20}));
}

}  // namespace
}  // namespace soustruh
