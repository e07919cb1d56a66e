// The report choices kept in the settings store from one statistics screen to the next.
#include "reports/report_settings.h"

#include <gtest/gtest.h>

#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

class ReportSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(store_.Bind("tv_ledgrx"), 0);
    // What start-up declares for these keys.
    store_.DeclareDefault(kPeriodFromKey, DbValue(""));
    store_.DeclareDefault(kPeriodTillKey, DbValue(""));
    store_.DeclareDefault(kPeriodTypeKey, DbValue(int32_t{0}));
    store_.DeclareDefault(kReportTypeKey, DbValue(int32_t{0}));
    store_.DeclareDefault(kReportGroupTypeKey, DbValue(int32_t{0}));
  }

  testing::TempDeviceRoot device_;
  SettingsStore store_{device_.env()};
};

constexpr int64_t kNow = 1700000000;

TEST_F(ReportSettingsTest, WithNothingStoredTheLastFourteenDaysByDayAndKindsRemain) {
  ReportParams params = InitialReportParams(kNow);
  LoadReportSettings(store_, &params);
  EXPECT_EQ(params.period_from, kNow - 14 * 86400);
  EXPECT_EQ(params.period_till, kNow);
  EXPECT_EQ(params.period_type, kPeriodDay);
  EXPECT_EQ(params.report_type, kReportBalance);
  EXPECT_EQ(params.group_type, kGroupByKinds);
  EXPECT_EQ(params.category_filter.Length(), 0u);
  EXPECT_EQ(params.kind_filter_id, 0);
}

TEST_F(ReportSettingsTest, SavedChoicesComeBackFromTheFileButNotTheFilters) {
  ReportParams saved = InitialReportParams(kNow);
  saved.period_from = 1200000000;
  saved.period_till = 1210000000;
  saved.period_type = kPeriodYear;
  saved.report_type = kReportSpending;
  saved.group_type = kGroupByAccounts;
  saved.category_filter = DbString("Food");
  saved.kind_filter_id = 5;
  EXPECT_EQ(SavePeriodSettings(&store_, saved), 1);
  EXPECT_EQ(SaveReportSettings(&store_, saved), 1);

  SettingsStore reread(device_.env());
  ASSERT_NE(reread.Bind("tv_ledgrx"), 0);
  ReportParams loaded = InitialReportParams(kNow);
  LoadReportSettings(reread, &loaded);
  EXPECT_EQ(loaded.period_from, 1200000000);
  EXPECT_EQ(loaded.period_till, 1210000000);
  EXPECT_EQ(loaded.period_type, kPeriodYear);
  EXPECT_EQ(loaded.report_type, kReportSpending);
  EXPECT_EQ(loaded.group_type, kGroupByAccounts);
  EXPECT_EQ(loaded.category_filter.Length(), 0u);
  EXPECT_EQ(loaded.kind_filter_id, 0);
  // The bounds are 4-byte integers, the choices decimal texts.
  EXPECT_EQ(reread.ReadSetting(kPeriodTypeKey, DbValueType::Text).ToText().View(), "2");
}

TEST_F(ReportSettingsTest, EachSaveWritesOnlyItsOwnKeys) {
  ReportParams params = InitialReportParams(kNow);
  params.period_type = kPeriodMonth;
  params.group_type = kGroupByCategories;
  ASSERT_EQ(SaveReportSettings(&store_, params), 1);
  ReportParams loaded = InitialReportParams(kNow);
  LoadReportSettings(store_, &loaded);
  EXPECT_EQ(loaded.group_type, kGroupByCategories);
  EXPECT_EQ(loaded.period_type, kPeriodDay);
  EXPECT_EQ(loaded.period_from, kNow - kDefaultPeriodSeconds);
}

TEST_F(ReportSettingsTest, DamagedChoicesFallBackToTheFirst) {
  store_.WriteSetting(kPeriodTypeKey, DbValue("7"));
  store_.WriteSetting(kReportTypeKey, DbValue("-1"));
  store_.WriteSetting(kReportGroupTypeKey, DbValue("x"));
  store_.WriteSetting(kPeriodFromKey, DbValue(int32_t{0}));
  ReportParams params = InitialReportParams(kNow);
  LoadReportSettings(store_, &params);
  EXPECT_EQ(params.period_type, 0);
  EXPECT_EQ(params.report_type, 0);
  EXPECT_EQ(params.group_type, 0);
  EXPECT_EQ(params.period_from, kNow - kDefaultPeriodSeconds);
}

TEST(ReportSettingsUnboundTest, SavingToAnUnboundStoreFails) {
  testing::TempDeviceRoot device;
  SettingsStore store(device.env());
  ReportParams params = InitialReportParams(kNow);
  EXPECT_EQ(SaveReportSettings(&store, params), 0);
  EXPECT_EQ(SavePeriodSettings(&store, params), 0);
  LoadReportSettings(store, &params);  // reads zeros: the bounds stay
  EXPECT_EQ(params.period_till, kNow);
}

}  // namespace
}  // namespace ledgerix
