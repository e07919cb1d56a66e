#pragma once
// The columns of a statistics report: titles, widths (the user's remembered widths, else
// shares of the list's width), alignment and what their cells hold, for each grouping.

#include <vector>

#include "engine/db_string.h"
#include "reports/report_context.h"
#include "reports/report_params.h"
#include "reports/report_table.h"

namespace ledgerix {

// Grouping as the report builds it: grouping by categories or accounts as asked, by kinds for
// any other number.
int32_t EffectiveGroupType(int32_t group_type);

// Whether the report has the "Счет" column: when reports show the account, and always when
// grouping by accounts (whose rows would otherwise not say which account they are).
bool ShowsAccountColumn(int32_t group_type, const ReportContext& context);

// The widths of a remembered width text: each width in decimal followed by ","; an empty
// element reads as 0, a negative one as 0. "60,,48," gives 60, 0, 48.
std::vector<int> ParseColumnWidths(const DbString& text);
// The text that remembers widths: each in decimal followed by "," (60, 96, 48 give "60,96,48,").
DbString ColumnWidthsText(const std::vector<int>& widths);

// The columns a list of `client_width` pixels gets before its rows are in. By kinds: "Дата",
// ["Счет"], "Описание", "Категория", "Кол-во", "Цена", "Сумма"; by categories or accounts:
// "Дата", ["Счет"], "Категория", "Сумма" and two zero-width placeholders "STUB". A column takes
// the remembered width of its position when the width text has one, its default share
// otherwise; grouping by accounts gives "Сумма" the width remembered at the position of
// "Категория", since that column is gone from the finished report.
std::vector<ReportColumn> LayoutColumns(const ReportParams& params, const ReportContext& context,
                                        int client_width);

// The columns of the finished report: drops the placeholders and, grouping by accounts, the
// category column ("Дата", ["Счет"], "Категория", "Сумма" by categories; "Дата", ["Счет"],
// "Сумма" by accounts). Kinds keep their columns.
void FinishColumns(int32_t group_type, const ReportContext& context,
                   std::vector<ReportColumn>* columns);

// The finished report's column whose value tints negative rows: "Цена" by kinds, "Сумма"
// otherwise.
int ColourColumn(int32_t group_type, const ReportContext& context);

}  // namespace ledgerix
