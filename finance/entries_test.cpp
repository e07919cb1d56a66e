// Entries: adding, deleting selections, and the entry list of one day.
#include <gtest/gtest.h>

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
  EXPECT_EQ(db_->DeleteEntries(filter), 0);
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
  db_->DeleteEntries(filter);
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
  db_->DeleteEntries(filter);
  EXPECT_EQ(TableLines(*db_, kEntriesTable).size(), 2u);
  filter.type = 0;
  db_->DeleteEntries(filter);
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (std::vector<std::string>{"1;160308;256;256;2;;1;0;"}));
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
  list_.InsertItem(DbString("old"), 0, 0);
  db_->ListEntriesForDay(filter_, &list_);
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
    ASSERT_EQ(db_->DeleteEntries(filter_), 0);
    ASSERT_EQ(db_->AddEntry(MakeEntry(1, 170308, c.price, c.count, 2, 1)), 1);
    db_->ListEntriesForDay(filter_, &list_);
    ASSERT_EQ(list_.ItemCount(), 1);
    EXPECT_EQ(list_.items[0].texts.at(3), c.count_text);
    EXPECT_EQ(list_.items[0].texts.at(4), c.price_text);
    EXPECT_EQ(list_.items[0].texts.at(5), c.sum_text) << c.price_text << " x " << c.count_text;
  }
}

TEST_P(DayListTest, TheAccountColumnShiftsTheOthers) {
  globals_.show_account_in_actions = 1;
  db_->ListEntriesForDay(filter_, &list_);
  ASSERT_EQ(list_.ItemCount(), 3);
  EXPECT_EQ(list_.items[0].texts.at(2), "Наличные");
  EXPECT_EQ(list_.items[0].texts.at(3), "Бензин");
  EXPECT_EQ(list_.items[0].texts.at(7), "1");
  EXPECT_EQ(list_.items[1].texts.at(2), "Кредитная карта");
}

TEST_P(DayListTest, SelectsByAccountAndKeepsIncomeApart) {
  filter_.account_id = 2;
  db_->ListEntriesForDay(filter_, &list_);
  ASSERT_EQ(list_.ItemCount(), 1);
  EXPECT_EQ(list_.items[0].texts.at(1), "1");
  EXPECT_EQ(list_.items[0].texts.at(2), "[P][+]Маршрутное такси");

  EntryFilter income;
  income.date = 150308;
  income.type = 1;
  db_->ListEntriesForDay(income, &list_);
  ASSERT_EQ(list_.ItemCount(), 1);
  EXPECT_EQ(list_.items[0].texts.at(2), "Премия");

  income.type = 0;
  db_->ListEntriesForDay(income, &list_);
  EXPECT_EQ(list_.ItemCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, EntriesTest, testing::BothStorageKinds(),
                         testing::StorageKindName);
INSTANTIATE_TEST_SUITE_P(Drivers, DayListTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
