#include "bench/household.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

#include "bench/prepared_household.h"
#include "finance/date_key.h"
#include "finance/finance_schema.h"
#include "finance/packed_amount.h"
#include "finance/record_access.h"
#include "finance/row_limits.h"
#include "finance/type_code.h"
#include "testing/driver_kinds.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix::bench {
namespace {

using EntryKey = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, std::string>;

// An entry as the table stores it.
EntryKey KeyOf(const EntryRecord& entry) {
  return {entry.kind_id, entry.date,       PackAmount(entry.price),       PackAmount(entry.count),
          entry.type,    entry.account_id, std::string(entry.note.View())};
}

std::multiset<EntryKey> StoredEntries(FinanceDb& db) {
  std::multiset<EntryKey> stored;
  std::unique_ptr<DbRecordSet> rows = OpenTableRecordSet(db.Connection(), kEntriesTable);
  if (rows == nullptr) return stored;
  const bool read = ForEachRow(*rows, [&](DbRecord* row) {
    stored.insert({IntField(row, col::kConsumerId), IntField(row, col::kCurDate),
                   IntField(row, col::kPrice), IntField(row, col::kCount),
                   IntField(row, col::kType), IntField(row, col::kFirmId),
                   std::string(TextField(row, col::kNote).View())});
    return true;
  });
  EXPECT_TRUE(read) << "every entry reads";
  return stored;
}

TEST(HouseholdTest, TheTenYearsRunFrom2010To2019) {
  EXPECT_EQ(HouseholdDayCount(), 3652);
  EXPECT_EQ(HouseholdDateKey(0), 110110);
  EXPECT_EQ(HouseholdDateKey(59), 110310);  // 1 March 2010
  EXPECT_EQ(HouseholdDateKey(HouseholdDayCount() - 1), 411219);
}

TEST(HouseholdTest, TheSameSeedGivesTheSameRowsAndAnotherSeedOthers) {
  const Household first = MakeHousehold({5000, 7});
  const Household again = MakeHousehold({5000, 7});
  const Household other = MakeHousehold({5000, 8});
  ASSERT_EQ(first.entries.size(), again.entries.size());
  for (size_t i = 0; i < first.entries.size(); ++i) {
    ASSERT_EQ(KeyOf(first.entries[i]), KeyOf(again.entries[i])) << "entry " << i;
  }
  for (size_t i = 0; i < first.kinds.size(); ++i) {
    EXPECT_EQ(first.kinds[i].price, again.kinds[i].price);
  }
  size_t same = 0;
  for (size_t i = 0; i < first.entries.size(); ++i) {
    same += KeyOf(first.entries[i]) == KeyOf(other.entries[i]) ? 1 : 0;
  }
  EXPECT_LT(same, first.entries.size() / 10);
}

TEST(HouseholdTest, HasTheShapeOfTheTenYearHousehold) {
  const Household household = MakeHousehold({50000, 1});
  ASSERT_EQ(household.accounts.size(), 5u);
  ASSERT_EQ(household.kinds.size(), 300u);
  ASSERT_EQ(household.entries.size(), 50000u);

  std::set<std::string> categories;
  std::set<int32_t> kind_ids;
  std::map<int32_t, int32_t> direction_of;
  for (const KindRecord& kind : household.kinds) {
    EXPECT_TRUE(KindFits(kind) && CanPackAmount(kind.price)) << ToUtf8(kind.name);
    categories.insert(std::string(kind.category.View()));
    kind_ids.insert(kind.id);
    direction_of[kind.id] = kind.type;
  }
  EXPECT_EQ(categories.size(), 30u);
  EXPECT_EQ(kind_ids.size(), 300u) << "kind ids are unique";

  std::map<int32_t, int> entries_of;
  std::set<int32_t> accounts_used;
  int income = 0;
  uint32_t previous_day = 0;
  for (const EntryRecord& entry : household.entries) {
    ASSERT_TRUE(direction_of.count(entry.kind_id)) << "every entry has its kind";
    EXPECT_EQ(TypeDirection(entry.type), direction_of[entry.kind_id]);
    EXPECT_TRUE(EntryFits(entry) && CanPackAmount(entry.price) && CanPackAmount(entry.count));
    EXPECT_GT(entry.price, 0);
    EXPECT_GT(entry.count, 0);
    const uint32_t day = DayOrdinal(entry.date);
    EXPECT_GE(day, DayOrdinal(110110));
    EXPECT_LE(day, DayOrdinal(411219));
    EXPECT_GE(day, previous_day) << "entries come day by day";
    previous_day = day;
    ++entries_of[entry.kind_id];
    accounts_used.insert(entry.account_id);
    income += entry.type == kIncome ? 1 : 0;
  }
  EXPECT_EQ(accounts_used, (std::set<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_GT(entries_of.size(), 250u) << "nearly every kind is used";
  EXPECT_GT(income, 1000);
  // Transfers: the amount leaves one account and reaches another, some with a commission.
  const int32_t debit = household.kinds[0].id;
  const int32_t commission = household.kinds[1].id;
  const int32_t credit = household.kinds[2].id;
  EXPECT_GT(entries_of[debit], 200);
  EXPECT_EQ(entries_of[debit], entries_of[credit]);
  EXPECT_GT(entries_of[commission], entries_of[debit] / 4);
  EXPECT_LT(entries_of[commission], entries_of[debit]);
}

TEST(HouseholdTest, SmallAndEmptyHouseholdsHaveExactlyTheirEntries) {
  EXPECT_EQ(MakeHousehold({0, 1}).entries.size(), 0u);
  EXPECT_EQ(MakeHousehold({-5, 1}).entries.size(), 0u);
  EXPECT_EQ(MakeHousehold({7, 1}).entries.size(), 7u);
}

// An archive as another tool writes it: only the entries move, into date order, each day's
// lines keeping their order.
TEST(HouseholdTest, EntriesInDateOrderMovesOnlyTheEntries) {
  const std::string kinds = "[sec_consumeritems]\r\n3;Такси;Проезд;0;2;0;\r\n\r\n";
  const std::string firms = "\r\n[sec_firms]\r\n1;Наличные;;0;\r\n";
  struct Case {
    std::string entries;
    std::string ordered;
  } cases[] = {
      {"3;110109;1;1;2;;1;0;\r\n1;150308;1;1;2;;1;0;\r\n2;150308;2;1;2;;1;0;\r\n"
       "1;401208;1;1;2;;1;0;\r\n",
       "1;150308;1;1;2;;1;0;\r\n2;150308;2;1;2;;1;0;\r\n1;401208;1;1;2;;1;0;\r\n"
       "3;110109;1;1;2;;1;0;\r\n"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EntriesInDateOrder(kinds + "[sec_data]\r\n" + c.entries + firms),
              kinds + "[sec_data]\r\n" + c.ordered + firms);
  }
}

class WriteHouseholdTest : public ::testing::TestWithParam<DriverKind> {};

TEST_P(WriteHouseholdTest, StoresEveryRowOverWhatTheDatabaseHeld) {
  testing::TempDeviceRoot root;
  testing::FakeClock clock(1262304000);
  FinanceGlobals globals;
  globals.storage_kind = GetParam();
  FinanceDb db(root.env(), clock, globals);
  ASSERT_TRUE(db.Open(kDatabaseName));  // seeded with the default kinds and accounts
  const Household household = MakeHousehold({900, 3});
  ASSERT_EQ(WriteHousehold(household, db), 1);

  std::vector<KindRecord> kinds;
  ASSERT_TRUE(db.LoadKinds(&kinds));
  ASSERT_EQ(kinds.size(), household.kinds.size());
  for (size_t i = 0; i < kinds.size(); ++i) {
    EXPECT_EQ(kinds[i].id, household.kinds[i].id);
    EXPECT_TRUE(kinds[i].name.Equals(household.kinds[i].name));
    EXPECT_TRUE(kinds[i].category.Equals(household.kinds[i].category));
  }
  std::vector<AccountRecord> accounts;
  ASSERT_TRUE(db.LoadAccounts(&accounts));
  EXPECT_EQ(accounts.size(), 5u);
  std::multiset<EntryKey> expected;
  for (const EntryRecord& entry : household.entries) expected.insert(KeyOf(entry));
  EXPECT_EQ(StoredEntries(db), expected);
}

INSTANTIATE_TEST_SUITE_P(Drivers, WriteHouseholdTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

TEST(PreparedHouseholdTest, IsBuiltOnceAndBuiltAgainWhenUnfinishedOrDifferent) {
  testing::TempDeviceRoot scratch;
  const std::filesystem::path data = std::filesystem::path(scratch.host_root()) / "bench-data";
  std::string error;
  PreparedHousehold first;
  ASSERT_TRUE(PrepareHousehold(data, 6, {300, 1}, &first, &error)) << error;
  EXPECT_TRUE(first.generated);
  PreparedHousehold again;
  ASSERT_TRUE(PrepareHousehold(data, 6, {300, 1}, &again, &error)) << error;
  EXPECT_FALSE(again.generated);
  EXPECT_EQ(again.device, first.device);

  // A build cut short leaves no mark of being ready.
  std::filesystem::remove(first.device / "ready");
  ASSERT_TRUE(PrepareHousehold(data, 6, {300, 1}, &again, &error)) << error;
  EXPECT_TRUE(again.generated);
  // Another seed or driver is another database.
  PreparedHousehold other;
  ASSERT_TRUE(PrepareHousehold(data, 3, {300, 1}, &other, &error)) << error;
  EXPECT_TRUE(other.generated);
  EXPECT_NE(other.device, first.device);

  // The copy a run works on starts as the program would: the settings choose the driver.
  const std::filesystem::path work = data / "work";
  ASSERT_TRUE(CopyDevice(first.device, work, &error)) << error;
  platform::PosixEnv env(DeviceFolders(work));
  testing::FakeClock clock(1262304000);
  FinanceGlobals globals;
  globals.storage_kind = DriverKind::kFileDatabase;
  FinanceDb db(env, clock, globals);
  ASSERT_TRUE(db.Open(kDatabaseName));
  EXPECT_EQ(StoredEntries(db).size(), 300u);
  std::ifstream settings(work / "root" / "settings" / "tv_ledgrx.$$$");
  std::string text((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("IS_SYSTEMTYPE_DB=0"), std::string::npos) << text;
}

}  // namespace
}  // namespace ledgerix::bench
