// Accounts: adding, changing, finding, listing and choosing free ids, on both drivers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "finance/row_limits.h"
#include "finance/testing/finance_test_support.h"

namespace ledgerix::testing {
namespace {

using AccountsTest = FinanceDbTest;

TEST_P(AccountsTest, FindByNameOrIdFollowsTheLookupRules) {
  ASSERT_EQ(OpenDatabase(), 1);
  AccountRecord found;
  ASSERT_EQ(db_->FindAccount(&found, 0, FromUtf8("Наличные")), 1);
  EXPECT_EQ(found.id, 1);
  EXPECT_EQ(db_->FindAccount(&found, 0, DbString()), 0);
  EXPECT_EQ(db_->FindAccount(&found, 3, DbString()), 0);
  // Names compare exactly: no prefix, no other case.
  EXPECT_EQ(db_->FindAccount(&found, 0, FromUtf8("Наличн")), 0);
  EXPECT_EQ(db_->FindAccount(&found, 0, FromUtf8("наличные")), 0);
  // Both tests are made on each row in turn: row 1 matches by name before row 2 by id.
  ASSERT_EQ(db_->FindAccount(&found, 2, FromUtf8("Наличные")), 1);
  EXPECT_EQ(found.id, 1);
}

TEST_P(AccountsTest, AddAndUpdateKeepEveryField) {
  ASSERT_EQ(OpenDatabase(), 1);
  AccountRecord account = MakeAccount(7, "Вклад", "до 2025");
  account.currency_id = 3;
  ASSERT_EQ(db_->AddAccount(account), 1);
  AccountRecord found;
  ASSERT_EQ(db_->FindAccount(&found, 7, DbString()), 1);
  EXPECT_EQ(ToUtf8(found.name), "Вклад");
  EXPECT_EQ(ToUtf8(found.note), "до 2025");
  EXPECT_EQ(found.currency_id, 3);

  account.name = FromUtf8("Депозит");
  account.note = DbString();
  ASSERT_EQ(db_->UpdateAccount(account), 1);
  EXPECT_EQ(TableLines(*db_, kAccountsTable),
            (std::vector<std::string>{"1;Наличные;;0;", "2;Кредитная карта;;0;", "7;Депозит;;3;"}));
  EXPECT_EQ(db_->UpdateAccount(MakeAccount(99, "Нет такого")), 0);
}

TEST_P(AccountsTest, TextsLongerThanARowSlotAreRefusedAndNothingIsStored) {
  ASSERT_EQ(OpenDatabase(), 1);
  std::string longest(kMaxAccountTextBytes, 'a');
  EXPECT_EQ(db_->AddAccount(MakeAccount(10, longest.c_str())), 1);
  std::string too_long(kMaxAccountTextBytes - 3, 'b');
  EXPECT_EQ(db_->AddAccount(MakeAccount(11, too_long.c_str(), "four")), 0);
  EXPECT_EQ(db_->FindAccount(nullptr, 11, DbString()), 0);
  EXPECT_EQ(db_->UpdateAccount(MakeAccount(1, too_long.c_str(), "four")), 0);
  AccountRecord found;
  ASSERT_EQ(db_->FindAccount(&found, 1, DbString()), 1);
  EXPECT_EQ(ToUtf8(found.name), "Наличные");
}

TEST_P(AccountsTest, FreeIdsSkipTakenOnes) {
  ASSERT_EQ(OpenDatabase(), 1);
  // The accounts editor proposes the number of accounts + 1.
  EXPECT_EQ(db_->FreeAccountId(3), 3);
  EXPECT_EQ(db_->FreeAccountId(2), 3);
  ASSERT_EQ(db_->AddAccount(MakeAccount(3, "Три")), 1);
  EXPECT_EQ(db_->FreeAccountId(1), 4);
}

// A free id is one that no row holds; when the rows cannot be read no id is known to be free,
// and 0 is answered rather than an id that may be taken.
TEST_P(AccountsTest, NoFreeIdIsAnsweredWhenTheTableCannotBeRead) {
  struct Case {
    const char* name;
    const char* table;
    std::function<int32_t(FinanceDb&)> free_id;
  };
  const Case cases[] = {
      {"account", kAccountsTable, [](FinanceDb& db) { return db.FreeAccountId(1); }},
      {"kind", kKindsTable, [](FinanceDb& db) { return db.FreeKindId(1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_GT(c.free_id(*db_), 1) << "id 1 is taken by a default row";
    FinanceDb closed(root_.env(), clock_, globals_);
    EXPECT_EQ(c.free_id(closed), 0);
    if (GetParam() != DriverKind::kFileDatabase) continue;
    // Cut the table file short of its first row.
    const std::string table(c.table);
    const std::u16string file =
        u"\\tolvena_db\\" + std::u16string(table.begin(), table.end()) + u".$tab$";
    ASSERT_EQ(truncate(root_.HostPath(file).c_str(), 3), 0);
    EXPECT_EQ(c.free_id(*db_), 0);
  }
}

TEST_P(AccountsTest, OpenAccountsIsOnTheFirstRowAndOwnedByTheCaller) {
  ASSERT_EQ(OpenDatabase(), 1);
  std::unique_ptr<DbRecordSet> accounts = db_->OpenAccounts();
  ASSERT_NE(accounts, nullptr);
  EXPECT_EQ(accounts->RowCount(), 2u);
  DbRecord* record = accounts->CurrentRecord(-1);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->FieldByName("id")->AsInt32(), 1);
}

TEST_P(AccountsTest, NothingWorksBeforeOpen) {
  db_ = std::make_unique<FinanceDb>(root_.env(), clock_, globals_);
  EXPECT_FALSE(db_->IsOpen());
  EXPECT_EQ(db_->AddAccount(MakeAccount(1, "A")), 0);
  EXPECT_EQ(db_->FindAccount(nullptr, 1, DbString()), 0);
  EXPECT_EQ(db_->OpenAccounts(), nullptr);
  EXPECT_EQ(db_->DeleteAllData(), 0);
  std::vector<AccountRecord> accounts;
  EXPECT_EQ(db_->LoadAccounts(&accounts), 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, AccountsTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
