#include "reports/statistics_captions.h"

#include "finance/format_amount.h"
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
  captions.incoming = Labelled("Вх.ост: ", FormatAmount(totals.incoming_balance, 2));
  captions.total =
      Labelled("Итого: ", FormatAmount(totals.incoming_balance + totals.rows_total, 2));
  if (!table.rows.empty()) {
    captions.income = Labelled("Приход: ", FormatAmount(totals.income_total, 2));
    captions.spending = Labelled("Расход: ", FormatAmount(totals.spending_total, 2));
  }
  captions.account_visible = context.show_account_in_report != 0;
  if (captions.account_visible) {
    captions.account = Labelled("Счет: ", context.current_account_name);
  }
  return captions;
}

}  // namespace ledgerix
