// The integer encodings of the finance tables and the amount text rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "finance/date_key.h"
#include "finance/fixed_digits.h"
#include "finance/format_amount.h"
#include "finance/packed_amount.h"
#include "finance/type_code.h"

namespace ledgerix {
namespace {

TEST(PackedAmountTest, PacksWholeUnitsAndHundredths) {
  EXPECT_EQ(PackAmount(1.15), 271);
  EXPECT_DOUBLE_EQ(UnpackAmount(271), 1.15);
  EXPECT_DOUBLE_EQ(UnpackAmount(256 + 150), 1.99);
  EXPECT_EQ(PackAmount(15.0), 3840);
  EXPECT_EQ(PackAmount(200.0), 51200);
  EXPECT_EQ(PackAmount(0.0), 0);
}

TEST(PackedAmountTest, HundredthsThatRoundToOneHundredCarryIntoTheWholePart) {
  // An old count of 29 unpacks to 0.29, and 0.29 × 100 is 28.999999999999996.
  for (int old_count = 0; old_count < 100; ++old_count) {
    double amount = UnpackAmount(old_count) * 100;
    EXPECT_EQ(PackAmount(amount), old_count << 8) << old_count;
  }
  EXPECT_EQ(PackAmount(2.999), 3 << 8);
}

TEST(PackedAmountTest, PackingRoundsToTheNearestHundredth) {
  const std::pair<double, int32_t> cases[] = {
      {1.158, (1 << 8) | 16}, {1.154, (1 << 8) | 15},          {1.005, (1 << 8) | 1}, {0.994, 99},
      {0.995, 1 << 8},        {52.9 * 40.5, (2142 << 8) | 45},
  };
  for (const auto& [amount, code] : cases) EXPECT_EQ(PackAmount(amount), code) << amount;
  EXPECT_EQ(PackHundredths(214245), (2142 << 8) | 45);
  EXPECT_EQ(PackHundredths(-1), 0);
  EXPECT_EQ(PackHundredths(int64_t{16777216} * 100), 0);
  EXPECT_EQ(PackedHundredths((1 << 8) | 150), 199);  // a low byte above 99 reads as 99
  EXPECT_EQ(PackedHundredths(-1), int64_t{16777215} * 100 + 99);
}

TEST(PackedAmountTest, EveryTwoDecimalAmountSurvivesARoundTrip) {
  for (int cents = 0; cents < 100000; cents += 7) {
    double amount = cents / 100.0;
    EXPECT_NEAR(UnpackAmount(PackAmount(amount)), amount, 1e-9) << cents;
  }
  EXPECT_DOUBLE_EQ(UnpackAmount(PackAmount(16777215.99)), 16777215.99);
}

TEST(PackedAmountTest, AmountsOutOfRangeCannotBePacked) {
  EXPECT_TRUE(CanPackAmount(16777215.99));
  EXPECT_FALSE(CanPackAmount(16777216.0));
  EXPECT_FALSE(CanPackAmount(16777215.9995));  // rounds up past the largest whole part
  EXPECT_FALSE(CanPackAmount(-0.01));
  EXPECT_FALSE(CanPackAmount(std::nan("")));
  EXPECT_EQ(PackAmount(-5), 0);
}

TEST(DateKeyTest, BuildsAndSplitsKeys) {
  EXPECT_EQ(BuildDateKey(5, 3, 2008), 150308);
  EXPECT_EQ(BuildDateKey(31, 12, 2009), 411209);
  EXPECT_EQ(BuildDateKey(1, 1, 2010), 110110);
  EXPECT_EQ(BuildDateKey(9, 9, 2009), 190909);
  DateParts parts = SplitDateKey(411209);
  EXPECT_EQ(parts.day, 31);
  EXPECT_EQ(parts.month, 12);
  EXPECT_EQ(parts.year, 9);
  EXPECT_EQ(SortKey(110108), 80101);
  EXPECT_EQ(SplitDateKey(42).day, 0);
}

TEST(DateKeyTest, OrdinalsFollowTheRealCalendar) {
  EXPECT_GT(DayOrdinal(150308), DayOrdinal(411207));  // 5 March 2008 after 31 December 2007
  EXPECT_EQ(DayOrdinal(BuildDateKey(1, 2, 2008)) - DayOrdinal(BuildDateKey(31, 1, 2008)), 1u);
  EXPECT_EQ(DayOrdinal(BuildDateKey(1, 3, 2008)) - DayOrdinal(BuildDateKey(29, 2, 2008)), 1u);
  EXPECT_EQ(DayOrdinal(BuildDateKey(1, 3, 2009)) - DayOrdinal(BuildDateKey(28, 2, 2009)), 1u);
  EXPECT_EQ(DayOrdinal(BuildDateKey(1, 1, 2000)), 0u);
  EXPECT_EQ(DayOrdinal(BuildDateKey(1, 1, 2001)), 366u);
  EXPECT_LT(DayOrdinal(BuildDateKey(31, 12, 2098)), DayOrdinal(BuildDateKey(1, 1, 2099)));
}

TEST(TypeCodeTest, ReadsDirectionAndFlagsFromTheLowByte) {
  EXPECT_EQ(TypeDirection(1), kIncome);
  EXPECT_EQ(TypeDirection(112), kExpense);
  EXPECT_EQ(TypeDirection(7), kExpense);
  EXPECT_TRUE(TypeHasP(112));
  EXPECT_TRUE(TypeHasPlus(112));
  EXPECT_FALSE(TypeHasP(102));
  EXPECT_FALSE(TypeHasPlus(12));
  EXPECT_EQ(TypeDirection(256 + 1), kIncome);  // only the low byte counts
  EXPECT_EQ(MakeTypeCode(kExpense, true), 102);
}

TEST(FormatAmountTest, GroupsThousandsAndRoundsDecimals) {
  EXPECT_EQ(FormatAmount(1234567.5, 2).View(), "1,234,567.50");
  EXPECT_EQ(FormatAmount(-15, 2).View(), "-15.00");
  EXPECT_EQ(FormatAmount(999, 0).View(), "999");
  EXPECT_EQ(FormatAmount(1000, 0).View(), "1,000");
  EXPECT_EQ(FormatAmount(0.5, 2).View(), "0.50");
  EXPECT_EQ(FormatAmount(1234, 0).View(), "1,234");
  EXPECT_EQ(FormatAmount(-0.5, 2).View(), "-0.50");
  EXPECT_EQ(FormatAmount(123456, 2).View(), "123,456.00");
  // Rounded, not cut: a sum a hair below its true value keeps its cent.
  EXPECT_EQ(FormatAmount(2.999, 2).View(), "3.00");
  EXPECT_EQ(FormatAmount(52.9 * 40.5, 2).View(), "2,142.45");  // 2142.4499999999998
  EXPECT_EQ(FormatAmount(-18.8999994, 2).View(), "-18.90");
  EXPECT_EQ(FormatAmount(2.675, 2).View(), "2.68");
  EXPECT_EQ(FormatAmount(999.995, 2).View(), "1,000.00");
  EXPECT_EQ(FormatAmount(-999999.5, 0).View(), "-1,000,000");
  EXPECT_EQ(FormatAmount(-0.004, 2).View(), "0.00");  // no "-" on a zero
}

// The rule written out on texts: print |x| with "%f", round the digits half up at the asked
// decimal (the carry running left), group the thousands, put "-" in front of a non-zero text.
std::string PrintfRule(double amount, int decimals) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%f", std::fabs(amount));
  std::string digits = buffer;
  const size_t point = digits.find('.');
  if (point != std::string::npos) {
    const size_t keep = decimals > 0 ? point + 1 + std::min(decimals, 6) : point;
    const size_t next = point + 1 + std::min(decimals, 6);
    const bool up = next < digits.size() && digits[next] >= '5';
    digits.resize(keep);
    digits.insert(digits.begin(), '0');
    for (size_t i = digits.size(); up && i-- > 0;) {
      if (digits[i] == '.') continue;
      if (digits[i] == '9') {
        digits[i] = '0';
        continue;
      }
      ++digits[i];
      break;
    }
    if (digits[0] == '0') digits.erase(0, 1);
  }
  const size_t integer = std::min(digits.find('.'), digits.size());
  const bool zero = digits.find_first_not_of("0.") == std::string::npos;
  std::string text = amount < 0 && !zero ? "-" : "";
  for (size_t i = 0; i < integer; ++i) {
    if (i > 0 && (integer - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text + digits.substr(integer);
}

TEST(FormatAmountTest, PrintsWhatPrintfPrints) {
  std::mt19937_64 random(2024);
  std::vector<double> amounts = {
      0,     -0.0,        0.0000005, 0.0000015,  2.0000045, 0.125,
      1e15,  1e20,        -1e22,     4294967296, 9.9999995, -0.0000004,
      0.5,   16777215.99, 1.15,      999.995,    -999999.5, std::numeric_limits<double>::max(),
      5e-324};
  for (int i = 0; i < 20000; ++i) {
    // Amounts as entries give them: packed price times packed count, either sign.
    const double price = UnpackAmount(static_cast<int32_t>(random() & 0x7FFFFFFF));
    const double count = UnpackAmount(static_cast<int32_t>(random() % 5000));
    amounts.push_back((random() % 2 ? -1 : 1) * price * count);
    amounts.push_back(std::ldexp(static_cast<double>(random() % 1000000), -(int)(random() % 40)));
  }
  for (double amount : amounts) {
    for (int decimals : {0, 1, 2, 6, 7}) {
      ASSERT_EQ(FormatAmount(amount, decimals).View(), PrintfRule(amount, decimals))
          << amount << " with " << decimals;
    }
  }
}

TEST(FixedDigitsTest, GivesPrintfsTextRoundingExactTiesToEven) {
  std::mt19937_64 random(77);
  std::vector<double> values = {0.0078125,
                                0.0234375,
                                1.0 / 128 * 999,
                                2.5e-7,
                                5e-7,
                                4.9999999e-7,
                                1e-300,
                                9223372036854775807.0,
                                9.3e18,
                                123456789.123456789,
                                -1.5,
                                std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::denorm_min()};
  for (int i = 0; i < 100000; ++i) {
    // Odd multiples of 2^-7 fall exactly halfway between two millionths.
    values.push_back(static_cast<double>(random() % 100000000 * 2 + 1) / 128);
    values.push_back(std::ldexp(static_cast<double>(random() >> 11), -(int)(random() % 80)));
    uint64_t bits = random();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    values.push_back(any);
  }
  for (double value : values) {
    char expected[400];
    std::snprintf(expected, sizeof expected, "%f", value);
    char buffer[kFixedDigitsCapacity];
    ASSERT_EQ(FixedDigits(value, buffer), std::string_view(expected)) << value;
  }
}

TEST(FormatAmountTest, InfinityAndNanAreNotCut) {
  EXPECT_EQ(FormatAmount(std::numeric_limits<double>::infinity(), 2).View(), "inf");
  EXPECT_EQ(FormatAmount(-std::numeric_limits<double>::infinity(), 2).View(), "-inf");
  EXPECT_EQ(FormatAmount(std::nan(""), 2).View(), "nan");
}

}  // namespace
}  // namespace ledgerix
