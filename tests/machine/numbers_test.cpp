#include "machine/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace soustruh {
namespace {

TEST(Numbers, ParseFloatAcceptsTheGeneralFormOnly) {
  struct Case {
    const char* text;
    std::optional<long double> value;
  };
  const Case cases[] = {
      {"-12.5", -12.5L}, {"1e2", 100.0L},     {"+3", 3.0L}, {".5", 0.5L},
      {"5.", 5.0L},      {"-1.5E-1", -0.15L}, {"1,5", {}},  {"", {}},
      {"-", {}},         {"inf", {}},         {"nan", {}},  {"+-1", {}},
      {" 1", {}},        {"1 ", {}},          {"0x10", {}}, {"1e", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto v = ParseFloat(c.text);
    ASSERT_EQ(v.has_value(), c.value.has_value());
    if (v) {
      EXPECT_NEAR(static_cast<double>(*v), static_cast<double>(*c.value), 1e-12);
    }
  }
}

TEST(Numbers, ParseInt32) {
  EXPECT_EQ(ParseInt32("8"), 8);
  EXPECT_EQ(ParseInt32("-3"), -3);
  EXPECT_EQ(ParseInt32("+3"), 3);
  EXPECT_EQ(ParseInt32("2147483647"), std::numeric_limits<std::int32_t>::max());
  EXPECT_FALSE(ParseInt32("2147483648"));
  EXPECT_FALSE(ParseInt32("3.0"));
  EXPECT_FALSE(ParseInt32("1e1"));
  EXPECT_FALSE(ParseInt32(""));
  EXPECT_FALSE(ParseInt32("++3"));
}

TEST(Numbers, MillimetresRoundToNearestTiesToEven) {
  struct Case {
    long double mm;
    std::optional<std::int32_t> units;
  };
  const Case cases[] = {
      {-12.5L, -125000},   {0.00005L, 0},
      {0.00015L, 2},       {-0.00005L, 0},
      {0.000051L, 1},      {214748.3647L, 2147483647},
      {214748.3648L, {}},  {-214748.3648L, std::numeric_limits<std::int32_t>::min()},
      {-214748.3649L, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.mm));
    EXPECT_EQ(MillimetresToUnits(c.mm), c.units);
  }
  EXPECT_EQ(RoundHalfEven(2.5L), 2.0L);
  EXPECT_EQ(RoundHalfEven(3.5L), 4.0L);
  EXPECT_EQ(RoundHalfEven(-2.5L), -2.0L);
  EXPECT_EQ(RoundHalfEven(-2.6L), -3.0L);
}

TEST(Numbers, FormattingIgnoresTheLocale) {
  // A locale with a decimal comma, when the machine has one; the result must not change.
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  std::setlocale(LC_ALL, "cs_CZ.UTF-8");
  EXPECT_EQ(FormatFixed(12.5, 3, 8), "  12.500");
  EXPECT_EQ(FormatFixed(-0.25, 3, 3), "-0.250");
  EXPECT_EQ(FormatFixed(1234.5678, 3), "1234.568");
  EXPECT_EQ(FormatInt(-42), "-42");
  EXPECT_EQ(ParseFloat("2.5"), 2.5L);
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace soustruh
