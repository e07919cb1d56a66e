#include "finance/money.h"

#include <cmath>
#include <limits>
#include <string_view>

#include "finance/fixed_digits.h"
#include "finance/packed_amount.h"

namespace ledgerix {
namespace {

__extension__ typedef __int128 Wide;

constexpr int64_t kMaxMoney = std::numeric_limits<int64_t>::max();
constexpr int64_t kMinMoney = std::numeric_limits<int64_t>::min();

int64_t Clamped(Wide value) {
  if (value > kMaxMoney) return kMaxMoney;
  if (value < kMinMoney) return kMinMoney;
  return static_cast<int64_t>(value);
}

}  // namespace

int64_t ScaleToNearest(int64_t value, int64_t numerator, int64_t denominator) {
  if (denominator == 0) return 0;
  Wide product = static_cast<Wide>(value) * numerator;
  Wide divisor = denominator;
  if (divisor < 0) {
    divisor = -divisor;
    product = -product;
  }
  // Rounds the magnitude half up, which is half away from zero for the signed quotient.
  const bool negative = product < 0;
  const Wide magnitude = negative ? -product : product;
  // Up when the remainder is at least half the divisor (compared without doubling it).
  const Wide quotient = magnitude / divisor;
  const Wide remainder = magnitude % divisor;
  const Wide nearest = remainder >= divisor - remainder ? quotient + 1 : quotient;
  return Clamped(negative ? -nearest : nearest);
}

int64_t SumMoney(int64_t a, int64_t b) {
  int64_t sum = 0;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return a < 0 ? kMinMoney : kMaxMoney;
}

int64_t EntryAmount(int32_t price_code, int32_t count_code) {
  // Both below 1.7e9, so the product stays below 2.9e18 and fits in 64 bits; half up, as
  // neither is negative. Every entry of every report comes here, so no 128-bit division.
  const auto product = static_cast<uint64_t>(PackedHundredths(price_code)) *
                       static_cast<uint64_t>(PackedHundredths(count_code));
  return static_cast<int64_t>((product + 50) / 100);
}

int64_t HundredthsOf(double amount) {
  if (std::isnan(amount)) return 0;
  const bool negative = amount < 0;
  const double magnitude = std::fabs(amount);
  // Anything from 2^63 / 100 on is beyond the range in hundredths.
  if (magnitude >= 92233720368547758.0) return negative ? kMinMoney : kMaxMoney;
  char buffer[kFixedDigitsCapacity];
  const std::string_view digits = FixedDigits(magnitude, buffer);  // "ddd.dddddd"
  int64_t hundredths = 0;
  size_t i = 0;
  for (; i < digits.size() && digits[i] != '.'; ++i)
    hundredths = hundredths * 10 + (digits[i] - '0');
  // Two decimals, and the third decides: at or above a half the amount goes up.
  for (size_t k = 1; k <= 2; ++k) hundredths = hundredths * 10 + (digits[i + k] - '0');
  if (digits[i + 3] >= '5') ++hundredths;
  return negative ? -hundredths : hundredths;
}

}  // namespace ledgerix
