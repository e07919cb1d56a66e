// Every operation that saves something, on both storage kinds, broken at each of its disk
// changes in turn: the n-th change fails, the n-th write is cut short, or the process is killed
// at the n-th change. Whatever the operation answered, what it saves, read as the next start of
// the program reads it, is all as it was or all as the operation leaves it; a failure is answered
// as one; and an operation that answered success left the new data (also when the fault only
// hit a step after the data was stored).
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "access/db_connection.h"
#include "engine/settings_store.h"
#include "finance/finance_db.h"
#include "finance/older_layout.h"
#include "platform/fault_injection_env.h"
#include "reports/archives.h"
#include "reports/export_file.h"
#include "reports/transfer.h"
#include "testing/device_snapshot.h"
#include "testing/driver_kinds.h"
#include "testing/fake_clock.h"
#include "testing/stopping_env.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

constexpr char kSettingsName[] = "tv_ledgrx";
constexpr char16_t kSettingsFile[] = u"\\settings\\tv_ledgrx.$$$";
// The archive that saving writes (the stamp of the clock's now) and the one a restore reads.
constexpr char16_t kSavedArchive[] = u"\\data\\06.12.08 14_05.txt";
constexpr char16_t kOtherArchive[] = u"\\data\\other.txt";
constexpr char16_t kExportFile[] = u"\\My Documents\\Personal\\r.xls";

// Disk changes after which an operation must have run through.
constexpr int kMaxChanges = 400;

// A test's device: its files, clock and the storage kind it runs on.
struct Device {
  explicit Device(DriverKind kind) {
    clock.SetDate(2008, 12, 6, 14, 5, 30);
    globals.storage_kind = kind;
  }

  testing::TempDeviceRoot root;
  testing::FakeClock clock;
  FinanceGlobals globals;
};

// What one run of an operation works with, all through the Env under test.
struct Session {
  platform::Env& env;
  const platform::Clock& clock;
  FinanceDb& db;            // open, unless the operation is the opening itself
  SettingsStore& settings;  // bound
  DbString& last_archive;   // the name read at start-up
  bool killed;              // the run may be killed part-way: then nobody sees its answer
};

// One operation that saves.
struct SavePath {
  const char* name;
  // The database is of the older layout, and the operation is opening it (which converts it);
  // otherwise the database is of the current layout and open when the operation starts.
  bool converts;
  // The operation; true when it answered success.
  bool (*run)(Session&);
  // What it saves, as the next start reads it.
  std::string (*read)(Device&);
};

std::string Cp(const char* utf8) { return std::string(FromUtf8(utf8).View()); }

EntryRecord Entry(int32_t kind_id, int32_t date, double price, int32_t type, int32_t account,
                  const char* note = "") {
  EntryRecord entry;
  entry.kind_id = kind_id;
  entry.date = date;
  entry.price = price;
  entry.count = 1;
  entry.type = type;
  entry.account_id = account;
  entry.note = FromUtf8(note);
  return entry;
}

// The day whose spending the day operations change.
EntryFilter Day() {
  EntryFilter day;
  day.date = 160308;
  day.type = 2;
  return day;
}

// A database of the current layout: the seeded kinds and accounts and a few entries over three
// days, both directions and both accounts.
void PrepareCurrent(Device& device) {
  FinanceDb db(device.root.env(), device.clock, device.globals);
  ASSERT_EQ(db.Open(kDatabaseName), 1);
  for (int i = 0; i < 12; ++i) {
    const int32_t type = i % 4 == 3 ? 1 : 2;
    ASSERT_EQ(db.AddEntry(Entry(type == 1 ? 5 : 1 + i % 4, 150308 + i % 3 * 10000, 1 + i, type,
                                1 + i % 2, i % 2 ? "чек" : "")),
              1);
  }
}

// A database of the older layout: entries without note or account, counts in whole units.
void PrepareOlder(Device& device) {
  DbConnection connection(device.root.env(), device.globals.storage_kind);
  ASSERT_EQ(connection.CreateDatabase(DbString(kDatabaseName), OlderLayoutSchema(true)), 1);
  ASSERT_EQ(connection.Open(DbString(kDatabaseName), DbString(), DbString()), 1);
  std::unique_ptr<DbRecordSet> record_set = connection.CreateRecordSet(1);
  const std::vector<std::pair<const char*, std::vector<DbValue>>> rows = {
      {kKindsTable,
       {DbValue(1), DbValue(FromUtf8("Бензин")), DbValue(FromUtf8("Машина")), DbValue(51200),
        DbValue(2), DbValue(0)}},
      {kKindsTable,
       {DbValue(5), DbValue(FromUtf8("Премия")), DbValue(""), DbValue(0), DbValue(1), DbValue(0)}},
      {kEntriesTable, {DbValue(1), DbValue(150308), DbValue(3840), DbValue(3), DbValue(2)}},
      {kEntriesTable, {DbValue(1), DbValue(160308), DbValue(256), DbValue(29), DbValue(2)}},
      {kEntriesTable, {DbValue(5), DbValue(160308), DbValue(896000), DbValue(1), DbValue(1)}},
      {kAccountsTable, {DbValue(2), DbValue(FromUtf8("Карта")), DbValue(""), DbValue(0)}},
  };
  for (const auto& [table, values] : rows) {
    ASSERT_EQ(record_set->OpenTable(table, nullptr), 1);
    ASSERT_EQ(record_set->AddNew(), 1);
    DbRecord* record = record_set->CurrentRecord(-1);
    for (uint32_t i = 0; i < values.size(); ++i) record->FieldByIndex(i)->CopyFrom(values[i]);
    ASSERT_EQ(record_set->Update(), 1);
  }
}

// Besides the database: the settings file, an archive to restore, and older files where saving
// an archive and exporting write.
void PrepareFiles(Device& device) {
  SettingsStore settings(device.root.env());
  ASSERT_NE(settings.Bind(kSettingsName), 0);
  settings.DeclareDefault("LAST_ARCHIVE", DbValue("previous.txt"));
  settings.DeclareDefault("GL_FIRM_ID", DbValue(int32_t{0}));
  ASSERT_EQ(settings.Save(), 1);
  ASSERT_TRUE(device.root.WriteHostFile(
      kOtherArchive, Cp("[sec_consumeritems]\r\n7;Кино;Развлечения;89600;2;0;\r\n\r\n"
                        "[sec_data]\r\n7;150308;256;512;2;в кино;9;0;\r\n"
                        "7;160308;512;256;2;;9;0;\r\n\r\n[sec_firms]\r\n9;Девять;;0;\r\n")));
  ASSERT_TRUE(device.root.WriteHostFile(kSavedArchive, "[sec_firms]\r\n9;Old;;0;\r\n"));
  ASSERT_TRUE(device.root.WriteHostFile(kExportFile, "old export\r\n"));
}

// The three tables as exchange text, as the next start finds them: the store closed (a process
// that ends drops what its connection holds), the database opened anew.
std::string ReadTables(Device& device) {
  device.root.env().CloseObjectStore();
  std::string tables;
  {
    FinanceDb db(device.root.env(), device.clock, device.globals);
    EXPECT_EQ(db.Open(kDatabaseName), 1) << "the next start opens the database";
    for (const char* table : {kKindsTable, kEntriesTable, kAccountsTable}) {
      tables += db.WriteTableSection(table).View();
    }
  }
  device.root.env().CloseObjectStore();
  return tables;
}

std::string ReadSettings(Device& device) { return device.root.ReadHostFile(kSettingsFile); }
std::string ReadSavedArchive(Device& device) { return device.root.ReadHostFile(kSavedArchive); }
std::string ReadExport(Device& device) { return device.root.ReadHostFile(kExportFile); }

ReportTable ExportedTable() {
  ReportTable table;
  ReportColumn caption;
  caption.title = FromUtf8("Дата");
  caption.content = ColumnContent::kCaption;
  ReportColumn sum;
  sum.title = FromUtf8("Сумма");
  sum.content = ColumnContent::kAmount;
  sum.decimal_number = true;
  table.columns = {caption, sum};
  for (const char* day : {"05.03.08", "06.03.08"}) {
    ReportTableRow row;
    EXPECT_TRUE(row.cells.push_back(FromUtf8(day)));
    EXPECT_TRUE(row.cells.push_back(FromUtf8("-1,234.50")));
    table.rows.push_back(row);
  }
  return table;
}

TransferRequest Transfer() {
  TransferRequest request;
  request.day = 5;
  request.month = 3;
  request.year = 2009;
  request.payer_id = 1;
  request.receiver_id = 2;
  request.amount_text = DbString("10.00");
  request.commission_text = DbString("1.00");
  return request;
}

ArchiveContext Archives(Session& session) {
  return {session.env, session.clock, session.settings, session.last_archive, &session.db};
}

const SavePath kSavePaths[] = {
    {"SettingsSave", false,
     [](Session& s) {
       s.settings.WriteSetting("LAST_ARCHIVE", DbValue("new.txt"));
       s.settings.WriteSetting("GL_FIRM_ID", DbValue(int32_t{2}));
       return s.settings.Save() == 1;
     },
     ReadSettings},
    {"ArchiveSave", false,
     [](Session& s) {
       ArchiveContext context = Archives(s);
       return SaveArchive(context, nullptr) == ArchiveSaveResult::kSaved;
     },
     ReadSavedArchive},
    {"Export", false,
     [](Session& s) {
       ExportRequest request;
       request.file_name = DbString("r");
       request.folder_index = 2;
       request.type_index = kExportExcel;
       request.with_header = true;
       return ExportToFile(s.env, ExportedTable(), request) == ExportResult::kWritten;
     },
     ReadExport},
    {"OlderLayoutRebuild", true,
     [](Session& s) {
       OpenReport report;
       const bool opened = s.db.Open(kDatabaseName, &report) == 1;
       if (!s.killed) {
         EXPECT_EQ(report.outcome, opened ? OpenOutcome::kConverted : OpenOutcome::kFailed);
       }
       EXPECT_EQ(s.db.IsOpen(), opened);
       return opened;
     },
     ReadTables},
    {"Restore", false,
     [](Session& s) {
       ArchiveContext context = Archives(s);
       // The settings file is no part of what is read back: a restore whose settings could not
       // be saved has replaced the tables all the same.
       return RestoreArchive(context, DbString("other.txt")) != ArchiveRestoreResult::kFailed;
     },
     ReadTables},
    {"DaySave", false,
     [](Session& s) {
       const std::vector<EntryRecord> rows = {Entry(3, 160308, 1.5, 2, 2, "новая"),
                                              Entry(1, 160308, 9, 2, 1)};
       return s.db.ReplaceDayEntries(Day(), rows, nullptr) == DaySaveResult::kSaved;
     },
     ReadTables},
    // The day's kinds as stored, other amounts: the file database writes the rows in place.
    {"DayStoredBack", false,
     [](Session& s) {
       const std::vector<EntryRecord> rows = {Entry(3, 160308, 7.25, 2, 1, "правка"),
                                              Entry(1, 160308, 8, 2, 2), Entry(2, 160308, 9, 2, 1)};
       return s.db.ReplaceDayEntries(Day(), rows, nullptr) == DaySaveResult::kSaved;
     },
     ReadTables},
    {"DayDelete", false, [](Session& s) { return s.db.DeleteEntries(Day()) == 1; }, ReadTables},
    {"KindDelete", false, [](Session& s) { return s.db.DeleteKind(2) == 1; }, ReadTables},
    {"DeleteAllData", false, [](Session& s) { return s.db.DeleteAllData() == 1; }, ReadTables},
    {"Transfer", false,
     [](Session& s) { return AcceptTransfer(&s.db, s.clock, Transfer()) == TransferResult::kDone; },
     ReadTables},
};

enum class Fault { kNone, kFailedChange, kShortWrite, kKill };

const char* FaultName(Fault fault) {
  switch (fault) {
    case Fault::kNone:
      return "no fault";
    case Fault::kFailedChange:
      return "the n-th disk change fails";
    case Fault::kShortWrite:
      return "the n-th write is cut short";
    case Fault::kKill:
      return "killed at the n-th disk change";
  }
  return "";
}

struct Outcome {
  bool answered = false;  // the operation answered success
  bool fired = false;     // the fault came
};

// Runs the operation once on the device as the program would, with the fault at n (counted
// from the operation on, its end and the database's closing included).
Outcome RunOnce(Device& device, const SavePath& path, Fault fault, int n) {
  Outcome outcome;
  std::optional<platform::FaultInjectionEnv> faulty;
  std::optional<testing::StoppingEnv> stopping;
  if (fault == Fault::kKill) {
    stopping.emplace(&device.root.env(), INT_MAX);
  } else {
    faulty.emplace(&device.root.env());
  }
  platform::Env& env = stopping ? static_cast<platform::Env&>(*stopping) : *faulty;
  {
    FinanceDb db(env, device.clock, device.globals);
    SettingsStore settings(env);
    DbString last_archive("previous.txt");
    Session session{env, device.clock, db, settings, last_archive, fault == Fault::kKill};
    EXPECT_NE(settings.Bind(kSettingsName), 0);
    if (!path.converts) {
      EXPECT_EQ(db.Open(kDatabaseName), 1);
    }
    if (faulty) faulty->Reset();
    switch (fault) {
      case Fault::kNone:
        break;
      case Fault::kFailedChange:
        faulty->FailNthMutation(n, platform::winerr::kDiskFull);
        break;
      case Fault::kShortWrite:
        faulty->ShortWriteNth(n);
        break;
      case Fault::kKill:
        stopping->StopAt(n);
        break;
    }
    outcome.answered = path.run(session);
  }
  outcome.fired = stopping ? stopping->stopped() : faulty->InjectedCount() > 0;
  return outcome;
}

// Files named as ReplaceFileContent names its temporary files, anywhere on the device.
std::vector<std::string> TemporaryFiles(Device& device) {
  std::vector<std::string> found;
  for (const std::string& top : {device.root.host_root(), device.root.documents_folder()}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
      if (entry.path().extension() == ".tmp") found.push_back(entry.path().string());
    }
  }
  return found;
}

class SavePathFaultTest : public ::testing::TestWithParam<std::tuple<const SavePath*, DriverKind>> {
};

TEST_P(SavePathFaultTest, AFaultAtAnyChangeLeavesTheOldDataOrTheNew) {
  const SavePath& path = *std::get<0>(GetParam());
  Device device(std::get<1>(GetParam()));
  if (path.converts) {
    ASSERT_NO_FATAL_FAILURE(PrepareOlder(device));
  } else {
    ASSERT_NO_FATAL_FAILURE(PrepareCurrent(device));
  }
  ASSERT_NO_FATAL_FAILURE(PrepareFiles(device));
  testing::DeviceSnapshot snapshot(device.root);
  // Read as the next start reads it. The older layout is converted by that start, so there the
  // old data and the new are the same: whatever the fault, the next start converts it all.
  const std::string old_data = path.read(device);
  ASSERT_TRUE(snapshot.Restore());
  ASSERT_TRUE(RunOnce(device, path, Fault::kNone, 0).answered);
  const std::string new_data = path.read(device);
  if (!path.converts) {
    ASSERT_NE(new_data, old_data);
  }

  for (const Fault fault : {Fault::kFailedChange, Fault::kShortWrite, Fault::kKill}) {
    SCOPED_TRACE(FaultName(fault));
    int fired = 0;
    int failures = 0;
    int old_ones = 0;
    for (int n = 1;; ++n) {
      ASSERT_LT(n, kMaxChanges) << "the operation never ran through";
      ASSERT_TRUE(snapshot.Restore());
      const Outcome outcome = RunOnce(device, path, fault, n);
      if (fault != Fault::kKill && !outcome.answered) {
        EXPECT_EQ(TemporaryFiles(device), std::vector<std::string>()) << "n = " << n;
      }
      const std::string now = path.read(device);
      if (!outcome.fired) {
        EXPECT_TRUE(outcome.answered) << "n = " << n;
        EXPECT_EQ(now, new_data) << "n = " << n;
        break;
      }
      ++fired;
      if (outcome.answered) {
        EXPECT_EQ(now, new_data) << "n = " << n << ": answered success without the new data";
      } else if (fault == Fault::kKill) {
        EXPECT_TRUE(now == old_data || now == new_data) << "n = " << n << ": neither old nor new";
        old_ones += now == old_data ? 1 : 0;
      } else {
        ++failures;
        EXPECT_EQ(now, old_data) << "n = " << n << ": answered failure but changed";
      }
    }
    EXPECT_GT(fired, 0) << "the fault never came";
    if (fault == Fault::kKill) {
      EXPECT_GT(old_ones, 0) << "no kill came before the data changed";
    } else {
      EXPECT_GT(failures, 0) << "no fault made the operation fail";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SavePaths, SavePathFaultTest,
                         ::testing::Combine(::testing::ValuesIn([] {
                                              std::vector<const SavePath*> paths;
                                              for (const SavePath& path : kSavePaths)
                                                paths.push_back(&path);
                                              return paths;
                                            }()),
                                            testing::BothStorageKinds()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)->name) + "_" +
                                  (std::get<1>(info.param) == DriverKind::kFileDatabase
                                       ? "FileDatabase"
                                       : "ObjectStore");
                         });

}  // namespace
}  // namespace ledgerix
