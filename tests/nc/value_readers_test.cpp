#include "nc/ValueReaders.h"

#include <gtest/gtest.h>

#include <limits>

#include "machine/MachineConfig.h"
#include "nc/Interpreter.h"

namespace soustruh {
namespace {

struct ReadCase {
  const char* text;
  NcError error;
  std::int32_t value;
  std::size_t stop;  // byte index where the reader stopped
};

TEST(NcReaders, ScanIntegerStopsAtTheFirstCharacterNotTaken) {
  const ReadCase cases[] = {
      {"01", kErrNone, 1, 2},           {"+7 X", kErrNone, 7, 2},
      {"001", kErrNumberFormat, 0, 2},  // too many digits for a G word
      {"01X10", kErrBlockFormat, 0, 2}, {"1.", kErrNumberFormat, 0, 1},
      {"1-", kErrNumberFormat, 0, 1},   {"", kErrNumberFormat, 0, 0},
      {"+", kErrNumberFormat, 0, 1},    {"X", kErrNumberFormat, 0, 0},  // no digit beats "X"
      {"-1", kErrNumberFormat, 0, 0},   {"++1", kErrNumberFormat, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::size_t i = 0;
    const ReadResult r = ScanInteger(c.text, 2, i);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.value, c.value);
    EXPECT_EQ(i, c.stop);
  }
  std::size_t i = 0;
  EXPECT_EQ(ScanInteger("2147483648", 18, i).error, kErrNumberFormat);
  i = 0;
  EXPECT_EQ(ScanInteger("2147483647", 18, i).value, std::numeric_limits<std::int32_t>::max());
}

TEST(NcReaders, ScanDecimalScalesMillimetresAndMicrometres) {
  const ReadCase cases[] = {
      {"25.", kErrNone, 250000, 3},
      {"25", kErrNone, 250, 2},
      {"-5.", kErrNone, -50000, 3},
      {"+.5", kErrNone, 5000, 3},
      {"0.001", kErrNone, 10, 5},
      {"999.999", kErrNone, 9999990, 7},
      {"-0", kErrNone, 0, 2},
      {"1000.", kErrNumberFormat, 0, 3},
      {"1.0001", kErrNumberFormat, 0, 5},
      {"12.5X", kErrBlockFormat, 0, 4},
      {".", kErrNumberFormat, 0, 1},
      {"-", kErrNumberFormat, 0, 1},
      {"-.", kErrNumberFormat, 0, 2},
      {":A", kErrNumberFormat, 0, 0},
      {"1..", kErrNumberFormat, 0, 2},
      {"1 2", kErrNone, 10, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::size_t i = 0;
    const ReadResult r = ScanDecimal(c.text, 3, 3, true, i);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.value, c.value);
    EXPECT_EQ(i, c.stop);
  }
}

TEST(NcReaders, ScanDecimalRoundsHalfToEvenAndGuards32Bits) {
  struct Case {
    const char* text;
    int intDigits, fracDigits;
    bool scaling;
    NcError error;
    std::int32_t value;
  };
  const Case cases[] = {
      {"5", 3, 3, false, kErrNone, 5000},
      {"1.5", 3, 3, false, kErrNone, 1500},
      {"0.00005", 1, 5, true, kErrNone, 0},
      {"0.00015", 1, 5, true, kErrNone, 2},
      {"0.00025", 1, 5, true, kErrNone, 2},
      {"-0.00015", 1, 5, true, kErrNone, -2},
      {"0.000051", 1, 6, true, kErrNone, 1},
      {"214748.3647", 6, 4, true, kErrNone, 2147483647},
      {"214748.3648", 6, 4, true, kErrNumberFormat, 0},
      {"-214748.3648", 6, 4, true, kErrNone, std::numeric_limits<std::int32_t>::min()},
      {"214748364.7", 9, 1, false, kErrNumberFormat, 0},
      {"99999999999999999999", 40, 40, false, kErrNumberFormat, 0},  // digits capped at 18
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::size_t i = 0;
    const ReadResult r = ScanDecimal(c.text, c.intDigits, c.fracDigits, c.scaling, i);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.value, c.value);
  }
}

TEST(NcReaders, ToolWordNeedsTwoPlusTwoDigits) {
  struct Case {
    const char* text;
    NcError error;
    std::int32_t tool, correction;
  };
  const Case cases[] = {
      {"0101", kErrNone, 1, 1},
      {"0300 M03", kErrNone, 3, 0},
      {"1212", kErrNone, 12, 12},
      {"1301", kErrNumberFormat, 0, 0},  // 12 places
      {"101", kErrNumberFormat, 0, 0},
      {"01010", kErrToolWordFormat, 0, 0},
      {"0001", kErrNumberFormat, 0, 0},
      {"01", kErrNumberFormat, 0, 0},
      {"", kErrNumberFormat, 0, 0},
      {"01.01", kErrToolWordFormat, 0, 0},
      {"+0101", kErrToolWordFormat, 0, 0},
      {"0101X", kErrToolWordFormat, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::size_t i = 0;
    const ToolWord w = ScanToolWord(c.text, 12, i);
    EXPECT_EQ(w.error, c.error);
    EXPECT_EQ(w.tool, c.tool);
    EXPECT_EQ(w.correction, c.correction);
  }
}

TEST(NcReaders, InterpreterReadersUseOneBasedPositionsAndSetTheError) {
  MachineConfig config;
  config.Mist_v_zas = 8;
  NcInterpreter nc(config);
  std::size_t position = 2;
  EXPECT_EQ(nc.ReadDecimal("X25. Z0", 3, 3, true, position), 250000);
  EXPECT_EQ(position, 5u);
  EXPECT_EQ(nc.error(), kErrNone);

  position = 1;
  EXPECT_FALSE(nc.ReadInteger("G", 2, position));
  EXPECT_EQ(nc.error(), kErrNumberFormat);

  position = 2;
  EXPECT_FALSE(nc.ReadToolWord("T0901", position));  // beyond the 8 turret places
  EXPECT_EQ(nc.error(), kErrNumberFormat);

  nc.setError(kErrNone);
  position = 0;  // before the text: refused rather than read out of range
  EXPECT_FALSE(nc.ReadDecimal("5", 3, 3, true, position));
  EXPECT_EQ(nc.error(), kErrNumberFormat);
}

}  // namespace
}  // namespace soustruh
