// The main screen's rules on both storage kinds: which screen every command opens, "Очистить
// все", the menus and the updates notice's pages.
#include "ui/main_screen.h"

#include <gtest/gtest.h>

#include "finance/testing/finance_test_support.h"
#include "ui/entry_list_screen.h"
#include "ui/kinds_list_screen.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/updates_screen.h"

namespace ledgerix::testing {
namespace {

class MainScreenTest : public FinanceDbTest {
 protected:
  MainScreenTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_EQ(db_->AddEntry(MakeEntry(1, 150308, 2, 1, 2, 1)), 1);
    state_.finance = globals_;
    state_.current_account_name = FromUtf8("Наличные");
  }
  MainScreen Screen() { return MainScreen(db_.get(), state_, root_.env(), clock_, services_); }
  size_t StoredRows() {
    return TableLines(*db_, kKindsTable).size() + TableLines(*db_, kEntriesTable).size() +
           TableLines(*db_, kAccountsTable).size();
  }

  AppState state_;
  ScriptedScreenServices services_;
};

TEST_P(MainScreenTest, EveryCommandOpensItsScreen) {
  struct Case {
    int command;
    const char* screen;  // null: no screen
    CommandOutcome outcome;
  };
  const Case cases[] = {
      {kCommandIncomeKinds, "KindsListDialog", CommandOutcome::kDone},
      {kCommandExpenseKinds, "KindsListDialog", CommandOutcome::kDone},
      {kCommandExpenses, "EntryListDialog", CommandOutcome::kDone},
      {kCommandIncome, "EntryListDialog", CommandOutcome::kDone},
      {kCommandStatistics, "StatisticsDialog", CommandOutcome::kDone},
      {kCommandArchives, "ArchiveDialog", CommandOutcome::kDone},
      {kCommandAccounts, "AccountSettingsDialog", CommandOutcome::kDone},
      {kCommandTransfer, "TransferDialog", CommandOutcome::kDone},
      {kCommandAbout, "AboutDialog", CommandOutcome::kDone},
      {kCommandUpdates, "UpdatesDialog", CommandOutcome::kDone},
      {kCommandExit, nullptr, CommandOutcome::kCloseScreen},
      {1000, nullptr, CommandOutcome::kUnknown},  // the kinds button has no command of its own
      {0, nullptr, CommandOutcome::kUnknown},
  };
  for (const Case& c : cases) {
    if (c.screen != nullptr) {
      services_.OnNextScreen(c.screen, [](ScreenRules&) { return kScreenCancel; });
    }
    const size_t before = services_.screens_run().size();
    MainScreen screen = Screen();
    EXPECT_EQ(screen.RunCommand(c.command), c.outcome) << c.command;
    EXPECT_EQ(services_.screens_run().size(), before + (c.screen != nullptr ? 1 : 0)) << c.command;
  }
  EXPECT_TRUE(services_.messages().empty());
}

// The kinds lists open for browsing (no chooser), the entry lists in their mode.
TEST_P(MainScreenTest, TheKindsAndEntryCommandsChooseTheirDirection) {
  std::vector<std::string> captions;
  for (int command : {kCommandIncomeKinds, kCommandExpenseKinds}) {
    services_.OnNextScreenOf<KindsListScreen>("KindsListDialog", [&](KindsListScreen& kinds) {
      captions.push_back(ToUtf8(kinds.Caption()));
      return kScreenCancel;
    });
    EXPECT_EQ(Screen().RunCommand(command), CommandOutcome::kDone);
  }
  for (int command : {kCommandIncome, kCommandExpenses}) {
    services_.OnNextScreenOf<EntryListScreen>("EntryListDialog", [&](EntryListScreen& entries) {
      captions.push_back(ToUtf8(entries.Caption()));
      return kScreenCancel;
    });
    EXPECT_EQ(Screen().RunCommand(command), CommandOutcome::kDone);
  }
  ASSERT_EQ(captions.size(), 4u);
  EXPECT_NE(captions[0], captions[1]);
  EXPECT_NE(captions[0].find("доход"), std::string::npos) << captions[0];
  EXPECT_NE(captions[1].find("расход"), std::string::npos) << captions[1];
  EXPECT_NE(captions[2].find("доход"), std::string::npos) << captions[2];
  EXPECT_NE(captions[3].find("расход"), std::string::npos) << captions[3];
}

TEST_P(MainScreenTest, ClearAllDataAsksThenEmptiesEveryTableAndKeepsTheSettings) {
  ASSERT_GT(StoredRows(), 0u);
  services_.AnswerNextMessage(MessageAnswer::kNo);
  EXPECT_EQ(Screen().RunCommand(kCommandClearAll), CommandOutcome::kDone);
  EXPECT_EQ(services_.MessageTexts(),
            std::vector<std::string>{"Вы действительно хотите удалить все данные программы?"});
  EXPECT_EQ(services_.messages()[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(services_.wait_cursor_uses(), 0);
  const size_t rows = StoredRows();
  EXPECT_GT(rows, 0u);

  services_.AnswerNextMessage(MessageAnswer::kYes);
  services_.AnswerNextMessage(MessageAnswer::kOk);
  EXPECT_EQ(Screen().RunCommand(kCommandClearAll), CommandOutcome::kDone);
  EXPECT_EQ(services_.MessageTexts().back(), "Все данные удалены");
  EXPECT_EQ(services_.messages().back().caption, "TOLVENA Info");
  EXPECT_EQ(services_.wait_cursor_uses(), 1);
  EXPECT_EQ(services_.wait_cursor_depth(), 0);
  EXPECT_EQ(StoredRows(), 0u);
  EXPECT_EQ(ToUtf8(state_.current_account_name), "Наличные");
  EXPECT_TRUE(db_->IsOpen());
}

// A database that refuses to be emptied is reported, not confirmed.
TEST_P(MainScreenTest, ClearAllDataThatFailsSaysSo) {
  db_->Close();
  services_.AnswerNextMessage(MessageAnswer::kYes);
  services_.AnswerNextMessage(MessageAnswer::kOk);
  Screen().ClearAllData();
  EXPECT_EQ(services_.MessageTexts().back(), "Ошибка удаления данных! Данные не изменены.");
  EXPECT_EQ(services_.messages().back().icon, MessageIcon::kError);

  // Without a database: asked, the wait cursor, and nothing else.
  services_.AnswerNextMessage(MessageAnswer::kYes);
  MainScreen without(nullptr, state_, root_.env(), clock_, services_);
  without.ClearAllData();
  EXPECT_EQ(services_.messages().size(), 3u);
  EXPECT_EQ(services_.wait_cursor_depth(), 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, MainScreenTest, BothStorageKinds(), StorageKindName);

std::vector<std::string> Texts(const std::vector<MenuItem>& items) {
  std::vector<std::string> texts;
  for (const MenuItem& item : items) texts.push_back(item.IsSeparator() ? "-" : item.text);
  return texts;
}

TEST(MainMenuTest, TheDropDownsAreCutFromACopyOfTheMenuBar) {
  const std::vector<MenuItem> bar = MainMenuBar();
  EXPECT_EQ(Texts(bar), (std::vector<std::string>{"Функции", "Управление", "Помощь"}));
  EXPECT_EQ(Texts(bar[0].items),
            (std::vector<std::string>{"Предметы потребления", "-", "Добавить в расход",
                                      "Добавить в приход", "-", "Выход"}));
  EXPECT_EQ(Texts(bar[1].items), (std::vector<std::string>{"Статистика", "-", "Данные", "Счета",
                                                           "-", "Перевод между счетами"}));
  EXPECT_EQ(Texts(bar[1].items[2].items),
            (std::vector<std::string>{"Обмен данными", "Очистить все"}));
  EXPECT_EQ(Texts(bar[2].items), (std::vector<std::string>{"О программе", "-", "Обновления ..."}));

  const std::vector<MenuItem> kinds = KindsDropDown(bar);
  EXPECT_EQ(Texts(kinds), (std::vector<std::string>{"Виды доходов", "Виды расходов"}));
  EXPECT_EQ(kinds[0].command_id, kCommandIncomeKinds);
  EXPECT_EQ(kinds[1].command_id, kCommandExpenseKinds);
  const std::vector<MenuItem> management = ManagementDropDown(bar);
  EXPECT_EQ(Texts(management),
            (std::vector<std::string>{"Статистика", "-", "Перевод между счетами"}));
  EXPECT_EQ(management[0].command_id, kCommandStatistics);
  EXPECT_EQ(management[2].command_id, kCommandTransfer);
  EXPECT_TRUE(KindsDropDown({}).empty());
  EXPECT_TRUE(ManagementDropDown({}).empty());
}

TEST(UpdatesScreenTest, EachShowingTakesTheNextPage) {
  TempDeviceRoot root;
  AppState state(root.env());
  struct Case {
    int32_t stored;
    int shown;
    int32_t next;
  };
  const Case cases[] = {{0, 0, 1}, {1, 1, 2}, {2, 2, 0}, {-1, 0, 1}, {3, 0, 1}, {1 << 30, 0, 1}};
  for (const Case& c : cases) {
    state.current_info_page = c.stored;
    UpdatesScreen screen(state);
    screen.Start();
    EXPECT_EQ(screen.page(), c.shown) << c.stored;
    EXPECT_EQ(state.current_info_page, c.next) << c.stored;
    EXPECT_FALSE(UpdatesScreen::PageText(screen.page()).empty());
  }
  EXPECT_NE(UpdatesScreen::PageText(0), UpdatesScreen::PageText(1));
  EXPECT_NE(UpdatesScreen::PageText(1), UpdatesScreen::PageText(2));
}

}  // namespace
}  // namespace ledgerix::testing
