// The record-set work of the finance layer, run against every storage driver the program can
// keep its database in. Everything goes through DbConnection and DbRecordSet, as the finance
// layer does, so a driver that passes behaves the same as the others to it.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "access/db_connection.h"
#include "access/driver_factory.h"
#include "access/object_store_driver.h"
#include "access/testing/finance_shapes.h"
#include "engine/file_db_driver.h"
#include "testing/driver_kinds.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

using testing::kAccountsTable;
using testing::kEntriesTable;
using testing::kKindsTable;

constexpr char kDatabase[] = "TOLVENA_Ledgerix_1";

// One row of the entries table.
struct Entry {
  int32_t consumer_id = 0;
  int32_t curdate = 0;
  int32_t price = 0;
  int32_t count = 0;
  int32_t type = 0;
  std::string note;  // UTF-8 here, Windows-1251 in the table
  int32_t firm_id = 0;
  int32_t currency_id = 0;

  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
  *os << "{" << e.consumer_id << ", " << e.curdate << ", " << e.price << ", " << e.count << ", "
      << e.type << ", \"" << e.note << "\", " << e.firm_id << ", " << e.currency_id << "}";
}

// An entry whose every field tells it apart from the others.
Entry MakeEntry(int32_t consumer_id, int32_t serial) {
  return Entry{consumer_id,
               110110 + serial,
               serial * 256 + 15,
               256 + serial,
               serial % 2 == 0 ? 2 : 101,
               "заметка №" + std::to_string(serial) + " Ёё",
               1 + serial % 3,
               serial % 5};
}

// Creates the database through the driver of a kind, as the finance layer does; false for a
// kind whose driver is not built.
bool CreateDatabaseOfKind(DriverKind kind, platform::Env& env, const DbSchema& schema) {
  if (kind == DriverKind::kObjectStore) {
    return ObjectStoreDriver(env).CreateDatabase(kDatabase, schema) == 1;
  }
  if (kind == DriverKind::kFileDatabase)
    return FileDbDriver(env).CreateDatabase(kDatabase, schema) == 1;
  return false;
}

class DriverScenarioTest : public ::testing::TestWithParam<DriverKind> {
 protected:
  void SetUp() override {
    if (CreateDriver(kind(), env()) == nullptr) {
      GTEST_SKIP() << "no driver of kind " << static_cast<int>(kind()) << " is built";
    }
    ASSERT_TRUE(CreateDatabaseOfKind(kind(), env(), testing::FinanceShapes()));
    Reopen();
  }

  DriverKind kind() const { return GetParam(); }
  platform::Env& env() { return device_.env(); }

  // Destroys the connection and makes a new one, as the finance layer does when it reopens.
  void Reopen() {
    connection_.reset();
    connection_ = std::make_unique<DbConnection>(env(), kind());
    ASSERT_EQ(connection_->Open(kDatabase, "", ""), 1);
  }

  std::unique_ptr<DbRecordSet> OpenTable(const char* table, const char* condition = nullptr) {
    std::unique_ptr<DbRecordSet> record_set = connection_->CreateRecordSet(1);
    EXPECT_NE(record_set, nullptr);
    if (record_set != nullptr) {
      EXPECT_EQ(record_set->OpenTable(table, condition), 1) << table;
    }
    return record_set;
  }

  static void Put(DbRecord* record, const char* column, int32_t value) {
    DbValue* field = record->FieldByName(column);
    ASSERT_NE(field, nullptr) << column;
    field->SetInt32(value);
  }
  static void Put(DbRecord* record, const char* column, const std::string& utf8) {
    DbValue* field = record->FieldByName(column);
    ASSERT_NE(field, nullptr) << column;
    field->SetText(FromUtf8(utf8));
  }
  static int32_t IntOf(DbRecord* record, const char* column) {
    DbValue* field = record->FieldByName(column);
    EXPECT_NE(field, nullptr) << column;
    return field != nullptr ? field->AsInt32() : -1;
  }
  static std::string TextOf(DbRecord* record, const char* column) {
    DbValue* field = record->FieldByName(column);
    EXPECT_NE(field, nullptr) << column;
    return field != nullptr ? ToUtf8(DbString(field->CStr())) : "<none>";
  }

  static void FillEntry(DbRecord* record, const Entry& e) {
    Put(record, "consumer_id", e.consumer_id);
    Put(record, "curdate", e.curdate);
    Put(record, "price", e.price);
    Put(record, "count", e.count);
    Put(record, "type", e.type);
    Put(record, "note", e.note);
    Put(record, "firm_id", e.firm_id);
    Put(record, "currency_id", e.currency_id);
  }
  static Entry ReadEntry(DbRecord* record) {
    return Entry{IntOf(record, "consumer_id"), IntOf(record, "curdate"),    IntOf(record, "price"),
                 IntOf(record, "count"),       IntOf(record, "type"),       TextOf(record, "note"),
                 IntOf(record, "firm_id"),     IntOf(record, "currency_id")};
  }

  // Adds one entry in a record set of its own, as the finance layer's AddEntry does.
  void AddEntry(const Entry& e) {
    std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
    ASSERT_EQ(record_set->AddNew(), 1);
    DbRecord* record = record_set->CurrentRecord(-1);
    ASSERT_NE(record, nullptr);
    FillEntry(record, e);
    ASSERT_EQ(record_set->Update(), 1);
  }

  // Every entry, first row to last, every field read.
  std::vector<Entry> ReadEntries(const char* condition = nullptr) {
    std::vector<Entry> entries;
    std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable, condition);
    if (record_set == nullptr) return entries;
    const uint32_t count = record_set->RowCount();
    while (record_set->IsEOF() == 0) {
      DbRecord* record = record_set->CurrentRecord(-1);
      EXPECT_NE(record, nullptr) << "row " << record_set->Position();
      if (record == nullptr) break;
      entries.push_back(ReadEntry(record));
      record_set->MoveNext();
    }
    EXPECT_EQ(entries.size(), count) << "the walk meets as many rows as the count says";
    return entries;
  }

  // Adds entries with these kind ids, in this order, numbered by their place in the list.
  std::vector<Entry> AddEntries(const std::vector<int32_t>& consumer_ids) {
    std::vector<Entry> added;
    for (size_t i = 0; i < consumer_ids.size(); ++i) {
      added.push_back(MakeEntry(consumer_ids[i], static_cast<int32_t>(i)));
      AddEntry(added.back());
    }
    return added;
  }

  // The finance layer's delete loop: delete each matching row, else move on.
  template <typename Match>
  int DeleteWhere(Match match) {
    int deleted = 0;
    std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
    while (record_set->IsEOF() == 0) {
      DbRecord* record = record_set->CurrentRecord(-1);
      if (record == nullptr) {
        ADD_FAILURE() << "no row at " << record_set->Position();
        break;
      }
      if (match(ReadEntry(record))) {
        EXPECT_EQ(record_set->Delete(), 1);
        ++deleted;
      } else {
        record_set->MoveNext();
      }
    }
    return deleted;
  }

  static std::vector<Entry> SortedByKind(std::vector<Entry> entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.consumer_id < b.consumer_id; });
    return entries;
  }

  testing::TempDeviceRoot device_;
  std::unique_ptr<DbConnection> connection_;
};

TEST_P(DriverScenarioTest, RowsAddedOutOfOrderComeBackInFirstColumnOrder) {
  const std::vector<Entry> added = AddEntries({5, 1, 4, 2, 3, 9, 7});
  EXPECT_EQ(ReadEntries(), SortedByKind(added));

  // The same through the other two tables.
  for (int32_t id : {3, 1, 2}) {
    std::unique_ptr<DbRecordSet> accounts = OpenTable(kAccountsTable);
    ASSERT_EQ(accounts->AddNew(), 1);
    DbRecord* record = accounts->CurrentRecord(-1);
    Put(record, "id", id);
    Put(record, "firmName", "Счёт " + std::to_string(id));
    Put(record, "note", "");
    Put(record, "currency_id", 0);
    ASSERT_EQ(accounts->Update(), 1);
  }
  std::unique_ptr<DbRecordSet> accounts = OpenTable(kAccountsTable);
  EXPECT_EQ(accounts->RowCount(), 3u);
  for (int32_t id = 1; id <= 3; ++id, accounts->MoveNext()) {
    DbRecord* record = accounts->CurrentRecord(-1);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(IntOf(record, "id"), id);
    EXPECT_EQ(TextOf(record, "firmName"), "Счёт " + std::to_string(id));
    EXPECT_EQ(TextOf(record, "note"), "");
  }
  EXPECT_EQ(accounts->IsEOF(), 1);
}

TEST_P(DriverScenarioTest, AddingInOneRecordSetCountsEveryRow) {
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  EXPECT_EQ(record_set->RowCount(), 0u);
  EXPECT_EQ(record_set->IsEOF(), 1) << "an empty table is at its end at once";
  EXPECT_EQ(record_set->CurrentRecord(-1), nullptr);
  std::vector<Entry> added;
  for (int32_t id : {30, 10, 20}) {
    added.push_back(MakeEntry(id, id));
    ASSERT_EQ(record_set->AddNew(), 1);
    FillEntry(record_set->CurrentRecord(-1), added.back());
    ASSERT_EQ(record_set->Update(), 1);
  }
  EXPECT_EQ(record_set->RowCount(), 3u);
  // After adding, the record set stands on the first row and reads it from the table.
  DbRecord* first = record_set->CurrentRecord(-1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ReadEntry(first), added[1]);
  ASSERT_EQ(record_set->MoveNext(), 1);
  EXPECT_EQ(ReadEntry(record_set->CurrentRecord(-1)), added[2]);
  record_set.reset();
  EXPECT_EQ(ReadEntries(), SortedByKind(added));
}

// An archive being restored: one record set adds every row of a table in a bulk load.
TEST_P(DriverScenarioTest, ABulkLoadStoresWhatAddingOneByOneStores) {
  std::vector<Entry> entries;
  for (int32_t i = 0; i < 300; ++i) entries.push_back(MakeEntry(i * 7 % 13 + i / 100, i));
  auto load = [&](bool bulk) {
    // One by one in one transaction: the same rows, stored with one commit.
    const bool together = !bulk && connection_->BeginTransaction() == 1;
    std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
    ASSERT_EQ(record_set->DeleteAll(), 1);
    ASSERT_EQ(record_set->OpenTable(kEntriesTable, nullptr), 1);
    if (bulk) {
      ASSERT_EQ(record_set->BeginBulkLoad(), 1);
    }
    for (const Entry& entry : entries) {
      ASSERT_EQ(record_set->AddNew(), 1);
      FillEntry(record_set->CurrentRecord(-1), entry);
      ASSERT_EQ(record_set->Update(), 1);
    }
    if (bulk) {
      EXPECT_EQ(record_set->EndBulkLoad(), 1);
    }
    record_set.reset();
    if (together) {
      EXPECT_EQ(connection_->CommitTransaction(), 1);
    }
  };
  load(/*bulk=*/false);
  const std::vector<Entry> one_by_one = ReadEntries();
  ASSERT_EQ(one_by_one.size(), entries.size());
  load(/*bulk=*/true);
  EXPECT_EQ(ReadEntries(), one_by_one);
  Reopen();
  EXPECT_EQ(ReadEntries(), one_by_one);
}

TEST_P(DriverScenarioTest, MovesReachEveryRowFromAnywhere) {
  const std::vector<Entry> sorted = SortedByKind(AddEntries({6, 2, 8, 4, 1, 7, 3, 5}));
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  auto current = [&] { return ReadEntry(record_set->CurrentRecord(-1)); };
  ASSERT_EQ(record_set->MoveLast(), 1);
  EXPECT_EQ(current(), sorted[7]);
  for (int i = 6; i >= 0; --i) {
    ASSERT_EQ(record_set->MovePrevious(), 1);
    EXPECT_EQ(current(), sorted[i]);
  }
  EXPECT_EQ(record_set->MovePrevious(), 0);
  EXPECT_EQ(record_set->IsBOF(), 1);
  for (uint32_t n : {5u, 2u, 8u, 1u, 4u, 3u}) {
    ASSERT_EQ(record_set->Move(n), 1);
    EXPECT_EQ(current(), sorted[n - 1]) << "row " << n;
  }
  EXPECT_EQ(record_set->Move(0), 0);
  EXPECT_EQ(record_set->Move(9), 0);
  ASSERT_EQ(record_set->MoveLast(), 1);
  EXPECT_EQ(record_set->MoveNext(), 0);
  EXPECT_EQ(record_set->IsEOF(), 1);
  EXPECT_EQ(record_set->CurrentRecord(-1), nullptr);
}

TEST_P(DriverScenarioTest, UpdateInPlaceKeepsTheOtherRowsAndTheOrder) {
  const std::vector<Entry> added = AddEntries({4, 2, 3, 1});
  std::vector<Entry> expected = SortedByKind(added);
  {
    // As the rebuild after an old layout does: every row's count and account rewritten.
    std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
    while (record_set->IsEOF() == 0) {
      DbRecord* record = record_set->CurrentRecord(-1);
      ASSERT_NE(record, nullptr);
      Put(record, "count", IntOf(record, "count") * 100);
      Put(record, "firm_id", 1);
      if (IntOf(record, "consumer_id") == 3) Put(record, "note", "изменено №3");
      ASSERT_EQ(record_set->Update(), 1);
      record_set->MoveNext();
    }
  }
  for (Entry& e : expected) {
    e.count *= 100;
    e.firm_id = 1;
    if (e.consumer_id == 3) e.note = "изменено №3";
  }
  EXPECT_EQ(ReadEntries(), expected);
  Reopen();
  EXPECT_EQ(ReadEntries(), expected);
}

TEST_P(DriverScenarioTest, DeletingWhileWalkingDeletesAdjacentMatches) {
  const std::vector<Entry> added = AddEntries({1, 2, 3, 3, 4, 5, 5, 5, 6, 7, 7});
  auto kind_in = [](std::vector<int32_t> ids) {
    return [ids](const Entry& e) {
      return std::find(ids.begin(), ids.end(), e.consumer_id) != ids.end();
    };
  };
  // Two adjacent rows, three adjacent ones, and a pair at the very end.
  EXPECT_EQ(DeleteWhere(kind_in({3, 5, 7})), 7);
  std::vector<Entry> expected;
  for (const Entry& e : SortedByKind(added)) {
    if (!kind_in({3, 5, 7})(e)) expected.push_back(e);
  }
  EXPECT_EQ(ReadEntries(), expected);

  // Adjacent rows at the start, then all that is left.
  EXPECT_EQ(DeleteWhere(kind_in({1, 2})), 2);
  EXPECT_EQ(ReadEntries(), (std::vector<Entry>{expected[2], expected[3]}));
  EXPECT_EQ(DeleteWhere([](const Entry&) { return true; }), 2);
  EXPECT_TRUE(ReadEntries().empty());
  Reopen();
  EXPECT_TRUE(ReadEntries().empty());
}

TEST_P(DriverScenarioTest, DeleteKeepsThePositionOnTheFollowingRow) {
  const std::vector<Entry> sorted = SortedByKind(AddEntries({1, 2, 3, 4, 5}));
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  ASSERT_EQ(record_set->Move(2), 1);
  ASSERT_NE(record_set->CurrentRecord(-1), nullptr);
  ASSERT_EQ(record_set->Delete(), 1);
  EXPECT_EQ(record_set->Position(), 1);
  EXPECT_EQ(record_set->RowCount(), 4u);
  EXPECT_EQ(ReadEntry(record_set->CurrentRecord(-1)), sorted[2]);
  // Going on with the rows after it, and back before it.
  ASSERT_EQ(record_set->MoveNext(), 1);
  EXPECT_EQ(ReadEntry(record_set->CurrentRecord(-1)), sorted[3]);
  ASSERT_EQ(record_set->MovePrevious(), 1);
  ASSERT_EQ(record_set->MovePrevious(), 1);
  EXPECT_EQ(ReadEntry(record_set->CurrentRecord(-1)), sorted[0]);

  // The last row: the position goes back to the first.
  ASSERT_EQ(record_set->MoveLast(), 1);
  ASSERT_NE(record_set->CurrentRecord(-1), nullptr);
  ASSERT_EQ(record_set->Delete(), 1);
  EXPECT_EQ(record_set->Position(), 0);
  EXPECT_EQ(ReadEntry(record_set->CurrentRecord(-1)), sorted[0]);
  record_set.reset();
  EXPECT_EQ(ReadEntries(), (std::vector<Entry>{sorted[0], sorted[2], sorted[3]}));
}

TEST_P(DriverScenarioTest, DeleteAllEmptiesEveryTableAndTheyStayUsable) {
  AddEntries({3, 1, 2});
  for (const char* table : {kKindsTable, kEntriesTable, kAccountsTable}) {
    std::unique_ptr<DbRecordSet> record_set = OpenTable(table);
    EXPECT_EQ(record_set->DeleteAll(), 1) << table;
    EXPECT_EQ(record_set->RowCount(), 0u);
    EXPECT_EQ(record_set->IsEOF(), 1);
  }
  EXPECT_TRUE(ReadEntries().empty());

  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  ASSERT_EQ(record_set->DeleteAll(), 1) << "an empty table empties again";
  const Entry fresh = MakeEntry(8, 8);
  ASSERT_EQ(record_set->AddNew(), 1);
  FillEntry(record_set->CurrentRecord(-1), fresh);
  ASSERT_EQ(record_set->Update(), 1);
  EXPECT_EQ(record_set->RowCount(), 1u);
  record_set.reset();
  Reopen();
  EXPECT_EQ(ReadEntries(), std::vector<Entry>{fresh});
}

TEST_P(DriverScenarioTest, EverythingIsThereAfterReopening) {
  const std::vector<Entry> added = AddEntries({2, 9, 4, 4, 1});
  ASSERT_EQ(connection_->Close(), 1);
  EXPECT_EQ(connection_->IsOpen(), 0);
  Reopen();
  EXPECT_EQ(ReadEntries(), SortedByKind(added));
  for (const char* table : {kKindsTable, kAccountsTable}) {
    EXPECT_EQ(OpenTable(table)->RowCount(), 0u) << table;
  }
  // The layout check of the finance layer.
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  ASSERT_NE(record_set->Fields(), nullptr);
  EXPECT_NE(record_set->Fields()->FieldByName("note"), nullptr);
  EXPECT_EQ(record_set->Fields()->FieldByName("Note"), nullptr);
  EXPECT_EQ(record_set->ColumnIndex("currency_id"), 7);
}

TEST_P(DriverScenarioTest, OpenTableWithAConditionGivesTheSameRows) {
  const std::vector<Entry> added = AddEntries({3, 1, 2});
  EXPECT_EQ(ReadEntries("consumer_id = 3"), SortedByKind(added));
  EXPECT_EQ(ReadEntries(""), SortedByKind(added));
}

TEST_P(DriverScenarioTest, TableNamesMustMatchExactly) {
  std::unique_ptr<DbRecordSet> record_set = connection_->CreateRecordSet(1);
  for (const char* name : {"[sec_data] ", "[SEC_DATA]", "sec_data", "[sec_missing]", ""}) {
    EXPECT_EQ(record_set->OpenTable(name, nullptr), 0) << name;
    EXPECT_EQ(record_set->IsEOF(), 1);
  }
  EXPECT_EQ(record_set->Execute(DbString("DELETE FROM [sec_data];")), 0);
}

TEST_P(DriverScenarioTest, EveryWindows1251CharacterSurvives) {
  // Every byte but 0, Ё ё № « » and the dashes among them, over three notes: a note of the
  // file database holds at most 115 characters.
  std::string every_byte;
  for (int byte = 1; byte < 256; ++byte) every_byte.push_back(static_cast<char>(byte));
  for (int32_t part = 0; part < 3; ++part) {
    Entry e = MakeEntry(part, part);
    e.note = ToUtf8(DbString(every_byte.substr(85 * part, 85)));
    AddEntry(e);
  }
  Reopen();
  const std::vector<Entry> read = ReadEntries();
  ASSERT_EQ(read.size(), 3u);
  std::string read_bytes;
  for (const Entry& e : read) read_bytes += std::string(FromUtf8(e.note).View());
  EXPECT_EQ(read_bytes, every_byte);

  std::unique_ptr<DbRecordSet> kinds = OpenTable(kKindsTable);
  ASSERT_EQ(kinds->AddNew(), 1);
  DbRecord* record = kinds->CurrentRecord(-1);
  Put(record, "id", 1);
  Put(record, "descr", "Ёлка №1");
  Put(record, "category", "ёжики «прочее» — разное");
  ASSERT_EQ(kinds->Update(), 1);
  kinds = OpenTable(kKindsTable);
  record = kinds->CurrentRecord(-1);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(TextOf(record, "descr"), "Ёлка №1");
  EXPECT_EQ(TextOf(record, "category"), "ёжики «прочее» — разное");
  EXPECT_EQ(IntOf(record, "currency_id"), 0) << "a column never set reads as 0";
}

// A transaction over the whole database: what it wrote to any table is kept together at a
// commit and taken back together at a rollback, a close, or a commit that was not reached.
TEST_P(DriverScenarioTest, ATransactionKeepsOrTakesBackEveryWriteTogether) {
  const std::vector<Entry> before = SortedByKind(AddEntries({5, 2, 9, 2}));
  auto add_account = [&](int32_t id) {
    std::unique_ptr<DbRecordSet> accounts = OpenTable(kAccountsTable);
    ASSERT_EQ(accounts->AddNew(), 1);
    Put(accounts->CurrentRecord(-1), "id", id);
    ASSERT_EQ(accounts->Update(), 1);
  };
  auto account_count = [&] { return OpenTable(kAccountsTable)->RowCount(); };
  // Every kind of write, to two tables, through several record sets.
  auto write_everything = [&] {
    add_account(7);
    AddEntry(MakeEntry(3, 40));
    EXPECT_EQ(DeleteWhere([](const Entry& e) { return e.consumer_id == 9; }), 1);
    std::unique_ptr<DbRecordSet> entries = OpenTable(kEntriesTable);
    Put(entries->CurrentRecord(-1), "note", "changed");
    ASSERT_EQ(entries->Update(), 1);
    std::unique_ptr<DbRecordSet> kinds = OpenTable(kKindsTable);
    ASSERT_EQ(kinds->DeleteAll(), 1);
  };
  enum class End { kRollback, kClose, kNone, kCommit };
  for (End end : {End::kRollback, End::kClose, End::kNone, End::kCommit}) {
    SCOPED_TRACE(static_cast<int>(end));
    ASSERT_EQ(connection_->BeginTransaction(), 1);
    EXPECT_TRUE(connection_->InTransaction());
    EXPECT_EQ(connection_->BeginTransaction(), 0) << "transactions do not nest";
    write_everything();
    EXPECT_EQ(account_count(), 1u) << "the transaction sees its own writes";
    switch (end) {
      case End::kRollback:
        EXPECT_EQ(connection_->RollbackTransaction(), 1);
        break;
      case End::kClose:
        connection_->Close();
        break;
      case End::kNone:
        connection_.reset();  // the connection goes without ending it
        break;
      case End::kCommit:
        EXPECT_EQ(connection_->CommitTransaction(), 1);
        break;
    }
    Reopen();
    EXPECT_FALSE(connection_->InTransaction());
    if (end != End::kCommit) {
      EXPECT_EQ(ReadEntries(), before);
      EXPECT_EQ(account_count(), 0u);
    }
  }
  std::vector<Entry> after = ReadEntries();
  EXPECT_EQ(after.size(), before.size());
  EXPECT_EQ(account_count(), 1u);
  EXPECT_EQ(connection_->CommitTransaction(), 0) << "no transaction runs";
  EXPECT_EQ(connection_->RollbackTransaction(), 0);
}

// An archive restored inside a transaction: the bulk load's rows go with the transaction.
TEST_P(DriverScenarioTest, ABulkLoadInsideATransactionIsTakenBackWithIt) {
  const std::vector<Entry> before = SortedByKind(AddEntries({4, 1, 6}));
  for (bool commit : {false, true}) {
    ASSERT_EQ(connection_->BeginTransaction(), 1);
    std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
    ASSERT_EQ(record_set->DeleteAll(), 1);
    ASSERT_EQ(record_set->OpenTable(kEntriesTable, nullptr), 1);
    ASSERT_EQ(record_set->BeginBulkLoad(), 1);
    for (int32_t i = 0; i < 50; ++i) {
      ASSERT_EQ(record_set->AddNew(), 1);
      FillEntry(record_set->CurrentRecord(-1), MakeEntry(i % 7, i));
      ASSERT_EQ(record_set->Update(), 1);
    }
    EXPECT_EQ(record_set->EndBulkLoad(), 1);
    record_set.reset();
    if (commit) {
      EXPECT_EQ(connection_->CommitTransaction(), 1);
    } else {
      EXPECT_EQ(connection_->RollbackTransaction(), 1);
    }
    Reopen();
    EXPECT_EQ(ReadEntries().size(), commit ? 50u : before.size());
  }
}

// The rows of each kind id in table order.
std::map<int32_t, std::vector<Entry>> ByKind(const std::vector<Entry>& entries) {
  std::map<int32_t, std::vector<Entry>> kinds;
  for (const Entry& e : entries) kinds[e.consumer_id].push_back(e);
  return kinds;
}

// Storing a day: the rows at some positions go and new ones come in, as one change. The table
// stays in order of its first column; within one key the kept rows and the added rows each keep
// their order (where the added rows go among the kept ones is the driver's choice).
TEST_P(DriverScenarioTest, ReplaceRowsRemovesThoseNamedAndAddsTheOthersInOrder) {
  uint32_t seed = 11;
  auto next = [&](uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % bound;
  };
  std::vector<Entry> table;
  int32_t serial = 0;
  for (int round = 0; round < 16; ++round) {
    std::vector<uint32_t> removed;
    std::vector<Entry> kept;
    for (uint32_t i = 0; i < table.size(); ++i) {
      if (next(3) == 0) {
        removed.push_back(i);
      } else {
        kept.push_back(table[i]);
      }
    }
    std::vector<Entry> added;
    // Every other round puts back as many rows of the same kinds, as a day stored back does.
    if (round % 2 == 1) {
      for (uint32_t i : removed) added.push_back(MakeEntry(table[i].consumer_id, serial++));
    } else {
      for (uint32_t n = next(6); n > 0; --n) added.push_back(MakeEntry(next(5), serial++));
    }
    std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
    ASSERT_EQ(record_set->ReplaceRows(removed, added.size(),
                                      [&](size_t i, DbRecord* record) {
                                        FillEntry(record, added[i]);
                                        return true;
                                      }),
              1)
        << round;
    EXPECT_EQ(record_set->RowCount(), kept.size() + added.size()) << round;
    EXPECT_EQ(record_set->Position(), kept.empty() && added.empty() ? -1 : 0) << round;
    record_set.reset();
    table = ReadEntries();
    ASSERT_EQ(table, SortedByKind(table)) << round;
    // Within each key: the kept rows, then the added ones, each in order, split where it fits.
    auto kept_by_kind = ByKind(kept);
    auto added_by_kind = ByKind(added);
    for (const auto& [kind, rows] : ByKind(table)) {
      const std::vector<Entry>& kept_rows = kept_by_kind[kind];
      std::vector<Entry> old_rows;
      std::vector<Entry> new_rows;
      for (const Entry& e : rows) {
        const bool was_kept = std::find(kept_rows.begin(), kept_rows.end(), e) != kept_rows.end();
        (was_kept ? old_rows : new_rows).push_back(e);
      }
      EXPECT_EQ(old_rows, kept_rows) << round << " kind " << kind;
      EXPECT_EQ(new_rows, added_by_kind[kind]) << round << " kind " << kind;
    }
  }
  Reopen();
  EXPECT_EQ(ReadEntries(), table);

  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  const std::vector<uint32_t> out_of_order = {1, 0};
  EXPECT_EQ(record_set->ReplaceRows(out_of_order, 0, nullptr), 0);
  const std::vector<uint32_t> past_the_end = {static_cast<uint32_t>(table.size())};
  EXPECT_EQ(record_set->ReplaceRows(past_the_end, 0, nullptr), 0);
  EXPECT_EQ(record_set->ReplaceRows({}, 1, [](size_t, DbRecord*) { return false; }), 0)
      << "a row that cannot be filled";
  record_set.reset();
  EXPECT_EQ(ReadEntries(), table) << "nothing changed by a refused replacement";
}

// A walk that reads only the columns it selects by, and the rows it selects whole.
TEST_P(DriverScenarioTest, AScanReadsTheColumnsAskedForAndTheRowsItSelectsWhole) {
  const std::vector<Entry> added = AddEntries({4, 2, 9, 2, 7, 2});
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  const uint64_t kind_only = uint64_t{1} << record_set->ColumnIndex("consumer_id");
  std::vector<int32_t> kinds;
  std::vector<Entry> selected;
  bool whole = false;
  ASSERT_EQ(record_set->ScanRows(kind_only,
                                 [&](DbRecord* record) {
                                   const int32_t kind = IntOf(record, "consumer_id");
                                   if (kind != 2) {
                                     kinds.push_back(kind);
                                     return ScanStep::kNext;
                                   }
                                   whole = !whole;
                                   if (whole) return ScanStep::kWholeRow;
                                   kinds.push_back(kind);
                                   selected.push_back(ReadEntry(record));
                                   return ScanStep::kNext;
                                 }),
            1);
  EXPECT_EQ(kinds, (std::vector<int32_t>{2, 2, 2, 4, 7, 9}));
  EXPECT_EQ(selected, (std::vector<Entry>{added[1], added[3], added[5]}));
  // The record set stands on its first row again, and a walk can stop early.
  ASSERT_NE(record_set->CurrentRecord(-1), nullptr);
  EXPECT_EQ(ReadEntry(record_set->CurrentRecord(-1)), added[1]);
  int visited = 0;
  EXPECT_EQ(record_set->ScanRows(
                0, [&](DbRecord*) { return ++visited == 2 ? ScanStep::kStop : ScanStep::kNext; }),
            1);
  EXPECT_EQ(visited, 2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DriverScenarioTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix
