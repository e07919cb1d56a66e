// Money in whole hundredths: rounding once, exact sums, exact texts, and doubles to hundredths.
#include "finance/money.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <utility>

#include "finance/format_amount.h"
#include "finance/packed_amount.h"

namespace ledgerix {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

int32_t Code(int64_t whole, int low_byte) {
  return static_cast<int32_t>((static_cast<uint32_t>(whole) << 8) |
                              static_cast<uint32_t>(low_byte));
}

TEST(MoneyTest, ScaleToNearestRoundsHalfAwayFromZero) {
  struct Case {
    int64_t value, numerator, denominator, expected;
  };
  // The last five go beyond 64 bits in between; the last three are clamped at the end.
  const Case cases[] = {{5, 1, 2, 3},       {-5, 1, 2, -3},          {4, 1, 3, 1},
                        {-5, 1, 3, -2},     {5, 1, -2, -3},          {-5, -1, 2, 3},
                        {7, 3, 0, 0},       {-1889, 100, 2100, -90}, {kMax, 100, 100, kMax},
                        {kMin, 3, 3, kMin}, {kMax, 2, 1, kMax},      {kMin, 2, 1, kMin},
                        {kMin, -1, 1, kMax}};
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleToNearest(c.value, c.numerator, c.denominator), c.expected)
        << c.value << " * " << c.numerator << " / " << c.denominator;
  }
}

TEST(MoneyTest, SumMoneyIsExactAndHeldAtTheLimits) {
  EXPECT_EQ(SumMoney(-630, -630), -1260);
  EXPECT_EQ(SumMoney(kMax, 1), kMax);
  EXPECT_EQ(SumMoney(kMin, -1), kMin);
  EXPECT_EQ(SumMoney(kMax, kMin), -1);
}

TEST(MoneyTest, AnEntrysAmountIsPriceTimesCountRoundedOnce) {
  struct Case {
    int32_t price, count;
    int64_t expected;
  };
  const Case cases[] = {
      {Code(0, 90), Code(7, 0), 630},        // 0.90 × 7
      {Code(52, 90), Code(40, 50), 214245},  // 52.90 × 40.50
      {Code(0, 5), Code(0, 50), 3},          // 0.025 goes up
      {Code(0, 5), Code(0, 10), 1},          // 0.005 goes up
      {Code(0, 1), Code(0, 49), 0},          // 0.0049 goes down
      {Code(1, 150), Code(2, 0), 398},       // a low byte above 99 reads as 99
      {Code(16777215, 99), Code(16777215, 99), 28147497637511168},  // the largest of all
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EntryAmount(c.price, c.count), c.expected) << c.price << " x " << c.count;
  }
  // Against the decimal arithmetic of whole numbers, for random codes.
  std::mt19937 random(11);
  for (int i = 0; i < 20000; ++i) {
    const int64_t price = random() % 2000000;
    const int64_t count = random() % 100000;
    const int64_t ten_thousandths = price * count;
    const int64_t expected = ten_thousandths / 100 + (ten_thousandths % 100 >= 50 ? 1 : 0);
    ASSERT_EQ(EntryAmount(PackHundredths(price), PackHundredths(count)), expected)
        << price << " x " << count;
  }
}

TEST(MoneyTest, HundredthsOfADoubleRoundAsItsDecimalTextReads) {
  const std::pair<double, int64_t> cases[] = {
      {1.15, 115},
      {-1.15, -115},
      {2.999, 300},
      {1.005, 101},
      {2.675, 268},
      {-0.005, -1},
      {0.004, 0},
      {-0.004, 0},
      {0.29 * 100, 2900},
      {0.9 * 7 * 3, 1890},    // 18.900000000000002
      {52.9 * 40.5, 214245},  // 2142.4499999999998
      {1e300, kMax},
      {-1e300, kMin},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& [amount, expected] : cases) {
    EXPECT_EQ(HundredthsOf(amount), expected) << amount;
  }
  // Every stored amount and every amount of two decimals comes back exactly.
  std::mt19937_64 random(5);
  for (int i = 0; i < 20000; ++i) {
    const auto code = static_cast<int32_t>(random() & 0xFFFFFFFF);
    ASSERT_EQ(HundredthsOf(UnpackAmount(code)), PackedHundredths(code)) << code;
    const auto hundredths = static_cast<int64_t>(random() % 1'000'000'000'000'000);
    ASSERT_EQ(HundredthsOf(static_cast<double>(hundredths) / 100), hundredths) << hundredths;
  }
}

TEST(FormatMoneyTest, PrintsHundredthsExactly) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0.00"},       {-5, "-0.05"},        {-214245, "-2,142.45"},
      {99999, "999.99"}, {100000, "1,000.00"}, {kMin, "-92,233,720,368,547,758.08"},
  };
  for (const auto& [hundredths, text] : cases) {
    EXPECT_EQ(FormatMoney(hundredths).View(), text);
    const AmountText in_place = FormatMoneyText(hundredths);
    EXPECT_EQ(in_place.View(), text);
  }
}

// A text's view is only to be had from a named text: one taken from a temporary would point
// at characters destroyed at the end of the statement.
template <typename T>
concept HasView = requires(T&& text) {
  std::forward<T>(text).View();
};

TEST(FormatMoneyTest, NoViewOfATemporaryText) {
  EXPECT_TRUE(HasView<AmountText&>);
  EXPECT_TRUE(HasView<const AmountText&>);
  EXPECT_FALSE(HasView<AmountText>);
}

}  // namespace
}  // namespace ledgerix
