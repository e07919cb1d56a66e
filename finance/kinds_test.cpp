// Income and expense kinds: adding, changing, deleting with their entries, finding, free ids.
#include <gtest/gtest.h>

#include "finance/row_limits.h"
#include "finance/testing/finance_test_support.h"

namespace ledgerix::testing {
namespace {

using KindsTest = FinanceDbTest;

TEST_P(KindsTest, FindKindOnTheDefaultData) {
  ASSERT_EQ(OpenDatabase(), 1);
  KindRecord kind;
  ASSERT_EQ(db_->FindKind(&kind, 3, 2, DbString()), 1);
  EXPECT_EQ(ToUtf8(kind.name), "Маршрутное такси");
  EXPECT_EQ(ToUtf8(kind.category), "Проезд");
  EXPECT_DOUBLE_EQ(kind.price, 15.00);
  EXPECT_EQ(kind.type, 2);
  EXPECT_EQ(db_->FindKind(&kind, 3, 1, DbString()), 0);
  ASSERT_EQ(db_->FindKind(&kind, 0, 0, FromUtf8("Премия")), 1);
  EXPECT_EQ(kind.id, 5);
  EXPECT_EQ(db_->FindKind(&kind, 0, 2, DbString()), 0);
}

TEST_P(KindsTest, AnEarlierRowMatchingByNameWinsOverALaterOneById) {
  ASSERT_EQ(OpenDatabase(), 1);
  KindRecord kind;
  ASSERT_EQ(db_->FindKind(&kind, 4, 0, FromUtf8("Такси")), 1);
  EXPECT_EQ(kind.id, 2);
  // Only rows of the asked type qualify, so the name alone cannot reach an income kind.
  EXPECT_EQ(db_->FindKind(&kind, 0, 1, FromUtf8("Такси")), 0);
}

TEST_P(KindsTest, AnEmptyCategoryIsStoredAsTheEmptyText) {
  ASSERT_EQ(OpenDatabase(), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(100, "Подарок", "", 0.5, 1)), 1);
  KindRecord kind;
  ASSERT_EQ(db_->FindKind(&kind, 100, 1, DbString()), 1);
  EXPECT_EQ(kind.category.Length(), 0u);
  EXPECT_DOUBLE_EQ(kind.price, 0.5);
  EXPECT_EQ(TableLines(*db_, kKindsTable).back(), "100;Подарок;;50;1;0;");
}

TEST_P(KindsTest, UpdateChangesEveryRowOfTheIdAndAnswersZeroForNone) {
  ASSERT_EQ(OpenDatabase(), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(9, "A", "X", 1, 1)), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(9, "B", "Y", 2, 2)), 1);
  ASSERT_EQ(db_->UpdateKind(MakeKind(9, "C", "Z", 3.25, 2)), 1);
  std::vector<KindRecord> kinds;
  ASSERT_EQ(db_->LoadKinds(&kinds), 1);
  int changed = 0;
  for (const KindRecord& kind : kinds) {
    if (kind.id != 9) continue;
    ++changed;
    EXPECT_EQ(ToUtf8(kind.name), "C");
    EXPECT_EQ(ToUtf8(kind.category), "Z");
    EXPECT_DOUBLE_EQ(kind.price, 3.25);
    EXPECT_EQ(kind.type, 2);
  }
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(db_->UpdateKind(MakeKind(404, "D", "", 0, 2)), 0);
}

TEST_P(KindsTest, DeleteKindRemovesItsEntriesInEveryAccount) {
  ASSERT_EQ(OpenDatabase(), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 150308, 10, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 160308, 20, 2, 2, 2)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(2, 150308, 30, 1, 2, 1)), 1);
  // Even with an account chosen, entries of the deleted kind go in every account: left behind
  // they would still move balances but never show again.
  globals_.current_account_id = 2;
  EXPECT_EQ(db_->DeleteKind(1), 1);
  EXPECT_EQ(db_->FindKind(nullptr, 1, 0, DbString()), 0);
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (std::vector<std::string>{"2;150308;7680;256;2;;1;0;"}));
  EXPECT_EQ(TableLines(*db_, kKindsTable).size(), 4u);
}

TEST_P(KindsTest, RefusedAmountsAndLongTextsStoreNothing) {
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(db_->AddKind(MakeKind(20, "Минус", "", -1, 2)), 0);
  EXPECT_EQ(db_->AddKind(MakeKind(21, "Много", "", 16777216, 2)), 0);
  EXPECT_EQ(db_->AddKind(MakeKind(22, "Ровно", "", 16777215.99, 2)), 1);
  std::string name(kMaxKindTextBytes - 10, 'n');
  EXPECT_EQ(db_->AddKind(MakeKind(23, name.c_str(), "0123456789", 1, 2)), 1);
  EXPECT_EQ(db_->AddKind(MakeKind(24, name.c_str(), "01234567890", 1, 2)), 0);
  EXPECT_EQ(db_->UpdateKind(MakeKind(1, name.c_str(), "01234567890", 1, 2)), 0);
  EXPECT_EQ(db_->UpdateKind(MakeKind(1, "Бензин", "Машина", -5, 2)), 0);
  // A ";" would shift every later column of the kind when an archive is read back.
  EXPECT_EQ(db_->AddKind(MakeKind(25, "Еда; напитки", "", 1, 2)), 0);
  EXPECT_EQ(db_->UpdateKind(MakeKind(1, "Бензин", "[Машина]", 200, 2)), 0);
  std::vector<KindRecord> kinds;
  ASSERT_EQ(db_->LoadKinds(&kinds), 1);
  ASSERT_EQ(kinds.size(), 7u);
  EXPECT_EQ(kinds[5].id, 22);
  EXPECT_EQ(kinds[6].id, 23);
  EXPECT_EQ(ToUtf8(kinds[0].name), "Бензин");
  EXPECT_DOUBLE_EQ(kinds[0].price, 200);
}

TEST_P(KindsTest, FreeKindIdTakesThePreferredIdOrTheNextFreeOne) {
  ASSERT_EQ(OpenDatabase(), 1);
  // The kinds screen proposes the time in seconds; the transfer T, T + 1, T + 2.
  EXPECT_EQ(db_->FreeKindId(1709294400), 1709294400);
  EXPECT_EQ(db_->FreeKindId(4), 6);
  ASSERT_EQ(db_->AddKind(MakeKind(1709294400, "T", "", 0, 2)), 1);
  ASSERT_EQ(db_->AddKind(MakeKind(1709294401, "T1", "", 0, 1)), 1);
  EXPECT_EQ(db_->FreeKindId(1709294400), 1709294402);
}

TEST_P(KindsTest, OpenKindsFilteredHandsOutEveryKind) {
  ASSERT_EQ(OpenDatabase(), 1);
  std::unique_ptr<DbRecordSet> kinds = db_->OpenKindsFiltered(1, FromUtf8("Проезд"), 3);
  ASSERT_NE(kinds, nullptr);
  EXPECT_EQ(kinds->RowCount(), 5u);
  ASSERT_NE(db_->OpenKinds(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Drivers, KindsTest, testing::BothStorageKinds(), testing::StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
