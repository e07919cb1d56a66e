#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>

#include "testing/fake_clock.h"

namespace ledgerix::platform {
namespace {

TEST(ClockTest, UtcTimeOfKnownInstants) {
  EXPECT_EQ(UtcTime(0), (LocalTime{1970, 1, 1, 0, 0, 0, 4}));
  // 2024-02-29 23:59:59 UTC, a Thursday in a leap year.
  EXPECT_EQ(UtcTime(1709251199), (LocalTime{2024, 2, 29, 23, 59, 59, 4}));
  EXPECT_EQ(UtcTime(1709251200), (LocalTime{2024, 3, 1, 0, 0, 0, 5}));
  // Before 1970.
  EXPECT_EQ(UtcTime(-86400), (LocalTime{1969, 12, 31, 0, 0, 0, 3}));
  EXPECT_EQ(FromUtcTime(LocalTime{2024, 3, 1, 0, 0, 0, 0}), 1709251200);
}

TEST(ClockTest, FakeClockIsSetAndAdvancedByTheTest) {
  testing::FakeClock clock;
  clock.SetDate(2023, 12, 31, 23, 0, 0);
  clock.Advance(3600);
  EXPECT_EQ(clock.Local(clock.Now()), (LocalTime{2024, 1, 1, 0, 0, 0, 1}));
  clock.Set(0);
  EXPECT_EQ(clock.Now(), 0);
}

TEST(ClockTest, SystemClockAgreesWithTheHost) {
  SystemClock clock;
  const int64_t t = 1700000000;
  const std::time_t host_time = t;
  std::tm tm{};
  ASSERT_NE(::localtime_r(&host_time, &tm), nullptr);
  const LocalTime local = clock.Local(t);
  EXPECT_EQ(local.year, tm.tm_year + 1900);
  EXPECT_EQ(local.month, tm.tm_mon + 1);
  EXPECT_EQ(local.day, tm.tm_mday);
  EXPECT_EQ(local.hour, tm.tm_hour);
  EXPECT_EQ(local.day_of_week, tm.tm_wday);
  EXPECT_GT(clock.Now(), t);
}

}  // namespace
}  // namespace ledgerix::platform
