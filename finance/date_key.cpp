#include "finance/date_key.h"

#include <algorithm>
#include <array>

namespace ledgerix {
namespace {

// Days from 1 January 1970 to a civil date (year, month 1..12, day 1).
constexpr int64_t DaysFromCivil(int64_t year, int month) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// Days from 1 January 2000 to the first of each month of 2000 to 2099, month by month: reports
// place every entry against their period through DayOrdinal.
constexpr std::array<int32_t, 100 * 12> kMonthStarts = [] {
  std::array<int32_t, 100 * 12> starts{};
  for (int year = 0; year < 100; ++year) {
    for (int month = 1; month <= 12; ++month) {
      starts[year * 12 + month - 1] =
          static_cast<int32_t>(DaysFromCivil(2000 + year, month) - DaysFromCivil(2000, 1));
    }
  }
  return starts;
}();

}  // namespace

int32_t BuildDateKey(int day, int month, int year) {
  return (day + 10) * 10000 + month * 100 + year % 100;
}

DateParts SplitDateKey(int32_t key) {
  if (key < 100000 || key > 999999) return {};
  return {key / 10000 - 10, key / 100 % 100, key % 100};
}

uint32_t DayOrdinal(int32_t key) {
  DateParts parts = SplitDateKey(key);
  const int month = std::clamp(parts.month, 1, 12);
  const int32_t days = kMonthStarts[parts.year * 12 + month - 1] + parts.day - 1;
  return static_cast<uint32_t>(std::max(days, 0));
}

int32_t SortKey(int32_t key) {
  DateParts parts = SplitDateKey(key);
  return parts.year * 10000 + parts.month * 100 + parts.day;
}

}  // namespace ledgerix
