#pragma once
// AppState: the process-wide state of the running program. The application owns one for the
// whole run and hands it to the screens: the settings store, the current account, the display
// switches, the last archive name, the remembered report column widths and the info page.
// Plain C++: start-up fills it before any screen exists.

#include <cstdint>

#include "engine/db_string.h"
#include "engine/settings_store.h"
#include "finance/finance_db.h"
#include "platform/env.h"

namespace ledgerix {

struct AppState {
  explicit AppState(platform::Env& env) : settings(env) {}

  SettingsStore settings;  // "tv_ledgrx"
  FinanceGlobals finance;  // storage kind, GL_FIRM_ID, IS_SHOW_FIRM_IN_ACTIONS
  DbString current_account_name;
  int show_account_in_report = 0;  // IS_SHOW_FIRM_IN_REPORT
  DbString last_archive_name;      // LAST_ARCHIVE
  DbString report_column_widths;   // REPORT_COLUMN_WIDTH, "60,96,48,"
  int32_t current_info_page = 0;   // CUR_INFO_PAGE: the updates screen's next page, 0 to 2
};

}  // namespace ledgerix
