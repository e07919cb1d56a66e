#pragma once
// Decimal text to numbers: ParseInt for integers, ParseHundredths for amounts typed by the user
// and ParseDecimal for stored decimal settings (either "." or "," as the decimal point, the
// other one as thousands grouping).

#include <cstdint>

namespace ledgerix {

// 0 for a null or empty text; an optional "+" or "-", then decimal digits up to the first
// byte that is not one. The value wraps at 32 bits. "12ab" gives 12, "x1" gives 0.
int32_t ParseInt(const char* text);

// The last "." or "," is the decimal separator and earlier ones are dropped; every character
// that is neither a digit nor the separator is skipped, so the result is never negative.
// Each fraction digit adds digit / 10^k computed in single precision. Only the first 10000
// characters are read. "1,000.25" gives 1000.25, "-3.5" gives 3.5; 0 for null.
double ParseDecimal(const char* text);

// The same text as ParseDecimal reads it (separators, skipped characters, never negative, the
// first 10000 characters), as a whole number of hundredths, exactly: the third fraction digit
// rounds to the nearest hundredth (half up) and later ones are ignored. "1,000.25" gives 100025,
// "0.125" gives 13, "-3.5" gives 350; 0 for null. Held at INT64_MAX instead of overflowing.
int64_t ParseHundredths(const char* text);

}  // namespace ledgerix
