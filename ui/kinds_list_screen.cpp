#include "ui/kinds_list_screen.h"

#include <algorithm>
#include <string>

#include "finance/finance_db.h"
#include "finance/format_amount.h"
#include "reports/info_caption.h"
#include "ui/kind_categories.h"
#include "ui/kind_editor_screen.h"

namespace ledgerix {
namespace {

constexpr char kAnyCategory[] = "<<Любая>>";

// Windows-1251 byte order, as unsigned codes.
bool NameBefore(const KindRecord& a, const KindRecord& b) {
  const std::string_view x = a.name.View(), y = b.name.View();
  return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char l, char r) {
    return static_cast<unsigned char>(l) < static_cast<unsigned char>(r);
  });
}

}  // namespace

KindsListScreen::KindsListScreen(FinanceDb* db, const platform::Clock& clock,
                                 ScreenServices& services, int32_t direction,
                                 KindChoice* choose_into)
    : db_(db),
      clock_(clock),
      services_(services),
      direction_(direction),
      choose_into_(choose_into) {}

DbString KindsListScreen::Caption() const {
  return FromUtf8(direction_ == 1 ? "Виды доходов" : "Виды расходов");
}

bool KindsListScreen::Usable() const { return db_ != nullptr && db_->IsOpen() && list_ != nullptr; }

std::vector<KindRecord> KindsListScreen::LoadKinds() {
  std::vector<KindRecord> kinds;
  if (!db_->LoadKinds(&kinds)) {
    Tell("Не удалось прочитать виды: данные повреждены!!!");
    kinds.clear();
  }
  return kinds;
}

void KindsListScreen::Start(ListControl& list) {
  list_ = &list;
  if (!Usable()) return;
  if (ChooseMode() && choose_into_->kind.category.Length() > 0) {
    categories_ = {{choose_into_->kind.category, 0}};
    selected_category_ = 0;
  } else {
    FillCategories();
  }
  FillKinds(0);
}

void KindsListScreen::OnCategoryChanged(int index) {
  selected_category_ = index;
  if (Usable()) FillKinds(0);
}

void KindsListScreen::FillCategories() {
  DbString remembered;
  const bool had_selection =
      selected_category_ >= 0 && selected_category_ < static_cast<int>(categories_.size());
  if (had_selection) remembered = categories_[static_cast<size_t>(selected_category_)].text;
  categories_ = {{FromUtf8(kAnyCategory), 1}};
  for (DbString& category : CategoriesOf(LoadKinds(), direction_)) {
    categories_.push_back({std::move(category), 0});
  }
  selected_category_ = 0;
  if (!had_selection) return;
  for (size_t i = 0; i < categories_.size(); ++i) {
    if (categories_[i].text.Equals(remembered)) {
      selected_category_ = static_cast<int>(i);
      break;
    }
  }
}

void KindsListScreen::FillKinds(int32_t select_id) {
  list_->DeleteAllItems();
  const Category* filter = nullptr;
  if (selected_category_ >= 0 && selected_category_ < static_cast<int>(categories_.size()) &&
      categories_[static_cast<size_t>(selected_category_)].data == 0) {
    filter = &categories_[static_cast<size_t>(selected_category_)];
  }
  rows_.clear();
  for (KindRecord& kind : LoadKinds()) {
    if (kind.type != direction_) continue;
    if (filter != nullptr && !kind.category.Equals(filter->text)) continue;
    rows_.push_back(std::move(kind));
  }
  std::stable_sort(rows_.begin(), rows_.end(), NameBefore);
  selection_mark_ = rows_.empty() ? -1 : 0;
  for (size_t i = 0; i < rows_.size(); ++i) {
    const KindRecord& kind = rows_[i];
    const int item = list_->InsertItem(DbString(std::to_string(i + 1)), 0, kind.id);
    list_->SetItemText(item, 1, kind.name);
    list_->SetItemText(item, 2, FormatAmount(kind.price, 2));
    if (kind.id == select_id) selection_mark_ = static_cast<int>(i);
  }
}

void KindsListScreen::OnFind(const DbString& text) {
  if (!Usable()) return;
  for (size_t i = static_cast<size_t>(std::max(selection_mark_, 0)); i < rows_.size(); ++i) {
    if (rows_[i].name.View().find(text.View()) != std::string_view::npos) {
      selection_mark_ = static_cast<int>(i);
      return;
    }
  }
}

bool KindsListScreen::RunEditor(KindChoice& choice) {
  KindEditorScreen editor(db_, services_, choice);
  return services_.RunScreen(editor) == kScreenOk && choice.accepted;
}

void KindsListScreen::OnAdd() {
  if (!Usable()) return;
  KindChoice choice;
  // The current time, as new kinds have always been numbered, unless a kind holds it already.
  choice.kind.id = db_->FreeKindId(static_cast<int32_t>(clock_.Now()));
  choice.kind.type = direction_;
  if (choice.kind.id == 0) {
    Tell("Не удалось прочитать виды: данные повреждены!!!");
    return;
  }
  if (!RunEditor(choice)) return;
  const KindRecord& kind = choice.kind;
  if (kind.name.Length() == 0 || kind.category.Length() == 0) return;
  if (!db_->AddKind(kind)) {
    Tell("Не удалось сохранить вид!!!");
    return;
  }
  FillCategories();
  if (selected_category_ > 0 &&
      !categories_[static_cast<size_t>(selected_category_)].text.Equals(kind.category)) {
    for (size_t i = 1; i < categories_.size(); ++i) {
      if (categories_[i].text.Equals(kind.category)) selected_category_ = static_cast<int>(i);
    }
  }
  FillKinds(kind.id);
}

bool KindsListScreen::ReadMarkedKind(KindRecord* kind) {
  if (selection_mark_ < 0 || selection_mark_ >= static_cast<int>(rows_.size())) return false;
  const int32_t id = rows_[static_cast<size_t>(selection_mark_)].id;
  return db_->FindKind(kind, id, direction_, DbString()) != 0;
}

void KindsListScreen::OnEdit() {
  if (!Usable()) return;
  KindChoice choice;
  if (!ReadMarkedKind(&choice.kind)) return;
  if (!RunEditor(choice)) return;
  if (!db_->UpdateKind(choice.kind)) {
    Tell("Не удалось сохранить вид!!!");
    return;
  }
  FillCategories();
  FillKinds(choice.kind.id);
}

void KindsListScreen::OnDelete() {
  if (!Usable()) return;
  const MessageAnswer answer = services_.ShowMessage(
      FromUtf8("Удалить?"), kInfoCaption, MessageButtons::kOkCancel, MessageIcon::kQuestion);
  if (answer != MessageAnswer::kOk) return;
  if (selection_mark_ < 0 || selection_mark_ >= static_cast<int>(rows_.size())) return;
  if (!db_->DeleteKind(rows_[static_cast<size_t>(selection_mark_)].id)) {
    Tell("Не удалось удалить вид!!!");
    return;
  }
  FillCategories();
  FillKinds(0);
}

bool KindsListScreen::OnChoose() {
  if (!Usable()) return false;
  if (!ChooseMode()) {
    OnEdit();
    return false;
  }
  KindRecord kind;
  if (!ReadMarkedKind(&kind)) return false;
  choose_into_->kind = kind;
  choose_into_->accepted = true;
  return true;
}

void KindsListScreen::Tell(const char* text_utf8) {
  services_.ShowMessage(FromUtf8(text_utf8), DbString(), MessageButtons::kOk,
                        MessageIcon::kWarning);
}

}  // namespace ledgerix
