// The accounts editor's rules on both storage kinds: the list, creating with a free id,
// renaming without losing the note, the refusals, and what reaches the process-wide state.
#include "ui/account_settings_screen.h"

#include <gtest/gtest.h>

#include "finance/testing/finance_test_support.h"
#include "platform/fault_injection_env.h"
#include "ui/edit_value_screen.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix::testing {
namespace {

class AccountSettingsScreenTest : public FinanceDbTest {
 protected:
  AccountSettingsScreenTest() : state_(root_.env()) {}
  void SetUp() override { ASSERT_EQ(OpenDatabase(), 1); }

  AccountSettingsScreen& Open(FinanceDb* db) {
    state_.finance = globals_;
    screen_ = std::make_unique<AccountSettingsScreen>(db, state_, services_);
    screen_->Start();
    return *screen_;
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (const auto& item : screen_->items()) {
      items.push_back(std::to_string(item.id) + ":" + ToUtf8(item.text));
    }
    return items;
  }
  void RenameTo(const char* name) {
    services_.OnNextScreenOf<EditValueScreen>("EditValueDialog", [name](EditValueScreen& edit) {
      edit.text = FromUtf8(name);
      return kScreenOk;
    });
    screen_->OnRename();
  }

  AppState state_;
  ScriptedScreenServices services_;
  std::unique_ptr<AccountSettingsScreen> screen_;
};

TEST_P(AccountSettingsScreenTest, ListsNamedAccountsAfterAnyAndSelectsTheCurrentOne) {
  ASSERT_EQ(db_->AddAccount(MakeAccount(5, "")), 1);  // a nameless account is not listed
  struct Case {
    int32_t current;
    int selected;
  } cases[] = {{2, 2}, {1, 1}, {0, 0}, {99, 0}};
  for (const Case& c : cases) {
    globals_.current_account_id = c.current;
    Open(db_.get());
    EXPECT_EQ(Items(),
              (std::vector<std::string>{"0:<<Любой>>", "1:Наличные", "2:Кредитная карта"}));
    EXPECT_EQ(screen_->selected, c.selected) << c.current;
  }
  ASSERT_EQ(db_->DeleteAllData(), 1);
  Open(db_.get());
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(screen_->selected, -1);
}

TEST_P(AccountSettingsScreenTest, ANewAccountTakesTheNextNumberUnlessItIsTaken) {
  AccountSettingsScreen& screen = Open(db_.get());
  screen.create_mode = true;
  screen.new_name = FromUtf8("Вклад");
  ASSERT_TRUE(screen.OnAccept());
  EXPECT_EQ(state_.finance.current_account_id, 4);  // three items listed, plus one
  EXPECT_EQ(ToUtf8(state_.current_account_name), "Вклад");

  // Ids need not be dense: 4 is taken now and 3 is listed; the next new one must not hide 4.
  ASSERT_EQ(db_->UpdateAccount(MakeAccount(2, "")), 1);
  AccountSettingsScreen& again = Open(db_.get());
  EXPECT_EQ(Items(), (std::vector<std::string>{"0:<<Любой>>", "1:Наличные", "4:Вклад"}));
  again.create_mode = true;
  again.new_name = FromUtf8("Сейф");
  ASSERT_TRUE(again.OnAccept());
  EXPECT_EQ(state_.finance.current_account_id, 5);
  EXPECT_EQ(TableLines(*db_, kAccountsTable),
            (std::vector<std::string>{"1;Наличные;;0;", "2;;;0;", "4;Вклад;;0;", "5;Сейф;;0;"}));
}

TEST_P(AccountSettingsScreenTest, RefusesWithAMessageAndStaysOpen) {
  struct Case {
    bool create;
    const char* name;
    const char* message;
  } cases[] = {
      {true, "", "Не введено наименование счета!!!"},
      {true, "Счет;1",
       "Наименование счета не может содержать символы \";\", \"[\", \"]\" и "
       "перевод строки!!!"},
      {true, "Очень длинное наименование счета, которое не поместится в строку",
       "Наименование счета не может быть длиннее 62 знаков!!!"},
      {false, nullptr, "Не выбрано значение счета из списка!!!"},
  };
  for (const Case& c : cases) {
    AccountSettingsScreen& screen = Open(db_.get());
    screen.create_mode = c.create;
    if (c.name != nullptr) screen.new_name = FromUtf8(c.name);
    if (!c.create) screen.selected = -1;
    screen.show_in_reports = true;
    services_.AnswerNextMessage(MessageAnswer::kOk);
    EXPECT_FALSE(screen.OnAccept()) << c.message;
    EXPECT_EQ(services_.MessageTexts().back(), c.message);
    EXPECT_EQ(state_.show_account_in_report, 1);  // the switches take effect all the same
  }
  EXPECT_EQ(TableLines(*db_, kAccountsTable).size(), 2u);
}

TEST_P(AccountSettingsScreenTest, ARenameKeepsNoteAndCurrencyAndIsStoredOnlyOnAccept) {
  ASSERT_EQ(
      db_->UpdateAccount(AccountRecord{2, FromUtf8("Кредитная карта"), 3, FromUtf8("до 2027")}), 1);
  AccountSettingsScreen& screen = Open(db_.get());
  screen.selected = 2;
  RenameTo("Карта");
  EXPECT_EQ(Items()[2], "2:Карта");
  EXPECT_EQ(TableLines(*db_, kAccountsTable)[1], "2;Кредитная карта;до 2027;3;");  // cancelled
  ASSERT_TRUE(screen.OnAccept());
  EXPECT_EQ(TableLines(*db_, kAccountsTable)[1], "2;Карта;до 2027;3;");
  EXPECT_EQ(state_.finance.current_account_id, 2);
  EXPECT_EQ(ToUtf8(state_.current_account_name), "Карта");

  // Making another account current changes nothing stored.
  Open(db_.get()).selected = 1;
  ASSERT_TRUE(screen_->OnAccept());
  EXPECT_EQ(TableLines(*db_, kAccountsTable)[1], "2;Карта;до 2027;3;");

  // An empty name is stored: the account leaves every list.
  Open(db_.get()).selected = 1;
  RenameTo("");
  ASSERT_TRUE(screen_->OnAccept());
  EXPECT_EQ(TableLines(*db_, kAccountsTable)[0], "1;;;0;");
  Open(db_.get());
  EXPECT_EQ(Items(), (std::vector<std::string>{"0:<<Любой>>", "2:Карта"}));
}

TEST_P(AccountSettingsScreenTest, ChoosingAnyCoversAllAccounts) {
  globals_.current_account_id = 2;
  AccountSettingsScreen& screen = Open(db_.get());
  screen.selected = 0;
  ASSERT_TRUE(screen.OnAccept());
  EXPECT_EQ(state_.finance.current_account_id, 0);
  EXPECT_EQ(ToUtf8(state_.current_account_name), "<<Любой>>");
}

TEST_P(AccountSettingsScreenTest, ARenameTheDatabaseRefusesIsReportedAndNotShownAsStored) {
  platform::FaultInjectionEnv faulty(&root_.env());
  FinanceDb db(faulty, clock_, globals_);
  ASSERT_EQ(db.Open(kDatabaseName), 1);
  globals_.current_account_id = 1;
  AccountSettingsScreen& screen = Open(&db);
  screen.selected = 2;
  RenameTo("Карта");
  faulty.SetDiskFull(true);
  services_.AnswerNextMessage(MessageAnswer::kOk);
  EXPECT_FALSE(screen.OnAccept());
  EXPECT_EQ(services_.MessageTexts().back(), "Не удалось сохранить новое наименование счета!!!");
  EXPECT_EQ(state_.finance.current_account_id, 1);
  faulty.SetDiskFull(false);
  EXPECT_EQ(TableLines(db, kAccountsTable)[1], "2;Кредитная карта;;0;");
}

TEST_P(AccountSettingsScreenTest, WithoutADatabaseOnlyTheSwitchesChange) {
  AccountSettingsScreen& screen = Open(nullptr);
  EXPECT_TRUE(Items().empty());
  screen.show_in_entries = true;
  screen.selected = -1;
  services_.AnswerNextMessage(MessageAnswer::kOk);
  EXPECT_FALSE(screen.OnAccept());  // nothing to choose from
  EXPECT_EQ(state_.finance.show_account_in_actions, 1);
  screen.create_mode = true;
  screen.new_name = FromUtf8("Вклад");
  EXPECT_TRUE(screen.OnAccept());
  EXPECT_EQ(state_.finance.current_account_id, 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, AccountSettingsScreenTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
