#include "reports/amount_read_back.h"

#include <cmath>
#include <string_view>

#include "finance/fixed_digits.h"

namespace ledgerix {

double ReadBackAmount(double amount) {
  if (!std::isfinite(amount)) return 0;
  // FormatAmount prints the magnitude with six decimals and keeps the first two of them.
  char buffer[kFixedDigitsCapacity];
  const std::string_view digits = FixedDigits(std::fabs(amount), buffer);
  auto digit = [&](size_t i) { return i < digits.size() ? digits[i] : '\0'; };
  double value = 0;
  size_t i = 0;
  for (; digit(i) >= '0' && digit(i) <= '9'; ++i) value = value * 10 + (digit(i) - '0');
  if (digit(i) == '.') {
    // ParseDecimal adds each fraction digit as a single-precision quotient.
    value += static_cast<float>(digit(i + 1) - '0') / 10.0f;
    value += static_cast<float>(digit(i + 2) - '0') / 100.0f;
  }
  return amount < 0 && value != 0 ? -value : value;
}

}  // namespace ledgerix
