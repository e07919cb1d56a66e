#pragma once
// The report's reads of the finance database: the kinds and accounts once per report into a
// ReportCatalog, and one pass over the entries ([sec_data]) through the entry scan; and
// BuildReport, the whole build from the database to the ReportTable.

#include <optional>

#include "finance/finance_db.h"
#include "platform/clock.h"
#include "reports/entry_scan.h"
#include "reports/report_context.h"
#include "reports/report_params.h"
#include "reports/report_table.h"

namespace ledgerix {

// All kinds and accounts in table order (FinanceDb::LoadKinds and LoadAccounts). Nothing when
// the kinds cannot be read whole, since the entries of kinds not read would give no rows and the
// report would look complete without them. Accounts that cannot be read give empty names.
std::optional<ReportCatalog> ReadReportCatalog(FinanceDb& db);

// Reads every entry once, in table order, through the scan. Nothing when the database is not
// open, [sec_data] cannot be opened or one of its rows cannot be read.
std::optional<EntryScan> ScanEntries(FinanceDb& db, const ReportCatalog& catalog,
                                     const ScanQuery& query);

// Builds the report of `params` into `table` for a list `client_width` pixels wide: columns,
// rows sorted by date, colouring column and totals. Answers 1. Answers 0 and leaves the table
// as it was when `db` is null or not open; answers 0 after building an empty report when the
// entries cannot be read (the incoming balance then keeps its previous value).
[[nodiscard]] int BuildReport(FinanceDb* db, const ReportParams& params,
                              const ReportContext& context, const platform::Clock& clock,
                              int client_width, ReportTable* table);

}  // namespace ledgerix
