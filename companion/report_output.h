#pragma once
// Prints a built statistics report for the command line: as an aligned table with the screen's
// caption lines, as CSV (UTF-8, RFC 4180) or as JSON. Amounts in CSV and JSON are plain
// decimals ("-1234.50") so that programs read them; the table shows them as the screen does.

#include <string>

#include "reports/report_table.h"
#include "reports/statistics_captions.h"

namespace ledgerix {

enum class ReportFormat { kTable, kCsv, kJson };

std::string FormatReport(const ReportTable& table, const StatisticsCaptions& captions,
                         ReportFormat format);

}  // namespace ledgerix
