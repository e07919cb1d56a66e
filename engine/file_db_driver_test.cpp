#include "engine/file_db_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/catalog_file.h"
#include "engine/db_record_set.h"
#include "platform/fault_injection_env.h"
#include "testing/driver_host_stub.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

using namespace std::string_literals;
using platform::FaultInjectionEnv;

std::string Int32Bytes(int32_t value) {
  std::string bytes(4, '\0');
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

// A slot of "[t]" (id Int32, name Text): 36 bytes.
std::string Slot(int32_t id, const std::string& name) {
  std::string slot = Int32Bytes(id) + name + '\0';
  return slot + std::string(36 - slot.size(), '\0');
}

// One (id, name) per row as the table holds them.
using Rows = std::vector<std::pair<int32_t, std::string>>;

class FileDbDriverTest : public ::testing::Test {
 protected:
  FileDbDriverTest() { UseEnv(env_); }

  void UseEnv(platform::Env& env) {
    host_ = std::make_unique<testing::DriverHostStub>(std::make_unique<FileDbDriver>(env),
                                                      DriverKind::kFileDatabase);
  }
  FileDbDriver& driver() { return static_cast<FileDbDriver&>(*host_->Driver()); }

  // The database "db" with the table "[t]" (id Int32, name Text), open.
  void CreateTestDatabase() {
    DbSchema schema;
    DbTableSchema& table = schema.AddTable(DbString("[t]"));
    table.AddColumn(DbString("id"), DbValueType::Int32);
    table.AddColumn(DbString("name"), DbValueType::Text);
    ASSERT_EQ(driver().CreateDatabase(DbString("db"), schema), 1);
    ASSERT_EQ(driver().Open(DbString("db")), 1);
  }
  std::string TableBytes() const { return device_.ReadHostFile(u"\\tolvena_db\\[t].$tab$"); }
  void SetTableBytes(const std::string& bytes) {
    ASSERT_TRUE(device_.WriteHostFile(u"\\tolvena_db\\[t].$tab$", bytes));
  }

  std::unique_ptr<DbRecordSet> OpenT() {
    auto rs = std::make_unique<DbRecordSet>(host_.get());
    EXPECT_EQ(rs->OpenTable("[t]", nullptr), 1);
    return rs;
  }
  static int Add(DbRecordSet& rs, int32_t id, const std::string& name) {
    if (!rs.AddNew()) return 0;
    rs.FieldByName("id")->SetInt32(id);
    rs.FieldByName("name")->SetText(name.c_str());
    return rs.Update();
  }
  static Rows ReadAll(DbRecordSet& rs) {
    Rows rows;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
      if (rs.CurrentRecord(-1) == nullptr) break;
      rows.emplace_back(rs.FieldByName("id")->AsInt32(), rs.FieldByName("name")->CStr());
    }
    return rows;
  }

  testing::TempDeviceRoot device_;
  platform::Env& env_ = device_.env();
  std::unique_ptr<testing::DriverHostStub> host_;
};

TEST_F(FileDbDriverTest, OpenNeedsAReadableCatalog) {
  EXPECT_EQ(driver().Open(DbString("db")), 0);
  EXPECT_EQ(driver().IsOpen(), 0);
  EXPECT_EQ(driver().Close(), 0);
  ASSERT_TRUE(device_.WriteHostFile(u"\\tolvena_db\\empty.$db$", ""));
  EXPECT_EQ(driver().Open(DbString("empty")), 0);
  EXPECT_EQ(driver().IsOpen(), 0);

  CreateTestDatabase();
  EXPECT_EQ(driver().IsOpen(), 1);
  EXPECT_EQ(driver().Open(DbString("missing")), 0);  // the open database is closed first
  EXPECT_EQ(driver().IsOpen(), 0);
}

TEST_F(FileDbDriverTest, OpenCreatesMissingTableFiles) {
  CreateTestDatabase();
  driver().Close();
  ASSERT_TRUE(device_.Exists(u"\\tolvena_db\\[t].$tab$"));
  ASSERT_EQ(std::remove(device_.HostPath(u"\\tolvena_db\\[t].$tab$").c_str()), 0);
  ASSERT_EQ(driver().Open(DbString("db")), 1);
  EXPECT_TRUE(device_.Exists(u"\\tolvena_db\\[t].$tab$"));
}

TEST_F(FileDbDriverTest, SmallOperations) {
  DbString query;
  driver().BuildQuery(&query, "[sec_data]", "id = 5");
  EXPECT_EQ(query.View(), "[sec_data]");
  DbRecordSet rs(host_.get());
  EXPECT_EQ(driver().CloseCursor(&rs), 0);  // no database open
  EXPECT_EQ(rs.Execute(DbString("anything")), 0);
  CreateTestDatabase();
  EXPECT_EQ(driver().CloseCursor(nullptr), 0);
  EXPECT_EQ(driver().CloseCursor(&rs), 1);
  EXPECT_EQ(rs.Execute(DbString("[t]")), 0);  // a cursor always needs a record set
}

TEST_F(FileDbDriverTest, TableNamesMatchExactly) {
  CreateTestDatabase();
  DbRecordSet rs(host_.get());
  EXPECT_EQ(rs.OpenTable("[t] ", nullptr), 0);
  EXPECT_EQ(rs.OpenTable("[T]", nullptr), 0);
  EXPECT_EQ(rs.OpenTable("[t]", nullptr), 1);
  EXPECT_EQ(rs.ColumnCount(), 2u);
  EXPECT_EQ(rs.ColumnDef(1)->Name().View(), "name");
}

TEST_F(FileDbDriverTest, ATableNotOfWholeSlotsDoesNotOpen) {
  CreateTestDatabase();
  SetTableBytes(Slot(1, "a") + "x");
  DbRecordSet rs(host_.get());
  EXPECT_EQ(rs.OpenTable("[t]", nullptr), 0);
  EXPECT_EQ(rs.IsEOF(), 1);
}

TEST_F(FileDbDriverTest, AnInsertedRowIsItsEncodingPaddedWithZeros) {
  CreateTestDatabase();
  auto rs = OpenT();
  ASSERT_EQ(Add(*rs, 5, "ab"), 1);
  EXPECT_EQ(TableBytes(), "\x05\0\0\0ab\0"s + std::string(29, '\0'));
}

TEST_F(FileDbDriverTest, InsertsKeepTheFirstColumnInOrder) {
  CreateTestDatabase();
  auto rs = OpenT();
  ASSERT_EQ(Add(*rs, 3, "c"), 1);
  ASSERT_EQ(Add(*rs, 1, "a"), 1);
  ASSERT_EQ(Add(*rs, 2, "b"), 1);
  EXPECT_EQ(TableBytes(), Slot(1, "a") + Slot(2, "b") + Slot(3, "c"));
  ASSERT_EQ(Add(*rs, 2, "second b"), 1);    // right after the equal row
  ASSERT_EQ(Add(*rs, -1, "minus one"), 1);  // unsigned: after every non-negative id
  ASSERT_EQ(Add(*rs, 0, "zero"), 1);
  EXPECT_EQ(ReadAll(*rs),
            (Rows{{0, "zero"}, {1, "a"}, {2, "b"}, {2, "second b"}, {3, "c"}, {-1, "minus one"}}));
}

TEST_F(FileDbDriverTest, ManyInsertsInRandomOrderEndSorted) {
  CreateTestDatabase();
  auto rs = OpenT();
  std::vector<int32_t> ids;
  uint32_t seed = 12345;
  // One transaction: the same inserts, synced once.
  ASSERT_EQ(driver().BeginTransaction(), 1);
  for (int i = 0; i < 300; ++i) {
    seed = seed * 1103515245u + 12345u;
    ids.push_back(static_cast<int32_t>((seed >> 8) % 100));
    ASSERT_EQ(Add(*rs, ids.back(), std::to_string(i)), 1);
  }
  ASSERT_EQ(driver().CommitTransaction(), 1);
  const Rows rows = ReadAll(*rs);
  ASSERT_EQ(rows.size(), ids.size());
  for (size_t i = 1; i < rows.size(); ++i) EXPECT_LE(rows[i - 1].first, rows[i].first);
}

// Archives list the rows in the table's order, so most loads bring keys in order with long
// runs of equal keys; a sorted insert places a row after the equal row its search meets, which
// need not be the last one. A bulk load must place every row where the insert one by one does.
TEST_F(FileDbDriverTest, ABulkLoadStoresExactlyWhatRowByRowInsertsStore) {
  CreateTestDatabase();
  std::vector<int32_t> in_order;
  for (int32_t key = 1; key <= 40; ++key) {
    for (int32_t i = 0; i < key * 7 % 23; ++i) in_order.push_back(key);
  }
  std::vector<int32_t> shuffled = in_order;
  uint32_t seed = 7;
  for (size_t i = shuffled.size(); i > 1; --i) {
    seed = seed * 1103515245u + 12345u;
    std::swap(shuffled[i - 1], shuffled[(seed >> 8) % i]);
  }
  for (const std::vector<int32_t>* keys : {&in_order, &shuffled}) {
    auto rs = OpenT();
    // One transaction: the same inserts one by one, synced once.
    ASSERT_EQ(driver().BeginTransaction(), 1);
    ASSERT_EQ(rs->DeleteAll(), 1);
    for (size_t i = 0; i < keys->size(); ++i) ASSERT_EQ(Add(*rs, (*keys)[i], std::to_string(i)), 1);
    ASSERT_EQ(driver().CommitTransaction(), 1);
    const std::string one_by_one = TableBytes();

    ASSERT_EQ(rs->DeleteAll(), 1);
    ASSERT_EQ(rs->BeginBulkLoad(), 1);
    for (size_t i = 0; i < keys->size(); ++i) ASSERT_EQ(Add(*rs, (*keys)[i], std::to_string(i)), 1);
    EXPECT_EQ(TableBytes(), "") << "held back until the end";
    EXPECT_EQ(rs->EndBulkLoad(), 1);
    EXPECT_EQ(TableBytes(), one_by_one);
    EXPECT_EQ(ReadAll(*OpenT()).size(), keys->size());
  }
}

// A load onto rows already stored, in any order, and one that reads on the way (which puts the
// rows held so far into the table first): each must leave what the inserts one by one leave.
TEST_F(FileDbDriverTest, ABulkLoadOverStoredRowsOrReadOnTheWayMatchesRowByRow) {
  CreateTestDatabase();
  std::vector<int32_t> keys;
  uint32_t seed = 99;
  for (int i = 0; i < 1500; ++i) {  // more rows than one chunk of held rows holds
    seed = seed * 1103515245u + 12345u;
    keys.push_back(static_cast<int32_t>((seed >> 8) % 60));
  }
  const size_t stored = 200;          // rows in the table before the load
  const size_t read_at[] = {0, 700};  // 0: no read on the way
  for (size_t read : read_at) {
    auto rs = OpenT();
    ASSERT_EQ(rs->DeleteAll(), 1);
    ASSERT_EQ(driver().BeginTransaction(), 1);
    for (size_t i = 0; i < keys.size(); ++i) ASSERT_EQ(Add(*rs, keys[i], std::to_string(i)), 1);
    ASSERT_EQ(driver().CommitTransaction(), 1);
    const std::string one_by_one = TableBytes();

    ASSERT_EQ(rs->DeleteAll(), 1);
    ASSERT_EQ(driver().BeginTransaction(), 1);
    for (size_t i = 0; i < stored; ++i) ASSERT_EQ(Add(*rs, keys[i], std::to_string(i)), 1);
    ASSERT_EQ(driver().CommitTransaction(), 1);
    ASSERT_EQ(rs->BeginBulkLoad(), 1);
    for (size_t i = stored; i < keys.size(); ++i) {
      if (i == read) {
        ASSERT_EQ(rs->MoveFirst(), 1);
        EXPECT_EQ(rs->RowCount(), read);
      }
      ASSERT_EQ(Add(*rs, keys[i], std::to_string(i)), 1);
    }
    EXPECT_EQ(rs->EndBulkLoad(), 1);
    EXPECT_EQ(TableBytes(), one_by_one) << read;
  }
}

TEST_F(FileDbDriverTest, ClosingTheRecordSetEndsItsBulkLoad) {
  CreateTestDatabase();
  auto rs = OpenT();
  ASSERT_EQ(rs->BeginBulkLoad(), 1);
  ASSERT_EQ(Add(*rs, 2, "b"), 1);
  ASSERT_EQ(Add(*rs, 1, "a"), 1);
  rs.reset();
  EXPECT_EQ(TableBytes(), Slot(1, "a") + Slot(2, "b"));
}

TEST_F(FileDbDriverTest, TextKeysOrderByCollation) {
  DbSchema schema;
  DbTableSchema& table = schema.AddTable(DbString("[n]"));
  table.AddColumn(DbString("name"), DbValueType::Text);
  ASSERT_EQ(driver().CreateDatabase(DbString("db"), schema), 1);
  ASSERT_EQ(driver().Open(DbString("db")), 1);
  DbRecordSet rs(host_.get());
  ASSERT_EQ(rs.OpenTable("[n]", nullptr), 1);
  for (const char* name : {"b", "a", "c"}) {
    ASSERT_EQ(rs.AddNew(), 1);
    rs.FieldByIndex(0)->SetText(name);
    ASSERT_EQ(rs.Update(), 1);
  }
  EXPECT_EQ(
      device_.ReadHostFile(u"\\tolvena_db\\[n].$tab$"),
      "a"s + std::string(17, '\0') + "b" + std::string(17, '\0') + "c" + std::string(17, '\0'));
}

TEST_F(FileDbDriverTest, ARowLongerThanItsSlotIsNeverStored) {
  CreateTestDatabase();
  SetTableBytes(Slot(1, "a") + Slot(3, "c"));
  auto rs = OpenT();
  // 4 bytes of id + 31 characters + terminator = 36 fits; one more does not.
  ASSERT_EQ(Add(*rs, 2, std::string(32, 'x')), 0);
  EXPECT_EQ(TableBytes(), Slot(1, "a") + Slot(3, "c"));
  ASSERT_EQ(Add(*rs, 2, std::string(31, 'x')), 1);
  EXPECT_EQ(TableBytes(), Slot(1, "a") + Slot(2, std::string(31, 'x')) + Slot(3, "c"));

  ASSERT_NE(rs->CurrentRecord(-1), nullptr);  // row 0
  rs->FieldByName("name")->SetText(std::string(32, 'y').c_str());
  EXPECT_EQ(rs->Update(), 0);
  EXPECT_EQ(TableBytes(), Slot(1, "a") + Slot(2, std::string(31, 'x')) + Slot(3, "c"));
}

TEST_F(FileDbDriverTest, OverwriteKeepsTheRestOfTheSlot) {
  CreateTestDatabase();
  SetTableBytes(Slot(1, "long name") + Slot(2, "b"));
  auto rs = OpenT();
  ASSERT_NE(rs->CurrentRecord(-1), nullptr);
  rs->FieldByName("name")->SetText("z");
  ASSERT_EQ(rs->Update(), 1);
  std::string expected = Slot(1, "long name");
  expected.replace(4, 2, "z\0"s);
  EXPECT_EQ(TableBytes(), expected + Slot(2, "b"));
  EXPECT_EQ(ReadAll(*rs), (Rows{{1, "z"}, {2, "b"}}));
}

TEST_F(FileDbDriverTest, OverwritePastTheLastSlotFails) {
  CreateTestDatabase();
  SetTableBytes(Slot(1, "a"));
  auto rs = OpenT();
  TableFile* table = static_cast<TableFile*>(rs->DriverState());
  table->SetCurrentOffset(36);
  EXPECT_EQ(driver().Write(rs.get(), kWriteOverwrite, 1), 0);
  EXPECT_EQ(TableBytes(), Slot(1, "a"));
}

TEST_F(FileDbDriverTest, DeletingAndFetchingRows) {
  CreateTestDatabase();
  SetTableBytes(Slot(1, "a") + Slot(2, "b") + Slot(3, "c") + Slot(4, "d"));
  auto rs = OpenT();
  ASSERT_EQ(rs->Move(2), 1);
  ASSERT_EQ(rs->Delete(), 1);
  EXPECT_EQ(rs->FieldByName("id") != nullptr, true);
  ASSERT_NE(rs->CurrentRecord(-1), nullptr);
  EXPECT_EQ(rs->FieldByName("id")->AsInt32(), 3);
  ASSERT_EQ(rs->MoveLast(), 1);
  ASSERT_EQ(rs->Delete(), 1);  // the last slot
  EXPECT_EQ(TableBytes(), Slot(1, "a") + Slot(3, "c"));
  ASSERT_EQ(rs->MoveLast(), 1);
  ASSERT_NE(rs->CurrentRecord(-1), nullptr);
  EXPECT_EQ(rs->FieldByName("id")->AsInt32(), 3);
  ASSERT_EQ(rs->MovePrevious(), 1);
  ASSERT_NE(rs->CurrentRecord(-1), nullptr);
  EXPECT_EQ(rs->FieldByName("id")->AsInt32(), 1);
  EXPECT_EQ(driver().Fetch(rs.get(), 9, 0, -1), 0);
}

TEST_F(FileDbDriverTest, FetchDecodesOnlyTheColumnsAsked) {
  CreateTestDatabase();
  SetTableBytes(Slot(7, "g"));
  auto rs = OpenT();
  ASSERT_EQ(driver().Fetch(rs.get(), kMoveFirst, 0, 0), 1);  // hint 0: one column
  EXPECT_EQ(rs->FieldByName("id")->AsInt32(), 7);
  EXPECT_STREQ(rs->FieldByName("name")->CStr(), "");
  ASSERT_EQ(driver().Fetch(rs.get(), kMoveFirst, 0, -1), 1);
  EXPECT_STREQ(rs->FieldByName("name")->CStr(), "g");
}

TEST_F(FileDbDriverTest, DeleteAllRowsEmptiesTheFile) {
  CreateTestDatabase();
  SetTableBytes(Slot(1, "a") + Slot(2, "b"));
  auto rs = OpenT();
  EXPECT_EQ(rs->RowCount(), 2u);
  ASSERT_EQ(rs->DeleteAll(), 1);
  EXPECT_EQ(TableBytes(), "");
  rs->Close();
  EXPECT_EQ(driver().DeleteAllRows(rs.get()), 0);  // no table open
  rs = OpenT();
  EXPECT_EQ(rs->RowCount(), 0u);
}

TEST_F(FileDbDriverTest, TwoRecordSetsOnOneTableSeeEachOthersWrites) {
  CreateTestDatabase();
  SetTableBytes(Slot(1, "a") + Slot(2, "b") + Slot(3, "c"));
  auto reader = OpenT();
  auto writer = OpenT();
  ASSERT_EQ(reader->MoveLast(), 1);
  ASSERT_NE(reader->CurrentRecord(-1), nullptr);  // the window now holds every row
  ASSERT_EQ(writer->MoveLast(), 1);
  ASSERT_NE(writer->CurrentRecord(-1), nullptr);
  writer->FieldByName("name")->SetText("C");
  ASSERT_EQ(writer->Update(), 1);
  ASSERT_EQ(reader->MoveFirst(), 1);
  ASSERT_EQ(reader->MoveLast(), 1);
  ASSERT_NE(reader->CurrentRecord(-1), nullptr);
  EXPECT_STREQ(reader->FieldByName("name")->CStr(), "C");
}

TEST_F(FileDbDriverTest, CreateDatabaseWritesTheCatalogAndEmptyTables) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\tolvena_db\\[t].$tab$", "old rows"));
  CreateTestDatabase();
  EXPECT_EQ(device_.ReadHostFile(u"\\tolvena_db\\db.$db$"), "[t]\0\x02\0id\0\x03\0name\0\x08\0"s);
  EXPECT_EQ(TableBytes(), "");
}

TEST_F(FileDbDriverTest, CreateDatabaseOfAnExistingOneTouchesNothing) {
  CreateTestDatabase();
  SetTableBytes(Slot(1, "a"));
  const std::string catalog = device_.ReadHostFile(u"\\tolvena_db\\db.$db$");
  DbSchema other;
  other.AddTable(DbString("[t]")).AddColumn(DbString("x"), DbValueType::Int32);
  EXPECT_EQ(driver().CreateDatabase(DbString("db"), other), 0);
  EXPECT_EQ(device_.ReadHostFile(u"\\tolvena_db\\db.$db$"), catalog);
  EXPECT_EQ(TableBytes(), Slot(1, "a"));
  EXPECT_EQ(driver().CreateDatabase(DbString(""), other), 0);
}

TEST_F(FileDbDriverTest, ACreateThatStopsLeavesNoDatabase) {
  DbSchema schema;
  schema.AddTable(DbString("[a]")).AddColumn(DbString("id"), DbValueType::Int32);
  schema.AddTable(DbString("[b]"));  // no columns: creation stops here
  schema.AddTable(DbString("[c]")).AddColumn(DbString("id"), DbValueType::Int32);
  EXPECT_EQ(driver().CreateDatabase(DbString("db"), schema), 0);
  EXPECT_FALSE(device_.Exists(u"\\tolvena_db\\db.$db$"));
  EXPECT_FALSE(device_.Exists(u"\\tolvena_db\\[a].$tab$"));
  EXPECT_FALSE(device_.Exists(u"\\tolvena_db\\[c].$tab$"));

  EXPECT_EQ(driver().CreateDatabase(DbString("empty"), DbSchema()), 1);
  EXPECT_EQ(device_.ReadHostFile(u"\\tolvena_db\\empty.$db$"), "");
  EXPECT_EQ(driver().Open(DbString("empty")), 0);
}

TEST_F(FileDbDriverTest, DeleteDatabaseRemovesItsTablesAndCatalog) {
  CreateTestDatabase();
  driver().Close();
  ASSERT_TRUE(device_.WriteHostFile(u"\\tolvena_db\\[other].$tab$", "x"));
  EXPECT_EQ(driver().DeleteDatabase(DbString("db")), 1);
  EXPECT_FALSE(device_.Exists(u"\\tolvena_db\\db.$db$"));
  EXPECT_FALSE(device_.Exists(u"\\tolvena_db\\[t].$tab$"));
  EXPECT_TRUE(device_.Exists(u"\\tolvena_db\\[other].$tab$"));
  EXPECT_EQ(driver().DeleteDatabase(DbString("db")), 1);  // a missing one is no error
  EXPECT_EQ(driver().DeleteDatabase(DbString("")), 0);
}

// A delete that the disk refuses part-way is a failure: the catalog stays, naming what is left,
// so that deleting again finishes the work.
TEST_F(FileDbDriverTest, DeleteDatabaseThatFailsPartWayAnswersZero) {
  const std::u16string kCatalog = u"\\tolvena_db\\db.$db$";
  const std::u16string kTable = u"\\tolvena_db\\[t].$tab$";
  int failures = 0;
  for (int n = 1;; ++n) {
    ASSERT_LT(n, 10);
    UseEnv(env_);
    CreateTestDatabase();
    driver().Close();
    FaultInjectionEnv faulty(&env_);
    faulty.FailNth(platform::FileOp::kDelete, n, platform::winerr::kAccessDenied);
    const int result = FileDbDriver(faulty).DeleteDatabase(DbString("db"));
    SCOPED_TRACE(n);
    if (result == 1) {
      // Also when only the delete of a file that was not there failed.
      EXPECT_FALSE(device_.Exists(kCatalog));
      EXPECT_FALSE(device_.Exists(kTable));
      if (faulty.InjectedCount() == 0) break;
      continue;
    }
    ++failures;
    EXPECT_TRUE(device_.Exists(kCatalog)) << "the catalog names what is left";
    EXPECT_EQ(FileDbDriver(env_).DeleteDatabase(DbString("db")), 1);
    EXPECT_FALSE(device_.Exists(kCatalog));
    EXPECT_FALSE(device_.Exists(kTable));
  }
  EXPECT_GE(failures, 2) << "the table and the catalog";
}

// ---- The finance tables, end to end ----

DbSchema FinanceSchema() {
  DbSchema schema;
  const auto add = [&](const char* name,
                       std::initializer_list<std::pair<const char*, DbValueType>> columns) {
    DbTableSchema& table = schema.AddTable(DbString(name));
    for (const auto& [column, type] : columns) table.AddColumn(DbString(column), type);
  };
  constexpr DbValueType kInt = DbValueType::Int32;
  constexpr DbValueType kText = DbValueType::Text;
  add("[sec_consumeritems]", {{"id", kInt},
                              {"descr", kText},
                              {"category", kText},
                              {"price", kInt},
                              {"type", kInt},
                              {"currency_id", kInt}});
  add("[sec_data]", {{"consumer_id", kInt},
                     {"curdate", kInt},
                     {"price", kInt},
                     {"count", kInt},
                     {"type", kInt},
                     {"note", kText},
                     {"firm_id", kInt},
                     {"currency_id", kInt}});
  add("[sec_firms]", {{"id", kInt}, {"firmName", kText}, {"note", kText}, {"currency_id", kInt}});
  return schema;
}

TEST_F(FileDbDriverTest, AFinanceDatabaseKeepsWhatWasWrittenAcrossAReopen) {
  ASSERT_EQ(driver().CreateDatabase(DbString("TOLVENA_Ledgerix_1"), FinanceSchema()), 1);
  ASSERT_EQ(driver().Open(DbString("TOLVENA_Ledgerix_1")), 1);
  const DbString cash = FromUtf8("Наличные");
  const DbString card = FromUtf8("Кредитная карта");
  {
    DbRecordSet firms(host_.get());
    ASSERT_EQ(firms.OpenTable("[sec_firms]", nullptr), 1);
    for (const auto& [id, name] : {std::pair{2, card}, std::pair{1, cash}}) {
      ASSERT_EQ(firms.AddNew(), 1);
      firms.FieldByName("id")->SetInt32(id);
      firms.FieldByName("firmName")->SetText(name);
      firms.FieldByName("note")->SetText("");
      firms.FieldByName("currency_id")->SetInt32(0);
      ASSERT_EQ(firms.Update(), 1);
    }
    DbRecordSet data(host_.get());
    ASSERT_EQ(data.OpenTable("[sec_data]", nullptr), 1);
    for (int32_t kind : {4, 1, 3, 1, 2}) {
      ASSERT_EQ(data.AddNew(), 1);
      data.FieldByName("consumer_id")->SetInt32(kind);
      data.FieldByName("curdate")->SetInt32(150308);
      data.FieldByName("price")->SetInt32(200 * 256);
      data.FieldByName("count")->SetInt32(256 * kind);
      data.FieldByName("type")->SetInt32(2);
      data.FieldByName("note")->SetText(("note " + std::to_string(kind)).c_str());
      data.FieldByName("firm_id")->SetInt32(1);
      data.FieldByName("currency_id")->SetInt32(0);
      ASSERT_EQ(data.Update(), 1);
    }
  }
  ASSERT_EQ(driver().Close(), 1);
  host_->SetDriver(std::make_unique<FileDbDriver>(env_));
  ASSERT_EQ(driver().Open(DbString("TOLVENA_Ledgerix_1")), 1);

  const std::string firm_bytes = device_.ReadHostFile(u"\\tolvena_db\\[sec_firms].$tab$");
  const auto firm_slot = [](int32_t id, const DbString& name) {
    std::string slot = Int32Bytes(id) + std::string(name.View()) + '\0' + '\0' + Int32Bytes(0);
    return slot + std::string(72 - slot.size(), '\0');
  };
  EXPECT_EQ(firm_bytes, firm_slot(1, cash) + firm_slot(2, card));

  DbRecordSet data(host_.get());
  ASSERT_EQ(data.OpenTable("[sec_data]", nullptr), 1);
  ASSERT_EQ(data.RowCount(), 5u);
  EXPECT_EQ(device_.ReadHostFile(u"\\tolvena_db\\[sec_data].$tab$").size(), 5u * 144);
  std::vector<int32_t> kinds;
  std::vector<std::string> notes;
  for (data.MoveFirst(); !data.IsEOF(); data.MoveNext()) {
    ASSERT_NE(data.CurrentRecord(-1), nullptr);
    kinds.push_back(data.FieldByName("consumer_id")->AsInt32());
    notes.push_back(data.FieldByName("note")->CStr());
    EXPECT_EQ(data.FieldByName("count")->AsInt32(), 256 * kinds.back());
    EXPECT_EQ(data.FieldByName("curdate")->AsInt32(), 150308);
  }
  EXPECT_EQ(kinds, (std::vector<int32_t>{1, 1, 2, 3, 4}));
  EXPECT_EQ(notes, (std::vector<std::string>{"note 1", "note 1", "note 2", "note 3", "note 4"}));

  DbRecordSet kinds_table(host_.get());
  ASSERT_EQ(kinds_table.OpenTable("[sec_consumeritems]", nullptr), 1);
  EXPECT_EQ(kinds_table.RowCount(), 0u);
  EXPECT_EQ(kinds_table.IsEOF(), 1);
}

// ---- Failures while writing ----

// The database "db" of two tables, "[t]" of 3000 rows and "[u]" of 50, both (id Int32, name
// Text). Each change runs with the n-th disk change failing (or the n-th write cut short), n = 1,
// 2, ..., until it runs through untouched. Whatever it answers, the database as the next start
// opens it must hold the tables as they were (after 0) or exactly as the change makes them
// without failures (after 1).
class FileDbDriverFaultTest : public FileDbDriverTest {
 protected:
  struct Tables {
    std::string t;
    std::string u;
    bool operator==(const Tables&) const = default;
  };
  // A change calls arm() where failures are to start counting, and may call disarm() where
  // they are to stop.
  struct Arm {
    std::function<void()> arm;
    std::function<void()> disarm;
    void operator()() const { arm(); }
  };

  static std::string Rows(int count) {
    std::string bytes;
    for (int i = 1; i <= count; ++i) bytes += Slot(10 * i, "row " + std::to_string(i));
    return bytes;
  }

  void SetUp() override {
    DbSchema schema;
    for (const char* name : {"[t]", "[u]"}) {
      DbTableSchema& table = schema.AddTable(DbString(name));
      table.AddColumn(DbString("id"), DbValueType::Int32);
      table.AddColumn(DbString("name"), DbValueType::Text);
    }
    ASSERT_EQ(driver().CreateDatabase(DbString("db"), schema), 1);
  }

  std::unique_ptr<DbRecordSet> OpenU() {
    auto rs = std::make_unique<DbRecordSet>(host_.get());
    EXPECT_EQ(rs->OpenTable("[u]", nullptr), 1);
    return rs;
  }
  Tables Stored() const { return {TableBytes(), device_.ReadHostFile(kUPath)}; }
  void Store(const Tables& tables) {
    SetTableBytes(tables.t);
    ASSERT_TRUE(device_.WriteHostFile(kUPath, tables.u));
  }
  // Where two table images part, for messages that do not print megabytes.
  static std::string Difference(const Tables& got, const Tables& want) {
    for (const auto& [a, b, name] :
         {std::tuple{&got.t, &want.t, "[t]"}, {&got.u, &want.u, "[u]"}}) {
      if (*a == *b) continue;
      const auto at = std::mismatch(a->begin(), a->end(), b->begin(), b->end()).first - a->begin();
      return std::string(name) + ": " + std::to_string(a->size()) + " bytes, expected " +
             std::to_string(b->size()) + ", first difference at " + std::to_string(at);
    }
    return "";
  }

  // Runs `change(arm)` once without failures for the tables it makes, then with every failure
  // in turn. `failed_state` computes what a failed run must leave, when that is not `before`.
  enum class Fault { kFailedChange, kShortWrite };

  template <typename Change>
  void EveryFailureLeavesOldOrNew(Change change,
                                  std::function<Tables(const Tables&)> failed_state = nullptr,
                                  std::vector<Fault> faults = {Fault::kFailedChange,
                                                               Fault::kShortWrite}) {
    const Tables before{Rows(3000), Rows(50)};
    Store(before);
    ASSERT_EQ(driver().Open(DbString("db")), 1);
    ASSERT_EQ(change(Arm{[] {}, [] {}}), 1) << "the change itself fails";
    const Tables after = Stored();
    ASSERT_NE(Difference(after, before), "") << "the change changes nothing";
    const Tables failed = failed_state ? failed_state(before) : before;
    for (const Fault fault : faults) {
      const bool short_writes = fault == Fault::kShortWrite;
      SCOPED_TRACE(short_writes ? "a write cut short" : "a disk change failing");
      int failures = 0;
      for (int n = 1;; ++n) {
        ASSERT_LT(n, 400) << "the change never ran through";
        Store(before);
        int result = 0;
        bool injected = false;
        {
          FaultInjectionEnv faulty(&env_);
          UseEnv(faulty);
          ASSERT_EQ(driver().Open(DbString("db")), 1);
          auto arm = [&] {
            faulty.Reset();
            if (short_writes) {
              faulty.ShortWriteNth(n);
            } else {
              faulty.FailNthMutation(n, platform::winerr::kDiskFull);
            }
          };
          auto disarm = [&] {
            injected = faulty.InjectedCount() > 0;
            faulty.Reset();
          };
          result = change(Arm{arm, disarm});
          injected = injected || faulty.InjectedCount() > 0;
          UseEnv(env_);  // the driver is closed while its Env still exists
        }
        ASSERT_EQ(driver().Open(DbString("db")), 1) << "n = " << n;  // as the next start does
        const Tables now = Stored();
        if (!injected) {
          EXPECT_EQ(result, 1) << "n = " << n;
          EXPECT_EQ(Difference(now, after), "") << "n = " << n;
          break;
        }
        EXPECT_EQ(Difference(now, result == 1 ? after : failed), "")
            << "n = " << n << ", answered " << result;
        if (result == 0) ++failures;
      }
      EXPECT_GT(failures, 0) << "no failure made the change fail";
    }
  }

  // Writes to both tables, each kind of write, committed together.
  static int WriteBothTables(FileDbDriver& driver, DbRecordSet& t, DbRecordSet& u) {
    auto rename = [](DbRecordSet& rs, uint32_t row, const char* name) {
      if (!rs.Move(row) || rs.CurrentRecord(-1) == nullptr) return 0;
      rs.FieldByName("name")->SetText(name);
      return rs.Update();
    };
    if (!driver.BeginTransaction()) return 0;
    const bool written = Add(t, 45, "new") && u.Move(1) && u.Delete() && rename(t, 2000, "late") &&
                         Add(u, 1, "first");
    if (!written) {
      driver.RollbackTransaction();
      return 0;
    }
    return driver.CommitTransaction();
  }

  static constexpr char16_t kUPath[] = u"\\tolvena_db\\[u].$tab$";
};

TEST_F(FileDbDriverFaultTest, AFailedInsertLeavesTheTableAsItWas) {
  EveryFailureLeavesOldOrNew([&](const Arm& arm) {
    auto rs = OpenT();
    arm();
    return Add(*rs, 45, "new");
  });
}

TEST_F(FileDbDriverFaultTest, AFailedDeleteLeavesTheTableAsItWas) {
  EveryFailureLeavesOldOrNew([&](const Arm& arm) {
    auto rs = OpenT();
    if (!rs->Move(5)) return -1;
    arm();
    return rs->Delete();
  });
}

TEST_F(FileDbDriverFaultTest, AFailedOverwriteLeavesTheTableAsItWas) {
  EveryFailureLeavesOldOrNew([&](const Arm& arm) {
    auto rs = OpenT();
    if (!rs->Move(5) || rs->CurrentRecord(-1) == nullptr) return -1;
    rs->FieldByName("name")->SetText("changed");
    arm();
    return rs->Update();
  });
}

TEST_F(FileDbDriverFaultTest, AFailedBulkLoadLeavesTheTableAsItWas) {
  EveryFailureLeavesOldOrNew([&](const Arm& arm) {
    auto rs = OpenT();
    arm();
    if (!rs->BeginBulkLoad() || !Add(*rs, 45, "new") || !Add(*rs, 99999, "last")) return 0;
    return rs->EndBulkLoad();
  });
}

TEST_F(FileDbDriverFaultTest, AFailedEmptyingLeavesTheTableAsItWas) {
  EveryFailureLeavesOldOrNew([&](const Arm& arm) {
    auto rs = OpenT();
    arm();
    return rs->DeleteAll();
  });
}

TEST_F(FileDbDriverFaultTest, AFailedTransactionOverTwoTablesLeavesBothAsTheyWere) {
  EveryFailureLeavesOldOrNew([&](const Arm& arm) {
    auto t = OpenT();
    auto u = OpenU();
    arm();
    return WriteBothTables(driver(), *t, *u);
  });
}

TEST_F(FileDbDriverFaultTest, AFailedCommitLeavesBothTablesAsTheyWere) {
  EveryFailureLeavesOldOrNew(
      [&](const Arm& arm) {
        auto t = OpenT();
        auto u = OpenU();
        if (!driver().BeginTransaction() || !Add(*t, 45, "new") || !u->Move(3) || !u->Delete() ||
            !t->DeleteAll() || !Add(*t, 7, "only")) {
          return -1;
        }
        t.reset();
        u.reset();
        arm();
        return driver().CommitTransaction();
      },
      nullptr, {Fault::kFailedChange});  // a commit writes nothing: it syncs and cuts
}

// Inside a transaction a failed write takes back only itself: the writes before it are
// committed.
TEST_F(FileDbDriverFaultTest, AFailedWriteInsideATransactionTakesBackOnlyItself) {
  auto kept_only = [&](const Tables& before) {
    Tables kept = before;
    kept.u = Slot(5, "kept") + before.u;
    return kept;
  };
  EveryFailureLeavesOldOrNew(
      [&](const Arm& arm) {
        auto t = OpenT();
        auto u = OpenU();
        if (!driver().BeginTransaction() || !Add(*u, 5, "kept")) return -1;
        arm();
        const int inserted = Add(*t, 45, "new");
        arm.disarm();
        if (driver().CommitTransaction() != 1) return -1;
        return inserted;
      },
      kept_only);
}

}  // namespace
}  // namespace ledgerix
