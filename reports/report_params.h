#pragma once
// ReportParams: what one statistics screen reports on: the period, its row granularity, the
// grouping, the direction of the entries and the optional category and kind filters.

#include <cstdint>

#include "engine/db_string.h"

namespace ledgerix {

// Row granularity (periodType).
inline constexpr int32_t kPeriodDay = 0;
inline constexpr int32_t kPeriodMonth = 1;
inline constexpr int32_t kPeriodYear = 2;

// Grouping (groupType).
inline constexpr int32_t kGroupByKinds = 0;
inline constexpr int32_t kGroupByCategories = 1;
inline constexpr int32_t kGroupByAccounts = 2;

// Direction of the reported entries (reportType); 1 and 2 match an entry's direction digit.
inline constexpr int32_t kReportBalance = 0;
inline constexpr int32_t kReportIncome = 1;
inline constexpr int32_t kReportSpending = 2;

// The default period: the 14 days before the screen opens.
inline constexpr int64_t kDefaultPeriodSeconds = 1209600;

struct ReportParams {
  DbString category_filter;    // category the in-period rows must carry; empty for any
  int32_t kind_filter_id = 0;  // the one kind reported; 0 for any
  int64_t period_from = 0;     // seconds since 1970; only its local date counts
  int64_t period_till = 0;     // seconds since 1970; only its local date counts
  int32_t period_type = kPeriodDay;
  int32_t group_type = kGroupByKinds;
  int32_t report_type = kReportBalance;
};

// The parameters a statistics screen starts with at the moment `now`: the last 14 days, day
// rows, balance, grouping by kinds, no filters.
ReportParams InitialReportParams(int64_t now);

}  // namespace ledgerix
