#include "finance/format_amount.h"

#include <cmath>
#include <string_view>

#include "finance/fixed_digits.h"

namespace ledgerix {

AmountText FormatAmountText(double amount, int decimals) {
  const bool negative = amount < 0;
  const double magnitude = std::fabs(amount);
  // "%f" of the magnitude, or "%.0f" of its whole part: the same digits without the decimals.
  char buffer[kFixedDigitsCapacity];
  std::string_view digits = FixedDigits(decimals > 0 ? magnitude : std::trunc(magnitude), buffer);
  const size_t point = digits.find('.');
  // "inf" and "nan" have no decimals to cut.
  if (point != std::string_view::npos) {
    digits.remove_suffix(decimals > 0 ? static_cast<size_t>(6 - (decimals < 6 ? decimals : 6))
                                      : digits.size() - point);
  }
  const size_t integer_length = point == std::string_view::npos ? digits.size() : point;
  // "," between groups of three digits of the integer part.
  static_assert(sizeof AmountText().text_ >= kFixedDigitsCapacity + kFixedDigitsCapacity / 3 + 2);
  AmountText result;
  char* text = result.text_;
  size_t length = 0;
  if (negative) text[length++] = '-';
  for (size_t i = 0; i < integer_length; ++i) {
    if (i > 0 && (integer_length - i) % 3 == 0) text[length++] = ',';
    text[length++] = digits[i];
  }
  for (size_t i = integer_length; i < digits.size(); ++i) text[length++] = digits[i];
  result.length_ = length;
  return result;
}

DbString FormatAmount(double amount, int decimals) {
  // The view points into `formatted`, which must outlive the copy below.
  const AmountText formatted = FormatAmountText(amount, decimals);
  const std::string_view text = formatted.View();
  // Exactly as large as the text: many amounts are kept at once.
  DbString result(static_cast<uint32_t>(text.size() + 1));
  result.AppendBytes(text.data(), static_cast<uint32_t>(text.size()));
  return result;
}

}  // namespace ledgerix
