#include "engine/parse.h"

#include <cmath>
#include <cstddef>

namespace ledgerix {
namespace {

constexpr size_t kMaxDecimalCharacters = 10000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return c == '.' || c == ','; }

// The decimal separator of a text: its last "." or ","; null when it has none.
const char* DecimalSeparator(const char* text) {
  const char* separator = nullptr;
  for (const char* p = text; *p != '\0'; ++p) {
    if (IsSeparator(*p)) separator = p;
  }
  return separator;
}

// value * 10 + digit, held at INT64_MAX.
int64_t AppendDigit(int64_t value, int digit) {
  int64_t result = 0;
  if (__builtin_mul_overflow(value, 10, &result) ||
      __builtin_add_overflow(result, digit, &result)) {
    return INT64_MAX;
  }
  return result;
}

}  // namespace

int32_t ParseInt(const char* text) {
  if (text == nullptr) return 0;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  uint32_t value = 0;  // unsigned, so that overflow wraps instead of being undefined
  for (; IsDigit(*text); ++text) value = value * 10 + static_cast<uint32_t>(*text - '0');
  return static_cast<int32_t>(negative ? 0u - value : value);
}

double ParseDecimal(const char* text) {
  if (text == nullptr) return 0;
  const char* separator = DecimalSeparator(text);
  double value = 0;
  int fraction_digits = 0;  // 0 while still before the separator
  bool in_fraction = false;
  for (size_t i = 0; text[i] != '\0' && i < kMaxDecimalCharacters; ++i) {
    const char c = text[i];
    if (text + i == separator) {
      in_fraction = true;
    } else if (IsDigit(c)) {
      const int digit = c - '0';
      if (!in_fraction) {
        value = value * 10 + digit;
      } else {
        ++fraction_digits;
        const auto scale = static_cast<float>(std::pow(10.0, fraction_digits));
        value += static_cast<float>(digit) / scale;
      }
    }
  }
  return value;
}

int64_t ParseHundredths(const char* text) {
  if (text == nullptr) return 0;
  const char* separator = DecimalSeparator(text);
  int64_t whole = 0;
  int fraction[3] = {0, 0, 0};  // the first three fraction digits
  int fraction_digits = -1;     // -1 while still before the separator
  for (size_t i = 0; text[i] != '\0' && i < kMaxDecimalCharacters; ++i) {
    const char c = text[i];
    if (text + i == separator) {
      fraction_digits = 0;
    } else if (IsDigit(c)) {
      if (fraction_digits < 0) {
        whole = AppendDigit(whole, c - '0');
      } else if (fraction_digits < 3) {
        fraction[fraction_digits++] = c - '0';
      }
    }
  }
  int64_t hundredths = AppendDigit(AppendDigit(whole, fraction[0]), fraction[1]);
  if (fraction[2] >= 5 && hundredths < INT64_MAX) ++hundredths;
  return hundredths;
}

}  // namespace ledgerix
