#pragma once
// StatisticsScreen: the rules of the statistics screen. It builds the report of its parameters
// (loaded from the settings when it opens), shows it with the lines around it (period, report,
// category, totals, account), and routes the commands: the period and the filter (their choices
// are saved at once), the accounts editor and the export of what the list shows. The column
// widths the person leaves are remembered for the next report and the next run.

#include <string_view>

#include "platform/clock.h"
#include "platform/env.h"
#include "reports/report_context.h"
#include "reports/report_params.h"
#include "reports/report_table.h"
#include "reports/statistics_captions.h"
#include "ui/app_state.h"
#include "ui/controls/screen_services.h"
#include "ui/report_view.h"

namespace ledgerix {

class FinanceDb;

class StatisticsScreen : public ScreenRules {
 public:
  // `db` may be null or closed: nothing is built and the list keeps its columns only. `env` is
  // where exports are written; it, `state` and `clock` must outlive the screen.
  StatisticsScreen(FinanceDb* db, AppState& state, const platform::Clock& clock, platform::Env& env,
                   ScreenServices& services);

  std::string_view ScreenName() const override { return "StatisticsDialog"; }

  // Binds the list, re-reads the settings file, loads the report settings (the last 14 days
  // otherwise), lays out the columns and builds the report.
  void Start(ReportView& view);

  // "..." beside the period: the period dialog; when accepted, the period is saved and the
  // report built anew.
  void OnPeriod();
  // The filter button: the filter dialog; when accepted, or when the current account (or its
  // name or the account switch of reports) changed in the accounts editor opened from it, the
  // direction and grouping are saved and the report built anew. A new grouping forgets the
  // remembered column widths.
  void OnFilter();
  // "..." at the bottom: the accounts editor; when accepted, the report is built anew.
  void OnAccounts();
  // "Экспорт в файл": the export dialog on the columns and rows the list shows.
  void OnExport();
  // The screen closes: the column widths are remembered.
  void OnClose();

  const ReportParams& params() const { return params_; }
  const ReportTable& table() const { return table_; }
  const StatisticsCaptions& captions() const { return captions_; }
  // The table as the list shows it now: the built columns, the rows' current cell texts.
  ReportTable TableOnScreen() const;

 private:
  struct AccountState {
    int32_t id;
    DbString name;
    int show_in_report;
    bool operator==(const AccountState&) const = default;
  };

  ReportContext Context() const;
  AccountState Accounts() const;
  // Builds the report into the table and shows it; then the captions.
  void Build();
  void RefreshCaptions();
  void RememberWidths();
  void Tell(const char* text_utf8);

  FinanceDb* db_;
  AppState& state_;
  const platform::Clock& clock_;
  platform::Env& env_;
  ScreenServices& services_;
  ReportView* view_ = nullptr;
  ReportParams params_;
  ReportTable table_;
  StatisticsCaptions captions_;
};

}  // namespace ledgerix
