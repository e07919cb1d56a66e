#pragma once
// MemoryReportView: the statistics screen's list in memory, for its rules' tests: it keeps the
// table last shown, answers the column widths a test sets (the shown widths otherwise) and lets
// a test change a cell as an in-place edit would.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/report_view.h"

namespace ledgerix::testing {

class MemoryReportView : public ReportView {
 public:
  int ClientWidth() const override { return 228; }
  std::vector<int> ColumnWidths() const override;
  void ShowReport(const ReportTable& table) override;
  DbString CellText(int row, int column) const override;
  int RowCount() const override { return static_cast<int>(table.rows.size()); }

  // Each shown row as its cells joined by "|" (UTF-8).
  std::vector<std::string> Rows() const;
  // The shown column titles joined by "|" (UTF-8).
  std::string Titles() const;

  ReportTable table;
  std::vector<int> dragged_widths;                    // answered while not empty
  std::map<std::pair<int, int>, std::string> edited;  // (row, column) to UTF-8 text
  int reports_shown = 0;
};

}  // namespace ledgerix::testing
