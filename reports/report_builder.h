#pragma once
// Report building: from the entries of the finance database to the ReportTable that the
// statistics screen shows and the export writes: columns, rows sorted by date, the colouring
// column and the totals.

#include "reports/entry_scan.h"
#include "reports/report_context.h"
#include "reports/report_params.h"
#include "reports/report_table.h"

namespace ledgerix {

// Replaces the table's columns (laid out for a list `client_width` pixels wide, then finished),
// rows and totals with those of the scan: the rows grouped as params.group_type asks and sorted
// by their SortKey (equal keys keep their order), the incoming balance from the scan, the other
// totals from the rows.
void AssembleReport(const EntryScan& scan, const ReportParams& params, const ReportContext& context,
                    int client_width, ReportTable* table);

}  // namespace ledgerix
