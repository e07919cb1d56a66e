// Times the statistics screen with the ten-year household's largest report: ten years by
// kinds with a row per day (a row per entry). Each measurement runs the screen's own code on the
// offscreen platform, from the database on the chosen driver to the first paint of its list:
//   - open: the StatisticsDialog is made (settings read, report built, list filled) and shown;
//   - period: the period dialog's choice switches one year to the ten years, the period is
//     saved and the report built and shown again;
//   - filter: the filter dialog's choice switches grouping by categories back to kinds, the
//     choice is saved and the report built and shown again.
//
//   ledgerix_statistics_screen_bench --kind 3|6 [--entries N] [--seed S] [--runs R]
//                                    [--data FOLDER]

#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "bench/bench_calendar.h"
#include "bench/bench_config.h"
#include "bench/household.h"
#include "bench/measure.h"
#include "bench/prepared_household.h"
#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "platform/clock.h"
#include "platform/posix_env.h"
#include "reports/report_settings.h"
#include "ui/app_state.h"
#include "ui/controls/device_dialog.h"
#include "ui/controls/edit_list.h"
#include "ui/period_screen.h"
#include "ui/report_filter_screen.h"
#include "ui/statistics_dialog.h"

namespace ledgerix::bench {
namespace {

namespace fs = std::filesystem;

// What a person notices, at 50,000 entries.
constexpr Target kScreenTarget{100, 0};

using Config = BenchConfig;

// The choices a person makes in the nested dialogs, without showing them. A message box means
// something went wrong.
class ScriptedChoices : public ScreenServices {
 public:
  MessageAnswer ShowMessage(const DbString& text, const DbString&, MessageButtons,
                            MessageIcon) override {
    std::fprintf(stderr, "message: %s\n", ToUtf8(text).c_str());
    failed = true;
    return MessageAnswer::kOk;
  }
  int RunScreen(ScreenRules& rules) override { return next ? next(rules) : kScreenCancel; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}

  std::function<int(ScreenRules&)> next;
  bool failed = false;
};

int ChoosePeriod(ScreenRules& rules, int first_year, int last_year) {
  auto& period = dynamic_cast<PeriodScreen&>(rules);
  period.Start();
  period.from = {first_year, 1, 1};
  period.till = {last_year, 12, 31};
  period.period_type = kPeriodDay;
  period.OnAccept();
  return kScreenOk;
}

int ChooseGrouping(ScreenRules& rules, int grouping) {
  auto& filter = dynamic_cast<ReportFilterScreen&>(rules);
  filter.Start();
  filter.grouping = grouping;
  return filter.OnAccept() ? kScreenOk : kScreenCancel;
}

bool Painted(StatisticsDialog& dialog, int rows) {
  QApplication::processEvents();
  return !dialog.list()->grab().isNull() && dialog.list()->ItemCount() == rows;
}

class ScreenBench {
 public:
  ScreenBench(const Config& config, const fs::path& device)
      : config_(config), env_(DeviceFolders(device)), state_(env_) {}

  bool Open() {
    if (state_.settings.Bind("tv_ledgrx") == 0) return false;
    state_.finance.storage_kind = static_cast<DriverKind>(config_.kind);
    state_.current_account_name = FromUtf8("<<Любой>>");
    db_ = std::make_unique<FinanceDb>(env_, clock_, state_.finance);
    if (!db_->Open(kDatabaseName)) return false;
    ReportParams ten_years;
    ten_years.period_from = Noon(kHouseholdFirstYear, 1, 1);
    ten_years.period_till = Noon(kHouseholdFirstYear + kHouseholdYears - 1, 12, 31);
    return SavePeriodSettings(&state_.settings, ten_years) == 1 &&
           SaveReportSettings(&state_.settings, ten_years) == 1;
  }

  void Run() {
    const int last_year = kHouseholdFirstYear + kHouseholdYears - 1;
    std::unique_ptr<StatisticsDialog> dialog;
    std::unique_ptr<StatisticsScreen> rules;
    int rows = 0;
    Operation open;
    open.work = [&] {
      rules = std::make_unique<StatisticsScreen>(db_.get(), state_, clock_, env_, services_);
      dialog = std::make_unique<StatisticsDialog>(*rules, services_);
      dialog->show();
      rows = static_cast<int>(rules->table().rows.size());
      return rows > 0 && Painted(*dialog, rows) && !services_.failed;
    };
    open.after = [&] {
      dialog.reset();
      rules.reset();
    };
    const Measurement opened = Measure(open, config_.runs);
    Print("statistics screen: open, ten years by kinds, day rows", opened,
          std::to_string(rows) + " rows; settings read, report built, list filled and painted");

    rules = std::make_unique<StatisticsScreen>(db_.get(), state_, clock_, env_, services_);
    dialog = std::make_unique<StatisticsDialog>(*rules, services_);
    dialog->show();
    rows = static_cast<int>(rules->table().rows.size());
    Operation period;
    period.before = [&] {
      services_.next = [&](ScreenRules& r) { return ChoosePeriod(r, last_year, last_year); };
      rules->OnPeriod();
    };
    period.work = [&] {
      services_.next = [&](ScreenRules& r) {
        return ChoosePeriod(r, kHouseholdFirstYear, last_year);
      };
      rules->OnPeriod();
      return Painted(*dialog, rows) && !services_.failed;
    };
    const Measurement switched = Measure(period, config_.runs);
    Print("statistics screen: period one year to ten years, day rows", switched,
          std::to_string(rows) + " rows; period saved, report built, list filled and painted");

    Operation filter;
    filter.before = [&] {
      services_.next = [](ScreenRules& r) { return ChooseGrouping(r, kGroupByCategories); };
      rules->OnFilter();
    };
    filter.work = [&] {
      services_.next = [](ScreenRules& r) { return ChooseGrouping(r, kGroupByKinds); };
      rules->OnFilter();
      return Painted(*dialog, rows) && !services_.failed;
    };
    const Measurement filtered = Measure(filter, config_.runs);
    Print("statistics screen: filter categories to kinds, ten years, day rows", filtered,
          std::to_string(rows) + " rows; choice saved, report built, list filled and painted");
  }

 private:
  void Print(const std::string& name, const Measurement& measurement, const std::string& note) {
    PrintMeasurement(stdout, config_.kind, config_.entries, name, measurement,
                     config_.entries == kTargetEntries ? kScreenTarget : Target{}, note);
  }

  const Config& config_;
  platform::PosixEnv env_;
  UtcClock clock_;
  AppState state_;
  ScriptedChoices services_;
  std::unique_ptr<FinanceDb> db_;
};

}  // namespace
}  // namespace ledgerix::bench

int main(int argc, char** argv) {
  using namespace ledgerix::bench;
  Config config;
  if (!ParseBenchConfig(argc, argv, false, &config)) return 2;
  fs::path work;
  if (!PrepareWorkCopy(config, "screen", &work)) return 1;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setFont(ledgerix::DeviceFont(12));
  int status = 0;
  {
    ScreenBench bench(config, work);
    if (bench.Open()) {
      bench.Run();
    } else {
      std::fprintf(stderr, "cannot open the household\n");
      status = 1;
    }
  }
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return status;
}
