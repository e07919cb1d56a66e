// Times what a user of the ten-year household waits for, on one storage driver and one size of
// household: start-up, a day's entry list, saving a day, the statistics of a month, a year and
// all ten years in every grouping and row granularity, saving and restoring an archive, adding a
// kind and deleting one with its entries. The database is built once and kept (see
// PreparedHousehold); each run measures a fresh copy of it. One line per measurement: driver
// kind, entries, median time, peak memory of the process.
//
//   ledgerix_household_bench --kind 3|6 [--entries N] [--seed S] [--runs R] [--data FOLDER]
//                            [--only WORDS]   (only the measurements whose name holds WORDS)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "bench/bench_calendar.h"
#include "bench/bench_config.h"
#include "bench/household.h"
#include "bench/measure.h"
#include "bench/prepared_household.h"
#include "engine/atomic_file.h"
#include "engine/db_record_set.h"
#include "finance/file_contents.h"
#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "finance/list_control.h"
#include "finance/record_access.h"
#include "finance/type_code.h"
#include "platform/clock.h"
#include "platform/instance_lock.h"
#include "platform/posix_env.h"
#include "reports/archives.h"
#include "reports/report_params.h"
#include "reports/report_source.h"
#include "ui/app_state.h"

namespace ledgerix::bench {
namespace {

namespace fs = std::filesystem;

// The targets at 50,000 entries.
constexpr Target kOnScreen{50, 100};
constexpr Target kArchiveSave{500, 100};
constexpr Target kArchiveRestore{3000, 100};
// An archive restores in under half a second whatever order its lines come in.
constexpr Target kArchiveRestoreAnyOrder{500, 100};
// Measured for the record; no target is set for them.
constexpr Target kNoTarget{};

using Config = BenchConfig;

// A list that keeps what it is given, as the entry list screen's control does.
class MemoryList : public ListControl {
 public:
  void DeleteAllItems() override { rows_.clear(); }
  int InsertItem(const DbString& text, int, int64_t) override {
    rows_.push_back({text});
    return static_cast<int>(rows_.size()) - 1;
  }
  void SetItemText(int item, int sub_item, const DbString& text) override {
    std::vector<DbString>& row = rows_[static_cast<size_t>(item)];
    if (row.size() <= static_cast<size_t>(sub_item)) row.resize(static_cast<size_t>(sub_item) + 1);
    row[static_cast<size_t>(sub_item)] = text;
  }
  int ItemCount() const override { return static_cast<int>(rows_.size()); }

 private:
  std::vector<std::vector<DbString>> rows_;
};

class HouseholdBench {
 public:
  HouseholdBench(const Config& config, fs::path device)
      : config_(config), device_(std::move(device)) {}

  // Runs every measurement; false when one failed.
  bool Run() {
    if (Wanted("start-up")) MeasureStartup();
    env_ = std::make_unique<platform::PosixEnv>(DeviceFolders(device_));
    globals_.storage_kind = static_cast<ledgerix::DriverKind>(config_.kind);
    db_ = std::make_unique<FinanceDb>(*env_, clock_, globals_);
    if (!db_->Open(kDatabaseName) || !db_->LoadKinds(&kinds_)) {
      std::fprintf(stderr, "cannot open the prepared database\n");
      return false;
    }
    if (Wanted("day list")) MeasureDayList();
    if (Wanted("open a day's entry list")) MeasureOpenEntryList();
    if (Wanted("save a day")) MeasureSaveDay();
    MeasureStatistics();
    MeasureArchive();
    if (Wanted("add a kind")) MeasureAddKind();
    // The restores above leave the object store's log holding the whole table until the store
    // is closed; a kind is deleted in the database as the program opens it.
    if (Wanted("delete a kind with its entries") && Reopen()) MeasureDeleteKind();
    return ok_;
  }

 private:
  // Closes the database and opens it again, as the next start of the program does.
  bool Reopen() {
    db_.reset();
    db_ = std::make_unique<FinanceDb>(*env_, clock_, globals_);
    if (db_->Open(kDatabaseName) && db_->LoadKinds(&kinds_)) return true;
    std::fprintf(stderr, "cannot open the database again\n");
    ok_ = false;
    return false;
  }

  bool Wanted(const std::string& name) const {
    return name.find(config_.only) != std::string::npos;
  }

  void Print(const std::string& name, const Measurement& measurement, const Target& target,
             const std::string& note = "") {
    ok_ = ok_ && measurement.ok;
    PrintMeasurement(stdout, config_.kind, config_.entries, name, measurement,
                     config_.entries == kTargetEntries ? target : Target{}, note);
  }

  // The program's start: the device taken, the settings bound, declared and read, the database
  // opened with the driver they choose, the reminder decided, the account named.
  void MeasureStartup() {
    struct Started {
      std::unique_ptr<platform::PosixEnv> env;
      std::unique_ptr<platform::InstanceLock> lock;
      std::unique_ptr<AppState> state;
      std::unique_ptr<FinanceDb> db;
    } started;
    Operation startup;
    startup.work = [&] {
      started.env = std::make_unique<platform::PosixEnv>(DeviceFolders(device_));
      started.lock = std::make_unique<platform::InstanceLock>(started.env->options().device_root);
      if (!started.lock->Acquire()) return false;
      started.state = std::make_unique<AppState>(*started.env);
      started.db = std::make_unique<FinanceDb>(*started.env, clock_, started.state->finance);
      return RunStartup(*started.state, *started.db, clock_).status == StartupStatus::kReady &&
             (started.state->finance.storage_kind == DriverKind::kFileDatabase) ==
                 (config_.kind == 6);
    };
    startup.after = [&] {
      started.db.reset();
      started.state.reset();
      started.lock.reset();
      started.env.reset();
    };
    Print("start-up", Measure(startup, config_.runs), kOnScreen);
  }

  // A day in the middle of the ten years.
  static int32_t MeasuredDay() { return HouseholdDateKey(HouseholdDayCount() / 2); }

  void MeasureDayList() {
    EntryFilter day;
    day.date = MeasuredDay();
    day.type = kExpense;
    MemoryList list;
    Operation open;
    open.work = [&] { return db_->ListEntriesForDay(day, &list) && list.ItemCount() > 0; };
    const Measurement measurement = Measure(open, config_.runs);
    Print("day list", measurement, kOnScreen, std::to_string(list.ItemCount()) + " entries listed");
  }

  // What the entry list screen reads when it opens a day: the day's entries whole (notes and
  // all), the kinds and the accounts.
  void MeasureOpenEntryList() {
    EntryFilter day;
    day.date = MeasuredDay();
    day.type = kExpense;
    std::vector<EntryRecord> entries;
    std::vector<KindRecord> kinds;
    std::vector<AccountRecord> accounts;
    Operation open;
    open.work = [&] {
      return db_->LoadDayEntries(day, &entries) && db_->LoadKinds(&kinds) &&
             db_->LoadAccounts(&accounts) && !entries.empty();
    };
    const Measurement measurement = Measure(open, config_.runs);
    Print("open a day's entry list", measurement, kOnScreen,
          std::to_string(entries.size()) + " entries read whole");
  }

  // The entry list screen's save: the day's stored entries of its direction replaced by the
  // rows of its list, as one transaction (a kill or a failure never leaves the day half saved,
  // and the file database journals and syncs the moved rows once). The same writes each as a
  // transaction of its own are measured too, without a target.
  void MeasureSaveDay() {
    EntryFilter day;
    day.date = MeasuredDay();
    day.type = kExpense;
    std::vector<EntryRecord> rows;
    for (const KindRecord& kind : kinds_) {
      if (kind.type != kExpense || rows.size() == 10) continue;
      EntryRecord row;
      row.date = day.date;
      row.kind_id = kind.id;
      row.price = kind.price;
      row.count = 1 + static_cast<double>(rows.size() % 3);
      row.type = kExpense;
      row.account_id = 1;
      rows.push_back(row);
    }
    Operation save;
    save.work = [&] { return db_->ReplaceDayEntries(day, rows, nullptr) == DaySaveResult::kSaved; };
    Print("save a day", Measure(save, config_.runs), kOnScreen,
          "its entries deleted, 10 added, one transaction");
    Operation alone;
    alone.work = [&] {
      if (!db_->DeleteEntries(day)) return false;
      for (const EntryRecord& row : rows) {
        if (!db_->AddEntry(row)) return false;
      }
      return true;
    };
    Print("save a day, each write alone", Measure(alone, config_.runs), kNoTarget,
          "the same writes, each committed on its own");
  }

  void MeasureAddKind() {
    KindRecord kind;
    kind.id = 2000000000;
    kind.name = FromUtf8("Новый вид");
    kind.category = FromUtf8("Продукты");
    kind.price = 99.5;
    kind.type = kExpense;
    Operation add;
    add.work = [&] { return db_->AddKind(kind) == 1; };
    // Taken out again so that every run adds to the same kinds.
    add.after = [&] { static_cast<void>(db_->DeleteKind(kind.id)); };
    Print("add a kind", Measure(add, config_.runs), kNoTarget);
  }

  // Deletes, one per run, household kinds with about the average number of entries (in the
  // middle of the kinds, so that their entries lie amid the others).
  void MeasureDeleteKind() {
    std::map<int32_t, int> entries_of;
    {
      std::unique_ptr<DbRecordSet> entries = OpenTableRecordSet(db_->Connection(), kEntriesTable);
      if (entries == nullptr) return;
      const bool read = ForEachRow(*entries, [&](DbRecord* record) {
        ++entries_of[IntField(record, col::kConsumerId)];
        return true;
      });
      if (!read) return;
    }
    const double average = static_cast<double>(config_.entries) / kHouseholdKinds;
    std::vector<KindRecord> victims(kinds_.begin() + 3, kinds_.end());  // not the transfer kinds
    std::stable_sort(victims.begin(), victims.end(), [&](const KindRecord& a, const KindRecord& b) {
      return std::abs(entries_of[a.id] - average) < std::abs(entries_of[b.id] - average);
    });
    size_t next = 0;
    int deleted_entries = 0;
    Operation remove;
    remove.work = [&] {
      if (next >= victims.size()) return false;
      const KindRecord& kind = victims[next++];
      deleted_entries += entries_of[kind.id];
      if (!db_->DeleteKind(kind.id)) return false;
      KindRecord found;
      return db_->FindKind(&found, kind.id, 0, DbString()) == 0;
    };
    const Measurement measurement = Measure(remove, config_.runs);
    const int per_kind = next > 0 ? deleted_entries / static_cast<int>(next) : 0;
    Print("delete a kind with its entries", measurement, kNoTarget,
          "about " + std::to_string(per_kind) + " entries each");
  }

  // The statistics screen's report over a month, a year and all ten years, grouped by kinds,
  // categories and accounts, with a row per day, month or year.
  void MeasureStatistics() {
    struct Period {
      const char* name;
      int64_t from;
      int64_t till;
    };
    const Period periods[] = {
        {"a month", Noon(2015, 6, 1), Noon(2015, 6, 30)},
        {"a year", Noon(2015, 1, 1), Noon(2015, 12, 31)},
        {"ten years", Noon(kHouseholdFirstYear, 1, 1),
         Noon(kHouseholdFirstYear + kHouseholdYears - 1, 12, 31)},
    };
    const std::pair<const char*, int32_t> groupings[] = {{"kinds", kGroupByKinds},
                                                         {"categories", kGroupByCategories},
                                                         {"accounts", kGroupByAccounts}};
    const std::pair<const char*, int32_t> granularities[] = {
        {"day", kPeriodDay}, {"month", kPeriodMonth}, {"year", kPeriodYear}};
    const ReportContext context;
    for (const Period& period : periods) {
      for (const auto& [grouping_name, grouping] : groupings) {
        for (const auto& [rows_name, rows] : granularities) {
          const std::string name = std::string("statistics ") + period.name + " by " +
                                   grouping_name + ", " + rows_name + " rows";
          if (!Wanted(name)) continue;
          ReportParams params;
          params.period_from = period.from;
          params.period_till = period.till;
          params.group_type = grouping;
          params.period_type = rows;
          params.report_type = kReportBalance;
          ReportTable table;
          Operation report;
          report.work = [&] {
            return BuildReport(db_.get(), params, context, clock_, kListWidth, &table) == 1;
          };
          const Measurement measurement = Measure(report, config_.runs);
          Print(name, measurement, kOnScreen, std::to_string(table.rows.size()) + " rows");
        }
      }
    }
  }

  // The archives screen: the whole database saved as a dated archive, and that archive restored
  // over the database.
  void MeasureArchive() {
    const bool date_order = Wanted("archive restore, date order");
    if (!Wanted("archive save") && !Wanted("archive restore") && !date_order) return;
    SettingsStore settings(*env_);
    if (!settings.Bind(kSettingsName)) return;
    DbString last_archive;
    ArchiveContext context{*env_, clock_, settings, last_archive, db_.get()};
    DbString name;
    Operation save;
    save.work = [&] { return SaveArchive(context, &name) == ArchiveSaveResult::kSaved; };
    if (Wanted("archive save")) {
      Print("archive save", Measure(save, config_.runs), kArchiveSave);
    } else if (!save.work()) {
      ok_ = false;
      return;
    }
    if (Wanted("archive restore")) {
      Operation restore;
      restore.work = [&] {
        return RestoreArchive(context, name) == ArchiveRestoreResult::kRestored;
      };
      Print("archive restore", Measure(restore, config_.runs), kArchiveRestore);
    }
    if (date_order) MeasureDateOrderRestore(context, name);
  }

  // An archive written by another tool: the same rows, the entries in date order rather than
  // grouped by kind.
  void MeasureDateOrderRestore(ArchiveContext& context, const DbString& saved) {
    DbString text;
    const DbString date_order("date order.txt");
    if (!ReadWholeFile(*env_, ArchivePath(*env_, saved), &text) ||
        !ReplaceFileContent(
            *env_, ArchivePath(*env_, date_order),
            DbString(std::string_view(EntriesInDateOrder(std::string(text.View())))))) {
      ok_ = false;
      return;
    }
    Operation restore;
    restore.work = [&] {
      return RestoreArchive(context, date_order) == ArchiveRestoreResult::kRestored;
    };
    Print("archive restore, date order", Measure(restore, config_.runs), kArchiveRestoreAnyOrder);
  }

  const Config config_;
  const fs::path device_;
  UtcClock clock_;
  FinanceGlobals globals_;
  std::unique_ptr<platform::PosixEnv> env_;
  std::unique_ptr<FinanceDb> db_;
  std::vector<KindRecord> kinds_;
  bool ok_ = true;
};

}  // namespace
}  // namespace ledgerix::bench

int main(int argc, char** argv) {
  using namespace ledgerix::bench;
  Config config;
  if (!ParseBenchConfig(argc, argv, true, &config)) return 2;
  fs::path work;
  if (!PrepareWorkCopy(config, "work", &work)) return 1;
  bool ok = HouseholdBench(config, work).Run();
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return ok ? 0 : 1;
}
