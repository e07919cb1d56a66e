#pragma once
// TypeCode: the `type` column of an entry: units digit the direction (1 income, anything else
// expense), tens digit the "[P]" flag, hundreds digit the "[+]" flag. Readers take the low 8 bits
// as a signed number first, so only codes up to 127 carry these meanings.

#include <cstdint>

namespace ledgerix {

inline constexpr int kIncome = 1;
inline constexpr int kExpense = 2;

// The low 8 bits of a stored code as a signed number, as every reader takes it.
int TypeCodeValue(int32_t code);
// 1 for income, 2 for every other direction digit.
int TypeDirection(int32_t code);
bool TypeHasP(int32_t code);
bool TypeHasPlus(int32_t code);
// The code of a direction (1 or 2) with or without the "[+]" flag.
int32_t MakeTypeCode(int direction, bool plus);

}  // namespace ledgerix
