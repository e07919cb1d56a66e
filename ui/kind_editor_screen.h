#pragma once
// KindEditorScreen: the rules of the kind editor. It shows a kind's name, category and default
// price, checks what the person typed, and on "Принять" writes it into the caller's KindChoice;
// it never touches the database.

#include <string_view>
#include <vector>

#include "engine/db_string.h"
#include "ui/controls/screen_services.h"
#include "ui/kind_choice.h"

namespace ledgerix {

class FinanceDb;

class KindEditorScreen : public ScreenRules {
 public:
  // `db` (may be null: no categories to choose from) gives the categories; `choice` is the
  // caller's and outlives the screen.
  KindEditorScreen(FinanceDb* db, ScreenServices& services, KindChoice& choice);

  std::string_view ScreenName() const override { return "KindEditorDialog"; }

  // What the editor shows when it opens: the categories of the kind's direction, the kind's
  // name, its price with two decimals and its category selected; "Выбрать" chosen.
  void Start();

  // "Принять": checks the input in order; on the first fault shows its message ("...!!!") and
  // answers false (the editor stays open with the input kept). Otherwise writes name, category
  // and price into the choice, marks it accepted and answers true (the editor closes with OK).
  [[nodiscard]] bool OnAccept();

  // The fields of the editor, read and written by its dialog.
  DbString name;
  DbString price_text;           // the 2-decimal number editor's text
  bool create_category = false;  // "Создать" rather than "Выбрать"
  int selected_category = -1;    // index into categories(), -1 for none
  DbString new_category;         // the text typed under "Создать"

  const std::vector<DbString>& categories() const { return categories_; }

 private:
  // The category the input names, or false after showing why there is none.
  bool TakeCategory(DbString* category);
  // False after showing why the kind cannot be stored.
  bool CheckStorable(const KindRecord& kind);
  void Refuse(const char* text_utf8);

  FinanceDb* db_;
  ScreenServices& services_;
  KindChoice& choice_;
  std::vector<DbString> categories_;
};

}  // namespace ledgerix
