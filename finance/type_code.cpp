#include "finance/type_code.h"

namespace ledgerix {

int TypeCodeValue(int32_t code) { return static_cast<int8_t>(code & 0xFF); }

int TypeDirection(int32_t code) { return TypeCodeValue(code) % 10 == 1 ? kIncome : kExpense; }

bool TypeHasP(int32_t code) { return (TypeCodeValue(code) % 100) / 10 != 0; }

bool TypeHasPlus(int32_t code) { return TypeCodeValue(code) / 100 != 0; }

int32_t MakeTypeCode(int direction, bool plus) { return direction + (plus ? 100 : 0); }

}  // namespace ledgerix
