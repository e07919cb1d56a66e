#pragma once
// A plain, slow statement of the report rules for tests: every in-period entry walks the whole
// kinds table and the accounts table, the scratch rows are kept as the texts a list would hold
// (count, price and the entry's amount printed to the hundredth and read back digit by digit),
// and each group is formed by walking all remaining scratch rows. Its money arithmetic is its
// own, not the helpers of the build it checks. The fast build must give the same rows and
// totals.

#include <vector>

#include "platform/clock.h"
#include "reports/entry_scan.h"
#include "reports/report_context.h"
#include "reports/report_params.h"
#include "reports/report_table.h"

namespace ledgerix::testing {

// The rows (cells and sort values, sorted by date) and the totals of a report over the given
// tables; the columns are left empty.
ReportTable ReferenceReport(const std::vector<StoredEntry>& entries,
                            const std::vector<StoredKind>& kinds,
                            const std::vector<StoredAccount>& accounts, const ReportParams& params,
                            const ReportContext& context, const platform::Clock& clock);

}  // namespace ledgerix::testing
