#include "finance/date_key.h"

#include <algorithm>

namespace ledgerix {
namespace {

// Days from 1 January 1970 to a civil date (year, month 1..12, day 1).
int64_t DaysFromCivil(int64_t year, int month) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

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
  int month = std::clamp(parts.month, 1, 12);
  int64_t days = DaysFromCivil(2000 + parts.year, month) - DaysFromCivil(2000, 1) + parts.day - 1;
  return static_cast<uint32_t>(std::max<int64_t>(days, 0));
}

int32_t SortKey(int32_t key) {
  DateParts parts = SplitDateKey(key);
  return parts.year * 10000 + parts.month * 100 + parts.day;
}

}  // namespace ledgerix
