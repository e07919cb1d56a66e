#pragma once
// EntryListScreen: the rules of the list of one day's income (mode 1) or expenses (mode 2).
// It holds the day's rows as the person edits them (kind, quantity, price, mark, account),
// shows them and their total, and stores the day back whole at every save point: closing,
// changing the day, and opening the accounts editor. A day that cannot be stored whole is not
// stored at all: the screen says why and keeps the rows.

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/db_string.h"
#include "finance/finance_records.h"
#include "finance/list_control.h"
#include "platform/clock.h"
#include "ui/app_state.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

class FinanceDb;

class EntryListScreen : public ScreenRules {
 public:
  struct Row {
    EntryRecord entry;    // as stored (note, currency, type digits) or as added
    int64_t count = 100;  // hundredths, as shown
    int64_t price = 0;    // hundredths, as shown
    DbString caption;     // the kind's name as listed ("[P]" and "[+]" from the stored type)
    DbString account_name;
  };
  struct Column {
    DbString title;
    int width = 0;
    bool right_aligned = false;
  };

  // `db` may be null or closed: nothing is loaded or stored. `mode` 1 income, 2 expense.
  EntryListScreen(FinanceDb* db, AppState& state, const platform::Clock& clock,
                  ScreenServices& services, int32_t mode);

  std::string_view ScreenName() const override { return "EntryListDialog"; }
  int32_t mode() const { return mode_; }
  // "Перечень доходов (+++)" or "Перечень расходов (---)".
  DbString Caption() const;

  // The list's columns for a list `list_width` pixels wide, with "Счет" while the account
  // column is on.
  std::vector<Column> Columns(int list_width) const;
  bool AccountColumnShown() const { return state_.finance.show_account_in_actions != 0; }
  int QuantityColumn() const { return 3 + (AccountColumnShown() ? 1 : 0); }
  int PriceColumn() const { return QuantityColumn() + 1; }
  int SumColumn() const { return QuantityColumn() + 2; }

  // Binds the list, reads the marked-only switch and loads today's rows.
  void Start(ListControl& list);

  // The chosen day (a DateKey) and what the date picker shows.
  int32_t day() const { return day_; }
  platform::LocalTime DayShown() const;

  // The picker chose another day: the rows are stored under the day before, then the new day's
  // rows are loaded. False when the rows could not be stored: the screen keeps the old day and
  // its rows (the picker goes back).
  [[nodiscard]] bool OnDayChanged(int day, int month, int year);

  // "Добавить": a kind chosen in the kinds list becomes a new unmarked row at the end.
  void OnAddRow();
  // "Удалить": removes row `row` (nothing for -1); the stored entries change at the next save.
  void OnDeleteRow(int row);
  // A double tap the list did not take: the row's mark flips.
  void OnToggleMark(int row);
  // The check box: totals count only marked rows, or all; remembered in the settings at once.
  void OnMarkedOnlyToggled();
  // An in-place editor changed the quantity or price of `row` to `text`.
  void OnCellEdited(int row, int column, const DbString& text);
  // The accounts editor: stores the day, runs the editor, then loads the day again (the
  // account filter and the account column may have changed). False when the day could not be
  // stored (the editor is not opened).
  [[nodiscard]] bool OnAccountsEditor();
  // OK, the close button or the hidden save button: stores the rows. False when they could not
  // be stored (the screen stays open with its rows, after saying why).
  [[nodiscard]] bool OnSave();

  // Writes every row into the list again (after its columns changed).
  void Redraw() { Render(); }

  bool marked_only() const { return marked_only_; }
  const std::vector<Row>& rows() const { return rows_; }
  // The selection mark: the row the screen selected last (-1 for none).
  int selection_mark() const { return selection_mark_; }
  void SetSelectionMark(int row) { selection_mark_ = row; }
  // "Итого сумма: 1,234.50" and, while the account column is on, "Счет: name".
  DbString TotalText() const;
  DbString AccountText() const;

 private:
  bool Usable() const;
  EntryFilter DayFilter(int32_t day) const;
  void Load();
  // Writes every row into the list.
  void Render();
  void RenderRow(size_t index);
  [[nodiscard]] bool StoreDay(int32_t day);
  EntryRecord EntryToStore(const Row& row, int32_t day) const;
  void Tell(const DbString& text);

  FinanceDb* db_;
  AppState& state_;
  const platform::Clock& clock_;
  ScreenServices& services_;
  int32_t mode_;
  int32_t day_;
  platform::LocalTime shown_;  // the day as the date picker shows it
  bool marked_only_ = false;
  bool day_unreadable_ = false;  // the day's entries could not be read: it is not stored back
  ListControl* list_ = nullptr;
  std::vector<Row> rows_;
  // The day's stored entries whose kind is gone: they cannot be shown, and are stored back as
  // they were so that saving the day never deletes them unseen.
  std::vector<EntryRecord> unshown_;
  int selection_mark_ = -1;
};

}  // namespace ledgerix
