#include "ui/report_filter_screen.h"

#include "finance/finance_db.h"
#include "ui/account_settings_screen.h"
#include "ui/kind_categories.h"
#include "ui/kind_choice.h"
#include "ui/kinds_list_screen.h"

namespace ledgerix {

ReportFilterScreen::ReportFilterScreen(FinanceDb* db, AppState& state, const platform::Clock& clock,
                                       ScreenServices& services, ReportParams& params)
    : db_(db), state_(state), clock_(clock), services_(services), params_(params) {}

std::vector<DbString> ReportFilterScreen::ReportKinds() {
  return {FromUtf8("Баланс"), FromUtf8("Доходы"), FromUtf8("Расходы")};
}

std::vector<DbString> ReportFilterScreen::Groupings() {
  return {FromUtf8("По видам расходов/доходов"), FromUtf8("По категориям"), FromUtf8("По счетам")};
}

bool ReportFilterScreen::Usable() const { return db_ != nullptr && db_->IsOpen(); }

void ReportFilterScreen::Start() {
  report_kind = params_.report_type;
  grouping = params_.group_type;
  FillCategories();
  selected_category = FindCategory(params_.category_filter);
  filter_on = params_.category_filter.Length() > 0 || params_.kind_filter_id != 0;
  kind_id_ = params_.kind_filter_id;
  kind_text_ = DbString();
  KindRecord kind;
  if (kind_id_ != 0 && Usable() && db_->FindKind(&kind, kind_id_, 0, DbString())) {
    kind_text_ = kind.name;
  }
}

void ReportFilterScreen::FillCategories() {
  categories_.clear();
  if (!Usable()) return;
  std::vector<KindRecord> kinds;
  if (!db_->LoadKinds(&kinds)) {
    Tell("Не удалось прочитать виды: данные повреждены!!!");
    return;
  }
  categories_ = CategoriesIgnoringCase(kinds);
}

int ReportFilterScreen::FindCategory(const DbString& text) const {
  if (text.Length() == 0) return -1;
  for (size_t i = 0; i < categories_.size(); ++i) {
    if (categories_[i].Equals(text)) return static_cast<int>(i);
  }
  return -1;
}

void ReportFilterScreen::OnReportKindChanged(int index) {
  report_kind = index;
  DbString before;
  if (selected_category >= 0 && selected_category < static_cast<int>(categories_.size())) {
    before = categories_[static_cast<size_t>(selected_category)];
  }
  FillCategories();
  selected_category = FindCategory(before);
  if (selected_category < 0 && !categories_.empty()) selected_category = 0;
}

void ReportFilterScreen::OnCategoryChanged(int index) {
  selected_category = index;
  kind_id_ = 0;
  kind_text_ = DbString();
}

void ReportFilterScreen::OnChooseKind() {
  if (!filter_on || !Usable()) return;
  KindChoice choice;
  if (selected_category >= 0 && selected_category < static_cast<int>(categories_.size())) {
    choice.kind.category = categories_[static_cast<size_t>(selected_category)];
  }
  KindsListScreen kinds(db_, clock_, services_, report_kind, &choice);
  if (services_.RunScreen(kinds) != kScreenOk || !choice.accepted) return;
  kind_text_ = choice.kind.name;
  kind_id_ = choice.kind.id;
}

void ReportFilterScreen::OnAccounts() {
  AccountSettingsScreen accounts(db_, state_, services_);
  static_cast<void>(services_.RunScreen(accounts));
}

bool ReportFilterScreen::OnAccept() {
  if (!Usable()) return true;
  if (filter_on) {
    params_.category_filter =
        selected_category >= 0 && selected_category < static_cast<int>(categories_.size())
            ? categories_[static_cast<size_t>(selected_category)]
            : DbString();
    params_.kind_filter_id = kind_id_;
  } else {
    params_.category_filter = DbString();
    params_.kind_filter_id = 0;
  }
  params_.group_type = grouping;
  params_.report_type = report_kind;
  return true;
}

DbString ReportFilterScreen::AccountText() const {
  DbString text = FromUtf8("Счет: ");
  text.AppendString(state_.current_account_name);
  return text;
}

void ReportFilterScreen::Tell(const char* text_utf8) {
  services_.ShowMessage(FromUtf8(text_utf8), DbString(), MessageButtons::kOk,
                        MessageIcon::kWarning);
}

}  // namespace ledgerix
