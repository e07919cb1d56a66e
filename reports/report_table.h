#pragma once
// ReportTable: what a statistics build produces and what the statistics screen and the export
// read: the columns (title, width, alignment, how their cells are numbers), the rows (cell texts
// and the value they sort by), the row-colouring rule and the four totals.

#include <cstdint>
#include <vector>

#include "engine/db_string.h"
#include "reports/report_cells.h"

namespace ledgerix {

enum class ColumnAlign { kLeft, kRight };

// What a column's cells hold, which decides how the export writes them.
enum class ColumnContent {
  kCaption,  // the period caption of the row (first column)
  kText,     // names: account, description, category
  kCount,    // a count printed with two decimals
  kAmount,   // a price or sum, declared to the list as a number with two decimals
};

struct ReportColumn {
  DbString title;
  int width = 0;  // pixels
  ColumnAlign align = ColumnAlign::kLeft;
  ColumnContent content = ColumnContent::kText;
  // Declared to the list as a number with two decimals ("Цена" and "Сумма" by kinds, "Сумма"
  // otherwise).
  bool decimal_number = false;
};

struct ReportTableRow {
  ReportCells cells;  // one per column
  int32_t value = 0;  // the row's SortKey (YYMMDD of its first entry)
};

// In hundredths (finance/money.h), each an exact sum of entry amounts.
struct ReportTotals {
  int64_t incoming_balance = 0;  // entries before the period
  int64_t rows_total = 0;        // signed sums of all rows
  int64_t income_total = 0;      // sums of the rows at or above zero
  int64_t spending_total = 0;    // sums of the rows below zero (0 or negative)
};

struct ReportTable {
  std::vector<ReportColumn> columns;
  std::vector<ReportTableRow> rows;
  // The column whose cell tints its row when its amount is below 0; -1 for none.
  int colour_column = -1;
  ReportTotals totals;
};

// The colours of a tinted row that is not selected (0x00BBGGRR): dark red on light pink.
inline constexpr uint32_t kTintedRowText = 0x000000C8;        // red 200, green 0, blue 0
inline constexpr uint32_t kTintedRowBackground = 0x00DCDCFF;  // red 255, green 220, blue 220

// Whether a row is drawn tinted: the amount of its colouring cell, in exact hundredths
// (CellHundredths, as the list's row-colour rule reads it), is below 0, so "-0.50" and "-1.00"
// are tinted and "0.00" is not. False for a row or column out of range.
bool RowIsTinted(const ReportTable& table, size_t row);

}  // namespace ledgerix
