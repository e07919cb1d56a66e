#pragma once
// RowColourRule: the rule by which an editable list draws some rows in their own colours: the
// row's cell in one column compared with a value. Colours are 0x00BBGGRR.

#include <cstdint>
#include <string_view>

#include "engine/db_string.h"

namespace ledgerix {

enum class RowCompare { kLess = 0, kGreater = 1, kEqual = 2, kNotEqual = 3 };

struct RowColourRule {
  int column = -1;  // -1: no rule, no row matches
  DbString value;   // what the cell is compared with
  RowCompare compare = RowCompare::kNotEqual;
  // As text only kEqual is known (byte for byte); otherwise both sides are read as amounts in
  // exact hundredths (CellHundredths), so "-0.50" is less than "0".
  bool as_text = false;
  uint32_t match_text = 0x0019FFFF;
  uint32_t match_background = 0x00927B21;
  uint32_t other_text = 0x00000000;
  uint32_t other_background = 0x00FFFFFF;

  // Whether a row whose cell in `column` holds `cell` (NUL-terminated) matches. False without
  // a rule and for a text compare other than kEqual.
  bool Matches(const char* cell) const;
};

}  // namespace ledgerix
