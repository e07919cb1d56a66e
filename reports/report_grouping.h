#pragma once
// The grouping pass of a report: turns the scratch rows of the entry scan into statistics rows
// by kind, by category or by account, at the granularity of a day, a month or a year, and adds
// their sums into the totals. Groups are found with a hash map, each appearing where its first
// scratch row stands; the rows are not yet sorted by date.

#include <span>

#include "reports/entry_scan.h"
#include "reports/report_context.h"
#include "reports/report_params.h"
#include "reports/report_table.h"

namespace ledgerix {

// Each appends its rows to table->rows (cells as the finished columns of the grouping,
// value the SortKey of the group's first scratch row) and adds every row's sum into
// rows_total and, as the sum is below zero or not, into spending_total or income_total. The
// other totals are not touched. Amounts are hundredths (finance/money.h), printed exactly.

// By kinds. Day rows: one per scratch row: its count, price and own amount. Month and year
// rows: one per kind id and month (or year); count = the sum of the counts, sum = the sum of
// the entries' own amounts, price = sum ÷ count to the nearest hundredth (the plain average of
// the prices, rounded, when the count is 0).
void GroupByKinds(std::span<const ScratchRow> scratch, const ReportParams& params,
                  const ReportContext& context, ReportTable* table);

// By category text and day (month, year): one row with the sum of the entries' amounts.
void GroupByCategories(std::span<const ScratchRow> scratch, const ReportParams& params,
                       const ReportContext& context, ReportTable* table);

// By account name and day (month, year), as GroupByCategories.
void GroupByAccounts(std::span<const ScratchRow> scratch, const ReportParams& params,
                     const ReportContext& context, ReportTable* table);

}  // namespace ledgerix
