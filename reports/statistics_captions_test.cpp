// The text lines of the statistics screen.
#include "reports/statistics_captions.h"

#include <gtest/gtest.h>

#include "testing/fake_clock.h"

namespace ledgerix {
namespace {

class StatisticsCaptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    params_.period_from = platform::FromUtcTime({2008, 3, 1, 10, 0, 0, 0});
    params_.period_till = platform::FromUtcTime({2008, 3, 31, 10, 0, 0, 0});
    table_.totals.incoming_balance = -1234'50;  // hundredths
  }

  StatisticsCaptions Captions() {
    return ComputeStatisticsCaptions(params_, table_, context_, clock_);
  }

  testing::FakeClock clock_;
  ReportParams params_;
  ReportTable table_;
  ReportContext context_;
};

TEST_F(StatisticsCaptionsTest, AnEmptyReportShowsTheBalanceAsTheClosingFigure) {
  StatisticsCaptions captions = Captions();
  EXPECT_EQ(ToUtf8(captions.period), "Период с: 1.3.2008 по 31.3.2008");
  EXPECT_EQ(ToUtf8(captions.report), "Вид: Баланс");
  EXPECT_EQ(ToUtf8(captions.category), "");
  EXPECT_EQ(ToUtf8(captions.incoming), "Вх.ост: -1,234.50");
  EXPECT_EQ(ToUtf8(captions.total), "Итого: -1,234.50");
  EXPECT_EQ(ToUtf8(captions.income), "");
  EXPECT_EQ(ToUtf8(captions.spending), "");
  EXPECT_EQ(ToUtf8(captions.account), "");
  EXPECT_FALSE(captions.account_visible);
}

TEST_F(StatisticsCaptionsTest, ARowfulReportShowsItsTotals) {
  table_.rows.push_back({ReportCells{"x"}, 80305});
  table_.totals.rows_total = 2434'50;
  table_.totals.income_total = 3000'00;
  table_.totals.spending_total = -565'50;
  params_.report_type = kReportSpending;
  params_.category_filter = FromUtf8("Проезд");
  StatisticsCaptions captions = Captions();
  EXPECT_EQ(ToUtf8(captions.report), "Вид: Расходы");
  EXPECT_EQ(ToUtf8(captions.category), "Категория: Проезд");
  EXPECT_EQ(ToUtf8(captions.total), "Итого: 1,200.00");
  EXPECT_EQ(ToUtf8(captions.income), "Приход: 3,000.00");
  EXPECT_EQ(ToUtf8(captions.spending), "Расход: -565.50");
  params_.report_type = kReportIncome;
  EXPECT_EQ(ToUtf8(Captions().report), "Вид: Доходы");
}

TEST_F(StatisticsCaptionsTest, TheAccountLineShowsOnlyWithTheSwitch) {
  context_.current_account_name = FromUtf8("<<Любой>>");
  EXPECT_EQ(ToUtf8(Captions().account), "");
  context_.show_account_in_report = 1;
  StatisticsCaptions captions = Captions();
  EXPECT_TRUE(captions.account_visible);
  EXPECT_EQ(ToUtf8(captions.account), "Счет: <<Любой>>");
}

}  // namespace
}  // namespace ledgerix
