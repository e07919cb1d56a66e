#pragma once
// Numbers in list cells: the amount a cell shows ("-1,234.50") read exactly, the text the
// in-place number editor opens with, and the text a decimal cell takes when its editor closes.

#include <cstdint>
#include <string_view>

#include "engine/db_string.h"
#include "finance/format_amount.h"  // CellHundredths

namespace ledgerix {

// The text the number editor of a digits or decimal cell opens with: the cell without ","; with
// decimals above 0, exactly that many digits after the "." (cut when there are more, filled
// with "0" when fewer, the "." and an integer "0" added when missing), so the editor always
// gets a text of its fixed form. "1,234.567" with 2 gives "1234.56", "5" gives "5.00", "" gives
// "0.00", "-7.5" gives "-7.50".
DbString NumberEditorText(std::string_view cell, int decimals);

// The text a decimal cell takes from its editor's text, with the sign of that text kept:
// with 2 decimals the exact amount (CellHundredths) printed by FormatMoney ("71234.5" gives
// "71,234.50"); with other decimals above 0, ParseDecimal printed by FormatAmount; with 0
// decimals, ParseInt printed by FormatAmount.
DbString DecimalCellText(const char* editor_text, int decimals);

}  // namespace ledgerix
