// Entries: adding, deleting selections, and the entry list of one day.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "access/db_connection.h"
#include "finance/row_limits.h"
#include "finance/testing/finance_test_support.h"

namespace ledgerix::testing {
namespace {

using EntriesTest = FinanceDbTest;

TEST_P(EntriesTest, AddEntryStoresTheEncodedRow) {
  ASSERT_EQ(OpenDatabase(), 1);
  // 2 × 15.00 on 5 March 2008 of kind 3 in account 1.
  ASSERT_EQ(db_->AddEntry(MakeEntry(3, 150308, 15.00, 2, 2, 1)), 1);
  EntryRecord noted = MakeEntry(5, 411209, 1.15, 0.5, 101, 2, "премия за год");
  noted.currency_id = 4;
  ASSERT_EQ(db_->AddEntry(noted), 1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (std::vector<std::string>{"3;150308;3840;512;2;;1;0;",
                                      "5;411209;271;50;101;премия за год;2;4;"}));
}

TEST_P(EntriesTest, AmountsThatCannotBePackedAndLongNotesAreRefused) {
  ASSERT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(db_->AddEntry(MakeEntry(1, 150308, 16777216, 1, 2, 1)), 0);
  EXPECT_EQ(db_->AddEntry(MakeEntry(1, 150308, 1, -2, 2, 1)), 0);
  std::string note(kMaxEntryNoteBytes + 1, 'x');
  EXPECT_EQ(db_->AddEntry(MakeEntry(1, 150308, 1, 1, 2, 1, note.c_str())), 0);
  EXPECT_TRUE(TableLines(*db_, kEntriesTable).empty());
  note.pop_back();
  EXPECT_EQ(db_->AddEntry(MakeEntry(1, 150308, 1, 1, 2, 1, note.c_str())), 1);
}

TEST_P(EntriesTest, DeleteByKindAloneReachesEveryDayButOnlyTheCurrentAccount) {
  ASSERT_EQ(OpenDatabase(), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 150308, 1, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 160308, 2, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 170308, 3, 1, 2, 2)), 1);
  globals_.current_account_id = 1;
  EntryFilter filter;
  filter.kind_id = 1;
  EXPECT_EQ(db_->DeleteEntries(filter), 1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (std::vector<std::string>{"1;170308;768;256;2;;2;0;"}));
}

TEST_P(EntriesTest, AdjacentMatchingRowsAreAllDeleted) {
  ASSERT_EQ(OpenDatabase(), 1);
  // Rows sort by kind, so the three kind-2 rows stand next to each other.
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 150308, 1, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(2, 150308, 2, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(2, 150308, 3, 1, 102, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(2, 150308, 4, 1, 2, 2)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(5, 150308, 5, 1, 1, 1)), 1);
  EntryFilter filter;
  filter.date = 150308;
  filter.type = 2;
  EXPECT_EQ(db_->DeleteEntries(filter), 1);
  // The income row stays; every expense row goes, the "[+]" one too (only the direction digit
  // is compared).
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (std::vector<std::string>{"5;150308;1280;256;1;;1;0;"}));
}

TEST_P(EntriesTest, DeleteSelectsByDateAndType) {
  ASSERT_EQ(OpenDatabase(), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 150308, 1, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 160308, 1, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(5, 150308, 1, 1, 1, 1)), 1);
  EntryFilter filter;
  filter.date = 150308;
  filter.type = 1;
  EXPECT_EQ(db_->DeleteEntries(filter), 1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable).size(), 2u);
  filter.type = 0;
  EXPECT_EQ(db_->DeleteEntries(filter), 1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (std::vector<std::string>{"1;160308;256;256;2;;1;0;"}));
}

// Storing a day's list: the day's rows of that direction (in the current account) are replaced,
// everything else stays; a row that cannot be stored is named and nothing changes.
TEST_P(EntriesTest, StoringADayReplacesOnlyThatDayAndDirectionOrNothing) {
  ASSERT_EQ(OpenDatabase(), 1);
  const std::vector<EntryRecord> stored = {
      MakeEntry(1, 150308, 10, 1, 2, 1, "old"),    // the day, expense, account 1: replaced
      MakeEntry(2, 150308, 20, 1, 102, 1),         // marked: replaced as well
      MakeEntry(3, 150308, 30, 1, 1, 1),           // income of the day: stays
      MakeEntry(1, 160308, 40, 1, 2, 1),           // another day: stays
      MakeEntry(4, 150308, 50, 1, 2, 2, "other"),  // another account: stays while 1 is current
  };
  for (const EntryRecord& entry : stored) ASSERT_EQ(db_->AddEntry(entry), 1);
  globals_.current_account_id = 1;
  EntryFilter day;
  day.date = 150308;
  day.type = 2;
  const std::vector<EntryRecord> rows = {MakeEntry(5, 150308, 1.25, 3, 2, 1, "new"),
                                         MakeEntry(1, 150308, 7, 1, 102, 1)};

  struct Refusal {
    const char* what;
    EntryRecord row;
  };
  EntryRecord huge = rows[0];
  huge.price = 1e12;
  EntryRecord semicolon = rows[0];
  semicolon.note = DbString("a;b");
  EntryRecord long_note = rows[0];
  long_note.note = DbString(std::string(kMaxEntryNoteBytes + 1, 'x'));
  const std::vector<std::string> before = TableLines(*db_, kEntriesTable);
  for (const Refusal& refusal :
       {Refusal{"price", huge}, Refusal{"note ;", semicolon}, Refusal{"long note", long_note}}) {
    size_t refused = 99;
    EXPECT_EQ(db_->ReplaceDayEntries(day, {rows[0], rows[1], refusal.row}, &refused),
              DaySaveResult::kRowRefused)
        << refusal.what;
    EXPECT_EQ(refused, 2u) << refusal.what;
    EXPECT_EQ(TableLines(*db_, kEntriesTable), before) << refusal.what;
  }
  EntryFilter whole_table;  // no date: would reach every day
  whole_table.type = 2;
  EXPECT_EQ(db_->ReplaceDayEntries(whole_table, rows, nullptr), DaySaveResult::kFailed);
  EXPECT_EQ(TableLines(*db_, kEntriesTable), before);

  ASSERT_EQ(db_->ReplaceDayEntries(day, rows, nullptr), DaySaveResult::kSaved);
  std::vector<std::string> after = TableLines(*db_, kEntriesTable);
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, (std::vector<std::string>{
                       "1;150308;1792;256;102;;1;0;",  // the new marked row
                       "1;160308;10240;256;2;;1;0;",
                       "3;150308;7680;256;1;;1;0;",
                       "4;150308;12800;256;2;other;2;0;",
                       "5;150308;281;768;2;new;1;0;",
                   }));
  // An empty list empties the day.
  ASSERT_EQ(db_->ReplaceDayEntries(day, {}, nullptr), DaySaveResult::kSaved);
  EXPECT_EQ(TableLines(*db_, kEntriesTable).size(), 3u);
}

TEST_P(EntriesTest, DeletingAKindTakesItsEntriesFirstAndReportsWhatItDid) {
  ASSERT_EQ(OpenDatabase(), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 150308, 10, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(77, 150308, 10, 1, 2, 1)), 1);  // a kind that is gone
  EXPECT_EQ(db_->DeleteKind(77), 1) << "its orphaned entries go too";
  EXPECT_EQ(TableLines(*db_, kEntriesTable), std::vector<std::string>{"1;150308;2560;256;2;;1;0;"});
  db_.reset();
  EXPECT_EQ(OpenDatabase(), 1);
  EXPECT_EQ(db_->DeleteKind(1), 1);
  EXPECT_TRUE(TableLines(*db_, kEntriesTable).empty());
  db_->Connection()->Close();
  EXPECT_EQ(db_->DeleteKind(1), 0) << "not open";
  EXPECT_EQ(db_->DeleteEntries(EntryFilter()), 0) << "not open";
}

class DayListTest : public FinanceDbTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(1, 150308, 200, 1.5, 2, 1)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(3, 150308, 15, 2, 112, 2)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(4, 150308, 1234.5, 1000, 12, 1)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(2, 160308, 150, 1, 2, 1)), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(5, 150308, 3500, 1, 1, 1)), 1);
    // A kind that no longer exists.
    ASSERT_EQ(db_->AddEntry(MakeEntry(77, 150308, 1, 1, 2, 1)), 1);
    filter_.date = 150308;
    filter_.type = 2;
  }

  EntryFilter filter_;
  MemoryList list_;
};

TEST_P(DayListTest, ShowsTheDaysRowsOfOneDirectionWithTheirFlags) {
  ASSERT_EQ(list_.InsertItem(DbString("old"), 0, 0), 0);
  ASSERT_TRUE(db_->ListEntriesForDay(filter_, &list_));
  ASSERT_EQ(list_.ItemCount(), 3);
  const MemoryList::Item& petrol = list_.items[0];
  EXPECT_EQ(petrol.image, 1);
  EXPECT_EQ(petrol.data, 1);
  EXPECT_EQ(petrol.texts.at(0), "");
  EXPECT_EQ(petrol.texts.at(1), "1");
  EXPECT_EQ(petrol.texts.at(2), "Бензин");
  EXPECT_EQ(petrol.texts.at(3), "1.50");
  EXPECT_EQ(petrol.texts.at(4), "200.00");
  EXPECT_EQ(petrol.texts.at(5), "300.00");
  EXPECT_EQ(petrol.texts.at(6), "1");

  const MemoryList::Item& bus = list_.items[1];
  EXPECT_EQ(bus.image, 0);
  EXPECT_EQ(bus.texts.at(1), "2");
  EXPECT_EQ(bus.texts.at(2), "[P][+]Маршрутное такси");
  EXPECT_EQ(bus.texts.at(6), "2");

  const MemoryList::Item& cinema = list_.items[2];
  EXPECT_EQ(cinema.image, 1);
  EXPECT_EQ(cinema.texts.at(2), "[P]Кино");
  EXPECT_EQ(cinema.texts.at(5), "1,234,500.00");
}

TEST_P(DayListTest, AnEntrysSumIsPriceTimesCountRoundedToTheCent) {
  struct Case {
    double price, count;
    const char* price_text;
    const char* count_text;
    const char* sum_text;
  };
  const Case cases[] = {
      {52.90, 40.50, "52.90", "40.50", "2,142.45"},
      {0.90, 7, "0.90", "7.00", "6.30"},
      {0.05, 0.50, "0.05", "0.50", "0.03"},  // 0.025 rounds up
      {16777215.99, 1, "16,777,215.99", "1.00", "16,777,215.99"},
  };
  filter_.date = 170308;
  for (const Case& c : cases) {
    ASSERT_EQ(db_->DeleteEntries(filter_), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(1, 170308, c.price, c.count, 2, 1)), 1);
    ASSERT_TRUE(db_->ListEntriesForDay(filter_, &list_));
    ASSERT_EQ(list_.ItemCount(), 1);
    EXPECT_EQ(list_.items[0].texts.at(3), c.count_text);
    EXPECT_EQ(list_.items[0].texts.at(4), c.price_text);
    EXPECT_EQ(list_.items[0].texts.at(5), c.sum_text) << c.price_text << " x " << c.count_text;
  }
}

TEST_P(DayListTest, TheAccountColumnShiftsTheOthers) {
  globals_.show_account_in_actions = 1;
  ASSERT_TRUE(db_->ListEntriesForDay(filter_, &list_));
  ASSERT_EQ(list_.ItemCount(), 3);
  EXPECT_EQ(list_.items[0].texts.at(2), "Наличные");
  EXPECT_EQ(list_.items[0].texts.at(3), "Бензин");
  EXPECT_EQ(list_.items[0].texts.at(7), "1");
  EXPECT_EQ(list_.items[1].texts.at(2), "Кредитная карта");
}

TEST_P(DayListTest, SelectsByAccountAndKeepsIncomeApart) {
  filter_.account_id = 2;
  ASSERT_TRUE(db_->ListEntriesForDay(filter_, &list_));
  ASSERT_EQ(list_.ItemCount(), 1);
  EXPECT_EQ(list_.items[0].texts.at(1), "1");
  EXPECT_EQ(list_.items[0].texts.at(2), "[P][+]Маршрутное такси");

  EntryFilter income;
  income.date = 150308;
  income.type = 1;
  ASSERT_TRUE(db_->ListEntriesForDay(income, &list_));
  ASSERT_EQ(list_.ItemCount(), 1);
  EXPECT_EQ(list_.items[0].texts.at(2), "Премия");

  income.type = 0;
  ASSERT_TRUE(db_->ListEntriesForDay(income, &list_));
  EXPECT_EQ(list_.ItemCount(), 0);
}

// A list that could not be read whole says so; the screen must not take it for the whole day.
TEST_P(DayListTest, AListThatCannotBeReadSaysSo) {
  FinanceDb closed(root_.env(), clock_, globals_);
  EXPECT_FALSE(closed.ListEntriesForDay(filter_, &list_));
  EXPECT_FALSE(db_->ListEntriesForDay(filter_, nullptr));
  if (GetParam() != DriverKind::kFileDatabase) return;
  // Cut the accounts table short of its first row: the entries are listed without their
  // account names, and the answer tells.
  globals_.show_account_in_actions = 1;
  ASSERT_EQ(truncate(root_.HostPath(u"\\tolvena_db\\[sec_firms].$tab$").c_str(), 3), 0);
  EXPECT_FALSE(db_->ListEntriesForDay(filter_, &list_));
  ASSERT_EQ(list_.ItemCount(), 3);
  EXPECT_EQ(list_.items[0].texts.at(2), "");
}

TEST_P(EntriesTest, LoadDayEntriesGivesTheDaysEntriesWholeWhateverTheirKind) {
  ASSERT_EQ(OpenDatabase(), 1);
  EntryRecord noted = MakeEntry(3, 150308, 15, 2, 112, 1, "из архива");
  noted.currency_id = 4;
  ASSERT_EQ(db_->AddEntry(noted), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(999, 150308, 1, 1, 2, 2)), 1);  // no such kind
  ASSERT_EQ(db_->AddEntry(MakeEntry(3, 150308, 1, 1, 1, 1)), 1);    // income
  ASSERT_EQ(db_->AddEntry(MakeEntry(3, 160308, 1, 1, 2, 1)), 1);    // another day
  EntryFilter day;
  day.date = 150308;
  day.type = 2;
  std::vector<EntryRecord> entries;
  ASSERT_TRUE(db_->LoadDayEntries(day, &entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].type, 112);
  EXPECT_EQ(entries[0].mark, 1);
  EXPECT_EQ(entries[0].currency_id, 4);
  EXPECT_EQ(ToUtf8(entries[0].note), "из архива");
  EXPECT_DOUBLE_EQ(entries[0].count, 2);
  EXPECT_EQ(entries[1].kind_id, 999);
  day.account_id = 2;
  ASSERT_TRUE(db_->LoadDayEntries(day, &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].account_id, 2);
}

INSTANTIATE_TEST_SUITE_P(Drivers, EntriesTest, testing::BothStorageKinds(),
                         testing::StorageKindName);
INSTANTIATE_TEST_SUITE_P(Drivers, DayListTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
