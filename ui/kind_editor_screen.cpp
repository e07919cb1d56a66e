#include "ui/kind_editor_screen.h"

#include "engine/parse.h"
#include "finance/finance_db.h"
#include "finance/format_amount.h"
#include "finance/money.h"
#include "finance/row_limits.h"
#include "ui/kind_categories.h"

namespace ledgerix {

KindEditorScreen::KindEditorScreen(FinanceDb* db, ScreenServices& services, KindChoice& choice)
    : db_(db), services_(services), choice_(choice) {}

void KindEditorScreen::Start() {
  std::vector<KindRecord> kinds;
  if (db_ != nullptr && db_->IsOpen() && !db_->LoadKinds(&kinds)) kinds.clear();
  categories_ = CategoriesOf(kinds, choice_.kind.type);
  name = choice_.kind.name;
  price_text = FormatAmount(choice_.kind.price, 2);
  create_category = false;
  selected_category = -1;
  for (size_t i = 0; i < categories_.size(); ++i) {
    if (categories_[i].Equals(choice_.kind.category)) selected_category = static_cast<int>(i);
  }
  new_category = DbString();
}

bool KindEditorScreen::OnAccept() {
  KindRecord kind = choice_.kind;
  kind.name = name;
  const int64_t hundredths = ParseHundredths(price_text.CStr());
  if (!TakeCategory(&kind.category)) return false;
  if (hundredths > kMaxPackedHundredths) {
    Refuse("Стоимость по умолчанию не может быть больше 16,777,215.99!!!");
    return false;
  }
  kind.price = static_cast<double>(hundredths) / 100;
  if (!CheckStorable(kind)) return false;
  choice_.kind = kind;
  choice_.accepted = true;
  return true;
}

bool KindEditorScreen::TakeCategory(DbString* category) {
  if (create_category) {
    if (new_category.Length() == 0) {
      Refuse("Не введено значение категории!!!");
      return false;
    }
    *category = new_category;
    return true;
  }
  if (selected_category < 0 || selected_category >= static_cast<int>(categories_.size())) {
    Refuse("Не выбрано значение категории!!!");
    return false;
  }
  *category = categories_[static_cast<size_t>(selected_category)];
  return true;
}

bool KindEditorScreen::CheckStorable(const KindRecord& kind) {
  if (!TextFitsExchange(kind.name) || !TextFitsExchange(kind.category)) {
    Refuse(
        "Наименование и категория не могут содержать символы \";\", \"[\", \"]\" и перевод "
        "строки!!!");
    return false;
  }
  if (!KindFits(kind)) {
    Refuse("Наименование и категория вместе не могут быть длиннее 90 знаков!!!");
    return false;
  }
  return true;
}

void KindEditorScreen::Refuse(const char* text_utf8) {
  services_.ShowMessage(FromUtf8(text_utf8), DbString(), MessageButtons::kOk,
                        MessageIcon::kWarning);
}

}  // namespace ledgerix
