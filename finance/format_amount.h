#pragma once
// FormatAmount: the one rule by which every screen and report prints an amount: "," between
// thousands, "." before the decimals, decimals cut (not rounded), "-" in front when negative.

#include "engine/db_string.h"

namespace ledgerix {

// 1234567.5 with 2 decimals gives "1,234,567.50"; 1000 with 0 gives "1,000".
DbString FormatAmount(double amount, int decimals);

}  // namespace ledgerix
