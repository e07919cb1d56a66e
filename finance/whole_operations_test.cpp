// The operations that change many rows at once (deleting a kind with its entries, deleting a
// day's entries, emptying the database) are one transaction each: a kill at any moment leaves
// every table as it was or as the operation leaves it, never a kind gone with its entries still
// there, or a day half deleted.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "finance/testing/finance_test_support.h"
#include "testing/device_snapshot.h"
#include "testing/stopping_env.h"

namespace ledgerix::testing {
namespace {

using WholeOperationsTest = FinanceDbTest;

struct Tables {
  std::vector<std::string> kinds, entries, accounts;
  bool operator==(const Tables&) const = default;
};

Tables ReadTables(FinanceDb& db) {
  return {TableLines(db, kKindsTable), TableLines(db, kEntriesTable),
          TableLines(db, kAccountsTable)};
}

struct Operation {
  const char* name;
  std::function<bool(FinanceDb&)> run;  // true when the operation answered success
};

TEST_P(WholeOperationsTest, AKillAtAnyMomentLeavesTheOldTablesOrTheNew) {
  ASSERT_EQ(OpenDatabase(), 1);
  for (int i = 0; i < 60; ++i) {
    ASSERT_EQ(db_->AddEntry(MakeEntry(1 + i % 4, 150308 + i % 3 * 10000, i, 1, 2, 1 + i % 2)), 1);
  }
  const Tables before = ReadTables(*db_);
  db_.reset();
  DeviceSnapshot snapshot(root_);
  const std::vector<Operation> operations = {
      {"delete a kind", [](FinanceDb& db) { return db.DeleteKind(2) == 1; }},
      {"delete a day's entries",
       [](FinanceDb& db) {
         EntryFilter day;
         day.date = 160308;
         day.type = 2;
         return db.DeleteEntries(day) == 1;
       }},
      {"store a day",
       [](FinanceDb& db) {
         EntryFilter day;
         day.date = 160308;
         day.type = 2;
         const std::vector<EntryRecord> rows = {MakeEntry(3, 160308, 1.5, 2, 2, 1, "new"),
                                                MakeEntry(1, 160308, 9, 1, 102, 2)};
         return db.ReplaceDayEntries(day, rows, nullptr) == DaySaveResult::kSaved;
       }},
      {"delete all data", [](FinanceDb& db) { return db.DeleteAllData() == 1; }},
  };
  for (const Operation& operation : operations) {
    SCOPED_TRACE(operation.name);
    ASSERT_TRUE(snapshot.Restore());
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_TRUE(operation.run(*db_));
    const Tables after = ReadTables(*db_);
    db_.reset();
    ASSERT_NE(after, before);
    int old_ones = 0;
    for (int n = 1;; ++n) {
      ASSERT_LT(n, 200) << "the operation never ran through";
      ASSERT_TRUE(snapshot.Restore());
      bool stopped = false;
      {
        StoppingEnv stopping(&root_.env(), n);
        FinanceDb db(stopping, clock_, globals_);
        if (db.Open(kDatabaseName)) static_cast<void>(operation.run(db));
        stopped = stopping.stopped();
      }
      ASSERT_EQ(OpenDatabase(), 1) << "n = " << n;  // as the next start opens it
      const Tables now = ReadTables(*db_);
      db_.reset();
      if (!stopped) {
        EXPECT_EQ(now, after);
        break;
      }
      EXPECT_TRUE(now == before || now == after) << "n = " << n << ": neither old nor new";
      old_ones += now == before ? 1 : 0;
    }
    EXPECT_GT(old_ones, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Drivers, WholeOperationsTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
