#include "finance/fixed_digits.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace ledgerix {
namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr uint64_t kMillion = 1000000;

// Amounts below 2^63 (all that entries hold) are printed from integers: the value is exactly
// mantissa × 2^exponent, so value × 10^6 is computed exactly in 128 bits and rounded to the
// nearest integer, ties to even, as printf rounds the exact binary value.
bool PrintExactly(double value, char* out, size_t* length) {
  if (!(value >= 0) || value >= 9223372036854775808.0) return false;
  int exponent = 0;
  const double fraction = std::frexp(value, &exponent);  // value = fraction × 2^exponent
  const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
  exponent -= 53;  // value = mantissa × 2^exponent exactly
  const Wide scaled = static_cast<Wide>(mantissa) * kMillion;
  Wide millionths = 0;
  if (exponent >= 0) {
    millionths = scaled << exponent;  // below 2^63 × 10^6 < 2^83
  } else if (exponent > -110) {
    const int shift = -exponent;
    millionths = scaled >> shift;
    const Wide rest = scaled & ((static_cast<Wide>(1) << shift) - 1);
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    if (rest > half || (rest == half && (millionths & 1) != 0)) ++millionths;
  }  // else: below 2^-36, which prints as 0.000000
  const auto whole = static_cast<uint64_t>(millionths / kMillion);
  const auto decimals = static_cast<uint64_t>(millionths % kMillion);
  char* end = std::to_chars(out, out + 24, whole).ptr;
  *end++ = '.';
  // Six digits, leading zeros included, back to front.
  auto rest = static_cast<uint32_t>(decimals);
  for (int i = 6; i > 0; --i) {
    end[i - 1] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  }
  end += 6;
  *length = static_cast<size_t>(end - out);
  return true;
}

}  // namespace

std::string_view FixedDigits(double value, char (&buffer)[kFixedDigitsCapacity]) {
  size_t length = 0;
  if (PrintExactly(value, buffer, &length)) return std::string_view(buffer, length);
  // Larger values, negative ones, infinities and NaN: to_chars with a precision gives printf's
  // text too, only more slowly.
  const auto result =
      std::to_chars(buffer, buffer + kFixedDigitsCapacity, value, std::chars_format::fixed, 6);
  return std::string_view(buffer, static_cast<size_t>(result.ptr - buffer));
}

}  // namespace ledgerix
