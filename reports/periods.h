#pragma once
// Periods: the dates of a report. Entry dates are DateKeys (finance/date_key.h: BuildDateKey,
// SplitDateKey, DayOrdinal and SortKey); this adds the bridge from a period bound (seconds since
// 1970 in local time), the test whether an entry lies in the period, and the texts that print
// periods: the period line and the first-column caption of a statistics row.

#include <cstdint>

#include "engine/db_string.h"
#include "finance/date_key.h"
#include "platform/clock.h"
#include "reports/report_params.h"

namespace ledgerix {

// The DateKey of the local day of `time` (seconds since 1970) on `clock`.
int32_t DateKeyAt(const platform::Clock& clock, int64_t time);

// A period bound for a day a person chose: the moment (seconds since 1970) of local noon of
// `year`-`month`-`day` on `clock`, found from `near` (any moment, best one close to it) so that
// a change of the clock's offset between the two (summer time) still lands on that day.
int64_t LocalNoonOf(const platform::Clock& clock, int year, int month, int day, int64_t near);

enum class PeriodPlace { kBefore, kInside, kAfter };

// A period as the day ordinals of its first and last day. A start after the end holds no day.
class PeriodRange {
 public:
  PeriodRange(int32_t from_key, int32_t till_key);
  // The local days of the params' bounds.
  static PeriodRange Of(const ReportParams& params, const platform::Clock& clock);

  // Where the day of an entry's key lies: before the first day, inside (both ends included)
  // or after the last day.
  PeriodPlace Place(int32_t entry_key) const;

 private:
  uint32_t from_;
  uint32_t till_;
};

// The abbreviation of a month 1..12 ("янв." ... "дек."); "unknown" for any other number.
DbString MonthAbbreviation(int month);

// "Период с: 1.3.2008 по 31.3.2008": the local days of the params' bounds, without leading zeros.
DbString PeriodLine(const ReportParams& params, const platform::Clock& clock);

// The first-column text of a statistics row of the given granularity, yy being the two-digit
// year: "05.03.08" for a day, "март`08 год" for a month, "`08 год" for a year before 2010 and
// "'12" from 2010. Any other granularity gives the empty text.
DbString RowCaption(int32_t period_type, int day, int month, int yy);

}  // namespace ledgerix
