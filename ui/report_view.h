#pragma once
// ReportView: the list in which the statistics screen shows its report, as its rules see it.
// The screen's dialog implements it over its EditList; tests over memory. Plain C++.

#include <vector>

#include "engine/db_string.h"
#include "reports/report_table.h"

namespace ledgerix {

class ReportView {
 public:
  virtual ~ReportView() = default;
  // The width in pixels the columns share.
  virtual int ClientWidth() const = 0;
  // Every column's current width in pixels (as the person left them), in column order.
  virtual std::vector<int> ColumnWidths() const = 0;
  // Shows the table: its columns, its rows in order and its tinted rows.
  virtual void ShowReport(const ReportTable& table) = 0;
  // The text a cell shows now (a cell edited in place shows its new text); empty out of range.
  virtual DbString CellText(int row, int column) const = 0;
  virtual int RowCount() const = 0;
};

}  // namespace ledgerix
