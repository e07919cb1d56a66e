// The entry list's rules on both storage kinds: what a day shows, what every save point stores,
// and that a day is stored whole or not at all.
#include "ui/entry_list_screen.h"

#include <gtest/gtest.h>

#include "finance/testing/finance_test_support.h"
#include "platform/fault_injection_env.h"
#include "ui/account_settings_screen.h"
#include "ui/kinds_list_screen.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix::testing {
namespace {

constexpr int32_t kToday = 110324;  // 1 March 2024, the test clock's day
constexpr int32_t kTaxi = 3;        // "Маршрутное такси", Проезд, 15.00
constexpr int32_t kCab = 2;         // "Такси", Проезд, 150.00

class EntryListScreenTest : public FinanceDbTest {
 protected:
  EntryListScreenTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_NE(state_.settings.Bind("tv_ledgrx"), 0);
  }

  EntryListScreen& Open(int32_t mode, FinanceDb* db = nullptr) {
    state_.finance.storage_kind = globals_.storage_kind;
    screen_ = std::make_unique<EntryListScreen>(db != nullptr ? db : db_.get(), state_, clock_,
                                                services_, mode);
    screen_->Start(list_);
    return *screen_;
  }
  // Each listed row as "image|N.|name|count|price|sum|account id" (the account name after N.
  // while the account column is shown).
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (const MemoryList::Item& item : list_.items) {
      std::string row = std::to_string(item.image);
      for (const auto& [column, text] : item.texts) {
        if (column > 0) row += "|" + text;  // column 0 holds only the mark image
      }
      rows.push_back(row);
    }
    return rows;
  }
  // The kinds list chooses the kind named `name` (the next screen to open).
  void ChooseKind(const char* name) {
    services_.OnNextScreenOf<KindsListScreen>("KindsListDialog", [this, name](KindsListScreen& k) {
      k.Start(kinds_list_);
      k.OnFind(FromUtf8(name));
      return k.OnChoose() ? kScreenOk : kScreenCancel;
    });
  }

  AppState state_;
  ScriptedScreenServices services_;
  MemoryList list_;
  MemoryList kinds_list_;
  std::unique_ptr<EntryListScreen> screen_;
};

TEST_P(EntryListScreenTest, AnEmptyDayThenAnAddedKindWithItsPrice) {
  ASSERT_EQ(db_->AddKind(MakeKind(77, "Ремонт", "Машина", 1234.5, 2)), 1);
  EntryListScreen& screen = Open(2);
  EXPECT_EQ(ToUtf8(screen.Caption()), "Перечень расходов (---)");
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(ToUtf8(screen.TotalText()), "Итого сумма: 0.00");
  ChooseKind("Ремонт");
  screen.OnAddRow();
  EXPECT_EQ(Rows(), std::vector<std::string>{"1|1|Ремонт|1.00|1,234.50|1,234.50|0"});
  EXPECT_EQ(list_.items[0].data, 77);
  EXPECT_EQ(ToUtf8(screen.TotalText()), "Итого сумма: 1,234.50");
  EXPECT_EQ(screen.selection_mark(), 0);
  // A kinds list closed without a choice adds nothing.
  services_.OnNextScreen("KindsListDialog", [](ScreenRules&) { return kScreenCancel; });
  screen.OnAddRow();
  EXPECT_EQ(Rows().size(), 1u);
  EXPECT_TRUE(TableLines(*db_, kEntriesTable).empty());  // stored only at a save point
  ASSERT_TRUE(screen.OnSave());
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            std::vector<std::string>{"77;110324;315954;256;2;;0;0;"});
}

TEST_P(EntryListScreenTest, EditsMarksAndTheMarkedOnlyTotalAndWhatIsStored) {
  ASSERT_EQ(db_->AddEntry(MakeEntry(kTaxi, kToday, 15, 2, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(kCab, kToday, 150, 1, 2, 1)), 1);
  EntryListScreen& screen = Open(2);
  EXPECT_EQ(ToUtf8(screen.TotalText()), "Итого сумма: 180.00");
  // The table keeps the entries in kind order: "Такси" (kind 2) comes first.
  screen.OnCellEdited(1, screen.PriceColumn(), "99,5");
  screen.OnCellEdited(0, screen.QuantityColumn(), "0.333");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"1|1|Такси|0.33|150.00|49.50|1",
                                              "1|2|Маршрутное такси|2.00|99.50|199.00|1"}));
  screen.OnToggleMark(1);
  screen.OnMarkedOnlyToggled();
  EXPECT_EQ(ToUtf8(screen.TotalText()), "Итого сумма: 199.00");
  screen.OnToggleMark(0);
  EXPECT_EQ(ToUtf8(screen.TotalText()), "Итого сумма: 248.50");
  ASSERT_TRUE(screen.OnSave());
  EXPECT_EQ(
      TableLines(*db_, kEntriesTable),
      (std::vector<std::string>{"2;110324;38400;33;102;;1;0;", "3;110324;25394;512;102;;1;0;"}));

  // Marked rows come back marked, with "[+]"; the switch is remembered for expenses only.
  EntryListScreen& again = Open(2);
  EXPECT_TRUE(again.marked_only());
  EXPECT_EQ(Rows()[0], "0|1|[+]Такси|0.33|150.00|49.50|1");
  EXPECT_FALSE(Open(1).marked_only());
  EXPECT_EQ(state_.settings.ReadInt32("CHECK_CREDIT_SUM", -1), 1);
}

TEST_P(EntryListScreenTest, DeletingSelectsTheSameIndexOrTheOneBeforeAndNothingWhenEmpty) {
  for (double price : {1, 2, 3})
    ASSERT_EQ(db_->AddEntry(MakeEntry(kTaxi, kToday, price, 1, 2, 1)), 1);
  EntryListScreen& screen = Open(2);
  struct Step {
    int row, mark, left;
  } steps[] = {{1, 1, 2}, {1, 0, 1}, {0, -1, 0}, {0, -1, 0}};
  for (const Step& step : steps) {
    screen.OnDeleteRow(step.row);
    EXPECT_EQ(screen.selection_mark(), step.mark);
    EXPECT_EQ(static_cast<int>(Rows().size()), step.left);
  }
  EXPECT_EQ(TableLines(*db_, kEntriesTable).size(), 3u);
  ASSERT_TRUE(screen.OnSave());
  EXPECT_TRUE(TableLines(*db_, kEntriesTable).empty());
}

TEST_P(EntryListScreenTest, ChangingTheDayStoresUnderTheDayBefore) {
  EntryListScreen& screen = Open(1);
  ChooseKind("Премия");
  screen.OnAddRow();
  ASSERT_TRUE(screen.OnDayChanged(2, 3, 2024));
  EXPECT_EQ(screen.day(), 120324);
  EXPECT_TRUE(Rows().empty());
  ASSERT_EQ(TableLines(*db_, kEntriesTable).size(), 1u);
  EXPECT_EQ(TableLines(*db_, kEntriesTable)[0].substr(0, 9), "5;110324;");
  ASSERT_TRUE(screen.OnDayChanged(1, 3, 2024));
  EXPECT_EQ(Rows().size(), 1u);
}

TEST_P(EntryListScreenTest, StoringADayKeepsWhatTheListDoesNotShow) {
  EntryRecord imported = MakeEntry(kTaxi, kToday, 15, 1, 12, 1, "из архива");  // "[P]" digit
  imported.currency_id = 3;
  ASSERT_EQ(db_->AddEntry(imported), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(999, kToday, 5, 1, 2, 1, "вид удален")), 1);
  const std::vector<std::string> before = TableLines(*db_, kEntriesTable);
  EntryListScreen& screen = Open(2);
  EXPECT_EQ(Rows(), std::vector<std::string>{"1|1|[P]Маршрутное такси|1.00|15.00|15.00|1"});
  ASSERT_TRUE(screen.OnSave());
  EXPECT_EQ(TableLines(*db_, kEntriesTable), before);
  screen.OnToggleMark(0);
  ASSERT_TRUE(screen.OnSave());
  EXPECT_EQ(TableLines(*db_, kEntriesTable)[0], "3;110324;3840;256;112;из архива;1;3;");
}

TEST_P(EntryListScreenTest, ARowThatCannotBeStoredIsNamedAndNothingChanges) {
  ASSERT_EQ(db_->AddEntry(MakeEntry(kTaxi, kToday, 15, 1, 2, 1)), 1);
  const std::vector<std::string> before = TableLines(*db_, kEntriesTable);
  EntryListScreen& screen = Open(2);
  ChooseKind("Такси");
  screen.OnAddRow();
  screen.OnCellEdited(1, screen.QuantityColumn(), "20000000.00");
  services_.AnswerNextMessage(MessageAnswer::kOk);
  EXPECT_FALSE(screen.OnSave());
  EXPECT_EQ(services_.MessageTexts().back(),
            "Строка 2 (Такси) не может быть сохранена: количество и цена не могут быть больше "
            "16,777,215.99!!!");
  EXPECT_EQ(TableLines(*db_, kEntriesTable), before);
  EXPECT_EQ(Rows().size(), 2u);
  services_.AnswerNextMessage(MessageAnswer::kOk);
  EXPECT_FALSE(screen.OnDayChanged(2, 3, 2024));  // the day stays with its rows
  EXPECT_EQ(screen.day(), kToday);
  EXPECT_EQ(Rows().size(), 2u);
}

TEST_P(EntryListScreenTest, WithACurrentAccountOnlyItsEntriesAreListedAndReplaced) {
  ASSERT_EQ(db_->AddEntry(MakeEntry(kTaxi, kToday, 15, 1, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(kCab, kToday, 150, 1, 2, 2)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(kTaxi, kToday, 7, 1, 1, 2)), 1);  // income type, other mode
  globals_.current_account_id = 2;
  state_.finance.current_account_id = 2;
  ASSERT_EQ(OpenDatabase(), 1);
  EntryListScreen& screen = Open(2);
  EXPECT_EQ(Rows(), std::vector<std::string>{"1|1|Такси|1.00|150.00|150.00|2"});
  screen.OnDeleteRow(0);
  ASSERT_TRUE(screen.OnSave());
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (std::vector<std::string>{"3;110324;3840;256;2;;1;0;", "3;110324;1792;256;1;;2;0;"}));
}

TEST_P(EntryListScreenTest, TheAccountsEditorStoresFirstAndCanShowTheAccountColumn) {
  EntryListScreen& screen = Open(2);
  EXPECT_EQ(screen.Columns(240).size(), 7u);
  ChooseKind("Такси");
  screen.OnAddRow();
  services_.OnNextScreenOf<AccountSettingsScreen>(
      "AccountSettingsDialog", [this](AccountSettingsScreen& s) {
        EXPECT_EQ(TableLines(*db_, kEntriesTable).size(), 1u);
        s.Start();
        s.show_in_entries = true;
        s.selected = 2;  // "Кредитная карта"
        return s.OnAccept() ? kScreenOk : kScreenCancel;
      });
  ASSERT_TRUE(screen.OnAccountsEditor());
  EXPECT_TRUE(screen.AccountColumnShown());
  const std::vector<EntryListScreen::Column> columns = screen.Columns(240);
  ASSERT_EQ(columns.size(), 8u);
  EXPECT_EQ(ToUtf8(columns[2].title), "Счет");
  EXPECT_EQ(columns[2].width, 72);
  EXPECT_EQ(screen.QuantityColumn(), 4);
  EXPECT_EQ(ToUtf8(screen.AccountText()), "Счет: Кредитная карта");
  EXPECT_TRUE(Rows().empty());  // the entry was stored in account 0, not the new current one
}

// Every disk-changing call of storing a day fails in turn: the day's stored entries are the
// old ones or the new ones, never a mix, and the screen says when they are the old ones.
TEST_P(EntryListScreenTest, AFailureAnywhereInStoringADayLeavesTheOldDayOrTheNew) {
  platform::FaultInjectionEnv faulty(&root_.env());
  FinanceDb db(faulty, clock_, globals_);
  ASSERT_EQ(db.Open(kDatabaseName), 1);
  std::vector<EntryRecord> old_rows;
  for (double price : {1, 2, 3}) old_rows.push_back(MakeEntry(kTaxi, kToday, price, 1, 2, 1));
  EntryFilter day;
  day.date = kToday;
  day.type = 2;
  ASSERT_EQ(db.ReplaceDayEntries(day, old_rows, nullptr), DaySaveResult::kSaved);
  const std::vector<std::string> old_day = TableLines(db, kEntriesTable);
  const std::vector<std::string> new_day = {"3;110324;5120;256;2;;1;0;",
                                            "3;110324;768;256;2;;1;0;"};
  int failures = 0;
  for (int n = 1; n < 500; ++n) {
    if (TableLines(db, kEntriesTable) != old_day) {
      ASSERT_EQ(db.ReplaceDayEntries(day, old_rows, nullptr), DaySaveResult::kSaved);
    }
    ScriptedScreenServices services;
    EntryListScreen screen(&db, state_, clock_, services, 2);
    MemoryList list;
    screen.Start(list);
    screen.OnDeleteRow(0);
    screen.OnCellEdited(0, screen.PriceColumn(), "20.00");
    faulty.FailNthMutation(n, platform::winerr::kWriteFault);
    services.AnswerEveryMessage(MessageAnswer::kNo);
    const bool stored = screen.OnSave();
    const bool fired = faulty.InjectedCount() > 0;
    faulty.Reset();
    const std::vector<std::string> now = TableLines(db, kEntriesTable);
    if (stored) {
      EXPECT_EQ(now, new_day) << "disk change " << n;
    } else {
      ++failures;
      EXPECT_EQ(now, old_day) << "disk change " << n;
      EXPECT_EQ(services.MessageTexts().size(), 1u);
      EXPECT_EQ(screen.rows().size(), 2u);  // answered "No": the rows stay for another try
    }
    if (!fired) {
      EXPECT_TRUE(stored);
      break;
    }
  }
  EXPECT_GT(failures, 0);
}

TEST_P(EntryListScreenTest, WithoutADatabaseNothingIsLoadedOrStored) {
  EntryListScreen screen(nullptr, state_, clock_, services_, 2);
  screen.Start(list_);
  EXPECT_TRUE(screen.OnSave());
  EXPECT_TRUE(screen.OnDayChanged(2, 3, 2024));
  EXPECT_TRUE(Rows().empty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, EntryListScreenTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
