#pragma once
// The text of a list cell as an export writes it, decided by its column's in-place editor.

#include <string_view>

#include "engine/db_string.h"
#include "ui/controls/column_editor.h"

namespace ledgerix {

// An empty cell stays empty.
// - Digits or decimal editor: the text without "," and with exactly the editor's decimals after
//   the "." ("1,234.5" with 2 gives "1234.50"; with 0 decimals "1234").
// - Plain text editor (or a kind the list does not know): the text unchanged.
// - No editor (null): a number ("-", digits, "," and at most one ".") without "," and without
//   the "." and what follows it ("1,234.50" gives "1234"); any other text unchanged, so a date
//   "05.03.08" or a name "ул. Мира" is not cut at its first ".".
DbString CellExportText(std::string_view text, const ColumnEditor* editor);

}  // namespace ledgerix
