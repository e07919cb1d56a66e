#pragma once
// PackedAmount: how prices and counts are stored: a non-negative amount with two decimals in one
// 32-bit integer, whole units in the upper 24 bits and hundredths (0 to 99) in the low 8 bits.
// How amounts are counted once read: finance/money.h.

#include <cstdint>

namespace ledgerix {

// True when `amount` can be packed: a number, not negative, and below 16,777,215.995 (so that
// it does not round up past the largest whole part).
bool CanPackAmount(double amount);

// The packed code of an amount that CanPackAmount accepts (anything else packs as 0), rounded
// to the nearest hundredth, half up (HundredthsOf): 1.15 packs as 1 and 15 hundredths, 2.999 as
// 3 and 0 hundredths.
int32_t PackAmount(double amount);

// The packed code of a number of hundredths from 0 to kMaxPackedHundredths; 0 outside.
int32_t PackHundredths(int64_t hundredths);

// The amount of a code in hundredths, exactly; a low byte above 99 reads as 99 hundredths.
int64_t PackedHundredths(int32_t code);

// The amount of a code as a double (for defaults shown in an editor); prefer PackedHundredths.
double UnpackAmount(int32_t code);

}  // namespace ledgerix
