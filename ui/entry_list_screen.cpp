#include "ui/entry_list_screen.h"

#include <string>

#include "engine/db_value.h"
#include "engine/parse.h"
#include "finance/date_key.h"
#include "finance/finance_db.h"
#include "finance/format_amount.h"
#include "finance/money.h"
#include "finance/type_code.h"
#include "ui/account_settings_screen.h"
#include "ui/kinds_list_screen.h"

namespace ledgerix {
namespace {

const char* MarkedOnlyKey(int32_t mode) {
  return mode == kIncome ? "CHECK_DEBIT_SUM" : "CHECK_CREDIT_SUM";
}

DbString Number(int64_t value) { return DbString(std::to_string(value)); }

int64_t RowSum(const EntryListScreen::Row& row) {
  return ScaleToNearest(row.price, row.count, 100);
}

// "[P][+]name", as the day's list shows a stored entry.
DbString StoredCaption(const KindRecord& kind, int32_t type) {
  DbString caption;
  if (TypeHasP(type)) caption.Append("[P]");
  if (TypeHasPlus(type)) caption.Append("[+]");
  caption.AppendString(kind.name);
  return caption;
}

const KindRecord* KindOf(const std::vector<KindRecord>& kinds, int32_t id, int32_t mode) {
  for (const KindRecord& kind : kinds) {
    if (kind.id == id && kind.type == mode) return &kind;
  }
  return nullptr;
}

DbString AccountName(const std::vector<AccountRecord>& accounts, int32_t id) {
  for (const AccountRecord& account : accounts) {
    if (account.id == id) return account.name;
  }
  return DbString();
}

}  // namespace

EntryListScreen::EntryListScreen(FinanceDb* db, AppState& state, const platform::Clock& clock,
                                 ScreenServices& services, int32_t mode)
    : db_(db), state_(state), clock_(clock), services_(services), mode_(mode) {
  shown_ = clock_.Local(clock_.Now());
  day_ = BuildDateKey(shown_.day, shown_.month, shown_.year);
}

DbString EntryListScreen::Caption() const {
  return FromUtf8(mode_ == kIncome ? "Перечень доходов (+++)" : "Перечень расходов (---)");
}

std::vector<EntryListScreen::Column> EntryListScreen::Columns(int w) const {
  std::vector<Column> columns = {{DbString(), w / 15, false}, {"N.", w / 10, false}};
  if (AccountColumnShown()) columns.push_back({FromUtf8("Счет"), 3 * w / 10, false});
  columns.push_back({FromUtf8("Наименование"), 4 * w / 10, false});
  columns.push_back({FromUtf8("Кол-во"), 2 * w / 10, true});
  columns.push_back({FromUtf8("Цена"), 2 * w / 10, true});
  columns.push_back({FromUtf8("Сумма"), 3 * w / 10, true});
  columns.push_back({DbString(), 0, false});  // the account id, hidden
  return columns;
}

bool EntryListScreen::Usable() const { return db_ != nullptr && db_->IsOpen(); }

void EntryListScreen::Start(ListControl& list) {
  list_ = &list;
  marked_only_ = state_.settings.ReadInt32(MarkedOnlyKey(mode_), 0) != 0;
  Load();
}

platform::LocalTime EntryListScreen::DayShown() const { return shown_; }

EntryFilter EntryListScreen::DayFilter(int32_t day) const {
  EntryFilter filter;
  filter.date = day;
  filter.type = mode_;
  filter.account_id = state_.finance.current_account_id;
  return filter;
}

void EntryListScreen::Load() {
  rows_.clear();
  unshown_.clear();
  day_unreadable_ = false;
  selection_mark_ = -1;
  if (Usable()) {
    std::vector<EntryRecord> entries;
    std::vector<KindRecord> kinds;
    std::vector<AccountRecord> accounts;
    if (!db_->LoadDayEntries(DayFilter(day_), &entries) || !db_->LoadKinds(&kinds)) {
      day_unreadable_ = true;
      entries.clear();
      Tell(FromUtf8("Не удалось прочитать записи дня: данные повреждены!!!"));
    }
    // Without the accounts the rows are listed all the same, their account names empty.
    if (AccountColumnShown() && !db_->LoadAccounts(&accounts)) accounts.clear();
    for (EntryRecord& entry : entries) {
      const KindRecord* kind = KindOf(kinds, entry.kind_id, mode_);
      if (kind == nullptr) {
        unshown_.push_back(std::move(entry));
        continue;
      }
      Row row;
      row.count = HundredthsOf(entry.count);
      row.price = HundredthsOf(entry.price);
      row.caption = StoredCaption(*kind, entry.type);
      row.account_name = AccountName(accounts, entry.account_id);
      row.entry = std::move(entry);
      rows_.push_back(std::move(row));
    }
  }
  Render();
}

void EntryListScreen::Render() {
  if (list_ == nullptr) return;
  list_->DeleteAllItems();
  for (size_t i = 0; i < rows_.size(); ++i) {
    const Row& row = rows_[i];
    const int item = list_->InsertItem(DbString(), row.entry.mark != 0 ? 0 : 1, row.entry.kind_id);
    int column = 1;
    list_->SetItemText(item, column++, Number(static_cast<int64_t>(i) + 1));
    if (AccountColumnShown()) list_->SetItemText(item, column++, row.account_name);
    list_->SetItemText(item, column++, row.caption);
    RenderRow(i);
    list_->SetItemText(item, SumColumn() + 1, Number(row.entry.account_id));
  }
}

void EntryListScreen::RenderRow(size_t index) {
  const Row& row = rows_[index];
  const int item = static_cast<int>(index);
  list_->SetItemText(item, QuantityColumn(), FormatMoney(row.count));
  list_->SetItemText(item, PriceColumn(), FormatMoney(row.price));
  list_->SetItemText(item, SumColumn(), FormatMoney(RowSum(row)));
}

bool EntryListScreen::OnDayChanged(int day, int month, int year) {
  if (!StoreDay(day_)) return false;
  shown_.day = day;
  shown_.month = month;
  shown_.year = year;
  day_ = BuildDateKey(day, month, year);
  Load();
  return true;
}

void EntryListScreen::OnAddRow() {
  KindChoice choice;
  KindsListScreen kinds(db_, clock_, services_, mode_, &choice);
  if (services_.RunScreen(kinds) != kScreenOk || !choice.accepted) return;
  Row row;
  row.entry.kind_id = choice.kind.id;
  row.entry.type = mode_;
  row.entry.account_id = state_.finance.current_account_id;
  row.count = 100;
  row.price = HundredthsOf(choice.kind.price);
  row.caption = choice.kind.name;
  AccountRecord account;
  if (AccountColumnShown() && Usable() &&
      db_->FindAccount(&account, row.entry.account_id, DbString())) {
    row.account_name = account.name;
  }
  rows_.push_back(std::move(row));
  selection_mark_ = static_cast<int>(rows_.size()) - 1;
  Render();
}

void EntryListScreen::OnDeleteRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || !Usable()) return;
  rows_.erase(rows_.begin() + row);
  const int count = static_cast<int>(rows_.size());
  selection_mark_ = count == 0 ? -1 : (row < count ? row : count - 1);
  Render();
}

void EntryListScreen::OnToggleMark(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  int32_t& mark = rows_[static_cast<size_t>(row)].entry.mark;
  mark = mark != 0 ? 0 : 1;
  Render();
}

void EntryListScreen::OnMarkedOnlyToggled() {
  marked_only_ = !marked_only_;
  const bool saved =
      state_.settings.WriteSetting(MarkedOnlyKey(mode_), DbValue(int32_t{marked_only_ ? 1 : 0})) &&
      state_.settings.Save();
  if (!saved) Tell(FromUtf8("Не удалось сохранить настройки!"));
}

void EntryListScreen::OnCellEdited(int row, int column, const DbString& text) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  Row& edited = rows_[static_cast<size_t>(row)];
  if (column == QuantityColumn()) {
    edited.count = ParseHundredths(text.CStr());
  } else if (column == PriceColumn()) {
    edited.price = ParseHundredths(text.CStr());
  } else {
    return;
  }
  if (list_ != nullptr) RenderRow(static_cast<size_t>(row));
}

bool EntryListScreen::OnAccountsEditor() {
  if (!StoreDay(day_)) return false;
  AccountSettingsScreen editor(db_, state_, services_);
  (void)services_.RunScreen(editor);
  Load();
  return true;
}

bool EntryListScreen::OnSave() { return StoreDay(day_); }

EntryRecord EntryListScreen::EntryToStore(const Row& row, int32_t day) const {
  EntryRecord entry = row.entry;
  entry.date = day;
  entry.count = static_cast<double>(row.count) / 100;
  entry.price = static_cast<double>(row.price) / 100;
  // The screen decides the direction and the mark; the other digits of a stored type stay.
  const int32_t old = row.entry.type;
  entry.type = (old / 1000) * 1000 + (entry.mark != 0 ? 100 : 0) + ((old / 10) % 10) * 10 + mode_;
  return entry;
}

bool EntryListScreen::StoreDay(int32_t day) {
  if (!Usable()) return true;
  if (day_unreadable_) {
    Tell(FromUtf8("Записи дня не сохранены: сохраненные записи не удалось прочитать!"));
    return true;
  }
  std::vector<EntryRecord> entries;
  for (const Row& row : rows_) entries.push_back(EntryToStore(row, day));
  entries.insert(entries.end(), unshown_.begin(), unshown_.end());
  size_t refused = 0;
  switch (db_->ReplaceDayEntries(DayFilter(day), entries, &refused)) {
    case DaySaveResult::kSaved:
      return true;
    case DaySaveResult::kRowRefused: {
      DbString text = FromUtf8("Строка " + std::to_string(refused + 1) + " (");
      if (refused < rows_.size()) text.AppendString(rows_[refused].caption);
      text.AppendString(
          FromUtf8(") не может быть сохранена: количество и цена не могут быть "
                   "больше 16,777,215.99!!!"));
      Tell(text);
      return false;
    }
    case DaySaveResult::kFailed:
      break;
  }
  const MessageAnswer answer = services_.ShowMessage(
      FromUtf8("Не удалось сохранить записи дня, сохраненные ранее записи не изменены. "
               "Закрыть без сохранения?"),
      DbString(), MessageButtons::kYesNo, MessageIcon::kError);
  return answer == MessageAnswer::kYes;
}

DbString EntryListScreen::TotalText() const {
  int64_t total = 0;
  for (const Row& row : rows_) {
    if (marked_only_ && row.entry.mark == 0) continue;
    total = SumMoney(total, RowSum(row));
  }
  DbString text = FromUtf8("Итого сумма: ");
  text.AppendString(FormatMoney(total));
  return text;
}

DbString EntryListScreen::AccountText() const {
  if (!AccountColumnShown()) return DbString();
  DbString text = FromUtf8("Счет: ");
  text.AppendString(state_.current_account_name);
  return text;
}

void EntryListScreen::Tell(const DbString& text) {
  services_.ShowMessage(text, DbString(), MessageButtons::kOk, MessageIcon::kWarning);
}

}  // namespace ledgerix
