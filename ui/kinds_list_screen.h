#pragma once
// KindsListScreen: the rules of the kinds list of one direction. It fills the category filter
// and the list of kinds, finds a kind by a part of its name, adds, edits and deletes kinds
// through the kind editor, and in choose mode hands the chosen kind to its caller.

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/db_string.h"
#include "finance/finance_records.h"
#include "finance/list_control.h"
#include "platform/clock.h"
#include "ui/controls/screen_services.h"
#include "ui/kind_choice.h"

namespace ledgerix {

class FinanceDb;

class KindsListScreen : public ScreenRules {
 public:
  // A line of the category filter; data 1 marks "<<Любая>>", which filters nothing.
  struct Category {
    DbString text;
    int64_t data = 0;
  };

  // `db` may be null or closed: the list stays empty and the commands do nothing.
  // `choose_into` is the caller's record in choose mode, null to maintain the kinds.
  KindsListScreen(FinanceDb* db, const platform::Clock& clock, ScreenServices& services,
                  int32_t direction, KindChoice* choose_into);

  std::string_view ScreenName() const override { return "KindsListDialog"; }
  bool ChooseMode() const { return choose_into_ != nullptr; }
  int32_t direction() const { return direction_; }
  // "Виды доходов" or "Виды расходов" (Windows-1251).
  DbString Caption() const;

  // Binds the screen's list and fills the categories and the kinds. In choose mode, when the
  // caller's kind has a category, the filter holds just that category.
  void Start(ListControl& list);
  // The person chose filter line `index`: the kinds are listed anew.
  void OnCategoryChanged(int index);
  // The person selected row `row` of the list (-1 for none).
  void SetSelectionMark(int row) { selection_mark_ = row; }
  // Selects the first row at or after the selection mark whose name holds `text` (bytes, case
  // as typed); nothing changes when none does.
  void OnFind(const DbString& text);
  void OnAdd();
  void OnEdit();
  // Asks "Удалить?" first; deletes the marked kind with its entries on OK.
  void OnDelete();
  // "Выбрать" or a double tap on a row: edits the kind, or in choose mode copies it into the
  // caller's record; answers true when the screen closes then.
  [[nodiscard]] bool OnChoose();

  const std::vector<Category>& categories() const { return categories_; }
  int selected_category() const { return selected_category_; }
  // The listed kinds in the list's order.
  const std::vector<KindRecord>& rows() const { return rows_; }
  int selection_mark() const { return selection_mark_; }

 private:
  bool Usable() const;
  std::vector<KindRecord> LoadKinds();
  // Fills the categories, "<<Любая>>" first, and selects the line of the text selected before.
  void FillCategories();
  // Lists the kinds of the direction and filter by name and selects `select_id` (0: the first).
  void FillKinds(int32_t select_id);
  // The kind of the selection mark read from the database; false when there is none.
  bool ReadMarkedKind(KindRecord* kind);
  // Runs the kind editor on `choice`; true when the person accepted it.
  bool RunEditor(KindChoice& choice);
  void Tell(const char* text_utf8);

  FinanceDb* db_;
  const platform::Clock& clock_;
  ScreenServices& services_;
  int32_t direction_;
  KindChoice* choose_into_;
  ListControl* list_ = nullptr;
  std::vector<Category> categories_;
  int selected_category_ = -1;
  std::vector<KindRecord> rows_;
  int selection_mark_ = -1;
};

}  // namespace ledgerix
