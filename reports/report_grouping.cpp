#include "reports/report_grouping.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "finance/format_amount.h"
#include "finance/money.h"
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

// A row counts as spending when its own sum is below zero and as income otherwise, so that
// the totals agree with the rows shown.
void AddToTotals(int64_t sum, ReportTotals* totals) {
  int64_t& side = sum < 0 ? totals->spending_total : totals->income_total;
  side = SumMoney(side, sum);
  totals->rows_total = SumMoney(totals->rows_total, sum);
}

// Appends a money cell; the text is named, so its view stays valid while it is copied.
void AppendMoney(int64_t hundredths, ReportCells* cells) {
  const AmountText text = FormatMoneyText(hundredths);
  cells->push_back(text.View());
}

void AddKindsRow(const ScratchRow& first, int32_t period_type, bool account, int64_t count,
                 int64_t price, int64_t sum, ReportTable* table) {
  ReportTableRow row;
  row.value = SortKey(first.date_key);
  row.cells = LeadingCells(first, period_type, account);
  AppendDescription(first, &row.cells);
  row.cells.push_back(first.kind->category.View());
  AppendMoney(count, &row.cells);
  AppendMoney(price, &row.cells);
  AppendMoney(sum, &row.cells);
  table->rows.push_back(std::move(row));
  AddToTotals(sum, &table->totals);
}

// Month and year rows of one kind, in hundredths.
struct KindsSums {
  int64_t count = 0;
  int64_t amount = 0;  // the entries' own amounts
  int64_t prices = 0;
  int64_t rows = 0;
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
  std::vector<int64_t> sums(groups.first_row.size(), 0);
  for (uint32_t i = 0; i < scratch.size(); ++i) {
    int64_t& sum = sums[groups.group_of_row[i]];
    sum = SumMoney(sum, scratch[i].amount);
  }
  for (uint32_t g = 0; g < groups.first_row.size(); ++g) {
    const ScratchRow& first = scratch[groups.first_row[g]];
    ReportTableRow row;
    row.value = SortKey(first.date_key);
    row.cells = LeadingCells(first, period_type, account);
    if (category) row.cells.push_back(first.kind->category.View());
    AppendMoney(sums[g], &row.cells);
    table->rows.push_back(std::move(row));
    AddToTotals(sums[g], &table->totals);
  }
}

}  // namespace

void GroupByKinds(std::span<const ScratchRow> scratch, const ReportParams& params,
                  const ReportContext& context, ReportTable* table) {
  const int32_t period_type = EffectivePeriodType(params.period_type);
  const bool account = ShowsAccountColumn(kGroupByKinds, context);
  if (period_type == kPeriodDay) {
    for (const ScratchRow& row : scratch) {
      AddKindsRow(row, period_type, account, row.count, row.price, row.amount, table);
    }
    return;
  }
  const Groups groups = FindGroups(
      scratch, [&](const ScratchRow& row) { return GroupKey(row.kind_id, row.date, period_type); });
  std::vector<KindsSums> sums(groups.first_row.size());
  for (uint32_t i = 0; i < scratch.size(); ++i) {
    KindsSums& group = sums[groups.group_of_row[i]];
    group.count = SumMoney(group.count, scratch[i].count);
    group.amount = SumMoney(group.amount, scratch[i].amount);
    group.prices = SumMoney(group.prices, scratch[i].price);
    ++group.rows;
  }
  for (uint32_t g = 0; g < groups.first_row.size(); ++g) {
    const KindsSums& group = sums[g];
    // The price that gives the sum over the count, in hundredths of money per unit.
    const int64_t price = group.count != 0 ? ScaleToNearest(group.amount, 100, group.count)
                                           : ScaleToNearest(group.prices, 1, group.rows);
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
