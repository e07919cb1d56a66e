#include "reports/statistics_captions.h"

#include "finance/format_amount.h"
#include "finance/money.h"
#include "reports/periods.h"

namespace ledgerix {
namespace {

// A label given in UTF-8 followed directly by a text.
DbString Labelled(const char* utf8_label, const DbString& text) {
  DbString line = FromUtf8(utf8_label);
  line.AppendString(text);
  return line;
}

DbString ReportTypeName(int32_t report_type) {
  switch (report_type) {
    case kReportBalance:
      return FromUtf8("Баланс");
    case kReportIncome:
      return FromUtf8("Доходы");
    case kReportSpending:
      return FromUtf8("Расходы");
    default:
      return DbString();
  }
}

}  // namespace

StatisticsCaptions ComputeStatisticsCaptions(const ReportParams& params, const ReportTable& table,
                                             const ReportContext& context,
                                             const platform::Clock& clock) {
  const ReportTotals& totals = table.totals;
  StatisticsCaptions captions;
  captions.period = PeriodLine(params, clock);
  captions.report = Labelled("Вид: ", ReportTypeName(params.report_type));
  if (params.category_filter.Length() > 0) {
    captions.category = Labelled("Категория: ", params.category_filter);
  }
  captions.incoming = Labelled("Вх.ост: ", FormatMoney(totals.incoming_balance));
  captions.total =
      Labelled("Итого: ", FormatMoney(SumMoney(totals.incoming_balance, totals.rows_total)));
  if (!table.rows.empty()) {
    captions.income = Labelled("Приход: ", FormatMoney(totals.income_total));
    captions.spending = Labelled("Расход: ", FormatMoney(totals.spending_total));
  }
  captions.account_visible = context.show_account_in_report != 0;
  if (captions.account_visible) {
    captions.account = Labelled("Счет: ", context.current_account_name);
  }
  return captions;
}

}  // namespace ledgerix
