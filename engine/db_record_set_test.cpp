#include "engine/db_record_set.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/driver_host_stub.h"

namespace ledgerix {
namespace {

using Row = std::vector<DbValue>;

// What the fake driver was asked to do, one entry per call.
struct Call {
  std::string op;
  int code = 0;        // move code or write mode
  uint32_t index = 0;  // row index or row number
  int hint = 0;
};

class FakeState : public DbDriverState {
 public:
  explicit FakeState(std::vector<std::string>* appended, bool* fail)
      : appended_(appended), fail_(fail) {}
  int AppendRow(const DbString& row) override {
    if (*fail_) return 0;
    appended_->emplace_back(row.View());
    return 1;
  }

 private:
  std::vector<std::string>* appended_;
  bool* fail_;
};

// An in-memory table "[t]" with columns id (Int32) and name (Text). Its cursor moves as a
// real driver's does, so a record set that asks for the wrong move reads the wrong row.
class FakeDriver : public DbDriver {
 public:
  int Open(const DbString&) override { return open = true; }
  int Close() override { return !(open = false); }
  int OpenCursor(const DbString& query, DbRecordSet* rs, uint32_t* out_count) override {
    calls.push_back({"OpenCursor" + std::string(rs == nullptr ? "(null)" : "")});
    if (rs == nullptr) return execute_result;
    if (query.View() != "[t]") return 0;
    std::vector<std::unique_ptr<DbColumnDef>> defs;
    defs.push_back(std::make_unique<DbColumnDef>("id", DbValueType::Int32, 7));
    defs.push_back(std::make_unique<DbColumnDef>("name", DbValueType::Text));
    rs->DefineColumns(std::move(defs));
    rs->SetDriverState(std::make_unique<FakeState>(&appended, &fail_append));
    *out_count = static_cast<uint32_t>(rows.size());
    cursor = 0;
    return 1;
  }
  int Fetch(DbRecordSet* rs, int code, uint32_t index, int hint) override {
    calls.push_back({"Fetch", code, index, hint});
    const int n = static_cast<int>(rows.size());
    const int moves[] = {0, cursor + 1, 0, n - 1, static_cast<int>(index), cursor - 1};
    cursor = moves[code];
    if (fail_fetch || cursor < 0 || cursor >= n) return 0;
    for (uint32_t i = 0; i < 2; ++i) *rs->FieldByIndex(i) = rows[cursor][i];
    return 1;
  }
  int Write(DbRecordSet* rs, int mode, uint32_t row_number) override {
    calls.push_back({"Write", mode, row_number});
    if (fail_write) return 0;
    if (mode == kWriteDelete) {
      rows.erase(rows.begin() + cursor);
      return 1;
    }
    Row row{*rs->FieldByIndex(0), *rs->FieldByIndex(1)};
    if (mode == kWriteOverwrite) {
      rows[cursor] = row;
    } else {
      rows.push_back(row);  // the cursor is left on the new row
      cursor = static_cast<int>(rows.size()) - 1;
    }
    return 1;
  }
  int CloseCursor(DbRecordSet* rs) override {
    calls.push_back({"CloseCursor"});
    rs->TakeDriverState();
    return 1;
  }
  int IsOpen() override { return open; }
  void BuildQuery(DbString* out, const char* table, const char* condition) override {
    calls.push_back({"BuildQuery:" + std::string(condition == nullptr ? "" : condition)});
    *out = DbString(table);
  }
  int DeleteAllRows(DbRecordSet*) override {
    calls.push_back({"DeleteAllRows"});
    if (fail_write) return 0;
    rows.clear();
    return 1;
  }
  int BeginBulkLoad(DbRecordSet*) override {
    calls.push_back({"BeginBulkLoad"});
    return bulk_result;
  }
  int EndBulkLoad(DbRecordSet*) override {
    calls.push_back({"EndBulkLoad"});
    return end_bulk_result;
  }

  int Count(const std::string& op) const {
    int count = 0;
    for (const Call& call : calls) count += call.op == op;
    return count;
  }

  bool open = true;
  bool fail_fetch = false;
  bool fail_write = false;
  bool fail_append = false;
  int execute_result = 0;
  int bulk_result = 1;
  int end_bulk_result = 1;
  int cursor = 0;
  std::vector<Row> rows;
  std::vector<Call> calls;
  std::vector<std::string> appended;
};

class DbRecordSetTest : public ::testing::Test {
 protected:
  DbRecordSetTest() {
    auto driver = std::make_unique<FakeDriver>();
    driver_ = driver.get();
    host_ = std::make_unique<testing::DriverHostStub>(std::move(driver), DriverKind::kFileDatabase);
    rs_ = std::make_unique<DbRecordSet>(host_.get());
  }

  // Opens "[t]" holding rows with these ids, named "r<id>".
  void OpenWith(std::vector<int32_t> ids) {
    for (int32_t id : ids) {
      const std::string name = std::string("r").append(std::to_string(id));
      driver_->rows.push_back({DbValue(id), DbValue(name.c_str())});
    }
    ASSERT_EQ(rs_->OpenTable("[t]", nullptr), 1);
    driver_->calls.clear();
  }
  int32_t CurrentId() {
    DbRecord* record = rs_->CurrentRecord(-1);
    return record == nullptr ? -1 : record->FieldByName("id")->AsInt32();
  }
  std::vector<int32_t> StoredIds() const {
    std::vector<int32_t> ids;
    for (const Row& row : driver_->rows) ids.push_back(row[0].AsInt32());
    return ids;
  }
  const Call& LastCall() const { return driver_->calls.back(); }

  FakeDriver* driver_;
  std::unique_ptr<testing::DriverHostStub> host_;
  std::unique_ptr<DbRecordSet> rs_;
};

TEST_F(DbRecordSetTest, MovesFollowTheRowCount) {
  OpenWith({1, 2, 3});
  EXPECT_EQ(rs_->IsBOF(), 1);
  EXPECT_EQ(rs_->IsEOF(), 0);
  EXPECT_EQ(rs_->MovePrevious(), 0);
  EXPECT_EQ(rs_->Position(), 0);
  EXPECT_EQ(rs_->Move(0), 0);
  EXPECT_EQ(rs_->Move(4), 0);
  EXPECT_EQ(rs_->Move(3), 1);
  EXPECT_EQ(CurrentId(), 3);
  EXPECT_EQ(rs_->IsBOF(), 0);
  EXPECT_EQ(rs_->MoveNext(), 0);
  EXPECT_EQ(rs_->IsEOF(), 1);
  EXPECT_EQ(rs_->Position(), 3);
  EXPECT_EQ(rs_->MovePrevious(), 1);
  EXPECT_EQ(CurrentId(), 3);
  EXPECT_EQ(rs_->MoveFirst(), 1);
  EXPECT_EQ(CurrentId(), 1);
}

TEST_F(DbRecordSetTest, EmptyTableIsAtBothEnds) {
  OpenWith({});
  EXPECT_EQ(rs_->IsEOF(), 1);
  EXPECT_EQ(rs_->IsBOF(), 1);
  EXPECT_EQ(rs_->MoveFirst(), 1);
  EXPECT_EQ(rs_->MoveLast(), 0);
  EXPECT_EQ(rs_->Position(), -1);
  EXPECT_EQ(rs_->CurrentRecord(-1), nullptr);
  EXPECT_EQ(driver_->Count("Fetch"), 0);
}

TEST_F(DbRecordSetTest, FetchUsesStepsNearTheLastRowAndJumpsOtherwise) {
  OpenWith({1, 2, 3, 4, 5});
  std::vector<int> codes;
  auto fetch_code = [&] {
    const size_t before = driver_->calls.size();
    rs_->CurrentRecord(-1);
    return driver_->calls.size() > before ? LastCall().code : 0;
  };
  EXPECT_EQ(fetch_code(), kMoveFirst);
  EXPECT_EQ(fetch_code(), 0);  // already fetched
  rs_->MoveNext();
  EXPECT_EQ(fetch_code(), kMoveNext);
  rs_->MoveLast();
  EXPECT_EQ(fetch_code(), kMoveLast);
  rs_->MovePrevious();
  EXPECT_EQ(fetch_code(), kMovePrevious);
  rs_->Move(2);
  EXPECT_EQ(fetch_code(), kMoveAbsolute);
  EXPECT_EQ(LastCall().index, 1u);
  EXPECT_EQ(CurrentId(), 2);
  // A hint of 0 or more never marks the row fetched, so each call asks the driver.
  rs_->MoveFirst();
  rs_->CurrentRecord(0);
  rs_->CurrentRecord(0);
  EXPECT_EQ(driver_->Count("Fetch"), 7);
  EXPECT_EQ(LastCall().hint, 0);
}

TEST_F(DbRecordSetTest, AtTheEndNothingIsFetched) {
  OpenWith({1, 2});
  rs_->MoveNext();
  rs_->MoveNext();
  EXPECT_EQ(rs_->CurrentRecord(-1), nullptr);
  EXPECT_EQ(driver_->Count("Fetch"), 0);
}

TEST_F(DbRecordSetTest, AfterAFailedFetchTheNextOneJumps) {
  OpenWith({1, 2, 3, 4});
  EXPECT_EQ(CurrentId(), 1);
  rs_->MoveNext();
  driver_->fail_fetch = true;
  EXPECT_EQ(rs_->CurrentRecord(-1), nullptr);
  driver_->fail_fetch = false;
  rs_->MoveNext();
  EXPECT_EQ(CurrentId(), 3);
  EXPECT_EQ(LastCall().code, kMoveAbsolute);
}

TEST_F(DbRecordSetTest, AddNewGivesAnEmptyBufferAndUpdateInsertsIt) {
  OpenWith({1, 2, 3});
  rs_->Move(2);
  EXPECT_EQ(CurrentId(), 2);
  ASSERT_EQ(rs_->AddNew(), 1);
  EXPECT_EQ(rs_->AddNew(), 0);
  const size_t calls = driver_->calls.size();
  DbRecord* record = rs_->CurrentRecord(-1);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(driver_->calls.size(), calls);
  EXPECT_EQ(record->FieldByName("id")->AsInt32(), 0);
  EXPECT_STREQ(record->FieldByName("name")->CStr(), "");
  EXPECT_EQ(record->FieldByName("id")->Tag(), 7u);
  record->FieldByName("id")->SetInt32(9);
  record->FieldByName("name")->SetText("new");
  ASSERT_EQ(rs_->Update(), 1);
  EXPECT_EQ(LastCall().op, "Write");
  EXPECT_EQ(LastCall().code, kWriteInsert);
  EXPECT_EQ(LastCall().index, 2u);
  EXPECT_EQ(rs_->Position(), 0);
  EXPECT_EQ(rs_->RowCount(), 4u);
  EXPECT_EQ(StoredIds(), (std::vector<int32_t>{1, 2, 3, 9}));
  // The driver stands on the new row, so row 1 cannot be reached by a step from row 0.
  rs_->MoveNext();
  EXPECT_EQ(CurrentId(), 2);
  rs_->MoveFirst();
  EXPECT_EQ(CurrentId(), 1);
}

TEST_F(DbRecordSetTest, UpdateOverwritesOnlyTheRowTheRecordHolds) {
  OpenWith({1, 2, 3});
  EXPECT_EQ(rs_->Update(), 0);  // nothing read yet
  rs_->MoveNext();
  rs_->CurrentRecord(-1)->FieldByName("name")->SetText("two");
  ASSERT_EQ(rs_->Update(), 1);
  EXPECT_EQ(LastCall().code, kWriteOverwrite);
  EXPECT_EQ(LastCall().index, 2u);
  EXPECT_STREQ(driver_->rows[1][1].CStr(), "two");
  // Moving on without reading would write row 1's values over row 2.
  rs_->MoveNext();
  EXPECT_EQ(rs_->Update(), 0);
  EXPECT_STREQ(driver_->rows[2][1].CStr(), "r3");
  driver_->fail_write = true;
  rs_->CurrentRecord(-1);
  EXPECT_EQ(rs_->Update(), 0);
}

TEST_F(DbRecordSetTest, DeleteKeepsThePositionOnTheFollowingRow) {
  OpenWith({1, 2, 3, 4, 5});
  rs_->MoveNext();
  ASSERT_EQ(rs_->Delete(), 1);
  EXPECT_EQ(LastCall().code, kWriteDelete);
  EXPECT_EQ(LastCall().index, 2u);
  EXPECT_EQ(rs_->Position(), 1);
  EXPECT_EQ(rs_->RowCount(), 4u);
  EXPECT_EQ(CurrentId(), 3);
}

TEST_F(DbRecordSetTest, DeletingTheLastRowGoesBackToTheFirst) {
  OpenWith({1, 2, 3, 4, 5});
  rs_->MoveLast();
  ASSERT_EQ(rs_->Delete(), 1);
  EXPECT_EQ(rs_->Position(), 0);
  EXPECT_EQ(rs_->RowCount(), 4u);
  EXPECT_EQ(CurrentId(), 1);
}

TEST_F(DbRecordSetTest, DeletingTheOnlyRowLeavesAnEmptyTable) {
  OpenWith({1});
  ASSERT_EQ(rs_->Delete(), 1);
  EXPECT_EQ(rs_->IsEOF(), 1);
  EXPECT_EQ(rs_->Delete(), 0);
}

TEST_F(DbRecordSetTest, DeleteWhileAddingOnlyLeavesAdding) {
  OpenWith({1, 2});
  rs_->AddNew();
  EXPECT_EQ(rs_->Delete(), 1);
  EXPECT_EQ(driver_->Count("Write"), 0);
  EXPECT_EQ(rs_->AddNew(), 1);  // no longer adding
  rs_->Delete();
  driver_->fail_write = true;
  EXPECT_EQ(rs_->Delete(), 0);
  EXPECT_EQ(rs_->RowCount(), 2u);
}

TEST_F(DbRecordSetTest, WalkDeletesEveryMatchingRow) {
  OpenWith({5, 1, 5, 5, 2, 5});
  int passes = 0;
  while (rs_->IsEOF() == 0 && ++passes < 50) {
    if (CurrentId() == 5) {
      ASSERT_EQ(rs_->Delete(), 1);
    } else {
      rs_->MoveNext();
    }
  }
  EXPECT_EQ(StoredIds(), (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(rs_->RowCount(), 2u);
}

TEST_F(DbRecordSetTest, DeleteAllEmptiesTheCountAndEndsAdding) {
  OpenWith({1, 2, 3});
  rs_->MoveNext();
  rs_->AddNew();
  driver_->fail_write = true;
  EXPECT_EQ(rs_->DeleteAll(), 0);
  EXPECT_EQ(rs_->RowCount(), 3u);
  driver_->fail_write = false;
  EXPECT_EQ(rs_->DeleteAll(), 1);
  EXPECT_EQ(rs_->RowCount(), 0u);
  EXPECT_EQ(rs_->IsEOF(), 1);
  EXPECT_EQ(rs_->AddNew(), 1);
  EXPECT_EQ(rs_->Update(), 1);
  EXPECT_EQ(rs_->RowCount(), 1u);
}

TEST_F(DbRecordSetTest, OpenCloseAndExecuteGoThroughTheDriver) {
  EXPECT_EQ(rs_->OpenQuery(DbString("")), 0);
  EXPECT_EQ(rs_->OpenTable("[missing]", nullptr), 0);
  EXPECT_EQ(rs_->DriverState(), nullptr);
  EXPECT_EQ(rs_->OpenTable("[t]", "id = 3"), 1);
  EXPECT_EQ(driver_->calls[2].op, "BuildQuery:id = 3");
  EXPECT_NE(rs_->DriverState(), nullptr);
  EXPECT_EQ(rs_->ColumnDefs().size(), 2u);
  EXPECT_EQ(rs_->OpenTable("[t]", nullptr), 1);  // closes the first cursor
  EXPECT_EQ(driver_->Count("CloseCursor"), 1);
  EXPECT_EQ(rs_->Close(), 1);
  EXPECT_EQ(rs_->Close(), 1);
  EXPECT_EQ(driver_->Count("CloseCursor"), 2);
  EXPECT_EQ(rs_->IsEOF(), 1);
  EXPECT_EQ(rs_->ColumnCount(), 2u);  // columns stay until the next open
  driver_->execute_result = 1;
  EXPECT_EQ(rs_->Execute(DbString("")), 0);
  EXPECT_EQ(rs_->Execute(DbString("DROP")), 1);
  EXPECT_EQ(LastCall().op, "OpenCursor(null)");
  EXPECT_EQ(rs_->ColumnCount(), 0u);
}

TEST_F(DbRecordSetTest, DestructionClosesTheCursor) {
  OpenWith({1});
  rs_.reset();
  EXPECT_EQ(driver_->Count("CloseCursor"), 1);
}

TEST_F(DbRecordSetTest, ColumnNamesMatchExactly) {
  std::vector<std::unique_ptr<DbColumnDef>> defs;
  defs.push_back(std::make_unique<DbColumnDef>("ID", DbValueType::Int32));
  defs.push_back(nullptr);
  defs.push_back(std::make_unique<DbColumnDef>("firmName", DbValueType::Text));
  ASSERT_EQ(rs_->DefineColumns(std::move(defs)), 1);
  EXPECT_EQ(rs_->ColumnCount(), 2u);
  EXPECT_EQ(rs_->ColumnIndex("id"), -1);
  EXPECT_EQ(rs_->ColumnIndex("ID"), 0);
  EXPECT_EQ(rs_->ColumnIndex("firmName"), 1);
  EXPECT_EQ(rs_->ColumnIndex("firmname"), -1);
  EXPECT_EQ(rs_->ColumnIndex("firmName "), -1);
  EXPECT_EQ(rs_->FieldByName("firmName")->Type(), DbValueType::Text);
  EXPECT_EQ(rs_->FieldByName("x"), nullptr);
  EXPECT_EQ(rs_->FieldByIndex(2), nullptr);
  EXPECT_EQ(rs_->ColumnDef(2), nullptr);
  DbRecord orphan(nullptr, 3);
  EXPECT_EQ(orphan.Count(), 0u);
  EXPECT_EQ(orphan.FieldByIndex(0), nullptr);
}

TEST_F(DbRecordSetTest, NoDriverOrAClosedDriverFailsEverything) {
  OpenWith({1, 2});
  for (bool remove_driver : {false, true}) {
    if (remove_driver) {
      host_->SetDriver(nullptr);
      driver_ = nullptr;
    } else {
      driver_->open = false;
    }
    EXPECT_EQ(rs_->IsEOF(), 1);
    EXPECT_EQ(rs_->IsBOF(), 1);
    EXPECT_EQ(rs_->RowCount(), 0u);
    EXPECT_EQ(rs_->Position(), -1);
    EXPECT_EQ(rs_->MoveFirst(), 0);
    EXPECT_EQ(rs_->MoveNext(), 0);
    EXPECT_EQ(rs_->Move(1), 0);
    EXPECT_EQ(rs_->AddNew(), 0);
    EXPECT_EQ(rs_->CurrentRecord(-1), nullptr);
    EXPECT_EQ(rs_->Fields(), nullptr);
    EXPECT_EQ(rs_->FieldByName("id"), nullptr);
    EXPECT_EQ(rs_->ColumnIndex("id"), -1);
    EXPECT_EQ(rs_->Update(), 0);
    EXPECT_EQ(rs_->Delete(), 0);
    EXPECT_EQ(rs_->DeleteAll(), 0);
    EXPECT_EQ(rs_->OpenTable("[t]", nullptr), 0);
    EXPECT_EQ(rs_->Execute(DbString("x")), 0);
  }
  EXPECT_EQ(rs_->Close(), 1);
  EXPECT_EQ(rs_->DriverState(), nullptr);  // nothing is kept for a driver that went away
  DbRecordSet without_host(nullptr);
  EXPECT_EQ(without_host.IsEOF(), 1);
  EXPECT_EQ(without_host.IsFileDatabase(), 0);
}

class DbRecordSetRowTest : public DbRecordSetTest {
 protected:
  void SetUp() override {
    std::vector<std::unique_ptr<DbColumnDef>> defs;
    defs.push_back(std::make_unique<DbColumnDef>("a", DbValueType::Int32));
    defs.push_back(std::make_unique<DbColumnDef>("b", DbValueType::Text));
    defs.push_back(std::make_unique<DbColumnDef>("c", DbValueType::Bool8));
    rs_->DefineColumns(std::move(defs));
    rs_->FieldByIndex(0)->SetInt32(0x01020304);
    rs_->FieldByIndex(1)->SetText("ab");
    rs_->FieldByIndex(2)->SetBool8(1);
  }
  const std::string kRow = std::string(
      "\x04\x03\x02\x01"
      "ab\0\x01",
      8);
};

TEST_F(DbRecordSetRowTest, EncodeAppendsTheColumnsInOrder) {
  DbString out("x");
  ASSERT_EQ(rs_->EncodeRow(&out, 0), 1);
  EXPECT_EQ(out.View(), "x" + kRow);
  DbString first;
  ASSERT_EQ(rs_->EncodeRow(&first, 1), 1);
  EXPECT_EQ(first.View(), kRow.substr(0, 4));
}

TEST_F(DbRecordSetRowTest, EncodeOfAnUnknownTypeLeavesTheOutputAlone) {
  std::vector<std::unique_ptr<DbColumnDef>> defs;
  defs.push_back(std::make_unique<DbColumnDef>("a", DbValueType::Int32));
  defs.push_back(std::make_unique<DbColumnDef>("z", static_cast<DbValueType>(9)));
  rs_->DefineColumns(std::move(defs));
  DbString out("x");
  EXPECT_EQ(rs_->EncodeRow(&out, 0), 0);
  EXPECT_EQ(out.View(), "x");
  EXPECT_EQ(rs_->EncodeRow(&out, 1), 1);
}

TEST_F(DbRecordSetRowTest, DecodeConsumesOneRowAndGivesBackAShortOne) {
  DbString in(kRow + kRow.substr(0, 7));
  rs_->FieldByIndex(0)->SetInt32(0);
  ASSERT_EQ(rs_->DecodeRow(&in, 0), 1);
  EXPECT_EQ(rs_->FieldByIndex(0)->AsInt32(), 0x01020304);
  EXPECT_STREQ(rs_->FieldByIndex(1)->CStr(), "ab");
  EXPECT_EQ(in.View(), kRow.substr(0, 7));
  // The second row is one byte short: only its own bytes come back, not the first row's.
  EXPECT_EQ(rs_->DecodeRow(&in, 0), 0);
  EXPECT_EQ(in.View(), kRow.substr(0, 7));
  in.Compact();
  in.AppendBytes("\x01", 1);
  EXPECT_EQ(rs_->DecodeRow(&in, 0), 1);
  EXPECT_EQ(in.Length(), 0u);
}

TEST_F(DbRecordSetRowTest, AppendEncodedRowHandsWholeRowsToTheDriverState) {
  DbString buffer(kRow + kRow.substr(0, 5));
  EXPECT_EQ(rs_->AppendEncodedRow(&buffer), -1);  // no cursor open
  OpenWith({});
  std::vector<std::unique_ptr<DbColumnDef>> defs;
  defs.push_back(std::make_unique<DbColumnDef>("a", DbValueType::Int32));
  defs.push_back(std::make_unique<DbColumnDef>("b", DbValueType::Text));
  defs.push_back(std::make_unique<DbColumnDef>("c", DbValueType::Bool8));
  rs_->DefineColumns(std::move(defs));
  driver_->fail_append = true;
  EXPECT_EQ(rs_->AppendEncodedRow(&buffer), -1);
  EXPECT_EQ(buffer.Length(), 13u);
  driver_->fail_append = false;
  EXPECT_EQ(rs_->AppendEncodedRow(&buffer), 1);
  EXPECT_EQ(rs_->RowCount(), 1u);
  EXPECT_EQ(rs_->AppendEncodedRow(&buffer), 0);
  EXPECT_EQ(buffer.View(), kRow.substr(0, 5));
  ASSERT_EQ(driver_->appended.size(), 1u);
  EXPECT_EQ(driver_->appended[0], kRow);
}

TEST_F(DbRecordSetRowTest, AppendEncodedRowRefusesUnmeasurableColumns) {
  OpenWith({});
  std::vector<std::unique_ptr<DbColumnDef>> defs;
  defs.push_back(std::make_unique<DbColumnDef>("a", DbValueType::Untyped));
  rs_->DefineColumns(std::move(defs));
  DbString buffer(kRow);
  EXPECT_EQ(rs_->AppendEncodedRow(&buffer), -1);
  EXPECT_EQ(buffer.View(), kRow);
}

TEST_F(DbRecordSetTest, ABulkLoadEndsOnceWhetherEndedOrClosed) {
  OpenWith({});
  EXPECT_EQ(rs_->EndBulkLoad(), 1) << "none runs";
  EXPECT_EQ(driver_->Count("EndBulkLoad"), 0);
  ASSERT_EQ(rs_->BeginBulkLoad(), 1);
  EXPECT_EQ(rs_->BeginBulkLoad(), 0) << "one at a time";
  driver_->end_bulk_result = 0;
  EXPECT_EQ(rs_->EndBulkLoad(), 0) << "the driver could not store the rows";
  EXPECT_EQ(rs_->EndBulkLoad(), 1);
  EXPECT_EQ(driver_->Count("EndBulkLoad"), 1);

  // Closing, or opening the next table, stores what a running load holds back, before the
  // cursor goes.
  ASSERT_EQ(rs_->BeginBulkLoad(), 1);
  driver_->calls.clear();
  ASSERT_EQ(rs_->OpenTable("[t]", nullptr), 1);
  std::vector<std::string> ops;
  for (const Call& call : driver_->calls) ops.push_back(call.op);
  EXPECT_EQ(ops,
            (std::vector<std::string>{"BuildQuery:", "EndBulkLoad", "CloseCursor", "OpenCursor"}));
  rs_->Close();
  EXPECT_EQ(driver_->Count("EndBulkLoad"), 1);
}

TEST_F(DbRecordSetTest, ADriverWithoutBulkLoadsTakesTheRowsOneByOne) {
  OpenWith({});
  driver_->bulk_result = 0;
  EXPECT_EQ(rs_->BeginBulkLoad(), 0);
  ASSERT_EQ(rs_->AddNew(), 1);
  rs_->FieldByName("id")->SetInt32(4);
  EXPECT_EQ(rs_->Update(), 1);
  EXPECT_EQ(rs_->EndBulkLoad(), 1);
  EXPECT_EQ(driver_->Count("EndBulkLoad"), 0);
  EXPECT_EQ(StoredIds(), std::vector<int32_t>{4});
  rs_->Close();
  EXPECT_EQ(rs_->BeginBulkLoad(), 0) << "no table open";
}

}  // namespace
}  // namespace ledgerix
