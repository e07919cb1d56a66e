// Damaged finance databases: every damaged input starts with the rows that can be read, after a
// copy of what was stored was kept, and says what it found; no readable row is lost or hidden.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "access/object_store_catalog.h"
#include "finance/finance_schema.h"
#include "finance/stored_database.h"
#include "finance/testing/finance_test_support.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"

namespace ledgerix::testing {
namespace {

using Lines = std::vector<std::string>;
using platform::Property;

constexpr char16_t kCatalogFile[] = u"\\tolvena_db\\TOLVENA_Ledgerix_1.$db$";
constexpr char16_t kEntriesFile[] = u"\\tolvena_db\\[sec_data].$tab$";
constexpr char16_t kCopyFolder[] = u"\\data\\damaged 01.03.24 12_00";
constexpr size_t kEntrySlot = 144;
constexpr int kEntryCount = 40;
// Where an entry's note starts in its slot: after five whole numbers.
constexpr size_t kNoteOffset = 20;

// The damage below is done by functions outside the fixture, so its helpers are public.
class DamagedDatabaseTest : public FinanceDbTest {
 public:
  using FinanceDbTest::root_;

  // The seeded database with 40 entries, closed again; its rows are kept to compare with.
  void CreateDatabaseWithEntries() {
    ASSERT_EQ(OpenDatabase(), 1);
    for (int i = 0; i < kEntryCount; ++i) {
      const std::string note = "запись " + std::to_string(i);
      ASSERT_EQ(db_->AddEntry(MakeEntry(1 + i % 5, 110110 + i % 28 * 10000, 1.5 + i, 2, 2,
                                        1 + i % 2, note.c_str())),
                1);
    }
    kinds_ = TableLines(*db_, kKindsTable);
    entries_ = TableLines(*db_, kEntriesTable);
    accounts_ = TableLines(*db_, kAccountsTable);
    db_.reset();
  }

  platform::ObjectStore& Store() { return *root_.env().Objects(); }

  std::string Read(std::u16string_view path) { return root_.ReadHostFile(path); }
  void Write(std::u16string_view path, const std::string& bytes) {
    ASSERT_TRUE(root_.WriteHostFile(path, bytes));
  }

  // Replaces the properties of the n-th record of a platform database through `change`.
  void ChangeRecord(std::u16string_view database, uint32_t index,
                    const std::function<void(std::vector<Property>*)>& change) {
    std::unique_ptr<platform::ObjectStoreDatabase> db = Store().OpenDatabase(database);
    ASSERT_NE(db, nullptr);
    ASSERT_TRUE(db->SeekToIndex(index));
    std::vector<Property> record;
    ASSERT_TRUE(db->ReadCurrent(&record));
    change(&record);
    ASSERT_TRUE(db->WriteRecord(db->CurrentObjectId(), record));
  }

  // The catalog record of the entries table.
  uint32_t EntriesCatalogIndex() {
    std::unique_ptr<platform::ObjectStoreDatabase> db = Store().OpenDatabase(u"TOLVENA_Ledgerix_1");
    std::vector<Property> record;
    uint32_t index = 0;
    for (bool on = db->SeekFirst(); on; on = db->SeekNext(), ++index) {
      if (db->ReadCurrent(&record) && std::get<std::u16string>(record[0].value) == u"[sec_data]") {
        return index;
      }
    }
    ADD_FAILURE() << "no catalog record of the entries";
    return 0;
  }

  // Sets a column the store keeps of the entries' database, beside its records.
  void SetEntriesDatabaseColumn(const char* column, int64_t value) {
    root_.env().CloseObjectStore();  // the store takes its file for itself alone
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(root_.HostPath(u"\\objects.sqlite").c_str(), &db), SQLITE_OK);
    const std::string sql = std::string("UPDATE databases SET ") + column + " = " +
                            std::to_string(value) +
                            " WHERE type_id = " + std::to_string(TypeIdOf(DbString(kEntriesTable)));
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_changes(db), 1);
    sqlite3_close(db);
  }
  // Makes the store's index of object ids lose the entry of the newest entry record: the index
  // still names the record's old id. The store still opens and reads, but deleting the record
  // fails.
  void LoseIndexEntryOfNewestEntry() {
    root_.env().CloseObjectStore();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(root_.HostPath(u"\\objects.sqlite").c_str(), &db), SQLITE_OK);
    // With the index out of the schema for a moment, changing the record leaves the index as it
    // was; putting the index back bumps the schema version, so every connection reads it anew.
    const std::string sql =
        "PRAGMA writable_schema = ON;"
        "CREATE TEMP TABLE kept AS SELECT * FROM sqlite_schema "
        "  WHERE name = 'records_by_object_id';"
        "DELETE FROM sqlite_schema WHERE name = 'records_by_object_id';"
        "PRAGMA writable_schema = RESET;"
        "UPDATE records SET object_id = object_id + 1000 WHERE object_id = "
        "  (SELECT max(object_id) FROM records WHERE database_id = "
        "    (SELECT id FROM databases WHERE type_id = " +
        std::to_string(TypeIdOf(DbString(kEntriesTable))) +
        "));"
        "PRAGMA writable_schema = ON;"
        "INSERT INTO sqlite_schema SELECT * FROM kept;"
        "PRAGMA writable_schema = RESET;";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
  }
  // Leaves in the store's index of object ids an entry, without its record, for an id the store
  // is about to hand out: the store reads and deletes as before, but a new record that is given
  // that id is refused.
  void IndexAnObjectIdAboutToBeGiven(int ahead = 3) {
    root_.env().CloseObjectStore();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(root_.HostPath(u"\\objects.sqlite").c_str(), &db), SQLITE_OK);
    const std::string id = "(SELECT value + " + std::to_string(ahead) +
                           " FROM store_info WHERE key = 'next_object_id')";
    const std::string sql =
        "INSERT INTO records VALUES (coalesce((SELECT min(id) FROM databases), 1000), "
        "x'FFFFFFFF', " +
        id +
        ", x'');"
        "PRAGMA writable_schema = ON;"
        "CREATE TEMP TABLE kept AS SELECT * FROM sqlite_schema "
        "  WHERE name = 'records_by_object_id';"
        "DELETE FROM sqlite_schema WHERE name = 'records_by_object_id';"
        "PRAGMA writable_schema = RESET;"
        "DELETE FROM records WHERE sort_key = x'FFFFFFFF';"
        "PRAGMA writable_schema = ON;"
        "INSERT INTO sqlite_schema SELECT * FROM kept;"
        "PRAGMA writable_schema = RESET;";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
  }
  // Sets the count the store keeps of the entries' records.
  void SetStoredEntryCount(int64_t count) { SetEntriesDatabaseColumn("record_count", count); }

  // Checking the rows of every table finds what reading them finds.
  void ExpectCheckedAsRead() {
    std::unique_ptr<StoredDatabase> storage = StoredDatabase::ForKind(GetParam(), root_.env());
    const DbSchema schema = BuildFinanceSchema();
    for (uint32_t i = 0; i < schema.Count(); ++i) {
      uint32_t visited = 0;
      const TableScan read = storage->ScanRows(
          *schema.At(i), [&](const std::vector<DbValue>& row) { visited += !row.empty(); });
      const TableScan checked = storage->ScanRows(*schema.At(i), nullptr);
      EXPECT_EQ(checked.present, read.present) << i;
      EXPECT_EQ(checked.rows, read.rows) << i;
      EXPECT_EQ(checked.unreadable, read.unreadable) << i;
      EXPECT_EQ(checked.sound, read.sound) << i;
      EXPECT_EQ(visited, read.rows) << i;
    }
  }

  Lines kinds_;
  Lines entries_;
  Lines accounts_;
};

struct DamageCase {
  const char* name;
  DriverKind kind;
  std::function<void(DamagedDatabaseTest*)> damage;
  DamageFound found;
  // Rows that come back per table; -1: every row that was stored.
  int kinds = -1;
  int entries = -1;
  int accounts = -1;
  uint32_t lost_entries = 0;
  bool entries_missing = false;
};

void CatalogBytes(DamagedDatabaseTest* t, const std::function<void(std::string*)>& change) {
  std::string bytes = t->Read(kCatalogFile);
  change(&bytes);
  t->Write(kCatalogFile, bytes);
}

const DamageCase kCases[] = {
    // The file database.
    {"catalog missing", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) {
       ASSERT_TRUE(std::filesystem::remove(t->root_.HostPath(kCatalogFile)));
     },
     DamageFound::kCatalogMissing},
    {"catalog cut short", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) {
       CatalogBytes(t, [](std::string* b) { b->resize(b->size() / 2); });
     },
     DamageFound::kCatalogDamaged},
    {"catalog of three zero bytes", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) { t->Write(kCatalogFile, std::string(3, '\0')); },
     DamageFound::kCatalogDamaged},
    {"catalog with a zeroed header", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) {
       CatalogBytes(t, [](std::string* b) { std::fill(b->begin(), b->begin() + 8, '\0'); });
     },
     DamageFound::kCatalogDamaged},
    {"catalog of garbage", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) { t->Write(kCatalogFile, "garbage"); },
     DamageFound::kCatalogDamaged},
    {"column type 42406 in the catalog", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) {
       CatalogBytes(t, [](std::string* b) {
         const size_t note = b->find(std::string("note\0", 5), b->find("[sec_data]"));
         ASSERT_NE(note, std::string::npos);
         (*b)[note + 5] = static_cast<char>(0xA6);  // 42406, little-endian
         (*b)[note + 6] = static_cast<char>(0xA5);
       });
     },
     DamageFound::kCatalogDamaged},
    {"one entry whose note runs past its slot", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) {
       std::string bytes = t->Read(kEntriesFile);
       std::fill(bytes.begin() + 7 * kEntrySlot + kNoteOffset, bytes.begin() + 8 * kEntrySlot,
                 '\xFF');
       t->Write(kEntriesFile, bytes);
     },
     DamageFound::kTables, -1, kEntryCount - 1, -1, 1},
    {"entries of 0xFF bytes", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) {
       t->Write(kEntriesFile, std::string(kEntryCount * kEntrySlot, '\xFF'));
     },
     DamageFound::kTables, -1, 0, -1, kEntryCount},
    {"five stray bytes after the entries", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) { t->Write(kEntriesFile, t->Read(kEntriesFile) + "12345"); },
     DamageFound::kTables, -1, -1, -1, 1},
    {"entries file missing", DriverKind::kFileDatabase,
     [](DamagedDatabaseTest* t) {
       ASSERT_TRUE(std::filesystem::remove(t->root_.HostPath(kEntriesFile)));
     },
     DamageFound::kTables, -1, 0, -1, 0, true},
    // The object store.
    {"catalog missing", DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) { ASSERT_TRUE(t->Store().DeleteDatabase(u"TOLVENA_Ledgerix_1")); },
     DamageFound::kCatalogMissing},
    {"one catalog record without its table name", DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) {
       t->ChangeRecord(u"TOLVENA_Ledgerix_1", 0,
                       [](std::vector<Property>* r) { (*r)[0] = Property::Int32(0, 7); });
     },
     DamageFound::kCatalogDamaged},
    {"a catalog record without its table name, and an index of the store that lost an entry",
     DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) {
       t->ChangeRecord(u"TOLVENA_Ledgerix_1", 0,
                       [](std::vector<Property>* r) { (*r)[0] = Property::Int32(0, 7); });
       t->LoseIndexEntryOfNewestEntry();
     },
     DamageFound::kCatalogDamaged},
    {"a catalog record without its table name, an index of the store that lost an entry, and "
     "a database of another name",
     DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) {
       t->ChangeRecord(u"TOLVENA_Ledgerix_1", 0,
                       [](std::vector<Property>* r) { (*r)[0] = Property::Int32(0, 7); });
       ASSERT_TRUE(t->Store().CreateDatabase(u"[другая]", 1, {0, platform::PropertyKind::kInt32}));
       ASSERT_NE(t->Store().OpenDatabase(u"[другая]")->AddRecord({Property::Int32(0, 1)}), 0u);
       t->LoseIndexEntryOfNewestEntry();
     },
     DamageFound::kCatalogDamaged},
    {"a catalog record that describes no table", DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) {
       std::unique_ptr<platform::ObjectStoreDatabase> catalog =
           t->Store().OpenDatabase(u"TOLVENA_Ledgerix_1");
       ASSERT_NE(catalog->AddRecord({Property::Text(0, u"[x]"), Property::Int32(1, 2)}), 0u);
     },
     DamageFound::kCatalogDamaged},
    {"column code 42406 in the catalog", DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) {
       t->ChangeRecord(u"TOLVENA_Ledgerix_1", t->EntriesCatalogIndex(),
                       [](std::vector<Property>* r) { (*r)[11] = Property::Int32(11, 42406); });
     },
     DamageFound::kCatalogDamaged},
    {"entries counted as 4,000,000,000", DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) { t->SetStoredEntryCount(4000000000); }, DamageFound::kTables},
    {"40 entries counted as 5", DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) { t->SetStoredEntryCount(5); }, DamageFound::kTables},
    {"one entry whose note is a number", DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) {
       t->ChangeRecord(u"[sec_data]", 7,
                       [](std::vector<Property>* r) { (*r)[5] = Property::Int32(5, 3); });
     },
     DamageFound::kTables, -1, kEntryCount - 1, -1, 1},
    {"one entry whose note is a number, and an index of the store that takes no new record",
     DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) {
       t->ChangeRecord(u"[sec_data]", 7,
                       [](std::vector<Property>* r) { (*r)[5] = Property::Int32(5, 3); });
       t->IndexAnObjectIdAboutToBeGiven();
     },
     DamageFound::kTables, -1, kEntryCount - 1, -1, 1},
    {"entries database kept in an order that names no property kind", DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) { t->SetEntriesDatabaseColumn("sort_kind", 9); },
     DamageFound::kTables, -1, 0, -1, 0, true},
    {"entries database missing", DriverKind::kObjectStore,
     [](DamagedDatabaseTest* t) { ASSERT_TRUE(t->Store().DeleteDatabase(u"[sec_data]")); },
     DamageFound::kTables, -1, 0, -1, 0, true},
};

int Expected(int wanted, const Lines& stored) {
  return wanted < 0 ? static_cast<int>(stored.size()) : wanted;
}

// True when every line of `part` is one of `whole`.
bool AllAmong(const Lines& part, const Lines& whole) {
  return std::all_of(part.begin(), part.end(), [&](const std::string& line) {
    return std::find(whole.begin(), whole.end(), line) != whole.end();
  });
}

TEST_P(DamagedDatabaseTest, EveryDamagedInputStartsWithTheRowsThatReadAndSaysSo) {
  int tried = 0;
  for (const DamageCase& c : kCases) {
    if (c.kind != GetParam()) continue;
    SCOPED_TRACE(c.name);
    ++tried;
    ASSERT_TRUE(root_.env().ResetObjectStore());
    std::filesystem::remove_all(root_.HostPath(u"\\tolvena_db"));
    std::filesystem::remove_all(root_.HostPath(u"\\data"));
    CreateDatabaseWithEntries();
    c.damage(this);
    ExpectCheckedAsRead();

    OpenReport report;
    db_ = std::make_unique<FinanceDb>(root_.env(), clock_, globals_);
    ASSERT_EQ(db_->Open(kDatabaseName, &report), 1);
    EXPECT_EQ(report.outcome, OpenOutcome::kSalvaged);
    EXPECT_EQ(report.damage, c.found);
    EXPECT_EQ(report.copy_folder.Wide(), std::u16string(kCopyFolder));
    EXPECT_TRUE(root_.Exists(std::u16string(kCopyFolder) + u"\\recovered rows.txt"));
    ASSERT_EQ(report.tables.size(), 3u);
    EXPECT_EQ(report.tables[0].recovered, static_cast<uint32_t>(Expected(c.kinds, kinds_)));
    EXPECT_EQ(report.tables[1].recovered, static_cast<uint32_t>(Expected(c.entries, entries_)));
    EXPECT_EQ(report.tables[1].lost, c.lost_entries);
    EXPECT_EQ(report.tables[1].missing, c.entries_missing);
    EXPECT_EQ(report.tables[2].recovered, static_cast<uint32_t>(Expected(c.accounts, accounts_)));

    // Exactly the rows that read are there, unchanged.
    EXPECT_EQ(TableLines(*db_, kKindsTable), kinds_);
    EXPECT_EQ(TableLines(*db_, kAccountsTable), accounts_);
    const Lines entries = TableLines(*db_, kEntriesTable);
    EXPECT_EQ(entries.size(), static_cast<size_t>(Expected(c.entries, entries_)));
    EXPECT_TRUE(AllAmong(entries, entries_));
    // New rows are stored and read back; the next start finds the database whole.
    ASSERT_EQ(db_->AddEntry(MakeEntry(2, 150308, 10, 1, 2, 1, "новая")), 1);
    ASSERT_EQ(db_->Open(kDatabaseName, &report), 1);
    EXPECT_EQ(report.outcome, OpenOutcome::kOpened);
    EXPECT_EQ(TableLines(*db_, kEntriesTable).size(), entries.size() + 1);
  }
  EXPECT_GE(tried, 8);
}

TEST_P(DamagedDatabaseTest, AStoreThatIsNoStoreIsCopiedAndStartsWithTheDefaults) {
  if (GetParam() != DriverKind::kObjectStore) GTEST_SKIP() << "one store file holds every table";
  CreateDatabaseWithEntries();
  ASSERT_TRUE(root_.env().ResetObjectStore());
  Write(u"\\objects.sqlite", "not a store at all");
  OpenReport report;
  db_ = std::make_unique<FinanceDb>(root_.env(), clock_, globals_);
  ASSERT_EQ(db_->Open(kDatabaseName, &report), 1);
  EXPECT_EQ(report.outcome, OpenOutcome::kSalvaged);
  EXPECT_EQ(report.damage, DamageFound::kStore);
  EXPECT_EQ(Read(std::u16string(kCopyFolder) + u"\\object store.db"), "not a store at all");
  for (const TableRecovery& table : report.tables) EXPECT_EQ(table.recovered, 0u);
  EXPECT_EQ(TableLines(*db_, kKindsTable).size(), 5u);
  EXPECT_EQ(TableLines(*db_, kAccountsTable).size(), 2u);
}

// The finance database is gone and the store takes no new record, whether or not it holds
// another database: its file is copied whole and started afresh with the defaults.
TEST_P(DamagedDatabaseTest, AStoreThatRefusesTheNewDatabaseIsCopiedAndStartsWithTheDefaults) {
  if (GetParam() != DriverKind::kObjectStore) GTEST_SKIP() << "one store file holds every table";
  for (const bool other_database : {true, false}) {
    SCOPED_TRACE(other_database ? "with another database" : "with nothing else stored");
    root_.env().CloseObjectStore();
    std::filesystem::remove_all(root_.HostPath(u"\\data"));
    CreateDatabaseWithEntries();
    for (const char16_t* name :
         {u"TOLVENA_Ledgerix_1", u"[sec_consumeritems]", u"[sec_data]", u"[sec_firms]"}) {
      ASSERT_TRUE(Store().DeleteDatabase(name));
    }
    if (other_database) {
      ASSERT_TRUE(Store().CreateDatabase(u"[другая]", 1, {0, platform::PropertyKind::kInt32}));
      ASSERT_NE(Store().OpenDatabase(u"[другая]")->AddRecord({Property::Int32(0, 1)}), 0u);
    }
    IndexAnObjectIdAboutToBeGiven(0);

    OpenReport report;
    db_ = std::make_unique<FinanceDb>(root_.env(), clock_, globals_);
    ASSERT_EQ(db_->Open(kDatabaseName, &report), 1);
    EXPECT_EQ(report.outcome, OpenOutcome::kSalvaged);
    EXPECT_EQ(report.damage, DamageFound::kStoreRefuses);
    EXPECT_TRUE(root_.Exists(std::u16string(kCopyFolder) + u"\\object store.db"));
    EXPECT_EQ(TableLines(*db_, kKindsTable).size(), 5u);
    EXPECT_EQ(TableLines(*db_, kAccountsTable).size(), 2u);
    ASSERT_EQ(db_->AddEntry(MakeEntry(2, 150308, 10, 1, 2, 1, "новая")), 1);
    ASSERT_EQ(db_->Open(kDatabaseName, &report), 1);
    EXPECT_EQ(report.outcome, OpenOutcome::kOpened);
    db_.reset();
  }
}

INSTANTIATE_TEST_SUITE_P(Drivers, DamagedDatabaseTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
