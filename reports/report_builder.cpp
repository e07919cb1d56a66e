#include "reports/report_builder.h"

#include <algorithm>

#include "reports/report_columns.h"
#include "reports/report_grouping.h"

namespace ledgerix {

void AssembleReport(const EntryScan& scan, const ReportParams& params, const ReportContext& context,
                    int client_width, ReportTable* table) {
  const int32_t group_type = EffectiveGroupType(params.group_type);
  table->columns = LayoutColumns(params, context, client_width);
  table->rows.clear();
  table->totals = ReportTotals{};
  table->totals.incoming_balance = scan.incoming_balance;
  switch (group_type) {
    case kGroupByCategories:
      GroupByCategories(scan.rows, params, context, table);
      break;
    case kGroupByAccounts:
      GroupByAccounts(scan.rows, params, context, table);
      break;
    default:
      GroupByKinds(scan.rows, params, context, table);
      break;
  }
  std::stable_sort(
      table->rows.begin(), table->rows.end(),
      [](const ReportTableRow& a, const ReportTableRow& b) { return a.value < b.value; });
  FinishColumns(group_type, context, &table->columns);
  table->colour_column = ColourColumn(group_type, context);
}

}  // namespace ledgerix
