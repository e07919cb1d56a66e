#include "finance/format_amount.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/parse.h"
#include "finance/fixed_digits.h"

namespace ledgerix {
namespace {

// Copies `digits` (an integer part, then optionally "." and decimals) to `out` with "," between
// groups of three digits of the integer part; answers the length written.
size_t CopyGrouped(std::string_view digits, char* out) {
  const size_t integer_length = std::min(digits.find('.'), digits.size());
  size_t length = 0;
  for (size_t i = 0; i < integer_length; ++i) {
    if (i > 0 && (integer_length - i) % 3 == 0) out[length++] = ',';
    out[length++] = digits[i];
  }
  for (size_t i = integer_length; i < digits.size(); ++i) out[length++] = digits[i];
  return length;
}

// Adds one unit in the last place of a text of digits and at most one "."; the text starts
// with a spare "0" that takes a carry out of its first digit.
void RoundUp(char* text, size_t length) {
  for (size_t i = length; i-- > 0;) {
    if (text[i] == '.') continue;
    if (text[i] != '9') {
      ++text[i];
      return;
    }
    text[i] = '0';
  }
}

DbString Owned(std::string_view text) {
  // Exactly as large as the text: many amounts are kept at once.
  DbString result(static_cast<uint32_t>(text.size() + 1));
  result.AppendBytes(text.data(), static_cast<uint32_t>(text.size()));
  return result;
}

}  // namespace

AmountText FormatMoneyText(int64_t hundredths) {
  const bool negative = hundredths < 0;
  // Unsigned, so that the most negative value has a magnitude too.
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(hundredths) : static_cast<uint64_t>(hundredths);
  char digits[32];
  char* end = std::to_chars(digits, digits + 24, magnitude / 100).ptr;
  *end++ = '.';
  *end++ = static_cast<char>('0' + magnitude % 100 / 10);
  *end++ = static_cast<char>('0' + magnitude % 10);
  AmountText result;
  size_t length = 0;
  if (negative) result.text_[length++] = '-';
  length += CopyGrouped(std::string_view(digits, static_cast<size_t>(end - digits)),
                        result.text_ + length);
  result.length_ = length;
  return result;
}

AmountText FormatAmountText(double amount, int decimals) {
  const int kept_decimals = std::clamp(decimals, 0, 6);
  char buffer[kFixedDigitsCapacity];
  const std::string_view digits = FixedDigits(std::fabs(amount), buffer);
  const size_t point = digits.find('.');
  // A spare "0" in front takes the carry of 999.995 to 1000.00.
  char rounded[kFixedDigitsCapacity + 1];
  rounded[0] = '0';
  std::memcpy(rounded + 1, digits.data(), digits.size());
  size_t length = digits.size();
  // "inf" and "nan" have no decimals to round.
  if (point != std::string_view::npos) {
    length = kept_decimals > 0 ? point + 1 + static_cast<size_t>(kept_decimals) : point;
    const size_t next = point + 1 + static_cast<size_t>(kept_decimals);
    if (next < digits.size() && digits[next] >= '5') RoundUp(rounded, length + 1);
  }
  std::string_view text(rounded + 1, length);
  if (rounded[0] != '0') text = std::string_view(rounded, length + 1);
  const bool zero = text.find_first_not_of("0.") == std::string_view::npos;
  static_assert(sizeof AmountText().text_ >= kFixedDigitsCapacity + kFixedDigitsCapacity / 3 + 3);
  AmountText result;
  size_t out = 0;
  if (amount < 0 && !zero) result.text_[out++] = '-';
  out += CopyGrouped(text, result.text_ + out);
  result.length_ = out;
  return result;
}

DbString FormatMoney(int64_t hundredths) {
  const AmountText text = FormatMoneyText(hundredths);
  return Owned(text.View());
}

DbString FormatAmount(double amount, int decimals) {
  const AmountText text = FormatAmountText(amount, decimals);
  return Owned(text.View());
}

int64_t CellHundredths(const char* text) {
  if (text == nullptr) return 0;
  const char* first = text;
  while (*first == ' ') ++first;
  const int64_t amount = ParseHundredths(text);
  return *first == '-' ? -amount : amount;
}

}  // namespace ledgerix
