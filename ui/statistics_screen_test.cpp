// The statistics screen's rules on both storage kinds: what it shows when it opens, what each
// command saves and rebuilds, the remembered column widths and the export of what is shown.
#include "ui/statistics_screen.h"

#include <gtest/gtest.h>

#include "finance/date_key.h"
#include "finance/testing/finance_test_support.h"
#include "reports/report_settings.h"
#include "ui/account_settings_screen.h"
#include "ui/export_screen.h"
#include "ui/period_screen.h"
#include "ui/report_filter_screen.h"
#include "ui/testing/memory_report_view.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix::testing {
namespace {

constexpr int32_t kPetrol = 1;  // "Бензин", Машина
constexpr int32_t kBus = 3;     // "Маршрутное такси", Проезд
constexpr int32_t kCinema = 4;  // "Кино", Развлечения
constexpr int32_t kBonus = 5;   // "Премия", Основной доход (income)

class StatisticsScreenTest : public FinanceDbTest {
 protected:
  StatisticsScreenTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_NE(state_.settings.Bind("tv_ledgrx"), 0);
    state_.finance = globals_;
    state_.current_account_name = FromUtf8("<<Любой>>");
    // The clock stands at 1 March 2024: the default period is 16 February to 1 March.
    ASSERT_EQ(db_->AddEntry(MakeEntry(kCinema, BuildDateKey(1, 2, 2024), 350, 1, 2, 1)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(kPetrol, BuildDateKey(20, 2, 2024), 50, 2, 2, 1)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(kBonus, BuildDateKey(25, 2, 2024), 1000, 1, 1, 2)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(kBus, BuildDateKey(28, 2, 2024), 0.5, 1, 2, 2)), 1);
  }

  StatisticsScreen& Open() {
    screen_ = std::make_unique<StatisticsScreen>(db_.get(), state_, clock_, root_.env(), services_);
    screen_->Start(view_);
    return *screen_;
  }
  // The captions as "period / report / category / incoming / total / income / spending /
  // account" (UTF-8), the account only while it is visible.
  std::string Lines() const {
    const StatisticsCaptions& c = screen_->captions();
    std::string text;
    for (const DbString* line :
         {&c.period, &c.report, &c.category, &c.incoming, &c.total, &c.income, &c.spending}) {
      text += ToUtf8(*line) + " / ";
    }
    return text + (c.account_visible ? ToUtf8(c.account) : "-");
  }
  // A stored setting as the settings file holds it now.
  int32_t StoredSetting(const char* key) {
    SettingsStore file(root_.env());
    EXPECT_NE(file.Bind("tv_ledgrx"), 0);
    return file.ReadInt32(key, -1);
  }
  // The next filter dialog takes `fill` and is accepted.
  void AcceptFilter(std::function<void(ReportFilterScreen&)> fill) {
    services_.OnNextScreenOf<ReportFilterScreen>(
        "ReportFilterDialog", [fill = std::move(fill)](ReportFilterScreen& filter) {
          filter.Start();
          fill(filter);
          return filter.OnAccept() ? kScreenOk : kScreenCancel;
        });
  }
  int CategoryIndex(const ReportFilterScreen& filter, const char* text) {
    for (size_t i = 0; i < filter.categories().size(); ++i) {
      if (ToUtf8(filter.categories()[i]) == text) return static_cast<int>(i);
    }
    ADD_FAILURE() << "no category " << text;
    return -1;
  }

  AppState state_;
  ScriptedScreenServices services_;
  MemoryReportView view_;
  std::unique_ptr<StatisticsScreen> screen_;
};

TEST_P(StatisticsScreenTest, OpensOnTheLastFourteenDaysByDayAndKindWithItsLines) {
  StatisticsScreen& screen = Open();
  EXPECT_EQ(Lines(),
            "Период с: 16.2.2024 по 1.3.2024 / Вид: Баланс /  / Вх.ост: -350.00 / "
            "Итого: 549.50 / Приход: 1,000.00 / Расход: -100.50 / -");
  EXPECT_EQ(view_.Titles(), "Дата|Описание|Категория|Кол-во|Цена|Сумма");
  EXPECT_EQ(view_.Rows(), (std::vector<std::string>{
                              "20.02.24|Бензин|Машина|2.00|-50.00|-100.00",
                              "25.02.24|Премия|Основной доход|1.00|1,000.00|1,000.00",
                              "28.02.24|Маршрутное такси|Проезд|1.00|-0.50|-0.50",
                          }));
  // Every row below zero is tinted, -0.50 as well.
  const std::vector<bool> tinted = {true, false, true};
  for (size_t row = 0; row < tinted.size(); ++row) {
    EXPECT_EQ(RowIsTinted(view_.table, row), tinted[row]) << row;
  }
  EXPECT_EQ(services_.wait_cursor_depth(), 0);
  EXPECT_GT(services_.wait_cursor_uses(), 0);
  EXPECT_EQ(screen.params().group_type, kGroupByKinds);
  EXPECT_TRUE(services_.messages().empty());
}

TEST_P(StatisticsScreenTest, OpeningReadsTheSettingsFileAgain) {
  // Another writer of the settings file: the store in memory has not seen these.
  SettingsStore other(root_.env());
  ASSERT_NE(other.Bind("tv_ledgrx"), 0);
  ReportParams stored;
  stored.period_from = platform::FromUtcTime({2024, 2, 1, 12, 0, 0, 0});
  stored.period_till = platform::FromUtcTime({2024, 2, 29, 12, 0, 0, 0});
  stored.period_type = kPeriodMonth;
  stored.report_type = kReportSpending;
  stored.group_type = kGroupByCategories;
  ASSERT_EQ(SavePeriodSettings(&other, stored), 1);
  ASSERT_EQ(SaveReportSettings(&other, stored), 1);
  Open();
  EXPECT_EQ(Lines(),
            "Период с: 1.2.2024 по 29.2.2024 / Вид: Расходы /  / Вх.ост: 0.00 / "
            "Итого: -450.50 / Приход: 0.00 / Расход: -450.50 / -");
  EXPECT_EQ(view_.Rows(),
            (std::vector<std::string>{"фев.`24 год|Развлечения|-350.00",
                                      "фев.`24 год|Машина|-100.00", "фев.`24 год|Проезд|-0.50"}));
}

TEST_P(StatisticsScreenTest, AnAcceptedPeriodIsSavedAndBuiltACancelledOneChangesNothing) {
  Open();
  view_.dragged_widths = {60, 96, 48};
  services_.OnNextScreen("PeriodDialog", [](ScreenRules&) { return kScreenCancel; });
  screen_->OnPeriod();
  EXPECT_EQ(view_.reports_shown, 2);  // the columns on opening, then the first report
  EXPECT_EQ(StoredSetting(kPeriodTypeKey), -1);
  EXPECT_EQ(ToUtf8(state_.report_column_widths), "60,96,48,");

  services_.OnNextScreenOf<PeriodScreen>("PeriodDialog", [](PeriodScreen& period) {
    period.Start();
    EXPECT_EQ(period.from.day, 16);
    period.from = {2024, 2, 1};
    period.till = {2024, 1, 20};  // a start after the end is taken as it is
    period.period_type = kPeriodYear;
    period.OnAccept();
    return kScreenOk;
  });
  view_.dragged_widths = {70, 80, 90};
  screen_->OnPeriod();
  EXPECT_EQ(ToUtf8(state_.report_column_widths), "70,80,90,");
  EXPECT_EQ(StoredSetting(kPeriodTypeKey), kPeriodYear);
  EXPECT_EQ(StoredSetting(kPeriodFromKey), platform::FromUtcTime({2024, 2, 1, 12, 0, 0, 0}));
  EXPECT_EQ(StoredSetting(kPeriodTillKey), platform::FromUtcTime({2024, 1, 20, 12, 0, 0, 0}));
  EXPECT_EQ(Lines(),
            "Период с: 1.2.2024 по 20.1.2024 / Вид: Баланс /  / Вх.ост: 0.00 / "
            "Итого: 0.00 /  /  / -");
  EXPECT_TRUE(view_.Rows().empty());
  // The remembered widths laid out the new columns.
  ASSERT_EQ(view_.table.columns.size(), 6u);
  EXPECT_EQ(view_.table.columns[1].width, 80);
}

TEST_P(StatisticsScreenTest, ACategoryFilterShowsItsLineAndClearingItEmptiesTheLine) {
  Open();
  AcceptFilter([this](ReportFilterScreen& filter) {
    filter.filter_on = true;
    filter.selected_category = CategoryIndex(filter, "Проезд");
  });
  screen_->OnFilter();
  EXPECT_EQ(ToUtf8(screen_->captions().category), "Категория: Проезд");
  EXPECT_EQ(view_.Rows(),
            std::vector<std::string>{"28.02.24|Маршрутное такси|Проезд|1.00|-0.50|-0.50"});
  AcceptFilter([](ReportFilterScreen& filter) {
    EXPECT_TRUE(filter.filter_on);
    filter.filter_on = false;
  });
  screen_->OnFilter();
  EXPECT_EQ(ToUtf8(screen_->captions().category), "");
  EXPECT_EQ(view_.Rows().size(), 3u);
  EXPECT_EQ(StoredSetting(kReportTypeKey), kReportBalance);
}

TEST_P(StatisticsScreenTest, ANewGroupingForgetsTheWidthsAndIsSaved) {
  Open();
  struct Step {
    int grouping, report;
    std::vector<int> dragged;
    const char* widths_after;  // remembered when the report was built
    const char* titles;
  } steps[] = {
      {kGroupByKinds,
       kReportSpending,
       {61, 62, 63, 64, 65, 66},
       "61,62,63,64,65,66,",
       "Дата|Описание|Категория|Кол-во|Цена|Сумма"},
      {kGroupByCategories, kReportSpending, {71, 72, 73, 74, 75, 76}, "", "Дата|Категория|Сумма"},
      {kGroupByAccounts, kReportIncome, {81, 82, 83}, "", "Дата|Счет|Сумма"},
  };
  for (const Step& step : steps) {
    view_.dragged_widths = step.dragged;
    AcceptFilter([&step](ReportFilterScreen& filter) {
      filter.grouping = step.grouping;
      filter.report_kind = step.report;
    });
    screen_->OnFilter();
    EXPECT_EQ(ToUtf8(state_.report_column_widths), step.widths_after) << step.grouping;
    EXPECT_EQ(view_.Titles(), step.titles);
    EXPECT_EQ(StoredSetting(kReportGroupTypeKey), step.grouping);
    EXPECT_EQ(StoredSetting(kReportTypeKey), step.report);
  }
  EXPECT_EQ(view_.Rows(), std::vector<std::string>{"25.02.24|Кредитная карта|1,000.00"});
}

TEST_P(StatisticsScreenTest, ACancelledFilterRebuildsOnlyWhenTheCurrentAccountChanged) {
  Open();
  services_.OnNextScreen("ReportFilterDialog", [](ScreenRules&) { return kScreenCancel; });
  screen_->OnFilter();
  EXPECT_EQ(view_.reports_shown, 2);
  EXPECT_EQ(StoredSetting(kReportTypeKey), -1);

  services_.OnNextScreenOf<ReportFilterScreen>("ReportFilterDialog", [this](ReportFilterScreen& f) {
    f.Start();
    f.grouping = kGroupByCategories;  // dropped with the cancel
    services_.OnNextScreenOf<AccountSettingsScreen>(
        "AccountSettingsDialog", [](AccountSettingsScreen& accounts) {
          accounts.Start();
          accounts.selected = 2;  // Кредитная карта
          accounts.show_in_reports = true;
          return accounts.OnAccept() ? kScreenOk : kScreenCancel;
        });
    f.OnAccounts();
    EXPECT_EQ(ToUtf8(f.AccountText()), "Счет: Кредитная карта");
    return kScreenCancel;
  });
  screen_->OnFilter();
  EXPECT_EQ(state_.finance.current_account_id, 2);
  EXPECT_EQ(view_.reports_shown, 3);
  EXPECT_EQ(view_.Rows(), (std::vector<std::string>{
                              "25.02.24|Кредитная карта|Премия|Основной доход|1.00|1,000.00|"
                              "1,000.00",
                              "28.02.24|Кредитная карта|Маршрутное такси|Проезд|1.00|-0.50|-0.50",
                          }));
  EXPECT_EQ(ToUtf8(screen_->captions().account), "Счет: Кредитная карта");
  EXPECT_EQ(screen_->params().group_type, kGroupByKinds);
  EXPECT_EQ(StoredSetting(kReportGroupTypeKey), kGroupByKinds);
}

TEST_P(StatisticsScreenTest, TheAccountSwitchOffHidesTheLineAndTheColumnAtTheNextBuild) {
  state_.show_account_in_report = 1;
  Open();
  EXPECT_EQ(view_.Titles(), "Дата|Счет|Описание|Категория|Кол-во|Цена|Сумма");
  EXPECT_TRUE(screen_->captions().account_visible);
  EXPECT_EQ(ToUtf8(screen_->captions().account), "Счет: <<Любой>>");
  struct Step {
    bool accept;
    const char* titles;
    bool line_visible;
  } steps[] = {
      {false, "Дата|Счет|Описание|Категория|Кол-во|Цена|Сумма", true},
      {true, "Дата|Описание|Категория|Кол-во|Цена|Сумма", false},
  };
  for (const Step& step : steps) {
    services_.OnNextScreenOf<AccountSettingsScreen>(
        "AccountSettingsDialog", [&step](AccountSettingsScreen& accounts) {
          accounts.Start();
          accounts.show_in_reports = false;
          if (!step.accept) return kScreenCancel;
          return accounts.OnAccept() ? kScreenOk : kScreenCancel;
        });
    screen_->OnAccounts();
    EXPECT_EQ(view_.Titles(), step.titles);
    EXPECT_EQ(screen_->captions().account_visible, step.line_visible);
  }
  EXPECT_EQ(ToUtf8(screen_->captions().account), "");
}

TEST_P(StatisticsScreenTest, ExportWritesExactlyTheColumnsAndRowsOnScreen) {
  Open();
  view_.edited[{0, 4}] = "-49.50";
  services_.AnswerNextMessage(
      MessageAnswer::kOk);  // a price edited in place shows on screen and is written
  services_.OnNextScreenOf<ExportScreen>("ExportDialog", [](ExportScreen& exporter) {
    exporter.Start();
    EXPECT_EQ(ToUtf8(exporter.request.file_name), "Export 01_03_24 12_00");
    exporter.request.file_name = FromUtf8("итоги");
    exporter.request.type_index = kExportSemicolonText;
    exporter.request.with_header = true;
    return exporter.OnAccept() ? kScreenOk : kScreenCancel;
  });
  screen_->OnExport();
  EXPECT_EQ(FileText(u"\\My Documents\\итоги.txt"),
            "Дата;Описание;Категория;Кол-во;Цена;Сумма\r\n"
            "20.02.24;Бензин;Машина;2.00;-49.50;-100.00\r\n"
            "25.02.24;Премия;Основной доход;1.00;1000.00;1000.00\r\n"
            "28.02.24;Маршрутное такси;Проезд;1.00;-0.50;-0.50\r\n");
  ASSERT_EQ(services_.messages().size(), 1u);
  EXPECT_EQ(services_.messages()[0].text, "Экспорт данных завершен");
  EXPECT_EQ(services_.messages()[0].caption, "TOLVENA Info");
}

TEST_P(StatisticsScreenTest, ClosingRemembersTheWidthsAndNothingIsBuiltWithoutADatabase) {
  Open();
  view_.dragged_widths = {60, 96, 48};
  screen_->OnClose();
  EXPECT_EQ(ToUtf8(state_.report_column_widths), "60,96,48,");

  MemoryReportView bare;
  StatisticsScreen closed(nullptr, state_, clock_, root_.env(), services_);
  closed.Start(bare);
  EXPECT_EQ(bare.reports_shown, 1);  // the columns alone
  EXPECT_EQ(bare.Titles(), "Дата|Описание|Категория|Кол-во|Цена|Сумма");
  EXPECT_TRUE(bare.Rows().empty());
  EXPECT_EQ(ToUtf8(closed.captions().incoming), "Вх.ост: 0.00");
}

TEST_P(StatisticsScreenTest, ASettingsFileThatCannotBeWrittenIsToldAndTheReportStillBuilt) {
  AppState unbound(root_.env());  // no settings file: every save fails
  unbound.finance = globals_;
  StatisticsScreen screen(db_.get(), unbound, clock_, root_.env(), services_);
  screen.Start(view_);
  services_.OnNextScreenOf<PeriodScreen>("PeriodDialog", [](PeriodScreen& period) {
    period.Start();
    period.from = {2024, 2, 24};
    period.OnAccept();
    return kScreenOk;
  });
  services_.AnswerNextMessage(MessageAnswer::kOk);
  screen.OnPeriod();
  AcceptFilter([](ReportFilterScreen& filter) { filter.report_kind = kReportIncome; });
  services_.AnswerNextMessage(MessageAnswer::kOk);
  screen.OnFilter();
  EXPECT_EQ(services_.MessageTexts(),
            (std::vector<std::string>{"Не удалось сохранить настройки!",
                                      "Не удалось сохранить настройки!"}));
  EXPECT_EQ(view_.Rows(),
            std::vector<std::string>{"25.02.24|Премия|Основной доход|1.00|1,000.00|1,000.00"});
}

INSTANTIATE_TEST_SUITE_P(Drivers, StatisticsScreenTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
