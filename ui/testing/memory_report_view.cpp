#include "ui/testing/memory_report_view.h"

namespace ledgerix::testing {

std::vector<int> MemoryReportView::ColumnWidths() const {
  if (!dragged_widths.empty()) return dragged_widths;
  std::vector<int> widths;
  for (const ReportColumn& column : table.columns) widths.push_back(column.width);
  return widths;
}

void MemoryReportView::ShowReport(const ReportTable& shown) {
  table = shown;
  dragged_widths.clear();
  edited.clear();
  ++reports_shown;
}

DbString MemoryReportView::CellText(int row, int column) const {
  if (auto it = edited.find({row, column}); it != edited.end()) return FromUtf8(it->second);
  if (row < 0 || row >= RowCount() || column < 0) return DbString();
  return DbString(table.rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)]);
}

std::vector<std::string> MemoryReportView::Rows() const {
  std::vector<std::string> rows;
  for (int row = 0; row < RowCount(); ++row) {
    std::string text;
    for (size_t column = 0; column < table.columns.size(); ++column) {
      if (column > 0) text += "|";
      text += ToUtf8(CellText(row, static_cast<int>(column)));
    }
    rows.push_back(text);
  }
  return rows;
}

std::string MemoryReportView::Titles() const {
  std::string titles;
  for (const ReportColumn& column : table.columns) {
    if (!titles.empty()) titles += "|";
    titles += ToUtf8(column.title);
  }
  return titles;
}

}  // namespace ledgerix::testing
