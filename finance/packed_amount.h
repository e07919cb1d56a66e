#pragma once
// PackedAmount: how prices and counts are stored: a non-negative amount with two decimals in one
// 32-bit integer, whole units in the upper 24 bits and hundredths (0 to 99) in the low 8 bits.

#include <cstdint>

namespace ledgerix {

// The largest whole part a packed amount holds.
inline constexpr double kMaxPackedWhole = 16777215.0;

// True when `amount` can be packed: not negative, below 16,777,216 and a number.
bool CanPackAmount(double amount);

// The packed code of an amount that CanPackAmount accepts (anything else packs as 0). The
// hundredths are rounded with 0.1 of slack so that 1.15 packs as 1 and 15 hundredths; when they
// come out as 100 the whole part goes up by one instead.
int32_t PackAmount(double amount);

// The amount of a code; a low byte above 99 reads as 99 hundredths.
double UnpackAmount(int32_t code);

}  // namespace ledgerix
