#pragma once
// The report choices that outlive a statistics screen: the period, its granularity, the report
// direction and the grouping, kept in the program's settings store. The category and kind
// filters are not kept: every screen starts without them.

#include "engine/settings_store.h"
#include "reports/report_params.h"

namespace ledgerix {

inline constexpr char kPeriodFromKey[] = "PERIOD_DT_FROM";
inline constexpr char kPeriodTillKey[] = "PERIOD_DT_TILL";
inline constexpr char kPeriodTypeKey[] = "PERIOD_TYPE";
inline constexpr char kReportTypeKey[] = "REPORT_TYPE";
inline constexpr char kReportGroupTypeKey[] = "REPORT_GROUP_TYPE";

// Reads the report direction, grouping and granularity (a missing key or a number outside 0 to
// 2 reads as 0), and the period bounds, each only when the stored value is not 0 (otherwise
// the bound in `params` stays).
void LoadReportSettings(const SettingsStore& store, ReportParams* params);

// Writes the report direction and grouping and saves the store to its file. 1 when saved, 0
// when the store is unbound or the file could not be written.
[[nodiscard]] int SaveReportSettings(SettingsStore* store, const ReportParams& params);

// Writes the period bounds (as 4-byte integers: seconds past 2038 do not fit) and the
// granularity, and saves the store to its file. 1 when saved, 0 otherwise.
[[nodiscard]] int SavePeriodSettings(SettingsStore* store, const ReportParams& params);

}  // namespace ledgerix
