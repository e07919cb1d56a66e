#pragma once
// The text lines of the statistics screen around its list: period, report direction, category
// filter, the totals and the current account. Computed from the parameters, the built report
// and the context; the screen only shows them.

#include "engine/db_string.h"
#include "platform/clock.h"
#include "reports/report_context.h"
#include "reports/report_params.h"
#include "reports/report_table.h"

namespace ledgerix {

struct StatisticsCaptions {
  DbString period;    // "Период с: 1.3.2008 по 31.3.2008"
  DbString report;    // "Вид: Баланс", "Вид: Доходы" or "Вид: Расходы"
  DbString category;  // "Категория: Еда"; empty without a category filter
  DbString incoming;  // "Вх.ост: " and the incoming balance
  DbString total;     // "Итого: " and the incoming balance plus the rows' total
  DbString income;    // "Приход: " and the income total; empty when the report has no rows
  DbString spending;  // "Расход: " and the spending total; empty when the report has no rows
  DbString account;   // "Счет: " and the current account's name; empty while hidden
  bool account_visible = false;  // while reports show the account
};

// The totals (hundredths) are printed with FormatMoney right after their label
// ("Итого: 1,200.00"); the closing figure is the incoming balance plus the rows' total.
StatisticsCaptions ComputeStatisticsCaptions(const ReportParams& params, const ReportTable& table,
                                             const ReportContext& context,
                                             const platform::Clock& clock);

}  // namespace ledgerix
