#include "access/object_store_driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "access/db_connection.h"
#include "access/object_store_values.h"
#include "access/testing/finance_shapes.h"
#include "platform/fault_injection_env.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

using platform::ObjectStore;
using platform::ObjectStoreDatabase;
using platform::Property;
using platform::PropertyKind;
using platform::SortOrder;
using testing::kAccountsTable;
using testing::kEntriesTable;
using testing::kKindsTable;

constexpr char kDatabase[] = "TOLVENA_Ledgerix_1";
constexpr char16_t kDatabase16[] = u"TOLVENA_Ledgerix_1";

class ObjectStoreDriverTest : public ::testing::Test {
 protected:
  platform::Env& env() { return device_.env(); }
  ObjectStore& store() { return *env().Objects(); }

  void CreateFinanceDatabase() {
    ASSERT_EQ(ObjectStoreDriver(env()).CreateDatabase(kDatabase, testing::FinanceShapes()), 1);
  }
  // A connection of kind 3 on the database; null when it does not open.
  std::unique_ptr<DbConnection> Connect(const char* name = kDatabase) {
    auto connection = std::make_unique<DbConnection>(env(), DriverKind::kObjectStore);
    if (connection->Open(name, "", "") != 1) return nullptr;
    return connection;
  }
  ObjectStoreDriver& DriverOf(DbConnection& connection) {
    return *dynamic_cast<ObjectStoreDriver*>(connection.Driver());
  }

  // The records of a platform database, in its order.
  std::vector<std::vector<Property>> Records(std::u16string_view name) {
    std::vector<std::vector<Property>> records;
    std::unique_ptr<ObjectStoreDatabase> db = store().OpenDatabase(name);
    if (db == nullptr) return records;
    std::vector<Property> record;
    for (bool more = db->SeekFirst(); more; more = db->SeekNext()) {
      EXPECT_TRUE(db->ReadCurrent(&record));
      records.push_back(record);
    }
    return records;
  }

  // Adds rows with these ids to the accounts table through a record set.
  void AddAccounts(DbConnection& connection, const std::vector<int32_t>& ids) {
    std::unique_ptr<DbRecordSet> record_set = connection.CreateRecordSet(1);
    ASSERT_EQ(record_set->OpenTable(kAccountsTable, nullptr), 1);
    for (int32_t id : ids) {
      ASSERT_EQ(record_set->AddNew(), 1);
      DbRecord* record = record_set->CurrentRecord(-1);
      record->FieldByName("id")->SetInt32(id);
      record->FieldByName("firmName")->SetText(FromUtf8("Счёт " + std::to_string(id)));
      ASSERT_EQ(record_set->Update(), 1);
    }
  }

  testing::TempDeviceRoot device_;
};

TEST_F(ObjectStoreDriverTest, CatalogDescribesEachTableInOneRecord) {
  CreateFinanceDatabase();
  const std::vector<std::vector<Property>> catalog = Records(kDatabase16);
  ASSERT_EQ(catalog.size(), 3u);
  // Kept in the order of the table names.
  EXPECT_EQ(catalog[0].size(), 13u);  // kinds: 6 columns
  EXPECT_EQ(catalog[1].size(), 17u);  // entries: 8 columns
  EXPECT_EQ(catalog[2].size(), 9u);   // accounts: 4 columns
  EXPECT_EQ(
      catalog[2],
      (std::vector<Property>{
          Property::Text(0, u"[sec_firms]"), Property::Int32(1, 2), Property::Text(2, u"id"),
          Property::Int32(3, 5), Property::Text(4, u"firmName"), Property::Int32(5, 5),
          Property::Text(6, u"note"), Property::Int32(7, 2), Property::Text(8, u"currency_id")}));

  // Each table is a database of its own, named as the table, typed by its name's bytes and
  // sorted on its first column; the catalog is sorted on the table name.
  std::vector<platform::DatabaseInfo> databases = store().ListDatabases();
  ASSERT_EQ(databases.size(), 4u);
  EXPECT_EQ(databases[0].name, kDatabase16);
  EXPECT_EQ(databases[0].sort, (SortOrder{0, PropertyKind::kText}));
  EXPECT_EQ(databases[1].name, u"[sec_consumeritems]");
  EXPECT_EQ(databases[1].type_id, 2016u);
  EXPECT_EQ(databases[2].name, u"[sec_data]");
  EXPECT_EQ(databases[2].type_id, 1004u);
  EXPECT_EQ(databases[3].name, u"[sec_firms]");
  EXPECT_EQ(databases[3].type_id, 1139u);
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(databases[i].sort, (SortOrder{0, PropertyKind::kInt32}));
  }
}

TEST_F(ObjectStoreDriverTest, ColumnTypesComeBackAsTheirStoredKinds) {
  DbSchema schema;
  DbTableSchema& table = schema.AddTable(FromUtf8("[Таблица №1]"));
  for (DbValueType type :
       {DbValueType::Int32, DbValueType::Bool8, DbValueType::Int16, DbValueType::Float32,
        DbValueType::Float64, DbValueType::Float64B, DbValueType::Bool32, DbValueType::Text}) {
    table.AddColumn(FromUtf8("столбец " + std::to_string(static_cast<int>(type))), type);
  }
  ASSERT_EQ(ObjectStoreDriver(env()).CreateDatabase(FromUtf8("база Ёё"), schema), 1);
  std::unique_ptr<DbConnection> connection = Connect(FromUtf8("база Ёё").CStr());
  ASSERT_NE(connection, nullptr);
  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  ASSERT_EQ(record_set->OpenTable(FromUtf8("[Таблица №1]").CStr(), nullptr), 1);
  const std::vector<DbValueType> expected = {
      DbValueType::Int32,   DbValueType::Bool8,   DbValueType::Int16, DbValueType::Float64,
      DbValueType::Float64, DbValueType::Float64, DbValueType::Bool8, DbValueType::Text};
  ASSERT_EQ(record_set->ColumnCount(), expected.size());
  for (uint32_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(record_set->ColumnDef(i)->Type(), expected[i]) << i;
    EXPECT_EQ(ToUtf8(record_set->ColumnDef(i)->Name()).substr(0, 15), "столбец ");
  }

  // A row of every type reads back as written.
  ASSERT_EQ(record_set->AddNew(), 1);
  DbRecord* record = record_set->CurrentRecord(-1);
  record->FieldByIndex(0)->SetInt32(-7);
  record->FieldByIndex(1)->SetBool8(1);
  record->FieldByIndex(2)->SetInt16(-300);
  record->FieldByIndex(3)->SetFloat64(2.5);
  record->FieldByIndex(4)->SetFloat64(-1.25);
  record->FieldByIndex(5)->SetFloat64B(1e300);
  record->FieldByIndex(6)->SetBool8(0);
  record->FieldByIndex(7)->SetText(FromUtf8("текст"));
  ASSERT_EQ(record_set->Update(), 1);
  record = record_set->CurrentRecord(-1);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->FieldByIndex(0)->AsInt32(), -7);
  EXPECT_TRUE(record->FieldByIndex(1)->AsBool());
  EXPECT_EQ(record->FieldByIndex(2)->AsInt16(), -300);
  EXPECT_EQ(record->FieldByIndex(3)->AsFloat64(), 2.5);
  EXPECT_EQ(record->FieldByIndex(4)->AsFloat64(), -1.25);
  EXPECT_EQ(record->FieldByIndex(5)->AsFloat64(), 1e300);
  EXPECT_FALSE(record->FieldByIndex(6)->AsBool());
  EXPECT_EQ(ToUtf8(DbString(record->FieldByIndex(7)->CStr())), "текст");
}

TEST_F(ObjectStoreDriverTest, EmptyTableIsAtItsEndAtOnce) {
  CreateFinanceDatabase();
  std::unique_ptr<DbConnection> connection = Connect();
  ASSERT_NE(connection, nullptr);
  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  uint32_t rows = 99;
  ASSERT_EQ(connection->Driver()->OpenCursor(kEntriesTable, record_set.get(), &rows), 1);
  EXPECT_EQ(rows, 0u);
  EXPECT_EQ(record_set->ColumnCount(), 8u);
  EXPECT_EQ(connection->Driver()->Fetch(record_set.get(), kMoveFirst, 0, -1), 0);
  EXPECT_EQ(connection->Driver()->CloseCursor(record_set.get()), 1);
  EXPECT_EQ(record_set->DriverState(), nullptr);

  ASSERT_EQ(record_set->OpenTable(kEntriesTable, nullptr), 1);
  EXPECT_EQ(record_set->RowCount(), 0u);
  EXPECT_EQ(record_set->IsEOF(), 1);
  EXPECT_EQ(record_set->CurrentRecord(-1), nullptr);
  // Without a record set nothing is executed.
  EXPECT_EQ(connection->Driver()->OpenCursor(kEntriesTable, nullptr, &rows), 0);
}

TEST_F(ObjectStoreDriverTest, DeleteThenStepToTheNextReadsTheFollower) {
  CreateFinanceDatabase();
  std::unique_ptr<DbConnection> connection = Connect();
  AddAccounts(*connection, {1, 2, 3, 4});
  DbDriver& driver = *connection->Driver();
  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  uint32_t rows = 0;
  ASSERT_EQ(driver.OpenCursor(kAccountsTable, record_set.get(), &rows), 1);
  ASSERT_EQ(driver.Fetch(record_set.get(), kMoveAbsolute, 1, -1), 1);
  EXPECT_EQ(record_set->FieldByName("id")->AsInt32(), 2);
  ASSERT_EQ(driver.Write(record_set.get(), kWriteDelete, 2), 1);
  // The row index of a step is not looked at.
  ASSERT_EQ(driver.Fetch(record_set.get(), kMoveNext, 0, -1), 1);
  EXPECT_EQ(record_set->FieldByName("id")->AsInt32(), 3);

  // Two adjacent rows deleted in a row, then stepping on.
  ASSERT_EQ(driver.Write(record_set.get(), kWriteDelete, 2), 1);
  ASSERT_EQ(driver.Fetch(record_set.get(), kMoveNext, 0, -1), 1);
  EXPECT_EQ(record_set->FieldByName("id")->AsInt32(), 4);
  ASSERT_EQ(driver.Write(record_set.get(), kWriteDelete, 2), 1);
  EXPECT_EQ(driver.Fetch(record_set.get(), kMoveNext, 0, -1), 0) << "the deleted row was last";
  EXPECT_EQ(driver.Write(record_set.get(), kWriteDelete, 2), 0) << "no current row to delete";
  EXPECT_EQ(driver.Write(record_set.get(), kWriteOverwrite, 2), 0);
  EXPECT_EQ(driver.Write(record_set.get(), 3, 2), 0) << "no such mode";
  ASSERT_EQ(driver.Fetch(record_set.get(), kMovePrevious, 0, -1), 1);
  EXPECT_EQ(record_set->FieldByName("id")->AsInt32(), 1);
  EXPECT_EQ(driver.Fetch(record_set.get(), 6, 0, -1), 0) << "no such move";
  driver.CloseCursor(record_set.get());
  EXPECT_EQ(Records(u"[sec_firms]").size(), 1u);
}

TEST_F(ObjectStoreDriverTest, RowWrittenOverWithANewFirstColumnKeepsTheWalkByPosition) {
  CreateFinanceDatabase();
  std::unique_ptr<DbConnection> connection = Connect();
  AddAccounts(*connection, {1, 2, 3, 4, 5});
  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  ASSERT_EQ(record_set->OpenTable(kAccountsTable, nullptr), 1);
  ASSERT_EQ(record_set->MoveNext(), 1);
  DbRecord* record = record_set->CurrentRecord(-1);
  ASSERT_EQ(record->FieldByName("id")->AsInt32(), 2);
  record->FieldByName("id")->SetInt32(9);  // now sorts last: 1 3 4 5 9
  ASSERT_EQ(record_set->Update(), 1);
  record->FieldByName("note")->SetText("twice");
  ASSERT_EQ(record_set->Update(), 1) << "a second write goes to the same row";
  ASSERT_EQ(record_set->MoveNext(), 1);
  EXPECT_EQ(record_set->CurrentRecord(-1)->FieldByName("id")->AsInt32(), 4)
      << "the third row of the table as it is now";
  record_set.reset();

  const std::vector<std::vector<Property>> rows = Records(u"[sec_firms]");
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[4][0], Property::Int32(0, 9));
  EXPECT_EQ(rows[4][2], Property::Text(2, u"twice"));
  EXPECT_EQ(rows[4][1], Property::Text(1, u"Счёт 2"));
}

TEST_F(ObjectStoreDriverTest, DeleteAllRowsKeepsTheTableListedAndUsable) {
  CreateFinanceDatabase();
  std::unique_ptr<DbConnection> connection = Connect();
  AddAccounts(*connection, {5, 6, 7});
  std::unique_ptr<DbRecordSet> other = connection->CreateRecordSet(1);
  ASSERT_EQ(other->OpenTable(kAccountsTable, nullptr), 1);
  ASSERT_NE(other->CurrentRecord(-1), nullptr);

  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  ASSERT_EQ(record_set->OpenTable(kAccountsTable, nullptr), 1);
  ASSERT_EQ(record_set->MoveLast(), 1);
  ASSERT_EQ(record_set->DeleteAll(), 1);
  EXPECT_TRUE(Records(u"[sec_firms]").empty());
  EXPECT_EQ(Records(kDatabase16).size(), 3u) << "the catalog still lists the table";
  EXPECT_EQ(store().ListDatabases()[3].type_id, 1139u);

  ASSERT_EQ(record_set->AddNew(), 1);
  record_set->CurrentRecord(-1)->FieldByName("id")->SetInt32(1);
  ASSERT_EQ(record_set->Update(), 1);
  EXPECT_EQ(record_set->CurrentRecord(-1)->FieldByName("id")->AsInt32(), 1);
  EXPECT_EQ(Records(u"[sec_firms]").size(), 1u);
  // Another record set on the table keeps working and sees the table as it is now.
  EXPECT_EQ(other->MoveFirst(), 1);
  ASSERT_NE(other->CurrentRecord(-1), nullptr);
  EXPECT_EQ(other->FieldByName("id")->AsInt32(), 1);
}

TEST_F(ObjectStoreDriverTest, OpenFailsWithoutAReadableCatalog) {
  EXPECT_EQ(Connect(), nullptr) << "no catalog at all";
  ObjectStoreDriver driver(env());
  EXPECT_EQ(driver.Close(), 0) << "nothing open";

  // Records of an even number of properties, or of one, are not tables and are passed over.
  ASSERT_TRUE(store().CreateDatabase(kDatabase16, 1, SortOrder{0, PropertyKind::kText}));
  {
    std::unique_ptr<ObjectStoreDatabase> catalog = store().OpenDatabase(kDatabase16);
    ASSERT_NE(catalog->AddRecord({Property::Text(0, u"a")}), 0u);
    ASSERT_NE(catalog->AddRecord({Property::Text(0, u"b"), Property::Int32(1, 2)}), 0u);
    ASSERT_NE(catalog->AddRecord(
                  {Property::Text(0, u"c"), Property::Int16(1, 3), Property::Text(2, u"x")}),
              0u);
  }
  std::unique_ptr<DbConnection> connection = Connect();
  ASSERT_NE(connection, nullptr);
  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  EXPECT_EQ(record_set->OpenTable("a", nullptr), 0);
  EXPECT_EQ(record_set->OpenTable("c", nullptr), 0) << "listed, but its database is missing";
  record_set.reset();
  connection.reset();

  // A table record whose first property is not a text, or a pair that is not (code, text).
  const std::vector<std::vector<Property>> invalid = {
      {Property::Int32(0, 1), Property::Int32(1, 2), Property::Text(2, u"id")},
      {Property::Text(0, u"t"), Property::Text(1, u"2"), Property::Text(2, u"id")},
      {Property::Text(0, u"t"), Property::Int32(1, 2), Property::Int32(2, 0)},
      {Property::Text(0, u"t"), Property::Blob(1, {2}), Property::Text(2, u"id")},
  };
  for (const std::vector<Property>& record : invalid) {
    std::unique_ptr<ObjectStoreDatabase> catalog = store().OpenDatabase(kDatabase16);
    const uint32_t id = catalog->AddRecord(record);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(driver.Open(kDatabase), 0);
    EXPECT_EQ(driver.IsOpen(), 0);
    ASSERT_TRUE(catalog->DeleteRecord(id));
    EXPECT_EQ(driver.Open(kDatabase), 1);
  }
  EXPECT_EQ(driver.Close(), 1);
  EXPECT_EQ(driver.Close(), 0);
}

TEST_F(ObjectStoreDriverTest, RowsThatDoNotFitTheirColumnsFailToFetch) {
  CreateFinanceDatabase();
  {
    std::unique_ptr<ObjectStoreDatabase> firms = store().OpenDatabase(u"[sec_firms]");
    // One property short; a text where a number belongs; a number where a text belongs.
    ASSERT_NE(
        firms->AddRecord({Property::Int32(0, 1), Property::Text(1, u"a"), Property::Text(2, u"")}),
        0u);
    ASSERT_NE(firms->AddRecord({Property::Int32(0, 2), Property::Text(1, u"b"),
                                Property::Text(2, u""), Property::Text(3, u"0")}),
              0u);
    ASSERT_NE(firms->AddRecord({Property::Int32(0, 3), Property::Int32(1, 0),
                                Property::Text(2, u""), Property::Int32(3, 0)}),
              0u);
    // Numbers of other kinds convert: a double is truncated, a boolean is 0 or 1.
    ASSERT_NE(firms->AddRecord({Property::Int32(0, 4), Property::Text(1, u"d"),
                                Property::Text(2, u""), Property::Double(3, -2.9)}),
              0u);
    ASSERT_NE(firms->AddRecord({Property::Int32(0, 5), Property::Text(1, u"e"),
                                Property::Text(2, u""), Property::Bool(3, true)}),
              0u);
  }
  std::unique_ptr<DbConnection> connection = Connect();
  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  ASSERT_EQ(record_set->OpenTable(kAccountsTable, nullptr), 1);
  EXPECT_EQ(record_set->RowCount(), 5u);
  for (uint32_t row = 1; row <= 3; ++row) {
    ASSERT_EQ(record_set->Move(row), 1);
    EXPECT_EQ(record_set->CurrentRecord(-1), nullptr) << "row " << row;
  }
  ASSERT_EQ(record_set->Move(4), 1);
  ASSERT_NE(record_set->CurrentRecord(-1), nullptr);
  EXPECT_EQ(record_set->FieldByName("currency_id")->AsInt32(), -2);
  ASSERT_EQ(record_set->MoveNext(), 1);
  ASSERT_NE(record_set->CurrentRecord(-1), nullptr);
  EXPECT_EQ(record_set->FieldByName("currency_id")->AsInt32(), 1);
}

TEST_F(ObjectStoreDriverTest, ColumnOfAnUnknownKindFailsEveryFetch) {
  DbSchema schema;
  DbTableSchema& table = schema.AddTable("t");
  table.AddColumn("id", DbValueType::Int32);
  table.AddColumn("raw", DbValueType::Untyped);
  ASSERT_EQ(ObjectStoreDriver(env()).CreateDatabase("db", schema), 1);
  EXPECT_EQ(Records(u"db")[0][3], Property::Int32(3, kValueKindBlob));
  std::unique_ptr<DbConnection> connection = Connect("db");
  ASSERT_NE(connection, nullptr);
  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  ASSERT_EQ(record_set->OpenTable("t", nullptr), 1);
  ASSERT_EQ(record_set->AddNew(), 1);
  EXPECT_EQ(record_set->Update(), 0) << "nothing to write the column as";
  {
    std::unique_ptr<ObjectStoreDatabase> t = store().OpenDatabase(u"t");
    ASSERT_NE(t->AddRecord({Property::Int32(0, 1), Property::Blob(1, {1, 2})}), 0u);
  }
  ASSERT_EQ(record_set->OpenTable("t", nullptr), 1);
  EXPECT_EQ(record_set->RowCount(), 1u);
  EXPECT_EQ(record_set->CurrentRecord(-1), nullptr);
}

TEST_F(ObjectStoreDriverTest, CreateDatabaseTouchesNothingItDidNotCreate) {
  CreateFinanceDatabase();
  std::unique_ptr<DbConnection> connection = Connect();
  AddAccounts(*connection, {1, 2});
  connection.reset();
  ObjectStoreDriver driver(env());
  EXPECT_EQ(driver.CreateDatabase(kDatabase, testing::FinanceShapes()), 0) << "exists already";
  EXPECT_EQ(Records(u"[sec_firms]").size(), 2u);
  EXPECT_EQ(Records(kDatabase16).size(), 3u);

  // A second database whose last table's name is taken: what it made is taken back.
  DbSchema clash;
  clash.AddTable("[new_one]").AddColumn("id", DbValueType::Int32);
  clash.AddTable(kAccountsTable).AddColumn("id", DbValueType::Text);
  EXPECT_EQ(driver.CreateDatabase("other", clash), 0);
  EXPECT_FALSE(store().DatabaseExists(u"other"));
  EXPECT_FALSE(store().DatabaseExists(u"[new_one]"));
  EXPECT_EQ(Records(u"[sec_firms]").size(), 2u);
  EXPECT_EQ(store().ListDatabases().size(), 4u);

  // Tables without a name or without columns cannot be kept.
  DbSchema unnamed;
  unnamed.AddTable("").AddColumn("id", DbValueType::Int32);
  EXPECT_EQ(driver.CreateDatabase("other", unnamed), 0);
  DbSchema no_columns;
  no_columns.AddTable("[empty]");
  EXPECT_EQ(driver.CreateDatabase("other", no_columns), 0);
  DbSchema twice;
  twice.AddTable("[t]").AddColumn("id", DbValueType::Int32);
  twice.AddTable("[t]").AddColumn("id", DbValueType::Int32);
  EXPECT_EQ(driver.CreateDatabase("other", twice), 0);
  EXPECT_EQ(driver.CreateDatabase("", testing::FinanceShapes()), 0);
  EXPECT_EQ(store().ListDatabases().size(), 4u);

  EXPECT_EQ(driver.CreateDatabase("empty", DbSchema()), 1) << "a catalog without tables";
  EXPECT_EQ(driver.Open("empty"), 1);
}

TEST_F(ObjectStoreDriverTest, DeleteDatabaseRemovesEveryTableItNames) {
  CreateFinanceDatabase();
  ASSERT_TRUE(store().CreateDatabase(u"unrelated", 1, SortOrder{}));
  ObjectStoreDriver driver(env());
  EXPECT_EQ(driver.DeleteDatabase(kDatabase), 1);
  ASSERT_EQ(store().ListDatabases().size(), 1u);
  EXPECT_EQ(store().ListDatabases()[0].name, u"unrelated");
  EXPECT_EQ(driver.DeleteDatabase(kDatabase), 1) << "nothing left to delete is no error";

  // A catalog that no longer reads still takes its tables with it.
  CreateFinanceDatabase();
  {
    std::unique_ptr<ObjectStoreDatabase> catalog = store().OpenDatabase(kDatabase16);
    ASSERT_NE(catalog->AddRecord(
                  {Property::Text(0, u"[x]"), Property::Text(1, u"bad"), Property::Text(2, u"id")}),
              0u);
  }
  EXPECT_EQ(driver.Open(kDatabase), 0);
  EXPECT_EQ(driver.DeleteDatabase(kDatabase), 1);
  EXPECT_EQ(store().ListDatabases().size(), 1u);
  EXPECT_EQ(driver.CreateDatabase(kDatabase, testing::FinanceShapes()), 1);
}

// A delete that the disk refuses part-way is a failure: the catalog stays, naming what is left,
// so that deleting again finishes the work.
TEST_F(ObjectStoreDriverTest, DeleteDatabaseThatFailsPartWayAnswersZero) {
  for (int n = 1;; ++n) {
    ASSERT_LT(n, 100);
    CreateFinanceDatabase();
    int result = 0;
    int injected = 0;
    {
      platform::FaultInjectionEnv faulty(&env());
      faulty.FailNthMutation(n, platform::winerr::kWriteFault);
      result = ObjectStoreDriver(faulty).DeleteDatabase(kDatabase);
      injected = faulty.InjectedCount();
    }
    const size_t left = store().ListDatabases().size();
    if (injected == 0) {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(left, 0u);
      break;
    }
    SCOPED_TRACE(n);
    EXPECT_EQ(result, 0);
    EXPECT_GT(left, 0u);
    EXPECT_TRUE(store().DatabaseExists(kDatabase16)) << "the catalog names what is left";
    EXPECT_EQ(ObjectStoreDriver(env()).DeleteDatabase(kDatabase), 1);
    EXPECT_EQ(store().ListDatabases().size(), 0u);
  }
}

TEST_F(ObjectStoreDriverTest, ClosedDriverServesNoCursor) {
  CreateFinanceDatabase();
  std::unique_ptr<DbConnection> connection = Connect();
  AddAccounts(*connection, {1});
  std::unique_ptr<DbRecordSet> record_set = connection->CreateRecordSet(1);
  ASSERT_EQ(record_set->OpenTable(kAccountsTable, nullptr), 1);
  DbDriver& driver = *connection->Driver();
  ASSERT_EQ(driver.Close(), 1);
  EXPECT_EQ(driver.IsOpen(), 0);
  EXPECT_EQ(driver.Fetch(record_set.get(), kMoveFirst, 0, -1), 0);
  EXPECT_EQ(driver.Write(record_set.get(), kWriteInsert, 1), 0);
  EXPECT_EQ(driver.DeleteAllRows(record_set.get()), 0);
  EXPECT_EQ(driver.CloseCursor(record_set.get()), 0);
  EXPECT_EQ(record_set->IsEOF(), 1);
  record_set.reset();  // releases the cursor the driver could not take back
  EXPECT_EQ(Records(u"[sec_firms]").size(), 1u);

  DbString query("stale");
  driver.BuildQuery(&query, "[sec_data]", "consumer_id = 3");
  EXPECT_EQ(query.View(), "[sec_data]");
  driver.BuildQuery(&query, nullptr, nullptr);
  EXPECT_EQ(query.View(), "");
}

TEST_F(ObjectStoreDriverTest, ConnectionOpensTheCatalogNamedByItsWholeString) {
  CreateFinanceDatabase();
  DbConnection connection(env(), DriverKind::kObjectStore);
  ASSERT_NE(dynamic_cast<ObjectStoreDriver*>(connection.Driver()), nullptr);
  // A user clause becomes part of the name, and no catalog has that name.
  EXPECT_EQ(connection.Open(kDatabase, "user", "secret"), 0);
  EXPECT_EQ(connection.Open(kDatabase, "", "secret"), 1) << "a password alone is not added";
  EXPECT_EQ(connection.IsOpen(), 1);
  EXPECT_EQ(connection.Close(), 1);
  EXPECT_EQ(connection.IsOpen(), 0);
}

TEST_F(ObjectStoreDriverTest, StoreThatCannotBeOpenedOpensNothing) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\objects.sqlite", std::string(8192, 'x')));
  ObjectStoreDriver driver(env());
  EXPECT_EQ(driver.CreateDatabase(kDatabase, testing::FinanceShapes()), 0);
  EXPECT_EQ(driver.Open(kDatabase), 0);
  EXPECT_EQ(driver.DeleteDatabase(kDatabase), 1);
  EXPECT_EQ(DbConnection(env(), DriverKind::kObjectStore).Open(kDatabase, "", ""), 0);
}

}  // namespace
}  // namespace ledgerix
