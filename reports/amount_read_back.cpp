#include "reports/amount_read_back.h"

#include <cmath>
#include <cstdio>

namespace ledgerix {

double ReadBackAmount(double amount) {
  if (!std::isfinite(amount)) return 0;
  // FormatAmount prints the magnitude with six decimals and keeps the first two of them.
  char digits[400];
  std::snprintf(digits, sizeof digits, "%f", std::fabs(amount));
  double value = 0;
  const char* p = digits;
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + (*p - '0');
  if (*p == '.') {
    // ParseDecimal adds each fraction digit as a single-precision quotient.
    value += static_cast<float>(p[1] - '0') / 10.0f;
    value += static_cast<float>(p[2] - '0') / 100.0f;
  }
  return amount < 0 && value != 0 ? -value : value;
}

}  // namespace ledgerix
