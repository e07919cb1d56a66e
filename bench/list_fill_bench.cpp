// Times what the statistics screen's list costs on top of the report: the ten-year report by
// kinds with a row per day (a row per entry) shown in the editable list (EditList::ShowReport)
// and laid out and painted once, on the offscreen platform; and the same rows appended one by
// one through ListControl (InsertItem and SetItemText), as the entry list screen fills it,
// then painted. The report is built from the prepared household on the chosen driver.
//
//   ledgerix_list_fill_bench --kind 3|6 [--entries N] [--seed S] [--runs R] [--data FOLDER]

#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "bench/bench_calendar.h"
#include "bench/bench_config.h"
#include "bench/household.h"
#include "bench/measure.h"
#include "bench/prepared_household.h"
#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "platform/clock.h"
#include "platform/posix_env.h"
#include "reports/report_params.h"
#include "reports/report_source.h"
#include "ui/controls/device_dialog.h"
#include "ui/controls/device_screen.h"
#include "ui/controls/edit_list.h"

namespace ledgerix::bench {
namespace {

namespace fs = std::filesystem;

// Well under the 100 ms a person notices, at 50,000 entries.
constexpr Target kListTarget{100, 100};

using Config = BenchConfig;

// The ten years by kinds, a row per day: the report with the most rows.
bool BuildTenYearReport(const Config& config, const fs::path& device, ReportTable* table) {
  platform::PosixEnv env(DeviceFolders(device));
  FinanceGlobals globals;
  globals.storage_kind = static_cast<DriverKind>(config.kind);
  UtcClock clock;
  FinanceDb db(env, clock, globals);
  if (!db.Open(kDatabaseName)) return false;
  ReportParams params;
  params.period_from = Noon(kHouseholdFirstYear, 1, 1);
  params.period_till = Noon(kHouseholdFirstYear + kHouseholdYears - 1, 12, 31);
  params.group_type = kGroupByKinds;
  params.period_type = kPeriodDay;
  params.report_type = kReportBalance;
  return BuildReport(&db, params, ReportContext(), clock, kListWidth, table) == 1;
}

// The list on a screen of the device's size, shown so that painting is real.
std::unique_ptr<EditList> ShownList() {
  auto list = std::make_unique<EditList>();
  list->resize(kDeviceWidth, kDeviceHeight - 100);
  list->SetGrid(true);
  list->show();
  QApplication::processEvents();
  return list;
}

// Lays the list out and paints it once, as the screen's first frame after the fill.
bool Paint(EditList& list) {
  QApplication::processEvents();
  return !list.grab().isNull();
}

Target TargetFor(const Config& config) {
  return config.entries == kTargetEntries ? kListTarget : Target{};
}

void MeasureShowReport(const Config& config, const ReportTable& table) {
  std::unique_ptr<EditList> list = ShownList();
  Operation show;
  show.work = [&] {
    list->ShowReport(table);
    return Paint(*list) && list->ItemCount() == static_cast<int>(table.rows.size());
  };
  show.after = [&] { list->DeleteAllItems(); };
  PrintMeasurement(stdout, config.kind, config.entries, "list: ten years by kinds, day rows",
                   Measure(show, config.runs), TargetFor(config),
                   std::to_string(table.rows.size()) + " rows, ShowReport and one paint");
}

void Assign(DbString* text, std::string_view bytes) {
  text->Clear();
  text->AppendBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

void MeasureRowByRow(const Config& config, const ReportTable& table) {
  std::unique_ptr<EditList> list = ShownList();
  list->ShowReport(ReportTable{table.columns, {}, -1, {}});  // the columns only
  Operation fill;
  fill.work = [&] {
    ListControl& control = *list;
    DbString text;  // one text reused, so that the caller's own allocations stay out
    for (const ReportTableRow& row : table.rows) {
      Assign(&text, row.cells[0]);
      const int item = control.InsertItem(text, 1, row.value);
      for (size_t i = 1; i < row.cells.size(); ++i) {
        Assign(&text, row.cells[i]);
        control.SetItemText(item, static_cast<int>(i), text);
      }
    }
    return Paint(*list) && list->ItemCount() == static_cast<int>(table.rows.size());
  };
  fill.after = [&] { list->DeleteAllItems(); };
  PrintMeasurement(stdout, config.kind, config.entries, "list: the same rows one by one",
                   Measure(fill, config.runs), TargetFor(config),
                   "InsertItem and SetItemText per row, then one paint");
}

// The report of the prepared household, read from a copy of it.
bool PreparedReport(const Config& config, ReportTable* table) {
  fs::path work;
  if (!PrepareWorkCopy(config, "list", &work)) return false;
  const bool built = BuildTenYearReport(config, work, table);
  std::error_code ignored;
  fs::remove_all(work, ignored);
  if (!built) std::fprintf(stderr, "cannot build the report\n");
  return built;
}

}  // namespace
}  // namespace ledgerix::bench

int main(int argc, char** argv) {
  using namespace ledgerix::bench;
  Config config;
  if (!ParseBenchConfig(argc, argv, false, &config)) return 2;
  ledgerix::ReportTable table;
  if (!PreparedReport(config, &table)) return 1;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setFont(ledgerix::DeviceFont(12));
  MeasureShowReport(config, table);
  MeasureRowByRow(config, table);
  return 0;
}
