#pragma once
// AccountSettingsScreen: the rules of the accounts editor ("Настройки"). The person picks the
// current account ("<<Любой>>" for all), renames one, or creates one, and switches the account
// column of the reports and of the entry lists. Nothing is stored before "Принять".

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/db_string.h"
#include "finance/finance_records.h"
#include "ui/app_state.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

class FinanceDb;

class AccountSettingsScreen : public ScreenRules {
 public:
  struct Item {
    DbString text;
    int32_t id = 0;
  };

  // `db` may be null or closed: no accounts are listed and "Принять" changes only the switches.
  AccountSettingsScreen(FinanceDb* db, AppState& state, ScreenServices& services);

  std::string_view ScreenName() const override { return "AccountSettingsDialog"; }

  // Lists the accounts with a name ("<<Любой>>" first when there is one) and selects the
  // current one; the switches show the state's.
  void Start();
  // "...": renames the selected item in the list through "Изменить значение" (choose mode only).
  void OnRename();
  // "Принять": the switches always reach the state. Then creates the account or makes the
  // selected one current (storing its new name when it was renamed). Answers false after a
  // message ("...!!!") when the screen stays open; true when it closes as accepted.
  [[nodiscard]] bool OnAccept();

  // The fields of the screen, read and written by its dialog.
  bool create_mode = false;  // "Создать" rather than "Выбрать"
  int selected = -1;         // index into items(), -1 for none
  DbString new_name;
  bool show_in_reports = false;
  bool show_in_entries = false;

  const std::vector<Item>& items() const { return items_; }

 private:
  bool Usable() const;
  [[nodiscard]] bool CreateAccount();
  [[nodiscard]] bool TakeSelected();
  // False after telling why `account` cannot be stored.
  bool CheckStorable(const AccountRecord& account);
  void MakeCurrent(int32_t id, const DbString& name);
  void Tell(const char* text_utf8);

  FinanceDb* db_;
  AppState& state_;
  ScreenServices& services_;
  std::vector<AccountRecord> accounts_;  // as read at Start, notes and currencies included
  std::vector<Item> items_;
};

}  // namespace ledgerix
