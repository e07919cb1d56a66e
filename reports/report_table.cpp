#include "reports/report_table.h"

#include "finance/format_amount.h"

namespace ledgerix {

bool RowIsTinted(const ReportTable& table, size_t row) {
  if (row >= table.rows.size() || table.colour_column < 0) return false;
  const auto column = static_cast<size_t>(table.colour_column);
  const ReportCells& cells = table.rows[row].cells;
  if (column >= cells.size()) return false;
  return CellHundredths(cells.CStr(column)) < 0;
}

}  // namespace ledgerix
