// Opening the finance database: first start, normal start, older layouts, damaged databases.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "access/db_connection.h"
#include "finance/damaged_copy.h"
#include "finance/stored_database.h"
#include "finance/testing/finance_test_support.h"
#include "platform/fault_injection_env.h"
#include "platform/object_store.h"
#include "testing/device_snapshot.h"
#include "testing/stopping_env.h"

namespace ledgerix::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr char16_t kOlderBackup[] = u"\\data\\01.03.24 12_00.txt";
constexpr char16_t kDamagedFolder[] = u"\\data\\damaged 01.03.24 12_00";

// Every file under a host folder with its content, to show that nothing changed.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::FILE* file = std::fopen(entry.path().c_str(), "rb");
    std::string content;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) content.append(buffer, n);
    std::fclose(file);
    files[entry.path().string()] = content;
  }
  return files;
}

// A folder of a device that takes no new files and replaces none, as a folder the program's user
// may not write: opening a file there for anything but an existing one fails, as do renames
// into it, deletions and new folders.
class ReadOnlyFolderEnv : public platform::FaultInjectionEnv {
 public:
  ReadOnlyFolderEnv(platform::Env* base, std::u16string folder)
      : FaultInjectionEnv(base), folder_(std::move(folder)) {}

  platform::FileHandle Open(std::u16string_view path, int access, int disposition,
                            int share) override {
    if (Inside(path) && disposition != platform::kDispositionOpenExisting) {
      refused_ = true;
      return platform::kInvalidFileHandle;
    }
    refused_ = false;
    return FaultInjectionEnv::Open(path, access, disposition, share);
  }
  bool Rename(std::u16string_view from, std::u16string_view to) override {
    return Refuse(Inside(to)) && FaultInjectionEnv::Rename(from, to);
  }
  bool Delete(std::u16string_view path) override {
    return Refuse(Inside(path)) && FaultInjectionEnv::Delete(path);
  }
  uint32_t LastError() const override {
    return refused_ ? platform::winerr::kAccessDenied : FaultInjectionEnv::LastError();
  }
  platform::FailureDetail LastFailure() const override {
    if (!refused_) return FaultInjectionEnv::LastFailure();
    platform::FailureDetail detail;
    detail.error = platform::winerr::kAccessDenied;
    return detail;
  }

 private:
  bool Inside(std::u16string_view path) const { return path.starts_with(folder_); }
  // False (refused) when `inside`; true to go on.
  bool Refuse(bool inside) {
    refused_ = inside;
    return !inside;
  }

  std::u16string folder_;
  bool refused_ = false;
};

class BootstrapTest : public FinanceDbTest {
 protected:
  // Builds a database of an older layout by hand: kinds as today, entries without a note,
  // accounts only when asked.
  void CreateOlderDatabase(bool with_accounts) {
    DbSchema schema;
    DbTableSchema& kinds = schema.AddTable(kKindsTable);
    for (const char* column : {"id", "descr", "category", "price", "type", "currency_id"}) {
      bool text = std::string(column) == "descr" || std::string(column) == "category";
      kinds.AddColumn(column, text ? DbValueType::Text : DbValueType::Int32);
    }
    DbTableSchema& entries = schema.AddTable(kEntriesTable);
    for (const char* column : {"consumer_id", "curdate", "price", "count", "type"}) {
      entries.AddColumn(column, DbValueType::Int32);
    }
    if (with_accounts) {
      DbTableSchema& accounts = schema.AddTable(kAccountsTable);
      accounts.AddColumn("id", DbValueType::Int32);
      accounts.AddColumn("firmName", DbValueType::Text);
      accounts.AddColumn("note", DbValueType::Text);
      accounts.AddColumn("currency_id", DbValueType::Int32);
    }
    DbConnection connection(root_.env(), GetParam());
    ASSERT_EQ(connection.CreateDatabase(DbString(kDatabaseName), schema), 1);
    ASSERT_EQ(connection.Open(DbString(kDatabaseName), DbString(), DbString()), 1);
    AddRow(connection, kKindsTable,
           {DbValue(1), DbValue(FromUtf8("Бензин")), DbValue(FromUtf8("Машина")), DbValue(51200),
            DbValue(2), DbValue(0)});
    AddRow(
        connection, kKindsTable,
        {DbValue(5), DbValue(FromUtf8("Премия")), DbValue(""), DbValue(0), DbValue(1), DbValue(0)});
    // Old counts were whole numbers stored unpacked.
    AddRow(connection, kEntriesTable,
           {DbValue(1), DbValue(150308), DbValue(3840), DbValue(3), DbValue(2)});
    AddRow(connection, kEntriesTable,
           {DbValue(1), DbValue(160308), DbValue(256), DbValue(29), DbValue(2)});
    AddRow(connection, kEntriesTable,
           {DbValue(5), DbValue(160308), DbValue(896000), DbValue(1), DbValue(1)});
    if (with_accounts) {
      AddRow(connection, kAccountsTable,
             {DbValue(2), DbValue(FromUtf8("Карта")), DbValue(""), DbValue(0)});
    }
  }

  static void AddRow(DbConnection& connection, const char* table,
                     const std::vector<DbValue>& values) {
    std::unique_ptr<DbRecordSet> record_set = connection.CreateRecordSet(1);
    ASSERT_EQ(record_set->OpenTable(table, nullptr), 1);
    ASSERT_EQ(record_set->AddNew(), 1);
    DbRecord* record = record_set->CurrentRecord(-1);
    ASSERT_NE(record, nullptr);
    for (uint32_t i = 0; i < values.size(); ++i) record->FieldByIndex(i)->CopyFrom(values[i]);
    ASSERT_EQ(record_set->Update(), 1);
  }

  // A seeded database with two entries, closed again.
  void CreateDatabaseWithEntries() {
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(3, 150308, 15, 2, 2, 2)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(1, 160308, 0.29, 29, 102, 1, "чек")), 1);
    entries_ = TableLines(*db_, kEntriesTable);
    kinds_ = TableLines(*db_, kKindsTable);
    accounts_ = TableLines(*db_, kAccountsTable);
    db_.reset();
  }

  // Kind 6: five stray bytes, so the table file is no longer a whole number of slots. Kind 3:
  // the table's platform database is gone while the catalog still lists it.
  void DamageEntriesTable() {
    if (GetParam() == DriverKind::kFileDatabase) {
      std::string table = root_.ReadHostFile(u"\\tolvena_db\\[sec_data].$tab$");
      ASSERT_TRUE(root_.WriteHostFile(u"\\tolvena_db\\[sec_data].$tab$", table + "12345"));
    } else {
      ASSERT_TRUE(root_.env().Objects()->DeleteDatabase(u"[sec_data]"));
    }
  }

  std::string DatabaseFolder() const { return root_.HostPath(u"\\tolvena_db"); }

  Lines entries_;
  Lines kinds_;
  Lines accounts_;
};

TEST_P(BootstrapTest, FirstStartSeedsExactlyTheSevenDefaultRows) {
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_TRUE(db_->IsOpen());
  EXPECT_EQ(TableLines(*db_, kKindsTable),
            (Lines{"1;Бензин;Машина;51200;2;0;", "2;Такси;Проезд;38400;2;0;",
                   "3;Маршрутное такси;Проезд;3840;2;0;", "4;Кино;Развлечения;89600;2;0;",
                   "5;Премия;Основной доход;896000;1;0;"}));
  EXPECT_TRUE(TableLines(*db_, kEntriesTable).empty());
  EXPECT_EQ(TableLines(*db_, kAccountsTable), (Lines{"1;Наличные;;0;", "2;Кредитная карта;;0;"}));
  EXPECT_FALSE(root_.Exists(u"\\data"));
}

TEST_P(BootstrapTest, ALaterStartKeepsEverythingAndWritesNoBackup) {
  CreateDatabaseWithEntries();
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable), entries_);
  EXPECT_EQ(TableLines(*db_, kKindsTable), kinds_);
  EXPECT_EQ(TableLines(*db_, kAccountsTable), accounts_);
  EXPECT_FALSE(root_.Exists(u"\\data"));
  // Opening again on the same object replaces the connection.
  ASSERT_EQ(db_->Open(kDatabaseName), 1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable), entries_);
}

TEST_P(BootstrapTest, DeleteAllDataEmptiesTheTablesAndStaysOpen) {
  CreateDatabaseWithEntries();
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(db_->DeleteAllData(), 1);
  EXPECT_TRUE(db_->IsOpen());
  EXPECT_TRUE(TableLines(*db_, kKindsTable).empty());
  EXPECT_TRUE(TableLines(*db_, kEntriesTable).empty());
  EXPECT_TRUE(TableLines(*db_, kAccountsTable).empty());
  EXPECT_EQ(db_->AddAccount(MakeAccount(1, "Снова")), 1);
}

TEST_P(BootstrapTest, EntriesWithoutANoteAreRebuiltThroughADatedBackup) {
  CreateOlderDatabase(/*with_accounts=*/true);
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(FileText(kOlderBackup),
            "[sec_consumeritems]\r\n1;Бензин;Машина;51200;2;0;\r\n5;Премия;;0;1;0;\r\n\r\n"
            "[sec_data]\r\n1;150308;3840;3;2;\r\n1;160308;256;29;2;\r\n5;160308;896000;1;1;\r\n"
            "\r\n[sec_firms]\r\n2;Карта;;0;\r\n");
  EXPECT_EQ(TableLines(*db_, kKindsTable),
            (Lines{"1;Бензин;Машина;51200;2;0;", "5;Премия;;0;1;0;"}));
  // Counts × 100 (29 is 0.29, which × 100 falls just short of 29), every entry in account 1.
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (Lines{"1;150308;3840;768;2;;1;0;", "1;160308;256;7424;2;;1;0;",
                   "5;160308;896000;256;1;;1;0;"}));
  EXPECT_EQ(TableLines(*db_, kAccountsTable), (Lines{"1;Наличные;;0;", "2;Карта;;0;"}));
}

TEST_P(BootstrapTest, ADatabaseWithoutAccountsIsOfTheOlderLayout) {
  CreateOlderDatabase(/*with_accounts=*/false);
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(FileText(kOlderBackup),
            "[sec_consumeritems]\r\n1;Бензин;Машина;51200;2;0;\r\n5;Премия;;0;1;0;\r\n\r\n"
            "[sec_data]\r\n1;150308;3840;3;2;\r\n1;160308;256;29;2;\r\n5;160308;896000;1;1;\r\n"
            "\r\n");
  EXPECT_EQ(TableLines(*db_, kAccountsTable), (Lines{"1;Наличные;;0;"}));
  EXPECT_EQ(TableLines(*db_, kEntriesTable).size(), 3u);
  // The rebuilt database opens normally from then on.
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable)[0], "1;150308;3840;768;2;;1;0;");
}

TEST_P(BootstrapTest, AnOlderRowTheBackupCannotCarryIsKeptInTheCopyAndCountedLost) {
  CreateOlderDatabase(/*with_accounts=*/true);
  {
    DbConnection connection(root_.env(), GetParam());
    ASSERT_EQ(connection.Open(DbString(kDatabaseName), DbString(), DbString()), 1);
    // In the backup's lines "[" would start a section and ";" end a value, so these rows would
    // run into the rows after them.
    AddRow(connection, kKindsTable,
           {DbValue(3), DbValue(FromUtf8("Бензин [АИ-95]")), DbValue(FromUtf8("Машина; дача")),
            DbValue(256), DbValue(2), DbValue(0)});
    AddRow(connection, kAccountsTable,
           {DbValue(4), DbValue(FromUtf8("Вклад\r\n[sec_data]")), DbValue(""), DbValue(0)});
  }
  OpenReport report;
  db_ = std::make_unique<FinanceDb>(root_.env(), clock_, globals_);
  ASSERT_EQ(db_->Open(kDatabaseName, &report), 1);
  EXPECT_EQ(report.outcome, OpenOutcome::kConverted);
  EXPECT_EQ(report.damage, DamageFound::kTables);
  EXPECT_EQ(report.copy_folder.Wide(), std::u16string(kDamagedFolder));
  ASSERT_EQ(report.tables.size(), 3u);
  EXPECT_EQ(report.tables[0].lost, 1u);
  EXPECT_EQ(report.tables[2].lost, 1u);
  // Every other row is converted as it was, and no row is made of pieces of others.
  EXPECT_EQ(FileText(kOlderBackup),
            "[sec_consumeritems]\r\n1;Бензин;Машина;51200;2;0;\r\n5;Премия;;0;1;0;\r\n\r\n"
            "[sec_data]\r\n1;150308;3840;3;2;\r\n1;160308;256;29;2;\r\n5;160308;896000;1;1;\r\n"
            "\r\n[sec_firms]\r\n2;Карта;;0;\r\n");
  EXPECT_EQ(TableLines(*db_, kKindsTable),
            (Lines{"1;Бензин;Машина;51200;2;0;", "5;Премия;;0;1;0;"}));
  EXPECT_EQ(TableLines(*db_, kEntriesTable).size(), 3u);
  EXPECT_EQ(TableLines(*db_, kAccountsTable), (Lines{"1;Наличные;;0;", "2;Карта;;0;"}));
}

TEST_P(BootstrapTest, AnOlderLayoutIsNotTouchedWhenItsBackupCannotBeWritten) {
  CreateOlderDatabase(/*with_accounts=*/true);
  std::map<std::string, std::string> before = Snapshot(DatabaseFolder());
  platform::FaultInjectionEnv faulty(&root_.env());
  faulty.SetDiskFull(true);
  FinanceDb db(faulty, clock_, globals_);
  EXPECT_EQ(db.Open(kDatabaseName), 0);
  EXPECT_FALSE(db.IsOpen());
  EXPECT_EQ(db.AddEntry(MakeEntry(1, 150308, 1, 1, 2, 1)), 0);
  EXPECT_FALSE(root_.Exists(kOlderBackup));
  EXPECT_EQ(Snapshot(DatabaseFolder()), before);
  // With room on the disk the next start converts it. (The store's writes still pass through
  // the wrapper while it exists.)
  faulty.SetDiskFull(false);
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable)[1], "1;160308;256;7424;2;;1;0;");
}

TEST_P(BootstrapTest, ADamagedTableIsCopiedAndRebuiltWithItsRowsUnchanged) {
  CreateDatabaseWithEntries();
  DamageEntriesTable();
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(TableLines(*db_, kKindsTable), kinds_);
  EXPECT_EQ(TableLines(*db_, kAccountsTable), accounts_);
  if (GetParam() == DriverKind::kFileDatabase) {
    // Damage is not age: no count is multiplied, no entry moves.
    EXPECT_EQ(TableLines(*db_, kEntriesTable), entries_);
    std::u16string copy = std::u16string(kDamagedFolder) + u"\\[sec_data].$tab$";
    EXPECT_EQ(root_.ReadHostFile(copy).size(), 2 * 144u + 5);
    EXPECT_TRUE(root_.Exists(std::u16string(kDamagedFolder) + u"\\TOLVENA_Ledgerix_1.$db$"));
  } else {
    EXPECT_TRUE(root_.Exists(kDamagedFolder));
  }
  EXPECT_FALSE(root_.Exists(kOlderBackup));
}

// The copy of a damaged file database holds every file it is kept in, byte for byte: the
// catalog, the table files, and the rollback journal beside them (which holds what a change that
// never ended overwrote in the tables).
TEST_P(BootstrapTest, TheCopyOfADamagedDatabaseHoldsItsJournalWithItsTables) {
  if (GetParam() != DriverKind::kFileDatabase) GTEST_SKIP() << "the store is one file";
  CreateDatabaseWithEntries();
  DamageEntriesTable();
  ASSERT_TRUE(root_.WriteHostFile(u"\\tolvena_db\\TOLVENA_Ledgerix_1.$jnl$", "journal records"));
  const std::map<std::string, std::string> stored = Snapshot(DatabaseFolder());
  ASSERT_EQ(stored.size(), 5u);
  std::unique_ptr<StoredDatabase> storage = StoredDatabase::ForKind(GetParam(), root_.env());
  DbString folder;
  platform::FailureDetail failure;
  ASSERT_TRUE(
      KeepDamagedCopy(*storage, root_.env(), clock_, DbString(kDatabaseName), &folder, &failure));
  EXPECT_EQ(ToUtf8(folder), ToUtf8(DbString(kDamagedFolder)));
  std::map<std::string, std::string> copied;
  for (const auto& [path, content] : Snapshot(root_.HostPath(kDamagedFolder))) {
    copied[std::filesystem::path(path).filename().string()] = content;
  }
  for (const auto& [path, content] : stored) {
    const std::string name = std::filesystem::path(path).filename().string();
    EXPECT_EQ(copied[name], content) << name;
  }
  EXPECT_EQ(copied.size(), stored.size());
}

TEST_P(BootstrapTest, NothingIsDeletedWhenTheCopyOfADamagedDatabaseFails) {
  CreateDatabaseWithEntries();
  DamageEntriesTable();
  std::map<std::string, std::string> before = Snapshot(DatabaseFolder());
  // The dated folder cannot be made (a file stands where "data" should be); or it can, but the
  // copy cannot be written.
  ASSERT_TRUE(root_.WriteHostFile(u"\\data", "a file, not a folder"));
  for (int failure = 0; failure < 2; ++failure) {
    platform::FaultInjectionEnv faulty(&root_.env());
    if (failure == 1) {
      ASSERT_TRUE(std::filesystem::remove(root_.HostPath(u"\\data")));
      faulty.SetDiskFull(true);
      faulty.FailNth(platform::FileOp::kBackupObjectStore, 1, platform::winerr::kDiskFull);
    }
    FinanceDb db(faulty, clock_, globals_);
    EXPECT_EQ(db.Open(kDatabaseName), 0) << failure;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.FindKind(nullptr, 1, 0, DbString()), 0);
    EXPECT_EQ(Snapshot(DatabaseFolder()), before) << failure;
    // A copy that could not be made whole leaves no folder behind.
    EXPECT_FALSE(root_.Exists(kDamagedFolder)) << failure;
  }
  if (GetParam() == DriverKind::kObjectStore) {
    platform::ObjectStore* store = root_.env().Objects();
    EXPECT_TRUE(store->DatabaseExists(u"TOLVENA_Ledgerix_1"));
    EXPECT_TRUE(store->DatabaseExists(u"[sec_consumeritems]"));
    EXPECT_TRUE(store->DatabaseExists(u"[sec_firms]"));
  }
  // Once the copy can be made, the same database is rebuilt with its rows.
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(TableLines(*db_, kKindsTable), kinds_);
}

TEST_P(BootstrapTest, AStoreThatDoesNotOpenIsCopiedAndStartedAfresh) {
  if (GetParam() != DriverKind::kObjectStore)
    GTEST_SKIP() << "only the object store keeps one store file";
  ASSERT_TRUE(root_.WriteHostFile(u"\\objects.sqlite", "not a store at all"));
  {
    platform::FaultInjectionEnv faulty(&root_.env());
    faulty.FailNth(platform::FileOp::kBackupObjectStore, 1, platform::winerr::kDiskFull);
    FinanceDb db(faulty, clock_, globals_);
    OpenReport report;
    EXPECT_EQ(db.Open(kDatabaseName, &report), 0);
    EXPECT_EQ(report.outcome, OpenOutcome::kDamaged);
    EXPECT_EQ(report.failure.error, platform::winerr::kDiskFull);
    EXPECT_EQ(root_.ReadHostFile(u"\\objects.sqlite"), "not a store at all");
    // The copy that failed leaves no folder behind.
    EXPECT_FALSE(root_.Exists(kDamagedFolder));
  }
  ASSERT_EQ(OpenDatabase(), 1);
  std::u16string copy = std::u16string(kDamagedFolder) + u"\\object store.db";
  EXPECT_EQ(root_.ReadHostFile(copy), "not a store at all");
  EXPECT_EQ(TableLines(*db_, kKindsTable).size(), 5u);
  EXPECT_EQ(TableLines(*db_, kAccountsTable).size(), 2u);
}

TEST_P(BootstrapTest, AnUnreadableCatalogIsCopiedAndTheRowsOfTheTablesComeBack) {
  if (GetParam() != DriverKind::kFileDatabase)
    GTEST_SKIP() << "the object store's catalog is covered by DamagedDatabaseTest";
  CreateDatabaseWithEntries();
  ASSERT_TRUE(root_.WriteHostFile(u"\\tolvena_db\\TOLVENA_Ledgerix_1.$db$", "garbage"));
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(root_.ReadHostFile(std::u16string(kDamagedFolder) + u"\\TOLVENA_Ledgerix_1.$db$"),
            "garbage");
  EXPECT_EQ(root_.ReadHostFile(std::u16string(kDamagedFolder) + u"\\[sec_data].$tab$").size(),
            2 * 144u);
  EXPECT_EQ(TableLines(*db_, kKindsTable), kinds_);
  EXPECT_EQ(TableLines(*db_, kEntriesTable), entries_);
  EXPECT_EQ(TableLines(*db_, kAccountsTable), accounts_);
}

// A rebuild cut short (the process killed after the old database was deleted) is done again at
// the next start from the text the mark names.
TEST_P(BootstrapTest, ARebuildLeftUndoneIsDoneAgainFromItsText) {
  CreateOlderDatabase(/*with_accounts=*/false);
  ASSERT_EQ(OpenDatabase(), 1);
  const std::string backup = root_.ReadHostFile(kOlderBackup);
  const Lines entries = TableLines(*db_, kEntriesTable);
  db_.reset();
  // As a start killed after the mark was written, with the new database still empty.
  {
    FinanceDb db(root_.env(), clock_, globals_);
    ASSERT_EQ(db.Open(kDatabaseName), 1);
    ASSERT_EQ(db.DeleteAllData(), 1);
  }
  const std::u16string kind = GetParam() == DriverKind::kFileDatabase ? u"6" : u"3";
  ASSERT_TRUE(root_.WriteHostFile(u"\\data\\TOLVENA_Ledgerix_1 rebuild " + kind + u".$$$",
                                  "convert\r\n\\data\\01.03.24 12_00.txt\r\n"));
  OpenReport report;
  db_ = std::make_unique<FinanceDb>(root_.env(), clock_, globals_);
  ASSERT_EQ(db_->Open(kDatabaseName, &report), 1);
  EXPECT_EQ(report.outcome, OpenOutcome::kConverted);
  EXPECT_TRUE(report.resumed);
  EXPECT_EQ(ToUtf8(report.backup), "\\data\\01.03.24 12_00.txt");
  EXPECT_EQ(TableLines(*db_, kEntriesTable), entries);
  EXPECT_EQ(root_.ReadHostFile(kOlderBackup), backup);
  // Done once: the next start opens it as it is.
  ASSERT_EQ(db_->Open(kDatabaseName, &report), 1);
  EXPECT_EQ(report.outcome, OpenOutcome::kOpened);
}

// A restore killed at any of its disk changes leaves its tables part-way between the old rows
// and the archive's (a table emptied, another cut in the middle of a row): the next start puts
// back what the killed change had changed before it reads a row, and so opens the database as
// it was, never taking it for damaged and rebuilding it from the rows of neither.
TEST_P(BootstrapTest, AChangeKilledPartWayIsPutBackBeforeTheTablesAreRead) {
  CreateDatabaseWithEntries();
  ASSERT_TRUE(root_.WriteHostFile(u"\\data\\other.txt",
                                  std::string(FromUtf8("[sec_consumeritems]\r\n"
                                                       "7;Кино;Развлечения;89600;2;0;\r\n"
                                                       "[sec_data]\r\n7;150308;256;512;2;;9;0;\r\n"
                                                       "[sec_firms]\r\n9;Девять;;0;\r\n")
                                                  .View())));
  DeviceSnapshot snapshot(root_);
  int kills = 0;
  for (int n = 1;; ++n) {
    ASSERT_LT(n, 200) << "the restore never ran through";
    ASSERT_TRUE(snapshot.Restore());
    bool stopped = false;
    {
      StoppingEnv stopping(&root_.env(), INT_MAX);
      FinanceDb db(stopping, clock_, globals_);
      ASSERT_EQ(db.Open(kDatabaseName), 1);
      stopping.StopAt(n);
      static_cast<void>(db.RestoreExchangeFile(DbString(u"\\data\\other.txt")));
      stopped = stopping.stopped();
    }
    root_.env().CloseObjectStore();
    OpenReport report;
    db_ = std::make_unique<FinanceDb>(root_.env(), clock_, globals_);
    ASSERT_EQ(db_->Open(kDatabaseName, &report), 1) << "n = " << n;
    EXPECT_EQ(report.outcome, OpenOutcome::kOpened) << "n = " << n;
    const Lines kinds = TableLines(*db_, kKindsTable);
    if (!stopped) {
      EXPECT_EQ(kinds, Lines{"7;Кино;Развлечения;89600;2;0;"});
      break;
    }
    ++kills;
    if (kinds == kinds_) {
      EXPECT_EQ(TableLines(*db_, kEntriesTable), entries_) << "n = " << n;
      EXPECT_EQ(TableLines(*db_, kAccountsTable), accounts_) << "n = " << n;
    } else {
      EXPECT_EQ(kinds, Lines{"7;Кино;Развлечения;89600;2;0;"}) << "n = " << n;
      EXPECT_EQ(TableLines(*db_, kEntriesTable), Lines{"7;150308;256;512;2;;9;0;"}) << "n = " << n;
    }
    db_.reset();
  }
  EXPECT_GT(kills, 3);
}

// A database that cannot be written is not damaged: nothing is changed, nothing copied.
TEST_P(BootstrapTest, AReadOnlyDatabaseIsLeftAsItIs) {
  CreateDatabaseWithEntries();
  std::vector<std::string> files;
  if (GetParam() == DriverKind::kFileDatabase) {
    for (const auto& entry : std::filesystem::directory_iterator(DatabaseFolder())) {
      files.push_back(entry.path().string());
    }
  } else {
    root_.env().ResetObjectStore();  // closes it; the files stay
    CreateDatabaseWithEntries();
    db_.reset();
    files.push_back(root_.HostPath(u"\\objects.sqlite"));
  }
  for (const std::string& file : files) {
    std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
  }
  std::map<std::string, std::string> before = Snapshot(root_.host_root());
  platform::PosixEnv env(root_.env().options());
  FinanceDb db(env, clock_, globals_);
  OpenReport report;
  EXPECT_EQ(db.Open(kDatabaseName, &report), 0);
  EXPECT_EQ(report.outcome, OpenOutcome::kReadOnly);
  EXPECT_EQ(report.failure.error, platform::winerr::kAccessDenied);
  EXPECT_FALSE(db.IsOpen());
  EXPECT_EQ(Snapshot(root_.host_root()), before);
  EXPECT_FALSE(root_.Exists(u"\\data"));
  for (const std::string& file : files) {
    std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
  }
}

// A database folder that takes no new files cannot be written either.
TEST_P(BootstrapTest, AFolderThatTakesNoNewFilesIsReadOnly) {
  if (GetParam() != DriverKind::kFileDatabase) GTEST_SKIP() << "the store is one file";
  CreateDatabaseWithEntries();
  std::map<std::string, std::string> before = Snapshot(root_.host_root());
  ReadOnlyFolderEnv env(&root_.env(), u"\\tolvena_db\\");
  FinanceDb db(env, clock_, globals_);
  OpenReport report;
  EXPECT_EQ(db.Open(kDatabaseName, &report), 0);
  EXPECT_EQ(report.outcome, OpenOutcome::kReadOnly);
  EXPECT_EQ(Snapshot(root_.host_root()), before);
}

INSTANTIATE_TEST_SUITE_P(Drivers, BootstrapTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
