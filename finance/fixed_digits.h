#pragma once
// FixedDigits: the text printf's "%f" gives for a double (six decimals, "." before them),
// byte for byte, without printf's cost: amounts are printed this way for every row of a report
// and every entry of a list.

#include <cstddef>
#include <string_view>

namespace ledgerix {

// Room for the longest text: 309 integer digits, the point, six decimals and a sign.
inline constexpr size_t kFixedDigitsCapacity = 320;

// The "%f" text of `value` in `buffer` ("inf", "nan" and a leading "-" as printf writes them).
std::string_view FixedDigits(double value, char (&buffer)[kFixedDigitsCapacity]);

}  // namespace ledgerix
