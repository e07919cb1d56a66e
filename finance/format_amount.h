#pragma once
// The one rule by which every screen, report and export prints an amount: "," between
// thousands, "." before the decimals, "-" in front when negative. Money is printed exactly from
// its hundredths (FormatMoney, see finance/money.h); FormatAmount prints a double rounded to
// the decimals asked for.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/db_string.h"

namespace ledgerix {

// Hundredths printed exactly: -123456 gives "-1,234.56", 5 gives "0.05", 0 gives "0.00".
DbString FormatMoney(int64_t hundredths);

// A double rounded to `decimals` decimals (at most six), half away from zero as its six-decimal
// "%f" text reads, so 2.675 gives "2.68" although the double is a hair below it: 1234567.5 with
// 2 gives "1,234,567.50", 2.999 with 2 gives "3.00", 1000 with 0 gives "1,000". A value that
// rounds to zero has no "-". "inf" and "nan" are printed as such.
DbString FormatAmount(double amount, int decimals);

// The same texts held in place, for callers that copy them on at once (a long report prints
// three amounts per row and should not allocate for each). The view is only to be had from a
// named text: a view of a temporary would outlive its characters.
class AmountText {
 public:
  std::string_view View() const& { return std::string_view(text_, length_); }
  std::string_view View() const&& = delete;

 private:
  friend AmountText FormatAmountText(double amount, int decimals);
  friend AmountText FormatMoneyText(int64_t hundredths);

  // The amount an amount text shows, in exact hundredths: ParseHundredths of the text, negative
  // when the text begins with "-" (after spaces). The one reading of a printed amount that
  // compares it with another (a list's row colours, a report's tinted rows): "-0.50" gives -50,
  // "1,234.50" gives 123450, "" and null give 0.
  int64_t CellHundredths(const char* text);
  // The longest double printed with "%f" and its "," separators.
  char text_[440];
  size_t length_ = 0;
};

AmountText FormatMoneyText(int64_t hundredths);

// The amount an amount text shows, in exact hundredths: ParseHundredths of the text, negative
// when the text begins with "-" (after spaces). The one reading of a printed amount that
// compares it with another (a list's row colours, a report's tinted rows): "-0.50" gives -50,
// "1,234.50" gives 123450, "" and null give 0.
int64_t CellHundredths(const char* text);
AmountText FormatAmountText(double amount, int decimals);

}  // namespace ledgerix
