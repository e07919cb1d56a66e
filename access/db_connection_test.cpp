#include "access/db_connection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/driver_factory.h"
#include "access/sql_text_driver.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

constexpr DriverKind kTestKind = static_cast<DriverKind>(9);

// What the test driver saw; it outlives the driver, so destruction can be observed.
struct DriverLog {
  std::vector<std::string> opened;  // the connection strings handed to Open
  int closes = 0;
  bool destroyed = false;
};

// A driver that opens any database (unless told not to) and one table of two rows.
class RecordingDriver : public SqlTextDriver {
 public:
  RecordingDriver(DriverLog* log, bool accept) : log_(log), accept_(accept) {}
  ~RecordingDriver() override { log_->destroyed = true; }
  int Open(const DbString& connection_string) override {
    log_->opened.emplace_back(connection_string.View());
    return open_ = accept_;
  }
  int Close() override {
    ++log_->closes;
    open_ = false;
    return 1;
  }
  int IsOpen() override { return open_; }
  int OpenCursor(const DbString&, DbRecordSet* record_set, uint32_t* out_row_count) override {
    if (record_set == nullptr) return 0;
    std::vector<std::unique_ptr<DbColumnDef>> defs;
    defs.push_back(std::make_unique<DbColumnDef>("id", DbValueType::Int32));
    record_set->DefineColumns(std::move(defs));
    *out_row_count = 2;
    return 1;
  }
  int CloseCursor(DbRecordSet*) override { return 1; }

 private:
  DriverLog* log_;
  bool accept_;
  bool open_ = false;
};

class DbConnectionTest : public ::testing::Test {
 protected:
  // A connection whose kind 9 makes a recording driver (refusing every open when `accept` is
  // false); the other kinds make what the program makes.
  std::unique_ptr<DbConnection> Connect(DriverKind kind, bool accept = true) {
    auto factory = [this, accept](DriverKind k, platform::Env& env) -> std::unique_ptr<DbDriver> {
      if (k != kTestKind) return CreateDriver(k, env);
      log_ = DriverLog{};
      return std::make_unique<RecordingDriver>(&log_, accept);
    };
    return std::make_unique<DbConnection>(device_.env(), kind, factory);
  }

  testing::TempDeviceRoot device_;
  DriverLog log_;
};

TEST_F(DbConnectionTest, OpenAddsTheUserAndPasswordClauses) {
  auto connection = Connect(kTestKind);
  EXPECT_EQ(connection->Open("db", "user", "secret"), 1);
  EXPECT_EQ(connection->Open("db", "", "secret"), 1);
  EXPECT_EQ(connection->Open("db", "user", ""), 1);
  EXPECT_EQ(log_.opened, (std::vector<std::string>{"db;UID=user;PWD=secret", "db", "db;UID=user"}));
  EXPECT_EQ(connection->ConnectionString().View(), "db;UID=user");
  EXPECT_EQ(connection->UserName().View(), "user");
}

TEST_F(DbConnectionTest, OpenIsOnlyAsGoodAsTheDriversAnswer) {
  auto refused = Connect(kTestKind, false);
  EXPECT_EQ(refused->Open("db", "", ""), 0);
  EXPECT_EQ(refused->IsOpen(), 0);

  auto connection = Connect(kTestKind);
  ASSERT_EQ(connection->Open("db", "", ""), 1);
  connection->Driver()->Close();  // the driver closed behind the connection's back
  EXPECT_EQ(connection->IsOpen(), 0);
}

TEST_F(DbConnectionTest, CloseEmptiesTheTextsAndClosesTheDriver) {
  auto connection = Connect(kTestKind);
  ASSERT_EQ(connection->Open("db", "user", "pw"), 1);
  EXPECT_EQ(connection->Close(), 1);
  EXPECT_EQ(log_.closes, 1);
  EXPECT_EQ(connection->IsOpen(), 0);
  EXPECT_EQ(connection->ConnectionString().Length(), 0u);
  EXPECT_EQ(connection->UserName().Length(), 0u);
  auto driverless = Connect(static_cast<DriverKind>(5));
  EXPECT_EQ(driverless->Close(), 1);
}

TEST_F(DbConnectionTest, SetKindReplacesTheDriver) {
  auto connection = Connect(kTestKind);
  ASSERT_EQ(connection->Open("db", "", ""), 1);
  EXPECT_EQ(connection->SetKind(DriverKind::kSqlText), 1);
  EXPECT_TRUE(log_.destroyed);
  EXPECT_EQ(connection->Kind(), DriverKind::kSqlText);
  EXPECT_EQ(connection->IsOpen(), 0);
  EXPECT_EQ(connection->SetKind(static_cast<DriverKind>(5)), 0);
  EXPECT_EQ(connection->Driver(), nullptr);
  EXPECT_EQ(connection->Kind(), static_cast<DriverKind>(5));
}

TEST_F(DbConnectionTest, PlaceholderKindsNeverOpen) {
  for (DriverKind kind : {DriverKind::kNull, DriverKind::kNull4, static_cast<DriverKind>(5),
                          static_cast<DriverKind>(-1)}) {
    SCOPED_TRACE(static_cast<int>(kind));
    DbConnection connection(device_.env(), kind);
    EXPECT_EQ(connection.Driver() != nullptr,
              kind == DriverKind::kNull || kind == DriverKind::kNull4);
    EXPECT_EQ(connection.Open("db", "user", "pw"), 0);
    EXPECT_EQ(connection.IsOpen(), 0);
    if (connection.Driver() != nullptr) {
      DbString text("x");
      connection.Driver()->BuildQuery(&text, "[sec_firms]", "id = 1");
      EXPECT_EQ(text.Length(), 0u);
    }
  }
}

TEST_F(DbConnectionTest, SqlTextKindBuildsSelectsButOpensNothing) {
  DbConnection connection(device_.env(), DriverKind::kSqlText);
  DbDriver* driver = connection.Driver();
  ASSERT_NE(driver, nullptr);
  DbString text;
  driver->BuildQuery(&text, "[sec_firms]", "");
  EXPECT_EQ(text.View(), "SELECT * FROM [sec_firms];");
  driver->BuildQuery(&text, "[sec_firms]", nullptr);
  EXPECT_EQ(text.View(), "SELECT * FROM [sec_firms];");
  driver->BuildQuery(&text, "[sec_firms]", "id = 3");
  EXPECT_EQ(text.View(), "SELECT * FROM [sec_firms] WHERE id = 3;");

  EXPECT_EQ(connection.Open("db", "", ""), 0);
  auto record_set = connection.CreateRecordSet(1);
  ASSERT_NE(record_set, nullptr);
  EXPECT_EQ(record_set->OpenTable("[sec_firms]", nullptr), 0);
  EXPECT_EQ(record_set->IsEOF(), 1);
  EXPECT_EQ(record_set->Execute(DbString("DELETE FROM [sec_firms];")), 0);
}

TEST_F(DbConnectionTest, RecordSetsOfAClosedConnectionAreAtTheEnd) {
  auto connection = Connect(kTestKind);
  EXPECT_EQ(connection->CreateRecordSet(0), nullptr);
  auto record_set = connection->CreateRecordSet(1);
  ASSERT_NE(record_set, nullptr);
  EXPECT_EQ(record_set->Host(), connection.get());
  EXPECT_EQ(record_set->OpenTable("[sec_firms]", nullptr), 0);  // not open yet
  ASSERT_EQ(connection->Open("db", "", ""), 1);
  ASSERT_EQ(record_set->OpenTable("[sec_firms]", nullptr), 1);
  EXPECT_EQ(record_set->IsEOF(), 0);
  EXPECT_EQ(record_set->IsFileDatabase(), 0);
  connection->Close();
  EXPECT_EQ(record_set->IsEOF(), 1);
  EXPECT_EQ(record_set->MoveNext(), 0);
  EXPECT_EQ(record_set->CurrentRecord(-1), nullptr);
  EXPECT_EQ(record_set->FieldByName("id"), nullptr);
}

TEST_F(DbConnectionTest, WholeDatabasesAreCreatedAndDeletedThroughTheDriversThatKeepThem) {
  DbSchema schema;
  schema.AddTable("[t]").AddColumn("id", DbValueType::Int32);
  for (DriverKind kind : {DriverKind::kObjectStore, DriverKind::kFileDatabase}) {
    SCOPED_TRACE(static_cast<int>(kind));
    DbConnection connection(device_.env(), kind);
    EXPECT_EQ(connection.Open("db", "", ""), 0);
    ASSERT_EQ(connection.CreateDatabase("db", schema), 1);
    // A database of that name exists now and is left alone.
    EXPECT_EQ(connection.CreateDatabase("db", schema), 0);
    ASSERT_EQ(connection.Open("db", "", ""), 1);
    auto record_set = connection.CreateRecordSet(1);
    EXPECT_EQ(record_set->OpenTable("[t]", nullptr), 1);
    record_set.reset();
    connection.Close();
    EXPECT_EQ(connection.DeleteDatabase("db"), 1);
    EXPECT_EQ(connection.Open("db", "", ""), 0);
  }
  DbConnection placeholder(device_.env(), DriverKind::kNull);
  EXPECT_EQ(placeholder.CreateDatabase("db", schema), 0);
  EXPECT_EQ(placeholder.DeleteDatabase("db"), 0);
}

}  // namespace
}  // namespace ledgerix
