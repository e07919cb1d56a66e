// Reports built from in-memory tables: the scan's selection and balance, every grouping at
// every granularity, the sort by date and the totals. Totals are hundredths, written -70'00 for
// -70.00.
#include "reports/report_grouping.h"

#include <gtest/gtest.h>

#include <string>

#include "finance/format_amount.h"
#include "finance/packed_amount.h"
#include "reports/report_builder.h"
#include "reports/statistics_captions.h"
#include "testing/fake_clock.h"

namespace ledgerix {
namespace {

int64_t At(int year, int month, int day) {
  return platform::FromUtcTime(platform::LocalTime{year, month, day, 12, 0, 0, 0});
}

class ReportGroupingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kinds_ = {{1, FromUtf8("Бензин"), FromUtf8("Машина")},
              {2, FromUtf8("Такси"), FromUtf8("Проезд")},
              {3, FromUtf8("Автобус"), FromUtf8("Проезд")},
              {5, FromUtf8("Премия"), FromUtf8("Доход")}};
    accounts_ = {{1, FromUtf8("Наличные")}, {2, FromUtf8("Карта")}};
    params_.period_from = At(2008, 3, 1);
    params_.period_till = At(2008, 3, 31);
  }

  void Add(int32_t kind, int day, int month, int year, double price, double count, int32_t type = 2,
           int32_t account = 1) {
    entries_.push_back({kind, BuildDateKey(day, month, year), PackAmount(price), PackAmount(count),
                        type, account});
  }

  ReportTable Build() {
    ReportCatalog catalog(kinds_, accounts_);
    EntryScan scan = ScanEntryList(catalog, ScanQuery::Of(params_, context_, clock_), entries_);
    ReportTable table;
    AssembleReport(scan, params_, context_, 240, &table);
    return table;
  }

  static std::string Row(const ReportTable& table, size_t r) {
    std::string text;
    for (std::string_view cell : table.rows.at(r).cells) text += ToUtf8(DbString(cell)) + "|";
    return text;
  }

  testing::FakeClock clock_;
  std::vector<StoredKind> kinds_;
  std::vector<StoredAccount> accounts_;
  std::vector<StoredEntry> entries_;
  ReportParams params_;
  ReportContext context_;
};

TEST_F(ReportGroupingTest, MonthRowsByKindShowTheRealMoney) {
  params_.period_type = kPeriodMonth;
  Add(1, 5, 3, 2008, 10, 1);
  Add(1, 20, 3, 2008, 20, 3);
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Row(table, 0), "март`08 год|Бензин|Машина|4.00|-17.50|-70.00|");
  EXPECT_EQ(table.rows[0].value, 80305);
  EXPECT_EQ(table.totals.spending_total, -70'00);
  EXPECT_EQ(table.totals.income_total, 0);
  EXPECT_EQ(table.totals.rows_total, -70'00);
}

TEST_F(ReportGroupingTest, YearRowsByKindMergeMonthsAndNetDirections) {
  params_.period_from = At(2008, 1, 1);
  params_.period_till = At(2008, 12, 31);
  params_.period_type = kPeriodYear;
  Add(5, 5, 3, 2008, 100, 2, 1);  // income 200
  Add(5, 9, 11, 2008, 50, 1, 2);  // the same kind booked as spending: -50
  Add(2, 9, 11, 2008, 30, 1);
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(Row(table, 0), "`08 год|Премия|Доход|3.00|50.00|150.00|");
  EXPECT_EQ(Row(table, 1), "`08 год|Такси|Проезд|1.00|-30.00|-30.00|");
  EXPECT_EQ(table.totals.income_total, 150'00);
  EXPECT_EQ(table.totals.spending_total, -30'00);
}

TEST_F(ReportGroupingTest, AGroupWithoutUnitsShowsTheAveragePrice) {
  params_.period_type = kPeriodMonth;
  Add(1, 5, 3, 2008, 10, 0);
  Add(1, 6, 3, 2008, 21, 0);
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Row(table, 0), "март`08 год|Бензин|Машина|0.00|-15.50|0.00|");
  EXPECT_EQ(table.totals.rows_total, 0);
}

TEST_F(ReportGroupingTest, DayRowsByKindAreNeverMerged) {
  Add(1, 5, 3, 2008, 10, 1);
  Add(1, 5, 3, 2008, 20, 3, 102);
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(Row(table, 0), "05.03.08|Бензин|Машина|1.00|-10.00|-10.00|");
  EXPECT_EQ(Row(table, 1), "05.03.08|[+] Бензин|Машина|3.00|-20.00|-60.00|");
  EXPECT_EQ(table.totals.spending_total, -70'00);
}

TEST_F(ReportGroupingTest, AmountsAreTheStoredHundredthsMultipliedExactly) {
  Add(1, 5, 3, 2008, 0.29, 100);
  Add(5, 6, 3, 2008, 1234567.89, 2, 1);
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(Row(table, 0), "05.03.08|Бензин|Машина|100.00|-0.29|-29.00|");
  EXPECT_EQ(Row(table, 1), "06.03.08|Премия|Доход|2.00|1,234,567.89|2,469,135.78|");
}

TEST_F(ReportGroupingTest, CategoryRowsNetIncomeAndSpending) {
  kinds_.push_back({6, FromUtf8("Возврат"), FromUtf8("Проезд")});
  Add(6, 5, 3, 2008, 100, 1, 1);
  Add(2, 5, 3, 2008, 30, 1);
  Add(3, 5, 3, 2008, 10, 2);
  Add(2, 6, 3, 2008, 30, 1);
  params_.group_type = kGroupByCategories;
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(Row(table, 0), "05.03.08|Проезд|50.00|");
  EXPECT_EQ(Row(table, 1), "06.03.08|Проезд|-30.00|");
  EXPECT_EQ(table.totals.income_total, 50'00);
  EXPECT_EQ(table.totals.spending_total, -30'00);
  EXPECT_EQ(table.totals.rows_total, 20'00);

  params_.period_type = kPeriodMonth;
  table = Build();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Row(table, 0), "март`08 год|Проезд|20.00|");
  EXPECT_EQ(table.totals.income_total, 20'00);
}

// Cents are never lost between the entries and the totals: each entry's amount is rounded
// once, and rows and totals are exact sums of those amounts.
TEST_F(ReportGroupingTest, MonthRowsAndTotalsKeepEveryCent) {
  params_.period_till = At(2008, 4, 30);
  for (int day : {3, 10, 17}) Add(1, day, 3, 2008, 0.90, 7);
  Add(1, 5, 3, 2008, 52.90, 40.50, 2, 2);
  params_.period_type = kPeriodDay;
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 4u);
  EXPECT_EQ(Row(table, 0), "03.03.08|Бензин|Машина|7.00|-0.90|-6.30|");
  EXPECT_EQ(Row(table, 1), "05.03.08|Бензин|Машина|40.50|-52.90|-2,142.45|");
  EXPECT_EQ(table.totals.spending_total, -2161'35);

  entries_.pop_back();
  params_.period_type = kPeriodMonth;
  table = Build();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Row(table, 0), "март`08 год|Бензин|Машина|21.00|-0.90|-18.90|");
  StatisticsCaptions captions = ComputeStatisticsCaptions(params_, table, context_, clock_);
  EXPECT_EQ(ToUtf8(captions.spending), "Расход: -18.90");
  EXPECT_EQ(ToUtf8(captions.total), "Итого: -18.90");

  params_.period_from = At(2008, 4, 1);
  table = Build();
  captions = ComputeStatisticsCaptions(params_, table, context_, clock_);
  EXPECT_EQ(ToUtf8(captions.incoming), "Вх.ост: -18.90");
  EXPECT_EQ(ToUtf8(captions.total), "Итого: -18.90");
}

// A row that nets income and spending counts by its own sum, whichever entry comes first, so
// that the totals frame agrees with the rows.
TEST_F(ReportGroupingTest, ARowCountsAsIncomeOrSpendingByItsOwnSum) {
  kinds_.push_back({6, FromUtf8("Возврат"), FromUtf8("Машина")});
  struct Case {
    int32_t group_type;
    int32_t period_type;
    int32_t first_type, second_type;  // the directions of 30.00 and of 100.00
    const char* row;
    const char* income;
    const char* spending;
  };
  const Case cases[] = {
      {kGroupByCategories, kPeriodDay, 2, 1, "05.03.08|Машина|70.00|", "Приход: 70.00",
       "Расход: 0.00"},
      {kGroupByCategories, kPeriodMonth, 1, 2, "март`08 год|Машина|-70.00|", "Приход: 0.00",
       "Расход: -70.00"},
      {kGroupByAccounts, kPeriodDay, 2, 1, "05.03.08|Наличные|70.00|", "Приход: 70.00",
       "Расход: 0.00"},
      {kGroupByAccounts, kPeriodYear, 1, 2, "`08 год|Наличные|-70.00|", "Приход: 0.00",
       "Расход: -70.00"},
  };
  for (const Case& c : cases) {
    entries_.clear();
    Add(1, 5, 3, 2008, 30, 1, c.first_type);
    Add(6, 5, 3, 2008, 100, 1, c.second_type);
    params_.group_type = c.group_type;
    params_.period_type = c.period_type;
    const ReportTable table = Build();
    ASSERT_EQ(table.rows.size(), 1u) << c.row;
    EXPECT_EQ(Row(table, 0), c.row);
    const StatisticsCaptions captions = ComputeStatisticsCaptions(params_, table, context_, clock_);
    EXPECT_EQ(ToUtf8(captions.income), c.income) << c.row;
    EXPECT_EQ(ToUtf8(captions.spending), c.spending) << c.row;
  }
}

TEST_F(ReportGroupingTest, CategoryRowsWithTheAccountShowTheFirstRowsAccount) {
  Add(2, 5, 3, 2008, 30, 1, 2, 2);
  Add(3, 5, 3, 2008, 10, 1, 2, 1);
  params_.group_type = kGroupByCategories;
  context_.show_account_in_report = 1;
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Row(table, 0), "05.03.08|Карта|Проезд|-40.00|");
  EXPECT_EQ(table.columns.size(), 4u);
}

TEST_F(ReportGroupingTest, AccountRowsGroupByTheEntriesAccountsEvenWithoutTheSwitch) {
  accounts_.push_back({3, FromUtf8("Карта")});  // a second account of the same name
  Add(1, 5, 3, 2008, 10, 1, 2, 1);
  Add(2, 5, 3, 2008, 20, 1, 2, 2);
  Add(5, 5, 3, 2008, 100, 1, 1, 3);
  Add(3, 5, 3, 2008, 5, 1, 2, 9);  // no account has id 9
  Add(1, 8, 4, 2008, 1, 1, 2, 1);  // after the period
  params_.group_type = kGroupByAccounts;
  for (int show_account : {0, 1}) {
    context_.show_account_in_report = show_account;
    ReportTable table = Build();
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(Row(table, 0), "05.03.08|Наличные|-10.00|");
    EXPECT_EQ(Row(table, 1), "05.03.08|Карта|80.00|");  // spending first, still income
    EXPECT_EQ(Row(table, 2), "05.03.08||-5.00|");
    EXPECT_EQ(table.totals.spending_total, -15'00);
    EXPECT_EQ(table.totals.income_total, 80'00);
    EXPECT_EQ(table.columns.size(), 3u);
  }
}

TEST_F(ReportGroupingTest, RowsSortByDateWithDecemberBeforeJanuary) {
  params_.period_from = At(2009, 12, 1);
  params_.period_till = At(2010, 1, 31);
  Add(1, 2, 1, 2010, 1, 1);    // key 120110
  Add(1, 31, 12, 2009, 1, 1);  // key 411209
  Add(1, 15, 12, 2009, 1, 1);  // key 251209
  for (int32_t group_type : {kGroupByKinds, kGroupByCategories, kGroupByAccounts}) {
    params_.group_type = group_type;
    ReportTable table = Build();
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0].value, 91215);
    EXPECT_EQ(table.rows[1].value, 91231);
    EXPECT_EQ(table.rows[2].value, 100102);
  }
}

TEST_F(ReportGroupingTest, TheLastDayOfJanuaryStaysOutOfAPeriodFromFebruary) {
  params_.period_from = At(2008, 2, 1);
  params_.period_till = At(2008, 2, 29);
  Add(1, 31, 1, 2008, 10, 1);
  Add(1, 1, 3, 2008, 7, 1);
  Add(1, 29, 2, 2008, 3, 1);
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Row(table, 0), "29.02.08|Бензин|Машина|1.00|-3.00|-3.00|");
  EXPECT_EQ(table.totals.incoming_balance, -10'00);
}

TEST_F(ReportGroupingTest, PEntriesAreNeverListedButMoveTheBalance) {
  Add(1, 5, 2, 2008, 10, 1, 12);
  Add(1, 5, 3, 2008, 20, 1, 112);
  Add(5, 5, 2, 2008, 100, 1, 11);
  ReportTable table = Build();
  EXPECT_TRUE(table.rows.empty());
  EXPECT_EQ(table.totals.incoming_balance, 90'00);
}

TEST_F(ReportGroupingTest, AnIncomeReportCountsOnlyIncomeInTheBalanceToo) {
  params_.report_type = kReportIncome;
  Add(5, 5, 2, 2008, 100, 1, 1);
  Add(1, 5, 2, 2008, 40, 1, 2);
  Add(5, 5, 3, 2008, 200, 1, 101);
  Add(1, 5, 3, 2008, 40, 1, 2);
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Row(table, 0), "05.03.08|[+] Премия|Доход|1.00|200.00|200.00|");
  EXPECT_EQ(table.totals.incoming_balance, 100'00);
  params_.report_type = kReportSpending;
  table = Build();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(table.totals.incoming_balance, -40'00);
}

TEST_F(ReportGroupingTest, FiltersSelectRowsButTheBalanceIgnoresTheCategory) {
  Add(1, 5, 2, 2008, 10, 1, 2, 1);
  Add(2, 5, 2, 2008, 20, 1, 2, 2);
  Add(1, 5, 3, 2008, 1, 1, 2, 1);
  Add(2, 5, 3, 2008, 2, 1, 2, 2);
  Add(3, 5, 3, 2008, 3, 1, 2, 2);

  params_.category_filter = FromUtf8("Нет такой");
  ReportTable table = Build();
  EXPECT_TRUE(table.rows.empty());
  EXPECT_EQ(table.totals.incoming_balance, -30'00);

  params_.category_filter = FromUtf8("Проезд");
  table = Build();
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.totals.rows_total, -5'00);

  params_.kind_filter_id = 3;
  table = Build();
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(table.totals.incoming_balance, 0);  // the kind filter counts in the balance

  params_.category_filter = DbString();
  params_.kind_filter_id = 0;
  context_.current_account_id = 2;
  table = Build();
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.totals.incoming_balance, -20'00);
}

TEST_F(ReportGroupingTest, KindsThatAreGoneOrDoubledChangeTheRows) {
  kinds_.push_back({1, FromUtf8("Бензин-2"), FromUtf8("Машина")});  // a second kind with id 1
  Add(7, 5, 2, 2008, 10, 1);  // no kind 7: counts before the period
  Add(7, 5, 3, 2008, 10, 1);  // and gives no row inside it
  Add(1, 5, 3, 2008, 4, 1, 2, 8);
  context_.show_account_in_report = 1;
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(Row(table, 0), "05.03.08||Бензин|Машина|1.00|-4.00|-4.00|");
  EXPECT_EQ(Row(table, 1), "05.03.08||Бензин-2|Машина|1.00|-4.00|-4.00|");
  EXPECT_EQ(table.totals.incoming_balance, -10'00);
}

TEST_F(ReportGroupingTest, NoEntriesStillGiveTheFinishedColumns) {
  params_.group_type = kGroupByCategories;
  ReportTable table = Build();
  EXPECT_TRUE(table.rows.empty());
  EXPECT_EQ(table.columns.size(), 3u);
  EXPECT_EQ(table.colour_column, 2);
}

TEST_F(ReportGroupingTest, EveryRowBelowZeroIsTintedToTheHundredth) {
  Add(1, 5, 3, 2008, 0.5, 1);   // -0.50
  Add(1, 6, 3, 2008, 1, 1);     // -1.00
  Add(5, 7, 3, 2008, 3, 1, 1);  // income 3.00
  Add(1, 8, 3, 2008, 0, 1);     // -0.00 prints as 0.00
  ReportTable table = Build();
  ASSERT_EQ(table.rows.size(), 4u);
  const std::vector<bool> tinted = {true, true, false, false};
  for (size_t row = 0; row < tinted.size(); ++row) {
    EXPECT_EQ(RowIsTinted(table, row), tinted[row]) << Row(table, row);
  }
  EXPECT_FALSE(RowIsTinted(table, 4));    // beyond the rows
  params_.group_type = kGroupByAccounts;  // the sum column, wherever it stands
  table = Build();
  ASSERT_EQ(table.rows.size(), 4u);
  for (size_t row = 0; row < tinted.size(); ++row) {
    EXPECT_EQ(RowIsTinted(table, row), tinted[row]) << Row(table, row);
  }
}

// The report's reading of a tinted row and the list's row-colour rule share CellHundredths:
// every amount text below zero to the hundredth, whatever its thousands or spaces.
TEST(ReportTintTest, ACellIsTintedExactlyWhenItsHundredthsAreBelowZero) {
  struct Case {
    const char* cell;
    bool tinted;
  } cases[] = {{"-0.50", true},  {"-0.01", true},     {"-1.00", true},  {"-1,234.50", true},
               {" -7.25", true}, {"0.00", false},     {"-0.00", false}, {"0.50", false},
               {"", false},      {"1,234.50", false}, {"x", false}};
  for (const Case& c : cases) {
    ReportTable table;
    table.colour_column = 1;
    table.rows.push_back({ReportCells{"05.03.08", c.cell}, 80305});
    EXPECT_EQ(RowIsTinted(table, 0), c.tinted) << c.cell;
    EXPECT_EQ(RowIsTinted(table, 0), CellHundredths(c.cell) < 0) << c.cell;
  }
}

TEST_F(ReportGroupingTest, TheGroupingsAddToTotalsWithoutClearingThem) {
  Add(1, 5, 3, 2008, 10, 1);
  ReportCatalog catalog(kinds_, accounts_);
  EntryScan scan = ScanEntryList(catalog, ScanQuery::Of(params_, context_, clock_), entries_);
  ReportTable table;
  table.totals.rows_total = 5'00;
  GroupByCategories(scan.rows, params_, context_, &table);
  GroupByKinds(scan.rows, params_, context_, &table);
  EXPECT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.totals.rows_total, -15'00);
}

}  // namespace
}  // namespace ledgerix
