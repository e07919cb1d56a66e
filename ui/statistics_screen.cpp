#include "ui/statistics_screen.h"

#include "finance/finance_db.h"
#include "reports/report_columns.h"
#include "reports/report_settings.h"
#include "reports/report_source.h"
#include "ui/account_settings_screen.h"
#include "ui/export_screen.h"
#include "ui/period_screen.h"
#include "ui/report_filter_screen.h"

namespace ledgerix {
namespace {

// Reads the settings file again (another program may have changed it). A file that cannot be
// read leaves the settings in memory as they are.
void ReloadSettings(SettingsStore& store, platform::Env& env) {
  if (!store.IsBound()) return;
  const DbString path = store.Path();  // Load forgets the store's own path first
  SettingsStore fresh(env);
  if (fresh.Load(path) == 0) return;
  static_cast<void>(store.Load(path));
}

}  // namespace

StatisticsScreen::StatisticsScreen(FinanceDb* db, AppState& state, const platform::Clock& clock,
                                   platform::Env& env, ScreenServices& services)
    : db_(db), state_(state), clock_(clock), env_(env), services_(services) {}

void StatisticsScreen::Start(ReportView& view) {
  view_ = &view;
  ReloadSettings(state_.settings, env_);
  params_ = InitialReportParams(clock_.Now());
  LoadReportSettings(state_.settings, &params_);
  table_ = ReportTable();
  table_.columns = LayoutColumns(params_, Context(), view_->ClientWidth());
  view_->ShowReport(table_);
  RefreshCaptions();
  Build();
}

ReportContext StatisticsScreen::Context() const {
  ReportContext context;
  context.current_account_id = state_.finance.current_account_id;
  context.show_account_in_report = state_.show_account_in_report;
  context.current_account_name = state_.current_account_name;
  context.column_widths = state_.report_column_widths;
  return context;
}

StatisticsScreen::AccountState StatisticsScreen::Accounts() const {
  return {state_.finance.current_account_id, state_.current_account_name,
          state_.show_account_in_report};
}

void StatisticsScreen::Build() {
  if (view_ == nullptr || db_ == nullptr || !db_->IsOpen()) {
    RefreshCaptions();
    return;
  }
  bool read = false;
  {
    WaitCursor wait(services_);
    read = BuildReport(db_, params_, Context(), clock_, view_->ClientWidth(), &table_) == 1;
    view_->ShowReport(table_);
    RefreshCaptions();
  }
  if (!read) Tell("Не удалось прочитать записи: данные повреждены!!!");
}

void StatisticsScreen::RefreshCaptions() {
  captions_ = ComputeStatisticsCaptions(params_, table_, Context(), clock_);
}

void StatisticsScreen::RememberWidths() {
  if (view_ != nullptr) state_.report_column_widths = ColumnWidthsText(view_->ColumnWidths());
}

void StatisticsScreen::OnPeriod() {
  RememberWidths();
  PeriodScreen period(params_, clock_);
  if (services_.RunScreen(period) == kScreenOk) {
    if (!SavePeriodSettings(&state_.settings, params_)) Tell("Не удалось сохранить настройки!");
    Build();
  }
  RefreshCaptions();
}

void StatisticsScreen::OnFilter() {
  RememberWidths();
  const int32_t grouping_before = params_.group_type;
  const AccountState accounts_before = Accounts();
  ReportFilterScreen filter(db_, state_, clock_, services_, params_);
  const bool accepted = services_.RunScreen(filter) == kScreenOk;
  if (accepted || !(Accounts() == accounts_before)) {
    if (params_.group_type != grouping_before) state_.report_column_widths = DbString();
    if (!SaveReportSettings(&state_.settings, params_)) Tell("Не удалось сохранить настройки!");
    Build();
  }
  RefreshCaptions();
}

void StatisticsScreen::OnAccounts() {
  RememberWidths();
  AccountSettingsScreen accounts(db_, state_, services_);
  if (services_.RunScreen(accounts) == kScreenOk) Build();
  RefreshCaptions();
}

void StatisticsScreen::OnExport() {
  const ReportTable shown = TableOnScreen();
  ExportScreen exporter(shown, env_, clock_, services_);
  static_cast<void>(services_.RunScreen(exporter));
}

void StatisticsScreen::OnClose() { RememberWidths(); }

ReportTable StatisticsScreen::TableOnScreen() const {
  ReportTable shown;
  shown.columns = table_.columns;
  shown.colour_column = table_.colour_column;
  shown.totals = table_.totals;
  if (view_ == nullptr) return shown;
  const int rows = view_->RowCount();
  shown.rows.reserve(static_cast<size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    ReportTableRow line;
    for (size_t column = 0; column < shown.columns.size(); ++column) {
      line.cells.push_back(view_->CellText(row, static_cast<int>(column)));
    }
    const auto index = static_cast<size_t>(row);
    line.value = index < table_.rows.size() ? table_.rows[index].value : 0;
    shown.rows.push_back(std::move(line));
  }
  return shown;
}

void StatisticsScreen::Tell(const char* text_utf8) {
  services_.ShowMessage(FromUtf8(text_utf8), DbString(), MessageButtons::kOk,
                        MessageIcon::kWarning);
}

}  // namespace ledgerix
