#pragma once
// ReportContext: the program-wide values a report reads besides its ReportParams: the current
// account, whether reports show the account, the account's name and the remembered column
// widths. The application owns them; a build only reads them.

#include <cstdint>

#include "engine/db_string.h"

namespace ledgerix {

struct ReportContext {
  int32_t current_account_id = 0;  // GL_FIRM_ID: only this account's entries; 0 for all
  int show_account_in_report = 0;  // IS_SHOW_FIRM_IN_REPORT: an account column in reports
  DbString current_account_name;   // shown in the account line of the statistics screen
  DbString column_widths;          // REPORT_COLUMN_WIDTH: "60,96,48," as the user left them
};

}  // namespace ledgerix
