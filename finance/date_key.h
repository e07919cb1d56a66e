#pragma once
// DateKey: how the day of an entry is stored: the decimal digits of the day + 10, the month
// (two digits) and the year modulo 100, so 5 March 2008 is 150308. Numeric order is not
// calendar order: dates compare through DayOrdinal and report rows sort by SortKey.

#include <cstdint>

namespace ledgerix {

struct DateParts {
  int day = 0;    // 1..31
  int month = 0;  // 1..12
  int year = 0;   // two digits, 0..99
};

// The key of a day, a month (1..12) and a four-digit year.
int32_t BuildDateKey(int day, int month, int year);

// The day, month and two-digit year of a key, read from its six decimal digits as day + 10,
// month and year. A key that is not six digits long gives zeros.
DateParts SplitDateKey(int32_t key);

// The number of days from 1 January 2000 to the key's day in the real calendar, the two-digit
// year YY taken as 20YY; keys compare in calendar order through it. Parts out of range (a month
// of 0 or 13, a 31st of April) are taken as far as they go and never fail.
uint32_t DayOrdinal(int32_t key);

// The key's date as the number YYMMDD (1 January 2008 gives 80101): report rows sort by it.
int32_t SortKey(int32_t key);

}  // namespace ledgerix
