// The statistics screen and the dialogs it opens, on the seeded data with a month of entries:
// the report by categories with its spending rows tinted, the period dialog, the filter dialog
// with a category selected, and the export dialog.
#include "finance/date_key.h"
#include "reports/report_settings.h"
#include "screenshots/scene.h"
#include "screenshots/screen_world.h"
#include "ui/export_dialog.h"
#include "ui/period_dialog.h"
#include "ui/report_filter_dialog.h"
#include "ui/statistics_dialog.h"

namespace ledgerix {
namespace {

// The month before the world's day: petrol every week, buses most days, a film now and then,
// one small refund-like income of a spending kind, and the monthly bonus. Stored once.
void StoreMonth(ScreenWorld& world) {
  static bool stored = false;
  if (stored) return;
  stored = true;
  const int64_t day_seconds = 86400;
  for (int back = 30; back >= 0; --back) {
    const platform::LocalTime day = world.clock().Local(world.clock().Now() - back * day_seconds);
    const int32_t key = BuildDateKey(day.day, day.month, day.year);
    auto add = [&](int32_t kind, double price, double count, int32_t type, int32_t account) {
      EntryRecord entry;
      entry.date = key;
      entry.kind_id = kind;
      entry.price = price;
      entry.count = count;
      entry.type = type;
      entry.account_id = account;
      (void)world.db().AddEntry(entry);
    };
    if (back % 7 == 2) add(1, 52.9, 30 + back % 5, 2, 1);
    if (back % 3 != 0) add(3, 15, 2, 2, 1);
    if (back % 9 == 4) add(4, 350, 2, 2, 2);
    if (back == 12) add(5, 3500, 1, 1, 2);
    if (back == 6) add(2, 0.5, 1, 2, 1);  // a spending of 0.50: tinted like the others
  }
}

std::unique_ptr<QWidget> StatisticsByCategories() {
  ScreenWorld& world = ScreenWorld::Get();
  StoreMonth(world);
  ReportParams params;
  params.group_type = kGroupByCategories;
  (void)SaveReportSettings(&world.state().settings, params);
  auto& rules = world.Keep(std::make_unique<StatisticsScreen>(
      &world.db(), world.state(), world.clock(), world.env(), world.services()));
  auto dialog = std::make_unique<StatisticsDialog>(rules, world.services());
  params.group_type = kGroupByKinds;  // the scenes after this one start from the defaults
  (void)SaveReportSettings(&world.state().settings, params);
  return dialog;
}

ReportParams& WorldParams(ScreenWorld& world) {
  ReportParams& params =
      world.Keep(std::make_unique<ReportParams>(InitialReportParams(world.clock().Now())));
  params.group_type = kGroupByCategories;
  params.category_filter = FromUtf8("Проезд");
  params.kind_filter_id = 3;
  return params;
}

std::unique_ptr<QWidget> Period() {
  ScreenWorld& world = ScreenWorld::Get();
  auto& rules = world.Keep(std::make_unique<PeriodScreen>(WorldParams(world), world.clock()));
  return std::make_unique<PeriodDialog>(rules, world.services());
}

std::unique_ptr<QWidget> Filter() {
  ScreenWorld& world = ScreenWorld::Get();
  auto& rules = world.Keep(std::make_unique<ReportFilterScreen>(
      &world.db(), world.state(), world.clock(), world.services(), WorldParams(world)));
  return std::make_unique<ReportFilterDialog>(rules, world.services());
}

std::unique_ptr<QWidget> Export() {
  ScreenWorld& world = ScreenWorld::Get();
  auto& table = world.Keep(std::make_unique<ReportTable>());
  auto& rules = world.Keep(
      std::make_unique<ExportScreen>(table, world.env(), world.clock(), world.services()));
  return std::make_unique<ExportDialog>(rules, world.services());
}

}  // namespace

void AddStatisticsScenes(std::vector<Scene>& scenes) {
  scenes.push_back({"statistics_by_categories", StatisticsByCategories});
  scenes.push_back({"period_dialog", Period});
  scenes.push_back({"report_filter", Filter});
  scenes.push_back({"export_dialog", Export});
}

}  // namespace ledgerix
