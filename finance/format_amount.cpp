#include "finance/format_amount.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace ledgerix {
namespace {

// Inserts "," between groups of three digits of the integer part.
std::string GroupThousands(const std::string& digits) {
  size_t point = digits.find('.');
  size_t integer_length = point == std::string::npos ? digits.size() : point;
  std::string grouped;
  for (size_t i = 0; i < integer_length; ++i) {
    if (i > 0 && (integer_length - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  grouped += digits.substr(integer_length);
  return grouped;
}

}  // namespace

DbString FormatAmount(double amount, int decimals) {
  bool negative = amount < 0;
  double magnitude = std::fabs(amount);
  std::string digits;
  if (decimals > 0) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%f", magnitude);
    digits = buffer;
    int cut = 6 - (decimals < 6 ? decimals : 6);
    digits.resize(digits.size() - cut);
  } else {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", std::trunc(magnitude));
    digits = buffer;
  }
  std::string text = GroupThousands(digits);
  if (negative) text = "-" + text;
  return DbString(text);
}

}  // namespace ledgerix
