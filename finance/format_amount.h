#pragma once
// FormatAmount: the one rule by which every screen and report prints an amount: "," between
// thousands, "." before the decimals, decimals cut (not rounded), "-" in front when negative.

#include <cstddef>
#include <string_view>

#include "engine/db_string.h"

namespace ledgerix {

// 1234567.5 with 2 decimals gives "1,234,567.50"; 1000 with 0 gives "1,000".
DbString FormatAmount(double amount, int decimals);

// The same text held in place, for callers that copy it on at once (a long report prints three
// amounts per row and should not allocate for each).
class AmountText {
 public:
  std::string_view View() const { return std::string_view(text_, length_); }

 private:
  friend AmountText FormatAmountText(double amount, int decimals);
  // The longest double printed with "%f" and its "," separators.
  char text_[440];
  size_t length_ = 0;
};

AmountText FormatAmountText(double amount, int decimals);

}  // namespace ledgerix
