#pragma once
// ReportFilterScreen: the rules of "Настройки фильтров": the report's direction ("Вид отчета:"),
// its grouping ("Вид группировки:") and the optional selection ("Установить отбор") of one
// category and one kind of it. From here the accounts editor can change the current account.
// The report's parameters change only on "Принять".

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/db_string.h"
#include "platform/clock.h"
#include "reports/report_params.h"
#include "ui/app_state.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

class FinanceDb;

class ReportFilterScreen : public ScreenRules {
 public:
  // `db` may be null or closed: the lists stay empty and "Принять" leaves `params` as they are.
  // `params` is the caller's and must outlive the screen.
  ReportFilterScreen(FinanceDb* db, AppState& state, const platform::Clock& clock,
                     ScreenServices& services, ReportParams& params);

  std::string_view ScreenName() const override { return "ReportFilterDialog"; }

  // "Баланс", "Доходы", "Расходы": the box's index is the report's direction.
  static std::vector<DbString> ReportKinds();
  // "По видам расходов/доходов", "По категориям", "По счетам", by grouping number.
  static std::vector<DbString> Groupings();

  // Shows the parameters: direction, grouping, the categories of all kinds with the filter's
  // one selected, the selection switch (on while a category or kind filters) and the kind.
  void Start();
  // The direction changed: the categories are listed anew and the one of the text selected
  // before is selected again, else the first.
  void OnReportKindChanged(int index);
  // Another category: the chosen kind is dropped.
  void OnCategoryChanged(int index);
  // "...": the kinds list of the chosen direction, in choose mode, opened on the selected
  // category; a kind chosen there becomes the kind of the selection. Only while the switch is on.
  void OnChooseKind();
  // The accounts editor; the account line then shows the current account.
  void OnAccounts();
  // "Принять": the direction, grouping and selection (none while the switch is off) go into
  // the parameters. Answers true: the screen closes as accepted.
  [[nodiscard]] bool OnAccept();

  // "Счет: " and the current account's name.
  DbString AccountText() const;
  const std::vector<DbString>& categories() const { return categories_; }
  const DbString& kind_text() const { return kind_text_; }
  int32_t kind_id() const { return kind_id_; }

  // The fields of the screen, read and written by its dialog.
  int report_kind = kReportBalance;  // index into ReportKinds()
  int grouping = kGroupByKinds;      // index into Groupings()
  bool filter_on = false;            // "Установить отбор"
  int selected_category = -1;        // index into categories(), -1 for none

 private:
  bool Usable() const;
  void FillCategories();
  // The index of the category whose text is `text`, byte for byte; -1 for none.
  int FindCategory(const DbString& text) const;
  void Tell(const char* text_utf8);

  FinanceDb* db_;
  AppState& state_;
  const platform::Clock& clock_;
  ScreenServices& services_;
  ReportParams& params_;
  std::vector<DbString> categories_;
  DbString kind_text_;
  int32_t kind_id_ = 0;
};

}  // namespace ledgerix
