#include "reports/report_grouping.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "finance/format_amount.h"
#include "reports/fitted_text.h"
#include "reports/periods.h"
#include "reports/report_columns.h"

namespace ledgerix {
namespace {

// Granularity as the grouping applies it: month or year as asked, day for anything else.
int32_t EffectivePeriodType(int32_t period_type) {
  return period_type == kPeriodMonth || period_type == kPeriodYear ? period_type : kPeriodDay;
}

// The part of a row's date that its group shares: day, month and year; month and year; or year.
uint32_t DateGroupKey(const DateParts& date, int32_t period_type) {
  const auto day = static_cast<uint32_t>(date.day);
  const auto month = static_cast<uint32_t>(date.month);
  const auto year = static_cast<uint32_t>(date.year);
  switch (period_type) {
    case kPeriodYear:
      return year;
    case kPeriodMonth:
      return month * 100 + year;
    default:
      return (day * 100 + month) * 100 + year;
  }
}

uint64_t GroupKey(int32_t what, const DateParts& date, int32_t period_type) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(what)) << 32) |
         DateGroupKey(date, period_type);
}

// The groups of the scratch rows in order of their first row: for each row the index of its
// group, and for each group the index of its first row.
struct Groups {
  std::vector<uint32_t> group_of_row;
  std::vector<uint32_t> first_row;
};

template <typename KeyOf>
Groups FindGroups(std::span<const ScratchRow> scratch, KeyOf key_of) {
  Groups groups;
  groups.group_of_row.reserve(scratch.size());
  std::unordered_map<uint64_t, uint32_t> index_of_key;
  index_of_key.reserve(scratch.size());
  for (uint32_t i = 0; i < scratch.size(); ++i) {
    const auto next = static_cast<uint32_t>(groups.first_row.size());
    auto [it, added] = index_of_key.try_emplace(key_of(scratch[i]), next);
    if (added) groups.first_row.push_back(i);
    groups.group_of_row.push_back(it->second);
  }
  return groups;
}

// The cells every grouping starts with: the caption and, when shown, the account.
ReportCells LeadingCells(const ScratchRow& row, int32_t period_type, bool account) {
  ReportCells cells;
  cells.reserve(96);
  cells.push_back(RowCaption(period_type, row.date.day, row.date.month, row.date.year));
  if (account) cells.push_back(row.account_name->View());
  return cells;
}

void AppendDescription(const ScratchRow& row, ReportCells* cells) {
  if (!row.plus) {
    cells->push_back(row.kind->description.View());
    return;
  }
  std::string text = "[+] ";
  text += row.kind->description.View();
  cells->push_back(text);
}

void AddToTotals(double sum, bool spending, ReportTotals* totals) {
  (spending ? totals->spending_total : totals->income_total) += sum;
  totals->rows_total += sum;
}

void AddKindsRow(const ScratchRow& first, int32_t period_type, bool account, double count,
                 double price, double sum, ReportTable* table) {
  ReportTableRow row;
  row.value = SortKey(first.date_key);
  row.cells = LeadingCells(first, period_type, account);
  AppendDescription(first, &row.cells);
  row.cells.push_back(first.kind->category.View());
  row.cells.push_back(FormatAmountText(count, 2).View());
  const AmountText price_text = FormatAmountText(price, 2);
  const bool spending = price_text.View().starts_with('-');
  row.cells.push_back(price_text.View());
  row.cells.push_back(FormatAmountText(sum, 2).View());
  table->rows.push_back(std::move(row));
  AddToTotals(sum, spending, &table->totals);
}

// Month and year rows of one kind.
struct KindsSums {
  double count = 0;
  double amount = 0;  // the entries' own price × count
  double prices = 0;
  int rows = 0;
};

// By category or account: `what` gives the key of the text the rows share. Only grouping by
// categories keeps the category cell.
template <typename What>
void GroupByText(std::span<const ScratchRow> scratch, const ReportParams& params,
                 const ReportContext& context, int32_t group_type, What what, ReportTable* table) {
  const int32_t period_type = EffectivePeriodType(params.period_type);
  const bool account = ShowsAccountColumn(group_type, context);
  const bool category = group_type == kGroupByCategories;
  const Groups groups = FindGroups(
      scratch, [&](const ScratchRow& row) { return GroupKey(what(row), row.date, period_type); });
  std::vector<double> sums(groups.first_row.size(), 0.0);
  for (uint32_t i = 0; i < scratch.size(); ++i) {
    sums[groups.group_of_row[i]] += scratch[i].price * scratch[i].count;
  }
  for (uint32_t g = 0; g < groups.first_row.size(); ++g) {
    const ScratchRow& first = scratch[groups.first_row[g]];
    ReportTableRow row;
    row.value = SortKey(first.date_key);
    row.cells = LeadingCells(first, period_type, account);
    if (category) row.cells.push_back(first.kind->category.View());
    row.cells.push_back(FormatAmountText(sums[g], 2).View());
    table->rows.push_back(std::move(row));
    AddToTotals(sums[g], first.price < 0, &table->totals);
  }
}

}  // namespace

void GroupByKinds(std::span<const ScratchRow> scratch, const ReportParams& params,
                  const ReportContext& context, ReportTable* table) {
  const int32_t period_type = EffectivePeriodType(params.period_type);
  const bool account = ShowsAccountColumn(kGroupByKinds, context);
  if (period_type == kPeriodDay) {
    for (const ScratchRow& row : scratch) {
      AddKindsRow(row, period_type, account, row.count, row.price, row.price * row.count, table);
    }
    return;
  }
  const Groups groups = FindGroups(
      scratch, [&](const ScratchRow& row) { return GroupKey(row.kind_id, row.date, period_type); });
  std::vector<KindsSums> sums(groups.first_row.size());
  for (uint32_t i = 0; i < scratch.size(); ++i) {
    KindsSums& group = sums[groups.group_of_row[i]];
    group.count += scratch[i].count;
    group.amount += scratch[i].price * scratch[i].count;
    group.prices += scratch[i].price;
    ++group.rows;
  }
  for (uint32_t g = 0; g < groups.first_row.size(); ++g) {
    const KindsSums& group = sums[g];
    const double price = group.count != 0 ? group.amount / group.count : group.prices / group.rows;
    AddKindsRow(scratch[groups.first_row[g]], period_type, account, group.count, price,
                group.amount, table);
  }
}

void GroupByCategories(std::span<const ScratchRow> scratch, const ReportParams& params,
                       const ReportContext& context, ReportTable* table) {
  GroupByText(
      scratch, params, context, kGroupByCategories,
      [](const ScratchRow& row) { return row.category_key; }, table);
}

void GroupByAccounts(std::span<const ScratchRow> scratch, const ReportParams& params,
                     const ReportContext& context, ReportTable* table) {
  GroupByText(
      scratch, params, context, kGroupByAccounts,
      [](const ScratchRow& row) { return row.account_key; }, table);
}

}  // namespace ledgerix
