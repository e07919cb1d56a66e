#include "reports/report_columns.h"

#include <optional>

#include "engine/parse.h"

namespace ledgerix {
namespace {

ReportColumn MakeColumn(const char* utf8_title, int width, ColumnAlign align, ColumnContent content,
                        bool decimal_number = false) {
  ReportColumn column;
  column.title = FromUtf8(utf8_title);
  column.width = width;
  column.align = align;
  column.content = content;
  column.decimal_number = decimal_number;
  return column;
}

// The remembered width at a position, when the text has that many elements.
std::optional<int> RememberedWidth(const std::vector<int>& widths, size_t position) {
  if (position < widths.size()) return widths[position];
  return std::nullopt;
}

}  // namespace

int32_t EffectiveGroupType(int32_t group_type) {
  return group_type == kGroupByCategories || group_type == kGroupByAccounts ? group_type
                                                                            : kGroupByKinds;
}

bool ShowsAccountColumn(int32_t group_type, const ReportContext& context) {
  return context.show_account_in_report != 0 || EffectiveGroupType(group_type) == kGroupByAccounts;
}

std::vector<int> ParseColumnWidths(const DbString& text) {
  std::vector<int> widths;
  std::string_view rest = text.View();
  while (!rest.empty()) {
    size_t comma = rest.find(',');
    std::string element(rest.substr(0, comma));
    int width = ParseInt(element.c_str());
    widths.push_back(width > 0 ? width : 0);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return widths;
}

DbString ColumnWidthsText(const std::vector<int>& widths) {
  DbString text;
  DbString element;
  for (int width : widths) {
    element.Format("%d,", width);
    text.AppendString(element);
  }
  return text;
}

std::vector<ReportColumn> LayoutColumns(const ReportParams& params, const ReportContext& context,
                                        int client_width) {
  const int32_t group_type = EffectiveGroupType(params.group_type);
  const bool account = ShowsAccountColumn(group_type, context);
  const std::vector<int> remembered = ParseColumnWidths(context.column_widths);
  const int w = client_width;
  const int d = w * 2 / 10;
  const int e = w * 3 / 10;

  std::vector<ReportColumn> columns;
  // The width of the next column: remembered at `position`, else `fallback`.
  auto width_at = [&](size_t position, int fallback) {
    return RememberedWidth(remembered, position).value_or(fallback);
  };
  columns.push_back(
      MakeColumn("Дата", width_at(0, d + 3), ColumnAlign::kLeft, ColumnContent::kCaption));
  if (account) {
    columns.push_back(MakeColumn("Счет", width_at(1, e), ColumnAlign::kLeft, ColumnContent::kText));
  }
  const size_t s = account ? 1 : 0;
  if (group_type == kGroupByKinds) {
    const ColumnAlign left = ColumnAlign::kLeft;
    columns.push_back(
        MakeColumn("Описание", width_at(1 + s, w * 4 / 10), left, ColumnContent::kText));
    columns.push_back(
        MakeColumn("Категория", width_at(2 + s, w * 4 / 10), left, ColumnContent::kText));
    columns.push_back(MakeColumn("Кол-во", width_at(3 + s, d), left, ColumnContent::kCount));
    columns.push_back(MakeColumn("Цена", width_at(4 + s, d), left, ColumnContent::kAmount, true));
    columns.push_back(MakeColumn("Сумма", width_at(5 + s, d), left, ColumnContent::kAmount, true));
    return columns;
  }
  const ColumnAlign right = ColumnAlign::kRight;
  columns.push_back(MakeColumn("Категория", width_at(1 + s, w * 5 / 10), ColumnAlign::kLeft,
                               ColumnContent::kText));
  const size_t sum_position = group_type == kGroupByAccounts ? 1 + s : 2 + s;
  columns.push_back(
      MakeColumn("Сумма", width_at(sum_position, e - 2), right, ColumnContent::kAmount, true));
  columns.push_back(MakeColumn("STUB", width_at(3 + s, 0), right, ColumnContent::kText));
  columns.push_back(MakeColumn("STUB", width_at(4 + s, 0), right, ColumnContent::kText));
  return columns;
}

void FinishColumns(int32_t group_type, const ReportContext& context,
                   std::vector<ReportColumn>* columns) {
  group_type = EffectiveGroupType(group_type);
  if (group_type == kGroupByKinds) return;
  const size_t s = ShowsAccountColumn(group_type, context) ? 1 : 0;
  if (columns->size() == 5 + s) columns->resize(3 + s);  // the placeholders are the last two
  if (group_type == kGroupByAccounts && columns->size() == 3 + s) {
    columns->erase(columns->begin() + static_cast<std::ptrdiff_t>(1 + s));
  }
}

int ColourColumn(int32_t group_type, const ReportContext& context) {
  group_type = EffectiveGroupType(group_type);
  const int s = ShowsAccountColumn(group_type, context) ? 1 : 0;
  if (group_type == kGroupByKinds) return 4 + s;
  return group_type == kGroupByCategories ? 2 + s : 1 + s;
}

}  // namespace ledgerix
