#include "finance/packed_amount.h"

#include <cmath>

namespace ledgerix {
namespace {

struct Split {
  double whole;
  uint32_t hundredths;
};

// Whole units and hundredths; the hundredths get 0.1 of slack so that 1.15 gives 15, not 14,
// and when that makes them 100 (double rounding of n.995 or of 0.29 × 100) the whole part
// goes up by one instead.
Split SplitAmount(double amount) {
  double whole = std::trunc(amount);
  auto hundredths = static_cast<uint32_t>((amount - whole) * 100 + 0.1);
  if (hundredths >= 100) return {whole + 1, 0};
  return {whole, hundredths};
}

}  // namespace

bool CanPackAmount(double amount) {
  return std::isfinite(amount) && amount >= 0 && SplitAmount(amount).whole <= kMaxPackedWhole;
}

int32_t PackAmount(double amount) {
  if (!CanPackAmount(amount)) return 0;
  Split split = SplitAmount(amount);
  uint32_t code = (static_cast<uint32_t>(split.whole) << 8) | split.hundredths;
  return static_cast<int32_t>(code);
}

double UnpackAmount(int32_t code) {
  uint32_t bits = static_cast<uint32_t>(code);
  uint32_t hundredths = bits & 255u;
  if (hundredths > 99) hundredths = 99;
  return static_cast<double>(bits >> 8) + hundredths * 0.01;
}

}  // namespace ledgerix
