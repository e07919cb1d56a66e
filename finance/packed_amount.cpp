#include "finance/packed_amount.h"

#include <cmath>

#include "finance/money.h"

namespace ledgerix {

bool CanPackAmount(double amount) {
  if (!std::isfinite(amount) || amount < 0) return false;
  return HundredthsOf(amount) <= kMaxPackedHundredths;
}

int32_t PackAmount(double amount) {
  if (!CanPackAmount(amount)) return 0;
  return PackHundredths(HundredthsOf(amount));
}

int32_t PackHundredths(int64_t hundredths) {
  if (hundredths < 0 || hundredths > kMaxPackedHundredths) return 0;
  const auto whole = static_cast<uint32_t>(hundredths / 100);
  const auto rest = static_cast<uint32_t>(hundredths % 100);
  return static_cast<int32_t>((whole << 8) | rest);
}

int64_t PackedHundredths(int32_t code) {
  const auto bits = static_cast<uint32_t>(code);
  uint32_t hundredths = bits & 255u;
  if (hundredths > 99) hundredths = 99;
  return int64_t{bits >> 8} * 100 + hundredths;
}

double UnpackAmount(int32_t code) {
  // The double nearest to the exact amount, so that HundredthsOf gives the code's hundredths.
  return static_cast<double>(PackedHundredths(code)) / 100.0;
}

}  // namespace ledgerix
