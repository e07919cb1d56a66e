#include "ui/account_settings_screen.h"

#include <algorithm>
#include <string>

#include "finance/finance_db.h"
#include "finance/row_limits.h"
#include "ui/edit_value_screen.h"

namespace ledgerix {
namespace {

constexpr char kAnyAccount[] = "<<Любой>>";

}  // namespace

AccountSettingsScreen::AccountSettingsScreen(FinanceDb* db, AppState& state,
                                             ScreenServices& services)
    : db_(db), state_(state), services_(services) {}

bool AccountSettingsScreen::Usable() const { return db_ != nullptr && db_->IsOpen(); }

void AccountSettingsScreen::Start() {
  create_mode = false;
  new_name = DbString();
  show_in_reports = state_.show_account_in_report != 0;
  show_in_entries = state_.finance.show_account_in_actions != 0;
  accounts_.clear();
  items_.clear();
  selected = -1;
  if (Usable() && !db_->LoadAccounts(&accounts_)) {
    Tell("Не удалось прочитать счета: данные повреждены!!!");
    accounts_.clear();
  }
  for (const AccountRecord& account : accounts_) {
    if (account.id != 0 && account.name.Length() > 0) items_.push_back({account.name, account.id});
  }
  if (items_.empty()) return;
  items_.insert(items_.begin(), Item{FromUtf8(kAnyAccount), 0});
  selected = 0;
  for (size_t i = 1; i < items_.size(); ++i) {
    if (items_[i].id == state_.finance.current_account_id) {
      selected = static_cast<int>(i);
      break;
    }
  }
}

void AccountSettingsScreen::OnRename() {
  if (create_mode || selected < 0 || selected >= static_cast<int>(items_.size())) return;
  Item& item = items_[static_cast<size_t>(selected)];
  EditValueScreen editor(item.text);
  if (services_.RunScreen(editor) != kScreenOk) return;
  item.text = editor.text;
}

bool AccountSettingsScreen::OnAccept() {
  state_.show_account_in_report = show_in_reports ? 1 : 0;
  state_.finance.show_account_in_actions = show_in_entries ? 1 : 0;
  if (create_mode && new_name.Length() == 0) {
    Tell("Не введено наименование счета!!!");
    return false;
  }
  if (!create_mode && (selected < 0 || selected >= static_cast<int>(items_.size()))) {
    Tell("Не выбрано значение счета из списка!!!");
    return false;
  }
  if (!Usable()) return true;
  return create_mode ? CreateAccount() : TakeSelected();
}

bool AccountSettingsScreen::CreateAccount() {
  AccountRecord account;
  // The next number after the listed ones, as accounts have always been numbered, unless an
  // account holds it already (ids need not be dense after an exchange).
  account.id = db_->FreeAccountId(static_cast<int32_t>(items_.size()) + 1);
  account.name = new_name;
  if (account.id == 0) {
    Tell("Не удалось прочитать счета: данные повреждены!!!");
    return false;
  }
  if (!CheckStorable(account)) return false;
  if (!db_->AddAccount(account)) {
    Tell("Не удалось сохранить счет!!!");
    return false;
  }
  MakeCurrent(account.id, account.name);
  return true;
}

bool AccountSettingsScreen::TakeSelected() {
  const Item& item = items_[static_cast<size_t>(selected)];
  for (const AccountRecord& stored : accounts_) {
    if (stored.id != item.id || item.id == 0) continue;
    if (stored.name.Equals(item.text)) break;
    // A rename: the account keeps its note and currency.
    AccountRecord renamed = stored;
    renamed.name = item.text;
    if (!CheckStorable(renamed)) return false;
    if (!db_->UpdateAccount(renamed)) {
      Tell("Не удалось сохранить новое наименование счета!!!");
      return false;
    }
    break;
  }
  MakeCurrent(item.id, item.text);
  return true;
}

bool AccountSettingsScreen::CheckStorable(const AccountRecord& account) {
  if (!TextFitsExchange(account.name)) {
    Tell("Наименование счета не может содержать символы \";\", \"[\", \"]\" и перевод строки!!!");
    return false;
  }
  if (!AccountFits(account)) {
    const uint32_t room =
        kMaxAccountTextBytes - std::min(account.note.Length(), kMaxAccountTextBytes);
    Tell(("Наименование счета не может быть длиннее " + std::to_string(room) + " знаков!!!")
             .c_str());
    return false;
  }
  return true;
}

void AccountSettingsScreen::MakeCurrent(int32_t id, const DbString& name) {
  state_.finance.current_account_id = id;
  state_.current_account_name = name;
}

void AccountSettingsScreen::Tell(const char* text_utf8) {
  services_.ShowMessage(FromUtf8(text_utf8), DbString(), MessageButtons::kOk,
                        MessageIcon::kWarning);
}

}  // namespace ledgerix
