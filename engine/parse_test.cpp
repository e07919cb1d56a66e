#include "engine/parse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace ledgerix {
namespace {

TEST(ParseIntTest, ReadsSignAndLeadingDigits) {
  EXPECT_EQ(ParseInt("12ab"), 12);
  EXPECT_EQ(ParseInt("-7"), -7);
  EXPECT_EQ(ParseInt("+42"), 42);
  EXPECT_EQ(ParseInt("x1"), 0);
  EXPECT_EQ(ParseInt(" 5"), 0);
  EXPECT_EQ(ParseInt(""), 0);
  EXPECT_EQ(ParseInt(nullptr), 0);
  EXPECT_EQ(ParseInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt("4294967297"), 1);  // wraps at 32 bits
}

// What the parser computes: each fraction digit divided in single precision.
double Expected(double whole, std::initializer_list<int> fraction) {
  int k = 0;
  for (int digit : fraction)
    whole += static_cast<float>(digit) / static_cast<float>(std::pow(10, ++k));
  return whole;
}

TEST(ParseDecimalTest, LastSeparatorIsTheDecimalPoint) {
  EXPECT_EQ(ParseDecimal("12,5"), 12.5);
  EXPECT_EQ(ParseDecimal("12.5"), 12.5);
  EXPECT_EQ(ParseDecimal("12"), 12.0);
  EXPECT_EQ(ParseDecimal("1,000.25"), Expected(1000, {2, 5}));
  EXPECT_EQ(ParseDecimal("1.234,56"), Expected(1234, {5, 6}));
  EXPECT_NEAR(ParseDecimal("1 000 000,01"), 1000000.01, 1e-6);
}

TEST(ParseDecimalTest, FractionDigitsAreSinglePrecision) {
  // In double 0.1 + 0.02 + 0.003 differs from the single-precision sum.
  EXPECT_EQ(ParseDecimal("0.123"), Expected(0, {1, 2, 3}));
  EXPECT_NE(ParseDecimal("0.1"), 0.1);
}

TEST(ParseDecimalTest, OtherCharactersAreSkipped) {
  EXPECT_EQ(ParseDecimal("-3.5"), 3.5);
  EXPECT_EQ(ParseDecimal("1a2 b.5x"), 12.5);
  EXPECT_EQ(ParseDecimal("abc"), 0.0);
  EXPECT_EQ(ParseDecimal(""), 0.0);
  EXPECT_EQ(ParseDecimal(nullptr), 0.0);
}

TEST(ParseDecimalTest, ReadsAtMostTenThousandCharacters) {
  std::string text(9999, ' ');
  text += "12";
  EXPECT_EQ(ParseDecimal(text.c_str()), 1.0);
}

TEST(ParseHundredthsTest, ReadsTypedAmountsToTheNearestHundredth) {
  struct Case {
    const char* text;
    int64_t hundredths;
  };
  const Case cases[] = {
      {"12,5", 1250},
      {"12.5", 1250},
      {"12", 1200},
      {"1,000.25", 100025},
      {"1.234,56", 123456},
      {"1 000 000,01", 100000001},
      {"-3.5", 350},  // a sign is skipped like any other character
      {"1a2 b.5x", 1250},
      {"0.125", 13},  // the third decimal rounds, half up
      {"0.124999", 12},
      {"0.995", 100},
      {"2.675", 268},  // not the 2.67 a double's binary value would give
      {"0.004", 0},
      {".5", 50},
      {"5.", 500},
      {"abc", 0},
      {"", 0},
      {nullptr, 0},
      {"123456789012345678901234567890", INT64_MAX},  // held, not wrapped
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseHundredths(c.text), c.hundredths) << (c.text ? c.text : "null");
  }
}

}  // namespace
}  // namespace ledgerix
