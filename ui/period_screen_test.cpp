// The period dialog's rules: the pickers show the local days of the bounds, "Выбрать" writes
// both days and the granularity, with no check of their order.
#include "ui/period_screen.h"

#include <gtest/gtest.h>

#include "testing/fake_clock.h"

namespace ledgerix::testing {
namespace {

int64_t At(int year, int month, int day, int hour) {
  return platform::FromUtcTime({year, month, day, hour, 0, 0, 0});
}

TEST(PeriodScreenTest, ShowsTheDaysOfTheBoundsAndWritesTheChosenOnes) {
  FakeClock clock;
  struct Case {
    int period_type;  // in the parameters
    int shown_type;   // on the radio group
    PeriodScreen::Day from, till;
    int chosen_type;   // on the radio group at "Выбрать"
    int written_type;  // into the parameters
  } cases[] = {
      {kPeriodDay, kPeriodDay, {2008, 3, 1}, {2008, 3, 31}, kPeriodMonth, kPeriodMonth},
      {kPeriodYear, kPeriodYear, {2009, 12, 31}, {2009, 1, 1}, kPeriodYear, kPeriodYear},
      {-1, -1, {2024, 2, 29}, {2024, 2, 29}, -1, -1},
  };
  for (const Case& c : cases) {
    ReportParams params;
    params.period_from = At(2008, 2, 14, 23);
    params.period_till = At(2008, 2, 28, 0);
    params.period_type = c.period_type;
    PeriodScreen screen(params, clock);
    screen.Start();
    EXPECT_EQ(screen.from.day, 14);
    EXPECT_EQ(screen.till.month, 2);
    EXPECT_EQ(screen.till.day, 28);
    EXPECT_EQ(screen.period_type, c.shown_type);
    screen.from = c.from;
    screen.till = c.till;
    screen.period_type = c.chosen_type;
    screen.OnAccept();
    EXPECT_EQ(params.period_from, At(c.from.year, c.from.month, c.from.day, 12));
    EXPECT_EQ(params.period_till, At(c.till.year, c.till.month, c.till.day, 12));
    EXPECT_EQ(params.period_type, c.written_type);
  }
}

}  // namespace
}  // namespace ledgerix::testing
