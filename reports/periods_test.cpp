// Period bounds, the period test in the real calendar, and the texts that print periods.
#include "reports/periods.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "testing/fake_clock.h"

namespace ledgerix {
namespace {

int64_t At(int year, int month, int day, int hour = 0) {
  return platform::FromUtcTime(platform::LocalTime{year, month, day, hour, 0, 0, 0});
}

TEST(PeriodsTest, DateKeyAtTakesTheLocalDay) {
  testing::FakeClock clock;
  EXPECT_EQ(DateKeyAt(clock, At(2008, 1, 1)), 110108);
  EXPECT_EQ(DateKeyAt(clock, At(2009, 12, 31, 23)), 411209);
  EXPECT_EQ(SortKey(DateKeyAt(clock, At(2008, 1, 1))), 80101);
}

TEST(PeriodsTest, BothEndsBelongToThePeriod) {
  PeriodRange march(BuildDateKey(1, 3, 2008), BuildDateKey(31, 3, 2008));
  EXPECT_EQ(march.Place(BuildDateKey(29, 2, 2008)), PeriodPlace::kBefore);
  EXPECT_EQ(march.Place(BuildDateKey(1, 3, 2008)), PeriodPlace::kInside);
  EXPECT_EQ(march.Place(BuildDateKey(31, 3, 2008)), PeriodPlace::kInside);
  EXPECT_EQ(march.Place(BuildDateKey(1, 4, 2008)), PeriodPlace::kAfter);
}

TEST(PeriodsTest, TheLastDayOfAMonthIsNotTheFirstOfTheNext) {
  PeriodRange from_february(BuildDateKey(1, 2, 2008), BuildDateKey(29, 2, 2008));
  EXPECT_EQ(from_february.Place(BuildDateKey(31, 1, 2008)), PeriodPlace::kBefore);
  PeriodRange till_january(BuildDateKey(1, 1, 2008), BuildDateKey(31, 1, 2008));
  EXPECT_EQ(till_january.Place(BuildDateKey(1, 2, 2008)), PeriodPlace::kAfter);
  // 2008 is a leap year and 2009 is not: 29 February 2008 and 1 March 2009 are real days.
  PeriodRange leap_day(BuildDateKey(29, 2, 2008), BuildDateKey(29, 2, 2008));
  EXPECT_EQ(leap_day.Place(BuildDateKey(1, 3, 2008)), PeriodPlace::kAfter);
  EXPECT_EQ(leap_day.Place(BuildDateKey(28, 2, 2008)), PeriodPlace::kBefore);
}

TEST(PeriodsTest, YearsCompareAcrossTheTurnOfADecade) {
  PeriodRange winter(BuildDateKey(15, 12, 2009), BuildDateKey(15, 1, 2010));
  EXPECT_EQ(winter.Place(BuildDateKey(31, 12, 2009)), PeriodPlace::kInside);
  EXPECT_EQ(winter.Place(BuildDateKey(1, 1, 2010)), PeriodPlace::kInside);
  EXPECT_EQ(winter.Place(BuildDateKey(16, 1, 2009)), PeriodPlace::kBefore);
}

TEST(PeriodsTest, AStartAfterTheEndHoldsNoDay) {
  PeriodRange reversed(BuildDateKey(10, 5, 2008), BuildDateKey(5, 5, 2008));
  for (int day = 1; day <= 31; ++day) {
    EXPECT_NE(reversed.Place(BuildDateKey(day, 5, 2008)), PeriodPlace::kInside) << day;
  }
}

TEST(PeriodsTest, PeriodOfParamsUsesTheLocalDaysOfItsBounds) {
  testing::FakeClock clock;
  ReportParams params;
  params.period_from = At(2008, 3, 1, 23);
  params.period_till = At(2008, 3, 31, 1);
  PeriodRange range = PeriodRange::Of(params, clock);
  EXPECT_EQ(range.Place(BuildDateKey(1, 3, 2008)), PeriodPlace::kInside);
  EXPECT_EQ(range.Place(BuildDateKey(31, 3, 2008)), PeriodPlace::kInside);
  EXPECT_EQ(ToUtf8(PeriodLine(params, clock)), "Период с: 1.3.2008 по 31.3.2008");
  params.period_till = At(2010, 11, 25);
  EXPECT_EQ(ToUtf8(PeriodLine(params, clock)), "Период с: 1.3.2008 по 25.11.2010");
}

TEST(PeriodsTest, MonthAbbreviations) {
  const char* expected[] = {"янв.", "фев.", "март",  "апр.", "май",   "июнь",
                            "июль", "авг.", "сент.", "окт.", "нояб.", "дек."};
  for (int month = 1; month <= 12; ++month) {
    EXPECT_EQ(ToUtf8(MonthAbbreviation(month)), expected[month - 1]);
  }
  EXPECT_EQ(ToUtf8(MonthAbbreviation(0)), "unknown");
  EXPECT_EQ(ToUtf8(MonthAbbreviation(13)), "unknown");
}

TEST(PeriodsTest, RowCaptions) {
  EXPECT_EQ(ToUtf8(RowCaption(kPeriodDay, 5, 3, 8)), "05.03.08");
  EXPECT_EQ(ToUtf8(RowCaption(kPeriodDay, 31, 12, 10)), "31.12.10");
  EXPECT_EQ(ToUtf8(RowCaption(kPeriodDay, 10, 10, 0)), "10.10.00");
  EXPECT_EQ(ToUtf8(RowCaption(kPeriodMonth, 5, 3, 8)), "март`08 год");
  EXPECT_EQ(ToUtf8(RowCaption(kPeriodMonth, 5, 11, 12)), "нояб.`12 год");
  EXPECT_EQ(ToUtf8(RowCaption(kPeriodYear, 5, 3, 9)), "`09 год");
  EXPECT_EQ(ToUtf8(RowCaption(kPeriodYear, 5, 3, 10)), "'10");
  EXPECT_EQ(ToUtf8(RowCaption(7, 5, 3, 10)), "");
}

// Day captions are two-digit fields at least, as printf's "%02d" writes them, whatever the
// numbers: a sign comes first and is never preceded by a padding zero.
TEST(PeriodsTest, DayCaptionsMatchPrintf) {
  for (int day : {-7, 0, 1, 9, 10, 31, 123}) {
    for (int year : {-1, 0, 8, 99, 100, 2008, 2147483647}) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "%02d.%02d.%02d", day, 3, year);
      EXPECT_EQ(ToUtf8(RowCaption(kPeriodDay, day, 3, year)), expected) << day << " " << year;
    }
  }
}

}  // namespace
}  // namespace ledgerix

namespace ledgerix {
namespace {

// A clock whose local time is UTC + 2 hours before 30 March 2008 01:00 UTC and UTC + 3 hours
// from then on, as summer time changes it.
class SummerTimeClock : public platform::Clock {
 public:
  int64_t Now() const override { return 0; }
  platform::LocalTime Local(int64_t t) const override {
    const int64_t change = platform::FromUtcTime(platform::LocalTime{2008, 3, 30, 1, 0, 0, 0});
    return platform::UtcTime(t + (t < change ? 2 : 3) * 3600);
  }
};

TEST(PeriodsTest, AChosenDayBecomesItsLocalNoonAcrossAChangeOfOffset) {
  SummerTimeClock clock;
  const int64_t winter = platform::FromUtcTime(platform::LocalTime{2008, 1, 10, 23, 30, 0, 0});
  const int64_t summer = platform::FromUtcTime(platform::LocalTime{2008, 7, 1, 0, 15, 0, 0});
  struct Case {
    int year, month, day;
  } cases[] = {{2008, 3, 29},  {2008, 3, 30}, {2008, 3, 31}, {2008, 1, 1},
               {2007, 12, 31}, {2008, 7, 31}, {2000, 1, 1},  {2037, 12, 31}};
  for (const Case& c : cases) {
    for (const int64_t near : {winter, summer}) {
      const platform::LocalTime noon =
          clock.Local(LocalNoonOf(clock, c.year, c.month, c.day, near));
      EXPECT_EQ(noon, (platform::LocalTime{c.year, c.month, c.day, 12, 0, 0, noon.day_of_week}))
          << c.year << "-" << c.month << "-" << c.day;
    }
  }
}

}  // namespace
}  // namespace ledgerix
